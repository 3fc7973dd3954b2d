#include "rosters/windows.h"

#include "rosters/commissaryauthorizationwindow.h"
#include "rosters/crewrosterwindow.h"
#include "rosters/incidenttimereportwindow.h"

namespace quillon {

void registerRosterWindows(App& app)
{
    WindowRegistry& windows = app.windows();
    windows.add(IncidentTimeReportWindow::FormName, [&app] { return new IncidentTimeReportWindow(app); });
    windows.add(CommissaryAuthorizationWindow::FormName, [&app] { return new CommissaryAuthorizationWindow(app); });
    windows.add(CrewRosterWindow::FormName, [&app] { return new CrewRosterWindow(app); });
}

}  // namespace quillon
