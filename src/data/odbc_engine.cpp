#include "data/odbc_engine.h"

#include "data/connection_string.h"
#include "data/dberror.h"
#include "data/sql_tokens.h"
#include "data/sqlite_dialect.h"
#include "data/table_writer.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace quillon {

namespace {

QAtomicInt s_connectionCounter;

const QString kSource = QStringLiteral("ODBC");

// A value as it is bound to a placeholder. A SQLite file takes dates, money
// and flags in the forms the embedded engine stores (sqlite_engine.cpp), so
// that both roads leave the same bytes behind.
QVariant toVariant(const BoundValue& b, bool sqlite)
{
    if (b.value.isNull()) {
        switch (b.kind) {
        case ColumnKind::Int: return QVariant(QMetaType::fromType<qlonglong>());
        case ColumnKind::Double: case ColumnKind::Currency: return QVariant(QMetaType::fromType<double>());
        case ColumnKind::Bool: return QVariant(QMetaType::fromType<bool>());
        case ColumnKind::Date: return sqlite ? QVariant(QMetaType::fromType<QString>()) : QVariant(QMetaType::fromType<QDate>());
        case ColumnKind::DateTime:
            return sqlite ? QVariant(QMetaType::fromType<QString>()) : QVariant(QMetaType::fromType<QDateTime>());
        default: return QVariant(QMetaType::fromType<QString>());
        }
    }
    const Value::Type type = b.value.type();
    ColumnKind kind = b.kind;
    if (kind == ColumnKind::Auto) {
        switch (type) {
        case Value::Type::Date: kind = ColumnKind::Date; break;
        case Value::Type::DateTime: kind = ColumnKind::DateTime; break;
        case Value::Type::Currency: kind = ColumnKind::Currency; break;
        case Value::Type::Bool: kind = ColumnKind::Bool; break;
        case Value::Type::Text: kind = ColumnKind::Text; break;
        default: break;
        }
    }
    switch (kind) {
    case ColumnKind::Text: {
        // An empty text is not Null: a null QString would be bound as Null.
        const QString text = b.value.toString();
        return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
    }
    case ColumnKind::Date:
    case ColumnKind::DateTime: {
        if (type == Value::Type::Text && b.value.toString().trimmed().isEmpty())
            return toVariant(BoundValue{Value(), kind}, sqlite);
        const QDateTime dt = b.value.toDateTime();
        if (!dt.isValid()) return b.value.toVariant();  // the database reports what it cannot read
        if (!sqlite) return kind == ColumnKind::Date ? QVariant(dt.date()) : QVariant(dt);
        return kind == ColumnKind::Date ? dt.date().toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case ColumnKind::Currency: {
        Currency c = b.value.toCurrency();
        if (type == Value::Type::Text) {
            bool ok = false;
            c = Currency::fromString(b.value.toString(), &ok);
            if (!ok) return b.value.toVariant();
        }
        if (sqlite && c.raw() % Currency::Scale == 0) return QVariant(qlonglong(c.raw() / Currency::Scale));
        return c.toDouble();
    }
    case ColumnKind::Bool:
        return sqlite ? QVariant(b.value.toBool() ? 1 : 0) : QVariant(b.value.toBool());
    default:
        return b.value.toVariant();
    }
}

// The kind of a field by the SQL type the driver reports: money and decimal
// (SQL_DECIMAL, SQL_NUMERIC) are exact Currency values, floating point
// columns doubles, whatever form the driver hands them over in.
ColumnKind kindOfField(const QSqlField& f)
{
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
    const int sqlType = f.typeID();
QT_WARNING_POP
    switch (sqlType) {
    case SQL_DECIMAL: case SQL_NUMERIC: return ColumnKind::Currency;
    case SQL_DOUBLE: case SQL_FLOAT: case SQL_REAL: return ColumnKind::Double;
    case SQL_BIT: return ColumnKind::Bool;
    case SQL_TYPE_DATE: case SQL_DATE: return ColumnKind::Date;
    default: break;
    }
    switch (f.metaType().id()) {
    case QMetaType::Bool: return ColumnKind::Bool;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::UChar:
        return ColumnKind::Int;
    case QMetaType::Double: case QMetaType::Float: return ColumnKind::Double;
    case QMetaType::QDate: return ColumnKind::Date;
    case QMetaType::QDateTime: case QMetaType::QTime: return ColumnKind::DateTime;
    case QMetaType::QString: return ColumnKind::Auto;
    default: return ColumnKind::Auto;
    }
}

// 'yyyy-MM-dd' or 'yyyy-MM-dd HH:mm:ss[.zzz]' (a T allowed), as text comes back
// from expressions over date columns.
Value isoDateText(const QString& text, bool dateOnly)
{
    if (text.size() == 10) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (d.isValid()) return Value(d);
    } else if (text.size() >= 19 && text.size() <= 23 && (text.at(10) == QLatin1Char(' ') || text.at(10) == QLatin1Char('T'))) {
        const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
        const QTime t = QTime::fromString(text.mid(11), text.size() > 19 ? Qt::ISODateWithMs : Qt::ISODate);
        if (d.isValid() && t.isValid()) return dateOnly ? Value(d) : Value(Value::wallClock(d, t));
    }
    return Value();
}

Value toValue(const QVariant& v, ColumnKind kind)
{
    if (!v.isValid() || v.isNull()) return Value();
    const bool isText = v.typeId() == QMetaType::QString;
    switch (kind) {
    case ColumnKind::Currency: {
        bool ok = false;
        const Currency c = isText ? Currency::fromString(v.toString(), &ok) : Currency::fromDouble(v.toDouble(&ok));
        if (ok) return Value(c);
        break;
    }
    case ColumnKind::Double: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok) return Value(d);
        break;
    }
    case ColumnKind::Int: {
        bool ok = false;
        const qlonglong i = v.toLongLong(&ok);
        if (ok) return Value(std::int64_t(i));
        break;
    }
    case ColumnKind::Bool:
        if (!isText || !v.toString().trimmed().isEmpty()) return Value(v.toLongLong() != 0 || v.toBool());
        break;
    case ColumnKind::Date:
    case ColumnKind::DateTime: {
        const bool dateOnly = kind == ColumnKind::Date;
        if (v.typeId() == QMetaType::QDate)
            return dateOnly ? Value(v.toDate()) : Value(Value::wallClock(v.toDate(), QTime(0, 0)));
        if (v.typeId() == QMetaType::QDateTime) {
            const QDateTime dt = v.toDateTime();
            return dateOnly ? Value(dt.date()) : Value(Value::wallClock(dt.date(), dt.time()));
        }
        if (isText) {
            const Value iso = isoDateText(v.toString(), dateOnly);
            if (!iso.isNull()) return iso;
            const QDateTime dt = Value(v.toString()).toDateTime();
            if (dt.isValid()) return dateOnly ? Value(dt.date()) : Value(dt);
        }
        break;
    }
    case ColumnKind::Auto:
        if (isText) {
            const Value iso = isoDateText(v.toString(), false);
            if (!iso.isNull() && iso.type() == Value::Type::DateTime && v.toString().size() == 10) return Value(iso.toDate());
            if (!iso.isNull()) return iso;
        }
        break;
    case ColumnKind::Text:
        return Value(v.toString());
    }
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return Value(Value::wallClock(dt.date(), dt.time()));
    }
    return Value::fromVariant(v);
}

