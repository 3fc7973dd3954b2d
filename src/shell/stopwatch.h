#pragma once
// clsStopWatch: times a run in milliseconds on a monotonic clock and shows the
// result in a "Timing Results" box.

#include "ui/dialogs.h"

#include <cstdint>
#include <functional>

namespace quillon {

class clsStopWatch {
public:
    using Clock = std::function<std::int64_t()>;  // milliseconds, never going back

    // Milliseconds since an arbitrary fixed point (the system's monotonic clock).
    static std::int64_t monotonicMilliseconds();

    explicit clsStopWatch(Dialogs& dialogs, Clock clock = &clsStopWatch::monotonicMilliseconds);

    void StartTimer();
    // Shows "<n> milliseconds" and returns n. An elapsed time that does not fit
    // a signed 32-bit count throws DbError Overflow and shows nothing. The clock
    // is read with 64 bits, so a run across the 32-bit wrap of the millisecond
    // count still measures correctly.
    std::int32_t StopTimer();

private:
    Dialogs& m_dialogs;
    Clock m_clock;
    std::int64_t m_start = 0;
};

}  // namespace quillon
