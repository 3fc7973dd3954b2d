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

#include <vector>

namespace quillon::reports {

// One section of a number pattern.
struct NumberSection {
    QString prefix, suffix;
    int minInt = 1;
    int minDec = 0, maxDec = 0;
    bool grouping = false;
    bool percent = false;
    bool valid = false;
};

// A format read once and applied to many values.
class DisplayFormat {
public:
    DisplayFormat() = default;
    explicit DisplayFormat(const QString& format);
    QString apply(const Value& value) const;
    bool isNumber() const { return m_number; }
    bool isEmpty() const { return m_pattern.isEmpty(); }
    const QString& pattern() const { return m_pattern; }

private:
    // A date pattern read into its pieces: a field of the date or time
    // (`field` its letter, `width` how many times it repeats) or, for field
    // 0, literal text. Patterns with anything less common are left to
    // QLocale as a whole.
    struct DatePart {
        char field = 0;
        int width = 0;
        QString text;
    };
    void readDatePattern();
    QString formatDate(const QDate& date, const QTime& time) const;

    QString formatNumber(const Value& v) const;
    std::vector<DatePart> m_dateParts;
    bool m_datePartsRead = false;    // m_dateParts holds the whole pattern
    bool m_timeFields = false;       // the pattern shows hours, minutes or seconds
    QString m_pattern;            // named formats expanded
    bool m_number = false;
    NumberSection m_pos, m_neg, m_zero;
    bool m_hasNeg = false, m_hasZero = false;
    QString m_zeroText;           // a zero section without digits: shown as it is
};

QString formatValue(const Value& value, const QString& format);

// True when the format (after expanding named formats) is a number pattern.
bool isNumberPattern(const QString& format);

}  // namespace quillon::reports
