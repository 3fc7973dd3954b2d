// Whole SQL texts of the personnel reports, written out by hand from the
// fragments each report is built of, over the branches of every report.
#include "reports/catalogue/reportplan.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace quillon;

namespace {

struct Case {
    const char* name;
    std::function<void(AppState&)> set;
    QStringList sql;  // expected text of each data set
};

// Incident 12, period June 2024.
AppState stateFor(int report)
{
    AppState s;
    s.ReportNumber = std::int16_t(report);
    s.SelectedIncidentId = 12;
    s.ReportStartDate = QDate(2024, 6, 1);
    s.ReportEndDate = QDate(2024, 6, 30);
    return s;
}

void expectSql(int report, const std::vector<Case>& cases, const OfficeNodes* offices = nullptr)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState s = stateFor(report);
        c.set(s);
        const ReportPlan plan = planReport(s, 0, offices);
        ASSERT_TRUE(plan.proceed);
        ASSERT_EQ(plan.dataSetSql.size(), c.sql.size());
        for (int i = 0; i < c.sql.size(); ++i) EXPECT_EQ(plan.dataSetSql[i].toStdString(), c.sql[i].toStdString());
    }
}

const QString R1 = QStringLiteral(
    "SELECT Incidents.IncidentName, Incidents.IncidentNumber, Persons.FirstName, Persons.LastName, ReportRecords.RequestNumber, ReportRecords.ActivityDT, ReportRecords.TotalDayHrs, ReportRecords.ExcessHrs, ReportRecords.ReportRun, ReportRecords.KindCode, ReportRecords.HR20in24, ReportRecords.HR36in48 "
    "FROM (ReportRecords ReportRecords INNER JOIN Incidents Incidents ON ReportRecords.IncidentID=Incidents.IncidentID) INNER JOIN Persons Persons ON ReportRecords.PersonID=Persons.PersonID ");
const QString R5 = QStringLiteral(
    "SELECT Incidents.IncidentName, Incidents.IncidentNumber, Persons.FirstName, Persons.LastName, ReportRecords.RequestNumber, ReportRecords.ActivityDT, ReportRecords.TotalDayHrs, ReportRecords.ExcessHrs, ReportRecords.ReportRun "
    "FROM   (ReportRecords ReportRecords INNER JOIN Incidents Incidents ON ReportRecords.IncidentID=Incidents.IncidentID) INNER JOIN Persons Persons ON ReportRecords.PersonID=Persons.PersonID ");

}  // namespace

TEST(PersonnelReportSql, WorkRestAndExcessHoursReadOneRunInTheChosenOrder)
{
    for (const auto& [report, head] : {std::pair{1, R1}, std::pair{5, R5}}) {
        SCOPED_TRACE(report);
        expectSql(report, {
            {"by request number", [](AppState& s) { s.ReportRunId = 17; s.ReportSortField = "R"; },
             {head + "Where ReportRecords.ReportRun = 17 ORDER BY ReportRecords.RequestNumber, Persons.LastName, Persons.FirstName"}},
            {"by person", [](AppState& s) { s.ReportRunId = 17; s.ReportSortField = "P"; },
             {head + "Where ReportRecords.ReportRun = 17 ORDER BY Persons.LastName, Persons.FirstName"}},
            {"no sort field", [](AppState& s) { s.ReportRunId = 17; },
             {head + "Where ReportRecords.ReportRun = 17 ORDER BY ReportRecords.ExcessHrs"}},
            {"lower-case r is no sort field", [](AppState& s) { s.ReportRunId = 70001; s.ReportSortField = "r"; },
             {head + "Where ReportRecords.ReportRun = 70001 ORDER BY ReportRecords.ExcessHrs"}},
            {"incidents as one change nothing", [](AppState& s) { s.ReportRunId = 3; s.ManageIncidentsAsOne = true; },
             {head + "Where ReportRecords.ReportRun = 3 ORDER BY ReportRecords.ExcessHrs"}},
        });
    }
}

