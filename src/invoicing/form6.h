#pragma once
// Form6, "OF-288": the personnel invoice window (Emergency Firefighter Time
// Report). The user chooses whose time to invoice (a crew, a request number, a
// person or all personnel), the last date the invoice includes, whether it is
// the final invoice and the kind of print, then previews ("Preview/Print
// Invoice") or prints ("Send Invoice Directly to Printer"). A Run numbers the
// OF-288 columns of the postings, fills the preparation table, builds the
// commissary detail and the OF-288 and shows them, or hands them to
// PrintInvoice. The same window deletes the last invoice of a person or crew.
//
// Controls carry the window's own names (dbcPersons, optPrint(2), RunButton(1),
// tdblInvoices, cmdReset, ...), so scripts drive it as a person would:
//
//   open Form6
//   pick Form6.dbcPersons "Adams, Ann"
//   click Form6.optPrint(2)
//   answer OK
//   answer Yes
//   click Form6.RunButton(1)
//
// The window holds the controls and shows what Form6Logic decides. Every
// handler runs inside the error boundary: a database or report error ends it
// with a message box, the pointer back to normal.

#include "invoicing/form6logic.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace quillon {

class DataCombo;
class RecordsetModel;

class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(App& app, QWidget* parent = nullptr);

    Form6Logic& logic() { return m_logic; }
    // The buttons, for callers that drive the window.
    void RunButton_Click(int index);
    bool ResourceMode() const { return m_logic.ResourceMode(); }

private:
    void buildControls();
    // Shows what the logic holds: options, print options, invoice list,
    // printer label.
    void showState();
    void showEndDate(const std::optional<QDate>& date);

    App& m_app;
    Form6Logic m_logic;
    RecordsetModel* m_invoiceModel = nullptr;

    QLabel* Title = nullptr;
    QRadioButton* CrewOption = nullptr;
    QRadioButton* ReqNumOption = nullptr;
    QRadioButton* PersonnelOption = nullptr;
    QRadioButton* AllOption = nullptr;
    DataCombo* dbcCrewNames = nullptr;
    DataCombo* dbcRequestNums = nullptr;
    DataCombo* dbcPersons = nullptr;
    QDateEdit* dtpEndDate = nullptr;
    QCheckBox* cbFinalFlag = nullptr;
    QGroupBox* fraPrintOptions = nullptr;
    QRadioButton* optPrint[3] = {};
    QPushButton* RunButton[2] = {};
    QLabel* lblDefPrinter = nullptr;
    QTableView* tdblInvoices = nullptr;
    QPushButton* cmdReset = nullptr;
};

// A new OF-288 window over the application (not yet shown).
QWidget* createForm6(App& app);
// Registers the window as "Form6" with the application's windows.
void registerForm6(App& app);

}  // namespace quillon
