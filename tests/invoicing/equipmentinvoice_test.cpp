// Issuing equipment invoices against a real embedded database: numbers,
// suffixes, amounts, the rows and locks an ORIGINAL writes, official copies,
// and what a failure part-way leaves behind.
#include "equipmentfixture.h"

using namespace eqtest;

TEST(EquipmentInvoiceNumber, YearIncidentAndPaddedId)
{
    EXPECT_EQ(equipmentInvoiceNumber("2005", "CA-XYZ-001", 42), "2005-CA-XYZ-001-000042");
    EXPECT_EQ(equipmentInvoiceNumber("05", "CA-XYZ-001", 42), "05-CA-XYZ-001-000042");
    // An ID of more than six digits is written whole.
    EXPECT_EQ(equipmentInvoiceNumber("2005", "CA-XYZ-001", 12345678), "2005-CA-XYZ-001-12345678");
}

TEST(EquipmentInvoiceAmount, DailyGuaranteeAndAdjustments)
{
    EquipmentDb t;
    AppState s = issueState(PrintOriginal);
    // 7/2: 300 under a guarantee of 500 counts 500; 7/3: 700 over 500 counts
    // 700; 7/4: 400 equal to 400 counts 400. Plus 20, less 50.
    EXPECT_EQ(equipmentInvoiceAmount(t.db, s), Currency::fromInt(1570));

    // Debits of 50 and additions of 20 on a daily total of 1000 give 970.
    t.db.execute("Update ContractorPost set Amt = 1000, GuarAmt = 0 where ActivityDT = '2005-07-02'");
    s.ReportStartDate = s.ReportEndDate = QDate(2005, 7, 2);
    s.ReportAdditionTotal = Currency::fromInt(20);
    s.ReportDebitTotal = Currency::fromInt(50);
    EXPECT_EQ(equipmentInvoiceAmount(t.db, s), Currency::fromInt(970));

    // A day without a guarantee counts its posted amount; a day without a
    // posted amount (even the first of the period) counts its guarantee.
    s.ReportStartDate = QDate(2005, 7, 1);
    s.ReportEndDate = QDate(2005, 7, 5);
    t.db.execute("Update ContractorPost set GuarAmt = NULL where ActivityDT = '2005-07-02'");
    t.db.execute("Update ContractorPost set Amt = NULL where ActivityDT = '2005-07-03'");
    EXPECT_EQ(equipmentInvoiceAmount(t.db, s), Currency::fromInt(1000 + 500 + 400 + 20 - 50));

    // No use postings in the period: 0, the adjustments are not applied.
    s.ReportStartDate = s.ReportEndDate = QDate(2005, 8, 1);
    EXPECT_EQ(equipmentInvoiceAmount(t.db, s), Currency());
}

TEST(EquipmentIssue, OriginalWritesInvoiceReasonAndLocksThenPrintsAfterCommit)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    RecordingReports reports(&t);
    // Keys above 32767 stay whole.
    t.db.execute("INSERT INTO KeyCounters VALUES ('EquipInvoices', 40000), ('EquipInvoicesReason', 70000)");
    AppState s = issueState(PrintOriginal);

    ASSERT_EQ(printEquipmentInvoice(s, t.db, dialogs, reports, 1), EquipmentIssueOutcome::Issued);
    const std::int32_t id = s.SelectedInvoiceId;
    ASSERT_EQ(id, 40001);
    EXPECT_EQ(t.scalar("Select EquipInvoiceReasonID from EquipInvoicesReason").toInt(), 70001);
    EXPECT_EQ(s.InvoiceNumberText, "2005-CA-XYZ-001-000042");
    EXPECT_EQ(t.scalar(QStringLiteral("Select InvoiceNumber || '|' || InvoiceSuffix || '|' || FirstDate || '|' || "
                                      "LastDate || '|' || Amount || '|' || Del from EquipInvoices where "
                                      "EquipInvoiceID = %1").arg(id)).toString(),
              "2005-CA-XYZ-001-000042|A|2005-07-01|2005-07-05|1570|0");
    EXPECT_EQ(t.scalar(QStringLiteral("Select Original || Reason from EquipInvoicesReason where EquipInvoiceID = %1")
                           .arg(id)).toString(), "1Original");
    // The period's postings and adjustments carry the key; 7/10 stays open.
    EXPECT_EQ(t.count(QStringLiteral("ContractorPost where InvoiceID = %1").arg(id)), 3);
    EXPECT_EQ(t.count(QStringLiteral("ContractorAdjustments where InvoiceID = %1").arg(id)), 2);
    EXPECT_EQ(t.count("ContractorPost where InvoiceID = 0 and ActivityDT = '2005-07-10'"), 1);

    // The OF-286 with "OA", then the deductions with the copy number added,
    // both printed on the given slot, and only once the invoice was committed.
    EXPECT_EQ(reports.trace(), QStringList({"build 7 OA", "show 7 OA 0/1", "build 13 OA00", "show 13 OA00 0/1"}));
    for (const ReportCall& c : reports.calls)
        if (c.what == "build") {
            EXPECT_EQ(c.key, id);
            EXPECT_EQ(c.invoicesSeenElsewhere, 1);
        }
    EXPECT_EQ(s.ReportNumber, 7);
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST(EquipmentIssue, BothTotalsZeroSkipsTheDeductionsButStillLocksAdjustments)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    RecordingReports reports;
    AppState s = issueState(PrintOriginal);
    s.ReportAdditionTotal = s.ReportDebitTotal = Currency();
    printEquipmentInvoice(s, t.db, dialogs, reports, 2);
    EXPECT_EQ(reports.trace(), QStringList({"build 7 OA", "show 7 OA 0/2"}));
    EXPECT_EQ(t.count(QStringLiteral("ContractorAdjustments where InvoiceID = %1").arg(s.SelectedInvoiceId)), 2);
    EXPECT_EQ(s.OrigRptCode, "OA00");
    EXPECT_EQ(s.ReportNumber, 7);
}

