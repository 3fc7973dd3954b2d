#include "data/connection.h"

#include "data/command.h"
#include "data/connection_string.h"
#include "data/odbc_engine.h"
#include "data/sqlite_engine.h"

#include <QDir>
#include <QFileInfo>

namespace quillon {

namespace {
DbError closedError()
{
    return DbError(ErrorNumber::NotOpen, QStringLiteral("Operation is not allowed when the object is closed."));
}

std::vector<BoundValue> bound(const std::vector<Value>& values)
{
    std::vector<BoundValue> out;
    out.reserve(values.size());
    for (const Value& v : values) out.push_back(BoundValue{v, ColumnKind::Auto});
    return out;
}
}  // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    try { close(); } catch (...) {}
}

void Connection::openEmbedded(const QString& path)
{
    close();
    m_engine = SqliteEngine::open(path);
}

void Connection::open(const QString& connectionString)
{
    close();
    const QString text = connectionString.trimmed();
    if (!text.contains(QLatin1Char('='))) {
        m_engine = SqliteEngine::open(text);
        return;
    }
    const ConnectionString cs = ConnectionString::parse(text);
    if (cs.contains(QStringLiteral("Driver")) || cs.contains(QStringLiteral("DSN")) || cs.contains(QStringLiteral("FileDSN"))) {
        // A SQLite ODBC driver creates a missing file; a mistyped path must
        // not leave an empty database behind.
        const QString file = cs.value(QStringLiteral("Database"));
        if (cs.value(QStringLiteral("Driver")).contains(QLatin1String("SQLite"), Qt::CaseInsensitive) && !file.isEmpty()
            && !QFileInfo(file).isFile())
            throw DbError(ErrorNumber::FileNotFound,
                          QStringLiteral("The database file \"%1\" does not exist.").arg(QDir::toNativeSeparators(file)), QStringLiteral("ODBC"));
        m_engine = OdbcEngine::open(text);
        return;
    }
    const QString provider = cs.value(QStringLiteral("Provider"));
    if (!provider.isEmpty() && provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) != 0)
        throw DbError(ErrorNumber::CannotConnect, QStringLiteral("Provider cannot be found: %1.").arg(provider));
    QString path = cs.value(QStringLiteral("Data Source"));
    if (path.isEmpty()) path = cs.value(QStringLiteral("Database"));
    m_engine = SqliteEngine::open(path);
}

void Connection::close()
{
    if (m_engine) m_engine->close();
    m_engine.reset();
}

int Connection::state() const { return m_engine && m_engine->isOpen() ? 1 : 0; }

EngineKind Connection::engineKind() const
{
    if (!m_engine) return EngineKind::None;
    return dynamic_cast<SqliteEngine*>(m_engine.get()) ? EngineKind::Sqlite : EngineKind::Odbc;
}

bool Connection::speaksSqlServer() const
{
    const auto* odbc = dynamic_cast<OdbcEngine*>(m_engine.get());
    return odbc && odbc->dialect() == OdbcEngine::Dialect::SqlServer;
}

QString Connection::connectionString() const { return m_engine ? m_engine->connectionString() : QString(); }

Engine& Connection::engine() const
{
    if (!m_engine || !m_engine->isOpen()) throw closedError();
    return *m_engine;
}

int Connection::execute(const QString& sql) { return engine().execute(sql, {}); }

int Connection::execute(const QString& sql, const std::vector<Value>& values) { return engine().execute(sql, bound(values)); }

Statement Connection::prepare(const QString& sql) { return Statement(engine().prepareStatement(sql)); }

int Statement::execute(const std::vector<Value>& values) { return m_statement->execute(bound(values)); }

RecordsetPtr Connection::openRecordset(const QString& sqlOrTable, CursorType, LockType lock)
{
    return engine().openRecordset(sqlOrTable, lock != LockType::ReadOnly, lock == LockType::BatchOptimistic);
}

void Connection::beginTransaction() { engine().beginTransaction(); }
void Connection::commitTransaction() { engine().commitTransaction(); }
void Connection::rollbackTransaction() { engine().rollbackTransaction(); }

