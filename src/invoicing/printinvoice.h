#pragma once
// PrintInvoice: the one way a previewed invoice becomes an official one. It is
// asked whenever an invoice report set is to go to the printer: by the OF-288
// window's "Send Invoice Directly to Printer", by the OF-286 window, and by the
// print button of either viewer window.
//
//   DRAFT, or a report that is no invoice      -> true: the caller prints itself
//   ORIGINAL                                   -> two confirmations, then issue
//   DUPLICATE ORIGINAL                         -> record one more official copy
//
// The personnel path (report 6) works on the preparation table (#tmp) of the
// Run, inside one write transaction: it issues the ORIGINALs (or records the
// DUPLICATE copies), lays out the OF-288 and, when the persons have debits,
// the commissary detail (report 14) over exactly what those invoices hold,
// checks that the printer can take them and keeps them as PDF files; only
// then it commits and prints. A template, printer or database problem found
// before the commit writes nothing and passes to the caller as DbError. When
// nothing is left to invoice (another clerk was first), nothing is recorded
// and a message says so. A printing failure after the commit is told in a
// message naming the invoices issued, where their forms were kept and that
// they are reprinted with DUPLICATE ORIGINAL. Report 14 alone returns false
// and does nothing. The equipment reports (7 and 13) go to the equipment
// invoice path that the equipment code registers.
//
// Issued forms are kept in $QUILLON_INVOICE_FOLDER, else in the "invoices"
// folder of the program's data folder.
//
// Result false: this call printed, or the user declined, or there was nothing
// to print; a viewer then does not print.

#include "shell/app.h"

#include <cstdint>
#include <functional>

namespace quillon {

bool PrintInvoice(App& app, std::int16_t ViewerSlot, bool FromViewer);

// The equipment invoice path (OF-286 and its deductions and additions report).
// PrintInvoice calls it for reports 7 and 13 after the common entry steps (the
// DRAFT test, the viewers closed, the ORIGINAL confirmed) with the viewer slot
// it was given, and returns its result. The equipment code registers it with
// the App at start-up; until then reports 7 and 13 fail with a DbError saying
// that equipment invoices are not available.
using EquipmentInvoicePath = App::EquipmentInvoicePath;
void setEquipmentInvoicePath(App& app, EquipmentInvoicePath path);

// Lets the viewers' print buttons ask PrintInvoice (with FromViewer true) and
// print themselves only when it answers true. An error is shown as a message
// box and the viewer does not print.
void installInvoicePrintHook(App& app);

// The two questions before an ORIGINAL; false when the user declines either.
bool confirmOriginalInvoice(Dialogs& dialogs);

}  // namespace quillon
