#include "invoicing/form6.h"

#include "data/recordset_model.h"
#include "invoicing/deletelastinvoice.h"
#include "invoicing/preptable.h"
#include "invoicing/printinvoice.h"
#include "reports/buildreport.h"
#include "shell/stopwatch.h"
#include "ui/busypointer.h"
#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

namespace quillon {

namespace {

const QString crlf = QStringLiteral("\r\n");

// The longest reprint reason accepted, after trimming.
constexpr int MaxReprintReasonLength = 15;

}  // namespace

Form6::Form6(App& app, QWidget* parent) : QWidget(parent), m_app(app)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("OF-288"));
    buildControls();
    installInvoicePrintHook(m_app);
    runGuarded(m_app.dialogs(), [this] { Form_Load(); });
}

void Form6::buildControls()
{
    auto named = [](QWidget* w, const QString& name) {
        setControlName(w, name);
        return w;
    };

    Title = new QLabel(QStringLiteral("Emergency Firefighter Time Report"), this);
    named(Title, QStringLiteral("Title"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    Title->setFont(titleFont);
    Title->setAlignment(Qt::AlignCenter);

    CrewOption = new QRadioButton(QStringLiteral("Select a Specific Crew"), this);
    ReqNumOption = new QRadioButton(QStringLiteral("Select a Specific Request Number"), this);
    PersonnelOption = new QRadioButton(QStringLiteral("Select a Specific Person"), this);
    AllOption = new QRadioButton(QStringLiteral("Select all Personnel"), this);
    named(CrewOption, QStringLiteral("CrewOption"));
    named(ReqNumOption, QStringLiteral("ReqNumOption"));
    named(PersonnelOption, QStringLiteral("PersonnelOption"));
    named(AllOption, QStringLiteral("AllOption"));

    dbcCrewNames = new DataCombo(this);
    dbcRequestNums = new DataCombo(this);
    dbcPersons = new DataCombo(this);
    named(dbcCrewNames, QStringLiteral("dbcCrewNames"));
    named(dbcRequestNums, QStringLiteral("dbcRequestNums"));
    named(dbcPersons, QStringLiteral("dbcPersons"));

    dtpEndDate = new QDateEdit(this);
    named(dtpEndDate, QStringLiteral("dtpEndDate"));
    dtpEndDate->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    dtpEndDate->setCalendarPopup(true);

    cbFinalFlag = new QCheckBox(QStringLiteral("Final Invoice"), this);
    named(cbFinalFlag, QStringLiteral("cbFinalFlag"));

    fraPrintOptions = new QGroupBox(QStringLiteral("Print Options"), this);
    named(fraPrintOptions, QStringLiteral("fraPrintOptions"));
    const QString printCaptions[3] = {QStringLiteral("Preview/Print DRAFT Invoice"),
                                      QStringLiteral("Preview/Print ORIGINAL Invoice"),
                                      QStringLiteral("Preview/Print DUPLICATE ORIGINAL Invoice(s)")};
    auto* frameLayout = new QVBoxLayout(fraPrintOptions);
    for (int i = 0; i < 3; ++i) {
        optPrint[i] = new QRadioButton(printCaptions[i], fraPrintOptions);
        setControlName(optPrint[i], QStringLiteral("optPrint"), i + 1);
        frameLayout->addWidget(optPrint[i]);
    }
    RunButton[0] = new QPushButton(QStringLiteral("Preview/Print Invoice"), this);
    RunButton[1] = new QPushButton(QStringLiteral("Send Invoice Directly to Printer"), fraPrintOptions);
    setControlName(RunButton[0], QStringLiteral("RunButton"), 0);
    setControlName(RunButton[1], QStringLiteral("RunButton"), 1);
    lblDefPrinter = new QLabel(QStringLiteral("This will print to your windows default Printer."), fraPrintOptions);
    named(lblDefPrinter, QStringLiteral("lblDefPrinter"));
    frameLayout->addWidget(RunButton[1]);
    frameLayout->addWidget(lblDefPrinter);

    tdblInvoices = new QTableView(this);
    named(tdblInvoices, QStringLiteral("tdblInvoices"));
    tdblInvoices->setSelectionBehavior(QAbstractItemView::SelectRows);
    tdblInvoices->setSelectionMode(QAbstractItemView::SingleSelection);
    tdblInvoices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tdblInvoices->verticalHeader()->hide();
    m_invoiceModel = new RecordsetModel(this);
    tdblInvoices->setModel(m_invoiceModel);

    cmdReset = new QPushButton(QStringLiteral("Delete Last Invoice For Selected Resource"), this);
    named(cmdReset, QStringLiteral("cmdReset"));

    auto* selection = new QGridLayout;
    selection->addWidget(CrewOption, 0, 0);
    selection->addWidget(new QLabel(QStringLiteral("Crew Name:"), this), 0, 1);
    selection->addWidget(dbcCrewNames, 0, 2);
    selection->addWidget(ReqNumOption, 1, 0);
    selection->addWidget(new QLabel(QStringLiteral("Request Number:"), this), 1, 1);
    selection->addWidget(dbcRequestNums, 1, 2);
    selection->addWidget(PersonnelOption, 2, 0);
    selection->addWidget(new QLabel(QStringLiteral("Person:"), this), 2, 1);
    selection->addWidget(dbcPersons, 2, 2);
    selection->addWidget(AllOption, 3, 0);
    selection->addWidget(new QLabel(QStringLiteral("Last Date Included on Invoice:"), this), 4, 1);
    selection->addWidget(dtpEndDate, 4, 2);
    selection->addWidget(cbFinalFlag, 5, 2);
    selection->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RunButton[0]);
    buttons->addStretch();
    buttons->addWidget(cmdReset);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Title);
    layout->addLayout(selection);
    layout->addWidget(fraPrintOptions);
    layout->addWidget(tdblInvoices, 1);
    layout->addLayout(buttons);

    Dialogs& dialogs = m_app.dialogs();
    connect(AllOption, &QRadioButton::clicked, this, guarded(dialogs, [this](bool checked) { AllOption_Click(checked); }));
    connect(dbcPersons, &DataCombo::itemChosen, this, guarded(dialogs, [this] { dbcPersons_Change(); }));
    connect(dbcRequestNums, &DataCombo::itemChosen, this, guarded(dialogs, [this] { dbcRequestNums_Change(); }));
    connect(dbcCrewNames, &DataCombo::itemChosen, this, guarded(dialogs, [this] { dbcCrewNames_Change(); }));
    for (int i = 0; i < 3; ++i)
        connect(optPrint[i], &QRadioButton::clicked, this, guarded(dialogs, [this, i] { optPrint_Click(i + 1); }));
    for (int i = 0; i < 2; ++i)
        connect(RunButton[i], &QPushButton::clicked, this, guarded(dialogs, [this, i] { RunButton_Click(i); }));
    connect(cmdReset, &QPushButton::clicked, this, guarded(dialogs, [this] { cmdReset_Click(); }));
    connect(tdblInvoices, &QTableView::clicked, this,
            guarded(dialogs, [this](const QModelIndex& index) { tdblInvoices_RowChange(index.row()); }));
    connect(tdblInvoices->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded(dialogs, [this](const QModelIndex& current) { tdblInvoices_RowChange(current.row()); }));
}

