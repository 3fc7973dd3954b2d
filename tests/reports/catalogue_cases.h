#pragma once
// The branches of every report's SQL as one table, shared by the suites that
// compare the whole texts and the suite that runs them on the embedded engine.
// Each case starts from baseState() (incident 12, equipment 42, June 2024),
// changes what it names, and gives the text of each data set written out by
// hand from the fragments the report is built of.

#include "reports/catalogue/reportplan.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quillon::catalogue_cases {

// Above 32767, so that a key cut to 16 bits would show in the texts.
constexpr std::int32_t kInvoiceKey = 40001;

using OfficeTree = std::vector<std::pair<QString, bool>>;  // tag, checked

struct SqlCase {
    int report = 0;
    const char* name = "";
    std::function<void(AppState&)> set;
    QStringList sql;                  // expected text of each data set
    QString title;                    // checked when not empty
    std::optional<OfficeTree> offices; // report 15's office tree; none: no tree at all
    bool builderRefuses = false;      // the text would select by nothing; the builder says so instead
};

inline AppState baseState(int report)
{
    AppState s;
    s.ReportNumber = std::int16_t(report);
    s.SelectedIncidentId = 12;
    s.SelectedEquipmentId = 42;
    s.ReportStartDate = QDate(2024, 6, 1);
    s.ReportEndDate = QDate(2024, 6, 30);
    return s;
}

// The case's state, office tree and plan.
struct PlannedCase {
    AppState state;
    std::unique_ptr<OfficeNodeList> offices;
    ReportPlan plan;
};

inline PlannedCase planCase(const SqlCase& c)
{
    PlannedCase p;
    p.state = baseState(c.report);
    if (c.set) c.set(p.state);
    if (c.offices) {
        p.offices = std::make_unique<OfficeNodeList>();
        for (const auto& [tag, checked] : *c.offices) p.offices->add(tag, checked);
    }
    p.plan = planReport(p.state, kInvoiceKey, p.offices.get());
    return p;
}

