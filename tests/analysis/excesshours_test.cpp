// Shift chaining over postings, and the rule for the standard typed in the
// ExcessHrs box.
#include "analysis/excesshours.h"

#include "recordingdialogs.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace quillon;

namespace {

// A time of day as the database stores it: on 12/30/1899.
QDateTime at(const char* hhmm) { return QDateTime(QDate(1899, 12, 30), QTime::fromString(hhmm, "hh:mm")); }

ShiftPosting posting(std::int32_t person, int day, const char* start, const char* stop, double hours)
{
    ShiftPosting p{QDate(2024, 6, day), hours, QStringLiteral("K%1").arg(day), person, at(start), {},
                   QStringLiteral("C-%1").arg(person), 7};
    if (stop) p.StopTime = at(stop);
    return p;
}

}  // namespace

TEST(ExcessHoursScan, JoinsPostingsStartingWithinAnHourOfTheShiftsLatestStop)
{
    struct Case {
        const char* name;
        std::vector<ShiftPosting> postings;
        std::vector<double> shifts;   // totals over the standard of 12
    };
    const std::vector<Case> cases = {
        {"a gap of exactly 60 joins", {posting(1, 3, "06:00", "12:00", 6), posting(1, 3, "13:00", "19:30", 6.5)}, {12.5}},
        {"a gap of 61 splits", {posting(1, 3, "06:00", "12:00", 6), posting(1, 3, "13:01", "19:30", 6.5)}, {}},
        {"an overlap joins", {posting(1, 3, "06:00", "12:00", 6), posting(1, 3, "10:30", "17:00", 6.5)}, {12.5}},
        {"within a long posting",
         {posting(1, 3, "06:00", "20:00", 6), posting(1, 3, "08:00", "09:00", 1), posting(1, 3, "20:30", "23:00", 6)}, {13}},
        {"a stop equal to the start runs a whole day", {posting(1, 3, "06:00", "06:00", 8), posting(1, 4, "06:30", "12:00", 5)}, {13}},
        {"another person starts another shift", {posting(1, 3, "06:00", "12:00", 6), posting(2, 3, "12:00", "19:00", 7)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ReportRecord> rows = scanExcessHours(c.postings, 90, 12);
        ASSERT_EQ(rows.size(), c.shifts.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_DOUBLE_EQ(rows[i].TotalDayHrs, c.shifts[i]);
            EXPECT_DOUBLE_EQ(rows[i].ExcessHrs.value_or(-99), c.shifts[i] - 12);
            EXPECT_EQ(rows[i].KindCode, c.postings.back().KindCode);   // the shift's last posting
            EXPECT_EQ(rows[i].IncidentID, 7);
        }
    }
}

// Shifts are read by the clock on the wall of the incident, whatever zone
// the office machine is set to: in New York the night of 3/8/2026 skips 2:00
// to 3:00 and the night of 11/1/2026 runs 1:00 to 2:00 twice.
TEST(ExcessHoursScan, ReadsShiftsByTheWallClockInAnyTimeZone)
{
    const QByteArray formerZone = qgetenv("TZ");
    const auto on = [](int month, int day, const char* start, const char* stop, double hours) {
        ShiftPosting p = posting(1, 1, start, stop, hours);
        p.ActivityDT = QDate(2026, month, day);
        return p;
    };
    // 16:00-02:30 then 02:45-06:00: one shift of 10.5 + 3.25 hours.
    const std::vector<ShiftPosting> spring = {on(3, 7, "16:00", "02:30", 10.5), on(3, 8, "02:45", "06:00", 3.25)};
    // 15:00-01:30 then 01:15-05:00 (an overlap): one shift of 10.5 + 3.75 hours.
    const std::vector<ShiftPosting> autumn = {on(10, 31, "15:00", "01:30", 10.5), on(11, 1, "01:15", "05:00", 3.75)};
    for (const char* zone : {"America/New_York", "UTC", "Australia/Lord_Howe"}) {
        SCOPED_TRACE(zone);
        qputenv("TZ", zone);
        tzset();
        for (const auto& [postings, total] : {std::pair{spring, 13.75}, std::pair{autumn, 14.25}}) {
            const std::vector<ReportRecord> rows = scanExcessHours(postings, 90, 12);
            ASSERT_EQ(rows.size(), 1u);
            EXPECT_DOUBLE_EQ(rows[0].TotalDayHrs, total);
            EXPECT_EQ(rows[0].ActivityDT, postings.back().ActivityDT);
        }
    }
    if (formerZone.isNull()) qunsetenv("TZ");
    else qputenv("TZ", formerZone);
    tzset();
}

TEST(ExcessHoursScan, ReadsQueryRowsAndTreatsShortStopTimesAsNone)
{
    const auto rs = Recordset::fromRows({"ActivityDT", "Hours", "KindCode", "PersonID", "StartTime", "StopTime", "RequestNumber", "IncidentID"},
                                        {{QDate(2024, 6, 3), 6.0, Value(), 4, at("06:00"), at("12:00"), "C-4", 9},
                                         {QDate(2024, 6, 3), 1.0, "A", 4, at("12:30"), Value(), "C-4", 9},
                                         {QDate(2024, 6, 3), 1.0, "A", 4, at("12:30"), "0", "C-4", 9}});
    const std::vector<ShiftPosting> p = shiftPostingsFrom(*rs);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_TRUE(p[0].KindCode.isEmpty());
    EXPECT_EQ(p[0].IncidentID, 9);
    EXPECT_EQ(p[0].StopTime.value_or(QDateTime()), at("12:00"));
    EXPECT_FALSE(p[1].StopTime || p[2].StopTime);
    EXPECT_THROW(shiftPostingsFrom(*Recordset::fromRows({"ActivityDT"}, {{QDate(2024, 6, 3)}})), DbError);
}

TEST(ExcessHrsEntry, TakesTheLeadingNumberAndRefusesZeroNegativeAndEmpty)
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
    EXPECT_FALSE(applyExcessHrsEntry("-2", state, dialogs));
    EXPECT_EQ(state.ReportMinValue, 10.0);
    EXPECT_EQ(dialogs.shown[3].text, standardNeededText());

    // A run needs a box holding a standard above 0.
    EXPECT_TRUE(standardReady("10h", state, dialogs));
    for (const char* box : {"", "-2", "0"}) EXPECT_FALSE(standardReady(box, state, dialogs)) << box;
    state.ReportMinValue = 0;
    EXPECT_FALSE(standardReady("10", state, dialogs));
    EXPECT_EQ(dialogs.shown.size(), 8u);
}
