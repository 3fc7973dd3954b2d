#pragma once
// Two small queries of the report module that the invoice windows use.

#include "shell/app.h"

#include <QDate>

#include <cstdint>

namespace quillon {

// Whether "Select * from <name>" opens on the shared connection (the OF-288
// run asks it of its temporary table). Every error means false.
bool TableExists(App& app, const QString& name);

// A person's posted hours between two dates (both inclusive) on postings not
// yet invoiced (InvoiceID = 0), rounded to a whole number with halves going to
// the even neighbour (7.5 -> 8, 6.5 -> 6); 0 when there are none.
std::int32_t UninvoicedHours(App& app, std::int32_t personId, const QDate& start, const QDate& end);

// The rounding UninvoicedHours applies.
std::int32_t roundHalfToEven(double hours);

}  // namespace quillon
