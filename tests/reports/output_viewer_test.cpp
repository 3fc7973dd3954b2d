// Report output and the two viewer windows, on the offscreen platform.
#include "data/dberror.h"
#include "reports/output/report_output.h"
#include "reports/output/remembered.h"
#include "reports/printing/printer.h"
#include "ui/scriptactions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPdfDocument>
#include <QPdfView>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::reports;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "test_reports";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = qApp ? nullptr : new QApplication(argc, argv);
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

QList<QWidget*> windowsNamed(const QString& name)
{
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName().compare(name, Qt::CaseInsensitive) == 0) out << w;
    return out;
}

// Lets deferred deletions run.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

class OutputTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<FolderPrinter> printer = std::make_shared<FolderPrinter>(dir.filePath(QStringLiteral("printed")));
    std::unique_ptr<ReportOutput> output;

    void SetUp() override
    {
        app();
        output = std::make_unique<ReportOutput>(printer);
    }
    void TearDown() override
    {
        output.reset();
        settle();
    }

    // A report of `rows` rows, 20 rows to a page.
    ReportPtr report(int rows, const QString& label)
    {
        ReportApplication engine(printer);
        ReportPtr r = engine.openReport(QStringLiteral(QUILLON_TEST_DATA "/reports/paging.rpt"), 1);
        std::vector<Recordset::Row> data;
        for (int i = 0; i < rows; ++i) data.push_back({Value(QDate(2024, 6, 1).addDays(i)), Value(8.0)});
        r->database().table(1).setDataSource(
            Recordset::fromRows({QStringLiteral("ActivityDT"), QStringLiteral("Hours")}, std::move(data)));
        m_labels[r.get()] = label;
        return r;
    }
    std::map<Report*, QString> m_labels;
};

TEST_F(OutputTest, PreviewingTwiceInViewerOneLeavesOneWindowWithTheSecondReportWhileViewerTwoStays)
{
    ReportPtr first = report(5, QStringLiteral("first"));
    ReportPtr second = report(40, QStringLiteral("second"));
    ReportPtr beside = report(3, QStringLiteral("beside"));
    output->showReport(1, 1, first, QStringLiteral("OF-288"), QString());
    output->showReport(1, 2, beside, QStringLiteral("ignored"), QStringLiteral("Commissary Detail"));
    output->showReport(1, 1, second, QStringLiteral("Work/Rest"), QStringLiteral("ignored"));
    settle();

    const QList<QWidget*> ones = windowsNamed(QStringLiteral("frmViewRpt"));
    ASSERT_EQ(ones.size(), 1);
    EXPECT_TRUE(ones[0]->isVisible());
    EXPECT_EQ(ones[0]->windowTitle(), QStringLiteral("Work/Rest"));
    auto* viewer1 = ones[0]->findChild<ReportViewer*>(QStringLiteral("ReportViewer1"));
    ASSERT_NE(viewer1, nullptr);
    EXPECT_EQ(viewer1->reportSource(), second);
    EXPECT_EQ(viewer1->pageCount(), 5);   // 40 rows, 9 on the first page and 11 on later ones, then the total
    EXPECT_EQ(viewer1->pdfView()->zoomMode(), QPdfView::ZoomMode::FitToWidth);

    const QList<QWidget*> twos = windowsNamed(QStringLiteral("frmViewRpt2"));
    ASSERT_EQ(twos.size(), 1);
    EXPECT_EQ(twos[0]->windowTitle(), QStringLiteral("Commissary Detail"));
    auto* viewer2 = twos[0]->findChild<ReportViewer*>(QStringLiteral("ReportViewer2"));
    ASSERT_NE(viewer2, nullptr);
    EXPECT_EQ(viewer2->reportSource(), beside);
    EXPECT_TRUE(printer->jobs().isEmpty());
}

TEST_F(OutputTest, ViewerZeroGivesNoOutputAndStillReleasesTheEngine)
{
    auto engine = std::make_shared<ReportApplication>(printer);
    ReportPtr r = engine->openReport(QStringLiteral(QUILLON_TEST_DATA "/reports/paging.rpt"), 1);
    std::weak_ptr<ReportApplication> watch = engine;
    for (int preview : {1, 0}) {
        auto held = engine;
        output->showReport(preview, 0, r, QStringLiteral("t"), QStringLiteral("t2"), &held);
        EXPECT_EQ(held, nullptr);
    }
    engine.reset();
    EXPECT_TRUE(watch.expired());
    settle();
    EXPECT_TRUE(windowsNamed(QStringLiteral("frmViewRpt")).isEmpty());
    EXPECT_TRUE(windowsNamed(QStringLiteral("frmViewRpt2")).isEmpty());
    EXPECT_TRUE(printer->jobs().isEmpty());
    EXPECT_EQ(r->render().pageCount(), 1);   // the report object outlives the engine
}

