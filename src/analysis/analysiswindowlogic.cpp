#include "analysis/analysiswindowlogic.h"

#include "analysis/analysisrun.h"
#include "analysis/analysissql.h"
#include "analysis/excesshours.h"
#include "shell/buildreport.h"
#include "shell/app.h"
#include "ui/busypointer.h"

namespace quillon {

namespace {

RecordsetPtr openList(App& app, const QString& sql)
{
    return app.SharedConnection().openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

// The PersonID of a choice in the person list; 0 when nothing was chosen.
std::int32_t chosenPerson(const Value& personId)
{
    return personId.isNull() ? 0 : std::int32_t(personId.toInt());
}

}  // namespace

// ---- work/rest and excess hours --------------------------------------------

PostingAnalysisLogic::PostingAnalysisLogic(App& app, AnalysisKind kind) : m_app(app), m_kind(kind) {}

std::int16_t PostingAnalysisLogic::reportNumber() const
{
    return m_kind == AnalysisKind::WorkRest ? 1 : 5;
}

void PostingAnalysisLogic::load()
{
    AppState& s = m_app.state;
    s.SelectedPersonId = 0;
    m_requestNumber.clear();
    option = SelectionOption::None;
    sort = ReportSort::Total;
    personText.clear();
    requestText.clear();
    excessHrsText.clear();
    startDay = endDate = QDate::currentDate();
    m_personRows = openList(m_app, personListSql(s));
    m_requestRows = openList(m_app, requestNumberListSql(s));
}

void PostingAnalysisLogic::personChosen(const Value& personId)
{
    const std::int32_t id = chosenPerson(personId);
    if (id == 0) return;
    m_app.state.SelectedPersonId = id;
    option = SelectionOption::Person;
    requestText.clear();
}

void PostingAnalysisLogic::requestNumberChosen(const QString& text)
{
    if (text.isEmpty()) return;
    m_requestNumber = text.toUpper();
    option = SelectionOption::RequestNumber;
    personText.clear();
}

void PostingAnalysisLogic::requestNumberTyped(const QString& text)
{
    if (text.isEmpty()) {
        m_requestNumber.clear();
        return;
    }
    requestNumberChosen(text);
}

void PostingAnalysisLogic::allOptionClicked()
{
    option = SelectionOption::AllPersonnel;
    personText.clear();
    requestText.clear();
    if (m_kind == AnalysisKind::ExcessHours) m_app.state.SelectedPersonId = 0;
}

void PostingAnalysisLogic::excessHrsChanged(const QString& text)
{
    excessHrsText = text;
    applyExcessHrsEntry(text, m_app.state, m_app.dialogs());
}

RunResult PostingAnalysisLogic::run()
{
    if (m_kind == AnalysisKind::ExcessHours && !standardReady(excessHrsText, m_app.state, m_app.dialogs())) {
        RunResult refused;
        refused.outcome = RunOutcome::Refused;
        return refused;
    }
    BusyPointer busy;
    // A window builds only its own report, whichever report the menu chose last.
    m_app.state.ReportNumber = reportNumber();

    AnalysisRequest request;
    request.option = option;
    request.requestNumber = m_requestNumber;
    request.startDay = startDay;
    request.endDate = endDate;
    request.sort = sort;
    return m_kind == AnalysisKind::WorkRest ? runWorkRest(m_app, request) : runExcessHours(m_app, request);
}

// ---- summary of hours ---------------------------------------------------------

void SummaryOfHoursLogic::load()
{
    m_app.state.SelectedPersonId = 0;
    personOption = false;
    personText.clear();
    m_personRows = openList(m_app, personListSql(m_app.state));
}

void SummaryOfHoursLogic::personChosen(const Value& personId)
{
    const std::int32_t id = chosenPerson(personId);
    if (id == 0) return;
    m_app.state.SelectedPersonId = id;
    personOption = true;
}

void SummaryOfHoursLogic::allOptionClicked()
{
    personOption = false;
    personText.clear();
    m_app.state.SelectedPersonId = 0;
}

bool SummaryOfHoursLogic::run()
{
    BusyPointer busy;
    m_app.state.ReportNumber = 3;
    std::int32_t invoiceKey = 0;
    if (!BuildReport(m_app, invoiceKey)) return false;
    ShowReport(m_app, 1, 1);
    return true;
}

}  // namespace quillon
