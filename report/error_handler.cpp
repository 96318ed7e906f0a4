#include "report/error_handler.h"

#include "data/error.h"

#include <exception>

namespace lambreya {

void handleCurrentException(const ErrorHandler& handler) {
    QString message;
    try {
        throw;
    } catch (const SilentAbort&) {
        return;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Неизвестная ошибка");
    }
    if (handler)
        handler(message);
}

} // namespace lambreya
