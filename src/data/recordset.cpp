#include "data/recordset.h"

#include <algorithm>

namespace quillon {

Recordset::Recordset(QStringList fieldNames, std::vector<Row> rows, std::shared_ptr<RecordsetWriter> writer)
    : m_fields(std::move(fieldNames)), m_open(true), m_writer(std::move(writer))
{
    reset(std::move(rows));
}

void Recordset::reset(std::vector<Row> rows)
{
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (auto& r : rows) {
        r.resize(m_fields.size());
        m_rows.push_back(Entry{std::move(r), {}, RowState::Unchanged});
    }
    m_order.resize(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) m_order[i] = int(i);
    applySort();
    m_pos = 0;
    m_onDeleted = false;
}

void Recordset::close()
{
    m_open = false;
    m_rows.clear();
    m_order.clear();
    m_pos = 0;
}

int Recordset::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    // "Table.Field" also finds a field returned as "Field".
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) return fieldIndex(name.mid(dot + 1));
    return -1;
}

int Recordset::requireField(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(ErrorNumber::FieldNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: %1").arg(name));
    return i;
}

void Recordset::checkOpen() const
{
    if (!m_open)
        throw DbError(ErrorNumber::NotOpen, QStringLiteral("Operation is not allowed when the object is closed."));
}

void Recordset::checkCurrent() const
{
    checkOpen();
    if (m_onDeleted)
        throw DbError(ErrorNumber::NoCurrentRecord, QStringLiteral("The current record has been deleted."));
    if (bof() || eof())
        throw DbError(ErrorNumber::NoCurrentRecord,
                      QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

void Recordset::moveNext()
{
    checkOpen();
    if (m_onDeleted) {  // the following row already sits at m_pos
        m_onDeleted = false;
        return;
    }
    if (eof())
        throw DbError(ErrorNumber::NoCurrentRecord, QStringLiteral("Either BOF or EOF is True."));
    ++m_pos;
}

void Recordset::movePrevious()
{
    checkOpen();
    if (m_onDeleted) {
        m_onDeleted = false;
        --m_pos;
        return;
    }
    if (bof())
        throw DbError(ErrorNumber::NoCurrentRecord, QStringLiteral("Either BOF or EOF is True."));
    --m_pos;
}

int Recordset::absolutePosition() const
{
    if (m_onDeleted) return PosUnknown;
    if (recordCount() == 0 || m_pos < 0) return PosBOF;
    if (m_pos >= recordCount()) return PosEOF;
    return m_pos + 1;
}

void Recordset::setAbsolutePosition(int position)
{
    checkOpen();
    if (position < 1 || position > recordCount())
        throw DbError(ErrorNumber::NoCurrentRecord, QStringLiteral("Position %1 is outside the record set.").arg(position));
    m_onDeleted = false;
    m_pos = position - 1;
}

Recordset::Bookmark Recordset::bookmark() const
{
    checkCurrent();
    return m_order[m_pos];
}

void Recordset::setBookmark(Bookmark b)
{
    checkOpen();
    auto it = std::find(m_order.begin(), m_order.end(), b);
    if (it == m_order.end())
        throw DbError(ErrorNumber::NoCurrentRecord, QStringLiteral("The bookmark does not identify a row."));
    m_onDeleted = false;
    m_pos = int(it - m_order.begin());
}

const Value& Recordset::value(int index) const
{
    checkCurrent();
    if (index < 0 || index >= fieldCount())
        throw DbError(ErrorNumber::FieldNotFound, QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: %1").arg(index));
    return m_rows[m_order[m_pos]].row[index];
}

void Recordset::setValue(int index, const Value& v)
{
    checkCurrent();
    if (index < 0 || index >= fieldCount())
        throw DbError(ErrorNumber::FieldNotFound, QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: %1").arg(index));
    Entry& e = m_rows[m_order[m_pos]];
    if (e.state == RowState::Unchanged) {
        e.original = e.row;
        e.state = RowState::Modified;
    }
    e.row[index] = v;
}

void Recordset::addNew()
{
    checkOpen();
    m_rows.push_back(Entry{Row(m_fields.size()), {}, RowState::New});
    m_order.push_back(int(m_rows.size() - 1));
    m_pos = recordCount() - 1;
    m_onDeleted = false;
}

bool Recordset::editPending() const
{
    for (const Entry& e : m_rows)
        if (e.state != RowState::Unchanged) return true;
    return false;
}

void Recordset::writeEntry(Entry& e)
{
    if (e.state == RowState::Unchanged) return;
    if (!m_writer)
        throw DbError(ErrorNumber::Generic, QStringLiteral("The record set cannot be updated: it was not opened on a table."));
    switch (e.state) {
    case RowState::New: m_writer->insertRow(*this, e.row); break;
    case RowState::Modified: m_writer->updateRow(*this, e.original, e.row); break;
    case RowState::Deleted: m_writer->deleteRow(*this, e.original.empty() ? e.row : e.original); break;
    case RowState::Unchanged: break;
    }
    e.original.clear();
    e.state = RowState::Unchanged;
}

void Recordset::update()
{
    checkCurrent();
    if (m_batch) return;
    writeEntry(m_rows[m_order[m_pos]]);
}

void Recordset::deleteCurrent()
{
    checkCurrent();
    const int storage = m_order[m_pos];
    Entry& e = m_rows[storage];
    const bool wasNew = e.state == RowState::New;
    if (e.state == RowState::Modified) e.row = e.original;
    e.state = wasNew ? RowState::Unchanged : RowState::Deleted;
    if (!m_batch && !wasNew) writeEntry(e);
    m_order.erase(m_order.begin() + m_pos);
    // The cursor stays on the deleted row; the next MoveNext reaches the
    // following one (which now sits at m_pos), or EOF after the last row.
    m_onDeleted = true;
}

void Recordset::updateBatch()
{
    checkOpen();
    for (Entry& e : m_rows) writeEntry(e);
}

void Recordset::cancelUpdate()
{
    checkOpen();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Entry& e = m_rows[i];
        if (e.state == RowState::Modified) {
            e.row = e.original;
            e.state = RowState::Unchanged;
        }
    }
}

void Recordset::requery()
{
    checkOpen();
    if (!m_writer)
        throw DbError(ErrorNumber::Generic, QStringLiteral("The record set cannot be requeried: it has no source."));
    reset(m_writer->requery(*this));
}

void Recordset::sort(const QString& order)
{
    checkOpen();
    m_sort = order.trimmed();
    // Keep the current row current.
    const int current = (!m_onDeleted && m_pos >= 0 && m_pos < recordCount()) ? m_order[m_pos] : -1;
    m_order.clear();
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].state != RowState::Deleted) m_order.push_back(int(i));
    applySort();
    m_pos = 0;
    m_onDeleted = false;
    if (current >= 0) {
        auto it = std::find(m_order.begin(), m_order.end(), current);
        if (it != m_order.end()) m_pos = int(it - m_order.begin());
    }
}

void Recordset::applySort()
{
    if (m_sort.isEmpty()) return;
    struct Key { int col; bool desc; };
    std::vector<Key> keys;
    for (const QString& part : m_sort.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        const int col = requireField(words.value(0));
        const bool desc = words.size() > 1 && words[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
        keys.push_back({col, desc});
    }
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        for (const Key& k : keys) {
            const int c = Value::compare(m_rows[a].row[k.col], m_rows[b].row[k.col]);
            if (c != 0) return k.desc ? c > 0 : c < 0;
        }
        return false;
    });
}

}  // namespace quillon
