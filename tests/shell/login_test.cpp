#include "shell/login.h"

#include "printers.h"

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
