#pragma once
// Form7, the OF-286 window: "Emergency Equipment - Use Invoice" and/or
// "Itemized Deductions". The upper half narrows contract type, contractor,
// agreement and piece of equipment (or contract crew), sets the last date to
// include and edits the resource's release date and time; the lower half
// previews, prints, reprints or deletes the equipment's invoices.
//
// The window holds the widgets and forwards each event to the equipment
// invoice routines (equipmentprint.h, equipmentdelete.h, releasedate.h);
// every handler runs inside the error boundary.

#include "invoicing/releasedate.h"

#include <QDate>
#include <QLineEdit>
#include <QWidget>

#include <cstdint>
#include <memory>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace quillon {

class App;
class DataCombo;
class EquipmentReports;
class RecordsetModel;

// A masked date box (MM/dd/yyyy). With the mask on, its text shows the
// placeholders, "__/__/____" when nothing is typed. Emptying it takes the
// mask off, so that its text is truly empty until the user types again.
class MaskedDateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedDateBox(QWidget* parent = nullptr);
    // The text as the program reads it: "" when emptied, otherwise what the
    // box shows, placeholders included.
    QString boxText() const;
    // Puts the mask on and shows the text ("" shows the placeholders).
    void setBoxText(const QString& text);
    // Takes the mask off and empties the box.
    void emptyBox();

protected:
    void focusInEvent(QFocusEvent* event) override;
};

class Form7 : public QWidget {
    Q_OBJECT
public:
    // reports: the report pipeline to use; null for the program's own
    // (BuildReport, ShowReport and the invoice issuance over the App).
    explicit Form7(App& app, EquipmentReports* reports = nullptr, QWidget* parent = nullptr);
    ~Form7() override;

    // Fills the lists and sets the options as on opening; a launch
    // selection preselects its resource.
    void Form_Load();

    // Window state.
    std::int32_t ContractorID() const { return m_contractorId; }
    std::int32_t AgreementID() const { return m_agreementId; }
    int reportOption() const { return m_reportOption; }

    // Event handlers (public so that the batch tool and tests can fire them
    // as the widgets do).
    void optType_Click(int index);
    void dbcContractors_Click();
    void dbcAgreements_Click();
    void dbcEquipments_Click();
    void dbcTime_Click();
    void cmdLastCal_Click();
    void cmdCalendar_Click();
    void mvCal_DateClick(const QDate& date);
    void cmdSave_Click();
    void optPrint_Click(int index);
    void optDeduct_Click(int index);
    void tdblInvoices_Click();
    void tdblInvoices_RowChange();
    void RunButton_Click(int index);
    void cmdDelete_Click();

    // Fills the invoice list with the chosen equipment's invoices (clear:
    // with none); false, after "Please select a resource.", when no
    // equipment is chosen.
    bool getInvoices(bool clear);

private:
    void buildWidgets();
    void loadEquipmentList();
    void fillLastDateAndRelease(const QString& uniqueName);
    void preselect(std::int32_t resourceId);
    void placeCalendarBeside(QWidget* box);
    void setInvoiceRow(int row);
    void uncheckDuplicateOption();

    App& m_app;
    std::unique_ptr<EquipmentReports> m_ownReports;
    EquipmentReports* m_reports;
    ReleaseDateValidator m_validator;

    std::int32_t m_contractorId = 0;
    std::int32_t m_agreementId = 0;
    int m_reportOption = 0;
    int m_invoiceRow = -1;           // row of the invoice list that is chosen
    QString m_uniqueName;            // UniqueEquipmentName of the chosen equipment
    MaskedDateBox* m_calendarOwner = nullptr;   // the box the calendar writes into

    QRadioButton* m_optType[3] = {};
    DataCombo* m_dbcContractors = nullptr;
    DataCombo* m_dbcAgreements = nullptr;
    DataCombo* m_dbcEquipments = nullptr;
    MaskedDateBox* m_mskLastDate = nullptr;
    QPushButton* m_cmdLastCal = nullptr;
    QCalendarWidget* m_mvCal = nullptr;
    MaskedDateBox* m_mskDate = nullptr;
    QPushButton* m_cmdCalendar = nullptr;
    DataCombo* m_dbcTime = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QRadioButton* m_optPrint[4] = {};   // 1 to 3
    QRadioButton* m_optDeduct[3] = {};
    QTableView* m_tdblInvoices = nullptr;
    RecordsetModel* m_invoiceModel = nullptr;
    QLabel* m_lblDefPrinter = nullptr;
    QPushButton* m_runButton[2] = {};
    QPushButton* m_cmdDelete = nullptr;
};

// Makes the OF-286 window known to the application's windows as "Form7"
// (main-menu option 7 and launches for report 7 open it by that name), and
// gives PrintInvoice its equipment path (PrintEquipmentInvoice).
void registerForm7(App& app);

}  // namespace quillon
