#pragma once
// What a built report was made of, as JSON: how it was built (report number,
// template, title, SQL texts, parameter values) under "report", and the rows
// of its data sets as "table1" and "subreport1". The file renders again with
// quillon-batch render --data, and tests read the rows from it.

#include "data/appstate.h"

#include <QByteArray>

namespace quillon {

QByteArray reportDataJson(const AppState& state);

}  // namespace quillon