TEST(EquipmentIssue, DuplicatesAddCopiesAndRefuseInvoicesWithoutOne)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    RecordingReports reports;
    AppState s = issueState(PrintOriginal);
    printEquipmentInvoice(s, t.db, dialogs, reports, 1);
    const std::int32_t id = s.SelectedInvoiceId;

    AppState d = issueState(PrintDuplicateOriginal);
    d.SelectedInvoiceId = id;
    d.ReprintReason = QStringLiteral("Dog's dinner");
    d.OrigRptCode = "P" + d.ReprintReason;
    reports.calls.clear();
    ASSERT_EQ(printEquipmentInvoice(d, t.db, dialogs, reports, 1), EquipmentIssueOutcome::Issued);
    EXPECT_EQ(d.OriginalNumber, 2);
    EXPECT_EQ(d.OrigRptCode, "FPDog's dinner02");
    EXPECT_EQ(reports.trace(), QStringList({"build 7 FPDog's dinner", "show 7 FPDog's dinner 0/1",
                                            "build 13 FPDog's dinner02", "show 13 FPDog's dinner02 0/1"}));
    EXPECT_EQ(t.scalar(QStringLiteral("Select Reason from EquipInvoicesReason where EquipInvoiceID = %1 and "
                                      "Original = 2").arg(id)).toString(), "Dog's dinner");
    EXPECT_EQ(t.count("EquipInvoices"), 1);

    // A deleted invoice has no official print to copy.
    t.db.execute("Update EquipInvoices set Del = 1");
    const QStringList before = t.snapshot();
    reports.calls.clear();
    EXPECT_EQ(printEquipmentInvoice(d, t.db, dialogs, reports, 1), EquipmentIssueOutcome::NoInvoicedPostings);
    EXPECT_EQ(dialogs.log().value(0), "MESSAGE Quillon: No Postings | No Invoiced Postings to Print.");
    EXPECT_TRUE(reports.calls.empty());
    EXPECT_EQ(t.snapshot(), before);
}

TEST(EquipmentIssue, FailurePartWayLeavesDatabaseAndStateAsBefore)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    RecordingReports reports;
    t.failOn("UPDATE", "ContractorAdjustments");
    const QStringList before = t.snapshot();
    AppState s = issueState(PrintOriginal);
    s.SelectedInvoiceId = 7;
    EXPECT_THROW(printEquipmentInvoice(s, t.db, dialogs, reports, 1), DbError);
    EXPECT_EQ(t.snapshot(), before);
    EXPECT_TRUE(reports.calls.empty());
    EXPECT_EQ(s.SelectedInvoiceId, 7);
    EXPECT_EQ(s.OrigRptCode, "O");
    EXPECT_TRUE(s.InvoiceNumberText.isEmpty());
}
