#include "invoicing/form6.h"

#include "data/recordset_model.h"
#include "invoicing/printinvoice.h"
#include "shell/postingdates.h"
#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"
#include "ui/keyboardaccess.h"
#include "ui/screenfit.h"
#include "ui/progressbox.h"

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

namespace quillon {

Form6::Form6(App& app, QWidget* parent) : QWidget(parent), m_app(app), m_logic(app)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("OF-288"));
    buildControls();
    installInvoicePrintHook(m_app);
    runGuarded(m_app.dialogs(), [this] {
        const Form6Logic::Preselection pre = m_logic.load();
        dbcPersons->setRowSource(m_logic.persons(), QStringLiteral("strName"), QStringLiteral("PersonID"));
        dbcCrewNames->setRowSource(m_logic.crews(), QStringLiteral("Name"), QStringLiteral("ResourceID"));
        dbcRequestNums->setRowSource(m_logic.requestNumbers(), QStringLiteral("RequestNumber"), QStringLiteral("ResourceID"));
        dtpEndDate->setDate(QDate::currentDate());
        if (!pre.personText.isEmpty()) dbcPersons->setText(pre.personText);
        if (!pre.requestNumberText.isEmpty()) dbcRequestNums->setText(pre.requestNumberText);
        if (!pre.crewText.isEmpty()) dbcCrewNames->setText(pre.crewText);
        showEndDate(pre.endDate);
        showState();
    });
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
    selection->addWidget(postingDatesHint(m_app, [this](const QDate&, const QDate& last) { dtpEndDate->setDate(last); },
                                          this, QStringLiteral("Use the &last date")), 6, 2);
    selection->addWidget(cbFinalFlag, 5, 2);
    selection->setColumnStretch(2, 1);

    // The labels name their lists and the date box (Alt+letter).
    for (const auto& [row, input] : {std::pair<int, QWidget*>{0, dbcCrewNames}, {1, dbcRequestNums}, {2, dbcPersons},
                                     {4, dtpEndDate}})
        labelInput(selection->itemAtPosition(row, 1), input);
    auto* invoicesLabel = new QLabel(QStringLiteral("Invoices:"), this);
    named(invoicesLabel, QStringLiteral("lblInvoices"));
    invoicesLabel->setBuddy(tdblInvoices);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RunButton[0]);
    buttons->addStretch();
    buttons->addWidget(cmdReset);

    auto* layout = scrollingBody(this);
    layout->addWidget(Title);
    layout->addLayout(selection);
    layout->addWidget(fraPrintOptions);
    auto* invoicesRow = new QHBoxLayout;
    invoicesRow->addWidget(invoicesLabel, 0, Qt::AlignTop);
    invoicesRow->addWidget(tdblInvoices, 1);
    layout->addLayout(invoicesRow, 1);
    layout->addLayout(buttons);

    Dialogs& dialogs = m_app.dialogs();
    const std::pair<QRadioButton*, Form6Logic::Option> options[] = {{CrewOption, Form6Logic::Option::Crew},
                                                                    {ReqNumOption, Form6Logic::Option::RequestNumber},
                                                                    {PersonnelOption, Form6Logic::Option::Person}};
    for (const auto& [button, option] : options)
        connect(button, &QRadioButton::clicked, this, [this, option = option](bool checked) {
            if (checked) m_logic.optionChecked(option);
        });
    connect(AllOption, &QRadioButton::clicked, this, guarded(dialogs, [this](bool checked) {
                if (!checked) return;
                dbcCrewNames->setText(QString());
                dbcRequestNums->setText(QString());
                dbcPersons->setText(QString());
                m_logic.allPersonnelChosen();
            }));
    connect(dbcPersons, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
                if (dbcPersons->text().isEmpty()) return;
                dbcCrewNames->setText(QString());
                dbcRequestNums->setText(QString());
                showEndDate(m_logic.personChosen(std::int32_t(dbcPersons->boundValue().toInt())));
                showState();
            }));
    connect(dbcRequestNums, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
                if (dbcRequestNums->text().isEmpty()) return;
                const std::int32_t key = std::int32_t(dbcRequestNums->boundValue().toInt());
                const QString text = dbcRequestNums->text();
                dbcCrewNames->setText(QString());
                dbcPersons->setText(QString());
                showEndDate(m_logic.requestNumberChosen(key, text));
                showState();
            }));
    connect(dbcCrewNames, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
                if (dbcCrewNames->text().isEmpty()) return;
                const std::int32_t key = std::int32_t(dbcCrewNames->boundValue().toInt());
                dbcRequestNums->setText(QString());
                dbcPersons->setText(QString());
                showEndDate(m_logic.crewChosen(key));
                showState();
            }));
    for (int i = 0; i < 3; ++i)
        connect(optPrint[i], &QRadioButton::clicked, this, guarded(dialogs, [this, i] {
                    m_logic.printOptionChosen(i + 1);
                    showState();
                }));
    for (int i = 0; i < 2; ++i)
        connect(RunButton[i], &QPushButton::clicked, this, guarded(dialogs, [this, i] { RunButton_Click(i); }));
    connect(cmdReset, &QPushButton::clicked, this, guarded(dialogs, [this] {
                if (m_logic.deleteLastInvoice()) showState();
            }));
    auto rowChosen = [this](int row) {
        m_logic.invoiceRowChosen(row >= 0 ? m_invoiceModel->boundValue(row) : Value());
    };
    connect(tdblInvoices, &QTableView::clicked, this,
            guarded(dialogs, [rowChosen](const QModelIndex& index) { rowChosen(index.row()); }));
    connect(tdblInvoices->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded(dialogs, [rowChosen](const QModelIndex& current) { rowChosen(current.row()); }));
}

