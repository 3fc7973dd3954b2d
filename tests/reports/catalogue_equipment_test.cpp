// Whole SQL texts and titles of the equipment and contractor reports, written
// out by hand from their fragments, over the branches of every report.
#include "reports/catalogue/reportplan.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace quillon;

namespace {

struct Case {
    const char* name;
    std::function<void(AppState&)> set;
    QString sql;
    QString title;  // checked when not empty
};

// Incident 12, equipment 42, period June 2024. The invoice key is above
// 32767 so that a key cut to 16 bits would show.
constexpr std::int32_t invoiceKey = 40001;

void expectSql(int report, const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState s;
        s.ReportNumber = std::int16_t(report);
        s.SelectedIncidentId = 12;
        s.SelectedEquipmentId = 42;
        s.ReportStartDate = QDate(2024, 6, 1);
        s.ReportEndDate = QDate(2024, 6, 30);
        c.set(s);
        const ReportPlan plan = planReport(s, invoiceKey);
        ASSERT_TRUE(plan.proceed);
        ASSERT_EQ(plan.dataSetSql.size(), 1);
        EXPECT_EQ(plan.mainSql().toStdString(), c.sql.toStdString());
        if (!c.title.isEmpty()) EXPECT_EQ(plan.title, c.title);
    }
}

}  // namespace

TEST(EquipmentReportSql, PaymentSummaryByContractorAndIncident)
{
    const QString head = QStringLiteral(
        "SELECT Contractor.ContractorNum, Contractor.ContractorName, Contractor.Addr, Contractor.City, Contractor.State, Contractor.Zip, Incidents.IncidentName, Contractor.ContractorID, ContractorPost.EquipmentID, ContractorPost.ActivityDT, ContractorPost.Units, ContractorPost.UOM, ContractorPost.Rate, ContractorPost.Amt, ContractorPost.SUnits, ContractorPost.SUOM, ContractorPost.SRate, ContractorPost.SAmt, ContractorPost.GuarAmt, Equipment.EquipmentID, Equipment.UniqueEquipmentName, ContractorAdjustments.Amt, Incidents.IncidentNumber, L_Kind.KindDesc "
        "FROM   ((((((Agreement Agreement INNER JOIN Contractor Contractor ON Agreement.ContractorID=Contractor.ContractorID) INNER JOIN Equipment Equipment ON Agreement.AgreementID=Equipment.AgreementID) INNER JOIN Resources Resources ON Equipment.ResourceID=Resources.ResourceID) INNER JOIN ContractorPost ContractorPost ON Equipment.EquipmentID=ContractorPost.EquipmentID) INNER JOIN ContractorAdjustments ContractorAdjustments ON Equipment.EquipmentID=ContractorAdjustments.EquipmentID) INNER JOIN Incidents Incidents ON Resources.IncidentID=Incidents.IncidentID) INNER JOIN L_Kind L_Kind ON Resources.KindCode=L_Kind.KindCode ");
    const QString order = QStringLiteral("ORDER BY L_Kind.KindDesc, Equipment.UniqueEquipmentName");
    expectSql(4, {
        {"every contractor of the incident", [](AppState&) {}, head + "Where Incidents.IncidentID = 12 " + order},
        {"every contractor of every incident", [](AppState& s) { s.ManageIncidentsAsOne = true; }, head + order},
        {"one contractor as one", [](AppState& s) { s.SelectedContractorId = 7; s.ManageIncidentsAsOne = true; },
         head + "Where Contractor.ContractorID = 7 " + order},
        {"one contractor of the incident", [](AppState& s) { s.SelectedContractorId = 7; },
         head + "Where Incidents.IncidentID = 12 And Contractor.ContractorID = 7 " + order},
    });
}