RecordsetPtr Form6::openList(const QString& sql)
{
    return m_app.SharedConnection().openRecordset(sql, CursorType::Static, LockType::Optimistic);
}

of288::Choices Form6::choices() const
{
    of288::Choices c;
    c.CrewOption = CrewOption->isChecked();
    c.ReqNumOption = ReqNumOption->isChecked();
    c.PersonnelOption = PersonnelOption->isChecked();
    c.AllOption = AllOption->isChecked();
    c.ResourceMode = m_resourceMode;
    c.SelectedRequestNumber = m_selectedRequestNumber;
    c.FinalFlag = cbFinalFlag->isChecked();
    return c;
}

// ---- Load ------------------------------------------------------------------------

void Form6::Form_Load()
{
    AppState& s = m_app.state;
    s.SelectedPersonId = 0;
    s.SelectedResourceId = 0;
    m_selectedRequestNumber.clear();
    tdblInvoices->hide();

    m_adoPerson = openList(of288::personListSql(s));
    dbcPersons->setRowSource(m_adoPerson, QStringLiteral("strName"), QStringLiteral("PersonID"));
    m_adoCrewName = openList(of288::crewListSql(s));
    dbcCrewNames->setRowSource(m_adoCrewName, QStringLiteral("Name"), QStringLiteral("ResourceID"));
    m_adoRequestNum = openList(of288::requestNumberListSql(s));
    dbcRequestNums->setRowSource(m_adoRequestNum, QStringLiteral("RequestNumber"), QStringLiteral("ResourceID"));

    checkPrintOption(1);
    dtpEndDate->setDate(QDate::currentDate());
    s.InvoicePrintMode = PrintDraft;
    tdblInvoices->hide();
    s.SelectedInvoiceId = 0;
    getInvoices(true);

    applyLaunchSelection();
}

