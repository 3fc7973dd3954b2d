#pragma once
// Writes the edits of a record set back to the tables its fields came from,
// as parameterized INSERT, UPDATE and DELETE statements.
//
// Each field knows its base table and column (or that it is an expression).
// A row is found by its table's primary key when every key column is among
// the fields; otherwise by the original values of all that table's fields,
// and then at most one row is touched. When no row matches, the write fails
// with "Row cannot be located ..." rather than pretending it succeeded.
// An UPDATE may touch several tables of a join (one statement each); an
// INSERT or DELETE needs the values of exactly one table.

#include "data/engine.h"

namespace quillon {

class TableWriter : public RecordsetWriter {
public:
    TableWriter(std::shared_ptr<Engine> engine, QString sql, std::vector<BaseTable> tables,
                std::vector<BaseColumn> columns, bool updatable);

    void insertRow(const Recordset& rs, std::vector<Value>& row) override;
    void updateRow(const Recordset& rs, const std::vector<Value>& original, const std::vector<Value>& row) override;
    void deleteRow(const Recordset& rs, const std::vector<Value>& original) override;
    std::vector<std::vector<Value>> requery(Recordset& rs) override;

    const std::vector<BaseTable>& tables() const { return m_tables; }
    const std::vector<BaseColumn>& columns() const { return m_columns; }

private:
    void checkWritable() const;
    // WHERE text and its values that find the row `original` of table `t`.
    QString whereFor(int t, const std::vector<Value>& original, std::vector<BoundValue>& params, bool& byKey) const;
    int soleTable(const std::vector<Value>* values, const Recordset& rs) const;

    std::shared_ptr<Engine> m_engine;
    QString m_sql;
    std::vector<BaseTable> m_tables;
    std::vector<BaseColumn> m_columns;
    bool m_updatable;
};

}  // namespace quillon
