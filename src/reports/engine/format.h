#pragma once
// Display formats of report fields.
//
// Numbers: patterns of '0' (digit always shown), '#' (digit when needed), ','
// (thousands separators) and '.' (decimal point), with any other characters
// as prefix or suffix: "#,##0.00", "$#,##0.00", "0.0", "0%". Up to three
// sections "positive;negative;zero", e.g. "$#,##0.00;($#,##0.00);-". Values
// round half away from zero; money rounds exactly.
// Dates and times: d dd ddd dddd, M MM MMM MMMM, yy yyyy, h hh H HH, m mm,
// s ss, AP ap; quote literal text with single quotes: "MMM d, yyyy", "HHmm".
// Named formats: currency, number, integer, percent, shortdate, longdate,
// time, time24.
// A format of the wrong kind for the value (a date pattern on a number) is
// ignored and the value shows in its default text form; Null shows as "".

#include "data/value.h"

#include <QString>

namespace quillon::reports {

QString formatValue(const Value& value, const QString& format);

// True when the format (after expanding named formats) is a number pattern.
bool isNumberPattern(const QString& format);

}  // namespace quillon::reports
