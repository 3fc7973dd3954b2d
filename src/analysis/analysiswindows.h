#pragma once
// The personnel-time windows: work/rest ratio (Form1), summary of hours
// (Form3) and shifts in excess of standard hours (Form5). Each holds its
// controls under their control names and forwards every event to its logic
// (analysiswindowlogic.h) inside the error boundary.

#include "analysis/analysiswindowlogic.h"

#include <QWidget>

class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quillon {

class App;
class DataCombo;

// Form1 and Form5.
class PostingAnalysisWindow : public QWidget {
    Q_OBJECT
public:
    PostingAnalysisWindow(App& app, AnalysisKind kind, QWidget* parent = nullptr);

    PostingAnalysisLogic& logic() { return m_logic; }

private:
    void takeControls();   // the controls' values into the logic
    void showLogic();      // the logic's values into the controls

    PostingAnalysisLogic m_logic;
    QLineEdit* m_title;
    QRadioButton* m_reqNumOption;
    QRadioButton* m_personnelOption;
    QRadioButton* m_allOption;
    DataCombo* m_requestNum;
    DataCombo* m_person;
    QDateEdit* m_startDay;
    QDateEdit* m_endDate;
    QGroupBox* m_sortFrame;
    QRadioButton* m_totalSort;
    QRadioButton* m_personSort;
    QRadioButton* m_reqNumSort;
    QLineEdit* m_excessHrs = nullptr;
    QPushButton* m_run;
};

// Form3.
class SummaryOfHoursWindow : public QWidget {
    Q_OBJECT
public:
    explicit SummaryOfHoursWindow(App& app, QWidget* parent = nullptr);

    SummaryOfHoursLogic& logic() { return m_logic; }

private:
    void showLogic();

    SummaryOfHoursLogic m_logic;
    QRadioButton* m_allOption;
    QRadioButton* m_personnelOption;
    DataCombo* m_person;
    QPushButton* m_run;
};

}  // namespace quillon
