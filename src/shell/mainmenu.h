#pragma once
// The main menu (Form0): the person picks an incident, one of twelve reports
// and two options, then presses Select. The menu writes the choice into the
// shared state and opens the report's selection window by form name, or for
// the two direct reports builds and previews the report at once. Closing the
// menu shuts the login component down and ends the program.
//
// MainMenu is the menu's logic over the application object; the window
// (mainmenu_window.h) holds the controls and forwards their events here.

#include "shell/app.h"

#include <QString>

namespace quillon {

class MainMenu {
public:
    static constexpr int OptionCount = 12;

    explicit MainMenu(App& app) : m_app(app) {}

    // Caption of option button 1..12 and the report number it sets.
    static QString optionCaption(int option);
    static std::int16_t reportNumberForOption(int option);
    // The selection window Select opens for a report number: "" for the
    // direct reports (2, 11) and for numbers without a window.
    static QString windowForReport(int reportNumber);
    static bool isDirectReport(int reportNumber) { return reportNumber == 2 || reportNumber == 11; }

    static QString incidentListSql();
    // "Version 1.0.0" from a version text "major.minor.revision".
    static QString versionText(const QString& version);

    // Load: the incident rows for the list; TimingTest goes off.
    RecordsetPtr load();
    // "Server=<server> Database=<catalog>" for SqlServer, else the database path.
    QString dataPathText() const;
    // The database in use, in words: "Database file /data/x.db" or
    // "Server SRV, database TIMEDB" (what the menu's footer shows).
    QString databaseInWords() const;

    // The incident chosen last time (its IncidentID and IncidentName as
    // text), remembered for the next start; empty texts when none.
    static std::pair<QString, QString> rememberedIncident();
    static void rememberIncident(const QString& incidentId, const QString& incidentName);

    // An incident was chosen in the list: its key, number and start date.
    void incidentChosen(const Value& incidentId, const Value& incidentNumber, const Value& startDate);
    // "Manage Incidents as One" clicked; returns whether the incident list
    // shows. boundText is the list's bound value as text, listText its text.
    bool manageAsOneClicked(bool checked, const QString& boundText, const QString& listText);
    void timingTestClicked(bool checked);
    // Select with option 1..12 checked (0: none), the list's text and bound value.
    void select(int checkedOption, const QString& listText, const Value& boundValue);
    // "Audit Database": opens the audit window (frmAudit), which checks the
    // whole database whatever incident is chosen.
    void auditDatabase();
    static inline const QString AuditWindow = QStringLiteral("frmAudit");
    // The menu closes: shutdown, then the program ends. Runs once.
    void unload();

private:
    App& m_app;
    bool m_unloaded = false;
};

}  // namespace quillon
