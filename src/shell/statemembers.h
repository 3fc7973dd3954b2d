#pragma once
// Any member of the shared state set by name from text, for scripted runs:
// the report inputs (reportinputs.h) and the start-up, incident and invoice
// members besides them ("IncidentStartYear 05", "TimingTest true").

#include "shell/appstate.h"

#include <QString>
#include <QStringList>

namespace quillon {

// Every name assignStateMember takes.
QStringList stateMemberNames();

// Sets the member called name (case ignored) from text, in the forms of
// assignReportInput. On failure returns false with the reason in *error and
// leaves the state as it was.
bool assignStateMember(AppState& state, const QString& name, const QString& text, QString* error);

}  // namespace quillon
