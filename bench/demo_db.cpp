// Writing the sample database at several scales, side by side in one run:
// time per scale, rows per second, how the time grows with the scale, and
// the share of the 15-second budget that scale 25 takes. Also the summary.
//
//   bench_demo_db [max-scale]     (default 25)
#include "data/demo/database_summary.h"
#include "data/demo/demo_database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quillon::demo;

namespace {

struct Result {
    int scale;
    double seconds;
    qint64 rows;
    qint64 bytes;
    double summarySeconds;
};

Result measure(const QTemporaryDir& dir, int scale)
{
    const QString path = dir.filePath(QStringLiteral("bench-%1.db").arg(scale));
    QElapsedTimer timer;
    timer.start();
    const DemoCounts counts = createDemoDatabase(path, {scale, DemoOptions::DefaultSeed});
    const double seconds = timer.nsecsElapsed() / 1e9;
    timer.restart();
    summarizeDatabase(path);
    const double summarySeconds = timer.nsecsElapsed() / 1e9;
    const qint64 rows = qint64(counts.personPostings) + counts.persons + counts.resources + counts.debits +
                        counts.equipmentPostings * 2 + counts.equipment + counts.adjustments;
    const qint64 bytes = QFile(path).size();
    QFile::remove(path);
    return {scale, seconds, rows, bytes, summarySeconds};
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int maxScale = argc > 1 ? std::max(1, atoi(argv[1])) : 25;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }

    std::vector<int> scales{1, 5, maxScale};
    if (maxScale <= 5) scales = {1, maxScale};
    std::vector<Result> results;
    measure(dir, 1);  // warm-up: page cache, first allocations
    for (int scale : scales) results.push_back(measure(dir, scale));

    const Result& base = results.front();
    std::printf("%6s %10s %12s %12s %10s %16s %10s\n", "scale", "seconds", "rows", "rows/s", "MB",
                "time/(scale*t1)", "summary s");
    for (const Result& r : results) {
        std::printf("%6d %10.3f %12lld %12.0f %10.1f %16.2f %10.3f\n", r.scale, r.seconds, (long long)r.rows,
                    r.rows / r.seconds, r.bytes / 1e6, r.seconds / (r.scale * base.seconds), r.summarySeconds);
    }
    const Result& largest = results.back();
    std::printf("scale %d uses %.1f%% of the 15 s budget\n", largest.scale, 100.0 * largest.seconds / 15.0);
    return 0;
}
