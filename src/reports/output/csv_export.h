#pragma once
// A report's rows as CSV: UTF-8 (with a byte-order mark, so spreadsheet
// programs read non-Latin names right), comma-separated, CRLF line ends, a
// heading line of field names, and a field quoted when it holds a comma, a
// double quote, a line break or blanks at its ends (RFC 4180). Values are
// written as the reports show them: dates M/d/yyyy, money as plain decimals.

#include "data/recordset.h"

#include <QByteArray>

namespace quillon::reports {

QByteArray rowsToCsv(const Recordset& rows);

}  // namespace quillon::reports
