#pragma once
// How far a long run has come, and the user's wish to stop it. A run reports
// its steps here ("Numbering postings", 12,000 of 370,000); a window, the
// scripted run or nothing at all listens; the run asks at each step whether
// to stop and then throws RunCancelled, after which it undoes what it did.
// Nothing here knows about windows, so runs are tested without them.
//
//   Progress progress;
//   progress.setListener([&](const Progress& p) { label->setText(p.text()); }, 500, 100);
//   progress.start();
//   progress.begin(QStringLiteral("Numbering postings"), rows);
//   for (int r = 0; r < rows; ++r) { ...; progress.advance(r + 1); }   // throws RunCancelled
//   progress.finish();

#include <QElapsedTimer>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace quillon {

// A run stopped at the user's request. The run has undone its changes by the
// time this reaches the caller.
class RunCancelled : public std::runtime_error {
public:
    RunCancelled() : std::runtime_error("The run was cancelled.") {}
};

class Progress {
public:
    using Listener = std::function<void(const Progress&)>;

    // The listener hears of the run once it has lasted `firstAfterMs`, then at
    // most every `everyMs` and at its end (only if it heard of it before).
    void setListener(Listener listener, int firstAfterMs = 500, int everyMs = 100);

    // A new run: no step yet, no cancel asked for (a pending cancelAt stays).
    void start();
    // A new step of `total` units (0 when the count is not known).
    void begin(const QString& step, std::int64_t total = 0);
    // The current step has done `done` units. Throws RunCancelled when a
    // cancel was asked for.
    void advance(std::int64_t done);
    // The current step has read `rows` rows of a query whose count is not
    // known before the last one. Throws RunCancelled as advance() does.
    void advanceRows(std::int64_t rows);
    // Throws RunCancelled when a cancel was asked for.
    void check();
    // The run is done: the step reads "Done".
    void finish();

    // Asks the run to stop at its next check (the window's Cancel).
    void requestCancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel; }
    // Asks for a cancel once the step named `step` has done `at` units (0: as
    // it begins), once; `stopped` hears where the run stopped. For scripted
    // runs and tests.
    void cancelAt(const QString& step, std::int64_t at, Listener stopped = {});

    const QString& step() const { return m_step; }
    std::int64_t done() const { return m_done; }
    std::int64_t total() const { return m_total; }
    bool finished() const { return m_finished; }
    // "Numbering postings 12,000 of 370,000"; "Reading the invoice data: 120,000
    // rows" while rows are read; the step alone before anything is counted.
    QString text() const;

    // Rows of a query read so far, counted every few thousand rows into
    // `progress` (if any); throws RunCancelled when the run is to stop.
    static void rowsRead(Progress* progress, std::size_t rows)
    {
        if (progress && rows % 4096 == 0) progress->advanceRows(std::int64_t(rows));
    }

private:
    void notify(bool force);

    Listener m_listener;
    int m_firstAfterMs = 500;
    int m_everyMs = 100;
    QElapsedTimer m_clock;
    qint64 m_lastNotice = -1;   // ms since start of the last notice; -1 none yet
    QString m_step;
    std::int64_t m_done = 0;
    std::int64_t m_total = 0;
    bool m_rows = false;        // m_done counts rows read, of a count not known
    bool m_cancel = false;
    bool m_finished = false;
    QString m_cancelStep;
    std::int64_t m_cancelAt = -1;
    Listener m_stopped;
};

}  // namespace quillon
