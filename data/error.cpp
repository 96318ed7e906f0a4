#include "data/error.h"

namespace lambreya {

std::string shownMessage(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

std::string prefixed(const std::string& owner, const std::string& message) {
    return owner + ": " + message;
}

} // namespace lambreya
