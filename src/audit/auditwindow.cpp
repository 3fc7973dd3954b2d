#include "audit/auditwindow.h"

#include "ui/errorboundary.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillon {

AuditWindow::AuditWindow(App& app, QWidget* parent) : QWidget(parent), m_app(app), m_logic(app)
{
    setObjectName(FormName);
    setWindowTitle(DatabaseAudit::Title);

    auto* lblTitle = new QLabel(QStringLiteral("Audit the Database Before Paying From It"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);

    tvwRules = new QTreeWidget(this);
    tvwRules->setObjectName(QStringLiteral("tvwRules"));
    tvwRules->setColumnCount(2);
    tvwRules->setHeaderLabels({QStringLiteral("Rule"), QStringLiteral("Findings")});
    tvwRules->setRootIsDecorated(false);
    tvwRules->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tvwRules->setMinimumSize(460, 260);

    RunButton = new QPushButton(QStringLiteral("Run Audit"), this);
    RunButton->setObjectName(QStringLiteral("RunButton"));

    auto* top = new QVBoxLayout(this);
    top->addWidget(lblTitle);
    auto* rulesLabel = new QLabel(QStringLiteral("Rules:"), this);
    rulesLabel->setBuddy(tvwRules);
    top->addWidget(rulesLabel);
    top->addWidget(tvwRules);
    top->addWidget(RunButton, 0, Qt::AlignRight);

    std::vector<DatabaseAudit::RuleCount> none;
    for (const AuditRule& r : auditRules()) none.push_back({r.id, r.title, -1});
    showCounts(none);
    connect(RunButton, &QPushButton::clicked, this,
            guarded(m_app.dialogs(), [this] { showCounts(m_logic.RunButton_Click()); }));
}

void AuditWindow::showCounts(const std::vector<DatabaseAudit::RuleCount>& counts)
{
    tvwRules->clear();
    for (const DatabaseAudit::RuleCount& c : counts) {
        auto* item = new QTreeWidgetItem(tvwRules, {c.title, c.count < 0 ? QString() : QString::number(c.count)});
        item->setToolTip(0, c.rule);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void registerAuditWindows(App& app)
{
    app.windows().add(AuditWindow::FormName, [&app] { return new AuditWindow(app); });
}

}  // namespace quillon