TEST(PersonnelReportSql, CommissaryChargesFilterByIncidentUnlessManagedAsOne)
{
    const QString head = QStringLiteral(
        "Select a.activitydt, a.amt, b.lastname, b.firstname, c.RequestNumber, d.incidentname, d.incidentnumber "
        "from personsdebit a inner join persons b on a.personid = b.personid inner join resources c on b.resourceid = c.resourceid inner join incidents d on c.incidentid = d.incidentid ");
    expectSql(2, {
        {"one incident", [](AppState&) {}, {head + "WHERE c.IncidentID = 12 order by a.activitydt "}},
        {"as one: no WHERE at all", [](AppState& s) { s.ManageIncidentsAsOne = true; s.SelectedIncidentId = -1; },
         {head + " order by a.activitydt "}},
    });
}

TEST(PersonnelReportSql, SummaryOfHoursAndItsDebitSums)
{
    const QString main = QStringLiteral(
        "SELECT Incidents.IncidentName, Persons.LastName, Persons.FirstName, PersonsPost.PersonID, PersonsPost.KindCode, Persons.SSN, PersonsPost.Hours, Incidents.IncidentNumber, Incidents.IncidentID "
        "FROM ((Incidents Incidents INNER JOIN Resources Resources ON Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON Resources.ResourceID=Persons.ResourceID) INNER JOIN PersonsPost PersonsPost ON Persons.PersonID=PersonsPost.PersonID ");
    const QString order = QStringLiteral("ORDER BY Persons.LastName, Persons.FirstName");
    const QString sub = QStringLiteral("SELECT sum(PersonsDebit.Amt) as Amt, PersonsDebit.PersonID FROM PersonsDebit PersonsDebit ");
    const QString group = QStringLiteral(" group by PersonsDebit.PersonID order by PersonsDebit.PersonID");
    expectSql(3, {
        {"all persons of the incident", [](AppState&) {},
         {main + "Where Incidents.IncidentID = 12 " + order, sub + group}},
        {"all persons of all incidents", [](AppState& s) { s.ManageIncidentsAsOne = true; },
         {main + order, sub + group}},
        {"one person keeps the incident condition even as one", [](AppState& s) { s.ManageIncidentsAsOne = true; s.SelectedPersonId = 55; },
         {main + "Where Incidents.IncidentID = 12 And PersonsPost.PersonID = 55 " + order,
          sub + " WHERE PersonsDebit.PersonID = 55 " + group}},
    });
}

