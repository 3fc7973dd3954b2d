#include "audit/auditwindowlogic.h"

#include "data/connection_string.h"
#include "shell/buildreport.h"
#include "ui/busypointer.h"

#include <map>

namespace quillon {

std::vector<DatabaseAudit::RuleCount> DatabaseAudit::RunButton_Click()
{
    BusyPointer busy;
    Connection& db = m_app.SharedConnection();
    m_result = runAudit(db);
    std::vector<RuleCount> counts;
    for (const AuditRule& r : auditRules()) counts.push_back({r.id, r.title, m_result.count(r.id)});

    // The report takes the place of a built report in the shared state, as
    // the viewers and the scripted runs read it there.
    AppState& s = m_app.state;
    s.ReportNumber = ReportNo;
    s.ReportTitle = Title;
    s.ReportTitle2.clear();
    s.MainSql.clear();
    s.SubSql.clear();
    s.SubDataSet.reset();
    s.OpenTemplateName = TemplateName;
    s.EngineApplication = std::make_shared<reports::ReportApplication>(m_app.printer());
    s.OpenReport = s.EngineApplication->openReport(reports::ReportApplication::templatePath(TemplateName), 1);
    // The file of an embedded database; the server and database otherwise.
    const ConnectionString cs = ConnectionString::parse(db.connectionString());
    const QString databaseName = db.engineKind() == EngineKind::Sqlite
                                     ? cs.value(QStringLiteral("Data Source"))
                                     : cs.value(QStringLiteral("Server")) + QLatin1Char('/') + cs.value(QStringLiteral("Database"));
    const Value findings(double(m_result.findings.size()));
    s.OpenReportParameters = {{QStringLiteral("DatabaseName"), Value(databaseName)},
                              {QStringLiteral("FindingCount"), findings}};
    for (const auto& [name, value] : s.OpenReportParameters) {
        s.OpenReport->parameter(name).clearCurrentValueAndRange();
        s.OpenReport->parameter(name).addCurrentValue(value);
    }
    s.MainDataSet = findingRows(m_result);
    s.OpenReport->database().table(1).setDataSource(s.MainDataSet);
    ShowReport(m_app, 1, 1);
    return counts;
}

RecordsetPtr DatabaseAudit::findingRows(const AuditResult& result)
{
    std::map<QString, int> order;
    for (size_t i = 0; i < auditRules().size(); ++i) order[auditRules()[i].id] = int(i) + 1;
    std::vector<Recordset::Row> rows;
    for (const AuditFinding& f : result.findings)
        rows.push_back({Value(order[f.rule]), Value(f.rule), Value(auditRuleTitle(f.rule)), Value(f.rows),
                        Value(f.meaning)});
    return Recordset::fromRows({QStringLiteral("RuleOrder"), QStringLiteral("Rule"), QStringLiteral("Title"),
                                QStringLiteral("Rows"), QStringLiteral("Meaning")},
                               std::move(rows));
}

}  // namespace quillon
