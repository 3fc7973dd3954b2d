#include "invoicing/preptable.h"

#include "data/connection.h"
#include "shell/reportqueries.h"

namespace quillon {

namespace {

const QString prepTable = QStringLiteral("#tmp");

RecordsetPtr readOnly(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

Value dateOrNull(const Value& v)
{
    return v.isEmpty() ? Value() : Value(v.toDate());
}

// The first day a new invoice covers: the earlier of the person's first open
// posting and first open debit.
Value firstDayCovered(const Recordset& summary)
{
    const Value& posting = summary[QStringLiteral("StartDate")];
    const Value& debit = summary[QStringLiteral("PDStartDate")];
    if (debit.isEmpty() || (!posting.isEmpty() && posting.toDate() < debit.toDate())) return dateOrNull(posting);
    return dateOrNull(debit);
}

}  // namespace

RecordsetPtr createPrepTable(App& app)
{
    Connection& db = app.SharedConnection();
    if (TableExists(app, prepTable)) db.execute(QStringLiteral("Drop Table #tmp"));
    db.execute(of288::createPrepTableSql());
    return db.openRecordset(QStringLiteral("Select * from #tmp"), CursorType::Dynamic, LockType::Optimistic);
}

std::int32_t FindInvoiceId(App& app, std::int32_t personId, const QString& suffix)
{
    RecordsetPtr rs = readOnly(app.SharedConnection(), of288::findInvoiceIdSql(personId, suffix));
    if (!rs || rs->recordCount() == 0) return 0;
    return std::int32_t(rs->value(0).toInt());
}

QString previousInvoicesText(Connection& db, std::int32_t personId, const QDate& before, std::int32_t exceptInvoiceId)
{
    RecordsetPtr invoices = readOnly(db, of288::previousInvoicesSql(personId, before, exceptInvoiceId));
    QString text;
    for (invoices->moveFirst(); !invoices->eof(); invoices->moveNext()) {
        const Recordset& inv = *invoices;
        // The hours its postings hold; an invoice that holds none (recorded
        // before its postings were kept with it) shows its stored amount.
        const Value& hours = inv[QStringLiteral("Hours")];
        text += of288::prevInvoiceLine(inv[QStringLiteral("FirstDate")], inv[QStringLiteral("LastDate")],
                                       hours.isEmpty() ? inv[QStringLiteral("Amount")].toString()
                                                       : of288::hoursText(hours.toDouble()));
    }
    return text;
}

PersonIncident personIncident(Connection& db, std::int32_t personId)
{
    RecordsetPtr rs = readOnly(db, of288::incidentOfPersonSql(personId));
    if (rs->recordCount() == 0) return {};
    return {rs->value(QStringLiteral("incStartYear")).toString(), rs->value(QStringLiteral("IncidentNumber")).toString()};
}

QString finalFlagOfPrepTable(Connection& db)
{
    RecordsetPtr invoices = readOnly(db, of288::finalInvoicesSql());
    bool allFinal = invoices->recordCount() > 0;
    for (invoices->moveFirst(); !invoices->eof(); invoices->moveNext())
        if (invoices->value(QStringLiteral("Final")).toInt() == 0) allFinal = false;
    return allFinal ? QStringLiteral("F") : QStringLiteral("I");
}

void getPrevInvoices(App& app, const of288::Choices& choices)
{
    AppState& state = app.state;
    Connection& db = app.SharedConnection();
    RecordsetPtr tmp = createPrepTable(app);
    RecordsetPtr summary = readOnly(db, of288::personSummarySql(choices, state));
    if (!summary || summary->recordCount() == 0) return;

    const bool duplicate = state.InvoicePrintMode == PrintDuplicateOriginal;
    Progress& progress = app.progress();
    progress.begin(QStringLiteral("Preparing invoices"), summary->recordCount());
    // The rows go in together: faster, and a failing Run leaves no half-filled table.
    Transaction tx(db);
    for (summary->moveFirst(); !summary->eof(); summary->moveNext()) {
        const Recordset& row = *summary;
        const std::int32_t personId = std::int32_t(row[QStringLiteral("PersonID")].toInt());
        QString suffix;
        tmp->addNew();
        tmp->setValue(QStringLiteral("PersonID"), Value(personId));
        if (duplicate) {
            // The person's latest valid invoice, as it was issued: its own
            // period, copy count and the invoices that preceded it.
            const std::int32_t invoiceId = std::int32_t(row[QStringLiteral("PersonsInvoiceID")].toInt());
            const QDate lastDate = row[QStringLiteral("LastDate")].toDate();
            suffix = row[QStringLiteral("InvoiceSuffix")].toString();
            state.PrevInvoicesText = previousInvoicesText(db, personId, lastDate, invoiceId);
            tmp->setValue(QStringLiteral("Original"),
                          Value(of288::copyNumberText(row[QStringLiteral("Original")].toInt() + 1, state.ReprintReason)));
            tmp->setValue(QStringLiteral("InvoiceID"), Value(invoiceId));
            tmp->setValue(QStringLiteral("Lastdate"), dateOrNull(row[QStringLiteral("FirstDate")]));
            tmp->setValue(QStringLiteral("EndDate"), Value(lastDate));
        } else {
            const Value& highest = row[QStringLiteral("InvoiceSuffix")];
            suffix = of288::nextSuffix(highest.toString());
            // A person who never had an invoice (not even a deleted one: the
            // highest suffix is Null) has none to list; most persons of a
            // large Run are spared a query so.
            state.PrevInvoicesText = highest.isNull() ? QString()
                                                      : previousInvoicesText(db, personId, state.ReportEndDate, 0);
            tmp->setValue(QStringLiteral("Original"), Value(QStringLiteral("01")));
            tmp->setValue(QStringLiteral("InvoiceID"), Value(0));
            tmp->setValue(QStringLiteral("Lastdate"), firstDayCovered(row));
            tmp->setValue(QStringLiteral("EndDate"), Value(state.ReportEndDate));
        }
        tmp->setValue(QStringLiteral("PrevInvoices"), Value(state.PrevInvoicesText));
        tmp->setValue(QStringLiteral("InvoiceNum"),
                      Value(of288::invoiceNumber(row[QStringLiteral("incStartYear")].toString(),
                                                 row[QStringLiteral("IncidentNumber")].toString(), personId, suffix)));
        tmp->update();
        progress.advance(summary->absolutePosition());
    }
    tx.commit();
}

void getPrevInvoice(App& app)
{
    AppState& state = app.state;
    Connection& db = app.SharedConnection();
    RecordsetPtr tmp = createPrepTable(app);
    RecordsetPtr invoice = readOnly(db, of288::selectedInvoiceSql(state.SelectedInvoiceId));
    if (!invoice || invoice->recordCount() == 0 || invoice->value(QStringLiteral("Del")).toBool())
        throw DbError(ErrorNumber::NoCurrentRecord,
                      QStringLiteral("Invoice %1 chosen for the reprint no longer exists or was deleted.")
                          .arg(state.SelectedInvoiceId));
    const Recordset& inv = *invoice;
    const std::int32_t personId = std::int32_t(inv[QStringLiteral("PersonID")].toInt());
    const QDate lastDate = inv[QStringLiteral("LastDate")].toDate();

    tmp->addNew();
    tmp->setValue(QStringLiteral("PersonID"), Value(personId));
    state.PrevInvoicesText = previousInvoicesText(db, personId, lastDate, state.SelectedInvoiceId);
    tmp->setValue(QStringLiteral("PrevInvoices"), Value(state.PrevInvoicesText));
    tmp->setValue(QStringLiteral("Original"),
                  Value(of288::copyNumberText(inv[QStringLiteral("Original")].toInt() + 1, state.ReprintReason)));
    tmp->setValue(QStringLiteral("Lastdate"), dateOrNull(inv[QStringLiteral("FirstDate")]));
    tmp->setValue(QStringLiteral("EndDate"), dateOrNull(inv[QStringLiteral("LastDate")]));
    tmp->setValue(QStringLiteral("InvoiceID"), Value(state.SelectedInvoiceId));
    // The number as the ORIGINAL printed it: the year and number of the
    // person's own incident.
    const PersonIncident incident = personIncident(db, personId);
    tmp->setValue(QStringLiteral("InvoiceNum"),
                  Value(of288::invoiceNumber(incident.year, incident.number, personId,
                                             inv[QStringLiteral("InvoiceSuffix")].toString())));
    tmp->update();
}

}  // namespace quillon
