#pragma once
// The contractor invoice window, Form8 "Contractor Invoice": for one
// contractor, agreement and piece of equipment it lists the daily equipment
// postings and shows two totals, the debits and the invoice amount after
// debits. Each day counts the greater of its posted amount and its guarantee.
// It makes no report.
//
// ContractorInvoice is the logic; ContractorInvoiceWindow holds the controls.

#include "shell/app.h"

#include <QSortFilterProxyModel>
#include <QWidget>

class QLabel;
class QTableView;

namespace quillon {

class DataCombo;
class RecordsetModel;

class ContractorInvoice {
public:
    explicit ContractorInvoice(App& app) : m_app(app) {}

    static QString contractorListSql(const AppState& state);
    static QString agreementListSql(std::int32_t contractorId);
    static QString equipmentListSql(std::int32_t agreementId);
    static QString postingsSql(std::int32_t agreementId, std::int32_t equipmentId);
    static QString debitSql(std::int32_t contractorId, std::int32_t equipmentId);
    // Money as the window shows it: "$###,##0.00" ("$1,234.50", "-$12.00").
    static QString moneyText(Currency amount);
    // The day's amount: the greater of the posted amount and the guarantee
    // (an empty amount counts as none).
    static Currency dayAmount(const Value& amt, const Value& guarAmt);

    RecordsetPtr load();
    // A contractor was chosen: its agreements. The agreement and equipment
    // chosen before belong to another contractor and are forgotten.
    RecordsetPtr contractorChosen(const Value& contractorId);
    // An agreement was chosen: its equipment.
    RecordsetPtr agreementChosen(const Value& agreementId);

    struct Figures {
        RecordsetPtr postings;
        Currency postingTotal;
        Currency debitTotal;
        QString debitsText;    // empty when there are no debits
        QString invoiceText;
    };
    // A piece of equipment was chosen: its postings and the two totals.
    Figures equipmentChosen(const Value& equipmentId);
    // The run button: the busy pointer comes and goes, nothing else.
    void run();

    std::int32_t contractorId() const { return m_contractorId; }
    std::int32_t agreementId() const { return m_agreementId; }
    std::int32_t equipmentId() const { return m_equipmentId; }

private:
    App& m_app;
    std::int32_t m_contractorId = 0;
    std::int32_t m_agreementId = 0;
    std::int32_t m_equipmentId = 0;
};

// The posting grid: headings in words, dates and money as the reports print
// them, and a click on a heading sorts by the values themselves (a date by
// its day, money by its amount), not by the shown text.
class PostingGridModel : public QSortFilterProxyModel {
public:
    explicit PostingGridModel(QObject* parent = nullptr);
    // Shows the postings of the window's query (nullptr: none).
    void setPostings(const RecordsetPtr& postings);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    Value valueAt(const QModelIndex& index) const;
    RecordsetModel* m_rows;
};

class ContractorInvoiceWindow : public QWidget {
    Q_OBJECT
public:
    explicit ContractorInvoiceWindow(App& app, QWidget* parent = nullptr);

private:
    void clearFigures();

    ContractorInvoice m_logic;
    DataCombo* dbcContractors;
    DataCombo* dbcAgreements;
    DataCombo* dbcEquipment;
    QTableView* grdEquipPost;
    PostingGridModel* m_postings;
    QLabel* lbTotalDebits;
    QLabel* lbTotalInvoice;
};

}  // namespace quillon
