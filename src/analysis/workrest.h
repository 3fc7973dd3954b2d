#pragma once
// The work/rest scan: which of a person's calendar days break a fatigue
// limit. All the hours a person posted on one date count together, whatever
// their kind. A day is over the first limit when its hours exceed 16; it is
// over the second when its hours and those of the same person's previous
// calendar day exceed 32 (a day without postings counts 0). A day is judged
// on the person's own postings only, so the result for a person is the same
// whichever selection includes them.

#include "analysis/reportrecord.h"
#include "data/recordset.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

namespace quillon {

// One row of the work/rest posting query: one person, request number, kind
// code and date with the sum of its hours, and the incident of the person's
// resource.
struct DayHours {
    QDate ActivityDT;
    double Hours = 0.0;
    QString KindCode;
    std::int32_t PersonID = 0;
    QString RequestNumber;
    std::int32_t IncidentID = 0;
};

constexpr double WorkRestDayLimit = 16.0;
constexpr double WorkRestPairLimit = 32.0;

// Reads the rows of the work/rest posting query by column position
// (ActivityDT, sum of Hours, KindCode, PersonID, RequestNumber, IncidentID).
// An absent kind code or request number becomes empty text.
std::vector<DayHours> dayHoursFrom(const Recordset& rs);

// The ReportRecords rows of a run, ordered by person and date: one per day
// from firstDay on that is over either limit. Earlier rows only supply the
// previous day of firstDay. Each row carries the day's total in TotalDayHrs,
// the total of the day and the previous day in ExcessHrs (the 48 hours the
// second limit looks at), its kind codes joined by "/" and the incident of
// its person.
std::vector<ReportRecord> scanWorkRest(const std::vector<DayHours>& days, std::int32_t run, const QDate& firstDay);

}  // namespace quillon
