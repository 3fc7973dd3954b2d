#pragma once
// Start-up over the application object: the login component is created by the
// caller's factory, its connection becomes the application's shared
// connection before the first window loads, and the windows start-up opens
// come from the application's window registry.

#include "shell/app.h"
#include "shell/login.h"

#include <functional>
#include <memory>

namespace quillon {

using DvnLoginFactory = std::function<std::unique_ptr<DvnLoginComponent>()>;

// Runs start-up for a command line ("" for an interactive launch). When it
// leaves the program running (MainMenu, Window) the application owns the
// login component afterwards; otherwise the component is shut down and gone.
// With showWindows false nothing is shown (scripted runs open windows
// themselves).
Startup::Outcome startApplication(App& app, const QString& commandLine, const QString& programDir,
                                  const DvnLoginFactory& createLogin, bool showWindows = true);

}  // namespace quillon