bool looksLikeLostConnection(const QSqlError& e)
{
    const QString all = e.nativeErrorCode() + QLatin1Char(' ') + e.driverText() + QLatin1Char(' ') + e.databaseText();
    static const char* const marks[] = {"08S01", "08003", "08007", "Communication link failure", "Write to the server failed",
                                        "Read from the server failed", "connection is not open", "Connection is busy"};
    for (const char* m : marks)
        if (all.contains(QLatin1String(m), Qt::CaseInsensitive)) return true;
    return false;
}

}  // namespace

OdbcEngine::Dialect OdbcEngine::dialectOf(const QString& dbmsName)
{
    if (dbmsName.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive)) return Dialect::SqlServer;
    if (dbmsName.startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive)) return Dialect::Sqlite;
    throw DbError(ErrorNumber::CannotConnect,
                  QStringLiteral("The ODBC data source is a %1 database; Quillon works with SQL Server or SQLite.")
                      .arg(dbmsName.isEmpty() ? QStringLiteral("nameless") : dbmsName),
                  kSource);
}

OdbcEngine::OdbcEngine(const QString& connectionString)
    : m_name(QStringLiteral("quillon-odbc-%1").arg(s_connectionCounter.fetchAndAddRelaxed(1))),
      m_connectionString(connectionString)
{
}

