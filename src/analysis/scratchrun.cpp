#include "analysis/scratchrun.h"

#include "analysis/excesshours.h"
#include "analysis/workrest.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

enum class Analysis { WorkRest, ExcessHours };

void showNoData(Dialogs& dialogs)
{
    dialogs.messageBox(QStringLiteral("No Data in this Selection. "), MsgButtons::OK, MsgIcon::Exclamation,
                       QStringLiteral("Information"));
}

void showNothingFound(Analysis analysis, Dialogs& dialogs)
{
    if (analysis == Analysis::WorkRest)
        dialogs.messageBox(QStringLiteral("Nobody for your selection has 16 in 24 or 32 in 48."), MsgButtons::OK,
                           MsgIcon::Information, applicationTitle() + QStringLiteral(":Work/Rest Info"));
    else
        dialogs.messageBox(QStringLiteral("Nobody for your selection has Excess Hours."), MsgButtons::OK,
                           MsgIcon::Information, applicationTitle() + QStringLiteral(":Excess Hours Info"));
}

// Hands the run to the report: the sort, the run number, then build and
// preview. The rows carry their own incidents, so the report needs no
// incident of the menu's.
void createReport(AppState& state, std::int32_t run, ReportSort sort, AnalysisReport& report)
{
    state.ReportSortField = reportSortField(sort);
    state.ReportRunId = run;
    if (report.buildReport(state)) report.showReport(state, true, 1);
}

// Whether the query found postings dated within the range itself (it also
// reads the day before).
bool hasPostingsFrom(const Recordset& postings, const QDate& firstDay)
{
    for (int r = 0; r < postings.recordCount(); ++r)
        if (postings.at(r, 0).toDate() >= firstDay) return true;
    return false;
}

RunResult runAnalysis(Analysis analysis, AppState& state, const AnalysisRequest& request, AnalysisDatabase& db,
                      AnalysisReport& report, Dialogs& dialogs)
{
    state.ReportStartDate = request.startDay;
    state.ReportEndDate = request.endDate;
    if (analysis == Analysis::ExcessHours && !(state.ReportMinValue > 0.0)) {
        dialogs.messageBox(standardNeededText(), MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Information"));
        RunResult refused;
        refused.outcome = RunOutcome::Refused;
        return refused;
    }

    PostingSelection selection;
    selection.option = request.option;
    selection.requestNumber = request.requestNumber;
    selection.personId = state.SelectedPersonId;
    selection.startDate = state.ReportStartDate;
    selection.endDate = state.ReportEndDate;

    const RecordsetPtr postings = db.openQuery(analysis == Analysis::WorkRest
                                                   ? workRestPostingSql(state, selection)
                                                   : excessHoursPostingSql(state, selection));
    RunResult result;
    if (!postings || !hasPostingsFrom(*postings, request.startDay)) {
        showNoData(dialogs);
        return result;
    }

    result.run = db.nextNumber(QStringLiteral("ReportRecords"), QString());
    const std::vector<ReportRecord> rows = analysis == Analysis::WorkRest
        ? scanWorkRest(dayHoursFrom(*postings), result.run, request.startDay)
        : scanExcessHours(shiftPostingsFrom(*postings), result.run, state.ReportMinValue, request.startDay);

    // From the moment rows may exist, they are removed again on every way out,
    // a failing report included, so that no run leaves scratch rows behind.
    bool mayHaveRows = false;
    const QString cleanUp = reportRunDeleteSql(state.DatabaseKind, result.run);
    try {
        if (!rows.empty()) {
            mayHaveRows = true;
            db.addReportRecords(rows);
            result.rowsWritten = rows.size();
        }
        const RecordsetPtr check = db.openQuery(reportRunCheckSql(result.run));
        if (check && check->recordCount() > 0) {
            mayHaveRows = true;
            createReport(state, result.run, request.sort, report);
            result.outcome = RunOutcome::Reported;
        } else {
            showNothingFound(analysis, dialogs);
            result.outcome = RunOutcome::NothingFound;
        }
    } catch (...) {
        if (mayHaveRows) {
            try {
                db.execute(cleanUp);
            } catch (...) {
                // The failure that stopped the run is the one to report.
            }
        }
        throw;
    }
    if (mayHaveRows) db.execute(cleanUp);
    return result;
}

}  // namespace

QString reportSortField(ReportSort sort)
{
    switch (sort) {
    case ReportSort::RequestNumber: return QStringLiteral("R");
    case ReportSort::Person: return QStringLiteral("P");
    case ReportSort::Total: break;
    }
    return QStringLiteral("T");
}

RunResult runWorkRest(AppState& state, const AnalysisRequest& request, AnalysisDatabase& db, AnalysisReport& report,
                      Dialogs& dialogs)
{
    return runAnalysis(Analysis::WorkRest, state, request, db, report, dialogs);
}

RunResult runExcessHours(AppState& state, const AnalysisRequest& request, AnalysisDatabase& db,
                         AnalysisReport& report, Dialogs& dialogs)
{
    return runAnalysis(Analysis::ExcessHours, state, request, db, report, dialogs);
}

}  // namespace quillon
