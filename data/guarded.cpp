#include "data/guarded.h"

#include <cstdio>
#include <exception>

namespace lambreya {

namespace {

void writeToStandardError() {
    try {
        throw;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "unknown error\n");
    }
}

EscapedErrorHandler g_handler = &writeToStandardError;

} // namespace

EscapedErrorHandler setEscapedErrorHandler(EscapedErrorHandler handler) {
    return std::exchange(g_handler, handler ? handler : &writeToStandardError);
}

void handleEscapedError() noexcept {
    try {
        g_handler();
    } catch (...) {
        // A handler that fails itself must not take the program down with it.
    }
}

} // namespace lambreya
