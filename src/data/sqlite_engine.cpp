#include "data/sqlite_engine.h"

#include "data/connection_string.h"
#include "data/dberror.h"
#include "data/isodate.h"
#include "data/schema.h"
#include "data/sqlite_dialect.h"
#include "data/sqlite_functions.h"
#include "data/table_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

Q_LOGGING_CATEGORY(lcSqlite, "quillon.data.sqlite", QtWarningMsg)

namespace quillon {

namespace {

struct StmtGuard {
    sqlite3_stmt* st = nullptr;
    ~StmtGuard() { sqlite3_finalize(st); }
};

// ---- reading values ---------------------------------------------------------

// Repeated texts in a column (kind codes, times of day, dates of a crew's
// postings) are converted once: the next row with the same bytes gets a copy
// of the previous value (a QString is shared, not copied).
struct TextCache {
    static constexpr int Capacity = 32;  // longer texts are not cached
    char bytes[Capacity];
    int length = -1;
    Value value;

    bool hit(const char* p, int n) const { return n == length && std::memcmp(bytes, p, size_t(n)) == 0; }
    const Value& store(const char* p, int n, Value v)
    {
        value = std::move(v);
        if (n <= Capacity) {
            std::memcpy(bytes, p, size_t(n));
            length = n;
        } else {
            length = -1;
        }
        return value;
    }
};

Value textValue(const char* p, int n, TextCache& cache)
{
    if (cache.hit(p, n)) return cache.value;
    return cache.store(p, n, Value(QString::fromUtf8(p, n)));
}

Value byStorage(sqlite3_stmt* st, int i, int type, TextCache& cache, bool detectDates)
{
    switch (type) {
    case SQLITE_INTEGER: return Value(std::int64_t(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(st, i));
    case SQLITE_NULL: return Value();
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        const int n = sqlite3_column_bytes(st, i);
        if (detectDates && (n == 10 || n == 19) && p) {
            // An expression over date columns (Max(LastDate)) comes back as ISO text.
            if (n == 10) {
                QDate d;
                if (parseIsoDate(p, n, d)) return Value(d);
            } else {
                QDateTime dt;
                if (p[10] == ' ' && parseIsoDateTime(p, n, dt)) return Value(dt);
            }
        }
        return textValue(p ? p : "", n, cache);
    }
    }
}

Value readDateText(const char* p, int n, ColumnKind kind, TextCache& cache)
{
    if (cache.hit(p, n)) return cache.value;
    if (kind == ColumnKind::Date) {
        QDate d;
        if (parseIsoDate(p, n, d)) return cache.store(p, n, Value(d));
    } else {
        QDateTime dt;
        if (parseIsoDateTime(p, n, dt)) return cache.store(p, n, Value(dt));
    }
    // Other spellings (6/30/2024) are still dates; anything else stays text.
    const QString text = QString::fromUtf8(p, n);
    const QDateTime dt = Value(text).toDateTime();
    if (dt.isValid()) return kind == ColumnKind::Date ? Value(dt.date()) : Value(dt);
    return Value(text);
}

Value readValue(sqlite3_stmt* st, int i, ColumnKind kind, TextCache& cache)
{
    if (kind == ColumnKind::Text || kind == ColumnKind::Date || kind == ColumnKind::DateTime) {
        // Declared text and dates are stored as text: sqlite3_column_text
        // answers Null and the value in one call.
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        if (!p) return Value();
        const int n = sqlite3_column_bytes(st, i);
        return kind == ColumnKind::Text ? textValue(p, n, cache) : readDateText(p, n, kind, cache);
    }
    const int type = sqlite3_column_type(st, i);
    if (type == SQLITE_NULL) return Value();
    switch (kind) {
    case ColumnKind::Auto: return byStorage(st, i, type, cache, true);
    case ColumnKind::Int:
        if (type == SQLITE_INTEGER) return Value(std::int64_t(sqlite3_column_int64(st, i)));
        return byStorage(st, i, type, cache, false);
    case ColumnKind::Double:
        if (type == SQLITE_FLOAT) return Value(sqlite3_column_double(st, i));
        if (type == SQLITE_INTEGER) return Value(double(sqlite3_column_int64(st, i)));
        return byStorage(st, i, type, cache, false);
    case ColumnKind::Bool:
        if (type == SQLITE_INTEGER) return Value(sqlite3_column_int64(st, i) != 0);
        if (type == SQLITE_FLOAT) return Value(sqlite3_column_double(st, i) != 0.0);
        return byStorage(st, i, type, cache, false);
    case ColumnKind::Currency:
        if (type == SQLITE_INTEGER) return Value(Currency::fromInt(sqlite3_column_int64(st, i)));
        if (type == SQLITE_FLOAT) return Value(Currency::fromDouble(sqlite3_column_double(st, i)));
        {
            bool ok = false;
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            const Currency c = Currency::fromString(QString::fromUtf8(p, sqlite3_column_bytes(st, i)), &ok);
            if (ok) return Value(c);
        }
        return byStorage(st, i, type, cache, false);
    default:
        return byStorage(st, i, type, cache, false);
    }
}

RowStore fetchAll(sqlite3_stmt* st, const std::vector<ColumnKind>& kinds, int& rc, Progress* progress = nullptr)
{
    const int n = int(kinds.size());
    std::vector<TextCache> caches(static_cast<size_t>(n));
    RowStore rows(n);
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Value* row = rows.addRow();
        for (int i = 0; i < n; ++i) {
            try {
                row[i] = readValue(st, i, kinds[size_t(i)], caches[size_t(i)]);
            } catch (const DbError& e) {
                // A value out of its type's range: say which row and column,
                // the row also by its first field (its key, as queries select
                // it) when that was read.
                auto columnName = [st](int c) {
                    const char* name = sqlite3_column_name(st, c);
                    return QString::fromUtf8(name ? name : "?");
                };
                QString where = QStringLiteral("row %1").arg(rows.size() + 1);
                if (i > 0) where += QStringLiteral(" (%1 %2)").arg(columnName(0), row[0].toString());
                throw DbError(e.number(),
                              e.description() + QStringLiteral(" At %1, column %2.").arg(where, columnName(i)),
                              QStringLiteral("SQLite"));
            }
        }
        Progress::rowsRead(progress, rows.size());
    }
    return rows;
}

std::vector<ColumnKind> columnKinds(sqlite3_stmt* st)
{
    const int n = sqlite3_column_count(st);
    std::vector<ColumnKind> kinds(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const char* decl = sqlite3_column_decltype(st, i);
        kinds[size_t(i)] = decl ? columnKindOf(QString::fromUtf8(decl)) : ColumnKind::Auto;
    }
    return kinds;
}

// ---- binding values ---------------------------------------------------------

DbError conversionError(const QString& what, const Value& v)
{
    return DbError(245, QStringLiteral("Conversion failed when converting the value '%1' to %2.").arg(v.toString(), what),
                   QStringLiteral("SQLite"));
}

void bindText(sqlite3_stmt* st, int idx, const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    sqlite3_bind_text(st, idx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindCurrency(sqlite3_stmt* st, int idx, Currency c)
{
    if (c.raw() % Currency::Scale == 0) sqlite3_bind_int64(st, idx, c.raw() / Currency::Scale);
    else sqlite3_bind_double(st, idx, c.toDouble());
}

void bindOne(sqlite3_stmt* st, int idx, const Value& v, ColumnKind kind)
{
    if (v.isNull()) { sqlite3_bind_null(st, idx); return; }
    const bool isText = v.type() == Value::Type::Text;
    switch (kind) {
    case ColumnKind::Date:
    case ColumnKind::DateTime: {
        if (isText && v.toString().trimmed().isEmpty()) { sqlite3_bind_null(st, idx); return; }
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid() || v.type() == Value::Type::Int || v.type() == Value::Type::Double)
            throw conversionError(QStringLiteral("a date"), v);
        bindText(st, idx, kind == ColumnKind::Date ? dt.date().toString(QStringLiteral("yyyy-MM-dd"))
                                                  : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return;
    }
    case ColumnKind::Currency: {
        if (isText) {
            bool ok = false;
            const Currency c = Currency::fromString(v.toString(), &ok);
            if (!ok) throw conversionError(QStringLiteral("money"), v);
            bindCurrency(st, idx, c);
        } else {
            bindCurrency(st, idx, v.toCurrency());
        }
        return;
    }
    case ColumnKind::Bool:
        sqlite3_bind_int(st, idx, v.toBool() ? 1 : 0);
        return;
    case ColumnKind::Int: {
        if (isText) {
            bool ok = false;
            const qlonglong i = v.toString().trimmed().toLongLong(&ok);
            if (!ok) throw conversionError(QStringLiteral("an integer"), v);
            sqlite3_bind_int64(st, idx, i);
        } else {
            sqlite3_bind_int64(st, idx, v.toInt());
        }
        return;
    }
    case ColumnKind::Double: {
        if (isText) {
            bool ok = false;
            const double d = v.toString().trimmed().toDouble(&ok);
            if (!ok) throw conversionError(QStringLiteral("a number"), v);
            sqlite3_bind_double(st, idx, d);
        } else {
            sqlite3_bind_double(st, idx, v.toDouble());
        }
        return;
    }
    case ColumnKind::Text:
        bindText(st, idx, v.toString());
        return;
    case ColumnKind::Auto:
        break;
    }
    switch (v.type()) {
    case Value::Type::Int: sqlite3_bind_int64(st, idx, v.toInt()); return;
    case Value::Type::Double: sqlite3_bind_double(st, idx, v.toDouble()); return;
    case Value::Type::Currency: bindCurrency(st, idx, v.toCurrency()); return;
    case Value::Type::Bool: sqlite3_bind_int(st, idx, v.toBool() ? 1 : 0); return;
    case Value::Type::Date: bindText(st, idx, v.toDate().toString(QStringLiteral("yyyy-MM-dd"))); return;
    case Value::Type::DateTime: bindText(st, idx, v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))); return;
    default: bindText(st, idx, v.toString()); return;
    }
}

bool isBareTableName(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^(\\[[^\\]]+\\]|\"[^\"]+\"|[#\\w$@]+)(\\.(\\[[^\\]]+\\]|\"[^\"]+\"|[#\\w$@]+))?$"));
    return re.match(s).hasMatch() && !s.contains(QLatin1Char(' '));
}

