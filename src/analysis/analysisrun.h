#pragma once
// The two analyses over the real database and report: the run's queries,
// key, scratch rows and clean-up go to the shared connection, its report to
// BuildReport and ShowReport.

#include "analysis/scratchrun.h"

namespace quillon {

class App;
class Connection;

// AnalysisDatabase over a connection. The run's rows go in one transaction as
// parameterized multi-row inserts of the columns the rows set, so that a run
// with many findings costs a handful of statements, not one round trip each.
class ConnectionAnalysisDatabase : public AnalysisDatabase {
public:
    // Writing rows is reported to `progress` ("Writing findings") when given.
    explicit ConnectionAnalysisDatabase(Connection& connection, Progress* progress = nullptr)
        : m_connection(connection), m_progress(progress)
    {
    }

    RecordsetPtr openQuery(const QString& sql) override;
    std::int32_t nextNumber(const QString& tableName, const QString& fieldName) override;
    void addReportRecords(const std::vector<ReportRecord>& rows) override;
    void execute(const QString& sql) override;
    void beginRun() override;
    void commitRun() override;
    void rollbackRun() override;

    // Rows per insert statement for rows of `columns` columns. Each statement
    // is adapted and parsed anew, so the embedded engine takes long ones;
    // SQL Server takes at most 2,100 parameters and 1,000 rows to a statement.
    std::size_t rowsPerInsert(int columns) const;

private:
    Connection& m_connection;
    Progress* m_progress;
    bool m_inRun = false;
};

// AnalysisReport over the application: BuildReport, then ShowReport.
class AppAnalysisReport : public AnalysisReport {
public:
    explicit AppAnalysisReport(App& app) : m_app(app) {}

    bool buildReport(AppState& state) override;
    void showReport(AppState& state, bool preview, int viewer) override;

private:
    App& m_app;
};

// The insert statement for `rowCount` rows of the given columns:
// "Insert into ReportRecords (A, B) Values (?, ?), (?, ?)".
QString reportRecordInsertSql(const QStringList& columns, std::size_t rowCount);

// The runs a window starts, over the application's shared connection, dialogs,
// report output and progress.
RunResult runWorkRest(App& app, const AnalysisRequest& request);
RunResult runExcessHours(App& app, const AnalysisRequest& request);

}  // namespace quillon
