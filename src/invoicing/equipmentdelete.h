#pragma once
// Withdrawing the newest equipment invoice of a piece of equipment: the
// invoice is marked deleted (Del = 1) with a reason row of Original -1, and the
// use postings and adjustments it locked are opened again (InvoiceID 0), so
// that they can be corrected and invoiced anew. Posted time is not removed,
// and the next ORIGINAL takes the freed suffix letter again.
//
// The user confirms twice and types a reason of at most 25 characters. The
// writes run in one transaction: a failure part-way leaves the invoice, its
// reasons and every posting as they were.

#include "data/recordset.h"
#include "shell/appstate.h"

#include <QString>

namespace quillon {

class Connection;
class Dialogs;

enum class EquipmentDeleteOutcome {
    NoInvoices,  // the list is empty ("No invoices for selected resource")
    Declined,    // No at either confirmation
    NoReason,    // no reason given ("Invoice will Not be deleted!")
    Deleted,
};

// The row of the invoice list (columns of equipmentInvoicesSql) that holds
// the newest invoice: the latest FirstDate, of equal ones the latest key.
// -1 when the list is empty. The list's own order does not matter.
int newestInvoiceRow(const Recordset& invoices);

// The confirmation details of the current row of the list: number with
// suffix, first and last date, and the amount as stored.
QString equipmentInvoiceDetails(const Recordset& invoices);

// Deletes the newest invoice of the list `invoices`, the equipment's current
// (not deleted) invoices as the invoice list shows them. Sets
// SelectedInvoiceId to that invoice and ReprintReason to the typed reason.
EquipmentDeleteOutcome deleteLastEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                                  Recordset& invoices);

}  // namespace quillon
