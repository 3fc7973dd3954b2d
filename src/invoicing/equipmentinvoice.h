#pragma once
// Issuing an official OF-286 equipment invoice, once the user has confirmed.
//
// An ORIGINAL numbers a new invoice for SelectedEquipmentId over the period
// ReportStartDate to ReportEndDate: the next free suffix letter, the invoice
// number, the amount (each day the greater of the posted amount and the daily
// guarantee, plus the additions, less the debits), the EquipInvoices row with
// its "Original" reason row, and the invoice key written into every
// ContractorPost and ContractorAdjustments row of the period, which locks them.
// A DUPLICATE ORIGINAL records one more official copy of SelectedInvoiceId
// with ReprintReason.
//
// All writes of one issuance run in one transaction: either every row is
// there afterwards or, when anything fails, none is and the shared state is
// as it was. The reports are printed only after the commit: the OF-286
// (report 7) always, the deductions and additions (report 13) when the debit
// or addition total is not zero.

#include "data/value.h"
#include "shell/appstate.h"

#include <QDate>
#include <QString>

#include <cstdint>

namespace quillon {

class Connection;
class Dialogs;
class EquipmentReports;

// The invoice number: year text, "-", incident number (both trimmed), "-",
// the EquipmentID left-padded with "0" to six digits. A longer ID is written
// as it is, never cut.
QString equipmentInvoiceNumber(const QString& incidentStartYear, const QString& incidentNumber,
                               std::int32_t equipmentId);

// The suffix letter of the next ORIGINAL of the equipment: "A" for the first,
// then the character after the highest suffix of its invoices that are not
// deleted (so a deleted invoice's letter is used again).
QString nextEquipmentInvoiceSuffix(Connection& db, std::int32_t equipmentId);

// The invoice amount of the equipment for the period: per day the greater of
// the posted amount (primary plus secondary) and the daily guarantee, an
// empty value taking no part; plus ReportAdditionTotal, less ReportDebitTotal.
// A period without use postings gives 0 and the adjustments are not applied.
Currency equipmentInvoiceAmount(Connection& db, const AppState& state);

enum class EquipmentIssueOutcome {
    Issued,               // the invoice or copy was recorded (and printed)
    NoInvoicedPostings,   // a duplicate of an invoice with no official print: refused
};

// What an issuance recorded, for printing after the commit.
struct IssuedEquipmentInvoice {
    EquipmentIssueOutcome outcome = EquipmentIssueOutcome::NoInvoicedPostings;
    std::int32_t invoiceId = 0;       // EquipInvoiceID issued or copied
    QString invoiceCode;              // OrigRptCode while the OF-286 prints
    QString deductionsCode;           // OrigRptCode while the deductions print
    bool printDeductions = false;     // a debit or addition total is not zero
};

// The database half: records the invoice or copy in one transaction and,
// after the commit, writes the results into the shared state
// (SelectedInvoiceId, InvoiceNumberText, OriginalNumber for a copy, OrigRptCode
// as the OF-286 prints it). Shows "No Invoiced Postings to Print." when a
// copy has nothing to copy. Database errors roll everything back and pass on.
IssuedEquipmentInvoice issueEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs);

// The printing half: the OF-286, then the deductions report when wanted, each
// built for the issued invoice and printed on the given viewer slot's printer
// path. ReportNumber is 7 again afterwards.
void printIssuedEquipmentInvoice(AppState& state, const IssuedEquipmentInvoice& issued, EquipmentReports& reports,
                                 std::int16_t viewerSlot);

// The equipment path of the invoice issuance (both halves), for
// InvoicePrintMode ORIGINAL or DUPLICATE ORIGINAL after the confirmations.
EquipmentIssueOutcome printEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                            EquipmentReports& reports, std::int16_t viewerSlot);

}  // namespace quillon
