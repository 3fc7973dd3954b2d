#include "rosters/crewroster.h"

#include "shell/buildreport.h"
#include "rosters/rostersql.h"
#include "ui/busypointer.h"

namespace quillon {

CrewRoster::CrewRoster(App& app) : m_app(app) {}

QString CrewRoster::listField(int index)
{
    return index == RequestNumberList ? QStringLiteral("RequestNumber") : QStringLiteral("Name");
}

void CrewRoster::load()
{
    m_resourceId = 0;
    m_app.state.SelectedResourceId = 0;
    BusyPointer busy;
    m_crews = m_app.SharedConnection().openRecordset(crewRosterCrewsSql(m_app.state));
}

void CrewRoster::listOpened(int index)
{
    if (!m_crews || !m_crews->isOpen()) return;
    m_crews->sort(index == RequestNumberList ? QStringLiteral("ReqCat, ReqNum") : QStringLiteral("Name"));
}

QString CrewRoster::itemChosen(int index)
{
    if (!m_crews || m_crews->eof() || m_crews->bof()) return QString();
    m_resourceId = std::int32_t(m_crews->value(QStringLiteral("ResourceID")).toInt());
    m_app.state.SelectedResourceId = m_resourceId;
    return m_crews->value(listField(index == RequestNumberList ? CrewNameList : RequestNumberList)).toString();
}

void CrewRoster::cmdPrint_Click()
{
    BusyPointer busy;
    // Written again right before the build: other windows share the value.
    m_app.state.SelectedResourceId = m_resourceId;
    m_app.state.ReportNumber = ReportNo;
    std::int32_t invoiceKey = 0;
    if (BuildReport(m_app, invoiceKey)) ShowReport(m_app, 1, 1);
}

}  // namespace quillon
