// The work/rest scan's reading of the posting query and the kind codes it
// writes for a day. (The limits themselves: analysisrun_test.cpp, against an
// oracle over real runs.)
#include "analysis/workrest.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(WorkRestScan, ADayOfSeveralKindsIsOneRowNamingThemAll)
{
    const auto rs = Recordset::fromRows({"ActivityDT", "", "KindCode", "PersonID", "RequestNumber", "IncidentID"},
                                        {{QDate(2024, 6, 4), 9.0, "SQDB", 31, "E-4", 7},
                                         {QDate(2024, 6, 4), 9.0, "FFT1", 31, "E-4", 7},
                                         {QDate(2024, 6, 5), 10.0, "HELICOPTER", 31, "E-4", 7},
                                         {QDate(2024, 6, 5), 7.0, "FFT1", 31, "E-4", 7},
                                         {QDate(2024, 6, 6), 17.0, Value(), 31, "E-4", 7}});
    const std::vector<ReportRecord> rows = scanWorkRest(dayHoursFrom(*rs), 55, QDate(2024, 6, 4));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].KindCode, QStringLiteral("FFT1/SQDB"));
    EXPECT_EQ(rows[1].KindCode, QStringLiteral("FFT1+"));   // the column holds 10 characters
    EXPECT_EQ(rows[2].KindCode, QString());
    const std::vector<std::pair<QString, Value>> expected = {
        {"ReportRun", 55}, {"IncidentID", 7}, {"PersonID", 31}, {"KindCode", "FFT1/SQDB"}, {"RequestNumber", "E-4"},
        {"ActivityDT", QDate(2024, 6, 4)}, {"TotalDayHrs", 18.0}, {"ExcessHrs", 18.0}, {"HR20in24", true},
        {"HR36in48", false}};
    EXPECT_TRUE(rows[0].assignedValues() == expected);

    const auto narrow = Recordset::fromRows({"ActivityDT", "Hours"}, {{QDate(2024, 6, 2), 1.0}});
    EXPECT_THROW(dayHoursFrom(*narrow), DbError);
}
