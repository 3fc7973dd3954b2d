#include "shell/config.h"
#include "shell/login.h"
#include "shell/startup.h"
#include "ui/busypointer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "printers.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct LoginCall {
    QString systemCode, configFilePath, server, database, user, password, reserved1, reserved2;
    int flag = -1;
};

class FakeLogin : public LoginComponent {
public:
    bool connects = true;
    QString reachedServer, reachedDatabase;  // written back when set
    RecordsetPtr incidents;
    bool queryFails = false;
    std::vector<LoginCall> calls;
    QStringList queries;

    void Login(QString& systemCode, QString& configFilePath, QString& server, QString& database, int& flag,
               QString& user, QString& password, QString& reserved1, QString& reserved2) override
    {
        calls.push_back({systemCode, configFilePath, server, database, user, password, reserved1, reserved2, flag});
        if (!reachedServer.isEmpty()) server = reachedServer;
        if (!reachedDatabase.isEmpty()) database = reachedDatabase;
    }
    int connectionState() const override { return connects ? StateOpen : 0; }
    QString connectionString() const override { return QStringLiteral("DRIVER=FreeTDS;SERVER=SRV;DATABASE=TIMEDB"); }
    RecordsetPtr openRecordset(const QString& sql) override
    {
        queries << sql;
        if (queryFails)
            throw DbError(4060, QStringLiteral("Login failed for DRIVER=FreeTDS;UID=jdoe;PWD=s3cret;"));
        return incidents;
    }
    QString Password() const override { return QStringLiteral("s3cret"); }
    int Shutdown() override { return 0; }
};

class FakeWindows : public StartupWindows {
public:
    QStringList shown;
    int incidentListCleared = 0;
    void showWindow(const QString& formName) override { shown << formName; }
    void clearMainMenuIncidentList() override { ++incidentListCleared; }
};

RecordsetPtr incidentRows(std::vector<Recordset::Row> rows)
{
    return Recordset::fromRows({QStringLiteral("IncidentNumber"), QStringLiteral("StartDate")}, std::move(rows));
}

// One start-up run over stand-ins, with the program folder inside a temporary
// directory so that dvn.ini can be placed in its parent.
struct StartupRun : ::testing::Test {
    QTemporaryDir dir;
    QString programDir;
    AppState state;
    ScriptedDialogs dialogs;
    FakeWindows windows;
    FakeLogin* login = nullptr;
    int loginsCreated = 0;
    std::function<void(FakeLogin&)> setUpLogin;
    bool factoryFails = false;

