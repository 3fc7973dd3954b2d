#pragma once
// The boundary around every event handler of a window. A database or report
// error (DbError) or any other exception that leaves the handler is shown as a
// critical message box with its description; the pointer goes back to what it
// was before the handler, and the window stays as usable as it was.
//
//   connect(RunButton, &QPushButton::clicked, this,
//           guarded(m_dialogs, [this] { RunButton_Click(); }));
//
// A scripted box left without an answer (UnansweredDialog) ends the handler
// without a message: the script runner reads it from ScriptedDialogs::failure().

#include "ui/dialogs.h"

#include <QString>

#include <functional>
#include <type_traits>
#include <utility>

namespace quillon {

// The title of the boxes the boundary shows.
inline const QString ErrorBoundaryTitle = QStringLiteral("Quillon");

// Runs the handler; returns false when it ended with an error.
bool runGuarded(Dialogs& dialogs, const std::function<void()>& handler, const QString& title = ErrorBoundaryTitle);

namespace detail {

template <typename F, typename... Args>
struct FirstInvocable : std::false_type {};
template <typename F, typename First, typename... Rest>
struct FirstInvocable<F, First, Rest...> : std::is_invocable<const F&, First> {};

// The handler takes all of the arguments, only the first, or none.
template <typename F, typename... Args>
constexpr bool acceptsSlotArguments = std::is_invocable_v<const F&, Args...> || FirstInvocable<F, Args...>::value
                                      || std::is_invocable_v<const F&>;

template <typename F, typename First, typename... Rest>
void callWithFirst(const F& handler, First&& first, Rest&&...)
{
    handler(std::forward<First>(first));
}

template <typename F, typename... Args>
void callHandler(const F& handler, Args&&... args)
{
    if constexpr (std::is_invocable_v<const F&, Args...>)
        handler(std::forward<Args>(args)...);
    else if constexpr (FirstInvocable<F, Args...>::value)
        callWithFirst(handler, std::forward<Args>(args)...);
    else
        handler();
}

// The slot object. Its call operator is declared with its return type and
// constrained on what the handler accepts, so that Qt, which probes how many
// of a signal's arguments a slot takes, never instantiates a call the handler
// cannot make (a generic lambda with a deduced return type would be).
template <typename F>
struct GuardedSlot {
    Dialogs* dialogs;
    F handler;
    QString title;

    template <typename... Args, typename = std::enable_if_t<acceptsSlotArguments<F, Args...>>>
    void operator()(Args&&... args) const
    {
        runGuarded(*dialogs, [&]() { callHandler(handler, std::forward<Args>(args)...); }, title);
    }
};

}  // namespace detail

// A slot for connect() that runs the handler inside the boundary. The handler
// takes all of the signal's arguments, only the first, or none.
template <typename F>
auto guarded(Dialogs& dialogs, F handler, QString title = ErrorBoundaryTitle)
{
    return detail::GuardedSlot<F>{&dialogs, std::move(handler), std::move(title)};
}

// Replaces the password, and the value of any pwd= or password= item of a
// connection string, so that no message or log line shows it.
QString redactPassword(QString text, const QString& password = QString());

}  // namespace quillon
