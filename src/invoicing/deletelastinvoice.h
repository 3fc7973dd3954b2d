#pragma once
// Deleting the last personnel invoice: for the chosen person, or for every
// member of the chosen crew or request number. The person's last invoice (the
// valid one with the latest LastDate) is marked deleted (Del = 1) with a
// reason row (Original -1), and the postings and commissary debits it locked
// are opened again (InvoiceID 0). Posted time is never deleted; a deleted
// invoice keeps its row, suffix and reason rows. Demobilized members (PStatus
// "D", or no status) are passed over.

#include "shell/app.h"

#include <QString>

#include <cstdint>

namespace quillon {

// Whether the resource's persons (resourceId not 0) or the person has a valid
// invoice; false when both keys are 0.
bool HasInvoices(App& app, std::int32_t resourceId, std::int32_t personId);

// Deletes the person's last invoice in one transaction: either all of its
// statements take effect or, when one fails, none (the error passes on).
// Returns true when an invoice was deleted; false when the person is
// demobilized or has no valid invoice.
bool DeleteLastInvoice(App& app, std::int32_t personId, const QString& reason);

// The longest deletion reason accepted, blanks included.
inline constexpr int MaxDeleteReasonLength = 25;

enum class DeleteOutcome { NothingToDelete, Declined, NoReason, ReasonTooLong, Done };

struct DeleteResult {
    DeleteOutcome outcome = DeleteOutcome::NothingToDelete;
    int deleted = 0;   // invoices deleted
};

// The "Delete Last Invoice For Selected Resource" button: with resourceMode the
// crew of SelectedResourceId, else the person SelectedPersonId. Checks that
// there is something to delete, asks twice, asks for the reason (kept in
// ReprintReason while it runs), then deletes person by person.
DeleteResult deleteLastInvoices(App& app, bool resourceMode);

}  // namespace quillon
