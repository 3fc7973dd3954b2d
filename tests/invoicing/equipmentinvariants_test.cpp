// What an OF-286 stores, locks and prints agree, through the window's run,
// the invoice issuance and the program's own templates, with the printed
// PDF read back as text. Grouped by invariant; every figure is worked out
// by hand from the rows below.
#include "equipmentfixture.h"

#include "invoicing/equipmentprint.h"
#include "invoicing/form7.h"
#include "shell/buildreport.h"
#include "reports/printing/printer.h"
#include "shell/app.h"

#include <QProcess>
#include <QRegularExpression>

using namespace eqtest;

namespace {

// Printing that fails after the print service said it was ready, as a
// printer that jams or a full output folder does.
class JammedPrinter : public reports::FolderPrinter {
public:
    using FolderPrinter::FolderPrinter;
    void printPdf(const QByteArray&, const QString&) override
    {
        throw DbError(ErrorNumber::Printer, QStringLiteral("Printing on the default printer failed: paper jam"));
    }
};

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Equipment 42 of the fixture with these use postings (day: amount +
// special vs guarantee = what the day pays):
//   7/2  300 + (none)  vs 250  = 300      accounting code P5ABC1
//   7/3  100 + 50.25   vs 200  = 200      AccountingID 0
//   7/4  120 + 0 twice vs 200  = 240      AccountingID Null (two identical postings)
//   7/5  (none) + 80   vs none = 80       AccountingID 99, which does not exist
//   7/6  60 + 0        vs 0    = 60       the day after the first invoice
// and adjustments 7/2 debit 50, 7/3 addition 20, 7/5 debit 10.50, 7/6 debit 7.
// An ORIGINAL up to 7/5: 820 use + 20 - 60.50 = $779.50. Up to 7/6 after it:
// 60 - 7 = $53.00.
class EquipmentInvariants : public ::testing::Test {
protected:
    // The program's own templates; forms that could not be printed are kept
    // in the user's data folder, here the test's own.
    void SetUp() override
    {
        saved = {qgetenv("QUILLON_TEMPLATE_DIR"), qgetenv("XDG_DATA_HOME")};
        qputenv("QUILLON_TEMPLATE_DIR", QUILLON_TEST_DATA "/../../templates");
        qputenv("XDG_DATA_HOME", t.dir.path().toLocal8Bit());
        usePrinter(std::make_shared<reports::FolderPrinter>(t.dir.filePath("jobs")));
        t.db.execute("Delete from ContractorPost");
        t.db.execute("Delete from ContractorAdjustments");
        t.db.execute("INSERT INTO ContractorPost (EquipmentID, ActivityDT, Units, UOM, Rate, Amt, SUnits, SUOM, SRate, "
                     "SAmt, GuarAmt, AccountingID) VALUES"
                     " (42, '2005-07-02', 10, 'HR', 30, 300, NULL, NULL, NULL, NULL, 250, 1),"
                     " (42, '2005-07-03', 10, 'HR', 10, 100, 1, 'EA', 50.25, 50.25, 200, 0),"
                     " (42, '2005-07-04', 4, 'HR', 30, 120, 0, 'HR', 0, 0, 200, NULL),"
                     " (42, '2005-07-04', 4, 'HR', 30, 120, 0, 'HR', 0, 0, 200, NULL),"
                     " (42, '2005-07-05', NULL, NULL, NULL, NULL, 2, 'EA', 40, 80, NULL, 99),"
                     " (42, '2005-07-06', 2, 'HR', 30, 60, 0, 'HR', 0, 0, 0, 1)");
        t.db.execute("INSERT INTO ContractorAdjustments VALUES (1, 20, 42, '2005-07-02', 50, 'Fuel', 0),"
                     " (2, 20, 42, '2005-07-03', -20, 'Move', 0), (3, 20, 42, '2005-07-05', 10.5, 'Meals', 0),"
                     " (4, 20, 42, '2005-07-06', 7, 'Late fuel', 0)");
    }

    void TearDown() override
    {
        for (auto [name, value] : {std::pair{"QUILLON_TEMPLATE_DIR", saved.first}, std::pair{"XDG_DATA_HOME", saved.second}})
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
    }

    void usePrinter(std::shared_ptr<reports::FolderPrinter> p)
    {
        printer = std::move(p);
        app = std::make_unique<App>(dialogs, printer);
        app->attachConnection(t.db);
        registerForm7(*app);
        // Chosen in the main menu: a two-digit year.
        app->state.SelectedIncidentId = 1;
        app->state.SelectedIncidentNumber = "CA-XYZ-001";
        app->state.IncidentStartYear = "05";
    }

    // The window's direct print of equipment 42 in `mode` up to `lastDate`
    // (a copy of invoice `copyOf`), confirmations answered when `confirm`.
    EquipmentRunOutcome run(std::int16_t mode, const QString& lastDate, bool confirm = true, std::int32_t copyOf = 0)
    {
        AppState& s = app->state;
        s.InvoicePrintMode = mode;
        s.SelectedEquipmentId = equipment;
        s.ContractType = "0";
        s.SelectedInvoiceId = copyOf;
        EquipmentRunChoice c;
        c.directPrint = true;
        c.lastDateText = lastDate;
        if (mode == PrintOriginal && confirm) answer(dialogs, {MsgAnswer::OK, MsgAnswer::Yes});
        if (mode == PrintDuplicateOriginal) {
            dialogs.queueInput("Lost");
            RecordsetPtr row = t.db.openRecordset(
                QStringLiteral("Select FirstDate, LastDate from EquipInvoices where EquipInvoiceID = %1").arg(copyOf));
            c.chosenInvoiceFirstDate = row->value(0).toDate();
            c.chosenInvoiceLastDate = row->value(1).toDate();
        }
        AppEquipmentReports reports(*app);
        return runEquipmentInvoice(s, t.db, dialogs, reports, c);
    }
    QString printed(int job) { return pdfText(printer->jobs().value(job)); }
    QString stored(const QString& what) { return t.scalar("Select " + what + " from EquipInvoices").toString(); }

    std::pair<QByteArray, QByteArray> saved;
    EquipmentDb t;
    ScriptedDialogs dialogs;
    std::int32_t equipment = 42;
    std::shared_ptr<reports::FolderPrinter> printer;
    std::unique_ptr<App> app;
};

const QRegularExpression kNetDue(QStringLiteral("NET AMOUNT DUE\\s+(\\S+)"));

}  // namespace

TEST_F(EquipmentInvariants, StoredAmountIsThePrintedNetAmountDue)
{
    run(PrintOriginal, "07/05/2005");
    ASSERT_EQ(printer->jobs().size(), 2) << dialogs.log().join('\n').toStdString();
    EXPECT_EQ(stored("Amount"), "779.5");
    EXPECT_EQ(kNetDue.match(printed(0)).captured(1), "$779.50");

    // The next invoice lists it under the previous invoices with that amount.
    run(PrintOriginal, "07/06/2005");
    const QString next = printed(2);
    EXPECT_TRUE(next.contains("7/2/2005 - 7/5/2005 for $779.50")) << next.toStdString();
    EXPECT_EQ(kNetDue.match(next).captured(1), "$53.00");
    EXPECT_EQ(t.scalar("Select Amount from EquipInvoices where FirstDate = '2005-07-06'").toString(), "53");
}

TEST_F(EquipmentInvariants, MoneyBeyondItsRangeIsAnErrorNamingTheRowNotAWrappedTotal)
{
    t.db.execute("Update ContractorAdjustments set Amt = 1000000000000000 where ContractorAdjustmentID = 3");
    try {
        run(PrintOriginal, "07/05/2005", false);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.description().contains("overflow")) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains("ContractorAdjustmentID 3")) << e.description().toStdString();
    }
    EXPECT_EQ(t.count("EquipInvoices") + t.count("ContractorPost where InvoiceID <> 0"), 0);
    EXPECT_TRUE(printer->jobs().isEmpty());
}

