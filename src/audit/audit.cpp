#include "audit/audit.h"

#include "data/connection.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>

namespace quillon {

namespace {

using namespace audit;

RecordsetPtr query(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

qint64 intOf(const Value& v) { return v.isEmpty() ? 0 : qint64(v.toInt()); }

QString dateText(const Value& v) { return v.isEmpty() ? QStringLiteral("(no date)") : Value(v.toDate()).toString(); }

// "1201, 1202, 1203" for a reader; long lists are cut after ten keys.
QString keyList(const std::vector<qint64>& keys)
{
    QStringList parts;
    for (size_t i = 0; i < keys.size() && i < 10; ++i) parts << QString::number(keys[i]);
    QString text = parts.join(QStringLiteral(", "));
    if (keys.size() > 10) text += QStringLiteral(" and %1 more").arg(keys.size() - 10);
    return text;
}

QString rowsOf(const QString& table, const std::vector<qint64>& keys)
{
    return keys.size() == 1 ? QStringLiteral("%1 %2").arg(table).arg(keys.front())
                            : QStringLiteral("%1 %2 (%3 rows)").arg(table, keyList(keys)).arg(keys.size());
}

// The two kinds of invoice and the rows they lock.
struct InvoiceKind {
    bool personnel;
    QString invoices;    // PersonsInvoices
    QString invoiceKey;  // PersonsInvoiceID
    QString reasons;     // PersonsInvoicesReason
    QString owner;       // PersonID
    QString ownerWord;   // person

    QString ownerText(qint64 id) const { return QStringLiteral("%1 %2").arg(ownerWord).arg(id); }

    // Columns that name the invoice: the personnel number is built from the
    // person's incident; the equipment number is stored.
    QString numberColumns(const QString& alias) const
    {
        return personnel ? QStringLiteral(", NI.StartDate as IncStart, NI.IncidentNumber as IncNumber")
                         : QStringLiteral(", %1.InvoiceNumber as EquipNumber").arg(alias);
    }
    QString numberJoins(const QString& alias) const
    {
        if (!personnel) return QString();
        return QStringLiteral(" Left Outer Join Persons NP On NP.PersonID = %1.PersonID"
                              " Left Outer Join Resources NR On NR.ResourceID = NP.ResourceID"
                              " Left Outer Join Incidents NI On NI.IncidentID = NR.IncidentID")
            .arg(alias);
    }
    // The invoice number with its suffix, from a row holding numberColumns.
    QString number(const Recordset& rs, qint64 ownerId, const QString& suffix) const
    {
        if (personnel) {
            const QDate start = rs.value(QStringLiteral("IncStart")).toDate();
            const QString year = start.isValid() ? QString::number(start.year()) : QStringLiteral("?");
            QString id = QString::number(ownerId);
            if (id.size() < 6) id = id.rightJustified(6, QLatin1Char('0'));
            return year + QLatin1Char('-') + rs.value(QStringLiteral("IncNumber")).toString().trimmed()
                   + QLatin1Char('-') + id + suffix;
        }
        return rs.value(QStringLiteral("EquipNumber")).toString().trimmed() + suffix;
    }
};

const InvoiceKind kPersonnel{true, QStringLiteral("PersonsInvoices"), QStringLiteral("PersonsInvoiceID"),
                             QStringLiteral("PersonsInvoicesReason"), QStringLiteral("PersonID"),
                             QStringLiteral("person")};
const InvoiceKind kEquipment{false, QStringLiteral("EquipInvoices"), QStringLiteral("EquipInvoiceID"),
                             QStringLiteral("EquipInvoicesReason"), QStringLiteral("EquipmentID"),
                             QStringLiteral("equipment")};

struct LockedTable {
    const InvoiceKind* kind;
    QString table;
    QString key;
    QString what;        // "the time", "the commissary charges", ...
    bool plural;
    QString unpaid;      // what happens to them when no invoice holds them

    QString whatIs() const { return what + (plural ? QStringLiteral(" are") : QStringLiteral(" is")); }
};

const LockedTable kLockedTables[] = {
    {&kPersonnel, QStringLiteral("PersonsPost"), QStringLiteral("PersonsPostID"), QStringLiteral("the time"), false,
     QStringLiteral("it is never paid, and it cannot be invoiced again while it is locked")},
    {&kPersonnel, QStringLiteral("PersonsDebit"), QStringLiteral("PersonsDebitID"),
     QStringLiteral("the commissary charges"), true,
     QStringLiteral("they are never deducted from the person's pay, and cannot be deducted later while they are "
                    "locked")},
    {&kEquipment, QStringLiteral("ContractorPost"), QStringLiteral("ContractorPostID"), QStringLiteral("the use"),
     false, QStringLiteral("it is never paid, and it cannot be invoiced again while it is locked")},
    {&kEquipment, QStringLiteral("ContractorAdjustments"), QStringLiteral("ContractorAdjustmentID"),
     QStringLiteral("the deductions and additions"), true,
     QStringLiteral("they never reach the contractor's payment, and cannot be applied later while they are locked")},
};

class Auditor {
public:
    Auditor(Connection& db, AuditResult& out) : m_db(db), m_out(out) {}

    void add(const QString& rule, const QString& table, std::vector<qint64> keys, const QString& owner,
             const QString& invoice, const QString& rows, const QString& meaning)
    {
        m_out.findings.push_back({rule, table, std::move(keys), owner, invoice, rows, meaning});
    }

    // Locked rows whose invoice is missing, deleted or someone else's; rows
    // locked to one invoice by one owner make one finding.
    void locks(const LockedTable& t)
    {
        const InvoiceKind& k = *t.kind;
        const QString sql =
            QStringLiteral("Select T.%1 as RowKey, T.%2 as RowOwner, T.InvoiceID as LockKey, I.%3 as FoundKey, "
                           "I.%2 as InvoiceOwner, I.Del as Del, I.InvoiceSuffix as Suffix%4 "
                           "From %5 T Left Outer Join %6 I On I.%3 = T.InvoiceID%7 "
                           "Where T.InvoiceID <> 0 And (I.%3 Is Null Or I.Del Is Null Or I.Del <> 0 "
                           "Or I.%2 Is Null Or T.%2 Is Null Or I.%2 <> T.%2) "
                           "Order By T.InvoiceID, T.%2, T.%1")
                .arg(t.key, k.owner, k.invoiceKey, k.numberColumns(QStringLiteral("I")), t.table, k.invoices,
                     k.numberJoins(QStringLiteral("I")));
        RecordsetPtr rs = query(m_db, sql);
        struct Group {
            QString rule;
            qint64 lock = 0, owner = 0, invoiceOwner = 0;
            QString number;
            std::vector<qint64> keys;
        } g;
        auto flush = [&] {
            if (g.keys.empty()) return;
            const QString rows = rowsOf(t.table, g.keys) + QStringLiteral(" of ") + k.ownerText(g.owner);
            if (g.rule == QLatin1String(LockNoInvoice)) {
                add(g.rule, t.table, g.keys, k.ownerText(g.owner), QString::number(g.lock),
                    rows + QStringLiteral(" locked to %1 key %2, which does not exist").arg(k.invoices).arg(g.lock),
                    t.whatIs() + QStringLiteral(" locked but on no invoice: ") + t.unpaid);
            } else if (g.rule == QLatin1String(LockDeletedInvoice)) {
                add(g.rule, t.table, g.keys, k.ownerText(g.owner), g.number,
                    rows + QStringLiteral(" locked to the deleted invoice %1 (key %2)").arg(g.number).arg(g.lock),
                    QStringLiteral("the deletion did not unlock %1: ").arg(t.what) + t.unpaid);
            } else {
                add(g.rule, t.table, g.keys, k.ownerText(g.owner), g.number,
                    rows + QStringLiteral(" locked to invoice %1 (key %2) of %3")
                               .arg(g.number)
                               .arg(g.lock)
                               .arg(k.ownerText(g.invoiceOwner)),
                    QStringLiteral("%1 on neither invoice: locked away from the %2's own invoices and not "
                                   "printed on the invoice of %3 that holds %4")
                        .arg(t.whatIs(), k.ownerWord, k.ownerText(g.invoiceOwner),
                             t.plural ? QStringLiteral("them") : QStringLiteral("it")));
            }
            g.keys.clear();
        };
        for (; !rs->eof(); rs->moveNext()) {
            const qint64 lock = intOf(rs->value(QStringLiteral("LockKey")));
            const qint64 owner = intOf(rs->value(QStringLiteral("RowOwner")));
            const qint64 invoiceOwner = intOf(rs->value(QStringLiteral("InvoiceOwner")));
            QString rule;
            if (rs->value(QStringLiteral("FoundKey")).isEmpty()) rule = QLatin1String(LockNoInvoice);
            else if (rs->value(QStringLiteral("Del")).isEmpty() || rs->value(QStringLiteral("Del")).toInt() != 0)
                rule = QLatin1String(LockDeletedInvoice);
            else rule = QLatin1String(LockOtherOwner);
            if (lock != g.lock || owner != g.owner || rule != g.rule) {
                flush();
                g.rule = rule;
                g.lock = lock;
                g.owner = owner;
                g.invoiceOwner = invoiceOwner;
                g.number = k.number(*rs, invoiceOwner, rs->value(QStringLiteral("Suffix")).toString());
            }
            g.keys.push_back(intOf(rs->value(QStringLiteral("RowKey"))));
        }
        flush();
    }

    // Live invoices without locked rows, and without their "Original" reason row.
    void invoiceRows(const InvoiceKind& k)
    {
        QString noRows = QStringLiteral("Not Exists (Select 1 From %1 P Where P.InvoiceID = I.%2)")
                             .arg(k.personnel ? QStringLiteral("PersonsPost") : QStringLiteral("ContractorPost"),
                                  k.invoiceKey);
        if (k.personnel)
            noRows += QStringLiteral(" And Not Exists (Select 1 From PersonsDebit D Where D.InvoiceID = I.%1)")
                          .arg(k.invoiceKey);
        const QString head = QStringLiteral("Select I.%1 as InvKey, I.%2 as Owner, I.InvoiceSuffix as Suffix, "
                                            "I.FirstDate as FirstDate, I.LastDate as LastDate, I.Amount as Amount%3 "
                                            "From %4 I%5 Where I.Del = 0 And ")
                                 .arg(k.invoiceKey, k.owner, k.numberColumns(QStringLiteral("I")), k.invoices,
                                      k.numberJoins(QStringLiteral("I")));
        const QString order = QStringLiteral(" Order By I.%1").arg(k.invoiceKey);
        const QString what = k.personnel ? QStringLiteral("postings or debits") : QStringLiteral("use postings");
        RecordsetPtr rs = query(m_db, head + noRows + order);
        for (; !rs->eof(); rs->moveNext()) {
            const qint64 key = intOf(rs->value(QStringLiteral("InvKey")));
            const qint64 owner = intOf(rs->value(QStringLiteral("Owner")));
            const QString number = k.number(*rs, owner, rs->value(QStringLiteral("Suffix")).toString());
            add(QLatin1String(InvoiceNoPostings), k.invoices, {key}, k.ownerText(owner), number,
                QStringLiteral("invoice %1 (%2 %3) of %4, %5 - %6, has no %7 locked to it")
                    .arg(number, k.invoices)
                    .arg(key)
                    .arg(k.ownerText(owner), dateText(rs->value(QStringLiteral("FirstDate"))),
                         dateText(rs->value(QStringLiteral("LastDate"))), what),
                QStringLiteral("it pays %1 for rows that no longer carry its key: the figure cannot be traced, "
                               "and the days it covered can be invoiced and paid again")
                    .arg(amountText(k, rs->value(QStringLiteral("Amount")))));
        }
        const QString noReason = QStringLiteral("Not Exists (Select 1 From %1 R Where R.%2 = I.%2 And R.Original = 1 "
                                                "And R.Reason = 'Original')")
                                     .arg(k.reasons, k.invoiceKey);
        rs = query(m_db, head + noReason + order);
        for (; !rs->eof(); rs->moveNext()) {
            const qint64 key = intOf(rs->value(QStringLiteral("InvKey")));
            const qint64 owner = intOf(rs->value(QStringLiteral("Owner")));
            const QString number = k.number(*rs, owner, rs->value(QStringLiteral("Suffix")).toString());
            add(QLatin1String(InvoiceNoOriginal), k.invoices, {key}, k.ownerText(owner), number,
                QStringLiteral("invoice %1 (%2 %3) of %4 has no %5 row with Original 1 and Reason \"Original\"")
                    .arg(number, k.invoices)
                    .arg(key)
                    .arg(k.ownerText(owner), k.reasons),
                QStringLiteral("nothing records that it was issued as an ORIGINAL: its copies are numbered from "
                               "nothing, and a payment office cannot tell it from a draft"));
        }
    }

    static QString amountText(const InvoiceKind& k, const Value& amount)
    {
        if (amount.isEmpty()) return QStringLiteral("nothing stored");
        return k.personnel ? QStringLiteral("%1 hours").arg(amount.toInt())
                           : QStringLiteral("$") + amount.toCurrency().toFixed(2, true);
    }

    // Two live invoices of one owner with one suffix; two live invoices of one
    // owner whose periods share a day.
    void pairs(const InvoiceKind& k)
    {
        const QString sql =
            QStringLiteral("Select I.%1 as InvKey, I.%2 as Owner, I.InvoiceSuffix as Suffix%3 From %4 I%5 "
                           "Where I.Del = 0 And Exists (Select 1 From %4 J Where J.Del = 0 And J.%2 = I.%2 "
                           "And J.InvoiceSuffix = I.InvoiceSuffix And J.%1 <> I.%1) "
                           "Order By I.%2, I.InvoiceSuffix, I.%1")
                .arg(k.invoiceKey, k.owner, k.numberColumns(QStringLiteral("I")), k.invoices,
                     k.numberJoins(QStringLiteral("I")));
        RecordsetPtr rs = query(m_db, sql);
        std::vector<qint64> keys;
        qint64 owner = 0;
        QString suffix, number;
        auto flush = [&] {
            if (keys.empty()) return;
            add(QLatin1String(DuplicateSuffix), k.invoices, keys, k.ownerText(owner), number,
                QStringLiteral("%1 live invoices of %2 are all %3 (%4 %5)")
                    .arg(keys.size())
                    .arg(k.ownerText(owner), number, k.invoices, keyList(keys)),
                QStringLiteral("one invoice number stands for %1 payments: one of them can be paid twice or "
                               "not at all")
                    .arg(keys.size()));
            keys.clear();
        };
        for (; !rs->eof(); rs->moveNext()) {
            const qint64 o = intOf(rs->value(QStringLiteral("Owner")));
            const QString s = rs->value(QStringLiteral("Suffix")).toString();
            if (o != owner || s != suffix) {
                flush();
                owner = o;
                suffix = s;
                number = k.number(*rs, o, s);
            }
            keys.push_back(intOf(rs->value(QStringLiteral("InvKey"))));
        }
        flush();

        // A period without a first day (an old personnel invoice) reaches back
        // to the beginning.
        const QString overlap =
            QStringLiteral("Select A.%1 as AKey, B.%1 as BKey, A.%2 as Owner, A.InvoiceSuffix as ASuffix, "
                           "B.InvoiceSuffix as BSuffix, A.FirstDate as AFirst, A.LastDate as ALast, "
                           "B.FirstDate as BFirst, B.LastDate as BLast%3 "
                           "From %4 A Inner Join %4 B On B.%2 = A.%2 And A.%1 < B.%1%5 "
                           "Where A.Del = 0 And B.Del = 0 And A.LastDate Is Not Null And B.LastDate Is Not Null "
                           "And (A.FirstDate Is Null Or A.FirstDate <= B.LastDate) "
                           "And (B.FirstDate Is Null Or B.FirstDate <= A.LastDate) "
                           "Order By A.%2, A.%1, B.%1")
                .arg(k.invoiceKey, k.owner, k.numberColumns(QStringLiteral("A")), k.invoices,
                     k.numberJoins(QStringLiteral("A")));
        rs = query(m_db, overlap);
        for (; !rs->eof(); rs->moveNext()) {
            const qint64 o = intOf(rs->value(QStringLiteral("Owner")));
            const QString a = k.number(*rs, o, rs->value(QStringLiteral("ASuffix")).toString());
            const QString b = k.number(*rs, o, rs->value(QStringLiteral("BSuffix")).toString());
            const qint64 aKey = intOf(rs->value(QStringLiteral("AKey")));
            const qint64 bKey = intOf(rs->value(QStringLiteral("BKey")));
            add(QLatin1String(OverlappingPeriods), k.invoices, {aKey, bKey}, k.ownerText(o), a + QStringLiteral(", ") + b,
                QStringLiteral("invoices %1 (%2 %3, %4 - %5) and %6 (key %7, %8 - %9) of %10 share days")
                    .arg(a, k.invoices)
                    .arg(aKey)
                    .arg(dateText(rs->value(QStringLiteral("AFirst"))), dateText(rs->value(QStringLiteral("ALast"))), b)
                    .arg(bKey)
                    .arg(dateText(rs->value(QStringLiteral("BFirst"))), dateText(rs->value(QStringLiteral("BLast"))),
                         k.ownerText(o)),
                QStringLiteral("the days both periods cover can be paid on both invoices"));
        }
    }

    // The stored OF-286 amount against its locked rows: per day and daily
    // guarantee, the greater of the posted amounts (primary plus secondary,
    // an empty amount counting 0) and the guarantee; less the adjustments
    // (positive = debit, negative = addition).
    void equipmentAmounts()
    {
        const QString sql = QStringLiteral(
            "Select I.EquipInvoiceID as InvKey, I.EquipmentID as Owner, I.InvoiceSuffix as Suffix, "
            "I.InvoiceNumber as EquipNumber, I.Amount as Amount, D.Total as Total, A.Adjust as Adjust "
            "From EquipInvoices I Inner Join "
            "(Select G.InvoiceID, G.EquipmentID, Sum(Case When G.Guar Is Null Then G.Posted "
            "When G.Posted > G.Guar Then G.Posted Else G.Guar End) as Total "
            "From (Select C.InvoiceID, C.EquipmentID, C.ActivityDT, C.GuarAmt as Guar, "
            "Sum(Coalesce(C.Amt, 0) + Coalesce(C.SAmt, 0)) as Posted From ContractorPost C "
            "Where C.InvoiceID <> 0 Group By C.InvoiceID, C.EquipmentID, C.ActivityDT, C.GuarAmt) G "
            "Group By G.InvoiceID, G.EquipmentID) D On D.InvoiceID = I.EquipInvoiceID And D.EquipmentID = I.EquipmentID "
            "Left Outer Join (Select InvoiceID, EquipmentID, Sum(Coalesce(Amt, 0)) as Adjust "
            "From ContractorAdjustments Where InvoiceID <> 0 Group By InvoiceID, EquipmentID) A "
            "On A.InvoiceID = I.EquipInvoiceID And A.EquipmentID = I.EquipmentID "
            "Where I.Del = 0 Order By I.EquipInvoiceID");
        RecordsetPtr rs = query(m_db, sql);
        for (; !rs->eof(); rs->moveNext()) {
            const Currency days = rs->value(QStringLiteral("Total")).toCurrency();
            const Currency adjust = rs->value(QStringLiteral("Adjust")).toCurrency();
            const Currency expected = days - adjust;
            const Value& storedValue = rs->value(QStringLiteral("Amount"));
            const Currency stored = storedValue.toCurrency();
            const Currency diff = stored - expected;
            if (!storedValue.isEmpty() && (diff < Currency::fromInt(0) ? -diff : diff) < Currency::fromRaw(100))
                continue;  // agrees to the cent
            const qint64 key = intOf(rs->value(QStringLiteral("InvKey")));
            const qint64 owner = intOf(rs->value(QStringLiteral("Owner")));
            const QString number = kEquipment.number(*rs, owner, rs->value(QStringLiteral("Suffix")).toString());
            const auto money = [](Currency c) {
                return (c < Currency() ? QStringLiteral("-$") : QStringLiteral("$")) + (c < Currency() ? -c : c).toFixed(2, true);
            };
            add(QLatin1String(EquipmentAmount), kEquipment.invoices, {key}, kEquipment.ownerText(owner), number,
                QStringLiteral("invoice %1 (EquipInvoices %2) of %3 stores %4; its use postings give %5 and its "
                               "adjustments %6, together %7")
                    .arg(number)
                    .arg(key)
                    .arg(kEquipment.ownerText(owner), amountText(kEquipment, storedValue), money(days),
                         money(-adjust), money(expected)),
                storedValue.isEmpty()
                    ? QStringLiteral("the invoice has no amount to pay")
                    : QStringLiteral("the contractor is paid %1 too %2")
                          .arg(money(diff < Currency() ? -diff : diff),
                               diff < Currency() ? QStringLiteral("little") : QStringLiteral("much")));
        }
    }

    // The stored OF-288 hours against the hours of its locked postings.
    void personnelAmounts()
    {
        const QString sql = QStringLiteral(
            "Select I.PersonsInvoiceID as InvKey, I.PersonID as Owner, I.InvoiceSuffix as Suffix, I.Amount as Amount, "
            "Sum(Coalesce(P.Hours, 0)) as Hours, NI.StartDate as IncStart, NI.IncidentNumber as IncNumber "
            "From PersonsInvoices I Inner Join PersonsPost P On P.InvoiceID = I.PersonsInvoiceID "
            "And P.PersonID = I.PersonID")
            + kPersonnel.numberJoins(QStringLiteral("I"))
            + QStringLiteral(" Where I.Del = 0 Group By I.PersonsInvoiceID, I.PersonID, I.InvoiceSuffix, I.Amount, "
                             "NI.StartDate, NI.IncidentNumber Order By I.PersonsInvoiceID");
        RecordsetPtr rs = query(m_db, sql);
        for (; !rs->eof(); rs->moveNext()) {
            const double hours = rs->value(QStringLiteral("Hours")).toDouble();
            const qint64 expected = roundHoursHalfEven(hours);
            const Value& storedValue = rs->value(QStringLiteral("Amount"));
            if (!storedValue.isEmpty() && storedValue.toDouble() == double(expected)) continue;
            const qint64 key = intOf(rs->value(QStringLiteral("InvKey")));
            const qint64 owner = intOf(rs->value(QStringLiteral("Owner")));
            const QString number = kPersonnel.number(*rs, owner, rs->value(QStringLiteral("Suffix")).toString());
            const double diff = storedValue.toDouble() - double(expected);
            add(QLatin1String(PersonnelAmount), kPersonnel.invoices, {key}, kPersonnel.ownerText(owner), number,
                QStringLiteral("invoice %1 (PersonsInvoices %2) of %3 stores %4; its postings hold %5 hours, %6 "
                               "rounded")
                    .arg(number)
                    .arg(key)
                    .arg(kPersonnel.ownerText(owner),
                         storedValue.isEmpty() ? QStringLiteral("no hours") : storedValue.toString() + QStringLiteral(" hours"),
                         Value(hours).toString())
                    .arg(expected),
                storedValue.isEmpty() ? QStringLiteral("the invoice states no hours to pay")
                                      : QStringLiteral("the person is paid for %1 %2 too %3")
                                            .arg(Value(std::fabs(diff)).toString(),
                                                 std::fabs(diff) == 1 ? QStringLiteral("hour") : QStringLiteral("hours"),
                                                 diff < 0 ? QStringLiteral("few") : QStringLiteral("many")));
        }
    }

    // Each counter of KeyCounters against its table's largest key.
    void keyCounters()
    {
        struct KeyTable { const char* table; const char* key; };
        static const KeyTable tables[] = {
            {"Incidents", "IncidentID"}, {"Resources", "ResourceID"}, {"AccountingCodes", "AccountingID"},
            {"Persons", "PersonID"}, {"PersonsPost", "PersonsPostID"}, {"PersonsDebit", "PersonsDebitID"},
            {"PersonsInvoices", "PersonsInvoiceID"}, {"PersonsInvoicesReason", "PersonsInvoicesReasonID"},
            {"AdminOffice", "AdminOfficeID"}, {"Contractor", "ContractorID"}, {"Agreement", "AgreementID"},
            {"Equipment", "EquipmentID"}, {"ContractorPost", "ContractorPostID"},
            {"ContractorAdjustments", "ContractorAdjustmentID"}, {"EquipInvoices", "EquipInvoiceID"},
            {"EquipInvoicesReason", "EquipInvoiceReasonID"}, {"EquipmentPost", "EquipmentPostID"},
            {"ContractorDebit", "ContractorDebitID"}, {"ReportRecords", "ReportRun"},
        };
        // The counters are the key procedure's own table; a database whose
        // procedure keeps them elsewhere has nothing to check here.
        const QString exists = m_db.engineKind() == EngineKind::Sqlite
                                   ? QStringLiteral("Select Count(*) From sqlite_schema Where type = 'table' "
                                                    "And name = 'KeyCounters' Collate NoCase")
                                   : QStringLiteral("Select Count(*) From INFORMATION_SCHEMA.TABLES "
                                                    "Where TABLE_NAME = 'KeyCounters'");
        if (intOf(query(m_db, exists)->value(0)) == 0) return;
        RecordsetPtr counters = query(m_db, QStringLiteral("Select TableName, LastNumber From KeyCounters Order By TableName"));
        for (; !counters->eof(); counters->moveNext()) {
            const QString name = counters->value(QStringLiteral("TableName")).toString().trimmed();
            const KeyTable* t = nullptr;
            for (const KeyTable& candidate : tables)
                if (name.compare(QLatin1String(candidate.table), Qt::CaseInsensitive) == 0) t = &candidate;
            if (!t) continue;
            const Value& lastValue = counters->value(QStringLiteral("LastNumber"));
            RecordsetPtr largest = query(m_db, QStringLiteral("Select Max(%1) as Largest From %2")
                                                   .arg(QLatin1String(t->key), QLatin1String(t->table)));
            if (largest->eof() || largest->value(0).isEmpty()) continue;
            const qint64 max = intOf(largest->value(0));
            if (!lastValue.isEmpty() && intOf(lastValue) >= max) continue;
            const qint64 last = intOf(lastValue);
            add(QLatin1String(KeyCounterBehind), QStringLiteral("KeyCounters"), {}, QString(), QString(),
                QStringLiteral("KeyCounters row %1 holds %2; the largest %3 of %1 is %4")
                    .arg(QLatin1String(t->table), lastValue.isEmpty() ? QStringLiteral("nothing") : QString::number(last),
                         QLatin1String(t->key))
                    .arg(max),
                QStringLiteral("the next key handed out (%1) is already taken: the next invoice, reason row or "
                               "run that takes it fails, or shares its key with an older row")
                    .arg(last + 1));
        }
    }

    void scratchRows()
    {
        RecordsetPtr rs = query(m_db, QStringLiteral("Select ReportRun, Count(*) as RunRows From ReportRecords "
                                                     "Group By ReportRun Order By ReportRun"));
        for (; !rs->eof(); rs->moveNext()) {
            const qint64 run = intOf(rs->value(QStringLiteral("ReportRun")));
            const qint64 rowCount = intOf(rs->value(QStringLiteral("RunRows")));
            add(QLatin1String(ScratchRows), QStringLiteral("ReportRecords"), {run}, QString(), QString(),
                QStringLiteral("ReportRecords run %1 holds %2").arg(run).arg(rowCount == 1 ? QStringLiteral("1 row")
                                                                                       : QStringLiteral("%1 rows").arg(rowCount)),
                QStringLiteral("left by a work/rest or excess-hours run that did not finish: no payment is "
                               "computed from them, but they hold persons' hours outside any report"));
        }
    }

    // Stored date text that SQLite cannot compare as a date: every period,
    // lock and total that tests the column passes the row by. A date that
    // names no real day (6/31) is moved by date arithmetic ('+0 days' gives
    // 7/1), so it is not its own normal form either.
    void dates()
    {
        struct DateColumn { const char* table; const char* key; const char* column; bool dateTime; };
        static const DateColumn columns[] = {
            {"Incidents", "IncidentID", "StartDate", false},
            {"Resources", "ResourceID", "AssignDate", false},
            {"Resources", "ResourceID", "ReleaseDate", false},
            {"Resources", "ResourceID", "ReleaseTime", true},
            {"PersonsPost", "PersonsPostID", "ActivityDT", false},
            {"PersonsPost", "PersonsPostID", "StartTime", true},
            {"PersonsPost", "PersonsPostID", "StopTime", true},
            {"PersonsDebit", "PersonsDebitID", "ActivityDT", false},
            {"PersonsInvoices", "PersonsInvoiceID", "FirstDate", false},
            {"PersonsInvoices", "PersonsInvoiceID", "LastDate", false},
            {"Agreement", "AgreementID", "BeginDt", false},
            {"Agreement", "AgreementID", "ExpDt", false},
            {"ContractorPost", "ContractorPostID", "ActivityDT", false},
            {"ContractorAdjustments", "ContractorAdjustmentID", "ActivityDT", false},
            {"EquipInvoices", "EquipInvoiceID", "FirstDate", false},
            {"EquipInvoices", "EquipInvoiceID", "LastDate", false},
            {"EquipmentPost", "EquipmentPostID", "ActivityDT", false},
        };
        // One pass over each table, whatever number of date columns it has.
        for (size_t first = 0; first < std::size(columns);) {
            size_t last = first;
            while (last < std::size(columns) && std::strcmp(columns[last].table, columns[first].table) == 0) ++last;
            const QString table = QLatin1String(columns[first].table);
            const QString key = QLatin1String(columns[first].key);
            QStringList fields, tests;
            for (size_t i = first; i < last; ++i) {
                const QString col = QLatin1String(columns[i].column);
                QString test = QStringLiteral("(%1 Is Not Null And Coalesce(date(%1, '+0 days'), '') <> %1").arg(col);
                if (columns[i].dateTime)
                    test += QStringLiteral(" And Coalesce(datetime(%1, '+0 days'), '') <> %1").arg(col);
                test += QLatin1Char(')');
                fields << QStringLiteral("Case When %1 Then quote(%2) End as Bad%3").arg(test, col).arg(i - first);
                tests << test;
            }
            RecordsetPtr rs = query(m_db, QStringLiteral("Select %1 as RowKey, %2 From %3 Where %4 Order By %1")
                                              .arg(key, fields.join(QStringLiteral(", ")), table,
                                                   tests.join(QStringLiteral(" Or "))));
            for (; !rs->eof(); rs->moveNext()) {
                const qint64 rowKey = intOf(rs->value(QStringLiteral("RowKey")));
                for (size_t i = first; i < last; ++i) {
                    const Value& stored = rs->value(QStringLiteral("Bad%1").arg(i - first));
                    if (stored.isNull()) continue;
                    add(QLatin1String(BadDate), table, {rowKey}, QString(), QString(),
                        QStringLiteral("%1 %2: %3 holds %4, which is not a %5")
                            .arg(table)
                            .arg(rowKey)
                            .arg(QLatin1String(columns[i].column), stored.toString(),
                                 columns[i].dateTime ? QStringLiteral("date and time") : QStringLiteral("date")),
                        QStringLiteral("the row falls outside every date range: invoice periods, their totals and "
                                       "their locks pass it by, and reports that read it may fail"));
                }
            }
            first = last;
        }
    }

    void integrity()
    {
        RecordsetPtr rs = query(m_db, QStringLiteral("PRAGMA integrity_check"));
        for (; !rs->eof(); rs->moveNext()) {
            const QString message = rs->value(0).toString();
            if (message == QLatin1String("ok")) continue;
            add(QLatin1String(Integrity), QString(), {}, QString(), QString(),
                QStringLiteral("SQLite integrity check: %1").arg(message),
                QStringLiteral("the file is damaged: queries may miss or misread rows, so totals and locks cannot "
                               "be trusted; restore a backup before paying from it"));
        }
    }

private:
    Connection& m_db;
    AuditResult& m_out;
};

// Keeps the audit from writing. On SQLite the connection refuses every change
// while it runs, and its reads share one deferred transaction (one snapshot
// of the file that takes no write lock), rolled back at the end. Over ODBC
// the audit runs queries only.
class ReadOnlyScope {
public:
    explicit ReadOnlyScope(Connection& db) : m_db(db), m_sqlite(db.engineKind() == EngineKind::Sqlite)
    {
        if (!m_sqlite) return;
        m_db.execute(QStringLiteral("PRAGMA query_only = 1"));
        m_db.execute(QStringLiteral("Begin Transaction"));
    }
    ~ReadOnlyScope()
    {
        if (!m_sqlite) return;
        try {
            m_db.execute(QStringLiteral("Rollback Transaction"));
            m_db.execute(QStringLiteral("PRAGMA query_only = 0"));
        } catch (...) {
        }
    }

private:
    Connection& m_db;
    bool m_sqlite;
};

}  // namespace

const std::vector<AuditRule>& auditRules()
{
    static const std::vector<AuditRule> rules = {
        {QLatin1String(Integrity), QStringLiteral("The database file is damaged")},
        {QLatin1String(LockNoInvoice), QStringLiteral("Rows locked to an invoice that does not exist")},
        {QLatin1String(LockDeletedInvoice), QStringLiteral("Rows locked to a deleted invoice")},
        {QLatin1String(LockOtherOwner), QStringLiteral("Rows locked to another person's or equipment's invoice")},
        {QLatin1String(InvoiceNoPostings), QStringLiteral("Live invoices without postings")},
        {QLatin1String(InvoiceNoOriginal), QStringLiteral("Live invoices without their \"Original\" reason row")},
        {QLatin1String(DuplicateSuffix), QStringLiteral("Live invoices sharing one suffix")},
        {QLatin1String(OverlappingPeriods), QStringLiteral("Live invoices with overlapping periods")},
        {QLatin1String(EquipmentAmount), QStringLiteral("OF-286 amounts that differ from their postings")},
        {QLatin1String(PersonnelAmount), QStringLiteral("OF-288 hours that differ from their postings")},
        {QLatin1String(KeyCounterBehind), QStringLiteral("Key counters behind their table's largest key")},
        {QLatin1String(ScratchRows), QStringLiteral("Scratch rows left in ReportRecords")},
        {QLatin1String(BadDate), QStringLiteral("Dates that are not dates")},
    };
    return rules;
}

QString auditRuleTitle(const QString& id)
{
    for (const AuditRule& r : auditRules())
        if (r.id == id) return r.title;
    return id;
}

int AuditResult::count(const QString& rule) const
{
    int n = 0;
    for (const AuditFinding& f : findings) n += f.rule == rule ? 1 : 0;
    return n;
}

qint64 roundHoursHalfEven(double hours)
{
    const double down = std::floor(hours);
    const double rest = hours - down;
    if (rest > 0.5) return qint64(down) + 1;
    if (rest < 0.5) return qint64(down);
    return qint64(down) % 2 == 0 ? qint64(down) : qint64(down) + 1;
}

AuditResult runAudit(Connection& db)
{
    AuditResult result;
    const bool sqlite = db.engineKind() == EngineKind::Sqlite;
    result.engine = sqlite ? QStringLiteral("SQLite") : QStringLiteral("ODBC");
    ReadOnlyScope readOnly(db);
    Auditor a(db, result);
    if (sqlite) a.integrity();
    for (const LockedTable& t : kLockedTables) a.locks(t);
    for (const InvoiceKind* k : {&kPersonnel, &kEquipment}) a.invoiceRows(*k);
    for (const InvoiceKind* k : {&kPersonnel, &kEquipment}) a.pairs(*k);
    a.equipmentAmounts();
    a.personnelAmounts();
    a.keyCounters();
    a.scratchRows();
    if (sqlite) a.dates();
    // Findings in rule order, each rule's in the order they were found.
    std::map<QString, int> order;
    for (size_t i = 0; i < auditRules().size(); ++i) order[auditRules()[i].id] = int(i);
    std::stable_sort(result.findings.begin(), result.findings.end(),
                     [&](const AuditFinding& x, const AuditFinding& y) { return order[x.rule] < order[y.rule]; });
    return result;
}

QString findingLine(const AuditFinding& f)
{
    return f.rule + QStringLiteral(": ") + f.rows + QStringLiteral(": ") + f.meaning;
}

QJsonObject auditJson(const AuditResult& result)
{
    QJsonObject counts;
    for (const AuditRule& r : auditRules()) counts.insert(r.id, result.count(r.id));
    QJsonArray findings;
    for (const AuditFinding& f : result.findings) {
        QJsonArray keys;
        for (qint64 k : f.keys) keys.append(double(k));
        findings.append(QJsonObject{{QStringLiteral("rule"), f.rule},
                                    {QStringLiteral("title"), auditRuleTitle(f.rule)},
                                    {QStringLiteral("table"), f.table},
                                    {QStringLiteral("keys"), keys},
                                    {QStringLiteral("owner"), f.owner},
                                    {QStringLiteral("invoice"), f.invoice},
                                    {QStringLiteral("rows"), f.rows},
                                    {QStringLiteral("meaning"), f.meaning}});
    }
    return QJsonObject{{QStringLiteral("engine"), result.engine},
                       {QStringLiteral("clean"), result.findings.empty()},
                       {QStringLiteral("counts"), counts},
                       {QStringLiteral("findings"), findings}};
}

}  // namespace quillon
