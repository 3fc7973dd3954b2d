// quillon-batch report 6 and 14: the OF-288 window's DRAFT preparation run
// without a window. The printed figures of a small case worked by hand, and
// every table of the database byte for byte as it was before.
#include "batch_process.h"
#include "invoicingdb.h"

#include <QProcess>
#include <QStandardPaths>

using namespace invtest;

namespace {

using batchtest::BatchRun;

BatchRun run(const QStringList& args)
{
    // The real templates, not the small stand-ins of this test program.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLON_TEMPLATE_DIR"), QStringLiteral(QUILLON_SOURCE_DIR "/templates"));
    return batchtest::runBatch(args, env);
}

QString tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The printed words of a PDF, one blank between them.
QString printedWords(const QString& pdf)
{
    return tool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).simplified();
}

class BatchOf288 : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
            GTEST_SKIP() << "pdftotext and sqlite3 are needed";
        t.addPerson(100);
        t.exec("UPDATE Persons SET LastName = 'Okafor', FirstName = 'Ada' WHERE PersonID = 100");
        // Two columns: FFT2 at 25.50 (10 + 12 hours) and FFT1 at 30.00 (8 hours).
        t.addPosting(100, d(7, 2), 10);
        t.addPosting(100, d(7, 3), 12);
        t.addPosting(100, d(7, 4), 8, "FFT1", 30);
        // Left out: after the end date, and a posting an earlier invoice holds.
        t.addPosting(100, d(7, 6), 9);
        t.addInvoice(5, 100, d(6, 28), d(6, 30), "A");
        t.addPosting(100, d(6, 30), 11, "FFT2", 25.5, "1", "5");
        t.addDebit(100, d(7, 2), 12.5);
        t.addDebit(100, d(7, 3), 7.25);
        t.addDebit(100, d(7, 8), 99);
        t.addPerson(101);   // no postings: not on the crew's invoice
    }

    QString dump() { return tool(QStringLiteral("sqlite3"), {t.path(), QStringLiteral(".dump")}); }

    BatchRun report(int number, const QStringList& selection)
    {
        QStringList args{QStringLiteral("report"), QStringLiteral("--db"), t.path(), QStringLiteral("--report"),
                         QString::number(number), QStringLiteral("--set"), QStringLiteral("SelectedIncidentId=1"),
                         QStringLiteral("--set"), QStringLiteral("ReportEndDate=07/05/2005"),
                         QStringLiteral("--pdf"), pdf};
        return run(args + selection);
    }

    InvoicingDb t;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
};

TEST_F(BatchOf288, DraftPrintsTheHandWorkedFiguresAndLeavesEveryTableAsItWas)
{
    const QString before = dump();
    ASSERT_TRUE(before.contains(QStringLiteral("CREATE TABLE")));
    const std::vector<std::pair<int, QStringList>> cases{
        {6, {QStringLiteral("--set"), QStringLiteral("SelectedPersonId=100")}},
        {6, {QStringLiteral("--request"), QStringLiteral("c-12"), QStringLiteral("--set"), QStringLiteral("ReportFinalFlag=F")}},
        {14, {QStringLiteral("--set"), QStringLiteral("SelectedResourceId=10")}},
    };
    for (const auto& [number, selection] : cases) {
        SCOPED_TRACE(selection.join(' ').toStdString());
        const BatchRun r = report(number, selection);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString words = printedWords(pdf);
        EXPECT_TRUE(words.contains(QStringLiteral("DRAFT"))) << words.toStdString();
        EXPECT_TRUE(words.contains(QStringLiteral("Okafor, Ada"))) << words.toStdString();
        // The next suffix after the earlier invoice A, the four-digit year of the incident.
        EXPECT_TRUE(words.contains(QStringLiteral("2005-CA-ABC-000123-000100B"))) << words.toStdString();
        if (number == 6) {
            // FFT2 at 25.50: 10 + 12 = 22 hours; FFT1 at 30.00: 8 hours; 30 in all.
            // Commissary 12.50 + 7.25 = 19.75; the earlier invoice's 11 hours.
            const bool final = selection.contains(QStringLiteral("ReportFinalFlag=F"));
            for (const QString& figure :
                 {QStringLiteral("Kind FFT2 Kind FFT1 Rate 25.50"), QStringLiteral("7/2 0600 open 10.00 7/4 0600 open 8.00"),
                  QStringLiteral("7/3 0600 open 12.00"), QStringLiteral("Total 22.00"),
                  QStringLiteral("TOTAL HOURS ON THIS INVOICE 30.00"), QStringLiteral("COMMISSARY DEDUCTIONS $19.75"),
                  QStringLiteral("6. INVOICE PERIOD 2005-CA-ABC-000123-000100B 01 7/2/2005 - 7/5/2005"),
                  QStringLiteral("6/28/2005 - 6/30/2005 for 11 Hours."),
                  final ? QStringLiteral("3 postings in 3 columns") : QStringLiteral("3 postings in 2 columns")})
                EXPECT_TRUE(words.contains(figure)) << figure.toStdString() << " in " << words.toStdString();
            for (const char* absent : {"7/6 ", "6/30 ", "99.00"})
                EXPECT_FALSE(words.contains(QLatin1String(absent))) << absent << " in " << words.toStdString();
            EXPECT_EQ(words.contains(QStringLiteral("final column")), final);
        } else {
            for (const char* figure : {"12.50", "7.25", "19.75"})
                EXPECT_TRUE(words.contains(QLatin1String(figure))) << figure << " in " << words.toStdString();
            EXPECT_FALSE(words.contains(QStringLiteral("99.00"))) << words.toStdString();
        }
        EXPECT_EQ(dump().toStdString(), before.toStdString());
    }
}

TEST_F(BatchOf288, RefusalsSayWhyAndChangeNothing)
{
    const QString before = dump();
    const std::vector<std::tuple<QStringList, int, const char*>> cases{
        {{QStringLiteral("--set"), QStringLiteral("InvoicePrintMode=2")}, 2, "DRAFT only"},
        {{QStringLiteral("--set"), QStringLiteral("SelectedPersonId=101")}, 3, "No Non-Invoiced Data in this Selection."},
        {{QStringLiteral("--set"), QStringLiteral("SelectedPersonId=777")}, 2, "no person 777"},
        {{QStringLiteral("--request"), QStringLiteral("C-99")}, 2, "no request number C-99"},
        {{QStringLiteral("--set"), QStringLiteral("ReportFinalFlag=yes")}, 2, "ReportFinalFlag"},
    };
    for (const auto& [selection, code, message] : cases) {
        const BatchRun r = report(6, selection);
        EXPECT_EQ(r.exitCode, code) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(message))) << r.err.toStdString();
    }
    EXPECT_EQ(dump().toStdString(), before.toStdString());
}

}  // namespace
