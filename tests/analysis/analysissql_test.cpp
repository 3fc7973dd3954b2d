// Whole SQL texts of the work/rest and excess-hours windows, written out by
// hand from the fragments they are built of, for every branch and both kinds
// of database.
#include "analysis/analysissql.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

AppState state(DbKind kind, bool asOne)
{
    AppState s;
    s.DatabaseKind = kind;
    s.ManageIncidentsAsOne = asOne;
    s.SelectedIncidentId = 7;
    return s;
}

PostingSelection selection(SelectionOption option)
{
    PostingSelection sel;
    sel.option = option;
    sel.requestNumber = QStringLiteral("C1");
    sel.personId = 42;
    sel.startDate = QDate(2024, 6, 1);
    sel.endDate = QDate(2024, 6, 30);
    return sel;
}

// The Access form of a text: the same with # around the two dates.
std::string accessDates(std::string s)
{
    for (const std::string d : {"6/1/2024", "6/30/2024"}) {
        const std::string from = "'" + d + "'", to = "#" + d + "#";
        for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at)) s.replace(at, from.size(), to);
    }
    return s;
}

const std::string WR_REQ =
    "Select Personspost.ActivityDT, sum(Personspost.Hours), Personspost.Kindcode, Personspost.PersonID, Resources.RequestNumber FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID )INNER JOIN Personspost ON Persons.PersonID = Personspost.PersonID WHERE Resources.IncidentID = 7 and Resources.RequestNumber  LIKE 'C1%' and (Personspost.ActivityDT >= '6/1/2024' and Personspost.ActivityDT <= '6/30/2024') Group by Personspost.PersonID, Resources.RequestNumber, Personspost.KindCode, Personspost.ActivityDT Order by Personspost.PersonID, Personspost.ActivityDT";
const std::string WR_HEAD =
    "Select Personspost.ActivityDT, sum(Personspost.Hours), Personspost.KindCode, Personspost.PersonID, Resources.RequestNumber  FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) INNER JOIN Personspost ON Persons.PersonID = Personspost.PersonID ";
const std::string WR_TAIL =
    "Group by Personspost.PersonID, Resources.RequestNumber, Personspost.KindCode, Personspost.ActivityDT Order by Personspost.PersonID,  Personspost.ActivityDT";
const std::string WR_DATES = "(Personspost.ActivityDT >= '6/1/2024' and Personspost.ActivityDT <= '6/30/2024') ";
const std::string WR_PERSON = WR_HEAD + "WHERE Persons.PersonID = 42and " + WR_DATES + WR_TAIL;
const std::string WR_ALL_INCIDENT = WR_HEAD + "WHERE Resources.IncidentID = 7and " + WR_DATES + WR_TAIL;
const std::string WR_ALL_ASONE = WR_HEAD + "WHERE " + WR_DATES + WR_TAIL;

const std::string EH_REQ_HEAD =
    "Select PersonsPost.ActivityDT, PersonsPost.Hours, PersonsPost.KindCode, PersonsPost.PersonID, PersonsPost.StartTime, PersonsPost.StopTime, Resources.RequestNumber FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID )INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID WHERE ";
const std::string EH_REQ_TAIL =
    "Resources.RequestNumber LIKE 'C1%'and (PersonsPost.ActivityDT >= '6/1/2024' and PersonsPost.ActivityDT <= '6/30/2024')Order by PersonsPost.PersonID, PersonsPost.ActivityDT, PersonsPost.StartTime";
const std::string EH_REQ_ASONE = EH_REQ_HEAD + EH_REQ_TAIL;
const std::string EH_REQ_INCIDENT = EH_REQ_HEAD + "Resources.IncidentID = 7 and " + EH_REQ_TAIL;
const std::string EH_FROM =
    " FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID ";
const std::string EH_DATES = "(PersonsPost.ActivityDT >= '6/1/2024' and PersonsPost.ActivityDT <= '6/30/2024') ";
const std::string EH_ORDER = "Order by PersonsPost.PersonID,  PersonsPost.ActivityDT, PersonsPost.StartTime";
const std::string EH_PERSON =
    "Select PersonsPost.ActivityDT, PersonsPost.Hours, PersonsPost.KindCode, PersonsPost.PersonID, PersonsPost.StartTime, PersonsPost.StopTime, Resources.RequestNumber "
    + EH_FROM + "WHERE Persons.PersonID = 42and " + EH_DATES + EH_ORDER;
const std::string EH_ALL_HEAD =
    "Select PersonsPost.ActivityDT, PersonsPost.Hours, PersonsPost.KindCode,PersonsPost.PersonID, PersonsPost.StartTime, PersonsPost.StopTime, Resources.RequestNumber "
    + EH_FROM;
