#pragma once
// Issuing an official OF-286 equipment invoice, once the user has confirmed.
//
// An ORIGINAL invoices the open use postings (InvoiceID 0 or Null) of
// SelectedEquipmentId up to ReportEndDate. Its period starts at the earliest
// open posting or adjustment, so a posting entered late for days already
// invoiced is billed on the next invoice rather than left behind. The
// invoice gets the next free suffix letter and its number (the four-digit
// year of the equipment's incident, the incident number and the padded
// EquipmentID), the open postings and adjustments of the period carry its
// key, and its Amount is worked out from exactly the rows it locked: each
// day the greater of the posted amount (primary plus special, an empty
// amount counting 0) and the daily guarantee, plus the additions, less the
// debits. The OF-286 prints the same rows and the same figures.
// With nothing open up to the last date an ORIGINAL writes nothing and says
// "No Non-Invoiced Postings to Print.".
// A DUPLICATE ORIGINAL records one more official copy of SelectedInvoiceId
// with ReprintReason and prints the invoice as issued: its number, period,
// rows and totals.
//
// Everything is decided inside one write transaction (on SQL Server the
// reads that decide take update locks), so two clerks issuing the same
// equipment at once get one invoice between them; the other is told there
// is nothing left. The forms are built and laid out, and the printer
// checked, before the commit: a template or printer problem writes nothing.
// Printing comes after the commit; when it fails, the forms are kept as PDF
// files and the message names the invoice, says it is issued and locked,
// where the files are, and that DUPLICATE ORIGINAL prints it again.

#include "data/value.h"
#include "invoicing/equipmentreports.h"
#include "shell/appstate.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

namespace quillon {

class Connection;
class Dialogs;

// The invoice number: year text, "-", incident number (both trimmed), "-",
// the EquipmentID left-padded with "0" to six digits. A longer ID is written
// as it is, never cut.
QString equipmentInvoiceNumber(const QString& incidentStartYear, const QString& incidentNumber,
                               std::int32_t equipmentId);

// The suffix letter of the next ORIGINAL of the equipment: "A" for the first,
// then the character after the highest suffix of its invoices that are not
// deleted (so a deleted invoice's letter is used again).
QString nextEquipmentInvoiceSuffix(Connection& db, std::int32_t equipmentId);

// The first day of the equipment's next invoice ending at `end`: the
// earliest open posting or adjustment dated on or before `end`. Invalid when
// no use posting is open up to `end` (there is nothing to invoice).
QDate openEquipmentPeriodStart(Connection& db, std::int32_t equipmentId, const QDate& end);

// The figures of the rows locked to an equipment invoice.
struct EquipmentInvoiceFigures {
    Currency use;         // per day the greater of posted amount and guarantee
    Currency debits;      // positive adjustments
    Currency additions;   // negative adjustments, as a positive figure
    int adjustments = 0;  // adjustment rows
    Currency net() const { return use + additions - debits; }
};
// Reads the postings and adjustments that carry `invoiceId`. A money value
// beyond the money type's range throws DbError naming the row.
EquipmentInvoiceFigures lockedEquipmentFigures(Connection& db, std::int32_t invoiceId);

enum class EquipmentIssueOutcome {
    Issued,               // recorded and printed
    IssuedNotPrinted,     // recorded; printing failed afterwards and the message said so
    NothingToInvoice,     // an ORIGINAL with no open posting up to the last date: nothing written
    NoInvoicedPostings,   // a duplicate of an invoice with no official print: refused
    NotBuilt,             // a form could not be built: nothing written
};

// One form of an issued invoice, laid out before the commit, with the shared
// state's report members as BuildReport left them (put back while it prints,
// for whoever reads the open report then).
struct IssuedEquipmentForm {
    std::int16_t reportNumber = 0;
    QString origRptCode;
    EquipmentReports::LaidOut laidOut;
    reports::ReportPtr report;
    QString reportTitle, reportTitle2, mainSql, subSql, templateName;
    RecordsetPtr mainData, subData;
    std::vector<std::pair<QString, Value>> parameters;
};

// What an issuance recorded, for printing after the commit.
struct IssuedEquipmentInvoice {
    EquipmentIssueOutcome outcome = EquipmentIssueOutcome::NotBuilt;
    std::int32_t invoiceId = 0;       // EquipInvoiceID issued or copied
    QString invoiceNumber;            // with its suffix, as printed
    std::int16_t copyNumber = 1;      // 1 for the ORIGINAL
    int adjustments = 0;              // adjustment rows on the invoice
    std::vector<IssuedEquipmentForm> forms;   // the OF-286, then the deductions when any
    QString finalCode;                // OrigRptCode once the set is printed
};

// The database half: decides, records and lays out the invoice or copy in
// one transaction. After the commit the shared state holds the invoice
// (SelectedInvoiceId, InvoiceNumberText, OriginalNumber for a copy, the
// period and totals it was issued with). Shows "No Non-Invoiced Postings to
// Print." or "No Invoiced Postings to Print." when there is nothing to
// issue. Database, report and printer errors roll everything back, leave the
// shared state as it was and pass on.
IssuedEquipmentInvoice issueEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                             EquipmentReports& reports);

// The printing half: prints the laid-out forms. When printing fails, keeps
// the forms in reports.keepFolder() and tells the user; returns the outcome.
EquipmentIssueOutcome printIssuedEquipmentInvoice(AppState& state, const IssuedEquipmentInvoice& issued,
                                                  EquipmentReports& reports, Dialogs& dialogs);

// The equipment path of the invoice issuance (both halves), for
// InvoicePrintMode ORIGINAL or DUPLICATE ORIGINAL after the confirmations.
EquipmentIssueOutcome printEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                            EquipmentReports& reports, std::int16_t viewerSlot);

}  // namespace quillon
