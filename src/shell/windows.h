#pragma once
// The application shell's windows: the main menu, Form0.

namespace quillon {

class App;

void registerShellWindows(App& app);

}  // namespace quillon
