// Report output and the two viewer windows, on the offscreen platform.
#include "data/dberror.h"
#include "reports/output/report_output.h"
#include "reports/printing/printer.h"

#include <QApplication>
#include <QFile>
#include <QPdfView>
#include <QTemporaryDir>

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
    EXPECT_EQ(viewer1->zoom(), 100);

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

}  // namespace
