#include "invoicing/contractor_reports.h"

#include "data/sqltext.h"
#include "shell/buildreport.h"
#include "ui/busypointer.h"
#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillon {

namespace {

std::int32_t keyOf(const Value& v)
{
    return v.isNull() ? 0 : std::int32_t(v.toInt());
}

// Builds the report the state names and previews it in viewer 1.
void buildAndPreview(App& app)
{
    std::int32_t invoiceKey = 0;
    if (BuildReport(app, invoiceKey))
        ShowReport(app, 1, 1);
}

QPushButton* runButton(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("Run Report"), parent);
    setControlName(button, QStringLiteral("RunButton"));
    button->setDefault(true);
    return button;
}

}  // namespace

// --- Form10 ------------------------------------------------------------------

QString ContractorDebits::contractorListSql(const AppState& s)
{
    if (s.ManageIncidentsAsOne)
        return QStringLiteral("Select ContractorName, ContractorID, ") + QStringLiteral(" IncidentID FROM Contractor ") +
               QStringLiteral(" Order by ContractorName");
    return QStringLiteral("Select ContractorName, ContractorID ") + QStringLiteral("FROM Contractor ") +
           QStringLiteral("WHERE IncidentID = ") + sqlInt(s.SelectedIncidentId) + QStringLiteral(" Order by ContractorName");
}

RecordsetPtr ContractorDebits::load()
{
    m_app.state.SelectedContractorId = 0;
    return m_app.SharedConnection().openRecordset(contractorListSql(m_app.state), CursorType::Static,
                                                  LockType::ReadOnly);
}

void ContractorDebits::contractorChosen(const Value& contractorId)
{
    m_app.state.SelectedContractorId = keyOf(contractorId);
}

void ContractorDebits::run()
{
    BusyPointer busy;
    AppState& s = m_app.state;
    if (s.ManageIncidentsAsOne)
        s.SelectedIncidentId = -1;
    std::int32_t invoiceKey = 0;
    if (!BuildReport(m_app, invoiceKey))
        return;
    // The builder titles contractor debits for the second viewer, where they
    // stand beside an equipment invoice; shown in the first viewer here, the
    // window takes that title too instead of the previous report's.
    s.ReportTitle = s.ReportTitle2;
    ShowReport(m_app, 1, 1);
}

ContractorDebitsWindow::ContractorDebitsWindow(App& app, QWidget* parent) : QWidget(parent), m_logic(app)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Contractor Debits"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    dbcContractors = new DataCombo(this);
    setControlName(dbcContractors, QStringLiteral("dbcContractors"));
    dbcContractors->setMinimumWidth(300);
    form->addRow(QStringLiteral("Contractor:"), dbcContractors);
    layout->addLayout(form);
    QPushButton* RunButton = runButton(this);
    layout->addWidget(RunButton, 0, Qt::AlignRight);

    Dialogs& dialogs = app.dialogs();
    connect(dbcContractors, &DataCombo::itemChosen, this,
            guarded(dialogs, [this] { m_logic.contractorChosen(dbcContractors->boundValue()); }));
    connect(RunButton, &QPushButton::clicked, this, guarded(dialogs, [this] { m_logic.run(); }));
    runGuarded(dialogs, [this] {
        dbcContractors->setRowSource(m_logic.load(), QStringLiteral("ContractorName"), QStringLiteral("ContractorID"));
    });
}

// --- Form4 -------------------------------------------------------------------

QString PaymentSummary::contractorListSql(const AppState& s)
{
    QString sql = QStringLiteral("Select ContractorName, ContractorID ") + QStringLiteral("FROM Contractor ");
    if (!s.ManageIncidentsAsOne)
        sql += QStringLiteral("WHERE IncidentID = ") + sqlInt(s.SelectedIncidentId);
    return sql + QStringLiteral(" Order by ContractorName");
}

RecordsetPtr PaymentSummary::load()
{
    m_app.state.SelectedContractorId = 0;
    return m_app.SharedConnection().openRecordset(contractorListSql(m_app.state), CursorType::Static,
                                                  LockType::ReadOnly);
}

void PaymentSummary::contractorChosen(const Value& contractorId)
{
    m_app.state.SelectedContractorId = keyOf(contractorId);
}

void PaymentSummary::allContractorsChosen()
{
    m_app.state.SelectedContractorId = 0;
}

void PaymentSummary::run()
{
    BusyPointer busy;
    m_app.state.ReportRunId = 0;
    buildAndPreview(m_app);
}

PaymentSummaryWindow::PaymentSummaryWindow(App& app, QWidget* parent) : QWidget(parent), m_logic(app)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Payment Summary of Equipment Usage Report"));
    auto* layout = new QVBoxLayout(this);
    for (const char* line : {"Payment Summary of Equipment", "Usage by Contractor"}) {
        auto* heading = new QLabel(QString::fromLatin1(line), this);
        QFont font = heading->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.3);
        heading->setFont(font);
        heading->setAlignment(Qt::AlignCenter);
        layout->addWidget(heading);
    }
    optSpecific = new QRadioButton(QStringLiteral("Select a Specific Contractor"), this);
    setControlName(optSpecific, QStringLiteral("optSpecific"));
    optAll = new QRadioButton(QStringLiteral("Select all Contractors"), this);
    setControlName(optAll, QStringLiteral("optAll"));
    optAll->setChecked(true);  // as SelectedContractorId 0 after load says
    dbcContractor = new DataCombo(this);
    setControlName(dbcContractor, QStringLiteral("dbcContractor"));
    dbcContractor->setMinimumWidth(300);
    layout->addWidget(optSpecific);
    auto* contractorRow = new QHBoxLayout;
    auto* contractorLabel = new QLabel(QStringLiteral("Contractor:"), this);
    contractorLabel->setBuddy(dbcContractor);
    contractorRow->addWidget(contractorLabel);
    contractorRow->addWidget(dbcContractor, 1);
    layout->addLayout(contractorRow);
    layout->addWidget(optAll);
    QPushButton* RunButton = runButton(this);
    layout->addWidget(RunButton, 0, Qt::AlignRight);

    Dialogs& dialogs = app.dialogs();
    connect(dbcContractor, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
        m_logic.contractorChosen(dbcContractor->boundValue());
        optSpecific->setChecked(true);
    }));
    connect(optAll, &QRadioButton::clicked, this, guarded(dialogs, [this] {
        dbcContractor->setText(QString());
        m_logic.allContractorsChosen();
    }));
    connect(RunButton, &QPushButton::clicked, this, guarded(dialogs, [this] { m_logic.run(); }));
    runGuarded(dialogs, [this] {
        dbcContractor->setRowSource(m_logic.load(), QStringLiteral("ContractorName"), QStringLiteral("ContractorID"));
    });
}

}  // namespace quillon