TEST(PersonnelReportSql, Of288PostingsAndDebitsByChoiceAndPrintMode)
{
    const QString main = QStringLiteral(
        "SELECT R.ResourceID, PP.KindCode, R.RequestNumber, R.Collection, P.PersonID, P.FirstName, P.LastName, "
        "P.SSN, P.MailAddr1, P.MailAddr2, P.City, P.State, P.ZipCode, P.InitEmployYN, P.PointOfHire, "
        "P.ReturnTravelYN, P.FedCode, P.Remarks, PP.KindCode, P.ResourceID, PP.PersonsPostID, PP.PersonID, "
        "PP.PremiumCode, PP.Class, PP.Rate, PP.ActivityDT, PP.StartTime, PP.StopTime, PP.Hours, "
        "PP.Column288, PP.RptOrder, PP.AccountingID, AC.AccountingCode, AC.AccountingID, AC.IncidentID, "
        "i.IncidentID , i.IncidentNumber, i.IncidentName, i.IncidentLocation, i.IncidentState, R.Name, "
        "P.FaxPhone, P.Phone, PP.FinalCol, T.PrevInvoices, T.InvoiceNum, T.Original, T.Lastdate, T.EndDate "
        "From Resources R INNER JOIN Persons P ON R.ResourceID = P.ResourceID INNER JOIN "
        "PersonsPost PP ON P.PersonID = PP.PersonID INNER JOIN AccountingCodes AC ON PP.AccountingID = AC.AccountingID INNER JOIN "
        "Incidents I ON AC.IncidentID = I.IncidentID Left Outer Join #tmp T ON P.PersonID = T.PersonID ");
    const QString order = QStringLiteral(
        " Order By R.RequestNumber ASC, PP.PersonID ASC, PP.Column288 ASC, PP.ActivityDT ASC, AC.AccountingCode ASC, "
        "PP.Rate ASC, I.IncidentName ASC, PP.RptOrder ASC, PP.StartTime ASC, PP.StopTime ASC");
    const QString openPosts = QStringLiteral("(PP.ActivityDT <= '6/30/2024' OR FinalCol = 1) AND (PP.InvoiceID is Null or PP.InvoiceID = 0) ");
    const QString tmpPosts = QStringLiteral("((PP.InvoiceID in (Select InvoiceID from #tmp)) OR FinalCol = 1)");
    const QString sub = QStringLiteral(
        "SELECT PD.PersonID, SUM(PD.Amt) as DebitAmt FROM PersonsDebit PD INNER JOIN Persons P ON PD.PersonID = P.PersonID INNER JOIN "
        "Resources R ON P.ResourceID = R.ResourceID ");
    const QString openDebits = QStringLiteral("PD.ActivityDT <= '6/30/2024' AND (PD.InvoiceID is Null or PD.InvoiceID = 0) ");
    const QString tmpDebits = QStringLiteral("PD.InvoiceID in (Select InvoiceID from #tmp)");
    const QString group = QStringLiteral(" GROUP BY PD.PersonID");
    const QString crewDebits = QStringLiteral(" WHERE PD.PersonID IN(Select P.PersonID from Persons P WHERE P.ResourceID= 300)");

    expectSql(6, {
        {"crew, draft", [](AppState& s) { s.SelectedResourceId = 300; s.InvoicePrintMode = 1; },
         {main + "WHERE R.ResourceID = 300 AND I.IncidentID = 12 AND " + openPosts + order,
          sub + crewDebits + " AND (R.IncidentID = 12) AND " + openDebits + group}},
        {"crew wins over person", [](AppState& s) { s.SelectedResourceId = 300; s.SelectedPersonId = 55; s.InvoicePrintMode = 2; },
         {main + "WHERE R.ResourceID = 300 AND I.IncidentID = 12 AND " + openPosts + order,
          sub + crewDebits + " AND (R.IncidentID = 12) AND " + openDebits + group}},
        {"person, original, as one", [](AppState& s) { s.SelectedPersonId = 55; s.InvoicePrintMode = 2; s.ManageIncidentsAsOne = true; },
         {main + "WHERE P.PersonID = 55 AND " + openPosts + order,
          sub + "WHERE PD.PersonID = 55 AND " + openDebits + group}},
        {"whole incident, duplicate", [](AppState& s) { s.InvoicePrintMode = 3; },
         {main + " WHERE I.IncidentID = 12 AND " + tmpPosts + order,
          sub + " WHERE (R.IncidentID = 12) AND " + tmpDebits + group}},
        {"mode 0: postings of #tmp but open debits", [](AppState& s) { s.SelectedPersonId = 55; },
         {main + "WHERE P.PersonID = 55 AND I.IncidentID = 12 AND " + tmpPosts + order,
          sub + "WHERE PD.PersonID = 55 AND (R.IncidentID = 12) AND " + openDebits + group}},
        {"mode 4 counts as a duplicate", [](AppState& s) { s.SelectedPersonId = 55; s.InvoicePrintMode = 4; },
         {main + "WHERE P.PersonID = 55 AND I.IncidentID = 12 AND " + tmpPosts + order,
          sub + "WHERE PD.PersonID = 55 AND (R.IncidentID = 12) AND " + tmpDebits + group}},
        {"negative keys count as none", [](AppState& s) { s.SelectedResourceId = -3; s.SelectedPersonId = -1; s.InvoicePrintMode = 1; },
         {main + " WHERE I.IncidentID = 12 AND " + openPosts + order,
          sub + " WHERE (R.IncidentID = 12) AND " + openDebits + group}},
        // Nothing chosen and no incident filter: the first condition opens
        // the WHERE clause instead of following a WHERE that is not there.
        {"as one, nothing chosen, draft", [](AppState& s) { s.ManageIncidentsAsOne = true; s.InvoicePrintMode = 1; },
         {main + " WHERE " + openPosts + order, sub + " WHERE " + openDebits + group}},
        {"as one, nothing chosen, duplicate", [](AppState& s) { s.ManageIncidentsAsOne = true; s.InvoicePrintMode = 3; },
         {main + " WHERE " + tmpPosts + order, sub + " WHERE " + tmpDebits + group}},
    });
}

