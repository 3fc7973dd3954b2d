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

// A slot for connect() that runs the handler inside the boundary. The handler
// takes all of the signal's arguments, only the first, or none.
template <typename F>
auto guarded(Dialogs& dialogs, F handler, QString title = ErrorBoundaryTitle)
{
    return [&dialogs, handler = std::move(handler), title = std::move(title)](auto&&... args) {
        runGuarded(dialogs, [&]() {
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>) {
                handler(std::forward<decltype(args)>(args)...);
            } else if constexpr (sizeof...(args) > 1) {
                // first argument only
                [&](auto&& first, auto&&...) { handler(std::forward<decltype(first)>(first)); }(
                    std::forward<decltype(args)>(args)...);
            } else {
                handler();
            }
        }, title);
    };
}

// Replaces the password, and the value of any pwd= or password= item of a
// connection string, so that no message or log line shows it.
QString redactPassword(QString text, const QString& password = QString());

}  // namespace quillon
