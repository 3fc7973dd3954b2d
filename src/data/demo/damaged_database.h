#pragma once
// Damage of the kinds that older programs left in incident databases, for
// trying the audit: issued invoices are written into a sample database
// first, then each kind of damage is done once.
//
// One instance each: a posting locked to an invoice that does not exist;
// postings left locked to a deleted invoice; a use posting locked to another
// piece of equipment's invoice; a live invoice with no postings; a live
// invoice without its "Original" reason row; two live invoices with one
// suffix; two live invoices whose periods overlap; an OF-286 amount and an
// OF-288 amount that differ from their postings; a key counter behind its
// table's largest key; scratch rows left in ReportRecords; a date that is not
// a date; a NULL in a NOT NULL column (which SQLite's integrity check finds).
// Every other invoice written here is sound.

#include <QString>

namespace quillon::demo {

// Damages the database file at `path` (a sample written by
// createDemoDatabase, holding no invoices yet). Raises DbError on failure.
void damageDatabase(const QString& path);

// Stores NULL in a NOT NULL column of one row, as a file written by another
// program can hold it: the constraint is lifted from the stored table
// definition, the value written, and the definition put back. `where` selects
// the row.
void breakNotNull(const QString& path, const QString& table, const QString& column, const QString& where);

}  // namespace quillon::demo