namespace detail {

inline std::vector<SqlCase> workRestAndExcessHours()
{
    const QString r1 = QStringLiteral(
        "SELECT Incidents.IncidentName, Incidents.IncidentNumber, Persons.FirstName, Persons.LastName, ReportRecords.RequestNumber, ReportRecords.ActivityDT, ReportRecords.TotalDayHrs, ReportRecords.ExcessHrs, ReportRecords.ReportRun, ReportRecords.KindCode, ReportRecords.HR20in24, ReportRecords.HR36in48, ReportRecords.PersonID, ReportRecords.IncidentID "
        "FROM (ReportRecords ReportRecords INNER JOIN Incidents Incidents ON ReportRecords.IncidentID=Incidents.IncidentID) INNER JOIN Persons Persons ON ReportRecords.PersonID=Persons.PersonID ");
    const QString r5 = QStringLiteral(
        "SELECT Incidents.IncidentName, Incidents.IncidentNumber, Persons.FirstName, Persons.LastName, ReportRecords.RequestNumber, ReportRecords.ActivityDT, ReportRecords.TotalDayHrs, ReportRecords.ExcessHrs, ReportRecords.ReportRun, ReportRecords.PersonID, ReportRecords.IncidentID "
        "FROM   (ReportRecords ReportRecords INNER JOIN Incidents Incidents ON ReportRecords.IncidentID=Incidents.IncidentID) INNER JOIN Persons Persons ON ReportRecords.PersonID=Persons.PersonID ");
    // Every order ends on the person's key and the date; request numbers in
    // their natural order.
    const QString person = QStringLiteral("Persons.LastName, Persons.FirstName, ReportRecords.PersonID, ReportRecords.ActivityDT");
    std::vector<SqlCase> cases;
    for (const auto& [report, head] : {std::pair{1, r1}, std::pair{5, r5}}) {
        const std::vector<SqlCase> one = {
            {report, "by request number", [](AppState& s) { s.ReportRunId = 17; s.ReportSortField = "R"; },
             {head + "Where ReportRecords.ReportRun = 17 ORDER BY dbo.f_SortRequestNumber(ReportRecords.RequestNumber), " + person}},
            {report, "by person", [](AppState& s) { s.ReportRunId = 17; s.ReportSortField = "P"; },
             {head + "Where ReportRecords.ReportRun = 17 ORDER BY " + person}},
            {report, "no sort field", [](AppState& s) { s.ReportRunId = 17; },
             {head + "Where ReportRecords.ReportRun = 17 ORDER BY ReportRecords.ExcessHrs, " + person}},
            {report, "lower-case r is no sort field", [](AppState& s) { s.ReportRunId = 70001; s.ReportSortField = "r"; },
             {head + "Where ReportRecords.ReportRun = 70001 ORDER BY ReportRecords.ExcessHrs, " + person}},
            {report, "incidents as one change nothing", [](AppState& s) { s.ReportRunId = 3; s.ManageIncidentsAsOne = true; },
             {head + "Where ReportRecords.ReportRun = 3 ORDER BY ReportRecords.ExcessHrs, " + person}},
        };
        cases.insert(cases.end(), one.begin(), one.end());
    }
    return cases;
}

inline std::vector<SqlCase> commissaryCharges()
{
    const QString head = QStringLiteral(
        "Select a.activitydt, a.amt, b.lastname, b.firstname, c.RequestNumber, d.incidentname, d.incidentnumber "
        "from personsdebit a inner join persons b on a.personid = b.personid inner join resources c on b.resourceid = c.resourceid inner join incidents d on c.incidentid = d.incidentid ");
    return {
        {2, "one incident", {}, {head + "WHERE c.IncidentID = 12 order by a.activitydt "}},
        {2, "as one: no WHERE at all", [](AppState& s) { s.ManageIncidentsAsOne = true; s.SelectedIncidentId = -1; },
         {head + " order by a.activitydt "}},
    };
}

inline std::vector<SqlCase> summaryOfHours()
{
    const QString main = QStringLiteral(
        "SELECT Incidents.IncidentName, Persons.LastName, Persons.FirstName, PersonsPost.PersonID, PersonsPost.KindCode, Persons.SSN, PersonsPost.Hours, Incidents.IncidentNumber, Incidents.IncidentID "
        "FROM ((Incidents Incidents INNER JOIN Resources Resources ON Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON Resources.ResourceID=Persons.ResourceID) INNER JOIN PersonsPost PersonsPost ON Persons.PersonID=PersonsPost.PersonID ");
    const QString order = QStringLiteral("ORDER BY Persons.LastName, Persons.FirstName");
    const QString sub = QStringLiteral("SELECT sum(PersonsDebit.Amt) as Amt, PersonsDebit.PersonID FROM PersonsDebit PersonsDebit ");
    const QString group = QStringLiteral(" group by PersonsDebit.PersonID order by PersonsDebit.PersonID");
    return {
        {3, "all persons of the incident", {}, {main + "Where Incidents.IncidentID = 12 " + order, sub + group}},
        {3, "all persons of all incidents", [](AppState& s) { s.ManageIncidentsAsOne = true; }, {main + order, sub + group}},
        {3, "one person of the incident", [](AppState& s) { s.SelectedPersonId = 55; },
         {main + "Where Incidents.IncidentID = 12 And PersonsPost.PersonID = 55 " + order,
          sub + " WHERE PersonsDebit.PersonID = 55 " + group}},
        {3, "one person of all incidents", [](AppState& s) { s.ManageIncidentsAsOne = true; s.SelectedPersonId = 55; },
         {main + "Where PersonsPost.PersonID = 55 " + order, sub + " WHERE PersonsDebit.PersonID = 55 " + group}},
    };
}

inline std::vector<SqlCase> of288()
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
        "PersonsPost PP ON P.PersonID = PP.PersonID LEFT OUTER JOIN AccountingCodes AC ON PP.AccountingID = AC.AccountingID "
        "AND AC.IncidentID = R.IncidentID INNER JOIN Incidents I ON R.IncidentID = I.IncidentID "
        "Left Outer Join #tmp T ON P.PersonID = T.PersonID ");
    const QString order = QStringLiteral(
        " Order By R.RequestNumber ASC, PP.PersonID ASC, PP.Column288 ASC, PP.ActivityDT ASC, AC.AccountingCode ASC, "
        "PP.Rate ASC, I.IncidentName ASC, PP.RptOrder ASC, PP.StartTime ASC, PP.StopTime ASC");
    const QString openPosts = QStringLiteral("(PP.ActivityDT <= '6/30/2024' OR FinalCol = 1) AND (PP.InvoiceID is Null or PP.InvoiceID = 0) ");
    const QString tmpPosts = QStringLiteral("PP.InvoiceID in (Select InvoiceID from #tmp Where InvoiceID <> 0)");
    const QString sub = QStringLiteral(
        "SELECT PD.PersonID, SUM(PD.Amt) as DebitAmt FROM PersonsDebit PD INNER JOIN Persons P ON PD.PersonID = P.PersonID INNER JOIN "
        "Resources R ON P.ResourceID = R.ResourceID ");
    const QString openDebits = QStringLiteral("PD.ActivityDT <= '6/30/2024' AND (PD.InvoiceID is Null or PD.InvoiceID = 0) ");
    const QString tmpDebits = QStringLiteral("PD.InvoiceID in (Select InvoiceID from #tmp Where InvoiceID <> 0)");
    const QString group = QStringLiteral(" GROUP BY PD.PersonID");
    const QString crewDebits = QStringLiteral(" WHERE PD.PersonID IN(Select P.PersonID from Persons P WHERE P.ResourceID= 300)");
    return {
        {6, "crew, draft", [](AppState& s) { s.SelectedResourceId = 300; s.InvoicePrintMode = 1; },
         {main + "WHERE R.ResourceID = 300 AND I.IncidentID = 12 AND " + openPosts + order,
          sub + crewDebits + " AND (R.IncidentID = 12) AND " + openDebits + group}},
        {6, "crew wins over person", [](AppState& s) { s.SelectedResourceId = 300; s.SelectedPersonId = 55; s.InvoicePrintMode = 2; },
         {main + "WHERE R.ResourceID = 300 AND I.IncidentID = 12 AND " + openPosts + order,
          sub + crewDebits + " AND (R.IncidentID = 12) AND " + openDebits + group}},
        {6, "person, original, as one",
         [](AppState& s) { s.SelectedPersonId = 55; s.InvoicePrintMode = 2; s.ManageIncidentsAsOne = true; },
         {main + "WHERE P.PersonID = 55 AND " + openPosts + order, sub + "WHERE PD.PersonID = 55 AND " + openDebits + group}},
        {6, "whole incident, duplicate", [](AppState& s) { s.InvoicePrintMode = 3; },
         {main + " WHERE I.IncidentID = 12 AND " + tmpPosts + order,
          sub + " WHERE (R.IncidentID = 12) AND " + tmpDebits + group}},
        {6, "mode 0: postings of #tmp but open debits", [](AppState& s) { s.SelectedPersonId = 55; },
         {main + "WHERE P.PersonID = 55 AND I.IncidentID = 12 AND " + tmpPosts + order,
          sub + "WHERE PD.PersonID = 55 AND (R.IncidentID = 12) AND " + openDebits + group}},
        {6, "mode 4 counts as a duplicate", [](AppState& s) { s.SelectedPersonId = 55; s.InvoicePrintMode = 4; },
         {main + "WHERE P.PersonID = 55 AND I.IncidentID = 12 AND " + tmpPosts + order,
          sub + "WHERE PD.PersonID = 55 AND (R.IncidentID = 12) AND " + tmpDebits + group}},
        {6, "negative keys count as none",
         [](AppState& s) { s.SelectedResourceId = -3; s.SelectedPersonId = -1; s.InvoicePrintMode = 1; },
         {main + " WHERE I.IncidentID = 12 AND " + openPosts + order,
          sub + " WHERE (R.IncidentID = 12) AND " + openDebits + group}},
        // Nothing chosen and no incident filter: the first condition opens
        // the WHERE clause instead of following a WHERE that is not there.
        {6, "as one, nothing chosen, draft", [](AppState& s) { s.ManageIncidentsAsOne = true; s.InvoicePrintMode = 1; },
         {main + " WHERE " + openPosts + order, sub + " WHERE " + openDebits + group}},
        {6, "as one, nothing chosen, duplicate", [](AppState& s) { s.ManageIncidentsAsOne = true; s.InvoicePrintMode = 3; },
         {main + " WHERE " + tmpPosts + order, sub + " WHERE " + tmpDebits + group}},
    };
}

