#include "shell/login.h"

#include "data/nextnumber.h"
#include "printers.h"
#include "test_connection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;

namespace {
struct LoginCall {
    QString code = QStringLiteral("DVN"), config, server, database, user, password, r1, r2;
    int flag = 0;
    void run(DvnLoginComponent& login)
    {
        login.Login(code, config, server, database, flag, user, password, r1, r2);
    }
};
}  // namespace

TEST(DvnLoginComponent, ChoosesTheEmbeddedEngineFromServerNameOrDbsPath)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("incidents.db"));
    Connection::createEmbeddedDatabase(file);

    DvnLoginComponent bySqlite;
    LoginCall call;
    call.server = QStringLiteral("SQLite");
    call.database = file;
    call.run(bySqlite);
    EXPECT_EQ(bySqlite.connectionState(), LoginComponent::StateOpen);
    EXPECT_EQ(bySqlite.openRecordset(QStringLiteral("Select * from Incidents"))->recordCount(), 0);
    bySqlite.Shutdown();
    EXPECT_NE(bySqlite.connectionState(), LoginComponent::StateOpen);

    QFile ini(dir.filePath(QStringLiteral("dvn.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[dorvane]\ndbspath=%1\n").arg(file).toUtf8());
    ini.close();
    DvnLoginComponent byIni;
    LoginCall fromIni;
    fromIni.config = ini.fileName();
    fromIni.run(byIni);
    EXPECT_EQ(byIni.connectionState(), LoginComponent::StateOpen);
}

TEST(DvnLoginComponent, FailureLeavesConnectionClosedAndHidesPassword)
{
    DvnLoginComponent login;
    LoginCall call;
    call.server = QStringLiteral("sqlite");
    call.database = QStringLiteral("/nonexistent/folder/x.db");
    call.run(login);
    EXPECT_NE(login.connectionState(), LoginComponent::StateOpen);
    EXPECT_FALSE(login.lastError().isEmpty());

    // An unreachable server; its error text must not carry the password.
    DvnLoginComponent odbc;
    LoginCall server;
    server.server = QStringLiteral("127.0.0.1,1");
    server.database = QStringLiteral("TIMEDB");
    server.user = QStringLiteral("clerk");
    server.password = QStringLiteral("s3cret;pwd");
    server.run(odbc);
    EXPECT_NE(odbc.connectionState(), LoginComponent::StateOpen);
    EXPECT_FALSE(odbc.lastError().contains(QStringLiteral("s3cret")));
}

TEST(DvnLoginComponent, InteractivePromptRetriesUntilConnectedAndWritesBackTheTarget)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("incidents.db"));
    Connection::createEmbeddedDatabase(file);
    int prompts = 0;
    QString errorSeen;
    DvnLoginComponent login([&](LoginRequest& r) {
        ++prompts;
        errorSeen = r.error;
        r.server = QStringLiteral("sqlite");
        r.database = prompts == 1 ? dir.filePath(QStringLiteral("missing.db")) : file;
        return true;
    });
    LoginCall call;
    call.run(login);
    EXPECT_EQ(prompts, 2);
    EXPECT_FALSE(errorSeen.isEmpty());
    EXPECT_EQ(login.connectionState(), LoginComponent::StateOpen);
    EXPECT_EQ(call.server, QStringLiteral("sqlite"));
    EXPECT_EQ(call.database, file);

    DvnLoginComponent cancelled([](LoginRequest&) { return false; });
    LoginCall none;
    none.run(cancelled);
    EXPECT_NE(cancelled.connectionState(), LoginComponent::StateOpen);
}

// A site that reaches its database through another ODBC driver names it in
// dvn.ini (here saved as Windows saves "Unicode": UTF-16 with a byte-order
// mark), with DBSPath relative to the ini's folder.
TEST(DvnLoginComponent, ReachesTheDatabaseThroughTheDriverDvnIniNames)
{
    const QString driver = testSqliteOdbcDriver();
    if (driver.isEmpty()) GTEST_SKIP() << "no SQLite ODBC driver was found when the build was configured";
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("data"));
    const QString file = dir.filePath(QStringLiteral("data/incidents.db"));
    Connection::createEmbeddedDatabase(file);
    {
        Connection setup;
        setup.openEmbedded(file);
        setup.execute("Insert into Incidents (IncidentID, IncidentName) Values (7, 'Ridge')");
    }
    const auto writeIni = [&](const QString& dbsPath) {
        QFile ini(dir.filePath(QStringLiteral("dvn.ini")));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QString text = QStringLiteral("[Dorvane]\r\nDriver=%1\r\nDBSPath=%2\r\n").arg(driver, dbsPath);
        ini.write("\xFF\xFE");
        ini.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        return ini.fileName();
    };

    DvnLoginComponent login;
    LoginCall call;
    call.config = writeIni(QStringLiteral("data/incidents.db"));
    call.run(login);
    ASSERT_EQ(login.connectionState(), LoginComponent::StateOpen) << login.lastError().toStdString();
    EXPECT_EQ(login.connection().engineKind(), EngineKind::Odbc);
    EXPECT_TRUE(login.connectionString().contains(driver));
    EXPECT_EQ(login.openRecordset(QStringLiteral("Select IncidentName from Incidents where IncidentID = 7"))->value(0).toString(),
              QStringLiteral("Ridge"));
    EXPECT_EQ(NextNumber(login.connection(), QStringLiteral("Incidents"), QStringLiteral("IncidentID")), 8);
    login.Shutdown();

    // A missing file is reported, and the driver does not create it.
    DvnLoginComponent missing;
    LoginCall again;
    again.config = writeIni(QStringLiteral("data/none.db"));
    again.run(missing);
    EXPECT_NE(missing.connectionState(), LoginComponent::StateOpen);
    EXPECT_TRUE(missing.lastError().contains(QStringLiteral("none.db"))) << missing.lastError().toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("data/none.db"))));
}
