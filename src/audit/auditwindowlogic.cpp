#include "audit/auditwindowlogic.h"

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

    reports::ReportPtr report = buildReport(m_result, db.connectionString());
    AppState& s = m_app.state;
    s.ReportNumber = ReportNo;
    s.ReportTitle = Title;
    s.OpenReport = report;
    m_app.output().showReport(1, 1, report, Title, Title);
    return counts;
}

reports::ReportPtr DatabaseAudit::buildReport(const AuditResult& result, const QString& databaseName) const
{
    std::map<QString, int> order;
    for (size_t i = 0; i < auditRules().size(); ++i) order[auditRules()[i].id] = int(i) + 1;
    std::vector<Recordset::Row> rows;
    for (const AuditFinding& f : result.findings)
        rows.push_back({Value(order[f.rule]), Value(f.rule), Value(auditRuleTitle(f.rule)), Value(f.rows),
                        Value(f.meaning)});
    RecordsetPtr data = Recordset::fromRows(
        {QStringLiteral("RuleOrder"), QStringLiteral("Rule"), QStringLiteral("Title"), QStringLiteral("Rows"),
         QStringLiteral("Meaning")},
        std::move(rows));

    reports::ReportApplication engine(m_app.printer());
    reports::ReportPtr report = engine.openReport(reports::ReportApplication::templatePath(TemplateName), 1);
    report->discardSavedData();
    report->parameter(QStringLiteral("DatabaseName")).clearCurrentValueAndRange();
    report->parameter(QStringLiteral("DatabaseName")).addCurrentValue(Value(databaseName));
    report->parameter(QStringLiteral("FindingCount")).clearCurrentValueAndRange();
    report->parameter(QStringLiteral("FindingCount")).addCurrentValue(Value(double(result.findings.size())));
    report->database().table(1).setDataSource(data);
    return report;
}

}  // namespace quillon
