#pragma once
// A run of the work/rest or excess-hours analysis: query the postings, take a
// run number, write the run's findings as ReportRecords rows, check that the
// run has rows, hand it to the report and remove its rows again.
//
// The run reaches the database and the report only through the two small
// interfaces below, so that it works the same against the real connection,
// under a script and in tests. Database errors pass to the caller (the
// window's error boundary). Whatever happens once the run has written rows,
// its rows are removed before the run returns or its error passes on.

#include "analysis/analysissql.h"
#include "analysis/reportrecord.h"
#include "data/progress.h"
#include "data/recordset.h"
#include "shell/appstate.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quillon {

class Dialogs;

// What a run needs from the database.
class AnalysisDatabase {
public:
    virtual ~AnalysisDatabase() = default;
    // Runs a query and returns all of its rows (the posting query, the check query).
    virtual RecordsetPtr openQuery(const QString& sql) = 0;
    // The next key for a table and field (NextNumber).
    virtual std::int32_t nextNumber(const QString& tableName, const QString& fieldName) = 0;
    // Adds rows to ReportRecords in one transaction: either all of them are
    // there afterwards or, when it throws, none.
    virtual void addReportRecords(const std::vector<ReportRecord>& rows) = 0;
    // Executes a statement that returns no rows.
    virtual void execute(const QString& sql) = 0;
    // The run's own transaction, from taking its run number until its report
    // is built; rolling back undoes the number and the rows. None by default.
    virtual void beginRun() {}
    virtual void commitRun() {}
    virtual void rollbackRun() {}
};

// The report a run hands its rows to.
class AnalysisReport {
public:
    virtual ~AnalysisReport() = default;
    // Builds the report state.ReportNumber from the shared state (BuildReport);
    // false when it was not built.
    virtual bool buildReport(AppState& state) = 0;
    // Shows the report just built (ShowReport): in preview or on the printer,
    // in viewer 1 or 2.
    virtual void showReport(AppState& state, bool preview, int viewer) = 0;
};

enum class ReportSort { Total, Person, RequestNumber };

// The window's choices for one run.
struct AnalysisRequest {
    SelectionOption option = SelectionOption::None;
    QString requestNumber;   // as chosen; upper case
    QDate startDay;
    QDate endDate;
    ReportSort sort = ReportSort::Total;
};

enum class RunOutcome {
    Refused,       // an excess-hours run without a standard above 0; nothing was read
    NoData,        // the posting query returned nothing; no run number was taken
    NothingFound,  // postings, but none over the limits or the standard
    Reported,      // rows were written and handed to the report
    Cancelled,     // stopped at the user's request; the database is as it was
};

struct RunResult {
    RunOutcome outcome = RunOutcome::NoData;
    std::int32_t run = 0;         // the run number (0 when none was taken)
    std::size_t rowsWritten = 0;  // ReportRecords rows the run wrote
};

// The sort field the report reads: "R", "P" or "T".
QString reportSortField(ReportSort sort);

// The two analyses. Both set ReportStartDate and ReportEndDate from the
// request; a run that reaches the report also sets ReportSortField and
// ReportRunId. Every row is written under the incident of its person's
// resource. The person of a person run is SelectedPersonId; the standard of
// an excess-hours run is ReportMinValue, and a run without a standard above 0
// is refused with a message. Each step is reported to `progress`, where a
// cancel stops the run before its report is shown: its run number and rows
// are rolled back and the outcome is Cancelled.
RunResult runWorkRest(AppState& state, const AnalysisRequest& request, AnalysisDatabase& db,
                      AnalysisReport& report, Dialogs& dialogs, Progress* progress = nullptr);
RunResult runExcessHours(AppState& state, const AnalysisRequest& request, AnalysisDatabase& db,
                         AnalysisReport& report, Dialogs& dialogs, Progress* progress = nullptr);

}  // namespace quillon
