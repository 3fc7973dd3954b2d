#include "invoicing/deletelastinvoice.h"

#include "data/connection.h"
#include "data/sqltext.h"
#include "invoicing/of288sql.h"
#include "shell/nextnumber.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

const QString crlf = QStringLiteral("\r\n");

RecordsetPtr readOnly(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

void warn(Dialogs& dialogs, const QString& text, const QString& title)
{
    dialogs.messageBox(text, MsgButtons::OK, MsgIcon::Exclamation, title);
}

bool askYes(Dialogs& dialogs, const QString& text, const QString& title)
{
    return dialogs.messageBox(text, MsgButtons::YesNo, MsgIcon::Exclamation, title) == MsgAnswer::Yes;
}

}  // namespace

bool HasInvoices(App& app, std::int32_t resourceId, std::int32_t personId)
{
    if (resourceId == 0 && personId == 0) return false;
    RecordsetPtr rs = readOnly(app.SharedConnection(), of288::hasInvoicesSql(resourceId, personId));
    return rs->recordCount() > 0 && !rs->value(0).isEmpty();
}

bool DeleteLastInvoice(App& app, std::int32_t personId, const QString& reason)
{
    Connection& db = app.SharedConnection();
    RecordsetPtr status = readOnly(db, QStringLiteral("Select PStatus from Persons where PersonID = ") + sqlInt(personId));
    if (status->recordCount() == 0) return false;
    const Value& pstatus = status->value(0);
    if (pstatus.isNull() || pstatus.toString() == QLatin1String("D")) return false;

    RecordsetPtr last = readOnly(db, of288::lastInvoiceSql(personId));
    if (last->recordCount() == 0) return false;
    const std::int32_t invoiceId = std::int32_t(last->value(0).toInt());

    Transaction tx(db);
    const std::int32_t reasonId = NextNumber(db, QStringLiteral("PersonsInvoicesReason"), QStringLiteral("PersonsInvoiceReasonID"));
    db.execute(of288::deletionReasonSql(reasonId, invoiceId, reason));
    db.execute(QStringLiteral("Update PersonsDebit set InvoiceID = 0") + QStringLiteral(" Where InvoiceID = ") + sqlInt(invoiceId));
    db.execute(QStringLiteral("Update PersonsPost set InvoiceID = 0") + QStringLiteral(" Where InvoiceID = ") + sqlInt(invoiceId));
    db.execute(QStringLiteral("Update PersonsInvoices set Del = 1 Where PersonsInvoiceID = ") + sqlInt(invoiceId));
    tx.commit();
    return true;
}

DeleteResult deleteLastInvoices(App& app, bool resourceMode)
{
    AppState& state = app.state;
    Dialogs& dialogs = app.dialogs();
    DeleteResult result;
    if (!HasInvoices(app, resourceMode ? state.SelectedResourceId : 0, resourceMode ? 0 : state.SelectedPersonId)) {
        warn(dialogs, QStringLiteral("No Invoices to Delete."), QStringLiteral("Delete Invoices"));
        return result;
    }

    const QString first = resourceMode
        ? QStringLiteral("This will delete the Last invoice for Each Crew Member. ") + crlf
              + QStringLiteral("The time posted for each crew member will not be deleted.")
        : QStringLiteral("This will delete the Last invoice for the selected person. ") + crlf
              + QStringLiteral("The time posted for the selected person will not be deleted.");
    const QString second = resourceMode
        ? QStringLiteral("Do you REALLY want to delete the LAST Invoice of EVERY crew member?")
        : QStringLiteral("Do you REALLY want to delete the LAST Invoice of the selected person?");
    if (!askYes(dialogs, first, QStringLiteral("Warning")) || !askYes(dialogs, second, QStringLiteral("Final Warning!"))) {
        result.outcome = DeleteOutcome::Declined;
        return result;
    }

    // Taken as typed: blanks are not removed and count.
    state.ReprintReason = dialogs.inputBox(QStringLiteral("You must enter a brief reason for Deleting.") + crlf
                                               + QStringLiteral("You must limit your entry to 25 characters and spaces"),
                                           QStringLiteral("Delete Reason"));
    if (state.ReprintReason.isEmpty()) {
        warn(dialogs, QStringLiteral("You must enter a reason to delete the Invoice"), QStringLiteral("Need an Invoice Reason"));
        result.outcome = DeleteOutcome::NoReason;
        return result;
    }
    if (state.ReprintReason.size() > MaxDeleteReasonLength) {
        warn(dialogs,
             resourceMode ? QStringLiteral("You must limit your entry to 25 characters and spaces.")
                          : QStringLiteral("You must limit your entry to 25 characters and spaces"),
             QStringLiteral("Reason to long"));
        result.outcome = DeleteOutcome::ReasonTooLong;
        return result;
    }

    result.outcome = DeleteOutcome::Done;
    if (resourceMode) {
        RecordsetPtr members = readOnly(app.SharedConnection(), QStringLiteral("Select PersonID From Persons Where ResourceID = ")
                                                + sqlInt(state.SelectedResourceId));
        for (members->moveFirst(); !members->eof(); members->moveNext())
            if (DeleteLastInvoice(app, std::int32_t(members->value(0).toInt()), state.ReprintReason)) ++result.deleted;
    } else if (DeleteLastInvoice(app, state.SelectedPersonId, state.ReprintReason)) {
        ++result.deleted;
    }
    return result;
}

}  // namespace quillon
