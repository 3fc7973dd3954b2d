#pragma once
// SQL texts of the roster windows: the office tree of the personnel time
// report, the three lists of the commissary authorization window and the
// crews of the crew roster window. Each text is joined from fixed fragments
// with values and is the same for both database kinds unless said otherwise.

#include "shell/appstate.h"

#include <QDate>
#include <QString>

namespace quillon {

// One row per agency code, fax number and person (agencycode, faxphone,
// fullname "First Last") for the persons the personnel time report lists: a
// 10-character fax number, an employment code other than 'AD' (or none), a
// status other than 'D' (or none) and a posting between the two dates, in the
// chosen incident unless incidents are managed as one. Rows come ordered by
// agency, fax number, last and first name and person, so that the rows of one
// agency and of one fax number are adjacent.
QString officeTreeSql(const AppState& state, const QDate& start, const QDate& end);

// Persons attached to a resource (strName "Last, First", PersonID).
QString commissaryPersonListSql(const AppState& state);
// Crews: resources with the Collection flag (Name, ResourceID).
QString commissaryCrewListSql(const AppState& state);
// Request numbers in request-number order, one row per resource, each with
// the ResourceID it stands for (RequestNumber, reqnum, reqcat, ResourceID).
QString commissaryRequestNumberListSql(const AppState& state);

// Crews of the crew roster window, by name (RequestNumber, Name, ResourceID,
// ReqCat, ReqNum).
QString crewRosterCrewsSql(const AppState& state);

}  // namespace quillon
