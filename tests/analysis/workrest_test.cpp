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

TEST(WorkRestScan, RowsCarryTheRunAndLeaveExcessHoursToTheColumnDefault)
{
    const std::vector<ReportRecord> rows = scanWorkRest({day(9, 4, 18.0, "")}, 55, -1);
    ASSERT_EQ(rows.size(), 1u);
    const auto values = rows[0].assignedValues();
    QStringList columns;
    for (const auto& [column, value] : values) columns << column;
    EXPECT_EQ(columns, (QStringList{"ReportRun", "IncidentID", "PersonID", "KindCode", "RequestNumber", "ActivityDT",
                                    "TotalDayHrs", "HR20in24", "HR36in48"}));
    EXPECT_EQ(values[0].second, Value(55));
    EXPECT_EQ(values[1].second, Value(-1));
    EXPECT_EQ(values[3].second, Value(QString()));   // no kind code: empty text, not Null
    EXPECT_EQ(values[4].second, Value("C-12"));
    EXPECT_EQ(values[5].second, Value(QDate(2024, 6, 4)));
    EXPECT_EQ(values[6].second, Value(18.0));
    EXPECT_EQ(values[7].second, Value(true));
    EXPECT_EQ(values[8].second, Value(false));   // 0 + 18 is not over 32
}

TEST(WorkRestScan, ReadsQueryRowsByPosition)
{
    const auto rs = Recordset::fromRows({"ActivityDT", "", "Kindcode", "PersonID", "RequestNumber"},
                                        {{QDate(2024, 6, 2), 12.5, Value(), 31, "E-4"}});
    const std::vector<DayHours> days = dayHoursFrom(*rs);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].ActivityDT, QDate(2024, 6, 2));
    EXPECT_EQ(days[0].Hours, 12.5);
    EXPECT_TRUE(days[0].KindCode.isEmpty());
    EXPECT_EQ(days[0].PersonID, 31);
    EXPECT_EQ(days[0].RequestNumber, QStringLiteral("E-4"));

    const auto narrow = Recordset::fromRows({"ActivityDT", "Hours"}, {{QDate(2024, 6, 2), 1.0}});
    EXPECT_THROW(dayHoursFrom(*narrow), DbError);
}
