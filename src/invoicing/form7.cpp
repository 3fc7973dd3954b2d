#include "invoicing/form7.h"

#include "data/recordset_model.h"
#include "data/sqltext.h"
#include "invoicing/equipmentdelete.h"
#include "invoicing/equipmentprint.h"
#include "invoicing/equipmentreports.h"
#include "invoicing/printinvoice.h"
#include "shell/app.h"
#include "shell/postingdates.h"
#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"
#include "ui/screenfit.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace quillon {

namespace {

const QString DateMask = QStringLiteral("99/99/9999;_");
const QString BoxDateFormat = QStringLiteral("MM/dd/yyyy");

}  // namespace

// --- MaskedDateBox ------------------------------------------------------------

MaskedDateBox::MaskedDateBox(QWidget* parent) : QLineEdit(parent)
{
    setInputMask(DateMask);
}

QString MaskedDateBox::boxText() const
{
    return inputMask().isEmpty() ? text() : displayText();
}

void MaskedDateBox::setBoxText(const QString& text)
{
    if (inputMask().isEmpty()) setInputMask(DateMask);
    setText(text);
}

void MaskedDateBox::emptyBox()
{
    setInputMask(QString());
    clear();
}

void MaskedDateBox::focusInEvent(QFocusEvent* event)
{
    // The user is about to type: the placeholders come back.
    if (inputMask().isEmpty() && text().isEmpty()) setInputMask(DateMask);
    QLineEdit::focusInEvent(event);
}

// --- Form7 --------------------------------------------------------------------

Form7::Form7(App& app, EquipmentReports* reports, QWidget* parent)
    : QWidget(parent), m_app(app), m_reports(reports)
{
    if (!m_reports) {
        m_ownReports = std::make_unique<AppEquipmentReports>(app);
        m_reports = m_ownReports.get();
    }
    buildWidgets();
    runGuarded(m_app.dialogs(), [this] { Form_Load(); });
}

Form7::~Form7() = default;

