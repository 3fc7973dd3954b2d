// The observer of report output: told of each preview and print, not of a
// viewer number that gives no output.
#include "reports/output/report_output.h"
#include "reports/printing/printer.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::reports;

namespace {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test_reports";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
}

}  // namespace

TEST(OutputObserver, ToldOfEachPreviewAndPrint)
{
    ensureApplication();
    QTemporaryDir dir;
    auto printer = std::make_shared<FolderPrinter>(dir.filePath(QStringLiteral("printed")));
    ReportApplication engine(printer);
    auto report = [&engine] {
        ReportPtr r = engine.openReport(QStringLiteral(QUILLON_TEST_DATA "/reports/paging.rpt"), 1);
        r->database().table(1).setDataSource(Recordset::fromRows(
            {QStringLiteral("ActivityDT"), QStringLiteral("Hours")}, {{Value(QDate(2024, 6, 1)), Value(8.0)}}));
        return r;
    };

    struct Seen {
        ReportOutput::Delivery delivery;
        int viewer;
        QString title;
        Report* report;
        bool windowShown;
    };
    std::vector<Seen> seen;
    {
        ReportOutput output(printer);
        output.setObserver([&](ReportOutput::Delivery d, int viewer, const QString& title, const ReportPtr& r) {
            const ViewerWindow* w = output.window(viewer);
            seen.push_back({d, viewer, title, r.get(), w && w->isVisible()});
        });
        const ReportPtr first = report(), second = report(), third = report();
        output.showReport(1, 2, first, QStringLiteral("OF-288"), QStringLiteral("Commissary Detail"));
        output.showReport(0, 1, second, QStringLiteral("OF-288"), QString());
        output.showReport(1, 0, third, QStringLiteral("none"), QString());

        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].delivery, ReportOutput::Delivery::Preview);
        EXPECT_EQ(seen[0].viewer, 2);
        EXPECT_EQ(seen[0].title, QStringLiteral("Commissary Detail"));
        EXPECT_EQ(seen[0].report, first.get());
        EXPECT_TRUE(seen[0].windowShown);
        EXPECT_EQ(seen[1].delivery, ReportOutput::Delivery::Print);
        EXPECT_EQ(seen[1].viewer, 1);
        EXPECT_EQ(seen[1].title, QStringLiteral("OF-288"));
        EXPECT_EQ(seen[1].report, second.get());
        EXPECT_EQ(printer->jobs().size(), 1);  // told after the job was handed over
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
