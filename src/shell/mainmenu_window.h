#pragma once
// The main menu window, Form0 "Dorvane Reports": the controls of the menu
// under their own names, each event forwarded to MainMenu inside the error
// boundary.

#include "shell/mainmenu.h"

#include <QWidget>

class QBoxLayout;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quillon {

class DataCombo;

class MainMenuWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainMenuWindow(App& app, QWidget* parent = nullptr);

    MainMenu& logic() { return m_menu; }
    // Empties the incident list's text (a launch that shows the menu).
    void clearIncidentList();
    // The option checked, 1..12, or 0.
    int checkedOption() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void formLoad();
    void chooseRememberedIncident();
    void addHelpMenu(QBoxLayout* layout);

    App& m_app;
    MainMenu m_menu;
    QLabel* lblIncidents;
    DataCombo* dbcIncidents;
    QRadioButton* m_options[MainMenu::OptionCount];
    QCheckBox* chkMgAs1;
    QCheckBox* chkTimingTest;
    QPushButton* cmdSelect;
    QPushButton* cmdAudit;
    QLabel* lblDataPath;
    QLabel* lblVer;
};

}  // namespace quillon