void Form7::buildWidgets()
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Emergency Equipment - Use Invoice"));
    Dialogs& dialogs = m_app.dialogs();
    auto* outer = scrollingBody(this);

    auto* heading = new QVBoxLayout;
    for (const char* line : {"Emergency Equipment - Use Invoice", "and/or", "Itemized Deductions"}) {
        auto* label = new QLabel(QString::fromLatin1(line), this);
        label->setAlignment(Qt::AlignHCenter);
        heading->addWidget(label);
    }
    outer->addLayout(heading);

    // Upper half: the choice of equipment.
    auto* typeFrame = new QGroupBox(QStringLiteral("Select Type"), this);
    auto* typeLayout = new QHBoxLayout(typeFrame);
    const char* const typeCaptions[] = {"Contract Equipment", "Contract Crews", "Other Contracts"};
    for (int i = 0; i < 3; ++i) {
        m_optType[i] = new QRadioButton(QString::fromLatin1(typeCaptions[i]), typeFrame);
        setControlName(m_optType[i], QStringLiteral("optType"), i);
        typeLayout->addWidget(m_optType[i]);
        connect(m_optType[i], &QRadioButton::clicked, this, guarded(dialogs, [this, i] { optType_Click(i); }));
    }
    outer->addWidget(typeFrame);

    auto* choice = new QGridLayout;
    auto addList = [&](int row, const char* caption, const char* name) {
        auto* combo = new DataCombo(this);
        combo->setEditable(true);
        setControlName(combo, QString::fromLatin1(name));
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(combo);
        choice->addWidget(label, row, 0);
        choice->addWidget(combo, row, 1, 1, 2);
        return combo;
    };
    m_dbcContractors = addList(0, "Contractor:", "dbcContractors");
    m_dbcAgreements = addList(1, "Agreement:", "dbcAgreements");
    m_dbcEquipments = addList(2, "Equipment:", "dbcEquipments");
    connect(m_dbcContractors, &DataCombo::itemChosen, this, guarded(dialogs, [this] { dbcContractors_Click(); }));
    connect(m_dbcAgreements, &DataCombo::itemChosen, this, guarded(dialogs, [this] { dbcAgreements_Click(); }));
    connect(m_dbcEquipments, &DataCombo::itemChosen, this, guarded(dialogs, [this] { dbcEquipments_Click(); }));

    m_mskLastDate = new MaskedDateBox(this);
    setControlName(m_mskLastDate, QStringLiteral("mskLastDate"));
    m_cmdLastCal = new QPushButton(QStringLiteral("Calendar"), this);
    setControlName(m_cmdLastCal, QStringLiteral("cmdLastCal"));
    auto* lastDateLabel = new QLabel(QStringLiteral("Last Date Included on Invoice:"), this);
    lastDateLabel->setBuddy(m_mskLastDate);
    choice->addWidget(lastDateLabel, 3, 0);
    choice->addWidget(m_mskLastDate, 3, 1);
    choice->addWidget(m_cmdLastCal, 3, 2);
    connect(m_cmdLastCal, &QPushButton::clicked, this, guarded(dialogs, [this] { cmdLastCal_Click(); }));
    choice->addWidget(postingDatesHint(m_app, [this](const QDate&, const QDate& last) {
        m_mskLastDate->setBoxText(last.toString(BoxDateFormat));
    }, this, QStringLiteral("Use the &last date"), PostingKind::Equipment), 4, 1, 1, 2);
    outer->addLayout(choice);

    auto* releaseFrame = new QGroupBox(QStringLiteral("Release Date/Time"), this);
    auto* releaseLayout = new QHBoxLayout(releaseFrame);
    m_mskDate = new MaskedDateBox(releaseFrame);
    setControlName(m_mskDate, QStringLiteral("mskDate"));
    m_cmdCalendar = new QPushButton(QStringLiteral("Calendar"), releaseFrame);
    setControlName(m_cmdCalendar, QStringLiteral("cmdCalendar"));
    m_dbcTime = new DataCombo(releaseFrame);
    m_dbcTime->setEditable(true);
    setControlName(m_dbcTime, QStringLiteral("dbcTime"));
    m_cmdSave = new QPushButton(QStringLiteral("Save Release Date/Time"), releaseFrame);
    setControlName(m_cmdSave, QStringLiteral("cmdSave"));
    auto* releaseDateLabel = new QLabel(QStringLiteral("Date:"), releaseFrame);
    releaseDateLabel->setBuddy(m_mskDate);
    auto* releaseTimeLabel = new QLabel(QStringLiteral("Time:"), releaseFrame);
    releaseTimeLabel->setBuddy(m_dbcTime);
    for (QWidget* w : std::initializer_list<QWidget*>{releaseDateLabel, m_mskDate, m_cmdCalendar, releaseTimeLabel,
                                                      m_dbcTime, m_cmdSave})
        releaseLayout->addWidget(w);
    connect(m_cmdCalendar, &QPushButton::clicked, this, guarded(dialogs, [this] { cmdCalendar_Click(); }));
    connect(m_dbcTime, &DataCombo::itemChosen, this, guarded(dialogs, [this] { dbcTime_Click(); }));
    connect(m_cmdSave, &QPushButton::clicked, this, guarded(dialogs, [this] { cmdSave_Click(); }));
    outer->addWidget(releaseFrame);

    // The month calendar floats over the window beside the box that opened it.
    m_mvCal = new QCalendarWidget(this);
    setControlName(m_mvCal, QStringLiteral("mvCal"));
    m_mvCal->hide();
    connect(m_mvCal, &QCalendarWidget::clicked, this,
            guarded(dialogs, [this](const QDate& date) { mvCal_DateClick(date); }));

    // Lower half: printing.
    auto* options = new QHBoxLayout;
    auto* printFrame = new QGroupBox(QStringLiteral("Print Options"), this);
    auto* printLayout = new QVBoxLayout(printFrame);
    const char* const printCaptions[] = {"Preview/Print DRAFT Invoice", "Preview/Print ORIGINAL Invoice",
                                         "Preview/Print DUPLICATE ORIGINAL Invoice"};
    for (int i = 1; i <= 3; ++i) {
        m_optPrint[i] = new QRadioButton(QString::fromLatin1(printCaptions[i - 1]), printFrame);
        setControlName(m_optPrint[i], QStringLiteral("optPrint"), i);
        printLayout->addWidget(m_optPrint[i]);
        connect(m_optPrint[i], &QRadioButton::clicked, this, guarded(dialogs, [this, i] { optPrint_Click(i); }));
    }
    options->addWidget(printFrame);
    auto* reportFrame = new QGroupBox(QStringLiteral("Report Options"), this);
    auto* reportLayout = new QVBoxLayout(reportFrame);
    const char* const reportCaptions[] = {"OF-286 with Itemized Deductions", "OF-286 Only",
                                          "Itemized Deductions Only"};
    for (int i = 0; i < 3; ++i) {
        m_optDeduct[i] = new QRadioButton(QString::fromLatin1(reportCaptions[i]), reportFrame);
        setControlName(m_optDeduct[i], QStringLiteral("optDeduct"), i);
        reportLayout->addWidget(m_optDeduct[i]);
        connect(m_optDeduct[i], &QRadioButton::clicked, this, guarded(dialogs, [this, i] { optDeduct_Click(i); }));
    }
    options->addWidget(reportFrame);
    outer->addLayout(options);

    m_tdblInvoices = new QTableView(this);
    setControlName(m_tdblInvoices, QStringLiteral("tdblInvoices"));
    m_invoiceModel = new RecordsetModel(m_tdblInvoices);
    m_tdblInvoices->setModel(m_invoiceModel);
    m_tdblInvoices->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tdblInvoices->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tdblInvoices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tdblInvoices->horizontalHeader()->setStretchLastSection(true);
    connect(m_tdblInvoices, &QTableView::clicked, this, guarded(dialogs, [this] { tdblInvoices_Click(); }));
    connect(m_tdblInvoices->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded(dialogs, [this](const QModelIndex&, const QModelIndex&) { tdblInvoices_RowChange(); }));
    auto* invoicesLabel = new QLabel(QStringLiteral("Invoices:"), this);
    invoicesLabel->setBuddy(m_tdblInvoices);
    auto* invoicesRow = new QHBoxLayout;
    invoicesRow->addWidget(invoicesLabel, 0, Qt::AlignTop);
    invoicesRow->addWidget(m_tdblInvoices, 1);
    outer->addLayout(invoicesRow);

    m_lblDefPrinter = new QLabel(QStringLiteral("This will print to your windows default Printer."), this);
    setControlName(m_lblDefPrinter, QStringLiteral("lblDefPrinter"));
    outer->addWidget(m_lblDefPrinter);

    auto* buttons = new QHBoxLayout;
    const char* const runCaptions[] = {"Preview/Print Invoice", "Send Invoice Directly To Printer"};
    for (int i = 0; i < 2; ++i) {
        m_runButton[i] = new QPushButton(QString::fromLatin1(runCaptions[i]), this);
        setControlName(m_runButton[i], QStringLiteral("RunButton"), i);
        buttons->addWidget(m_runButton[i]);
        connect(m_runButton[i], &QPushButton::clicked, this, guarded(dialogs, [this, i] { RunButton_Click(i); }));
    }
    m_cmdDelete = new QPushButton(QStringLiteral("Delete Last Invoice For Selected Resource"), this);
    setControlName(m_cmdDelete, QStringLiteral("cmdDelete"));
    buttons->addWidget(m_cmdDelete);
    connect(m_cmdDelete, &QPushButton::clicked, this, guarded(dialogs, [this] { cmdDelete_Click(); }));
    outer->addLayout(buttons);
}

