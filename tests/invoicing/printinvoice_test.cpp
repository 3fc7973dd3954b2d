// PrintInvoice: entry rules, the two confirmations, issuing then printing the
// personnel set, the equipment dispatch and the viewers' print button.
#include "invoicing/printinvoice.h"

#include "invoicing/preptable.h"
#include "invoicingdb.h"
#include "shell/buildreport.h"

#include <QApplication>

using namespace invtest;

namespace {

QString shownViewers()
{
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName().startsWith("frmViewRpt") && w->isVisible()) names << w->objectName();
    names.sort();
    return names.join(',');
}

class PrintInvoiceTest : public ::testing::Test {
protected:
    PrintInvoiceTest()
    {
        state.ReportEndDate = d(7, 10);
        state.SelectedResourceId = Crew;
        choices.CrewOption = choices.ResourceMode = true;
        t.addPerson(100);
        t.addPerson(101);
        t.addPosting(100, d(7, 1), 8);
        t.addPosting(100, d(7, 2), 10);
        t.addPosting(101, d(7, 1), 6);
        t.addDebit(100, d(7, 2), 12.5);
        installInvoicePrintHook(*t.app);
    }
    ~PrintInvoiceTest() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith("frmViewRpt")) w->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // What a Run does before printing: the table, then both reports built and,
    // when asked, previewed.
    void prepare(std::int16_t mode, bool preview)
    {
        state.InvoicePrintMode = mode;
        state.SelectedInvoiceId = -1;
        getPrevInvoices(*t.app, choices);
        std::int32_t key = -1;
        for (std::int16_t report : {14, 6}) {
            state.ReportNumber = report;
            ASSERT_TRUE(BuildReport(*t.app, key));
            if (preview) ShowReport(*t.app, 1, report == 6 ? 1 : 2);
        }
    }
    void answer(MsgAnswer first, MsgAnswer second)
    {
        t.dialogs.queueAnswer(first);
        t.dialogs.queueAnswer(second);
    }
    int jobs() const { return int(t.printer->jobs().size()); }

    InvoicingDb t;
    AppState& state = t.app->state;
    of288::Choices choices;
};

TEST_F(PrintInvoiceTest, DraftsAndOtherReportsAreLeftToTheCallerAndADraftViewerPrintsItself)
{
    prepare(PrintDraft, true);
    EXPECT_TRUE(PrintInvoice(*t.app, 1, true));
    t.app->output().window(1)->viewer()->pressPrintButton();
    EXPECT_EQ(jobs(), 1);
    state.InvoicePrintMode = PrintOriginal;
    state.ReportNumber = 2;
    EXPECT_TRUE(PrintInvoice(*t.app, 1, true));
    EXPECT_TRUE(t.dialogs.log().isEmpty());
    EXPECT_EQ(shownViewers(), "frmViewRpt,frmViewRpt2");
}

TEST_F(PrintInvoiceTest, OriginalFromAViewerClosesBothViewersBeforeAskingAndDecliningWritesNothing)
{
    prepare(PrintOriginal, true);
    QStringList viewersWhenAsked;
    t.dialogs.setSink([&](const QString& line) {
        if (line.startsWith("MESSAGE")) viewersWhenAsked << shownViewers();
    });
    t.dialogs.queueAnswer(MsgAnswer::Cancel);
    t.app->output().window(2)->viewer()->pressPrintButton();
    answer(MsgAnswer::OK, MsgAnswer::No);
    EXPECT_FALSE(PrintInvoice(*t.app, 1, false));
    EXPECT_EQ(viewersWhenAsked, QStringList({"", "", ""}));
    EXPECT_EQ(t.dialogs.log().value(0),
              "MESSAGE Quillon: Warning 1 of 2 | You are about to print an ORIGINAL Invoice.  Ensure DRAFT invoice has "
              "been audited for completeness and accuracy.\\n\\nIf you select OK, all postings for this period will be "
              "locked to prevent editing!\\nDo you want to continue?");
    EXPECT_EQ(t.dialogs.log().value(4), "MESSAGE Quillon: Final Warning 2 of 2 | By selecting YES you will not be able to "
                                        "edit any postings for this period.  They will be locked.\\n\\nPrint Original Invoice?");
    EXPECT_EQ(t.count("PersonsInvoices"), 0);
    EXPECT_EQ(jobs(), 0);
}

TEST_F(PrintInvoiceTest, ConfirmedOriginalIssuesThenPrintsTheInvoiceAndItsCommissaryDetail)
{
    prepare(PrintOriginal, false);
    answer(MsgAnswer::OK, MsgAnswer::Yes);
    EXPECT_FALSE(PrintInvoice(*t.app, 1, false));
    EXPECT_EQ(t.rows("Select PersonID, InvoiceSuffix, Amount from PersonsInvoices order by PersonID"),
              QStringList({"100|A|18", "101|A|6"}));
    EXPECT_EQ(t.count("PersonsPost where InvoiceID = 0"), 0);
    ASSERT_EQ(jobs(), 2);
    EXPECT_TRUE(t.printer->jobs().at(0).endsWith("0001-OF-288.pdf"));
    EXPECT_TRUE(t.printer->jobs().at(1).endsWith("0002-Commissary_Detail.pdf"));
    // The detail was built after issuance, over the debits now locked to the
    // new invoice; the print mode is back.
    EXPECT_EQ(state.MainDataSet->recordCount(), 1);
    EXPECT_EQ(state.InvoicePrintMode, PrintOriginal);

    // A duplicate asks nothing, records the copies and prints again.
    t.dialogs.clearLog();
    state.ReprintReason = "Lost";
    prepare(PrintDuplicateOriginal, false);
    EXPECT_FALSE(PrintInvoice(*t.app, 1, false));
    EXPECT_TRUE(t.dialogs.log().isEmpty());
    EXPECT_EQ(t.rows("Select Reason from PersonsInvoicesReason where Original = 2"), QStringList({"Lost", "Lost"}));
    EXPECT_EQ(jobs(), 4);
}

TEST_F(PrintInvoiceTest, CommissaryDetailAloneAndEquipmentReports)
{
    state.InvoicePrintMode = PrintDuplicateOriginal;
    state.ReportNumber = 14;
    EXPECT_FALSE(PrintInvoice(*t.app, 2, false));
    state.ReportNumber = 7;
    EXPECT_THROW(PrintInvoice(*t.app, 1, false), DbError);   // no equipment path yet

    std::vector<int> slots;
    setEquipmentInvoicePath(*t.app, [&](App&, std::int16_t slot) {
        slots.push_back(slot);
        return false;
    });
    state.ReportNumber = 13;
    EXPECT_FALSE(PrintInvoice(*t.app, 2, false));
    state.InvoicePrintMode = PrintOriginal;
    t.dialogs.queueAnswer(MsgAnswer::Cancel);
    EXPECT_FALSE(PrintInvoice(*t.app, 1, false));   // declined: never reaches the path
    EXPECT_EQ(slots, std::vector<int>({2}));
}

}  // namespace