TEST_F(OutputTest, PreviewFlagZeroPrintsDirectlyAndClosesThatViewersEarlierReport)
{
    output->showReport(1, 1, report(5, QStringLiteral("shown")), QStringLiteral("Shown"), QString());
    output->showReport(1, 2, report(5, QStringLiteral("beside")), QString(), QStringLiteral("Beside"));
    output->showReport(0, 1, report(25, QStringLiteral("printed")), QStringLiteral("Printed"), QString());
    settle();
    EXPECT_TRUE(windowsNamed(QStringLiteral("frmViewRpt")).isEmpty());
    EXPECT_EQ(windowsNamed(QStringLiteral("frmViewRpt2")).size(), 1);
    ASSERT_EQ(printer->jobs().size(), 1);
    QFile f(printer->jobs().first());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

TEST_F(OutputTest, PrintButtonAsksTheHookWithItsViewerNumberAndPrintsOnlyOnTrue)
{
    std::vector<std::pair<int, bool>> asked;
    bool answer = false;
    output->setPrintHook([&](int slot, bool fromViewer) {
        asked.emplace_back(slot, fromViewer);
        return answer;
    });
    output->showReport(1, 2, report(5, QStringLiteral("invoice")), QString(), QStringLiteral("Deductions"));
    ReportViewer* viewer = output->window(2)->viewer();
    viewer->pressPrintButton();
    EXPECT_TRUE(printer->jobs().isEmpty());
    answer = true;
    viewer->pressPrintButton();
    ASSERT_EQ(printer->jobs().size(), 1);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], std::make_pair(2, true));
    QFile f(printer->jobs().first());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), viewer->pdf());   // it prints what it shows
}

TEST_F(OutputTest, ViewerNavigatesZoomsExportsAndKeepsTheWindowLayout)
{
    output->showReport(1, 2, report(40, QStringLiteral("long")), QString(), QStringLiteral("Long"));
    ViewerWindow* window = output->window(2);
    ASSERT_NE(window, nullptr);
    ReportViewer* v = window->viewer();
    ASSERT_EQ(v->pageCount(), 5);
    EXPECT_EQ(v->currentPage(), 1);
    v->showLastPage();
    EXPECT_EQ(v->currentPage(), 5);
    v->showPreviousPage();
    EXPECT_EQ(v->currentPage(), 4);
    v->goToPage(99);
    EXPECT_EQ(v->currentPage(), 5);
    v->showFirstPage();
    v->showNextPage();
    EXPECT_EQ(v->currentPage(), 2);

    v->setZoom(150);
    EXPECT_EQ(v->pdfView()->zoomMode(), QPdfView::ZoomMode::Custom);
    EXPECT_EQ(v->zoom(), 150);
    v->zoomFitWidth();
    EXPECT_EQ(v->pdfView()->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    v->zoomFitPage();
    EXPECT_EQ(v->pdfView()->zoomMode(), QPdfView::ZoomMode::FitInView);

    const QString path = dir.filePath(QStringLiteral("export.pdf"));
    v->exportPdf(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), v->pdf());
    EXPECT_THROW(v->exportPdf(dir.filePath(QStringLiteral("no/such/folder/x.pdf"))), DbError);

    // The display switches the output sets: print on, group tree off.
    EXPECT_TRUE(v->displaySwitch(ReportViewer::PrintButton));
    EXPECT_FALSE(v->displaySwitch(ReportViewer::GroupTree));

    // Viewer 2 sits a quarter inch down and keeps the window's full height.
    window->resize(600, 500);
    QApplication::processEvents();
    const int quarterInch = int(std::lround(360.0 * window->logicalDpiY() / 1440.0));
    EXPECT_EQ(v->geometry(), QRect(0, quarterInch, 600, 500));
    output->showReport(1, 1, report(1, QStringLiteral("one")), QStringLiteral("One"), QString());
    ViewerWindow* w1 = output->window(1);
    w1->resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(w1->viewer()->geometry(), QRect(0, 0, 400, 300));
}