OdbcEngine::~OdbcEngine() { close(); }

QSqlDatabase OdbcEngine::db() const { return QSqlDatabase::database(m_name, false); }

std::shared_ptr<OdbcEngine> OdbcEngine::open(const QString& connectionString)
{
    // A SQLite file reached through its ODBC driver gets the server functions
    // when the driver opens it.
    sqlite::registerFunctionsForEveryConnection();
    std::shared_ptr<OdbcEngine> e(new OdbcEngine(connectionString));
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), e->m_name);
        if (!d.isValid())
            throw DbError(ErrorNumber::CannotConnect, QStringLiteral("The ODBC database driver (QODBC) is not installed."), kSource);
        d.setDatabaseName(connectionString);
        d.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15"));
        d.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!d.open()) {
            const QSqlError err = d.lastError();
            QString text = err.databaseText().isEmpty() ? err.text() : err.databaseText();
            if (!err.driverText().isEmpty() && !text.contains(err.driverText())) text = err.driverText() + QStringLiteral(": ") + text;
            throw DbError(ErrorNumber::CannotConnect, QStringLiteral("Cannot connect to the database: %1").arg(text.trimmed()), kSource);
        }
    }
    e->m_open = true;
    try {
        e->m_dialect = dialectOf(e->dbmsName());
        if (e->m_dialect == Dialect::SqlServer) {
            e->execute(QStringLiteral("SET DATEFORMAT mdy"), {});
        } else {
            // The functions come from the process's SQLite library, on which
            // the driver opened its connection; a driver with a SQLite of its
            // own lacks them, and the program's statements could not run.
            try {
                e->queryNativeValue(QStringLiteral("SELECT len('x')"), {});
            } catch (const DbError&) {
                throw DbError(ErrorNumber::CannotConnect,
                              QStringLiteral("The SQLite ODBC driver does not use the program's SQLite library, so the "
                                             "functions the program's statements call are missing."),
                              kSource);
            }
            if (!e->schema().table(QStringLiteral("Incidents")))
                throw DbError(ErrorNumber::Generic,
                              QStringLiteral("The ODBC data source is not an incident database: it has no Incidents table."), kSource);
        }
    } catch (...) {
        e->close();
        throw;
    }
    return e;
}

QString OdbcEngine::dbmsName()
{
    const QVariant h = db().driver()->handle();
    // The connection handle, typed SQLHANDLE or plain void* by Qt version.
    if (!h.isValid() || (qstrcmp(h.typeName(), "SQLHANDLE") != 0 && qstrcmp(h.typeName(), "void*") != 0)) return QString();
    SQLHANDLE dbc = *static_cast<const SQLHANDLE*>(h.constData());
    SQLCHAR name[256] = {0};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetInfo(dbc, SQL_DBMS_NAME, name, SQLSMALLINT(sizeof name), &length);
    if (!SQL_SUCCEEDED(rc)) return QString();
    return QString::fromUtf8(reinterpret_cast<const char*>(name)).trimmed();
}

const SqlSchemaInfo& OdbcEngine::schema()
{
    if (m_schemaLoaded) return m_schema;
    m_schema.clear();
    for (const char* dbName : {"main", "temp"}) {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        exec(q, sqlite::schemaQuery(QLatin1String(dbName)), {});
        while (q.next())
            m_schema.addColumn(QLatin1String(dbName), q.value(0).toString(),
                               SqlSchemaInfo::Column{q.value(1).toString(), q.value(2).toString(), q.value(3).toInt() > 0});
        if (q.lastError().isValid()) fail(q.lastError());
    }
    m_schemaLoaded = true;
    return m_schema;
}

QString OdbcEngine::native(const QString& programSql)
{
    if (m_dialect == Dialect::SqlServer) return programSql;
    schema();
    return m_adapter.adapt(programSql);
}

