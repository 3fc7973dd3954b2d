#pragma once
// The SQL texts and text forms of the OF-288 personnel invoice: which postings
// a Run numbers, who gets a row in the preparation table, the lookups of the
// invoice list and of the delete-last-invoice button, and the invoice number,
// suffix and copy number texts printed on the form.
//
// The texts go to SQL Server as they stand (the embedded engine adapts them),
// so they are kept fragment for fragment: blanks and letter case included.

#include "data/value.h"
#include "shell/appstate.h"

#include <QDate>
#include <QString>

#include <cstdint>

namespace quillon::of288 {

// The choices of the OF-288 window that the invoice services read besides the
// shared state.
struct Choices {
    bool CrewOption = false;        // "Select a Specific Crew"
    bool ReqNumOption = false;      // "Select a Specific Request Number"
    bool PersonnelOption = false;   // "Select a Specific Person"
    bool AllOption = false;         // "Select all Personnel"
    bool ResourceMode = false;      // a crew or request number was chosen last
    QString SelectedRequestNumber;  // text last chosen in the request number list
    bool FinalFlag = false;         // "Final Invoice"
};

// Whose postings a Run numbers; tested in this order.
enum class PostingScope { RequestNumber, Person, Crew, All };
PostingScope postingScope(const Choices& choices, const AppState& state);

// Whose rows the preparation table gets.
enum class PrepScope { Resource, Person, All };
PrepScope prepScope(const Choices& choices, const AppState& state);

// ---- The window's lists and look-ups -------------------------------------------

QString personListSql(const AppState& state);
QString crewListSql(const AppState& state);
QString requestNumberListSql(const AppState& state);
// The invoices of the chosen person with their invoice numbers; `clear` gives
// a query without rows (an empty list with its columns).
QString invoiceListSql(const AppState& state, bool clear, const QString& year, const QString& incidentNumber);
// The latest posting date of a person or of a resource's persons.
QString latestPostingSql(std::int32_t key, bool isResource);
// The name of a person, or the name and request number of a resource, chosen
// on the command line.
QString launchPersonSql(std::int32_t personId);
QString launchResourceSql(std::int32_t resourceId);

// ---- Column numbering --------------------------------------------------------

// The open postings up to ReportEndDate, in numbering order.
QString uninvoicedPostingsSql(const Choices& choices, const AppState& state);
// The postings of the invoices being reprinted, in numbering order.
QString invoicedPostingsSql(const Choices& choices, const AppState& state);
// One row per person: the highest column of its ordinary postings and the
// person's own rate, kind and accounting code (for a final-column row).
QString finalColumnSummarySql(const Choices& choices, const AppState& state);
// The persons of the selection that have final-column rows.
QString finalColumnPersonsSql(const Choices& choices, const AppState& state);
QString finalColumnRowsSql(std::int32_t personId);
QString deleteFinalColumnSql(std::int32_t personId);

// ---- Preparation table -----------------------------------------------------------

// Creates the preparation table. PrevInvoices holds up to 4000 characters, the
// widest plain text column SQL Server has (about a hundred invoice lines), so
// that a person's list of earlier invoices is neither cut nor fails the Run;
// InvoiceNum takes 40, room for the longest incident number and a seven-digit
// PersonID.
QString createPrepTableSql();
// One row per person of the selection with what the invoice number, copy
// number and period are made of.
QString personSummarySql(const Choices& choices, const AppState& state);
// Each person's latest valid invoice, for a reprint of the whole selection.
QString latestInvoicesSql(const Choices& choices, const AppState& state);
// The person's valid invoices that ended before `before`, other than
// `exceptInvoiceId`, with the hours of the postings each one holds.
QString previousInvoicesSql(std::int32_t personId, const QDate& before, std::int32_t exceptInvoiceId);
// The four-digit start year and the number of the person's incident.
QString incidentOfPersonSql(std::int32_t personId);
QString findInvoiceIdSql(std::int32_t personId, const QString& suffix);
// The invoice chosen for a reprint.
QString selectedInvoiceSql(std::int32_t invoiceId);

// ---- Issuance and deletion ------------------------------------------------------

QString originalReasonSql(std::int32_t reasonId, std::int32_t invoiceId, std::int32_t original);
QString duplicateReasonSql(std::int32_t reasonId, std::int32_t invoiceId, std::int32_t original, const QString& reason);
QString raiseCopyCountSql(std::int32_t invoiceId, std::int32_t original);
// Locks a person's open postings (or debits) up to the end date to an
// invoice; open is InvoiceID 0 or Null, and nothing else is taken.
QString lockPostingsSql(const QString& table, std::int32_t invoiceId, std::int32_t personId, const QDate& endDate);
// Locks the person's open final-column row to the invoice, which makes the
// invoice final and lets every reprint show it so.
QString lockFinalColumnSql(std::int32_t invoiceId, std::int32_t personId);
// What an invoice holds once locked: its postings' hours and first day, and
// the first day of its debits.
QString lockedPostingsSql(std::int32_t invoiceId, std::int32_t personId);
QString lockedDebitsSql(std::int32_t invoiceId, std::int32_t personId);
// The highest suffix the person ever had; on SQL Server read with locks held
// to the end of the transaction.
QString highestSuffixSql(std::int32_t personId, bool sqlServer);
QString insertInvoiceSql(std::int32_t invoiceId, const QDate& first, const QDate& last, std::int32_t personId,
                         const QString& suffix, std::int32_t original, std::int32_t amount);
// The invoices named in #tmp, each with its count of final-column rows.
QString finalInvoicesSql();

QString hasInvoicesSql(std::int32_t resourceId, std::int32_t personId);
QString lastInvoiceSql(std::int32_t personId);
QString deletionReasonSql(std::int32_t reasonId, std::int32_t invoiceId, const QString& reason);

// ---- Texts -----------------------------------------------------------------------

// The PersonID left-padded with "0" to six characters (longer IDs unchanged).
QString paddedPersonId(std::int64_t personId);
// Year-incident-PersonID plus suffix: 2005-CA-ABC-000123-004711B.
QString invoiceNumber(const QString& year, const QString& incidentNumber, std::int64_t personId,
                      const QString& suffix);
// The suffix after `suffix`: the next character code ("A" after an empty one).
QString nextSuffix(const QString& suffix);
// The copy number printed on a duplicate: at least two digits, then a blank and
// the reason ("02 Lost", "123 Lost").
QString copyNumberText(std::int64_t copy, const QString& reason);
// Hours as the form prints them, without trailing zeros: "16.5", "40", "7.25".
QString hoursText(double hours);
// One line of the previous-invoices list: "6/1/2024 - 6/14/2024 for 112.5 Hours.\r\n".
QString prevInvoiceLine(const Value& firstDate, const Value& lastDate, const QString& hours);

}  // namespace quillon::of288
