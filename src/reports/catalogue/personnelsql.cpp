// SQL of the personnel reports: work/rest, commissary charges, summary of
// hours, excess hours, OF-288, commissary authorization, crew roster,
// commissary detail and the personnel time report.
//
// The texts go to SQL Server as they stand, so they are kept fragment for
// fragment: blanks, letter case and the touching of keys and keywords matter
// to whoever compares them with what the server has always received.

#include "data/sqltext.h"
#include "reports/catalogue/reportsql_p.h"

namespace quillon::reportsql {

namespace {

QString num(std::int64_t v) { return sqlInt(v); }
QString day(const QDate& d) { return sqlDate(d); }

// Appends a condition that begins with " AND". When no WHERE has been written
// yet, the condition opens the WHERE clause instead.
void addCondition(QString& sql, bool& whereOpen, const QString& andCondition)
{
    static const QString andWord = QStringLiteral(" AND");
    if (!whereOpen && andCondition.startsWith(andWord)) {
        sql += QStringLiteral(" WHERE") + andCondition.mid(andWord.size());
    } else {
        sql += andCondition;
    }
    whereOpen = true;
}

// Reports 1 and 5 read the scratch rows of one run and share the run
// condition and the sorts.
Draft reportRecords(const Inputs& in, const QString& selectFrom)
{
    const AppState& s = in.state;
    if (s.ReportRunId < 1) return Draft::reject();
    QString sql = selectFrom;
    sql += QStringLiteral("Where ReportRecords.ReportRun = ") + num(s.ReportRunId) + QStringLiteral(" ");
    if (s.ReportSortField == QLatin1String("R"))
        sql += QStringLiteral("ORDER BY ReportRecords.RequestNumber, Persons.LastName, Persons.FirstName");
    else if (s.ReportSortField == QLatin1String("P"))
        sql += QStringLiteral("ORDER BY Persons.LastName, Persons.FirstName");
    else
        sql += QStringLiteral("ORDER BY ReportRecords.ExcessHrs");
    Draft d;
    d.sql << sql;
    return d;
}

}  // namespace

Draft workRest(const Inputs& in)
{
    return reportRecords(
        in,
        QStringLiteral("SELECT Incidents.IncidentName, Incidents.IncidentNumber, Persons.FirstName, Persons.LastName, "
                       "ReportRecords.RequestNumber, ReportRecords.ActivityDT, ReportRecords.TotalDayHrs, "
                       "ReportRecords.ExcessHrs, ReportRecords.ReportRun, ReportRecords.KindCode, "
                       "ReportRecords.HR20in24, ReportRecords.HR36in48 ")
            + QStringLiteral("FROM (ReportRecords ReportRecords INNER JOIN Incidents Incidents ON "
                             "ReportRecords.IncidentID=Incidents.IncidentID) INNER JOIN Persons Persons ON "
                             "ReportRecords.PersonID=Persons.PersonID "));
}

Draft excessHours(const Inputs& in)
{
    return reportRecords(
        in,
        QStringLiteral("SELECT Incidents.IncidentName, Incidents.IncidentNumber, Persons.FirstName, Persons.LastName, "
                       "ReportRecords.RequestNumber, ReportRecords.ActivityDT, ReportRecords.TotalDayHrs, "
                       "ReportRecords.ExcessHrs, ReportRecords.ReportRun ")
            + QStringLiteral("FROM   (ReportRecords ReportRecords INNER JOIN Incidents Incidents ON "
                             "ReportRecords.IncidentID=Incidents.IncidentID) INNER JOIN Persons Persons ON "
                             "ReportRecords.PersonID=Persons.PersonID "));
}

Draft commissaryCharges(const Inputs& in)
{
    const AppState& s = in.state;
    QString sql = QStringLiteral("Select a.activitydt, a.amt, b.lastname, b.firstname, c.RequestNumber, "
                                 "d.incidentname, d.incidentnumber ")
        + QStringLiteral("from personsdebit a inner join persons b on a.personid = b.personid inner join resources c "
                         "on b.resourceid = c.resourceid inner join incidents d on c.incidentid = d.incidentid ");
    if (!s.ManageIncidentsAsOne) sql += QStringLiteral("WHERE c.IncidentID = ") + num(s.SelectedIncidentId);
    sql += QStringLiteral(" order by a.activitydt ");
    Draft d;
    d.sql << sql;
    return d;
}

Draft summaryOfHours(const Inputs& in)
{
    const AppState& s = in.state;
    const std::int32_t person = s.SelectedPersonId;
    if (person < 0) return Draft::reject();

    QString main = QStringLiteral("SELECT Incidents.IncidentName, Persons.LastName, Persons.FirstName, "
                                  "PersonsPost.PersonID, PersonsPost.KindCode, Persons.SSN, PersonsPost.Hours, "
                                  "Incidents.IncidentNumber, Incidents.IncidentID ")
        + QStringLiteral("FROM ((Incidents Incidents INNER JOIN Resources Resources ON "
                         "Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON "
                         "Resources.ResourceID=Persons.ResourceID) INNER JOIN PersonsPost PersonsPost ON "
                         "Persons.PersonID=PersonsPost.PersonID ");
    if (person == 0) {
        if (!s.ManageIncidentsAsOne)
            main += QStringLiteral("Where Incidents.IncidentID = ") + num(s.SelectedIncidentId) + QStringLiteral(" ");
    } else {
        // A chosen person is looked up within the incident even when the
        // incidents are managed as one.
        main += QStringLiteral("Where Incidents.IncidentID = ") + num(s.SelectedIncidentId)
            + QStringLiteral(" And PersonsPost.PersonID = ") + num(person) + QStringLiteral(" ");
    }
    main += QStringLiteral("ORDER BY Persons.LastName, Persons.FirstName");

    QString sub = QStringLiteral("SELECT sum(PersonsDebit.Amt) as Amt, PersonsDebit.PersonID ")
        + QStringLiteral("FROM PersonsDebit PersonsDebit ");
    if (person >= 1) sub += QStringLiteral(" WHERE PersonsDebit.PersonID = ") + num(person) + QStringLiteral(" ");
    sub += QStringLiteral(" group by PersonsDebit.PersonID order by PersonsDebit.PersonID");

    Draft d;
    d.sql << main << sub;
    return d;
}

Draft of288(const Inputs& in)
{
    const AppState& s = in.state;
    const std::int32_t resource = s.SelectedResourceId;
    const std::int32_t person = s.SelectedPersonId;
    const QString end = day(s.ReportEndDate);

    QString main = QStringLiteral("SELECT ")
        + QStringLiteral("R.ResourceID, PP.KindCode, R.RequestNumber, R.Collection, P.PersonID, P.FirstName, "
                         "P.LastName, ")
        + QStringLiteral("P.SSN, P.MailAddr1, P.MailAddr2, P.City, P.State, P.ZipCode, P.InitEmployYN, "
                         "P.PointOfHire, ")
        + QStringLiteral("P.ReturnTravelYN, P.FedCode, P.Remarks, PP.KindCode, P.ResourceID, PP.PersonsPostID, "
                         "PP.PersonID, ")
        + QStringLiteral("PP.PremiumCode, PP.Class, PP.Rate, PP.ActivityDT, PP.StartTime, PP.StopTime, PP.Hours, ")
        + QStringLiteral("PP.Column288, PP.RptOrder, PP.AccountingID, AC.AccountingCode, AC.AccountingID, "
                         "AC.IncidentID, ")
        + QStringLiteral("i.IncidentID , i.IncidentNumber, i.IncidentName, i.IncidentLocation, i.IncidentState, "
                         "R.Name, ")
        + QStringLiteral("P.FaxPhone, P.Phone, PP.FinalCol, T.PrevInvoices, T.InvoiceNum, T.Original, T.Lastdate, "
                         "T.EndDate ")
        + QStringLiteral("From ") + QStringLiteral("Resources R INNER JOIN ")
        + QStringLiteral("Persons P ON R.ResourceID = P.ResourceID INNER JOIN ")
        + QStringLiteral("PersonsPost PP ON P.PersonID = PP.PersonID INNER JOIN ")
        + QStringLiteral("AccountingCodes AC ON PP.AccountingID = AC.AccountingID INNER JOIN ")
        + QStringLiteral("Incidents I ON AC.IncidentID = I.IncidentID ")
        + QStringLiteral("Left Outer Join #tmp T ON P.PersonID = T.PersonID ");
    bool whereOpen = false;
    if (resource >= 1) {
        main += QStringLiteral("WHERE R.ResourceID = ") + num(resource);
        whereOpen = true;
    } else if (person >= 1) {
        main += QStringLiteral("WHERE P.PersonID = ") + num(person);
        whereOpen = true;
    }
    if (!s.ManageIncidentsAsOne)
        addCondition(main, whereOpen, QStringLiteral(" AND I.IncidentID = ") + num(s.SelectedIncidentId));
    // Drafts and originals take the open postings up to the end date; a
    // duplicate takes the postings of the invoices it reprints.
    if (s.InvoicePrintMode == PrintDraft || s.InvoicePrintMode == PrintOriginal)
        addCondition(main, whereOpen,
                     QStringLiteral(" AND (PP.ActivityDT <= '") + end + QStringLiteral("' OR FinalCol = 1) AND ")
                         + QStringLiteral("(PP.InvoiceID is Null or PP.InvoiceID = 0) "));
    else
        addCondition(main, whereOpen,
                     QStringLiteral(" AND ((PP.InvoiceID in (Select InvoiceID from #tmp)) OR FinalCol = 1)"));
    main += QStringLiteral(" Order By ")
        + QStringLiteral("R.RequestNumber ASC, PP.PersonID ASC, PP.Column288 ASC, PP.ActivityDT ASC, "
                         "AC.AccountingCode ASC, ")
        + QStringLiteral("PP.Rate ASC, I.IncidentName ASC, PP.RptOrder ASC, PP.StartTime ASC, PP.StopTime ASC");

    // Commissary deductions per person, for the subreport.
    QString sub = QStringLiteral("SELECT PD.PersonID, SUM(PD.Amt) as DebitAmt ")
        + QStringLiteral("FROM PersonsDebit PD INNER JOIN ")
        + QStringLiteral("Persons P ON PD.PersonID = P.PersonID INNER JOIN ")
        + QStringLiteral("Resources R ON P.ResourceID = R.ResourceID ");
    whereOpen = false;
    if (resource >= 1) {
        sub += QStringLiteral(" WHERE PD.PersonID IN(Select P.PersonID from Persons P ")
            + QStringLiteral("WHERE P.ResourceID= ") + num(resource) + QStringLiteral(")");
        whereOpen = true;
    } else if (person >= 1) {
        sub += QStringLiteral("WHERE PD.PersonID = ") + num(person);
        whereOpen = true;
    }
    if (!s.ManageIncidentsAsOne)
        addCondition(sub, whereOpen,
                     QStringLiteral(" AND (R.IncidentID = ") + num(s.SelectedIncidentId) + QStringLiteral(")"));
    // The debits test differs from the postings test above: every mode below
    // a duplicate, 0 included, takes the open debits up to the end date.
    if (s.InvoicePrintMode < PrintDuplicateOriginal)
        addCondition(sub, whereOpen,
                     QStringLiteral(" AND PD.ActivityDT <= '") + end
                         + QStringLiteral("' AND (PD.InvoiceID is Null or ") + QStringLiteral("PD.InvoiceID = 0) "));
    else
        addCondition(sub, whereOpen, QStringLiteral(" AND PD.InvoiceID in (Select InvoiceID from #tmp)"));
    sub += QStringLiteral(" GROUP BY PD.PersonID");

    Draft d;
    d.sql << main << sub;
    return d;
}

Draft commissaryAuthorization(const Inputs& in)
{
    const AppState& s = in.state;
    QString sql =
        QStringLiteral("SELECT Resources.RequestNumber, Resources.Name, Persons.SSN, Persons.InitEmployYN, "
                       "Persons.FedCode, Persons.PersonID, Persons.FirstName, Persons.LastName, Incidents.IncidentID, "
                       "Resources.ResourceID, Persons.PointOfHire, Persons.ReturnTravelYN, Persons.MailAddr1, "
                       "Persons.MailAddr2, Persons.City, Persons.State, Persons.ZipCode ")
        + QStringLiteral("FROM (Incidents Incidents INNER JOIN Resources Resources ON "
                         "Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON "
                         "Resources.ResourceID=Persons.ResourceID ");
    if (s.SelectedPersonId >= 1)
        sql += QStringLiteral("WHERE Persons.PersonID = ") + num(s.SelectedPersonId);
    else if (s.SelectedResourceId >= 1)
        sql += QStringLiteral("WHERE Persons.ResourceID = ") + num(s.SelectedResourceId);
    else
        sql += QStringLiteral("WHERE Resources.ResourceID IN (SELECT Persons.ResourceID FROM Persons)");
    if (!s.ManageIncidentsAsOne) sql += QStringLiteral(" AND Incidents.IncidentID = ") + num(s.SelectedIncidentId);
    Draft d;
    d.sql << sql;
    return d;
}

Draft crewRoster(const Inputs& in)
{
    const AppState& s = in.state;
    if (s.SelectedResourceId < 1) return Draft::reject(QStringLiteral("No Crew Selected"));
    QString sql =
        QStringLiteral("SELECT Incidents.IncidentName, Incidents.IncidentNumber, Resources.RequestNumber, "
                       "Resources.Name, Persons.LastName, Persons.FirstName, Persons.SSN, Persons.PStatus, "
                       "Persons.FedCode, Persons.KindCode, Resources.IncidentID, Resources.ResourceID ")
        + QStringLiteral("FROM (Incidents Incidents INNER JOIN Resources Resources ON "
                         "Incidents.IncidentID=Resources.IncidentID) INNER JOIN Persons Persons ON "
                         "Resources.ResourceID=Persons.ResourceID ");
    sql += QStringLiteral(" WHERE Resources.ResourceID = ") + num(s.SelectedResourceId);
    if (!s.ManageIncidentsAsOne) sql += QStringLiteral(" AND Resources.IncidentID = ") + num(s.SelectedIncidentId);
    Draft d;
    d.sql << sql;
    return d;
}

Draft commissaryDetail(const Inputs& in)
{
    const AppState& s = in.state;
    QString sql = QStringLiteral("SELECT Incidents.IncidentNumber, Incidents.IncidentName, Incidents.IncidentLocation, ")
        + QStringLiteral("qrySelectPersonnel.RequestNumber, qrySelectPersonnel.PersonID, qrySelectPersonnel.FirstName, ")
        + QStringLiteral("qrySelectPersonnel.LastName, qrySelectPersonnel.MailAddr1, qrySelectPersonnel.MailAddr2, ")
        + QStringLiteral("qrySelectPersonnel.City, qrySelectPersonnel.State, qrySelectPersonnel.ZipCode, ")
        + QStringLiteral("qrySelectPersonnel.fSSN, PersonsDebit.ActivityDT, PersonsDebit.Description, "
                         "PersonsDebit.Amt, ")
        + QStringLiteral("Incidents.IncidentState, Incidents.IncidentID, qrySelectPersonnel.RResourceID, ")
        + QStringLiteral("qrySelectPersonnel.AccountingCode, T.InvoiceNum, T.Original, T.LastDate, T.EndDate ")
        + QStringLiteral("FROM (qrySelectPersonnel qrySelectPersonnel ")
        + QStringLiteral("INNER JOIN Incidents Incidents ON qrySelectPersonnel.IncidentID=Incidents.IncidentID) ")
        + QStringLiteral("INNER JOIN PersonsDebit PersonsDebit ON qrySelectPersonnel.PersonID=PersonsDebit.PersonID ")
        + QStringLiteral("Left Outer Join #Tmp T ON PersonsDebit.PersonID = T.PersonID ");
    if (s.SelectedPersonId >= 1)
        sql += QStringLiteral("Where qrySelectPersonnel.PersonID = ") + num(s.SelectedPersonId)
            + QStringLiteral(" And (PersonsDebit.Amt Is Not Null Or PersonsDebit.Amt > 0) ");
    else if (s.SelectedResourceId >= 1)
        sql += QStringLiteral("Where qrySelectPersonnel.ResourceID = ") + num(s.SelectedResourceId)
            + QStringLiteral(" And (PersonsDebit.Amt Is Not Null Or PersonsDebit.Amt > 0) ");
    else
        sql += QStringLiteral("Where (PersonsDebit.Amt Is Not Null Or PersonsDebit.Amt > 0) ");
    if (!s.ManageIncidentsAsOne) sql += QStringLiteral(" AND Incidents.IncidentID = ") + num(s.SelectedIncidentId);
    if (s.InvoicePrintMode < PrintDuplicateOriginal)
        sql += QStringLiteral(" AND PersonsDebit.ActivityDT <= '") + day(s.ReportEndDate)
            + QStringLiteral("' AND (PersonsDebit.InvoiceID is Null or ") + QStringLiteral("PersonsDebit.InvoiceID = 0) ");
    else
        sql += QStringLiteral(" AND PersonsDebit.InvoiceID in (Select InvoiceId From #tmp)");
    sql += QStringLiteral(" ORDER BY qrySelectPersonnel.PersonID");
    Draft d;
    d.sql << sql;
    return d;
}

Draft incidentTime(const Inputs& in)
{
    const AppState& s = in.state;
    QString sql = QStringLiteral("select p.personid, p.lastname+', '+p.firstname as FullName, ")
        + QStringLiteral("p.faxphone, pp.activitydt, pp.starttime, pp.stoptime, pp.Hours, ")
        + QStringLiteral("pp.premiumcode, a.accountingcode");
    if (s.ManageIncidentsAsOne)
        sql += QStringLiteral(", 'Multiple Incidents' as Incident ");
    else
        sql += QStringLiteral(", i.incidentname + '   ' + i.incidentnumber as Incident ");
    sql += QStringLiteral("from persons p inner join ")
        + QStringLiteral("personspost pp on p.personid=pp.personid inner join ")
        + QStringLiteral("accountingcodes a on pp.accountingid=a.accountingid inner join ")
        + QStringLiteral("incidents i on a.incidentid= i.incidentid where ")
        + QStringLiteral("len(p.faxphone)=10 and p.fedcode<>'AD' and p.pstatus <> 'D' and ")
        + QStringLiteral("pp.activitydt Between '") + day(s.ReportStartDate) + QStringLiteral("' and '")
        + day(s.ReportEndDate) + QStringLiteral("'");
    if (!s.ManageIncidentsAsOne) sql += QStringLiteral(" and a.incidentid = ") + num(s.SelectedIncidentId);
    sql += QStringLiteral(" and (");
    if (s.FaxMode) {
        sql += QStringLiteral("p.faxphone = '") + sqlQuoteInner(s.CurrentFaxNumber) + QStringLiteral("'");
    } else if (in.offices) {
        // Every checked office node (agency nodes are tagged "Agency", person
        // nodes have no tag) adds its fax number.
        const OfficeNodes& tree = *in.offices;
        for (int i = 0; i < tree.nodeCount(); ++i) {
            const QString tag = tree.nodeTag(i);
            if (tag == QLatin1String("Agency") || tag.isEmpty() || !tree.nodeChecked(i)) continue;
            sql += sql.endsWith(QLatin1Char('(')) ? QStringLiteral("p.faxphone = '")
                                                  : QStringLiteral(" or p.faxphone = '");
            sql += sqlQuoteInner(tag) + QStringLiteral("'");
        }
    }
    // Without a checked office the text would end in "and ()", which no
    // database accepts: say so instead of sending it.
    if (sql.endsWith(QLatin1Char('(')))
        return Draft::reject(QStringLiteral("No office is checked. Check the offices whose personnel time to report."));
    sql += QStringLiteral(")");
    Draft d;
    d.sql << sql;
    return d;
}

}  // namespace quillon::reportsql
