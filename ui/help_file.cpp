#include "ui/help_file.h"

#include "data/error.h"
#include "data/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <utility>

namespace lambreya {

namespace {

const QString kMagic = QStringLiteral("LAMBREYA-HELP");

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isEscapable(QChar c) {
    return c == u'\\' || c == u'{' || c == u'}' || c == u'@' || c == u'-';
}

// Appends one run of inline text to another, merging neighbouring plain text.
void appendSpans(HelpText& to, HelpText from) {
    for (auto& span : from) {
        if (span.kind == HelpSpanKind::Text && !to.empty() && to.back().kind == HelpSpanKind::Text)
            to.back().text += span.text;
        else
            to.push_back(std::move(span));
    }
}

void appendPlain(HelpText& to, const QString& text) {
    if (!text.isEmpty())
        appendSpans(to, HelpText{HelpSpan{HelpSpanKind::Text, text, 0}});
}

// What a help window can show at once without keeping the user waiting. The program's own
// help is a few dozen topics of a few screens each; a file past these bounds is refused
// whole, so that neither the Help Topics list nor a topic page takes seconds to lay out.
constexpr std::size_t kMaxTopics = 1000;
constexpr qsizetype kMaxTopicText = 64 * 1024; // characters of one topic's body
constexpr std::size_t kMaxTopicParts = 1000;   // paragraphs and list items of one topic
constexpr std::size_t kMaxTopicMarks = 2000;   // {em:…}, {key:…} and {link:…} of one topic
constexpr qsizetype kMaxWord = 200;            // characters without a blank between them

// Reads one help file text. Every failure names the file and, where it can, the line.
class Parser {
public:
    explicit Parser(QString fileName)
        : m_fileName(std::move(fileName)) {}

    std::vector<HelpTopic> run(const QByteArray& bytes);

private:
    [[noreturn]] void fail(const QString& detail) const;
    [[noreturn]] void fail(int line, const QString& detail) const;

    void splitLines(const QByteArray& bytes);
    void readHeader();
    void readDirective(const QString& text, int line);
    void readBodyLine(const QString& text, int line);
    void closeTopic();
    int readContext(const QString& text, int line) const;
    void checkWords(const QString& text, int line) const;
    HelpText readInline(const QString& text, int line);
    HelpSpan readConstruct(const QString& raw, int line);
    QString unescape(const QString& raw) const;