    void SetUp() override
    {
        programDir = dir.filePath(QStringLiteral("reports"));
        QDir().mkpath(programDir);
    }
    void writeIni(const QByteArray& text)
    {
        QFile f(dir.filePath(QStringLiteral("dvn.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    Startup::Outcome run(const QString& commandLine)
    {
        Startup startup(state, dialogs, windows, [this]() -> std::unique_ptr<LoginComponent> {
            if (factoryFails)
                throw DbError(429, QStringLiteral("The login component cannot be created"));
            auto l = std::make_unique<FakeLogin>();
            l->incidents = incidentRows({{Value("CA-RRU-001234"), Value(QDate(2005, 7, 4))}});
            if (setUpLogin) setUpLogin(*l);
            ++loginsCreated;
            return l;
        });
        const Startup::Outcome outcome = startup.run(commandLine, programDir);
        owned = startup.takeLogin();
        login = static_cast<FakeLogin*>(owned.get());
        EXPECT_EQ(BusyPointer::depth(), 0);
        return outcome;
    }
    std::unique_ptr<LoginComponent> owned;
};

}  // namespace

TEST_F(StartupRun, LaunchOpensTheNamedWindowForTheIncident)
{
    writeIni("[Dorvane]\nDBSPath=/data/dvn.mdb\nServer=INI-SRV\nCatalog=INI-DB\n");
    state.ManageIncidentsAsOne = true;
    EXPECT_EQ(run(QStringLiteral("1234,6,0,SRV/TIMEDB,jdoe,s3cret,True,False")), Startup::Outcome::Window);
    EXPECT_EQ(windows.shown, QStringList{QStringLiteral("Form6")});
    EXPECT_EQ(state.SelectedIncidentId, 1234);
    EXPECT_EQ(state.ReportNumber, 6);
    EXPECT_EQ(state.LaunchSelection, QStringLiteral("0"));
    EXPECT_EQ(state.ServerName, QStringLiteral("SRV"));
    EXPECT_EQ(state.CatalogName, QStringLiteral("TIMEDB"));
    EXPECT_TRUE(state.DatabasePath.isEmpty());
    EXPECT_TRUE(state.isSqlServer());
    EXPECT_FALSE(state.ManageIncidentsAsOne);
    EXPECT_FALSE(state.TimingTest);
    EXPECT_EQ(state.ConnectionText, QStringLiteral("DRIVER=FreeTDS;SERVER=SRV;DATABASE=TIMEDB"));
    EXPECT_EQ(state.SelectedIncidentNumber, QStringLiteral("CA-RRU-001234"));
    EXPECT_EQ(state.IncidentStartYear, QStringLiteral("2005"));

    ASSERT_EQ(login->calls.size(), 1u);
    const LoginCall& c = login->calls[0];
    EXPECT_EQ(c.systemCode, QStringLiteral("DVN"));
    EXPECT_EQ(c.configFilePath, dir.filePath(QStringLiteral("dvn.ini")));
    EXPECT_EQ(c.server, QStringLiteral("SRV"));
    EXPECT_EQ(c.database, QStringLiteral("TIMEDB"));
    EXPECT_EQ(c.flag, 0);
    EXPECT_EQ(c.user, QStringLiteral("jdoe"));
    EXPECT_EQ(c.password, QStringLiteral("s3cret"));
    EXPECT_TRUE(c.reserved1.isEmpty() && c.reserved2.isEmpty());
    EXPECT_EQ(login->queries, QStringList{QStringLiteral("Select IncidentNumber, StartDate from Incidents where incidentid = 1234")});
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST_F(StartupRun, LaunchVariants)
{
    // Server part up to the first slash; an unknown incident still opens the
    // window; the optional ninth field sets the timing test; more are ignored.
    setUpLogin = [](FakeLogin& l) { l.incidents = incidentRows({}); };
    state.SelectedIncidentNumber = QStringLiteral("old");
    state.IncidentStartYear = QStringLiteral("99");
    EXPECT_EQ(run(QStringLiteral("99999,12,,SRV/DB/X,u,p,False,1,True,extra")), Startup::Outcome::Window);
    EXPECT_EQ(windows.shown, QStringList{QStringLiteral("Form12")});
    EXPECT_EQ(state.ServerName, QStringLiteral("SRV"));
    EXPECT_EQ(state.CatalogName, QStringLiteral("DB/X"));
    EXPECT_FALSE(state.isSqlServer());
    EXPECT_TRUE(state.ManageIncidentsAsOne);
    EXPECT_TRUE(state.TimingTest);
    EXPECT_TRUE(state.SelectedIncidentNumber.isEmpty());
    EXPECT_TRUE(state.IncidentStartYear.isEmpty());

    // Report 0 shows the main menu with an empty incident list; report 2 has
    // no window and ends the program.
    windows.shown.clear();
    EXPECT_EQ(run(QStringLiteral("5,0,,S/D,u,p,True,False")), Startup::Outcome::Window);
    EXPECT_EQ(windows.shown, QStringList{QStringLiteral("Form0")});
    EXPECT_EQ(windows.incidentListCleared, 1);
    windows.shown.clear();
    EXPECT_EQ(run(QStringLiteral("5,2,,S/D,u,p,True,False")), Startup::Outcome::NothingToOpen);
    EXPECT_TRUE(windows.shown.isEmpty());
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST_F(StartupRun, InteractiveLaunchIsAlwaysSqlServerAndShowsTheMenu)
{
    writeIni("[dorvane]\ndbspath = /data/dvn.mdb\nserver=INI-SRV\n");
    setUpLogin = [](FakeLogin& l) {
        l.reachedServer = QStringLiteral("HOST1");
        l.reachedDatabase = QStringLiteral("TIMEDB");
    };
    EXPECT_EQ(run(QString()), Startup::Outcome::MainMenu);
    EXPECT_TRUE(state.isSqlServer());
    EXPECT_EQ(state.DatabasePath, QStringLiteral("/data/dvn.mdb"));
    ASSERT_EQ(login->calls.size(), 1u);
    // Server and database were not read from the file: the kind was still Access.
    EXPECT_TRUE(login->calls[0].server.isEmpty());
    EXPECT_TRUE(login->calls[0].user.isEmpty() && login->calls[0].password.isEmpty());
    EXPECT_EQ(state.ServerName, QStringLiteral("HOST1"));
    EXPECT_EQ(state.CatalogName, QStringLiteral("TIMEDB"));
    EXPECT_EQ(windows.shown, QStringList{QStringLiteral("Form0")});
    EXPECT_EQ(windows.incidentListCleared, 0);
    EXPECT_TRUE(login->queries.isEmpty());
}

TEST_F(StartupRun, LoginThatDoesNotConnect)
{
    setUpLogin = [](FakeLogin& l) { l.connects = false; };
    const QStringList expected{QStringLiteral("MESSAGE Quillon Message:  | Cannot connect to the database."),
                               QStringLiteral("-> OK")};
    EXPECT_EQ(run(QString()), Startup::Outcome::NotConnected);
    EXPECT_EQ(dialogs.log(), expected);
    dialogs.clearLog();
    EXPECT_EQ(run(QStringLiteral("1234,6,0,SRV/TIMEDB,jdoe,s3cret,True,False")), Startup::Outcome::NotConnected);
    EXPECT_EQ(dialogs.log(), expected);
    EXPECT_TRUE(login->queries.isEmpty());
    EXPECT_TRUE(windows.shown.isEmpty());
}

// The host's launch with a database the login cannot open: the message names
// the reason on its second line.
TEST_F(StartupRun, FailedLoginNamesItsReason)
{
    const QString missing = dir.filePath(QStringLiteral("gone.db"));
    Startup startup(state, dialogs, windows, [] { return std::make_unique<DvnLoginComponent>(); });
    EXPECT_EQ(startup.run(QStringLiteral("1234,6,0,sqlite/%1,jdoe,s3cret,True,False").arg(missing), programDir),
              Startup::Outcome::NotConnected);
    const QStringList expected{
        QStringLiteral("MESSAGE Quillon Message:  | Cannot connect to the database.\\nThe database file \"%1\" does not exist.")
            .arg(missing),
        QStringLiteral("-> OK")};
    EXPECT_EQ(dialogs.log(), expected);
}

TEST_F(StartupRun, BadCommandLinesShowTheNoConnectionMessage)
{
    struct Case { const char* line; const char* start; bool loginCreated; };
    const Case cases[] = {
        {"1234,6,0,SRV/TIMEDB,jdoe,s3cret,True", "MESSAGE Quillon | No Connection to Database!\\n9 Desc: ", false},
        {"abc,6,0,SRV/TIMEDB,jdoe,s3cret,True,False", "MESSAGE Quillon | No Connection to Database!\\n13 Desc: ", false},
        {"1234,x6,0,SRV/TIMEDB,jdoe,s3cret,True,False", "MESSAGE Quillon | No Connection to Database!\\n13 Desc: ", false},
        {"1234,40000,0,SRV/TIMEDB,jdoe,s3cret,True,False", "MESSAGE Quillon | No Connection to Database!\\n6 Desc: ", false},
        {"1234,6,0,SRVTIMEDB,jdoe,s3cret,True,False", "MESSAGE Quillon | No Connection to Database!\\n5 Desc: ", true},
        {"1234,6,0,SRV/TIMEDB,jdoe,s3cret,Maybe,False", "MESSAGE Quillon | No Connection to Database!\\n13 Desc: ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        dialogs.clearLog();
        windows.shown.clear();
        loginsCreated = 0;
        EXPECT_EQ(run(QString::fromLatin1(c.line)), Startup::Outcome::Failed);
        ASSERT_EQ(dialogs.log().size(), 2);
        EXPECT_TRUE(dialogs.log()[0].startsWith(QLatin1String(c.start))) << dialogs.log()[0].toStdString();
        EXPECT_EQ(loginsCreated, c.loginCreated ? 1 : 0);
        if (login) {
            EXPECT_TRUE(login->calls.empty());
        }
        EXPECT_TRUE(windows.shown.isEmpty());
    }
}

TEST_F(StartupRun, FailuresNeverShowThePassword)
{
    // A comma in the password pushes its tail into the SQL Server flag.
    EXPECT_EQ(run(QStringLiteral("1234,6,0,SRV/TIMEDB,jdoe,pa,Zq9x,True,False")), Startup::Outcome::Failed);
    ASSERT_FALSE(dialogs.log().isEmpty());
    EXPECT_FALSE(dialogs.log()[0].contains(QLatin1String("Zq9x")));

    // An engine error quoting the connection string.
    dialogs.clearLog();
    setUpLogin = [](FakeLogin& l) { l.queryFails = true; };
    EXPECT_EQ(run(QStringLiteral("1234,6,0,SRV/TIMEDB,jdoe,s3cret,True,False")), Startup::Outcome::Failed);
    ASSERT_EQ(dialogs.log().size(), 2);
    EXPECT_TRUE(dialogs.log()[0].startsWith(QLatin1String("MESSAGE Quillon | No Connection to Database!\\n4060 Desc: Login failed")));
    EXPECT_FALSE(dialogs.log()[0].contains(QLatin1String("s3cret")));

    dialogs.clearLog();
    setUpLogin = nullptr;
    factoryFails = true;
    EXPECT_EQ(run(QString()), Startup::Outcome::Failed);
    EXPECT_EQ(dialogs.log().value(0),
              QStringLiteral("MESSAGE Quillon | No Connection to Database!\\n429 Desc: The login component cannot be created"));
}

TEST(CommandLineConversions, NumbersAndBooleans)
{
    EXPECT_EQ(textToInt32(QStringLiteral(" 1234 ")), 1234);
    EXPECT_EQ(textToInt32(QStringLiteral("2.5")), 2);  // half to even
    EXPECT_EQ(textToInt32(QStringLiteral("-3.5")), -4);
    EXPECT_EQ(textToInt16(QStringLiteral("-32768")), -32768);
    const std::pair<const char*, int> bad[] = {{"", 13}, {"12a", 13}, {"1e3", 13}, {".", 13}, {"--1", 13},
                                               {"2147483648", 6}, {"-2147483649", 6}};
    for (const auto& [text, number] : bad) {
        try {
            textToInt32(QString::fromLatin1(text));
            ADD_FAILURE() << text;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), number) << text;
        }
    }
    EXPECT_THROW(textToInt16(QStringLiteral("32768")), DbError);

    for (const char* t : {"True", "true", " TRUE ", "-1", "2", "0.5"})
        EXPECT_TRUE(textToBool(QString::fromLatin1(t))) << t;
    for (const char* f : {"False", "false", "0", "0.0", " -0 "})
        EXPECT_FALSE(textToBool(QString::fromLatin1(f))) << f;
    for (const char* b : {"", "yes", "T", "on"})
        EXPECT_THROW(textToBool(QString::fromLatin1(b)), DbError) << b;
}
