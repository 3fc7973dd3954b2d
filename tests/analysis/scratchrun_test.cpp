// Whole runs of both analyses against small in-memory doubles of the database
// and the report: what is queried, written, reported, said and removed.
#include "analysis/scratchrun.h"

#include "recordingdialogs.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// ReportRecords in memory; every statement the run sends is logged.
struct MemoryDatabase : AnalysisDatabase {
    RecordsetPtr postings;
    std::vector<ReportRecord> table;
    QStringList log;
    bool failWrite = false, failDelete = false;

    std::vector<ReportRecord> rowsOf(int run) const
    {
        std::vector<ReportRecord> rows;
        std::copy_if(table.begin(), table.end(), std::back_inserter(rows), [run](auto& r) { return r.ReportRun == run; });
        return rows;
    }
    RecordsetPtr openQuery(const QString& sql) override
    {
        log << sql;
        if (sql != "Select ReportRun from ReportRecords where ReportRun = 500") return postings;
        return Recordset::fromRows({"ReportRun"}, std::vector<Recordset::Row>(rowsOf(500).size(), {Value(500)}));
    }
    std::int32_t nextNumber(const QString& t, const QString& f) override { log << "NextNumber " + t + "," + f; return 500; }
    void addReportRecords(const std::vector<ReportRecord>& rows) override
    {
        log << QStringLiteral("write %1").arg(rows.size());
        if (failWrite) throw DbError(3000, "disk full");
        table.insert(table.end(), rows.begin(), rows.end());
    }
    void execute(const QString& sql) override
    {
        log << sql;
        if (failDelete) throw DbError(3709, "connection lost");
        if (sql.endsWith(" from ReportRecords where ReportRun = 500")) table.clear();
    }
};

// Keeps what the report saw of the run while it was built.
struct MemoryReport : AnalysisReport {
    MemoryDatabase& db;
    bool built = true;
    int throwAt = 0;   // 1: building throws, 2: showing throws
    std::vector<ReportRecord> rows;
    AppState seen;
    QStringList shows;

    explicit MemoryReport(MemoryDatabase& d) : db(d) {}
    bool buildReport(AppState& state) override
    {
        seen = state;
        rows = db.rowsOf(state.ReportRunId);
        if (throwAt == 1) throw DbError(20500, "template missing");
        return built;
    }
    void showReport(AppState&, bool preview, int viewer) override
    {
        if (throwAt == 2) throw DbError(20510, "viewer failed");
        shows << QStringLiteral("%1 %2").arg(preview).arg(viewer);
    }
};

QDateTime at(int h, int m) { return QDateTime(QDate(1899, 12, 30), QTime(h, m)); }

RecordsetPtr dayTotals(const std::vector<double>& hours)
{
    std::vector<Recordset::Row> rows;
    for (double h : hours) rows.push_back({QDate(2024, 6, 1 + int(rows.size())), h, "FFT2", 42, "C-3"});
    return Recordset::fromRows({"ActivityDT", "", "KindCode", "PersonID", "RequestNumber"}, std::move(rows));
}

RecordsetPtr postings(std::vector<Recordset::Row> rows)
{
    return Recordset::fromRows({"ActivityDT", "Hours", "KindCode", "PersonID", "StartTime", "StopTime", "RequestNumber"},
                               std::move(rows));
}

AppState incident7(DbKind kind)
{
    AppState s;
    s.DatabaseKind = kind;
    s.SelectedIncidentId = 7;
    s.SelectedPersonId = 42;
    s.ReportMinValue = 12;
    return s;
}

const AnalysisRequest june{SelectionOption::Person, {}, QDate(2024, 6, 1), QDate(2024, 6, 30), ReportSort::Person};

}  // namespace

