#pragma once
// The two contractor report windows of the main menu. Each picks a contractor
// and previews a report the report builder makes from the shared state:
//   Form10 "Contractor Debits"                          (report 10)
//   Form4  "Payment Summary of Equipment Usage Report"  (report 4)
// ContractorDebits and PaymentSummary are their logic; the windows
// (ContractorDebitsWindow, PaymentSummaryWindow) hold the controls.
//
// Both windows start with no contractor chosen, which the shared state says
// with SelectedContractorId 0: a contractor chosen earlier in another window
// is not silently reused.

#include "shell/app.h"

#include <QWidget>

class QRadioButton;

namespace quillon {

class DataCombo;

class ContractorDebits {
public:
    explicit ContractorDebits(App& app) : m_app(app) {}

    // The contractors of the incident, or of every incident when incidents
    // are managed as one.
    static QString contractorListSql(const AppState& state);
    RecordsetPtr load();
    void contractorChosen(const Value& contractorId);
    // Builds report 10 and previews it in viewer 1.
    void run();

private:
    App& m_app;
};

class PaymentSummary {
public:
    explicit PaymentSummary(App& app) : m_app(app) {}

    static QString contractorListSql(const AppState& state);
    RecordsetPtr load();
    void contractorChosen(const Value& contractorId);
    void allContractorsChosen();
    // Builds report 4 and previews it in viewer 1.
    void run();

private:
    App& m_app;
};

class ContractorDebitsWindow : public QWidget {
    Q_OBJECT
public:
    explicit ContractorDebitsWindow(App& app, QWidget* parent = nullptr);

private:
    ContractorDebits m_logic;
    DataCombo* dbcContractors;
};

class PaymentSummaryWindow : public QWidget {
    Q_OBJECT
public:
    explicit PaymentSummaryWindow(App& app, QWidget* parent = nullptr);

private:
    PaymentSummary m_logic;
    QRadioButton* optSpecific;
    QRadioButton* optAll;
    DataCombo* dbcContractor;
};

}  // namespace quillon
