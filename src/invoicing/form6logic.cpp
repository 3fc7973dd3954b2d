#include "invoicing/form6logic.h"

#include "data/backgroundread.h"
#include "data/connection.h"
#include "invoicing/deletelastinvoice.h"
#include "invoicing/preptable.h"
#include "invoicing/printinvoice.h"
#include "shell/buildreport.h"
#include "shell/stopwatch.h"
#include "ui/busypointer.h"

namespace quillon {

namespace {

const QString crlf = QStringLiteral("\r\n");

// The longest reprint reason accepted, after trimming.
constexpr int MaxReprintReasonLength = 15;

}  // namespace

Form6Logic::Form6Logic(App& app) : m_app(app) {}

RecordsetPtr Form6Logic::openList(const QString& sql)
{
    return m_app.SharedConnection().openRecordset(sql, CursorType::Static, LockType::Optimistic);
}

of288::Choices Form6Logic::choices() const
{
    of288::Choices c;
    c.CrewOption = m_option == Option::Crew;
    c.ReqNumOption = m_option == Option::RequestNumber;
    c.PersonnelOption = m_option == Option::Person;
    c.AllOption = m_option == Option::All;
    c.ResourceMode = m_resourceMode;
    c.SelectedRequestNumber = m_selectedRequestNumber;
    c.FinalFlag = m_finalFlag;
    return c;
}

// ---- Load ------------------------------------------------------------------------

Form6Logic::Preselection Form6Logic::load()
{
    AppState& s = m_app.state;
    s.SelectedPersonId = 0;
    s.SelectedResourceId = 0;
    m_selectedRequestNumber.clear();
    m_invoiceListVisible = false;

    m_adoPerson = openList(of288::personListSql(s));
    m_adoCrewName = openList(of288::crewListSql(s));
    m_adoRequestNum = openList(of288::requestNumberListSql(s));

    printOptionChosen(PrintDraft);
    s.SelectedInvoiceId = 0;
    readInvoices(true);

    // A launch for a person ("P" and the PersonID) preselects that person;
    // any other first character is followed by a ResourceID, which
    // preselects the crew and its request number (without choosing either).
    Preselection pre;
    const QString launch = s.LaunchSelection;
    if (launch.isEmpty() || launch == QLatin1String("0")) return pre;
    const std::int32_t key = launch.mid(1).trimmed().toInt();
    Connection& db = m_app.SharedConnection();
    if (launch.at(0) == QLatin1Char('P')) {
        RecordsetPtr rs = db.openRecordset(of288::launchPersonSql(key), CursorType::Static, LockType::ReadOnly);
        if (rs->recordCount() == 0) return pre;
        pre.personText = rs->value(QStringLiteral("strName")).toString();
        s.SelectedPersonId = key;
        m_option = Option::Person;
        pre.endDate = defaultEndDate(key, false);
        return pre;
    }
    s.SelectedResourceId = key;
    RecordsetPtr rs = db.openRecordset(of288::launchResourceSql(key), CursorType::Static, LockType::ReadOnly);
    if (rs->recordCount() == 0) return pre;
    m_option = Option::Crew;
    pre.requestNumberText = rs->value(QStringLiteral("RequestNumber")).toString();
    pre.crewText = rs->value(QStringLiteral("Name")).toString();
    pre.endDate = defaultEndDate(key, true);
    return pre;
}

// ---- Selection ---------------------------------------------------------------------

void Form6Logic::optionChecked(Option option)
{
    m_option = option;
}

void Form6Logic::allPersonnelChosen()
{
    m_option = Option::All;
    m_app.state.SelectedPersonId = 0;
    m_app.state.SelectedResourceId = 0;
}

std::optional<QDate> Form6Logic::personChosen(std::int32_t personId)
{
    AppState& s = m_app.state;
    s.SelectedPersonId = personId;
    m_option = Option::Person;
    s.SelectedResourceId = 0;
    m_resourceMode = false;
    const std::optional<QDate> end = defaultEndDate(personId, false);
    printOptionChosen(PrintDraft);
    return end;
}

std::optional<QDate> Form6Logic::requestNumberChosen(std::int32_t resourceId, const QString& text)
{
    m_selectedRequestNumber = text;
    return resourceChosen(resourceId, Option::RequestNumber);
}

std::optional<QDate> Form6Logic::crewChosen(std::int32_t resourceId)
{
    return resourceChosen(resourceId, Option::Crew);
}

// A request number and a crew both invoice a resource's people.
std::optional<QDate> Form6Logic::resourceChosen(std::int32_t resourceId, Option option)
{
    AppState& s = m_app.state;
    s.SelectedResourceId = resourceId;
    m_option = option;
    s.SelectedPersonId = 0;
    m_invoiceListVisible = false;
    m_resourceMode = true;
    const std::optional<QDate> end = defaultEndDate(resourceId, true);
    printOptionChosen(PrintDraft);
    return end;
}

std::optional<QDate> Form6Logic::defaultEndDate(std::int32_t key, bool isResource)
{
    if (key == 0) return std::nullopt;
    RecordsetPtr rs = m_app.SharedConnection().openRecordset(of288::latestPostingSql(key, isResource),
                                                             CursorType::Static, LockType::ReadOnly);
    const Value latest = rs->recordCount() > 0 ? rs->value(0) : Value();
    return latest.isEmpty() ? QDate::currentDate() : latest.toDate();
}

// ---- Print options and the invoice list -----------------------------------------------

void Form6Logic::printOptionChosen(int index)
{
    m_printOption = index;
    m_app.state.InvoicePrintMode = std::int16_t(index);
    switch (index) {
    case PrintDraft:
        m_invoiceListVisible = false;
        m_printerLabelVisible = false;
        break;
    case PrintOriginal:
        m_invoiceListVisible = false;
        m_printerLabelVisible = true;
        break;
    case PrintDuplicateOriginal:
        readInvoices(false);
        m_invoiceListVisible = !m_resourceMode;
        m_printerLabelVisible = true;
        break;
    default: break;
    }
}

void Form6Logic::readInvoices(bool clear)
{
    const AppState& s = m_app.state;
    if (m_option != Option::Person || s.SelectedPersonId == 0) return;
    Connection& db = m_app.SharedConnection();
    // Listed with the number the forms print: the four-digit year and the
    // number of the person's own incident.
    const PersonIncident incident = personIncident(db, s.SelectedPersonId);
    m_adoInvoices = db.openRecordset(of288::invoiceListSql(s, clear, incident.year, incident.number), CursorType::Keyset,
                                     LockType::Optimistic);
}

void Form6Logic::invoiceRowChosen(const Value& key)
{
    // "0" and the key: an empty list, or no row, gives 0.
    m_app.state.SelectedInvoiceId = (QStringLiteral("0") + key.toString()).toInt();
}

// ---- Run -----------------------------------------------------------------------------------

bool Form6Logic::askReprintReason()
{
    AppState& s = m_app.state;
    Dialogs& dialogs = m_app.dialogs();
    s.ReprintReason.clear();
    while (s.ReprintReason.isEmpty()) {
        s.ReprintReason = dialogs
                              .inputBox(QStringLiteral("You must enter a brief reason for reprinting.") + crlf
                                            + QStringLiteral("(examples: Lost, Damaged, Destroyed, Did not Print)") + crlf
                                            + QStringLiteral("You must limit your entry to 15 characters and spaces"),
                                        QStringLiteral("Reprint Reason"))
                              .trimmed();
        QString message;
        if (s.ReprintReason.size() > MaxReprintReasonLength)
            message = QStringLiteral("Reprint Reason too long.  Please re-enter.");
        else if (s.ReprintReason.isEmpty())
            message = QStringLiteral("Did not recieve your response.  Please re-enter.");
        if (message.isEmpty()) break;
        const MsgAnswer answer = dialogs.messageBox(message, MsgButtons::OKCancel, MsgIcon::Exclamation,
                                                    applicationTitle() + QStringLiteral(":Error with Reprint Reason"));
        s.ReprintReason.clear();
        if (answer == MsgAnswer::Cancel) break;
    }
    return !s.ReprintReason.isEmpty();
}

void Form6Logic::run(int index, const QDate& endDate, bool finalFlag)
{
    AppState& s = m_app.state;
    Progress& progress = m_app.progress();
    const AppState stateBefore = s;
    const ColumnNumbering numberingBefore = m_numbering;
    m_lastRunCancelled = false;
    progress.start();
    try {
        runSteps(index, endDate, finalFlag);
    } catch (const RunCancelled&) {
        // The transaction has rolled back; the shared state goes back too,
        // without the half-built report of the cancelled Run.
        s = stateBefore;
        s.EngineApplication.reset();
        s.OpenReport.reset();
        s.MainDataSet.reset();
        s.SubDataSet.reset();
        m_numbering = numberingBefore;
        m_lastRunCancelled = true;
        return;
    }
    if (!progress.finished()) progress.finish();
}

void Form6Logic::runSteps(int index, const QDate& endDate, bool finalFlag)
{
    AppState& s = m_app.state;
    Dialogs& dialogs = m_app.dialogs();
    Connection& db = m_app.SharedConnection();
    Progress& progress = m_app.progress();

    std::optional<clsStopWatch> watch;
    if (s.TimingTest) {
        watch.emplace(dialogs);
        watch->StartTimer();
    }
    BusyPointer busy;
    s.ReportEndDate = endDate;
    m_finalFlag = finalFlag;
    const of288::Choices c = choices();
    const bool duplicate = s.InvoicePrintMode == PrintDuplicateOriginal;

    progress.begin(QStringLiteral("Reading postings"));
    RecordsetPtr detail = duplicate ? LoadInvoicedPostings(db, s, c, &progress) : LoadUninvoicedPostings(db, s, c, &progress);
    m_postingCount = detail->recordCount();
    if (m_postingCount == 0) {
        busy.release();
        dialogs.messageBox(QStringLiteral("No Non-Invoiced Data in this Selection. "), MsgButtons::OK,
                           MsgIcon::Exclamation, QStringLiteral("Information"));
        return;
    }
    if (m_resourceMode) s.SelectedInvoiceId = -1;

    // From the first number written until the data of both reports is read
    // the Run is one transaction: a cancel or a failure leaves the database
    // as it was, the preparation table included.
    std::optional<Transaction> tx;
    // A reprint shows the postings as their ORIGINAL numbered them, with the
    // final column it held: it neither renumbers them nor touches any
    // final-column row.
    if (!duplicate) {
        tx.emplace(db);
        m_numbering.resetForRun();
        numberRun(db, *detail, m_numbering, s, c, &progress);
    }
    detail.reset();   // the reports read what they need themselves

    if (s.ManageIncidentsAsOne) s.SelectedIncidentId = -1;
    s.ReportFinalFlag = finalFlag ? QStringLiteral("F") : QStringLiteral("I");

    bool goOn = true;
    if (m_printOption == PrintDraft) {
        s.SelectedInvoiceId = 0;
        s.OrigRptCode = QStringLiteral("D");
    } else if (m_printOption == PrintOriginal) {
        s.SelectedInvoiceId = 0;
        s.OrigRptCode = QStringLiteral("O");
    } else if (m_printOption == PrintDuplicateOriginal) {
        if (s.SelectedInvoiceId == 0) {
            busy.release();
            dialogs.messageBox(QStringLiteral("You must select an invoice to reprint."), MsgButtons::OK,
                               MsgIcon::Critical, applicationTitle() + QStringLiteral(":No Invoice"));
            goOn = false;
        } else if (!askReprintReason()) {
            goOn = false;
        } else {
            s.OrigRptCode = QStringLiteral("P") + s.ReprintReason;
        }
    }

    if (goOn) {
        if (!tx) tx.emplace(db);
        if (m_resourceMode || s.InvoicePrintMode < PrintDuplicateOriginal) getPrevInvoices(m_app, c);
        else getPrevInvoice(m_app);
        if (duplicate) s.ReportFinalFlag = finalFlagOfPrepTable(db);

        const bool showHere = index == 0 || s.InvoicePrintMode == PrintDraft;
        const std::int16_t preview = index == 0 ? 1 : 0;
        std::int32_t key = s.SelectedInvoiceId;
        s.ReportNumber = 14;
        progress.begin(QStringLiteral("Reading the commissary detail"));
        const bool commissary = BuildReport(m_app, key);
        AppState invoiceState = s;
        invoiceState.ReportNumber = 6;
        const ReportPlan invoice = planReport(invoiceState, s.SelectedInvoiceId, m_app.officeNodes());
        // The invoice data is read on a thread of its own while the
        // commissary detail is laid out and shown (or printed): nothing in
        // between uses the connection, which the Run's modal progress box
        // keeps the windows from.
        std::optional<BackgroundRead> invoiceRead;
        if (commissary && showHere) {
            if (invoice.proceed && !invoice.dataSetSql.isEmpty()) invoiceRead.emplace(db, invoice.dataSetSql.first());
            ShowReport(m_app, preview, 2);
        }
        s.ReportNumber = 6;
        progress.begin(QStringLiteral("Reading the invoice data"));
        RecordsetPtr invoiceRows = invoiceRead ? invoiceRead->take(progress) : nullptr;
        bool built = false;
        {
            ReadProgress counting(db, progress);
            built = BuildPlannedReport(m_app, invoice, std::move(invoiceRows));
        }
        progress.check();
        tx->commit();
        // Past this point the Run is not undone: what is left is showing or
        // printing what it made.
        progress.finish();
        if (!built) return;
        if (showHere) ShowReport(m_app, preview, 1);
        else PrintInvoice(m_app, 1, false);
    } else if (tx) {
        tx->commit();
    }
    if (watch) watch->StopTimer();
}

bool Form6Logic::prepareDraft(const QDate& endDate, bool finalFlag)
{
    AppState& s = m_app.state;
    Connection& db = m_app.SharedConnection();
    printOptionChosen(PrintDraft);
    s.ReportEndDate = endDate;
    m_finalFlag = finalFlag;
    const of288::Choices c = choices();
    RecordsetPtr detail = LoadUninvoicedPostings(db, s, c);
    m_postingCount = detail->recordCount();
    if (m_postingCount == 0) {
        m_app.dialogs().messageBox(QStringLiteral("No Non-Invoiced Data in this Selection. "), MsgButtons::OK,
                                   MsgIcon::Exclamation, QStringLiteral("Information"));
        return false;
    }
    m_numbering.resetForRun();
    numberRun(db, *detail, m_numbering, s, c, &m_app.progress());
    detail.reset();
    if (s.ManageIncidentsAsOne) s.SelectedIncidentId = -1;
    s.ReportFinalFlag = finalFlag ? QStringLiteral("F") : QStringLiteral("I");
    s.SelectedInvoiceId = 0;
    s.OrigRptCode = QStringLiteral("D");
    getPrevInvoices(m_app, c);
    return true;
}

// ---- Delete last invoice ------------------------------------------------------------------

bool Form6Logic::deleteLastInvoice()
{
    BusyPointer busy;
    const DeleteResult result = deleteLastInvoices(m_app, m_resourceMode);
    if (m_resourceMode || result.deleted == 0) return false;
    readInvoices(true);
    m_invoiceListVisible = false;
    if (m_printOption == PrintDuplicateOriginal) m_printOption = 0;   // the option is cleared, the mode kept
    return true;
}

}  // namespace quillon
