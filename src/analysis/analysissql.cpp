#include "analysis/analysissql.h"

#include "data/sqltext.h"

namespace quillon {

namespace {

// The character around a date literal: SQL Server takes '6/30/2024', Access
// #6/30/2024#.
QString dateQuote(DbKind kind)
{
    return kind == DbKind::Access ? QStringLiteral("#") : QStringLiteral("'");
}

// "<column> >= 'S' and <column> <= 'E'" with the kind's date quotes; the
// caller supplies what stands before and after.
QString dateRange(const QString& column, const AppState& state, const PostingSelection& sel)
{
    const QString q = dateQuote(state.DatabaseKind);
    return column + QStringLiteral(" >= ") + q + sqlDate(sel.startDate) + q + QStringLiteral(" and ") + column
        + QStringLiteral(" <= ") + q + sqlDate(sel.endDate) + q;
}

}  // namespace

SelectionOption effectiveSelection(const PostingSelection& selection)
{
    if (selection.option == SelectionOption::RequestNumber && !selection.requestNumber.isEmpty())
        return SelectionOption::RequestNumber;
    if (selection.option == SelectionOption::Person && selection.personId != 0)
        return SelectionOption::Person;
    return SelectionOption::AllPersonnel;
}

namespace {

// "WHERE <selection> and " for the posting queries of both analyses. Over all
// incidents no branch looks at the incident chosen in the menu.
QString postingWhere(const AppState& state, const PostingSelection& sel)
{
    const QString incident = state.ManageIncidentsAsOne
        ? QString()
        : QStringLiteral("Resources.IncidentID = ") + sqlInt(state.SelectedIncidentId) + QStringLiteral(" and ");
    switch (effectiveSelection(sel)) {
    case SelectionOption::RequestNumber:
        return QStringLiteral("WHERE ") + incident + QStringLiteral("Resources.RequestNumber LIKE '")
            + sqlQuoteInner(sel.requestNumber) + QStringLiteral("%' and ");
    case SelectionOption::Person:
        return QStringLiteral("WHERE Persons.PersonID = ") + sqlInt(sel.personId) + QStringLiteral(" and ");
    default:
        return QStringLiteral("WHERE ") + incident;
    }
}

}  // namespace

QString personListSql(const AppState& state)
{
    if (state.ManageIncidentsAsOne)
        return QStringLiteral("Select LastName+', '+FirstName  as strName,PersonID FROM Persons WHERE ResourceID IN "
                              "(Select ResourceID FROM Resources) Order by LastName, FirstName");
    return QStringLiteral("Select LastName+', '+FirstName  as strName,PersonID FROM Persons WHERE ResourceID IN "
                          "(Select ResourceID FROM Resources WHERE IncidentID = ")
        + sqlInt(state.SelectedIncidentId) + QStringLiteral(") Order by LastName, FirstName");
}

QString requestNumberListSql(const AppState& state)
{
    const QString head = QStringLiteral("Select Distinct RequestNumber, dbo.f_SortRequestNumber(RequestNumber) as reqnum, "
                                        "Left(RequestNumber, 1) As reqcat From Resources");
    if (state.ManageIncidentsAsOne) return head + QStringLiteral(" Order by reqcat, reqnum");
    return head + QStringLiteral(" WHERE IncidentID = ") + sqlInt(state.SelectedIncidentId)
        + QStringLiteral(" Order by reqcat, reqnum");
}

QString workRestPostingSql(const AppState& state, const PostingSelection& sel)
{
    // The day before the range is read too: its hours count towards the 48
    // hours of the first day.
    PostingSelection from = sel;
    from.startDate = sel.startDate.addDays(-1);
    const QString dates = dateRange(QStringLiteral("Personspost.ActivityDT"), state, from);
    const QString groupOrder = QStringLiteral(
        "Group by Personspost.PersonID, Resources.RequestNumber, Resources.IncidentID, Personspost.KindCode, "
        "Personspost.ActivityDT Order by Personspost.PersonID,  Personspost.ActivityDT");
    const QString head = QStringLiteral(
        "Select Personspost.ActivityDT, sum(Personspost.Hours), Personspost.KindCode, Personspost.PersonID, "
        "Resources.RequestNumber, Resources.IncidentID FROM (Resources INNER JOIN Persons ON Resources.ResourceID = "
        "Persons.ResourceID) INNER JOIN Personspost ON Persons.PersonID = Personspost.PersonID ");

    const QString where = postingWhere(state, sel);
    return head + where + QStringLiteral("(") + dates + QStringLiteral(") ") + groupOrder;
}

QString excessHoursPostingSql(const AppState& state, const PostingSelection& sel)
{
    // The day before the range is read too, for the shifts that run into it.
    PostingSelection from = sel;
    from.startDate = sel.startDate.addDays(-1);
    const QString dates = dateRange(QStringLiteral("PersonsPost.ActivityDT"), state, from);
    const QString head = QStringLiteral(
        "Select PersonsPost.ActivityDT, PersonsPost.Hours, PersonsPost.KindCode, PersonsPost.PersonID, "
        "PersonsPost.StartTime, PersonsPost.StopTime, Resources.RequestNumber, Resources.IncidentID FROM (Resources "
        "INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) INNER JOIN PersonsPost ON Persons.PersonID = "
        "PersonsPost.PersonID ");
    const QString order = QStringLiteral("Order by PersonsPost.PersonID, PersonsPost.ActivityDT, PersonsPost.StartTime");

    const QString where = postingWhere(state, sel);
    return head + where + QStringLiteral("(") + dates + QStringLiteral(") ") + order;
}

QString reportRunCheckSql(std::int32_t run)
{
    return QStringLiteral("Select ReportRun from ReportRecords where ReportRun = ") + sqlInt(run);
}

QString reportRunDeleteSql(DbKind kind, std::int32_t run)
{
    const QString head = kind == DbKind::Access ? QStringLiteral("Delete * from ReportRecords where ReportRun = ")
                                                : QStringLiteral("Delete from ReportRecords where ReportRun = ");
    return head + sqlInt(run);
}

}  // namespace quillon
