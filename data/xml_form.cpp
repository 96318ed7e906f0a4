#include "data/xml_form.h"

#include "data/byte_writer.h"
#include "data/columns_builder.h"
#include "data/cp1251.h"
#include "data/stored_form.h"
#include "data/xml_canonical_reader.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>

namespace lambreya {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n";
constexpr std::string_view kVersion = "1";

// A value is written as text unless it holds a byte XML cannot carry as a character
// (control bytes, and 0x98, which code page 1251 leaves undefined): then as hex digits.
bool needsHex(std::string_view value) {
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x98)
            return true;
    }
    return false;
}

void appendEscaped(ByteWriter& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        default:
            out.push(c);
        }
    }
}

void appendHex(ByteWriter& out, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out.push(kDigits[byte >> 4]);
        out.push(kDigits[byte & 0xF]);
    }
}

const char* flag(bool on) {
    return on ? "1" : "0";
}

// Reading --------------------------------------------------------------------------------

class XmlParser {
public:
    explicit XmlParser(std::string_view bytes)
        : m_data(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())))
        , m_xml(m_data) {}

    // Everything up to and including the <records> start tag.
    XmlHead parseHead() {
        XmlHead head;
        Directory& dir = head.directory;
        expectStart("directory"_L1);
        if (attribute("version"_L1) !=
            QLatin1StringView(kVersion.data(), qsizetype(kVersion.size())))
            fail("версия формата " + attribute("version"_L1).toString().toStdString() +
                 " не поддерживается");
        dir.markers.readOnly = flagAttribute("readonly"_L1);
        dir.markers.disableEdits = flagAttribute("DISABLE_EDITS"_L1);
        dir.markers.disableInserts = flagAttribute("DISABLE_INSERTS"_L1);
        dir.markers.disableDeletes = flagAttribute("DISABLE_DELETES"_L1);

        expectStart("fields"_L1);
        while (nextStartWithin("fields"_L1, "field"_L1)) {
            if (dir.fields.size() >= kMaxFieldCount)
                fail("в файле описано больше " + std::to_string(kMaxFieldCount) + " полей");
            dir.fields.push_back(readField(dir.fields.size()));
        }
        checkFieldDefinitions(dir.fields);

        expectStart("records"_L1);
        m_declaredCount = attribute("count"_L1).toString();
        bool counted = false;
        const qulonglong count = m_declaredCount.toULongLong(&counted);
        if (counted)
            head.declaredCount = count;
        head.recordsAt = static_cast<std::size_t>(m_xml.characterOffset());
        head.line = static_cast<std::size_t>(m_xml.lineNumber());
        head.inCodePage1251 = m_inCodePage1251;
        return head;
    }

    Directory parse() {
        Directory dir = parseHead().directory;
        const QString declaredCount = m_declaredCount;
        readRecords(dir);
        if (!declaredCount.isEmpty() && declaredCount.toULongLong() != dir.order.size())
            fail("в файле " + std::to_string(dir.order.size()) + " записей, а объявлено " +
                 declaredCount.toStdString());
        expectEnd("directory"_L1);
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement() || (m_xml.isCharacters() && !m_xml.isWhitespace()))
                fail("после конца справочника стоят лишние данные");
        }
        checkXmlError();
        return dir;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw DataFormatError("XML, строка " + std::to_string(m_xml.lineNumber()) + ": " + what);
    }

    void checkXmlError() const {
        if (m_xml.hasError())
            fail(m_xml.errorString().toStdString());
    }

    // The next token that matters: skips whitespace, comments and processing instructions.
    QXmlStreamReader::TokenType nextToken() {
        for (;;) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            switch (token) {
            case QXmlStreamReader::Invalid:
                checkXmlError();
                fail("неожиданный конец файла");
            case QXmlStreamReader::DTD:
                fail("объявления DTD не допускаются");
            case QXmlStreamReader::EntityReference:
                fail("неизвестная сущность");
            case QXmlStreamReader::StartDocument:
                // Told only while the reader stands on the declaration.
                m_inCodePage1251 =
                    m_xml.documentEncoding().compare("windows-1251"_L1, Qt::CaseInsensitive) == 0;
                continue;
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
                continue;
            case QXmlStreamReader::Characters:
                if (m_xml.isWhitespace())
                    continue;
                return token;
            default:
                return token;
            }
        }
    }

    void expectStart(QLatin1StringView name) {
        if (nextToken() != QXmlStreamReader::StartElement || m_xml.name() != name)
            fail("ожидался элемент <" + name.toString().toStdString() + ">");
    }

    void expectEnd(QLatin1StringView name) {
        if (nextToken() != QXmlStreamReader::EndElement || m_xml.name() != name)
            fail("ожидался конец элемента <" + name.toString().toStdString() + ">");
    }

    // True at the start of a `child` element; false at the end of `parent`.
    bool nextStartWithin(QLatin1StringView parent, QLatin1StringView child) {
        const QXmlStreamReader::TokenType token = nextToken();
        if (token == QXmlStreamReader::EndElement && m_xml.name() == parent)
            return false;
        if (token != QXmlStreamReader::StartElement || m_xml.name() != child)
            fail("ожидался элемент <" + child.toString().toStdString() + ">");
        return true;
    }

    QStringView attribute(QLatin1StringView name) const { return m_xml.attributes().value(name); }

    bool flagAttribute(QLatin1StringView name) const {
        const QStringView value = attribute(name);
        if (value.isEmpty() || value == u"0")
            return false;
        if (value == u"1")
            return true;
        fail("признак " + name.toString().toStdString() + " должен быть 0 или 1");
    }

    std::string bytesOf(QStringView text) const {
        std::string out;
        if (!cp1251::appendFromUnicode(text, out))
            fail("текст содержит знак вне кодовой страницы 1251");
        return out;
    }

    FieldDef readField(std::size_t index) {
        FieldDef field;
        field.name = bytesOf(attribute("name"_L1));
        if (attribute("type"_L1) != "text"_L1)
            fail("поле " + std::to_string(index + 1) + " имеет неизвестный тип");
        bool ok = false;
        const qulonglong width = attribute("width"_L1).toULongLong(&ok);
        field.width = ok && width <= kMaxFieldWidth ? static_cast<std::uint32_t>(width) : 0;
        field.readOnly = flagAttribute("readonly"_L1);
        field.required = flagAttribute("required"_L1);
        expectEnd("field"_L1);
        return field;
    }

    void readRecords(Directory& dir) {
        const std::size_t fieldCount = dir.fields.size();
        ColumnsBuilder columns(fieldCount);
        while (nextStartWithin("records"_L1, "r"_L1)) {
            const std::size_t record = columns.records() + 1;
            if (record >= std::numeric_limits<RecordId>::max())
                fail("слишком много записей");
            std::size_t f = 0;
            while (nextStartWithin("r"_L1, "v"_L1)) {
                if (f >= fieldCount)
                    fail("в записи " + std::to_string(record) + " больше значений, чем полей (" +
                         std::to_string(fieldCount) + ")");
                columns.beginValue(f);
                readValue(columns.column(f));
                if (columns.endValue(f) > dir.fields[f].width)
                    fail(valueTooLong(dir.fields[f], record - 1));
                ++f;
            }
            if (f != fieldCount)
                fail("в записи " + std::to_string(record) + " " + std::to_string(f) +
                     " значений, а полей " + std::to_string(fieldCount));
            columns.endRecord();
        }
        columns.finish(dir);
    }

    // Appends one <v> element's value to `out`; the reader stands on its start.
    void readValue(Bytes& out) {
        // Attribute views do not outlive the next token: keep a copy.
        const QString hex = attribute("hex"_L1).toString();
        const bool isHex = m_xml.attributes().hasAttribute("hex"_L1);
        for (;;) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::EndElement)
                break;
            if (token != QXmlStreamReader::Characters || isHex) {
                checkXmlError();
                fail("значение может содержать только текст");
            }
            if (!cp1251::appendFromUnicode(m_xml.text(), out))
                fail("значение содержит знак вне кодовой страницы 1251");
        }
        if (isHex)
            appendHexValue(hex, out);
    }

    void appendHexValue(QStringView hex, Bytes& out) const {
        if (hex.size() % 2 != 0)
            fail("нечётное число цифр в шестнадцатеричном значении");
        for (qsizetype i = 0; i < hex.size(); i += 2) {
            const int high = hexDigit(hex[i]);
            const int low = hexDigit(hex[i + 1]);
            if (high < 0 || low < 0)
                fail("недопустимая цифра в шестнадцатеричном значении");
            out.push_back(static_cast<char>(high * 16 + low));
        }
    }

    static int hexDigit(QChar c) {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            return u - '0';
        if (u >= 'A' && u <= 'F')
            return u - 'A' + 10;
        if (u >= 'a' && u <= 'f')
            return u - 'a' + 10;
        return -1;
    }

    QByteArray m_data;
    QXmlStreamReader m_xml;
    QString m_declaredCount;
    bool m_inCodePage1251 = false;
};

