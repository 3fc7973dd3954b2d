// The main menu and the scripted runs of the quillon program, run as a person
// would use them: the built program on a sample database, driven by scripts.
#include "data/connection.h"
#include "data/demo/demo_database.h"

#include "printers.h"
#include "quillon_script.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::testing;

namespace {

class MainMenuScript : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        database = dir->filePath(QStringLiteral("sample.db"));
        demo::createDemoDatabase(database);
        templates = dir->filePath(QStringLiteral("templates"));
        writeTemplates(templates, {QStringLiteral("CommissaryCharges"), QStringLiteral("EquipMgmt")});
    }
    static void TearDownTestSuite() { delete dir; }

    ScriptRun run(const QString& script, const QString& db = database)
    {
        return runScript(script, work.path(), db, templates);
    }
    static int count(const QString& sql)
    {
        Connection db;
        db.openEmbedded(database);
        return int(db.openRecordset(sql)->value(0).toInt());
    }

    static QTemporaryDir* dir;
    static QString database;
    static QString templates;
    QTemporaryDir work;
};
QTemporaryDir* MainMenuScript::dir = nullptr;
QString MainMenuScript::database;
QString MainMenuScript::templates;

const QString kChargesOfIncident1 = QStringLiteral(
    "Select count(*) from personsdebit a inner join persons b on a.personid = b.personid "
    "inner join resources c on b.resourceid = c.resourceid where c.incidentid = 1");

}  // namespace