void Form6::showEndDate(const std::optional<QDate>& date)
{
    if (date) dtpEndDate->setDate(*date);
}

void Form6::showState()
{
    using Option = Form6Logic::Option;
    const std::pair<QRadioButton*, Option> options[] = {{CrewOption, Option::Crew},
                                                        {ReqNumOption, Option::RequestNumber},
                                                        {PersonnelOption, Option::Person},
                                                        {AllOption, Option::All}};
    for (const auto& [button, option] : options)
        if (m_logic.checkedOption() == option) button->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        const bool checked = m_logic.checkedPrintOption() == i + 1;
        if (optPrint[i]->isChecked() == checked) continue;
        // Unchecking the one checked option of a group needs the group let go.
        optPrint[i]->setAutoExclusive(false);
        optPrint[i]->setChecked(checked);
        optPrint[i]->setAutoExclusive(true);
    }
    if (m_logic.invoices() != m_invoiceModel->recordset()) {
        // A new list is no choice of the user's: the chosen invoice stays.
        const QSignalBlocker block(tdblInvoices->selectionModel());
        m_invoiceModel->setRecordset(m_logic.invoices(),
                                     {QStringLiteral("PersonsInvoiceID"), QStringLiteral("InvoiceNumber"),
                                      QStringLiteral("FirstDate"), QStringLiteral("LastDate"), QStringLiteral("Amount")},
                                     QStringLiteral("PersonsInvoiceID"));
        m_invoiceModel->setHeaders({QStringLiteral("InvoiceID"), QStringLiteral("Invoice Number"),
                                    QStringLiteral("First Date"), QStringLiteral("Last Date"), QStringLiteral("Amount")});
    }
    tdblInvoices->setVisible(m_logic.invoiceListVisible());
    findChild<QLabel*>(QStringLiteral("lblInvoices"))->setVisible(m_logic.invoiceListVisible());
    lblDefPrinter->setVisible(m_logic.printerLabelVisible());
}

void Form6::RunButton_Click(int index)
{
    ProgressBox progress(this, m_app.progress());
    m_logic.run(index, dtpEndDate->date(), cbFinalFlag->isChecked());
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
