#include "shell/logindialog.h"

#include "shell/config.h"
#include "ui/errorboundary.h"
#include "ui/keyboardaccess.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    if (r.driver.isEmpty() && r.dsn.isEmpty()) {
        r.driver = readProfileString(configFilePath, DvnIni::Section, DvnIni::Driver);
        r.dsn = readProfileString(configFilePath, DvnIni::Section, DvnIni::DSN);
    }
    if (r.server.isEmpty() && r.database.isEmpty()) {
        r.server = readProfileString(configFilePath, DvnIni::Section, DvnIni::Server);
        r.database = readProfileString(configFilePath, DvnIni::Section, DvnIni::Catalog);
        if (r.server.isEmpty()) {
            const QString file =
                resolveDbsPath(configFilePath, readProfileString(configFilePath, DvnIni::Section, DvnIni::DBSPath));
            if (!file.isEmpty()) {
                // The file on the embedded engine, or through the configured driver.
                if (r.driver.isEmpty() && r.dsn.isEmpty())
                    r.server = QStringLiteral("sqlite");
                r.database = file;
            }
        }
    }
    if (r.server.isEmpty() && r.database.isEmpty() && r.driver.isEmpty() && r.dsn.isEmpty()) {
        const QStringList recent = recentDatabaseFiles();
        if (!recent.isEmpty()) {
            r.server = QStringLiteral("sqlite");
            r.database = recent.first();
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
    txtDriver = new QLineEdit(m_serverFields);
    txtDriver->setObjectName(QStringLiteral("txtDriver"));
    txtDriver->setPlaceholderText(QStringLiteral("FreeTDS"));
    txtDriver->setToolTip(QStringLiteral("The ODBC driver that reaches the server, or DSN=name for a data source"));
    serverForm->addRow(QStringLiteral("ODBC driver:"), txtDriver);
    serverForm->addRow(QStringLiteral("Server:"), txtServer);
    serverForm->addRow(QStringLiteral("Database:"), txtDatabase);
    serverForm->addRow(QStringLiteral("User:"), txtUser);
    serverForm->addRow(QStringLiteral("Password:"), txtPassword);

    m_fileFields = new QWidget(this);
    auto* fileRow = new QHBoxLayout(m_fileFields);
    fileRow->setContentsMargins(0, 0, 0, 0);
    auto* fileLabel = new QLabel(QStringLiteral("File:"), m_fileFields);
    txtFile = new QLineEdit(m_fileFields);
    fileLabel->setBuddy(txtFile);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setMinimumWidth(320);
    auto* browseButton = new QPushButton(QStringLiteral("Browse..."), m_fileFields);
    browseButton->setObjectName(QStringLiteral("cmdBrowse"));
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(txtFile, 1);
    fileRow->addWidget(browseButton);

    layout->addWidget(optServer);
    layout->addWidget(m_serverFields);
    layout->addWidget(optFile);
    layout->addWidget(m_fileFields);
    addRecentFiles(layout);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Connect"));
    layout->addWidget(buttons);

    const bool odbc = !request.driver.trimmed().isEmpty() || !request.dsn.trimmed().isEmpty();
    const bool embedded =
        isEmbedded(request.server) || (!odbc && request.server.isEmpty() && QFileInfo(request.database).isFile());
    if (embedded) {
        txtFile->setText(request.database);
    } else {
        txtServer->setText(request.server);
        txtDatabase->setText(request.database);
        txtUser->setText(request.user);
        txtPassword->setText(request.password);
    }
    txtDriver->setText(request.dsn.isEmpty() ? request.driver : QStringLiteral("DSN=") + request.dsn);
    (embedded ? optFile : optServer)->setChecked(true);
    updateMode();

    connect(optServer, &QRadioButton::toggled, this, &LoginDialog::updateMode);
    connect(browseButton, &QPushButton::clicked, this, &LoginDialog::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    installKeyboardAccess(this);
}

// The database files opened before, most recent first: one click puts a
// file in the box, a double click connects to it.
void LoginDialog::addRecentFiles(QLayout* layout)
{
    const QStringList files = recentDatabaseFiles();
    if (files.isEmpty()) return;
    auto* label = new QLabel(QStringLiteral("Recent database &files:"), this);
    lstRecent = new QListWidget(this);
    lstRecent->setObjectName(QStringLiteral("lstRecent"));
    label->setBuddy(lstRecent);
    for (const QString& file : files) {
        const QFileInfo info(file);
        auto* item = new QListWidgetItem(QStringLiteral("%1   (%2)").arg(info.fileName(), info.absolutePath()), lstRecent);
        item->setData(Qt::UserRole, file);
        item->setToolTip(file);
    }
    lstRecent->setFixedHeight(lstRecent->sizeHintForRow(0) * int(files.size()) + 2 * lstRecent->frameWidth() + 2);
    layout->addWidget(label);
    layout->addWidget(lstRecent);
    const auto choose = [this](QListWidgetItem* item) {
        if (!item) return false;
        optFile->setChecked(true);
        txtFile->setText(item->data(Qt::UserRole).toString());
        return true;
    };
    connect(lstRecent, &QListWidget::itemClicked, this, [choose](QListWidgetItem* item) { choose(item); });
    connect(lstRecent, &QListWidget::itemActivated, this, [this, choose](QListWidgetItem* item) {
        if (choose(item)) accept();
    });
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
        const QString driver = txtDriver->text().trimmed();
        if (driver.startsWith(QLatin1String("DSN="), Qt::CaseInsensitive))
            r.dsn = driver.mid(4).trimmed();
        else
            r.driver = driver;
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
