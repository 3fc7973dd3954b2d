#include "shell/stopwatch.h"

#include "data/dberror.h"

#include "printers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quillon;

TEST(StopWatch, ShowsAndReturnsTheElapsedMilliseconds)
{
    ScriptedDialogs dialogs;
    std::int64_t now = std::int64_t(std::numeric_limits<std::uint32_t>::max()) - 100;  // just before a 32-bit wrap
    clsStopWatch watch(dialogs, [&now] { return now; });
    watch.StartTimer();
    now += 1250;
    EXPECT_EQ(watch.StopTimer(), 1250);
    EXPECT_EQ(dialogs.log(), (QStringList{QStringLiteral("MESSAGE Timing Results | 1250 milliseconds"),
                                          QStringLiteral("-> OK")}));

    dialogs.clearLog();
    now += std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    try {
        watch.StopTimer();
        ADD_FAILURE() << "no overflow";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST(StopWatch, MonotonicClockNeverGoesBack)
{
    const std::int64_t a = clsStopWatch::monotonicMilliseconds();
    const std::int64_t b = clsStopWatch::monotonicMilliseconds();
    EXPECT_GE(b, a);
    EXPECT_GT(a, 0);
}
