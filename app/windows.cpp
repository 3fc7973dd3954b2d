#include "windows.h"

#include "invoicing/contractor_windows.h"
#include "shell/windows.h"

namespace quillon {

void registerAllWindows(App& app)
{
    registerShellWindows(app);
    registerContractorWindows(app);
}

}  // namespace quillon
