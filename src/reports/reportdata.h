#pragma once
// What a built report was made of, as JSON: how it was built (report number,
// template, title, SQL texts, parameter values) under "report", and the rows
// of its data sets as "table1" and "subreport1". The file renders again with
// quillon-batch render --data, and tests read the rows from it.

#include "data/appstate.h"

#include <QByteArray>
#include <QIODevice>

namespace quillon {

// Written to `out` as a stream: the rows go out one at a time, never held as
// a whole document, so that a large report's data file costs no more memory
// than its rows already take.
void writeReportDataJson(const AppState& state, QIODevice& out);
// The same in memory, for small reports and tests.
QByteArray reportDataJson(const AppState& state);

}  // namespace quillon
