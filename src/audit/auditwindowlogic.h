#pragma once
// The database audit window's logic (frmAudit): Run audits the database of
// the shared connection, lists each rule with its count of findings and
// previews the findings (template Audit), grouped by rule with a count per
// rule, in viewer 1, from where they print.

#include "audit/audit.h"
#include "reports/engine/report_engine.h"
#include "shell/app.h"

namespace quillon {

class DatabaseAudit {
public:
    // The number the viewer's print button sees while the audit shows; it is
    // none of the invoice reports, so the viewer prints the audit itself.
    static constexpr std::int16_t ReportNo = 16;
    static inline const QString TemplateName = QStringLiteral("Audit");
    static inline const QString Title = QStringLiteral("Database Audit");

    explicit DatabaseAudit(App& app) : m_app(app) {}

    struct RuleCount {
        QString rule;
        QString title;
        int count = 0;
    };

    // Runs the audit, then previews its report. Returns every rule with its
    // count, in the order the report lists them.
    std::vector<RuleCount> RunButton_Click();

    const AuditResult& result() const { return m_result; }
    // The report's rows: one per finding (RuleOrder, Rule, Title, Rows,
    // Meaning), in rule order.
    static RecordsetPtr findingRows(const AuditResult& result);

private:
    App& m_app;
    AuditResult m_result;
};

}  // namespace quillon
