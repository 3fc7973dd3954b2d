#include "analysis/windows.h"

#include "analysis/analysiswindows.h"
#include "shell/app.h"

namespace quillon {

void registerAnalysisWindows(App& app)
{
    WindowRegistry& windows = app.windows();
    windows.add(QStringLiteral("Form1"), [&app] { return new PostingAnalysisWindow(app, AnalysisKind::WorkRest); });
    windows.add(QStringLiteral("Form3"), [&app] { return new SummaryOfHoursWindow(app); });
    windows.add(QStringLiteral("Form5"), [&app] { return new PostingAnalysisWindow(app, AnalysisKind::ExcessHours); });
}

}  // namespace quillon
