// Deleting the last personnel invoice: questions, reason rules, crew and
// person deletion, demobilized members, and one transaction per person.
#include "invoicing/deletelastinvoice.h"

#include "invoicingdb.h"
#include "ui/dialogs.h"

using namespace quillon;
using namespace invtest;

namespace {

class DeletionTest : public ::testing::Test {
protected:
    DeletionTest()
    {
        t.addPerson(100);
        t.addPerson(101, Crew, "D");   // demobilized
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

    DeleteResult deleteFor(bool crew, std::initializer_list<MsgAnswer> answers, const QString& reason)
    {
        for (MsgAnswer a : answers) dialogs.queueAnswer(a);
        dialogs.queueInput(reason);
        if (crew) state.SelectedResourceId = Crew;
        else state.SelectedPersonId = 100;
        return deleteLastInvoices(*t.app, crew);
    }
    QStringList valid() { return t.rows("Select PersonsInvoiceID from PersonsInvoices where Del = 0 order by 1"); }

    InvoicingDb t;
    AppState& state = t.app->state;
    ScriptedDialogs& dialogs = t.dialogs;
};

TEST_F(DeletionTest, PersonLosesTheLaterInvoiceAndItsPostingsOpen)
{
    const QString reason = "Wrong rate, O'Neil 123456";   // 25 characters with the blanks
    ASSERT_EQ(reason.size(), 25);
    const DeleteResult r = deleteFor(false, {MsgAnswer::Yes, MsgAnswer::Yes}, reason);
    EXPECT_EQ(r.outcome, DeleteOutcome::Done);
    EXPECT_EQ(r.deleted, 1);
    EXPECT_EQ(valid(), QStringList({"501", "503", "504"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID, Original, Reason from PersonsInvoicesReason"),
              QStringList({"502|-1|" + reason}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"), QStringList({"501", "0", "504"}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsDebit"), QStringList({"0"}));
    EXPECT_EQ(dialogs.log().mid(0, 4),
              QStringList({"MESSAGE Warning | This will delete the Last invoice for the selected person. \\nThe time posted "
                           "for the selected person will not be deleted.",
                           "-> Yes",
                           "MESSAGE Final Warning! | Do you REALLY want to delete the LAST Invoice of the selected person?",
                           "-> Yes"}));

    // Again: the earlier one goes next.
    deleteFor(false, {MsgAnswer::Yes, MsgAnswer::Yes}, "again");
    EXPECT_EQ(valid(), QStringList({"503", "504"}));
}

TEST_F(DeletionTest, CrewDeletionPassesOverDemobilizedMembers)
{
    const DeleteResult r = deleteFor(true, {MsgAnswer::Yes, MsgAnswer::Yes}, "Crew rerun");
    EXPECT_EQ(r.deleted, 2);
    EXPECT_EQ(valid(), QStringList({"501", "503"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID from PersonsInvoicesReason order by 1"), QStringList({"502", "504"}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"), QStringList({"501", "0", "0"}));
    EXPECT_TRUE(dialogs.log().contains("MESSAGE Final Warning! | Do you REALLY want to delete the LAST Invoice of EVERY crew member?"));
}

TEST_F(DeletionTest, RefusalsWriteNothing)
{
    // 26 characters: refused without asking again.
    DeleteResult r = deleteFor(true, {MsgAnswer::Yes, MsgAnswer::Yes}, "Wrong rate for the crew  x");
    EXPECT_EQ(r.outcome, DeleteOutcome::ReasonTooLong);
    EXPECT_EQ(dialogs.log().last(2).front(),
              "MESSAGE Reason to long | You must limit your entry to 25 characters and spaces.");
    EXPECT_FALSE(dialogs.answersLeft());
    r = deleteFor(false, {MsgAnswer::Yes, MsgAnswer::Yes}, "  Person reason 26 chars  ");
    EXPECT_EQ(r.outcome, DeleteOutcome::ReasonTooLong);
    EXPECT_EQ(dialogs.log().last(2).front(), "MESSAGE Reason to long | You must limit your entry to 25 characters and spaces");

    r = deleteFor(false, {MsgAnswer::Yes, MsgAnswer::Yes}, "");
    EXPECT_EQ(r.outcome, DeleteOutcome::NoReason);
    EXPECT_EQ(dialogs.log().last(2).front(), "MESSAGE Need an Invoice Reason | You must enter a reason to delete the Invoice");

    dialogs.queueAnswer(MsgAnswer::Yes);
    dialogs.queueAnswer(MsgAnswer::No);
    state.SelectedPersonId = 100;
    EXPECT_EQ(deleteLastInvoices(*t.app, false).outcome, DeleteOutcome::Declined);

    EXPECT_EQ(valid(), QStringList({"501", "502", "503", "504"}));
    EXPECT_EQ(t.count("PersonsInvoicesReason"), 0);
}

TEST_F(DeletionTest, NothingToDelete)
{
    // No selection at all.
    EXPECT_EQ(deleteLastInvoices(*t.app, false).outcome, DeleteOutcome::NothingToDelete);
    EXPECT_EQ(dialogs.log().front(), "MESSAGE Delete Invoices | No Invoices to Delete.");
    // Every invoice of the person already deleted.
    t.exec("Update PersonsInvoices set Del = 1 where PersonID = 102");
    state.SelectedPersonId = 102;
    EXPECT_EQ(deleteLastInvoices(*t.app, false).outcome, DeleteOutcome::NothingToDelete);
    EXPECT_FALSE(HasInvoices(*t.app, 0, 0));
    EXPECT_TRUE(HasInvoices(*t.app, Crew, 0));
    EXPECT_FALSE(HasInvoices(*t.app, OtherCrew, 0));
}

TEST_F(DeletionTest, AFailingPersonKeepsTheInvoiceWhileEarlierOnesStayDeleted)
{
    t.failWrites("PersonsInvoices", "NEW.PersonsInvoiceID = 504");
    EXPECT_THROW(deleteFor(true, {MsgAnswer::Yes, MsgAnswer::Yes}, "Crew rerun"), DbError);
    EXPECT_EQ(valid(), QStringList({"501", "503", "504"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID from PersonsInvoicesReason"), QStringList({"502"}));
    EXPECT_EQ(t.rows("Select InvoiceID from PersonsPost order by PersonsPostID"), QStringList({"501", "0", "504"}));
}

}  // namespace
