#include "data/demo/damaged_database.h"

#include "data/demo/sqlite_file.h"

#include <QDate>
#include <QRegularExpression>

#include <cmath>
#include <string>
#include <vector>

namespace quillon::demo {

namespace {

std::string utf8(const QString& s) { return s.toStdString(); }

QString iso(const QDate& d) { return d.toString(Qt::ISODate); }

class Damager {
public:
    explicit Damager(SqliteFile& db) : m_db(db) {}

    std::vector<std::int64_t> ids(std::string_view sql, int n)
    {
        std::vector<std::int64_t> out;
        SqliteStatement st = m_db.prepare(sql);
        st.bind(1, n);
        while (st.step()) out.push_back(st.columnInt(0));
        if (int(out.size()) < n) throw DbError(ErrorNumber::Generic, QStringLiteral("the sample is too small to damage"));
        return out;
    }

    // First and last posting day of a person or a piece of equipment.
    std::pair<QDate, QDate> days(std::string_view table, std::string_view owner, std::int64_t id)
    {
        SqliteStatement st = m_db.prepare("SELECT min(ActivityDT), max(ActivityDT) FROM " + std::string(table) + " WHERE "
                                          + std::string(owner) + " = ?1 AND ActivityDT IS NOT NULL");
        st.bind(1, id);
        st.step();
        return {QDate::fromString(st.columnText(0), Qt::ISODate), QDate::fromString(st.columnText(1), Qt::ISODate)};
    }

    std::int64_t nextKey(std::string_view table, std::string_view key)
    {
        return m_db.scalarInt("SELECT coalesce(max(" + std::string(key) + "), 0) + 1 FROM " + std::string(table));
    }

    // An ORIGINAL OF-288 as issuance writes it: the invoice, its "Original"
    // reason row, its postings and debits of the period locked, and the
    // hours of what it locked, halves rounded to even.
    std::int64_t issuePerson(std::int64_t person, const QDate& first, const QDate& last, const char* suffix)
    {
        const std::int64_t key = nextKey("PersonsInvoices", "PersonsInvoiceID");
        m_db.prepare("INSERT INTO PersonsInvoices (PersonsInvoiceID, PersonID, FirstDate, LastDate, InvoiceSuffix, "
                     "Original, Amount, Del) VALUES (?1, ?2, ?3, ?4, ?5, 1, 0, 0)")
            .bind(1, key).bind(2, person).bind(3, utf8(iso(first))).bind(4, utf8(iso(last))).bind(5, suffix).run();
        m_db.prepare("INSERT INTO PersonsInvoicesReason (PersonsInvoicesReasonID, PersonsInvoiceID, Original, Reason) "
                     "VALUES (?1, ?2, 1, 'Original')")
            .bind(1, nextKey("PersonsInvoicesReason", "PersonsInvoicesReasonID")).bind(2, key).run();
        for (const char* table : {"PersonsPost", "PersonsDebit"})
            m_db.prepare("UPDATE " + std::string(table) + " SET InvoiceID = ?1 WHERE PersonID = ?2 AND ActivityDT "
                         "BETWEEN ?3 AND ?4 AND coalesce(InvoiceID, 0) = 0")
                .bind(1, key).bind(2, person).bind(3, utf8(iso(first))).bind(4, utf8(iso(last))).run();
        return key;
    }

    // An ORIGINAL OF-286: the invoice, its reason row, the use postings and
    // adjustments of the period locked.
    std::int64_t issueEquipment(std::int64_t equipment, const QDate& first, const QDate& last, const char* suffix)
    {
        const std::int64_t key = nextKey("EquipInvoices", "EquipInvoiceID");
        SqliteStatement number = m_db.prepare(
            "SELECT strftime('%Y', i.StartDate) || '-' || i.IncidentNumber || '-' || substr('000000' || e.EquipmentID, -6) "
            "FROM Equipment e JOIN Resources r ON r.ResourceID = e.ResourceID JOIN Incidents i ON i.IncidentID = r.IncidentID "
            "WHERE e.EquipmentID = ?1");
        number.bind(1, equipment);
        number.step();
        const QString invoiceNumber = number.columnText(0);
        m_db.prepare("INSERT INTO EquipInvoices (EquipInvoiceID, EquipmentID, FirstDate, LastDate, InvoiceNumber, "
                     "InvoiceSuffix, Amount, Del) VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, 0)")
            .bind(1, key).bind(2, equipment).bind(3, utf8(iso(first))).bind(4, utf8(iso(last)))
            .bind(5, invoiceNumber).bind(6, suffix).run();
        m_db.prepare("INSERT INTO EquipInvoicesReason (EquipInvoiceReasonID, EquipInvoiceID, Original, Reason) "
                     "VALUES (?1, ?2, 1, 'Original')")
            .bind(1, nextKey("EquipInvoicesReason", "EquipInvoiceReasonID")).bind(2, key).run();
        for (const char* table : {"ContractorPost", "ContractorAdjustments"})
            m_db.prepare("UPDATE " + std::string(table) + " SET InvoiceID = ?1 WHERE EquipmentID = ?2 AND ActivityDT "
                         "BETWEEN ?3 AND ?4")
                .bind(1, key).bind(2, equipment).bind(3, utf8(iso(first))).bind(4, utf8(iso(last))).run();
        return key;
    }

