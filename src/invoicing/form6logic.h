#pragma once
// The logic of Form6, "OF-288", the personnel invoice window: whose time to
// invoice (a crew, a request number, a person or all personnel), the last
// date, final or not, the kind of print; the Run that numbers the postings,
// fills the preparation table, builds the commissary detail and the OF-288
// and shows them or hands them to PrintInvoice; the invoice list of a
// reprint; deleting the last invoice. The window holds the controls and shows
// what this returns; tests drive it directly.
//
//   Form6Logic logic(app);
//   logic.load();                                   // lists, state reset
//   QDate end = *logic.personChosen(100);           // the person's latest posting
//   logic.printOptionChosen(PrintOriginal);
//   logic.run(1, end, false);                       // asks twice, issues, prints

#include "data/recordset.h"
#include "invoicing/columnnumbering.h"
#include "invoicing/of288sql.h"
#include "shell/app.h"

#include <QDate>

#include <cstdint>
#include <optional>

namespace quillon {

class Form6Logic {
public:
    explicit Form6Logic(App& app);

    // Load: the three lists opened, nothing chosen, DRAFT. Returns what the
    // launch selection preselects.
    struct Preselection {
        QString personText;          // dbcPersons
        QString requestNumberText;   // dbcRequestNums
        QString crewText;            // dbcCrewNames
        std::optional<QDate> endDate;
    };
    Preselection load();
    const RecordsetPtr& persons() const { return m_adoPerson; }
    const RecordsetPtr& crews() const { return m_adoCrewName; }
    const RecordsetPtr& requestNumbers() const { return m_adoRequestNum; }
    // The invoice list (adoInvoices); null until a person's list was read.
    const RecordsetPtr& invoices() const { return m_adoInvoices; }

    // The option buttons: which one is checked. Choosing in a list checks its
    // option; clicking an option only records it.
    enum class Option { None, Crew, RequestNumber, Person, All };
    void optionChecked(Option option);
    Option checkedOption() const { return m_option; }

    // A list choice; each returns the end date to show (the latest posting
    // of the person or resource, today when there is none).
    std::optional<QDate> personChosen(std::int32_t personId);
    std::optional<QDate> requestNumberChosen(std::int32_t resourceId, const QString& text);
    std::optional<QDate> crewChosen(std::int32_t resourceId);
    // "Select all Personnel" became checked.
    void allPersonnelChosen();

    // optPrint(index) clicked (1 DRAFT, 2 ORIGINAL, 3 DUPLICATE ORIGINAL).
    void printOptionChosen(int index);
    int checkedPrintOption() const { return m_printOption; }
    bool invoiceListVisible() const { return m_invoiceListVisible; }
    bool printerLabelVisible() const { return m_printerLabelVisible; }
    // A row of the invoice list was chosen (its key; empty for none).
    void invoiceRowChosen(const Value& key);

    // RunButton(index): 0 previews, 1 sends to the printer. Reports its steps
    // to the application's progress; a cancel there stops the Run before its
    // reports are shown and leaves the database and the shared state as they
    // were (lastRunCancelled() then says so).
    void run(int index, const QDate& endDate, bool finalFlag);
    bool lastRunCancelled() const { return m_lastRunCancelled; }
    // The preparation of a DRAFT Run without showing or printing anything,
    // for the batch tool: the postings numbered and the final column set as
    // a Run sets them, the preparation table filled, the shared state ready
    // for BuildReport of report 14 or 6. Returns false, after the window's
    // message, when the selection has nothing to invoice. The caller decides
    // whether the numbers stay (the batch tool rolls them back).
    bool prepareDraft(const QDate& endDate, bool finalFlag);
    // cmdReset; returns true when the window is to empty its invoice list.
    bool deleteLastInvoice();

    bool ResourceMode() const { return m_resourceMode; }
    const QString& SelectedRequestNumber() const { return m_selectedRequestNumber; }
    of288::Choices choices() const;
    const ColumnNumbering& numbering() const { return m_numbering; }
    // How many postings the last Run read (adoPersonDetail); the postings
    // themselves are let go once numbered.
    int postingCount() const { return m_postingCount; }

private:
    std::optional<QDate> resourceChosen(std::int32_t resourceId, Option option);
    RecordsetPtr openList(const QString& sql);
    std::optional<QDate> defaultEndDate(std::int32_t key, bool isResource);
    void readInvoices(bool clear);
    bool askReprintReason();
    void runSteps(int index, const QDate& endDate, bool finalFlag);

    App& m_app;
    Option m_option = Option::None;
    int m_printOption = 0;
    bool m_invoiceListVisible = false;
    bool m_printerLabelVisible = false;
    bool m_finalFlag = false;
    bool m_resourceMode = false;
    QString m_selectedRequestNumber;
    ColumnNumbering m_numbering;

    RecordsetPtr m_adoPerson;
    RecordsetPtr m_adoCrewName;
    RecordsetPtr m_adoRequestNum;
    RecordsetPtr m_adoInvoices;
    int m_postingCount = 0;
    bool m_lastRunCancelled = false;
};

}  // namespace quillon
