#include "invoicing/preptable.h"

#include "data/connection.h"
#include "reports/reportqueries.h"

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

void getPrevInvoices(App& app, const of288::Choices& choices)
{
    AppState& state = app.state;
    Connection& db = app.SharedConnection();
    RecordsetPtr tmp = createPrepTable(app);
    RecordsetPtr summary = readOnly(db, of288::personSummarySql(choices, state));
    if (!summary || summary->recordCount() == 0) return;

    const bool duplicate = state.InvoicePrintMode == PrintDuplicateOriginal;
    // The rows go in together: faster, and a failing Run leaves no half-filled table.
    Transaction tx(db);
    for (summary->moveFirst(); !summary->eof(); summary->moveNext()) {
        const std::int32_t personId = std::int32_t((*summary)[QStringLiteral("PersonID")].toInt());
        const QString highestSuffix = (*summary)[QStringLiteral("InvoiceSuffix")].toString();
        const QDate latestEnd = (*summary)[QStringLiteral("LastDate")].toDate();

        RecordsetPtr invoices = readOnly(db, of288::personInvoicesSql(personId, state));
        state.PrevInvoicesText.clear();

        QString suffix;
        tmp->addNew();
        tmp->setValue(QStringLiteral("PersonID"), Value(personId));
        if (invoices->recordCount() > 0) {
            for (invoices->moveFirst(); !invoices->eof(); invoices->moveNext()) {
                const Recordset& inv = *invoices;
                if (inv[QStringLiteral("Del")].toBool()) continue;
                if (duplicate && inv[QStringLiteral("LastDate")].toDate() == latestEnd) continue;
                state.PrevInvoicesText += of288::prevInvoiceLine(inv[QStringLiteral("FirstDate")],
                                                                 inv[QStringLiteral("LastDate")], inv[QStringLiteral("Amount")]);
            }
            invoices->moveLast();
            tmp->setValue(QStringLiteral("PrevInvoices"), Value(state.PrevInvoicesText));
            if (duplicate) {
                // A crew reprint takes the person's latest invoice.
                suffix = highestSuffix;
                const std::int64_t copies = (*summary)[QStringLiteral("Original")].toInt();
                tmp->setValue(QStringLiteral("Original"), Value(of288::copyNumberText(copies + 1, state.ReprintReason)));
                tmp->setValue(QStringLiteral("InvoiceID"), Value(FindInvoiceId(app, personId, suffix)));
                tmp->setValue(QStringLiteral("Lastdate"), dateOrNull((*invoices)[QStringLiteral("FirstDate")]));
                tmp->setValue(QStringLiteral("EndDate"), dateOrNull((*invoices)[QStringLiteral("LastDate")]));
            } else {
                suffix = of288::nextSuffix(highestSuffix);
                tmp->setValue(QStringLiteral("Original"), Value(QStringLiteral("01")));
                tmp->setValue(QStringLiteral("InvoiceID"), Value(0));
                tmp->setValue(QStringLiteral("EndDate"), Value(state.ReportEndDate));
                tmp->setValue(QStringLiteral("Lastdate"), firstDayCovered(*summary));
            }
        } else {
            // No earlier invoice to list: a new invoice, whatever the mode.
            state.PrevInvoicesText.clear();
            tmp->setValue(QStringLiteral("PrevInvoices"), Value(QString(QLatin1String(""))));
            tmp->setValue(QStringLiteral("Original"), Value(QStringLiteral("01")));
            suffix = of288::nextSuffix(highestSuffix);
            tmp->setValue(QStringLiteral("Lastdate"), firstDayCovered(*summary));
            tmp->setValue(QStringLiteral("EndDate"), Value(state.ReportEndDate));
        }
        tmp->setValue(QStringLiteral("InvoiceNum"),
                      Value(of288::invoiceNumber((*summary)[QStringLiteral("incStartYear")].toString(),
                                                 (*summary)[QStringLiteral("IncidentNumber")].toString(), personId, suffix)));
        tmp->update();
    }
    tx.commit();
}

void getPrevInvoice(App& app)
{
    AppState& state = app.state;
    Connection& db = app.SharedConnection();
    RecordsetPtr tmp = createPrepTable(app);
    RecordsetPtr invoice = readOnly(db, of288::selectedInvoiceSql(state.SelectedInvoiceId));
    if (!invoice || invoice->recordCount() == 0)
        throw DbError(ErrorNumber::NoCurrentRecord,
                      QStringLiteral("Invoice %1 chosen for the reprint no longer exists.").arg(state.SelectedInvoiceId));
    const Recordset& inv = *invoice;
    const std::int32_t personId = std::int32_t(inv[QStringLiteral("PersonID")].toInt());
    const QDate lastDate = inv[QStringLiteral("LastDate")].toDate();

    tmp->addNew();
    tmp->setValue(QStringLiteral("PersonID"), Value(personId));

    RecordsetPtr others = readOnly(db, of288::otherInvoicesSql(personId, state.SelectedInvoiceId));
    state.PrevInvoicesText.clear();
    for (others->moveFirst(); !others->eof(); others->moveNext()) {
        const Recordset& o = *others;
        if (o[QStringLiteral("Del")].toBool() || o[QStringLiteral("LastDate")].toDate() == lastDate) continue;
        state.PrevInvoicesText += of288::prevInvoiceLine(o[QStringLiteral("FirstDate")], o[QStringLiteral("LastDate")],
                                                         o[QStringLiteral("Amount")]);
    }
    tmp->setValue(QStringLiteral("PrevInvoices"), Value(state.PrevInvoicesText));
    tmp->setValue(QStringLiteral("Original"),
                  Value(of288::copyNumberText(inv[QStringLiteral("Original")].toInt() + 1, state.ReprintReason)));
    tmp->setValue(QStringLiteral("Lastdate"), dateOrNull(inv[QStringLiteral("FirstDate")]));
    tmp->setValue(QStringLiteral("EndDate"), dateOrNull(inv[QStringLiteral("LastDate")]));
    tmp->setValue(QStringLiteral("InvoiceID"), Value(state.SelectedInvoiceId));
    tmp->setValue(QStringLiteral("InvoiceNum"),
                  Value(of288::invoiceNumber(state.IncidentStartYear, state.SelectedIncidentNumber, personId,
                                             inv[QStringLiteral("InvoiceSuffix")].toString())));
    tmp->update();
}

}  // namespace quillon
