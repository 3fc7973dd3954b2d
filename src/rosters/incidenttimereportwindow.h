#pragma once
// The personnel time report window (frmIncidentTimeReport): date range,
// office tree with check boxes, the time unit leader's name and phone, and
// the Preview/Print and Fax buttons. Events go to IncidentTimeReport.

#include "rosters/incidenttimereport.h"

#include <QWidget>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quillon {

class IncidentTimeReportWindow : public QWidget, private IncidentTimeReportView {
    Q_OBJECT
public:
    static inline const QString FormName = QStringLiteral("frmIncidentTimeReport");

    // Loads the window: both dates today and the tree built.
    explicit IncidentTimeReportWindow(App& app, QWidget* parent = nullptr);
    ~IncidentTimeReportWindow() override;

    IncidentTimeReport& logic() { return m_logic; }

private:
    void treeRebuilt() override;
    void checksChanged() override;
    void showFaxProgress(bool visible) override;
    void setCurrentFaxText(const QString& text) override;
    void focusStartDate() override;

    QString phoneText() const;
    // The dates' edit is finished; false while a date error just shown
    // stands for the current key or click.
    bool finishDates();
    void onItemChanged(QTreeWidgetItem* item);

    App& m_app;
    IncidentTimeReport m_logic;
    QDateEdit* dtpStartDate;
    QDateEdit* dtpEndDate;
    QTreeWidget* tvwOffices;
    QPushButton* cmdCheckAll;
    QPushButton* cmdClearAll;
    QLineEdit* txtLeaderName;
    QLineEdit* txtLeaderPhone;
    QPushButton* cmdPrint;
    QPushButton* cmdFax;
    QLabel* lblCurRpt;
    QLineEdit* txtCurRpt;
    std::vector<QTreeWidgetItem*> m_items;  // by node index
    bool m_syncing = false;                 // check marks being set from the tree model
    bool m_datesJustRejected = false;
};

}  // namespace quillon