void OdbcEngine::close()
{
    if (m_name.isEmpty() || !QSqlDatabase::contains(m_name)) return;
    {
        QSqlDatabase d = db();
        if (d.isOpen()) d.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_open = false;
    m_txDepth = 0;
}

QString OdbcEngine::connectionString() const
{
    ConnectionString cs = ConnectionString::parse(m_connectionString);
    cs.remove(QStringLiteral("PWD"));
    cs.remove(QStringLiteral("Password"));
    return cs.toString();
}

void OdbcEngine::fail(const QSqlError& e)
{
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    text = text.trimmed();
    if (looksLikeLostConnection(e)) {
        m_open = false;
        throw DbError(ErrorNumber::ConnectionLost, QStringLiteral("The connection to the database server was lost: %1").arg(text), kSource);
    }
    bool ok = false;
    const int number = e.nativeErrorCode().toInt(&ok);
    throw DbError(ok ? number : ErrorNumber::Generic, text, kSource);
}

void OdbcEngine::exec(QSqlQuery& q, const QString& sql, const std::vector<BoundValue>& params)
{
    bool ok;
    if (params.empty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (const BoundValue& b : params) q.addBindValue(toVariant(b, m_dialect == Dialect::Sqlite));
            ok = q.exec();
        }
    }
    if (!ok) fail(q.lastError());
}

int OdbcEngine::execute(const QString& sql, const std::vector<BoundValue>& params)
{
    checkOpen();
    int affected = 0;
    runSplit(native(sql), params, affected);
    return affected;
}

// SQL Server takes a batch of statements at once; the SQLite driver runs the
// first only, so there each statement goes by itself (the values belong to
// the first).
void OdbcEngine::runSplit(const QString& nativeSql, const std::vector<BoundValue>& params, int& affected)
{
    QStringList statements;
    if (m_dialect == Dialect::Sqlite) {
        // A semicolon ends a statement unless SQLite reads it as inside one
        // (the body of a trigger).
        QString current;
        for (const sql::Token& t : sql::tokenize(nativeSql)) {
            current += t.text;
            if (t.kind == sql::TokenKind::Semicolon && sqlite3_complete(current.toUtf8().constData())) {
                current.chop(1);
                if (!current.trimmed().isEmpty()) statements << current;
                current.clear();
            }
        }
        if (!current.trimmed().isEmpty()) statements << current;
    } else {
        statements << nativeSql;
    }
    bool first = true;
    for (const QString& statement : statements) {
        QSqlQuery q(db());
        exec(q, statement, first ? params : std::vector<BoundValue>{});
        first = false;
        if (q.numRowsAffected() > 0) affected += q.numRowsAffected();
        if (m_dialect == Dialect::Sqlite && sqlite::changesSchema(statement)) m_schemaLoaded = false;
    }
}

int OdbcEngine::runNative(const QString& sql, const std::vector<BoundValue>& params)
{
    checkOpen();
    int affected = 0;
    runSplit(sql, params, affected);
    return affected;
}

Value OdbcEngine::queryNativeValue(const QString& sql, const std::vector<BoundValue>& params)
{
    checkOpen();
    QSqlQuery q(db());
    q.setForwardOnly(true);
    exec(q, sql, params);
    std::vector<ColumnKind> kinds;
    const auto rows = readAll(q, kinds);
    return rows.empty() || rows.front().empty() ? Value() : rows.front().front();
}

std::vector<Recordset::Row> OdbcEngine::readAll(QSqlQuery& q, std::vector<ColumnKind>& kinds)
{
    const QSqlRecord rec = q.record();
    // Kinds given by the caller (declared column types) win over the driver's.
    kinds.resize(size_t(rec.count()), ColumnKind::Auto);
    std::vector<ColumnKind> reading(kinds);
    for (int i = 0; i < rec.count(); ++i)
        if (reading[size_t(i)] == ColumnKind::Auto) reading[size_t(i)] = kindOfField(rec.field(i));
    std::vector<Recordset::Row> rows;
    while (q.next()) {
        Recordset::Row row;
        row.reserve(reading.size());
        for (int i = 0; i < int(reading.size()); ++i) row.push_back(toValue(q.value(i), reading[size_t(i)]));
        rows.push_back(std::move(row));
        Progress::rowsRead(m_readProgress, rows.size());
    }
    if (q.lastError().isValid()) fail(q.lastError());
    // The embedded engine reports expressions as Auto; so does a SQLite file
    // reached here. A server's typed columns keep the kind read.
    for (size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i] == ColumnKind::Auto && m_dialect == Dialect::SqlServer) kinds[i] = reading[i];
    return rows;
}

