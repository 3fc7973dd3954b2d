// Runs of both analyses against small in-memory doubles of the database and
// the report, failing at each step after rows were written: the rows are
// removed all the same. (Runs over a real database: analysisrun_test.cpp.)
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
    for (double h : hours) rows.push_back({QDate(2024, 6, 1 + int(rows.size())), h, "FFT2", 42, "C-3", 7});
    return Recordset::fromRows({"ActivityDT", "", "KindCode", "PersonID", "RequestNumber", "IncidentID"}, std::move(rows));
}

RecordsetPtr postings(std::vector<Recordset::Row> rows)
{
    return Recordset::fromRows({"ActivityDT", "Hours", "KindCode", "PersonID", "StartTime", "StopTime", "RequestNumber",
                                "IncidentID"},
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

    // A failing excess-hours run (Access statements) removes its rows too.
    {
        MemoryDatabase db;
        db.postings = postings({{QDate(2024, 6, 3), 13.0, "A", 42, at(6, 0), at(19, 0), "C-3", 7}});
        MemoryReport report(db);
        report.throwAt = 2;
        RecordingDialogs dialogs;
        AppState state = incident7(DbKind::Access);
        EXPECT_THROW(runExcessHours(state, june, db, report, dialogs), DbError);
        ASSERT_EQ(report.rows.size(), 1u);
        EXPECT_TRUE(db.table.empty());
        EXPECT_EQ(db.log.last(), QStringLiteral("Delete * from ReportRecords where ReportRun = 500"));
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