bool isSchemaStatement(sqlite3_stmt* st)
{
    const char* sql = sqlite3_sql(st);
    while (sql && *sql && std::isspace(static_cast<unsigned char>(*sql))) ++sql;
    return sql && (sqlite3_strnicmp(sql, "CREATE", 6) == 0 || sqlite3_strnicmp(sql, "DROP", 4) == 0
                   || sqlite3_strnicmp(sql, "ALTER", 5) == 0);
}

}  // namespace

// ---- opening ------------------------------------------------------------------

SqliteEngine::SqliteEngine(const QString& path) : m_path(path), m_adapter(&m_schema) {}

SqliteEngine::~SqliteEngine() { close(); }

std::shared_ptr<SqliteEngine> SqliteEngine::open(const QString& path)
{
    if (path.trimmed().isEmpty())
        throw DbError(ErrorNumber::FileNotFound, QStringLiteral("No database file was named."), QStringLiteral("SQLite"));
    const QFileInfo fi(path);
    const QString shown = QDir::toNativeSeparators(fi.absoluteFilePath());
    if (!fi.exists())
        throw DbError(ErrorNumber::FileNotFound, QStringLiteral("The database file \"%1\" does not exist.").arg(shown),
                      QStringLiteral("SQLite"));
    if (fi.isDir())
        throw DbError(ErrorNumber::FileNotFound, QStringLiteral("\"%1\" is a folder, not a database file.").arg(shown),
                      QStringLiteral("SQLite"));
    QFile probe(fi.absoluteFilePath());
    if (!probe.open(QIODevice::ReadOnly))
        throw DbError(ErrorNumber::FileAccess, QStringLiteral("The database file \"%1\" cannot be read: %2.").arg(shown, probe.errorString()),
                      QStringLiteral("SQLite"));
    probe.close();

    std::shared_ptr<SqliteEngine> e(new SqliteEngine(fi.absoluteFilePath()));
    const QByteArray file = QFile::encodeName(e->m_path);
    // One connection serves one thread: no per-call mutex.
    const int rc = sqlite3_open_v2(file.constData(), &e->m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = e->m_db ? QString::fromUtf8(sqlite3_errmsg(e->m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(e->m_db);
        e->m_db = nullptr;
        throw DbError(rc, QStringLiteral("The database file \"%1\" cannot be opened: %2.").arg(shown, msg), QStringLiteral("SQLite"));
    }
    sqlite3_extended_result_codes(e->m_db, 1);
    // Another process writing the same file holds its lock briefly; wait for it.
    sqlite3_busy_timeout(e->m_db, 30000);
    registerSqliteFunctions(e->m_db);

    // Reading the schema tells a database from any other file.
    sqlite3_stmt* st = nullptr;
    int prc = sqlite3_prepare_v2(e->m_db, "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'Incidents' COLLATE NOCASE",
                                 -1, &st, nullptr);
    StmtGuard guard{st};
    if (prc == SQLITE_OK) prc = sqlite3_step(st);
    if (prc != SQLITE_ROW) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(e->m_db));
        const int code = sqlite3_extended_errcode(e->m_db);
        e->close();
        throw DbError(code, QStringLiteral("The file \"%1\" cannot be used as a database: %2.").arg(shown, msg), QStringLiteral("SQLite"));
    }
    if (sqlite3_column_int(st, 0) == 0) {
        e->close();
        throw DbError(ErrorNumber::Generic,
                      QStringLiteral("The file \"%1\" is not an incident database: it has no Incidents table.").arg(shown),
                      QStringLiteral("SQLite"));
    }
    return e;
}

