#pragma once
// A small incident database for the personnel invoice tests: incident 1
// (CA-ABC-000123, started 7/1/2005), crews 10 and 11, helpers to add persons,
// postings, debits and invoices and to read rows back; an App over it with
// scripted dialogs and a printer that keeps PDF files.

#include "data/connection.h"
#include "printers.h"
#include "reports/printing/printer.h"
#include "shell/app.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "test_connection.h"

namespace invtest {

using namespace quillon;

constexpr int Crew = 10;
constexpr int OtherCrew = 11;

inline QDate d(int month, int day) { return QDate(2005, month, day); }

class InvoicingDb {
    QTemporaryDir m_dir;

public:
    Connection db;
    ScriptedDialogs dialogs;
    std::shared_ptr<reports::FolderPrinter> printer =
        std::make_shared<reports::FolderPrinter>(m_dir.filePath(QStringLiteral("printed")));
    std::unique_ptr<App> app = std::make_unique<App>(dialogs, printer);

    InvoicingDb()
    {
        Connection::createEmbeddedDatabase(m_dir.filePath(QStringLiteral("incidents.db")));
        openTestDatabase(db, m_dir.filePath(QStringLiteral("incidents.db")));
        app->attachConnection(db);
        app->state.SelectedIncidentId = 1;
        exec("INSERT INTO Incidents VALUES (1, 'Ridge Fire', 'CA-ABC-000123', '2005-07-01', 'Ridge', 'CA')");
        exec("INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) VALUES"
             " (10, 1, 'Hotshots A', 'C-12', 1), (11, 1, 'Hotshots B', 'C-5', 1)");
        exec("INSERT INTO AccountingCodes VALUES (1, 'P5ABC1', 1), (2, 'P5ABC2', 1), (3, 'P5ABC3', 1)");
    }

    void exec(const QString& sql) { db.execute(sql); }
    QString path() const { return m_dir.filePath(QStringLiteral("incidents.db")); }

    void addPerson(int id, int resource = Crew, QString status = "'A'", QString kind = "FFT1", double rate = 30)
    {
        exec(QString("INSERT INTO Persons (PersonID, ResourceID, FirstName, LastName, PStatus, KindCode, Rate, AccountingID)"
                     " VALUES (%1, %2, 'First%1', 'Last%1', %3, '%4', %5, 2)").arg(id).arg(resource).arg(status, kind).arg(rate));
    }
    // A posting starting at `hour`; accounting code and InvoiceID as SQL text ("NULL" allowed).
    void addPosting(int person, const QDate& day, double hours, QString kind = "FFT2", double rate = 25.5,
                    QString accounting = "1", QString invoice = "0", int hour = 6)
    {
        exec(QString("INSERT INTO PersonsPost (PersonsPostID, PersonID, ActivityDT, StartTime, Hours, KindCode, Rate, "
                     "AccountingID, InvoiceID) VALUES ((Select coalesce(max(PersonsPostID), 1000) + 1 from PersonsPost), "
                     "%1, '%2', '1899-12-30 %3:00:00', %4, '%5', %6, %7, %8)")
                 .arg(person).arg(day.toString(Qt::ISODate)).arg(hour, 2, 10, QChar('0')).arg(hours)
                 .arg(kind).arg(rate).arg(accounting, invoice));
    }
    void addDebit(int person, const QDate& day, double amount, QString invoice = "0")
    {
        exec(QString("INSERT INTO PersonsDebit (PersonID, ActivityDT, Amt, Description, InvoiceID) VALUES (%1, '%2', %3, "
                     "'Boots', %4)").arg(person).arg(day.toString(Qt::ISODate)).arg(amount).arg(invoice));
    }
    void addInvoice(int id, int person, const QDate& first, const QDate& last, QString suffix, int original = 1,
                    int amount = 40, bool deleted = false)
    {
        exec(QString("INSERT INTO PersonsInvoices VALUES (%1, %2, '%3', '%4', '%5', %6, %7, %8)").arg(id).arg(person)
                 .arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate), suffix).arg(original).arg(amount)
                 .arg(deleted ? 1 : 0));
    }

    // The rows of a query, fields joined by "|", Null as NULL.
    QStringList rows(const QString& sql)
    {
        QStringList out;
        RecordsetPtr rs = db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs->fieldCount(); ++i) fields << (rs->value(i).isNull() ? "NULL" : rs->value(i).toString());
            out << fields.join('|');
        }
        return out;
    }
    QString one(const QString& sql) { return rows(sql).value(0, "<none>"); }
    int count(const QString& table) { return one("Select count(*) from " + table).toInt(); }

    // Every later write of `table` matching `when` fails, as a database error
    // part-way through an operation would.
    void failWrites(const QString& table, const QString& when, const QString& event = "UPDATE")
    {
        exec(QString("CREATE TRIGGER injected_failure BEFORE %1 ON %2 WHEN %3 BEGIN SELECT RAISE(ABORT, 'injected'); END")
                 .arg(event, table, when));
    }
};

}  // namespace invtest
