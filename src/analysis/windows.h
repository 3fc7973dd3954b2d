#pragma once
// The personnel-time windows by form name: Form1 (work/rest ratio), Form3
// (summary of hours), Form5 (shifts in excess of standard hours).

namespace quillon {

class App;

void registerAnalysisWindows(App& app);

}  // namespace quillon