TEST(EquipmentReportSql, Of286ByContractTypeAndPrintMode)
{
    const QString head = QStringLiteral(
        "SELECT C.ContractorNum, C.ContractorName, C.Addr, C.City, C.State, C.Zip, I.IncidentName, I.IncidentNumber, Agreement.AgreementNum, Agreement.PointOfHire, A.Name as AdminName, A.Addr1 as AdminAddr1, A.Addr2 as AdminAddr2, A.City as AdminCity, A.State as AdminState, A.Zip as AdminZip, Agreement.ExpDt, R.RequestNumber, R.ReleaseDate, R.ReleaseTime, I.IncidentID, C.ContractorID, R.AssignDate, LK.KindDesc, E.GovtOperatorYN, E.GovtSuppliesYN, E.Withdrawn, ");
    const QString tail = QStringLiteral(
        "CP.EquipmentID, CP.ActivityDT, CP.Units, CP.UOM, CP.Rate, CP.Amt, CP.SUnits, CP.SUOM, CP.SRate, CP.SAmt, CP.GuarAmt, E.UniqueEquipmentName, AC.AccountingCode, CP.AccountingID, Agreement.BeginDt, R.RemarksOF286, i.StartDate , EI.InvoiceSuffix, EI.FirstDate, EI.LastDate, EIR.Original, EIR.Reason "
        "FROM ((((((Agreement Agreement LEFT OUTER JOIN AdminOffice A ON A.AdminOfficeID = Agreement.AdminOfficeID INNER JOIN "
        "Contractor C ON Agreement.ContractorID=C.ContractorID) INNER JOIN Equipment E ON Agreement.AgreementID=E.AgreementID) INNER JOIN "
        "Resources R ON E.ResourceID=R.ResourceID) INNER JOIN ContractorPost CP ON E.EquipmentID=CP.EquipmentID) INNER JOIN "
        "AccountingCodes AC ON CP.AccountingID=AC.AccountingID) INNER JOIN Incidents I ON AC.IncidentID=I.IncidentID) INNER JOIN "
        "L_Kind LK ON R.KindCode=LK.KindCode LEFT OUTER JOIN EquipInvoices EI ON CP.InvoiceID=EI.EquipInvoiceID LEFT OUTER JOIN "
        "EquipInvoicesReason EIR ON EI.EquipInvoiceID = EIR.EquipInvoiceID WHERE E.equipmentid = 42");
    const QString equipment = head + "E.Model, E.Make, " + tail;
    const QString crew = head + "R.KindCode as Model, 'CONTRACT CREW' as Make, " + tail;
    const QString other = head + "R.KindCode as Model, 'OTHER CONTRACT' as Make, " + tail;
    const QString period = QStringLiteral(" AND CP.ActivityDT between '6/1/2024' and '6/30/2024' AND CP.InvoiceID = 0 ");
    const QString order = QStringLiteral(" ORDER BY CP.EquipmentID, I.IncidentID, CP.AccountingID");
    expectSql(7, {
        {"equipment, draft", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 1; },
         equipment + period + order, "OF-286"},
        {"contract crew, original being issued", [](AppState& s) { s.ContractType = "1"; s.InvoicePrintMode = 2; s.OrigRptCode = "O"; },
         crew + period + order, "OF-286 Contract Crew"},
        {"other contract, original already numbered", [](AppState& s) { s.ContractType = "2"; s.InvoicePrintMode = 2; s.OrigRptCode = "OA"; },
         other + " AND CP.InvoiceID = 40001" + order, "OF-286 Other Contract"},
        {"draft covers the period whatever the code", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 1; s.OrigRptCode = "PLost"; },
         equipment + period + order},
        {"duplicate of copy 2", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 3; s.OriginalNumber = 2; },
         equipment + " AND CP.InvoiceID = 40001 AND EIR.Original = 2" + order},
        {"duplicate without a copy number", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 3; },
         equipment + " AND CP.InvoiceID = 40001" + order},
        {"mode 0: every posting", [](AppState& s) { s.ContractType = "0"; }, equipment + order},
        {"mode 4: every posting, no incident filter", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 4; },
         equipment + order},
    });
}

TEST(EquipmentReportSql, ContractorDebitsOfOneContractor)
{
    const QString head = QStringLiteral(
        "SELECT Contractor.ContractorName, Contractor.ContractorNum, Equipment.Make, Equipment.Model, Incidents.IncidentName, Incidents.IncidentID, Contractor.ContractorID, Resources.KindCode, Equipment.EquipmentID, ContractorAdjustments.Amt, ContractorAdjustments.ActivityDT, Equipment.UniqueEquipmentName, ContractorAdjustments.Description "
        "FROM (((Contractor Contractor INNER JOIN Incidents Incidents ON Contractor.IncidentID=Incidents.IncidentID) INNER JOIN ContractorAdjustments ContractorAdjustments ON Contractor.ContractorID=ContractorAdjustments.ContractorID) INNER JOIN Equipment Equipment ON ContractorAdjustments.EquipmentID=Equipment.EquipmentID) INNER JOIN Resources Resources ON Equipment.ResourceID=Resources.ResourceID ");
    const QString order = QStringLiteral("ORDER BY Contractor.ContractorName, Resources.KindCode, Equipment.EquipmentID");
    expectSql(10, {
        {"in the incident", [](AppState& s) { s.SelectedContractorId = 7; },
         head + "Where Incidents.IncidentID = 12 And Contractor.ContractorID = 7 " + order},
        {"as one", [](AppState& s) { s.SelectedContractorId = 7; s.ManageIncidentsAsOne = true; },
         head + "Where Contractor.ContractorID = 7 " + order},
    });
}

