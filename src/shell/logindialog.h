#pragma once
// The login dialog of an interactive launch: a SQL Server (ODBC driver or
// data source, server, database, user, password) or an embedded database file
// to browse for. It opens
// prefilled from dvn.ini, shows why the previous attempt failed, and the
// person retries or cancels. The password is never shown in its title or in
// the error line.

#include "shell/login.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QLineEdit;
class QRadioButton;

namespace quillon {

// What the dialog first offers: the server and database given to Login, else
// the Server and Catalog of dvn.ini; with neither but a DBSPath, that file on
// the embedded engine, or through the configured ODBC driver (Driver or DSN);
// with none of these, the database file opened last.
LoginRequest prefilledLoginRequest(const LoginRequest& given, const QString& configFilePath);

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(const LoginRequest& request, QWidget* parent = nullptr);
    // What the person entered.
    LoginRequest request() const;

private:
    void updateMode();
    void browse();
    void addRecentFiles(QLayout* layout);

    QRadioButton* optServer;
    QRadioButton* optFile;
    QLineEdit* txtServer;
    QLineEdit* txtDatabase;
    QLineEdit* txtUser;
    QLineEdit* txtPassword;
    QLineEdit* txtDriver;
    QLineEdit* txtFile;
    QListWidget* lstRecent = nullptr;
    QWidget* m_serverFields;
    QWidget* m_fileFields;
};

// The prompt DvnLoginComponent calls: the first time prefilled from the
// configuration file the state names, then with the last attempt and its error.
DvnLoginComponent::Prompt loginDialogPrompt(const AppState& state);

}  // namespace quillon
