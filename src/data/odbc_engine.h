#pragma once
// A database reached through an ODBC driver (Qt's QODBC driver over
// unixODBC): SQL Server through FreeTDS or any other SQL Server driver, or a
// SQLite file through a SQLite ODBC driver.
//
// The transport is the same for both; the dialect is chosen from what the
// server says it is (SQL_DBMS_NAME), never from the driver's name:
//   SQL Server  statements go verbatim (the program's text is SQL Server text
//               already); the session gets "SET DATEFORMAT mdy" so that the
//               M/d/yyyy literals mean the same on a server of any language;
//               stored procedures are called as {call name(?, ...)} with
//               output parameters bound as such.
//   SQLite      statements pass through the same adapter as the embedded
//               engine's (sql_adapter.h); usp_getNextNumber is served from the
//               KeyCounters table (sqlite_dialect.h); the server functions are
//               registered on the driver's connection through the SQLite
//               library the process shares with it.
// Any other server is refused. Money and decimal values are read as text and
// turned into exact Currency values.

#include "data/engine.h"
#include "data/sql_adapter.h"

#include <QSqlDatabase>

class QSqlError;
class QSqlQuery;

namespace quillon {

class OdbcEngine : public Engine {
public:
    // Connects; throws DbError (CannotConnect) with the driver's text when
    // the server cannot be reached or refuses the login.
    static std::shared_ptr<OdbcEngine> open(const QString& connectionString);
    ~OdbcEngine() override;

    bool isOpen() const override { return m_open; }
    QString connectionString() const override;
    void close() override;

    int execute(const QString& sql, const std::vector<BoundValue>& params) override;
    RecordsetPtr openRecordset(const QString& sqlOrTable, bool updatable, bool batch) override;
    std::vector<Recordset::Row> fetchRows(const QString& sql, int expectedColumns) override;
    void callProcedure(const QString& name, std::vector<Parameter>& params) override;

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

    int runNative(const QString& sql, const std::vector<BoundValue>& params) override;
    Value queryNativeValue(const QString& sql, const std::vector<BoundValue>& params) override;
    QString qualifiedName(const BaseTable& t) const override;
    QString quoteName(const QString& name) const override;
    QString matchCondition(const QString& quotedColumn, ColumnKind kind) const override;
    QString singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where) const override;
    QString singleRowDelete(const BaseTable& t, const QString& where) const override;
    void refreshInsertedRow(const BaseTable& t, const std::vector<BaseColumn>& columns, int tableIndex,
                            Recordset::Row& row) override;

    enum class Dialect { SqlServer, Sqlite };
    Dialect dialect() const { return m_dialect; }
    // The dialect a server's SQL_DBMS_NAME stands for; throws DbError for a
    // server the program cannot talk to.
    static Dialect dialectOf(const QString& dbmsName);

private:
    explicit OdbcEngine(const QString& connectionString);
    QString dbmsName();
    // The statement as this server reads it.
    QString native(const QString& programSql);
    const SqlSchemaInfo& schema();
    void runSplit(const QString& nativeSql, const std::vector<BoundValue>& params, int& affected);
    [[noreturn]] void fail(const QSqlError& error);
    QSqlDatabase db() const;
    void exec(QSqlQuery& q, const QString& sql, const std::vector<BoundValue>& params);
    // Reads every row; `kinds` holds the declared kind of each field (Auto
    // where unknown) and returns the kinds the record set reports.
    std::vector<Recordset::Row> readAll(QSqlQuery& q, std::vector<ColumnKind>& kinds);
    // On SQLite, the kinds the schema declares for the fields of a query
    // (the driver types expressions by their first row only).
    std::vector<ColumnKind> declaredKinds(const QString& programSql, int columns);

    QString m_name;
    QString m_connectionString;
    bool m_open = false;
    int m_txDepth = 0;
    Dialect m_dialect = Dialect::SqlServer;
    SqlSchemaInfo m_schema;
    bool m_schemaLoaded = false;
    SqlAdapter m_adapter{&m_schema};
};

}  // namespace quillon
