#pragma once
// Two small look-ups the personnel invoice services share: whether a table
// (the connection's preparation table) exists, and how many open hours a
// person posted in a period.

#include <QDate>
#include <QString>

#include <cstdint>

namespace quillon {

class Connection;

// True when "Select * from <name>" opens; any error gives false.
bool tableExistsOn(Connection& db, const QString& name);

// The person's hours from `start` to `end` (both inclusive) over postings not
// yet invoiced (InvoiceID 0), rounded to a whole number with halves going to
// the even neighbour (7.5 -> 8, 6.5 -> 6); 0 when there are none.
std::int32_t uninvoicedHoursOn(Connection& db, std::int32_t personId, const QDate& start, const QDate& end);

// Whole hours as the invoice keeps them: nearest whole number, halves to even.
std::int32_t roundHalfEven(double hours);

}  // namespace quillon
