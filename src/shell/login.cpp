#include "shell/login.h"

#include "reports/output/remembered.h"
#include "shell/config.h"

#include <QFileInfo>
#include <QStringList>
#include <QVariant>

namespace quillon {

namespace {

bool isEmbeddedServer(const QString& server)
{
    return server.trimmed().compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}

// Removes the password from a text that is about to be shown or logged.
QString withoutPassword(QString text, const QString& password)
{
    if (!password.isEmpty()) text.replace(password, QStringLiteral("****"));
    return text;
}

// The remembered entries as they stand: texts only, each once (as a
// full path), in their order.
QStringList rememberedDatabaseEntries()
{
    const QVariant v = remembered::value(QLatin1String(remembered::RecentDatabases));
    QStringList entries;
    if (v.userType() == QMetaType::QString) entries << v.toString();   // a list of one reads back as its text
    else if (v.userType() == QMetaType::QStringList) entries = v.toStringList();
    QStringList files;
    for (const QString& entry : entries) {
        const QString text = entry.trimmed();
        if (text.isEmpty()) continue;
        const QString file = QFileInfo(text).absoluteFilePath();
        if (!files.contains(file)) files << file;
    }
    return files;
}

}  // namespace

QStringList recentDatabaseFiles()
{
    QStringList files;
    for (const QString& file : rememberedDatabaseEntries()) {
        if (files.size() == RecentDatabaseCount) break;
        if (QFileInfo(file).isFile()) files << file;
    }
    return files;
}

void rememberDatabaseFile(const QString& path)
{
    if (path.trimmed().isEmpty()) return;
    const QString file = QFileInfo(path.trimmed()).absoluteFilePath();
    QStringList files = recentDatabaseFiles();
    files.removeAll(file);
    files.prepend(file);
    while (files.size() > RecentDatabaseCount) files.removeLast();
    remembered::setValue(QLatin1String(remembered::RecentDatabases), files);
}

void DvnLoginComponent::connect(const LoginRequest& request, const QString& configFilePath)
{
    const QString server = request.server.trimmed();
    const QString database = request.database.trimmed();
    OdbcTarget target{request.driver.trimmed(), request.dsn.trimmed()};
    if (target.driver.isEmpty() && target.dsn.isEmpty()) {
        target.driver = readProfileString(configFilePath, DvnIni::Section, DvnIni::Driver);
        target.dsn = readProfileString(configFilePath, DvnIni::Section, DvnIni::DSN);
    }
    const auto dbsPath = [&] {
        return resolveDbsPath(configFilePath, readProfileString(configFilePath, DvnIni::Section, DvnIni::DBSPath));
    };
    if (isEmbeddedServer(server)) {
        if (database.isEmpty())
            throw DbError(ErrorNumber::FileNotFound, QStringLiteral("No database file was named for the embedded database."));
        m_connection.openEmbedded(database);
    } else if (!target.driver.isEmpty() || !target.dsn.isEmpty()) {
        const QString db = server.isEmpty() && database.isEmpty() && target.dsn.isEmpty() ? dbsPath() : database;
        m_connection.open(Connection::odbcConnectionString(target, server, db, request.user, request.password));
    } else if (server.isEmpty() && database.isEmpty()) {
        const QString file = dbsPath();
        if (file.isEmpty())
            throw DbError(ErrorNumber::FileNotFound,
                          QStringLiteral("No database is configured: %1 names no DBSPath.").arg(configFilePath));
        m_connection.openEmbedded(file);
    } else if (server.isEmpty() && QFileInfo(database).isFile()) {
        // A database file chosen without a server name.
        m_connection.openEmbedded(database);
    } else {
        m_connection.open(Connection::sqlServerConnectionString(server, database, request.user, request.password));
    }
}

bool DvnLoginComponent::tryConnect(const LoginRequest& request, const QString& configFilePath)
{
    try {
        connect(request, configFilePath);
        m_password = request.password;
        m_lastError.clear();
        return true;
    } catch (const DbError& e) {
        m_lastError = withoutPassword(e.description(), request.password);
        return false;
    }
}

void DvnLoginComponent::Login(QString&, QString& configFilePath, QString& server, QString& database, int&,
                              QString& user, QString& password, QString&, QString&)
{
    LoginRequest request{server, database, user, password, QString()};
    const bool interactive = static_cast<bool>(m_prompt);
    if (!interactive) {
        if (tryConnect(request, configFilePath)) {
            server = request.server;
            database = request.database;
        }
        return;
    }
    // Interactive: the dialog opens prefilled; the person retries until the
    // connection opens or cancels.
    for (;;) {
        request.error = m_lastError;
        if (!m_prompt(request)) return;
        if (tryConnect(request, configFilePath)) {
            server = request.server;
            database = request.database;
            user = request.user;
            if (m_connection.engineKind() == EngineKind::Sqlite) rememberDatabaseFile(request.database);
            return;
        }
    }
}

RecordsetPtr DvnLoginComponent::openRecordset(const QString& sql)
{
    return m_connection.openRecordset(sql, CursorType::Keyset, LockType::BatchOptimistic);
}

int DvnLoginComponent::Shutdown()
{
    m_connection.close();
    m_password.clear();
    return 0;
}

}  // namespace quillon
