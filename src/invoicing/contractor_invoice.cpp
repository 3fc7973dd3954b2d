#include "invoicing/contractor_invoice.h"

#include "data/recordset_model.h"
#include "data/sqltext.h"
#include "reports/engine/format.h"
#include "ui/busypointer.h"
#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace quillon {

namespace {

std::int32_t keyOf(const Value& v)
{
    return v.isNull() ? 0 : std::int32_t(v.toInt());
}

RecordsetPtr openList(App& app, const QString& sql)
{
    return app.SharedConnection().openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

}  // namespace

QString ContractorInvoice::contractorListSql(const AppState& s)
{
    QString sql = QStringLiteral("Select ContractorName, ContractorID ") + QStringLiteral("FROM Contractor ");
    if (!s.ManageIncidentsAsOne)
        sql += QStringLiteral("WHERE IncidentID = ") + sqlInt(s.SelectedIncidentId);
    return sql + QStringLiteral(" Order by ContractorName");
}

QString ContractorInvoice::agreementListSql(std::int32_t contractorId)
{
    return QStringLiteral("Select AgreementNum, AgreementID ") + QStringLiteral("FROM Agreement ") +
           QStringLiteral("WHERE contractorID = ") + sqlInt(contractorId) + QStringLiteral(" Order by AgreementNUM");
}

QString ContractorInvoice::equipmentListSql(std::int32_t agreementId)
{
    return QStringLiteral("Select Resources.Name, EquipmentID ") + QStringLiteral("FROM Equipment,Resources ") +
           QStringLiteral("WHERE (AgreementID = ") + sqlInt(agreementId) +
           QStringLiteral(") and (Equipment.ResourceID = Resources.ResourceID) ") + QStringLiteral(" Order by Name ");
}

QString ContractorInvoice::postingsSql(std::int32_t agreementId, std::int32_t equipmentId)
{
    return QStringLiteral(" Select ActivityDT, UOM, Units, Rate, Amt, GuarAmt") + QStringLiteral(" FROM EquipmentPost") +
           QStringLiteral(" WHERE (AgreementID = ") + sqlInt(agreementId) + QStringLiteral(" and EquipmentID = ") +
           sqlInt(equipmentId) + QStringLiteral(") ") + QStringLiteral(" Order by ActivityDT ");
}

QString ContractorInvoice::debitSql(std::int32_t contractorId, std::int32_t equipmentId)
{
    return QStringLiteral("Select sum(AMT) FROM ") + QStringLiteral("ContractorDebit ") +
           QStringLiteral("WHERE  ContractorID = ") + sqlInt(contractorId) + QStringLiteral(" and  EquipmentID = ") +
           sqlInt(equipmentId);
}

QString ContractorInvoice::moneyText(Currency amount)
{
    return reports::formatValue(Value(amount), QStringLiteral("$###,##0.00"));
}

Currency ContractorInvoice::dayAmount(const Value& amt, const Value& guarAmt)
{
    const Currency a = amt.isNull() ? Currency() : amt.toCurrency();
    const Currency g = guarAmt.isNull() ? Currency() : guarAmt.toCurrency();
    return a > g ? a : g;
}

RecordsetPtr ContractorInvoice::load()
{
    return openList(m_app, contractorListSql(m_app.state));
}

RecordsetPtr ContractorInvoice::contractorChosen(const Value& contractorId)
{
    m_contractorId = keyOf(contractorId);
    m_agreementId = 0;
    m_equipmentId = 0;
    return openList(m_app, agreementListSql(m_contractorId));
}

RecordsetPtr ContractorInvoice::agreementChosen(const Value& agreementId)
{
    m_agreementId = keyOf(agreementId);
    m_equipmentId = 0;
    return openList(m_app, equipmentListSql(m_agreementId));
}

ContractorInvoice::Figures ContractorInvoice::equipmentChosen(const Value& equipmentId)
{
    Figures f;
    m_equipmentId = keyOf(equipmentId);
    Connection& db = m_app.SharedConnection();
    f.postings = db.openRecordset(postingsSql(m_agreementId, m_equipmentId), CursorType::Static, LockType::ReadOnly);

    RecordsetPtr debits = db.openRecordset(debitSql(m_contractorId, m_equipmentId), CursorType::Static,
                                           LockType::ReadOnly);
    if (!debits->eof() && !debits->value(0).isEmpty()) {
        f.debitTotal = debits->value(0).toCurrency();
        f.debitsText = moneyText(f.debitTotal);
    }
    debits->close();

    const int amt = f.postings->requireField(QStringLiteral("Amt"));
    const int guarantee = f.postings->requireField(QStringLiteral("GuarAmt"));
    for (int row = 0; row < f.postings->recordCount(); ++row)
        f.postingTotal += dayAmount(f.postings->at(row, amt), f.postings->at(row, guarantee));
    f.invoiceText = moneyText(f.postingTotal - f.debitTotal);
    return f;
}

void ContractorInvoice::run()
{
    BusyPointer busy;
}

namespace {

// The grid's columns: the query's field, its heading and how it is shown.
enum class Shown { Date, Number, Money, Text };
struct GridColumn {
    const char* field;
    const char* heading;
    Shown shown;
};
constexpr GridColumn kGridColumns[] = {
    {"ActivityDT", "Date", Shown::Date},       {"UOM", "Unit of Measure", Shown::Text},
    {"Units", "Units", Shown::Number},         {"Rate", "Rate", Shown::Money},
    {"Amt", "Amount", Shown::Money},           {"GuarAmt", "Guarantee", Shown::Money},
};

}  // namespace

PostingGridModel::PostingGridModel(QObject* parent) : QSortFilterProxyModel(parent), m_rows(new RecordsetModel(this))
{
    setSourceModel(m_rows);
}

void PostingGridModel::setPostings(const RecordsetPtr& postings)
{
    QStringList fields;
    QStringList headings;
    for (const GridColumn& c : kGridColumns) {
        fields << QString::fromLatin1(c.field);
        headings << QString::fromLatin1(c.heading);
    }
    m_rows->setRecordset(postings, postings ? fields : QStringList(), postings ? fields.first() : QString());
    m_rows->setHeaders(headings);
}

Value PostingGridModel::valueAt(const QModelIndex& index) const
{
    const RecordsetPtr& rows = m_rows->recordset();
    if (!rows || !index.isValid()) return Value();
    return rows->at(index.row(), rows->requireField(QString::fromLatin1(kGridColumns[index.column()].field)));
}

QVariant PostingGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return QVariant();
    const Shown shown = kGridColumns[index.column()].shown;
    if (role == Qt::TextAlignmentRole && (shown == Shown::Money || shown == Shown::Number))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return QSortFilterProxyModel::data(index, role);
    const Value v = valueAt(mapToSource(index));
    if (v.isNull()) return QString();
    switch (shown) {
    case Shown::Date: return reports::formatValue(v, QStringLiteral("M/d/yyyy"));
    case Shown::Money: return ContractorInvoice::moneyText(v.toCurrency());
    case Shown::Number:
    case Shown::Text: return v.toString();
    }
    return QVariant();
}

