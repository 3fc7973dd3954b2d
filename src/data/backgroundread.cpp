#include "data/backgroundread.h"

#include <chrono>
#include <exception>

namespace quillon {

namespace {

constexpr std::chrono::milliseconds kPoll(20);

}  // namespace

BackgroundRead::BackgroundRead(Connection& connection, QString sql, LockType lock)
    : m_connection(connection), m_lock(lock)
{
    if (!connection.engine().usableFromAnyThread()) {
        m_deferred = true;
        m_sql = std::move(sql);
        return;
    }
    std::promise<RecordsetPtr> promise;
    m_result = promise.get_future();
    m_thread = std::thread([this, sql = std::move(sql), lock, promise = std::move(promise)]() mutable {
        // The rows are counted here as the engine reads them, and the read
        // stops at the next count once it is to stop.
        Progress counting;
        counting.setListener(
            [this](const Progress& p) {
                m_rows.store(p.done(), std::memory_order_relaxed);
                if (m_stop.load()) throw RunCancelled();
            },
            0, 0);
        m_connection.setReadProgress(&counting);
        try {
            RecordsetPtr rows = m_connection.openRecordset(sql, CursorType::Static, lock);
            m_connection.setReadProgress(nullptr);
            promise.set_value(std::move(rows));
        } catch (...) {
            m_connection.setReadProgress(nullptr);
            promise.set_exception(std::current_exception());
        }
    });
}

BackgroundRead::~BackgroundRead() { stop(); }

void BackgroundRead::stop()
{
    if (!m_thread.joinable()) return;
    m_stop = true;
    // The engine may be sorting before its first row, where no count comes:
    // it is interrupted, again until the read has ended (an interrupt asked
    // for before the statement runs is forgotten as it starts).
    while (m_result.wait_for(kPoll) != std::future_status::ready) m_connection.interrupt();
    m_thread.join();
}

RecordsetPtr BackgroundRead::take(Progress& progress)
{
    if (m_deferred) {
        ReadProgress counting(m_connection, progress);
        return m_connection.openRecordset(m_sql, CursorType::Static, m_lock);
    }
    // Until the first rows are counted (the engine may be sorting) the step
    // shows on its own, and the window stays alive.
    const auto tell = [&] {
        const std::int64_t rows = m_rows.load(std::memory_order_relaxed);
        if (rows > 0) progress.advanceRows(rows);
        else progress.advance(0);
    };
    try {
        while (m_result.wait_for(kPoll) != std::future_status::ready) tell();
        tell();
    } catch (...) {
        stop();
        throw;
    }
    m_thread.join();
    return m_result.get();
}

}  // namespace quillon
