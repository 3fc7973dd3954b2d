#include "data/connection.h"
#include "data/nextnumber.h"
#include "test_connection.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillon;

namespace {

class NextNumberTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("keys.db"));
        Connection::createEmbeddedDatabase(path);
        openTestDatabase(db, path);
        db.execute("Insert into Incidents (IncidentID, IncidentName) Values (1, 'Ridge')");
    }
    QTemporaryDir dir;
    QString path;
    Connection db;
};

}  // namespace

TEST_F(NextNumberTest, ConsecutiveCallsDifferAndStartAboveExistingKeys)
{
    db.execute("Insert into EquipInvoices (EquipInvoiceID, EquipmentID) Values (41, 1)");
    const int a = NextNumber(db, "EquipInvoices", "EquipInvoiceID");
    const int b = NextNumber(db, "EquipInvoices", "EquipInvoiceID");
    EXPECT_EQ(a, 42);
    EXPECT_EQ(b, 43);
    // A row added by other means is never handed out again.
    db.execute("Insert into EquipInvoices (EquipInvoiceID, EquipmentID) Values (90, 1)");
    EXPECT_EQ(NextNumber(db, "EquipInvoices", "EquipInvoiceID"), 91);
    // Counters are kept per table, whatever the field name says.
    EXPECT_EQ(NextNumber(db, "PersonsInvoices", "PersonsInvoicesID"), 1);
    EXPECT_EQ(NextNumber(db, "PersonsInvoicesReason", ""), 1);
    EXPECT_EQ(NextNumber(db, "PersonsInvoicesReason", "PersonsInvoiceReasonID"), 2);
}

TEST_F(NextNumberTest, ReportRunsWithEmptyFieldNameSurviveTheirCleanUp)
{
    const int run = NextNumber(db, "ReportRecords", "");
    db.execute(QStringLiteral("Insert into ReportRecords (ReportRun, PersonID) Values (%1, 7)").arg(run));
    db.execute(QStringLiteral("Delete from ReportRecords where ReportRun = %1").arg(run));
    EXPECT_GT(NextNumber(db, "reportrecords", ""), run);
}

TEST_F(NextNumberTest, BadCallsRaiseAndChangeNothing)
{
    EXPECT_THROW(NextNumber(db, "NoSuchTable", "x"), DbError);
    EXPECT_THROW(NextNumber(db, "", ""), DbError);
    // Inside a transaction that is rolled back, the counter goes back too.
    const int before = NextNumber(db, "PersonsPost", "PersonsPostID");
    {
        Transaction tx(db);
        NextNumber(db, "PersonsPost", "PersonsPostID");
    }
    EXPECT_EQ(NextNumber(db, "PersonsPost", "PersonsPostID"), before + 1);
    db.close();
    EXPECT_THROW(NextNumber(db, "PersonsPost", "PersonsPostID"), DbError);
}

TEST_F(NextNumberTest, TwoProcessesOnOneFileNeverCollide)
{
    constexpr int perProcess = 100;
    db.close();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child allocates on its own connection and reports its keys.
        close(fds[0]);
        int status = 0;
        try {
            Connection mine;
            openTestDatabase(mine, path);
            for (int i = 0; i < perProcess; ++i) {
                const int key = NextNumber(mine, "PersonsPost", "PersonsPostID");
                if (write(fds[1], &key, sizeof key) != sizeof key) status = 2;
            }
        } catch (...) {
            status = 1;
        }
        close(fds[1]);
        _exit(status);
    }
    close(fds[1]);
    Connection mine;
    openTestDatabase(mine, path);
    std::multiset<int> keys;
    for (int i = 0; i < perProcess; ++i) keys.insert(NextNumber(mine, "PersonsPost", "PersonsPostID"));
    int key;
    while (read(fds[0], &key, sizeof key) == sizeof key) keys.insert(key);
    close(fds[0]);
    int status = -1;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(keys.size(), size_t(2 * perProcess));
    EXPECT_EQ(std::set<int>(keys.begin(), keys.end()).size(), keys.size());  // no number twice
    EXPECT_EQ(*keys.begin(), 1);
    EXPECT_EQ(*keys.rbegin(), 2 * perProcess);                                // and none skipped
}
