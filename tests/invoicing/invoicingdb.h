#pragma once
// A small incident database in a temporary folder for the personnel invoice
// tests: one incident (CA-ABC-000123, started 7/1/2005), a crew of persons and
// helpers to add postings, debits and invoices and to read rows back; an App
// over it with scripted dialogs and a printer that keeps PDF files.

#include "data/connection.h"
#include "data/sqltext.h"
#include "printers.h"
#include "reports/printing/printer.h"
#include "shell/app.h"
#include "ui/dialogs.h"

#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

namespace invtest {

using namespace quillon;

constexpr int Incident = 1;
constexpr int Crew = 10;
constexpr int OtherCrew = 11;

class InvoicingDb {
public:
    InvoicingDb()
    {
        m_path = m_dir.filePath(QStringLiteral("incidents.db"));
        Connection::createEmbeddedDatabase(m_path);
        db.openEmbedded(m_path);
        printer = std::make_shared<reports::FolderPrinter>(m_dir.filePath(QStringLiteral("printed")));
        app = std::make_unique<App>(dialogs, printer);
        app->attachConnection(db);
        app->state.SelectedIncidentId = Incident;
        exec("INSERT INTO Incidents VALUES (1, 'Ridge Fire', 'CA-ABC-000123', '2005-07-01', 'Ridge', 'CA')");
        exec("INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) VALUES"
             " (10, 1, 'Hotshots A', 'C-12', 1), (11, 1, 'Hotshots B', 'C-5', 1)");
        exec("INSERT INTO AccountingCodes VALUES (1, 'P5ABC1', 1), (2, 'P5ABC2', 1), (3, 'P5ABC3', 1)");
    }

    void exec(const QString& sql) { db.execute(sql); }

    void addPerson(int personId, int resourceId = Crew, const char* status = "A", const char* kind = "FFT2",
                   double rate = 25.5, int accounting = 1)
    {
        exec(QStringLiteral("INSERT INTO Persons (PersonID, ResourceID, FirstName, LastName, PStatus, KindCode, Rate, "
                            "AccountingID) VALUES (%1, %2, 'First%1', 'Last%1', %3, '%4', %5, %6)")
                 .arg(personId).arg(resourceId)
                 .arg(status ? sqlString(QString::fromUtf8(status)) : QStringLiteral("NULL"))
                 .arg(QString::fromUtf8(kind)).arg(rate).arg(accounting));
    }

    // A posting from 06:00 for `hours`; `start` orders postings of one day.
    int addPosting(int personId, const QDate& day, double hours, const char* kind = "FFT2", double rate = 25.5,
                   QString accounting = QStringLiteral("1"), QString invoiceId = QStringLiteral("0"), int startHour = 6)
    {
        const int id = std::max(++m_lastPost, one(QStringLiteral("Select max(PersonsPostID) + 1 from PersonsPost")).toInt());
        m_lastPost = id;
        exec(QStringLiteral("INSERT INTO PersonsPost (PersonsPostID, PersonID, ActivityDT, StartTime, Hours, KindCode, Rate, "
                            "AccountingID, FinalCol, InvoiceID) VALUES (%1, %2, '%3', '1899-12-30 %4:00:00', %5, '%6', %7, %8, 0, %9)")
                 .arg(id).arg(personId).arg(day.toString(Qt::ISODate))
                 .arg(startHour, 2, 10, QLatin1Char('0')).arg(hours)
                 .arg(QString::fromUtf8(kind)).arg(rate).arg(accounting, invoiceId));
        return id;
    }

    int addDebit(int personId, const QDate& day, double amount, QString invoiceId = QStringLiteral("0"))
    {
        const int id = ++m_lastDebit;
        exec(QStringLiteral("INSERT INTO PersonsDebit VALUES (%1, %2, '%3', %4, 'Boots', %5)")
                 .arg(id).arg(personId).arg(day.toString(Qt::ISODate)).arg(amount).arg(invoiceId));
        return id;
    }

    void addInvoice(int invoiceId, int personId, const QDate& first, const QDate& last, const char* suffix,
                    int original = 1, int amount = 40, bool deleted = false)
    {
        exec(QStringLiteral("INSERT INTO PersonsInvoices VALUES (%1, %2, '%3', '%4', '%5', %6, %7, %8)")
                 .arg(invoiceId).arg(personId).arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate))
                 .arg(QString::fromUtf8(suffix)).arg(original).arg(amount).arg(deleted ? 1 : 0));
    }

    // The rows of a query, one text per row: fields joined by "|", Null as NULL.
    QStringList rows(const QString& sql)
    {
        QStringList out;
        RecordsetPtr rs = db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs->fieldCount(); ++i)
                fields << (rs->value(i).isNull() ? QStringLiteral("NULL") : rs->value(i).toString());
            out << fields.join(QLatin1Char('|'));
        }
        return out;
    }
    QString one(const QString& sql)
    {
        const QStringList r = rows(sql);
        return r.isEmpty() ? QStringLiteral("<none>") : r.front();
    }
    qint64 count(const QString& table) { return one(QStringLiteral("Select count(*) from ") + table).toLongLong(); }

    // Makes every later write of `table` that matches `when` fail, as a
    // database error part-way through an operation would.
    void failWrites(const QString& table, const QString& when, const QString& event = QStringLiteral("UPDATE"))
    {
        exec(QStringLiteral("CREATE TRIGGER injected_failure BEFORE %1 ON %2 WHEN %3 BEGIN SELECT RAISE(ABORT, "
                            "'injected failure'); END").arg(event, table, when));
    }

private:
    QTemporaryDir m_dir;

public:
    Connection db;
    ScriptedDialogs dialogs;
    std::shared_ptr<reports::FolderPrinter> printer;
    std::unique_ptr<App> app;

private:
    QString m_path;
    int m_lastPost = 1000;
    int m_lastDebit = 0;
};

inline QDate d(int month, int day) { return QDate(2005, month, day); }

}  // namespace invtest
