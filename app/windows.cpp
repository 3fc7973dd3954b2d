#include "windows.h"

#include "shell/windows.h"

namespace quillon {

void registerAllWindows(App& app)
{
    registerShellWindows(app);
}

}  // namespace quillon
