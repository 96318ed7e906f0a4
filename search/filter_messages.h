#pragma once

#include <string>
#include <string_view>

// The messages of the condition compiler, UTF-8, exactly as the user sees them.
namespace lambreya::filter_messages {

inline constexpr std::string_view kIncorrectlyTerminated =
    "Filter expression incorrectly terminated";
inline constexpr std::string_view kUnterminatedString = "Unterminated string constant";
inline constexpr std::string_view kTypeMismatch = "Type mismatch in expression";
inline constexpr std::string_view kArithmeticNotSupported =
    "Arithmetic in filter expressions not supported";

// "Invalid filter expression character: '%s'" for one byte of code page 1251.
std::string invalidCharacter(std::string_view character);

// "Expression expected but %s found": the item's spelling between apostrophes, or
// "nothing" at the end of the text (an empty spelling).
std::string expressionExpected(std::string_view spelling);

} // namespace lambreya::filter_messages
