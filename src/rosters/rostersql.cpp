#include "rosters/rostersql.h"

#include "data/sqltext.h"

namespace quillon {

QString officeTreeSql(const AppState& state, const QDate& start, const QDate& end)
{
    // The same persons the time report lists: a posting of an incident in the
    // range, not demobilized, and an employment code other than AD (none
    // counts as other).
    QString sql = QStringLiteral(
                      "select p.agencycode, p.faxphone, p.firstname + ' ' + p.lastname as fullname  "
                      "from persons p join personspost pp on p.personid=pp.personid join accountingcodes a on "
                      "pp.accountingid=a.accountingid join incidents i on a.incidentid=i.incidentid "
                      "where len(p.faxphone)=10 and (p.fedcode is null or p.fedcode <> 'AD') and "
                      "(p.pstatus is null or p.pstatus <> 'D') and pp.activitydt Between '")
        + sqlDate(start) + QStringLiteral("' and '") + sqlDate(end) + QStringLiteral("'");
    if (!state.ManageIncidentsAsOne)
        sql += QStringLiteral(" and a.incidentid = ") + sqlInt(state.SelectedIncidentId) + QStringLiteral(" ");
    // The tree is built by walking the rows; the explicit order keeps the rows
    // of one agency and of one fax number together on every engine. The
    // grouping gives one row per person and office, two persons of one name
    // included; SQL Server takes no ORDER BY on columns outside a DISTINCT
    // select list.
    sql += QStringLiteral(" group by p.agencycode, p.faxphone, p.lastname, p.firstname, p.personid")
        + QStringLiteral(" order by p.agencycode, p.faxphone, p.lastname, p.firstname, p.personid");
    return sql;
}

QString commissaryPersonListSql(const AppState& state)
{
    if (state.ManageIncidentsAsOne)
        return QStringLiteral("Select LastName+', '+FirstName  as strName,PersonID FROM Persons WHERE ResourceID IN "
                              "(Select ResourceID FROM Resources) Order by LastName, FirstName");
    return QStringLiteral("Select LastName+', '+FirstName  as strName,PersonID FROM Persons WHERE ResourceID IN "
                          "(Select ResourceID FROM Resources WHERE IncidentID = ")
        + sqlInt(state.SelectedIncidentId) + QStringLiteral(") Order by LastName, FirstName");
}

QString commissaryCrewListSql(const AppState& state)
{
    const bool access = state.DatabaseKind == DbKind::Access;
    if (state.ManageIncidentsAsOne)
        return access ? QStringLiteral("Select Name, ResourceID  FROM Resources WHERE Collection = true Order by Name")
                      : QStringLiteral("Select Name, ResourceID  FROM Resources WHERE Collection = 1 Order by Name");
    return QStringLiteral("Select Name, ResourceID  FROM Resources WHERE IncidentID = ")
        + sqlInt(state.SelectedIncidentId)
        + (access ? QStringLiteral("  and Collection = true Order by Name")
                  : QStringLiteral("  and Collection = 1 Order by Name"));
}

QString commissaryRequestNumberListSql(const AppState& state)
{
    // A choice in this list selects one resource, so every row carries its
    // ResourceID; a request number used by two resources (two incidents
    // managed as one) shows twice, once for each.
    const QString head = QStringLiteral(
        "Select RequestNumber, dbo.f_SortRequestNumber(RequestNumber) as reqnum, Left(RequestNumber, 1) As reqcat, "
        "ResourceID From Resources");
    if (state.ManageIncidentsAsOne) return head + QStringLiteral(" Order by reqcat, reqnum");
    return head + QStringLiteral(" WHERE IncidentID = ") + sqlInt(state.SelectedIncidentId)
        + QStringLiteral(" Order by reqcat, reqnum");
}

QString crewRosterCrewsSql(const AppState& state)
{
    const QString head = QStringLiteral(
        "Select RequestNumber, Name, ResourceID, Left(RequestNumber, 1) as ReqCat, "
        "dbo.f_SortRequestNumber(RequestNumber) as ReqNum FROM Resources WHERE ");
    if (state.ManageIncidentsAsOne) return head + QStringLiteral("collection = 1  Order by Name");
    return head + QStringLiteral("((collection = 1) and (IncidentID = ") + sqlInt(state.SelectedIncidentId)
        + QStringLiteral(")) Order by Name");
}

}  // namespace quillon
