// Progress and cancel of the OF-288 Run. Cancelled through the quillon
// program by a script's cancel-at (what the window's Cancel button does) at
// every step of a final Run for all personnel, the database keeps every row
// of every table as it was; a Run left alone reports each step to its end.
#include "data/demo/demo_database.h"
#include "invoicing/form6logic.h"

#include "invoicingdb.h"
#include "../shell/quillon_script.h"

#include <QTemporaryDir>

using namespace invtest;
using namespace quillon::testing;

namespace {

// Keeps the title of each job; fails every job while `failing`.
class OutOfPaperPrinter : public reports::Printer {
public:
    void printPdf(const QByteArray&, const QString& title) override
    {
        if (failing) throw DbError(ErrorNumber::Printer, QStringLiteral("The printer is out of paper."));
        titles << title;
    }
    QString description() const override { return QStringLiteral("test printer"); }
    bool failing = false;
    QStringList titles;
};

// Person 100 with 20 open postings (7/1-7/20), person 101 with 5 (7/1-7/5).
void addTwoPersonsWithPostings(InvoicingDb& t)
{
    t.addPerson(100);
    t.addPerson(101);
    for (int day = 1; day <= 20; ++day) t.addPosting(100, d(7, day), 8);
    for (int day = 1; day <= 5; ++day) t.addPosting(101, d(7, day), 8);
}

}  // namespace

TEST(RunCancel, ACancelAtAnyStepLeavesEveryTableAsItWas)
{
    QTemporaryDir dir;
    const QString database = dir.filePath("sample.db");
    demo::createDemoDatabase(database);
    const QStringList before = databaseDump(database);

    // A read is cancelled while its rows come in (counted 4,096 at a time).
    const struct {
        const char* step;
        int at;
        const char* counted;
    } points[] = {
        {"Reading postings", 0},
        {"Reading postings", 4096, ": 4,096 rows"},
        {"Numbering postings", 1},
        {"Numbering postings", 100},
        {"Setting the final column", 1},
        {"Preparing invoices", 2},
        {"Reading the invoice data", 0},
        {"Reading the invoice data", 4096, ": 4,096 rows"},
    };
    QString script = "open Form0\npick Form0.dbcIncidents Cedar Ridge\nclick Form0.Option6\nclick Form0.cmdSelect\n"
                     "click Form6.AllOption\ntype Form6.dtpEndDate 12/31/2026\nclick Form6.cbFinalFlag\n";
    for (const auto& p : points)
        script += QString("cancel-at %1 %2\nclick Form6.RunButton(0)\n").arg(p.at).arg(p.step);
    const ScriptRun r = runScript(script, dir.path(), database, qEnvironmentVariable("QUILLON_TEMPLATE_DIR"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString() << r.lines.join('\n').toStdString();

    const QStringList cancelled = r.linesStarting("CANCELLED ");
    ASSERT_EQ(cancelled.size(), int(std::size(points))) << r.lines.join('\n').toStdString();
    for (size_t i = 0; i < std::size(points); ++i) {
        const QString expected = QString("CANCELLED %1").arg(points[i].step)
            + (points[i].counted ? QString(points[i].counted)
                                 : points[i].at > 0 ? QString(" %1 of ").arg(points[i].at) : QString());
        EXPECT_TRUE(cancelled[int(i)].startsWith(expected)) << cancelled[int(i)].toStdString();
    }
    // No invoice is shown from a cancelled Run (the commissary detail of the
    // last one was, before its invoice data was read).
    for (const QString& report : r.linesStarting("REPORT "))
        EXPECT_FALSE(report.startsWith("REPORT OF-288")) << report.toStdString();

    const QStringList after = databaseDump(database);
    EXPECT_EQ(after.size(), before.size());
    for (int i = 0; i < std::min(after.size(), before.size()); ++i)
        if (after[i] != before[i]) {
            ADD_FAILURE() << "first difference: " << before[i].toStdString() << " became " << after[i].toStdString();
            break;
        }
}

TEST(RunCancel, ARunLeftAloneReportsEveryStepToItsEnd)
{
    InvoicingDb t;
    addTwoPersonsWithPostings(t);
    t.addPosting(101, d(7, 6), 8, "FFT1", 30, "2", "77");   // locked to an invoice: not read

    QStringList heard;
    t.app->progress().setListener([&](const Progress& p) { heard << p.text(); }, 0, 0);
    Form6Logic logic(*t.app);
    logic.load();
    logic.allPersonnelChosen();
    logic.printOptionChosen(PrintDraft);
    logic.run(0, d(7, 31), true);

    EXPECT_FALSE(logic.lastRunCancelled());
    EXPECT_TRUE(t.app->progress().finished());
    for (const char* end : {"Numbering postings 25 of 25", "Setting the final column 2 of 2", "Preparing invoices 2 of 2"})
        EXPECT_TRUE(heard.contains(end)) << end << " not in: " << heard.join(" / ").toStdString();
    EXPECT_EQ(heard.last(), "Done");
}

// A DRAFT sent to the printer prints its commissary detail while the invoice
// data is still being read. When that printing fails, the Run ends with the
// printer's error and every table is as it was; with the printer mended, the
// same Run prints both forms and numbers every posting.
TEST(RunCancel, APrintingFailureWhileTheInvoiceDataIsReadLeavesEveryTableAsItWas)
{
    InvoicingDb t;
    addTwoPersonsWithPostings(t);
    t.addDebit(100, d(7, 2), 12.5);
    auto printer = std::make_shared<OutOfPaperPrinter>();
    t.app = std::make_unique<App>(t.dialogs, printer);
    t.app->attachConnection(t.db);
    t.app->state.SelectedIncidentId = 1;
    const QStringList before = databaseDump(t.path());

    Form6Logic logic(*t.app);
    logic.load();
    logic.allPersonnelChosen();
    logic.printOptionChosen(PrintDraft);
    printer->failing = true;
    try {
        logic.run(1, d(7, 31), false);
        ADD_FAILURE() << "the Run did not fail";
    } catch (const DbError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("The printer is out of paper."));
    }
    EXPECT_EQ(databaseDump(t.path()), before);
    EXPECT_EQ(t.count("PersonsPost where Column288 is not null"), 0);

    printer->failing = false;
    logic.run(1, d(7, 31), false);
    EXPECT_EQ(printer->titles, QStringList({"Commissary Detail", "OF-288"}));
    EXPECT_EQ(t.count("PersonsPost where FinalCol = 0 and Column288 >= 1 and RptOrder >= 1"), 25);
}
