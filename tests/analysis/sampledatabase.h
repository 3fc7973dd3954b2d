#pragma once
// A copy of the sample database for each test, with two small incidents of
// hand-made postings added (3: work/rest limits, 4: shifts), and an App over
// it with scripted dialogs, a folder printer and the program's templates.
#include "printers.h"

#include "data/demo/demo_database.h"
#include "shell/app.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include "test_connection.h"

namespace analysistest {

// Incident 3 (request number C-77): day totals around the 16 and 32 hour
// limits. Incident 4 (request number C-88): shifts of two persons.
inline const char* const kHandMadePostings[] = {
    "INSERT INTO Incidents VALUES (3, 'Limit Test', 'CA-LIM-000003', '2026-10-01', 'Here', 'CA'),"
    " (4, 'Shift Test', 'CA-SHF-000004', '2026-09-01', 'There', 'CA')",
    "INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection, KindCode, AssignDate) VALUES"
    " (9000, 3, 'Limit Crew', 'C-77', 1, 'CRW1', '2026-10-01'), (9100, 4, 'Shift Crew', 'C-88', 1, 'CRW1', '2026-09-01')",
    "INSERT INTO Persons (PersonID, ResourceID, FirstName, LastName) VALUES"
    " (9001, 9000, 'Ada', 'Limitone'), (9002, 9000, 'Ben', 'Limittwo'),"
    " (9101, 9100, 'Cal', 'Shiftone'), (9102, 9100, 'Dee', 'Shifttwo')",
    // 10/2 16.0; 10/3 16.5; 10/4 two kinds of 10; 10/5 17 | next person 10/2 16.0; 10/3 16.25; 10/9 33
    "INSERT INTO PersonsPost (PersonID, ActivityDT, StartTime, StopTime, Hours, KindCode, InvoiceID) VALUES"
    " (9001, '2026-10-02', '1899-12-30 04:00:00', '1899-12-30 20:00:00', 16.0, 'FFT1', 0),"
    " (9001, '2026-10-03', '1899-12-30 04:00:00', '1899-12-30 12:00:00', 8.0, 'FFT1', 0),"
    " (9001, '2026-10-03', '1899-12-30 12:00:00', '1899-12-30 20:30:00', 8.5, 'FFT1', 0),"
    " (9001, '2026-10-04', '1899-12-30 02:00:00', '1899-12-30 12:00:00', 10.0, 'FFT1', 0),"
    " (9001, '2026-10-04', '1899-12-30 12:00:00', '1899-12-30 22:00:00', 10.0, 'SQDB', 0),"
    " (9001, '2026-10-05', '1899-12-30 04:00:00', '1899-12-30 21:00:00', 17.0, 'FFT1', 0),"
    " (9002, '2026-10-02', '1899-12-30 04:00:00', '1899-12-30 20:00:00', 16.0, 'FFT2', 0),"
    " (9002, '2026-10-03', '1899-12-30 04:00:00', '1899-12-30 20:15:00', 16.25, 'FFT2', 0),"
    " (9002, '2026-10-09', '1899-12-30 00:00:00', '1899-12-30 09:00:00', 33.0, 'FFT2', 0)",
    // 9/1 joined by a 30 minute gap; 9/2 split by 61 minutes; 9/3 joined by
    // exactly 60; 9/4 with an open posting between | 9/1 exactly 12; 9/2 13.
    "INSERT INTO PersonsPost (PersonID, ActivityDT, StartTime, StopTime, Hours, KindCode, InvoiceID) VALUES"
    " (9101, '2026-09-01', '1899-12-30 06:00:00', '1899-12-30 12:00:00', 6.0, 'KA', 0),"
    " (9101, '2026-09-01', '1899-12-30 12:30:00', '1899-12-30 19:00:00', 6.5, 'KB', 0),"
    " (9101, '2026-09-02', '1899-12-30 06:00:00', '1899-12-30 12:00:00', 6.0, 'KA', 0),"
    " (9101, '2026-09-02', '1899-12-30 13:01:00', '1899-12-30 19:30:00', 6.5, 'KA', 0),"
    " (9101, '2026-09-03', '1899-12-30 06:00:00', '1899-12-30 12:00:00', 6.0, 'KA', 0),"
    " (9101, '2026-09-03', '1899-12-30 13:00:00', '1899-12-30 19:30:00', 6.5, 'KC', 0),"
    " (9101, '2026-09-04', '1899-12-30 06:00:00', '1899-12-30 12:00:00', 6.0, 'KA', 0),"
    " (9101, '2026-09-04', '1899-12-30 12:10:00', NULL, NULL, 'KX', 0),"
    " (9101, '2026-09-04', '1899-12-30 12:30:00', '1899-12-30 19:00:00', 6.5, 'KD', 0),"
    " (9102, '2026-09-01', '1899-12-30 05:00:00', '1899-12-30 17:00:00', 12.0, 'KA', 0),"
    " (9102, '2026-09-02', '1899-12-30 05:00:00', '1899-12-30 18:00:00', 13.0, 'KE', 0)",
};

class SampleDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        quillon::demo::createDemoDatabase(dir->filePath(QStringLiteral("sample.db")));
        quillon::Connection db;
        db.openEmbedded(dir->filePath(QStringLiteral("sample.db")));
        for (const char* sql : kHandMadePostings) db.execute(QString::fromUtf8(sql));
        db.close();
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    // The program's report templates.
    static QString templateDir() { return QStringLiteral(QUILLON_SOURCE_DIR "/templates"); }

    void SetUp() override
    {
        qputenv("QUILLON_TEMPLATE_DIR", templateDir().toLocal8Bit());
        work = std::make_unique<QTemporaryDir>();
        const QString path = work->filePath(QStringLiteral("incidents.db"));
        ASSERT_TRUE(QFile::copy(dir->filePath(QStringLiteral("sample.db")), path));
        openTestDatabase(db, path);
        printer = std::make_shared<quillon::reports::FolderPrinter>(work->filePath(QStringLiteral("jobs")));
        app = std::make_unique<quillon::App>(dialogs, printer);
        app->attachConnection(db);
        app->state.DatabaseKind = quillon::DbKind::SqlServer;
        app->state.SelectedIncidentId = 3;
    }
    void TearDown() override
    {
        app.reset();
        db.close();
        qunsetenv("QUILLON_TEMPLATE_DIR");
    }

    double scalar(const QString& sql) { return db.openRecordset(sql)->value(0).toDouble(); }
    int scratchRows() { return int(scalar(QStringLiteral("Select count(*) from ReportRecords"))); }
    // The message boxes shown so far, without their answers.
    QStringList messages() const { return dialogs.log().filter(QRegularExpression(QStringLiteral("^MESSAGE "))); }

    static QTemporaryDir* dir;
    std::unique_ptr<QTemporaryDir> work;
    quillon::Connection db;
    quillon::ScriptedDialogs dialogs;
    std::shared_ptr<quillon::reports::FolderPrinter> printer;
    std::unique_ptr<quillon::App> app;
};

inline QTemporaryDir* SampleDatabase::dir = nullptr;

}  // namespace analysistest
