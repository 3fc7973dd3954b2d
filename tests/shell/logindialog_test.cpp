// What the login dialog of an interactive launch offers first.
#include "shell/logindialog.h"

#include "printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;

TEST(LoginDialog, PrefilledFromWhatLoginWasGivenElseFromDvnIni)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("dvn.ini"));
    auto writeIni = [&](const QByteArray& text) {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };

    // No file: nothing to offer.
    LoginRequest r = prefilledLoginRequest({}, ini);
    EXPECT_TRUE(r.server.isEmpty() && r.database.isEmpty());

    writeIni("[Dorvane]\nServer=SRV\nCatalog=TIMEDB\nDBSPath=/data/incidents.db\n");
    r = prefilledLoginRequest({}, ini);
    EXPECT_EQ(r.server, QStringLiteral("SRV"));
    EXPECT_EQ(r.database, QStringLiteral("TIMEDB"));

    // Only a database file: the embedded engine on it.
    writeIni("[dorvane]\ndbspath=/data/incidents.db\n");
    r = prefilledLoginRequest({}, ini);
    EXPECT_EQ(r.server, QStringLiteral("sqlite"));
    EXPECT_EQ(r.database, QStringLiteral("/data/incidents.db"));

    // What Login was given wins over the file, user and password included.
    LoginRequest given{QStringLiteral("HOST"), QStringLiteral("DB"), QStringLiteral("jdoe"), QStringLiteral("pw"), {}};
    r = prefilledLoginRequest(given, ini);
    EXPECT_EQ(r.server, QStringLiteral("HOST"));
    EXPECT_EQ(r.database, QStringLiteral("DB"));
    EXPECT_EQ(r.user, QStringLiteral("jdoe"));
    EXPECT_EQ(r.password, QStringLiteral("pw"));
}
