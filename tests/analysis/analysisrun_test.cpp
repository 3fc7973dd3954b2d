// Whole runs of both analyses over a copy of the sample database: the rows the
// report read, the messages, and no scratch rows left behind by any run.
#include "analysis/analysisrun.h"

#include "sampledatabase.h"

using namespace quillon;
using analysistest::SampleDatabase;

namespace {

class AnalysisRun : public SampleDatabase {
protected:
    AnalysisRequest request(SelectionOption option, QDate start, QDate end, const QString& requestNumber = {})
    {
        return AnalysisRequest{option, requestNumber, start, end, ReportSort::Total};
    }

    // The report's rows as "LastName date hours flags", sorted.
    QStringList workRestRows()
    {
        QStringList out;
        const RecordsetPtr& rs = app->state.MainDataSet;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            out << QStringLiteral("%1 %2 %3 %4%5")
                       .arg(rs->value("LastName").toString(), rs->value("ActivityDT").toDate().toString(Qt::ISODate))
                       .arg(rs->value("TotalDayHrs").toDouble())
                       .arg(rs->value("HR20in24").toBool() ? "T" : "F", rs->value("HR36in48").toBool() ? "T" : "F");
        out.sort();
        return out;
    }
    QStringList excessRows()
    {
        QStringList out;
        const RecordsetPtr& rs = app->state.MainDataSet;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            out << QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(rs->value("LastName").toString(), rs->value("ActivityDT").toDate().toString(Qt::ISODate),
                            rs->value("RequestNumber").toString())
                       .arg(rs->value("TotalDayHrs").toDouble())
                       .arg(rs->value("ExcessHrs").toDouble());
        out.sort();
        return out;
    }
};

const QDate oct1(2026, 10, 1), oct8(2026, 10, 8), oct9(2026, 10, 9);
const QDate sep1(2026, 9, 1), sep30(2026, 9, 30);

}  // namespace

