#pragma once
// The login component: logs in to the incident database and owns the shared
// connection for the life of the program.
//
// Where it connects, from the server and database names it is given:
//   - server "sqlite" (any case): the embedded engine, database = file path;
//   - an ODBC driver or data source named by the request or by the Driver or
//     DSN key of the configuration file: that driver, with the server,
//     database (DBSPath when neither is given), user and password;
//   - no server and no database: the embedded file named by DBSPath in the
//     configuration file;
//   - any other server: SQL Server through FreeTDS.
// An interactive launch may ask the person for the connection details through
// a prompt; the component writes back the server and database it reached.

#include "data/connection.h"
#include "shell/startup.h"

#include <functional>
#include <memory>

namespace quillon {

// What a login attempt uses; a prompt may change any of it.
struct LoginRequest {
    QString server;     // "sqlite" or empty for an embedded file
    QString database;   // file path (embedded) or catalog name
    QString user;
    QString password;
    QString driver;     // ODBC driver; empty: dvn.ini's Driver, else FreeTDS
    QString dsn;        // ODBC data source, instead of a driver
    QString error;      // why the previous attempt failed (no password in it)
};

// Database files the person opened through the login dialog, most recent
// first, remembered between runs: at most RecentDatabaseCount of them, each
// an existing file. Entries that are gone or unreadable are passed over.
inline constexpr int RecentDatabaseCount = 6;
QStringList recentDatabaseFiles();
// Puts a file that has just opened at the head of the list.
void rememberDatabaseFile(const QString& path);

class DvnLoginComponent : public LoginComponent {
public:
    // Shows the login dialog; returns false when the person cancels. The
    // request holds the last attempt and its error.
    using Prompt = std::function<bool(LoginRequest& request)>;

    DvnLoginComponent() = default;
    explicit DvnLoginComponent(Prompt prompt) : m_prompt(std::move(prompt)) {}

    void Login(QString& systemCode, QString& configFilePath, QString& server, QString& database, int& flag,
               QString& user, QString& password, QString& reserved1, QString& reserved2) override;
    int connectionState() const override { return m_connection.state(); }
    QString connectionString() const override { return m_connection.connectionString(); }
    RecordsetPtr openRecordset(const QString& sql) override;
    QString Password() const override { return m_password; }
    int Shutdown() override;

    // The shared connection.
    Connection& connection() { return m_connection; }
    // The description of the last failed attempt, empty after success.
    const QString& lastError() const { return m_lastError; }
    QString failureReason() const override { return m_lastError; }

    // Opens the connection a request names; throws DbError.
    void connect(const LoginRequest& request, const QString& configFilePath);

private:
    bool tryConnect(const LoginRequest& request, const QString& configFilePath);

    Connection m_connection;
    QString m_password;
    QString m_lastError;
    Prompt m_prompt;
};

}  // namespace quillon
