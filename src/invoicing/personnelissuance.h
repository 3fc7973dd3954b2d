#pragma once
// Issuing personnel invoices from the preparation table (#tmp) of the last
// OF-288 Run.
//
// An ORIGINAL decides everything inside its write transaction, person by
// person, from what is still open at that moment: it locks the person's open
// postings and commissary debits up to ReportEndDate (InvoiceID 0 or Null;
// nothing else is taken) and the open final-column row to a new key, and
// only when it locked a posting records the invoice: the next suffix after
// the highest the person ever had, the period from the first day it locked,
// the hours of exactly the postings it locked (whole hours, from the figure
// the form prints to the hundredth), a reason row "Original". The table's row
// gets the key, number, period and list of earlier invoices the form prints;
// a person left with nothing open loses the row. Two clerks issuing the same
// invoices at once therefore never lock a day twice: the second finds nothing
// left.
//
// A DUPLICATE ORIGINAL records one more official copy of each valid invoice
// in the table's InvoiceID column with the typed reprint reason.
//
// Both run in one transaction (nested in the caller's when it has one): when
// any statement fails, nothing of it stays and the error passes on.

#include "shell/app.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quillon {

struct IssuedInvoice {
    std::int32_t personId = 0;
    std::int32_t invoiceId = 0;   // the new PersonsInvoiceID
    QString suffix;
    QString number;               // as printed
    double hours = 0;             // the hours of its postings
    std::int32_t amount = 0;      // the stored Amount: whole hours
};

// Issues the ORIGINAL invoices of the rows of #tmp that still have open
// postings, in the table's order; empty when nothing was left to invoice.
std::vector<IssuedInvoice> issuePersonnelOriginals(App& app);

// Records a DUPLICATE ORIGINAL of every valid invoice named in #tmp: a reason
// row with the next copy number and ReprintReason, and that copy number in
// PersonsInvoices.Original. Returns the number of invoices recorded.
int recordPersonnelDuplicates(App& app);

// The whole hours stored for `hours`: the figure to the hundredth the form
// prints, rounded half to even. A DbError naming the person when it does not
// fit the column.
std::int32_t storedHours(double hours, std::int32_t personId);

}  // namespace quillon
