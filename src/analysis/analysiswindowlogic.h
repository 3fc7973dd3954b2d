#pragma once
// What the three personnel-time windows do, apart from their widgets.
//
// The work/rest window (Form1) and the excess-hours window (Form5) share one
// layout: three selection options (a request number or its leading part, one
// person, everybody), a person list and a request-number list, a date range,
// a sort, and a run button; the excess-hours window adds the standard hours
// of a shift (ExcessHrs). The summary-of-hours window (Form3) chooses only
// between everybody and one person.
//
// Each logic object holds what its window shows (the option set, the texts of
// the two lists, the dates, the sort); a window sets these from its controls
// as the user changes them, calls the matching event, and shows the object's
// values again afterwards. Events that fail throw DbError to the window's
// error boundary.

#include "analysis/scratchrun.h"
#include "data/recordset.h"

#include <QDate>
#include <QString>

namespace quillon {

class App;

enum class AnalysisKind { WorkRest, ExcessHours };

class PostingAnalysisLogic {
public:
    PostingAnalysisLogic(App& app, AnalysisKind kind);

    AnalysisKind kind() const { return m_kind; }
    // The report the window builds: 1 work/rest, 5 excess hours.
    std::int16_t reportNumber() const;

    // Opening the window: no person and no request number chosen, both lists
    // filled from the incident (or from every incident when they are managed
    // as one), both dates today. The ExcessHrs box opens empty; the standard
    // in force stays.
    void load();
    const RecordsetPtr& personRows() const { return m_personRows; }
    const RecordsetPtr& requestNumberRows() const { return m_requestRows; }

    // A person chosen in the person list (its PersonID; Null or 0 is no choice).
    void personChosen(const Value& personId);
    // A request number chosen in the request-number list; an empty text is
    // no choice.
    void requestNumberChosen(const QString& text);
    // The request-number list's text changed by typing: the typed text (or
    // leading part) is the request number, and a box typed empty leaves none.
    void requestNumberTyped(const QString& text);
    // A click on "Select all Personnel" while it is set clears both lists'
    // texts (the excess-hours window also forgets the chosen person).
    void allOptionClicked();
    // A change of the ExcessHrs box (excess-hours window).
    void excessHrsChanged(const QString& text);
    // The run button: the analysis over the current choices. The busy
    // pointer is shown throughout. The excess-hours window first asks for a
    // standard above 0 in its box.
    RunResult run();

    // What the window shows.
    SelectionOption option = SelectionOption::None;
    ReportSort sort = ReportSort::Total;
    QString personText;         // text of dbcPerson
    QString requestText;        // text of dbcRequestNum
    QString excessHrsText;      // text of ExcessHrs
    QDate startDay;
    QDate endDate;

    // The chosen request number (upper case), kept while other options are set.
    const QString& chosenRequestNumber() const { return m_requestNumber; }

private:
    App& m_app;
    AnalysisKind m_kind;
    RecordsetPtr m_personRows;
    RecordsetPtr m_requestRows;
    QString m_requestNumber;
};

class SummaryOfHoursLogic {
public:
    explicit SummaryOfHoursLogic(App& app) : m_app(app) {}

    // Opening the window: everybody, the person list of the incident (or of
    // every incident when they are managed as one).
    void load();
    const RecordsetPtr& personRows() const { return m_personRows; }

    void personChosen(const Value& personId);
    void allOptionClicked();
    // The run button: builds the summary of hours and previews it in viewer 1.
    // Returns whether the report was built.
    bool run();

    bool personOption = false;   // false: "Select all Personnel"
    QString personText;

private:
    App& m_app;
    RecordsetPtr m_personRows;
};

}  // namespace quillon
