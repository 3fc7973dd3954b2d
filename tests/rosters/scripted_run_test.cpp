// The personnel time report in a scripted run of the built program: ticks,
// Preview/Print and Fax, with every faxed report a PRINT event of its own.
#include "rosters_fixture.h"

#include "../shell/quillon_script.h"

using namespace rosters_test;
using namespace quillon::testing;

TEST_F(RostersTest, ScriptedRunPreviewsAndFaxesEachNumber)
{
    const QTemporaryDir work;
    const ScriptRun r = runScript(QStringLiteral("state SelectedIncidentId 1\n"
                                                 "open frmIncidentTimeReport\n"
                                                 "type frmIncidentTimeReport.dtpEndDate 12/31/2099\n"
                                                 "type frmIncidentTimeReport.dtpStartDate 07/01/2026\n"
                                                 "type frmIncidentTimeReport.dtpEndDate 07/31/2026\n"
                                                 "tick frmIncidentTimeReport.tvwOffices \"Hal Hart\" on\n"
                                                 "tick frmIncidentTimeReport.tvwOffices \"Cy Cole\" on\n"
                                                 "click frmIncidentTimeReport.cmdPrint\n"
                                                 "answer OK\n"
                                                 "click frmIncidentTimeReport.cmdFax\n"),
                                  work.path(), databasePath(), templateFolder());
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString() << r.lines.join('\n').toStdString();

    const QStringList previews = r.linesStarting(QStringLiteral("REPORT "));
    ASSERT_EQ(previews.size(), 1) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(ScriptRun::sql(previews[0]).endsWith(
        QStringLiteral("(p.faxphone = '2085550111' or p.faxphone = '5415550199')")));
    EXPECT_EQ(ScriptRun::rows(previews[0]), 2);

    const QStringList prints = r.linesStarting(QStringLiteral("PRINT "));
    ASSERT_EQ(prints.size(), 2) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(ScriptRun::sql(prints[0]).endsWith(QStringLiteral(" and (p.faxphone = '2085550111')")));
    EXPECT_TRUE(ScriptRun::sql(prints[1]).endsWith(QStringLiteral(" and (p.faxphone = '5415550199')")));
    EXPECT_EQ(ScriptRun::rows(prints[0]), 1);
    EXPECT_EQ(ScriptRun::rows(prints[1]), 1);
}
