#include "shell/windows.h"

#include "shell/app.h"
#include "shell/mainmenu_window.h"

namespace quillon {

void registerShellWindows(App& app)
{
    app.windows().add(QStringLiteral("Form0"), [&app] { return new MainMenuWindow(app); });
    app.windows().setMainWindow(QStringLiteral("Form0"));
}

}  // namespace quillon
