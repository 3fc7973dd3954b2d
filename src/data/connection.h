#pragma once
// The connection to the incident database: one type whatever engine is
// underneath, so that windows and services never need to know which.
//
//   Connection db;
//   db.openEmbedded("/data/incidents.db");           // SQLite file; DbError if missing
//   db.open("Driver={FreeTDS};Server=SRV;Database=TIMEDB;UID=u;PWD=p");  // SQL Server
//   db.state();                                       // 1 = open, 0 = closed
//   int n = db.execute("Update PersonsPost Set InvoiceID = 0 Where InvoiceID = 7");
//   RecordsetPtr rs = db.openRecordset("Select * From PersonsInvoices", CursorType::Keyset,
//                                      LockType::Optimistic);
//
// Statements are SQL Server text as the program builds them. To SQL Server
// they go verbatim (after "SET DATEFORMAT mdy" once per connection, so that
// the program's M/d/yyyy literals read the same on every server language);
// to SQLite, embedded or through its ODBC driver, they are adapted first
// (sql_adapter.h).
//
// Record sets are client-side: every row is fetched when they open. A record
// set is updatable unless opened with LockType::ReadOnly; its edits go back as
// parameterized statements (table_writer.h). With LockType::BatchOptimistic,
// Update() only marks rows and UpdateBatch() writes them. The cursor type is
// accepted for the program's sake; every cursor is a static snapshot.
//
// Failures throw DbError: the engine's number and description.

#include "data/dberror.h"
#include "data/engine.h"
#include "data/recordset.h"

#include <QString>

#include <memory>

struct sqlite3;

namespace quillon {

enum class CursorType { ForwardOnly, Keyset, Dynamic, Static };
enum class LockType { ReadOnly, Pessimistic, Optimistic, BatchOptimistic };
enum class EngineKind { None, Sqlite, Odbc };

// Which ODBC driver reaches the database: a data source name, or else a
// driver name (FreeTDS when empty).
struct OdbcTarget {
    QString driver;
    QString dsn;
};

// A statement of the program's SQL prepared once on a connection and run
// many times with new values for its ? placeholders: the text is adapted and
// parsed once, not once a row.
//   Statement update = db.prepare("Update PersonsPost Set RptOrder = ? Where PersonsPostID = ?");
//   for (...) update.execute({Value(order), Value(key)});
// It belongs to the connection and must not outlive it being closed.
class Statement {
public:
    explicit Statement(std::unique_ptr<EngineStatement> statement) : m_statement(std::move(statement)) {}
    // Returns the rows the statement changed.
    int execute(const std::vector<Value>& values);

private:
    std::unique_ptr<EngineStatement> m_statement;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing embedded database file. A missing or unreadable file,
    // or one that is not an incident database, is an error: no empty
    // database is ever created here.
    void openEmbedded(const QString& path);
    // Opens a database by connection string: "Provider=SQLite;Data Source=path"
    // (or a bare file path) for the embedded engine; an ODBC string (Driver=
    // or DSN=) for SQL Server. A trailing ";pwd=..." is honoured for ODBC and
    // ignored for files. Closes whatever was open first.
    void open(const QString& connectionString);
    void close();

    int state() const;                 // 1 open, 0 closed
    bool isOpen() const { return state() == 1; }
    EngineKind engineKind() const;
    // True when statements go to SQL Server as they are (ODBC with the SQL
    // Server dialect); false for SQLite, embedded or reached through ODBC.
    // Server-only syntax such as locking hints is added only then.
    bool speaksSqlServer() const;
    // The string the connection was opened with, without any password.
    QString connectionString() const;

    // Runs a statement that returns no rows; returns the rows it changed.
    int execute(const QString& sql);
    // The same with ? placeholders and their values (a parameterized statement).
    int execute(const QString& sql, const std::vector<Value>& values);
    // One statement with ? placeholders, prepared to run many times.
    Statement prepare(const QString& sql);

    // Opens a record set from an SQL text or a table name.
    RecordsetPtr openRecordset(const QString& sqlOrTable, CursorType cursor = CursorType::Static,
                               LockType lock = LockType::Optimistic);

    // Transactions; nest through savepoints. Prefer the Transaction guard.
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();

    // The embedded engine's handle (for registering further functions), or
    // nullptr over ODBC or when closed.
    sqlite3* sqliteHandle() const;

    // Creates a new embedded database file from the built-in schema; an
    // existing file is an error. Used by the sample-data generator and tests.
    static void createEmbeddedDatabase(const QString& path);
    // An ODBC connection string for SQL Server through FreeTDS. Values holding
    // ';' or braces are braced.
    static QString sqlServerConnectionString(const QString& server, const QString& database,
                                             const QString& user, const QString& password);
    // The same through any driver or data source; FreeTDS gets UTF-8 text.
    static QString odbcConnectionString(const OdbcTarget& target, const QString& server, const QString& database,
                                        const QString& user, const QString& password);

    // For Command and the data layer.
    Engine& engine() const;

    // The progress the rows of record sets count into while they are read
    // (nullptr: none); see ReadProgress.
    void setReadProgress(Progress* progress);
    // Asks a statement running on another thread to stop (it fails as
    // interrupted); nothing when none runs. Safe from any thread.
    void interrupt();

private:
    std::shared_ptr<Engine> m_engine;
};

// While it lives, the record sets the connection opens count the rows they
// read into `progress` ("Reading the invoice data: 120,000 rows"), and a
// cancel asked for meanwhile stops the read with RunCancelled.
//   { ReadProgress counting(db, app.progress()); rs = db.openRecordset(sql); }
class ReadProgress {
public:
    ReadProgress(Connection& connection, Progress& progress) : m_connection(connection)
    {
        m_connection.setReadProgress(&progress);
    }
    ~ReadProgress() { m_connection.setReadProgress(nullptr); }
    ReadProgress(const ReadProgress&) = delete;
    ReadProgress& operator=(const ReadProgress&) = delete;

private:
    Connection& m_connection;
};

// Rolls back on scope exit unless commit() was called.
//   Transaction tx(db);
//   db.execute(...); db.execute(...);
//   tx.commit();
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();

private:
    Connection& m_connection;
    bool m_active = true;
};

}  // namespace quillon
