// The print options and flow of the OF-286 window without its widgets, and
// deleting the newest invoice: periods, totals, earlier invoices, reasons,
// which reports go where, and what a deletion changes or leaves alone.
#include "equipmentfixture.h"

#include "invoicing/equipmentdelete.h"
#include "invoicing/equipmentprint.h"

using namespace eqtest;

namespace {

// Issues an ORIGINAL for equipment 42 up to `end` and returns its key.
std::int32_t issue(EquipmentDb& t, QDate end)
{
    ScriptedDialogs dialogs;
    RecordingReports reports;
    AppState s = issueState(PrintOriginal);
    s.ReportEndDate = end;
    printEquipmentInvoice(s, t.db, dialogs, reports, 1);
    return s.SelectedInvoiceId;
}

AppState windowState(std::int16_t mode)
{
    AppState s;
    s.InvoicePrintMode = mode;
    s.SelectedEquipmentId = 42;
    s.ContractType = QStringLiteral("0");
    return s;
}

}  // namespace

TEST(EquipmentReason, LimitsRetriesAndCancel)
{
    AppState s;
    ScriptedDialogs dialogs;
    answer(dialogs, {MsgAnswer::OK, MsgAnswer::OK}, {"Sixteen chars!!!", "", " Fifteen chars!! "});
    EXPECT_EQ(getReason(s, dialogs, ReprintReasonKind), "Fifteen chars!!");
    const QStringList log = dialogs.log();
    ASSERT_EQ(log.size(), 7);
    EXPECT_TRUE(log[0].startsWith("INPUT Reason | You must enter a brief reason for reprinting."));
    EXPECT_EQ(log[1], "MESSAGE Quillon:Error with Reason | Reason too long.  Please re-enter.");
    EXPECT_EQ(log[4], "MESSAGE Quillon:Error with Reason | Did not recieve your response.  Please re-enter.");

    // A deletion reason may have 25 characters, not 26; Cancel gives up.
    answer(dialogs, {MsgAnswer::OK}, {QString(26, 'x'), QString(25, 'x')});
    EXPECT_EQ(getReason(s, dialogs, DeleteReasonKind), QString(25, 'x'));
    answer(dialogs, {MsgAnswer::Cancel}, {""});
    EXPECT_EQ(getReason(s, dialogs, DeleteReasonKind), "");
    EXPECT_TRUE(s.ReprintReason.isEmpty());
}

TEST(EquipmentPeriod, StartAfterLastInvoiceOrAtFirstOpenPostingWithTotals)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    AppState s = windowState(PrintDraft);
    s.ReportEndDate = QDate(2005, 7, 31);
    getAdditionsDeductions(s, t.db, dialogs, {}, {});
    EXPECT_EQ(s.ReportStartDate, QDate(2005, 7, 2));
    EXPECT_EQ(s.ReportAdditionTotal, Currency::fromInt(20));
    EXPECT_EQ(s.ReportDebitTotal, Currency::fromInt(55));

    // The next period starts at the first posting still open.
    const std::int32_t first = issue(t, QDate(2005, 7, 4));
    getAdditionsDeductions(s, t.db, dialogs, {}, {});
    EXPECT_EQ(s.ReportStartDate, QDate(2005, 7, 10));
    EXPECT_EQ(s.ReportAdditionTotal, Currency());
    EXPECT_EQ(s.ReportDebitTotal, Currency::fromInt(5));

    // A copy takes the chosen invoice's period and adjustments.
    s.InvoicePrintMode = PrintDuplicateOriginal;
    s.SelectedInvoiceId = first;
    getAdditionsDeductions(s, t.db, dialogs, QDate(2005, 7, 2), QDate(2005, 7, 4));
    EXPECT_EQ(s.ReportEndDate, QDate(2005, 7, 4));
    EXPECT_EQ(s.ReportDebitTotal, Currency::fromInt(50));
    EXPECT_TRUE(dialogs.log().isEmpty());

    // Nothing invoiced and nothing open: the message, and 1 January 1900.
    s = windowState(PrintOriginal);
    s.SelectedEquipmentId = 43;
    s.ReportEndDate = QDate(2005, 7, 31);
    getAdditionsDeductions(s, t.db, dialogs, {}, {});
    EXPECT_EQ(dialogs.log().value(0), "MESSAGE Quillon: No Postings | No Non-Invoiced Postings to Print.");
    EXPECT_EQ(s.ReportStartDate, QDate(1900, 1, 1));
}