std::vector<ColumnKind> OdbcEngine::declaredKinds(const QString& sql, int columns)
{
    std::vector<ColumnKind> kinds(size_t(columns), ColumnKind::Auto);
    if (m_dialect != Dialect::Sqlite) return kinds;
    const sql::Tokens tokens = sql::tokenize(sql);
    const sql::TableRefs refs = sql::collectTableRefs(tokens);
    const std::vector<sql::SelectItem> items = sql::parseSelectList(tokens);
    const SqlSchemaInfo& info = schema();
    auto declared = [&](const QString& table, const QString& column) {
        const QString type = info.declaredType(table, column);
        return type.isEmpty() ? ColumnKind::Auto : columnKindOf(type);
    };
    if (int(items.size()) == columns) {
        for (int i = 0; i < columns; ++i) {
            const sql::SelectItem& it = items[size_t(i)];
            if (it.star || it.column.isEmpty()) continue;
            QString table = it.qualifier.isEmpty() ? (refs.tables.size() == 1 ? refs.tables.front() : QString())
                                                   : refs.resolve(it.qualifier);
            if (table.isEmpty() && it.qualifier.isEmpty())
                for (const QString& t : refs.tables)
                    if (info.table(t) && info.table(t)->column(it.column)) { table = t; break; }
            if (!table.isEmpty()) kinds[size_t(i)] = declared(table, it.column);
        }
    } else if (items.size() == 1 && items.front().star && refs.tables.size() == 1) {
        if (const SqlSchemaInfo::Table* t = info.table(refs.tables.front()))
            for (int i = 0; i < columns && i < int(t->columns.size()); ++i)
                kinds[size_t(i)] = t->columns[size_t(i)].declaredType.isEmpty() ? ColumnKind::Auto
                                                                                 : columnKindOf(t->columns[size_t(i)].declaredType);
    }
    return kinds;
}

RecordsetPtr OdbcEngine::openRecordset(const QString& sqlOrTable, bool updatable, bool batch)
{
    checkOpen();
    const QString trimmed = sqlOrTable.trimmed();
    static const QRegularExpression bare(QStringLiteral("^(\\[[^\\]]+\\]|[#\\w$@.]+)$"));
    const QString sql = bare.match(trimmed).hasMatch() ? QStringLiteral("Select * from ") + trimmed : sqlOrTable;
    QSqlQuery q(db());
    q.setForwardOnly(true);
    const QString nativeSql = native(sql);
    exec(q, nativeSql, {});
    if (!q.isSelect()) {
        if (m_dialect == Dialect::Sqlite && sqlite::changesSchema(nativeSql)) m_schemaLoaded = false;
        auto rs = std::make_shared<Recordset>();
        rs->setSource(sqlOrTable);
        return rs;
    }
    std::vector<ColumnKind> kinds = declaredKinds(sql, q.record().count());
    std::vector<Recordset::Row> rows = readAll(q, kinds);
    const QSqlRecord rec = q.record();
    QStringList names;
    for (int i = 0; i < rec.count(); ++i) names << rec.fieldName(i);

    // Base tables and columns from the statement text.
    const sql::Tokens tokens = sql::tokenize(sql);
    const sql::TableRefs refs = sql::collectTableRefs(tokens);
    const std::vector<sql::SelectItem> items = sql::parseSelectList(tokens);
    std::vector<BaseTable> tables;
    std::vector<BaseColumn> columns(size_t(rec.count()));
    auto tableIndex = [&](const QString& name) {
        for (size_t t = 0; t < tables.size(); ++t)
            if (tables[t].name.compare(name, Qt::CaseInsensitive) == 0) return int(t);
        BaseTable bt{QString(), name, {}};
        if (m_dialect == Dialect::Sqlite) {
            if (const SqlSchemaInfo::Table* info = schema().table(name)) {
                bt.name = info->name;
                bt.database = info->database;
                bt.keyColumns = info->keyColumns();
            }
        } else {
            const QSqlIndex pk = db().primaryIndex(name);
            for (int k = 0; k < pk.count(); ++k) bt.keyColumns << pk.fieldName(k);
        }
        tables.push_back(bt);
        return int(tables.size()) - 1;
    };
    const bool singleTable = refs.tables.size() == 1;
    const auto hasColumn = [this](const QString& table, const QString& column) {
        if (m_dialect == Dialect::Sqlite) {
            const SqlSchemaInfo::Table* t = schema().table(table);
            return t && t->column(column);
        }
        return db().record(table).contains(column);
    };
    if (items.size() == 1 && items.front().star && singleTable && updatable) {
        const int t = tableIndex(refs.tables.front());
        for (int i = 0; i < rec.count(); ++i) columns[size_t(i)] = BaseColumn{t, names[i], kinds[size_t(i)]};
    } else if (int(items.size()) == rec.count() && updatable) {
        for (int i = 0; i < rec.count(); ++i) {
            const sql::SelectItem& it = items[size_t(i)];
            columns[size_t(i)].kind = kinds[size_t(i)];
            if (it.star || it.column.isEmpty()) continue;
            QString table = it.qualifier.isEmpty() ? (singleTable ? refs.tables.front() : QString()) : refs.resolve(it.qualifier);
            // An unqualified column among several tables (one in a subquery):
            // the first table, in the order the statement names them, that has it.
            if (table.isEmpty() && it.qualifier.isEmpty())
                for (const QString& t : refs.tables)
                    if (hasColumn(t, it.column)) { table = t; break; }
            if (table.isEmpty()) continue;
            columns[size_t(i)].table = tableIndex(table);
            columns[size_t(i)].column = it.column;
        }
    }
    auto writer = std::make_shared<TableWriter>(shared_from_this(), sql, std::move(tables), std::move(columns), updatable);
    auto rs = std::make_shared<Recordset>(std::move(names), std::move(rows), std::move(writer));
    rs->setFieldKinds(kinds);
    rs->setBatchMode(batch);
    rs->setSource(sqlOrTable);
    return rs;
}