TEST_F(MainMenuScript, DirectReportsPreviewTheChosenIncident)
{
    const ScriptRun r = run(QStringLiteral("open Form0\n"
                                           "pick Form0.dbcIncidents Cedar Ridge\n"
                                           "click Form0.Option2\n"
                                           "click Form0.cmdSelect\n"
                                           "click Form0.Option10\n"
                                           "click Form0.cmdSelect\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    const QStringList reports = r.linesStarting(QStringLiteral("REPORT "));
    ASSERT_EQ(reports.size(), 2) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(reports[0].startsWith(QLatin1String("REPORT Commissary Charges By Date viewer=1 pages=")));
    EXPECT_TRUE(ScriptRun::sql(reports[0]).contains(QLatin1String("WHERE c.IncidentID = 1 order by a.activitydt")));
    EXPECT_EQ(ScriptRun::rows(reports[0]), count(kChargesOfIncident1));
    EXPECT_TRUE(reports[1].startsWith(QLatin1String("REPORT Equipment Management viewer=1 ")));
    EXPECT_TRUE(ScriptRun::sql(reports[1]).endsWith(QLatin1String(" WHERE qryEquipMgmt.IncidentID = 1")));
    EXPECT_EQ(ScriptRun::rows(reports[1]), count(QStringLiteral("Select count(*) from qryEquipMgmt where IncidentID = 1")));
    EXPECT_TRUE(r.linesStarting(QStringLiteral("MESSAGE ")).isEmpty());
}

TEST_F(MainMenuScript, SelectNeedsAnIncidentUnlessManagedAsOne)
{
    // No incident: the message and nothing else; no option: only that check.
    ScriptRun r = run(QStringLiteral("open Form0\n"
                                     "click Form0.cmdSelect\n"
                                     "click Form0.Option2\n"
                                     "click Form0.cmdSelect\n"
                                     "pick Form0.dbcIncidents Minto Creek\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    const QStringList expected{QStringLiteral("MESSAGE Error | An Incident must be selected"), QStringLiteral("-> OK"),
                               QStringLiteral("MESSAGE Error | An Incident must be selected"), QStringLiteral("-> OK")};
    EXPECT_EQ(r.lines, expected);

    // With the incidents managed as one, an empty list is fine and the direct
    // report has no incident filter.
    r = run(QStringLiteral("open Form0\n"
                           "click Form0.chkMgAs1\n"
                           "click Form0.Option2\n"
                           "click Form0.cmdSelect\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 1) << r.lines.join('\n').toStdString();
    EXPECT_FALSE(ScriptRun::sql(r.lines[0]).contains(QLatin1String("WHERE")));
    EXPECT_EQ(ScriptRun::rows(r.lines[0]), count(QStringLiteral("Select count(*) from personsdebit")));
    EXPECT_EQ(ScriptRun::data(r.lines[0])[QStringLiteral("report")][QStringLiteral("number")].toInt(), 2);

    // Checking the box hides the list; a script cannot reach it then.
    r = run(QStringLiteral("open Form0\nclick Form0.chkMgAs1\npick Form0.dbcIncidents Cedar Ridge\n"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.errors.contains(QLatin1String("line 3: pick Form0.dbcIncidents Cedar Ridge: Form0.dbcIncidents is hidden")))
        << r.errors.toStdString();
}

TEST_F(MainMenuScript, SelectOpensSelectionWindowsByFormName)
{
    // Report number 8 has no option; it goes to the contractor debits window
    // as 10 does. A report without a registered window says so and the menu
    // stays usable.
    const ScriptRun r = run(QStringLiteral("open Form0\n"
                                           "pick Form0.dbcIncidents Cedar Ridge\n"
                                           "state ReportNumber 8\n"
                                           "click Form0.cmdSelect\n"
                                           "pick Form10.dbcContractors Sierra Earthworks LLC\n"
                                           "close Form10\n"
                                           "state ReportNumber 99\n"
                                           "click Form0.cmdSelect\n"
                                           "click Form0.Option8\n"
                                           "click Form0.cmdSelect\n"
                                           "close Form10\n"
                                           "state ReportNumber 14\n"
                                           "click Form0.cmdSelect\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.lines.isEmpty()) << r.lines.join('\n').toStdString();
}

TEST_F(MainMenuScript, ClosingTheMenuEndsTheProgram)
{
    ScriptRun r = run(QStringLiteral("open Form0\nclose Form0\n"));
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    r = run(QStringLiteral("open Form0\nclose Form0\nsql Select count(*) as n from Incidents\n"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.errors.contains(QLatin1String("line 3: sql Select count(*) as n from Incidents: the program has ended")))
        << r.errors.toStdString();
    EXPECT_TRUE(r.lines.isEmpty());
}

TEST_F(MainMenuScript, ScriptCommandsAndTheirFailures)
{
    ScriptRun r = run(QStringLiteral("# rows of a query\n"
                                     "sql Select IncidentID, IncidentName from Incidents order by IncidentID\n"
                                     "state SelectedIncidentNumber \"OR-WIF-000862\"\n"
                                     "state IncidentStartYear 26\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(r.lines, (QStringList{QStringLiteral("ROW IncidentID=1|IncidentName=Cedar Ridge"),
                                    QStringLiteral("ROW IncidentID=2|IncidentName=Minto Creek")}));

    struct Case { const char* script; const char* error; };
    const Case cases[] = {
        {"open Form0\nclick Form0.cmdNothing\n", "line 2: click Form0.cmdNothing: Form0 has no control cmdNothing"},
        {"state NoSuchMember 1\n", "line 1: state NoSuchMember 1: the shared state has no member \"NoSuchMember\""},
        {"state ReportNumber many\n", "ReportNumber: cannot take the value \"many\""},
        {"open FormX\n", "There is no window named FormX."},
        {"close Form4\n", "no window Form4 is open"},
        {"sql Select * from NoTable\n", "line 1: sql Select * from NoTable: error"},
        {"answer Yes\n", "answers were given for boxes that never came"},
        {"bogus\n", "unknown command \"bogus\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        r = run(QString::fromLatin1(c.script));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.errors.contains(QString::fromLatin1(c.error))) << r.errors.toStdString();
    }
}

TEST_F(MainMenuScript, PreviewsAndPrintsAreKeptInTheOutputFolder)
{
    // The viewer's print button sends the report to the output folder; a
    // printed job carries the title of the printed document.
    const ScriptRun r = run(QStringLiteral("open Form0\n"
                                           "pick Form0.dbcIncidents Cedar Ridge\n"
                                           "click Form0.Option2\n"
                                           "click Form0.cmdSelect\n"
                                           "click frmViewRpt.cmdPrint\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 2) << r.lines.join('\n').toStdString();
    const QString out = QDir(work.path()).filePath(QStringLiteral("out"));
    EXPECT_EQ(r.lines[0], QStringLiteral("REPORT Commissary Charges By Date viewer=1 pages=%1 pdf=%2/0001-Commissary_Charges_By_Date.pdf "
                                         "data=%2/0001-Commissary_Charges_By_Date.json")
                              .arg(r.lines[0].section(QLatin1String("pages="), 1).section(QLatin1Char(' '), 0, 0), out));
    const int pages = r.lines[0].section(QLatin1String("pages="), 1).section(QLatin1Char(' '), 0, 0).toInt();
    EXPECT_GE(pages, 1);
    EXPECT_EQ(r.lines[1], QStringLiteral("PRINT CommissaryCharges pages=%1 pdf=%2/0002-CommissaryCharges.pdf "
                                         "data=%2/0002-CommissaryCharges.json").arg(pages).arg(out));
    for (const QString& line : r.lines) {
        QFile pdf(line.section(QLatin1String("pdf="), 1).section(QLatin1Char(' '), 0, 0));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << pdf.fileName().toStdString();
        EXPECT_TRUE(pdf.read(5) == "%PDF-");
        EXPECT_EQ(ScriptRun::rows(line), count(kChargesOfIncident1));
    }
}

TEST_F(MainMenuScript, ErrorInAWindowShowsOneMessageAndLeavesItUsable)
{
    // A sample whose commissary debits are gone: the direct report fails with
    // the database's description, and the menu goes on working.
    const QString broken = work.filePath(QStringLiteral("broken.db"));
    ASSERT_TRUE(copyWithoutTable(database, broken, QStringLiteral("PersonsDebit")));
    const ScriptRun r = run(QStringLiteral("open Form0\n"
                                           "pick Form0.dbcIncidents Cedar Ridge\n"
                                           "click Form0.Option2\n"
                                           "click Form0.cmdSelect\n"
                                           "click Form0.Option10\n"
                                           "click Form0.cmdSelect\n"),
                            broken);
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 3) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(QLatin1String("MESSAGE Quillon | ")));
    EXPECT_TRUE(r.lines[0].contains(QLatin1String("personsdebit"), Qt::CaseInsensitive)) << r.lines[0].toStdString();
    EXPECT_EQ(r.lines[1], QStringLiteral("-> OK"));
    EXPECT_TRUE(r.lines[2].startsWith(QLatin1String("REPORT Equipment Management viewer=1 ")));
}

TEST_F(MainMenuScript, LoginFailureEndsTheRun)
{
    const ScriptRun r = run(QStringLiteral("open Form0\n"), work.filePath(QStringLiteral("missing.db")));
    EXPECT_EQ(r.exitCode, 3);
    // The message names the reason on its second line.
    EXPECT_EQ(r.lines, (QStringList{QStringLiteral("MESSAGE Quillon Message:  | Cannot connect to the database.\\n"
                                                   "The database file \"%1\" does not exist.")
                                        .arg(work.filePath(QStringLiteral("missing.db"))),
                                    QStringLiteral("-> OK")}));
}

TEST_F(MainMenuScript, WithoutADatabaseTheLoginFollowsDvnIni)
{
    // A copy of the program in <root>/app reads <root>/dvn.ini.
    const QString root = work.filePath(QStringLiteral("install"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/app")));
    const QString program = root + QStringLiteral("/app/quillon");
    ASSERT_TRUE(QFile::copy(quillonProgram(), program));
    QFile ini(root + QStringLiteral("/dvn.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[DORVANE]\r\ndbspath=%1\r\n").arg(database).toUtf8());
    ini.close();
    const ScriptRun r = runScript(QStringLiteral("sql Select count(*) as n from Incidents\n"), work.path(), QString(),
                                  templates, program);
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(r.lines, QStringList{QStringLiteral("ROW n=2")});
}
