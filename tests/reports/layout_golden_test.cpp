// Layout compared with reviewed golden files: the text of every page with its
// position, rounded to a tenth of a point. A missing golden file is written
// once (and the test fails so that it gets reviewed); QUILLON_UPDATE_GOLDEN=1
// rewrites them all after an intended change.
#include "reports/engine/json_data.h"
#include "reports/engine/report_engine.h"
#include "reports/printing/printer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::reports;

namespace {

const QString kData = QStringLiteral(QUILLON_TEST_DATA "/reports/");

struct GoldenCase {
    const char* name;
    bool graphics;
    std::vector<std::pair<const char*, const char*>> params;
};

std::ostream& operator<<(std::ostream& os, const GoldenCase& c) { return os << c.name; }

Document renderCase(const GoldenCase& c)
{
    ReportApplication app(std::make_shared<FolderPrinter>(QStringLiteral("/nonexistent")));
    ReportPtr report = app.openReport(kData + QLatin1String(c.name) + QStringLiteral(".rpt"));
    for (const auto& [name, value] : c.params) {
        report->parameter(QLatin1String(name)).clearCurrentValueAndRange();
        report->parameter(QLatin1String(name)).addCurrentValue(Value(QLatin1String(value)));
    }
    QFile json(kData + QLatin1String(c.name) + QStringLiteral(".json"));
    EXPECT_TRUE(json.open(QIODevice::ReadOnly)) << c.name;
    for (const auto& [table, rs] : tablesFromJson(json.readAll(), json.fileName())) {
        if (table == QLatin1String("table1")) report->database().table(1).setDataSource(rs);
        else report->subreport(table)->database().table(1).setDataSource(rs);
    }
    report->setPrintDate(QDate(2024, 7, 1));
    return report->render();
}

class LayoutGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(LayoutGolden, MatchesReviewedLayout)
{
    const GoldenCase& c = GetParam();
    const QString actual = renderCase(c).dump(c.graphics);
    QFile golden(kData + QLatin1String(c.name) + QStringLiteral(".golden"));
    if (!golden.exists() || qEnvironmentVariableIsSet("QUILLON_UPDATE_GOLDEN")) {
        const bool existed = golden.exists();
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
        golden.write(actual.toUtf8());
        golden.close();
        if (!existed) FAIL() << "wrote new golden file " << golden.fileName().toStdString() << "; review it";
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(golden.readAll()).toStdString(), actual.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Reports, LayoutGolden,
    ::testing::Values(GoldenCase{"groups", false, {{"StartDate", "2024-06-01"}}},  // two group levels, running sums
                      GoldenCase{"keep_together", false, {}},                      // whole group moves, long group flows
                      GoldenCase{"paging", false, {}},                             // page breaks, page totals, N of M
                      GoldenCase{"person_pages", false, {}},                       // new page per group, numbering restarts
                      GoldenCase{"columns", false, {}},                            // three columns filled top-down
                      GoldenCase{"new_column", true, {}},                          // column per group, max rows, foot totals
                      GoldenCase{"subreport", true, {}},                           // linked subreport grows its band
                      GoldenCase{"empty", false, {}},                              // no rows
                      GoldenCase{"form_graphics", true, {}}),                      // checks, boxes, growing text, watermark
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

// Spot checks that state the intent of some golden files in plain terms.
TEST(Layout, KeepTogetherMovesTheGroupThatWouldSplit)
{
    const Document doc = renderCase({"keep_together", false, {}});
    ASSERT_EQ(doc.pageCount(), 4);
    auto firstText = [&](int page, int index) { return doc.pages[page].items.at(index).text; };
    EXPECT_EQ(firstText(1, 1), QStringLiteral("Crew Bravo"));    // moved whole to page 2
    EXPECT_EQ(firstText(2, 1), QStringLiteral("Crew Charlie"));  // longer than a page: starts afresh, then flows
    EXPECT_EQ(firstText(3, 1), QStringLiteral("Charlie 12"));
}

TEST(Layout, ColumnsRestartPerGroupAndCarryTheirTotalsAtTheFoot)
{
    const Document doc = renderCase({"new_column", true, {}});
    ASSERT_EQ(doc.pageCount(), 3);   // Ames's five columns need two pages; Bell starts a new one
    int footTotals = 0;
    for (const Primitive& p : doc.pages[0].items)
        if (p.kind == Primitive::Text && p.y == 116) ++footTotals;
    EXPECT_EQ(footTotals, 3);  // the 6/3 column continues into the fourth column and totals there
}

}  // namespace
