// Issuing personnel invoices from the preparation table: rows written,
// postings locked, amounts, duplicates, and a failure part-way.
#include "invoicing/personnelissuance.h"
#include "invoicing/preptable.h"

#include "invoicingdb.h"

using namespace quillon;
using namespace invtest;

namespace {

class IssuanceTest : public ::testing::Test {
protected:
    IssuanceTest()
    {
        state.ReportEndDate = d(7, 10);
        state.InvoicePrintMode = PrintOriginal;
        choices.CrewOption = true;
        choices.ResourceMode = true;
        state.SelectedResourceId = Crew;
        t.addPerson(100);
        t.addPerson(101);
        t.addPerson(200, OtherCrew);
        t.addPosting(100, d(7, 1), 7.5);
        t.addPosting(100, d(7, 2), 8, "FFT2", 25.5, "1", "NULL");  // Null is open too
        t.addPosting(100, d(7, 10), 1);
        t.addPosting(100, d(7, 11), 12);                            // after the end date
        t.addPosting(100, d(6, 20), 3, "FFT2", 25.5, "1", "90");    // locked to an earlier invoice
        t.addPosting(101, d(7, 5), 6.5);
        t.addPosting(200, d(7, 5), 9);                              // other crew
        t.addDebit(100, d(7, 3), 12.5);
        t.addDebit(100, d(7, 12), 4);                               // after the end date
        t.addDebit(101, d(7, 4), 2, "NULL");
        t.addInvoice(90, 100, d(6, 1), d(6, 30), "A");
    }

    void prepare() { getPrevInvoices(*t.app, choices); }
    QStringList locks(const QString& table, const QString& key)
    {
        return t.rows("Select " + key + ", InvoiceID from " + table + " order by " + key);
    }

    InvoicingDb t;
    AppState& state = t.app->state;
    of288::Choices choices;
};

TEST_F(IssuanceTest, OriginalRecordsOneInvoicePerPersonAndLocksExactlyWhatItCovers)
{
    prepare();
    const std::vector<IssuedInvoice> issued = issuePersonnelOriginals(*t.app);
    ASSERT_EQ(issued.size(), 2u);
    const QString k100 = QString::number(issued[0].invoiceId);
    const QString k101 = QString::number(issued[1].invoiceId);
    EXPECT_NE(k100, k101);

    // 7.5 + 8 + 1 = 16.5 hours rounds to 16; 6.5 rounds to 6 (halves to even).
    // Person 100's period starts at the first open posting, not at the one
    // locked to invoice A; person 101's at the open debit whose InvoiceID is Null.
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, PersonID, FirstDate, LastDate, InvoiceSuffix, Original, Amount, Del "
                     "from PersonsInvoices where PersonsInvoiceID <> 90 order by PersonID"),
              QStringList({k100 + "|100|7/1/2005|7/10/2005|B|1|16|False", k101 + "|101|7/4/2005|7/10/2005|A|1|6|False"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original, Reason from PersonsInvoicesReason order by PersonsInvoiceID"),
              QStringList({k100 + "|1|Original", k101 + "|1|Original"}));
    EXPECT_EQ(locks("PersonsPost", "PersonsPostID"),
              QStringList({"1001|" + k100, "1002|" + k100, "1003|" + k100, "1004|0", "1005|90", "1006|" + k101, "1007|0"}));
    EXPECT_EQ(locks("PersonsDebit", "PersonsDebitID"), QStringList({"1|" + k100, "2|0", "3|" + k101}));
    // The new keys are in the preparation table, where the reports find them.
    EXPECT_EQ(t.rows("Select PersonID, InvoiceID from #tmp order by PersonID"),
              QStringList({"100|" + k100, "101|" + k101}));
}

TEST_F(IssuanceTest, AFailurePartWayLeavesNothingWritten)
{
    prepare();
    // The second person's debit lock fails after everything else was written.
    t.failWrites("PersonsDebit", "NEW.PersonID = 101");
    EXPECT_THROW(issuePersonnelOriginals(*t.app), DbError);
    EXPECT_EQ(t.count("PersonsInvoices"), 1);
    EXPECT_EQ(t.count("PersonsInvoicesReason"), 0);
    EXPECT_EQ(t.one("Select count(*) from PersonsPost where InvoiceID not in (0, 90) or InvoiceID is null"), "1");
    EXPECT_EQ(t.one("Select count(*) from PersonsDebit where InvoiceID <> 0"), "0");
    EXPECT_EQ(t.one("Select count(*) from #tmp where InvoiceID <> 0"), "0");

    // Once the cause is gone, the same table issues normally.
    t.exec("DROP TRIGGER injected_failure");
    EXPECT_EQ(issuePersonnelOriginals(*t.app).size(), 2u);
}

TEST_F(IssuanceTest, DuplicateRecordsAnotherCopyWithTheTypedReason)
{
    t.addInvoice(91, 101, d(7, 1), d(7, 10), "A", 4);
    state.InvoicePrintMode = PrintDuplicateOriginal;
    state.ReprintReason = "Dog's dinner";
    state.SelectedInvoiceId = 90;
    getPrevInvoice(*t.app);
    EXPECT_EQ(recordPersonnelDuplicates(*t.app), 1);
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original, Reason from PersonsInvoicesReason"),
              QStringList({"90|2|Dog's dinner"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original from PersonsInvoices order by 1"), QStringList({"90|2", "91|4"}));

    // A crew reprint records a copy of each member's invoice.
    prepare();
    EXPECT_EQ(recordPersonnelDuplicates(*t.app), 2);
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original from PersonsInvoices order by 1"), QStringList({"90|3", "91|5"}));
    EXPECT_EQ(t.count("PersonsInvoicesReason"), 3);
    EXPECT_EQ(t.one("Select count(*) from PersonsPost where InvoiceID not in (0, 90) or InvoiceID is null"), "1");
}

}  // namespace
