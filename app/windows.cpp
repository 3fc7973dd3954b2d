#include "windows.h"

#include "invoicing/contractor_windows.h"
#include "invoicing/form7.h"
#include "rosters/windows.h"
#include "shell/windows.h"

namespace quillon {

void registerAllWindows(App& app)
{
    registerShellWindows(app);
    registerContractorWindows(app);
    registerForm7(app);
    registerRosterWindows(app);
}

}  // namespace quillon
