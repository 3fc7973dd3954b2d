#include "data/odbc_engine.h"

#include "data/connection_string.h"
#include "data/dberror.h"
#include "data/sql_tokens.h"
#include "data/table_writer.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quillon {

namespace {

QAtomicInt s_connectionCounter;

const QString kSource = QStringLiteral("ODBC");

QVariant toVariant(const BoundValue& b)
{
    if (b.value.isNull()) {
        switch (b.kind) {
        case ColumnKind::Int: return QVariant(QMetaType::fromType<qlonglong>());
        case ColumnKind::Double: case ColumnKind::Currency: return QVariant(QMetaType::fromType<double>());
        case ColumnKind::Bool: return QVariant(QMetaType::fromType<bool>());
        case ColumnKind::Date: return QVariant(QMetaType::fromType<QDate>());
        case ColumnKind::DateTime: return QVariant(QMetaType::fromType<QDateTime>());
        default: return QVariant(QMetaType::fromType<QString>());
        }
    }
    switch (b.kind) {
    case ColumnKind::Date: return b.value.toDate();
    case ColumnKind::DateTime: return b.value.toDateTime();
    case ColumnKind::Currency: return b.value.toCurrency().toDouble();
    case ColumnKind::Bool: return b.value.toBool();
    default: return b.value.toVariant();
    }
}

ColumnKind kindOfField(const QSqlField& f)
{
    switch (f.metaType().id()) {
    case QMetaType::Bool: return ColumnKind::Bool;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::UChar:
        return ColumnKind::Int;
    case QMetaType::Double: case QMetaType::Float: return ColumnKind::Double;
    case QMetaType::QDate: return ColumnKind::Date;
    case QMetaType::QDateTime: case QMetaType::QTime: return ColumnKind::DateTime;
    case QMetaType::QString: return ColumnKind::Text;
    default: return ColumnKind::Auto;
    }
}

Value toValue(const QVariant& v, ColumnKind kind)
{
    if (!v.isValid() || v.isNull()) return Value();
    // Decimal and money columns arrive as text under the high-precision policy.
    if (kind == ColumnKind::Double && v.typeId() == QMetaType::QString) {
        bool ok = false;
        const Currency c = Currency::fromString(v.toString(), &ok);
        if (ok) return Value(c);
    }
    if (kind == ColumnKind::Date && v.typeId() == QMetaType::QDateTime) return Value(v.toDateTime().date());
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

bool OdbcEngine::isSqlServer(const QString& connectionString)
{
    const ConnectionString cs = ConnectionString::parse(connectionString);
    const QString driver = cs.value(QStringLiteral("Driver"));
    if (driver.isEmpty()) return cs.contains(QStringLiteral("DSN")) || cs.contains(QStringLiteral("FileDSN"));
    return driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive) || driver.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive)
           || driver.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive);
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
    if (isSqlServer(connectionString)) e->execute(QStringLiteral("SET DATEFORMAT mdy"), {});
    return e;
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
            for (const BoundValue& b : params) q.addBindValue(toVariant(b));
            ok = q.exec();
        }
    }
    if (!ok) fail(q.lastError());
}

int OdbcEngine::execute(const QString& sql, const std::vector<BoundValue>& params)
{
    checkOpen();
    QSqlQuery q(db());
    exec(q, sql, params);
    return q.numRowsAffected() < 0 ? 0 : q.numRowsAffected();
}

int OdbcEngine::runNative(const QString& sql, const std::vector<BoundValue>& params) { return execute(sql, params); }

std::vector<Recordset::Row> OdbcEngine::readAll(QSqlQuery& q, std::vector<ColumnKind>& kinds)
{
    const QSqlRecord rec = q.record();
    kinds.resize(size_t(rec.count()));
    for (int i = 0; i < rec.count(); ++i) kinds[size_t(i)] = kindOfField(rec.field(i));
    std::vector<Recordset::Row> rows;
    while (q.next()) {
        Recordset::Row row;
        row.reserve(kinds.size());
        for (int i = 0; i < int(kinds.size()); ++i) row.push_back(toValue(q.value(i), kinds[size_t(i)]));
        rows.push_back(std::move(row));
    }
    if (q.lastError().isValid()) fail(q.lastError());
    // Money read as text is Currency; report the field as such.
    for (size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i] == ColumnKind::Double && !rows.empty() && rows.front()[i].type() == Value::Type::Currency)
            kinds[i] = ColumnKind::Currency;
    return rows;
}

