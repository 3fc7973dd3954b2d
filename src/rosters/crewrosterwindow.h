#pragma once
// The crew roster window (Form12): the request-number and crew-name lists
// (control array dbcReqNum) and "Run Report". Events go to CrewRoster.

#include "rosters/crewroster.h"

#include <QWidget>

class QPushButton;

namespace quillon {

class DataCombo;

class CrewRosterWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString FormName = QStringLiteral("Form12");

    explicit CrewRosterWindow(App& app, QWidget* parent = nullptr);

    CrewRoster& logic() { return m_logic; }

private:
    App& m_app;
    CrewRoster m_logic;
    DataCombo* dbcReqNum[2];
    QPushButton* cmdPrint;
};

}  // namespace quillon
