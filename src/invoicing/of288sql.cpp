#include "invoicing/of288sql.h"

#include "data/sqltext.h"

#include <algorithm>

namespace quillon::of288 {

namespace {

QString num(std::int64_t v) { return sqlInt(v); }
QString day(const QDate& d) { return sqlDate(d); }

bool resourceScope(PostingScope scope)
{
    return scope == PostingScope::RequestNumber || scope == PostingScope::Crew;
}

// The posting fields both numbering queries read.
QString postingFields(bool allPersonnel)
{
    return QStringLiteral("PersonsPost.PersonsPostID, ") + QStringLiteral("PersonsPost.PersonID, ")
        + (allPersonnel ? QStringLiteral("PersonsPost.rate, ") : QStringLiteral("PersonsPost.Rate, "))
        + QStringLiteral("PersonsPost.KindCode, ") + QStringLiteral("PersonsPost.Column288, ")
        + QStringLiteral("PersonsPost.RptOrder, ") + QStringLiteral("PersonsPost.AccountingID, ")
        + QStringLiteral("PersonsPost.ActivityDT, ") + QStringLiteral("PersonsPost.FinalCol ");
}

// A posting or debit is open while its InvoiceID is 0 or Null.
QString openTest(const QString& column)
{
    return QStringLiteral("(") + column + QStringLiteral(" = 0 or ") + column + QStringLiteral(" is Null)");
}

// "Select all Personnel" covers the chosen incident only, unless the
// incidents are managed as one.
QString incidentCondition(const AppState& state, const QString& column)
{
    if (state.ManageIncidentsAsOne) return QString();
    return QStringLiteral(" AND ") + column + QStringLiteral(" = ") + num(state.SelectedIncidentId);
}

const QString resourcePersonPostJoin = QStringLiteral("Resources.ResourceID = Persons.ResourceID) ")
    + QStringLiteral("INNER JOIN PersonsPost ON ") + QStringLiteral("Persons.PersonID = PersonsPost.PersonID ");

}  // namespace

PostingScope postingScope(const Choices& choices, const AppState& state)
{
    if (choices.ReqNumOption && !choices.SelectedRequestNumber.isEmpty() && state.SelectedResourceId != 0)
        return PostingScope::RequestNumber;
    if (choices.PersonnelOption && state.SelectedPersonId != 0) return PostingScope::Person;
    if (choices.CrewOption && state.SelectedResourceId != 0) return PostingScope::Crew;
    return PostingScope::All;
}

PrepScope prepScope(const Choices& choices, const AppState& state)
{
    if (state.SelectedResourceId != 0
        && (choices.CrewOption || (choices.ReqNumOption && !choices.SelectedRequestNumber.isEmpty())))
        return PrepScope::Resource;
    if (choices.PersonnelOption && state.SelectedPersonId != 0) return PrepScope::Person;
    return PrepScope::All;
}

// ---- The window's lists and look-ups -------------------------------------------

QString personListSql(const AppState& state)
{
    return QStringLiteral("Select LastName+', '+FirstName  as strName,PersonID ") + QStringLiteral("FROM Persons ")
        + QStringLiteral("WHERE ResourceID IN (Select ResourceID FROM ")
        + (state.ManageIncidentsAsOne
               ? QStringLiteral("Resources) ")
               : QStringLiteral("Resources WHERE IncidentID = ") + num(state.SelectedIncidentId) + QStringLiteral(") "))
        + QStringLiteral("Order by LastName, FirstName");
}

QString crewListSql(const AppState& state)
{
    const bool server = state.DatabaseKind == DbKind::SqlServer;
    QString sql = QStringLiteral("Select Name, ResourceID ") + QStringLiteral(" FROM Resources ");
    if (state.ManageIncidentsAsOne)
        sql += server ? QStringLiteral("WHERE Collection = 1 ") : QStringLiteral("WHERE Collection = true ");
    else
        sql += QStringLiteral("WHERE IncidentID = ") + num(state.SelectedIncidentId)
            + (server ? QStringLiteral(" and Collection = 1 ") : QStringLiteral(" and Collection = true "));
    return sql + QStringLiteral(" Order by Name");
}

QString requestNumberListSql(const AppState& state)
{
    QString sql = QStringLiteral("Select Distinct RequestNumber, ResourceID, ")
        + QStringLiteral("dbo.f_SortRequestNumber(RequestNumber) as reqnum, ");
    if (state.ManageIncidentsAsOne)
        return sql + QStringLiteral("Left(RequestNumber, 1) As reqcat From Resources Order by reqcat, ")
            + QStringLiteral("reqnum");
    return sql + QStringLiteral("Left(RequestNumber, 1) As reqcat From Resources WHERE IncidentID = ")
        + num(state.SelectedIncidentId) + QStringLiteral(" Order by reqcat, reqnum");
}

QString invoiceListSql(const AppState& state, bool clear, const QString& year, const QString& incidentNumber)
{
    const QString personText = num(state.SelectedPersonId);
    const QString prefix = year + QLatin1Char('-') + incidentNumber + QLatin1Char('-')
        + QStringLiteral("000000").left(std::max(0, 6 - int(personText.size())));
    QString sql = QStringLiteral("Select PI.PersonsInvoiceID, '") + sqlQuoteInner(prefix)
        + QStringLiteral("' + LTrim(Str(PI.PersonID)) + ") + QStringLiteral("PI.InvoiceSuffix as InvoiceNumber, PI.FirstDate, ")
        + QStringLiteral("PI.LastDate, PI.PersonID, PI.InvoiceSuffix, ") + QStringLiteral("PI.Amount FROM PersonsInvoices PI ");
    if (clear) return sql + QStringLiteral("WHERE PI.PersonID = ") + num(-2);
    return sql + QStringLiteral("WHERE PI.Del = 0 and PI.PersonID = ") + personText + QStringLiteral(" ORDER BY PI.FirstDate");
}

QString latestPostingSql(std::int32_t key, bool isResource)
{
    return QStringLiteral("Select Max(ActivityDT) as ActivityDt From PersonsPost PP Inner Join Persons P On ")
        + QStringLiteral("PP.PersonID = P.PersonID ")
        + (isResource ? QStringLiteral("Where P.ResourceID = ") : QStringLiteral("Where P.PersonID = ")) + num(key);
}

QString launchPersonSql(std::int32_t personId)
{
    return QStringLiteral("Select LastName+', '+FirstName as strName from Persons where PersonID =") + num(personId);
}

QString launchResourceSql(std::int32_t resourceId)
{
    return QStringLiteral("Select Name, RequestNumber from Resources where ResourceId = ") + num(resourceId);
}

// ---- Column numbering --------------------------------------------------------

QString uninvoicedPostingsSql(const Choices& choices, const AppState& state)
{
    const PostingScope scope = postingScope(choices, state);
    const QString end = day(state.ReportEndDate);
    const QString open = QStringLiteral(" AND (PersonsPost.InvoiceId is NULL OR personspost.InvoiceId = 0)");
    const QString order = QStringLiteral(" Order by PersonsPost.PersonID, PersonsPost.FinalCol, ")
        + QStringLiteral("PersonsPost.ActivityDT, ") + QStringLiteral("PersonsPost.StartTime, PersonsPost.AccountingID, ");
    if (resourceScope(scope))
        return QStringLiteral("Select  ") + postingFields(false) + QStringLiteral("FROM (Resources INNER JOIN Persons ON ")
            + resourcePersonPostJoin + QStringLiteral("WHERE Resources.ResourceID = ") + num(state.SelectedResourceId)
            + QStringLiteral(" AND PersonsPost.ActivityDT <= '") + end + QStringLiteral("'") + open + order
            + QStringLiteral("PersonsPost.Rate ");
    if (scope == PostingScope::Person)
        return QStringLiteral("Select  ") + postingFields(false) + QStringLiteral(" FROM (Resources INNER JOIN Persons ON ")
            + resourcePersonPostJoin + QStringLiteral("WHERE Persons.PersonID = ") + num(state.SelectedPersonId)
            + QStringLiteral(" AND PersonsPost.ActivityDT <= '") + end + QStringLiteral("'") + open + order
            + QStringLiteral("PersonsPost.Rate ");
    return QStringLiteral("Select ") + postingFields(true) + QStringLiteral("FROM ((Resources INNER JOIN Persons ON ")
        + QStringLiteral("Resources.ResourceID = Persons.ResourceID) ") + QStringLiteral("INNER JOIN PersonsPost ON ")
        + QStringLiteral("Persons.PersonID = PersonsPost.PersonID) ") + QStringLiteral(" WHERE PersonsPost.ActivityDT <= '")
        + end + QStringLiteral("'") + incidentCondition(state, QStringLiteral("Resources.IncidentID")) + open + order
        + QStringLiteral("PersonsPost.Rate");
}

QString invoicedPostingsSql(const Choices& choices, const AppState& state)
{
    const PostingScope scope = postingScope(choices, state);
    const QString invoice = num(state.SelectedInvoiceId);
    const QString byPerson = QStringLiteral(" Order by PersonsPost.PersonID, PersonsPost.FinalCol, ");
    const QString order = QStringLiteral("PersonsPost.ActivityDT, PersonsPost.AccountingID, ")
        + QStringLiteral("PersonsPost.StartTime, ") + QStringLiteral("PersonsPost.Rate ");
    if (resourceScope(scope))
        return QStringLiteral("Select  ") + postingFields(false) + QStringLiteral("FROM PersonsPost INNER JOIN Persons ON ")
            + QStringLiteral("Persons.PersonID = PersonsPost.PersonID ")
            + QStringLiteral("WHERE PersonsPost.InvoiceID in (Select PersonsInvoices.PersonsInvoiceID From ")
            + QStringLiteral("PersonsInvoices Inner Join Persons ON PersonsInvoices.PersonID = Persons.PersonID ")
            + QStringLiteral("Where Persons.ResourceID = ") + num(state.SelectedResourceId) + QStringLiteral(")")
            + byPerson + order;
    if (scope == PostingScope::Person)
        return QStringLiteral("Select  ") + postingFields(false) + QStringLiteral(" FROM (Resources INNER JOIN Persons ON ")
            + resourcePersonPostJoin + QStringLiteral("WHERE Persons.PersonID = ") + num(state.SelectedPersonId)
            + QStringLiteral(" AND PersonsPost.InvoiceID = ") + invoice + byPerson + order;
    return QStringLiteral("Select ") + postingFields(true) + QStringLiteral("FROM ((Resources INNER JOIN Persons ON ")
        + QStringLiteral("Resources.ResourceID = Persons.ResourceID) ") + QStringLiteral("INNER JOIN PersonsPost ON ")
        + QStringLiteral("Persons.PersonID = PersonsPost.PersonID) ") + QStringLiteral(" WHERE ")
        + QStringLiteral(" PersonsPost.InvoiceID = ") + invoice + byPerson
        + QStringLiteral("PersonsPost.ActivityDT, PersonsPost.AccountingID, ") + QStringLiteral("PersonsPost.StartTime, ")
        + QStringLiteral("PersonsPost.Rate");
}

QString finalColumnSummarySql(const Choices& choices, const AppState& state)
{
    const PostingScope scope = postingScope(choices, state);
    const QString select = QStringLiteral("Select PersonsPost.PersonID, Persons.Rate, Max(PersonsPost.Column288) as Column288, ")
        + QStringLiteral("Persons.KindCode, Persons.AccountingID ");
    const QString from = QStringLiteral("FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID ");
    // The final column follows the columns of the postings this invoice
    // covers: the open ones up to the end date. Persons with nothing to
    // invoice get no final column.
    const QString covered = QStringLiteral(" and ") + openTest(QStringLiteral("PersonsPost.InvoiceID"))
        + QStringLiteral(" and PersonsPost.ActivityDT <= '") + day(state.ReportEndDate) + QStringLiteral("'");
    const QString group = QStringLiteral(" Group By PersonsPost.PersonID, Persons.Rate, Persons.KindCode, ")
        + QStringLiteral("Persons.AccountingID Order by PersonsPost.PersonID");
    if (resourceScope(scope))
        return select + from + QStringLiteral("Where Resources.ResourceID = ") + num(state.SelectedResourceId)
            + QStringLiteral(" and PersonsPost.FinalCol = 0") + covered + group;
    if (scope == PostingScope::Person)
        return select + from + QStringLiteral("Where Persons.PersonID = ") + num(state.SelectedPersonId)
            + QStringLiteral(" and PersonsPost.FinalCol = 0") + covered + group;
    return select + QStringLiteral("FROM ((Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID) ")
        + QStringLiteral("Where PersonsPost.FinalCol = 0") + covered
        + incidentCondition(state, QStringLiteral("Resources.IncidentID")) + group;
}

QString finalColumnPersonsSql(const Choices& choices, const AppState& state)
{
    const PostingScope scope = postingScope(choices, state);
    const QString select = QStringLiteral("Select PersonsPost.PersonID ");
    const QString from = QStringLiteral("FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID ");
    // A final-column row locked to an invoice belongs to that invoice.
    const QString open = QStringLiteral(" and ") + openTest(QStringLiteral("PersonsPost.InvoiceID"));
    if (resourceScope(scope))
        return select + from + QStringLiteral("Where Resources.ResourceID = ") + num(state.SelectedResourceId)
            + QStringLiteral(" and PersonsPost.FinalCol = 1") + open + QStringLiteral(" Group by PersonsPost.PersonID ")
            + QStringLiteral("Order by PersonsPost.PersonID");
    if (scope == PostingScope::Person)
        return select + from + QStringLiteral("Where Persons.PersonID = ") + num(state.SelectedPersonId)
            + QStringLiteral(" and PersonsPost.FinalCol = 1") + open + QStringLiteral(" Group By PersonsPost.PersonID ")
            + QStringLiteral("Order by PersonsPost.PersonID");
    return select + QStringLiteral("FROM ((Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID) ")
        + QStringLiteral("Where PersonsPost.FinalCol = 1") + open
        + incidentCondition(state, QStringLiteral("Resources.IncidentID"))
        + QStringLiteral(" Group by PersonsPost.PersonID Order by PersonsPost.PersonID");
}

QString finalColumnRowsSql(std::int32_t personId)
{
    return QStringLiteral("Select PersonID, PersonsPostID, Rate, Column288, KindCode, AccountingID, FinalCol ")
        + QStringLiteral(" From PersonsPost Where PersonID = ") + num(personId) + QStringLiteral(" and FinalCol = 1")
        + QStringLiteral(" and ") + openTest(QStringLiteral("InvoiceID"));
}

QString deleteFinalColumnSql(std::int32_t personId)
{
    return QStringLiteral("Delete PersonsPost where PersonID = ") + num(personId) + QStringLiteral(" and FinalCol = 1")
        + QStringLiteral(" and ") + openTest(QStringLiteral("InvoiceID"));
}

// ---- Preparation table -----------------------------------------------------------

QString createPrepTableSql()
{
    return QStringLiteral("Create Table #tmp (PersonID integer, PrevInvoices nvarchar(4000), ")
        + QStringLiteral("Original nVarChar(20), Lastdate DateTime, InvoiceNum nVarChar(40), ")
        + QStringLiteral("InvoiceID int default(0), EndDate DateTime)");
}

QString personSummarySql(const Choices& choices, const AppState& state)
{
    if (state.InvoicePrintMode == PrintDuplicateOriginal) return latestInvoicesSql(choices, state);
    const QString end = day(state.ReportEndDate);
    // A person is invoiced for the open postings up to the end date; open
    // debits up to that date go with them and may start the period. Each
    // figure is read per person, so the cost follows the selection, not the
    // size of the tables.
    const QString openPosting = QStringLiteral("From PersonsPost PP Where PP.PersonID = P.PersonID and PP.FinalCol = 0 and ")
        + openTest(QStringLiteral("PP.InvoiceID")) + QStringLiteral(" and PP.ActivityDT <= '") + end + QStringLiteral("'");
    QString sql = QStringLiteral("Select P.PersonID, ")
        + QStringLiteral("(Select Max(PI.InvoiceSuffix) From PersonsInvoices PI Where PI.PersonID = P.PersonID) as InvoiceSuffix, ")
        + QStringLiteral("(Select Min(PP.ActivityDT) ") + openPosting + QStringLiteral(") as StartDate, ")
        + QStringLiteral("(Select Min(PD.ActivityDT) From PersonsDebit PD Where PD.PersonID = P.PersonID and ")
        + openTest(QStringLiteral("PD.InvoiceID")) + QStringLiteral(" and PD.ActivityDT <= '") + end
        + QStringLiteral("') as PDStartDate, ")
        + QStringLiteral("DatePart(yyyy, I.StartDate) as incStartYear, I.IncidentNumber ")
        + QStringLiteral("From (Persons P Inner Join Resources R On R.ResourceID = P.ResourceID) ")
        + QStringLiteral("Inner Join Incidents I On I.IncidentID = R.IncidentID ")
        + QStringLiteral("Where Exists (Select PP.PersonsPostID ") + openPosting + QStringLiteral(")");
    switch (prepScope(choices, state)) {
    case PrepScope::Resource: sql += QStringLiteral(" and R.ResourceID = ") + num(state.SelectedResourceId); break;
    case PrepScope::Person: sql += QStringLiteral(" and P.PersonID = ") + num(state.SelectedPersonId); break;
    case PrepScope::All: sql += incidentCondition(state, QStringLiteral("R.IncidentID")); break;
    }
    return sql + QStringLiteral(" Order by P.PersonID");
}

QString latestInvoicesSql(const Choices& choices, const AppState& state)
{
    // Each person's latest valid invoice: the greatest LastDate, of those the
    // greatest key. Persons without one get no row.
    QString sql = QStringLiteral("Select P.PersonID, PI.PersonsInvoiceID, PI.InvoiceSuffix, PI.Original, PI.FirstDate, ")
        + QStringLiteral("PI.LastDate, DatePart(yyyy, I.StartDate) as incStartYear, I.IncidentNumber ")
        + QStringLiteral("From ((Persons P Inner Join Resources R On R.ResourceID = P.ResourceID) ")
        + QStringLiteral("Inner Join Incidents I On I.IncidentID = R.IncidentID) ")
        + QStringLiteral("Inner Join PersonsInvoices PI On PI.PersonID = P.PersonID ")
        + QStringLiteral("Where PI.PersonsInvoiceID = (Select Max(X.PersonsInvoiceID) From PersonsInvoices X ")
        + QStringLiteral("Where X.PersonID = P.PersonID and X.Del = 0 and X.LastDate = (Select Max(Y.LastDate) ")
        + QStringLiteral("From PersonsInvoices Y Where Y.PersonID = P.PersonID and Y.Del = 0))");
    switch (prepScope(choices, state)) {
    case PrepScope::Resource: sql += QStringLiteral(" and R.ResourceID = ") + num(state.SelectedResourceId); break;
    case PrepScope::Person: sql += QStringLiteral(" and P.PersonID = ") + num(state.SelectedPersonId); break;
    case PrepScope::All: sql += incidentCondition(state, QStringLiteral("R.IncidentID")); break;
    }
    return sql + QStringLiteral(" Order by P.PersonID");
}

QString previousInvoicesSql(std::int32_t personId, const QDate& before, std::int32_t exceptInvoiceId)
{
    return QStringLiteral("Select PI.FirstDate, PI.LastDate, PI.Amount, ")
        + QStringLiteral("(Select Sum(PP.Hours) From PersonsPost PP Where PP.PersonID = PI.PersonID ")
        + QStringLiteral("and PP.InvoiceID = PI.PersonsInvoiceID) as Hours ")
        + QStringLiteral("From PersonsInvoices PI Where PI.PersonID = ") + num(personId)
        + QStringLiteral(" and PI.Del = 0 and PI.LastDate < '") + day(before)
        + QStringLiteral("' and PI.PersonsInvoiceID <> ") + num(exceptInvoiceId) + QStringLiteral(" Order by PI.LastDate");
}

QString incidentOfPersonSql(std::int32_t personId)
{
    return QStringLiteral("Select DatePart(yyyy, I.StartDate) as incStartYear, I.IncidentNumber ")
        + QStringLiteral("From (Persons P Inner Join Resources R On R.ResourceID = P.ResourceID) ")
        + QStringLiteral("Inner Join Incidents I On I.IncidentID = R.IncidentID Where P.PersonID = ") + num(personId);
}

QString findInvoiceIdSql(std::int32_t personId, const QString& suffix)
{
    return QStringLiteral("Select PersonsInvoiceID from PersonsInvoices where PersonID = ") + num(personId)
        + QStringLiteral(" and ") + QStringLiteral(" InvoiceSuffix = '") + sqlQuoteInner(suffix) + QStringLiteral("'");
}

QString selectedInvoiceSql(std::int32_t invoiceId)
{
    return QStringLiteral("Select * from PersonsInvoices Where PersonsInvoiceID = ") + num(invoiceId);
}

// ---- Issuance and deletion ------------------------------------------------------

QString originalReasonSql(std::int32_t reasonId, std::int32_t invoiceId, std::int32_t original)
{
    return QStringLiteral("Insert into PersonsInvoicesReason (PersonsInvoicesReasonID, PersonsInvoiceID, ")
        + QStringLiteral("Original, Reason) Values(") + num(reasonId) + QStringLiteral(", ") + num(invoiceId)
        + QStringLiteral(", ") + num(original) + QStringLiteral(", ") + QStringLiteral("'Original')");
}

QString duplicateReasonSql(std::int32_t reasonId, std::int32_t invoiceId, std::int32_t original, const QString& reason)
{
    return QStringLiteral("Insert into PersonsInvoicesReason (PersonsInvoicesReasonID, PersonsInvoiceID, ")
        + QStringLiteral("Original, Reason) Values(") + num(reasonId) + QStringLiteral(", ") + num(invoiceId)
        + QStringLiteral(", ") + num(original) + QStringLiteral(", '") + sqlQuoteInner(reason) + QStringLiteral("')");
}

QString raiseCopyCountSql(std::int32_t invoiceId, std::int32_t original)
{
    return QStringLiteral("Update PersonsInvoices Set Original = ") + num(original)
        + QStringLiteral(" Where PersonsInvoiceID = ") + num(invoiceId);
}

QString lockPostingsSql(const QString& table, std::int32_t invoiceId, std::int32_t personId, const QDate& endDate)
{
    return QStringLiteral("Update ") + table + QStringLiteral(" Set InvoiceID = ") + num(invoiceId)
        + QStringLiteral(" Where PersonID = ") + num(personId) + QStringLiteral(" and ActivityDt <= '") + day(endDate)
        + QStringLiteral("' and ") + openTest(QStringLiteral("InvoiceID"));
}

QString lockFinalColumnSql(std::int32_t invoiceId, std::int32_t personId)
{
    return QStringLiteral("Update PersonsPost Set InvoiceID = ") + num(invoiceId) + QStringLiteral(" Where PersonID = ")
        + num(personId) + QStringLiteral(" and FinalCol = 1 and ") + openTest(QStringLiteral("InvoiceID"));
}

QString lockedPostingsSql(std::int32_t invoiceId, std::int32_t personId)
{
    // Read through the person's postings: the key alone may be judged too
    // common to search by when most postings are still open.
    return QStringLiteral("Select Sum(Hours) as Hours, Min(ActivityDT) as FirstDay From PersonsPost Where PersonID = ")
        + num(personId) + QStringLiteral(" and InvoiceID = ") + num(invoiceId);
}

QString lockedDebitsSql(std::int32_t invoiceId, std::int32_t personId)
{
    return QStringLiteral("Select Min(ActivityDT) as FirstDay From PersonsDebit Where PersonID = ") + num(personId)
        + QStringLiteral(" and InvoiceID = ") + num(invoiceId);
}

QString highestSuffixSql(std::int32_t personId, bool sqlServer)
{
    // On SQL Server the range of the person's invoices stays locked to this
    // transaction until it ends, so a second clerk reads the suffix only
    // after the first one's invoice is in.
    return QStringLiteral("Select Max(InvoiceSuffix) as InvoiceSuffix From PersonsInvoices")
        + (sqlServer ? QStringLiteral(" WITH (UPDLOCK, HOLDLOCK)") : QString()) + QStringLiteral(" Where PersonID = ")
        + num(personId);
}

QString insertInvoiceSql(std::int32_t invoiceId, const QDate& first, const QDate& last, std::int32_t personId,
                         const QString& suffix, std::int32_t original, std::int32_t amount)
{
    return QStringLiteral("Insert into PersonsInvoices (PersonsInvoiceID, FirstDate, LastDate, PersonID, InvoiceSuffix, ")
        + QStringLiteral("Original, Amount) Values(") + num(invoiceId) + QStringLiteral(", '") + day(first)
        + QStringLiteral("', '") + day(last) + QStringLiteral("', ") + num(personId) + QStringLiteral(", '")
        + sqlQuoteInner(suffix) + QStringLiteral("', ") + num(original) + QStringLiteral(", ") + num(amount)
        + QStringLiteral(")");
}

QString finalInvoicesSql()
{
    return QStringLiteral("Select T.InvoiceID, (Select Count(*) From PersonsPost PP Where PP.PersonID = T.PersonID ")
        + QStringLiteral("and PP.InvoiceID = T.InvoiceID and PP.FinalCol = 1) as Final From #tmp T Where T.InvoiceID <> 0");
}

QString hasInvoicesSql(std::int32_t resourceId, std::int32_t personId)
{
    return QStringLiteral("Select Max(PersonsInvoiceID)as InvoiceID From PersonsInvoices PI Inner Join Persons P ")
        + QStringLiteral("On PI.PersonID = P.PersonID Where ")
        + (resourceId != 0 ? QStringLiteral(" P.ResourceID = ") + num(resourceId)
                           : QStringLiteral(" PI.PersonID = ") + num(personId))
        + QStringLiteral(" and PI.Del = 0");
}

QString lastInvoiceSql(std::int32_t personId)
{
    return QStringLiteral("Select PersonsInvoiceID From PersonsInvoices Where PersonID = ") + num(personId)
        + QStringLiteral(" and Del = 0 and LastDate in (Select Max(LastDate) from PersonsInvoices where PersonID = ")
        + num(personId) + QStringLiteral(" and Del = 0)");
}

QString deletionReasonSql(std::int32_t reasonId, std::int32_t invoiceId, const QString& reason)
{
    return QStringLiteral("Insert into PersonsInvoicesReason (PersonsInvoicesReasonID,PersonsInvoiceID,Original,Reason) ")
        + QStringLiteral("Values(") + num(reasonId) + QStringLiteral(",") + num(invoiceId) + QStringLiteral(",")
        + num(-1) + QStringLiteral(",'") + sqlQuoteInner(reason) + QStringLiteral("')");
}

// ---- Texts -----------------------------------------------------------------------

QString paddedPersonId(std::int64_t personId)
{
    const QString text = num(personId);
    return QStringLiteral("000000").left(std::max(0, 6 - int(text.size()))) + text;
}

QString invoiceNumber(const QString& year, const QString& incidentNumber, std::int64_t personId, const QString& suffix)
{
    return year + QLatin1Char('-') + incidentNumber + QLatin1Char('-') + paddedPersonId(personId) + suffix;
}

QString nextSuffix(const QString& suffix)
{
    if (suffix.isEmpty()) return QStringLiteral("A");
    return QString(QChar(char16_t(suffix.at(0).unicode() + 1)));
}

QString copyNumberText(std::int64_t copy, const QString& reason)
{
    const QString digits = num(copy);
    return (digits.size() < 2 ? QStringLiteral("0") + digits : digits) + QLatin1Char(' ') + reason;
}

QString hoursText(double hours)
{
    QString text = QString::number(hours, 'f', 2);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString prevInvoiceLine(const Value& firstDate, const Value& lastDate, const QString& hours)
{
    return firstDate.toString() + QStringLiteral(" - ") + lastDate.toString() + QStringLiteral(" for ") + hours
        + QStringLiteral(" Hours.") + QStringLiteral("\r\n");
}

}  // namespace quillon::of288