// A launch for a person ("P" and the PersonID) preselects that person; any
// other first character is followed by a ResourceID, which preselects the
// crew and its request number (without choosing either list).
void Form6::applyLaunchSelection()
{
    AppState& s = m_app.state;
    const QString launch = s.LaunchSelection;
    if (launch.isEmpty() || launch == QLatin1String("0")) return;
    const std::int32_t key = launch.mid(1).trimmed().toInt();
    Connection& db = m_app.SharedConnection();
    if (launch.at(0) == QLatin1Char('P')) {
        RecordsetPtr rs = db.openRecordset(of288::launchPersonSql(key), CursorType::Static, LockType::ReadOnly);
        if (rs->recordCount() == 0) return;
        dbcPersons->setText(rs->value(QStringLiteral("strName")).toString());
        s.SelectedPersonId = key;
        PersonnelOption->setChecked(true);
        SetDefaultEndDate(key, false);
        return;
    }
    s.SelectedResourceId = key;
    RecordsetPtr rs = db.openRecordset(of288::launchResourceSql(key), CursorType::Static, LockType::ReadOnly);
    if (rs->recordCount() == 0) return;
    CrewOption->setChecked(true);
    dbcRequestNums->setText(rs->value(QStringLiteral("RequestNumber")).toString());
    dbcCrewNames->setText(rs->value(QStringLiteral("Name")).toString());
    SetDefaultEndDate(key, true);
}

// ---- Selection ---------------------------------------------------------------------

void Form6::AllOption_Click(bool checked)
{
    if (!checked) return;
    dbcCrewNames->setText(QString());
    dbcRequestNums->setText(QString());
    dbcPersons->setText(QString());
    m_app.state.SelectedPersonId = 0;
    m_app.state.SelectedResourceId = 0;
}

void Form6::dbcPersons_Change()
{
    if (dbcPersons->text().isEmpty()) return;
    AppState& s = m_app.state;
    s.SelectedPersonId = std::int32_t(dbcPersons->boundValue().toInt());
    PersonnelOption->setChecked(true);
    dbcCrewNames->setText(QString());
    dbcRequestNums->setText(QString());
    s.SelectedResourceId = 0;
    m_resourceMode = false;
    SetDefaultEndDate(s.SelectedPersonId, false);
    checkPrintOption(1);
}

void Form6::dbcRequestNums_Change()
{
    if (dbcRequestNums->text().isEmpty()) return;
    AppState& s = m_app.state;
    s.SelectedResourceId = std::int32_t(dbcRequestNums->boundValue().toInt());
    m_selectedRequestNumber = dbcRequestNums->text();
    ReqNumOption->setChecked(true);
    dbcCrewNames->setText(QString());
    dbcPersons->setText(QString());
    s.SelectedPersonId = 0;
    tdblInvoices->hide();
    m_resourceMode = true;
    SetDefaultEndDate(s.SelectedResourceId, true);
    checkPrintOption(1);
}

void Form6::dbcCrewNames_Change()
{
    if (dbcCrewNames->text().isEmpty()) return;
    AppState& s = m_app.state;
    s.SelectedResourceId = std::int32_t(dbcCrewNames->boundValue().toInt());
    CrewOption->setChecked(true);
    dbcRequestNums->setText(QString());
    dbcPersons->setText(QString());
    s.SelectedPersonId = 0;
    tdblInvoices->hide();
    m_resourceMode = true;
    SetDefaultEndDate(s.SelectedResourceId, true);
    checkPrintOption(1);
}

void Form6::SetDefaultEndDate(std::int32_t Key, bool IsResource)
{
    if (Key == 0) return;
    RecordsetPtr rs = m_app.SharedConnection().openRecordset(of288::latestPostingSql(Key, IsResource),
                                                             CursorType::Static, LockType::ReadOnly);
    const Value latest = rs->recordCount() > 0 ? rs->value(0) : Value();
    dtpEndDate->setDate(latest.isEmpty() ? QDate::currentDate() : latest.toDate());
}

// ---- Print options and the invoice list -----------------------------------------------

QRadioButton* Form6::printOption(int index) const
{
    return index >= 1 && index <= 3 ? optPrint[index - 1] : nullptr;
}

void Form6::checkPrintOption(int index)
{
    printOption(index)->setChecked(true);
    optPrint_Click(index);
}

