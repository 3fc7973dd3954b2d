#pragma once
// Reads one query's rows on a thread of its own while the caller does other
// work that leaves the connection alone (laying out a report read before,
// say), so that both go on at once.
//
//   BackgroundRead read(db, sql);           // the read starts
//   ... work that does not use db ...
//   RecordsetPtr rs = read.take(progress);  // waits, counting rows; serves Cancel
//
// The connection is the reader's from the start until take() returns or the
// reader goes: nothing else may use it in between. A read not taken is
// stopped and waited for when the reader goes. An engine bound to the thread
// that opened it (ODBC through Qt's SQL module) reads in take() instead.

#include "data/connection.h"
#include "data/progress.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <future>
#include <thread>

namespace quillon {

class BackgroundRead {
public:
    BackgroundRead(Connection& connection, QString sql, LockType lock = LockType::Optimistic);
    ~BackgroundRead();
    BackgroundRead(const BackgroundRead&) = delete;
    BackgroundRead& operator=(const BackgroundRead&) = delete;

    // Waits for the rows, telling `progress` how many are read so far
    // ("Reading the invoice data: 120,000 rows") and serving its cancel: on
    // RunCancelled the read is stopped, also in the middle of the engine's
    // own sorting, before the exception goes on. A failed read throws here
    // what the read threw. Once only.
    RecordsetPtr take(Progress& progress);

private:
    void stop();

    Connection& m_connection;
    // Where the engine stays on its thread, take() does the read.
    bool m_deferred = false;
    QString m_sql;
    LockType m_lock;
    std::atomic<std::int64_t> m_rows{0};
    std::atomic<bool> m_stop{false};
    std::future<RecordsetPtr> m_result;
    std::thread m_thread;
};

}  // namespace quillon