inline std::vector<SqlCase> commissaryAuthorization()
{
    const QString head = QStringLiteral(
        "SELECT Resources.RequestNumber, Resources.Name, Persons.SSN, Persons.InitEmployYN, Persons.FedCode, Persons.PersonID, Persons.FirstName, Persons.LastName, Incidents.IncidentID, Resources.ResourceID, Persons.PointOfHire, Persons.ReturnTravelYN, Persons.MailAddr1, Persons.MailAddr2, Persons.City, Persons.State, Persons.ZipCode "
        "FROM (Incidents Incidents INNER JOIN Resources Resources ON Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON Resources.ResourceID=Persons.ResourceID ");
    return {
        {9, "person wins over crew", [](AppState& s) { s.SelectedPersonId = 55; s.SelectedResourceId = 300; },
         {head + "WHERE Persons.PersonID = 55 AND Incidents.IncidentID = 12"}},
        {9, "crew, as one", [](AppState& s) { s.SelectedResourceId = 300; s.ManageIncidentsAsOne = true; },
         {head + "WHERE Persons.ResourceID = 300"}},
        {9, "everyone", {},
         {head + "WHERE Resources.ResourceID IN (SELECT Persons.ResourceID FROM Persons) AND Incidents.IncidentID = 12"}},
    };
}