void Form6::uncheckPrintOption(int index)
{
    QRadioButton* option = printOption(index);
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

void Form6::optPrint_Click(int index)
{
    m_app.state.InvoicePrintMode = std::int16_t(index);
    switch (index) {
    case PrintDraft:
        tdblInvoices->hide();
        lblDefPrinter->hide();
        break;
    case PrintOriginal:
        tdblInvoices->hide();
        lblDefPrinter->show();
        break;
    case PrintDuplicateOriginal:
        getInvoices(false);
        tdblInvoices->setVisible(!m_resourceMode);
        lblDefPrinter->show();
        break;
    default: break;
    }
}

void Form6::getInvoices(bool Clear)
{
    const AppState& s = m_app.state;
    if (!PersonnelOption->isChecked() || s.SelectedPersonId == 0) return;
    m_adoInvoices = m_app.SharedConnection().openRecordset(of288::invoiceListSql(s, Clear), CursorType::Keyset,
                                                           LockType::Optimistic);
    // A new list is no choice of the user's: the chosen invoice stays.
    const QSignalBlocker block(tdblInvoices->selectionModel());
    m_invoiceModel->setRecordset(m_adoInvoices,
                                 {QStringLiteral("PersonsInvoiceID"), QStringLiteral("InvoiceNumber"),
                                  QStringLiteral("FirstDate"), QStringLiteral("LastDate"), QStringLiteral("Amount")},
                                 QStringLiteral("PersonsInvoiceID"));
    m_invoiceModel->setHeaders({QStringLiteral("InvoiceID"), QStringLiteral("Invoice Number"), QStringLiteral("First Date"),
                                QStringLiteral("Last Date"), QStringLiteral("Amount")});
}

void Form6::tdblInvoices_RowChange(int row)
{
    // "0" and the key: an empty list, or no row, gives 0.
    const Value key = row >= 0 ? m_invoiceModel->boundValue(row) : Value();
    m_app.state.SelectedInvoiceId = (QStringLiteral("0") + key.toString()).toInt();
}

// ---- Run -----------------------------------------------------------------------------------

bool Form6::askReprintReason()
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

void Form6::RunButton_Click(int index)
{
    AppState& s = m_app.state;
    Dialogs& dialogs = m_app.dialogs();
    Connection& db = m_app.SharedConnection();

    std::optional<clsStopWatch> watch;
    if (s.TimingTest) {
        watch.emplace(dialogs);
        watch->StartTimer();
    }
    BusyPointer busy;
    s.ReportEndDate = dtpEndDate->date();
    const of288::Choices c = choices();

    m_personDetail = s.InvoicePrintMode != PrintDuplicateOriginal ? LoadUninvoicedPostings(db, s, c)
                                                                   : LoadInvoicedPostings(db, s, c);
    if (m_personDetail->recordCount() == 0) {
        busy.release();
        dialogs.messageBox(QStringLiteral("No Non-Invoiced Data in this Selection. "), MsgButtons::OK,
                           MsgIcon::Exclamation, QStringLiteral("Information"));
        return;
    }
    if (m_resourceMode) s.SelectedInvoiceId = -1;

    m_numbering.resetForRun();
    numberRun(db, *m_personDetail, m_numbering, s, c);

    if (s.ManageIncidentsAsOne) s.SelectedIncidentId = -1;
    s.ReportFinalFlag = cbFinalFlag->isChecked() ? QStringLiteral("F") : QStringLiteral("I");

    bool goOn = true;
    if (optPrint[0]->isChecked()) {
        s.SelectedInvoiceId = 0;
        s.OrigRptCode = QStringLiteral("D");
    } else if (optPrint[1]->isChecked()) {
        s.SelectedInvoiceId = 0;
        s.OrigRptCode = QStringLiteral("O");
    } else if (optPrint[2]->isChecked()) {
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
        if (m_resourceMode || s.InvoicePrintMode < PrintDuplicateOriginal) getPrevInvoices(m_app, c);
        else getPrevInvoice(m_app);

        const bool showHere = index == 0 || s.InvoicePrintMode == PrintDraft;
        const std::int16_t preview = index == 0 ? 1 : 0;
        std::int32_t key = s.SelectedInvoiceId;
        s.ReportNumber = 14;
        if (BuildReport(m_app, key) && showHere) ShowReport(m_app, preview, 2);
        s.ReportNumber = 6;
        key = s.SelectedInvoiceId;
        if (!BuildReport(m_app, key)) return;
        if (showHere) ShowReport(m_app, preview, 1);
        else PrintInvoice(m_app, 1, false);
    }
    if (watch) watch->StopTimer();
}

// ---- Delete last invoice ------------------------------------------------------------------

void Form6::cmdReset_Click()
{
    BusyPointer busy;
    const DeleteResult result = deleteLastInvoices(m_app, m_resourceMode);
    if (!m_resourceMode && result.deleted > 0) {
        getInvoices(true);
        tdblInvoices->hide();
        uncheckPrintOption(PrintDuplicateOriginal);
    }
}

// ---- Registration ----------------------------------------------------------------------------

QWidget* createForm6(App& app)
{
    return new Form6(app);
}

void registerForm6(App& app)
{
    app.windows().add(QStringLiteral("Form6"), [&app] { return createForm6(app); });
}

}  // namespace quillon
