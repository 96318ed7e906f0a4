#pragma once

#include <QObject>

#include <functional>
#include <type_traits>
#include <utility>

// Qt must not be unwound through: an exception that leaves a slot, an event override or a
// timer while Qt's own frames are below it is undefined behaviour. Every handler Qt calls
// is therefore entered through guarded(), which hands what escapes to the one handler the
// application installs (the standard error box) and returns normally.
namespace lambreya {

// Called inside a catch block with the exception being handled.
using EscapedErrorHandler = void (*)();

// Installs the handler and returns the one that was in force. Without one, what escapes
// is written to standard error.
EscapedErrorHandler setEscapedErrorHandler(EscapedErrorHandler handler);

// For use inside a catch block: passes the exception being handled to the handler.
void handleEscapedError() noexcept;

// Runs `body`; an exception is handed to the handler and `fallback` returned instead.
template <typename Body, typename Result = std::invoke_result_t<Body>>
Result guarded(Body&& body, Result fallback = Result()) noexcept requires(!std::is_void_v<Result>) {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        handleEscapedError();
        return fallback;
    }
}

template <typename Body>
void guarded(Body&& body) noexcept requires std::is_void_v<std::invoke_result_t<Body>> {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        handleEscapedError();
    }
}

// QObject::connect with the slot entered through guarded(). `slot` is a member function
// of `context` or any callable; the signal's arguments are passed on.
template <typename Sender, typename Signal, typename Context, typename Slot>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal, Context* context,
                                       Slot slot, Qt::ConnectionType type = Qt::AutoConnection) {
    return QObject::connect(
        sender, signal, context,
        [context, slot](auto&&... args) {
            guarded([&] {
                if constexpr (std::is_member_function_pointer_v<Slot>)
                    std::invoke(slot, context, std::forward<decltype(args)>(args)...);
                else
                    std::invoke(slot, std::forward<decltype(args)>(args)...);
            });
        },
        type);
}

} // namespace lambreya
