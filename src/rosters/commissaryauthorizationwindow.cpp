#include "rosters/commissaryauthorizationwindow.h"

#include "ui/datacombo.h"
#include "ui/errorboundary.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillon {

namespace {

QRadioButton* option(const QString& name, const QString& caption, QWidget* parent)
{
    auto* o = new QRadioButton(caption, parent);
    o->setObjectName(name);
    return o;
}

DataCombo* list(const QString& name, QWidget* parent)
{
    auto* c = new DataCombo(parent);
    c->setObjectName(name);
    c->setMinimumWidth(240);
    return c;
}

}  // namespace

CommissaryAuthorizationWindow::CommissaryAuthorizationWindow(App& app, QWidget* parent)
    : QWidget(parent), m_app(app), m_logic(app, this)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Commissary Authorization"));

    auto* heading = new QLabel(QStringLiteral("Emergency FireFighter Commissary Authorization"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    heading->setFont(headingFont);

    CrewOption = option(QStringLiteral("CrewOption"), QStringLiteral("Select a Specific Crew"), this);
    ReqNumOption = option(QStringLiteral("ReqNumOption"), QStringLiteral("Select a Specific Request Number"), this);
    PersonnelOption = option(QStringLiteral("PersonnelOption"), QStringLiteral("Select a Specific Person"), this);
    AllOption = option(QStringLiteral("AllOption"), QStringLiteral("Select all Personnel"), this);
    auto* options = new QButtonGroup(this);
    for (QRadioButton* o : {CrewOption, ReqNumOption, PersonnelOption, AllOption}) options->addButton(o);

    dbcCrewName = list(QStringLiteral("dbcCrewName"), this);
    dbcRequestNum = list(QStringLiteral("dbcRequestNum"), this);
    dbcPerson = list(QStringLiteral("dbcPerson"), this);
    RunButton = new QPushButton(QStringLiteral("Run Report"), this);
    RunButton->setObjectName(QStringLiteral("RunButton"));

    auto* lists = new QFormLayout;
    lists->addRow(QStringLiteral("Crew Name:"), dbcCrewName);
    lists->addRow(QStringLiteral("Request Number:"), dbcRequestNum);
    lists->addRow(QStringLiteral("Person:"), dbcPerson);

    auto* top = new QVBoxLayout(this);
    top->addWidget(heading);
    for (QRadioButton* o : {CrewOption, ReqNumOption, PersonnelOption, AllOption}) top->addWidget(o);
    top->addLayout(lists);
    top->addWidget(RunButton, 0, Qt::AlignRight);

    Dialogs& dialogs = m_app.dialogs();
    runGuarded(dialogs, [this] {
        m_logic.load();
        dbcPerson->setRowSource(m_logic.persons(), QStringLiteral("strName"), QStringLiteral("PersonID"));
        dbcRequestNum->setRowSource(m_logic.requestNumbers(), QStringLiteral("RequestNumber"),
                                    QStringLiteral("ResourceID"));
        dbcCrewName->setRowSource(m_logic.crews(), QStringLiteral("Name"), QStringLiteral("ResourceID"));
    });

    connect(dbcPerson, &DataCombo::itemChosen, this,
            guarded(dialogs, [this] { m_logic.personChosen(dbcPerson->boundValue()); }));
    connect(dbcRequestNum, &DataCombo::itemChosen, this,
            guarded(dialogs, [this] { m_logic.requestNumberChosen(dbcRequestNum->boundValue()); }));
    connect(dbcCrewName, &DataCombo::itemChosen, this,
            guarded(dialogs, [this] { m_logic.crewChosen(dbcCrewName->boundValue()); }));
    connect(AllOption, &QRadioButton::clicked, this, guarded(dialogs, [this] {
                if (AllOption->isChecked()) m_logic.allOptionClicked();
            }));
    connect(RunButton, &QPushButton::clicked, this, guarded(dialogs, [this] { m_logic.RunButton_Click(); }));
}

void CommissaryAuthorizationWindow::selectOption(Option option)
{
    switch (option) {
    case Option::Crew: CrewOption->setChecked(true); break;
    case Option::RequestNumber: ReqNumOption->setChecked(true); break;
    case Option::Person: PersonnelOption->setChecked(true); break;
    case Option::All: AllOption->setChecked(true); break;
    }
}

void CommissaryAuthorizationWindow::clearListText(List list)
{
    switch (list) {
    case List::Crew: dbcCrewName->setText(QString()); break;
    case List::RequestNumber: dbcRequestNum->setText(QString()); break;
    case List::Person: dbcPerson->setText(QString()); break;
    }
}

}  // namespace quillon
