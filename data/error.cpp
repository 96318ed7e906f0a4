#include "data/error.h"

#include <new>

namespace lambreya {

std::string shownMessage(const std::string& message) {
    std::string shown = message;
    if (!shown.empty() && static_cast<unsigned char>(shown.back()) > '.')
        shown.push_back('.');
    return shown;
}

std::optional<std::string> currentErrorMessage() {
    try {
        throw;
    } catch (const SilentAbort&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return "Недостаточно памяти";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "Неизвестная ошибка";
    }
}

std::string prefixed(const std::string& owner, const std::string& message) {
    std::string text;
    text.reserve(owner.size() + 2 + message.size());
    text.append(owner).append(": ").append(message);
    return text;
}

} // namespace lambreya