// No element of the form has more than a handful of attributes, and no piece of it is
// longer than a value of the widest field written with every byte escaped. The general
// reader compares each attribute of a start tag with all before it, so tens of thousands
// of them would take minutes, and it holds a whole piece of text in memory, twice, before
// it hands it on; this pass refuses such a file first, in one look at each byte.
constexpr std::size_t kMaxAttributes = 16;
// The longest opening the pass tells apart.
constexpr std::string_view kCdataOpening = "<![CDATA[";

// The pass over bytes that may still be arriving: each scan goes on from the piece it
// stopped at, and a piece that may go on past the bytes at hand is left for the next scan
// unless they are the whole file. A piece is refused as soon as it is longer than it may
// be, whether or not its end has arrived.
class MarkupCheck {
public:
    // `bytes` holds what the last scan was given and what has arrived since; `complete`
    // when that is the whole file.
    void scan(std::string_view bytes, bool complete);

private:
    std::size_t m_at = 0;
    std::size_t m_line = 1;
};

void MarkupCheck::scan(std::string_view bytes, bool complete) {
    std::size_t& line = m_line;
    std::size_t& at = m_at;
    auto refuse = [&](std::size_t where, const std::string& what) {
        throw DataFormatError("XML, строка " + std::to_string(where) + ": " + what);
    };
    auto countLines = [&](std::size_t from, std::size_t to) {
        line += static_cast<std::size_t>(
            std::count(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
    };
    // Past the end of a comment, a processing instruction or a declaration; looks no
    // further than kMaxXmlPiece bytes for it. False when the end is yet to come.
    auto skipPast = [&](std::string_view end, const char* what) {
        const std::size_t startLine = line;
        const std::string_view window = bytes.substr(at, kMaxXmlPiece);
        const std::size_t found = window.find(end);
        if (found == std::string_view::npos && window.size() == kMaxXmlPiece)
            refuse(startLine, std::string(what) + " длиннее 1 МиБ");
        if (found == std::string_view::npos && !complete)
            return false;
        const std::size_t stop =
            found == std::string_view::npos ? bytes.size() : at + found + end.size();
        countLines(at, stop);
        at = stop;
        return true;
    };
    while (at < bytes.size()) {
        if (bytes[at] != '<') {
            // Text up to the next tag.
            const std::size_t next = bytes.find('<', at);
            const std::size_t stop = next == std::string_view::npos ? bytes.size() : next;
            if (stop - at > kMaxXmlPiece)
                refuse(line, "текст длиннее 1 МиБ, а значение поля не длиннее " +
                                 std::to_string(kMaxFieldWidth) + " знаков");
            if (next == std::string_view::npos && !complete)
                return;
            countLines(at, stop);
            at = stop;
            continue;
        }
        const std::string_view rest = bytes.substr(at);
        if (rest.size() < kCdataOpening.size() && !complete)
            return; // which piece this is may yet change
        if (rest.starts_with("<!--")) {
            if (!skipPast("-->", "комментарий"))
                return;
        } else if (rest.starts_with(kCdataOpening)) {
            if (!skipPast("]]>", "раздел CDATA"))
                return;
        } else if (rest.starts_with("<?")) {
            if (!skipPast("?>", "инструкция обработки"))
                return;
        } else if (rest.starts_with("</") || rest.starts_with("<!")) {
            if (!skipPast(">", "элемент"))
                return;
        } else {
            // A start tag: its attributes are its equals signs outside quoted values.
            const std::size_t tagLine = line;
            const std::size_t tagStart = at;
            std::size_t attributes = 0;
            char quote = 0;
            bool closed = false;
            for (++at; at < bytes.size() && !closed; ++at) {
                if (at - tagStart > kMaxXmlPiece)
                    refuse(tagLine, "элемент длиннее 1 МиБ");
                const char b = bytes[at];
                if (b == '\n')
                    ++line;
                if (quote != 0) {
                    if (b == quote)
                        quote = 0;
                } else if (b == '"' || b == '\'') {
                    quote = b;
                } else if (b == '=') {
                    if (++attributes > kMaxAttributes)
                        refuse(tagLine, "у элемента больше " + std::to_string(kMaxAttributes) +
                                            " атрибутов");
                } else if (b == '>') {
                    closed = true;
                }
            }
            if (!closed && !complete) {
                at = tagStart;
                line = tagLine;
                return;
            }
        }
    }
}

void checkMarkup(std::string_view bytes) {
    MarkupCheck().scan(bytes, true);
}

} // namespace

bool looksLikeXmlForm(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    // Blanks before the first tag are text, no longer than any other.
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && start <= kMaxXmlPiece && bytes[start] == '<';
}

struct XmlFormReader::State {
    std::optional<CanonicalXmlReader> quick{std::in_place};
    MarkupCheck markup;
    std::optional<Directory> directory;
};

XmlFormReader::XmlFormReader()
    : m_state(std::make_unique<State>()) {}

XmlFormReader::~XmlFormReader() = default;

void XmlFormReader::arrived(std::string_view soFar, bool complete) {
    State& s = *m_state;
    if (s.quick) {
        switch (s.quick->arrived(soFar, complete)) {
        case CanonicalXmlReader::Progress::Read:
            s.directory = s.quick->take();
            s.quick.reset();
            return;
        case CanonicalXmlReader::Progress::Reading:
            if (s.quick->inRecords())
                return; // it bounds every piece it reads
            break;
        case CanonicalXmlReader::Progress::Declined:
            s.quick.reset();
            break;
        }
    }
    s.markup.scan(soFar, complete);
    if (complete)
        s.directory = XmlParser(soFar).parse();
}

Directory XmlFormReader::take() {
    return std::move(m_state->directory.value());
}

Directory parseXmlForm(std::string_view bytes) {
    XmlFormReader reader;
    reader.arrived(bytes, true);
    return reader.take();
}

std::optional<XmlHead> readXmlHead(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return std::nullopt;
    // Without a record in the program's layout the quick reader has nothing to gain.
    const std::size_t firstRecord = bytes.find("<r>");
    if (firstRecord == std::string_view::npos)
        return std::nullopt;
    std::optional<XmlHead> head;
    try {
        // The general reader is given the head alone: it takes in all it is given at once.
        const std::string_view headBytes = bytes.substr(0, firstRecord);
        checkMarkup(headBytes);
        head = XmlParser(headBytes).parseHead();
    } catch (const DataFormatError&) {
        return std::nullopt;
    }
    // The quick reader takes the records as code page 1251, as the declaration must say
    // (any other document is UTF-8 or what it declares); there the reader's characters are
    // bytes.
    if (!head->declaredCount || !head->inCodePage1251 || head->recordsAt == 0 ||
        head->recordsAt > bytes.size() || bytes[head->recordsAt - 1] != '>')
        return std::nullopt;
    return head;
}

Directory parseXmlFormGeneral(std::string_view bytes) {
    checkMarkup(bytes);
    return XmlParser(bytes).parse();
}

Bytes storeXmlForm(const Directory& dir) {
    std::size_t estimate = 512;
    for (std::size_t f = 0; f < dir.fields.size(); ++f) {
        estimate += 64 + dir.fields[f].name.size();
        for (RecordId id : dir.order)
            estimate += 8 + dir.columns.value(id, f).size();
    }
    ByteWriter out(estimate + dir.order.size() * 12);

    out.append(kDeclaration);
    out.append("<directory version=\"").append(kVersion).append("\"");
    out.append(" readonly=\"").append(flag(dir.markers.readOnly)).append("\"");
    out.append(" DISABLE_EDITS=\"").append(flag(dir.markers.disableEdits)).append("\"");
    out.append(" DISABLE_INSERTS=\"").append(flag(dir.markers.disableInserts)).append("\"");
    out.append(" DISABLE_DELETES=\"").append(flag(dir.markers.disableDeletes)).append("\">\n");
    out.append("<fields>\n");
    for (const FieldDef& field : dir.fields) {
        out.append("<field name=\"");
        appendEscaped(out, field.name);
        out.append("\" type=\"text\" width=\"").append(std::to_string(field.width));
        out.append("\" readonly=\"").append(flag(field.readOnly));
        out.append("\" required=\"").append(flag(field.required)).append("\"/>\n");
    }
    out.append("</fields>\n");
    out.append("<records count=\"").append(std::to_string(dir.order.size())).append("\">\n");
    for (RecordId id : dir.order) {
        out.append("<r>");
        for (std::size_t f = 0; f < dir.fields.size(); ++f) {
            const std::string_view value = dir.columns.value(id, f);
            if (value.empty()) {
                out.append("<v/>");
            } else if (needsHex(value)) {
                out.append("<v hex=\"");
                appendHex(out, value);
                out.append("\"/>");
            } else {
                out.append("<v>");
                appendEscaped(out, value);
                out.append("</v>");
            }
        }
        out.append("</r>\n");
    }
    out.append("</records>\n</directory>\n");
    return out.take();
}

} // namespace lambreya