void Form7::Form_Load()
{
    AppState& s = m_app.state;
    Connection& db = m_app.SharedConnection();
    m_mvCal->setSelectedDate(QDate::currentDate());
    m_mskDate->emptyBox();

    QString sql = QStringLiteral("Select ContractorName, ContractorID ") + QStringLiteral("FROM Contractor ");
    if (!s.ManageIncidentsAsOne) sql += QStringLiteral("WHERE IncidentID = ") + sqlInt(s.SelectedIncidentId);
    sql += QStringLiteral(" Order by ContractorName");
    m_dbcContractors->setRowSource(db.openRecordset(sql), QStringLiteral("ContractorName"),
                                   QStringLiteral("ContractorID"));
    m_dbcTime->setRowSource(db.openRecordset(QStringLiteral("Select * from L_Time")), QStringLiteral("Time"),
                            QStringLiteral("Time"));
    m_dbcTime->setText(QString());

    m_optDeduct[OF286WithDeductions]->setChecked(true);
    m_reportOption = OF286WithDeductions;
    m_optType[0]->setChecked(true);
    s.ContractType = QStringLiteral("0");
    m_optPrint[PrintDraft]->setChecked(true);
    optPrint_Click(PrintDraft);
    m_tdblInvoices->setEnabled(false);
    s.SelectedInvoiceId = 0;

    if (!s.LaunchSelection.isEmpty() && s.LaunchSelection != QLatin1String("0"))
        preselect(std::int32_t(s.LaunchSelection.mid(1).trimmed().toInt()));
}

