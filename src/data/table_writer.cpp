#include "data/table_writer.h"

#include "data/dberror.h"

#include <set>

namespace quillon {

namespace {
constexpr int RowNotFound = -2147217864;      // the row changed or vanished since it was read
constexpr int NotUpdatable = -2147217911;     // the record set or field cannot be updated

DbError readOnlyError()
{
    return DbError(NotUpdatable, QStringLiteral("Current Recordset does not support updating. This may be a limitation of the provider, or of the selected locktype."));
}
}  // namespace

void Engine::checkOpen() const
{
    if (!isOpen())
        throw DbError(ErrorNumber::NotOpen, QStringLiteral("Operation is not allowed when the object is closed."));
}

namespace {

// Runs the program text anew each time (engines without prepared statements).
class TextStatement : public EngineStatement {
public:
    TextStatement(std::shared_ptr<Engine> engine, QString sql) : m_engine(std::move(engine)), m_sql(std::move(sql)) {}
    int execute(const std::vector<BoundValue>& params) override { return m_engine->execute(m_sql, params); }

private:
    std::shared_ptr<Engine> m_engine;
    QString m_sql;
};

}  // namespace

std::unique_ptr<EngineStatement> Engine::prepareStatement(const QString& sql)
{
    checkOpen();
    return std::make_unique<TextStatement>(shared_from_this(), sql);
}

TableWriter::TableWriter(std::shared_ptr<Engine> engine, QString sql, std::vector<BaseTable> tables,
                         std::vector<BaseColumn> columns, bool updatable)
    : m_engine(std::move(engine)), m_sql(std::move(sql)), m_tables(std::move(tables)),
      m_columns(std::move(columns)), m_updatable(updatable)
{
}

void TableWriter::checkWritable() const
{
    if (!m_engine->isOpen())
        throw DbError(ErrorNumber::NotOpen, QStringLiteral("Operation is not allowed when the object is closed."));
    if (!m_updatable) throw readOnlyError();
}

QString TableWriter::whereFor(int t, const std::vector<Value>& original, std::vector<BoundValue>& params, bool& byKey) const
{
    const BaseTable& table = m_tables[size_t(t)];
    QStringList conditions;
    // By key when all key columns are present and not Null.
    byKey = !table.keyColumns.isEmpty();
    for (const QString& key : table.keyColumns) {
        bool found = false;
        for (size_t i = 0; i < m_columns.size() && i < original.size(); ++i) {
            const BaseColumn& c = m_columns[i];
            if (c.table == t && c.column.compare(key, Qt::CaseInsensitive) == 0 && !original[i].isNull()) {
                conditions << m_engine->quoteName(c.column) + QStringLiteral(" = ?");
                params.push_back({original[i], c.kind});
                found = true;
                break;
            }
        }
        if (!found) { byKey = false; break; }
    }
    if (byKey) return conditions.join(QStringLiteral(" AND "));

    conditions.clear();
    params.clear();
    std::set<QString> seen;
    for (size_t i = 0; i < m_columns.size() && i < original.size(); ++i) {
        const BaseColumn& c = m_columns[i];
        if (c.table != t || !seen.insert(c.column.toLower()).second) continue;
        const QString name = m_engine->quoteName(c.column);
        if (original[i].isNull()) {
            conditions << name + QStringLiteral(" IS NULL");
        } else {
            conditions << m_engine->matchCondition(name, c.kind);
            params.push_back({original[i], c.kind});
        }
    }
    return conditions.join(QStringLiteral(" AND "));
}

void TableWriter::updateRow(const Recordset& rs, const std::vector<Value>& original, const std::vector<Value>& row)
{
    checkWritable();
    // Changed fields, grouped by table.
    std::vector<std::vector<size_t>> changed(m_tables.size());
    for (size_t i = 0; i < row.size() && i < original.size() && i < m_columns.size(); ++i) {
        if (row[i] == original[i]) continue;
        if (m_columns[i].table < 0)
            throw DbError(NotUpdatable, QStringLiteral("Field '%1' cannot be updated: it is not a column of a table.").arg(rs.fieldName(int(i))));
        changed[size_t(m_columns[i].table)].push_back(i);
    }
    for (size_t t = 0; t < m_tables.size(); ++t) {
        if (changed[t].empty()) continue;
        std::vector<BoundValue> params;
        QStringList sets;
        std::set<QString> seen;
        for (size_t i : changed[t]) {
            if (!seen.insert(m_columns[i].column.toLower()).second) continue;  // same column twice in the list
            sets << m_engine->quoteName(m_columns[i].column) + QStringLiteral(" = ?");
            params.push_back({row[i], m_columns[i].kind});
        }
        std::vector<BoundValue> whereParams;
        bool byKey = false;
        const QString where = whereFor(int(t), original, whereParams, byKey);
        params.insert(params.end(), whereParams.begin(), whereParams.end());
        const QString sql = byKey
            ? QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_engine->qualifiedName(m_tables[t]), sets.join(QStringLiteral(", ")), where)
            : m_engine->singleRowUpdate(m_tables[t], sets.join(QStringLiteral(", ")), where);
        if (m_engine->runNative(sql, params) == 0)
            throw DbError(RowNotFound, QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read."));
    }
}

int TableWriter::soleTable(const std::vector<Value>* values, const Recordset& rs) const
{
    int table = -1;
    bool several = false;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (values && (i >= values->size() || (*values)[i].isNull())) continue;
        const int t = m_columns[i].table;
        if (t < 0) {
            if (values)
                throw DbError(NotUpdatable, QStringLiteral("Field '%1' cannot be updated: it is not a column of a table.").arg(rs.fieldName(int(i))));
            continue;
        }
        if (table >= 0 && table != t) several = true;
        table = t;
    }
    if (several)
        throw DbError(NotUpdatable, QStringLiteral("Insufficient key column information for updating: the row holds values of several tables."));
    return table;
}

