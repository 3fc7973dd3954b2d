// The preparation table of a Run: invoice numbers, suffixes, copy numbers,
// periods and the lists of earlier invoices.
#include "invoicing/preptable.h"

#include "invoicingdb.h"

using namespace quillon;
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

    void fillForPerson(int personId)
    {
        choices = of288::Choices();
        choices.PersonnelOption = true;
        state.SelectedPersonId = personId;
        state.SelectedResourceId = 0;
        getPrevInvoices(*t.app, choices);
    }
    void fillForCrew()
    {
        choices = of288::Choices();
        choices.CrewOption = true;
        choices.ResourceMode = true;
        state.SelectedResourceId = Crew;
        state.SelectedPersonId = 0;
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

TEST_F(PrepTableTest, FirstInvoiceStartsAtTheEarlierOfFirstPostingAndFirstDebit)
{
    t.addPosting(100, d(7, 3), 8);
    t.addPosting(100, d(7, 5), 8);
    t.addDebit(100, d(7, 2), 12.5);
    fillForPerson(100);
    EXPECT_EQ(table(), QStringList({"100|2005-CA-ABC-000123-000100A|01|0|7/2/2005|7/31/2005|"}));

    // Without debits the first posting opens the period; the table is made anew.
    t.addPosting(101, d(7, 4), 8);
    fillForPerson(101);
    EXPECT_EQ(table(), QStringList({"101|2005-CA-ABC-000123-000101A|01|0|7/4/2005|7/31/2005|"}));
}

TEST_F(PrepTableTest, SuffixFollowsTheHighestEverGivenAndOnlyEarlierValidInvoicesAreListed)
{
    t.addPosting(100, d(7, 20), 8);
    t.addInvoice(501, 100, d(7, 1), d(7, 7), "A", 1, 40);
    t.addInvoice(502, 100, d(7, 8), d(7, 14), "B", 1, 56, true);   // deleted: not listed
    t.addInvoice(503, 100, d(7, 8), d(7, 19), "C", 1, 72, true);   // deleted, yet its letter counts
    t.addInvoice(504, 100, d(7, 8), d(7, 31), "B", 1, 9);          // ends on the end date: not listed
    fillForPerson(100);
    EXPECT_EQ(table(), QStringList({"100|2005-CA-ABC-000123-000100D|01|0|7/20/2005|7/31/2005|7/1/2005 - 7/7/2005 for 40 Hours.\r\n"}));

    // Invoices that all end on or after the end date: nothing to list, and
    // the suffix still follows the highest one.
    t.addPosting(101, d(7, 20), 8);
    t.addInvoice(601, 101, d(7, 1), d(8, 5), "C");
    fillForPerson(101);
    EXPECT_EQ(table(), QStringList({"101|2005-CA-ABC-000123-000101D|01|0|7/20/2005|7/31/2005|"}));
}

TEST_F(PrepTableTest, CrewRunMakesOneRowPerPersonWithOpenPostingsOrDebits)
{
    t.addPerson(102);
    t.addPerson(103);
    t.addPosting(100, d(7, 3), 8);
    t.addPosting(101, d(7, 3), 8, "FFT2", 25.5, "1", "77");   // locked posting, open debit
    t.addDebit(101, d(7, 6), 3);
    t.addPosting(102, d(7, 3), 8, "FFT2", 25.5, "1", "78");   // nothing open
    fillForCrew();
    EXPECT_EQ(t.rows("Select PersonID, InvoiceNum from #tmp order by PersonID"),
              QStringList({"100|2005-CA-ABC-000123-000100A", "101|2005-CA-ABC-000123-000101A"}));
}

TEST_F(PrepTableTest, CrewDuplicateTakesEachPersonsLatestInvoice)
{
    state.InvoicePrintMode = PrintDuplicateOriginal;
    t.addPerson(102);
    for (int p : {100, 101, 102}) t.addPosting(p, d(7, 3), 8);
    t.addInvoice(501, 100, d(7, 1), d(7, 7), "A", 1, 40);
    t.addInvoice(502, 100, d(7, 8), d(7, 14), "B", 3, 56);
    t.addInvoice(503, 100, d(6, 1), d(6, 30), "0", 1, 10, true);   // deleted: not listed
    t.addInvoice(504, 101, d(7, 1), d(7, 14), "A", 9, 80);
    fillForCrew();
    EXPECT_EQ(table(), QStringList({
        "100|2005-CA-ABC-000123-000100B|04 Lost|502|7/8/2005|7/14/2005|7/1/2005 - 7/7/2005 for 40 Hours.\r\n",
        "101|2005-CA-ABC-000123-000101A|10 Lost|504|7/1/2005|7/14/2005|",
        // Without invoices: a new invoice row even in a reprint.
        "102|2005-CA-ABC-000123-000102A|01|0|7/3/2005|7/31/2005|"}));
}

TEST_F(PrepTableTest, SingleReprintUsesTheSharedYearAndCountsCopies)
{
    t.addInvoice(501, 100, d(7, 1), d(7, 7), "A", 1, 40);
    t.addInvoice(502, 100, d(7, 8), d(7, 14), "B", 1, 56);
    t.addInvoice(503, 100, d(7, 1), d(7, 14), "C", 1, 5, true);
    state.InvoicePrintMode = PrintDuplicateOriginal;
    state.SelectedInvoiceId = 502;
    getPrevInvoice(*t.app);
    EXPECT_EQ(table(), QStringList({"100|05-CA-ABC-000123-000100B|02 Lost|502|7/8/2005|7/14/2005|7/1/2005 - 7/7/2005 for 40 Hours.\r\n"}));

    // Copy numbers past 99 keep all their digits.
    t.exec("Update PersonsInvoices set Original = 122 where PersonsInvoiceID = 502");
    getPrevInvoice(*t.app);
    EXPECT_EQ(t.one("Select Original from #tmp"), "123 Lost");

    state.SelectedInvoiceId = 999;
    EXPECT_THROW(getPrevInvoice(*t.app), DbError);
}

TEST_F(PrepTableTest, LongListsOfEarlierInvoicesAreKeptWhole)
{
    t.addPosting(100, d(12, 30), 8);
    for (int i = 0; i < 12; ++i)
        t.addInvoice(500 + i, 100, QDate(2005, 7, 1).addDays(7 * i), QDate(2005, 7, 7).addDays(7 * i),
                     QByteArray(1, char('A' + i)).constData());
    state.ReportEndDate = QDate(2005, 12, 31);
    fillForPerson(100);
    const QString list = t.one("Select PrevInvoices from #tmp");
    EXPECT_GT(list.size(), 255);
    EXPECT_EQ(list.count("Hours.\r\n"), 12);
    EXPECT_TRUE(list.endsWith("9/16/2005 - 9/22/2005 for 40 Hours.\r\n"));
    EXPECT_TRUE(t.one("Select InvoiceNum from #tmp").endsWith("M"));
}

TEST(InvoiceTexts, PaddingSuffixesAndCopyNumbers)
{
    EXPECT_EQ(of288::paddedPersonId(7), "000007");
    EXPECT_EQ(of288::paddedPersonId(123456), "123456");
    EXPECT_EQ(of288::paddedPersonId(1234567), "1234567");
    EXPECT_EQ(of288::invoiceNumber("2005", "CA-ABC-000123", 4711, "B"), "2005-CA-ABC-000123-004711B");
    EXPECT_EQ(of288::nextSuffix(""), "A");
    EXPECT_EQ(of288::nextSuffix("C"), "D");
    EXPECT_EQ(of288::nextSuffix("Z"), "[");
    EXPECT_EQ(of288::copyNumberText(2, "Lost"), "02 Lost");
    EXPECT_EQ(of288::copyNumberText(10, "Lost"), "10 Lost");
}

TEST_F(PrepTableTest, FindInvoiceIdIncludesDeletedInvoices)
{
    t.addInvoice(503, 100, d(7, 1), d(7, 7), "C", 1, 40, true);
    EXPECT_EQ(FindInvoiceId(*t.app, 100, "C"), 503);
    EXPECT_EQ(FindInvoiceId(*t.app, 100, "D"), 0);
    EXPECT_EQ(FindInvoiceId(*t.app, 101, "C"), 0);
}

}  // namespace