void SqliteEngine::createDatabase(const QString& path)
{
    const QFileInfo fi(path);
    const QString shown = QDir::toNativeSeparators(fi.absoluteFilePath());
    if (fi.exists())
        throw DbError(ErrorNumber::FileExists, QStringLiteral("The database file \"%1\" exists already.").arg(shown), QStringLiteral("SQLite"));
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(fi.absoluteFilePath()).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* err = nullptr;
    if (rc == SQLITE_OK) {
        const QByteArray script = QByteArray("BEGIN;\n") + sqliteSchemaSql() + "\nCOMMIT;";
        rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, &err);
    }
    QString msg = err ? QString::fromUtf8(err) : (db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
    sqlite3_free(err);
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK) {
        QFile::remove(fi.absoluteFilePath());
        throw DbError(rc, QStringLiteral("The database file \"%1\" cannot be created: %2.").arg(shown, msg), QStringLiteral("SQLite"));
    }
}

void SqliteEngine::close()
{
    if (!m_db) return;
    dropKeptStatements();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_txDepth = 0;
}

QString SqliteEngine::connectionString() const
{
    ConnectionString cs;
    cs.set(QStringLiteral("Provider"), QStringLiteral("SQLite"));
    cs.set(QStringLiteral("Data Source"), m_path);
    return cs.toString();
}

