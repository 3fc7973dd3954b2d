#include "shell/logindialog.h"

#include "shell/config.h"
#include "ui/errorboundary.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillon {

namespace {
bool isEmbedded(const QString& server)
{
    return server.trimmed().compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}
}  // namespace

LoginRequest prefilledLoginRequest(const LoginRequest& given, const QString& configFilePath)
{
    LoginRequest r = given;
    if (r.server.isEmpty() && r.database.isEmpty()) {
        r.server = readProfileString(configFilePath, DvnIni::Section, DvnIni::Server);
        r.database = readProfileString(configFilePath, DvnIni::Section, DvnIni::Catalog);
        if (r.server.isEmpty()) {
            const QString file = readProfileString(configFilePath, DvnIni::Section, DvnIni::DBSPath);
            if (!file.isEmpty()) {
                r.server = QStringLiteral("sqlite");
                r.database = file;
            }
        }
    }
    return r;
}

LoginDialog::LoginDialog(const LoginRequest& request, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Quillon Login"));
    auto* layout = new QVBoxLayout(this);

    if (!request.error.isEmpty()) {
        auto* error = new QLabel(QStringLiteral("Cannot connect: ") + redactPassword(request.error, request.password), this);
        error->setObjectName(QStringLiteral("lblError"));
        error->setWordWrap(true);
        error->setStyleSheet(QStringLiteral("color: #a00000"));
        layout->addWidget(error);
    }

    optServer = new QRadioButton(QStringLiteral("SQL Server"), this);
    optServer->setObjectName(QStringLiteral("optServer"));
    optFile = new QRadioButton(QStringLiteral("Database file"), this);
    optFile->setObjectName(QStringLiteral("optFile"));

    m_serverFields = new QWidget(this);
    auto* serverForm = new QFormLayout(m_serverFields);
    txtServer = new QLineEdit(m_serverFields);
    txtServer->setObjectName(QStringLiteral("txtServer"));
    txtDatabase = new QLineEdit(m_serverFields);
    txtDatabase->setObjectName(QStringLiteral("txtDatabase"));
    txtUser = new QLineEdit(m_serverFields);
    txtUser->setObjectName(QStringLiteral("txtUser"));
    txtPassword = new QLineEdit(m_serverFields);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    serverForm->addRow(QStringLiteral("Server:"), txtServer);
    serverForm->addRow(QStringLiteral("Database:"), txtDatabase);
    serverForm->addRow(QStringLiteral("User:"), txtUser);
    serverForm->addRow(QStringLiteral("Password:"), txtPassword);

    m_fileFields = new QWidget(this);
    auto* fileRow = new QHBoxLayout(m_fileFields);
    fileRow->setContentsMargins(0, 0, 0, 0);
    txtFile = new QLineEdit(m_fileFields);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setMinimumWidth(320);
    auto* browseButton = new QPushButton(QStringLiteral("Browse..."), m_fileFields);
    browseButton->setObjectName(QStringLiteral("cmdBrowse"));
    fileRow->addWidget(txtFile, 1);
    fileRow->addWidget(browseButton);

    layout->addWidget(optServer);
    layout->addWidget(m_serverFields);
    layout->addWidget(optFile);
    layout->addWidget(m_fileFields);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Connect"));
    layout->addWidget(buttons);

    const bool embedded = isEmbedded(request.server) || (request.server.isEmpty() && QFileInfo(request.database).isFile());
    if (embedded) {
        txtFile->setText(request.database);
    } else {
        txtServer->setText(request.server);
        txtDatabase->setText(request.database);
        txtUser->setText(request.user);
        txtPassword->setText(request.password);
    }
    (embedded ? optFile : optServer)->setChecked(true);
    updateMode();

    connect(optServer, &QRadioButton::toggled, this, &LoginDialog::updateMode);
    connect(browseButton, &QPushButton::clicked, this, &LoginDialog::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void LoginDialog::updateMode()
{
    m_serverFields->setEnabled(optServer->isChecked());
    m_fileFields->setEnabled(optFile->isChecked());
}

void LoginDialog::browse()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Database file"), txtFile->text(),
                                                      QStringLiteral("Database files (*.db *.sqlite);;All files (*)"));
    if (!file.isEmpty())
        txtFile->setText(file);
}

LoginRequest LoginDialog::request() const
{
    LoginRequest r;
    if (optFile->isChecked()) {
        r.server = QStringLiteral("sqlite");
        r.database = txtFile->text().trimmed();
    } else {
        r.server = txtServer->text().trimmed();
        r.database = txtDatabase->text().trimmed();
        r.user = txtUser->text();
        r.password = txtPassword->text();
    }
    return r;
}

DvnLoginComponent::Prompt loginDialogPrompt(const AppState& state)
{
    auto first = std::make_shared<bool>(true);
    return [&state, first](LoginRequest& request) {
        if (*first) {
            request = prefilledLoginRequest(request, state.ConfigFilePath);
            *first = false;
        }
        LoginDialog dialog(request);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        request = dialog.request();
        return true;
    };
}

}  // namespace quillon