// Empty values sort first; dates by their day and time, numbers and money by
// their amount, text without regard to case.
bool PostingGridModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const Value a = valueAt(left);
    const Value b = valueAt(right);
    if (a.isNull() || b.isNull()) return a.isNull() && !b.isNull();
    switch (kGridColumns[left.column()].shown) {
    case Shown::Date: return a.toDateTime() < b.toDateTime();
    case Shown::Number:
    case Shown::Money: return a.toDouble() < b.toDouble();
    case Shown::Text: return a.toString().compare(b.toString(), Qt::CaseInsensitive) < 0;
    }
    return false;
}

ContractorInvoiceWindow::ContractorInvoiceWindow(App& app, QWidget* parent)
    : QWidget(parent), m_logic(app), m_postings(new PostingGridModel(this))
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Contractor Invoice"));
    auto* layout = new QVBoxLayout(this);
    auto* lists = new QFormLayout;
    dbcContractors = new DataCombo(this);
    setControlName(dbcContractors, QStringLiteral("dbcContractors"));
    dbcAgreements = new DataCombo(this);
    setControlName(dbcAgreements, QStringLiteral("dbcAgreements"));
    dbcEquipment = new DataCombo(this);
    setControlName(dbcEquipment, QStringLiteral("dbcEquipment"));
    for (DataCombo* list : {dbcContractors, dbcAgreements, dbcEquipment}) list->setMinimumWidth(300);
    lists->addRow(QStringLiteral("Contractor:"), dbcContractors);
    lists->addRow(QStringLiteral("Agreement:"), dbcAgreements);
    lists->addRow(QStringLiteral("Equipment:"), dbcEquipment);
    layout->addLayout(lists);

    grdEquipPost = new QTableView(this);
    setControlName(grdEquipPost, QStringLiteral("grdEquipPost"));
    grdEquipPost->setModel(m_postings);
    grdEquipPost->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdEquipPost->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdEquipPost->verticalHeader()->hide();
    grdEquipPost->setMinimumSize(520, 220);
    grdEquipPost->setSortingEnabled(true);
    grdEquipPost->sortByColumn(0, Qt::AscendingOrder);
    grdEquipPost->horizontalHeader()->setStretchLastSection(true);
    auto* postingsLabel = new QLabel(QStringLiteral("Postings:"), this);
    postingsLabel->setBuddy(grdEquipPost);
    layout->addWidget(postingsLabel);
    layout->addWidget(grdEquipPost, 1);

    auto* totals = new QFormLayout;
    lbTotalDebits = new QLabel(this);
    setControlName(lbTotalDebits, QStringLiteral("lbTotalDebits"));
    lbTotalInvoice = new QLabel(this);
    setControlName(lbTotalInvoice, QStringLiteral("lbTotalInvoice"));
    totals->addRow(QStringLiteral("Debits:"), lbTotalDebits);
    totals->addRow(QStringLiteral("Invoice Amount:"), lbTotalInvoice);
    layout->addLayout(totals);
    auto* RunButton = new QPushButton(QStringLiteral("Run"), this);
    setControlName(RunButton, QStringLiteral("RunButton"));
    layout->addWidget(RunButton, 0, Qt::AlignRight);

    Dialogs& dialogs = app.dialogs();
    connect(dbcContractors, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
        RecordsetPtr agreements = m_logic.contractorChosen(dbcContractors->boundValue());
        dbcAgreements->setRowSource(agreements, QStringLiteral("AgreementNum"), QStringLiteral("AgreementID"));
        dbcEquipment->setRowSource(nullptr, QString(), QString());
        clearFigures();
    }));
    connect(dbcAgreements, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
        if (dbcAgreements->text().isEmpty()) return;
        dbcEquipment->setRowSource(m_logic.agreementChosen(dbcAgreements->boundValue()), QStringLiteral("Name"),
                                   QStringLiteral("EquipmentID"));
        clearFigures();
    }));
    connect(dbcEquipment, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
        if (dbcEquipment->text().isEmpty()) return;
        clearFigures();
        const ContractorInvoice::Figures f = m_logic.equipmentChosen(dbcEquipment->boundValue());
        m_postings->setPostings(f.postings);
        lbTotalDebits->setText(f.debitsText);
        lbTotalInvoice->setText(f.invoiceText);
    }));
    connect(RunButton, &QPushButton::clicked, this, guarded(dialogs, [this] { m_logic.run(); }));
    runGuarded(dialogs, [this] {
        dbcContractors->setRowSource(m_logic.load(), QStringLiteral("ContractorName"), QStringLiteral("ContractorID"));
    });
}

void ContractorInvoiceWindow::clearFigures()
{
    m_postings->setPostings(nullptr);
    lbTotalDebits->clear();
    lbTotalInvoice->clear();
}

}  // namespace quillon