void Form7::preselect(std::int32_t resourceId)
{
    AppState& s = m_app.state;
    Connection& db = m_app.SharedConnection();
    const QString resource = sqlInt(resourceId);

    RecordsetPtr kind = db.openRecordset(QStringLiteral("Select Left(RequestNumber, 1) from Resources Where "
                                                        "ResourceID = ")
                                         + resource);
    const QString letter = kind->eof() ? QString() : kind->value(0).toString();
    const int type = letter == QLatin1String("C") ? 1 : letter == QLatin1String("E") ? 0 : 2;
    m_optType[type]->setChecked(true);
    optType_Click(type);

    // A resource that is no equipment of an agreement leaves the window as
    // it is, with the type chosen.
    RecordsetPtr equipment = db.openRecordset(QStringLiteral("Select AgreementId, UniqueEquipmentName, EquipmentID "
                                                             "from Equipment Where ResourceID = ")
                                              + resource);
    if (equipment->eof()) return;
    m_agreementId = std::int32_t(equipment->value(QStringLiteral("AgreementId")).toInt());
    s.SelectedEquipmentId = std::int32_t(equipment->value(QStringLiteral("EquipmentID")).toInt());
    m_uniqueName = equipment->value(QStringLiteral("UniqueEquipmentName")).toString();

    RecordsetPtr agreement = db.openRecordset(QStringLiteral("Select ContractorID, AgreementNum from Agreement where "
                                                             "AgreementID = ")
                                              + sqlInt(m_agreementId));
    const QString agreementNum = agreement->eof() ? QString() : agreement->value(1).toString();
    m_contractorId = agreement->eof() ? 0 : std::int32_t(agreement->value(0).toInt());
    RecordsetPtr contractor = db.openRecordset(QStringLiteral("Select ContractorName from Contractor where "
                                                              "ContractorID = ")
                                               + sqlInt(m_contractorId));
    const QString contractorName = contractor->eof() ? QString() : contractor->value(0).toString();

    m_dbcAgreements->setRowSource(db.openRecordset(QStringLiteral("Select AgreementNum, AgreementID FROM Agreement ")
                                                   + QStringLiteral("WHERE contractorID = ") + sqlInt(m_contractorId)
                                                   + QStringLiteral(" Order by AgreementNUM")),
                                  QStringLiteral("AgreementNum"), QStringLiteral("AgreementID"));
    loadEquipmentList();
    m_dbcContractors->setText(contractorName);
    m_dbcAgreements->setText(agreementNum);
    m_dbcEquipments->setText(m_uniqueName);
    fillLastDateAndRelease(m_uniqueName);
}