inline std::vector<SqlCase> crewRoster()
{
    const QString head = QStringLiteral(
        "SELECT Incidents.IncidentName, Incidents.IncidentNumber, Resources.RequestNumber, Resources.Name, Persons.LastName, Persons.FirstName, Persons.SSN, Persons.PStatus, Persons.FedCode, Persons.KindCode, Resources.IncidentID, Resources.ResourceID "
        "FROM (Incidents Incidents INNER JOIN Resources Resources ON Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON Resources.ResourceID=Persons.ResourceID ");
    return {
        {12, "in the incident", [](AppState& s) { s.SelectedResourceId = 300; },
         {head + " WHERE Resources.ResourceID = 300 AND Resources.IncidentID = 12"}},
        {12, "as one", [](AppState& s) { s.SelectedResourceId = 300; s.ManageIncidentsAsOne = true; },
         {head + " WHERE Resources.ResourceID = 300"}},
    };
}

inline std::vector<SqlCase> commissaryDetail()
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
    const QString open = QStringLiteral(" AND PersonsDebit.ActivityDT <= '6/30/2024' AND (PersonsDebit.InvoiceID is Null or PersonsDebit.InvoiceID = 0)  AND PersonsDebit.PersonID in (Select PersonID From #tmp)");
    const QString order = QStringLiteral(" ORDER BY qrySelectPersonnel.PersonID");
    return {
        {14, "person, draft", [](AppState& s) { s.SelectedPersonId = 55; s.InvoicePrintMode = 1; },
         {head + "Where qrySelectPersonnel.PersonID = 55 And " + amt + " AND Incidents.IncidentID = 12" + open + order}},
        {14, "crew, duplicate, as one",
         [](AppState& s) { s.SelectedResourceId = 300; s.InvoicePrintMode = 3; s.ManageIncidentsAsOne = true; },
         {head + "Where qrySelectPersonnel.ResourceID = 300 And " + amt + " AND PersonsDebit.InvoiceID in (Select InvoiceId From #tmp Where InvoiceID <> 0)" + order}},
        {14, "everyone, mode 0", {}, {head + "Where " + amt + " AND Incidents.IncidentID = 12" + open + order}},
    };
}