std::vector<Recordset::Row> OdbcEngine::fetchRows(const QString& sql, int expectedColumns)
{
    checkOpen();
    QSqlQuery q(db());
    q.setForwardOnly(true);
    exec(q, native(sql), {});
    std::vector<ColumnKind> kinds = declaredKinds(sql, q.record().count());
    auto rows = readAll(q, kinds);
    if (int(kinds.size()) != expectedColumns)
        throw DbError(ErrorNumber::Generic, QStringLiteral("The query now returns %1 fields instead of %2.").arg(kinds.size()).arg(expectedColumns), kSource);
    return rows;
}

void OdbcEngine::callProcedure(const QString& name, std::vector<Parameter>& params)
{
    checkOpen();
    if (m_dialect == Dialect::Sqlite) {
        QString proc = name.trimmed();
        if (proc.startsWith(QLatin1String("dbo."), Qt::CaseInsensitive)) proc = proc.mid(4);
        if (proc.compare(QLatin1String("usp_getNextNumber"), Qt::CaseInsensitive) != 0)
            throw DbError(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(name), kSource);
        sqlite::serveNextNumber(*this, schema(), params);
        return;
    }
    QStringList marks;
    for (size_t i = 0; i < params.size(); ++i) marks << QStringLiteral("?");
    QSqlQuery q(db());
    if (!q.prepare(QStringLiteral("{call %1(%2)}").arg(name, marks.join(QStringLiteral(", ")))))
        fail(q.lastError());
    for (size_t i = 0; i < params.size(); ++i) {
        const Parameter& p = params[i];
        ColumnKind kind = ColumnKind::Text;
        switch (p.type) {
        case ParameterType::Integer: case ParameterType::SmallInt: kind = ColumnKind::Int; break;
        case ParameterType::Double: kind = ColumnKind::Double; break;
        case ParameterType::Currency: kind = ColumnKind::Currency; break;
        case ParameterType::Date: kind = ColumnKind::Date; break;
        case ParameterType::DateTime: kind = ColumnKind::DateTime; break;
        case ParameterType::Boolean: kind = ColumnKind::Bool; break;
        case ParameterType::VarChar: break;
        }
        QVariant v = toVariant(BoundValue{p.value, kind}, m_dialect == Dialect::Sqlite);
        if (p.direction == ParameterDirection::Output && kind == ColumnKind::Int) v = QVariant(QMetaType::fromType<int>());
        const QSql::ParamType dir = p.direction == ParameterDirection::Input ? QSql::In
                                    : p.direction == ParameterDirection::InputOutput ? QSql::InOut : QSql::Out;
        q.bindValue(int(i), v, dir);
    }
    if (!q.exec()) fail(q.lastError());
    while (q.next()) {}  // a procedure may return rows before its output values
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i].isOutput()) params[i].value = Value::fromVariant(q.boundValue(int(i)));
}