TEST_F(AnalysisRun, WorkRestFlagsDaysOverTheLimitsAndPairsEachRowWithTheOneBefore)
{
    app->state.ReportNumber = 1;
    RunResult r = runWorkRest(*app, request(SelectionOption::None, oct1, oct8));
    EXPECT_EQ(r.outcome, RunOutcome::Reported);
    // 16.0 alone and two kinds of 10 on one date are not flagged; the last day
    // of the first person pairs with the first day of the next.
    EXPECT_EQ(workRestRows(), (QStringList{"Limitone 2026-10-03 16.5 TT", "Limitone 2026-10-05 17 TF",
                                           "Limittwo 2026-10-02 16 FT", "Limittwo 2026-10-03 16.25 TT"}));
    EXPECT_EQ(r.rowsWritten, 4u);
    EXPECT_EQ(app->state.ReportRunId, r.run);
    EXPECT_NE(app->output().window(1), nullptr);   // previewed in viewer 1
    EXPECT_EQ(scratchRows(), 0);

    // The Access form of the statements (dates between #) finds the same.
    app->state.DatabaseKind = DbKind::Access;
    const QStringList sqlServerRows = workRestRows();
    runWorkRest(*app, request(SelectionOption::None, oct1, oct8));
    EXPECT_EQ(workRestRows(), sqlServerRows);
    EXPECT_EQ(scratchRows(), 0);
    app->state.DatabaseKind = DbKind::SqlServer;

    // The first row of a run pairs with nothing: 33 hours set both flags.
    r = runWorkRest(*app, request(SelectionOption::AllPersonnel, oct9, oct9));
    EXPECT_EQ(workRestRows(), QStringList{"Limittwo 2026-10-09 33 TT"});
    EXPECT_EQ(scratchRows(), 0);

    // A leading part of a request number; one person.
    r = runWorkRest(*app, request(SelectionOption::RequestNumber, oct1, oct8, QStringLiteral("C-7")));
    EXPECT_EQ(workRestRows().size(), 4);
    app->state.SelectedPersonId = 9002;
    r = runWorkRest(*app, request(SelectionOption::Person, oct1, oct8));
    EXPECT_EQ(workRestRows(), QStringList{"Limittwo 2026-10-03 16.25 TT"});
    EXPECT_TRUE(dialogs.log().isEmpty()) << dialogs.log().join('\n').toStdString();
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, WorkRestOverTheSampleAgreesWithTheDayTotalsInTheDatabase)
{
    app->state.SelectedIncidentId = 1;
    app->state.ReportNumber = 1;
    const RunResult r = runWorkRest(*app, request(SelectionOption::AllPersonnel, QDate(2026, 7, 1), QDate(2026, 7, 31)));
    ASSERT_EQ(r.outcome, RunOutcome::Reported);
    const int longDays = int(scalar(QStringLiteral(
        "Select count(*) from (Select sum(p.Hours) as h from PersonsPost p inner join Persons s on p.PersonID = "
        "s.PersonID inner join Resources r on r.ResourceID = s.ResourceID where r.IncidentID = 1 group by p.PersonID, "
        "r.RequestNumber, p.KindCode, p.ActivityDT) where h > 16")));
    ASSERT_GT(longDays, 0) << "the sample should hold days over 16 hours";
    int flagged16 = 0;
    const RecordsetPtr& rs = app->state.MainDataSet;
    ASSERT_EQ(rs->recordCount(), int(r.rowsWritten));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const bool over16 = rs->value("HR20in24").toBool();
        EXPECT_EQ(over16, rs->value("TotalDayHrs").toDouble() > 16.0);
        EXPECT_TRUE(over16 || rs->value("HR36in48").toBool());
        EXPECT_EQ(rs->value("IncidentName").toString(), QStringLiteral("Cedar Ridge"));
        flagged16 += over16;
    }
    EXPECT_EQ(flagged16, longDays);
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, WorkRestOverAllIncidentsWithNoneChosenWritesRowsTheReportLeavesOut)
{
    // 16.0 and 16.0: neither over a limit.
    EXPECT_EQ(runWorkRest(*app, request(SelectionOption::AllPersonnel, QDate(2026, 10, 2), QDate(2026, 10, 2))).outcome,
              RunOutcome::NothingFound);
    EXPECT_EQ(messages(), QStringList{"MESSAGE Quillon:Work/Rest Info | Nobody for your selection has 16 in 24 or 32 in 48."});

    app->state.ManageIncidentsAsOne = true;
    app->state.SelectedIncidentId = -1;
    app->state.ReportNumber = 1;
    const RunResult r = runWorkRest(*app, request(SelectionOption::AllPersonnel, oct1, oct8));
    EXPECT_EQ(r.outcome, RunOutcome::Reported);
    EXPECT_EQ(r.rowsWritten, 4u);
    EXPECT_EQ(app->state.MainDataSet->recordCount(), 0);
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, ExcessHoursJoinsPostingsWithinAnHourIntoShifts)
{
    app->state.SelectedIncidentId = 4;
    app->state.ReportNumber = 5;
    app->state.ReportMinValue = 12;
    RunResult r = runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, sep30));
    // Gaps of 30 and exactly 60 minutes join, 61 splits; an open posting
    // neither adds nor splits; a shift of exactly the standard is not over it.
    EXPECT_EQ(excessRows(), (QStringList{"Shiftone|2026-09-01|C-88|12.5|0.5", "Shiftone|2026-09-03|C-88|12.5|0.5",
                                         "Shiftone|2026-09-04|C-88|12.5|0.5", "Shifttwo|2026-09-02|C-88|13|1"}));
    EXPECT_EQ(scratchRows(), 0);
    const QStringList sqlServerRows = excessRows();
    app->state.DatabaseKind = DbKind::Access;
    runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, sep30));
    EXPECT_EQ(excessRows(), sqlServerRows);
    EXPECT_EQ(scratchRows(), 0);

    // No standard typed yet: every shift, its excess its total.
    app->state.ReportMinValue = 0;
    r = runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, sep30));
    const QStringList all = excessRows();
    EXPECT_EQ(all.size(), 7);
    for (const QString& row : all) {
        const QStringList cells = row.split('|');
        EXPECT_EQ(cells[3], cells[4]) << row.toStdString();
    }

    // A negative standard: the empty shift before the first posting is
    // written for PersonID 0 too, and the report's join leaves it out.
    app->state.ReportMinValue = -1;
    r = runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, sep30));
    EXPECT_EQ(r.rowsWritten, 8u);
    EXPECT_EQ(app->state.MainDataSet->recordCount(), 7);
    EXPECT_EQ(scratchRows(), 0);

    app->state.ReportMinValue = 13;
    r = runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, sep30));
    EXPECT_EQ(r.outcome, RunOutcome::NothingFound);
    EXPECT_EQ(messages(), QStringList{"MESSAGE Quillon:Excess Hours Info | Nobody for your selection has Excess Hours."});
}

