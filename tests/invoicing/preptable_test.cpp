// The preparation table of a Run: invoice numbers, suffixes, copy numbers,
// periods and the lists of earlier invoices.
#include "invoicing/preptable.h"

#include "invoicingdb.h"

using namespace invtest;

namespace {

class PrepTableTest : public ::testing::Test {
protected:
    PrepTableTest()
    {
        state.ReportEndDate = d(7, 31);
        state.InvoicePrintMode = PrintDraft;
        state.IncidentStartYear = "05";
        state.SelectedIncidentNumber = "CA-ABC-000123";
        state.ReprintReason = "Lost";
        t.addPerson(100);
        t.addPerson(101);
    }
    void fill(int person)
    {
        choices = of288::Choices();
        choices.PersonnelOption = person != 0;
        choices.CrewOption = choices.ResourceMode = person == 0;
        state.SelectedPersonId = person;
        state.SelectedResourceId = person == 0 ? Crew : 0;
        getPrevInvoices(*t.app, choices);
    }
    QStringList table()
    {
        return t.rows("Select PersonID, InvoiceNum, Original, InvoiceID, date(Lastdate), date(EndDate), PrevInvoices "
                      "from #tmp order by PersonID");
    }

    InvoicingDb t;
    AppState& state = t.app->state;
    of288::Choices choices;
};

TEST_F(PrepTableTest, NewInvoiceStartsAtTheFirstOpenPostingOrDebit)
{
    t.addPosting(100, d(7, 3), 8);
    t.addDebit(100, d(7, 2), 12.5);
    t.addPosting(100, d(6, 20), 8, "FFT2", 25.5, "1", "90");   // locked: does not start the period
    t.addDebit(100, d(6, 21), 1, "90");
    t.addPosting(101, d(7, 4), 8);
    fill(0);
    EXPECT_EQ(table(), QStringList({"100|2005-CA-ABC-000123-000100A|01|0|7/2/2005|7/31/2005|",
                                    "101|2005-CA-ABC-000123-000101A|01|0|7/4/2005|7/31/2005|"}));
}

TEST_F(PrepTableTest, SuffixFollowsTheHighestEverGivenAndOnlyEarlierValidInvoicesAreListed)
{
    t.addPosting(100, d(7, 20), 8);
    t.addInvoice(501, 100, d(7, 1), d(7, 7), "A", 1, 40);
    t.addInvoice(502, 100, d(7, 8), d(7, 14), "B", 1, 56, true);   // deleted: not listed
    t.addInvoice(503, 100, d(7, 8), d(7, 19), "C", 1, 72, true);   // deleted, yet its letter counts
    t.addInvoice(504, 100, d(7, 8), d(7, 31), "B", 1, 9);          // ends on the end date: not listed
    fill(100);
    EXPECT_EQ(table(), QStringList({"100|2005-CA-ABC-000123-000100D|01|0|7/20/2005|7/31/2005|7/1/2005 - 7/7/2005 for 40 Hours.\r\n"}));

    // Only invoices ending on or after the end date: nothing listed, the suffix still follows.
    t.addPosting(101, d(7, 20), 8);
    t.addInvoice(601, 101, d(7, 1), d(8, 5), "C");
    fill(101);
    EXPECT_EQ(table(), QStringList({"101|2005-CA-ABC-000123-000101D|01|0|7/20/2005|7/31/2005|"}));
}

TEST_F(PrepTableTest, CrewDuplicateTakesEachPersonsLatestValidInvoiceAsIssued)
{
    state.InvoicePrintMode = PrintDuplicateOriginal;
    t.addPerson(102);
    for (int p : {100, 101, 102}) t.addPosting(p, d(7, 3), 8);
    t.addInvoice(501, 100, d(7, 1), d(7, 7), "A", 1, 40);
    t.addInvoice(502, 100, d(7, 8), d(7, 14), "B", 3, 56);
    t.addInvoice(503, 100, d(7, 15), d(7, 21), "C", 1, 10, true);   // deleted: neither reprinted nor listed
    t.addInvoice(504, 101, d(7, 1), d(7, 14), "A", 9, 80);
    fill(0);
    EXPECT_EQ(table(), QStringList({
        "100|2005-CA-ABC-000123-000100B|04 Lost|502|7/8/2005|7/14/2005|7/1/2005 - 7/7/2005 for 40 Hours.\r\n",
        "101|2005-CA-ABC-000123-000101A|10 Lost|504|7/1/2005|7/14/2005|"}));   // 102 has none: no row
}

TEST_F(PrepTableTest, SingleReprintIsNumberedAsPrintedAndKeepsEveryDigitOfTheCopy)
{
    t.addInvoice(501, 100, d(7, 1), d(7, 7), "A", 1, 40);
    t.addInvoice(502, 100, d(7, 8), d(7, 14), "B", 1, 56);
    t.addInvoice(503, 100, d(7, 1), d(7, 14), "C", 1, 5, true);
    state.SelectedInvoiceId = 502;
    getPrevInvoice(*t.app);
    // The year of the incident's start as the ORIGINAL printed it, not the
    // two digits the main menu keeps.
    EXPECT_EQ(table(), QStringList({"100|2005-CA-ABC-000123-000100B|02 Lost|502|7/8/2005|7/14/2005|7/1/2005 - 7/7/2005 for 40 Hours.\r\n"}));

    t.exec("Update PersonsInvoices set Original = 122 where PersonsInvoiceID = 502");
    getPrevInvoice(*t.app);
    EXPECT_EQ(t.one("Select Original from #tmp"), "123 Lost");
    for (int missingOrDeleted : {999, 503}) {
        state.SelectedInvoiceId = missingOrDeleted;
        EXPECT_THROW(getPrevInvoice(*t.app), DbError);
    }
}

TEST_F(PrepTableTest, LongListsOfEarlierInvoicesAreKeptWhole)
{
    t.addPosting(100, d(12, 30), 8);
    for (int i = 0; i < 12; ++i)
        t.addInvoice(500 + i, 100, d(7, 1).addDays(7 * i), d(7, 7).addDays(7 * i), QString(QChar('A' + i)));
    state.ReportEndDate = d(12, 31);
    fill(100);
    const QString list = t.one("Select PrevInvoices from #tmp");
    EXPECT_GT(list.size(), 255);
    EXPECT_TRUE(list.endsWith("9/16/2005 - 9/22/2005 for 40 Hours.\r\n"));
    EXPECT_TRUE(t.one("Select InvoiceNum from #tmp").endsWith("M"));
}

TEST(InvoiceTexts, PaddingSuffixesAndCopyNumbers)
{
    EXPECT_EQ(of288::paddedPersonId(7), "000007");
    EXPECT_EQ(of288::paddedPersonId(123456), "123456");
    EXPECT_EQ(of288::nextSuffix("Z"), "[");
    EXPECT_EQ(of288::copyNumberText(10, "Lost"), "10 Lost");
    EXPECT_EQ(QStringList({of288::hoursText(22.75), of288::hoursText(3), of288::hoursText(16.5), of288::hoursText(0.1 + 0.2)}),
              QStringList({"22.75", "3", "16.5", "0.3"}));
}

}  // namespace
