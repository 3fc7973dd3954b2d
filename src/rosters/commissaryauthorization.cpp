#include "rosters/commissaryauthorization.h"

#include "shell/buildreport.h"
#include "rosters/rostersql.h"
#include "ui/busypointer.h"

namespace quillon {

namespace {

// The key a list returned, or nothing when the choice was empty.
bool chosenKey(const Value& value, std::int32_t* key)
{
    if (value.isNull() || value.toString().isEmpty()) return false;
    *key = std::int32_t(value.toInt());
    return true;
}

}  // namespace

CommissaryAuthorization::CommissaryAuthorization(App& app, CommissaryAuthorizationView* view)
    : m_app(app), m_view(view)
{
}

void CommissaryAuthorization::choose(std::int32_t personId, std::int32_t resourceId)
{
    m_personId = personId;
    m_resourceId = resourceId;
    m_app.state.SelectedPersonId = personId;
    m_app.state.SelectedResourceId = resourceId;
}

void CommissaryAuthorization::load()
{
    choose(0, 0);
    BusyPointer busy;
    Connection& db = m_app.SharedConnection();
    const AppState& s = m_app.state;
    m_persons = db.openRecordset(commissaryPersonListSql(s));
    m_crews = db.openRecordset(commissaryCrewListSql(s));
    m_requestNumbers = db.openRecordset(commissaryRequestNumberListSql(s));
}

void CommissaryAuthorization::personChosen(const Value& personId)
{
    std::int32_t key = 0;
    if (!chosenKey(personId, &key)) return;
    choose(key, 0);
    if (!m_view) return;
    m_view->selectOption(CommissaryAuthorizationView::Option::Person);
    m_view->clearListText(CommissaryAuthorizationView::List::RequestNumber);
    m_view->clearListText(CommissaryAuthorizationView::List::Crew);
}

void CommissaryAuthorization::requestNumberChosen(const Value& resourceId)
{
    std::int32_t key = 0;
    if (!chosenKey(resourceId, &key)) return;
    choose(0, key);
    if (!m_view) return;
    m_view->selectOption(CommissaryAuthorizationView::Option::RequestNumber);
    m_view->clearListText(CommissaryAuthorizationView::List::Person);
    m_view->clearListText(CommissaryAuthorizationView::List::Crew);
}

void CommissaryAuthorization::crewChosen(const Value& resourceId)
{
    std::int32_t key = 0;
    if (!chosenKey(resourceId, &key)) return;
    choose(0, key);
    if (!m_view) return;
    m_view->selectOption(CommissaryAuthorizationView::Option::Crew);
    m_view->clearListText(CommissaryAuthorizationView::List::Person);
    m_view->clearListText(CommissaryAuthorizationView::List::RequestNumber);
}

void CommissaryAuthorization::allOptionClicked()
{
    // The crew's name stays in its box; the report covers everybody anyway.
    choose(0, 0);
    if (!m_view) return;
    m_view->clearListText(CommissaryAuthorizationView::List::Person);
    m_view->clearListText(CommissaryAuthorizationView::List::RequestNumber);
}

void CommissaryAuthorization::RunButton_Click()
{
    BusyPointer busy;
    AppState& s = m_app.state;
    // The choice is written again right before the build: other windows
    // share these values.
    choose(m_personId, m_resourceId);
    s.ReportNumber = ReportNo;
    if (s.ManageIncidentsAsOne) s.SelectedIncidentId = -1;
    std::int32_t invoiceKey = 0;
    if (BuildReport(m_app, invoiceKey)) ShowReport(m_app, 1, 1);
}

}  // namespace quillon
