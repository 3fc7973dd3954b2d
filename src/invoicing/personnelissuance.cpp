#include "invoicing/personnelissuance.h"

#include "data/connection.h"
#include "invoicing/of288sql.h"
#include "reports/reportqueries.h"
#include "shell/nextnumber.h"

namespace quillon {

namespace {

const QString personsPost = QStringLiteral("PersonsPost");
const QString personsDebit = QStringLiteral("PersonsDebit");

}  // namespace

std::vector<IssuedInvoice> issuePersonnelOriginals(App& app)
{
    const AppState& state = app.state;
    Connection& db = app.SharedConnection();
    std::vector<IssuedInvoice> issued;
    const QDate end = state.ReportEndDate;

    Transaction tx(db);
    RecordsetPtr tmp = db.openRecordset(QStringLiteral("Select * from #tmp"), CursorType::Dynamic, LockType::Optimistic);
    RecordsetPtr invoices = db.openRecordset(QStringLiteral("Select * From PersonsInvoices"), CursorType::Dynamic,
                                             LockType::Optimistic);
    for (tmp->moveFirst(); !tmp->eof(); tmp->moveNext()) {
        IssuedInvoice inv;
        inv.invoiceId = NextNumber(db, QStringLiteral("PersonsInvoices"), QStringLiteral("PersonsInvoicesID"));
        invoices->addNew();
        invoices->setValue(QStringLiteral("PersonsInvoiceID"), Value(inv.invoiceId));
        tmp->setValue(QStringLiteral("InvoiceID"), Value(inv.invoiceId));
        tmp->update();

        inv.personId = std::int32_t((*tmp)[QStringLiteral("PersonID")].toInt());
        const Value& firstValue = (*tmp)[QStringLiteral("Lastdate")];
        const QDate first = firstValue.isEmpty() ? QDate() : firstValue.toDate();
        inv.suffix = (*tmp)[QStringLiteral("InvoiceNum")].toString().right(1);
        const std::int32_t original = (*tmp)[QStringLiteral("Original")].toString().trimmed().toInt();

        // Postings and debits whose InvoiceID is Null are as open as those
        // with 0 and are printed on this invoice; give them the 0 the hours
        // total and the lock below look for, so that they are counted and
        // locked with the rest instead of coming back on the next invoice.
        db.execute(of288::openNullPostingsSql(personsPost, inv.personId, end));
        db.execute(of288::openNullPostingsSql(personsDebit, inv.personId, end));
        // The hours are totalled before the postings are locked.
        inv.hours = UninvoicedHours(app, inv.personId, first, end);

        invoices->setValue(QStringLiteral("FirstDate"), first.isValid() ? Value(first) : Value());
        invoices->setValue(QStringLiteral("LastDate"), Value(end));
        invoices->setValue(QStringLiteral("PersonID"), Value(inv.personId));
        invoices->setValue(QStringLiteral("InvoiceSuffix"), Value(inv.suffix));
        invoices->setValue(QStringLiteral("Original"), Value(original));
        invoices->setValue(QStringLiteral("Amount"), Value(inv.hours));
        invoices->update();

        const std::int32_t reasonId = NextNumber(db, QStringLiteral("PersonsInvoicesReason"), QString());
        db.execute(of288::originalReasonSql(reasonId, inv.invoiceId, original));
        db.execute(of288::lockPostingsSql(personsPost, inv.invoiceId, inv.personId, end));
        db.execute(of288::lockPostingsSql(personsDebit, inv.invoiceId, inv.personId, end));
        issued.push_back(inv);
    }
    tx.commit();
    return issued;
}

int recordPersonnelDuplicates(App& app)
{
    const AppState& state = app.state;
    Connection& db = app.SharedConnection();
    Transaction tx(db);
    RecordsetPtr invoices = db.openRecordset(
        QStringLiteral("Select * From PersonsInvoices Where PersonsInvoiceID in (Select InvoiceID From #Tmp)"),
        CursorType::Static, LockType::Optimistic);
    int recorded = 0;
    for (invoices->moveFirst(); !invoices->eof(); invoices->moveNext()) {
        const std::int32_t invoiceId = std::int32_t((*invoices)[QStringLiteral("PersonsInvoiceID")].toInt());
        const std::int32_t copy = std::int32_t((*invoices)[QStringLiteral("Original")].toInt()) + 1;
        const std::int32_t reasonId = NextNumber(db, QStringLiteral("PersonsInvoicesReason"), QString());
        db.execute(of288::duplicateReasonSql(reasonId, invoiceId, copy, state.ReprintReason));
        db.execute(of288::raiseCopyCountSql(invoiceId, copy));
        ++recorded;
    }
    tx.commit();
    return recorded;
}

}  // namespace quillon
