#pragma once
// Start-up: reads dvn.ini, logs in through the login component, which opens
// the shared connection, and shows the main menu, or, when the host system
// launched the program with a command line, one selection window for the
// incident it names. Written over small interfaces so that it runs the same
// with the real windows and connection or with stand-ins.

#include "data/recordset.h"
#include "shell/startup_commandline.h"
#include "shell/appstate.h"
#include "ui/busypointer.h"
#include "ui/dialogs.h"

#include <QString>

#include <functional>
#include <memory>

namespace quillon {

// The suite's login component: logs in and owns the shared connection for the
// life of the program. Arguments go by reference; Login writes the server and
// database it reached back into its third and fourth arguments.
class LoginComponent {
public:
    static constexpr int StateOpen = 1;

    virtual ~LoginComponent() = default;
    virtual void Login(QString& systemCode, QString& configFilePath, QString& server, QString& database,
                       int& flag, QString& user, QString& password, QString& reserved1, QString& reserved2) = 0;
    // The shared connection as start-up sees it: its state (StateOpen when
    // open), its connection string, and a query opened on it (keyset cursor,
    // batch-optimistic lock).
    virtual int connectionState() const = 0;
    virtual QString connectionString() const = 0;
    virtual RecordsetPtr openRecordset(const QString& sql) = 0;
    virtual QString Password() const = 0;
    virtual int Shutdown() = 0;
    // Why the last login failed (file missing, not a database, server not
    // found), without the password; empty when unknown.
    virtual QString failureReason() const { return QString(); }
};

// Loads and shows windows by form name, without waiting.
class StartupWindows {
public:
    virtual ~StartupWindows() = default;
    virtual void showWindow(const QString& formName) = 0;
    // Empties the text of the main menu's incident list.
    virtual void clearMainMenuIncidentList() = 0;
};

// The window a launch with this report number opens: "Form0" for 0 (the main
// menu), a selection window's form name, or "" for the numbers without one
// (2, 11, 13, 14 and anything out of range).
QString startupWindowFor(int reportNumber);

class Startup {
public:
    using LoginFactory = std::function<std::unique_ptr<LoginComponent>()>;

    enum class Outcome {
        MainMenu,       // interactive launch: the main menu is shown
        Window,         // command-line launch: a window is shown (the main menu for 0)
        NothingToOpen,  // command-line launch with a report number without a window
        NotConnected,   // login did not open the connection; the message was shown
        Failed,         // any other error; the message was shown
    };

    // The factory creates the login component; it may throw DbError.
    Startup(AppState& state, Dialogs& dialogs, StartupWindows& windows, LoginFactory createLogin);

    // Runs start-up for a command line ("" for an interactive launch) and a
    // program folder. MainMenu and Window leave the program running; the other
    // outcomes end it.
    Outcome run(const QString& commandLine, const QString& programDir);

    // The login component; it lives until the main menu closes.
    LoginComponent* login() const { return m_login.get(); }
    std::unique_ptr<LoginComponent> takeLogin() { return std::move(m_login); }

    static QString incidentQuery(std::int32_t incidentId);

private:
    Outcome interactive(BusyPointer& busy);
    Outcome launched(const QString& commandLine, BusyPointer& busy);
    bool connected(BusyPointer& busy);
    void readLaunchedIncident();
    void showFailure(int number, const QString& description);

    AppState& m_state;
    Dialogs& m_dialogs;
    StartupWindows& m_windows;
    LoginFactory m_createLogin;
    std::unique_ptr<LoginComponent> m_login;
    QString m_password;  // the command line's, for redaction only
};

}  // namespace quillon
