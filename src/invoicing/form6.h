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
// Every handler runs inside the error boundary: a database or report error
// ends it with a message box, the pointer back to normal.

#include "data/recordset.h"
#include "invoicing/columnnumbering.h"
#include "invoicing/of288sql.h"
#include "shell/app.h"

#include <QWidget>

#include <cstdint>

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

    // The window's operations, for the buttons and for callers that drive it.
    void RunButton_Click(int index);
    void cmdReset_Click();
    void optPrint_Click(int index);
    void getInvoices(bool Clear);
    void SetDefaultEndDate(std::int32_t Key, bool IsResource);

    // Window state.
    bool ResourceMode() const { return m_resourceMode; }
    const QString& SelectedRequestNumber() const { return m_selectedRequestNumber; }
    // What the invoice services read of the window.
    of288::Choices choices() const;
    const ColumnNumbering& numbering() const { return m_numbering; }
    // The postings of the last Run (adoPersonDetail).
    const RecordsetPtr& personDetail() const { return m_personDetail; }

private:
    void buildControls();
    void Form_Load();
    void applyLaunchSelection();
    void AllOption_Click(bool checked);
    void dbcPersons_Change();
    void dbcRequestNums_Change();
    void dbcCrewNames_Change();
    void tdblInvoices_RowChange(int row);
    // Asks for the reprint reason until one fits or the user cancels; false
    // when the Run is to end.
    bool askReprintReason();
    void checkPrintOption(int index);
    void uncheckPrintOption(int index);
    QRadioButton* printOption(int index) const;
    RecordsetPtr openList(const QString& sql);

    App& m_app;
    bool m_resourceMode = false;
    QString m_selectedRequestNumber;
    ColumnNumbering m_numbering;

    RecordsetPtr m_adoPerson;
    RecordsetPtr m_adoCrewName;
    RecordsetPtr m_adoRequestNum;
    RecordsetPtr m_adoInvoices;
    RecordsetPtr m_personDetail;
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
