// SQL of the equipment and contractor reports: payment summary of equipment
// usage, OF-286, contractor debits, equipment management and the deductions
// and additions of one piece of equipment.
//
// As with the personnel reports, the texts are kept fragment for fragment.

#include "data/sqltext.h"
#include "reports/catalogue/reportsql_p.h"

namespace quillon::reportsql {

namespace {

QString num(std::int64_t v) { return sqlInt(v); }

// Invoice modes 1 and 2 of the OF-286 and its deductions list: a draft, or an
// original being issued ("O"), covers the open postings of the period;
// otherwise the postings of the invoice given.
bool coversOpenPeriod(const AppState& s)
{
    return s.OrigRptCode == QLatin1String("O") || s.InvoicePrintMode == PrintDraft;
}

// A row not yet invoiced: InvoiceID 0, or Null as some host databases leave it.
QString openRow(const char* alias)
{
    return QStringLiteral("Coalesce(%1.InvoiceID, 0) = 0 ").arg(QLatin1String(alias));
}

}  // namespace

Draft equipmentUsageSummary(const Inputs& in)
{
    const AppState& s = in.state;
    const std::int32_t contractor = s.SelectedContractorId;
    if (contractor < 0) return Draft::reject();
    // Each use posting once, with its equipment's deductions (positive
    // adjustments) and additions (negative ones, as a positive figure) summed
    // apart, so that equipment without adjustments is listed and none is
    // counted twice. Equipment of a kind missing from L_Kind is listed too.
    QString sql =
        QStringLiteral("SELECT Contractor.ContractorNum, Contractor.ContractorName, Contractor.Addr, Contractor.City, "
                       "Contractor.State, Contractor.Zip, Incidents.IncidentName, Contractor.ContractorID, "
                       "ContractorPost.EquipmentID, ContractorPost.ActivityDT, ContractorPost.Units, "
                       "ContractorPost.UOM, ContractorPost.Rate, ContractorPost.Amt, ContractorPost.SUnits, "
                       "ContractorPost.SUOM, ContractorPost.SRate, ContractorPost.SAmt, ContractorPost.GuarAmt, "
                       "Equipment.EquipmentID, Equipment.UniqueEquipmentName, Adjustments.Deductions, "
                       "Adjustments.Additions, Incidents.IncidentNumber, L_Kind.KindDesc, "
                       "ContractorPost.ContractorPostID ")
        + QStringLiteral("FROM (((((Agreement Agreement INNER JOIN Contractor Contractor ON "
                         "Agreement.ContractorID=Contractor.ContractorID) INNER JOIN Equipment Equipment ON "
                         "Agreement.AgreementID=Equipment.AgreementID) INNER JOIN Resources Resources ON "
                         "Equipment.ResourceID=Resources.ResourceID) INNER JOIN ContractorPost ContractorPost ON "
                         "Equipment.EquipmentID=ContractorPost.EquipmentID) INNER JOIN Incidents Incidents ON "
                         "Resources.IncidentID=Incidents.IncidentID) LEFT OUTER JOIN L_Kind L_Kind ON "
                         "Resources.KindCode=L_Kind.KindCode LEFT OUTER JOIN (Select EquipmentID, "
                         "Sum(Case When Amt > 0 Then Amt Else 0.0 End) as Deductions, "
                         "Sum(Case When Amt < 0 Then -Amt Else 0.0 End) as Additions "
                         "From ContractorAdjustments Group By EquipmentID) Adjustments ON "
                         "Equipment.EquipmentID=Adjustments.EquipmentID ");
    if (contractor == 0) {
        if (!s.ManageIncidentsAsOne)
            sql += QStringLiteral("Where Incidents.IncidentID = ") + num(s.SelectedIncidentId) + QStringLiteral(" ");
    } else if (s.ManageIncidentsAsOne) {
        sql += QStringLiteral("Where Contractor.ContractorID = ") + num(contractor) + QStringLiteral(" ");
    } else {
        sql += QStringLiteral("Where Incidents.IncidentID = ") + num(s.SelectedIncidentId)
            + QStringLiteral(" And Contractor.ContractorID = ") + num(contractor) + QStringLiteral(" ");
    }
    sql += QStringLiteral("ORDER BY L_Kind.KindDesc, Equipment.UniqueEquipmentName");
    Draft d;
    d.sql << sql;
    return d;
}

Draft of286(const Inputs& in)
{
    const AppState& s = in.state;
    Draft d;
    QString sql =
        QStringLiteral("SELECT C.ContractorNum, C.ContractorName, C.Addr, C.City, C.State, C.Zip, I.IncidentName, "
                       "I.IncidentNumber, Agreement.AgreementNum, Agreement.PointOfHire, A.Name as AdminName, "
                       "A.Addr1 as AdminAddr1, A.Addr2 as AdminAddr2, A.City as AdminCity, A.State as AdminState, "
                       "A.Zip as AdminZip, Agreement.ExpDt, R.RequestNumber, R.ReleaseDate, R.ReleaseTime, "
                       "I.IncidentID, C.ContractorID, R.AssignDate, LK.KindDesc, E.GovtOperatorYN, "
                       "E.GovtSuppliesYN, E.Withdrawn, ");
    // A contract crew or other contract is billed under its kind code; only
    // real equipment has a make and model of its own.
    if (s.ContractType == QLatin1String("1")) {
        sql += QStringLiteral("R.KindCode as Model, 'CONTRACT CREW' as Make, ");
        d.title = QStringLiteral("OF-286 Contract Crew");
    } else if (s.ContractType == QLatin1String("0")) {
        sql += QStringLiteral("E.Model, E.Make, ");
        d.title = QStringLiteral("OF-286");
    } else if (s.ContractType == QLatin1String("2")) {
        sql += QStringLiteral("R.KindCode as Model, 'OTHER CONTRACT' as Make, ");
        d.title = QStringLiteral("OF-286 Other Contract");
    } else {
        return Draft::reject();
    }
    sql += QStringLiteral("CP.EquipmentID, CP.ActivityDT, CP.Units, CP.UOM, CP.Rate, CP.Amt, CP.SUnits, CP.SUOM, "
                          "CP.SRate, CP.SAmt, CP.GuarAmt, E.UniqueEquipmentName, AC.AccountingCode, CP.AccountingID, "
                          "Agreement.BeginDt, R.RemarksOF286, i.StartDate , EI.InvoiceSuffix, EI.FirstDate, "
                          "EI.LastDate, EIR.Original, EIR.Reason, EI.InvoiceNumber ")
        + QStringLiteral("FROM ((((((Agreement Agreement LEFT OUTER JOIN ")
        + QStringLiteral("AdminOffice A ON A.AdminOfficeID = Agreement.AdminOfficeID INNER JOIN ")
        + QStringLiteral("Contractor C ON Agreement.ContractorID=C.ContractorID) INNER JOIN ")
        + QStringLiteral("Equipment E ON Agreement.AgreementID=E.AgreementID) INNER JOIN ")
        + QStringLiteral("Resources R ON E.ResourceID=R.ResourceID) INNER JOIN ")
        + QStringLiteral("ContractorPost CP ON E.EquipmentID=CP.EquipmentID) LEFT OUTER JOIN ")
        + QStringLiteral("AccountingCodes AC ON CP.AccountingID=AC.AccountingID) LEFT OUTER JOIN ")
        + QStringLiteral("Incidents I ON R.IncidentID=I.IncidentID) LEFT OUTER JOIN ")
        + QStringLiteral("L_Kind LK ON R.KindCode=LK.KindCode LEFT OUTER JOIN ")
        + QStringLiteral("EquipInvoices EI ON CP.InvoiceID=EI.EquipInvoiceID LEFT OUTER JOIN ")
        + QStringLiteral("EquipInvoicesReason EIR ON EI.EquipInvoiceID = EIR.EquipInvoiceID ");
    if (s.SelectedEquipmentId < 1) return Draft::reject(QStringLiteral("No EquipmentID"));
    sql += QStringLiteral("WHERE E.equipmentid = ") + num(s.SelectedEquipmentId);
    // The OF-286 covers one piece of equipment: every posting of it prints,
    // also one without a valid accounting code (AccountingCode is then Null
    // and the form lists it under its own heading). The incident is the
    // equipment's own.
    const std::int16_t mode = s.InvoicePrintMode;
    if (mode == PrintDraft || mode == PrintOriginal) {
        if (coversOpenPeriod(s))
            sql += QStringLiteral(" AND CP.ActivityDT between '") + sqlDate(s.ReportStartDate)
                + QStringLiteral("' and '") + sqlDate(s.ReportEndDate) + QStringLiteral("' AND ") + openRow("CP");
        else
            sql += QStringLiteral(" AND CP.InvoiceID = ") + num(in.invoiceKey);
    } else if (mode == PrintDuplicateOriginal) {
        sql += QStringLiteral(" AND CP.InvoiceID = ") + num(in.invoiceKey);
        if (s.OriginalNumber >= 1) sql += QStringLiteral(" AND EIR.Original = ") + num(s.OriginalNumber);
    }
    sql += QStringLiteral(" ORDER BY CP.EquipmentID, I.IncidentID, CP.AccountingID");
    d.sql << sql;
    return d;
}

Draft contractorDebits(const Inputs& in)
{
    const AppState& s = in.state;
    const std::int32_t contractor = s.SelectedContractorId;
    QString sql =
        QStringLiteral("SELECT Contractor.ContractorName, Contractor.ContractorNum, Equipment.Make, Equipment.Model, "
                       "Incidents.IncidentName, Incidents.IncidentID, Contractor.ContractorID, Resources.KindCode, "
                       "Equipment.EquipmentID, ContractorAdjustments.Amt, ContractorAdjustments.ActivityDT, "
                       "Equipment.UniqueEquipmentName, ContractorAdjustments.Description ")
        + QStringLiteral("FROM (((Contractor Contractor INNER JOIN Incidents Incidents ON "
                         "Contractor.IncidentID=Incidents.IncidentID) INNER JOIN ContractorAdjustments "
                         "ContractorAdjustments ON Contractor.ContractorID=ContractorAdjustments.ContractorID) INNER "
                         "JOIN Equipment Equipment ON ContractorAdjustments.EquipmentID=Equipment.EquipmentID) INNER "
                         "JOIN Resources Resources ON Equipment.ResourceID=Resources.ResourceID ");
    if (contractor < 1) return Draft::reject(QStringLiteral("No Contractor Selected"));
    if (s.ManageIncidentsAsOne)
        sql += QStringLiteral("Where Contractor.ContractorID = ") + num(contractor) + QStringLiteral(" ");
    else
        sql += QStringLiteral("Where Incidents.IncidentID = ") + num(s.SelectedIncidentId)
            + QStringLiteral(" And Contractor.ContractorID = ") + num(contractor) + QStringLiteral(" ");
    sql += QStringLiteral("ORDER BY Contractor.ContractorName, Resources.KindCode, Equipment.EquipmentID");
    Draft d;
    d.sql << sql;
    return d;
}

Draft equipmentManagement(const Inputs& in)
{
    const AppState& s = in.state;
    QString sql = QStringLiteral("SELECT qryEquipMgmt.KindCode, qryEquipMgmt.KindDesc, qryEquipMgmt.IncidentID, "
                                 "qryEquipMgmt.RequestNumber, qryEquipMgmt.UniqueEquipmentName, "
                                 "qryEquipMgmt.AssignDate, qryEquipMgmt.IncidentName, qryEquipMgmt.IncidentNumber, "
                                 "qryEquipMgmt.Name FROM qryEquipMgmt");
    if (!s.ManageIncidentsAsOne)
        sql += QStringLiteral(" WHERE qryEquipMgmt.IncidentID = ") + num(s.SelectedIncidentId);
    Draft d;
    d.sql << sql;
    return d;
}

Draft equipmentDeductions(const Inputs& in)
{
    const AppState& s = in.state;
    Draft d;
    QString sql = QStringLiteral("SELECT A.AgreementNum, C.ContractorName, R.Name, C.ContractorNum, ");
    if (s.ContractType == QLatin1String("1")) {
        sql += QStringLiteral(" 'CONTRACT CREW' as Make, R.KindCode as Model, ");
        d.title = QStringLiteral("Contract Crew Deductions & Additions");
    } else if (s.ContractType == QLatin1String("0")) {
        sql += QStringLiteral("E.Make, E.Model, ");
        d.title = QStringLiteral("Equipment Deductions & Additions");
    } else if (s.ContractType == QLatin1String("2")) {
        sql += QStringLiteral(" 'OTHER CONTRACT' as Make, R.KindCode as Model, ");
        d.title = QStringLiteral("Other Contract Deductions & Additions");
    } else {
        return Draft::reject();
    }
    sql += QStringLiteral("I.IncidentName, C.ContractorID, CA.Amt, CA.Description, CA.ActivityDT, "
                          "E.UniqueEquipmentName, CA.EquipmentID , R.RequestNumber, I.IncidentNumber, I.StartDate, "
                          "EI.InvoiceSuffix ")
        // Every adjustment of the equipment is listed: the contractor is the
        // one of the equipment's agreement and the incident that of its
        // resource, so an adjustment carrying a stale contractor key is not
        // dropped while the invoice locks it.
        + QStringLiteral("FROM (((((ContractorAdjustments CA INNER JOIN ")
        + QStringLiteral("Equipment E ON CA.EquipmentID=E.EquipmentID) INNER JOIN ")
        + QStringLiteral("Resources R ON E.ResourceID=R.ResourceID) INNER JOIN ")
        + QStringLiteral("Agreement A ON E.AgreementID=A.AgreementID) INNER JOIN ")
        + QStringLiteral("Contractor C ON A.ContractorID=C.ContractorID) INNER JOIN ")
        + QStringLiteral("Incidents I ON R.IncidentID=I.IncidentID) LEFT OUTER JOIN ")
        + QStringLiteral("EquipInvoices EI ON CA.InvoiceID=EI.EquipInvoiceID ");
    if (s.SelectedEquipmentId < 1) return Draft::reject(QStringLiteral("No EquipmentID"));
    sql += QStringLiteral(" Where CA.EquipmentID = ") + num(s.SelectedEquipmentId);
    const std::int16_t mode = s.InvoicePrintMode;
    if (mode == PrintDraft || mode == PrintOriginal) {
        if (coversOpenPeriod(s))
            sql += QStringLiteral(" AND CA.ActivityDT between '") + sqlDate(s.ReportStartDate)
                + QStringLiteral("' and '") + sqlDate(s.ReportEndDate) + QStringLiteral("' AND ") + openRow("CA");
        else
            sql += QStringLiteral(" AND CA.InvoiceID = ") + num(in.invoiceKey);
    } else if (mode == PrintDuplicateOriginal) {
        sql += QStringLiteral(" AND CA.InvoiceID = ") + num(in.invoiceKey);
    }
    // No blank before ORDER: after a key number the two touch, which the
    // server accepts.
    sql += QStringLiteral("ORDER BY C.ContractorName, R.Name, CA.ActivityDT");
    d.sql << sql;
    return d;
}

}  // namespace quillon::reportsql
