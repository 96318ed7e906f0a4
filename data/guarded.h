#pragma once

#include <QObject>

#include <cstddef>
#include <functional>
#include <tuple>
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

namespace guarded_detail {

// How many of the leading arguments `Args` the callable takes: like connect, a slot may
// take fewer arguments than its signal carries.
template <typename F, typename... Args>
constexpr std::size_t leadingArgumentCount() {
    if constexpr (std::is_invocable_v<F&, Args...>) {
        return sizeof...(Args);
    } else {
        static_assert(sizeof...(Args) > 0, "the slot does not take the signal's arguments");
        return []<std::size_t... I>(std::index_sequence<I...>) {
            return leadingArgumentCount<F, std::tuple_element_t<I, std::tuple<Args...>>...>();
        }
        (std::make_index_sequence<sizeof...(Args) - 1>());
    }
}

// Calls `f` with as many of the leading arguments as it takes.
template <typename F, typename... Args>
void callWithLeading(F& f, Args&&... args) {
    constexpr std::size_t count = leadingArgumentCount<F, Args&&...>();
    auto all = std::forward_as_tuple(std::forward<Args>(args)...);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        std::invoke(f, std::get<I>(std::move(all))...);
    }
    (std::make_index_sequence<count>());
}

// The slot as a callable: a member function is bound to its object.
template <typename Context, typename Slot>
auto boundSlot(Context* context, Slot slot) {
    if constexpr (std::is_member_function_pointer_v<Slot>) {
        return [context, slot](auto&&... args)
                   -> decltype(std::invoke(slot, context, std::forward<decltype(args)>(args)...)) {
            return std::invoke(slot, context, std::forward<decltype(args)>(args)...);
        };
    } else {
        return slot;
    }
}

} // namespace guarded_detail

// QObject::connect with the slot entered through guarded(). `slot` is a member function
// of `context` or any callable; it gets as many of the signal's leading arguments as it
// takes.
template <typename Sender, typename Signal, typename Context, typename Slot>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal, Context* context,
                                       Slot slot, Qt::ConnectionType type = Qt::AutoConnection) {
    auto target = guarded_detail::boundSlot(context, std::move(slot));
    return QObject::connect(
        sender, signal, context,
        [target](auto&&... args) {
            guarded([&] {
                guarded_detail::callWithLeading(target, std::forward<decltype(args)>(args)...);
            });
        },
        type);
}

} // namespace lambreya