inline std::vector<SqlCase> personnelTime()
{
    // Each row names its own incident, also as one.
    const QString head = QStringLiteral(
        "select p.personid, p.lastname+', '+p.firstname as FullName, p.faxphone, pp.activitydt, pp.starttime, pp.stoptime, pp.Hours, pp.premiumcode, a.accountingcode"
        ", i.incidentname + '   ' + i.incidentnumber as Incident ");
    const QString from = QStringLiteral(
        "from persons p inner join personspost pp on p.personid=pp.personid inner join accountingcodes a on pp.accountingid=a.accountingid inner join "
        "incidents i on a.incidentid= i.incidentid where len(p.faxphone)=10 and (p.fedcode is null or p.fedcode<>'AD') and "
        "(p.pstatus is null or p.pstatus <> 'D') and pp.activitydt Between '6/1/2024' and '6/30/2024'");
    // Agency, office, person, unchecked office, checked office with its
    // person, a checked office whose number is not ten digits.
    const OfficeTree tree = {{"Agency", true}, {"1234567890", true}, {"", true},
                             {"2223334444", false}, {"5556667777", true}, {"", false}, {"555-666-77", true}};
    return {
        {15, "checked offices in tree order", {},
         {head + from + " and a.incidentid = 12 and (p.faxphone = '1234567890' or p.faxphone = '5556667777')"}, {}, tree},
        {15, "faxing selects the current number only", [](AppState& s) { s.FaxMode = true; s.CurrentFaxNumber = "2223334444"; },
         {head + from + " and a.incidentid = 12 and (p.faxphone = '2223334444')"}, {}, tree},
        {15, "as one", [](AppState& s) { s.ManageIncidentsAsOne = true; },
         {head + from + " and (p.faxphone = '1234567890' or p.faxphone = '5556667777')"}, {}, tree},
        {15, "nothing checked", {}, {}, {}, OfficeTree{{"Agency", true}, {"1234567890", false}}, true},
        {15, "no tree", {}, {}, {}, std::nullopt, true},
    };
}

