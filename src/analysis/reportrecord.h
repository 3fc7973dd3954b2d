#pragma once
// One scratch row of a computed report (table ReportRecords). Work/rest rows
// set the two limit flags and leave ExcessHrs to the column's default;
// excess-hours rows set ExcessHrs and leave the flags to theirs. Every row of
// one run sets the same columns.

#include "data/value.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quillon {

struct ReportRecord {
    std::int32_t ReportRun = 0;
    std::int32_t IncidentID = 0;
    std::int32_t PersonID = 0;
    QString KindCode;
    QString RequestNumber;
    QDate ActivityDT;                  // invalid: no date (written as Null)
    double TotalDayHrs = 0.0;
    std::optional<double> ExcessHrs;   // excess-hours rows
    std::optional<bool> HR20in24;      // work/rest rows: over 16 hours in the day
    std::optional<bool> HR36in48;      // work/rest rows: over 32 hours with the row before

    // The columns this row sets, with their values, in the table's column order.
    std::vector<std::pair<QString, Value>> assignedValues() const;
};

// Column names of ReportRecords in the table's order, which inserts rely on.
const QStringList& reportRecordColumns();

}  // namespace quillon
