#pragma once
// Reading the ISO spellings dates and times are stored in ('2026-07-14',
// '2026-07-14 06:30:00', '06:30') straight from their characters: a column
// of a record set or an argument of a SQL function is converted hundreds of
// thousands of times in a big run, and a general date parser costs far more.
// The values are wall-clock values, independent of the machine's time zone.

#include <QDate>
#include <QDateTime>
#include <QString>

namespace quillon {

// 'YYYY-MM-DD' at the start of p (what follows is not looked at).
bool parseIsoDate(const char* p, int n, QDate& d);
// 'HH:MM[:SS[.fff]]' exactly.
bool parseIsoTime(const char* p, int n, QTime& t);
// 'YYYY-MM-DD', 'YYYY-MM-DD HH:MM[:SS[.fff]]', 'YYYY-MM-DDTHH:MM[:SS]' or a
// time alone (on the day 12/30/1899), as a wall-clock value.
bool parseIsoDateTime(const char* p, int n, QDateTime& dt);

}  // namespace quillon
