#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The help file: a UTF-8 text of topics, each with a context number, a title and a body
// of paragraphs and bulleted lists with a little inline markup. docs/help-format.md
// describes the format; this is its reader.
namespace lambreya {

enum class HelpSpanKind {
    Text,     // plain text
    Emphasis, // {em:...}
    Key,      // {key:...}, the name of a key or key combination
    Link,     // {link:N:...}, a link to the topic with context number N
};

struct HelpSpan {
    HelpSpanKind kind = HelpSpanKind::Text;
    QString text;
    int target = 0; // context number a link leads to; 0 for the other kinds

    bool operator==(const HelpSpan&) const = default;
};

// A run of inline text: one paragraph, or one item of a list.
using HelpText = std::vector<HelpSpan>;

struct HelpBlock {
    enum class Kind { Paragraph, BulletList };
    Kind kind = Kind::Paragraph;
    std::vector<HelpText> parts; // a paragraph has one part, a list one part per item
};

struct HelpTopic {
    int context = 0;
    QString title;
    std::vector<HelpBlock> blocks;
    int line = 0; // line of the file where the topic begins
};

class HelpFile {
public:
    static constexpr int kVersion = 1;
    static constexpr qint64 kMaxSize = 4 * 1024 * 1024;

    // Reads the help file text. A damaged text throws Error with a Russian message that
    // names fileName and, where there is one, the line at fault.
    static HelpFile parse(const QByteArray& bytes, const QString& fileName);

    // Reads the file at path and parses it; an unreadable or oversized file throws Error
    // as well.
    static HelpFile load(const QString& path);

    // The topics in file order.
    const std::vector<HelpTopic>& topics() const { return m_topics; }

    // The topic with that context number, or nullptr.
    const HelpTopic* topic(int context) const;

private:
    std::vector<HelpTopic> m_topics;
};

} // namespace lambreya
