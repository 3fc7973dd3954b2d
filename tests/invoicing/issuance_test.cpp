// What an OF-288 ORIGINAL prints, stores and locks are the same: checked
// through PrintInvoice on the program's own templates, against figures worked
// out by hand, and with the printed forms read back from their PDF files.
#include "invoicing/form6logic.h"
#include "invoicing/personnelissuance.h"
#include "invoicing/preptable.h"
#include "invoicing/printinvoice.h"
#include "shell/buildreport.h"

#include "invoicingdb.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace invtest;

namespace {

// Keeps every job's PDF; fails every job from `failFrom` on (0: never).
class PdfPrinter : public reports::Printer {
public:
    void printPdf(const QByteArray& pdf, const QString& title) override
    {
        if (failFrom > 0 && int(jobs.size()) + 1 >= failFrom)
            throw DbError(ErrorNumber::Printer, QStringLiteral("The printer is out of paper."));
        jobs.push_back({title, pdf});
    }
    QString description() const override { return QStringLiteral("test printer"); }
    int failFrom = 0;
    std::vector<std::pair<QString, QByteArray>> jobs;
};

QString pdfText(const QByteArray& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-"), QStringLiteral("-")});
    p.write(pdf);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class IntegrityTest : public ::testing::Test {
protected:
    IntegrityTest()
    {
        qputenv("QUILLON_TEMPLATE_DIR", QUILLON_SOURCE_DIR "/templates");
        qputenv("QUILLON_INVOICE_FOLDER", kept.path().toLocal8Bit());
        app.attachConnection(t.db);
        state.SelectedIncidentId = 1;
        state.ReportEndDate = d(7, 10);
        state.SelectedResourceId = Crew;
        state.IncidentStartYear = "05";   // chosen in the main menu: two digits
        state.SelectedIncidentNumber = "CA-ABC-000123";
        choices.CrewOption = choices.ResourceMode = true;
        t.addPerson(100);
        t.addPerson(101);
        t.addPerson(102);
        t.addPerson(200, OtherCrew);
        // Person 100: the period's first and last day, a Null InvoiceID, no
        // accounting code (0) and an unknown one (99), the day after the
        // period, and a posting of an earlier invoice.
        t.addPosting(100, d(7, 1), 7.5);
        t.addPosting(100, d(7, 2), 8, "FFT2", 25.5, "1", "NULL");
        t.addPosting(100, d(7, 5), 4.25, "FFT2", 25.5, "0");
        t.addPosting(100, d(7, 6), 2, "FFT2", 25.5, "99");
        t.addPosting(100, d(7, 10), 1);
        t.addPosting(100, d(7, 11), 12);
        t.addPosting(100, d(6, 20), 3, "FFT2", 25.5, "1", "90");
        t.addInvoice(90, 100, d(6, 1), d(6, 30), "A", 1, 40);
        t.addDebit(100, d(7, 1), 12.5);
        t.addDebit(100, d(7, 10), 3, "NULL");
        t.addDebit(100, d(7, 11), 4);
        // Person 101: nothing to invoice but a commissary debit.
        t.addPosting(101, d(6, 25), 5, "FFT2", 25.5, "1", "91");
        t.addInvoice(91, 101, d(6, 25), d(6, 30), "A", 1, 5);
        t.addDebit(101, d(7, 4), 9.75);
        t.addPosting(102, d(7, 3), 6.5);
        t.addPosting(200, d(7, 5), 9);
    }
    ~IntegrityTest() override
    {
        qputenv("QUILLON_TEMPLATE_DIR", standInTemplates);
        qputenv("QUILLON_INVOICE_FOLDER", keptBefore);
    }
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    }

    // What a Run does for an ORIGINAL (or a crew DUPLICATE) sent to the
    // printer, then PrintInvoice.
    bool issue(std::int16_t mode = PrintOriginal)
    {
        state.InvoicePrintMode = mode;
        state.OrigRptCode = mode == PrintOriginal ? "O" : "P" + state.ReprintReason;
        state.ReportFinalFlag = "I";
        if (mode == PrintOriginal) {
            RecordsetPtr detail = LoadUninvoicedPostings(t.db, state, choices);
            ColumnNumbering numbering;
            numbering.resetForRun();
            numberRun(t.db, *detail, numbering, state, choices);
        }
        getPrevInvoices(app, choices);
        std::int32_t key = state.SelectedInvoiceId;
        state.ReportNumber = 6;
        EXPECT_TRUE(BuildReport(app, key));
        if (mode == PrintOriginal) {
            t.dialogs.queueAnswer(MsgAnswer::OK);
            t.dialogs.queueAnswer(MsgAnswer::Yes);
        }
        return PrintInvoice(app, 1, false);
    }
    QString printed(int job) { return job < int(printer->jobs.size()) ? pdfText(printer->jobs[job].second) : QString(); }
    QString invoiceOf(int person)
    {
        return t.one(QString("Select PersonsInvoiceID from PersonsInvoices where Del = 0 and PersonID = %1 "
                             "order by LastDate desc").arg(person));
    }

    const QByteArray standInTemplates = qgetenv("QUILLON_TEMPLATE_DIR");
    const QByteArray keptBefore = qgetenv("QUILLON_INVOICE_FOLDER");
    InvoicingDb t;
    QTemporaryDir kept;
    std::shared_ptr<PdfPrinter> printer = std::make_shared<PdfPrinter>();
    App app{t.dialogs, printer};
    AppState& state = app.state;
    of288::Choices choices;
};

// ---- Locked = printed, across the period's edges -------------------------------------

TEST_F(IntegrityTest, EveryLockedPostingAndDebitIsPrintedAndNothingElse)
{
    EXPECT_FALSE(issue());
    const QString k = invoiceOf(100), k102 = invoiceOf(102);
    // First and last day, the Null one and both without a valid code carry
    // the key; the day after and the earlier invoice's posting do not.
    EXPECT_EQ(t.rows("Select ActivityDT, InvoiceID from PersonsPost where PersonID = 100 order by PersonsPostID"),
              QStringList({"7/1/2005|" + k, "7/2/2005|" + k, "7/5/2005|" + k, "7/6/2005|" + k, "7/10/2005|" + k,
                           "7/11/2005|0", "6/20/2005|90"}));
    EXPECT_EQ(t.rows("Select PersonID, InvoiceID from PersonsDebit order by PersonsDebitID"),
              QStringList({"100|" + k, "100|" + k, "100|0", "101|0"}));
    EXPECT_EQ(t.count("PersonsPost where PersonID = 102 and InvoiceID = " + k102), 1);
    EXPECT_EQ(t.count("PersonsPost where PersonID = 200 and InvoiceID = 0"), 1);

    // Person 101 has an open debit only: no invoice, no form, the debit stays
    // open for the invoice that will carry time to deduct it from.
    EXPECT_EQ(t.count("PersonsInvoices where PersonID = 101 and PersonsInvoiceID <> 91"), 0);
    ASSERT_EQ(printer->jobs.size(), 2u);
    const QString form = printed(0), detail = printed(1);
    EXPECT_FALSE(form.contains("Last101"));
    // 7.5 + 8 + 4.25 + 2 + 1 hours, two postings under "no accounting code".
    EXPECT_TRUE(form.contains("22.75")) << form.toStdString();
    EXPECT_EQ(form.count("no accounting code"), 2);
    EXPECT_TRUE(form.contains("4.25"));
    EXPECT_FALSE(form.contains("7/11"));
    EXPECT_TRUE(detail.contains("12.50") && detail.contains("3.00")) << detail.toStdString();
    EXPECT_FALSE(detail.contains("4.00") || detail.contains("9.75"));
}

// ---- Stored = printed ---------------------------------------------------------------------

TEST_F(IntegrityTest, StoredAmountIsThePrintedHoursRoundedAndListsShowExactHours)
{
    EXPECT_FALSE(issue());
    // 22.75 printed: 23 stored; 6.5: 6 (halves go to the even hour). The
    // invoice starts on its first locked day.
    EXPECT_EQ(t.rows("Select PersonID, FirstDate, LastDate, InvoiceSuffix, Amount from PersonsInvoices "
                     "where PersonsInvoiceID not in (90, 91) order by PersonID"),
              QStringList({"100|7/1/2005|7/10/2005|B|23", "102|7/3/2005|7/10/2005|A|6"}));

    // The next invoice lists the earlier ones with the hours their postings
    // hold (invoice 90 stored 40 but holds 3).
    state.ReportEndDate = d(7, 11);
    EXPECT_FALSE(issue());
    EXPECT_EQ(t.one("Select PrevInvoices from #tmp where PersonID = 100"),
              "6/1/2005 - 6/30/2005 for 3 Hours.\r\n7/1/2005 - 7/10/2005 for 22.75 Hours.\r\n");
    EXPECT_TRUE(printed(2).contains("for 22.75 Hours."));
    EXPECT_EQ(storedHours(7.5, 100), 8);
    EXPECT_THROW(storedHours(3e9, 100), DbError);
}

// ---- Scope ----------------------------------------------------------------------------------

TEST_F(IntegrityTest, AllPersonnelTouchesOnlyTheChosenIncident)
{
    t.exec("INSERT INTO Incidents VALUES (2, 'Other Fire', 'OR-XYZ-000001', '2005-07-01', 'Elsewhere', 'OR')");
    t.exec("INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) VALUES (20, 2, 'Far', 'C-1', 1)");
    t.addPerson(300, 20);
    t.addPosting(300, d(7, 2), 10);
    choices = of288::Choices();
    choices.AllOption = true;
    state.SelectedResourceId = 0;
    EXPECT_FALSE(issue());
    EXPECT_EQ(t.rows("Select PersonID from PersonsInvoices where PersonsInvoiceID not in (90, 91) order by 1"),
              QStringList({"100", "102", "200"}));
    EXPECT_EQ(t.one("Select InvoiceID from PersonsPost where PersonID = 300"), "0");
}

// ---- Nothing empty ----------------------------------------------------------------------------

TEST_F(IntegrityTest, WhenNothingIsLeftNothingIsRecordedAndTheClerkIsTold)
{
    EXPECT_FALSE(issue());
    const int invoices = t.count("PersonsInvoices");
    t.dialogs.clearLog();
    // The same ORIGINAL again, from the preparation table of its Run.
    t.dialogs.queueAnswer(MsgAnswer::OK);
    t.dialogs.queueAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(PrintInvoice(app, 1, false));
    EXPECT_EQ(t.count("PersonsInvoices"), invoices);
    EXPECT_EQ(t.count("PersonsInvoicesReason"), invoices - 2);
    EXPECT_EQ(printer->jobs.size(), 2u);
    EXPECT_TRUE(t.dialogs.log().last().startsWith("-> OK"));
    EXPECT_TRUE(t.dialogs.log().filter("Nothing is left to invoice").size() == 1) << t.dialogs.log().join('\n').toStdString();
}

// ---- One number, and a DUPLICATE is its ORIGINAL ------------------------------------------------

TEST_F(IntegrityTest, DuplicateReprintsItsOriginalUnderOneNumberAndStaysFinal)
{
    choices = of288::Choices();
    choices.PersonnelOption = true;
    state.SelectedResourceId = 0;
    state.SelectedPersonId = 100;
    choices.FinalFlag = true;
    EXPECT_FALSE(issue());
    const QString original = printed(0);
    const QString k = invoiceOf(100);
    EXPECT_EQ(t.one("Select InvoiceID from PersonsPost where FinalCol = 1"), k);   // the final column is the invoice's
    EXPECT_TRUE(original.contains("2005-CA-ABC-000123-000100B") && original.contains("FINAL INVOICE"));

    // The window lists it under the number printed.
    Form6Logic logic(app);
    logic.load();
    logic.personChosen(100);
    logic.printOptionChosen(PrintDuplicateOriginal);
    QStringList listed;
    for (logic.invoices()->moveFirst(); !logic.invoices()->eof(); logic.invoices()->moveNext())
        listed << logic.invoices()->value("InvoiceNumber").toString();
    EXPECT_EQ(listed, QStringList({"2005-CA-ABC-000123-000100A", "2005-CA-ABC-000123-000100B"}));

    // Reprinted without the final box ticked: same number, period, hours, final.
    logic.invoiceRowChosen(Value(k.toInt()));
    t.dialogs.queueInput("Lost");
    logic.run(1, d(7, 10), false);
    EXPECT_EQ(t.count("PersonsPost where FinalCol = 1 and InvoiceID = " + k), 1);
    ASSERT_EQ(printer->jobs.size(), 4u);
    const QString duplicate = printed(2);
    for (const QString& same : {"2005-CA-ABC-000123-000100B", "7/1/2005 - 7/10/2005", "22.75", "FINAL INVOICE",
                                "6/1/2005 - 6/30/2005 for 3 Hours."})
        EXPECT_TRUE(original.contains(same) && duplicate.contains(same)) << same.toStdString();
    EXPECT_TRUE(duplicate.contains("DUPLICATE ORIGINAL"));
    EXPECT_EQ(t.rows("Select Original, Reason from PersonsInvoicesReason where PersonsInvoiceID = " + k + " order by 1"),
              QStringList({"1|Original", "2|Lost"}));
}

TEST_F(IntegrityTest, CrewDuplicateReprintsEachPersonsLatestValidInvoiceNeverADeletedOne)
{
    EXPECT_FALSE(issue());
    const QString k102 = invoiceOf(102);
    t.exec("Update PersonsInvoices set Del = 1 where PersonID = 102");   // deleted: 102 has nothing to reprint
    t.exec("Update PersonsPost set InvoiceID = 0 where PersonID = 102");
    state.ReprintReason = "Damaged";
    EXPECT_FALSE(issue(PrintDuplicateOriginal));
    EXPECT_EQ(t.rows("Select PersonID, InvoiceID from #tmp order by PersonID"),
              QStringList({"100|" + invoiceOf(100), "101|91"}));
    EXPECT_EQ(t.rows("Select PersonsInvoiceID = 91, Original from PersonsInvoicesReason where Reason = 'Damaged' order by 1"),
              QStringList({"0|2", "1|2"}));
    const QString reprint = printed(2);
    EXPECT_FALSE(reprint.contains("Last102"));
    EXPECT_FALSE(reprint.contains("6.50"));   // 102's posting, open again, is on no reprint
}

// ---- Issued whole or not at all, also when printing fails ---------------------------------------

TEST_F(IntegrityTest, AFormOrPrinterProblemFoundBeforeTheCommitWritesNothing)
{
    auto nothingWritten = [&] {
        EXPECT_EQ(t.count("PersonsInvoices"), 2);
        EXPECT_EQ(t.count("PersonsInvoicesReason"), 0);
        EXPECT_EQ(t.count("PersonsPost where InvoiceID not in (0, 90, 91) or InvoiceID is null"), 1);   // the Null one
        EXPECT_TRUE(printer->jobs.empty());
    };
    QTemporaryDir broken;
    QFile::copy(QUILLON_SOURCE_DIR "/templates/CommissaryDetail.rpt", broken.filePath("CommissaryDetail.rpt"));
    QFile bad(broken.filePath("OF288.rpt"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<Report name=\"OF288\"><Detail height=\"9\"><Field expr=\"{NoSuchField}\"/></Detail></Report>");
    bad.close();
    state.InvoicePrintMode = PrintOriginal;
    getPrevInvoices(app, choices);
    qputenv("QUILLON_TEMPLATE_DIR", broken.path().toLocal8Bit());
    t.dialogs.queueAnswer(MsgAnswer::OK);
    t.dialogs.queueAnswer(MsgAnswer::Yes);
    state.ReportNumber = 6;
    EXPECT_THROW(PrintInvoice(app, 1, false), DbError);
    nothingWritten();

    // A print folder that cannot be written.
    qputenv("QUILLON_TEMPLATE_DIR", QUILLON_SOURCE_DIR "/templates");
    QFile file(kept.filePath("a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    App other(t.dialogs, std::make_shared<reports::FolderPrinter>(kept.filePath("a-file/printed")));
    other.attachConnection(t.db);
    other.state = state;
    t.dialogs.queueAnswer(MsgAnswer::OK);
    t.dialogs.queueAnswer(MsgAnswer::Yes);
    EXPECT_THROW(PrintInvoice(other, 1, false), DbError);
    nothingWritten();
}

TEST_F(IntegrityTest, APrintingFailureAfterTheCommitSaysWhatWasIssuedAndARetryIssuesNothing)
{
    printer->failFrom = 2;   // the OF-288 prints, the commissary detail does not
    EXPECT_FALSE(issue());
    const QString message = t.dialogs.log().filter("Printing Failed").value(0);
    EXPECT_TRUE(message.contains("out of paper")) << message.toStdString();
    EXPECT_TRUE(message.contains("issued and their postings locked"));
    EXPECT_TRUE(message.contains("2005-CA-ABC-000123-000100B") && message.contains("2005-CA-ABC-000123-000102A"));
    EXPECT_TRUE(message.contains("DUPLICATE ORIGINAL"));
    const QStringList keptFiles = QDir(kept.path()).entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(keptFiles.size(), 2);
    for (const QString& f : keptFiles) EXPECT_TRUE(message.contains(kept.filePath(f))) << f.toStdString();
    EXPECT_EQ(t.count("PersonsInvoices"), 4);

    printer->failFrom = 0;
    t.dialogs.queueAnswer(MsgAnswer::OK);
    t.dialogs.queueAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(PrintInvoice(app, 1, false));
    EXPECT_EQ(t.count("PersonsInvoices"), 4);
    EXPECT_EQ(printer->jobs.size(), 1u);
}

TEST_F(IntegrityTest, ADatabaseFailurePartWayLeavesNothingWritten)
{
    t.failWrites("PersonsDebit", "NEW.PersonID = 100");
    EXPECT_THROW(issue(), DbError);
    EXPECT_EQ(t.count("PersonsInvoices"), 2);
    EXPECT_EQ(t.count("PersonsPost where InvoiceID not in (0, 90, 91)"), 0);
    EXPECT_EQ(t.count("#tmp where InvoiceID <> 0"), 0);
}

// ---- Two clerks at once -------------------------------------------------------------------------

TEST_F(IntegrityTest, TwoProgramsIssuingTheSameOriginalAtOnceLockEachDayOnce)
{
    const QString script = "state SelectedIncidentId 1\n"
                           "open Form6\n"
                           "pick Form6.dbcCrewNames \"Hotshots A\"\n"
                           "type Form6.dtpEndDate 07/10/2005\n"
                           "click Form6.optPrint(2)\n"
                           "answer OK\n"
                           "answer Yes\n"
                           "click Form6.RunButton(1)\n";
    QTemporaryDir work;
    QProcess clerks[2];
    for (int i = 0; i < 2; ++i) {
        const QString dir = work.filePath(QString::number(i));
        QDir().mkpath(dir);
        QFile f(dir + "/run.qs");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(script.toUtf8());
        f.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLON_INVOICE_FOLDER", dir + "/kept");
        clerks[i].setProcessEnvironment(env);
        clerks[i].start(QUILLON_BUILD_DIR "/app/quillon", {"--script", dir + "/run.qs", "--out", dir + "/out", "--db", t.path()});
    }
    QStringList logs;
    for (QProcess& p : clerks) {
        ASSERT_TRUE(p.waitForFinished(120000));
        logs << QString::fromUtf8(p.readAllStandardOutput());
    }
    // One invoice per person, each posting and debit of the period locked to it.
    EXPECT_EQ(t.rows("Select PersonID, InvoiceSuffix from PersonsInvoices where PersonsInvoiceID not in (90, 91) order by 1"),
              QStringList({"100|B", "102|A"}));
    EXPECT_EQ(t.count("PersonsPost where PersonID = 100 and InvoiceID = " + invoiceOf(100)), 5);
    EXPECT_EQ(t.count("PersonsDebit where PersonID = 100 and InvoiceID = " + invoiceOf(100)), 2);
    // One clerk printed; the other was told there was nothing left.
    EXPECT_EQ(logs.filter("PRINT OF-288").size(), 1) << logs.join("\n").toStdString();
    EXPECT_EQ(logs.filter(QRegularExpression("Nothing is left to invoice|No Non-Invoiced Data")).size(), 1);
}

}  // namespace
