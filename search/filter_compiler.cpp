#include "search/filter_compiler.h"

#include "data/cp1251.h"
#include "data/error.h"
#include "search/filter_messages.h"
#include "search/filter_tokenizer.h"

#include <utility>

namespace lambreya {
namespace {

using Kind = FilterItemKind;

bool isSign(Kind kind) {
    return kind == Kind::Plus || kind == Kind::Minus || kind == Kind::Times || kind == Kind::Divide;
}

bool isKeyword(const FilterItem& item, std::string_view keyword) {
    return item.kind == Kind::Name && cp1251::equalsCaseBlind(item.name, keyword);
}

// Plain words that never name a field: they belong to the condition language, even where
// this compiler does not support them.
bool isReservedWord(const FilterItem& item) {
    static constexpr std::string_view kWords[] = {"AND", "OR", "NOT", "LIKE", "IS", "NULL", "IN"};
    for (std::string_view word : kWords) {
        if (isKeyword(item, word))
            return true;
    }
    return false;
}

bool startsOperand(const FilterItem& item) {
    switch (item.kind) {
    case Kind::Name:
        return !isReservedWord(item);
    case Kind::BracketedName:
    case Kind::Literal:
    case Kind::Number:
        return true;
    default:
        return false;
    }
}

constexpr int kMaxNesting = 200;

[[noreturn]] void fail(std::string_view message) {
    throw Error(std::string(message));
}

struct Operand {
    enum class Type {
        Field,
        Text,
        Number,
    };
    Type type = Type::Text;
    int field = -1;
    std::string text;
};

// Recursive descent over the items, one item of look-ahead, at most kMaxNesting
// parentheses deep:
//   condition  := term { AND term }
//   term       := '(' condition ')' | comparison
//   comparison := operand '=' operand
//   operand    := field | literal | number | '(' operand ')'
class Parser {
public:
    Parser(std::string_view text, const FieldResolver& resolveField, ConditionPurpose purpose,
           FilterOptions options)
        : m_tokens(text)
        , m_resolveField(resolveField)
        , m_purpose(purpose)
        , m_options(options) {
        advance();
    }

    Condition run() {
        if (m_item.kind != Kind::End) {
            parseCondition();
            if (m_item.kind != Kind::End)
                failAfterCondition();
        }
        return std::move(m_condition);
    }

private:
    void advance() {
        m_item = m_tokens.next();
        if (m_item.kind == Kind::Error)
            fail(m_item.message);
    }

    void parseCondition() {
        parseTerm();
        while (isKeyword(m_item, "AND")) {
            advance();
            parseTerm();
        }
    }

    void parseTerm() {
        if (m_item.kind != Kind::OpenParen) {
            parseComparison();
            return;
        }
        enterParenthesis();
        parseCondition();
        expectCloseParen();
    }

    void parseComparison() {
        Operand left = parseOperand();
        if (m_item.kind == Kind::Equals) {
            advance();
            addComparison(std::move(left), parseOperand());
            return;
        }
        // A field or a value alone is no condition.
        if (m_item.kind == Kind::End || m_item.kind == Kind::CloseParen || isKeyword(m_item, "AND"))
            fail(filter_messages::kTypeMismatch);
        fail(filter_messages::kIncorrectlyTerminated);
    }

    Operand parseOperand() {
        Operand operand;
        switch (m_item.kind) {
        case Kind::Name:
            if (isReservedWord(m_item))
                fail(filter_messages::expressionExpected(m_item.spelling));
            [[fallthrough]];
        case Kind::BracketedName:
            operand.type = Operand::Type::Field;
            operand.field = m_resolveField(m_item.name);
            advance();
            break;
        case Kind::Literal:
            operand.type = Operand::Type::Text;
            operand.text = std::move(m_item.literal);
            advance();
            break;
        case Kind::Number:
            operand.type = Operand::Type::Number;
            advance();
            break;
        case Kind::OpenParen:
            enterParenthesis();
            operand = parseOperand();
            expectCloseParen();
            break;
        default:
            fail(filter_messages::expressionExpected(m_item.spelling));
        }
        if (isSign(m_item.kind))
            failArithmetic();
        return operand;
    }

    // Nesting is bounded so that no text can exhaust the stack.
    void enterParenthesis() {
        if (m_depth == kMaxNesting)
            fail(filter_messages::expressionExpected(m_item.spelling));
        ++m_depth;
        advance();
    }

    void expectCloseParen() {
        if (m_item.kind != Kind::CloseParen)
            fail(filter_messages::kIncorrectlyTerminated);
        --m_depth;
        advance();
    }

    [[noreturn]] void failArithmetic() const {
        // Every field is text, so arithmetic in a filter can never be compared with one;
        // a locate condition admits no arithmetic at all.
        fail(m_purpose == ConditionPurpose::Locate ? filter_messages::kArithmeticNotSupported
                                                   : filter_messages::kTypeMismatch);
    }

    // Something follows a complete condition. In a locate text that is the rest of a box
    // text whose apostrophe closed the literal early, followed by the marker asterisk: when
    // it begins as arithmetic, that is what the user is told.
    [[noreturn]] void failAfterCondition() {
        if (m_purpose == ConditionPurpose::Locate && startsOperand(m_item) &&
            isSign(m_tokens.next().kind))
            fail(filter_messages::kArithmeticNotSupported);
        fail(filter_messages::kIncorrectlyTerminated);
    }

    void addComparison(Operand left, Operand right) {
        if (left.type != Operand::Type::Field)
            std::swap(left, right);
        if (left.type != Operand::Type::Field || right.type != Operand::Type::Text)
            fail(filter_messages::kTypeMismatch);

        Comparison comparison;
        comparison.field = left.field;
        comparison.op = CompareOp::Equal;
        comparison.literal = std::move(right.text);
        comparison.caseInsensitive = m_options.caseInsensitive;
        // A trailing asterisk marks a prefix, but not on a literal of one asterisk alone.
        const std::size_t length = comparison.literal.size();
        if (length >= 2 && comparison.literal.back() == '*' && !m_options.noPartialCompare) {
            comparison.literal.pop_back();
            comparison.prefixLength = length - 1;
        }
        m_condition.comparisons.push_back(std::move(comparison));
    }

    FilterTokenizer m_tokens;
    const FieldResolver& m_resolveField;
    ConditionPurpose m_purpose;
    FilterOptions m_options;
    FilterItem m_item;
    Condition m_condition;
    int m_depth = 0;
};

} // namespace

Condition FilterCompiler::compile(std::string_view text, const FieldResolver& resolveField,
                                  ConditionPurpose purpose, FilterOptions options) const {
    return Parser(text, resolveField, purpose, options).run();
}

} // namespace lambreya
