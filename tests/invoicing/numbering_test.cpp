// Column numbering of the OF-288 and the final column, against a small database.
#include "invoicing/columnnumbering.h"

#include "invoicingdb.h"

using namespace quillon;
using namespace invtest;

namespace {

class NumberingTest : public ::testing::Test {
protected:
    NumberingTest()
    {
        state.ReportEndDate = d(7, 31);
        choices.CrewOption = true;
        state.SelectedResourceId = Crew;
    }

    // One Run's numbering over the open postings.
    void run()
    {
        RecordsetPtr detail = LoadUninvoicedPostings(t.db, state, choices);
        numbering.resetForRun();
        numberRun(t.db, *detail, numbering, state, choices);
    }
    // "column/row order" of each posting, by PersonsPostID.
    QStringList numbers(const QString& where = QStringLiteral("FinalCol = 0"))
    {
        return t.rows("Select Column288 || '/' || RptOrder from PersonsPost where " + where + " order by PersonsPostID");
    }

    InvoicingDb t;
    AppState state;
    of288::Choices choices;
    ColumnNumbering numbering;
};

TEST_F(NumberingTest, SevenPostingsFillAColumnAndPersonsStartAgain)
{
    t.addPerson(100);
    t.addPerson(101);
    for (int day = 1; day <= 9; ++day) t.addPosting(100, d(7, day), 8);
    t.addPosting(101, d(7, 1), 8);
    t.addPosting(101, d(7, 2), 8);
    run();
    EXPECT_EQ(numbers(), QStringList({"1/1", "1/2", "1/3", "1/4", "1/5", "1/6", "1/7", "2/8", "2/9", "1/1", "1/2"}));

    // A second Run numbers the same postings the same way.
    run();
    EXPECT_EQ(numbers().mid(7, 3), QStringList({"2/8", "2/9", "1/1"}));
}

TEST_F(NumberingTest, KindRateAndAccountingCodeChangesStartColumns)
{
    t.addPerson(100);
    t.addPosting(100, d(7, 1), 4, "FFT2", 25.5, "1", "0", 6);
    t.addPosting(100, d(7, 1), 4, "FFT2", 25.5, "2", "0", 12);   // other accounting code: new column
    t.addPosting(100, d(7, 2), 4, "FFT2", 30, "2");              // other rate: new column
    t.addPosting(100, d(7, 3), 4, "FFT1", 30, "2");              // other kind: new column
    t.addPosting(100, d(7, 4), 4, "FFT1", 30, "0", "0", 6);      // accounting code 0
    t.addPosting(100, d(7, 4), 4, "FFT1", 30, "3", "0", 12);     // after a 0: same column, same row
    t.addPosting(100, d(7, 5), 4, "FFT1", 30, "3");
    t.addPosting(100, d(7, 6), 4, "FFT1", 30, "NULL", "0", 6);   // no code counts as 0: new column
    t.addPosting(100, d(7, 6), 4, "FFT1", 30, "1", "0", 12);     // after it: same column, same row
    run();
    EXPECT_EQ(numbers(), QStringList({"1/1", "2/2", "3/3", "4/4", "5/5", "5/5", "5/6", "6/7", "6/7"}));
}

TEST_F(NumberingTest, OnlyOpenPostingsUpToTheEndDateOfTheSelectionAreNumbered)
{
    t.addPerson(100);
    t.addPerson(200, OtherCrew);
    t.addPosting(100, d(7, 1), 8, "FFT2", 25.5, "1", "NULL");  // Null counts as open
    t.addPosting(100, d(7, 2), 8, "FFT2", 25.5, "1", "77");    // locked
    t.addPosting(100, d(8, 1), 8);                             // after the end date
    t.addPosting(200, d(7, 1), 8);                             // other crew
    run();
    EXPECT_EQ(t.rows("Select PersonsPostID, Column288, RptOrder from PersonsPost order by PersonsPostID"),
              QStringList({"1001|1|1", "1002|NULL|NULL", "1003|NULL|NULL", "1004|NULL|NULL"}));

    // All personnel takes the other crew too, and precedence goes request
    // number, person, crew, all.
    choices = of288::Choices();
    choices.AllOption = true;
    run();
    EXPECT_EQ(t.one("Select Column288 from PersonsPost where PersonsPostID = 1004"), "1");
    choices.PersonnelOption = true;
    state.SelectedPersonId = 100;
    EXPECT_EQ(of288::postingScope(choices, state), of288::PostingScope::Person);
    choices.ReqNumOption = true;
    choices.SelectedRequestNumber = "C-12";
    EXPECT_EQ(of288::postingScope(choices, state), of288::PostingScope::RequestNumber);
}

TEST_F(NumberingTest, StateCarriesKindAndAccountingCodeAcrossRuns)
{
    numbering.PreviousPost = {100, Currency::fromInt(30), "FFT1", 2};
    numbering.CurrentColumn = 5;
    numbering.RowsInColumn = 3;
    numbering.RowOrder = 9;
    numbering.resetForRun();
    EXPECT_EQ(numbering.CurrentColumn, 1);
    EXPECT_EQ(numbering.RowsInColumn, 0);
    EXPECT_EQ(numbering.RowOrder, 0);
    EXPECT_EQ(numbering.PreviousPost.PersonID, 0);
    EXPECT_EQ(numbering.PreviousPost.Rate, Currency());
    EXPECT_EQ(numbering.PreviousPost.KindCode, "FFT1");
    EXPECT_EQ(numbering.PreviousPost.AccountingID, 2);
}

TEST_F(NumberingTest, FinalColumnRowsInTheDetailArePassedOver)
{
    RecordsetPtr rows = Recordset::fromRows(
        {"PersonsPostID", "PersonID", "Rate", "KindCode", "Column288", "RptOrder", "AccountingID", "ActivityDT", "FinalCol"},
        {{Value(9), Value(100), Value(Currency::fromInt(25)), Value("FFT2"), Value(3), Value(), Value(1), Value(), Value(true)},
         {Value(1), Value(100), Value(Currency::fromInt(25)), Value("FFT2"), Value(), Value(), Value(1), Value(d(7, 1)), Value(false)},
         {Value(-1), Value(100), Value(Currency::fromInt(25)), Value("FFT2"), Value(), Value(), Value(1), Value(d(7, 2)), Value(false)}});
    rows->setBatchMode(true);
    rows->moveFirst();
    numberPostings(*rows, numbering);
    // The final row keeps its column, the posting is numbered, and the row
    // with a negative key ends the numbering.
    EXPECT_EQ(rows->at(0, 4), Value(3));
    EXPECT_EQ(rows->at(1, 4), Value(std::int64_t(1)));
    EXPECT_TRUE(rows->at(2, 4).isNull());
    EXPECT_EQ(rows->absolutePosition(), 3);
}

TEST_F(NumberingTest, FinalColumnIsAddedMovedReplacedAndRemoved)
{
    t.addPerson(100, Crew, "A", "FFT1", 30, 2);
    for (int day = 1; day <= 15; ++day) t.addPosting(100, d(7, day), 8);   // columns 1 to 3
    choices.FinalFlag = true;
    run();
    const QString finalRow = "Select Column288, Rate, KindCode, AccountingID, ActivityDT from PersonsPost where FinalCol = 1";
    EXPECT_EQ(t.rows(finalRow), QStringList({"4|30|FFT1|2|NULL"}));
    const QString key = t.one("Select PersonsPostID from PersonsPost where FinalCol = 1");

    // More postings reach column 4: the same row moves to column 5.
    for (int day = 16; day <= 22; ++day) t.addPosting(100, d(7, day), 8);
    run();
    EXPECT_EQ(t.rows("Select PersonsPostID, Column288 from PersonsPost where FinalCol = 1"), QStringList({key + "|5"}));

    // Two final rows are replaced by one.
    t.exec("INSERT INTO PersonsPost (PersonsPostID, PersonID, Column288, FinalCol) VALUES (5000, 100, 9, 1)");
    run();
    EXPECT_EQ(t.rows("Select Column288 from PersonsPost where FinalCol = 1"), QStringList({"5"}));
    EXPECT_EQ(t.one("Select count(*) from PersonsPost where PersonsPostID in (" + key + ", 5000)"), "0");

    choices.FinalFlag = false;
    run();
    EXPECT_EQ(t.one("Select count(*) from PersonsPost where FinalCol = 1"), "0");
}

TEST_F(NumberingTest, AFailingRunLeavesTheNumbersAsTheyWere)
{
    t.addPerson(100);
    for (int day = 1; day <= 9; ++day) t.addPosting(100, d(7, day), 8);
    t.failWrites("PersonsPost", "NEW.PersonsPostID = 1009");
    RecordsetPtr detail = LoadUninvoicedPostings(t.db, state, choices);
    numbering.resetForRun();
    EXPECT_THROW(numberRun(t.db, *detail, numbering, state, choices), DbError);
    EXPECT_EQ(t.one("Select count(*) from PersonsPost where Column288 is not null"), "0");
}

}  // namespace
