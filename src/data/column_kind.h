#pragma once
// How a column's values are read and written, from its declared type.
// The embedded schema declares DATE, DATETIME, MONEY, BIT, INTEGER/SMALLINT,
// FLOAT and VARCHAR; the temporary tables the program creates use the SQL
// Server spellings (int, nvarchar, DateTime), which map the same way.

#include <QString>

namespace quillon {

enum class ColumnKind {
    Auto,      // no declared type (an expression): typed by what the engine returns
    Int,
    Double,
    Currency,
    Bool,
    Text,
    Date,      // stored as 'YYYY-MM-DD'
    DateTime,  // stored as 'YYYY-MM-DD HH:MM:SS'; a time of day on 1899-12-30
};

ColumnKind columnKindOf(const QString& declaredType);

// True for declared types whose values are text (CHAR, VARCHAR, NVARCHAR, TEXT, CLOB).
bool isTextDeclaredType(const QString& declaredType);

}  // namespace quillon