inline std::vector<SqlCase> paymentSummary()
{
    const QString head = QStringLiteral(
        "SELECT Contractor.ContractorNum, Contractor.ContractorName, Contractor.Addr, Contractor.City, Contractor.State, Contractor.Zip, Incidents.IncidentName, Contractor.ContractorID, ContractorPost.EquipmentID, ContractorPost.ActivityDT, ContractorPost.Units, ContractorPost.UOM, ContractorPost.Rate, ContractorPost.Amt, ContractorPost.SUnits, ContractorPost.SUOM, ContractorPost.SRate, ContractorPost.SAmt, ContractorPost.GuarAmt, Equipment.EquipmentID, Equipment.UniqueEquipmentName, Adjustments.Deductions, Adjustments.Additions, Incidents.IncidentNumber, L_Kind.KindDesc, ContractorPost.ContractorPostID "
        "FROM (((((Agreement Agreement INNER JOIN Contractor Contractor ON Agreement.ContractorID=Contractor.ContractorID) INNER JOIN Equipment Equipment ON Agreement.AgreementID=Equipment.AgreementID) INNER JOIN Resources Resources ON Equipment.ResourceID=Resources.ResourceID) INNER JOIN ContractorPost ContractorPost ON Equipment.EquipmentID=ContractorPost.EquipmentID) INNER JOIN Incidents Incidents ON Resources.IncidentID=Incidents.IncidentID) LEFT OUTER JOIN L_Kind L_Kind ON Resources.KindCode=L_Kind.KindCode LEFT OUTER JOIN (Select EquipmentID, Sum(Case When Amt > 0 Then Amt Else 0.0 End) as Deductions, Sum(Case When Amt < 0 Then -Amt Else 0.0 End) as Additions From ContractorAdjustments Group By EquipmentID) Adjustments ON Equipment.EquipmentID=Adjustments.EquipmentID ");
    const QString order = QStringLiteral("ORDER BY L_Kind.KindDesc, Equipment.UniqueEquipmentName");
    return {
        {4, "every contractor of the incident", {}, {head + "Where Incidents.IncidentID = 12 " + order}},
        {4, "every contractor of every incident", [](AppState& s) { s.ManageIncidentsAsOne = true; }, {head + order}},
        {4, "one contractor as one", [](AppState& s) { s.SelectedContractorId = 7; s.ManageIncidentsAsOne = true; },
         {head + "Where Contractor.ContractorID = 7 " + order}},
        {4, "one contractor of the incident", [](AppState& s) { s.SelectedContractorId = 7; },
         {head + "Where Incidents.IncidentID = 12 And Contractor.ContractorID = 7 " + order}},
    };
}

inline std::vector<SqlCase> of286()
{
    const QString head = QStringLiteral(
        "SELECT C.ContractorNum, C.ContractorName, C.Addr, C.City, C.State, C.Zip, I.IncidentName, I.IncidentNumber, Agreement.AgreementNum, Agreement.PointOfHire, A.Name as AdminName, A.Addr1 as AdminAddr1, A.Addr2 as AdminAddr2, A.City as AdminCity, A.State as AdminState, A.Zip as AdminZip, Agreement.ExpDt, R.RequestNumber, R.ReleaseDate, R.ReleaseTime, I.IncidentID, C.ContractorID, R.AssignDate, LK.KindDesc, E.GovtOperatorYN, E.GovtSuppliesYN, E.Withdrawn, ");
    const QString tail = QStringLiteral(
        "CP.EquipmentID, CP.ActivityDT, CP.Units, CP.UOM, CP.Rate, CP.Amt, CP.SUnits, CP.SUOM, CP.SRate, CP.SAmt, CP.GuarAmt, E.UniqueEquipmentName, AC.AccountingCode, CP.AccountingID, Agreement.BeginDt, R.RemarksOF286, i.StartDate , EI.InvoiceSuffix, EI.FirstDate, EI.LastDate, EIR.Original, EIR.Reason, EI.InvoiceNumber "
        "FROM ((((((Agreement Agreement LEFT OUTER JOIN AdminOffice A ON A.AdminOfficeID = Agreement.AdminOfficeID INNER JOIN "
        "Contractor C ON Agreement.ContractorID=C.ContractorID) INNER JOIN Equipment E ON Agreement.AgreementID=E.AgreementID) INNER JOIN "
        "Resources R ON E.ResourceID=R.ResourceID) INNER JOIN ContractorPost CP ON E.EquipmentID=CP.EquipmentID) LEFT OUTER JOIN "
        "AccountingCodes AC ON CP.AccountingID=AC.AccountingID) LEFT OUTER JOIN Incidents I ON R.IncidentID=I.IncidentID) LEFT OUTER JOIN "
        "L_Kind LK ON R.KindCode=LK.KindCode LEFT OUTER JOIN EquipInvoices EI ON CP.InvoiceID=EI.EquipInvoiceID LEFT OUTER JOIN "
        "EquipInvoicesReason EIR ON EI.EquipInvoiceID = EIR.EquipInvoiceID WHERE E.equipmentid = 42");
    const QString equipment = head + "E.Model, E.Make, " + tail;
    const QString crew = head + "R.KindCode as Model, 'CONTRACT CREW' as Make, " + tail;
    const QString other = head + "R.KindCode as Model, 'OTHER CONTRACT' as Make, " + tail;
    const QString period = QStringLiteral(" AND CP.ActivityDT between '6/1/2024' and '6/30/2024' AND Coalesce(CP.InvoiceID, 0) = 0 ");
    const QString order = QStringLiteral(" ORDER BY CP.EquipmentID, I.IncidentID, CP.AccountingID");
    return {
        {7, "equipment, draft", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 1; }, {equipment + period + order}, "OF-286"},
        {7, "contract crew, original being issued",
         [](AppState& s) { s.ContractType = "1"; s.InvoicePrintMode = 2; s.OrigRptCode = "O"; }, {crew + period + order},
         "OF-286 Contract Crew"},
        {7, "other contract, original already numbered",
         [](AppState& s) { s.ContractType = "2"; s.InvoicePrintMode = 2; s.OrigRptCode = "OA"; },
         {other + " AND CP.InvoiceID = 40001" + order}, "OF-286 Other Contract"},
        {7, "draft covers the period whatever the code",
         [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 1; s.OrigRptCode = "PLost"; }, {equipment + period + order}},
        {7, "duplicate of copy 2", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 3; s.OriginalNumber = 2; },
         {equipment + " AND CP.InvoiceID = 40001 AND EIR.Original = 2" + order}},
        {7, "duplicate without a copy number", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 3; },
         {equipment + " AND CP.InvoiceID = 40001" + order}},
        {7, "mode 0: every posting", [](AppState& s) { s.ContractType = "0"; }, {equipment + order}},
        {7, "mode 4: every posting, no incident filter", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 4; },
         {equipment + order}},
    };
}

