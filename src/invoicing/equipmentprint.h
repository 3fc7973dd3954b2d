#pragma once
// The printing half of the OF-286 window, without its widgets: the invoice
// list of a piece of equipment, the list of earlier invoices the OF-286
// prints, the invoice period with its addition and debit totals, the reason
// asked for a reprint or a deletion, and the run of the two run buttons.
//
// Each routine reads and writes the shared state under the names the report
// builder reads (InvoicePrintMode, ReportStartDate, ReportDebitTotal, ...).
// Refusals are message boxes; database errors pass to the caller.

#include "data/recordset.h"
#include "shell/appstate.h"

#include <QDate>
#include <QString>

#include <cstdint>

namespace quillon {

class Connection;
class Dialogs;
class EquipmentReports;

// The report options of the window (optDeduct).
enum EquipmentReportOption { OF286WithDeductions = 0, OF286Only = 1, DeductionsOnly = 2 };

// Which reason getReason asks for.
enum ReasonKind { ReprintReasonKind = 1, DeleteReasonKind = 2 };

// The longest reason of each kind: 15 characters for a reprint, 25 for a
// deletion.
int reasonLimit(int kind);

// The invoice list's query: the equipment's invoices that are not deleted,
// oldest first, with the suffix letter appended to the number; clear gives
// the same columns and no rows.
QString equipmentInvoicesSql(std::int32_t equipmentId, bool clear);

// Fills PrevInvoicesText: one line "FirstDate - LastDate for $Amount" per
// earlier invoice of SelectedEquipmentId whose LastDate lies before the bound
// date, amounts with thousands separators and two decimals. The bound date is
// ReportEndDate, or for a DUPLICATE ORIGINAL the chosen invoice's last date
// (and OriginalNumber becomes 1, so the copy shows the invoice as first
// issued).
void getPrevInvoices(AppState& state, Connection& db, const QDate& chosenInvoiceLastDate);

// Sets the invoice period and the adjustment totals. A DUPLICATE ORIGINAL
// takes the chosen invoice's period and the adjustments locked to it
// (SelectedInvoiceId). Otherwise the period ends at ReportEndDate and starts
// at the earliest open posting or adjustment of SelectedEquipmentId, and the
// totals are those of its open adjustments; with no open posting up to the
// end it shows "No Non-Invoiced Postings to Print.", leaves the totals 0 and
// the start at 1 January 1900, and returns false.
bool getAdditionsDeductions(AppState& state, Connection& db, Dialogs& dialogs, const QDate& chosenInvoiceFirstDate,
                            const QDate& chosenInvoiceLastDate);

// Asks for a reason until one is given that fits the kind's limit, or the
// user cancels at the error prompt. The reason is trimmed and stored in
// ReprintReason (empty when cancelled) and returned.
QString getReason(AppState& state, Dialogs& dialogs, int kind);

// What the run buttons read from the window.
struct EquipmentRunChoice {
    bool directPrint = false;             // RunButton(1); RunButton(0) previews
    QString lastDateText;                 // the last-date box as shown
    int reportOption = OF286WithDeductions;
    QDate chosenInvoiceFirstDate;         // the invoice list's chosen row (copies)
    QDate chosenInvoiceLastDate;
};

enum class EquipmentRunOutcome {
    Stopped,     // ended before any report: a message said why, or the reason was cancelled
    Completed,   // went through; the wanted reports went to the viewers or the printer
};

// The run of RunButton: checks the last date, sets the print code (asking
// for the reprint reason), works out the earlier invoices, the period and
// the totals, and previews or prints the wanted reports. An ORIGINAL with
// nothing open to invoice stops after saying so. An ORIGINAL or a
// DUPLICATE ORIGINAL sent directly to the printer goes through the invoice
// issuance (printInvoice) once, which prints the whole set.
EquipmentRunOutcome runEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs, EquipmentReports& reports,
                                        const EquipmentRunChoice& choice);

// The last-date text as a date: MM/dd/yyyy as the box shows it (M/d/yyyy
// accepted); an invalid date for anything else.
QDate parseBoxDate(const QString& text);

}  // namespace quillon
