#include "analysis/analysiswindows.h"

#include "shell/app.h"
#include "shell/postingdates.h"
#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"
#include "ui/keyboardaccess.h"
#include "ui/progressbox.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quillon {

namespace {

template <typename W>
W* named(W* widget, const char* name)
{
    setControlName(widget, QString::fromLatin1(name));
    return widget;
}

QDateEdit* datePicker(const char* name)
{
    auto* picker = named(new QDateEdit, name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    return picker;
}

// Sets a list's text without firing the user's events, and only when it
// differs, so that the caret of a list being typed into stays put.
void showListText(DataCombo* list, const QString& text)
{
    if (list->text() == text) return;
    const QSignalBlocker block(list);
    list->setText(text);
}

void showDate(QDateEdit* picker, const QDate& date)
{
    if (!date.isValid() || picker->date() == date) return;
    const QSignalBlocker block(picker);
    picker->setDate(date);
}

QFont bannerFont(QFont font)
{
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    return font;
}

}  // namespace

// ---- Form1 and Form5 ------------------------------------------------------------

PostingAnalysisWindow::PostingAnalysisWindow(App& app, AnalysisKind kind, QWidget* parent)
    : QWidget(parent), m_logic(app, kind)
{
    const bool workRest = kind == AnalysisKind::WorkRest;
    setObjectName(workRest ? QStringLiteral("Form1") : QStringLiteral("Form5"));
    setWindowTitle(workRest ? QStringLiteral("Work/Rest Ratio Report")
                            : QStringLiteral("Shifts in Excess of Standard Hours Report"));

    m_title = named(new QLineEdit(workRest ? QStringLiteral("Work/Rest Ratio")
                                           : QStringLiteral("Shifts in Excess of Standard Hours Report")),
                    "txtTitle");
    m_title->setReadOnly(true);
    m_title->setFrame(false);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFont(bannerFont(m_title->font()));
    // The banner is a caption: no stop for Tab, and wide enough for its words.
    m_title->setFocusPolicy(Qt::NoFocus);
    m_title->setMinimumWidth(QFontMetrics(m_title->font()).horizontalAdvance(m_title->text()) + 12);

    // The three selection options share this box; the sort options have their own frame.
    auto* selection = new QWidget;
    m_reqNumOption = named(new QRadioButton(workRest ? QStringLiteral("Select a Specific or Partial  Request Number")
                                                     : QStringLiteral("Select a Specific or Partial Request Number"),
                                            selection),
                           "ReqNumOption");
    m_personnelOption = named(new QRadioButton(QStringLiteral("Select a Specific Person"), selection), "PersonnelOption");
    m_allOption = named(new QRadioButton(QStringLiteral("Select all Personnel"), selection), "AllOption");
    auto* selectionLayout = new QVBoxLayout(selection);
    selectionLayout->setContentsMargins(0, 0, 0, 0);
    selectionLayout->addWidget(m_reqNumOption);
    selectionLayout->addWidget(m_personnelOption);
    selectionLayout->addWidget(m_allOption);

    m_requestNum = named(new DataCombo, "dbcRequestNum");
    m_requestNum->setEditable(true);   // a leading part may be typed
    m_person = named(new DataCombo, "dbcPerson");
    m_startDay = datePicker("StartDay");
    m_endDate = datePicker("EndDate");

    auto* lists = new QFormLayout;
    lists->addRow(named(new QLabel(QStringLiteral("Request Number")), "lblRequestNum"), m_requestNum);
    lists->addRow(named(new QLabel(QStringLiteral("Person")), "lblPerson"), m_person);
    lists->addRow(named(new QLabel(QStringLiteral("Start Date")), "lblStartDay"), m_startDay);
    lists->addRow(named(new QLabel(QStringLiteral("End Date")), "lblEndDate"), m_endDate);
    lists->addRow(QString(), postingDatesHint(app, [this](const QDate& first, const QDate& last) {
        m_startDay->setDate(first);
        m_endDate->setDate(last);
    }));
    if (!workRest) {
        m_excessHrs = named(new QLineEdit, "ExcessHrs");
        lists->addRow(named(new QLabel(QStringLiteral("Excess Hours")), "lblExcessHrs"), m_excessHrs);
    }

    m_sortFrame = named(new QGroupBox(QStringLiteral("Sort by:")), "Frame1");
    m_totalSort = named(new QRadioButton(QStringLiteral("Total")), "TotalSort");
    m_personSort = named(new QRadioButton(QStringLiteral("Person")), "PersonSort");
    m_reqNumSort = named(new QRadioButton(QStringLiteral("Request #")), "ReqNumSort");
    auto* sortLayout = new QHBoxLayout(m_sortFrame);
    sortLayout->addWidget(m_totalSort);
    sortLayout->addWidget(m_personSort);
    sortLayout->addWidget(m_reqNumSort);

    m_run = named(new QPushButton(QStringLiteral("Run Report")), "RunButton");
    for (int row = 0; row < lists->rowCount(); ++row)
        labelInput(lists->itemAt(row, QFormLayout::LabelRole), lists->itemAt(row, QFormLayout::FieldRole)->widget());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(selection);
    layout->addLayout(lists);
    layout->addWidget(m_sortFrame);
    layout->addWidget(m_run, 0, Qt::AlignRight);

    Dialogs& dialogs = app.dialogs();
    // Every event takes the controls' values, runs, and shows the outcome.
    const auto event = [this](auto handler) {
        return [this, handler] {
            takeControls();
            handler();
            showLogic();
        };
    };
    connect(m_person, &DataCombo::itemChosen, this,
            guarded(dialogs, event([this] { m_logic.personChosen(m_person->boundValue()); })));
    connect(m_requestNum, &DataCombo::itemChosen, this,
            guarded(dialogs, event([this] { m_logic.requestNumberChosen(m_requestNum->text()); })));
    connect(m_requestNum, &DataCombo::textTyped, this,
            guarded(dialogs, event([this] { m_logic.requestNumberTyped(m_requestNum->text()); })));
    connect(m_allOption, &QRadioButton::clicked, this, guarded(dialogs, event([this] { m_logic.allOptionClicked(); })));
    for (QRadioButton* option : {m_reqNumOption, m_personnelOption, m_totalSort, m_personSort, m_reqNumSort})
        connect(option, &QRadioButton::clicked, this, guarded(dialogs, event([] {})));
    connect(m_startDay, &QDateEdit::dateChanged, this, guarded(dialogs, event([] {})));
    connect(m_endDate, &QDateEdit::dateChanged, this, guarded(dialogs, event([] {})));
    if (m_excessHrs)
        connect(m_excessHrs, &QLineEdit::textChanged, this,
                guarded(dialogs, event([this] { m_logic.excessHrsChanged(m_excessHrs->text()); })));
    connect(m_run, &QPushButton::clicked, this, guarded(dialogs, event([this, &app] {
                ProgressBox progress(this, app.progress());
                m_logic.run();
            })));

    runGuarded(dialogs, [this] {
        m_logic.load();
        m_person->setRowSource(m_logic.personRows(), QStringLiteral("strName"), QStringLiteral("PersonID"));
        m_requestNum->setRowSource(m_logic.requestNumberRows(), QStringLiteral("RequestNumber"),
                                   QStringLiteral("RequestNumber"));
    });
    showLogic();
}

void PostingAnalysisWindow::takeControls()
{
    if (m_reqNumOption->isChecked()) m_logic.option = SelectionOption::RequestNumber;
    else if (m_personnelOption->isChecked()) m_logic.option = SelectionOption::Person;
    else if (m_allOption->isChecked()) m_logic.option = SelectionOption::AllPersonnel;
    else m_logic.option = SelectionOption::None;

    if (m_reqNumSort->isChecked()) m_logic.sort = ReportSort::RequestNumber;
    else if (m_personSort->isChecked()) m_logic.sort = ReportSort::Person;
    else m_logic.sort = ReportSort::Total;

    m_logic.personText = m_person->text();
    m_logic.requestText = m_requestNum->text();
    if (m_excessHrs) m_logic.excessHrsText = m_excessHrs->text();
    m_logic.startDay = m_startDay->date();
    m_logic.endDate = m_endDate->date();
}

void PostingAnalysisWindow::showLogic()
{
    switch (m_logic.option) {
    case SelectionOption::RequestNumber: m_reqNumOption->setChecked(true); break;
    case SelectionOption::Person: m_personnelOption->setChecked(true); break;
    case SelectionOption::AllPersonnel: m_allOption->setChecked(true); break;
    case SelectionOption::None: break;   // nothing is set until the user chooses
    }
    switch (m_logic.sort) {
    case ReportSort::RequestNumber: m_reqNumSort->setChecked(true); break;
    case ReportSort::Person: m_personSort->setChecked(true); break;
    case ReportSort::Total: m_totalSort->setChecked(true); break;
    }
    showListText(m_person, m_logic.personText);
    showListText(m_requestNum, m_logic.requestText);
    if (m_excessHrs && m_excessHrs->text() != m_logic.excessHrsText) {
        const QSignalBlocker block(m_excessHrs);
        m_excessHrs->setText(m_logic.excessHrsText);
    }
    showDate(m_startDay, m_logic.startDay);
    showDate(m_endDate, m_logic.endDate);
}

// ---- Form3 ---------------------------------------------------------------------------

SummaryOfHoursWindow::SummaryOfHoursWindow(App& app, QWidget* parent) : QWidget(parent), m_logic(app)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Summarization of Hours Report"));