TEST_F(EquipmentInvariants, LockedRowsArePrintedAndPrintedRowsLockedUpToThePeriodsEdges)
{
    // An adjustment whose contractor key names no contractor is still the
    // equipment's: it is locked, so it must be itemized too.
    t.db.execute("Update ContractorAdjustments set ContractorID = 999 where ContractorAdjustmentID = 3");
    run(PrintOriginal, "07/05/2005");
    const QString key = stored("EquipInvoiceID");
    // First and last day carry the key, the day after does not.
    EXPECT_EQ(t.scalar("Select group_concat(ActivityDT, ' ') from (Select ActivityDT from ContractorPost where "
                       "InvoiceID = " + key + " order by ActivityDT)").toString(),
              "2005-07-02 2005-07-03 2005-07-04 2005-07-04 2005-07-05");
    EXPECT_EQ(t.scalar("Select group_concat(Description, ',') from ContractorAdjustments where InvoiceID = " + key)
                  .toString(), "Fuel,Move,Meals");
    EXPECT_EQ(t.count("ContractorPost where InvoiceID = 0 and ActivityDT = '2005-07-06'")
                  + t.count("ContractorAdjustments where InvoiceID = 0 and ActivityDT = '2005-07-06'"), 2);

    // The form counts every locked posting, those without a valid
    // accounting code under their own heading.
    const QString form = printed(0);
    EXPECT_TRUE(form.contains("Posted with no accounting code")) << form.toStdString();
    int lines = 0;
    const QRegularExpression footer(QStringLiteral("(\\d+) lines? for "));
    for (auto m = footer.globalMatch(form); m.hasNext();) lines += m.next().captured(1).toInt();
    EXPECT_EQ(lines, 5);
    const QString deductions = printed(1);
    for (const char* d : {"Fuel", "Move", "Meals"}) EXPECT_TRUE(deductions.contains(d)) << d;
    EXPECT_FALSE(deductions.contains("Late fuel"));
}