RecordsetPtr OdbcEngine::openRecordset(const QString& sqlOrTable, bool updatable, bool batch)
{
    checkOpen();
    const QString trimmed = sqlOrTable.trimmed();
    static const QRegularExpression bare(QStringLiteral("^(\\[[^\\]]+\\]|[#\\w$@.]+)$"));
    const QString sql = bare.match(trimmed).hasMatch() ? QStringLiteral("Select * from ") + trimmed : sqlOrTable;
    QSqlQuery q(db());
    q.setForwardOnly(true);
    exec(q, sql, {});
    if (!q.isSelect()) {
        auto rs = std::make_shared<Recordset>();
        rs->setSource(sqlOrTable);
        return rs;
    }
    std::vector<ColumnKind> kinds;
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
        const QSqlIndex pk = db().primaryIndex(name);
        for (int k = 0; k < pk.count(); ++k) bt.keyColumns << pk.fieldName(k);
        tables.push_back(bt);
        return int(tables.size()) - 1;
    };
    const bool singleTable = refs.tables.size() == 1;
    if (items.size() == 1 && items.front().star && singleTable && updatable) {
        const int t = tableIndex(refs.tables.front());
        for (int i = 0; i < rec.count(); ++i) columns[size_t(i)] = BaseColumn{t, names[i], kinds[size_t(i)]};
    } else if (int(items.size()) == rec.count() && updatable) {
        for (int i = 0; i < rec.count(); ++i) {
            const sql::SelectItem& it = items[size_t(i)];
            columns[size_t(i)].kind = kinds[size_t(i)];
            if (it.star || it.column.isEmpty()) continue;
            QString table = it.qualifier.isEmpty() ? (singleTable ? refs.tables.front() : QString()) : refs.resolve(it.qualifier);
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
    exec(q, sql, {});
    std::vector<ColumnKind> kinds;
    auto rows = readAll(q, kinds);
    if (int(kinds.size()) != expectedColumns)
        throw DbError(ErrorNumber::Generic, QStringLiteral("The query now returns %1 fields instead of %2.").arg(kinds.size()).arg(expectedColumns), kSource);
    return rows;
}

void OdbcEngine::callProcedure(const QString& name, std::vector<Parameter>& params)
{
    checkOpen();
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
        QVariant v = toVariant(BoundValue{p.value, kind});
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
        execute(QStringLiteral("SAVE TRANSACTION quillon_%1").arg(m_txDepth), {});
    }
    ++m_txDepth;
}

void OdbcEngine::commitTransaction()
{
    checkOpen();
    if (m_txDepth == 0) throw DbError(ErrorNumber::Generic, QStringLiteral("No transaction is active."), kSource);
    if (m_txDepth == 1 && !db().commit()) fail(db().lastError());
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
        execute(QStringLiteral("ROLLBACK TRANSACTION quillon_%1").arg(m_txDepth), {});
    }
}

QString OdbcEngine::quoteName(const QString& name) const
{
    QString n = name;
    return QLatin1Char('[') + n.replace(QLatin1String("]"), QLatin1String("]]")) + QLatin1Char(']');
}

QString OdbcEngine::qualifiedName(const BaseTable& t) const
{
    // A temporary table's name goes as written (#tmp); others bracketed.
    return t.name.startsWith(QLatin1Char('#')) ? t.name : quoteName(t.name);
}

QString OdbcEngine::matchCondition(const QString& c, ColumnKind) const { return c + QStringLiteral(" = ?"); }

QString OdbcEngine::singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where) const
{
    return QStringLiteral("UPDATE TOP (1) %1 SET %2 WHERE %3").arg(qualifiedName(t), setList, where);
}

QString OdbcEngine::singleRowDelete(const BaseTable& t, const QString& where) const
{
    return QStringLiteral("DELETE TOP (1) FROM %1 WHERE %2").arg(qualifiedName(t), where);
}

void OdbcEngine::refreshInsertedRow(const BaseTable&, const std::vector<BaseColumn>&, int, Recordset::Row&)
{
    // Keys come from usp_getNextNumber before the insert; nothing to read back.
}

}  // namespace quillon