TEST(PersonnelReportSql, CommissaryAuthorizationByPersonCrewOrEveryone)
{
    const QString head = QStringLiteral(
        "SELECT Resources.RequestNumber, Resources.Name, Persons.SSN, Persons.InitEmployYN, Persons.FedCode, Persons.PersonID, Persons.FirstName, Persons.LastName, Incidents.IncidentID, Resources.ResourceID, Persons.PointOfHire, Persons.ReturnTravelYN, Persons.MailAddr1, Persons.MailAddr2, Persons.City, Persons.State, Persons.ZipCode "
        "FROM (Incidents Incidents INNER JOIN Resources Resources ON Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON Resources.ResourceID=Persons.ResourceID ");
    expectSql(9, {
        {"person wins over crew", [](AppState& s) { s.SelectedPersonId = 55; s.SelectedResourceId = 300; },
         {head + "WHERE Persons.PersonID = 55 AND Incidents.IncidentID = 12"}},
        {"crew, as one", [](AppState& s) { s.SelectedResourceId = 300; s.ManageIncidentsAsOne = true; },
         {head + "WHERE Persons.ResourceID = 300"}},
        {"everyone", [](AppState&) {},
         {head + "WHERE Resources.ResourceID IN (SELECT Persons.ResourceID FROM Persons) AND Incidents.IncidentID = 12"}},
    });
}

TEST(PersonnelReportSql, CrewRosterOfOneCrew)
{
    const QString head = QStringLiteral(
        "SELECT Incidents.IncidentName, Incidents.IncidentNumber, Resources.RequestNumber, Resources.Name, Persons.LastName, Persons.FirstName, Persons.SSN, Persons.PStatus, Persons.FedCode, Persons.KindCode, Resources.IncidentID, Resources.ResourceID "
        "FROM (Incidents Incidents INNER JOIN Resources Resources ON Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON Resources.ResourceID=Persons.ResourceID ");
    expectSql(12, {
        {"in the incident", [](AppState& s) { s.SelectedResourceId = 300; },
         {head + " WHERE Resources.ResourceID = 300 AND Resources.IncidentID = 12"}},
        {"as one", [](AppState& s) { s.SelectedResourceId = 300; s.ManageIncidentsAsOne = true; },
         {head + " WHERE Resources.ResourceID = 300"}},
    });
}

TEST(PersonnelReportSql, CommissaryDetailByChoiceAndPrintMode)
{
    const QString head = QStringLiteral(
        "SELECT Incidents.IncidentNumber, Incidents.IncidentName, Incidents.IncidentLocation, "
        "qrySelectPersonnel.RequestNumber, qrySelectPersonnel.PersonID, qrySelectPersonnel.FirstName, "
        "qrySelectPersonnel.LastName, qrySelectPersonnel.MailAddr1, qrySelectPersonnel.MailAddr2, "
        "qrySelectPersonnel.City, qrySelectPersonnel.State, qrySelectPersonnel.ZipCode, "
        "qrySelectPersonnel.fSSN, PersonsDebit.ActivityDT, PersonsDebit.Description, PersonsDebit.Amt, "
        "Incidents.IncidentState, Incidents.IncidentID, qrySelectPersonnel.RResourceID, "
        "qrySelectPersonnel.AccountingCode, T.InvoiceNum, T.Original, T.LastDate, T.EndDate "
        "FROM (qrySelectPersonnel qrySelectPersonnel INNER JOIN Incidents Incidents ON qrySelectPersonnel.IncidentID=Incidents.IncidentID) "
        "INNER JOIN PersonsDebit PersonsDebit ON qrySelectPersonnel.PersonID=PersonsDebit.PersonID "
        "Left Outer Join #Tmp T ON PersonsDebit.PersonID = T.PersonID ");
    const QString amt = QStringLiteral("(PersonsDebit.Amt Is Not Null Or PersonsDebit.Amt > 0) ");
    const QString open = QStringLiteral(" AND PersonsDebit.ActivityDT <= '6/30/2024' AND (PersonsDebit.InvoiceID is Null or PersonsDebit.InvoiceID = 0) ");
    const QString order = QStringLiteral(" ORDER BY qrySelectPersonnel.PersonID");
    expectSql(14, {
        {"person, draft", [](AppState& s) { s.SelectedPersonId = 55; s.InvoicePrintMode = 1; },
         {head + "Where qrySelectPersonnel.PersonID = 55 And " + amt + " AND Incidents.IncidentID = 12" + open + order}},
        {"crew, duplicate, as one", [](AppState& s) { s.SelectedResourceId = 300; s.InvoicePrintMode = 3; s.ManageIncidentsAsOne = true; },
         {head + "Where qrySelectPersonnel.ResourceID = 300 And " + amt + " AND PersonsDebit.InvoiceID in (Select InvoiceId From #tmp)" + order}},
        {"everyone, mode 0", [](AppState&) {},
         {head + "Where " + amt + " AND Incidents.IncidentID = 12" + open + order}},
    });
}

