// Deleting the last personnel invoice: questions, reason rules, crew and
// person deletion, demobilized members, one transaction per person.
#include "invoicing/deletelastinvoice.h"

#include "invoicingdb.h"

using namespace invtest;

namespace {

class DeletionTest : public ::testing::Test {
protected:
    DeletionTest()
    {
        t.addPerson(100);
        t.addPerson(101, Crew, "'D'");   // demobilized
        t.addPerson(102);
        t.addInvoice(501, 100, d(7, 1), d(7, 7), "A");
        t.addInvoice(502, 100, d(7, 8), d(7, 14), "B");
        t.addInvoice(503, 101, d(7, 1), d(7, 7), "A");
        t.addInvoice(504, 102, d(7, 1), d(7, 7), "A");
        t.addPosting(100, d(7, 3), 8, "FFT2", 25.5, "1", "501");
        t.addPosting(100, d(7, 9), 8, "FFT2", 25.5, "1", "502");
        t.addPosting(102, d(7, 2), 8, "FFT2", 25.5, "1", "504");
        t.addDebit(100, d(7, 9), 5, "502");
    }
    DeleteOutcome remove(bool crew, const QString& reason, MsgAnswer second = MsgAnswer::Yes)
    {
        t.dialogs.queueAnswer(MsgAnswer::Yes);
        t.dialogs.queueAnswer(second);
        if (second == MsgAnswer::Yes) t.dialogs.queueInput(reason);
        state.SelectedResourceId = crew ? Crew : 0;
        state.SelectedPersonId = crew ? 0 : 100;
        return deleteLastInvoices(*t.app, crew).outcome;
    }
    QStringList valid() { return t.rows("Select PersonsInvoiceID from PersonsInvoices where Del = 0 order by 1"); }
    QString lastMessage() { return t.dialogs.log().filter("MESSAGE").last(); }

    InvoicingDb t;
    AppState& state = t.app->state;
};

TEST_F(DeletionTest, PersonLosesTheLaterInvoiceAndItsPostingsOpen)
{
    const QString reason = "Wrong rate, O'Neil 123456";   // 25 characters, blanks included
    EXPECT_EQ(remove(false, reason), DeleteOutcome::Done);
    EXPECT_EQ(valid(), QStringList({"501", "503", "504"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original, Reason from PersonsInvoicesReason"), QStringList({"502|-1|" + reason}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"), QStringList({"501", "0", "504"}));
    EXPECT_EQ(t.one("Select InvoiceID from PersonsDebit"), "0");
    EXPECT_EQ(t.dialogs.log().mid(0, 3),
              QStringList({"MESSAGE Warning | This will delete the Last invoice for the selected person. \\nThe time posted "
                           "for the selected person will not be deleted.",
                           "-> Yes",
                           "MESSAGE Final Warning! | Do you REALLY want to delete the LAST Invoice of the selected person?"}));
    remove(false, "again");   // walks back to the earlier one
    EXPECT_EQ(valid(), QStringList({"503", "504"}));
}

TEST_F(DeletionTest, CrewDeletionPassesOverDemobilizedMembers)
{
    EXPECT_EQ(remove(true, "Crew rerun"), DeleteOutcome::Done);
    EXPECT_EQ(valid(), QStringList({"501", "503"}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"), QStringList({"501", "0", "0"}));
    EXPECT_TRUE(t.dialogs.log().contains("MESSAGE Final Warning! | Do you REALLY want to delete the LAST Invoice of EVERY crew member?"));
}

TEST_F(DeletionTest, RefusalsWriteNothing)
{
    EXPECT_EQ(remove(true, "Wrong rate for the crew  x"), DeleteOutcome::ReasonTooLong);   // 26: not asked again
    EXPECT_EQ(lastMessage(), "MESSAGE Reason to long | You must limit your entry to 25 characters and spaces.");
    EXPECT_EQ(remove(false, "  Person reason 26 chars  "), DeleteOutcome::ReasonTooLong);
    EXPECT_EQ(lastMessage(), "MESSAGE Reason to long | You must limit your entry to 25 characters and spaces");
    EXPECT_EQ(remove(false, ""), DeleteOutcome::NoReason);
    EXPECT_EQ(lastMessage(), "MESSAGE Need an Invoice Reason | You must enter a reason to delete the Invoice");
    EXPECT_EQ(remove(false, "", MsgAnswer::No), DeleteOutcome::Declined);
    EXPECT_FALSE(t.dialogs.answersLeft());
    EXPECT_EQ(valid(), QStringList({"501", "502", "503", "504"}));
    EXPECT_EQ(t.count("PersonsInvoicesReason"), 0);

    // Nothing chosen, or nothing valid left: nothing to delete.
    state.SelectedPersonId = 0;
    EXPECT_EQ(deleteLastInvoices(*t.app, false).outcome, DeleteOutcome::NothingToDelete);
    EXPECT_EQ(lastMessage(), "MESSAGE Delete Invoices | No Invoices to Delete.");
    t.exec("Update PersonsInvoices set Del = 1 where PersonID = 102");
    state.SelectedPersonId = 102;
    EXPECT_EQ(deleteLastInvoices(*t.app, false).outcome, DeleteOutcome::NothingToDelete);
}

TEST_F(DeletionTest, AFailingPersonKeepsTheInvoiceWhileEarlierOnesStayDeleted)
{
    t.failWrites("PersonsInvoices", "NEW.PersonsInvoiceID = 504");   // the last statement of 102
    EXPECT_THROW(remove(true, "Crew rerun"), DbError);
    EXPECT_EQ(valid(), QStringList({"501", "503", "504"}));
    EXPECT_EQ(t.one("Select group_concat(PersonsInvoiceID) from PersonsInvoicesReason"), "502");
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"), QStringList({"501", "0", "504"}));
}

}  // namespace
