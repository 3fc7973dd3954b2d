#pragma once
// The audit of an incident database: checks what an issued invoice and the
// schema promise, and says where the database breaks it, before anyone pays
// from it.
//
//   Connection db;
//   db.openEmbedded(path);
//   const AuditResult result = runAudit(db);   // reads only
//   for (const AuditFinding& f : result.findings) out << findingLine(f) << "\n";
//
// An issued invoice promises: every locked row (PersonsPost, PersonsDebit,
// ContractorPost, ContractorAdjustments) carries the key of an existing,
// non-deleted invoice of its own person or equipment; every live invoice has
// postings (or debits) and its "Original" reason row; one live invoice per
// person or equipment and suffix, and no two of them over the same days; the
// stored amount is what its locked rows give. The schema promises key
// counters at or above each table's largest key, no scratch rows left in
// ReportRecords, dates that are dates, and (SQLite) an intact file.
//
// Every rule is SQL Server text run through the Connection, so the same audit
// runs on the embedded file and over ODBC; the file-level checks (stored date
// text, PRAGMA integrity_check) run only where the engine is SQLite. The audit
// runs inside one transaction that it rolls back, and on SQLite with
// query_only set: it never changes a row.

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

namespace quillon {

class Connection;

namespace audit {

// Rule identifiers, as printed.
inline constexpr const char* LockNoInvoice = "lock-no-invoice";
inline constexpr const char* LockDeletedInvoice = "lock-deleted-invoice";
inline constexpr const char* LockOtherOwner = "lock-other-owner";
inline constexpr const char* InvoiceNoPostings = "invoice-no-postings";
inline constexpr const char* InvoiceNoOriginal = "invoice-no-original-reason";
inline constexpr const char* DuplicateSuffix = "duplicate-suffix";
inline constexpr const char* OverlappingPeriods = "overlapping-periods";
inline constexpr const char* EquipmentAmount = "equipment-amount";
inline constexpr const char* PersonnelAmount = "personnel-amount";
inline constexpr const char* KeyCounterBehind = "key-counter-behind";
inline constexpr const char* ScratchRows = "scratch-rows";
inline constexpr const char* BadDate = "bad-date";
inline constexpr const char* Integrity = "integrity-check";

}  // namespace audit

struct AuditRule {
    QString id;
    QString title;     // short caption for the report's group header
};

// Every rule in the order the audit runs them.
const std::vector<AuditRule>& auditRules();
// The title of a rule id (the id itself when unknown).
QString auditRuleTitle(const QString& id);

struct AuditFinding {
    QString rule;           // one of audit::*
    QString table;          // the table whose rows break the rule
    std::vector<qint64> keys;  // their keys (may be empty: a table-wide finding)
    QString owner;          // "person 77", "equipment 42" or empty
    QString invoice;        // invoice number with suffix, or the invoice key, or empty
    QString rows;           // the rows, for a reader
    QString meaning;        // what it means for payment
};

struct AuditResult {
    QString engine;         // "SQLite" or "ODBC"
    std::vector<AuditFinding> findings;
    int count(const QString& rule) const;
};

// Runs every rule. Raises DbError when the database cannot be read.
AuditResult runAudit(Connection& db);

// One line: "rule: rows: meaning".
QString findingLine(const AuditFinding& finding);
// The whole result for other tools: {"engine", "clean", "counts": {rule: n},
// "findings": [{rule, title, table, keys, owner, invoice, rows, meaning}]}.
QJsonObject auditJson(const AuditResult& result);

// Rounds hours to a whole number with halves going to the even neighbour, as
// an OF-288 stores its hours.
qint64 roundHoursHalfEven(double hours);

}  // namespace quillon
