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

QString invoiceListSql(const AppState& state, bool clear)
{
    const QString personText = num(state.SelectedPersonId);
    const QString prefix = state.IncidentStartYear + QLatin1Char('-') + state.SelectedIncidentNumber + QLatin1Char('-')
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
        + end + QStringLiteral("'") + open + order + QStringLiteral("PersonsPost.Rate");
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
    const QString group = QStringLiteral(" Group By PersonsPost.PersonID, Persons.Rate, Persons.KindCode, ")
        + QStringLiteral("Persons.AccountingID Order by PersonsPost.PersonID");
    if (resourceScope(scope))
        return select + from + QStringLiteral("Where Resources.ResourceID = ") + num(state.SelectedResourceId)
            + QStringLiteral(" and PersonsPost.FinalCol = 0") + group;
    if (scope == PostingScope::Person)
        return select + from + QStringLiteral("Where Persons.PersonID = ") + num(state.SelectedPersonId)
            + QStringLiteral(" and PersonsPost.FinalCol = 0") + group;
    return select + QStringLiteral("FROM ((Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID) ")
        + QStringLiteral("Where PersonsPost.FinalCol = 0 ") + group.mid(1);
}

QString finalColumnPersonsSql(const Choices& choices, const AppState& state)
{
    const PostingScope scope = postingScope(choices, state);
    const QString select = QStringLiteral("Select PersonsPost.PersonID ");
    const QString from = QStringLiteral("FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID ");
    if (resourceScope(scope))
        return select + from + QStringLiteral("Where Resources.ResourceID = ") + num(state.SelectedResourceId)
            + QStringLiteral(" and PersonsPost.FinalCol = 1") + QStringLiteral(" Group by PersonsPost.PersonID ")
            + QStringLiteral("Order by PersonsPost.PersonID");
    if (scope == PostingScope::Person)
        return select + from + QStringLiteral("Where Persons.PersonID = ") + num(state.SelectedPersonId)
            + QStringLiteral(" and PersonsPost.FinalCol = 1") + QStringLiteral(" Group By PersonsPost.PersonID ")
            + QStringLiteral("Order by PersonsPost.PersonID");
    return select + QStringLiteral("FROM ((Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID) ")
        + QStringLiteral("Where PersonsPost.FinalCol = 1 ") + QStringLiteral("Group by PersonsPost.PersonID Order by PersonsPost.PersonID");
}

QString finalColumnRowsSql(std::int32_t personId)
{
    return QStringLiteral("Select PersonID, PersonsPostID, Rate, Column288, KindCode, AccountingID, FinalCol ")
        + QStringLiteral(" From PersonsPost Where PersonID = ") + num(personId) + QStringLiteral(" and FinalCol = 1");
}

