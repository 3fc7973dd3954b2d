#pragma once
// The embedded engine: one SQLite database file.
//
// It talks to SQLite through its C API rather than through Qt's QSQLITE
// driver: fetching a record set then costs one pass over sqlite3_step with no
// intermediate QVariant per value (200,000 postings load in a fraction of a
// second), values are typed from each column's declared type
// (sqlite3_column_decltype), the base table and column of every field are
// known for writing edits back (sqlite3_column_table_name/origin_name), and
// the SQL Server functions are registered on the same handle.
//
// Every program statement passes through SqlAdapter first. The stored
// procedure usp_getNextNumber is served as on every SQLite database
// (sqlite_dialect.h): in one IMMEDIATE transaction on the KeyCounters table,
// so two processes sharing the file never receive the same number.

#include "data/engine.h"
#include "data/sql_adapter.h"

struct sqlite3_stmt;

namespace quillon {

class SqliteEngine : public Engine {
public:
    // Opens an existing database file; throws DbError when it is missing,
    // unreadable or not an incident database.
    static std::shared_ptr<SqliteEngine> open(const QString& path);
    // Creates a new database file from the built-in schema; throws when the
    // file exists already or cannot be written.
    static void createDatabase(const QString& path);

    ~SqliteEngine() override;

    bool isOpen() const override { return m_db != nullptr; }
    QString connectionString() const override;
    void close() override;

    int execute(const QString& sql, const std::vector<BoundValue>& params) override;
    RecordsetPtr openRecordset(const QString& sqlOrTable, bool updatable, bool batch) override;
    std::vector<Recordset::Row> fetchRows(const QString& sql, int expectedColumns) override;
    void callProcedure(const QString& name, std::vector<Parameter>& params) override;
    std::unique_ptr<EngineStatement> prepareStatement(const QString& sql) override;

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

    sqlite3* sqliteHandle() const override { return m_db; }
    void interrupt() override;
    bool usableFromAnyThread() const override { return true; }

    int runNative(const QString& sql, const std::vector<BoundValue>& params) override;
    Value queryNativeValue(const QString& sql, const std::vector<BoundValue>& params) override;
    QString qualifiedName(const BaseTable& t) const override;
    QString quoteName(const QString& name) const override;
    QString matchCondition(const QString& quotedColumn, ColumnKind kind) const override;
    QString singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where) const override;
    QString singleRowDelete(const BaseTable& t, const QString& where) const override;
    void refreshInsertedRow(const BaseTable& t, const std::vector<BaseColumn>& columns, int tableIndex,
                            Recordset::Row& row) override;

    // The SQLite text a program statement becomes (for diagnostics and tests).
    QString adapt(const QString& sql);
    const SqlSchemaInfo& schema();
    const QString& path() const { return m_path; }

private:
    friend class SqliteStatement;
    explicit SqliteEngine(const QString& path);
    [[noreturn]] void fail(int rc) const;
    sqlite3_stmt* prepare(const QString& nativeSql, const char** tail = nullptr);
    void bind(sqlite3_stmt* st, const std::vector<BoundValue>& params);
    void loadSchema();
    void runPlain(const char* sql);

    // The statements a record set writes its rows with (one insert, one
    // read-back of the row a table gave it, one update...) are the same text
    // row after row: a few are kept prepared. A statement taken is the
    // caller's until given back, reset and with its values cleared.
    class Reused;
    sqlite3_stmt* takeStatement(const QString& nativeSql);
    void giveBack(QString nativeSql, sqlite3_stmt* st);
    void dropKeptStatements();
    struct KeptStatement {
        QString sql;
        sqlite3_stmt* st;
    };
    std::vector<KeptStatement> m_kept;   // the latest given back first

    sqlite3* m_db = nullptr;
    QString m_path;
    SqlSchemaInfo m_schema;
    bool m_schemaLoaded = false;
    SqlAdapter m_adapter;
    int m_txDepth = 0;
};

}  // namespace quillon
