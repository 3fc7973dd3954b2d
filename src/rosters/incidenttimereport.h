#pragma once
// The personnel time report window's logic (frmIncidentTimeReport): the date
// range, the office tree with its check rules, and the two ways out — one
// report of all checked offices in preview, or one printed report per checked
// fax number on the default printer, which the user has made a fax printer.
//
// The logic runs without widgets; the window forwards its events here and is
// told through IncidentTimeReportView what to show. While the logic lives,
// its tree is the office tree the report builder reads.

#include "rosters/officetree.h"
#include "shell/app.h"

#include <QDate>
#include <QString>

namespace quillon {

class IncidentTimeReportView {
public:
    virtual ~IncidentTimeReportView() = default;
    // The tree was rebuilt: show its nodes anew.
    virtual void treeRebuilt() = 0;
    // Check marks changed: show every node's check state.
    virtual void checksChanged() = 0;
    // Shows or hides the current fax number and its label.
    virtual void showFaxProgress(bool visible) = 0;
    // The fax number being sent, as the user reads it.
    virtual void setCurrentFaxText(const QString& text) = 0;
    virtual void focusStartDate() = 0;
};

class IncidentTimeReport {
public:
    static constexpr std::int16_t ReportNo = 15;

    explicit IncidentTimeReport(App& app, IncidentTimeReportView* view = nullptr);
    ~IncidentTimeReport();
    IncidentTimeReport(const IncidentTimeReport&) = delete;
    IncidentTimeReport& operator=(const IncidentTimeReport&) = delete;

    // Opening: both dates set to today, then the date check and tree build.
    void load(const QDate& today = QDate::currentDate());
    // New dates: the date check and tree build.
    void setDates(const QDate& start, const QDate& end);
    // A date box's edit was finished (focus left it, Enter, a calendar
    // choice, or Run): the dates are checked and the tree rebuilt when they
    // differ from those last checked, so that one edit gives one check.
    // False when this check found the end before the start.
    bool finishDates(const QDate& start, const QDate& end);
    const QDate& startDate() const { return m_start; }
    const QDate& endDate() const { return m_end; }

    void setLeaderName(const QString& name) { m_leaderName = name; }
    // The phone box's text as it shows it.
    void setLeaderPhone(const QString& phone) { m_leaderPhone = phone; }

    const OfficeTree& tree() const { return m_tree; }
    // The user set a node's check box; applies the check rules.
    void nodeToggled(int index, bool checked);
    void checkAll();
    void clearAll();

    // Preview/Print: one report of every checked office, in viewer 1.
    void cmdPrint_Click();
    // Fax: one report per checked office, printed on the default printer.
    void cmdFax_Click();

    bool faxProgressVisible() const { return m_faxProgress; }
    const QString& currentFaxText() const { return m_currentFaxText; }

private:
    void checkDatesAndBuild();
    bool selectionReady();
    // Writes this window's choices into the shared state before a build.
    void prepareReport(bool faxMode);
    void setFaxProgress(bool visible);

    App& m_app;
    IncidentTimeReportView* m_view;
    OfficeTree m_tree;
    QDate m_start;
    QDate m_end;
    QString m_leaderName;
    QString m_leaderPhone;
    bool m_faxProgress = false;
    QString m_currentFaxText;
};

}  // namespace quillon