    auto* title = named(new QLabel(QStringLiteral("Summarization of Hours Worked")), "Title");
    title->setAlignment(Qt::AlignCenter);
    title->setFont(bannerFont(title->font()));
    m_allOption = named(new QRadioButton(QStringLiteral("Select all Personnel")), "AllOption");
    m_personnelOption = named(new QRadioButton(QStringLiteral("Select a Specific Person")), "PersonnelOption");
    m_person = named(new DataCombo, "dbcPerson");
    m_run = named(new QPushButton(QStringLiteral("Run Report")), "RunButton");

    auto* personRow = new QHBoxLayout;
    personRow->addWidget(named(new QLabel(QStringLiteral("Select Person:")), "lblPerson"));
    personRow->addWidget(m_person, 1);
    labelInput(personRow->itemAt(0), m_person);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(m_allOption);
    layout->addWidget(m_personnelOption);
    layout->addLayout(personRow);
    layout->addWidget(m_run, 0, Qt::AlignRight);

    Dialogs& dialogs = app.dialogs();
    const auto event = [this](auto handler) {
        return [this, handler] {
            m_logic.personOption = m_personnelOption->isChecked();
            m_logic.personText = m_person->text();
            handler();
            showLogic();
        };
    };
    connect(m_person, &DataCombo::itemChosen, this,
            guarded(dialogs, event([this] { m_logic.personChosen(m_person->boundValue()); })));
    connect(m_allOption, &QRadioButton::clicked, this, guarded(dialogs, event([this] { m_logic.allOptionClicked(); })));
    connect(m_personnelOption, &QRadioButton::clicked, this, guarded(dialogs, event([] {})));
    connect(m_run, &QPushButton::clicked, this, guarded(dialogs, event([this, &app] {
                ProgressBox progress(this, app.progress());
                m_logic.run();
            })));

    runGuarded(dialogs, [this] {
        m_logic.load();
        m_person->setRowSource(m_logic.personRows(), QStringLiteral("strName"), QStringLiteral("PersonID"));
    });
    showLogic();
}

void SummaryOfHoursWindow::showLogic()
{
    (m_logic.personOption ? m_personnelOption : m_allOption)->setChecked(true);
    showListText(m_person, m_logic.personText);
}

}  // namespace quillon