TEST(EquipmentReportSql, EquipmentManagementReadsTheView)
{
    const QString head = QStringLiteral(
        "SELECT qryEquipMgmt.KindCode, qryEquipMgmt.KindDesc, qryEquipMgmt.IncidentID, qryEquipMgmt.RequestNumber, qryEquipMgmt.UniqueEquipmentName, qryEquipMgmt.AssignDate, qryEquipMgmt.IncidentName, qryEquipMgmt.IncidentNumber, qryEquipMgmt.Name FROM qryEquipMgmt");
    expectSql(11, {
        {"one incident", [](AppState&) {}, head + " WHERE qryEquipMgmt.IncidentID = 12"},
        {"the whole view", [](AppState& s) { s.ManageIncidentsAsOne = true; }, head},
    });
}

TEST(EquipmentReportSql, DeductionsAndAdditionsByContractTypeAndPrintMode)
{
    const QString head = QStringLiteral("SELECT A.AgreementNum, C.ContractorName, R.Name, C.ContractorNum, ");
    const QString tail = QStringLiteral(
        "I.IncidentName, C.ContractorID, CA.Amt, CA.Description, CA.ActivityDT, E.UniqueEquipmentName, CA.EquipmentID , R.RequestNumber, I.IncidentNumber, I.StartDate, EI.InvoiceSuffix "
        "FROM ((((Contractor C INNER JOIN Incidents I ON C.IncidentID=I.IncidentID) INNER JOIN "
        "ContractorAdjustments CA ON C.ContractorID=CA.ContractorID) INNER JOIN Equipment E ON CA.EquipmentID=E.EquipmentID) INNER JOIN "
        "Resources R ON E.ResourceID=R.ResourceID) INNER JOIN Agreement A ON E.AgreementID=A.AgreementID LEFT OUTER JOIN "
        "EquipInvoices EI ON CA.InvoiceID=EI.EquipInvoiceID  Where CA.EquipmentID = 42");
    const QString equipment = head + "E.Make, E.Model, " + tail;
    const QString crew = head + " 'CONTRACT CREW' as Make, R.KindCode as Model, " + tail;
    const QString other = head + " 'OTHER CONTRACT' as Make, R.KindCode as Model, " + tail;
    const QString period = QStringLiteral(" AND CA.ActivityDT between '6/1/2024' and '6/30/2024' AND CA.InvoiceID = 0 ");
    // No blank before ORDER: after a key number the two touch.
    const QString order = QStringLiteral("ORDER BY C.ContractorName, R.Name, CA.ActivityDT");
    expectSql(13, {
        {"equipment, draft", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 1; },
         equipment + period + order, "Equipment Deductions & Additions"},
        {"crew, original being issued", [](AppState& s) { s.ContractType = "1"; s.InvoicePrintMode = 2; s.OrigRptCode = "O"; },
         crew + period + order, "Contract Crew Deductions & Additions"},
        {"other contract, original already numbered", [](AppState& s) { s.ContractType = "2"; s.InvoicePrintMode = 2; s.OrigRptCode = "OA01"; },
         other + " AND CA.InvoiceID = 40001" + order, "Other Contract Deductions & Additions"},
        {"duplicate never adds the copy number", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 3; s.OriginalNumber = 2; },
         equipment + " AND CA.InvoiceID = 40001" + order},
        {"mode 0", [](AppState& s) { s.ContractType = "0"; }, equipment + order},
        {"mode 5", [](AppState& s) { s.ContractType = "0"; s.InvoicePrintMode = 5; }, equipment + order},
    });
}