TEST(EquipmentPeriod, PreviousInvoicesListedBeforeTheBoundDate)
{
    EquipmentDb t;
    t.db.execute("Update ContractorPost set Amt = 1000000.01, GuarAmt = 0 where ActivityDT = '2005-07-02'");
    issue(t, QDate(2005, 7, 2));
    issue(t, QDate(2005, 7, 4));
    AppState s = windowState(PrintDraft);
    s.ReportEndDate = QDate(2005, 7, 31);
    getPrevInvoices(s, t.db, {});
    EXPECT_EQ(s.PrevInvoicesText, "7/2/2005 - 7/2/2005 for $999,950.01\r\n7/3/2005 - 7/4/2005 for $1,120.00\r\n");

    // A copy of the second lists only the first, and shows the first print.
    s.InvoicePrintMode = PrintDuplicateOriginal;
    getPrevInvoices(s, t.db, QDate(2005, 7, 4));
    EXPECT_EQ(s.PrevInvoicesText, "7/2/2005 - 7/2/2005 for $999,950.01\r\n");
    EXPECT_EQ(s.OriginalNumber, 1);
}

TEST(EquipmentRun, RefusalsComeBeforeAnyReportOrReason)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    RecordingReports reports;
    AppState s = windowState(PrintDuplicateOriginal);
    EquipmentRunChoice choice;
    choice.lastDateText = "__/__/____";
    EXPECT_EQ(runEquipmentInvoice(s, t.db, dialogs, reports, choice), EquipmentRunOutcome::Stopped);
    choice.lastDateText = "02/30/2005";
    EXPECT_EQ(runEquipmentInvoice(s, t.db, dialogs, reports, choice), EquipmentRunOutcome::Stopped);
    // A copy without a chosen invoice is refused before the reason is asked.
    choice.lastDateText = "07/31/2005";
    EXPECT_EQ(runEquipmentInvoice(s, t.db, dialogs, reports, choice), EquipmentRunOutcome::Stopped);
    EXPECT_EQ(boxes(dialogs), QStringList({"MESSAGE Last date empty | Last Date is blank.\\nPlease enter a Last date.",
                                          "MESSAGE Quillon: Required data missing | Invalid End Date",
                                          "MESSAGE Quillon:No Invoice | You must select an invoice to reprint."}));
    EXPECT_TRUE(reports.calls.empty());
}

TEST(EquipmentRun, PreviewDirectDraftAndOfficialPrintRouting)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    RecordingReports reports;
    EquipmentRunChoice choice;
    choice.lastDateText = "07/05/2005";

    AppState s = windowState(PrintDraft);
    runEquipmentInvoice(s, t.db, dialogs, reports, choice);
    EXPECT_EQ(reports.trace(), QStringList({"build 13 D", "show 13 D 1/2", "build 7 D", "show 7 D 1/1"}));
    EXPECT_EQ(s.ReportStartDate, QDate(2005, 7, 2));
    EXPECT_EQ(s.ReportEndDate, QDate(2005, 7, 5));

    // Deductions only, with both totals zero: nothing is produced.
    reports.calls.clear();
    choice.reportOption = DeductionsOnly;
    t.db.execute("Update ContractorAdjustments set Amt = 0");
    runEquipmentInvoice(s, t.db, dialogs, reports, choice);
    EXPECT_TRUE(reports.calls.empty()) << reports.trace().join(',').toStdString();

    // An ORIGINAL sent to the printer goes through the issuance once.
    choice.reportOption = OF286WithDeductions;
    choice.directPrint = true;
    reports.onPrintInvoice = [&](AppState& st, std::int16_t slot, bool) {
        printEquipmentInvoice(st, t.db, dialogs, reports, slot);
        return false;
    };
    s.InvoicePrintMode = PrintOriginal;
    runEquipmentInvoice(s, t.db, dialogs, reports, choice);
    EXPECT_EQ(reports.trace(), QStringList({"build 7 O", "print-invoice 7 O /1", "build 7 OA", "build 13 OA00",
                                            "check-printer", "print 7 OA", "print 13 OA00"}));
    EXPECT_EQ(t.count("EquipInvoices where FirstDate = '2005-07-02' and LastDate = '2005-07-05'"), 1);
}