TEST(ScratchRun, RowsAreWrittenInOneBatchReportedAndRemoved)
{
    MemoryDatabase db;
    db.postings = dayTotals({16.0, 16.5, 8.0});
    MemoryReport report(db);
    RecordingDialogs dialogs;
    AppState state = incident7(DbKind::SqlServer);
    const RunResult wr = runWorkRest(state, june, db, report, dialogs);
    EXPECT_EQ(wr.outcome, RunOutcome::Reported);
    EXPECT_EQ(wr.run, 500);
    const PostingSelection sel{SelectionOption::Person, {}, 42, june.startDay, june.endDate};
    EXPECT_EQ(db.log, (QStringList{workRestPostingSql(state, sel), "NextNumber ReportRecords,", "write 1",
                                   "Select ReportRun from ReportRecords where ReportRun = 500",
                                   "Delete from ReportRecords where ReportRun = 500"}));
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].ActivityDT, QDate(2024, 6, 2));
    EXPECT_EQ(report.seen.ReportSortField, QStringLiteral("P"));
    EXPECT_EQ(report.seen.ReportRunId, 500);
    EXPECT_EQ(report.seen.ReportEndDate, june.endDate);
    EXPECT_EQ(report.shows, QStringList{"1 1"});   // preview in viewer 1
    EXPECT_TRUE(db.table.empty());
    EXPECT_TRUE(dialogs.shown.empty());

    // Excess hours over all incidents: rows keep the incident of the scan, the
    // report is built for incident -1.
    MemoryDatabase db2;
    db2.postings = postings({{QDate(2024, 6, 3), 6.0, "A", 42, at(6, 0), at(12, 0), "C-3"},
                             {QDate(2024, 6, 3), 6.5, "B", 42, at(12, 30), at(19, 0), "C-3"}});
    MemoryReport report2(db2);
    state = incident7(DbKind::Access);
    state.ManageIncidentsAsOne = true;
    AnalysisRequest byRequest = june;
    byRequest.sort = ReportSort::RequestNumber;
    EXPECT_EQ(runExcessHours(state, byRequest, db2, report2, dialogs).outcome, RunOutcome::Reported);
    ASSERT_EQ(report2.rows.size(), 1u);
    EXPECT_EQ(report2.rows[0].IncidentID, 7);
    EXPECT_DOUBLE_EQ(report2.rows[0].ExcessHrs.value_or(0), 0.5);
    EXPECT_EQ(report2.seen.SelectedIncidentId, -1);
    EXPECT_EQ(report2.seen.ReportSortField, QStringLiteral("R"));
    EXPECT_EQ(db2.log.last(), QStringLiteral("Delete * from ReportRecords where ReportRun = 500"));
    EXPECT_TRUE(db2.table.empty());
}

TEST(ScratchRun, EmptySelectionAndNothingFoundAreSaidAndWriteNothing)
{
    struct Case {
        bool workRest;
        RecordsetPtr rows;
        const char* text;
        MsgIcon icon;
        const char* title;
    };
    const char* noData = "No Data in this Selection. ";
    for (const Case& c : std::vector<Case>{
             {true, dayTotals({}), noData, MsgIcon::Exclamation, "Information"},
             {false, postings({}), noData, MsgIcon::Exclamation, "Information"},
             {true, dayTotals({16.0, 16.0}), "Nobody for your selection has 16 in 24 or 32 in 48.",
              MsgIcon::Information, "Quillon:Work/Rest Info"},
             {false, postings({{QDate(2024, 6, 3), 12.0, "A", 42, at(6, 0), at(18, 0), "C-3"}}),
              "Nobody for your selection has Excess Hours.", MsgIcon::Information, "Quillon:Excess Hours Info"}}) {
        SCOPED_TRACE(c.title);
        MemoryDatabase db;
        db.postings = c.rows;
        MemoryReport report(db);
        RecordingDialogs dialogs;
        AppState state = incident7(DbKind::SqlServer);
        const RunResult r = c.workRest ? runWorkRest(state, june, db, report, dialogs)
                                       : runExcessHours(state, june, db, report, dialogs);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, c.text);
        EXPECT_EQ(dialogs.shown[0].icon, c.icon);
        EXPECT_EQ(dialogs.shown[0].title, c.title);
        // A run number only once there are postings.
        EXPECT_EQ(r.outcome, c.text == noData ? RunOutcome::NoData : RunOutcome::NothingFound);
        EXPECT_EQ(db.log.filter("NextNumber").size(), c.text == noData ? 0 : 1);
        EXPECT_TRUE(db.log.filter("write").isEmpty());
        EXPECT_TRUE(db.log.filter("Delete").isEmpty());
        EXPECT_TRUE(report.shows.isEmpty());
    }
}

TEST(ScratchRun, ARunThatFailsAfterWritingStillRemovesItsRows)
{
    for (int fault = 0; fault < 4; ++fault) {   // not built, build throws, show throws, write throws
        SCOPED_TRACE(fault);
        MemoryDatabase db;
        db.postings = dayTotals({17.0});
        db.failWrite = fault == 3;
        MemoryReport report(db);
        report.built = fault != 0;
        report.throwAt = fault;
        RecordingDialogs dialogs;
        AppState state = incident7(DbKind::SqlServer);
        if (fault == 0)
            EXPECT_EQ(runWorkRest(state, june, db, report, dialogs).outcome, RunOutcome::Reported);
        else
            EXPECT_THROW(runWorkRest(state, june, db, report, dialogs), DbError);
        EXPECT_TRUE(report.shows.isEmpty());
        EXPECT_TRUE(db.table.empty());
        EXPECT_EQ(db.log.last(), QStringLiteral("Delete from ReportRecords where ReportRun = 500"));
    }

    // When the clean-up fails too, the error that stopped the run is passed on.
    MemoryDatabase db;
    db.postings = dayTotals({17.0});
    db.failDelete = true;
    MemoryReport report(db);
    report.throwAt = 1;
    RecordingDialogs dialogs;
    AppState state = incident7(DbKind::SqlServer);
    try {
        runWorkRest(state, june, db, report, dialogs);
        ADD_FAILURE() << "the run should have failed";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 20500);
    }
}
