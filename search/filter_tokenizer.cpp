#include "search/filter_tokenizer.h"

#include "data/cp1251.h"
#include "search/filter_messages.h"

#include <algorithm>

namespace lambreya {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

unsigned char byteOf(char c) {
    return static_cast<unsigned char>(c);
}

bool isBlankOrControl(char c) {
    return byteOf(c) <= 32 || byteOf(c) == 127;
}

bool isLatin(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsName(char c) {
    return isLatin(c) || c == '_' || (byteOf(c) >= 129 && byteOf(c) <= 254);
}

bool continuesName(char c) {
    return isLatin(c) || isDigit(c) || c == '_' || c == '.' || c == '[' || c == ']';
}

// Where a word of the look-ahead after an apostrophe stops.
bool breaksWord(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == ',' || c == '(';
}

std::size_t quoteIndex(char quote) {
    return quote == '\'' ? 0 : quote == '"' ? 1 : 2;
}

bool equalsWord(std::string_view word, std::string_view keyword) {
    return cp1251::equalsCaseBlind(word, keyword);
}

// The words that, standing after an apostrophe inside a literal, show that the apostrophe
// closes it: they continue a condition rather than the text of a value.
bool isClosingKeyword(std::string_view word) {
    static constexpr std::string_view kWords[] = {
        "AND",        "OR",     "LIKE", "IS",    "NULL",   "ASC",   "ASCENDING", "DESC",
        "DESCENDING", "SELECT", "FROM", "WHERE", "HAVING", "UNION", "PLAN",
    };
    for (std::string_view keyword : kWords) {
        if (equalsWord(word, keyword))
            return true;
    }
    return false;
}

// The word that follows `end`, past blanks and line breaks: the second word of GROUP BY,
// ORDER BY and FOR UPDATE.
std::string_view wordAfter(std::string_view text, std::size_t end) {
    std::size_t i = end;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    const std::size_t start = i;
    while (i < text.size() && !breaksWord(text[i]))
        ++i;
    return text.substr(start, i - start);
}

} // namespace

FilterTokenizer::FilterTokenizer(std::string_view text)
    : m_text(text) {
    m_lastQuote[quoteIndex('\'')] = text.rfind('\'');
    m_lastQuote[quoteIndex('"')] = text.rfind('"');
    m_lastQuote[quoteIndex('`')] = text.rfind('`');
}

FilterItem FilterTokenizer::fail(std::size_t at, std::string message) {
    FilterItem item;
    item.kind = FilterItemKind::Error;
    item.position = at;
    item.spelling = m_text.substr(at, 1);
    item.message = std::move(message);
    m_pos = m_text.size();
    return item;
}

FilterItem FilterTokenizer::next() {
    const std::size_t n = m_text.size();
    while (m_pos < n) {
        const char c = m_text[m_pos];
        if (isBlankOrControl(c)) {
            ++m_pos;
        } else if (c == '/' && m_pos + 1 < n && m_text[m_pos + 1] == '*') {
            const std::size_t close = m_text.find("*/", m_pos + 2);
            if (close == kNone)
                return fail(m_pos, std::string(filter_messages::kIncorrectlyTerminated));
            m_pos = close + 2;
        } else if (c == '/' && m_pos + 1 < n && m_text[m_pos + 1] == '/') {
            while (m_pos < n && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
                ++m_pos;
        } else {
            break;
        }
    }

    FilterItem item;
    item.position = m_pos;
    if (m_pos >= n) {
        item.kind = FilterItemKind::End;
        return item;
    }

    const std::size_t start = m_pos;
    const char c = m_text[start];
    if (startsName(c)) {
        std::size_t end = start + 1;
        while (end < n && continuesName(m_text[end]))
            ++end;
        item.kind = FilterItemKind::Name;
        item.spelling = m_text.substr(start, end - start);
        item.name = item.spelling;
        m_pos = end;
        return item;
    }
    if (c == '[') {
        const std::size_t close = m_text.find(']', start + 1);
        if (close == kNone)
            return fail(start, std::string(filter_messages::kIncorrectlyTerminated));
        item.kind = FilterItemKind::BracketedName;
        item.spelling = m_text.substr(start, close + 1 - start);
        item.name = m_text.substr(start + 1, close - start - 1);
        m_pos = close + 1;
        return item;
    }
    if (c == '\'')
        return readLiteral(start);
    if (isDigit(c)) {
        std::size_t end = start + 1;
        while (end < n && isDigit(m_text[end]))
            ++end;
        if (end + 1 < n && m_text[end] == '.' && isDigit(m_text[end + 1])) {
            end += 2;
            while (end < n && isDigit(m_text[end]))
                ++end;
        }
        item.kind = FilterItemKind::Number;
        item.spelling = m_text.substr(start, end - start);
        m_pos = end;
        return item;
    }

    switch (c) {
    case '=':
        item.kind = FilterItemKind::Equals;
        break;
    case '+':
        item.kind = FilterItemKind::Plus;
        break;
    case '-':
        item.kind = FilterItemKind::Minus;
        break;
    case '*':
        item.kind = FilterItemKind::Times;
        break;
    case '/':
        item.kind = FilterItemKind::Divide;
        break;
    case '(':
        item.kind = FilterItemKind::OpenParen;
        break;
    case ')':
        item.kind = FilterItemKind::CloseParen;
        break;
    default:
        return fail(start, filter_messages::invalidCharacter(m_text.substr(start, 1)));
    }
    item.spelling = m_text.substr(start, 1);
    m_pos = start + 1;
    return item;
}

// A literal runs from its opening apostrophe to the apostrophe that closes it. A doubled
// apostrophe stands for one. A single one closes the literal when nothing after it could be
// read as part of the value; see apostropheEndsLiteral.
FilterItem FilterTokenizer::readLiteral(std::size_t start) {
    const std::size_t n = m_text.size();
    FilterItem item;
    item.kind = FilterItemKind::Literal;
    item.position = start;
    item.literal.reserve(std::min(n - start, kMaxLiteralLength));

    const auto keep = [&item](char c) {
        if (item.literal.size() < kMaxLiteralLength)
            item.literal.push_back(c);
    };

    std::size_t i = start + 1;
    while (i < n) {
        const char c = m_text[i];
        if (c != '\'') {
            keep(c);
            ++i;
            continue;
        }
        if (i + 1 < n && m_text[i + 1] == '\'') {
            keep('\'');
            i += 2;
            continue;
        }
        if (!closedLater('\'', i) || apostropheEndsLiteral(i)) {
            item.spelling = m_text.substr(start, i + 1 - start);
            m_pos = i + 1;
            return item;
        }
        keep('\'');
        ++i;
    }
    return fail(start, std::string(filter_messages::kUnterminatedString));
}

bool FilterTokenizer::closedLater(char quote, std::size_t at) const {
    const std::size_t last = m_lastQuote[quoteIndex(quote)];
    return last != kNone && last > at;
}

// Looks at what follows a single apostrophe inside a literal, which some later apostrophe
// could still close, and decides whether this apostrophe closes the literal: it does when
// the text goes on as a condition would (a number, a comparison, a comment, a quoted value,
// a keyword), and it stays in the value when a plain word follows.
bool FilterTokenizer::apostropheEndsLiteral(std::size_t at) const {
    const std::string_view text = m_text;
    const std::size_t n = text.size();
    std::size_t i = at + 1;
    while (i < n && (text[i] == ' ' || text[i] == ')'))
        ++i;
    while (i < n && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n' || text[i] == ',' ||
                     text[i] == '('))
        ++i;
    if (i >= n)
        return false; // not reached: the later apostrophe stops the skipping

    const std::size_t itemStart = i;
    const char first = text[i];
    if (isDigit(first) || first == '=' || first == '<' || first == '>')
        return true;
    const bool dotted = first == '.';
    if (dotted)
        ++i;

    for (; i < n && !breaksWord(text[i]); ++i) {
        const char c = text[i];
        if (c == '/' && i + 1 < n && (text[i + 1] == '*' || text[i + 1] == '/'))
            return true;
        if ((c == '\'' || c == '"' || c == '`') && closedLater(c, i))
            return !dotted;
        if (c == '.' && i > itemStart)
            return true;
    }
    if (dotted)
        return false;

    const std::string_view word = text.substr(itemStart, i - itemStart);
    if (isClosingKeyword(word))
        return true;
    if (equalsWord(word, "GROUP") || equalsWord(word, "ORDER"))
        return equalsWord(wordAfter(text, i), "BY");
    if (equalsWord(word, "FOR"))
        return equalsWord(wordAfter(text, i), "UPDATE");
    return false;
}

} // namespace lambreya
