// Fetch speed of a record set against the raw sqlite3 C API, side by side.
//
//   bench_recordset_fetch [database-file]
//
// Without an argument it builds a temporary database with 200,000 PersonsPost
// rows; a named file that does not exist yet is built the same way and kept. Both sides read "SELECT * FROM PersonsPost" completely: the raw side
// steps the statement and reads every column with the accessor of its
// storage class; the record set side opens a Recordset (typed Values in
// memory). Each side keeps its connection open across the rounds, so both
// read warm. Each side runs five times, alternating; the best times count.
// The goal: the record set at least half as fast as the raw reader.

#include "data/connection.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

using namespace quillon;

static void buildDatabase(const QString& path, int rows)
{
    Connection::createEmbeddedDatabase(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO PersonsPost (PersonsPostID, PersonID, ActivityDT, StartTime, StopTime, Hours, KindCode, "
                       "PremiumCode, Class, Rate, AccountingID, Column288, RptOrder, FinalCol, InvoiceID) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", -1, &st, nullptr);
    static const char* const kinds[] = {"FFT1", "FFT2", "CRWB", "ENGB", "DOZB"};
    char date[16], start[24], stop[24];
    for (int i = 1; i <= rows; ++i) {
        const int day = i % 28 + 1, month = i % 12 + 1, hour = 5 + i % 4;
        std::snprintf(date, sizeof date, "2024-%02d-%02d", month, day);
        std::snprintf(start, sizeof start, "1899-12-30 %02d:00:00", hour);
        std::snprintf(stop, sizeof stop, "1899-12-30 %02d:30:00", hour + 10);
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_int(st, 2, 1 + i / 40);
        sqlite3_bind_text(st, 3, date, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, start, -1, SQLITE_TRANSIENT);
        if (i % 10 == 0) sqlite3_bind_null(st, 5); else sqlite3_bind_text(st, 5, stop, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 6, 10.5);
        sqlite3_bind_text(st, 7, kinds[i % 5], -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 8, i % 3 ? "" : "HAZ", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 9, "A", -1, SQLITE_STATIC);
        sqlite3_bind_double(st, 10, 25.75 + i % 7);
        sqlite3_bind_int(st, 11, 1 + i % 3);
        sqlite3_bind_int(st, 12, 1 + i % 7);
        sqlite3_bind_int(st, 13, i % 50);
        sqlite3_bind_int(st, 14, 0);
        sqlite3_bind_int(st, 15, i % 4 ? 0 : 1 + i / 1000);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

static const char* const kQuery = "SELECT * FROM PersonsPost";

// Reads every value of every row; returns a checksum so nothing is skipped.
// Both sides keep their connection open across the rounds (warm on both):
// each round prepares the query and reads it through.
static long long rawFetch(sqlite3* db, int& rows)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, kQuery, -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    long long sum = 0;
    rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: sum += sqlite3_column_int64(st, i); break;
            case SQLITE_FLOAT: sum += (long long)sqlite3_column_double(st, i); break;
            case SQLITE_TEXT: sum += sqlite3_column_text(st, i)[0] + sqlite3_column_bytes(st, i); break;
            default: break;
            }
        }
    }
    sqlite3_finalize(st);
    return sum;
}

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    QString path;
    path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("bench.db"));
    if (!QFileInfo::exists(path)) {
        std::printf("building 200000 PersonsPost rows...\n");
        buildDatabase(path, 200000);
    }
    Connection db;
    db.openEmbedded(path);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);

    qint64 bestRaw = -1, bestOurs = -1;
    int rawRows = 0, ourRows = 0;
    long long check = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        check += rawFetch(raw, rawRows);
        const qint64 raw = t.nsecsElapsed();
        t.restart();
        RecordsetPtr rs = db.openRecordset(QString::fromLatin1(kQuery), CursorType::Static, LockType::ReadOnly);
        ourRows = rs->recordCount();
        const qint64 ours = t.nsecsElapsed();
        rs.reset();
        bestRaw = bestRaw < 0 ? raw : std::min(bestRaw, raw);
        bestOurs = bestOurs < 0 ? ours : std::min(bestOurs, ours);
    }
    sqlite3_close(raw);
    std::printf("rows: raw %d, record set %d (checksum %lld)\n", rawRows, ourRows, check);
    std::printf("raw sqlite3 C API : %8.1f ms\n", bestRaw / 1e6);
    std::printf("Recordset         : %8.1f ms\n", bestOurs / 1e6);
    const double ratio = double(bestRaw) / double(bestOurs);
    std::printf("record set speed / raw speed: %.2f (goal: at least 0.50) %s\n", ratio, ratio >= 0.5 ? "met" : "NOT MET");
    return rawRows == ourRows ? 0 : 1;
}