// ---- errors ---------------------------------------------------------------------

void SqliteEngine::fail(int rc) const
{
    const int code = m_db ? sqlite3_extended_errcode(m_db) : rc;
    const QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const QString shown = QDir::toNativeSeparators(m_path);
    switch (code & 0xff) {
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        throw DbError(ErrorNumber::ConnectionLost,
                      QStringLiteral("The database file \"%1\" can no longer be read or written (%2).").arg(shown, msg),
                      QStringLiteral("SQLite"));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        throw DbError(code, QStringLiteral("The database file \"%1\" is damaged (%2).").arg(shown, msg), QStringLiteral("SQLite"));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw DbError(code, QStringLiteral("The database is in use by another program and did not become free (%1).").arg(msg),
                      QStringLiteral("SQLite"));
    case SQLITE_READONLY:
        throw DbError(code, QStringLiteral("The database file \"%1\" cannot be written (%2).").arg(shown, msg), QStringLiteral("SQLite"));
    case SQLITE_FULL:
        throw DbError(code, QStringLiteral("The disk holding the database is full (%1).").arg(msg), QStringLiteral("SQLite"));
    default:
        throw DbError(code, msg, QStringLiteral("SQLite"));
    }
}

sqlite3_stmt* SqliteEngine::prepare(const QString& nativeSql, const char** tail)
{
    const QByteArray utf8 = nativeSql.toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* t = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &st, &t);
    if (rc != SQLITE_OK) {
        qCDebug(lcSqlite) << "failed:" << nativeSql;
        fail(rc);
    }
    if (tail) {
        // Anything but blanks and semicolons after the first statement.
        const char* end = utf8.constData() + utf8.size();
        while (t && t < end && (std::isspace(static_cast<unsigned char>(*t)) || *t == ';')) ++t;
        *tail = (t && t < end) ? "more" : nullptr;
    }
    return st;
}

