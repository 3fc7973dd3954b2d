// The lists, check and clean-up texts of the work/rest and excess-hours
// windows. (The posting queries are tried against a database in
// analysisrun_test.cpp.)
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

}  // namespace

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
    EXPECT_EQ(excessHoursPostingSql(state(DbKind::SqlServer, false), noPerson),
              excessHoursPostingSql(state(DbKind::SqlServer, false), selection(SelectionOption::AllPersonnel)));
    EXPECT_TRUE(workRestPostingSql(state(DbKind::SqlServer, false), quoted).contains("LIKE 'O''B%' and ("));

    EXPECT_EQ(reportRunCheckSql(314).toStdString(), "Select ReportRun from ReportRecords where ReportRun = 314");
    EXPECT_EQ(reportRunDeleteSql(DbKind::SqlServer, 314).toStdString(), "Delete from ReportRecords where ReportRun = 314");
    EXPECT_EQ(reportRunDeleteSql(DbKind::Access, 314).toStdString(), "Delete * from ReportRecords where ReportRun = 314");
}
