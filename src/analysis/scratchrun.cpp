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

// Whether the query found postings dated within the range itself (it also
// reads the day before).
bool hasPostingsFrom(const Recordset& postings, const QDate& firstDay)
{
    for (int r = 0; r < postings.recordCount(); ++r)
        if (postings.at(r, 0).toDate() >= firstDay) return true;
    return false;
}

void step(Progress* progress, const QString& what, std::int64_t total = 0)
{
    if (progress) progress->begin(what, total);
}

RunResult runAnalysis(Analysis analysis, AppState& state, const AnalysisRequest& request, AnalysisDatabase& db,
                      AnalysisReport& report, Dialogs& dialogs, Progress* progress)
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

    RunResult result;
    const QString sortBefore = state.ReportSortField;
    const std::int32_t runBefore = state.ReportRunId;
    RecordsetPtr postings;
    try {
        step(progress, QStringLiteral("Reading postings"));
        postings = db.openQuery(analysis == Analysis::WorkRest ? workRestPostingSql(state, selection)
                                                               : excessHoursPostingSql(state, selection));
        if (progress) progress->check();
    } catch (const RunCancelled&) {
        result.outcome = RunOutcome::Cancelled;
        return result;
    }
    if (!postings || !hasPostingsFrom(*postings, request.startDay)) {
        showNoData(dialogs);
        return result;
    }

    // From its run number until its report is built the run is one
    // transaction, so that a cancel or a failure there leaves nothing behind,
    // not even a number taken. The report is shown, or the message given,
    // once that is committed. Whatever rows the run wrote are removed again
    // on every way out, a failing report included.
    bool found = false;
    bool built = false;
    QString cleanUp;
    const auto removeRows = [&] {
        if (cleanUp.isEmpty()) return;
        try {
            db.execute(cleanUp);
        } catch (...) {
            // The failure that stopped the run is the one to report.
        }
    };
    db.beginRun();
    try {
        result.run = db.nextNumber(QStringLiteral("ReportRecords"), QString());
        cleanUp = reportRunDeleteSql(state.DatabaseKind, result.run);
        step(progress, QStringLiteral("Checking postings"), postings->recordCount());
        const std::vector<ReportRecord> rows = analysis == Analysis::WorkRest
            ? scanWorkRest(dayHoursFrom(*postings), result.run, request.startDay)
            : scanExcessHours(shiftPostingsFrom(*postings), result.run, state.ReportMinValue, request.startDay);
        if (progress) progress->advance(postings->recordCount());
        if (!rows.empty()) {
            db.addReportRecords(rows);
            result.rowsWritten = rows.size();
        }
        const RecordsetPtr check = db.openQuery(reportRunCheckSql(result.run));
        found = check && check->recordCount() > 0;
        if (found) {
            state.ReportSortField = reportSortField(request.sort);
            state.ReportRunId = result.run;
            step(progress, QStringLiteral("Reading the report data"));
            built = report.buildReport(state);
            if (progress) progress->check();
        }
        db.commitRun();
    } catch (const RunCancelled&) {
        db.rollbackRun();
        removeRows();
        state.ReportSortField = sortBefore;
        state.ReportRunId = runBefore;
        RunResult cancelled;
        cancelled.outcome = RunOutcome::Cancelled;
        return cancelled;
    } catch (...) {
        db.rollbackRun();
        removeRows();
        throw;
    }

    try {
        if (found) {
            if (built) report.showReport(state, true, 1);
            result.outcome = RunOutcome::Reported;
        } else {
            showNothingFound(analysis, dialogs);
            result.outcome = RunOutcome::NothingFound;
        }
    } catch (...) {
        removeRows();
        throw;
    }
    if (!cleanUp.isEmpty() && (found || result.rowsWritten > 0)) db.execute(cleanUp);
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
                      Dialogs& dialogs, Progress* progress)
{
    return runAnalysis(Analysis::WorkRest, state, request, db, report, dialogs, progress);
}

RunResult runExcessHours(AppState& state, const AnalysisRequest& request, AnalysisDatabase& db,
                         AnalysisReport& report, Dialogs& dialogs, Progress* progress)
{
    return runAnalysis(Analysis::ExcessHours, state, request, db, report, dialogs, progress);
}

}  // namespace quillon
