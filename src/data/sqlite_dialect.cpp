#include "data/sqlite_dialect.h"

#include "data/dberror.h"
#include "data/sqlite_functions.h"

#include <sqlite3.h>

#include <limits>
#include <mutex>

namespace quillon::sqlite {

namespace {

const QString kSource = QStringLiteral("SQLite");

int registerOnOpen(sqlite3* db, char**, const sqlite3_api_routines*) { return registerSqliteFunctions(db); }

}  // namespace

QString schemaQuery(const QString& database)
{
    return QStringLiteral(
               "SELECT m.name, p.name, p.type, p.pk FROM %1.sqlite_schema m JOIN pragma_table_info(m.name, '%1') p "
               "WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite_%' ORDER BY m.name, p.cid")
        .arg(database);
}

QString quoteName(const QString& name)
{
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString qualifiedName(const BaseTable& t)
{
    if (!t.database.isEmpty()) return quoteName(t.database) + QLatin1Char('.') + quoteName(t.name);
    // The program names its temporary tables #name; they live in temp.
    if (t.name.startsWith(QLatin1Char('#'))) return QStringLiteral("temp.") + quoteName(t.name);
    return quoteName(t.name);
}

QString matchCondition(const QString& c, ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Date: return QStringLiteral("date(%1) = date(?)").arg(c);
    case ColumnKind::DateTime: return QStringLiteral("datetime(%1) = datetime(?)").arg(c);
    case ColumnKind::Currency: return QStringLiteral("round(%1, 4) = round(?, 4)").arg(c);
    default: return c + QStringLiteral(" = ?");
    }
}

QString singleRowUpdate(const BaseTable& t, const QString& setList, const QString& where)
{
    const QString name = qualifiedName(t);
    return QStringLiteral("UPDATE %1 SET %2 WHERE rowid = (SELECT rowid FROM %1 WHERE %3 LIMIT 1)").arg(name, setList, where);
}

QString singleRowDelete(const BaseTable& t, const QString& where)
{
    const QString name = qualifiedName(t);
    return QStringLiteral("DELETE FROM %1 WHERE rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)").arg(name, where);
}

bool changesSchema(const QString& nativeSql)
{
    const QString s = nativeSql.trimmed();
    for (const char* word : {"CREATE", "DROP", "ALTER"})
        if (s.startsWith(QLatin1String(word), Qt::CaseInsensitive)) return true;
    return false;
}

void serveNextNumber(Engine& engine, const SqlSchemaInfo& schema, std::vector<Parameter>& params)
{
    std::vector<const Parameter*> inputs;
    Parameter* output = nullptr;
    for (Parameter& p : params) {
        if (p.isInput() && p.direction != ParameterDirection::InputOutput) inputs.push_back(&p);
        else if (!output && p.isOutput()) output = &p;
    }
    if (inputs.empty() || !output)
        throw DbError(201, QStringLiteral("Procedure or function 'usp_getNextNumber' expects parameters tablename, fieldname and an output nextnumber."),
                      kSource);
    const QString tableName = inputs[0]->value.toString().trimmed();
    const QString field = inputs.size() > 1 ? inputs[1]->value.toString().trimmed() : QString();
    if (tableName.isEmpty()) throw DbError(201, QStringLiteral("usp_getNextNumber needs a table name."), kSource);
    const SqlSchemaInfo::Table* info = schema.table(tableName);
    if (!info || info->database != QLatin1String("main"))
        throw DbError(208, QStringLiteral("usp_getNextNumber: there is no table named '%1'.").arg(tableName), kSource);
    if (!schema.table(QStringLiteral("KeyCounters")))
        throw DbError(208, QStringLiteral("The database has no KeyCounters table, so usp_getNextNumber cannot allocate keys."), kSource);

    // The key column: ReportRecords counts runs; other tables their primary key,
    // or the named field when the table has no single-column key.
    QString keyColumn;
    if (info->name.compare(QLatin1String("ReportRecords"), Qt::CaseInsensitive) == 0) keyColumn = QStringLiteral("ReportRun");
    else if (info->keyColumns().size() == 1 && columnKindOf(info->column(info->keyColumns().front())->declaredType) == ColumnKind::Int)
        keyColumn = info->keyColumns().front();
    else if (!field.isEmpty() && info->column(field)) keyColumn = info->column(field)->name;

    // The counter is written first, so the transaction holds the write lock
    // from its first statement and nobody can take the same number between
    // the write and the read.
    const QString largest = keyColumn.isEmpty()
                                ? QStringLiteral("0")
                                : QStringLiteral("coalesce((SELECT max(CAST(%1 AS INTEGER)) FROM %2), 0)")
                                      .arg(quoteName(keyColumn), quoteName(info->name));
    const QString upsert = QStringLiteral(
                               "INSERT INTO KeyCounters (TableName, LastNumber) VALUES (?, %1 + 1) "
                               "ON CONFLICT (TableName) DO UPDATE SET LastNumber = max(coalesce(KeyCounters.LastNumber, 0), %1) + 1")
                               .arg(largest);
    const BoundValue name{Value(info->name), ColumnKind::Text};
    engine.beginTransaction();
    try {
        engine.runNative(upsert, {name});
        const Value v = engine.queryNativeValue(QStringLiteral("SELECT LastNumber FROM KeyCounters WHERE TableName = ?"), {name});
        const std::int64_t next = v.toInt();
        if (v.isNull() || next > std::numeric_limits<std::int32_t>::max() || next <= 0)
            throw DbError(220, QStringLiteral("usp_getNextNumber: the keys of table '%1' are exhausted.").arg(info->name), kSource);
        engine.commitTransaction();
        output->value = Value(next);
    } catch (...) {
        try { engine.rollbackTransaction(); } catch (...) {}
        throw;
    }
}

void registerFunctionsForEveryConnection()
{
    static std::once_flag once;
    std::call_once(once, [] { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&registerOnOpen)); });
}

}  // namespace quillon::sqlite