TEST_F(AnalysisRun, ExcessHoursOverAllIncidentsKeepsTheChosenIncidentForTheNextRun)
{
    app->state.ManageIncidentsAsOne = true;
    app->state.SelectedIncidentId = 4;
    app->state.ReportNumber = 5;
    app->state.ReportMinValue = 12;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        runExcessHours(*app, request(SelectionOption::RequestNumber, sep1, sep30, QStringLiteral("C-8")));
        EXPECT_EQ(excessRows().size(), 4);
        EXPECT_EQ(app->state.SelectedIncidentId, 4);
    }

    // The request number matches as a leading part across incidents.
    app->state.ReportMinValue = 0.01;
    runExcessHours(*app, request(SelectionOption::RequestNumber, QDate(2026, 7, 1), QDate(2026, 8, 31),
                                 QStringLiteral("C-1")));
    const QStringList rows = excessRows();
    ASSERT_FALSE(rows.isEmpty());
    for (const QString& row : rows) EXPECT_TRUE(row.section('|', 2, 2).startsWith("C-1")) << row.toStdString();
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, ARunWhoseReportFailsLeavesNoRowsBehind)
{
    QTemporaryDir empty;
    qputenv("QUILLON_TEMPLATE_DIR", empty.path().toLocal8Bit());
    app->state.ReportNumber = 1;
    EXPECT_THROW(runWorkRest(*app, request(SelectionOption::AllPersonnel, oct1, oct8)), DbError);
    EXPECT_EQ(scratchRows(), 0);
    app->state.SelectedIncidentId = 4;
    app->state.ReportNumber = 5;
    EXPECT_THROW(runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, sep30)), DbError);
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, ScratchRowsGoInOneTransactionWithTheColumnsEachRowSets)
{
    // 120 work/rest rows, then 1,130 excess rows (more than one statement
    // takes); a quote in a value stays data.
    std::vector<ReportRecord> rows(1250);
    for (int i = 0; i < 1250; ++i) {
        ReportRecord& rec = rows[size_t(i)];
        rec.ReportRun = 77;
        rec.PersonID = 1000 + i;
        rec.KindCode = QStringLiteral("K'%1").arg(i);
        rec.ActivityDT = QDate(2026, 10, 1).addDays(i % 5);
        rec.TotalDayHrs = 16.5 + i;
        if (i < 120) {
            rec.HR20in24 = true;
            rec.HR36in48 = i % 2 == 0;
        } else {
            rec.ExcessHrs = 0.25 * i;
        }
    }
    ConnectionAnalysisDatabase target(db);
    target.addReportRecords(rows);
    EXPECT_EQ(scratchRows(), 1250);
    RecordsetPtr back = db.openRecordset(QStringLiteral(
        "Select PersonID, KindCode, ActivityDT, TotalDayHrs, ExcessHrs, HR20in24, HR36in48 from ReportRecords "
        "where PersonID in (1001, 1118, 2249) order by PersonID"));
    ASSERT_EQ(back->recordCount(), 3);
    EXPECT_EQ(back->at(0, 1).toString(), QStringLiteral("K'1"));
    EXPECT_EQ(back->at(0, 2).toDate(), QDate(2026, 10, 2));
    EXPECT_TRUE(back->at(0, 4).isNull());   // work/rest rows leave ExcessHrs alone
    EXPECT_TRUE(back->at(0, 5).toBool() && !back->at(0, 6).toBool() && back->at(1, 6).toBool());
    EXPECT_DOUBLE_EQ(back->at(2, 3).toDouble(), 1265.5);
    EXPECT_DOUBLE_EQ(back->at(2, 4).toDouble(), 312.25);
    EXPECT_FALSE(back->at(2, 5).toBool());  // excess rows take the flags' default

    // A row the database refuses part-way through: none of the batch stays.
    db.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ReportRecords WHEN NEW.PersonID = 2180 "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    for (ReportRecord& rec : rows) rec.ReportRun = 78;
    EXPECT_THROW(target.addReportRecords(rows), DbError);
    EXPECT_EQ(scratchRows(), 1250);
}
