#pragma once

#include "data/condition_compiler.h"

namespace lambreya {

// Compiles the condition texts of the search: filter texts such as
//     Nsa_famili = 'ИВАН*' And Nsa_room = '12*'
// and locate texts such as [Nsa_Famili]='ИВ*'.
//
// The language: comparisons `field = 'literal'` (either side may come first), joined by
// AND in any letter case, optionally grouped in parentheses; comments after and between
// items. A literal of two or more characters ending in an asterisk compares as a prefix
// (unless the options hold noPartialCompare); otherwise it compares exactly.
//
// Everything else fails with lambreya::Error:
// - "Filter expression incorrectly terminated": something other than AND or the end after
//   a complete comparison; an unbalanced parenthesis; an unclosed [name] or comment;
// - "Unterminated string constant": a literal still open at the end of the text;
// - "Expression expected but %s found": no operand where one must stand (after =, after
//   AND, at the start, after an opening parenthesis), or a keyword standing there;
// - "Type mismatch in expression": a field or value standing alone as a condition, a
//   number compared with a field (every field is text), two fields or two values compared
//   with each other, and in a filter text any arithmetic;
// - "Invalid filter expression character: '%s'": a character that starts no item;
// - "Arithmetic in filter expressions not supported": in a locate text, a sign + - * /
//   after an operand, also when what follows a complete condition begins with an operand
//   and such a sign.
// A field the resolver does not know fails with the resolver's own error.
//
// The object holds no state: one instance may compile any number of texts.
class FilterCompiler : public ConditionCompiler {
public:
    Condition compile(std::string_view text, const FieldResolver& resolveField,
                      ConditionPurpose purpose, FilterOptions options) const override;
};

} // namespace lambreya
