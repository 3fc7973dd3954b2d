// PrintInvoice: the entry rules, the two confirmations, issuing and printing
// the personnel invoice set, the equipment dispatch and the viewers' print button.
#include "invoicing/printinvoice.h"

#include "invoicing/preptable.h"
#include "invoicingdb.h"
#include "reports/buildreport.h"

#include <QApplication>

using namespace quillon;
using namespace invtest;

namespace {

QStringList shownViewers()
{
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName().startsWith("frmViewRpt", Qt::CaseInsensitive) && w->isVisible()) names << w->objectName();
    names.sort();
    return names;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

class PrintInvoiceTest : public ::testing::Test {
protected:
    PrintInvoiceTest()
    {
        state.ReportEndDate = d(7, 10);
        state.SelectedResourceId = Crew;
        choices.CrewOption = true;
        choices.ResourceMode = true;
        t.addPerson(100);
        t.addPerson(101);
        t.addPosting(100, d(7, 1), 8);
        t.addPosting(100, d(7, 2), 10);
        t.addPosting(101, d(7, 1), 6);
        t.addDebit(100, d(7, 2), 12.5);
    }
    ~PrintInvoiceTest() override
    {
        setEquipmentInvoicePath({});
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith("frmViewRpt", Qt::CaseInsensitive)) w->deleteLater();
        settle();
    }

    // What a Run does before printing: the preparation table, the commissary
    // detail and the OF-288 built, both previewed when asked to.
    void prepare(std::int16_t mode, bool preview)
    {
        state.InvoicePrintMode = mode;
        state.OrigRptCode = mode == PrintOriginal ? "O" : "P" + state.ReprintReason;
        state.SelectedInvoiceId = -1;
        getPrevInvoices(*t.app, choices);
        std::int32_t key = state.SelectedInvoiceId;
        state.ReportNumber = 14;
        ASSERT_TRUE(BuildReport(*t.app, key));
        if (preview) ShowReport(*t.app, 1, 2);
        state.ReportNumber = 6;
        ASSERT_TRUE(BuildReport(*t.app, key));
        if (preview) ShowReport(*t.app, 1, 1);
    }
    QStringList jobs() const
    {
        QStringList names;
        for (const QString& path : t.printer->jobs()) names << path.section('/', -1);
        return names;
    }

    InvoicingDb t;
    AppState& state = t.app->state;
    ScriptedDialogs& dialogs = t.dialogs;
    of288::Choices choices;
};

TEST_F(PrintInvoiceTest, DraftsAndOtherReportsAreLeftToTheCaller)
{
    prepare(PrintDraft, true);
    ASSERT_EQ(shownViewers(), QStringList({"frmViewRpt", "frmViewRpt2"}));
    EXPECT_TRUE(PrintInvoice(*t.app, 1, true));
    state.InvoicePrintMode = PrintOriginal;
    state.ReportNumber = 2;
    EXPECT_TRUE(PrintInvoice(*t.app, 1, true));
    // Nothing asked, nothing closed, nothing written or printed.
    EXPECT_TRUE(dialogs.log().isEmpty());
    EXPECT_EQ(shownViewers(), QStringList({"frmViewRpt", "frmViewRpt2"}));
    EXPECT_EQ(t.count("PersonsInvoices"), 0);
    EXPECT_TRUE(jobs().isEmpty());
}

TEST_F(PrintInvoiceTest, OriginalFromAViewerClosesBothViewersThenDecliningWritesNothing)
{
    prepare(PrintOriginal, true);
    QStringList viewersWhenAsked;
    dialogs.setSink([&](const QString& line) {
        if (line.startsWith("MESSAGE")) viewersWhenAsked << shownViewers().join(",");
    });
    for (MsgAnswer second : {MsgAnswer::Cancel, MsgAnswer::No}) {
        dialogs.queueAnswer(second == MsgAnswer::Cancel ? MsgAnswer::Cancel : MsgAnswer::OK);
        if (second == MsgAnswer::No) dialogs.queueAnswer(MsgAnswer::No);
        EXPECT_FALSE(PrintInvoice(*t.app, 1, true));
    }
    EXPECT_EQ(viewersWhenAsked, QStringList({"", "", ""}));
    EXPECT_EQ(dialogs.log().front(),
              "MESSAGE Quillon: Warning 1 of 2 | You are about to print an ORIGINAL Invoice.  Ensure DRAFT invoice has "
              "been audited for completeness and accuracy.\\n\\nIf you select OK, all postings for this period will be "
              "locked to prevent editing!\\nDo you want to continue?");
    EXPECT_EQ(dialogs.log().at(4), "MESSAGE Quillon: Final Warning 2 of 2 | By selecting YES you will not be able to "
                                   "edit any postings for this period.  They will be locked.\\n\\nPrint Original Invoice?");
    EXPECT_EQ(t.count("PersonsInvoices"), 0);
    EXPECT_EQ(t.one("Select count(*) from PersonsPost where InvoiceID <> 0"), "0");
    EXPECT_TRUE(jobs().isEmpty());
}

