#include "rosters/crewrosterwindow.h"

#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

CrewRosterWindow::CrewRosterWindow(App& app, QWidget* parent) : QWidget(parent), m_app(app), m_logic(app)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Crew Roster"));

    auto* lblTitle = new QLabel(QStringLiteral("Select Crew to View/Print"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);

    auto* lists = new QFormLayout;
    const QString labels[2] = {QStringLiteral("Request Number:"), QStringLiteral("Crew Name:")};
    for (int i = 0; i < 2; ++i) {
        dbcReqNum[i] = new DataCombo(this);
        setControlName(dbcReqNum[i], QStringLiteral("dbcReqNum"), i);
        dbcReqNum[i]->setMinimumWidth(240);
        lists->addRow(labels[i], dbcReqNum[i]);
    }
    cmdPrint = new QPushButton(QStringLiteral("Run Report"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));

    auto* top = new QVBoxLayout(this);
    top->addWidget(lblTitle);
    top->addLayout(lists);
    top->addWidget(cmdPrint, 0, Qt::AlignRight);

    Dialogs& dialogs = m_app.dialogs();
    runGuarded(dialogs, [this] {
        m_logic.load();
        for (int i = 0; i < 2; ++i)
            dbcReqNum[i]->setRowSource(m_logic.crews(), CrewRoster::listField(i), QStringLiteral("ResourceID"));
    });

    for (int i = 0; i < 2; ++i) {
        connect(dbcReqNum[i], &DataCombo::dropDown, this, guarded(dialogs, [this, i] {
                    m_logic.listOpened(i);
                    dbcReqNum[i]->refill();
                }));
        connect(dbcReqNum[i], &DataCombo::itemChosen, this, guarded(dialogs, [this, i] {
                    dbcReqNum[1 - i]->setText(m_logic.itemChosen(i));
                }));
    }
    connect(cmdPrint, &QPushButton::clicked, this, guarded(dialogs, [this] { m_logic.cmdPrint_Click(); }));
}

}  // namespace quillon
