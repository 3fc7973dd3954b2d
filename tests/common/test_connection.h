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

// The build's private odbcinst.ini, made visible to this process before any
// ODBC call (the driver manager reads it once), when CTest has not already.
inline const bool kTestOdbcIniSet = [] {
    if (qEnvironmentVariableIsEmpty("ODBCSYSINI") && QFile::exists(QStringLiteral(QUILLON_BUILD_DIR "/odbc/odbcinst.ini"))) {
        qputenv("ODBCSYSINI", QUILLON_BUILD_DIR "/odbc");
        qputenv("ODBCINSTINI", "odbcinst.ini");
    }
    return true;
}();

// The SQLite ODBC driver the build registered there; empty when it found none.
inline QString testSqliteOdbcDriver()
{
    return QFile::exists(qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbcinst.ini")) ? QStringLiteral("Quillon SQLite3")
                                                                                              : QString();
}
