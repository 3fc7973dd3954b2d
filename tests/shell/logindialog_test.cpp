// What the login dialog of an interactive launch offers first, and the
// database files it remembers.
#include "shell/logindialog.h"

#include "reports/output/remembered.h"

#include "printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

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

namespace {

void writeSettings(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(remembered::filePath()).path());
    QFile f(remembered::filePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}  // namespace

TEST(LoginDialog, RecentDatabaseFilesMostRecentFirstAndOnlyThoseStillThere)
{
    QTemporaryDir dir;
    QStringList files;
    for (int i = 0; i < RecentDatabaseCount + 2; ++i) {
        files << dir.filePath(QStringLiteral("db%1.db").arg(i));
        Connection::createEmbeddedDatabase(files.last());
    }
    QFile::remove(remembered::filePath());
    EXPECT_TRUE(recentDatabaseFiles().isEmpty());

    rememberDatabaseFile(files[0]);
    EXPECT_EQ(recentDatabaseFiles(), QStringList{files[0]});   // a list of one reads back
    rememberDatabaseFile(files[1]);
    rememberDatabaseFile(files[2]);
    rememberDatabaseFile(files[0]);
    EXPECT_EQ(recentDatabaseFiles(), (QStringList{files[0], files[2], files[1]}));

    // A deleted file is passed over; the list keeps its newest few.
    QFile::remove(files[2]);
    EXPECT_EQ(recentDatabaseFiles(), (QStringList{files[0], files[1]}));
    for (int i = 3; i < files.size(); ++i) rememberDatabaseFile(files[i]);
    EXPECT_EQ(recentDatabaseFiles(), (QStringList{files[7], files[6], files[5], files[4], files[3], files[0]}));

    // Broken settings read as nothing remembered, and the next file starts afresh.
    const QByteArray broken[] = {QByteArray("\0\xff\xfe[[[=\n", 9), "[login]\nrecentDatabases=@Variant(\\0\\0\\0\\x7f)\n",
                                 "[login]\nrecentDatabases=7\n", "[login]\nrecentDatabases=, , \n"};
    for (const QByteArray& bytes : broken) {
        writeSettings(bytes);
        EXPECT_TRUE(recentDatabaseFiles().isEmpty()) << bytes.toStdString();
        rememberDatabaseFile(files[1]);
        EXPECT_EQ(recentDatabaseFiles(), QStringList{files[1]}) << bytes.toStdString();
    }
}

TEST(LoginDialog, OneClickOnARecentFileChoosesItAndNothingConfiguredOffersTheLastOne)
{
    QTemporaryDir dir;
    const QString older = dir.filePath(QStringLiteral("older.db"));
    const QString newer = dir.filePath(QStringLiteral("newer.db"));
    Connection::createEmbeddedDatabase(older);
    Connection::createEmbeddedDatabase(newer);
    QFile::remove(remembered::filePath());
    {
        LoginDialog none(LoginRequest{});
        EXPECT_EQ(none.findChild<QListWidget*>(QStringLiteral("lstRecent")), nullptr);
    }

    // Connecting through the dialog is what puts a file on the list.
    DvnLoginComponent login([&](LoginRequest& r) {
        r.server = QStringLiteral("sqlite");
        r.database = r.database.isEmpty() ? older : newer;
        return true;
    });
    for (int i = 0; i < 2; ++i) {
        QString system, ini = dir.filePath(QStringLiteral("none.ini")), server, database, user, password, r1, r2;
        int flag = 0;
        if (i == 1) database = older;
        login.Login(system, ini, server, database, flag, user, password, r1, r2);
    }
    ASSERT_EQ(recentDatabaseFiles(), (QStringList{newer, older}));

    const LoginRequest offered = prefilledLoginRequest({}, dir.filePath(QStringLiteral("none.ini")));
    EXPECT_EQ(offered.server, QStringLiteral("sqlite"));
    EXPECT_EQ(offered.database, newer);

    LoginDialog dialog(LoginRequest{QStringLiteral("SRV"), QStringLiteral("TIMEDB"), {}, {}, {}});
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstRecent"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(dialog.request().server, QStringLiteral("SRV"));
    dialog.show();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(dialog.request().server, QStringLiteral("sqlite"));
    EXPECT_EQ(dialog.request().database, older);
}
