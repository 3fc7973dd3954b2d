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
// The personnel path (report 6) issues from the preparation table (#tmp) in one
// transaction, then prints the OF-288 and, when the persons have debits, the
// commissary detail (report 14) built over the debits of those invoices.
// Report 14 alone returns false and does nothing. The equipment reports (7 and
// 13) go to the equipment invoice path that the equipment code registers.
//
// Result false: this call printed, or the user declined, or there was nothing
// to print; a viewer then does not print. Database, report and printer errors
// pass to the caller as DbError; nothing of a failed issuance stays written.

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
