#include "search/filter_messages.h"

#include "data/cp1251.h"

namespace lambreya::filter_messages {

// The messages are built by appending: GCC 12 warns falsely (-Wrestrict) about a literal
// added to a temporary string in optimised builds.
std::string invalidCharacter(std::string_view character) {
    std::string message = "Invalid filter expression character: '";
    message += cp1251::toUtf8(character);
    message += '\'';
    return message;
}

std::string expressionExpected(std::string_view spelling) {
    std::string message = "Expression expected but ";
    if (spelling.empty()) {
        message += "nothing";
    } else {
        message += '\'';
        message += cp1251::toUtf8(spelling);
        message += '\'';
    }
    message += " found";
    return message;
}

} // namespace lambreya::filter_messages
