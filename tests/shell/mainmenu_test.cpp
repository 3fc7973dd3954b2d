// The main menu's logic without its window, the state members scripts set,
// and how the program's arguments become the host system's command line.
#include "shell/mainmenu.h"
#include "shell/startup_commandline.h"
#include "shell/statemembers.h"

#include "printers.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class CountingLogin : public LoginComponent {
public:
    explicit CountingLogin(int& shutdowns) : m_shutdowns(shutdowns) {}
    void Login(QString&, QString&, QString&, QString&, int&, QString&, QString&, QString&, QString&) override {}
    int connectionState() const override { return StateOpen; }
    QString connectionString() const override { return QString(); }
    RecordsetPtr openRecordset(const QString&) override { return nullptr; }
    QString Password() const override { return QString(); }
    int Shutdown() override { return ++m_shutdowns; }

private:
    int& m_shutdowns;
};

struct MainMenuLogic : ::testing::Test {
    ScriptedDialogs dialogs;
    App app{dialogs, std::make_shared<reports::FolderPrinter>(QStringLiteral("/nonexistent"))};
    MainMenu menu{app};
};

}  // namespace

TEST_F(MainMenuLogic, OptionsFollowTheSelectionWindowsNumbering)
{
    const std::pair<int, int> outOfOrder[] = {{8, 10}, {10, 11}, {11, 12}, {12, 15}};
    for (const auto& [option, report] : outOfOrder)
        EXPECT_EQ(MainMenu::reportNumberForOption(option), report) << option;
    EXPECT_EQ(MainMenu::windowForReport(8), QStringLiteral("Form10"));
    for (int n : {0, 2, 11, 13, 14, 16})
        EXPECT_TRUE(MainMenu::windowForReport(n).isEmpty()) << n;
}

TEST_F(MainMenuLogic, ChoosingAnIncidentKeepsTwoDigitsOfItsYear)
{
    menu.incidentChosen(Value(1234), Value("CA-RRU-001234"), Value(QDate(2005, 7, 4)));
    EXPECT_EQ(app.state.SelectedIncidentId, 1234);
    EXPECT_EQ(app.state.SelectedIncidentNumber, QStringLiteral("CA-RRU-001234"));
    EXPECT_EQ(app.state.IncidentStartYear, QStringLiteral("05"));
    menu.incidentChosen(Value(7), Value("X"), Value());
    EXPECT_TRUE(app.state.IncidentStartYear.isEmpty());
}

TEST_F(MainMenuLogic, ManageAsOneKeepsTheChosenIncidentOfAnyKeyLength)
{
    // Bound value of the list -> SelectedIncidentId; -1 when no incident is chosen.
    const std::pair<const char*, int> cases[] = {{"7", 7}, {"12", 12}, {"1234", 1234}, {"", -1}, {"0", -1}};
    for (const auto& [bound, expected] : cases) {
        app.state.SelectedIncidentId = 5;
        EXPECT_FALSE(menu.manageAsOneClicked(true, QString::fromLatin1(bound), QStringLiteral("Cedar Ridge")));
        EXPECT_TRUE(app.state.ManageIncidentsAsOne);
        EXPECT_EQ(app.state.SelectedIncidentId, expected) << bound;
    }
    app.state.SelectedIncidentId = -1;

    // Unchecked: the list shows again and gives its incident, if any.
    EXPECT_TRUE(menu.manageAsOneClicked(false, QString(), QString()));
    EXPECT_FALSE(app.state.ManageIncidentsAsOne);
    EXPECT_EQ(app.state.SelectedIncidentId, -1);
    menu.manageAsOneClicked(false, QStringLiteral("3"), QStringLiteral("Minto Creek"));
    EXPECT_EQ(app.state.SelectedIncidentId, 3);
}

