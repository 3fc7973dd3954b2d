#pragma once
// Values placed into SQL text. Statements are built by joining fixed fragments
// with values, so every builder formats values the same way:
//  - integers in decimal, no padding;
//  - dates in their short text form, month/day/year without leading zeros
//    (6/30/2024); the fragment around them supplies the quotes;
//  - texts as they are, except that a text placed between single quotes has
//    each of its single quotes doubled, so a name like O'Brien stays one
//    literal instead of ending it.

#include <QDate>
#include <QString>

#include <cstdint>

namespace quillon {

// Decimal text of an integer: 42, -1.
QString sqlInt(std::int64_t value);

// Short date text, M/d/yyyy: 6/30/2024. An unset date gives an empty text.
QString sqlDate(const QDate& date);

// A text that goes between single quotes supplied by the surrounding
// fragments: every ' becomes ''. A text without quotes is returned unchanged.
QString sqlQuoteInner(const QString& text);

// A complete string literal: the text between single quotes, quotes doubled.
QString sqlString(const QString& text);

}  // namespace quillon
