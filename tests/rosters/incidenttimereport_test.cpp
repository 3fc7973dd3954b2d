// The personnel time report window driven as a person would, through the
// script actions: the office tree from the database, the check rules, the
// preview of all checked offices and the fax loop, one report per number.
#include "rosters/incidenttimereportwindow.h"
#include "rosters_fixture.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <map>
#include <set>

using namespace rosters_test;

namespace {

const QString kDates = QStringLiteral(
    "open frmIncidentTimeReport\n"
    "type frmIncidentTimeReport.dtpEndDate 12/31/2099\n"
    "type frmIncidentTimeReport.dtpStartDate 07/01/2026\n"
    "type frmIncidentTimeReport.dtpEndDate 07/31/2026\n");

// Persons only these tests add, each with a posting on 7/10/2026:
//   Ivy Ink      USFS  530-555-01   (ten characters, not ten digits: never shown)
//   Jo Jay       NPS   7075550100   (demobilized, the office's only person: never shown)
//   Kim Kay      USFS  5415550199   (no employment code and no status: shown)
//   Lou Lane x2  BLM   2085550111   (two persons of one name)
class TimeReportWindowTest : public RostersTest {
protected:
    void SetUp() override
    {
        RostersTest::SetUp();
        db.execute(QStringLiteral(
            "Insert into Persons (PersonID, ResourceID, FirstName, LastName, AgencyCode, FaxPhone, FedCode, PStatus) "
            "values (9, 1, 'Ivy', 'Ink', 'USFS', '530-555-01', 'FED', 'A'), (10, 2, 'Jo', 'Jay', 'NPS', '7075550100', "
            "'FED', 'D'), (11, 2, 'Kim', 'Kay', 'USFS', '5415550199', NULL, NULL), (12, 2, 'Lou', 'Lane', 'BLM', "
            "'2085550111', 'FED', 'A'), (13, 3, 'Lou', 'Lane', 'BLM', '2085550111', 'OTHER', 'A')"));
        db.execute(QStringLiteral("Insert into PersonsPost (PersonID, ActivityDT, Hours, AccountingID) values "
                                  "(9, '2026-07-10', 8, 1), (10, '2026-07-10', 8, 1), (11, '2026-07-10', 8, 1), "
                                  "(12, '2026-07-10', 8, 1), (13, '2026-07-10', 8, 1)"));
    }
    void TearDown() override
    {
        db.execute(QStringLiteral("Delete from PersonsPost where PersonID >= 9"));
        db.execute(QStringLiteral("Delete from Persons where PersonID >= 9"));
        RostersTest::TearDown();
    }

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
    // Only ten-digit numbers, only persons not demobilized and not AD (no
    // code counts as not AD), each person once, two of one name included.
    EXPECT_EQ(shownTree(), QStringLiteral("_BLM _.(208)555-0111 _..Hal Hart _..Lou Lane _..Lou Lane _.(541)555-0100 "
                                          "_..Dee Dunn _USFS _.(541)555-0100 _..Ann Able _..Bob Baker "
                                          "_.(541)555-0199 _..Cy Cole _..Kim Kay"));
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

TEST_F(TimeReportWindowTest, DatesAreCheckedWhenTheEditIsFinishedNotPerKeystroke)
{
    run(kDates);
    ASSERT_GT(tree()->topLevelItemCount(), 0);
    auto* end = form()->findChild<QDateEdit*>(QStringLiteral("dtpEndDate"));
    QApplication::setActiveWindow(form());
    const auto typeIntoEnd = [&](auto keys) {
        end->setFocus();
        end->setCurrentSection(QDateTimeEdit::MonthSection);
        keys();
    };

    // 07/31 stepped down to 04/30 and its year typed anew: before the start, yet no message while typing.
    typeIntoEnd([&] {
        for (int i = 0; i < 3; ++i) QTest::keyClick(end, Qt::Key_Down);
        end->setCurrentSection(QDateTimeEdit::YearSection);
        for (int i = 0; i < 4; ++i) QTest::keyClick(end, Qt::Key_Backspace);
        QTest::keyClicks(end, QStringLiteral("2026"));
    });
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_GT(tree()->topLevelItemCount(), 0);   // the tree waits too

    // Enter finishes the edit: one message, and the tree of the empty range.
    QTest::keyClick(end, Qt::Key_Return);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "MESSAGE Data Entry Error | Ending date must be later than, or equal to, starting date.")});
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
    EXPECT_EQ(app->state.ReportEndDate, QDate(2026, 4, 30));

    // A good date finished by leaving the box rebuilds the tree, without a message.
    dialogs.clearLog();
    typeIntoEnd([&] {
        for (int i = 0; i < 3; ++i) QTest::keyClick(end, Qt::Key_Up);
    });
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
    form()->findChild<QLineEdit*>(QStringLiteral("txtLeaderName"))->setFocus();
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(app->state.ReportEndDate, QDate(2026, 7, 30));
    EXPECT_GT(tree()->topLevelItemCount(), 0);

    // The incident's posting dates, all on 7/10/2026, one click away.
    run(QStringLiteral("type frmIncidentTimeReport.dtpEndDate 07/01/2026\nclick frmIncidentTimeReport.cmdUseDates\n"));
    EXPECT_EQ(app->state.ReportStartDate, QDate(2026, 7, 10));
    EXPECT_EQ(app->state.ReportEndDate, QDate(2026, 7, 10));
    EXPECT_GT(tree()->topLevelItemCount(), 0);
    EXPECT_TRUE(messages().isEmpty());
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
                                                    "+.(541)555-0199 +..Cy Cole +..Kim Kay")));
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
    EXPECT_EQ(app->state.MainDataSet->recordCount(), 5);

    // Everything checked: the report lists exactly the persons of the tree,
    // office by office.
    run(QStringLiteral("click frmIncidentTimeReport.cmdCheckAll\nclick frmIncidentTimeReport.cmdPrint\n"));
    std::map<QString, std::set<int>> listed;
    const RecordsetPtr& rows = app->state.MainDataSet;
    for (int r = 0; r < rows->recordCount(); ++r)
        listed[rows->at(r, rows->fieldIndex("faxphone")).toString()].insert(rows->at(r, rows->fieldIndex("personid")).toInt());
    std::map<QString, int> shown;
    const OfficeTree& t = static_cast<const OfficeTree&>(*app->officeNodes());
    for (int i = 0; i < t.size(); ++i)
        if (t.node(i).level == OfficeNodeLevel::Person) ++shown[t.node(t.node(i).parent).tag];
    std::map<QString, int> listedCounts;
    for (const auto& [fax, persons] : listed) listedCounts[fax] = int(persons.size());
    EXPECT_EQ(listedCounts, shown);
    EXPECT_EQ(shown, (std::map<QString, int>{{"2085550111", 3}, {"5415550100", 3}, {"5415550199", 2}}));
}

TEST_F(TimeReportWindowTest, FaxPrintsOneReportPerCheckedNumberInTreeOrder)
{
    run(kDates + QStringLiteral("tick frmIncidentTimeReport.tvwOffices USFS on\n"
                                "tick frmIncidentTimeReport.tvwOffices \"Hal Hart\" on\n"
                                "answer OK\nclick frmIncidentTimeReport.cmdFax\n"));
    const QStringList numbers{QStringLiteral("2085550111"), QStringLiteral("5415550100"), QStringLiteral("5415550199")};
    const QStringList rowCounts{QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("2")};
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