void Connection::setReadProgress(Progress* progress)
{
    if (m_engine) m_engine->setReadProgress(progress);
}

void Connection::interrupt()
{
    if (m_engine) m_engine->interrupt();
}

sqlite3* Connection::sqliteHandle() const { return m_engine && m_engine->isOpen() ? m_engine->sqliteHandle() : nullptr; }

void Connection::createEmbeddedDatabase(const QString& path) { SqliteEngine::createDatabase(path); }

QString Connection::sqlServerConnectionString(const QString& server, const QString& database, const QString& user,
                                              const QString& password)
{
    return odbcConnectionString(OdbcTarget{}, server, database, user, password);
}

QString Connection::odbcConnectionString(const OdbcTarget& target, const QString& server, const QString& database,
                                         const QString& user, const QString& password)
{
    ConnectionString cs;
    const QString dsn = target.dsn.trimmed();
    const QString driver = target.driver.trimmed().isEmpty() ? QStringLiteral("FreeTDS") : target.driver.trimmed();
    if (!dsn.isEmpty()) {
        // The data source names the server; the database may override its default.
        cs.set(QStringLiteral("DSN"), dsn);
    } else {
        cs.set(QStringLiteral("Driver"), driver);
        if (!server.isEmpty()) cs.set(QStringLiteral("Server"), server);
    }
    if (!database.isEmpty()) cs.set(QStringLiteral("Database"), database);
    if (!user.isEmpty()) cs.set(QStringLiteral("UID"), user);
    if (!password.isEmpty()) cs.set(QStringLiteral("PWD"), password);
    // FreeTDS passes text in the client's character set unless told.
    if (dsn.isEmpty() && driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive))
        cs.set(QStringLiteral("ClientCharset"), QStringLiteral("UTF-8"));
    return cs.toString();
}

// ---- Transaction ----------------------------------------------------------------

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (!m_active) return;
    try { m_connection.rollbackTransaction(); } catch (...) {}
}

void Transaction::commit()
{
    if (!m_active) throw DbError(ErrorNumber::Generic, QStringLiteral("The transaction has ended already."));
    m_active = false;
    m_connection.commitTransaction();
}

void Transaction::rollback()
{
    if (!m_active) throw DbError(ErrorNumber::Generic, QStringLiteral("The transaction has ended already."));
    m_active = false;
    m_connection.rollbackTransaction();
}

// ---- Command --------------------------------------------------------------------

Parameter Command::createParameter(const QString& name, ParameterType type, ParameterDirection direction, int size,
                                   const Value& value)
{
    return Parameter{name, type, direction, size, value};
}

Parameter& Command::parameter(int index)
{
    if (index < 0 || index >= int(m_params.size()))
        throw DbError(ErrorNumber::FieldNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: %1").arg(index));
    return m_params[size_t(index)];
}

Parameter& Command::parameter(const QString& name)
{
    for (Parameter& p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return p;
    throw DbError(ErrorNumber::FieldNotFound,
                  QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: %1").arg(name));
}

static ColumnKind kindOf(ParameterType t)
{
    switch (t) {
    case ParameterType::VarChar: return ColumnKind::Text;
    case ParameterType::Integer: case ParameterType::SmallInt: return ColumnKind::Int;
    case ParameterType::Double: return ColumnKind::Double;
    case ParameterType::Currency: return ColumnKind::Currency;
    case ParameterType::Date: return ColumnKind::Date;
    case ParameterType::DateTime: return ColumnKind::DateTime;
    case ParameterType::Boolean: return ColumnKind::Bool;
    }
    return ColumnKind::Auto;
}

int Command::execute()
{
    if (!m_connection) throw closedError();
    Engine& e = m_connection->engine();
    if (m_type == CommandType::StoredProcedure) {
        e.callProcedure(m_text, m_params);
        return -1;
    }
    std::vector<BoundValue> values;
    for (const Parameter& p : m_params)
        if (p.isInput()) values.push_back(BoundValue{p.value, kindOf(p.type)});
    return e.execute(m_text, values);
}

}  // namespace quillon
