// The work/rest scan over rows of day totals.
#include "analysis/workrest.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct Flagged {
    std::size_t index;
    bool over16;
    bool over32;
};

DayHours day(std::int32_t person, int dayOfMonth, double hours, const char* kind = "FFT2")
{
    return {QDate(2024, 6, dayOfMonth), hours, QString::fromLatin1(kind), person, QStringLiteral("C-12")};
}

}  // namespace

TEST(WorkRestScan, FlagsDaysOver16AndNeighbouringRowsOver32)
{
    struct Case {
        const char* name;
        std::vector<DayHours> days;
        std::vector<Flagged> expected;
    };
    const std::vector<Case> cases = {
        {"exactly 16 is not over", {day(1, 1, 16.0)}, {}},
        {"16.25 is over 16 only", {day(1, 1, 16.25)}, {{0, true, false}}},
        {"16 + 16 is not over 32", {day(1, 1, 16.0), day(1, 2, 16.0)}, {}},
        {"16 + 16.5 flags the second row twice", {day(1, 1, 16.0), day(1, 2, 16.5)}, {{1, true, true}}},
        {"a first row of 33 pairs with 0", {day(1, 1, 33.0)}, {{0, true, true}}},
        {"two kind codes on one date stay two rows", {day(1, 1, 10.0, "FFT1"), day(1, 1, 10.0, "FFT2")}, {}},
        {"a row flagged only through the row before",
         {day(1, 1, 17.0), day(1, 2, 15.5), day(1, 3, 8.0)},
         {{0, true, false}, {1, false, true}}},
        {"the last row of one person pairs with the first of the next",
         {day(1, 1, 8.0), day(1, 2, 16.0), day(2, 1, 16.5)},
         {{2, true, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ReportRecord> rows = scanWorkRest(c.days, 55, 7);
        ASSERT_EQ(rows.size(), c.expected.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const DayHours& src = c.days[c.expected[i].index];
            EXPECT_EQ(rows[i].PersonID, src.PersonID);
            EXPECT_EQ(rows[i].ActivityDT, src.ActivityDT);
            EXPECT_EQ(rows[i].TotalDayHrs, src.Hours);
            EXPECT_EQ(rows[i].HR20in24, c.expected[i].over16);
            EXPECT_EQ(rows[i].HR36in48, c.expected[i].over32);
        }
    }
}

TEST(WorkRestScan, ReadsQueryRowsByPositionAndWritesTheColumnsInTableOrder)
{
    const auto rs = Recordset::fromRows({"ActivityDT", "", "Kindcode", "PersonID", "RequestNumber"},
                                        {{QDate(2024, 6, 4), 18.0, Value(), 31, "E-4"}});
    const std::vector<ReportRecord> rows = scanWorkRest(dayHoursFrom(*rs), 55, -1);
    ASSERT_EQ(rows.size(), 1u);
    // No kind code is written as empty text; ExcessHrs is left to the column default.
    const std::vector<std::pair<QString, Value>> expected = {
        {"ReportRun", 55}, {"IncidentID", -1}, {"PersonID", 31}, {"KindCode", QString()}, {"RequestNumber", "E-4"},
        {"ActivityDT", QDate(2024, 6, 4)}, {"TotalDayHrs", 18.0}, {"HR20in24", true}, {"HR36in48", false}};
    EXPECT_TRUE(rows[0].assignedValues() == expected);

    const auto narrow = Recordset::fromRows({"ActivityDT", "Hours"}, {{QDate(2024, 6, 2), 1.0}});
    EXPECT_THROW(dayHoursFrom(*narrow), DbError);
}
