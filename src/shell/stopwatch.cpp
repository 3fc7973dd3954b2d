#include "shell/stopwatch.h"

#include "data/dberror.h"
#include "shell/startup_commandline.h"

#include <chrono>
#include <limits>

namespace quillon {

std::int64_t clsStopWatch::monotonicMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

clsStopWatch::clsStopWatch(Dialogs& dialogs, Clock clock) : m_dialogs(dialogs), m_clock(std::move(clock))
{
}

void clsStopWatch::StartTimer()
{
    m_start = m_clock();
}

std::int32_t clsStopWatch::StopTimer()
{
    const std::int64_t elapsed = m_clock() - m_start;
    if (elapsed < std::numeric_limits<std::int32_t>::min() || elapsed > std::numeric_limits<std::int32_t>::max())
        throw DbError(ErrorNumber::Overflow, QStringLiteral("Overflow: %1 milliseconds do not fit the timer").arg(elapsed));
    m_dialogs.messageBox(QStringLiteral("%1 milliseconds").arg(elapsed), MsgButtons::OK, MsgIcon::Information,
                         QStringLiteral("Timing Results"));
    return std::int32_t(elapsed);
}

}  // namespace quillon
