#pragma once
// The interface between a Connection and the database engine behind it.
// Internal to the data layer: the program talks to Connection, Recordset and
// Command only. Two engines implement it: the embedded SQLite file
// (sqlite_engine.h) and an ODBC driver (odbc_engine.h), which reaches SQL
// Server or, through a SQLite ODBC driver, a SQLite file.

#include "data/column_kind.h"
#include "data/parameter.h"
#include "data/progress.h"
#include "data/recordset.h"

#include <QString>

#include <memory>
#include <vector>

struct sqlite3;

namespace quillon {

// A value bound to a placeholder, with the kind of column it is written to
// (Auto: as the value's own type).
struct BoundValue {
    Value value;
    ColumnKind kind = ColumnKind::Auto;
};

// The base table column a record set field was read from; an empty table
// means the field is an expression.
struct BaseColumn {
    int table = -1;           // index into the writer's tables
    QString column;
    ColumnKind kind = ColumnKind::Auto;
};

struct BaseTable {
    QString database;         // "main", "temp" (SQLite) or empty
    QString name;
    QStringList keyColumns;   // primary key columns, empty when unknown
};

// A statement prepared once and run many times with new values.
class EngineStatement {
public:
    virtual ~EngineStatement() = default;
    // Runs the statement with these values for its placeholders; returns the
    // rows it changed.
    virtual int execute(const std::vector<BoundValue>& params) = 0;
};

class Engine : public std::enable_shared_from_this<Engine> {
public:
    virtual ~Engine() = default;

    virtual bool isOpen() const = 0;
    virtual QString connectionString() const = 0;
    virtual void close() = 0;

    // Program SQL text (the engine adapts it as needed); returns rows affected.
    virtual int execute(const QString& sql, const std::vector<BoundValue>& params) = 0;
    // Program SQL text or a table name; every row is fetched.
    virtual RecordsetPtr openRecordset(const QString& sqlOrTable, bool updatable, bool batch) = 0;
    // Runs the query of a record set again and returns its rows.
    virtual std::vector<Recordset::Row> fetchRows(const QString& sql, int expectedColumns) = 0;
    virtual void callProcedure(const QString& name, std::vector<Parameter>& params) = 0;
    // Program SQL text of one statement, adapted and prepared once. The
    // default runs the text anew each time; engines that can keep a prepared
    // statement override it.
    virtual std::unique_ptr<EngineStatement> prepareStatement(const QString& sql);

    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;

    virtual sqlite3* sqliteHandle() const { return nullptr; }
    // Stops the statement another thread is running, where the engine can;
    // otherwise the read stops at its next count of rows (ReadProgress).
    virtual void interrupt() {}
    // Whether another thread may use the engine while this one leaves it
    // alone (see BackgroundRead).
    virtual bool usableFromAnyThread() const { return false; }

    // Where the rows a record set reads are counted while a long read runs
    // (see ReadProgress); nullptr when nobody listens.
    void setReadProgress(Progress* progress) { m_readProgress = progress; }

    // ---- used by the record set writer; statements in the engine's own dialect
    virtual int runNative(const QString& sql, const std::vector<BoundValue>& params) = 0;
    // The first value of the first row of a native query; Null when no row.
    virtual Value queryNativeValue(const QString& sql, const std::vector<BoundValue>& params) = 0;
    virtual QString qualifiedName(const BaseTable& t) const = 0;
    virtual QString quoteName(const QString& name) const = 0;
    // A condition matching one column against one placeholder, equal values only.
    virtual QString matchCondition(const QString& quotedColumn, ColumnKind kind) const = 0;
    // UPDATE / DELETE that touches at most one row matching `where`.
    virtual QString singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where) const = 0;
    virtual QString singleRowDelete(const BaseTable& t, const QString& where) const = 0;
    // After an INSERT: fill in the values the database assigned (key, defaults).
    virtual void refreshInsertedRow(const BaseTable& t, const std::vector<BaseColumn>& columns, int tableIndex,
                                    Recordset::Row& row) = 0;

protected:
    void checkOpen() const;
    Progress* m_readProgress = nullptr;
};

}  // namespace quillon