// A statement taken for one use and given back when the use ends, also by
// an exception.
class SqliteEngine::Reused {
public:
    Reused(SqliteEngine& engine, QString sql) : m_engine(engine), m_sql(std::move(sql)), st(engine.takeStatement(m_sql)) {}
    ~Reused() { m_engine.giveBack(std::move(m_sql), st); }
    Reused(const Reused&) = delete;
    Reused& operator=(const Reused&) = delete;

private:
    SqliteEngine& m_engine;
    QString m_sql;

public:
    sqlite3_stmt* const st;
};

sqlite3_stmt* SqliteEngine::takeStatement(const QString& nativeSql)
{
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        if (it->sql != nativeSql) continue;
        sqlite3_stmt* st = it->st;
        m_kept.erase(it);
        return st;
    }
    return prepare(nativeSql);
}

void SqliteEngine::giveBack(QString nativeSql, sqlite3_stmt* st)
{
    constexpr size_t Kept = 8;
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (!m_db) {
        sqlite3_finalize(st);
        return;
    }
    m_kept.insert(m_kept.begin(), KeptStatement{std::move(nativeSql), st});
    while (m_kept.size() > Kept) {
        sqlite3_finalize(m_kept.back().st);
        m_kept.pop_back();
    }
}

void SqliteEngine::dropKeptStatements()
{
    for (const KeptStatement& k : m_kept) sqlite3_finalize(k.st);
    m_kept.clear();
}

void SqliteEngine::bind(sqlite3_stmt* st, const std::vector<BoundValue>& params)
{
    const int wanted = sqlite3_bind_parameter_count(st);
    if (wanted != int(params.size()))
        throw DbError(ErrorNumber::Generic, QStringLiteral("The statement has %1 parameters but %2 values were given.")
                                                .arg(wanted).arg(params.size()), QStringLiteral("SQLite"));
    for (size_t i = 0; i < params.size(); ++i) bindOne(st, int(i) + 1, params[i].value, params[i].kind);
}

// ---- schema -------------------------------------------------------------------