TEST_F(OutputTest, EngineErrorsReachTheCallerAndLeaveNoHalfOpenWindow)
{
    ReportApplication engine(printer);
    ReportPtr r = engine.openReport(QStringLiteral(QUILLON_TEST_DATA "/reports/paging.rpt"), 1);
    r->database().table(1).setDataSource(Recordset::fromRows({QStringLiteral("Other")}, {{Value(1)}}));
    try {
        output->showReport(1, 1, r, QStringLiteral("Broken"), QString());
        FAIL() << "showed a report whose fields are missing";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::FieldNotFound);
    }
    settle();
    EXPECT_TRUE(windowsNamed(QStringLiteral("frmViewRpt")).isEmpty());
}

// What page `page` of the 2,000-row paging report holds, worked out from
// its layout by hand: 9 rows on page 1, 11 on each later page (182 pages of
// rows), then the report footer alone on page 183; row r is dated June 1,
// 2024 plus r - 1 days. Empty when the text differs.
QString pagingPageFault(const QString& text, int page, const QString& count)
{
    const int first = page == 1 ? 1 : 10 + 11 * (page - 2);
    const int rows = page == 183 ? 0 : page == 1 ? 9 : 11;
    QStringList expected{QStringLiteral("Page %1 of %2").arg(page).arg(count),
                         QStringLiteral("Page hours %1.0").arg(8 * rows)};
    if (rows > 0) {
        expected << QDate(2024, 6, 1).addDays(first - 1).toString(QStringLiteral("MM/dd/yyyy"))
                 << QDate(2024, 6, 1).addDays(first + rows - 2).toString(QStringLiteral("MM/dd/yyyy"));
    } else {
        expected << QStringLiteral("Total hours 16,000.0");
    }
    for (const QString& e : expected)
        if (!text.contains(e)) return QStringLiteral("page %1 lacks \"%2\"").arg(page).arg(e);
    static const QRegularExpression date(QStringLiteral("\\d\\d/\\d\\d/\\d{4}"));
    if (int(text.count(date)) != rows) return QStringLiteral("page %1 has %2 rows").arg(page).arg(text.count(date));
    return QString();
}

// A long report shows its first pages while the rest are laid out: the very
// pages of the whole report, "of ..." standing for the count until it is
// known. Printing and export wait for the whole report, which then exports
// as a complete PDF.
TEST_F(OutputTest, LongReportShowsItsFirstPagesWhileLaidOutAndPrintsOnlyWhenWhole)
{
    ReportViewer v;
    v.setPrinter(printer);
    v.setReportSource(report(2000, QStringLiteral("long")));
    QPdfDocument* doc = v.pdfView()->document();
    struct Arrival {
        int pages;
        bool complete;
        int shown;
        bool printRefused;
    };
    std::vector<Arrival> arrivals;
    QStringList faults;
    int lastProgress = 0;
    QObject::connect(&v, &ReportViewer::layoutProgress, &v, [&](int pages) { lastProgress = pages; });
    QObject::connect(&v, &ReportViewer::pagesArrived, &v, [&](int pages, bool complete) {
        bool refused = false;
        try {
            v.printReport();
        } catch (const DbError&) {
            refused = true;
        }
        arrivals.push_back({pages, complete, doc->pageCount(), refused});
        for (int p = 0; p < doc->pageCount(); ++p) {
            const QString fault = pagingPageFault(doc->getAllText(p).text(), p + 1,
                                                  complete ? QStringLiteral("183") : QString(QChar(0x2026)));
            if (!fault.isEmpty()) faults << fault;
        }
    });
    v.viewReport();
    EXPECT_EQ(faults.mid(0, 5), QStringList());
    ASSERT_GE(arrivals.size(), 2u);
    const Arrival& first = arrivals.front();
    const Arrival& last = arrivals.back();
    EXPECT_FALSE(first.complete);
    EXPECT_GE(first.pages, 1);
    EXPECT_LT(first.pages, 183);
    EXPECT_EQ(first.shown, first.pages);
    EXPECT_TRUE(first.printRefused);
    EXPECT_TRUE(last.complete);
    EXPECT_EQ(last.pages, 183);
    EXPECT_EQ(v.pageCount(), 183);
    EXPECT_EQ(v.reportPageCount(), 183);
    EXPECT_FALSE(last.printRefused);
    EXPECT_EQ(printer->jobs().size(), 1);   // only the print asked for once the report was whole
    EXPECT_EQ(lastProgress, 183);

    const QString exported = dir.filePath(QStringLiteral("long.pdf"));
    v.exportPdf(exported);
    QPdfDocument again;
    ASSERT_EQ(again.load(exported), QPdfDocument::Error::None);
    ASSERT_EQ(again.pageCount(), 183);
    for (int p : {0, 1, 181, 182})
        EXPECT_EQ(pagingPageFault(again.getAllText(p).text(), p + 1, QStringLiteral("183")), QString());
    QFile f(exported);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("%%EOF\n"));
}

