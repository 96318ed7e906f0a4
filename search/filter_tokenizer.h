#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace lambreya {

// The kinds of item a condition text is made of.
enum class FilterItemKind {
    End,           // the end of the text
    Error,         // the text cannot be read on from here; message says why
    Name,          // a plain word: a field name or a keyword such as AND
    BracketedName, // [name]: always a field name
    Literal,       // 'text'
    Number,        // digits, with an optional fractional part
    Equals,        // =
    Plus,          // +
    Minus,         // -
    Times,         // *
    Divide,        // /
    OpenParen,     // (
    CloseParen,    // )
};

// One item of a condition text. Views point into the text given to the tokenizer.
struct FilterItem {
    FilterItemKind kind = FilterItemKind::End;
    std::size_t position = 0;  // offset of the item's first byte in the text
    std::string_view spelling; // the item as the text writes it
    std::string_view name;     // Name, BracketedName: the name without brackets
    std::string literal;       // Literal: the characters read (at most kMaxLiteralLength)
    std::string message;       // Error: the exact message, UTF-8
};

// A literal keeps this many characters; the rest of it is read and dropped.
inline constexpr std::size_t kMaxLiteralLength = 256;

// Reads a condition text (code page 1251) item by item. Blanks, control characters and
// comments (/* ... */ and // to the end of the line) between items are skipped.
//
// Nothing is thrown: a place where the text cannot be read on gives an Error item, and
// after it, as after End, every further call gives End. A parser thus meets an error only
// when it gets that far, so an earlier fault is reported first.
class FilterTokenizer {
public:
    explicit FilterTokenizer(std::string_view text);

    FilterItem next();

private:
    FilterItem readLiteral(std::size_t start);
    bool apostropheEndsLiteral(std::size_t at) const;
    bool closedLater(char quote, std::size_t at) const;
    FilterItem fail(std::size_t at, std::string message);

    std::string_view m_text;
    std::size_t m_pos = 0;
    // Where each of the three quote characters ' " ` last occurs in the text (npos: never).
    std::array<std::size_t, 3> m_lastQuote{};
};

} // namespace lambreya