TEST(PersonnelReportSql, PersonnelTimeReportSelectsCheckedOfficesOrTheFaxedNumber)
{
    const QString head = QStringLiteral(
        "select p.personid, p.lastname+', '+p.firstname as FullName, p.faxphone, pp.activitydt, pp.starttime, pp.stoptime, pp.Hours, pp.premiumcode, a.accountingcode");
    const QString oneIncident = QStringLiteral(", i.incidentname + '   ' + i.incidentnumber as Incident ");
    const QString asOne = QStringLiteral(", 'Multiple Incidents' as Incident ");
    const QString from = QStringLiteral(
        "from persons p inner join personspost pp on p.personid=pp.personid inner join accountingcodes a on pp.accountingid=a.accountingid inner join "
        "incidents i on a.incidentid= i.incidentid where len(p.faxphone)=10 and p.fedcode<>'AD' and p.pstatus <> 'D' and "
        "pp.activitydt Between '6/1/2024' and '6/30/2024'");

    // Agency, office, person, unchecked office, checked office with its person.
    OfficeNodeList tree;
    tree.add("Agency", true);
    tree.add("1234567890", true);
    tree.add("", true);
    tree.add("2223334444", false);
    tree.add("5556667777", true);
    tree.add("", false);
    expectSql(15, {
        {"checked offices in tree order", [](AppState&) {},
         {head + oneIncident + from + " and a.incidentid = 12 and (p.faxphone = '1234567890' or p.faxphone = '5556667777')"}},
        {"faxing selects the current number only", [](AppState& s) { s.FaxMode = true; s.CurrentFaxNumber = "2223334444"; },
         {head + oneIncident + from + " and a.incidentid = 12 and (p.faxphone = '2223334444')"}},
        {"a quote in the fax number stays inside the literal", [](AppState& s) { s.FaxMode = true; s.CurrentFaxNumber = "1' or '1'='1"; },
         {head + oneIncident + from + " and a.incidentid = 12 and (p.faxphone = '1'' or ''1''=''1')"}},
    }, &tree);

    OfficeNodeList ab;
    ab.add("A", true);
    ab.add("B", true);
    ab.add("O'Neil", true);
    expectSql(15, {
        {"as one", [](AppState& s) { s.ManageIncidentsAsOne = true; },
         {head + asOne + from + " and (p.faxphone = 'A' or p.faxphone = 'B' or p.faxphone = 'O''Neil')"}},
    }, &ab);

    OfficeNodeList none;
    none.add("Agency", true);
    none.add("1234567890", false);
    expectSql(15, {
        {"nothing checked", [](AppState&) {}, {head + oneIncident + from + " and a.incidentid = 12 and ()"}},
    }, &none);
    expectSql(15, {
        {"no tree", [](AppState&) {}, {head + oneIncident + from + " and a.incidentid = 12 and ()"}},
    });
}
