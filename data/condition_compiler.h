#pragma once

#include "data/condition.h"

#include <functional>
#include <string_view>

namespace lambreya {

// What a condition text is compiled for. A locate condition admits no arithmetic.
enum class ConditionPurpose {
    Filter,
    Locate,
};

// The record set's filter options; both are off in this program.
struct FilterOptions {
    bool caseInsensitive = false;  // sets the case flag of every comparison
    bool noPartialCompare = false; // a trailing asterisk is then an ordinary character
};

// Finds a field by its name (without regard to letter case) and gives its index.
// Throws the record set's own "Field '%s' not found" error when there is none.
using FieldResolver = std::function<int(std::string_view name)>;

// Turns condition texts into conditions. The record set owns none: the search module
// supplies the compiler, so the record store stays free of the condition language.
class ConditionCompiler {
public:
    virtual ~ConditionCompiler() = default;

    // Throws lambreya::Error with the exact message when the text does not compile.
    virtual Condition compile(std::string_view text, const FieldResolver& resolveField,
                              ConditionPurpose purpose, FilterOptions options) const = 0;
};

} // namespace lambreya
