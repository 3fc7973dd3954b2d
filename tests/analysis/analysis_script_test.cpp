// The work/rest and excess-hours windows in the quillon program, opened from
// the main menu and driven by a script; the report's rows are read from the
// JSON the scripted run writes beside each report.
#include "../shell/quillon_script.h"

#include "sampledatabase.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

class AnalysisScript : public analysistest::SampleDatabase {};

QStringList lastNames(const QString& reportLine)
{
    QStringList names;
    for (const QJsonValue& row : ScriptRun::data(reportLine)[QStringLiteral("table1")].toArray())
        names << row[QStringLiteral("LastName")].toString();
    names.sort();
    return names;
}

}  // namespace

TEST_F(AnalysisScript, BothWindowsRunFromTheMenuAndLeaveNoScratchRows)
{
    const QString database = work->filePath(QStringLiteral("incidents.db"));
    db.close();   // the program has the file to itself
    const ScriptRun r = runScript(QStringLiteral("open Form0\n"
                                                 "pick Form0.dbcIncidents Limit Test\n"
                                                 "click Form0.Option1\n"
                                                 "click Form0.cmdSelect\n"
                                                 "type Form1.StartDay 10/01/2026\n"
                                                 "type Form1.EndDate 10/08/2026\n"
                                                 "type Form1.dbcRequestNum c-7\n"
                                                 "click Form1.PersonSort\n"
                                                 "click Form1.RunButton\n"
                                                 "close Form1\n"
                                                 "pick Form0.dbcIncidents Shift Test\n"
                                                 "click Form0.Option5\n"
                                                 "click Form0.cmdSelect\n"
                                                 "type Form5.StartDay 09/01/2026\n"
                                                 "type Form5.EndDate 09/30/2026\n"
                                                 "type Form5.ExcessHrs 12\n"
                                                 "click Form5.RunButton\n"
                                                 "sql Select count(*) as Left from ReportRecords\n"),
                                  work->path(), database, templateDir());
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString() << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.linesStarting(QStringLiteral("MESSAGE ")).isEmpty()) << r.lines.join('\n').toStdString();
    const QStringList reports = r.linesStarting(QStringLiteral("REPORT "));
    ASSERT_EQ(reports.size(), 2) << r.lines.join('\n').toStdString();

    EXPECT_TRUE(reports[0].startsWith(QLatin1String("REPORT Work/Rest viewer=1 "))) << reports[0].toStdString();
    EXPECT_TRUE(ScriptRun::sql(reports[0]).contains(QLatin1String("ORDER BY Persons.LastName, Persons.FirstName")));
    EXPECT_EQ(lastNames(reports[0]), (QStringList{"Limitone", "Limitone", "Limitone"}));

    EXPECT_TRUE(reports[1].startsWith(QLatin1String("REPORT Hours in Excess of Standard viewer=1 ")))
        << reports[1].toStdString();
    const QJsonObject excess = ScriptRun::data(reports[1]);
    EXPECT_EQ(lastNames(reports[1]), (QStringList{"Same", "Shiftone", "Shiftone", "Shiftone", "Shiftone", "Shifttwo"}));
    EXPECT_EQ(excess[QStringLiteral("table1")][0][QStringLiteral("ExcessHrs")].toDouble(), 0.25);   // sorted by excess

    EXPECT_EQ(r.linesStarting(QStringLiteral("ROW ")), QStringList{"ROW Left=0"});
}

TEST_F(AnalysisScript, ACancelAtAnyStepLeavesEveryTableAsItWas)
{
    const QString database = work->filePath(QStringLiteral("incidents.db"));
    db.close();
    const QStringList before = databaseDump(database);
    const QStringList points{QStringLiteral("0 Reading postings"), QStringLiteral("0 Checking postings"),
                             QStringLiteral("1 Writing findings"), QStringLiteral("0 Reading the report data")};
    QString script = QStringLiteral("open Form0\npick Form0.dbcIncidents Shift Test\nclick Form0.Option5\n"
                                    "click Form0.cmdSelect\ntype Form5.StartDay 09/01/2026\n"
                                    "type Form5.EndDate 09/30/2026\ntype Form5.ExcessHrs 12\n");
    for (const QString& point : points) script += QStringLiteral("cancel-at ") + point + QStringLiteral("\nclick Form5.RunButton\n");
    const ScriptRun r = runScript(script, work->path(), database, templateDir());
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString() << r.lines.join('\n').toStdString();

    const QStringList cancelled = r.linesStarting(QStringLiteral("CANCELLED "));
    ASSERT_EQ(cancelled.size(), points.size()) << r.lines.join('\n').toStdString();
    for (int i = 0; i < points.size(); ++i)
        EXPECT_TRUE(cancelled[i].startsWith(QStringLiteral("CANCELLED ") + points[i].section(QLatin1Char(' '), 1)))
            << cancelled[i].toStdString();
    EXPECT_TRUE(r.linesStarting(QStringLiteral("REPORT ")).isEmpty()) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.linesStarting(QStringLiteral("MESSAGE ")).isEmpty()) << r.lines.join('\n').toStdString();
    EXPECT_EQ(databaseDump(database), before);
}
