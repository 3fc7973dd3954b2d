#pragma once
// A short, readable summary of an incident database file: per incident its
// resources, persons, postings, invoices, contractors and equipment.

#include <QString>

namespace quillon::demo {

// Opens the file read-only. Raises DbError when it is missing or is not an
// incident database.
QString summarizeDatabase(const QString& path);

}  // namespace quillon::demo