TEST(EquipmentDelete, OffersTheNewestAndUndoesItsLocks)
{
    EquipmentDb t;
    const std::int32_t a = issue(t, QDate(2005, 7, 3));
    const std::int32_t b = issue(t, QDate(2005, 7, 10));
    const QStringList issued = t.snapshot();
    ScriptedDialogs dialogs;
    AppState s;
    RecordsetPtr list = t.db.openRecordset(equipmentInvoicesSql(42, false));
    list->sort("FirstDate DESC");   // the grid re-sorted, A chosen: B is still offered
    list->moveLast();

    answer(dialogs, {MsgAnswer::Yes, MsgAnswer::No});
    EXPECT_EQ(deleteLastEquipmentInvoice(s, t.db, dialogs, *list), EquipmentDeleteOutcome::Declined);
    EXPECT_EQ(s.SelectedInvoiceId, b);
    const QString details = "Invoice #: 2005-CA-XYZ-001-000042B\\nFirst Date: 7/4/2005\\nLast Date: 7/10/2005\\n"
                            "Invoice Total: $495\\n\\nDo you want to continue?";
    EXPECT_EQ(dialogs.log()[0], "MESSAGE Warning | This will delete the following invoice information.\\n"
                                "Time posted for this resource will not be deleted.\\n" + details);
    EXPECT_TRUE(dialogs.log()[2].startsWith("MESSAGE Final Warning! | Do you really want to delete"));
    EXPECT_EQ(t.snapshot(), issued);

    // No reason: nothing changes.
    dialogs.clearLog();
    answer(dialogs, {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Cancel}, {""});
    EXPECT_EQ(deleteLastEquipmentInvoice(s, t.db, dialogs, *list), EquipmentDeleteOutcome::NoReason);
    EXPECT_EQ(boxes(dialogs).last(),
              "MESSAGE Missing Input | Did not input a reason for deleting invoice...\\n\\nInvoice will Not be deleted!");
    EXPECT_EQ(t.snapshot(), issued);

    // A failure part-way leaves everything as it was.
    t.failOn("UPDATE", "EquipInvoices");
    answer(dialogs, {MsgAnswer::Yes, MsgAnswer::Yes}, {"Wrong period"});
    EXPECT_THROW(deleteLastEquipmentInvoice(s, t.db, dialogs, *list), DbError);
    EXPECT_EQ(t.snapshot(), issued);
    t.db.execute("DROP TRIGGER injected_failure");

    answer(dialogs, {MsgAnswer::Yes, MsgAnswer::Yes}, {"Contractor's mistake"});
    ASSERT_EQ(deleteLastEquipmentInvoice(s, t.db, dialogs, *list), EquipmentDeleteOutcome::Deleted);
    // B deleted with both its reason rows, its postings and adjustments open; A untouched.
    EXPECT_EQ(t.scalar(QStringLiteral("Select group_concat(Original || ' ' || Reason, '|') from EquipInvoicesReason "
                                      "where EquipInvoiceID = %1").arg(b)).toString(),
              "1 Original|-1 Contractor's mistake");
    EXPECT_EQ(t.count(QStringLiteral("EquipInvoices where Del = 1 and EquipInvoiceID = %1").arg(b)), 1);
    EXPECT_EQ(t.count(QStringLiteral("ContractorPost where InvoiceID = %1").arg(b))
                  + t.count(QStringLiteral("ContractorAdjustments where InvoiceID = %1").arg(b)), 0);
    EXPECT_EQ(t.count(QStringLiteral("ContractorPost where InvoiceID = %1").arg(a)), 2);

    // Its letter is free again; with no invoices left there is nothing to offer.
    const std::int32_t again = issue(t, QDate(2005, 7, 10));
    EXPECT_EQ(t.scalar(QStringLiteral("Select InvoiceSuffix from EquipInvoices where EquipInvoiceID = %1").arg(again))
                  .toString(), "B");
    RecordsetPtr none = t.db.openRecordset(equipmentInvoicesSql(42, true));
    EXPECT_EQ(deleteLastEquipmentInvoice(s, t.db, dialogs, *none), EquipmentDeleteOutcome::NoInvoices);
}
