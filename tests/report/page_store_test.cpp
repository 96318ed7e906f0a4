#include "report/page_store.h"

#include <gtest/gtest.h>

namespace lambreya::test {
namespace {

PageDrawing blankPage() {
    PageDrawingBuilder builder;
    builder.begin(kA4Portrait);
    return builder.take();
}

TEST(PageStore, ARunFillsItAndLoadedPagesShutTheRunOut) {
    PageStore store({QStringLiteral("Отчет"), kA4Portrait, {}}, PageRange{2, 0});
    EXPECT_EQ(store.state(), PageStore::State::Ready);
    EXPECT_EQ(store.printRange().first, 2);
    EXPECT_EQ(store.printRange().last, 0);

    store.beginDocument({QStringLiteral("Отчет"), kA4Portrait, {}});
    store.addPage(blankPage());
    EXPECT_EQ(store.state(), PageStore::State::Building);

    std::vector<PageDrawing> loaded(3, PageDrawing(kA4Landscape));
    store.replaceWithLoaded({QStringLiteral("Отчет"), kA4Landscape, {}}, loaded);
    // What the stopped run still sends does not reach the loaded pages.
    store.addPage(blankPage());
    store.endDocument();
    EXPECT_EQ(store.pageCount(), 3);
    EXPECT_TRUE(store.finished());
    EXPECT_TRUE(store.loadedFromFile());
    EXPECT_EQ(store.paper(), kA4Landscape);
    EXPECT_THROW(store.page(4), std::out_of_range);
}

} // namespace
} // namespace lambreya::test
