// Speed of the database audit over a large sample, side by side with the
// same rules written as plain SQL and run by the sqlite3 command line.
//
//   bench_audit [database-file] [--scale N] [--rounds N]
//
// Without a file it builds a temporary sample at scale 100 (about 20,000
// persons and 720,000 time postings) with the damage of demo-db --damaged
// added, so that every rule has something to report; a named file that does
// not exist yet is built the same way and kept. Measured alternately, best of
// the rounds:
//   audit (Connection)  opening the file and runAudit: every rule through the
//                       data layer, findings formatted;
//   plain SQL (sqlite3) the same queries in SQLite's own dialect, run by
//                       `sqlite3 FILE < script` with the output thrown away
//                       (OF-288 hours compared with round(), which rounds
//                       halves up where the audit rounds them to even: the
//                       same work).
// The ratio is audit time / plain SQL time.

#include "audit/audit.h"
#include "data/connection.h"
#include "data/demo/damaged_database.h"
#include "data/demo/demo_database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

using namespace quillon;

namespace {

QString plainSql()
{
    QString sql = QStringLiteral("PRAGMA integrity_check;\n");
    struct Lock { const char* table; const char* key; const char* owner; const char* invoices; const char* invoiceKey; };
    const Lock locks[] = {
        {"PersonsPost", "PersonsPostID", "PersonID", "PersonsInvoices", "PersonsInvoiceID"},
        {"PersonsDebit", "PersonsDebitID", "PersonID", "PersonsInvoices", "PersonsInvoiceID"},
        {"ContractorPost", "ContractorPostID", "EquipmentID", "EquipInvoices", "EquipInvoiceID"},
        {"ContractorAdjustments", "ContractorAdjustmentID", "EquipmentID", "EquipInvoices", "EquipInvoiceID"},
    };
    for (const Lock& l : locks)
        sql += QStringLiteral("SELECT T.%1, T.%2, T.InvoiceID, I.%3, I.%2, I.Del, I.InvoiceSuffix FROM %4 T "
                              "LEFT JOIN %5 I ON I.%3 = T.InvoiceID WHERE T.InvoiceID <> 0 AND (I.%3 IS NULL OR "
                              "I.Del IS NULL OR I.Del <> 0 OR I.%2 IS NULL OR T.%2 IS NULL OR I.%2 <> T.%2) "
                              "ORDER BY T.InvoiceID, T.%2, T.%1;\n")
                   .arg(QLatin1String(l.key), QLatin1String(l.owner), QLatin1String(l.invoiceKey),
                        QLatin1String(l.table), QLatin1String(l.invoices));
    const char* person = " LEFT JOIN Persons NP ON NP.PersonID = I.PersonID LEFT JOIN Resources NR ON "
                         "NR.ResourceID = NP.ResourceID LEFT JOIN Incidents NI ON NI.IncidentID = NR.IncidentID";
    sql += QStringLiteral("SELECT I.*, NI.StartDate, NI.IncidentNumber FROM PersonsInvoices I%1 WHERE I.Del = 0 AND NOT "
                          "EXISTS (SELECT 1 FROM PersonsPost P WHERE P.InvoiceID = I.PersonsInvoiceID) AND NOT EXISTS "
                          "(SELECT 1 FROM PersonsDebit D WHERE D.InvoiceID = I.PersonsInvoiceID);\n").arg(QLatin1String(person));
    sql += QStringLiteral("SELECT I.* FROM EquipInvoices I WHERE I.Del = 0 AND NOT EXISTS (SELECT 1 FROM ContractorPost P "
                          "WHERE P.InvoiceID = I.EquipInvoiceID);\n");
    sql += QStringLiteral("SELECT I.*, NI.StartDate, NI.IncidentNumber FROM PersonsInvoices I%1 WHERE I.Del = 0 AND NOT "
                          "EXISTS (SELECT 1 FROM PersonsInvoicesReason R WHERE R.PersonsInvoiceID = I.PersonsInvoiceID "
                          "AND R.Original = 1 AND R.Reason = 'Original');\n").arg(QLatin1String(person));
    sql += QStringLiteral("SELECT I.* FROM EquipInvoices I WHERE I.Del = 0 AND NOT EXISTS (SELECT 1 FROM EquipInvoicesReason "
                          "R WHERE R.EquipInvoiceID = I.EquipInvoiceID AND R.Original = 1 AND R.Reason = 'Original');\n");
    for (const auto& [table, key, owner] : {std::tuple{"PersonsInvoices", "PersonsInvoiceID", "PersonID"},
                                            std::tuple{"EquipInvoices", "EquipInvoiceID", "EquipmentID"}}) {
        sql += QStringLiteral("SELECT I.* FROM %1 I WHERE I.Del = 0 AND EXISTS (SELECT 1 FROM %1 J WHERE J.Del = 0 AND "
                              "J.%3 = I.%3 AND J.InvoiceSuffix = I.InvoiceSuffix AND J.%2 <> I.%2) "
                              "ORDER BY I.%3, I.InvoiceSuffix, I.%2;\n")
                   .arg(QLatin1String(table), QLatin1String(key), QLatin1String(owner));
        sql += QStringLiteral("SELECT A.%2, B.%2 FROM %1 A JOIN %1 B ON B.%3 = A.%3 AND A.%2 < B.%2 WHERE A.Del = 0 "
                              "AND B.Del = 0 AND A.LastDate IS NOT NULL AND B.LastDate IS NOT NULL AND (A.FirstDate IS "
                              "NULL OR A.FirstDate <= B.LastDate) AND (B.FirstDate IS NULL OR B.FirstDate <= A.LastDate);\n")
                   .arg(QLatin1String(table), QLatin1String(key), QLatin1String(owner));
    }
    sql += QStringLiteral(
        "SELECT I.EquipInvoiceID, I.Amount, D.Total - coalesce(A.Adjust, 0) FROM EquipInvoices I JOIN "
        "(SELECT InvoiceID, EquipmentID, sum(CASE WHEN Guar IS NULL OR Posted > Guar THEN Posted ELSE Guar END) AS Total "
        "FROM (SELECT InvoiceID, EquipmentID, ActivityDT, GuarAmt AS Guar, sum(coalesce(Amt, 0) + coalesce(SAmt, 0)) AS Posted "
        "FROM ContractorPost WHERE InvoiceID <> 0 GROUP BY InvoiceID, EquipmentID, ActivityDT, GuarAmt) "
        "GROUP BY InvoiceID, EquipmentID) D ON D.InvoiceID = I.EquipInvoiceID AND D.EquipmentID = I.EquipmentID "
        "LEFT JOIN (SELECT InvoiceID, EquipmentID, sum(coalesce(Amt, 0)) AS Adjust FROM ContractorAdjustments "
        "WHERE InvoiceID <> 0 GROUP BY InvoiceID, EquipmentID) A ON A.InvoiceID = I.EquipInvoiceID "
        "AND A.EquipmentID = I.EquipmentID WHERE I.Del = 0 AND abs(I.Amount - (D.Total - coalesce(A.Adjust, 0))) >= 0.01;\n");
    sql += QStringLiteral("SELECT I.PersonsInvoiceID, I.Amount, sum(coalesce(P.Hours, 0)) AS Hours FROM PersonsInvoices I "
                          "JOIN PersonsPost P ON P.InvoiceID = I.PersonsInvoiceID AND P.PersonID = I.PersonID%1 "
                          "WHERE I.Del = 0 GROUP BY I.PersonsInvoiceID HAVING I.Amount IS NOT round(Hours);\n")
               .arg(QLatin1String(person));
    sql += QStringLiteral("SELECT K.TableName, K.LastNumber FROM KeyCounters K;\n"
                          "SELECT max(PersonsInvoiceID) FROM PersonsInvoices; SELECT max(EquipInvoiceID) FROM EquipInvoices;\n"
                          "SELECT ReportRun, count(*) FROM ReportRecords GROUP BY ReportRun;\n");
    struct DateColumn { const char* table; const char* key; const char* column; bool dateTime; };
    const DateColumn dates[] = {
        {"Incidents", "IncidentID", "StartDate", false}, {"Resources", "ResourceID", "AssignDate", false},
        {"Resources", "ResourceID", "ReleaseDate", false}, {"Resources", "ResourceID", "ReleaseTime", true},
        {"PersonsPost", "PersonsPostID", "ActivityDT", false}, {"PersonsPost", "PersonsPostID", "StartTime", true},
        {"PersonsPost", "PersonsPostID", "StopTime", true}, {"PersonsDebit", "PersonsDebitID", "ActivityDT", false},
        {"PersonsInvoices", "PersonsInvoiceID", "FirstDate", false}, {"PersonsInvoices", "PersonsInvoiceID", "LastDate", false},
        {"Agreement", "AgreementID", "BeginDt", false}, {"Agreement", "AgreementID", "ExpDt", false},
        {"ContractorPost", "ContractorPostID", "ActivityDT", false},
        {"ContractorAdjustments", "ContractorAdjustmentID", "ActivityDT", false},
        {"EquipInvoices", "EquipInvoiceID", "FirstDate", false}, {"EquipInvoices", "EquipInvoiceID", "LastDate", false},
        {"EquipmentPost", "EquipmentPostID", "ActivityDT", false},
    };
    for (size_t first = 0; first < std::size(dates);) {
        size_t last = first;
        while (last < std::size(dates) && std::strcmp(dates[last].table, dates[first].table) == 0) ++last;
        QStringList fields, tests;
        for (size_t i = first; i < last; ++i) {
            QString test = QStringLiteral("(%1 IS NOT NULL AND coalesce(date(%1, '+0 days'), '') <> %1")
                               .arg(QLatin1String(dates[i].column));
            if (dates[i].dateTime)
                test += QStringLiteral(" AND coalesce(datetime(%1, '+0 days'), '') <> %1").arg(QLatin1String(dates[i].column));
            test += QLatin1Char(')');
            fields << QStringLiteral("CASE WHEN %1 THEN quote(%2) END").arg(test, QLatin1String(dates[i].column));
            tests << test;
        }
        sql += QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 ORDER BY %1;\n")
                   .arg(QLatin1String(dates[first].key), fields.join(QStringLiteral(", ")),
                        QLatin1String(dates[first].table), tests.join(QStringLiteral(" OR ")));
        first = last;
    }
    return sql;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int scale = 100, rounds = 3;
    QString path;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--scale") && i + 1 < args.size()) scale = args[++i].toInt();
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size()) rounds = args[++i].toInt();
        else path = args[i];
    }
    QTemporaryDir dir;
    if (path.isEmpty()) path = dir.filePath(QStringLiteral("sample.db"));
    if (!QFile::exists(path)) {
        QElapsedTimer t;
        t.start();
        demo::createDemoDatabase(path, {scale, demo::DemoOptions::DefaultSeed});
        demo::damageDatabase(path);
        std::printf("sample at scale %d with damage written in %.1f s\n", scale, t.elapsed() / 1000.0);
    }
    const QString script = dir.filePath(QStringLiteral("rules.sql"));
    {
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        f.write(plainSql().toUtf8());
    }

    double bestAudit = 1e18, bestPlain = 1e18;
    size_t findings = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        {
            Connection db;
            db.openEmbedded(path);
            findings = runAudit(db).findings.size();
        }
        bestAudit = std::min(bestAudit, t.nsecsElapsed() / 1e6);

        QProcess sqlite;
        sqlite.setStandardInputFile(script);
        sqlite.setStandardOutputFile(QProcess::nullDevice());
        t.restart();
        sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), path});
        sqlite.waitForFinished(-1);
        bestPlain = std::min(bestPlain, t.nsecsElapsed() / 1e6);
        if (sqlite.exitCode() != 0) {
            std::fprintf(stderr, "sqlite3 failed: %s\n", sqlite.readAllStandardError().constData());
            return 1;
        }
    }
    std::printf("audit (Connection)   %9.1f ms  (%zu findings)\n", bestAudit, findings);
    std::printf("plain SQL (sqlite3)  %9.1f ms\n", bestPlain);
    std::printf("ratio                %9.2f\n", bestAudit / bestPlain);
    return 0;
}
