#pragma once
// The commissary authorization window (Form9). Events go to
// CommissaryAuthorization.

#include "rosters/commissaryauthorization.h"

#include <QWidget>

class QPushButton;
class QRadioButton;

namespace quillon {

class DataCombo;

class CommissaryAuthorizationWindow : public QWidget, private CommissaryAuthorizationView {
    Q_OBJECT
public:
    static inline const QString FormName = QStringLiteral("Form9");

    explicit CommissaryAuthorizationWindow(App& app, QWidget* parent = nullptr);

    CommissaryAuthorization& logic() { return m_logic; }

private:
    void selectOption(Option option) override;
    void clearListText(List list) override;

    App& m_app;
    CommissaryAuthorization m_logic;
    QRadioButton* CrewOption;
    QRadioButton* ReqNumOption;
    QRadioButton* PersonnelOption;
    QRadioButton* AllOption;
    DataCombo* dbcCrewName;
    DataCombo* dbcRequestNum;
    DataCombo* dbcPerson;
    QPushButton* RunButton;
};

}  // namespace quillon