    // Every invoice's amount from the rows locked to it: hours rounded half
    // to even; per day and guarantee the greater of the posted amounts and
    // the guarantee, less the adjustments.
    void settleAmounts()
    {
        SqliteStatement hours = m_db.prepare(
            "SELECT i.PersonsInvoiceID, total(p.Hours) FROM PersonsInvoices i "
            "JOIN PersonsPost p ON p.InvoiceID = i.PersonsInvoiceID AND p.PersonID = i.PersonID GROUP BY i.PersonsInvoiceID");
        std::vector<std::pair<std::int64_t, double>> personnel;
        while (hours.step()) personnel.emplace_back(hours.columnInt(0), hours.columnDouble(1));
        for (const auto& [key, h] : personnel)
            m_db.prepare("UPDATE PersonsInvoices SET Amount = ?1 WHERE PersonsInvoiceID = ?2")
                .bind(1, std::int64_t(std::nearbyint(h))).bind(2, key).run();
        m_db.exec("UPDATE EquipInvoices SET Amount = round("
                  "(SELECT total(CASE WHEN g.Guar IS NULL OR g.Posted > g.Guar THEN g.Posted ELSE g.Guar END) FROM "
                  "  (SELECT c.ActivityDT, c.GuarAmt AS Guar, total(coalesce(c.Amt, 0) + coalesce(c.SAmt, 0)) AS Posted "
                  "   FROM ContractorPost c WHERE c.InvoiceID = EquipInvoices.EquipInvoiceID "
                  "   AND c.EquipmentID = EquipInvoices.EquipmentID GROUP BY c.ActivityDT, c.GuarAmt) g) "
                  "- (SELECT total(a.Amt) FROM ContractorAdjustments a WHERE a.InvoiceID = EquipInvoices.EquipInvoiceID "
                  "   AND a.EquipmentID = EquipInvoices.EquipmentID), 2)");
    }

    void run()
    {
        // Persons and equipment with a full fortnight of postings, each used once.
        const std::vector<std::int64_t> p = ids(
            "SELECT PersonID FROM Persons p WHERE (SELECT count(DISTINCT ActivityDT) FROM PersonsPost "
            "WHERE PersonID = p.PersonID) >= 10 ORDER BY PersonID LIMIT ?1", 9);
        const std::vector<std::int64_t> e = ids(
            "SELECT EquipmentID FROM Equipment e WHERE (SELECT count(DISTINCT ActivityDT) FROM ContractorPost "
            "WHERE EquipmentID = e.EquipmentID) >= 10 ORDER BY EquipmentID LIMIT ?1", 5);
        auto personDays = [&](int i) { return days("PersonsPost", "PersonID", p[size_t(i)]); };
        auto equipmentDays = [&](int i) { return days("ContractorPost", "EquipmentID", e[size_t(i)]); };

        // Sound invoices first: one per person and equipment used below.
        std::vector<std::int64_t> personInvoice, equipmentInvoice;
        for (int i = 0; i < 7; ++i) {
            const auto [first, last] = personDays(i);
            personInvoice.push_back(issuePerson(p[size_t(i)], first, first.addDays(6), "A"));
        }
        for (int i = 0; i < 4; ++i) {
            const auto [first, last] = equipmentDays(i);
            equipmentInvoice.push_back(issueEquipment(e[size_t(i)], first, first.addDays(6), "A"));
        }
        // Two live invoices with one suffix: the second week also "A".
        {
            const auto [first, last] = personDays(5);
            issuePerson(p[5], first.addDays(7), last, "A");
        }
        // Two live invoices over the same days: "B" reaches back into "A".
        {
            const auto [first, last] = equipmentDays(3);
            issueEquipment(e[3], first.addDays(4), last, "B");
        }
        settleAmounts();

        // A posting locked to an invoice key that was never written.
        m_db.prepare("UPDATE PersonsPost SET InvoiceID = ?1 WHERE PersonsPostID = (SELECT max(PersonsPostID) "
                     "FROM PersonsPost WHERE PersonID = ?2 AND coalesce(InvoiceID, 0) = 0)")
            .bind(1, nextKey("PersonsInvoices", "PersonsInvoiceID") + 1000).bind(2, p[0]).run();
        // A deletion that stopped after marking the invoice: its rows stay locked.
        m_db.prepare("INSERT INTO PersonsInvoicesReason (PersonsInvoicesReasonID, PersonsInvoiceID, Original, Reason) "
                     "VALUES (?1, ?2, -1, 'Wrong crew')")
            .bind(1, nextKey("PersonsInvoicesReason", "PersonsInvoicesReasonID")).bind(2, personInvoice[1]).run();
        m_db.prepare("UPDATE PersonsInvoices SET Del = 1 WHERE PersonsInvoiceID = ?1").bind(1, personInvoice[1]).run();
        // A use posting of the fifth piece locked to the first piece's invoice.
        m_db.prepare("UPDATE ContractorPost SET InvoiceID = ?1 WHERE ContractorPostID = (SELECT min(ContractorPostID) "
                     "FROM ContractorPost WHERE EquipmentID = ?2)")
            .bind(1, equipmentInvoice[0]).bind(2, e[4]).run();
        // An invoice whose postings were never locked (the run stopped after the insert).
        for (const char* table : {"PersonsPost", "PersonsDebit"})
            m_db.prepare("UPDATE " + std::string(table) + " SET InvoiceID = 0 WHERE InvoiceID = ?1")
                .bind(1, personInvoice[2]).run();
        // An invoice without its "Original" reason row.
        m_db.prepare("DELETE FROM PersonsInvoicesReason WHERE PersonsInvoiceID = ?1").bind(1, personInvoice[3]).run();
        // Stored amounts that disagree with the postings.
        m_db.prepare("UPDATE EquipInvoices SET Amount = Amount - 125.5 WHERE EquipInvoiceID = ?1")
            .bind(1, equipmentInvoice[1]).run();
        m_db.prepare("UPDATE PersonsInvoices SET Amount = Amount + 3 WHERE PersonsInvoiceID = ?1")
            .bind(1, personInvoice[4]).run();
        // A key counter left behind the invoices written by other means.
        m_db.exec("INSERT INTO KeyCounters (TableName, LastNumber) VALUES ('EquipInvoices', 1)");
        // Rows of a work/rest run that never cleaned up.
        m_db.prepare("INSERT INTO ReportRecords (ReportRun, IncidentID, PersonID, KindCode, RequestNumber, ActivityDT, "
                     "TotalDayHrs, ExcessHrs, HR20in24, HR36in48) SELECT 9001, r.IncidentID, p.PersonID, p.KindCode, "
                     "r.RequestNumber, '2026-07-10', 17, 0, 1, 0 FROM Persons p JOIN Resources r ON r.ResourceID = "
                     "p.ResourceID WHERE p.PersonID = ?1")
            .bind(1, p[6]).run();
        // A date that is not a date.
        m_db.prepare("UPDATE PersonsPost SET ActivityDT = '2026-06-31' WHERE PersonsPostID = (SELECT min(PersonsPostID) "
                     "FROM PersonsPost WHERE PersonID = ?1)")
            .bind(1, p[7]).run();
        m_notNullRow = QStringLiteral("PersonsPostID = (SELECT min(PersonsPostID) FROM PersonsPost WHERE PersonID = %1)")
                           .arg(p[8]);
    }

