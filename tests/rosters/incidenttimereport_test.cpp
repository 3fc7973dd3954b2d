// The personnel time report window driven as a person would, through the
// script actions: the office tree from the database, the check rules, the
// preview of all checked offices and the fax loop, one report per number.
#include "rosters/incidenttimereportwindow.h"
#include "rosters_fixture.h"

#include <QLineEdit>
#include <QTreeWidget>

using namespace rosters_test;

namespace {

const QString kDates = QStringLiteral(
    "open frmIncidentTimeReport\n"
    "type frmIncidentTimeReport.dtpEndDate 12/31/2099\n"
    "type frmIncidentTimeReport.dtpStartDate 07/01/2026\n"
    "type frmIncidentTimeReport.dtpEndDate 07/31/2026\n");

class TimeReportWindowTest : public RostersTest {
protected:
    QWidget* form() const { return app->windows().window(IncidentTimeReportWindow::FormName); }
    QTreeWidget* tree() const { return form()->findChild<QTreeWidget*>(QStringLiteral("tvwOffices")); }

    // "_USFS +.(541)555-0100 ...": every node depth first with its check mark (+ or _) and depth.
    QString shownTree() const
    {
        QStringList out;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
            out << (item->checkState(0) == Qt::Checked ? QStringLiteral("+") : QStringLiteral("_"))
                    + QString(depth, QLatin1Char('.')) + item->text(0);
            for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1);
        };
        for (int i = 0; i < tree()->topLevelItemCount(); ++i) walk(tree()->topLevelItem(i), 0);
        return out.join(QLatin1Char(' '));
    }

    bool faxProgressShown() const
    {
        return !form()->findChild<QLineEdit*>(QStringLiteral("txtCurRpt"))->isHidden();
    }
};

}  // namespace

TEST_F(TimeReportWindowTest, TreeShowsOfficesOfTheDateRangeAndIncident)
{
    run(kDates);
    EXPECT_EQ(shownTree(), QStringLiteral("_BLM _.(208)555-0111 _..Hal Hart _.(541)555-0100 _..Dee Dunn "
                                          "_USFS _.(541)555-0100 _..Ann Able _..Bob Baker _.(541)555-0199 _..Cy Cole"));
    EXPECT_EQ(app->state.ReportNumber, 15);
    EXPECT_EQ(app->state.ReportStartDate, QDate(2026, 7, 1));
    EXPECT_TRUE(messages().isEmpty());

    // Incidents managed as one: the other incident's person appears at the next date change.
    run(QStringLiteral("state ManageIncidentsAsOne 1\ntype frmIncidentTimeReport.dtpEndDate 07/30/2026\n"));
    EXPECT_TRUE(shownTree().contains(QStringLiteral("_.(541)555-0188 _..Gus Gray")));

    // A range without postings gives an empty tree.
    run(QStringLiteral("type frmIncidentTimeReport.dtpStartDate 07/11/2026\n"));
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
}

TEST_F(TimeReportWindowTest, TicksFollowTheCheckRules)
{
    run(kDates + QStringLiteral("tick frmIncidentTimeReport.tvwOffices \"Ann Able\" on\n"));
    EXPECT_TRUE(shownTree().contains(QStringLiteral("_USFS +.(541)555-0100 +..Ann Able +..Bob Baker _.(541)555-0199")));

    run(QStringLiteral("tick frmIncidentTimeReport.tvwOffices \"Ann Able\" off\n"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "MESSAGE Quillon | Note: To deselect this person, you must deselect the Admin Office "
                              "for this person.")});
    EXPECT_TRUE(shownTree().contains(QStringLiteral("+..Ann Able")));

    run(QStringLiteral("tick frmIncidentTimeReport.tvwOffices (541)555-0199 on\n"));
    EXPECT_TRUE(shownTree().contains(QStringLiteral("+USFS +.(541)555-0100")));
    run(QStringLiteral("tick frmIncidentTimeReport.tvwOffices USFS off\n"));
    EXPECT_TRUE(shownTree().endsWith(QStringLiteral("_USFS +.(541)555-0100 +..Ann Able +..Bob Baker "
                                                    "+.(541)555-0199 +..Cy Cole")));
    EXPECT_TRUE(shownTree().startsWith(QStringLiteral("_BLM _.(208)555-0111")));

    run(QStringLiteral("click frmIncidentTimeReport.cmdCheckAll\n"));
    EXPECT_FALSE(shownTree().contains(QLatin1Char('_')));
    run(QStringLiteral("click frmIncidentTimeReport.cmdClearAll\n"));
    EXPECT_FALSE(shownTree().contains(QLatin1Char('+')));
}

