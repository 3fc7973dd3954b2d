// Column numbering of the OF-288 and the final column.
#include "invoicing/columnnumbering.h"

#include "invoicingdb.h"

using namespace invtest;

namespace {

class NumberingTest : public ::testing::Test {
protected:
    NumberingTest()
    {
        state.ReportEndDate = d(7, 31);
        state.SelectedResourceId = Crew;
        choices.CrewOption = true;
        t.addPerson(100);
    }
    void run()
    {
        RecordsetPtr detail = LoadUninvoicedPostings(t.db, state, choices);
        numbering.resetForRun();
        numberRun(t.db, *detail, numbering, state, choices);
    }
    // "column/row order" of the ordinary postings, by key.
    QStringList numbers() { return t.rows("Select Column288 || '/' || RptOrder from PersonsPost where FinalCol = 0 order by PersonsPostID"); }

    InvoicingDb t;
    AppState state;
    of288::Choices choices;
    ColumnNumbering numbering;
};

TEST_F(NumberingTest, SevenPostingsFillAColumnAndEachPersonStartsAgain)
{
    t.addPerson(101);
    for (int day = 1; day <= 9; ++day) t.addPosting(100, d(7, day), 8);
    t.addPosting(101, d(7, 1), 8);
    t.addPosting(101, d(7, 2), 8);
    run();
    EXPECT_EQ(numbers(), QStringList({"1/1", "1/2", "1/3", "1/4", "1/5", "1/6", "1/7", "2/8", "2/9", "1/1", "1/2"}));
}

TEST_F(NumberingTest, ManyPostingsAreNumberedInBlocksAndOnlyChangedOnesWritten)
{
    // Three persons of forty postings (more than one block of writes, and a
    // shorter last one); the nth posting of a person goes to column n / 7 + 1
    // as row n + 1. Some hold numbers already: right ones, wrong ones.
    state.ReportEndDate = d(9, 30);
    t.addPerson(101);
    t.addPerson(102);
    QStringList expected;
    for (int person = 100; person <= 102; ++person)
        for (int n = 0; n < 40; ++n) {
            t.addPosting(person, d(7, 1).addDays(n), 8);
            expected << QString("%1/%2").arg(n / 7 + 1).arg(n + 1);
        }
    t.exec("Update PersonsPost set Column288 = 1, RptOrder = 1 where PersonsPostID % 5 = 0");
    run();
    EXPECT_EQ(numbers(), expected);
}

TEST_F(NumberingTest, KindRateAndAccountingCodeChangesStartColumns)
{
    t.addPosting(100, d(7, 1), 4, "FFT2", 25.5, "1", "0", 6);
    t.addPosting(100, d(7, 1), 4, "FFT2", 25.5, "2", "0", 12);   // other accounting code
    t.addPosting(100, d(7, 2), 4, "FFT2", 30, "2");              // other rate
    t.addPosting(100, d(7, 3), 4, "FFT1", 30, "2");              // other kind
    t.addPosting(100, d(7, 4), 4, "FFT1", 30, "0", "0", 6);      // no accounting code (0) ...
    t.addPosting(100, d(7, 4), 4, "FFT1", 30, "3", "0", 12);     // ... is a column of its own
    t.addPosting(100, d(7, 5), 4, "FFT1", 30, "3");
    t.addPosting(100, d(7, 6), 4, "FFT1", 30, "NULL", "0", 6);   // no code counts as 0
    t.addPosting(100, d(7, 6), 4, "FFT1", 30, "1", "0", 12);
    t.addPosting(100, d(7, 7), 4, "FFT1", 30, "1", "77");        // locked: not numbered
    t.addPosting(100, d(8, 1), 4, "FFT1", 30, "1", "NULL");      // after the end date
    run();
    EXPECT_EQ(numbers(), QStringList({"1/1", "2/2", "3/3", "4/4", "5/5", "6/6", "6/7", "7/8", "8/9", "NULL", "NULL"}));

    // The kind and accounting code of the last posting outlive the Run.
    numbering.resetForRun();
    EXPECT_EQ(numbering.PreviousPost.PersonID, 0);
    EXPECT_EQ(numbering.PreviousPost.KindCode, "FFT1");
    EXPECT_EQ(numbering.PreviousPost.AccountingID, 1);
}

TEST_F(NumberingTest, FinalColumnRowIsAddedMovedReplacedRemovedAndPassedOver)
{
    for (int day = 1; day <= 15; ++day) t.addPosting(100, d(7, day), 8);   // columns 1 to 3
    choices.FinalFlag = true;
    run();
    const QString finalRow = "Select Column288, Rate, KindCode, AccountingID, ActivityDT from PersonsPost where FinalCol = 1";
    EXPECT_EQ(t.rows(finalRow), QStringList({"4|30|FFT1|2|NULL"}));
    const QString key = t.one("Select PersonsPostID from PersonsPost where FinalCol = 1");

    for (int day = 16; day <= 22; ++day) t.addPosting(100, d(7, day), 8);  // reaches column 4
    run();
    EXPECT_EQ(t.rows("Select PersonsPostID, Column288 from PersonsPost where FinalCol = 1"), QStringList({key + "|5"}));

    t.exec("INSERT INTO PersonsPost (PersonsPostID, PersonID, Column288, FinalCol) VALUES (5000, 100, 9, 1)");
    run();   // two rows become one new one
    EXPECT_EQ(t.rows("Select PersonsPostID > 5000, Column288 from PersonsPost where FinalCol = 1"), QStringList({"1|5"}));

    // A final row met in the detail keeps its numbers, as does the state.
    RecordsetPtr detail = t.db.openRecordset("Select * from PersonsPost where FinalCol = 1 or PersonsPostID = 1001 order by FinalCol desc");
    detail->setBatchMode(true);
    detail->moveFirst();
    numbering.resetForRun();
    numbering.SetColumnFlag(*detail);
    EXPECT_EQ(numbering.RowOrder, 0);
    EXPECT_EQ(detail->at(0, detail->requireField("Column288")).toInt(), 5);
    EXPECT_EQ(detail->absolutePosition(), 2);

    // A final row locked to an invoice is that invoice's: a later Run, final
    // or not, neither moves nor removes it.
    t.exec("Update PersonsPost set InvoiceID = 77 where FinalCol = 1");
    choices.FinalFlag = false;
    run();
    EXPECT_EQ(t.rows("Select Column288, InvoiceID from PersonsPost where FinalCol = 1"), QStringList({"5|77"}));
    choices.FinalFlag = true;
    t.exec("Update PersonsPost set InvoiceID = 77 where FinalCol = 0");
    t.addPosting(100, d(7, 23), 8);
    run();
    EXPECT_EQ(t.rows("Select Column288, InvoiceID from PersonsPost where FinalCol = 1 order by InvoiceID"),
              QStringList({"2|0", "5|77"}));
    choices.FinalFlag = false;
    run();
    EXPECT_EQ(t.count("PersonsPost where FinalCol = 1"), 1);
}

TEST_F(NumberingTest, AFailingRunLeavesTheNumbersAsTheyWere)
{
    for (int day = 1; day <= 9; ++day) t.addPosting(100, d(7, day), 8);
    choices.FinalFlag = true;
    t.failWrites("PersonsPost", "NEW.FinalCol = 1", "INSERT");   // after the numbers were written
    EXPECT_THROW(run(), DbError);
    EXPECT_EQ(t.count("PersonsPost where Column288 is not null"), 0);
}

}  // namespace