TEST_F(OutputTest, CancellingALongPreviewClosesItsWindowAndKeepsNothing)
{
    bool previewed = false;
    output->setObserver([&](ReportOutput::Delivery, int, const QString&, const ReportPtr&) { previewed = true; });
    // The pages being written go to a file in the temporary folder whose name
    // goes at once: nothing is left there, whenever the program ends.
    QTemporaryDir temp;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    QStringList whileLaidOut;
    // The first time the window lets events through, its Cancel is pressed.
    QTimer::singleShot(0, [&] {
        whileLaidOut = QDir(temp.path()).entryList(QDir::Files);
        for (QWidget* w : windowsNamed(QStringLiteral("frmViewRpt")))
            if (auto* cancel = w->findChild<QAbstractButton*>(QStringLiteral("cmdCancelLayout"))) cancel->click();
    });
    ReportPtr r = report(3000, QStringLiteral("long"));
    EXPECT_NO_THROW(output->showReport(1, 1, r, QStringLiteral("Long"), QString()));
    settle();
    qputenv("TMPDIR", savedTemp);
    EXPECT_EQ(whileLaidOut, QStringList());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(output->window(1), nullptr);
    EXPECT_TRUE(windowsNamed(QStringLiteral("frmViewRpt")).isEmpty());
    EXPECT_FALSE(previewed);
    // The report itself lays out whole when asked again.
    EXPECT_GT(r->render().pageCount(), 250);
}

TEST_F(OutputTest, ViewersFillTheScreenCascadeAndTakeTheKeys)
{
    output->showReport(1, 1, report(40, QStringLiteral("long")), QStringLiteral("Long"), QString());
    output->showReport(1, 2, report(5, QStringLiteral("beside")), QString(), QStringLiteral("Beside"));
    ViewerWindow* first = output->window(1);
    ViewerWindow* second = output->window(2);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(first->frameGeometry()));
    EXPECT_GT(first->width(), area.width() - 100);
    EXPECT_GT(second->x(), first->x());
    EXPECT_GT(second->y(), first->y());

    ReportViewer* v = first->viewer();
    QWidget* pages = v->pdfView();
    const struct { const char* keys; int page; } steps[] = {
        {"PgDown", 2}, {"PgDown", 3}, {"PgUp", 2}, {"End", 5}, {"Home", 1}, {"Ctrl+End", 5}, {"Ctrl+Home", 1},
    };
    for (const auto& step : steps) {
        pressKeys(pages, QString::fromLatin1(step.keys));
        EXPECT_EQ(v->currentPage(), step.page) << step.keys;
    }
    pressKeys(pages, QStringLiteral("Ctrl+P"));
    EXPECT_EQ(printer->jobs().size(), 1);
    pressKeys(pages, QStringLiteral("Ctrl+F"));
    EXPECT_TRUE(v->findChild<QWidget*>(QStringLiteral("findBar"))->isVisible());
    pressKeys(pages, QStringLiteral("Esc"));
    settle();
    EXPECT_EQ(output->window(1), nullptr);
    EXPECT_NE(output->window(2), nullptr);
}

