#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lambreya {

enum class CompareOp {
    Equal,
};

// One comparison of a compiled condition: a field against a literal.
//
// With prefixLength 0 the comparison is exact: the value must equal the literal.
// Otherwise the value must begin with the first prefixLength bytes of the literal
// (the literal is stored without its marker asterisk, so prefixLength == literal size).
// Bytes are compared one by one; with caseInsensitive the letters are folded first.
struct Comparison {
    int field = -1;
    CompareOp op = CompareOp::Equal;
    std::string literal;
    std::size_t prefixLength = 0;
    bool caseInsensitive = false;

    friend bool operator==(const Comparison&, const Comparison&) = default;
};

// A compiled filter or locate condition: every comparison must hold. Empty: everything passes.
struct Condition {
    std::vector<Comparison> comparisons;

    bool empty() const { return comparisons.empty(); }
    friend bool operator==(const Condition&, const Condition&) = default;
};

bool matches(const Comparison& comparison, std::string_view value);

} // namespace lambreya
