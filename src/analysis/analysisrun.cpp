#include "analysis/analysisrun.h"

#include "data/backgroundread.h"
#include "data/connection.h"
#include "shell/buildreport.h"
#include "shell/app.h"
#include "shell/nextnumber.h"

#include <algorithm>

namespace quillon {

namespace {

QStringList columnsOf(const std::vector<std::pair<QString, Value>>& assigned)
{
    QStringList names;
    names.reserve(int(assigned.size()));
    for (const auto& [name, value] : assigned) {
        Q_UNUSED(value);
        names << name;
    }
    return names;
}

}  // namespace

QString reportRecordInsertSql(const QStringList& columns, std::size_t rowCount)
{
    QString one = QStringLiteral("(");
    for (int i = 0; i < columns.size(); ++i) one += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    one += QLatin1Char(')');

    QString sql = QStringLiteral("Insert into ReportRecords (") + columns.join(QStringLiteral(", "))
        + QStringLiteral(") Values ");
    sql.reserve(sql.size() + int(rowCount) * (one.size() + 2));
    for (std::size_t r = 0; r < rowCount; ++r) {
        if (r > 0) sql += QStringLiteral(", ");
        sql += one;
    }
    return sql;
}

RecordsetPtr ConnectionAnalysisDatabase::openQuery(const QString& sql)
{
    if (!m_progress) return m_connection.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
    // Counted as the rows come; a cancel is served also while the engine
    // sorts before its first row.
    return BackgroundRead(m_connection, sql, LockType::ReadOnly).take(*m_progress);
}

std::int32_t ConnectionAnalysisDatabase::nextNumber(const QString& tableName, const QString& fieldName)
{
    return NextNumber(m_connection, tableName, fieldName);
}

std::size_t ConnectionAnalysisDatabase::rowsPerInsert(int columns) const
{
    if (m_connection.engineKind() == EngineKind::Sqlite) return 500;
    return std::size_t(std::clamp(2000 / std::max(columns, 1), 1, 1000));
}

void ConnectionAnalysisDatabase::addReportRecords(const std::vector<ReportRecord>& rows)
{
    if (rows.empty()) return;
    Transaction tx(m_connection);

    // Rows are sent in stretches that set the same columns (all rows of one
    // run do), up to a statement's worth at a time.
    QStringList columns;
    std::size_t perInsert = 1;
    QString fullInsert;   // the statement for a whole stretch
    std::vector<Value> values;
    std::size_t pending = 0;
    std::size_t written = 0;
    if (m_progress) m_progress->begin(QStringLiteral("Writing findings"), std::int64_t(rows.size()));
    const auto flush = [&] {
        if (pending == 0) return;
        if (pending == perInsert) {
            if (fullInsert.isEmpty()) fullInsert = reportRecordInsertSql(columns, perInsert);
            m_connection.execute(fullInsert, values);
        } else {
            m_connection.execute(reportRecordInsertSql(columns, pending), values);
        }
        values.clear();
        written += pending;
        pending = 0;
        if (m_progress) m_progress->advance(std::int64_t(written));
    };

    for (const ReportRecord& row : rows) {
        std::vector<std::pair<QString, Value>> assigned = row.assignedValues();
        const QStringList rowColumns = columnsOf(assigned);
        if (rowColumns != columns) {
            flush();
            columns = rowColumns;
            perInsert = rowsPerInsert(int(columns.size()));
            fullInsert.clear();
        }
        for (auto& [name, value] : assigned) {
            Q_UNUSED(name);
            values.push_back(std::move(value));
        }
        if (++pending == perInsert) flush();
    }
    flush();
    tx.commit();
}

void ConnectionAnalysisDatabase::execute(const QString& sql)
{
    m_connection.execute(sql);
}

void ConnectionAnalysisDatabase::beginRun()
{
    m_connection.beginTransaction();
    m_inRun = true;
}

void ConnectionAnalysisDatabase::commitRun()
{
    if (!m_inRun) return;
    m_inRun = false;
    m_connection.commitTransaction();
}

void ConnectionAnalysisDatabase::rollbackRun()
{
    if (!m_inRun) return;
    m_inRun = false;
    m_connection.rollbackTransaction();
}

bool AppAnalysisReport::buildReport(AppState& state)
{
    Q_ASSERT(&state == &m_app.state);
    Q_UNUSED(state);
    std::int32_t invoiceKey = 0;
    return BuildReport(m_app, invoiceKey);
}

void AppAnalysisReport::showReport(AppState& state, bool preview, int viewer)
{
    Q_ASSERT(&state == &m_app.state);
    Q_UNUSED(state);
    ShowReport(m_app, preview ? 1 : 0, std::int16_t(viewer));
}

namespace {

using AnalysisFunction = RunResult (*)(AppState&, const AnalysisRequest&, AnalysisDatabase&, AnalysisReport&, Dialogs&,
                                       Progress*);

RunResult runOverApp(App& app, const AnalysisRequest& request, AnalysisFunction analysis)
{
    Progress& progress = app.progress();
    progress.start();
    ConnectionAnalysisDatabase db(app.SharedConnection(), &progress);
    AppAnalysisReport report(app);
    const RunResult result = analysis(app.state, request, db, report, app.dialogs(), &progress);
    if (result.outcome != RunOutcome::Cancelled) progress.finish();
    return result;
}

}  // namespace

RunResult runWorkRest(App& app, const AnalysisRequest& request)
{
    return runOverApp(app, request, &runWorkRest);
}

RunResult runExcessHours(App& app, const AnalysisRequest& request)
{
    return runOverApp(app, request, &runExcessHours);
}

}  // namespace quillon
