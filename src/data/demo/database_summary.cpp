#include "data/demo/database_summary.h"

#include "data/demo/sqlite_file.h"

#include <QLocale>
#include <QTextStream>

#include <cstdint>
#include <map>
#include <string_view>

namespace quillon::demo {

namespace {

struct IncidentFigures {
    QString name;
    QString number;
    QString state;
    QString startDate;
    std::int64_t resources = 0;
    std::int64_t crews = 0;
    std::int64_t equipmentResources = 0;
    std::int64_t persons = 0;
    std::int64_t postings = 0;
    double hours = 0;
    std::int64_t openPostings = 0;
    std::int64_t debits = 0;
    std::int64_t personInvoices = 0;
    std::int64_t equipmentInvoices = 0;
    std::int64_t contractors = 0;
    std::int64_t equipment = 0;
    std::int64_t usePostings = 0;
    std::int64_t adjustments = 0;
};

QString count(std::int64_t n)
{
    return QLocale(QLocale::English).toString(qlonglong(n));
}

// Runs a query whose rows start with an IncidentID and hands each row to `take`
// together with that incident's figures (rows of unknown incidents are skipped).
template <typename Take>
void perIncident(SqliteFile& db, std::map<std::int64_t, IncidentFigures>& incidents, std::string_view sql, Take take)
{
    SqliteStatement query = db.prepare(sql);
    while (query.step()) {
        const auto it = incidents.find(query.columnInt(0));
        if (it != incidents.end()) take(it->second, query);
    }
}

}  // namespace

QString summarizeDatabase(const QString& path)
{
    SqliteFile db(path, SqliteFile::Mode::ReadOnly);
    std::map<std::int64_t, IncidentFigures> incidents;
    {
        SqliteStatement query = db.prepare(
            "SELECT IncidentID, IncidentName, IncidentNumber, IncidentState, StartDate FROM Incidents "
            "ORDER BY IncidentID");
        while (query.step()) {
            IncidentFigures& f = incidents[query.columnInt(0)];
            f.name = query.columnText(1);
            f.number = query.columnText(2);
            f.state = query.columnText(3);
            f.startDate = query.columnText(4);
        }
    }

    perIncident(db, incidents,
                "SELECT IncidentID, COUNT(*), TOTAL(Collection = 1), TOTAL(substr(RequestNumber, 1, 1) = 'E') "
                "FROM Resources GROUP BY IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) {
                    f.resources = q.columnInt(1);
                    f.crews = q.columnInt(2);
                    f.equipmentResources = q.columnInt(3);
                });
    perIncident(db, incidents,
                "SELECT R.IncidentID, COUNT(*) FROM Persons P INNER JOIN Resources R ON P.ResourceID = R.ResourceID "
                "GROUP BY R.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.persons = q.columnInt(1); });
    // A posting belongs to the incident of its accounting code.
    perIncident(db, incidents,
                "SELECT AC.IncidentID, COUNT(*), TOTAL(PP.Hours), TOTAL(PP.StopTime IS NULL AND PP.FinalCol = 0) "
                "FROM PersonsPost PP INNER JOIN AccountingCodes AC ON PP.AccountingID = AC.AccountingID "
                "GROUP BY AC.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) {
                    f.postings = q.columnInt(1);
                    f.hours = q.columnDouble(2);
                    f.openPostings = q.columnInt(3);
                });
    perIncident(db, incidents,
                "SELECT R.IncidentID, COUNT(*) FROM PersonsDebit D INNER JOIN Persons P ON D.PersonID = P.PersonID "
                "INNER JOIN Resources R ON P.ResourceID = R.ResourceID GROUP BY R.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.debits = q.columnInt(1); });
    perIncident(db, incidents,
                "SELECT R.IncidentID, COUNT(*) FROM PersonsInvoices I INNER JOIN Persons P ON I.PersonID = P.PersonID "
                "INNER JOIN Resources R ON P.ResourceID = R.ResourceID WHERE I.Del = 0 GROUP BY R.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.personInvoices = q.columnInt(1); });
    perIncident(db, incidents,
                "SELECT R.IncidentID, COUNT(*) FROM EquipInvoices I INNER JOIN Equipment E ON I.EquipmentID = "
                "E.EquipmentID INNER JOIN Resources R ON E.ResourceID = R.ResourceID WHERE I.Del = 0 "
                "GROUP BY R.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.equipmentInvoices = q.columnInt(1); });
    perIncident(db, incidents, "SELECT IncidentID, COUNT(*) FROM Contractor GROUP BY IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.contractors = q.columnInt(1); });
    perIncident(db, incidents,
                "SELECT R.IncidentID, COUNT(*) FROM Equipment E INNER JOIN Resources R ON E.ResourceID = R.ResourceID "
                "GROUP BY R.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.equipment = q.columnInt(1); });
    perIncident(db, incidents,
                "SELECT AC.IncidentID, COUNT(*) FROM ContractorPost CP INNER JOIN AccountingCodes AC "
                "ON CP.AccountingID = AC.AccountingID GROUP BY AC.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.usePostings = q.columnInt(1); });
    perIncident(db, incidents,
                "SELECT R.IncidentID, COUNT(*) FROM ContractorAdjustments A INNER JOIN Equipment E "
                "ON A.EquipmentID = E.EquipmentID INNER JOIN Resources R ON E.ResourceID = R.ResourceID "
                "GROUP BY R.IncidentID",
                [](IncidentFigures& f, SqliteStatement& q) { f.adjustments = q.columnInt(1); });

    // Postings that reach no incident cannot appear on any incident's reports.
    const std::int64_t strayPostings = db.scalarInt(
        "SELECT COUNT(*) FROM PersonsPost WHERE AccountingID IS NULL OR AccountingID NOT IN "
        "(SELECT AccountingID FROM AccountingCodes)");

    QString text;
    QTextStream out(&text);
    out << path << ": " << incidents.size() << (incidents.size() == 1 ? " incident" : " incidents") << "\n";
    const QLocale english(QLocale::English);
    for (const auto& [id, f] : incidents) {
        out << "\nIncident " << id << ": " << f.name << ", " << f.number;
        if (!f.state.isEmpty()) out << " (" << f.state << ")";
        if (!f.startDate.isEmpty()) out << ", started " << f.startDate;
        out << "\n";
        auto line = [&out](const char* label, const QString& value) {
            out << "  " << QString::fromLatin1(label).leftJustified(20) << value << "\n";
        };
        line("resources", QStringLiteral("%1 (%2 crews, %3 equipment)")
                              .arg(count(f.resources), count(f.crews), count(f.equipmentResources)));
        line("persons", count(f.persons));
        line("time postings", QStringLiteral("%1 (%2 hours, %3 without stop time)")
                                  .arg(count(f.postings), english.toString(f.hours, 'f', 2), count(f.openPostings)));
        line("commissary debits", count(f.debits));
        line("invoices", QStringLiteral("%1 personnel, %2 equipment")
                             .arg(count(f.personInvoices), count(f.equipmentInvoices)));
        line("contractors", count(f.contractors));
        line("equipment", QStringLiteral("%1 (%2 use postings, %3 adjustments)")
                              .arg(count(f.equipment), count(f.usePostings), count(f.adjustments)));
    }
    if (strayPostings > 0)
        out << "\n" << count(strayPostings) << " time postings carry no accounting code of an incident.\n";
    return text;
}

}  // namespace quillon::demo
