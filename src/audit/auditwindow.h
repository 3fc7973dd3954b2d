#pragma once
// The database audit window (frmAudit): "Run Audit" and the list of rules
// with their counts of findings. Events go to DatabaseAudit.

#include "audit/auditwindowlogic.h"

#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace quillon {

class AuditWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString FormName = QStringLiteral("frmAudit");

    explicit AuditWindow(App& app, QWidget* parent = nullptr);

    DatabaseAudit& logic() { return m_logic; }

private:
    void showCounts(const std::vector<DatabaseAudit::RuleCount>& counts);

    App& m_app;
    DatabaseAudit m_logic;
    QTreeWidget* tvwRules;
    QPushButton* RunButton;
};

// Registers frmAudit.
void registerAuditWindows(App& app);

}  // namespace quillon
