#include "windows.h"

#include "invoicing/contractor_windows.h"
#include "invoicing/form6.h"
#include "rosters/windows.h"
#include "shell/windows.h"

namespace quillon {

void registerAllWindows(App& app)
{
    registerShellWindows(app);
    registerContractorWindows(app);
    registerForm6(app);
    registerRosterWindows(app);
}

}  // namespace quillon
