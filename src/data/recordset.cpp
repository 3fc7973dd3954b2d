#include "data/recordset.h"

#include <algorithm>
#include <cstdint>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quillon {

// ---- RowStore -------------------------------------------------------------------

namespace {

constexpr std::size_t FirstBlockRows = 32;
constexpr std::size_t LargestBlockBytes = std::size_t(4) << 20;
constexpr std::size_t LargePageBytes = std::size_t(2) << 20;

}  // namespace

RowStore::RowStore(RowStore&& other) noexcept
    : m_width(other.m_width), m_size(other.m_size), m_blocks(std::move(other.m_blocks))
{
    other.m_size = 0;
    other.m_blocks.clear();
}

RowStore& RowStore::operator=(RowStore&& other) noexcept
{
    if (this != &other) {
        release();
        m_width = other.m_width;
        m_size = other.m_size;
        m_blocks = std::move(other.m_blocks);
        other.m_size = 0;
        other.m_blocks.clear();
    }
    return *this;
}

RowStore::~RowStore() { release(); }

void RowStore::release()
{
    for (const Block& b : m_blocks) {
        for (std::size_t i = 0; i < b.used; ++i) b.values[i].~Value();
#ifdef __linux__
        if (b.mapped) {
            munmap(b.values, b.bytes);
            continue;
        }
#endif
        ::operator delete(b.values);
    }
    m_blocks.clear();
    m_size = 0;
}

Value* RowStore::addRow()
{
    const std::size_t width = std::size_t(std::max(m_width, 1));
    if (m_blocks.empty() || m_blocks.back().used + width > m_blocks.back().capacity) {
        // Each block holds twice the rows of the one before, up to a few megabytes.
        const std::size_t rows = m_blocks.empty() ? FirstBlockRows : m_blocks.back().capacity / width * 2;
        const std::size_t bytes = std::max(std::min(rows * width * sizeof(Value), LargestBlockBytes), width * sizeof(Value));
        Block b{nullptr, bytes / sizeof(Value) / width * width, 0, bytes, false};
#ifdef __linux__
        if (bytes >= LargePageBytes) {
            // Mapped on a large-page boundary: more room is asked for and the
            // ends beyond the boundaries given back.
            const std::size_t asked = bytes + LargePageBytes;
            void* p = mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            const auto start = reinterpret_cast<std::uintptr_t>(p);
            const std::uintptr_t aligned = (start + LargePageBytes - 1) & ~(std::uintptr_t(LargePageBytes) - 1);
            if (aligned > start) munmap(p, aligned - start);
            const std::uintptr_t end = aligned + bytes;
            if (start + asked > end) munmap(reinterpret_cast<void*>(end), start + asked - end);
            madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);   // a hint; ignored where not supported
            b.values = reinterpret_cast<Value*>(aligned);
            b.mapped = true;
        }
#endif
        if (!b.values) b.values = static_cast<Value*>(::operator new(bytes));
        m_blocks.push_back(b);
    }
    Block& b = m_blocks.back();
    Value* row = b.values + b.used;
    for (std::size_t i = 0; i < width; ++i) new (row + i) Value();
    b.used += width;
    ++m_size;
    return row;
}

// ---- Recordset ------------------------------------------------------------------

Recordset::Recordset(QStringList fieldNames, std::vector<Row> rows, std::shared_ptr<RecordsetWriter> writer)
    : m_fields(std::move(fieldNames)), m_open(true), m_writer(std::move(writer))
{
    reset(std::move(rows));
}

Recordset::Recordset(QStringList fieldNames, RowStore rows, std::shared_ptr<RecordsetWriter> writer)
    : m_fields(std::move(fieldNames)), m_open(true), m_writer(std::move(writer))
{
    adopt(std::move(rows));
}

void Recordset::reset(std::vector<Row> rows)
{
    RowStore store(fieldCount());
    for (Row& r : rows) {
        Value* into = store.addRow();
        for (int c = 0; c < fieldCount() && c < int(r.size()); ++c) into[c] = std::move(r[size_t(c)]);
    }
    adopt(std::move(store));
}

void Recordset::adopt(RowStore rows)
{
    m_rows.clear();
    m_rows.reserve(rows.size());
    rows.forEachRow([this](Value* r) { m_rows.push_back(Entry{r, {}, RowState::Unchanged}); });
    m_store = std::move(rows);
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
    m_store = RowStore(fieldCount());
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
        e.original = copyOf(e);
        e.state = RowState::Modified;
    }
    e.row[index] = v;
}

void Recordset::addNew()
{
    checkOpen();
    if (m_store.width() != fieldCount() && m_store.size() == 0) {
        // A record set opened without rows (not from a query) gets its store now.
        RowStore store(fieldCount());
        m_store = std::move(store);
    }
    m_rows.push_back(Entry{m_store.addRow(), {}, RowState::New});
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
    case RowState::New: {
        // The writer may fill in values the database gave the row.
        Row values = copyOf(e);
        m_writer->insertRow(*this, values);
        assign(e, values);
        break;
    }
    case RowState::Modified: m_writer->updateRow(*this, e.original, copyOf(e)); break;
    case RowState::Deleted: m_writer->deleteRow(*this, e.original.empty() ? copyOf(e) : e.original); break;
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
    if (e.state == RowState::Modified) assign(e, e.original);
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
            assign(e, e.original);
            e.original.clear();
            e.state = RowState::Unchanged;
        }
    }
}

void Recordset::assign(Entry& e, const Row& values)
{
    for (int c = 0; c < fieldCount(); ++c) e.row[c] = c < int(values.size()) ? values[size_t(c)] : Value();
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
