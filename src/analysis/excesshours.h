#pragma once
// Shifts in excess of a standard. A posting covers real time: its date with
// its start time, to its date with its stop time, or to the next day's stop
// time when the stop is at or before the start (a night shift). A person's
// postings, in the order of those real start times, are joined into shifts:
// a posting that starts no more than 60 minutes after the shift's latest stop
// (or overlaps it) continues the shift, across midnight as well; anything
// else ends the shift and starts a new one. Each shift whose posted hours
// exceed the standard becomes one scratch row carrying the date, kind and
// request number of its last posting and the incident of its person.
//
// A posting without a stop time is passed over: it neither adds hours nor
// ends the shift.

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
    std::int32_t IncidentID = 0;
};

// Postings within this many minutes of each other belong to one shift.
constexpr int ShiftJoinMinutes = 60;

// Reads the rows of the excess-hours posting query by column position
// (ActivityDT, Hours, KindCode, PersonID, StartTime, StopTime, RequestNumber,
// IncidentID).
// A stop time whose text is 3 characters or fewer (Null included) counts as
// none.
std::vector<ShiftPosting> shiftPostingsFrom(const Recordset& rs);

// The ReportRecords rows of a run for the standard minValue, ordered by
// person and time: the shifts longer than minValue whose last posting is
// dated firstDay or later (earlier postings only complete the shifts that
// reach into firstDay).
std::vector<ReportRecord> scanExcessHours(const std::vector<ShiftPosting>& postings, std::int32_t run,
                                          double minValue, const QDate& firstDay = QDate());

// The number a text starts with, after any leading blanks: "12.5 hours" gives
// 12.5, "-2" gives -2; a text that does not start with a number gives 0.
double leadingNumber(const QString& text);

// A change of the ExcessHrs box. An empty text changes nothing. Otherwise its
// leading number becomes ReportMinValue, unless it is 0 (or there is none):
// then the user is told "Excess Hrs must be Numeric. ", or it is negative:
// then the user is told that the standard must be above 0. Either way the
// standard in force stays. Returns true when ReportMinValue was set.
bool applyExcessHrsEntry(const QString& text, AppState& state, Dialogs& dialogs);

// Whether a run may start with the standard typed in the box: a box left
// empty or not holding a number above 0, or a standard in force of 0 or
// less, is refused with a message.
bool standardReady(const QString& boxText, const AppState& state, Dialogs& dialogs);

// The message that refuses a missing or negative standard.
QString standardNeededText();

}  // namespace quillon
