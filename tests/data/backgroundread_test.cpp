// Reading a query's rows on a thread of their own: every row arrives, counted
// as it comes; a cancel stops the read, also while the engine is still
// sorting before its first row; a failure comes out where the rows are taken;
// and the connection serves the caller afterwards as before, a transaction's
// rollback included.

#include "data/backgroundread.h"
#include "data/dberror.h"
#include "test_database.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

constexpr int kRows = 50000;

class BackgroundReads : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Set up on a connection of its own, straight through SQLite, so
        // that the rows do not depend on the code under test.
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(t.path().toUtf8().constData(), &raw), SQLITE_OK);
        const char* sql =
            "CREATE TABLE Big (N INTEGER, T TEXT);"
            "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 50000)"
            " INSERT INTO Big SELECT n, 'row ' || n FROM c;";
        char* error = nullptr;
        const int rc = sqlite3_exec(raw, sql, nullptr, nullptr, &error);
        sqlite3_close(raw);
        ASSERT_EQ(rc, SQLITE_OK) << (error ? error : "");
    }
    std::int64_t count(const QString& table) { return t.db.openRecordset("Select Count(*) From " + table)->value(0).toInt(); }
    // A read whose engine sorts without end before its first row (keeping
    // only the one row asked for): it ends only when stopped.
    static QString endlessSort()
    {
        return QStringLiteral("With Recursive c(n) As (Select 1 Union All Select n + 1 From c) Select n From c Order By -n Limit 1");
    }
    bool canInterrupt() const { return t.db.sqliteHandle() != nullptr; }

    testdb::TestDatabase t;
};

}  // namespace

TEST_F(BackgroundReads, EveryRowArrivesCountedAsItComes)
{
    BackgroundRead read(t.db, QStringLiteral("Select N, T From Big Order By N Desc"));
    Progress progress;
    QStringList heard;
    progress.setListener([&](const Progress& p) { heard << p.text(); }, 0, 0);
    progress.start();
    progress.begin(QStringLiteral("Reading the rows"));
    const RecordsetPtr rows = read.take(progress);

    ASSERT_EQ(rows->recordCount(), kRows);
    rows->moveFirst();
    EXPECT_EQ(rows->value(0).toInt(), kRows);
    EXPECT_EQ(rows->value(1).toString(), QStringLiteral("row 50000"));
    std::int64_t sum = 0;
    for (; !rows->eof(); rows->moveNext()) sum += rows->value(0).toInt();
    EXPECT_EQ(sum, std::int64_t(kRows) * (kRows + 1) / 2);
    // The count stands at the last whole 4,096 rows read: 12 of them.
    EXPECT_EQ(progress.done(), 49152);
    EXPECT_EQ(heard.last(), QStringLiteral("Reading the rows: 49,152 rows"));
    // The connection is the caller's again.
    EXPECT_EQ(count(QStringLiteral("Big")), kRows);
}

TEST_F(BackgroundReads, ACancelStopsTheReadAndLeavesTheConnectionWorking)
{
    {
        // Cancelled at a count of rows, as a Run's Cancel press is served.
        BackgroundRead read(t.db, QStringLiteral("Select N, T From Big"));
        Progress progress;
        progress.begin(QStringLiteral("Reading the rows"));
        progress.cancelAt(QStringLiteral("Reading the rows"), 4096);
        EXPECT_THROW(read.take(progress), RunCancelled);
    }
    if (canInterrupt()) {
        // Cancelled before the first row comes, while the engine sorts.
        BackgroundRead read(t.db, endlessSort());
        Progress progress;
        progress.begin(QStringLiteral("Reading the rows"));
        progress.requestCancel();
        EXPECT_THROW(read.take(progress), RunCancelled);
    }
    EXPECT_EQ(count(QStringLiteral("Big")), kRows);
    // A later read on a thread of its own is not touched by the stop before.
    BackgroundRead again(t.db, QStringLiteral("Select N From Big Where N <= 10"));
    Progress progress;
    EXPECT_EQ(again.take(progress)->recordCount(), 10);
}

TEST_F(BackgroundReads, AReadNotTakenStopsWhenItsReaderGoesAndTheRollbackStillUndoes)
{
    if (!canInterrupt()) GTEST_SKIP() << "this engine cannot stop a statement before its first row";
    {
        Transaction tx(t.db);
        t.db.execute(QStringLiteral("Insert Into Big (N, T) Values (-1, 'scratch')"));
        BackgroundRead read(t.db, endlessSort());
        // The reader goes (a failure elsewhere in the run, say) while the
        // engine sorts; then the transaction rolls back.
    }
    EXPECT_EQ(count(QStringLiteral("Big")), kRows);
    EXPECT_EQ(count(QStringLiteral("Big Where N = -1")), 0);
}

TEST_F(BackgroundReads, AFailedReadThrowsWhereItsRowsAreTaken)
{
    BackgroundRead read(t.db, QStringLiteral("Select NoSuchColumn From Big"));
    Progress progress;
    try {
        read.take(progress);
        ADD_FAILURE() << "the read did not fail";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("NoSuchColumn"))) << e.description().toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("Big")), kRows);
}
