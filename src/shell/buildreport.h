#pragma once
// Building and showing a report from the shared state.
//
// BuildReport plans the report (catalogue and SQL), shows the planner's
// message, opens the template, sets its parameters, runs the data sets over
// the shared connection and binds them, leaving everything in the shared
// state. ShowReport previews it in viewer 1 or 2 or prints it.

#include "reports/catalogue/reportplan.h"
#include "shell/app.h"

#include <cstdint>

namespace quillon {

// Returns true when the report is ready. Engine and database errors pass to
// the caller as DbError.
bool BuildReport(App& app, std::int32_t& InvoiceKey);
// The same for a plan made before, whose first data set may have been read
// already (`firstDataSet`; nullptr: it is read here).
bool BuildPlannedReport(App& app, const ReportPlan& plan, RecordsetPtr firstDataSet = nullptr);

// preview 0 prints on the default printer; otherwise viewer 1 or 2 shows the
// report (any other viewer number gives no output). The engine application
// object is released afterwards.
void ShowReport(App& app, std::int16_t preview, std::int16_t viewer);

}  // namespace quillon
