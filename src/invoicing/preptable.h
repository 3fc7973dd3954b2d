#pragma once
// The preparation table of an OF-288 Run: the connection's temporary table
// #tmp with one row per person on the invoice run. The OF-288 and commissary
// detail reports join it for the invoice number, copy number, period and list
// of earlier invoices; issuing an ORIGINAL reads it row by row and writes the
// new invoice keys back into it; a reprint finds the invoices to reprint in
// its InvoiceID column.
//
// Columns: PersonID; PrevInvoices (the person's other invoices, one line
// each); Original (copy number text: "01" for a new invoice, "02 Lost" for a
// reprint); Lastdate (the first day the invoice covers); InvoiceNum (the
// invoice number, its last character the suffix); InvoiceID (0 for a new
// invoice, the invoice reprinted for a duplicate); EndDate (the last day).
//
// Each fill drops and recreates the table, so it holds the latest Run only.
// Everything runs on the shared connection; database errors pass to the caller.

#include "data/recordset.h"
#include "invoicing/of288sql.h"
#include "shell/app.h"

#include <cstdint>

namespace quillon {

// Drops the table when it exists, creates it empty and opens it for adding rows.
RecordsetPtr createPrepTable(App& app);

// Fills the table for every person of the selection (within the chosen
// incident unless the incidents are managed as one). A DRAFT or ORIGINAL
// gets a row for each person with an open posting up to ReportEndDate: the
// next suffix after the highest the person ever had (deleted invoices
// included), the period from the first open posting or debit. A DUPLICATE
// gets a row for each person's latest valid invoice; persons without one get
// none. Invoice numbers take the four-digit year of the person's incident.
// Reports "Preparing invoices" to app.progress() and stops there at a cancel
// (RunCancelled; the table is left to the caller's transaction).
void getPrevInvoices(App& app, const of288::Choices& choices);

// Fills the table with the one valid invoice chosen for a reprint
// (SelectedInvoiceId), numbered as getPrevInvoices numbers it; a DbError when
// it does not exist or was deleted.
void getPrevInvoice(App& app);

// The lines of the person's valid invoices that ended before `before` (other
// than `exceptInvoiceId`), each with the exact hours of its postings.
QString previousInvoicesText(Connection& db, std::int32_t personId, const QDate& before, std::int32_t exceptInvoiceId);

// "F" when every invoice named in the table holds a final-column row (it was
// issued as a final invoice), else "I".
QString finalFlagOfPrepTable(Connection& db);

// The year (four digits) and number of the person's incident; empty when the
// person is unknown.
struct PersonIncident {
    QString year;
    QString number;
};
PersonIncident personIncident(Connection& db, std::int32_t personId);

// The PersonsInvoiceID of the person's invoice with that suffix (deleted ones
// included), 0 when there is none.
std::int32_t FindInvoiceId(App& app, std::int32_t personId, const QString& suffix);

}  // namespace quillon