void Form7::optType_Click(int index)
{
    m_dbcContractors->setText(QString());
    m_dbcAgreements->setText(QString());
    m_dbcEquipments->setText(QString());
    // With the boxes emptied no equipment is chosen any more; a run must not
    // go on invoicing the one that was.
    m_app.state.SelectedEquipmentId = 0;
    m_uniqueName.clear();
    m_app.state.ContractType = QString::number(index);
}

void Form7::dbcContractors_Click()
{
    m_mskDate->emptyBox();
    m_contractorId = std::int32_t(m_dbcContractors->boundValue().toInt());
    m_dbcAgreements->setRowSource(m_app.SharedConnection().openRecordset(
                                      QStringLiteral("Select AgreementNum, AgreementID FROM Agreement ")
                                      + QStringLiteral("WHERE contractorID = ") + sqlInt(m_contractorId)
                                      + QStringLiteral(" Order by AgreementNUM")),
                                  QStringLiteral("AgreementNum"), QStringLiteral("AgreementID"));
    m_dbcAgreements->setText(QString());
    m_dbcEquipments->setText(QString());
    m_app.state.SelectedEquipmentId = 0;
    m_uniqueName.clear();
}

void Form7::dbcAgreements_Click()
{
    m_mskDate->emptyBox();
    if (!m_dbcAgreements->text().isEmpty()) {
        m_agreementId = std::int32_t(m_dbcAgreements->boundValue().toInt());
        loadEquipmentList();
    }
    m_dbcEquipments->setText(QString());
    m_app.state.SelectedEquipmentId = 0;
    m_uniqueName.clear();
}

void Form7::loadEquipmentList()
{
    const QString type = m_app.state.ContractType;
    QString sql = QStringLiteral("Select UniqueEquipmentName, Equipment.EquipmentID, Resources.Name, "
                                 "Resources.RequestNumber ")
        + QStringLiteral("From Equipment, Resources ") + QStringLiteral("WHERE (Equipment.AgreementID = ")
        + sqlInt(m_agreementId)
        + QStringLiteral(") and (Equipment.resourceID = Resources.ResourceID) and ");
    QString shown = QStringLiteral("Name");
    if (type == QLatin1String("0")) {
        sql += QStringLiteral(" Left(Resources.RequestNumber, 1)='E' order by Equipment.UniqueEquipmentName");
        shown = QStringLiteral("UniqueEquipmentName");
    } else if (type == QLatin1String("1")) {
        sql += QStringLiteral(" Left(Resources.RequestNumber, 1)='C' order by Resources.Name");
    } else {
        sql += QStringLiteral(" Left(Resources.RequestNumber, 1)<>'C' and Left(Resources.RequestNumber, 1)<>'E'")
            + QStringLiteral("order by Resources.Name");
    }
    m_dbcEquipments->setRowSource(m_app.SharedConnection().openRecordset(sql), shown, QStringLiteral("EquipmentID"));
}

void Form7::dbcEquipments_Click()
{
    m_mskDate->emptyBox();
    if (m_dbcEquipments->text().isEmpty()) {
        getInvoices(true);
        return;
    }
    m_app.state.SelectedEquipmentId = std::int32_t(m_dbcEquipments->boundValue().toInt());
    // Contract crews are listed by resource name; the resource is found by
    // the equipment's unique name.
    const Value unique = m_dbcEquipments->rowValue(QStringLiteral("UniqueEquipmentName"));
    m_uniqueName = unique.isEmpty() ? m_dbcEquipments->text() : unique.toString();
    getInvoices(false);
    fillLastDateAndRelease(m_uniqueName);
}

