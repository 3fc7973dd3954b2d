#include "shell/mainmenu_window.h"

#include "reports/output/remembered.h"
#include "shell/helpwindows.h"
#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillon {

MainMenuWindow::MainMenuWindow(App& app, QWidget* parent) : QWidget(parent), m_app(app), m_menu(app)
{
    setObjectName(QStringLiteral("Form0"));
    setWindowTitle(QStringLiteral("Dorvane Reports"));

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Dorvane Reports"), this);
    setControlName(heading, QStringLiteral("lblTitle"));
    QFont headingFont = heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.6);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);

    lblIncidents = new QLabel(QStringLiteral("Select Incident:"), this);
    setControlName(lblIncidents, QStringLiteral("lblIncidents"));
    dbcIncidents = new DataCombo(this);
    setControlName(dbcIncidents, QStringLiteral("dbcIncidents"));
    dbcIncidents->setMinimumWidth(320);
    lblIncidents->setBuddy(dbcIncidents);
    layout->addWidget(lblIncidents);
    layout->addWidget(dbcIncidents);

    auto* reports = new QGroupBox(this);
    auto* grid = new QGridLayout(reports);
    for (int i = 0; i < MainMenu::OptionCount; ++i) {
        m_options[i] = new QRadioButton(MainMenu::optionCaption(i + 1), reports);
        setControlName(m_options[i], QStringLiteral("Option%1").arg(i + 1));
        grid->addWidget(m_options[i], i % 6, i / 6);
    }
    layout->addWidget(reports);

    chkMgAs1 = new QCheckBox(QStringLiteral("Manage Incidents as One"), this);
    setControlName(chkMgAs1, QStringLiteral("chkMgAs1"));
    chkTimingTest = new QCheckBox(QStringLiteral("Timing Test"), this);
    setControlName(chkTimingTest, QStringLiteral("chkTimingTest"));
    cmdSelect = new QPushButton(QStringLiteral("Select"), this);
    setControlName(cmdSelect, QStringLiteral("cmdSelect"));
    cmdAudit = new QPushButton(QStringLiteral("Audit Database"), this);
    setControlName(cmdAudit, QStringLiteral("cmdAudit"));
    auto* row = new QHBoxLayout;
    row->addWidget(chkMgAs1);
    row->addWidget(chkTimingTest);
    row->addStretch();
    row->addWidget(cmdAudit);
    row->addWidget(cmdSelect);
    layout->addLayout(row);

    auto* dpTitle = new QLabel(QStringLiteral("Data Path:"), this);
    setControlName(dpTitle, QStringLiteral("lblDPTitle"));
    lblDataPath = new QLabel(this);
    setControlName(lblDataPath, QStringLiteral("lblDataPath"));
    lblVer = new QLabel(this);
    setControlName(lblVer, QStringLiteral("lblVer"));
    auto* footer = new QHBoxLayout;
    footer->addWidget(dpTitle);
    footer->addWidget(lblDataPath, 1);
    footer->addWidget(lblVer);
    layout->addLayout(footer);

    Dialogs& dialogs = app.dialogs();
    connect(dbcIncidents, &DataCombo::itemChosen, this, guarded(dialogs, [this] {
        MainMenu::rememberIncident(dbcIncidents->boundText(), dbcIncidents->text());
        m_menu.incidentChosen(dbcIncidents->boundValue(), dbcIncidents->rowValue(QStringLiteral("IncidentNumber")),
                              dbcIncidents->rowValue(QStringLiteral("StartDate")));
    }));
    connect(chkMgAs1, &QCheckBox::clicked, this, guarded(dialogs, [this](bool checked) {
        const bool listShown = m_menu.manageAsOneClicked(checked, dbcIncidents->boundText(), dbcIncidents->text());
        dbcIncidents->setVisible(listShown);
        lblIncidents->setVisible(listShown);
    }));
    connect(chkTimingTest, &QCheckBox::clicked, this,
            guarded(dialogs, [this](bool checked) { m_menu.timingTestClicked(checked); }));
    connect(cmdSelect, &QPushButton::clicked, this, guarded(dialogs, [this] {
        m_menu.select(checkedOption(), dbcIncidents->text(), dbcIncidents->boundValue());
    }));

    connect(cmdAudit, &QPushButton::clicked, this, guarded(dialogs, [this] { m_menu.auditDatabase(); }));

    addHelpMenu(layout);

    runGuarded(dialogs, [this] { formLoad(); });
}

void MainMenuWindow::formLoad()
{
    lblVer->setText(MainMenu::versionText(QStringLiteral(QUILLON_VERSION)));
    chkTimingTest->setChecked(false);
    dbcIncidents->setRowSource(m_menu.load(), QStringLiteral("IncidentName"), QStringLiteral("IncidentID"));
    lblDataPath->setText(m_menu.databaseInWords());
    lblDataPath->setToolTip(m_menu.dataPathText());
    chooseRememberedIncident();
}

// The incident of the last run is chosen again, as if the user had chosen
// it; an incident no longer in the list (or renamed) is passed over.
void MainMenuWindow::chooseRememberedIncident()
{
    const auto [id, name] = MainMenu::rememberedIncident();
    if (id.isEmpty() || name.isEmpty()) return;
    dbcIncidents->setText(name);
    if (dbcIncidents->matchedIndex() < 0 || dbcIncidents->boundText() != id) {
        dbcIncidents->setText(QString());
        return;
    }
    m_menu.incidentChosen(dbcIncidents->boundValue(), dbcIncidents->rowValue(QStringLiteral("IncidentNumber")),
                          dbcIncidents->rowValue(QStringLiteral("StartDate")));
}

void MainMenuWindow::addHelpMenu(QBoxLayout* layout)
{
    auto* bar = new QMenuBar(this);
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    QAction* guide = help->addAction(QStringLiteral("&User Guide"), this, [] { showUserGuide(); });
    guide->setShortcut(QKeySequence::HelpContents);
    help->addAction(QStringLiteral("&About Quillon"), this, [this] {
        showAbout(this, aboutText(QStringLiteral(QUILLON_VERSION), m_menu.databaseInWords()));
    });
    layout->setMenuBar(bar);
}

void MainMenuWindow::clearIncidentList()
{
    dbcIncidents->setText(QString());
}

int MainMenuWindow::checkedOption() const
{
    for (int i = 0; i < MainMenu::OptionCount; ++i)
        if (m_options[i]->isChecked())
            return i + 1;
    return 0;
}

void MainMenuWindow::closeEvent(QCloseEvent* event)
{
    runGuarded(m_app.dialogs(), [this] { m_menu.unload(); });
    event->accept();
}

}  // namespace quillon
