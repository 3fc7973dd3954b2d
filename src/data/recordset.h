#pragma once
// A client-side record set: every row of a query is fetched into memory when it
// opens, then navigated, edited and sorted without the server. Edits are written
// back through the writer that opened it (see connection.h); a record set made
// from rows in memory (fromRows) is read-only unless given a writer.

#include "data/column_kind.h"
#include "data/dberror.h"
#include "data/value.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace quillon {

class Recordset;

// The values of many rows of one width, kept in a few large blocks rather
// than one allocation a row: a report's data can run to hundreds of
// thousands of rows of fifty values. Blocks grow from small to a few
// megabytes; the large ones ask the system for large memory pages, so that
// filling them does not stop at every fourth kilobyte. A row's values never
// move once added.
class RowStore {
public:
    explicit RowStore(int width = 0) : m_width(width) {}
    RowStore(RowStore&& other) noexcept;
    RowStore& operator=(RowStore&& other) noexcept;
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    ~RowStore();

    int width() const { return m_width; }
    std::size_t size() const { return m_size; }
    // A new row of Null values; returns its first value.
    Value* addRow();
    // Calls f with the first value of each row, in the order they were added.
    template <class F>
    void forEachRow(F f) const
    {
        const std::size_t width = std::size_t(std::max(m_width, 1));
        for (const Block& b : m_blocks)
            for (std::size_t i = 0; i < b.used; i += width) f(b.values + i);
    }

private:
    struct Block {
        Value* values;
        std::size_t capacity;   // values
        std::size_t used;       // values constructed
        std::size_t bytes;      // as allocated
        bool mapped;
    };
    void release();
    int m_width = 0;
    std::size_t m_size = 0;
    std::vector<Block> m_blocks;
};

// Writes a record set's edits to where its rows came from. The connection
// supplies one for record sets opened on a single table.
class RecordsetWriter {
public:
    virtual ~RecordsetWriter() = default;
    // Inserts a new row; may fill in values the database assigned.
    virtual void insertRow(const Recordset& rs, std::vector<Value>& row) = 0;
    // Updates the row from its original values to its current values.
    virtual void updateRow(const Recordset& rs, const std::vector<Value>& original, const std::vector<Value>& row) = 0;
    virtual void deleteRow(const Recordset& rs, const std::vector<Value>& original) = 0;
    // Runs the query again and returns the fresh rows.
    virtual std::vector<std::vector<Value>> requery(Recordset& rs) = 0;
};

class Recordset {
public:
    // Positions reported by absolutePosition() off the rows.
    static constexpr int PosUnknown = -1;  // on a row just deleted
    static constexpr int PosBOF = -2;
    static constexpr int PosEOF = -3;

    using Row = std::vector<Value>;
    using Bookmark = int;

    Recordset() = default;
    Recordset(QStringList fieldNames, std::vector<Row> rows, std::shared_ptr<RecordsetWriter> writer = {});
    // Rows read by an engine straight into a store of the fields' width.
    Recordset(QStringList fieldNames, RowStore rows, std::shared_ptr<RecordsetWriter> writer = {});
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    static std::shared_ptr<Recordset> fromRows(QStringList fieldNames, std::vector<Row> rows)
    { return std::make_shared<Recordset>(std::move(fieldNames), std::move(rows)); }

    bool isOpen() const { return m_open; }
    void close();

    // The SQL text or table name it was opened from (empty for rows in memory).
    const QString& source() const { return m_source; }
    void setSource(const QString& s) { m_source = s; }

    // Fields: names as the query returned them; lookup is case-insensitive.
    int fieldCount() const { return int(m_fields.size()); }
    const QStringList& fieldNames() const { return m_fields; }
    QString fieldName(int index) const { return m_fields.value(index); }
    int fieldIndex(const QString& name) const;     // -1 when there is no such field
    int requireField(const QString& name) const;   // throws DbError FieldNotFound
    // The kind of each field as the engine declared it (Auto when unknown).
    ColumnKind fieldKind(int index) const
    { return index >= 0 && index < int(m_kinds.size()) ? m_kinds[size_t(index)] : ColumnKind::Auto; }
    void setFieldKinds(std::vector<ColumnKind> kinds) { m_kinds = std::move(kinds); }

    // Navigation over the rows in their current (possibly sorted) order.
    int recordCount() const { return int(m_order.size()); }
    // After Delete the deleted row stays current (neither EOF nor BOF) until
    // the next move, so "Delete then MoveNext" walks on to the following row.
    bool eof() const { return !m_onDeleted && (m_pos >= recordCount() || recordCount() == 0); }
    bool bof() const { return !m_onDeleted && (m_pos < 0 || recordCount() == 0); }
    void moveFirst() { checkOpen(); m_onDeleted = false; m_pos = 0; }
    void moveLast() { checkOpen(); m_onDeleted = false; m_pos = recordCount() - 1; }
    void moveNext();
    void movePrevious();
    // 1-based position of the current row, PosBOF / PosEOF off the rows.
    int absolutePosition() const;
    void setAbsolutePosition(int position);
    Bookmark bookmark() const;                     // identifies the current row
    void setBookmark(Bookmark b);

    // Current row's fields. Reading at EOF/BOF throws DbError NoCurrentRecord.
    const Value& value(int index) const;
    const Value& value(const QString& name) const { return value(requireField(name)); }
    const Value& operator[](const QString& name) const { return value(name); }
    void setValue(int index, const Value& v);
    void setValue(const QString& name, const Value& v) { setValue(requireField(name), v); }

    // Direct access by row (in current order) for readers such as lists and reports.
    const Value& at(int row, int column) const { return m_rows[m_order[row]].row[column]; }

    // Edits. AddNew appends an empty row and makes it current; Update writes the
    // current row (insert or update) through the writer; Delete removes it.
    // In batch mode (setBatchMode(true)) Update only marks the row, and
    // UpdateBatch writes every pending change.
    void addNew();
    void update();
    void deleteCurrent();
    void setBatchMode(bool batch) { m_batch = batch; }
    void updateBatch();
    void cancelUpdate();
    bool editPending() const;

    // Runs the query again (through the writer); the position returns to the first row.
    void requery();
    // Sorts by "Field [ASC|DESC], Field2 ..."; an empty text restores the fetched order.
    void sort(const QString& order);
    const QString& sortSpec() const { return m_sort; }

    RecordsetWriter* writer() const { return m_writer.get(); }
    void setWriter(std::shared_ptr<RecordsetWriter> w) { m_writer = std::move(w); }

private:
    enum class RowState { Unchanged, New, Modified, Deleted };
    struct Entry {
        Value* row;          // the row's fieldCount() values, in m_store
        Row original;        // the values as read, while the row is edited
        RowState state = RowState::Unchanged;
    };

    void checkOpen() const;
    void checkCurrent() const;
    void writeEntry(Entry& e);
    void reset(std::vector<Row> rows);
    void adopt(RowStore rows);
    Row copyOf(const Entry& e) const { return Row(e.row, e.row + fieldCount()); }
    void assign(Entry& e, const Row& values);
    void applySort();

    QStringList m_fields;
    std::vector<ColumnKind> m_kinds;
    RowStore m_store;               // the values of every row
    std::vector<Entry> m_rows;      // deleted rows stay until written
    std::vector<int> m_order;       // visible rows in navigation order
    int m_pos = 0;
    bool m_onDeleted = false;       // the current row was deleted; m_pos is the row after it
    bool m_open = false;
    bool m_batch = false;
    QString m_sort;
    QString m_source;
    std::shared_ptr<RecordsetWriter> m_writer;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

}  // namespace quillon
