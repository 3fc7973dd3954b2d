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
              "2005-CA-XYZ-001-000042|A|2005-07-02|2005-07-05|1570|0");
    EXPECT_EQ(t.scalar(QStringLiteral("Select Original || Reason from EquipInvoicesReason where EquipInvoiceID = %1")
                           .arg(id)).toString(), "1Original");
    // The period's postings and adjustments carry the key; 7/10 stays open.
    EXPECT_EQ(t.count(QStringLiteral("ContractorPost where InvoiceID = %1").arg(id)), 3);
    EXPECT_EQ(t.count(QStringLiteral("ContractorAdjustments where InvoiceID = %1").arg(id)), 2);
    EXPECT_EQ(t.count("ContractorPost where InvoiceID = 0 and ActivityDT = '2005-07-10'"), 1);

    // The OF-286 with "OA", then the deductions with the copy number added,
    // both laid out before the commit and printed after it.
    EXPECT_EQ(reports.trace(), QStringList({"build 7 OA", "build 13 OA00", "check-printer", "print 7 OA",
                                            "print 13 OA00"}));
    for (const ReportCall& c : reports.calls) {
        if (c.what == "build") EXPECT_EQ(c.invoicesSeenElsewhere, 0);
        if (c.what == "print") EXPECT_EQ(c.invoicesSeenElsewhere, 1);
        if (c.what == "build" || c.what == "print") EXPECT_EQ(c.key, id);
    }
    EXPECT_EQ(s.ReportNumber, 7);
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST(EquipmentIssue, DeductionsPrintWhenTheInvoiceHoldsAnyAdjustment)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    RecordingReports reports;
    // Adjustments of 0 are still locked, so they are printed.
    t.db.execute("Update ContractorAdjustments set Amt = 0");
    AppState s = issueState(PrintOriginal);
    printEquipmentInvoice(s, t.db, dialogs, reports, 2);
    EXPECT_EQ(reports.trace(), QStringList({"build 7 OA", "build 13 OA00", "check-printer", "print 7 OA",
                                            "print 13 OA00"}));
    EXPECT_EQ(t.count(QStringLiteral("ContractorAdjustments where InvoiceID = %1").arg(s.SelectedInvoiceId)), 2);
    EXPECT_EQ(s.OrigRptCode, "OA00");

    // Without adjustments in the period only the OF-286 prints.
    reports.calls.clear();
    s = issueState(PrintOriginal);
    s.ReportEndDate = QDate(2005, 7, 10);
    t.db.execute("Delete from ContractorAdjustments");
    printEquipmentInvoice(s, t.db, dialogs, reports, 2);
    EXPECT_EQ(reports.trace(), QStringList({"build 7 OB", "check-printer", "print 7 OB"}));
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
    EXPECT_EQ(reports.trace(), QStringList({"build 7 FPDog's dinner", "build 13 FPDog's dinner02", "check-printer",
                                            "print 7 FPDog's dinner", "print 13 FPDog's dinner02"}));
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

    // A form that cannot be laid out (a template error) writes nothing either.
    t.db.execute("DROP TRIGGER injected_failure");
    reports.layoutFailure = "Unknown field {Amt#3}";
    EXPECT_THROW(printEquipmentInvoice(s, t.db, dialogs, reports, 1), DbError);
    EXPECT_EQ(t.snapshot(), before);
    EXPECT_EQ(reports.trace(), QStringList{"build 7 OA"});
    EXPECT_EQ(s.OrigRptCode, "O");
}