QString deleteFinalColumnSql(std::int32_t personId)
{
    return QStringLiteral("Delete PersonsPost where PersonID = ") + num(personId) + QStringLiteral(" and FinalCol = 1");
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
    const bool duplicate = state.InvoicePrintMode == PrintDuplicateOriginal;
    QString sql = QStringLiteral("Select Persons.PersonID, Max(PersonsInvoices.InvoiceSuffix) as InvoiceSuffix, ")
        + QStringLiteral("Max(PersonsInvoices.Original) as Original, Max(PersonsInvoices.LastDate) as LastDate, ")
        // The first open posting and the first open debit (InvoiceID 0 or
        // Null): a row of the join qualifies when either side is open, so a
        // plain Min would also reach postings and debits locked to earlier
        // invoices and date the new invoice back into their period.
        + QStringLiteral("Min(Case When IsNull(PersonsPost.InvoiceID, 0) = 0 Then PersonsPost.ActivityDt End) as StartDate, ")
        + QStringLiteral("Min(Case When IsNull(PersonsDebit.InvoiceID, 0) = 0 Then PersonsDebit.ActivityDT End) as PDStartDate, ")
        + QStringLiteral("DatePart(yyyy, Incidents.StartDate) as incStartYear, Incidents.IncidentNumber ");
    const QString joins = QStringLiteral("FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("Inner Join PersonsPost ON PersonsPost.PersonID = Persons.PersonID ")
        + QStringLiteral("Left Outer JOIN PersonsInvoices ON Persons.PersonID = PersonsInvoices.PersonID ");
    const QString incidents = QStringLiteral("Inner Join Incidents ON Incidents.IncidentID = Resources.IncidentID ");

    switch (prepScope(choices, state)) {
    case PrepScope::Resource: {
        const QString r = num(state.SelectedResourceId);
        sql += joins + QStringLiteral("Left Outer Join PersonsDebit ON Persons.PersonID = PersonsDebit.PersonID ") + incidents;
        if (!duplicate)
            sql += QStringLiteral("Where (Resources.ResourceID = ") + r + QStringLiteral(" and PersonsPost.InvoiceID = 0) or (Resources.ResourceID = ")
                + r + QStringLiteral(" and PersonsDebit.InvoiceID = 0) ");
        else
            sql += QStringLiteral("Where Resources.ResourceID = ") + r + QStringLiteral(" ");
        return sql + QStringLiteral("Group by Persons.PersonID, Incidents.StartDate, Incidents.IncidentNumber ")
            + QStringLiteral("Order by Persons.PersonID");
    }
    case PrepScope::Person: {
        const QString p = num(state.SelectedPersonId);
        sql += joins + QStringLiteral("Left Outer Join PersonsDebit on Persons.PersonID = PersonsDebit.PersonID ") + incidents;
        if (!duplicate)
            sql += QStringLiteral("Where (Persons.PersonID = ") + p + QStringLiteral(" and PersonsPost.InvoiceID = 0) ")
                + QStringLiteral("or (Persons.PersonID = ") + p + QStringLiteral(" and PersonsDebit.InvoiceID = 0) ");
        else
            sql += QStringLiteral("Where Persons.PersonID = ") + p + QStringLiteral(" ");
        return sql + QStringLiteral("Group By Persons.PersonID, Incidents.StartDate, Incidents.IncidentNumber ")
            + QStringLiteral("Order by Persons.PersonID");
    }
    case PrepScope::All: break;
    }
    sql += QStringLiteral("FROM ((Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) ")
        + QStringLiteral("Inner Join PersonsPost ON PersonsPost.PersonID = Persons.PersonID ")
        + QStringLiteral("Left Outer JOIN PersonsInvoices ON Persons.PersonID = PersonsInvoices.PersonID) ")
        + QStringLiteral("Left Outer Join PersonsDebit on Persons.PersonID = PersonsDebit.PersonID ") + incidents;
    if (!duplicate) sql += QStringLiteral("Where PersonsPost.InvoiceID = 0 or PersonsDebit.InvoiceID = 0 ");
    return sql + QStringLiteral("Group by Persons.PersonID, Incidents.StartDate, ")
        + QStringLiteral("Incidents.IncidentNumber Order By Persons.PersonID");
}

QString personInvoicesSql(std::int32_t personId, const AppState& state)
{
    const QString select = QStringLiteral("SELECT FirstDate, LastDate, Amount, Del from PersonsInvoices where PersonID = ")
        + num(personId);
    if (state.InvoicePrintMode == PrintDuplicateOriginal) return select + QStringLiteral(" order by LastDate");
    return select + QStringLiteral(" and LastDate < '") + day(state.ReportEndDate) + QStringLiteral("' order by LastDate");
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

QString otherInvoicesSql(std::int32_t personId, std::int32_t invoiceId)
{
    return QStringLiteral("Select FirstDate, LastDate, Amount, Del From PersonsInvoices where PersonId = ") + num(personId)
        + QStringLiteral(" and PersonsInvoiceID <> ") + num(invoiceId);
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
        + QStringLiteral("'") + QStringLiteral(" and InvoiceID = 0");
}

QString openNullPostingsSql(const QString& table, std::int32_t personId, const QDate& endDate)
{
    return QStringLiteral("Update ") + table + QStringLiteral(" Set InvoiceID = 0 Where PersonID = ") + num(personId)
        + QStringLiteral(" and ActivityDt <= '") + day(endDate) + QStringLiteral("' and InvoiceID is Null");
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

QString prevInvoiceLine(const Value& firstDate, const Value& lastDate, const Value& amount)
{
    return firstDate.toString() + QStringLiteral(" - ") + lastDate.toString() + QStringLiteral(" for ")
        + amount.toString() + QStringLiteral(" Hours.") + QStringLiteral("\r\n");
}

}  // namespace quillon::of288