TEST_F(OutputTest, FindLocatesTextOnLaterPagesAndStepsThroughIt)
{
    // 40 rows: rows 1-9 on page 1, 10-20, 21-31, 32-40, the totals on page 5.
    output->showReport(1, 1, report(40, QStringLiteral("long")), QStringLiteral("Long"), QString());
    ReportViewer* v = output->window(1)->viewer();
    const struct { const char* text; std::vector<int> pages; } cases[] = {
        {"total HOURS", {5}},
        {"07/02/2024", {4}},            // row 32
        {"06/3", {3}},                   // June 30 alone (row 30)
        {"Page 3 of 5", {3}},
        {"no such text", {}},
    };
    for (const auto& c : cases) {
        v->showFirstPage();
        const int n = v->find(QString::fromLatin1(c.text));
        std::vector<int> pages;
        for (const auto& hit : v->findHits()) pages.push_back(hit.page);
        EXPECT_EQ(pages, c.pages) << c.text;
        EXPECT_EQ(n, int(c.pages.size()));
        if (!c.pages.empty()) EXPECT_EQ(v->currentPage(), c.pages.front()) << c.text;
    }
    v->find(QStringLiteral("Page hours"));   // one on each page
    ASSERT_EQ(v->findHits().size(), 5u);
    v->goToPage(3);
    v->find(QStringLiteral("Page hours"));
    EXPECT_EQ(v->currentHit(), 2);
    v->findNext();
    v->findNext();
    EXPECT_EQ(v->currentPage(), 5);
    v->findNext();                           // wraps to the first
    EXPECT_EQ(v->currentPage(), 1);
    v->findPrevious();
    EXPECT_EQ(v->currentHit(), 4);
}

namespace {

// Reads CSV as RFC 4180 defines it (quoted fields, doubled quotes, CRLF).
std::vector<QStringList> readCsv(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    const QString text = QString::fromUtf8(bytes);
    std::vector<QStringList> rows(1);
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) field += text[++i];
            else if (c == QLatin1Char('"')) quoted = false;
            else field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            rows.back() << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            rows.back() << field;
            field.clear();
            rows.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    if (rows.back().isEmpty()) rows.pop_back();
    return rows;
}

}  // namespace

TEST_F(OutputTest, ExportOffersTitleIncidentAndDateInTheLastFolderAndWritesTheRowsAsCsv)
{
    QTemporaryDir config;
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const std::vector<QStringList> table = {
        {QStringLiteral("LastName"), QStringLiteral("Note"), QStringLiteral("Hours")},
        {QStringLiteral("O'Brien, \"Red\""), QStringLiteral("line one\nline two"), QStringLiteral("8.5")},
        {QStringLiteral("Ñúñez Þórsson"), QStringLiteral(" leading blank"), QStringLiteral("12")},
        {QStringLiteral("王小明 Γιάννης Дмитрий"), QString(), QStringLiteral("0")},
    };
    std::vector<Recordset::Row> data;
    for (size_t r = 1; r < table.size(); ++r)
        data.push_back({Value(table[r][0]), Value(table[r][1]), Value(table[r][2].toDouble())});
    RecordsetPtr rows = Recordset::fromRows(table[0], std::move(data));
    output->setDetailsSource([&] { return ReportOutput::PreviewDetails{QStringLiteral("CA-RRU-7"), rows}; });
    output->showReport(1, 1, report(3, QStringLiteral("short")), QStringLiteral("Work/Rest: Ratio"), QString());
    ReportViewer* v = output->window(1)->viewer();

    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(v->suggestedExportPath(), QDir(QDir::homePath()).filePath(QStringLiteral("Work-Rest- Ratio CA-RRU-7 ") + today + QStringLiteral(".pdf")));
    QDir(dir.path()).mkpath(QStringLiteral("exports"));
    const QString pdf = dir.filePath(QStringLiteral("exports/week.pdf"));
    v->exportWithRows(pdf);
    QFile csv(dir.filePath(QStringLiteral("exports/week.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(readCsv(csv.readAll()), table);
    EXPECT_TRUE(v->suggestedExportPath().startsWith(dir.filePath(QStringLiteral("exports/Work-Rest"))));

    // A remembered folder that is gone, or a settings file of garbage, is passed over.
    remembered::setValue(remembered::LastExportFolder, dir.filePath(QStringLiteral("gone")));
    EXPECT_TRUE(v->suggestedExportPath().startsWith(QDir::homePath() + QLatin1Char('/')));
    QFile garbage(remembered::filePath());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    garbage.write(QByteArray("\0\xff\xfe[[[=\n", 9));
    garbage.close();
    EXPECT_TRUE(v->suggestedExportPath().startsWith(QDir::homePath() + QLatin1Char('/')));
    v->exportWithRows(pdf);
    EXPECT_EQ(remembered::text(remembered::LastExportFolder), dir.filePath(QStringLiteral("exports")));
    qputenv("XDG_CONFIG_HOME", savedConfig);
}

}  // namespace
