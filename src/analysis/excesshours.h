#pragma once
// Shifts in excess of a standard. A person's postings, in the order of date
// and start time, are joined into shifts: a posting that starts within 60
// minutes (either way) of the stop time of the person's posting before it
// continues that shift; anything else ends the shift and starts a new one.
// Each shift whose hours exceed the standard becomes one scratch row carrying
// the date, kind and request number of its last posting.
//
// Times are compared as they are stored, without the posting date, so whether
// postings on either side of midnight join depends on whether the stored
// times carry their date. A posting without a stop time is passed over: it
// neither adds hours nor ends the shift.

#include "analysis/reportrecord.h"
#include "data/recordset.h"
#include "shell/appstate.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {

class Dialogs;

// One row of the excess-hours posting query.
struct ShiftPosting {
    QDate ActivityDT;
    double Hours = 0.0;
    QString KindCode;
    std::int32_t PersonID = 0;
    QDateTime StartTime;
    std::optional<QDateTime> StopTime;   // none: the posting has no stop time
    QString RequestNumber;
};

// Postings within this many minutes of each other belong to one shift.
constexpr int ShiftJoinMinutes = 60;

// Reads the rows of the excess-hours posting query by column position
// (ActivityDT, Hours, KindCode, PersonID, StartTime, StopTime, RequestNumber).
// A stop time whose text is 3 characters or fewer (Null included) counts as
// none.
std::vector<ShiftPosting> shiftPostingsFrom(const Recordset& rs);

// The ReportRecords rows of a run for the standard minValue, in the order the
// shifts end. Before the first posting there is an empty shift of 0 hours
// belonging to PersonID 0; it is closed like any other, so a negative standard
// gives it a row (the report's join with Persons drops it).
std::vector<ReportRecord> scanExcessHours(const std::vector<ShiftPosting>& postings, std::int32_t run,
                                          std::int32_t incidentId, double minValue);

// The number a text starts with, after any leading blanks: "12.5 hours" gives
// 12.5, "-2" gives -2; a text that does not start with a number gives 0.
double leadingNumber(const QString& text);

// A change of the ExcessHrs box. An empty text changes nothing. Otherwise its
// leading number becomes ReportMinValue, unless it is 0 (or there is none):
// then the user is told "Excess Hrs must be Numeric. " and the standard in
// force stays. Returns true when ReportMinValue was set.
bool applyExcessHrsEntry(const QString& text, AppState& state, Dialogs& dialogs);

}  // namespace quillon