TEST_F(EquipmentInvariants, NothingOpenRecordsNothingAndALatePostingIsBilled)
{
    // A last date before the first open posting, then everything invoiced.
    const QStringList untouched = t.snapshot();
    EXPECT_EQ(run(PrintOriginal, "07/01/2005", false), EquipmentRunOutcome::Stopped);
    EXPECT_EQ(t.snapshot(), untouched);
    run(PrintOriginal, "07/06/2005");
    const QStringList issued = t.snapshot();
    dialogs.clearLog();
    EXPECT_EQ(run(PrintOriginal, "07/31/2005", false), EquipmentRunOutcome::Stopped);
    EXPECT_EQ(t.snapshot(), issued);
    EXPECT_EQ(boxes(dialogs), QStringList{"MESSAGE Quillon: No Postings | No Non-Invoiced Postings to Print."});
    EXPECT_EQ(printer->jobs().size(), 2);

    // A posting entered late for 7/3, inside the invoiced period, is billed next.
    t.db.execute("INSERT INTO ContractorPost (EquipmentID, ActivityDT, Amt, SAmt, GuarAmt, AccountingID) VALUES "
                 "(42, '2005-07-03', 40, 0, 0, 1)");
    run(PrintOriginal, "07/06/2005");
    EXPECT_EQ(t.scalar("Select FirstDate || ' ' || LastDate || ' ' || Amount || ' ' || InvoiceSuffix from "
                       "EquipInvoices where EquipInvoiceID = (Select max(EquipInvoiceID) from EquipInvoices)")
                  .toString(), "2005-07-03 2005-07-06 40 B");
    EXPECT_EQ(t.count("ContractorPost where InvoiceID = 0"), 0);
}

TEST_F(EquipmentInvariants, OneNumberStoredListedPrintedAndReprintedAsIssued)
{
    run(PrintOriginal, "07/05/2005");
    const std::int32_t id = std::int32_t(stored("EquipInvoiceID").toInt());
    const QString number = "2005-CA-XYZ-001-000042A";
    EXPECT_EQ(stored("InvoiceNumber || InvoiceSuffix"), number);
    EXPECT_EQ(t.db.openRecordset(equipmentInvoicesSql(42, false))->value("InvoiceNumber").toString(), number);
    const QString original = printed(0);
    EXPECT_TRUE(original.contains(number)) << original.toStdString();
    EXPECT_TRUE(original.contains("(7/2/2005 - 7/5/2005)"));

    // A debit entered later for a day of the invoice does not change its copy.
    t.db.execute("INSERT INTO ContractorAdjustments VALUES (5, 20, 42, '2005-07-03', 99, 'Late debit', 0)");
    run(PrintDuplicateOriginal, "07/31/2005", true, id);
    ASSERT_EQ(printer->jobs().size(), 4) << dialogs.log().join('\n').toStdString();
    const QString copy = printed(2);
    EXPECT_TRUE(copy.contains("DUPLICATE ORIGINAL"));
    EXPECT_TRUE(copy.contains(number));
    EXPECT_TRUE(copy.contains("(7/2/2005 - 7/5/2005)"));
    EXPECT_EQ(kNetDue.match(copy).captured(1), "$779.50");
    EXPECT_FALSE(printed(3).contains("Late debit"));

    // A deleted invoice is never reprinted.
    t.db.execute("Update EquipInvoices set Del = 1");
    const QStringList deleted = t.snapshot();
    dialogs.clearLog();
    run(PrintDuplicateOriginal, "07/31/2005", true, id);
    EXPECT_EQ(boxes(dialogs).last(), "MESSAGE Quillon: No Postings | No Invoiced Postings to Print.");
    EXPECT_EQ(t.snapshot(), deleted);
    EXPECT_EQ(printer->jobs().size(), 4);
}

