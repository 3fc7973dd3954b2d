// The printer seam: the folder printer, and the CUPS printer against a real
// private cupsd (started here, with its own configuration and spool under a
// temporary folder) whose default queue writes PDF to a file.
#include "data/dberror.h"
#include "reports/engine/report_engine.h"
#include "reports/printing/printer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cups/cups.h>
#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::reports;

namespace {

const QByteArray kPdf = "%PDF-1.4\n% not a real document, only bytes to keep\n%%EOF\n";

TEST(FolderPrinter, KeepsEachJobAsANumberedPdfFile)
{
    QTemporaryDir dir;
    FolderPrinter printer(dir.filePath(QStringLiteral("jobs/today")));
    printer.printPdf(kPdf, QStringLiteral("OF-288 / Ames: DRAFT"));
    printer.printPdf(kPdf + "x", QString());
    ASSERT_EQ(printer.jobs().size(), 2);
    EXPECT_EQ(QFileInfo(printer.jobs()[0]).fileName(), QStringLiteral("0001-OF-288_Ames_DRAFT.pdf"));
    EXPECT_EQ(QFileInfo(printer.jobs()[1]).fileName(), QStringLiteral("0002-report.pdf"));
    QFile f(printer.jobs()[1]);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kPdf + "x");
    // A second printer on the same folder does not overwrite earlier jobs.
    FolderPrinter again(printer.folder());
    again.printPdf(kPdf, QStringLiteral("next"));
    EXPECT_EQ(QFileInfo(again.jobs()[0]).fileName(), QStringLiteral("0003-next.pdf"));
}

TEST(FolderPrinter, HeadlessRunsPrintIntoTheFolderNamedInTheEnvironment)
{
    QTemporaryDir dir;
    qputenv("QUILLON_PRINT_FOLDER", dir.path().toLocal8Bit());
    auto printer = systemPrinter();
    qunsetenv("QUILLON_PRINT_FOLDER");
    auto* folder = dynamic_cast<FolderPrinter*>(printer.get());
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->folder(), dir.path());
    EXPECT_NE(dynamic_cast<CupsPrinter*>(systemPrinter().get()), nullptr);
}

TEST(FolderPrinter, AFolderThatCannotBeMadeIsAPrinterError)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    FolderPrinter printer(dir.filePath(QStringLiteral("file/sub")));
    try {
        printer.printPdf(kPdf, QStringLiteral("x"));
        FAIL() << "printed into a file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Printer);
    }
}

// Points libcups at a server and a home of our own for the test's lifetime.
class CupsEnvironment {
public:
    explicit CupsEnvironment(const QString& server, const QString& home)
    {
        qputenv("CUPS_SERVER", server.toLocal8Bit());
        qputenv("HOME", home.toLocal8Bit());   // no user lpoptions default
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        cupsSetServer(server.toLocal8Bit().constData());
    }
    ~CupsEnvironment() { cupsSetServer(nullptr); }
};

QString printerErrorOf(Printer& p)
{
    try {
        p.printPdf(kPdf, QStringLiteral("test"));
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Printer);
        return e.description();
    }
    return QString();
}

TEST(CupsPrinter, SaysSoWhenThePrintServiceIsNotRunning)
{
    QTemporaryDir dir;
    CupsEnvironment env(dir.filePath(QStringLiteral("no-such.sock")), dir.path());
    CupsPrinter printer;
    const QString why = printerErrorOf(printer);
    EXPECT_TRUE(why.contains(QStringLiteral("not running"))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("no-such.sock"))) << why.toStdString();
}

