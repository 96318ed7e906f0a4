#include "data/error.h"

namespace lambreya {

std::string prefixed(const std::string& owner, const std::string& message) {
    return owner + ": " + message;
}

} // namespace lambreya
