#include "data/case_blind_file.h"
#include "data/error.h"
#include "ui/help_file.h"
#include "ui/help_html.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace lambreya {
namespace {

QString u8s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

HelpSpan text(const char* utf8) {
    return {HelpSpanKind::Text, u8s(utf8), 0};
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

TEST(HelpFileTest, ReadsTopicsParagraphsListsAndMarkupInFileOrder) {
    const QByteArray bytes =
        "\xEF\xBB\xBF"
        "LAMBREYA-HELP 1\r\n"
        "# Комментарий вне разделов\r\n"
        "\r\n"
        "@topic 10   Первый раздел  \r\n"
        "Строка один\r\n"
        "  и её продолжение с {em:выделением}.\r\n"
        "\r\n"
        "- пункт с клавишей {key:Ctrl+P}\r\n"
        "  продолжение пункта\r\n"
        "- пункт со {link:2:ссылкой}\r\n"
        "\r\n"
        "Скобки \\{ и \\}, косая \\\\, \\@ и \\- в тексте; * просто звёздочка.\r\n"
        "@end\r\n"
        "@topic 2 Второй\r\n"
        "\\- не пункт списка\r\n"
        "- а это пункт\r\n"
        "@end";
    const HelpFile file = HelpFile::parse(bytes, QStringLiteral("Kalvest.hlp"));

    ASSERT_EQ(file.topics().size(), 2u);
    const HelpTopic& first = file.topics()[0];
    EXPECT_EQ(first.context, 10);
    EXPECT_EQ(first.title, u8s("Первый раздел"));
    EXPECT_EQ(first.line, 4);
    ASSERT_EQ(first.blocks.size(), 3u);

    EXPECT_EQ(first.blocks[0].kind, HelpBlock::Kind::Paragraph);
    ASSERT_EQ(first.blocks[0].parts.size(), 1u);
    EXPECT_EQ(first.blocks[0].parts[0], (HelpText{text("Строка один и её продолжение с "),
                                                  {HelpSpanKind::Emphasis, u8s("выделением"), 0},
                                                  text(".")}));

    EXPECT_EQ(first.blocks[1].kind, HelpBlock::Kind::BulletList);
    ASSERT_EQ(first.blocks[1].parts.size(), 2u);
    EXPECT_EQ(first.blocks[1].parts[0], (HelpText{text("пункт с клавишей "),
                                                  {HelpSpanKind::Key, QStringLiteral("Ctrl+P"), 0},
                                                  text(" продолжение пункта")}));
    EXPECT_EQ(first.blocks[1].parts[1],
              (HelpText{text("пункт со "), {HelpSpanKind::Link, u8s("ссылкой"), 2}}));

    EXPECT_EQ(first.blocks[2].parts[0],
              HelpText{text("Скобки { и }, косая \\, @ и - в тексте; * просто звёздочка.")});

    const HelpTopic& second = file.topics()[1];
    EXPECT_EQ(second.context, 2);
    ASSERT_EQ(second.blocks.size(), 2u);
    EXPECT_EQ(second.blocks[0].kind, HelpBlock::Kind::Paragraph);
    EXPECT_EQ(second.blocks[0].parts[0], HelpText{text("- не пункт списка")});
    EXPECT_EQ(second.blocks[1].kind, HelpBlock::Kind::BulletList);

    EXPECT_EQ(file.topic(2), &second);
    EXPECT_EQ(file.topic(3), nullptr);
}

struct Damage {
    const char* name;
    QByteArray bytes;
    const char* message; // after "Файл справки Kalvest.hlp повреждён: "
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.name;
}

QByteArray doc(const QByteArray& body) {
    return QByteArray("LAMBREYA-HELP 1\n") + body;
}

// `count` copies of the pattern, "%1" in it replaced by the copy's number from 1.
QByteArray repeated(const char* pattern, int count) {
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += QByteArray(pattern).replace("%1", QByteArray::number(i));
    return out;
}

class HelpFileDamageTest : public ::testing::TestWithParam<Damage> {};

TEST_P(HelpFileDamageTest, IsRejectedWithItsMessage) {
    const Damage& damage = GetParam();
    try {
        HelpFile::parse(damage.bytes, QStringLiteral("Kalvest.hlp"));
        FAIL() << "accepted a damaged file";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  std::string("Файл справки Kalvest.hlp повреждён: ") + damage.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damages, HelpFileDamageTest,
    ::testing::Values(
        Damage{"Empty", "", "файл пуст"},
        Damage{"NoMagic", "HELP 1\n@topic 1 А\nТекст.\n@end\n",
               "строка 1: в начале файла нет строки «LAMBREYA-HELP 1»"},
        Damage{"OtherVersion", "LAMBREYA-HELP 2\n@topic 1 А\nТекст.\n@end\n",
               "строка 1: версия формата 2 не поддерживается, нужна строка «LAMBREYA-HELP 1»"},
        Damage{"NoTopics", doc("# только комментарий\n"), "в файле нет ни одного раздела"},
        Damage{"NotUtf8", doc("@topic 1 А\n\xC8\xC2\xC0\xCD\n@end\n"),
               "строка 3: текст не в кодировке UTF-8"},
        Damage{"CutUtf8", doc("@topic 1 А\nТекст \xD0\n@end\n"),
               "строка 3: текст не в кодировке UTF-8"},
        Damage{"ControlCharacter", doc("@topic 1 А\nТекст\x01\n@end\n"),
               "строка 3: недопустимый управляющий символ с кодом 1"},
        Damage{"ContextNotNumber", doc("@topic abc А\nТекст.\n@end\n"),
               "строка 2: номер раздела «abc» не является целым числом"},
        Damage{"ContextZero", doc("@topic 0 А\nТекст.\n@end\n"),
               "строка 2: номер раздела должен быть от 1 до 2147483647, а не 0"},
        Damage{"ContextNegative", doc("@topic -5 А\nТекст.\n@end\n"),
               "строка 2: номер раздела должен быть от 1 до 2147483647, а не -5"},
        Damage{"ContextTooLarge", doc("@topic 99999999999 А\nТекст.\n@end\n"),
               "строка 2: номер раздела должен быть от 1 до 2147483647, а не 99999999999"},
        Damage{"NoContext", doc("@topic\nТекст.\n@end\n"),
               "строка 2: после «@topic» должны стоять номер раздела и заголовок"},
        Damage{"NoTitle", doc("@topic 5\nТекст.\n@end\n"), "строка 2: у раздела 5 нет заголовка"},
        Damage{"DuplicateContext", doc("@topic 1 А\nТекст.\n@end\n\n@topic 1 Б\nТекст.\n@end\n"),
               "строка 6: раздел с номером 1 уже есть (строка 2)"},
        Damage{"TopicNotClosed", doc("@topic 1 А\nТекст.\n"),
               "строка 2: раздел 1 не закрыт строкой «@end»"},
        Damage{"TopicNotClosedBeforeNext", doc("@topic 1 А\nТекст.\n@topic 2 Б\nТекст.\n@end\n"),
               "строка 2: раздел 1 не закрыт строкой «@end» до начала следующего раздела"},
        Damage{"EndOutsideTopic", doc("@end\n"), "строка 2: строка «@end» стоит вне раздела"},
        Damage{"TextAfterEnd", doc("@topic 1 А\nТекст.\n@end раздела\n"),
               "строка 4: после «@end» ничего не должно стоять"},
        Damage{"UnknownDirective", doc("@topic 1 А\n@title Б\n@end\n"),
               "строка 3: неизвестная команда «@title»; текст, начинающийся с «@», пишется как "
               "«\\@»"},
        Damage{"TextOutsideTopic", doc("Текст.\n"),
               "строка 2: текст вне раздела; раздел начинается строкой «@topic номер "
               "заголовок»"},
        Damage{"EmptyTopic", doc("@topic 1 А\n\n@end\n"), "строка 2: раздел 1 не содержит текста"},
        Damage{"BraceNotClosed", doc("@topic 1 А\nНажмите {key:F1\n@end\n"),
               "строка 3: фигурная скобка «{» не закрыта в этой строке"},
        Damage{"NestedMarkup", doc("@topic 1 А\n{em:клавиша {key:F1}}\n@end\n"),
               "строка 3: разметка «{…}» не может стоять внутри другой"},
        Damage{"StrayClosingBrace", doc("@topic 1 А\nТекст } текст\n@end\n"),
               "строка 3: лишняя закрывающая скобка «}»; сама скобка пишется как «\\}»"},
        Damage{"UnknownMarkup", doc("@topic 1 А\n{bold:текст}\n@end\n"),
               "строка 3: неизвестная разметка «{bold:…}»; допустимы {em:текст}, "
               "{key:клавиша} и {link:номер:текст}"},
        Damage{"MarkupWithoutColon", doc("@topic 1 А\n{em}\n@end\n"),
               "строка 3: в разметке «{em}» нет двоеточия; допустимы {em:текст}, "
               "{key:клавиша} и {link:номер:текст}"},
        Damage{"EmptyMarkup", doc("@topic 1 А\n{em:  }\n@end\n"),
               "строка 3: в разметке «{em:  }» нет текста"},
        Damage{"LinkWithoutContext", doc("@topic 1 А\n{link:текст}\n@end\n"),
               "строка 3: в ссылке «{link:текст}» нет номера раздела; ссылка пишется "
               "{link:номер:текст}"},
        Damage{"LinkContextNotNumber", doc("@topic 1 А\n{link:два:текст}\n@end\n"),
               "строка 3: номер раздела «два» не является целым числом"},
        Damage{"LinkToMissingTopic", doc("@topic 1 А\nСм. {link:7:раздел}.\n@end\n"),
               "строка 3: ссылка на раздел 7, которого нет в файле"},
        Damage{"BadEscape", doc("@topic 1 А\nC:\\temp\n@end\n"),
               "строка 3: после «\\» может стоять только «\\», «{», «}», «@» или «-»"},
        Damage{"TooLarge", doc("@topic 1 А\n") + QByteArray(HelpFile::kMaxSize, 'x'),
               "файл больше 4 МиБ"},
        // Under the size limit, but more than a help window can lay out without keeping
        // the user waiting.
        Damage{"TooManyTopics", doc(repeated("@topic %1 А\nТекст.\n@end\n", 1001)),
               "строка 3002: разделов больше 1000"},
        Damage{"LongWord", doc("@topic 1 А\nСлово " + QByteArray(201, 'x') + "\n@end\n"),
               "строка 3: слово длиннее 200 знаков"},
        Damage{"LongTopic", doc("@topic 1 А\n" + repeated("слово слово\n", 6000) + "@end\n"),
               "строка 5960: текст раздела 1 длиннее 65536 знаков"},
        Damage{"ManyItems", doc("@topic 1 А\n" + repeated("- п\n", 1001) + "@end\n"),
               "строка 1003: в разделе 1 больше 1000 абзацев и пунктов списка"},
        Damage{"ManyMarks", doc("@topic 1 А\n" + repeated("{em:а} ", 2001) + "\n@end\n"),
               "строка 3: в разделе больше 2000 выделений и ссылок"}),
    [](const ::testing::TestParamInfo<Damage>& param) { return std::string(param.param.name); });

TEST(HelpFileTest, LoadNamesAnUnreadableFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    try {
        HelpFile::load(dir.filePath(QStringLiteral("Kalvest.hlp")));
        FAIL() << "loaded a file that does not exist";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Не удаётся открыть файл справки Kalvest.hlp");
    }
}

TEST(HelpFileTest, ShippedHelpFileHasTheTopicsOfBothModes) {
    const QString path = QStringLiteral(LAMBREYA_SOURCE_DIR "/docs/help/Kalvest.hlp");
    const HelpFile file = HelpFile::load(path);

    const HelpTopic* view = file.topic(1);
    const HelpTopic* edit = file.topic(2);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(view->title, u8s("Режим просмотра"));
    EXPECT_EQ(edit->title, u8s("Режим редактирования"));
    for (const auto& topic : file.topics()) {
        const bool cyrillic = std::any_of(topic.title.begin(), topic.title.end(), [](QChar c) {
            return c.script() == QChar::Script_Cyrillic;
        });
        EXPECT_TRUE(cyrillic) << topic.title.toStdString();
    }

    // The build puts the same file beside the program.
    EXPECT_EQ(readFile(QStringLiteral(LAMBREYA_BINARY_DIR "/bin/Kalvest.hlp")), readFile(path));
}

TEST(HelpHtmlTest, EscapesTextAndLinksTopicsByNumber) {
    const HelpFile file = HelpFile::parse(doc("@topic 1 A <b>\n"
                                              "x < y & {key:Ctrl+P}, {em:<i>}, "
                                              "{link:22:дальше}\n"
                                              "@end\n"
                                              "@topic 22 B\nB.\n@end\n"),
                                          QStringLiteral("Kalvest.hlp"));
    const QString html = helpTopicHtml(*file.topic(1));
    EXPECT_TRUE(html.contains(QStringLiteral("<h2>A &lt;b&gt;</h2>")));
    EXPECT_TRUE(html.contains(QStringLiteral("x &lt; y &amp; ")));
    EXPECT_TRUE(html.contains(QStringLiteral("<i>&lt;i&gt;</i>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"topic:22\">")));

    EXPECT_EQ(helpTopicContext(helpTopicUrl(22)), 22);
    EXPECT_EQ(helpTopicContext(QUrl(QStringLiteral("https://example.org/22"))), std::nullopt);
    EXPECT_EQ(helpTopicContext(QUrl(QStringLiteral("topic:abc"))), std::nullopt);
}

TEST(HelpLocateTest, FindsTheFileWhateverTheLetterCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("Kalvest.hlp"));
    EXPECT_EQ(findCaseBlind(name), std::nullopt);

    QDir(dir.path()).mkdir(QStringLiteral("Kalvest.hlp")); // a folder of that name is no file
    EXPECT_EQ(findCaseBlind(name), std::nullopt);

    QFile upper(dir.filePath(QStringLiteral("KALVEST.HLP")));
    ASSERT_TRUE(upper.open(QIODevice::WriteOnly));
    upper.close();
    EXPECT_EQ(findCaseBlind(name), upper.fileName());

    QDir(dir.path()).rmdir(QStringLiteral("Kalvest.hlp"));
    QFile exact(name);
    ASSERT_TRUE(exact.open(QIODevice::WriteOnly));
    exact.close();
    EXPECT_EQ(findCaseBlind(name), exact.fileName());
}

} // namespace
} // namespace lambreya
