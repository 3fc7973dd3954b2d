#include "invoicing/personnelissuance.h"

#include "data/connection.h"
#include "invoicing/of288sql.h"
#include "invoicing/preptable.h"
#include "shell/reportqueries.h"
#include "shell/nextnumber.h"

#include <cmath>
#include <limits>

namespace quillon {

namespace {

const QString personsPost = QStringLiteral("PersonsPost");
const QString personsDebit = QStringLiteral("PersonsDebit");

RecordsetPtr readOnly(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

QDate earlier(const Value& a, const Value& b)
{
    if (a.isEmpty()) return b.isEmpty() ? QDate() : b.toDate();
    if (b.isEmpty()) return a.toDate();
    return std::min(a.toDate(), b.toDate());
}

}  // namespace

std::int32_t storedHours(double hours, std::int32_t personId)
{
    const double printed = std::round(hours * 100.0) / 100.0;
    if (!std::isfinite(printed) || std::fabs(printed) > double(std::numeric_limits<std::int32_t>::max()))
        throw DbError(ErrorNumber::Generic, QStringLiteral("The %1 hours of person %2 do not fit the invoice's Amount; "
                                                           "nothing was issued.")
                                                .arg(printed, 0, 'f', 2)
                                                .arg(personId));
    return roundHalfToEven(printed);
}

std::vector<IssuedInvoice> issuePersonnelOriginals(App& app)
{
    const AppState& state = app.state;
    Connection& db = app.SharedConnection();
    const bool sqlServer = db.speaksSqlServer();
    const QDate end = state.ReportEndDate;
    std::vector<IssuedInvoice> issued;
    std::vector<std::int32_t> nothingLeft;

    Transaction tx(db);
    RecordsetPtr tmp = db.openRecordset(QStringLiteral("Select * from #tmp"), CursorType::Dynamic, LockType::Optimistic);
    for (tmp->moveFirst(); !tmp->eof(); tmp->moveNext()) {
        IssuedInvoice inv;
        inv.personId = std::int32_t((*tmp)[QStringLiteral("PersonID")].toInt());
        const std::int32_t original = (*tmp)[QStringLiteral("Original")].toString().trimmed().toInt();
        const QString runNumber = (*tmp)[QStringLiteral("InvoiceNum")].toString();

        // Lock first: what this statement takes is what the invoice holds.
        inv.invoiceId = NextNumber(db, QStringLiteral("PersonsInvoices"), QStringLiteral("PersonsInvoicesID"));
        if (db.execute(of288::lockPostingsSql(personsPost, inv.invoiceId, inv.personId, end)) == 0) {
            nothingLeft.push_back(inv.personId);
            continue;
        }
        db.execute(of288::lockPostingsSql(personsDebit, inv.invoiceId, inv.personId, end));
        db.execute(of288::lockFinalColumnSql(inv.invoiceId, inv.personId));

        RecordsetPtr posted = readOnly(db, of288::lockedPostingsSql(inv.invoiceId, inv.personId));
        RecordsetPtr debited = readOnly(db, of288::lockedDebitsSql(inv.invoiceId, inv.personId));
        inv.hours = posted->value(QStringLiteral("Hours")).toDouble();
        inv.amount = storedHours(inv.hours, inv.personId);
        const QDate first = earlier(posted->value(QStringLiteral("FirstDay")), debited->value(QStringLiteral("FirstDay")));

        RecordsetPtr highest = readOnly(db, of288::highestSuffixSql(inv.personId, sqlServer));
        inv.suffix = of288::nextSuffix(highest->recordCount() > 0 ? highest->value(0).toString() : QString());
        inv.number = runNumber.left(runNumber.size() - 1) + inv.suffix;

        db.execute(of288::insertInvoiceSql(inv.invoiceId, first, end, inv.personId, inv.suffix, original, inv.amount));
        const std::int32_t reasonId = NextNumber(db, QStringLiteral("PersonsInvoicesReason"), QString());
        db.execute(of288::originalReasonSql(reasonId, inv.invoiceId, original));

        // The form prints what was decided here.
        tmp->setValue(QStringLiteral("InvoiceID"), Value(inv.invoiceId));
        tmp->setValue(QStringLiteral("InvoiceNum"), Value(inv.number));
        tmp->setValue(QStringLiteral("Lastdate"), Value(first));
        tmp->setValue(QStringLiteral("EndDate"), Value(end));
        tmp->setValue(QStringLiteral("PrevInvoices"), Value(previousInvoicesText(db, inv.personId, end, inv.invoiceId)));
        tmp->update();
        issued.push_back(inv);
    }
    for (std::int32_t personId : nothingLeft)
        db.execute(QStringLiteral("Delete From #tmp Where PersonID = ") + QString::number(personId));
    tx.commit();
    return issued;
}

int recordPersonnelDuplicates(App& app)
{
    const AppState& state = app.state;
    Connection& db = app.SharedConnection();
    Transaction tx(db);
    RecordsetPtr invoices = readOnly(
        db, QStringLiteral("Select PersonsInvoiceID, Original From PersonsInvoices Where PersonsInvoiceID in ")
                + QStringLiteral("(Select InvoiceID From #Tmp) and Del = 0"));
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
