#pragma once
// The work/rest scan: which posting days break a fatigue limit. A day is over
// the first limit when its hours exceed 16; it is over the second when its
// hours and those of the row just before it in the query's order exceed 32.
// That row before may belong to another person or lie days away: the scan
// pairs neighbouring rows of the result, nothing else, and the first row of a
// run pairs with 0 hours.

#include "analysis/reportrecord.h"
#include "data/recordset.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

namespace quillon {

// One row of the work/rest posting query: one person, request number, kind
// code and date with the sum of its hours.
struct DayHours {
    QDate ActivityDT;
    double Hours = 0.0;
    QString KindCode;
    std::int32_t PersonID = 0;
    QString RequestNumber;
};

constexpr double WorkRestDayLimit = 16.0;
constexpr double WorkRestPairLimit = 32.0;

// Reads the rows of the work/rest posting query by column position
// (ActivityDT, sum of Hours, KindCode, PersonID, RequestNumber). An absent
// kind code or request number becomes empty text.
std::vector<DayHours> dayHoursFrom(const Recordset& rs);

// The ReportRecords rows of a run: one per day over either limit, in the
// order of the days.
std::vector<ReportRecord> scanWorkRest(const std::vector<DayHours>& days, std::int32_t run, std::int32_t incidentId);

}  // namespace quillon
