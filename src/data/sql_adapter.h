#pragma once
// Adapts the program's SQL Server text (and its few Access forms) to SQLite.
//
// The program builds every statement as SQL Server text and hands it to the
// connection unchanged; the embedded engine runs it through adapt() first.
// What changes, and why SQLite needs it:
//   #tmp, #Tmp                 a temporary table of the connection: temp."#tmp";
//                              "Create Table #tmp" creates a TEMP table
//   dbo.name                   the schema prefix is dropped
//   Left( Right(               keywords in SQLite: called as "left"( "right"(
//   IsNull(                    a postfix operator in SQLite: becomes ifnull(
//   Substring(                 substr(
//   DatePart(yyyy, x)          datepart('yyyy', x)   (registered function)
//   a + b on text              a || b  (SQLite's + turns text into 0)
//   Delete T where / Delete * from T   Delete from T ...
//   '6/30/2024', #6/30/2024#   '2024-06-30', the form dates are stored in,
//   '6/30/2024 7:05:00 PM'     '2024-06-30 19:05:00' (see below where)
//   true, false                1, 0
//   77ORDER BY                 77 ORDER BY
//   N'text'                    'text'
// len, Str, LTrim/RTrim, GETDATE and f_SortRequestNumber are functions
// registered on the connection (sqlite_functions.h).
//
// A "+" joins text when one of its operands is a string literal, a function
// that returns text, a parenthesised text expression, or a column that the
// schema declares as text, and neither is a number (a number literal, a
// numeric column or function): then, as on SQL Server, '1' + 2 adds. The
// adapter reads column types from SqlSchemaInfo.
// A literal becomes a stored date only where it meets a date: compared with,
// assigned to or inserted into a DATE or DATETIME column (in the column's
// form, so that '7/14/2026 12:00:00 AM' matches the DATE 2026-07-14), an
// argument of a date function, or an Access #date#. Elsewhere, and in every
// other respect, a string literal is left as written.

#include "data/column_kind.h"
#include "data/sql_tokens.h"

#include <QDate>
#include <QTime>

#include <QHash>
#include <QString>
#include <QStringList>

namespace quillon {

// Tables and views of a database with their columns' declared types.
class SqlSchemaInfo {
public:
    struct Column {
        QString name;
        QString declaredType;
        bool primaryKey = false;
    };
    struct Table {
        QString name;
        QString database;  // "main" or "temp"
        std::vector<Column> columns;
        const Column* column(const QString& name) const;
        // The primary key columns, empty when there is none.
        QStringList keyColumns() const;
    };

    void addColumn(const QString& database, const QString& table, const Column& column);
    void clear() { m_tables.clear(); }
    bool isEmpty() const { return m_tables.isEmpty(); }

    const Table* table(const QString& name) const;
    // Declared type of table.column; a null string when either is unknown.
    QString declaredType(const QString& table, const QString& column) const;

    const QHash<QString, Table>& tables() const { return m_tables; }

private:
    QHash<QString, Table> m_tables;  // keyed by lower-case name; temp tables shadow main ones
};

class SqlAdapter {
public:
    explicit SqlAdapter(const SqlSchemaInfo* schema = nullptr) : m_schema(schema) {}
    void setSchema(const SqlSchemaInfo* schema) { m_schema = schema; }

    // Returns the SQLite text for one or more SQL Server statements. Throws
    // DbError for a date literal that names no real date ('2/30/2024').
    QString adapt(const QString& sqlServerText) const;

    // A text SQL Server reads as a date under DATEFORMAT mdy: M/d/yyyy (also
    // with - or . and two-digit years), yyyymmdd, yyyy-mm-dd, each optionally
    // followed by a time h:mm[:ss[.fff]] [AM|PM] (after a T for ISO).
    struct ServerDate {
        QDate date;
        QTime time;
        bool hasTime = false;
    };
    // 1 a date, 0 not date-shaped, -1 date-shaped but no real date or time.
    static int parseServerDate(const QString& text, ServerDate& out);
    // The stored form: 'yyyy-MM-dd' for a Date column, 'yyyy-MM-dd HH:mm:ss'
    // for a DateTime one; otherwise with the time only when one was given.
    static QString storedForm(const ServerDate& d, ColumnKind kind);

    // Any of those forms as the stored text (time only when given); a null
    // string when the text does not have such a shape; ok=false when it has
    // the shape but names no real date or time.
    static QString isoFromUsDate(const QString& text, bool* ok = nullptr);

private:
    const SqlSchemaInfo* m_schema;
};

}  // namespace quillon