    QString m_fileName;
    std::vector<QString> m_lines;
    std::vector<HelpTopic> m_topics;
    std::optional<HelpTopic> m_open;
    bool m_afterBlank = true;
    qsizetype m_topicText = 0; // of the open topic, as the bounds above count them
    std::size_t m_topicParts = 0;
    std::size_t m_topicMarks = 0;
    std::map<int, int> m_lineOfContext;
    std::vector<std::pair<int, int>> m_links; // target, line
};

void Parser::fail(const QString& detail) const {
    throw Error(
        QStringLiteral("Файл справки %1 повреждён: %2").arg(m_fileName, detail).toStdString());
}

void Parser::fail(int line, const QString& detail) const {
    fail(QStringLiteral("строка %1: %2").arg(QString::number(line), detail));
}

std::vector<HelpTopic> Parser::run(const QByteArray& bytes) {
    if (bytes.size() > HelpFile::kMaxSize)
        fail(QStringLiteral("файл больше 4 МиБ"));
    splitLines(bytes);
    readHeader();
    for (std::size_t i = 1; i < m_lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const QString& text = m_lines[i];
        if (text.startsWith(u'@'))
            readDirective(text, line);
        else
            readBodyLine(text, line);
    }
    if (m_open)
        fail(m_open->line,
             QStringLiteral("раздел %1 не закрыт строкой «@end»").arg(m_open->context));
    if (m_topics.empty())
        fail(QStringLiteral("в файле нет ни одного раздела"));
    for (const auto& [target, line] : m_links) {
        if (!m_lineOfContext.contains(target))
            fail(line, QStringLiteral("ссылка на раздел %1, которого нет в файле").arg(target));
    }
    return std::move(m_topics);
}

void Parser::splitLines(const QByteArray& bytes) {
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    int line = 0;
    while (true) {
        ++line;
        const auto end = rest.indexOf('\n');
        QByteArrayView raw = end < 0 ? rest : rest.first(end);
        if (raw.endsWith('\r'))
            raw.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(raw);
        if (decoder.hasError())
            fail(line, QStringLiteral("текст не в кодировке UTF-8"));
        for (const QChar c : std::as_const(text)) {
            if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F)
                fail(line,
                     QStringLiteral("недопустимый управляющий символ с кодом %1").arg(c.unicode()));
        }
        m_lines.push_back(std::move(text));
        if (end < 0)
            break;
        rest = rest.sliced(end + 1);
    }
}

void Parser::readHeader() {
    const QString first = m_lines.front().simplified();
    if (first.isEmpty() && m_lines.size() == 1)
        fail(QStringLiteral("файл пуст"));
    const auto parts = first.split(u' ');
    const QString expected = QStringLiteral("«%1 %2»").arg(kMagic).arg(HelpFile::kVersion);
    if (parts.size() != 2 || parts[0] != kMagic || parts[1].isEmpty() ||
        !std::all_of(parts[1].begin(), parts[1].end(), isAsciiDigit))
        fail(1, QStringLiteral("в начале файла нет строки %1").arg(expected));
    bool ok = false;
    const int version = parts[1].toInt(&ok);
    if (!ok || version != HelpFile::kVersion)
        fail(1, QStringLiteral("версия формата %1 не поддерживается, нужна строка %2")
                    .arg(parts[1], expected));
}

void Parser::readDirective(const QString& text, int line) {
    qsizetype end = 0;
    while (end < text.size() && !text[end].isSpace())
        ++end;
    const QString name = text.left(end);
    const QString rest = text.mid(end).trimmed();

    if (name == u"@end") {
        if (!m_open)
            fail(line, QStringLiteral("строка «@end» стоит вне раздела"));
        if (!rest.isEmpty())
            fail(line, QStringLiteral("после «@end» ничего не должно стоять"));
        closeTopic();
        return;
    }
    if (name != u"@topic")
        fail(line, QStringLiteral("неизвестная команда «%1»; текст, начинающийся с «@», "
                                  "пишется как «\\@»")
                       .arg(name));
    if (m_open)
        fail(m_open->line,
             QStringLiteral("раздел %1 не закрыт строкой «@end» до начала следующего раздела")
                 .arg(m_open->context));

    qsizetype numberEnd = 0;
    while (numberEnd < rest.size() && !rest[numberEnd].isSpace())
        ++numberEnd;
    const QString number = rest.left(numberEnd);
    const QString title = rest.mid(numberEnd).trimmed();
    if (number.isEmpty())
        fail(line, QStringLiteral("после «@topic» должны стоять номер раздела и заголовок"));
    const int context = readContext(number, line);
    if (title.isEmpty())
        fail(line, QStringLiteral("у раздела %1 нет заголовка").arg(context));
    if (const auto it = m_lineOfContext.find(context); it != m_lineOfContext.end())
        fail(line, QStringLiteral("раздел с номером %1 уже есть (строка %2)")
                       .arg(context)
                       .arg(it->second));
    if (m_lineOfContext.size() >= kMaxTopics)
        fail(line, QStringLiteral("разделов больше %1").arg(kMaxTopics));
    checkWords(title, line);
    m_lineOfContext.emplace(context, line);

    m_open = HelpTopic{context, title, {}, line};
    m_afterBlank = true;
    m_topicText = 0;
    m_topicParts = 0;
    m_topicMarks = 0;
}

void Parser::closeTopic() {
    if (m_open->blocks.empty())
        fail(m_open->line, QStringLiteral("раздел %1 не содержит текста").arg(m_open->context));
    m_topics.push_back(std::move(*m_open));
    m_open.reset();
}

void Parser::readBodyLine(const QString& text, int line) {
    const QString trimmed = text.trimmed();
    if (!m_open) {
        if (trimmed.isEmpty() || text.startsWith(u'#'))
            return;
        fail(line, QStringLiteral("текст вне раздела; раздел начинается строкой "
                                  "«@topic номер заголовок»"));
    }
    if (trimmed.isEmpty()) {
        m_afterBlank = true;
        return;
    }
    checkWords(trimmed, line);
    m_topicText += trimmed.size();
    if (m_topicText > kMaxTopicText)
        fail(line, QStringLiteral("текст раздела %1 длиннее %2 знаков")
                       .arg(m_open->context)
                       .arg(kMaxTopicText));
    const bool newPart = m_afterBlank || trimmed.startsWith(u"- ");
    if (newPart && ++m_topicParts > kMaxTopicParts)
        fail(line, QStringLiteral("в разделе %1 больше %2 абзацев и пунктов списка")
                       .arg(m_open->context)
                       .arg(kMaxTopicParts));

    auto& blocks = m_open->blocks;
    if (trimmed.startsWith(u"- ")) {
        HelpText item = readInline(trimmed.mid(2).trimmed(), line);
        if (m_afterBlank || blocks.back().kind != HelpBlock::Kind::BulletList)
            blocks.push_back(HelpBlock{HelpBlock::Kind::BulletList, {}});
        blocks.back().parts.push_back(std::move(item));
    } else {
        HelpText spans = readInline(trimmed, line);
        if (m_afterBlank) {
            blocks.push_back(HelpBlock{HelpBlock::Kind::Paragraph, {std::move(spans)}});
        } else {
            // A line right after another continues its paragraph or list item.
            auto& last = blocks.back().parts.back();
            appendPlain(last, QStringLiteral(" "));
            appendSpans(last, std::move(spans));
        }
    }
    m_afterBlank = false;
}

void Parser::checkWords(const QString& text, int line) const {
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kMaxWord)
            fail(line, QStringLiteral("слово длиннее %1 знаков").arg(kMaxWord));
    }
}

