#pragma once
// Report data from JSON, for the batch tool, tests and template authors:
//   { "table1": [ {"PersonID": 7, "LastName": "Ames", "Hours": 7.5,
//                  "ActivityDT": "2024-06-30", "Amt": {"currency": "12.50"}} ],
//     "subreport1": [ ... rows of the subreport named subreport1 ... ] }
// A bare array is table 1. Strings of the form 2024-06-30 become dates and
// 2024-06-30T06:00 date-times; {"currency": "..."}, {"date": "..."},
// {"time": "06:00"} and {"text": "..."} give a value an explicit kind.
// Whole numbers become integers, other numbers doubles.

#include "data/recordset.h"

#include <QByteArray>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonValue>

#include <map>

namespace quillon::reports {

// Rows of one table; fields are the union of the rows' keys. Throws DbError
// naming `where` (and the row and field) on values it cannot read.
RecordsetPtr recordsetFromJson(const QJsonArray& rows, const QString& where);

// The inverse: a value as the reader above takes it back, and the rows of a
// record set as an array of row objects.
QJsonValue jsonFromValue(const Value& v);
QJsonArray recordsetToJson(const Recordset& rs);
// The same array written to `out` a row at a time (one row a line), so that
// no more than a row is held as JSON however many there are.
void writeRecordsetJson(const Recordset& rs, QIODevice& out);

// Every table of a JSON data file by name ("table1" for a bare array).
std::map<QString, RecordsetPtr> tablesFromJson(const QByteArray& json, const QString& fileForMessages);

}  // namespace quillon::reports
