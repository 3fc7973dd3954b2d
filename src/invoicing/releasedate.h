#pragma once
// Release date and time of a piece of equipment or contract crew: when the
// resource was released from the incident (Resources.ReleaseDate and
// ReleaseTime, printed on the OF-286). The OF-286 window shows them in a
// masked date box and a time box with a drop-down list of L_Time, and saves
// them with cmdSave.

#include "data/value.h"

#include <QString>

#include <cstdint>

namespace quillon {

class Connection;
class Dialogs;

// The release date box's text when nothing is typed in it.
inline const QString EmptyDateMask = QStringLiteral("__/__/____");

// Normalises what was typed into the date box (isTime false) or the time box
// (isTime true) into the value to store:
//  - the box's placeholder characters "_" are dropped;
//  - a time "24:00" is midnight, 00:00;
//  - a valid date (MM/dd/yyyy, M/d/yyyy) or time of day (H:mm, H:mm:ss, with
//    or without AM/PM) is that date or time;
//  - a time of four digits is read as hhmm ("1430" is 14:30);
//  - anything else, and a time outside 00:00 to 23:59, is empty (Null).
// A date comes back as a date, a time as a time of day (on 12/30/1899).
Value ReturnDate(const QString& value, bool isTime);

// The time box's text for a row of the time list: "0600" gives "06:00".
QString timeFromList(const QString& listTime);

// Decides whether a resource may carry a release date. This one refuses a
// release date earlier than the resource's AssignDate and accepts every
// other date, including any date of a resource without an AssignDate. A
// text that is not a date is accepted too (it is stored as empty anyway).
class ReleaseDateValidator {
public:
    virtual ~ReleaseDateValidator() = default;
    virtual bool validate(Connection& db, std::int32_t resourceId, const QString& releaseDate);
};

enum class ReleaseSaveOutcome {
    TimeCleared,    // the date box held no text: only the time box was emptied
    NotAResource,   // the equipment has no resource row ("Data Error")
    Saved,          // both values stored (a refused date is stored empty)
};

// cmdSave: stores the two boxes into the resource of the equipment whose
// unique name is given. A date and time that the validator refuses empties
// both boxes (dateText and timeText) and both stored values; a date without
// time is stored without asking the validator.
ReleaseSaveOutcome saveReleaseDateTime(Connection& db, Dialogs& dialogs, ReleaseDateValidator& validator,
                                       const QString& uniqueEquipmentName, QString& dateText, QString& timeText);

// The Data Error message of a chosen equipment without a resource row.
void showNotAResource(Dialogs& dialogs);

// The SQL text that finds the resource of an equipment by its unique name,
// with the columns given: "Select <columns> From Resources where ResourceID
// in (Select ResourceID from Equipment where UniqueEquipmentName = '...')".
QString resourceOfEquipmentSql(const QString& columns, const QString& uniqueEquipmentName);

}  // namespace quillon
