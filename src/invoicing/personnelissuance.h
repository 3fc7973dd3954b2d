#pragma once
// Issuing personnel invoices from the preparation table (#tmp) of the last
// OF-288 Run.
//
// An ORIGINAL numbers one invoice per row of the table: a PersonsInvoices row
// for the period from the row's Lastdate to ReportEndDate with the person's
// open hours of that period, a reason row "Original", the new key written
// back into the table's InvoiceID, and the person's open postings and
// commissary debits up to ReportEndDate locked to the invoice. A DUPLICATE
// ORIGINAL records one more official copy of each invoice in the table's
// InvoiceID column with the typed reprint reason.
//
// Each issuance is one transaction: when any statement fails, nothing of it
// stays and the error passes to the caller; printing comes after the commit.

#include "shell/app.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quillon {

struct IssuedInvoice {
    std::int32_t personId = 0;
    std::int32_t invoiceId = 0;   // the new PersonsInvoiceID
    QString suffix;
    std::int32_t hours = 0;       // Amount
};

// Issues the ORIGINAL invoices of every row of #tmp, in the table's order.
std::vector<IssuedInvoice> issuePersonnelOriginals(App& app);

// Records a DUPLICATE ORIGINAL of every invoice named in #tmp: a reason row
// with the next copy number and ReprintReason, and that copy number in
// PersonsInvoices.Original. Returns the number of invoices recorded.
int recordPersonnelDuplicates(App& app);

}  // namespace quillon