void OdbcEngine::beginTransaction()
{
    checkOpen();
    if (m_txDepth == 0) {
        if (!db().transaction()) fail(db().lastError());
    } else {
        runNative(m_dialect == Dialect::SqlServer ? QStringLiteral("SAVE TRANSACTION quillon_%1").arg(m_txDepth)
                                                  : QStringLiteral("SAVEPOINT quillon_%1").arg(m_txDepth), {});
    }
    ++m_txDepth;
}

void OdbcEngine::commitTransaction()
{
    checkOpen();
    if (m_txDepth == 0) throw DbError(ErrorNumber::Generic, QStringLiteral("No transaction is active."), kSource);
    if (m_txDepth == 1 && !db().commit()) fail(db().lastError());
    if (m_txDepth > 1 && m_dialect == Dialect::Sqlite) runNative(QStringLiteral("RELEASE quillon_%1").arg(m_txDepth - 1), {});
    --m_txDepth;
}

void OdbcEngine::rollbackTransaction()
{
    checkOpen();
    if (m_txDepth == 0) throw DbError(ErrorNumber::Generic, QStringLiteral("No transaction is active."), kSource);
    --m_txDepth;
    if (m_txDepth == 0) {
        if (!db().rollback()) fail(db().lastError());
    } else {
        if (m_dialect == Dialect::SqlServer) {
            runNative(QStringLiteral("ROLLBACK TRANSACTION quillon_%1").arg(m_txDepth), {});
        } else {
            runNative(QStringLiteral("ROLLBACK TO quillon_%1").arg(m_txDepth), {});
            runNative(QStringLiteral("RELEASE quillon_%1").arg(m_txDepth), {});
        }
    }
}

QString OdbcEngine::quoteName(const QString& name) const
{
    if (m_dialect == Dialect::Sqlite) return sqlite::quoteName(name);
    QString n = name;
    return QLatin1Char('[') + n.replace(QLatin1String("]"), QLatin1String("]]")) + QLatin1Char(']');
}

QString OdbcEngine::qualifiedName(const BaseTable& t) const
{
    if (m_dialect == Dialect::Sqlite) return sqlite::qualifiedName(t);
    // A temporary table's name goes as written (#tmp); others bracketed.
    return t.name.startsWith(QLatin1Char('#')) ? t.name : quoteName(t.name);
}

QString OdbcEngine::matchCondition(const QString& c, ColumnKind kind) const
{
    if (m_dialect == Dialect::Sqlite) return sqlite::matchCondition(c, kind);
    return c + QStringLiteral(" = ?");
}

QString OdbcEngine::singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where) const
{
    if (m_dialect == Dialect::Sqlite) return sqlite::singleRowUpdate(t, setList, where);
    return QStringLiteral("UPDATE TOP (1) %1 SET %2 WHERE %3").arg(qualifiedName(t), setList, where);
}

QString OdbcEngine::singleRowDelete(const BaseTable& t, const QString& where) const
{
    if (m_dialect == Dialect::Sqlite) return sqlite::singleRowDelete(t, where);
    return QStringLiteral("DELETE TOP (1) FROM %1 WHERE %2").arg(qualifiedName(t), where);
}

void OdbcEngine::refreshInsertedRow(const BaseTable& t, const std::vector<BaseColumn>& columns, int tableIndex,
                                    Recordset::Row& row)
{
    // On SQL Server keys come from usp_getNextNumber before the insert. A
    // SQLite table may assign its key (an INTEGER PRIMARY KEY) itself: read
    // the row back as the embedded engine does.
    if (m_dialect != Dialect::Sqlite) return;
    QStringList names;
    std::vector<size_t> fields;
    for (size_t i = 0; i < columns.size() && i < row.size(); ++i) {
        if (columns[i].table != tableIndex) continue;
        names << quoteName(columns[i].column);
        fields.push_back(i);
    }
    if (names.isEmpty()) return;
    QSqlQuery q(db());
    q.setForwardOnly(true);
    exec(q, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = last_insert_rowid()").arg(names.join(QStringLiteral(", ")), qualifiedName(t)), {});
    std::vector<ColumnKind> kinds;
    const auto rows = readAll(q, kinds);
    if (rows.empty()) return;
    for (size_t k = 0; k < fields.size(); ++k) row[fields[k]] = rows.front()[k];
}

}  // namespace quillon