void Form7::fillLastDateAndRelease(const QString& uniqueName)
{
    Connection& db = m_app.SharedConnection();
    RecordsetPtr last = db.openRecordset(QStringLiteral("Select Max(ActivityDT) as LastDate from ContractorPost where "
                                                        "EquipmentID = ")
                                         + sqlInt(m_app.state.SelectedEquipmentId));
    if (!last->eof() && !last->value(0).isEmpty()) {
        m_mskLastDate->setBoxText(last->value(0).toDate().toString(BoxDateFormat));
    } else {
        m_mskLastDate->setBoxText(QDate::currentDate().toString(BoxDateFormat));
        m_mvCal->setSelectedDate(QDate::currentDate());
    }

    RecordsetPtr release = db.openRecordset(resourceOfEquipmentSql(QStringLiteral("ReleaseDate, ReleaseTime"),
                                                                   uniqueName));
    if (release->eof()) {
        showNotAResource(m_app.dialogs());
        return;
    }
    const Value date = release->value(0);
    const Value time = release->value(1);
    if (!date.isEmpty() && !time.isEmpty()) {
        m_mskDate->setBoxText(date.toDate().toString(BoxDateFormat));
        m_dbcTime->setText(time.toDateTime().time().toString(QStringLiteral("hh:mm")));
    }
}

void Form7::dbcTime_Click()
{
    const Value time = m_dbcTime->rowValue(QStringLiteral("Time"));
    m_dbcTime->setText(timeFromList(time.toString()));
}

void Form7::placeCalendarBeside(QWidget* box)
{
    const QPoint at = box->mapTo(this, QPoint(box->width() + 4, 0));
    m_mvCal->adjustSize();
    m_mvCal->move(qMin(at.x(), qMax(0, width() - m_mvCal->width())), qMin(at.y(), qMax(0, height() - m_mvCal->height())));
    m_mvCal->raise();
    m_mvCal->show();
}

void Form7::cmdLastCal_Click()
{
    if (m_mvCal->isHidden()) {
        m_calendarOwner = m_mskLastDate;
        placeCalendarBeside(m_mskLastDate);
        return;
    }
    m_mvCal->hide();
    m_mskLastDate->setBoxText(m_mvCal->selectedDate().toString(BoxDateFormat));
}

void Form7::cmdCalendar_Click()
{
    if (m_mvCal->isHidden()) {
        m_calendarOwner = m_mskDate;
        placeCalendarBeside(m_mskDate);
        return;
    }
    m_mvCal->hide();
    m_mskDate->setBoxText(m_mvCal->selectedDate().toString(BoxDateFormat));
}

void Form7::mvCal_DateClick(const QDate& date)
{
    if (m_calendarOwner) m_calendarOwner->setBoxText(date.toString(BoxDateFormat));
    m_mvCal->hide();
}

void Form7::cmdSave_Click()
{
    QString date = m_mskDate->boxText();
    QString time = m_dbcTime->text();
    saveReleaseDateTime(m_app.SharedConnection(), m_app.dialogs(), m_validator, m_uniqueName, date, time);
    if (date.isEmpty()) m_mskDate->emptyBox();
    m_dbcTime->setText(time);
}

void Form7::optPrint_Click(int index)
{
    m_app.state.InvoicePrintMode = std::int16_t(index);
    if (index == PrintDraft) {
        m_tdblInvoices->setEnabled(false);
        m_optDeduct[OF286Only]->setEnabled(true);
        m_optDeduct[DeductionsOnly]->setEnabled(true);
        m_lblDefPrinter->setVisible(false);
        return;
    }
    if (index == PrintDuplicateOriginal) {
        getInvoices(false);
        m_tdblInvoices->setEnabled(true);
    } else {
        m_tdblInvoices->setEnabled(false);
    }
    // Official prints always carry both reports.
    m_optDeduct[OF286WithDeductions]->setChecked(true);
    optDeduct_Click(OF286WithDeductions);
    m_optDeduct[OF286Only]->setEnabled(false);
    m_optDeduct[DeductionsOnly]->setEnabled(false);
    m_lblDefPrinter->setVisible(true);
}