inline std::vector<SqlCase> contractorDebits()
{
    const QString head = QStringLiteral(
        "SELECT Contractor.ContractorName, Contractor.ContractorNum, Equipment.Make, Equipment.Model, Incidents.IncidentName, Incidents.IncidentID, Contractor.ContractorID, Resources.KindCode, Equipment.EquipmentID, ContractorAdjustments.Amt, ContractorAdjustments.ActivityDT, Equipment.UniqueEquipmentName, ContractorAdjustments.Description "
        "FROM (((Contractor Contractor INNER JOIN Incidents Incidents ON Contractor.IncidentID=Incidents.IncidentID) INNER JOIN ContractorAdjustments ContractorAdjustments ON Contractor.ContractorID=ContractorAdjustments.ContractorID) INNER JOIN Equipment Equipment ON ContractorAdjustments.EquipmentID=Equipment.EquipmentID) INNER JOIN Resources Resources ON Equipment.ResourceID=Resources.ResourceID ");
    const QString order = QStringLiteral("ORDER BY Contractor.ContractorName, Resources.KindCode, Equipment.EquipmentID");
    return {
        {10, "in the incident", [](AppState& s) { s.SelectedContractorId = 7; },
         {head + "Where Incidents.IncidentID = 12 And Contractor.ContractorID = 7 " + order}},
        {10, "as one", [](AppState& s) { s.SelectedContractorId = 7; s.ManageIncidentsAsOne = true; },
         {head + "Where Contractor.ContractorID = 7 " + order}},
    };
}

inline std::vector<SqlCase> equipmentManagement()
{
    const QString head = QStringLiteral(
        "SELECT qryEquipMgmt.KindCode, qryEquipMgmt.KindDesc, qryEquipMgmt.IncidentID, qryEquipMgmt.RequestNumber, qryEquipMgmt.UniqueEquipmentName, qryEquipMgmt.AssignDate, qryEquipMgmt.IncidentName, qryEquipMgmt.IncidentNumber, qryEquipMgmt.Name FROM qryEquipMgmt");
    return {
        {11, "one incident", {}, {head + " WHERE qryEquipMgmt.IncidentID = 12"}},
        {11, "the whole view", [](AppState& s) { s.ManageIncidentsAsOne = true; }, {head}},
    };
}

