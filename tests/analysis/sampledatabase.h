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
#include <vector>
#include "test_connection.h"

namespace analysistest {

// Incident 3 "Limit Test": day totals around the 16 and 32 hour limits,
// without stop times. Incident 4 "Shift Test": shifts, night shifts and
// breaks. Three persons share the name "Sam Same", one of them in incident 4.
//   incident 3: C-77 Ada Limitone 9001, Ben Limittwo 9002; C-12 Sam Same 9003;
//               C-2 Sam Same 9004
//   incident 4: C-88 Cal Shiftone 9101, Dee Shifttwo 9102, Sam Same 9103
inline const char* const kHandMadeRows[] = {
    "INSERT INTO Incidents VALUES (3, 'Limit Test', 'CA-LIM-000003', '2026-10-01', 'Here', 'CA'),"
    " (4, 'Shift Test', 'CA-SHF-000004', '2026-09-01', 'There', 'CA')",
    "INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection, KindCode, AssignDate) VALUES"
    " (9000, 3, 'Limit Crew', 'C-77', 1, 'CRW1', '2026-10-01'), (9010, 3, 'Same Crew', 'C-12', 1, 'CRW1', '2026-10-01'),"
    " (9020, 3, 'Other Same Crew', 'C-2', 1, 'CRW1', '2026-10-01'),"
    " (9100, 4, 'Shift Crew', 'C-88', 1, 'CRW1', '2026-09-01')",
    "INSERT INTO Persons (PersonID, ResourceID, FirstName, LastName) VALUES"
    " (9001, 9000, 'Ada', 'Limitone'), (9002, 9000, 'Ben', 'Limittwo'), (9003, 9010, 'Sam', 'Same'),"
    " (9004, 9020, 'Sam', 'Same'), (9101, 9100, 'Cal', 'Shiftone'), (9102, 9100, 'Dee', 'Shifttwo'),"
    " (9103, 9100, 'Sam', 'Same')",
};

struct HandMadePosting {
    int person;
    const char* date;
    const char* start;
    const char* stop;   // nullptr: no stop time
    double hours;       // below 0: no hours
    const char* kind;
};

inline const std::vector<HandMadePosting>& handMadePostings()
{
    static const std::vector<HandMadePosting> rows = {
        // 16 exactly; 16.5 in two postings; two kinds of 10; 17 after a day off.
        {9001, "2026-10-02", "04:00", nullptr, 16.0, "FFT1"},
        {9001, "2026-10-03", "04:00", nullptr, 8.0, "FFT1"},
        {9001, "2026-10-03", "12:00", nullptr, 8.5, "FFT1"},
        {9001, "2026-10-04", "02:00", nullptr, 10.0, "FFT1"},
        {9001, "2026-10-04", "12:00", nullptr, 10.0, "SQDB"},
        {9001, "2026-10-06", "04:00", nullptr, 17.0, "FFT1"},
        // 16 and 16: exactly 32; 33 in a day days later.
        {9002, "2026-10-02", "04:00", nullptr, 16.0, "FFT2"},
        {9002, "2026-10-03", "04:00", nullptr, 16.0, "FFT2"},
        {9002, "2026-10-09", "00:00", nullptr, 33.0, "FFT2"},
        // Over the turn of the year and of a month.
        {9003, "2026-12-31", "04:00", nullptr, 17.0, "FFT2"},
        {9003, "2027-01-01", "04:00", nullptr, 16.0, "FFT2"},
        {9004, "2026-10-31", "04:00", nullptr, 17.0, "FFT1"},
        {9004, "2026-11-01", "04:00", nullptr, 16.0, "FFT1"},
        // Shifts: joined by 30 minutes; 00:00-06:30 and the next day's 05:30
        // are two days apart; a night shift broken at midnight by 45
        // minutes, and one broken by 90; one posting running past midnight;
        // an open posting inside a shift; night shifts over the turn of a
        // month and of the year.
        {9101, "2026-09-01", "06:00", "12:00", 6.0, "KA"},
        {9101, "2026-09-01", "12:30", "19:00", 6.5, "KB"},
        {9101, "2026-09-02", "00:00", "06:30", 6.5, "KA"},
        {9101, "2026-09-03", "05:30", "12:00", 6.5, "KA"},
        {9101, "2026-09-04", "20:00", "23:45", 3.75, "KN"},
        {9101, "2026-09-05", "00:30", "09:00", 8.5, "KN"},
        {9101, "2026-09-06", "18:00", "23:00", 5.0, "KN"},
        {9101, "2026-09-07", "00:30", "07:00", 6.5, "KN"},
        {9101, "2026-09-08", "18:00", "07:00", 13.0, "KN"},
        {9101, "2026-09-10", "06:00", "12:00", 6.0, "KA"},
        {9101, "2026-09-10", "12:10", nullptr, -1, "KX"},
        {9101, "2026-09-10", "12:30", "19:00", 6.5, "KD"},
        {9101, "2026-09-30", "19:00", "23:30", 4.5, "KN"},
        {9101, "2026-10-01", "00:15", "08:30", 8.25, "KN"},
        {9101, "2026-12-31", "17:00", "23:30", 6.5, "KN"},
        {9101, "2027-01-01", "00:00", "06:00", 6.0, "KN"},
        // Exactly the standard of 12; 13; 18 in a day.
        {9102, "2026-09-01", "05:00", "17:00", 12.0, "KA"},
        {9102, "2026-09-02", "05:00", "18:00", 13.0, "KE"},
        {9102, "2026-10-05", "04:00", "22:00", 18.0, "KE"},
        {9103, "2026-09-01", "06:00", "19:00", 13.0, "KA"},
    };
    return rows;
}

inline QString handMadePostingSql(const HandMadePosting& p)
{
    const auto time = [](const char* t) {
        return t ? QStringLiteral("'1899-12-30 %1:00'").arg(QLatin1String(t)) : QStringLiteral("NULL");
    };
    return QStringLiteral("INSERT INTO PersonsPost (PersonID, ActivityDT, StartTime, StopTime, Hours, KindCode, "
                          "InvoiceID) VALUES (%1, '%2', %3, %4, %5, '%6', 0)")
        .arg(p.person)
        .arg(QLatin1String(p.date), time(p.start), time(p.stop),
             p.hours < 0 ? QStringLiteral("NULL") : QString::number(p.hours), QLatin1String(p.kind));
}

class SampleDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        quillon::demo::createDemoDatabase(dir->filePath(QStringLiteral("sample.db")));
        quillon::Connection db;
        db.openEmbedded(dir->filePath(QStringLiteral("sample.db")));
        for (const char* sql : kHandMadeRows) db.execute(QString::fromUtf8(sql));
        for (const HandMadePosting& p : handMadePostings()) db.execute(handMadePostingSql(p));
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
