#include "report/error_handler.h"

#include "data/error.h"

namespace lambreya {

void handleCurrentException(const ErrorHandler& handler) {
    const std::optional<std::string> message = currentErrorMessage();
    if (message && handler)
        handler(QString::fromStdString(*message));
}

} // namespace lambreya