void SqliteEngine::loadSchema()
{
    m_schema.clear();
    for (const char* db : {"main", "temp"}) {
        StmtGuard g{prepare(sqlite::schemaQuery(QLatin1String(db)))};
        int rc;
        while ((rc = sqlite3_step(g.st)) == SQLITE_ROW) {
            auto text = [&](int i) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(g.st, i))); };
            m_schema.addColumn(QLatin1String(db), text(0), SqlSchemaInfo::Column{text(1), text(2), sqlite3_column_int(g.st, 3) > 0});
        }
        if (rc != SQLITE_DONE) fail(rc);
    }
    m_schemaLoaded = true;
}

const SqlSchemaInfo& SqliteEngine::schema()
{
    checkOpen();
    if (!m_schemaLoaded) loadSchema();
    return m_schema;
}

QString SqliteEngine::adapt(const QString& sql)
{
    schema();
    return m_adapter.adapt(sql);
}

// ---- statements ---------------------------------------------------------------

int SqliteEngine::execute(const QString& sql, const std::vector<BoundValue>& params)
{
    checkOpen();
    const QByteArray utf8 = adapt(sql).toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    const sqlite3_int64 before = sqlite3_total_changes64(m_db);
    bool first = true;
    bool schemaChanged = false;
    while (p < end) {
        StmtGuard g;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, p, int(end - p), &g.st, &tail);
        if (rc != SQLITE_OK) {
            qCDebug(lcSqlite) << "failed:" << QString::fromUtf8(p, int(end - p));
            fail(rc);
        }
        p = tail;
        if (!g.st) continue;  // blanks or a comment
        if (first) bind(g.st, params);
        first = false;
        int step;
        while ((step = sqlite3_step(g.st)) == SQLITE_ROW) {}
        if (step != SQLITE_DONE) fail(step);
        schemaChanged = schemaChanged || isSchemaStatement(g.st);
    }
    if (first && !params.empty())
        throw DbError(ErrorNumber::Generic, QStringLiteral("Values were given for an empty statement."), QStringLiteral("SQLite"));
    if (schemaChanged) m_schemaLoaded = false;
    return int(sqlite3_total_changes64(m_db) - before);
}

// A statement adapted and prepared once; each run rebinds its values.
class SqliteStatement : public EngineStatement {
public:
    SqliteStatement(std::shared_ptr<SqliteEngine> engine, sqlite3_stmt* st) : m_engine(std::move(engine)), m_st(st) {}
    ~SqliteStatement() override { sqlite3_finalize(m_st); }

    int execute(const std::vector<BoundValue>& params) override
    {
        m_engine->checkOpen();
        sqlite3_reset(m_st);
        m_engine->bind(m_st, params);
        int rc;
        while ((rc = sqlite3_step(m_st)) == SQLITE_ROW) {}
        sqlite3_reset(m_st);
        if (rc != SQLITE_DONE) m_engine->fail(rc);
        return sqlite3_changes(m_engine->m_db);
    }

private:
    std::shared_ptr<SqliteEngine> m_engine;
    sqlite3_stmt* m_st;
};

std::unique_ptr<EngineStatement> SqliteEngine::prepareStatement(const QString& sql)
{
    checkOpen();
    const char* more = nullptr;
    sqlite3_stmt* st = prepare(adapt(sql), &more);
    if (more || !st) {
        sqlite3_finalize(st);
        throw DbError(ErrorNumber::Generic, QStringLiteral("A prepared statement holds exactly one statement."),
                      QStringLiteral("SQLite"));
    }
    return std::make_unique<SqliteStatement>(std::static_pointer_cast<SqliteEngine>(shared_from_this()), st);
}

