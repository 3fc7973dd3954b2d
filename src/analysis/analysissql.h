#pragma once
// SQL texts of the work/rest and excess-hours windows: the two lists, the
// posting query of a run, the check query and the clean-up of a run's scratch
// rows. Each text is joined from fixed fragments with values, exactly as the
// database expects it (dates between quotes for SQL Server, between # for
// Access).

#include "shell/appstate.h"

#include <QDate>
#include <QString>

#include <cstdint>

namespace quillon {

// Which selection option of the window is set. None (nothing chosen yet) runs
// like AllPersonnel.
enum class SelectionOption { None, RequestNumber, Person, AllPersonnel };

// What the window hands to a run besides the shared state.
struct PostingSelection {
    SelectionOption option = SelectionOption::None;
    QString requestNumber;   // the chosen request number (or its leading part), upper case
    std::int32_t personId = 0;   // SelectedPersonId; 0 = none
    QDate startDate;         // ReportStartDate
    QDate endDate;           // ReportEndDate
};

// The branch of the posting query a selection runs: request number when that
// option is set and a request number was chosen, else person when that option
// is set and a person was chosen, else all personnel.
SelectionOption effectiveSelection(const PostingSelection& selection);

// Lists of both windows: persons ("strName", PersonID) and request numbers.
QString personListSql(const AppState& state);
QString requestNumberListSql(const AppState& state);

// Day totals per person, request number, incident, kind code and date,
// ordered by person and date, from the day before the start date (whose hours
// the first day's 48 hours include) to the end date. Columns: ActivityDT, sum
// of Hours, KindCode, PersonID, RequestNumber, IncidentID. Over all incidents
// no branch filters by the incident chosen in the menu.
QString workRestPostingSql(const AppState& state, const PostingSelection& selection);

// Every posting from the day before the start date (for shifts that run into
// the range) to the end date, ordered by person, date and start time.
// Columns: ActivityDT, Hours, KindCode, PersonID, StartTime, StopTime,
// RequestNumber, IncidentID.
QString excessHoursPostingSql(const AppState& state, const PostingSelection& selection);

// Rows of one run, to see whether it wrote any.
QString reportRunCheckSql(std::int32_t run);

// Removes the rows of one run.
QString reportRunDeleteSql(DbKind kind, std::int32_t run);

}  // namespace quillon
