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
