#pragma once
// Report inputs of the shared state set by name from text, for scripted runs
// and the batch tool: "SelectedPersonId=42", "ReportEndDate=06/30/2024".

#include "data/appstate.h"

#include <QString>
#include <QStringList>

namespace quillon {

// Names accepted by assignReportInput, in the order of the shared state.
QStringList reportInputNames();

// Sets the member called name (matched without regard to case) from text:
// whole numbers in decimal, dates as MM/dd/yyyy (M/d/yyyy accepted), booleans
// as true/false, money and doubles in decimal with a point, DatabaseKind as
// SqlServer/Access. On failure returns false with the reason in *error and
// leaves state as it was.
bool assignReportInput(AppState& state, const QString& name, const QString& text, QString* error);

}  // namespace quillon