void Form7::optDeduct_Click(int index)
{
    m_reportOption = index;
}

void Form7::setInvoiceRow(int row)
{
    m_invoiceRow = row;
    // The bound key as "0" followed by its text: an empty selection is 0.
    const QString key = QStringLiteral("0") + m_invoiceModel->boundValue(row).toString();
    m_app.state.SelectedInvoiceId = std::int32_t(key.toLongLong());
}

void Form7::tdblInvoices_Click()
{
    setInvoiceRow(m_tdblInvoices->currentIndex().row());
}

void Form7::tdblInvoices_RowChange()
{
    setInvoiceRow(m_tdblInvoices->currentIndex().row());
}

bool Form7::getInvoices(bool clear)
{
    if (m_dbcEquipments->text().isEmpty() || m_app.state.SelectedEquipmentId <= 0) {
        m_app.dialogs().messageBox(QStringLiteral("Please select a resource."), MsgButtons::OK, MsgIcon::Information,
                                   QStringLiteral("Error Identifying Resource"));
        return false;
    }
    RecordsetPtr rows = m_app.SharedConnection().openRecordset(
        equipmentInvoicesSql(m_app.state.SelectedEquipmentId, clear));
    m_invoiceModel->setRecordset(rows, {QStringLiteral("InvoiceNumber"), QStringLiteral("FirstDate"),
                                        QStringLiteral("LastDate"), QStringLiteral("Amount")},
                                 QStringLiteral("EquipInvoiceID"));
    m_invoiceModel->setHeaders({QStringLiteral("Invoice Number"), QStringLiteral("First Date"),
                                QStringLiteral("Last Date"), QStringLiteral("Amount")});
    setInvoiceRow(m_tdblInvoices->currentIndex().row());
    return true;
}

void Form7::RunButton_Click(int index)
{
    EquipmentRunChoice choice;
    choice.directPrint = index == 1;
    choice.lastDateText = m_mskLastDate->boxText();
    choice.reportOption = m_reportOption;
    if (const RecordsetPtr& rows = m_invoiceModel->recordset();
        rows && rows->isOpen() && m_invoiceRow >= 0 && m_invoiceRow < rows->recordCount()) {
        choice.chosenInvoiceFirstDate = rows->at(m_invoiceRow, rows->requireField(QStringLiteral("FirstDate"))).toDate();
        choice.chosenInvoiceLastDate = rows->at(m_invoiceRow, rows->requireField(QStringLiteral("LastDate"))).toDate();
    }
    runEquipmentInvoice(m_app.state, m_app.SharedConnection(), m_app.dialogs(), *m_reports, choice);
}

void Form7::uncheckDuplicateOption()
{
    QRadioButton* duplicate = m_optPrint[PrintDuplicateOriginal];
    duplicate->setAutoExclusive(false);
    duplicate->setChecked(false);
    duplicate->setAutoExclusive(true);
}

void registerForm7(App& app)
{
    app.windows().add(QStringLiteral("Form7"), [&app] { return new Form7(app); });
    setEquipmentInvoicePath(app, &PrintEquipmentInvoice);
}

void Form7::cmdDelete_Click()
{
    if (!getInvoices(false)) return;
    const RecordsetPtr rows = m_invoiceModel->recordset();
    if (deleteLastEquipmentInvoice(m_app.state, m_app.SharedConnection(), m_app.dialogs(), *rows)
        != EquipmentDeleteOutcome::Deleted)
        return;
    m_tdblInvoices->setEnabled(false);
    uncheckDuplicateOption();
}

}  // namespace quillon