TEST_F(TimeReportWindowTest, PreviewShowsOneReportOfAllCheckedOffices)
{
    run(kDates + QStringLiteral("tick frmIncidentTimeReport.tvwOffices \"Ann Able\" on\n"
                                "tick frmIncidentTimeReport.tvwOffices \"Cy Cole\" on\n"
                                "type frmIncidentTimeReport.txtLeaderName \"Jane Roe\"\n"
                                "type frmIncidentTimeReport.txtLeaderPhone 5415550123\n"
                                "click frmIncidentTimeReport.cmdPrint\n"));
    EXPECT_TRUE(app->state.MainSql.endsWith(
        QStringLiteral(" and a.incidentid = 1 and (p.faxphone = '5415550100' or p.faxphone = '5415550199')")))
        << app->state.MainSql.toStdString();
    EXPECT_EQ(app->state.LeaderName, QStringLiteral("Jane Roe at (541)555-0123"));
    EXPECT_EQ(app->state.LeaderPhone, QStringLiteral("(541)555-0123"));
    EXPECT_FALSE(app->state.FaxMode);
    ASSERT_NE(app->output().window(1), nullptr);
    EXPECT_TRUE(printer->jobs.empty());
    // Dee Dunn shares a number with Ann and Bob: the report goes by number.
    EXPECT_EQ(app->state.MainDataSet->recordCount(), 4);
}

TEST_F(TimeReportWindowTest, FaxPrintsOneReportPerCheckedNumberInTreeOrder)
{
    run(kDates + QStringLiteral("tick frmIncidentTimeReport.tvwOffices USFS on\n"
                                "tick frmIncidentTimeReport.tvwOffices \"Hal Hart\" on\n"
                                "answer OK\nclick frmIncidentTimeReport.cmdFax\n"));
    const QStringList numbers{QStringLiteral("2085550111"), QStringLiteral("5415550100"), QStringLiteral("5415550199")};
    const QStringList rowCounts{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("1")};
    ASSERT_EQ(printer->jobs.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const PrintedJob& job = printer->jobs[size_t(i)];
        EXPECT_TRUE(job.sql.endsWith(QStringLiteral(" and (p.faxphone = '") + numbers[i] + QStringLiteral("')")))
            << job.sql.toStdString();
        EXPECT_EQ(QString::number(job.rowFaxNumbers.size()), rowCounts[i]);
        EXPECT_EQ(job.rowFaxNumbers.filter(numbers[i]).size(), job.rowFaxNumbers.size());
    }
    EXPECT_TRUE(app->state.FaxMode);
    EXPECT_TRUE(app->state.LeaderPhone.isEmpty());  // an empty phone box is no phone, not the bare mask
    EXPECT_FALSE(faxProgressShown());
    EXPECT_EQ(app->output().window(1), nullptr);

    // Every office checked: (541)555-0100 stands under two agencies but is sent once.
    run(QStringLiteral("click frmIncidentTimeReport.cmdCheckAll\nanswer OK\nclick frmIncidentTimeReport.cmdFax\n"));
    EXPECT_EQ(printer->jobs.size(), 6u);

    // Not confirming the fax printer sends nothing.
    run(QStringLiteral("answer Cancel\nclick frmIncidentTimeReport.cmdFax\n"));
    EXPECT_EQ(printer->jobs.size(), 6u);
    EXPECT_EQ(messages().size(), 3);
}

TEST_F(TimeReportWindowTest, DateErrorsEmptySelectionsAndAFailedFax)
{
    run(kDates + QStringLiteral("type frmIncidentTimeReport.dtpStartDate 08/01/2026\n"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "MESSAGE Data Entry Error | Ending date must be later than, or equal to, starting date.")});
    EXPECT_EQ(tree()->topLevelItemCount(), 0);

    dialogs.clearLog();
    run(QStringLiteral("click frmIncidentTimeReport.cmdPrint\nclick frmIncidentTimeReport.cmdFax\n"));
    const QString noRecords = QStringLiteral(
        "MESSAGE Quillon | Please select a range of dates that contains records \\nthat meet the criteria described "
        "above.");
    EXPECT_EQ(messages(), (QStringList{noRecords, noRecords}));

    // Nothing checked: nothing happens at all.
    dialogs.clearLog();
    run(QStringLiteral("type frmIncidentTimeReport.dtpStartDate 07/01/2026\n"
                       "click frmIncidentTimeReport.cmdPrint\nclick frmIncidentTimeReport.cmdFax\n"));
    EXPECT_TRUE(dialogs.log().isEmpty());
    EXPECT_EQ(app->output().window(1), nullptr);

    // A report that cannot be built stops the run at its number.
    useEmptyTemplateFolder();
    run(QStringLiteral("click frmIncidentTimeReport.cmdCheckAll\nanswer OK\nclick frmIncidentTimeReport.cmdFax\n"));
    EXPECT_TRUE(printer->jobs.empty());
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages().at(1).contains(QStringLiteral("IncidentTime"))) << messages().at(1).toStdString();
    EXPECT_TRUE(faxProgressShown());
    EXPECT_EQ(form()->findChild<QLineEdit*>(QStringLiteral("txtCurRpt"))->text(), QStringLiteral("(208)555-0111"));
}
