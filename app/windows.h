#pragma once
// Every window of the program, by form name, in the application's registry.

namespace quillon {

class App;

// Calls each area's register function.
void registerAllWindows(App& app);

}  // namespace quillon
