#pragma once
// A small incident database for the roster windows, templates of the tests'
// own for the three reports, and a printer that keeps, for every printed job,
// the SQL and fax numbers of the report it printed.
//
// Incident 1 (accounting code 1) and incident 2 (accounting code 2). Crews
// Alpha Crew C-12 and Zulu Crew C-5 and the single resource O-3 in incident 1,
// Other Crew C-1 in incident 2. Persons with postings on 7/10/2026:
//   Ann Able, Bob Baker  USFS  5415550100   (Alpha Crew)
//   Cy Cole              USFS  5415550199   (Zulu Crew)
//   Dee Dunn             BLM   5415550100   (O-3: the same number, another agency)
//   Hal Hart             BLM   2085550111   (Zulu Crew)
//   Eve Eng              USFS  541555010    (nine characters: never shown)
//   Fay Ford             USFS  5415550177   (employment code AD: never shown)
//   Gus Gray             USFS  5415550188   (incident 2)

#include "data/connection.h"
#include "reports/printing/printer.h"
#include "shell/app.h"
#include "ui/dialogs.h"

#include "printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace rosters_test {

using namespace quillon;

struct PrintedJob {
    QString sql;
    QStringList rowFaxNumbers;  // faxphone of every row the report held
};

// Prints nothing; remembers what the shared state held for each job.
class RecordingPrinter : public reports::Printer {
public:
    void printPdf(const QByteArray& pdf, const QString&) override
    {
        ASSERT_TRUE(pdf.startsWith("%PDF"));
        PrintedJob job;
        job.sql = app->state.MainSql;
        const RecordsetPtr& rows = app->state.MainDataSet;
        const int fax = rows->fieldIndex(QStringLiteral("faxphone"));
        for (int r = 0; fax >= 0 && r < rows->recordCount(); ++r) job.rowFaxNumbers << rows->at(r, fax).toString();
        jobs.push_back(job);
    }
    QString description() const override { return QStringLiteral("recording printer"); }

    App* app = nullptr;
    std::vector<PrintedJob> jobs;
};

inline void writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

class RostersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Runs a script over the roster windows (open and state ManageIncidentsAsOne
    // besides the runner's own commands); fails the test when it stops.
    void run(const QString& script);
    // Points the report builder at a folder without templates.
    void useEmptyTemplateFolder();
    static QString databasePath() { return dir->filePath(QStringLiteral("rosters.db")); }
    static QString templateFolder() { return dir->filePath(QStringLiteral("templates")); }
    QStringList messages() const { return dialogs.log().filter(QStringLiteral("MESSAGE ")); }

    static QTemporaryDir* dir;
    Connection db;
    ScriptedDialogs dialogs;
    std::shared_ptr<RecordingPrinter> printer;
    std::unique_ptr<App> app;
    QStringList output;  // the scripts' output lines
};

}  // namespace rosters_test
