#pragma once

#include "report/page_sink.h"
#include "support/test_text.h"

#include <string>
#include <vector>

namespace lambreya::test {

// A sink that keeps what a run gave it: the calls in order, the document and the pages.
class RecordingSink : public PageSink {
public:
    void beginDocument(const DocumentInfo& d) override {
        calls += "begin ";
        document = d;
    }
    void addPage(PageDrawing page) override {
        calls += "page ";
        pages.push_back(std::move(page));
    }
    void endDocument() override { calls += "end"; }
    void abortDocument() override { calls += "abort"; }

    std::string calls;
    DocumentInfo document;
    std::vector<PageDrawing> pages;
};

// A text run of a page, its text in UTF-8.
struct PageText {
    int font, x, baseline;
    std::string text;
};

inline std::vector<PageText> textsOf(const PageDrawing& page) {
    std::vector<PageText> texts;
    forEachOp(page, [&](const DrawingOp& op) {
        if (op.kind == DrawingOp::Kind::Text)
            texts.push_back({op.font, op.x, op.y, utf8(op.text)});
    });
    return texts;
}

inline const PageText* findText(const std::vector<PageText>& texts, std::string_view text) {
    for (const PageText& t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

} // namespace lambreya::test
