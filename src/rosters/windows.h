#pragma once
// The roster windows: the personnel time report (frmIncidentTimeReport), the
// commissary authorization (Form9) and the crew roster (Form12).

namespace quillon {

class App;

// Adds the roster windows to app.windows() by form name.
void registerRosterWindows(App& app);

}  // namespace quillon