    QString notNullRow() const { return m_notNullRow; }

private:
    SqliteFile& m_db;
    QString m_notNullRow;
};

}  // namespace

void damageDatabase(const QString& path)
{
    QString row;
    {
        SqliteFile db(path, SqliteFile::Mode::ReadWrite);
        db.exec("BEGIN");
        Damager damager(db);
        damager.run();
        db.exec("COMMIT");
        row = damager.notNullRow();
        db.close();
    }
    breakNotNull(path, QStringLiteral("PersonsPost"), QStringLiteral("FinalCol"), row);
}

void breakNotNull(const QString& path, const QString& table, const QString& column, const QString& where)
{
    // The stored definition with the column's NOT NULL taken out.
    QString original;
    {
        SqliteFile db(path, SqliteFile::Mode::ReadWrite);
        SqliteStatement st = db.prepare("SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1");
        st.bind(1, table);
        if (!st.step()) throw DbError(ErrorNumber::Generic, QStringLiteral("no table %1").arg(table));
        original = st.columnText(0);
    }
    const int at = original.indexOf(QRegularExpression(QStringLiteral("\\b%1\\b[^,]*NOT NULL").arg(column)));
    if (at < 0) throw DbError(ErrorNumber::Generic, QStringLiteral("%1.%2 is not NOT NULL").arg(table, column));
    QString lifted = original;
    lifted.replace(original.indexOf(QStringLiteral("NOT NULL"), at), 8, QStringLiteral("NULL"));
    auto setDefinition = [&](const QString& sql) {
        SqliteFile db(path, SqliteFile::Mode::ReadWrite);
        db.exec("PRAGMA writable_schema = ON");
        db.prepare("UPDATE sqlite_schema SET sql = ?1 WHERE type = 'table' AND name = ?2").bind(1, sql).bind(2, table).run();
        db.exec("PRAGMA writable_schema = OFF");
        db.close();
    };
    setDefinition(lifted);
    {
        SqliteFile db(path, SqliteFile::Mode::ReadWrite);
        db.exec(utf8(QStringLiteral("UPDATE %1 SET %2 = NULL WHERE %3").arg(table, column, where)));
        db.close();
    }
    setDefinition(original);
}

}  // namespace quillon::demo