RecordsetPtr SqliteEngine::openRecordset(const QString& sqlOrTable, bool updatable, bool batch)
{
    checkOpen();
    const QString trimmed = sqlOrTable.trimmed();
    const QString sql = isBareTableName(trimmed) ? QStringLiteral("Select * from ") + trimmed : sqlOrTable;
    const char* more = nullptr;
    StmtGuard g{prepare(adapt(sql), &more)};
    if (more)
        throw DbError(ErrorNumber::Generic, QStringLiteral("A record set is opened from one statement; the text holds several."),
                      QStringLiteral("SQLite"));
    const int n = sqlite3_column_count(g.st);
    if (n == 0) {
        // A statement without rows runs; the record set stays closed.
        int rc;
        while ((rc = sqlite3_step(g.st)) == SQLITE_ROW) {}
        if (rc != SQLITE_DONE) fail(rc);
        if (isSchemaStatement(g.st)) m_schemaLoaded = false;
        auto rs = std::make_shared<Recordset>();
        rs->setSource(sqlOrTable);
        return rs;
    }

    QStringList names;
    std::vector<BaseTable> tables;
    std::vector<BaseColumn> columns(static_cast<size_t>(n));
    const std::vector<ColumnKind> kinds = columnKinds(g.st);
    for (int i = 0; i < n; ++i) {
        names << QString::fromUtf8(sqlite3_column_name(g.st, i));
        const char* table = sqlite3_column_table_name(g.st, i);
        const char* origin = sqlite3_column_origin_name(g.st, i);
        const char* db = sqlite3_column_database_name(g.st, i);
        BaseColumn& c = columns[size_t(i)];
        c.kind = kinds[size_t(i)];
        if (!table || !origin) continue;
        const QString tableName = QString::fromUtf8(table);
        const QString dbName = QString::fromUtf8(db ? db : "main");
        int index = -1;
        for (size_t t = 0; t < tables.size(); ++t)
            if (tables[t].name.compare(tableName, Qt::CaseInsensitive) == 0 && tables[t].database == dbName) index = int(t);
        if (index < 0) {
            BaseTable bt{dbName, tableName, {}};
            if (const auto* info = m_schema.table(tableName); info && info->database == dbName) bt.keyColumns = info->keyColumns();
            tables.push_back(bt);
            index = int(tables.size()) - 1;
        }
        c.table = index;
        c.column = QString::fromUtf8(origin);
    }
    int rc = SQLITE_OK;
    RowStore rows = fetchAll(g.st, kinds, rc, m_readProgress);
    if (rc != SQLITE_DONE) fail(rc);

    auto writer = std::make_shared<TableWriter>(shared_from_this(), sql, std::move(tables), std::move(columns), updatable);
    auto rs = std::make_shared<Recordset>(std::move(names), std::move(rows), std::move(writer));
    rs->setFieldKinds(kinds);
    rs->setBatchMode(batch);
    rs->setSource(sqlOrTable);
    return rs;
}

std::vector<Recordset::Row> SqliteEngine::fetchRows(const QString& sql, int expectedColumns)
{
    checkOpen();
    StmtGuard g{prepare(adapt(sql))};
    if (sqlite3_column_count(g.st) != expectedColumns)
        throw DbError(ErrorNumber::Generic, QStringLiteral("The query now returns %1 fields instead of %2.")
                                                .arg(sqlite3_column_count(g.st)).arg(expectedColumns), QStringLiteral("SQLite"));
    int rc = SQLITE_OK;
    const RowStore store = fetchAll(g.st, columnKinds(g.st), rc);
    if (rc != SQLITE_DONE) fail(rc);
    std::vector<Recordset::Row> rows;
    rows.reserve(store.size());
    store.forEachRow([&](const Value* r) { rows.emplace_back(r, r + expectedColumns); });
    return rows;
}

int SqliteEngine::runNative(const QString& sql, const std::vector<BoundValue>& params)
{
    checkOpen();
    const Reused g(*this, sql);
    bind(g.st, params);
    int rc;
    while ((rc = sqlite3_step(g.st)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE) fail(rc);
    return sqlite3_changes(m_db);
}

Value SqliteEngine::queryNativeValue(const QString& sql, const std::vector<BoundValue>& params)
{
    checkOpen();
    const Reused g(*this, sql);
    bind(g.st, params);
    const int rc = sqlite3_step(g.st);
    if (rc == SQLITE_DONE) return Value();
    if (rc != SQLITE_ROW) fail(rc);
    TextCache cache;
    return readValue(g.st, 0, ColumnKind::Auto, cache);
}

void SqliteEngine::runPlain(const char* sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) fail(rc);
}

