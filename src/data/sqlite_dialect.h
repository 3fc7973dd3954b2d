#pragma once
// What every SQLite database needs whichever way it is reached, the embedded
// engine or an ODBC driver: the statements that read its schema, the forms of
// names and single-row edits, and the stored procedure usp_getNextNumber,
// which SQLite does not have and the engine serves from the KeyCounters table.

#include "data/engine.h"
#include "data/sql_adapter.h"

namespace quillon::sqlite {

// Rows of (table, column, declared type, primary-key position) for the tables
// and views of one database ("main" or "temp").
QString schemaQuery(const QString& database);

QString quoteName(const QString& name);
// "main"."T", or temp."#tmp" for a temporary table named as the program names it.
QString qualifiedName(const BaseTable& t);
QString matchCondition(const QString& quotedColumn, ColumnKind kind);
QString singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where);
QString singleRowDelete(const BaseTable& t, const QString& where);

// True when the text of a native statement changes the schema.
bool changesSchema(const QString& nativeSql);

// Serves usp_getNextNumber(tablename, fieldname, OUTPUT nextnumber) on an
// engine whose native dialect is SQLite: in one write transaction (a savepoint
// inside an open one) the table's counter becomes one more than the larger of
// itself and the table's largest key, and is returned. Rows other programs
// insert with keys of their own are never handed out again, and two
// connections to one file never receive the same number (the second waits).
void serveNextNumber(Engine& engine, const SqlSchemaInfo& schema, std::vector<Parameter>& params);

// Makes every SQLite connection this process opens from now on, including one
// an ODBC driver opens through the same SQLite library, carry the server
// functions of sqlite_functions.h. Safe to call more than once.
void registerFunctionsForEveryConnection();

}  // namespace quillon::sqlite