TEST_F(PrintInvoiceTest, ConfirmedOriginalIssuesThenPrintsTheInvoiceAndItsCommissaryDetail)
{
    prepare(PrintOriginal, false);
    dialogs.queueAnswer(MsgAnswer::OK);
    dialogs.queueAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(PrintInvoice(*t.app, 1, false));
    EXPECT_EQ(t.rows("Select PersonID, InvoiceSuffix, Amount from PersonsInvoices order by PersonID"),
              QStringList({"100|A|18", "101|A|6"}));
    EXPECT_EQ(t.one("Select count(*) from PersonsPost where InvoiceID = 0"), "0");
    EXPECT_EQ(jobs(), QStringList({"0001-OF-288.pdf", "0002-Commissary_Detail.pdf"}));
    // The detail was built after issuance, over the debits now locked to the
    // new invoice, and the print mode is back.
    EXPECT_EQ(state.ReportNumber, 14);
    EXPECT_EQ(state.InvoicePrintMode, PrintOriginal);
    ASSERT_TRUE(state.MainDataSet);
    EXPECT_EQ(state.MainDataSet->recordCount(), 1);
}

TEST_F(PrintInvoiceTest, DuplicateRecordsTheCopyWithoutAskingAndPrints)
{
    prepare(PrintOriginal, false);
    dialogs.queueAnswer(MsgAnswer::OK);
    dialogs.queueAnswer(MsgAnswer::Yes);
    PrintInvoice(*t.app, 1, false);
    dialogs.clearLog();

    state.ReprintReason = "Lost";
    prepare(PrintDuplicateOriginal, false);
    EXPECT_FALSE(PrintInvoice(*t.app, 1, false));
    EXPECT_TRUE(dialogs.log().isEmpty());
    EXPECT_EQ(t.rows("Select Original, Reason from PersonsInvoicesReason where Original = 2"),
              QStringList({"2|Lost", "2|Lost"}));
    EXPECT_EQ(jobs().size(), 4);
}

TEST_F(PrintInvoiceTest, CommissaryDetailAloneAndEquipmentReports)
{
    state.InvoicePrintMode = PrintDuplicateOriginal;
    state.ReportNumber = 14;
    EXPECT_FALSE(PrintInvoice(*t.app, 2, false));

    state.ReportNumber = 7;
    try {
        PrintInvoice(*t.app, 1, false);
        ADD_FAILURE() << "an equipment invoice went nowhere";
    } catch (const DbError& e) {
        EXPECT_EQ(e.description(), "Equipment invoices are not available.");
    }

    std::vector<int> calls;
    setEquipmentInvoicePath([&](App& app, std::int16_t slot) {
        EXPECT_EQ(&app, t.app.get());
        calls.push_back(slot);
        return false;
    });
    state.ReportNumber = 13;
    EXPECT_FALSE(PrintInvoice(*t.app, 2, false));
    // A declined ORIGINAL never reaches the equipment path.
    state.InvoicePrintMode = PrintOriginal;
    dialogs.queueAnswer(MsgAnswer::Cancel);
    EXPECT_FALSE(PrintInvoice(*t.app, 1, false));
    EXPECT_EQ(calls, std::vector<int>({2}));
}

TEST_F(PrintInvoiceTest, ViewerPrintButtonAsksPrintInvoice)
{
    installInvoicePrintHook(*t.app);
    prepare(PrintDraft, true);
    t.app->output().window(1)->viewer()->pressPrintButton();
    EXPECT_EQ(jobs(), QStringList({"0001-OF-288.pdf"}));   // a draft prints as shown

    prepare(PrintOriginal, true);
    dialogs.queueAnswer(MsgAnswer::Cancel);
    t.app->output().window(2)->viewer()->pressPrintButton();
    settle();
    EXPECT_EQ(jobs().size(), 1);
    EXPECT_TRUE(shownViewers().isEmpty());
    EXPECT_EQ(t.count("PersonsInvoices"), 0);
}

}  // namespace