QString SqliteEngine::quoteName(const QString& name) const { return sqlite::quoteName(name); }
QString SqliteEngine::qualifiedName(const BaseTable& t) const { return sqlite::qualifiedName(t); }
QString SqliteEngine::matchCondition(const QString& c, ColumnKind kind) const { return sqlite::matchCondition(c, kind); }

QString SqliteEngine::singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where) const
{
    return sqlite::singleRowUpdate(t, setList, where);
}

QString SqliteEngine::singleRowDelete(const BaseTable& t, const QString& where) const
{
    return sqlite::singleRowDelete(t, where);
}

void SqliteEngine::refreshInsertedRow(const BaseTable& t, const std::vector<BaseColumn>& columns, int tableIndex,
                                      Recordset::Row& row)
{
    QStringList names;
    std::vector<size_t> fields;
    std::vector<ColumnKind> kinds;
    for (size_t i = 0; i < columns.size() && i < row.size(); ++i) {
        if (columns[i].table != tableIndex) continue;
        names << quoteName(columns[i].column);
        fields.push_back(i);
        kinds.push_back(columns[i].kind);
    }
    if (names.isEmpty()) return;
    const Reused g(*this, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(names.join(QStringLiteral(", ")), qualifiedName(t)));
    sqlite3_bind_int64(g.st, 1, sqlite3_last_insert_rowid(m_db));
    if (sqlite3_step(g.st) != SQLITE_ROW) return;
    std::vector<TextCache> caches(fields.size());
    for (size_t k = 0; k < fields.size(); ++k) row[fields[k]] = readValue(g.st, int(k), kinds[k], caches[k]);
}

// ---- transactions -------------------------------------------------------------

void SqliteEngine::interrupt()
{
    if (m_db) sqlite3_interrupt(m_db);
}

void SqliteEngine::beginTransaction()
{
    checkOpen();
    if (m_txDepth == 0) runPlain("BEGIN IMMEDIATE");
    else runPlain(QStringLiteral("SAVEPOINT quillon_%1").arg(m_txDepth).toUtf8().constData());
    ++m_txDepth;
}

void SqliteEngine::commitTransaction()
{
    checkOpen();
    if (m_txDepth == 0) throw DbError(ErrorNumber::Generic, QStringLiteral("No transaction is active."), QStringLiteral("SQLite"));
    if (m_txDepth == 1) runPlain("COMMIT");
    else runPlain(QStringLiteral("RELEASE quillon_%1").arg(m_txDepth - 1).toUtf8().constData());
    --m_txDepth;
}

void SqliteEngine::rollbackTransaction()
{
    checkOpen();
    if (m_txDepth == 0) throw DbError(ErrorNumber::Generic, QStringLiteral("No transaction is active."), QStringLiteral("SQLite"));
    --m_txDepth;
    if (m_txDepth == 0) {
        if (!sqlite3_get_autocommit(m_db)) runPlain("ROLLBACK");
    } else {
        const QByteArray sp = QStringLiteral("quillon_%1").arg(m_txDepth).toUtf8();
        runPlain(("ROLLBACK TO " + sp + "; RELEASE " + sp).constData());
    }
}

// ---- stored procedures ----------------------------------------------------------

void SqliteEngine::callProcedure(const QString& name, std::vector<Parameter>& params)
{
    checkOpen();
    QString proc = name.trimmed();
    if (proc.startsWith(QLatin1String("dbo."), Qt::CaseInsensitive)) proc = proc.mid(4);
    if (proc.compare(QLatin1String("usp_getNextNumber"), Qt::CaseInsensitive) == 0) {
        sqlite::serveNextNumber(*this, schema(), params);
        return;
    }
    throw DbError(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(name), QStringLiteral("SQLite"));
}

}  // namespace quillon