// A cupsd of the test's own: configuration, spool, logs and socket in a
// temporary folder; FileDevice lets a queue write into a file.
class PrivateCupsd : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess cupsd;
    QString socket;

    void SetUp() override
    {
        const QString binary = QStringLiteral("/usr/sbin/cupsd");
        if (!QFileInfo::exists(binary)) GTEST_SKIP() << "cupsd is not installed";
        for (const char* sub : {"spool", "tmp", "cache", "state", "log", "out"}) QDir(dir.path()).mkpath(QLatin1String(sub));
        socket = dir.filePath(QStringLiteral("cups.sock"));
        write(QStringLiteral("cupsd.conf"), QStringLiteral(
            "Listen %1\nLogLevel info\nWebInterface No\nBrowsing Off\nDefaultAuthType None\n"
            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n").arg(socket));
        const QString d = dir.path();
        write(QStringLiteral("cups-files.conf"), QStringLiteral(
            "ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\nStateDir %1/state\n"
            "ErrorLog %1/log/error_log\nAccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
            "FileDevice Yes\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSystemGroup root\nSandboxing Relaxed\n").arg(d));
        cupsd.start(binary, {QStringLiteral("-f"), QStringLiteral("-c"), dir.filePath(QStringLiteral("cupsd.conf")),
                             QStringLiteral("-s"), dir.filePath(QStringLiteral("cups-files.conf"))});
        const QDeadlineTimer deadline(20000);
        while (!QFileInfo::exists(socket) && cupsd.state() != QProcess::NotRunning && !deadline.hasExpired())
            QThread::msleep(50);
        if (!QFileInfo::exists(socket))
            GTEST_SKIP() << "cupsd could not start here: " << cupsd.readAllStandardError().toStdString()
                         << log().toStdString();
    }

    void TearDown() override
    {
        if (cupsd.state() != QProcess::NotRunning) {
            cupsd.terminate();
            if (!cupsd.waitForFinished(10000)) cupsd.kill();
        }
    }

    void write(const QString& name, const QString& text)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QString log() const
    {
        QFile f(dir.filePath(QStringLiteral("log/error_log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(2000)) : QString();
    }

    // Runs lpadmin against the private server.
    void lpadmin(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), socket);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("lpadmin"), args);
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
};

TEST_F(PrivateCupsd, NoDefaultDestinationIsNamedAsTheProblem)
{
    CupsEnvironment env(socket, dir.path());
    CupsPrinter printer;
    const QString why = printerErrorOf(printer);
    EXPECT_TRUE(why.contains(QStringLiteral("no default printer"))) << why.toStdString();
}

TEST_F(PrivateCupsd, PrintsAReportThroughTheDefaultQueueIntoAPdfFile)
{
    const QString ppd = QStringLiteral("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");
    if (!QFileInfo::exists(ppd)) GTEST_SKIP() << "no PDF printer driver (cups-filters) installed";
    const QString out = dir.filePath(QStringLiteral("out/printed.pdf"));
    lpadmin({QStringLiteral("-p"), QStringLiteral("QuillonTest"), QStringLiteral("-E"), QStringLiteral("-v"),
             QStringLiteral("file://") + out, QStringLiteral("-P"), ppd});
    lpadmin({QStringLiteral("-d"), QStringLiteral("QuillonTest")});

    CupsEnvironment env(socket, dir.path());
    EXPECT_EQ(CupsPrinter::defaultDestination(), QStringLiteral("QuillonTest"));
    auto printer = std::make_shared<CupsPrinter>();
    ReportApplication app(printer);
    ReportPtr report = app.openReport(QStringLiteral(QUILLON_TEST_DATA "/reports/sections.rpt"), 1);
    report->printOut();
    ASSERT_GT(printer->lastJobId(), 0);

    // Wait (bounded) for the job to complete, then look at what the queue wrote.
    bool completed = false;
    const QDeadlineTimer deadline(60000);
    while (!completed && !deadline.hasExpired()) {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "QuillonTest", 0, CUPS_WHICHJOBS_COMPLETED);
        for (int i = 0; i < n; ++i) completed = completed || jobs[i].id == printer->lastJobId();
        cupsFreeJobs(n, jobs);
        if (!completed) QThread::msleep(100);
    }
    ASSERT_TRUE(completed) << log().toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << log().toStdString();
    // A PDF printer's stream: the PDF itself, possibly inside a PJL job header.
    const QByteArray bytes = f.readAll();
    const qsizetype start = bytes.indexOf("%PDF-");
    const qsizetype end = bytes.lastIndexOf("%%EOF");
    ASSERT_TRUE(start >= 0 && end > start) << bytes.left(80).toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return;
    QFile pdf(dir.filePath(QStringLiteral("out/extracted.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write(bytes.mid(start, end + 5 - start));
    pdf.close();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_TRUE(text.readAllStandardOutput().contains("Saved 1.5"));   // the template's saved row
}

}  // namespace
