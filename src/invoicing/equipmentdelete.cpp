#include "invoicing/equipmentdelete.h"

#include "data/connection.h"
#include "data/sqltext.h"
#include "invoicing/equipmentprint.h"
#include "shell/nextnumber.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

const QString CrLf = QStringLiteral("\r\n");

}  // namespace

int newestInvoiceRow(const Recordset& invoices)
{
    const int idField = invoices.requireField(QStringLiteral("EquipInvoiceID"));
    const int firstField = invoices.requireField(QStringLiteral("FirstDate"));
    int newest = -1;
    for (int row = 0; row < invoices.recordCount(); ++row) {
        if (newest < 0) {
            newest = row;
            continue;
        }
        const QDate first = invoices.at(row, firstField).toDate();
        const QDate best = invoices.at(newest, firstField).toDate();
        if (first > best
            || (first == best && invoices.at(row, idField).toInt() > invoices.at(newest, idField).toInt()))
            newest = row;
    }
    return newest;
}

QString equipmentInvoiceDetails(const Recordset& invoices)
{
    return QStringLiteral("Invoice #: ") + invoices.value(QStringLiteral("InvoiceNumber")).toString() + CrLf
        + QStringLiteral("First Date: ") + invoices.value(QStringLiteral("FirstDate")).toString() + CrLf
        + QStringLiteral("Last Date: ") + invoices.value(QStringLiteral("LastDate")).toString() + CrLf
        + QStringLiteral("Invoice Total: $") + invoices.value(QStringLiteral("Amount")).toCurrency().toString() + CrLf
        + CrLf + QStringLiteral("Do you want to continue?");
}

EquipmentDeleteOutcome deleteLastEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                                  Recordset& invoices)
{
    const int newest = newestInvoiceRow(invoices);
    if (newest < 0) {
        dialogs.messageBox(QStringLiteral("No invoices for selected resource"), MsgButtons::OK, MsgIcon::Information,
                           QStringLiteral("Quillon Message"));
        return EquipmentDeleteOutcome::NoInvoices;
    }
    // Whatever row the user had chosen, the newest invoice is the one offered.
    invoices.setAbsolutePosition(newest + 1);
    state.SelectedInvoiceId = std::int32_t(invoices.value(QStringLiteral("EquipInvoiceID")).toInt());
    const QString details = equipmentInvoiceDetails(invoices);

    if (dialogs.messageBox(QStringLiteral("This will delete the following invoice information.") + CrLf
                               + QStringLiteral("Time posted for this resource will not be deleted.") + CrLf + details,
                           MsgButtons::YesNo, MsgIcon::Exclamation, QStringLiteral("Warning"))
        != MsgAnswer::Yes)
        return EquipmentDeleteOutcome::Declined;
    if (dialogs.messageBox(QStringLiteral("Do you really want to delete the below invoice information.") + CrLf
                               + details,
                           MsgButtons::YesNo, MsgIcon::Exclamation, QStringLiteral("Final Warning!"))
        != MsgAnswer::Yes)
        return EquipmentDeleteOutcome::Declined;

    if (getReason(state, dialogs, DeleteReasonKind).isEmpty()) {
        dialogs.messageBox(QStringLiteral("Did not input a reason for deleting invoice...") + CrLf + CrLf
                               + QStringLiteral("Invoice will Not be deleted!"),
                           MsgButtons::OK, MsgIcon::Information, QStringLiteral("Missing Input"));
        return EquipmentDeleteOutcome::NoReason;
    }

    const QString invoice = sqlInt(state.SelectedInvoiceId);
    Transaction tx(db);
    const std::int32_t reasonKey = NextNumber(db, QStringLiteral("EquipInvoicesReason"),
                                              QStringLiteral("EquipInvoiceReasonID"));
    db.execute(QStringLiteral("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,Reason) ")
               + QStringLiteral("Values(") + sqlInt(reasonKey) + QStringLiteral(",") + invoice + QStringLiteral(",")
               + QStringLiteral("-1") + QStringLiteral(",'") + sqlQuoteInner(state.ReprintReason)
               + QStringLiteral("')"));
    db.execute(QStringLiteral("Update ContractorAdjustments set InvoiceID = 0") + QStringLiteral(" Where InvoiceID = ")
               + invoice);
    db.execute(QStringLiteral("Update ContractorPost set InvoiceID = 0") + QStringLiteral(" Where InvoiceID = ")
               + invoice);
    db.execute(QStringLiteral("Update EquipInvoices set Del = 1 Where EquipInvoiceID = ") + invoice);
    tx.commit();
    return EquipmentDeleteOutcome::Deleted;
}

}  // namespace quillon