void TableWriter::insertRow(const Recordset& rs, std::vector<Value>& row)
{
    checkWritable();
    int t = soleTable(&row, rs);
    if (t < 0) t = soleTable(nullptr, rs);
    if (t < 0) throw readOnlyError();
    QStringList names, marks;
    std::vector<BoundValue> params;
    std::set<QString> seen;
    for (size_t i = 0; i < m_columns.size() && i < row.size(); ++i) {
        const BaseColumn& c = m_columns[i];
        if (c.table != t || row[i].isNull() || !seen.insert(c.column.toLower()).second) continue;
        names << m_engine->quoteName(c.column);
        marks << QStringLiteral("?");
        params.push_back({row[i], c.kind});
    }
    const QString target = m_engine->qualifiedName(m_tables[size_t(t)]);
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(target, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    m_engine->runNative(sql, params);
    m_engine->refreshInsertedRow(m_tables[size_t(t)], m_columns, t, row);
}

void TableWriter::deleteRow(const Recordset& rs, const std::vector<Value>& original)
{
    checkWritable();
    const int t = soleTable(nullptr, rs);
    if (t < 0) throw readOnlyError();
    std::vector<BoundValue> params;
    bool byKey = false;
    const QString where = whereFor(t, original, params, byKey);
    const QString sql = byKey
        ? QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_engine->qualifiedName(m_tables[size_t(t)]), where)
        : m_engine->singleRowDelete(m_tables[size_t(t)], where);
    if (m_engine->runNative(sql, params) == 0)
        throw DbError(RowNotFound, QStringLiteral("Row cannot be located for deletion. Some values may have been changed since it was last read."));
}

std::vector<std::vector<Value>> TableWriter::requery(Recordset& rs)
{
    if (!m_engine->isOpen())
        throw DbError(ErrorNumber::NotOpen, QStringLiteral("Operation is not allowed when the object is closed."));
    return m_engine->fetchRows(m_sql, rs.fieldCount());
}

}  // namespace quillon