TEST_F(EquipmentInvariants, PrintProblemsBeforeTheCommitWriteNothingAfterItAreExplained)
{
    // A print folder that cannot be made: refused before anything is written.
    QFile blocker(t.dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    usePrinter(std::make_shared<reports::FolderPrinter>(t.dir.filePath("blocker/jobs")));
    const QStringList before = t.snapshot();
    EXPECT_THROW(run(PrintOriginal, "07/05/2005"), DbError);
    EXPECT_EQ(t.snapshot(), before);

    // Printing fails after the commit: the invoice stands and the message
    // says which, where its forms are, and how to print it again.
    usePrinter(std::make_shared<JammedPrinter>(t.dir.filePath("jammed")));
    dialogs.clearLog();
    run(PrintOriginal, "07/05/2005");
    EXPECT_EQ(stored("InvoiceNumber || InvoiceSuffix || ' ' || Amount"), "2005-CA-XYZ-001-000042A 779.5");
    const QString message = boxes(dialogs).last();
    EXPECT_TRUE(message.startsWith("MESSAGE Quillon: Not printed | Invoice 2005-CA-XYZ-001-000042A was issued and its "
                                   "postings are locked")) << message.toStdString();
    EXPECT_TRUE(message.contains("paper jam"));
    EXPECT_TRUE(message.contains("DUPLICATE ORIGINAL"));
    const QString kept = QRegularExpression(QStringLiteral("\\\\n(/[^\\\\]+OF-286\\.pdf)")).match(message).captured(1);
    EXPECT_EQ(kNetDue.match(pdfText(kept)).captured(1), "$779.50") << message.toStdString();

    // Doing it again issues nothing.
    const QStringList issued = t.snapshot();
    run(PrintOriginal, "07/05/2005", false);
    EXPECT_EQ(t.snapshot(), issued);
}

// Report 4 over crafted rows: equipment 42 as above (its two identical
// postings of 7/4 both count), equipment 44 without any adjustment; every
// piece of equipment listed once with the net its OF-286 stores.
TEST_F(EquipmentInvariants, PaymentSummaryAgreesWithTheInvoices)
{
    t.db.execute("INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection, KindCode) VALUES "
                 "(15, 1, 'Tender 3', 'E-11', 0, 'TND')");
    t.db.execute("INSERT INTO Equipment VALUES (44, 30, 15, 'Tender 3', 'Ford', 'F7', 'N', 'N', 'N')");
    // 7/2: 90 + 15 vs 100 = 105; 7/3: 40 vs 100 = 100: $205.00.
    t.db.execute("INSERT INTO ContractorPost (EquipmentID, ActivityDT, Amt, SAmt, GuarAmt, AccountingID) VALUES "
                 "(44, '2005-07-02', 90, 15, 100, 1), (44, '2005-07-03', 40, 0, 100, 1)");
    run(PrintOriginal, "07/06/2005");
    equipment = 44;
    run(PrintOriginal, "07/06/2005");
    // 42: 820 + 60 use, 20 additions, 67.50 debits = $832.50.
    EXPECT_EQ(t.scalar("Select group_concat(Amount, ' ') from (Select Amount from EquipInvoices order by EquipmentID)")
                  .toString(), "832.5 205");

    app->state.ReportNumber = 4;
    app->state.SelectedContractorId = 20;
    std::int32_t key = 0;
    ASSERT_TRUE(BuildReport(*app, key));
    QFile pdf(t.dir.filePath("summary.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write(app->state.OpenReport->renderPdf());
    pdf.close();
    const QString summary = pdfText(pdf.fileName());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Net for Dozer O'Brien\\s+\\$832\\.50")).match(summary).hasMatch())
        << summary.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Net for Tender 3\\s+\\$205\\.00")).match(summary).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("net for the contractor\\s+\\$1,037\\.50")).match(summary).hasMatch());
    EXPECT_TRUE(summary.contains("Less deductions $67.50, plus additions $20.00"));
}
