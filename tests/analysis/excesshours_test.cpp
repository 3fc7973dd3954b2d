// Shift chaining over postings, and the rule for the standard typed in the
// ExcessHrs box.
#include "analysis/excesshours.h"

#include "recordingdialogs.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// A time of day as the database stores it: on 12/30/1899.
QDateTime at(const char* hhmm) { return QDateTime(QDate(1899, 12, 30), QTime::fromString(hhmm, "hh:mm")); }

ShiftPosting posting(std::int32_t person, const char* start, const char* stop, double hours, const char* kind = "A")
{
    ShiftPosting p{QDate(2024, 6, 3), hours, kind, person, at(start), {}, QStringLiteral("C-%1").arg(person)};
    if (stop) p.StopTime = at(stop);
    return p;
}

struct Shift {
    std::int32_t person;
    double total;
    const char* kind = "A";   // kind code of the shift's last posting
};

void expectShifts(const std::vector<ReportRecord>& rows, const std::vector<Shift>& expected, double minValue)
{
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].PersonID, expected[i].person);
        EXPECT_EQ(rows[i].KindCode, expected[i].kind);
        EXPECT_DOUBLE_EQ(rows[i].TotalDayHrs, expected[i].total);
        EXPECT_DOUBLE_EQ(rows[i].ExcessHrs.value_or(-99), expected[i].total - minValue);
        EXPECT_FALSE(rows[i].HR20in24 || rows[i].HR36in48);   // left to the column defaults
    }
}

}  // namespace

TEST(ExcessHoursScan, JoinsPostingsWithinAnHourIntoShifts)
{
    struct Case {
        const char* name;
        std::vector<ShiftPosting> postings;
        double minValue;
        std::vector<Shift> expected;
    };
    const std::vector<Case> cases = {
        {"gap of 30 minutes", {posting(1, "06:00", "12:00", 6), posting(1, "12:30", "19:00", 6.5, "B")}, 12, {{1, 12.5, "B"}}},
        {"gap of 61 minutes", {posting(1, "06:00", "12:00", 6), posting(1, "13:01", "19:30", 6.5)}, 12, {}},
        {"gap of exactly 60", {posting(1, "06:00", "12:00", 6), posting(1, "13:00", "19:30", 6.5)}, 12, {{1, 12.5}}},
        {"start 45 minutes before the stop", {posting(1, "06:00", "12:00", 6), posting(1, "11:15", "18:00", 6.5)}, 12, {{1, 12.5}}},
        {"start 90 minutes before the stop", {posting(1, "06:00", "12:00", 6), posting(1, "10:30", "17:00", 6.5)}, 12, {}},
        {"total equal to the standard", {posting(1, "06:00", "12:00", 6), posting(1, "12:00", "18:00", 6)}, 12, {}},
        {"two persons, each shift closed",
         {posting(1, "06:00", "19:00", 13), posting(2, "06:00", "12:00", 6), posting(2, "12:10", "19:20", 7)},
         12, {{1, 13}, {2, 13}}},
        {"no stop time: no hours and no break",
         {posting(1, "06:00", "12:00", 6), posting(1, "12:30", nullptr, 5), posting(1, "12:45", "19:15", 6.5)},
         12, {{1, 12.5}}},
        {"no stop time does not bridge a gap",
         {posting(1, "06:00", "12:00", 6), posting(1, "12:40", nullptr, 1), posting(1, "13:20", "21:00", 7.5)},
         7, {{1, 7.5}}},
        {"no standard: every shift with hours",
         {posting(1, "06:00", "08:00", 2), posting(1, "22:00", "23:00", 1), posting(2, "08:00", "08:00", 0)},
         0, {{1, 2}, {1, 1}}},
        {"negative standard: the empty shift before the first posting", {posting(1, "06:00", "08:00", 2)}, -1,
         {{0, 0, ""}, {1, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectShifts(scanExcessHours(c.postings, 90, 7, c.minValue), c.expected, c.minValue);
    }
    EXPECT_TRUE(scanExcessHours({}, 90, 7, -1).empty());
}

TEST(ExcessHoursScan, TimesAreComparedAsStored)
{
    // Across midnight, times without their date are almost a day apart ...
    std::vector<ShiftPosting> night = {posting(1, "16:00", "23:30", 7.5), posting(1, "00:15", "06:00", 5.75)};
    EXPECT_TRUE(scanExcessHours(night, 1, 7, 12).empty());
    // ... and 45 minutes apart when the stored values carry the date.
    night[0].StopTime = QDateTime(QDate(2024, 6, 3), QTime(23, 30));
    night[1].StartTime = QDateTime(QDate(2024, 6, 4), QTime(0, 15));
    expectShifts(scanExcessHours(night, 1, 7, 12), {{1, 13.25}}, 12);
}

TEST(ExcessHoursScan, ReadsQueryRowsAndTreatsShortStopTimesAsNone)
{
    const auto rs = Recordset::fromRows({"ActivityDT", "Hours", "KindCode", "PersonID", "StartTime", "StopTime", "RequestNumber"},
                                        {{QDate(2024, 6, 3), 6.0, Value(), 4, at("06:00"), at("12:00"), "C-4"},
                                         {QDate(2024, 6, 3), 1.0, "A", 4, at("12:30"), Value(), "C-4"},
                                         {QDate(2024, 6, 3), 1.0, "A", 4, at("12:30"), "0", "C-4"}});
    const std::vector<ShiftPosting> p = shiftPostingsFrom(*rs);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_TRUE(p[0].KindCode.isEmpty());
    EXPECT_EQ(p[0].StopTime.value_or(QDateTime()), at("12:00"));
    EXPECT_FALSE(p[1].StopTime || p[2].StopTime);
    EXPECT_THROW(shiftPostingsFrom(*Recordset::fromRows({"ActivityDT"}, {{QDate(2024, 6, 3)}})), DbError);
}

TEST(ExcessHrsEntry, TakesTheLeadingNumberAndRefusesZero)
{
    for (const auto& [text, value] : std::vector<std::pair<const char*, double>>{
             {"12.5 hours", 12.5}, {"  8", 8}, {"-3", -3}, {".5", 0.5}, {"1e1x", 10}, {"2e", 2}, {".", 0}, {"x12", 0}})
        EXPECT_EQ(leadingNumber(text), value) << text;

    AppState state;
    RecordingDialogs dialogs;
    EXPECT_FALSE(applyExcessHrsEntry(QString(), state, dialogs));   // an empty box changes nothing
    EXPECT_TRUE(applyExcessHrsEntry("10h", state, dialogs));
    for (const char* refused : {"0", "0.0", "hours"}) EXPECT_FALSE(applyExcessHrsEntry(refused, state, dialogs));
    EXPECT_EQ(state.ReportMinValue, 10.0);
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("Excess Hrs must be Numeric. "));
    EXPECT_EQ(dialogs.shown[2].icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.shown[2].title, QStringLiteral("Information"));
    EXPECT_TRUE(applyExcessHrsEntry("-2", state, dialogs));
    EXPECT_EQ(state.ReportMinValue, -2.0);
}
