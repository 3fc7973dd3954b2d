#pragma once
// Opens a test's database file directly or, when QUILLON_TEST_ODBC_DRIVER
// names an installed SQLite ODBC driver, through that driver: the same test
// program then checks that both roads give the same results.

#include "data/connection.h"

#include <QFile>
#include <QtGlobal>

inline void openTestDatabase(quillon::Connection& db, const QString& path)
{
    const QString driver = qEnvironmentVariable("QUILLON_TEST_ODBC_DRIVER");
    if (driver.isEmpty()) db.openEmbedded(path);
    else db.open(quillon::Connection::odbcConnectionString(quillon::OdbcTarget{driver, {}}, {}, path, {}, {}));
}

// The SQLite ODBC driver the build registered in its private odbcinst.ini,
// made visible to this process; empty when the build found none.
inline QString testSqliteOdbcDriver()
{
    const QByteArray dir = QUILLON_BUILD_DIR "/odbc";
    if (!QFile::exists(QString::fromUtf8(dir + "/odbcinst.ini"))) return QString();
    if (qEnvironmentVariableIsEmpty("ODBCSYSINI")) {
        qputenv("ODBCSYSINI", dir);
        qputenv("ODBCINSTINI", "odbcinst.ini");
    }
    return QStringLiteral("Quillon SQLite3");
}