int Parser::readContext(const QString& text, int line) const {
    const bool negative = text.startsWith(u'-');
    const QString digits = negative ? text.mid(1) : text;
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        fail(line, QStringLiteral("номер раздела «%1» не является целым числом").arg(text));
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < 1 || value > INT_MAX)
        fail(line, QStringLiteral("номер раздела должен быть от 1 до %1, а не %2")
                       .arg(QString::number(INT_MAX), text));
    return static_cast<int>(value);
}

HelpText Parser::readInline(const QString& text, int line) {
    HelpText out;
    QString plain;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\\') {
            if (i + 1 >= text.size() || !isEscapable(text[i + 1]))
                fail(line, QStringLiteral("после «\\» может стоять только «\\», «{», «}», "
                                          "«@» или «-»"));
            plain += text[i + 1];
            i += 2;
        } else if (c == u'{') {
            // The construct runs to the next unescaped closing brace on this line.
            qsizetype j = i + 1;
            while (true) {
                if (j >= text.size())
                    fail(line, QStringLiteral("фигурная скобка «{» не закрыта в этой строке"));
                if (text[j] == u'\\') {
                    if (j + 1 >= text.size() || !isEscapable(text[j + 1]))
                        fail(line, QStringLiteral("после «\\» может стоять только «\\», «{», "
                                                  "«}», «@» или «-»"));
                    j += 2;
                    continue;
                }
                if (text[j] == u'{')
                    fail(line, QStringLiteral("разметка «{…}» не может стоять внутри другой"));
                if (text[j] == u'}')
                    break;
                ++j;
            }
            appendPlain(out, plain);
            plain.clear();
            if (++m_topicMarks > kMaxTopicMarks)
                fail(line,
                     QStringLiteral("в разделе больше %1 выделений и ссылок").arg(kMaxTopicMarks));
            out.push_back(readConstruct(text.mid(i + 1, j - i - 1), line));
            i = j + 1;
        } else if (c == u'}') {
            fail(line, QStringLiteral("лишняя закрывающая скобка «}»; сама скобка пишется "
                                      "как «\\}»"));
        } else {
            plain += c;
            ++i;
        }
    }
    appendPlain(out, plain);
    return out;
}

HelpSpan Parser::readConstruct(const QString& raw, int line) {
    const QString allowed = QStringLiteral("допустимы {em:текст}, {key:клавиша} и "
                                           "{link:номер:текст}");
    const auto colon = raw.indexOf(u':');
    if (colon < 0)
        fail(line, QStringLiteral("в разметке «{%1}» нет двоеточия; %2").arg(raw, allowed));
    const QString kind = raw.left(colon);
    QString rest = raw.mid(colon + 1);

    HelpSpan span;
    if (kind == u"em") {
        span.kind = HelpSpanKind::Emphasis;
    } else if (kind == u"key") {
        span.kind = HelpSpanKind::Key;
    } else if (kind == u"link") {
        span.kind = HelpSpanKind::Link;
        const auto second = rest.indexOf(u':');
        if (second < 0)
            fail(line, QStringLiteral("в ссылке «{%1}» нет номера раздела; ссылка пишется "
                                      "{link:номер:текст}")
                           .arg(raw));
        span.target = readContext(rest.left(second).trimmed(), line);
        rest = rest.mid(second + 1);
        m_links.emplace_back(span.target, line);
    } else {
        fail(line, QStringLiteral("неизвестная разметка «{%1:…}»; %2").arg(kind, allowed));
    }
    span.text = unescape(rest).trimmed();
    if (span.text.isEmpty())
        fail(line, QStringLiteral("в разметке «{%1}» нет текста").arg(raw));
    return span;
}

QString Parser::unescape(const QString& raw) const {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'\\' && i + 1 < raw.size())
            ++i;
        out += raw[i];
    }
    return out;
}

} // namespace

HelpFile HelpFile::parse(const QByteArray& bytes, const QString& fileName) {
    HelpFile file;
    file.m_topics = Parser(fileName).run(bytes);
    return file;
}

HelpFile HelpFile::load(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    QFile file;
    switch (openRegularFile(path, file).status) {
    case RegularFile::Status::Opened:
        break;
    case RegularFile::Status::NotRegular:
        throw Error(QStringLiteral("Не удаётся открыть файл справки %1: это не обычный файл")
                        .arg(fileName)
                        .toStdString());
    default:
        throw Error(
            QStringLiteral("Не удаётся открыть файл справки %1").arg(fileName).toStdString());
    }
    // Reading one byte past the limit is enough to tell an oversized file.
    const QByteArray bytes = file.read(kMaxSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw Error(
            QStringLiteral("Не удаётся прочитать файл справки %1").arg(fileName).toStdString());
    return parse(bytes, fileName);
}

const HelpTopic* HelpFile::topic(int context) const {
    for (const auto& topic : m_topics) {
        if (topic.context == context)
            return &topic;
    }
    return nullptr;
}

} // namespace lambreya
