// The reports of the computed runs (work/rest, excess hours), from fixtures
// of the scratch rows a run leaves: one golden file per order the run can
// ask for, the check marks and the totals against the rows themselves.
#include "templates_harness.h"

using namespace quillon;
using namespace quillon::templates_test;

namespace {

Value cell(const RecordsetPtr& rs, int row, const char* field) { return rs->at(row, rs->fieldIndex(QLatin1String(field))); }

std::vector<std::pair<QString, Value>> period(const char* sort)
{
    return {{QStringLiteral("StartDate"), Value(QDate(2026, 7, 14))},
            {QStringLiteral("EndDate"), Value(QDate(2026, 7, 27))},
            {QStringLiteral("SortField"), Value(QLatin1String(sort))}};
}

TEST(WorkRestTemplate, FlagsPrintAsChecksAndRowsGroupAsTheRunSorted)
{
    // By request number: a heading and a count per request number.
    const Document byRequest = renderFixture(QStringLiteral("WorkRest"), QStringLiteral("WorkRest_R"), period("R"));
    expectGolden(QStringLiteral("WorkRest_R"), byRequest);
    RecordsetPtr rows = fixtureRows(QStringLiteral("WorkRest_R"));
    const QStringList lines = allLines(byRequest);
    std::map<QString, int> perRequest;
    int over16 = 0, over32 = 0;
    std::vector<bool> flags;
    for (int r = 0; r < rows->recordCount(); ++r) {
        ++perRequest[cell(rows, r, "RequestNumber").toString()];
        const bool a = cell(rows, r, "HR20in24").toBool(), b = cell(rows, r, "HR36in48").toBool();
        over16 += a;
        over32 += b;
        flags.push_back(a);
        flags.push_back(b);
    }
    for (const auto& [req, n] : perRequest) {
        EXPECT_TRUE(lines.contains(QStringLiteral("Request number ") + req)) << req.toStdString();
        EXPECT_TRUE(lines.contains(QStringLiteral("%1 %2 flagged for %3").arg(n).arg(n == 1 ? "day" : "days", req))) << req.toStdString();
    }
    ASSERT_GT(over32, 0);
    EXPECT_TRUE(lines.contains(QStringLiteral("%1 days flagged | %2 | %3").arg(rows->recordCount()).arg(over16).arg(over32)));
    // The two check boxes of every row, in row order, carry the row's flags.
    std::vector<bool> printed;
    for (const Page& page : byRequest.pages) {
        const std::vector<bool> boxes = checkBoxes(page);
        printed.insert(printed.end(), boxes.begin(), boxes.end());
    }
    EXPECT_EQ(printed, flags);
    EXPECT_TRUE(lines.contains(QStringLiteral("Postings from 7/14/2026 through 7/27/2026 | Sorted by request number")));

    // By person: no request headings; persons with several days get a count.
    const Document byPerson = renderFixture(QStringLiteral("WorkRest"), QStringLiteral("WorkRest_P"), period("P"));
    expectGolden(QStringLiteral("WorkRest_P"), byPerson);
    const QStringList personLines = allLines(byPerson);
    EXPECT_TRUE(personLines.filter(QStringLiteral("Request number ")).isEmpty());
    EXPECT_TRUE(personLines.contains(QStringLiteral("2 days flagged for Kelsey D'Amico")));
    EXPECT_TRUE(personLines.filter(QStringLiteral("1 day flagged")).isEmpty());
}

TEST(ExcessHoursTemplate, ExcessOverTheStandardTotalledByRequestNumberAndOverall)
{
    auto params = period("R");
    params.emplace_back(QStringLiteral("MinValue"), Value(14.0));
    const Document byRequest = renderFixture(QStringLiteral("ExcessHours"), QStringLiteral("ExcessHours_R"), params);
    expectGolden(QStringLiteral("ExcessHours_R"), byRequest);
    RecordsetPtr rows = fixtureRows(QStringLiteral("ExcessHours_R"));
    std::map<QString, std::pair<int, double>> perRequest;
    double excess = 0, longest = 0;
    for (int r = 0; r < rows->recordCount(); ++r) {
        auto& [n, sum] = perRequest[cell(rows, r, "RequestNumber").toString()];
        ++n;
        sum += cell(rows, r, "ExcessHrs").toDouble();
        excess += cell(rows, r, "ExcessHrs").toDouble();
        longest = std::max(longest, cell(rows, r, "TotalDayHrs").toDouble());
    }
    const QStringList lines = allLines(byRequest);
    for (const auto& [req, total] : perRequest) {
        const QString line = QStringLiteral("%1 %2 over the standard for %3 | %4")
                                 .arg(total.first).arg(total.first == 1 ? "shift" : "shifts", req).arg(total.second, 0, 'f', 2);
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
    }
    EXPECT_TRUE(lines.contains(QStringLiteral("%1 shifts over the standard, the longest %2 hours | %3")
                                   .arg(rows->recordCount()).arg(longest, 0, 'f', 2).arg(excess, 0, 'f', 2)));
    EXPECT_TRUE(lines.contains(QStringLiteral("Shifts longer than the standard of 14.00 hours")));

    // In the order of the excess hours: one list, no group lines.
    params.back().second = Value(14.0);
    params[2].second = Value(QStringLiteral("T"));
    const Document byExcess = renderFixture(QStringLiteral("ExcessHours"), QStringLiteral("ExcessHours_T"), params);
    expectGolden(QStringLiteral("ExcessHours_T"), byExcess);
    const QStringList excessLines = allLines(byExcess);
    EXPECT_TRUE(excessLines.filter(QStringLiteral("over the standard for")).isEmpty());
    EXPECT_TRUE(excessLines.contains(QStringLiteral("Postings from 7/14/2026 through 7/27/2026 | Sorted by excess hours")));
}

}  // namespace
