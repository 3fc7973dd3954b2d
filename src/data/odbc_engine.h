#pragma once
// SQL Server over ODBC (Qt's QODBC driver with unixODBC and FreeTDS).
//
// Statements go to the server verbatim: the program's text is SQL Server
// text already. On connecting, a SQL Server session gets "SET DATEFORMAT mdy"
// so that the M/d/yyyy date literals the program writes mean the same on a
// server of any language. Stored procedures are called as {call name(?, ...)}
// with output parameters bound as such. Money and decimal values are read as
// text and turned into exact Currency values.

#include "data/engine.h"

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
    QString qualifiedName(const BaseTable& t) const override;
    QString quoteName(const QString& name) const override;
    QString matchCondition(const QString& quotedColumn, ColumnKind kind) const override;
    QString singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where) const override;
    QString singleRowDelete(const BaseTable& t, const QString& where) const override;
    void refreshInsertedRow(const BaseTable& t, const std::vector<BaseColumn>& columns, int tableIndex,
                            Recordset::Row& row) override;

    // Whether the connection string reaches SQL Server (FreeTDS or a SQL
    // Server driver, or a DSN), which decides the session settings.
    static bool isSqlServer(const QString& connectionString);

private:
    explicit OdbcEngine(const QString& connectionString);
    [[noreturn]] void fail(const QSqlError& error);
    QSqlDatabase db() const;
    void exec(QSqlQuery& q, const QString& sql, const std::vector<BoundValue>& params);
    std::vector<Recordset::Row> readAll(QSqlQuery& q, std::vector<ColumnKind>& kinds);

    QString m_name;
    QString m_connectionString;
    bool m_open = false;
    int m_txDepth = 0;
};

}  // namespace quillon
