#pragma once
// Key allocation: every row the program inserts into a table of its own, and
// every scratch report run, takes its key from the database's stored
// procedure usp_getNextNumber. The program never computes keys itself.

#include <QString>

namespace quillon {

class Connection;

// The next key for `table` (the field name is passed on to the procedure; it
// may be empty, as for ReportRecords runs). Errors of the call (procedure
// missing, connection lost) pass to the caller as DbError; so does an empty
// or out-of-range result, and then no key is returned.
int NextNumber(Connection& connection, const QString& table, const QString& field);

}  // namespace quillon