TEST_F(MainMenuLogic, SelectChecksTheIncidentFirst)
{
    // Nothing chosen and no option: the message, and the report number stays.
    app.state.ReportNumber = 0;
    menu.select(0, QString(), Value());
    EXPECT_EQ(dialogs.log(), (QStringList{QStringLiteral("MESSAGE Error | An Incident must be selected"),
                                          QStringLiteral("-> OK")}));
    EXPECT_EQ(app.state.ReportNumber, 0);
    // An option sets its number even when the incident check then stops.
    menu.select(8, QString(), Value());
    EXPECT_EQ(app.state.ReportNumber, 10);

    // An incident and no option after start-up: nothing happens.
    dialogs.clearLog();
    app.state.ReportNumber = 0;
    menu.select(0, QStringLiteral("Cedar Ridge"), Value(1));
    EXPECT_EQ(app.state.SelectedIncidentId, 1);
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST_F(MainMenuLogic, DataPathVersionAndUnload)
{
    app.state.DatabaseKind = DbKind::SqlServer;
    app.state.ServerName = QStringLiteral("SRV");
    app.state.CatalogName = QStringLiteral("TIMEDB");
    app.state.DatabasePath = QStringLiteral("/data/dvn.mdb");
    EXPECT_EQ(menu.dataPathText(), QStringLiteral("Server=SRV Database=TIMEDB"));
    EXPECT_EQ(menu.databaseInWords(), QStringLiteral("Server SRV, database TIMEDB"));
    app.state.ServerName = QStringLiteral("sqlite");
    app.state.CatalogName = QStringLiteral("/data/sample.db");
    EXPECT_EQ(menu.databaseInWords(), QStringLiteral("Database file /data/sample.db"));
    app.state.DatabaseKind = DbKind::Access;
    EXPECT_EQ(menu.dataPathText(), QStringLiteral("/data/dvn.mdb"));
    EXPECT_EQ(menu.databaseInWords(), QStringLiteral("Database file /data/dvn.mdb"));
    EXPECT_EQ(MainMenu::versionText(QStringLiteral("5.1.0")), QStringLiteral("Version 5.1.0"));
    EXPECT_EQ(MainMenu::versionText(QStringLiteral("2.3")), QStringLiteral("Version 2.3.0"));

    int shutdowns = 0, quits = 0;
    app.setLoginComponent(std::make_unique<CountingLogin>(shutdowns), nullptr);
    app.setQuitHandler([&quits] { ++quits; });
    menu.unload();
    menu.unload();
    EXPECT_EQ(shutdowns, 1);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(app.loginComponent(), nullptr);
    EXPECT_FALSE(app.hasConnection());
}

TEST(StateMembers, ScriptsSetAnyMemberByName)
{
    AppState s;
    QString error;
    EXPECT_TRUE(assignStateMember(s, QStringLiteral("incidentstartyear"), QStringLiteral("05"), &error));
    EXPECT_EQ(s.IncidentStartYear, QStringLiteral("05"));
    EXPECT_TRUE(assignStateMember(s, QStringLiteral("TimingTest"), QStringLiteral("true"), &error));
    EXPECT_TRUE(s.TimingTest);
    EXPECT_TRUE(assignStateMember(s, QStringLiteral("ReportEndDate"), QStringLiteral("06/30/2026"), &error));
    EXPECT_EQ(s.ReportEndDate, QDate(2026, 6, 30));
    EXPECT_TRUE(assignStateMember(s, QStringLiteral("DatabaseKind"), QStringLiteral("SqlServer"), &error));
    EXPECT_TRUE(s.isSqlServer());

    EXPECT_FALSE(assignStateMember(s, QStringLiteral("TimingTest"), QStringLiteral("maybe"), &error));
    EXPECT_TRUE(s.TimingTest);
    EXPECT_FALSE(assignStateMember(s, QStringLiteral("SelectedPersonId"), QStringLiteral("x"), &error));
    EXPECT_EQ(error, QStringLiteral("SelectedPersonId: cannot take the value \"x\""));
    EXPECT_FALSE(assignStateMember(s, QStringLiteral("Nothing"), QStringLiteral("1"), &error));
    EXPECT_EQ(error, QStringLiteral("the shared state has no member \"Nothing\""));
    EXPECT_TRUE(stateMemberNames().contains(QStringLiteral("LaunchSelection")));
}

TEST(LaunchCommandLine, OneTextFromTheArguments)
{
    EXPECT_EQ(launchCommandLine({}), QString());
    const QString line = QStringLiteral("1234,6,0,SRV/TIMEDB,jdoe,s3cret,True,False");
    EXPECT_EQ(launchCommandLine({line}), line);
    // Split by a shell at a blank inside the user name: joined at the blank.
    EXPECT_EQ(launchCommandLine({QStringLiteral("1234,6,0,SRV/TIMEDB,John"), QStringLiteral("Smith,pw,True,False")}),
              QStringLiteral("1234,6,0,SRV/TIMEDB,John Smith,pw,True,False"));
    // Fields given one by one, an empty preselection among them.
    EXPECT_EQ(launchCommandLine({QStringLiteral("1234"), QStringLiteral("6"), QString(), QStringLiteral("SRV/TIMEDB"),
                                 QStringLiteral("jdoe"), QStringLiteral("pw"), QStringLiteral("True"),
                                 QStringLiteral("False")}),
              QStringLiteral("1234,6,,SRV/TIMEDB,jdoe,pw,True,False"));
}
