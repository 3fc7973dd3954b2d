#include "rosters_fixture.h"

#include "data/demo/demo_database.h"
#include "rosters/windows.h"
#include "ui/script.h"
#include "ui/scriptactions.h"

#include <QCoreApplication>
#include <QDir>
#include "test_connection.h"

namespace rosters_test {

QTemporaryDir* RostersTest::dir = nullptr;

namespace {

const char* const kIncidentTimeTemplate = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="IncidentTime" title="Time">
  <Parameter name="StartDate" type="date"/>
  <Parameter name="EndDate" type="date"/>
  <Parameter name="LeaderName" type="text"/>
  <Parameter name="LeaderPhone" type="text"/>
  <Page width="612" height="792" margin="36"/>
  <ReportHeader height="12"><Field x="0" y="0" expr="{?LeaderName}"/></ReportHeader>
  <Detail height="12"><Field x="0" y="0" expr="{FullName} &amp; ' ' &amp; {faxphone}"/></Detail>
</Report>)xml";

const char* const kListTemplate = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="%1" title="List">
  <Page width="612" height="792" margin="36"/>
  <Detail height="12"><Field x="0" y="0" expr="{LastName}"/></Detail>
</Report>)xml";

const char* const kRows = R"sql(
Insert into Incidents (IncidentID, IncidentName, IncidentNumber) values (1, 'Cedar Ridge', 'OR-RRF-000123');
Insert into Incidents (IncidentID, IncidentName, IncidentNumber) values (2, 'Lost Lake', 'OR-RRF-000456');
Insert into AccountingCodes (AccountingID, AccountingCode, IncidentID) values (1, 'P6ABC1', 1);
Insert into AccountingCodes (AccountingID, AccountingCode, IncidentID) values (2, 'P6XYZ2', 2);
Insert into Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) values (1, 1, 'Alpha Crew', 'C-12', 1);
Insert into Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) values (2, 1, 'Zulu Crew', 'C-5', 1);
Insert into Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) values (3, 1, 'Engine Boss', 'O-3', 0);
Insert into Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) values (4, 2, 'Other Crew', 'C-1', 1);
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (1, 1, 'Ann', 'Able', 'USFS', '5415550100', 'FED', 'A');
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (2, 1, 'Bob', 'Baker', 'USFS', '5415550100', 'FED', 'A');
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (3, 2, 'Cy', 'Cole', 'USFS', '5415550199', 'OTHER', 'A');
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (4, 3, 'Dee', 'Dunn', 'BLM', '5415550100', 'FED', 'A');
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (5, 2, 'Hal', 'Hart', 'BLM', '2085550111', 'FED', 'A');
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (6, 1, 'Eve', 'Eng', 'USFS', '541555010', 'FED', 'A');
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (7, 1, 'Fay', 'Ford', 'USFS', '5415550177', 'AD', 'A');
Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) values (8, 4, 'Gus', 'Gray', 'USFS', '5415550188', 'FED', 'A');
)sql";

}  // namespace

void RostersTest::SetUpTestSuite()
{
    dir = new QTemporaryDir;
    const QString path = dir->filePath(QStringLiteral("rosters.db"));
    demo::createEmptyDatabase(path);
    Connection setup;
    setup.openEmbedded(path);
    for (const QString& statement : QString::fromLatin1(kRows).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!statement.trimmed().isEmpty()) setup.execute(statement.trimmed());
    for (int person = 1; person <= 8; ++person)
        setup.execute(QStringLiteral("Insert into PersonsPost (PersonID, ActivityDT, Hours, AccountingID) values "
                                     "(%1, '2026-07-10', 8, %2)")
                          .arg(person)
                          .arg(person == 8 ? 2 : 1));
    setup.close();

    const QString templates = dir->filePath(QStringLiteral("templates"));
    QDir().mkpath(templates);
    writeFile(templates + QStringLiteral("/IncidentTime.rpt"), kIncidentTimeTemplate);
    for (const char* name : {"CommAuthorization", "CrewRoster"})
        writeFile(templates + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".rpt"),
                  QString::fromLatin1(kListTemplate).arg(QLatin1String(name)).toLatin1());
}

void RostersTest::TearDownTestSuite()
{
    delete dir;
    dir = nullptr;
}

void RostersTest::SetUp()
{
    qputenv("QUILLON_TEMPLATE_DIR", dir->filePath(QStringLiteral("templates")).toLocal8Bit());
    openTestDatabase(db, dir->filePath(QStringLiteral("rosters.db")));
    printer = std::make_shared<RecordingPrinter>();
    app = std::make_unique<App>(dialogs, printer);
    printer->app = app.get();
    app->attachConnection(db);
    app->state.SelectedIncidentId = 1;
    registerRosterWindows(*app);
}

void RostersTest::TearDown()
{
    // Windows go before the application object they point at.
    app->windows().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.reset();
    qunsetenv("QUILLON_TEMPLATE_DIR");
}

void RostersTest::run(const QString& script)
{
    ScriptRunner runner(dialogs, [this](const QString& line) { output << line; });
    runner.setHandler(QStringLiteral("open"), [this](const ScriptCommand& c) { app->windows().show(c.target); });
    runner.setHandler(QStringLiteral("state"), [this](const ScriptCommand& c) {
        if (c.target != QLatin1String("ManageIncidentsAsOne")) throw ScriptError(QStringLiteral("no such state"));
        app->state.ManageIncidentsAsOne = c.text == QLatin1String("1");
    });
    ASSERT_TRUE(runner.run(script)) << runner.error().toStdString();
}

void RostersTest::useEmptyTemplateFolder()
{
    const QString empty = dir->filePath(QStringLiteral("no-templates"));
    QDir().mkpath(empty);
    qputenv("QUILLON_TEMPLATE_DIR", empty.toLocal8Bit());
}

}  // namespace rosters_test
