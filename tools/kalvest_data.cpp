// kalvest-data: fills and checks a directory from the shell.
#include "tools/commands.h"

#include "data/error.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

using lambreya::tools::kCommandCount;
using lambreya::tools::kCommands;

void printOverview() {
    std::fputs("kalvest-data: работа со справочником из командной строки.\n\n"
               "Команды:\n",
               stdout);
    for (std::size_t i = 0; i < kCommandCount; ++i)
        std::printf("  %s\n", kCommands[i].name);
    std::fputs("\nСправка по команде: kalvest-data КОМАНДА --help\n"
               "Версия программы: kalvest-data --version\n",
               stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    // A report lays out text in the report's fonts: that takes a graphical application,
    // which needs no display on the offscreen platform.
    const bool paints = argc > 1 && lambreya::tools::commandPaints(argv[1]);
    if (paints && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (paints)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        printOverview();
        return args.isEmpty() ? 1 : 0;
    }
    if (args.first() == QLatin1String("--version")) {
        std::puts("kalvest-data " LAMBREYA_VERSION);
        return 0;
    }
    const QString name = args.takeFirst();
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        const lambreya::tools::Command& command = kCommands[i];
        if (name != QLatin1String(command.name))
            continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            std::fputs(command.usage, stdout);
            return 0;
        }
        try {
            return command.run(args);
        } catch (const std::bad_alloc&) {
            // As the program's error box says it.
            std::fprintf(stderr, "%s\n", lambreya::shownMessage("Недостаточно памяти").c_str());
            return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", lambreya::shownMessage(e.what()).c_str());
            return 1;
        }
    }
    std::fprintf(stderr, "%s\n",
                 lambreya::shownMessage("Неизвестная команда " + name.toStdString() +
                                        " (см. kalvest-data --help)")
                     .c_str());
    return 1;
}
