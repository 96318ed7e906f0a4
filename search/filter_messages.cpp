#include "search/filter_messages.h"

#include "data/cp1251.h"

namespace lambreya::filter_messages {

std::string invalidCharacter(std::string_view character) {
    return "Invalid filter expression character: '" + cp1251::toUtf8(character) + "'";
}

std::string expressionExpected(std::string_view spelling) {
    const std::string found =
        spelling.empty() ? std::string("nothing") : "'" + cp1251::toUtf8(spelling) + "'";
    return "Expression expected but " + found + " found";
}

} // namespace lambreya::filter_messages