inline std::vector<SqlCase> deductionsAndAdditions()
{
    const QString head = QStringLiteral("SELECT A.AgreementNum, C.ContractorName, R.Name, C.ContractorNum, ");
    const QString tail = QStringLiteral(
        "I.IncidentName, C.ContractorID, CA.Amt, CA.Description, CA.ActivityDT, E.UniqueEquipmentName, CA.EquipmentID , R.RequestNumber, I.IncidentNumber, I.StartDate, EI.InvoiceSuffix "
        "FROM (((((ContractorAdjustments CA INNER JOIN Equipment E ON CA.EquipmentID=E.EquipmentID) INNER JOIN "
        "Resources R ON E.ResourceID=R.ResourceID) INNER JOIN Agreement A ON E.AgreementID=A.AgreementID) INNER JOIN "
        "Contractor C ON A.ContractorID=C.ContractorID) INNER JOIN Incidents I ON R.IncidentID=I.IncidentID) LEFT OUTER JOIN "
        "EquipInvoices EI ON CA.InvoiceID=EI.EquipInvoiceID  Where CA.EquipmentID = 42");
    const QString equipment = head + "E.Make, E.Model, " + tail;
    const QString crew = head + " 'CONTRACT CREW' as Make, R.KindCode as Model, " + tail;
    const QString other = head + " 'OTHER CONTRACT' as Make, R.KindCode as Model, " + tail;
    const QString period = QStringLiteral(" AND CA.ActivityDT between '6/1/2024' and '6/30/2024' AND Coalesce(CA.InvoiceID, 0) = 0 ");
    // No blank before ORDER: after a key number the two touch.
    const QString order = QStringLiteral("ORDER BY C.ContractorName, R.Name, CA.ActivityDT");
    return {
        {13, "equipment, draft", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 1; }, {equipment + period + order},
         "Equipment Deductions & Additions"},
        {13, "crew, original being issued",
         [](AppState& s) { s.ContractType = "1"; s.InvoicePrintMode = 2; s.OrigRptCode = "O"; }, {crew + period + order},
         "Contract Crew Deductions & Additions"},
        {13, "other contract, original already numbered",
         [](AppState& s) { s.ContractType = "2"; s.InvoicePrintMode = 2; s.OrigRptCode = "OA01"; },
         {other + " AND CA.InvoiceID = 40001" + order}, "Other Contract Deductions & Additions"},
        {13, "duplicate never adds the copy number",
         [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 3; s.OriginalNumber = 2; },
         {equipment + " AND CA.InvoiceID = 40001" + order}},
        {13, "mode 0", [](AppState& s) { s.ContractType = "0"; }, {equipment + order}},
        {13, "mode 5", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 5; }, {equipment + order}},
    };
}

}  // namespace detail

// Every case of every report, in report order.
inline const std::vector<SqlCase>& allCases()
{
    static const std::vector<SqlCase> cases = [] {
        std::vector<SqlCase> all;
        for (auto* part : {&detail::workRestAndExcessHours, &detail::commissaryCharges, &detail::summaryOfHours,
                           &detail::paymentSummary, &detail::of288, &detail::of286, &detail::commissaryAuthorization,
                           &detail::contractorDebits, &detail::equipmentManagement, &detail::crewRoster,
                           &detail::deductionsAndAdditions, &detail::commissaryDetail, &detail::personnelTime}) {
            std::vector<SqlCase> more = part();
            all.insert(all.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        }
        return all;
    }();
    return cases;
}

// The cases of one report.
inline std::vector<const SqlCase*> casesOf(int report)
{
    std::vector<const SqlCase*> out;
    for (const SqlCase& c : allCases())
        if (c.report == report) out.push_back(&c);
    return out;
}

}  // namespace quillon::catalogue_cases
