// Issuing personnel invoices from the preparation table: rows written,
// postings locked, amounts, duplicates, and a failure part-way.
#include "invoicing/personnelissuance.h"
#include "invoicing/preptable.h"

#include "invoicingdb.h"

using namespace invtest;

namespace {

class IssuanceTest : public ::testing::Test {
protected:
    IssuanceTest()
    {
        state.ReportEndDate = d(7, 10);
        state.InvoicePrintMode = PrintOriginal;
        state.SelectedResourceId = Crew;
        choices.CrewOption = choices.ResourceMode = true;
        t.addPerson(100);
        t.addPerson(101);
        t.addPerson(200, OtherCrew);
        t.addPosting(100, d(7, 1), 7.5);
        t.addPosting(100, d(7, 2), 8, "FFT2", 25.5, "1", "NULL");   // Null is open too
        t.addPosting(100, d(7, 10), 1);
        t.addPosting(100, d(7, 11), 12);                             // after the end date
        t.addPosting(100, d(6, 20), 3, "FFT2", 25.5, "1", "90");     // locked to an earlier invoice
        t.addPosting(101, d(7, 5), 6.5);
        t.addPosting(200, d(7, 5), 9);                               // other crew
        t.addDebit(100, d(7, 3), 12.5);
        t.addDebit(100, d(7, 12), 4);                                // after the end date
        t.addDebit(101, d(7, 4), 2, "NULL");
        t.addInvoice(90, 100, d(6, 1), d(6, 30), "A");
        getPrevInvoices(*t.app, choices);
    }

    InvoicingDb t;
    AppState& state = t.app->state;
    of288::Choices choices;
};

TEST_F(IssuanceTest, OriginalRecordsOneInvoicePerPersonAndLocksExactlyWhatItCovers)
{
    const std::vector<IssuedInvoice> issued = issuePersonnelOriginals(*t.app);
    ASSERT_EQ(issued.size(), 2u);
    const QString a = QString::number(issued[0].invoiceId), b = QString::number(issued[1].invoiceId);
    // 7.5 + 8 + 1 = 16.5 hours: 16; 6.5: 6 (halves to even). Person 101's
    // period starts at the debit whose InvoiceID is Null.
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, PersonID, FirstDate, LastDate, InvoiceSuffix, Original, Amount, Del "
                     "from PersonsInvoices where PersonsInvoiceID <> 90 order by PersonID"),
              QStringList({a + "|100|7/1/2005|7/10/2005|B|1|16|False", b + "|101|7/4/2005|7/10/2005|A|1|6|False"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original, Reason from PersonsInvoicesReason order by PersonsInvoiceID"),
              QStringList({a + "|1|Original", b + "|1|Original"}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"),
              QStringList({a, a, a, "0", "90", b, "0"}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsDebit order by PersonsDebitID"), QStringList({a, "0", b}));
    EXPECT_EQ(t.rows("Select InvoiceID from #tmp order by PersonID"), QStringList({a, b}));
}

TEST_F(IssuanceTest, AFailurePartWayLeavesNothingWritten)
{
    t.failWrites("PersonsDebit", "NEW.PersonID = 101");   // the very last statement
    EXPECT_THROW(issuePersonnelOriginals(*t.app), DbError);
    EXPECT_EQ(t.count("PersonsInvoices"), 1);
    EXPECT_EQ(t.count("PersonsInvoicesReason"), 0);
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"),
              QStringList({"0", "NULL", "0", "0", "90", "0", "0"}));
    EXPECT_EQ(t.count("#tmp where InvoiceID <> 0"), 0);
}

TEST_F(IssuanceTest, DuplicateRecordsAnotherCopyWithTheTypedReason)
{
    t.addInvoice(91, 101, d(7, 1), d(7, 10), "A", 4);
    state.InvoicePrintMode = PrintDuplicateOriginal;
    state.ReprintReason = "Dog's dinner";
    state.SelectedInvoiceId = 90;
    getPrevInvoice(*t.app);
    EXPECT_EQ(recordPersonnelDuplicates(*t.app), 1);
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original, Reason from PersonsInvoicesReason"), QStringList({"90|2|Dog's dinner"}));

    getPrevInvoices(*t.app, choices);   // the whole crew
    EXPECT_EQ(recordPersonnelDuplicates(*t.app), 2);
    EXPECT_EQ(t.rows("Select Original from PersonsInvoices order by 1"), QStringList({"3", "5"}));
    EXPECT_EQ(t.count("PersonsPost where InvoiceID not in (0, 90)"), 0);
}

}  // namespace
