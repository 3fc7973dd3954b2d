#pragma once
// SQL Server functions the program's statements call, registered on an
// embedded connection so that the adapted text runs unchanged in meaning:
//   left(s, n), right(s, n)   first / last n characters (quoted "left"( by the adapter)
//   len(s)                    length without trailing blanks
//   str(x [, length [, decimals]])  number right-aligned in `length` (10)
//                             characters, rounded to `decimals` (0); stars when it does not fit
//   datepart(part, date)      'yyyy', 'm', 'd', 'hh', 'dw', ... of an ISO date text
//   getdate()                 the current local date and time
//   f_SortRequestNumber(rn)   a text that sorts request numbers naturally, by
//                             the server function's rule: trimmed, upper case,
//                             each run of digits left-padded with zeros to six
//                             places, other characters kept. So C-5 < C-12 <
//                             C-12.1 < C-13, and E-2 < E-10.

#include <QString>

struct sqlite3;

namespace quillon {

// Registers the functions above; returns the SQLite result code.
int registerSqliteFunctions(sqlite3* db);

// The sort key f_SortRequestNumber returns, for use outside SQL as well.
QString requestNumberSortKey(const QString& requestNumber);

}  // namespace quillon