const std::string EH_ALL_ASONE = EH_ALL_HEAD + "WHERE " + EH_DATES + EH_ORDER;
const std::string EH_ALL_INCIDENT = EH_ALL_HEAD + "WHERE Resources.IncidentID = 7and " + EH_DATES + EH_ORDER;

struct Case {
    SelectionOption option;
    bool asOne;
    std::string sqlServer;
    std::string access;   // empty: the SQL Server text with # around the dates
};

void expectPostingSql(QString (*build)(const AppState&, const PostingSelection&), const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << int(c.option) << (c.asOne ? " as one" : " one incident"));
        EXPECT_EQ(build(state(DbKind::SqlServer, c.asOne), selection(c.option)).toStdString(), c.sqlServer);
        EXPECT_EQ(build(state(DbKind::Access, c.asOne), selection(c.option)).toStdString(),
                  c.access.empty() ? accessDates(c.sqlServer) : c.access);
    }
}

}  // namespace

TEST(AnalysisSql, WorkRestPostingQueryOfEveryBranch)
{
    expectPostingSql(workRestPostingSql, {
        {SelectionOption::RequestNumber, false, WR_REQ, {}},
        {SelectionOption::RequestNumber, true, WR_REQ, {}},   // stays within the incident
        {SelectionOption::Person, false, WR_PERSON, {}},
        {SelectionOption::AllPersonnel, false, WR_ALL_INCIDENT, {}},
        {SelectionOption::None, false, WR_ALL_INCIDENT, {}},
        {SelectionOption::None, true, WR_ALL_ASONE, accessDates(WR_ALL_INCIDENT)},
        // Access keeps the incident filter even for all incidents.
        {SelectionOption::AllPersonnel, true, WR_ALL_ASONE, accessDates(WR_ALL_INCIDENT)},
    });
}

TEST(AnalysisSql, ExcessHoursPostingQueryOfEveryBranch)
{
    expectPostingSql(excessHoursPostingSql, {
        {SelectionOption::RequestNumber, false, EH_REQ_INCIDENT, {}},
        {SelectionOption::RequestNumber, true, EH_REQ_ASONE, {}},
        {SelectionOption::Person, false, EH_PERSON, {}},
        {SelectionOption::AllPersonnel, false, EH_ALL_INCIDENT, {}},
        {SelectionOption::AllPersonnel, true, EH_ALL_ASONE, {}},
        {SelectionOption::Person, true, EH_PERSON, {}},
    });
}

TEST(AnalysisSql, ListsCheckAndCleanUp)
{
    for (DbKind kind : {DbKind::SqlServer, DbKind::Access}) {
        EXPECT_EQ(personListSql(state(kind, true)).toStdString(),
                  "Select LastName+', '+FirstName  as strName,PersonID FROM Persons WHERE ResourceID IN (Select ResourceID FROM Resources) Order by LastName, FirstName");
        EXPECT_EQ(personListSql(state(kind, false)).toStdString(),
                  "Select LastName+', '+FirstName  as strName,PersonID FROM Persons WHERE ResourceID IN (Select ResourceID FROM Resources WHERE IncidentID = 7) Order by LastName, FirstName");
        EXPECT_EQ(requestNumberListSql(state(kind, true)).toStdString(),
                  "Select Distinct RequestNumber, dbo.f_SortRequestNumber(RequestNumber) as reqnum, Left(RequestNumber, 1) As reqcat From Resources Order by reqcat, reqnum");
        EXPECT_EQ(requestNumberListSql(state(kind, false)).toStdString(),
                  "Select Distinct RequestNumber, dbo.f_SortRequestNumber(RequestNumber) as reqnum, Left(RequestNumber, 1) As reqcat From Resources WHERE IncidentID = 7 Order by reqcat, reqnum");
    }
    // An option without its choice runs for all personnel; typed quotes are doubled.
    PostingSelection noPerson = selection(SelectionOption::Person), quoted = selection(SelectionOption::RequestNumber);
    noPerson.personId = 0;
    quoted.requestNumber = QStringLiteral("O'B");
    EXPECT_EQ(excessHoursPostingSql(state(DbKind::SqlServer, false), noPerson).toStdString(), EH_ALL_INCIDENT);
    EXPECT_TRUE(workRestPostingSql(state(DbKind::SqlServer, false), quoted).contains("LIKE 'O''B%' and ("));

    EXPECT_EQ(reportRunCheckSql(314).toStdString(), "Select ReportRun from ReportRecords where ReportRun = 314");
    EXPECT_EQ(reportRunDeleteSql(DbKind::SqlServer, 314).toStdString(), "Delete from ReportRecords where ReportRun = 314");
    EXPECT_EQ(reportRunDeleteSql(DbKind::Access, 314).toStdString(), "Delete * from ReportRecords where ReportRun = 314");
}
