#include "reports/engine/layout.h"

#include "data/dberror.h"
#include "reports/engine/format.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <type_traits>
#include <unordered_map>

namespace quillon::reports {

namespace {

constexpr double kEps = 0.001;
constexpr size_t kTextCacheSize = 512;    // laid-out values kept per text element
constexpr std::int64_t kJulianDay1970 = 2440588;   // QDate(1970, 1, 1).toJulianDay()

// Field slots of one template resolved to the columns of its bound data.
struct Binding {
    const ReportTemplate* report = nullptr;
    RecordsetPtr data;
    std::vector<int> columns;   // by field slot; -1 when unbound

    const Value& value(int row, int slot) const
    {
        static const Value null;
        if (row < 0 || !data) return null;
        const int col = columns[slot];
        return col < 0 ? null : data->at(row, col);
    }
};

int findColumn(const Recordset& rs, const QString& name)
{
    int c = rs.fieldIndex(name);
    if (c < 0 && name.contains(QLatin1Char('.'))) c = rs.fieldIndex(name.mid(name.lastIndexOf(QLatin1Char('.')) + 1));
    if (c >= 0) return c;
    // "Amt#2": the second field named Amt, for a query that selects two
    // columns of the same name from different tables.
    const int hash = name.lastIndexOf(QLatin1Char('#'));
    bool ok = false;
    const int nth = hash > 0 ? name.mid(hash + 1).toInt(&ok) : 0;
    if (!ok || nth < 1) return -1;
    QString base = name.left(hash);
    if (base.contains(QLatin1Char('.'))) base = base.mid(base.lastIndexOf(QLatin1Char('.')) + 1);
    int seen = 0;
    const QStringList& names = rs.fieldNames();
    for (int i = 0; i < names.size(); ++i)
        if (names.at(i).compare(base, Qt::CaseInsensitive) == 0 && ++seen == nth) return i;
    return -1;
}

// One sort key's values read once into a form that compares cheaply, in
// the order ops::compare gives (nulls first): a column of texts compares its
// strings, of whole numbers or money their integers, of other numbers their
// doubles, of dates and times their local day and time; a mixed column
// compares its values as they are.
class SortColumn {
public:
    // The key's values of `rows`, by their place in `rows`.
    SortColumn(const Binding& b, int slot, const std::vector<int>& rows)
    {
        m_values.reserve(rows.size());
        bool text = true, ints = true, money = true, numbers = true, dated = true;
        for (int r : rows) {
            const Value& v = b.value(r, slot);
            m_values.push_back(&v);
            switch (v.type()) {
            case Value::Type::Null: break;
            case Value::Type::Text: ints = money = numbers = dated = false; break;
            case Value::Type::Int: text = money = dated = false; break;
            case Value::Type::Currency: text = ints = dated = false; break;
            case Value::Type::Bool: case Value::Type::Double: text = ints = money = dated = false; break;
            case Value::Type::Date: case Value::Type::DateTime: text = ints = money = numbers = false; break;
            }
        }
        m_kind = text ? Text : ints ? Integer : money ? Money : numbers ? Real : dated ? Dated : Generic;
        if (m_kind == Text) {
            m_texts.reserve(m_values.size());
            for (const Value* v : m_values) m_texts.push_back(v->toString());
        } else if (m_kind == Real) {
            m_reals.reserve(m_values.size());
            for (const Value* v : m_values) m_reals.push_back(v->isNull() ? 0.0 : v->toDouble());
        } else if (m_kind != Generic) {
            m_ints.reserve(m_values.size());
            for (const Value* v : m_values) {
                std::int64_t k = 0;
                if (v->isNull()) k = 0;
                else if (m_kind == Integer) k = v->toInt();
                else if (m_kind == Money) k = v->toCurrency().raw();
                else if (v->type() == Value::Type::Date) k = v->toDate().toJulianDay() * 86400000LL;
                else {
                    // A valid date-time value is a wall-clock time held as UTC:
                    // its milliseconds since 1970 count from that day's midnight.
                    const QDateTime dt = v->toDateTime();
                    if (!dt.isValid()) {
                        m_kind = Generic;   // left to ops::compare
                        break;
                    }
                    k = dt.toMSecsSinceEpoch() + kJulianDay1970 * 86400000LL;
                }
                m_ints.push_back(k);
            }
        }
    }

    int compare(int x, int y) const
    {
        const Value& a = *m_values[size_t(x)];
        const Value& c = *m_values[size_t(y)];
        if (a.isNull() || c.isNull()) return a.isNull() == c.isNull() ? 0 : (a.isNull() ? -1 : 1);
        switch (m_kind) {
        case Text: {
            const int r = QString::compare(m_texts[size_t(x)], m_texts[size_t(y)], Qt::CaseSensitive);
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        }
        case Integer: case Money: case Dated: {
            const std::int64_t p = m_ints[size_t(x)], q = m_ints[size_t(y)];
            return p < q ? -1 : (q < p ? 1 : 0);
        }
        case Real: {
            const double p = m_reals[size_t(x)], q = m_reals[size_t(y)];
            return p < q ? -1 : (q < p ? 1 : 0);
        }
        case Generic: break;
        }
        return ops::compare(a, c);
    }

    // The key's values as dense ranks by place in the rows: 0 for Null, then
    // 1, 2, ... in ascending order, equal values sharing a rank, so that
    // ranks compare as compare() does. False for a column that only
    // ops::compare orders (mixed kinds, a number that is not a number).
    bool ranks(std::vector<std::uint32_t>& out) const
    {
        const size_t n = m_values.size();
        out.assign(n, 0);
        if (m_kind == Generic) return false;
        if (m_kind == Text) {
            // Few distinct texts in many rows: rank the distinct ones.
            QHash<QString, std::uint32_t> ids;
            std::vector<const QString*> distinct;
            std::vector<std::uint32_t> id(n, 0);
            for (size_t i = 0; i < n; ++i) {
                if (m_values[i]->isNull()) continue;
                // Rows of one person or office often follow each other.
                if (i > 0 && !m_values[i - 1]->isNull() && m_texts[i] == m_texts[i - 1]) {
                    id[i] = id[i - 1];
                    continue;
                }
                auto it = ids.constFind(m_texts[i]);
                if (it == ids.constEnd()) {
                    it = ids.insert(m_texts[i], std::uint32_t(distinct.size()));
                    distinct.push_back(&m_texts[i]);
                }
                id[i] = it.value();
            }
            std::vector<std::uint32_t> order(distinct.size());
            for (size_t i = 0; i < order.size(); ++i) order[i] = std::uint32_t(i);
            std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
                return QString::compare(*distinct[x], *distinct[y], Qt::CaseSensitive) < 0;
            });
            std::vector<std::uint32_t> rankOf(distinct.size());
            for (size_t i = 0; i < order.size(); ++i) rankOf[order[i]] = std::uint32_t(i + 1);
            for (size_t i = 0; i < n; ++i)
                if (!m_values[i]->isNull()) out[i] = rankOf[id[i]];
            return true;
        }
        if (m_kind == Real)
            for (size_t i = 0; i < n; ++i)
                if (std::isnan(m_reals[i])) return false;
        // Numbers too repeat (people, days, times of day): rank the distinct ones.
        const auto assign = [&](const auto& keys) {
            using Key = typename std::decay_t<decltype(keys)>::value_type;
            std::unordered_map<Key, std::uint32_t> ids;
            std::vector<Key> distinct;
            std::vector<std::uint32_t> id(n, 0);
            for (size_t i = 0; i < n; ++i) {
                if (m_values[i]->isNull()) continue;
                // -0.0 and 0.0 are one value.
                const Key k = keys[i] == Key(0) ? Key(0) : keys[i];
                if (i > 0 && !m_values[i - 1]->isNull() && keys[i - 1] == k) {
                    id[i] = id[i - 1];
                    continue;
                }
                const auto [it, added] = ids.try_emplace(k, std::uint32_t(distinct.size()));
                if (added) distinct.push_back(k);
                id[i] = it->second;
            }
            std::vector<std::uint32_t> order(distinct.size());
            for (size_t i = 0; i < order.size(); ++i) order[i] = std::uint32_t(i);
            std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) { return distinct[x] < distinct[y]; });
            std::vector<std::uint32_t> rankOf(distinct.size());
            for (size_t i = 0; i < order.size(); ++i) rankOf[order[i]] = std::uint32_t(i + 1);
            for (size_t i = 0; i < n; ++i)
                if (!m_values[i]->isNull()) out[i] = rankOf[id[i]];
        };
        if (m_kind == Real) assign(m_reals);
        else assign(m_ints);
        return true;
    }

private:
    enum Kind { Generic, Text, Integer, Money, Real, Dated } m_kind = Generic;
    std::vector<const Value*> m_values;
    std::vector<QString> m_texts;
    std::vector<std::int64_t> m_ints;
    std::vector<double> m_reals;
};

// The order of two values of one sort key as SortColumn orders them, where
// that needs nothing but the two values: Null first, then two values of one
// kind by their own order. Nullopt where it needs the whole column (values
// of different kinds, or numbers too large to compare as a mixed column's
// doubles would) or a value has no place (NaN, an invalid date-time).
std::optional<int> plainOrder(const Value& a, const Value& c)
{
    if (a.isNull() || c.isNull()) return int(!a.isNull()) - int(!c.isNull());
    if (a.type() != c.type()) return std::nullopt;
    const auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    constexpr std::int64_t exactInDouble = std::int64_t(1) << 40;
    switch (a.type()) {
    case Value::Type::Text: {
        const int r = QString::compare(a.toString(), c.toString(), Qt::CaseSensitive);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    case Value::Type::Int: {
        const std::int64_t x = a.toInt(), y = c.toInt();
        if (std::abs(x) >= exactInDouble || std::abs(y) >= exactInDouble) return std::nullopt;
        return order(x, y);
    }
    case Value::Type::Currency: {
        const std::int64_t x = a.toCurrency().raw(), y = c.toCurrency().raw();
        if (std::abs(x) >= exactInDouble || std::abs(y) >= exactInDouble) return std::nullopt;
        return order(x, y);
    }
    case Value::Type::Bool: return order(int(a.toBool()), int(c.toBool()));
    case Value::Type::Double: {
        const double x = a.toDouble(), y = c.toDouble();
        if (std::isnan(x) || std::isnan(y)) return std::nullopt;
        return order(x, y);
    }
    case Value::Type::Date: return order(a.toDate().toJulianDay(), c.toDate().toJulianDay());
    case Value::Type::DateTime: {
        const QDateTime x = a.toDateTime(), y = c.toDateTime();
        if (!x.isValid() || !y.isValid()) return std::nullopt;
        return order(x.toMSecsSinceEpoch(), y.toMSecsSinceEpoch());
    }
    case Value::Type::Null: break;
    }
    return std::nullopt;
}

// Whether the rows already stand in the template's order, seen by comparing
// each row with the next, key by key; false also where a pair needs the
// whole column to be compared (the full sort then decides).
bool inTemplateOrder(const ReportTemplate& t, const Binding& b, const std::vector<int>& rows)
{
    for (size_t i = 1; i < rows.size(); ++i) {
        for (const SortKey& k : t.sortKeys) {
            const std::optional<int> cmp = plainOrder(b.value(rows[i - 1], k.slot), b.value(rows[i], k.slot));
            if (!cmp) return false;
            if (*cmp == 0) continue;
            if ((*cmp > 0) != k.descending) return false;
            break;
        }
    }
    return true;
}

// Orders row indices by the template's sort keys; equal rows keep their order.
void sortRows(const ReportTemplate& t, const Binding& b, std::vector<int>& rows)
{
    if (t.sortKeys.empty() || !b.data || rows.size() < 2) return;
    // Rows the query already ordered (the usual case) are left as they are,
    // without reading every key's column first.
    if (inTemplateOrder(t, b, rows)) return;
    std::vector<std::pair<SortColumn, bool>> keys;
    for (const SortKey& k : t.sortKeys) keys.emplace_back(SortColumn(b, k.slot, rows), k.descending);
    std::vector<int> places(rows.size());
    for (size_t i = 0; i < places.size(); ++i) places[i] = int(i);
    // Rows the query already ordered (the usual case) are left as they are.
    const auto sortBy = [&](const auto& less) {
        if (std::is_sorted(places.begin(), places.end(), less)) return;
        std::stable_sort(places.begin(), places.end(), less);
        std::vector<int> sorted(rows.size());
        for (size_t i = 0; i < places.size(); ++i) sorted[i] = rows[size_t(places[i])];
        rows.swap(sorted);
    };

    // Usually every key ranks: the rows then order by rows of small
    // integers, a descending key's ranks turned round.
    const size_t width = keys.size();
    std::vector<std::uint32_t> ranked(rows.size() * width);
    bool allRanked = true;
    {
        std::vector<std::uint32_t> column;
        for (size_t k = 0; k < width && allRanked; ++k) {
            allRanked = keys[k].first.ranks(column);
            if (!allRanked) break;
            std::uint32_t top = 0;
            for (std::uint32_t r : column) top = std::max(top, r);
            for (size_t i = 0; i < column.size(); ++i)
                ranked[i * width + k] = keys[k].second ? top - column[i] : column[i];
        }
    }
    if (allRanked) {
        // Ranks that fit 64 bits together order the rows by one integer each,
        // the first key in the highest bits; the place breaks ties, so that
        // equal rows keep their order.
        int bits = 0;
        std::vector<int> shift(width);
        for (size_t k = width; k-- > 0;) {
            std::uint32_t top = 0;
            for (size_t i = 0; i < rows.size(); ++i) top = std::max(top, ranked[i * width + k]);
            shift[k] = bits;
            while (top != 0) {
                ++bits;
                top >>= 1;
            }
        }
        if (bits <= 64) {
            std::vector<std::pair<std::uint64_t, std::uint32_t>> packed(rows.size());
            for (size_t i = 0; i < rows.size(); ++i) {
                std::uint64_t key = 0;
                for (size_t k = 0; k < width; ++k)
                    if (shift[k] < 64) key |= std::uint64_t(ranked[i * width + k]) << shift[k];
                packed[i] = {key, std::uint32_t(i)};
            }
            if (std::is_sorted(packed.begin(), packed.end())) return;
            std::sort(packed.begin(), packed.end());
            std::vector<int> sorted(rows.size());
            for (size_t i = 0; i < packed.size(); ++i) sorted[i] = rows[packed[i].second];
            rows.swap(sorted);
            return;
        }
        const auto rankedBefore = [&](int x, int y) {
            const std::uint32_t* p = &ranked[size_t(x) * width];
            const std::uint32_t* q = &ranked[size_t(y) * width];
            for (size_t k = 0; k < width; ++k)
                if (p[k] != q[k]) return p[k] < q[k];
            return false;
        };
        sortBy(rankedBefore);
        return;
    }
    const auto before = [&](int x, int y) {
        for (const auto& [column, descending] : keys) {
            const int cmp = column.compare(x, y);
            if (cmp != 0) return descending ? cmp > 0 : cmp < 0;
        }
        return false;
    };
    sortBy(before);
}

Binding bindTemplate(const ReportTemplate& t, RecordsetPtr data)
{
    Binding b;
    b.report = &t;
    b.data = std::move(data);
    b.columns.assign(t.fields.size(), -1);
    if (b.data && !b.data->isOpen())
        throw DbError(ErrorNumber::NotOpen,
                      QStringLiteral("The data of the report %1 was closed before the report was shown or printed")
                          .arg(t.name.isEmpty() ? t.path : t.name),
                      QStringLiteral("Report engine"));
    // Rows that come with no field list at all (an empty JSON table) have
    // nothing to check against; a query's result always names its fields.
    if (!b.data || b.data->fieldCount() == 0) return b;
    for (int i = 0; i < int(t.fields.size()); ++i) {
        b.columns[i] = findColumn(*b.data, t.fields.at(i));
        if (b.columns[i] < 0)
            throw DbError(ErrorNumber::FieldNotFound,
                          QStringLiteral("The report %1 uses the field %2, which its data does not have (it has: %3)")
                              .arg(t.name.isEmpty() ? t.path : t.name, t.fields.at(i),
                                   b.data->fieldNames().join(QStringLiteral(", "))),
                          QStringLiteral("Report engine"));
    }
    return b;
}

struct Acc {
    Value sum;
    std::int64_t count = 0;
    Value min, max;

    Value result(AggregateKind kind) const
    {
        switch (kind) {
        case AggregateKind::Sum: return sum.isNull() ? Value(std::int64_t(0)) : sum;
        case AggregateKind::Count: return Value(count);
        case AggregateKind::Min: return min;
        case AggregateKind::Max: return max;
        case AggregateKind::Avg: return count == 0 ? Value() : ops::divide(sum, Value(count));
        }
        return Value();
    }
};

// A field showing page numbers, filled in when layout ends.
struct Deferred {
    const ElementDef* element = nullptr;
    const Binding* binding = nullptr;
    int page = -1;
    int item = -1;        // index of its placeholder among the page's items
    double x = 0, y = 0;  // element box, absolute once placed
    int row = -1;
    std::int64_t record = 0;
    std::vector<Value> aggregates;
};

struct BandInstance {
    double height = 0;
    std::vector<Primitive> items;
    std::vector<Deferred> deferred;
};

struct PageNumbering {
    int number = 1;
    int count = 1;
};

// Hashes values as Value's typed equality compares them.
struct ValueHash {
    size_t operator()(const Value& v) const
    {
        const size_t kind = size_t(v.type()) * 0x9e3779b97f4a7c15ULL;
        switch (v.type()) {
        case Value::Type::Null: return kind;
        case Value::Type::Bool: return kind ^ size_t(v.toBool());
        case Value::Type::Int: return kind ^ std::hash<std::int64_t>()(v.toInt());
        case Value::Type::Double: {
            const double d = v.toDouble();
            return kind ^ std::hash<double>()(d == 0 ? 0.0 : d);   // -0.0 equals 0.0
        }
        case Value::Type::Currency: return kind ^ std::hash<std::int64_t>()(v.toCurrency().raw());
        case Value::Type::Text: return kind ^ size_t(qHash(v.toString()));
        case Value::Type::Date: return kind ^ std::hash<std::int64_t>()(v.toDate().toJulianDay());
        case Value::Type::DateTime: {
            const QDateTime dt = v.toDateTime();
            return kind ^ (dt.isValid() ? std::hash<std::int64_t>()(dt.toMSecsSinceEpoch()) : 0);
        }
        }
        return kind;
    }
};

}  // namespace

// What all flows of one rendering share: the document, parameters, bindings.
struct LayoutShared {
    Document doc;
    std::vector<int> pageRun;                 // numbering run of each page
    std::vector<Deferred> deferred;
    const std::vector<Value>* parameters = nullptr;
    QDate printDate;
    Binding root;
    std::vector<Binding> subBindings;
    std::vector<std::unordered_map<QString, std::vector<int>>> subIndex;
    std::vector<bool> subIndexed;
    const LayoutObserver* observer = nullptr;
    PageSink* sink = nullptr;
    int flushed = 0;              // pages handed to the sink
    size_t flushedDeferred = 0;   // their page-number fields
    // What each text element laid out to for the values it showed: names,
    // dates, times and codes repeat down a column, and are formatted and
    // measured once for each value.
    struct LaidOutText {
        std::vector<Primitive> items;
        double growth = 0;
    };
    struct TextCache {
        std::unordered_map<Value, LaidOutText, ValueHash> byValue;
        // The entry of the value shown last, compared before any hashing.
        const std::pair<const Value, LaidOutText>* last = nullptr;
    };
    std::unordered_map<const ElementDef*, TextCache> texts;
};

class LayoutDriver {
public:
    static bool tell(const LayoutShared& sh, int settled)
    {
        return (*sh.observer)(LayoutSnapshot(sh, settled));
    }
};

namespace {

using Shared = LayoutShared;

void flushPages(Shared& sh, int upto);

QString linkKey(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Int: case Value::Type::Double: case Value::Type::Currency: case Value::Type::Bool: {
        const double d = v.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9e15) return QString::number(qlonglong(d));
        return QString::number(d, 'g', 17);
    }
    case Value::Type::Date: return v.toDate().toString(Qt::ISODate);
    case Value::Type::DateTime: return v.toDateTime().toString(Qt::ISODate);
    default: return v.toString();
    }
}

bool sameKey(const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    // The same value of the same kind, as nearly every row has: no need to compare.
    if (a == b) return true;
    return ops::compare(a, b) == 0;
}

struct Rollback {
    size_t checkpoint;
};

class Flow : public EvalContext {
public:
    Flow(Shared& sh, const ReportTemplate& t, const Binding& b, std::vector<int> rows, bool paged)
        : m_sh(sh), m_t(t), m_b(b), m_rows(std::move(rows)), m_paged(paged)
    {
        m_st.accs.resize(t.aggregates.size());
        m_st.keys.resize(t.groups.size());
        for (const GroupDef& g : t.groups)
            for (int f : g.footers)
                if (t.bands[f].atColumnBottom) m_reservedColumnFooter += t.bands[f].height;
        m_details = t.bandsOf(BandKind::Detail);
        m_pageHeaders = t.bandsOf(BandKind::PageHeader);
        m_pageFooters = t.bandsOf(BandKind::PageFooter);
        for (int d : m_details) m_nominalDetail += t.bands[d].height;
        for (int f : m_pageFooters) m_pageFooterHeight += t.bands[f].height;
        m_groupInColumn.resize(t.groups.size(), false);
        for (int g = 0; g < int(t.groups.size()); ++g)
            for (int h : t.groups[g].headers) if (t.bands[h].inColumn) m_groupInColumn[g] = true;
        for (int g = 0; g < int(t.groups.size()); ++g)
            for (int f : t.groups[g].footers) if (t.bands[f].inColumn) m_groupInColumn[g] = true;
    }

    // Unpaged flows (subreports) collect their output here.
    BandInstance& collected() { return m_collect; }

    void run()
    {
        if (m_paged && m_rows.empty()) {
            runEmpty();
            return;
        }
        // Report and page headers see the first row.
        m_st.ctxRow = m_rows.empty() ? -1 : 0;
        startPage();
        const int n = int(m_rows.size());
        int r = 0;
        int resumeLevel = -1;
        for (;;) {
            try {
                for (; r < n; ++r) {
                    processRow(r, resumeLevel);
                    resumeLevel = -1;
                }
                if (n > 0) {
                    m_st.ctxRow = n - 1;
                    closeGroups(0);
                }
                break;
            } catch (const Rollback& rb) {
                const Checkpoint cp = m_checkpoints[rb.checkpoint];
                restore(cp);
                m_checkpoints.resize(rb.checkpoint);
                r = cp.row;
                resumeLevel = cp.level;
                m_forcedRow = cp.row;
                m_forcedLevel = cp.level;
            }
        }
        for (int b : m_t.bandsOf(BandKind::ReportFooter)) placeFlowBand(m_t.bands[b]);
        finishPage();
    }

    // A report without rows: the title block of its report and page headers
    // (what does not depend on rows) and one line saying so.
    void runEmpty()
    {
        m_empty = true;
        m_st.ctxRow = -1;
        Page p;
        p.width = m_t.pageWidth;
        p.height = m_t.pageHeight;
        m_sh.doc.pages.push_back(std::move(p));
        m_sh.pageRun.push_back(0);
        m_st.y = m_t.marginTop;
        for (int b : m_t.bandsOf(BandKind::ReportHeader)) placeFixed(m_t.bands[b]);
        for (int b : m_pageHeaders) placeFixed(m_t.bands[b]);
        ElementDef note;
        note.kind = ElementDef::Text;
        note.fontId = m_t.defaultFontId;
        note.fontSize = m_t.defaultFontSize;
        note.width = m_t.pageWidth - m_t.marginLeft - m_t.marginRight;
        note.height = FontLibrary::instance().face(note.fontId).lineHeight(note.fontSize);
        layoutTextElement(note, QStringLiteral("No records for this selection."), m_t.marginLeft, m_st.y + 6,
                          m_sh.doc.pages.back().items);
    }

    // In a report without rows, only what reads no row prints.
    bool printsWhenEmpty(const ElementDef& e) const
    {
        if (e.kind != ElementDef::Text && e.kind != ElementDef::Field) return false;
        for (const Expression* x : {&e.expr, &e.visible})
            if (x->isValid() && (x->usesFields() || x->usesAggregates() || x->usesPageNumbers())) return false;
        return true;
    }

    // EvalContext
    Value field(int slot) const override
    {
        if (m_st.ctxRow < 0 || m_st.ctxRow >= int(m_rows.size())) return Value();
        return m_b.value(m_rows[m_st.ctxRow], slot);
    }
    Value parameter(int slot) const override { return (*m_sh.parameters)[slot]; }
    Value special(Special s) const override
    {
        switch (s) {
        case Special::RecordNumber: return Value(m_st.record);
        case Special::PrintDate: return Value(m_sh.printDate);
        default: return Value();   // page numbers are filled in at the end
        }
    }
    Value aggregate(int slot) const override { return m_st.accs[slot].result(m_t.aggregates[slot].kind); }

private:
    struct State {
        double y = 0;
        double bodyTop = 0, bodyBottom = 0;
        bool pageFresh = true;
        bool inColumns = false;
        int colIndex = 0;
        double colTop = 0, colBottom = 0, colMaxY = 0;
        int colRows = 0;
        bool colFresh = true;
        int ctxRow = -1;
        int lastPlacedRow = -1;
        std::int64_t record = 0;
        int openDepth = 0;
        bool pendingNewRun = false;
        bool breakBeforeNext = false;
        int run = 0;
        std::vector<Acc> accs;
        std::vector<std::vector<Value>> keys;
    };

    struct Checkpoint {
        State state;
        int row = 0;
        int level = 0;
        size_t pages = 0;
        size_t items = 0;
        size_t deferred = 0;
        bool inColumn = false;
        bool atTop = false;
        bool retried = false;
    };

    enum class Break { Page, Column };

    // ---- rows and groups ----------------------------------------------------

    std::vector<Value> keyOf(int r, int g) const
    {
        std::vector<Value> key;
        for (int slot : m_t.groups[g].fieldSlots) key.push_back(m_b.value(m_rows[r], slot));
        return key;
    }

    int firstChangedLevel(int r) const
    {
        // Read in place: most rows change no group.
        for (int g = 0; g < int(m_t.groups.size()); ++g) {
            const std::vector<int>& slots = m_t.groups[g].fieldSlots;
            const auto& old = m_st.keys[g];
            for (size_t i = 0; i < slots.size(); ++i)
                if (i >= old.size() || !sameKey(m_b.value(m_rows[r], slots[i]), old[i])) return g;
        }
        return int(m_t.groups.size());
    }

    void processRow(int r, int resumeLevel)
    {
        const int nGroups = int(m_t.groups.size());
        int level;
        if (resumeLevel >= 0) {
            level = resumeLevel;
        } else {
            level = r == 0 ? 0 : firstChangedLevel(r);
            if (r > 0 && level < nGroups) {
                m_st.ctxRow = r - 1;
                closeGroups(level);
            }
        }
        m_st.ctxRow = r;
        openGroups(level, r);
        accumulate(false);
        ++m_st.record;
        placeDetail();
    }

    void openGroups(int level, int r)
    {
        for (int g = level; g < int(m_t.groups.size()); ++g) {
            const GroupDef& gd = m_t.groups[g];
            m_st.keys[g] = keyOf(r, g);
            resetAccs(AggregateScope::Group, g);
            const bool forced = m_forcedRow == r && m_forcedLevel == g;
            if (forced) {
                m_forcedRow = m_forcedLevel = -1;
                if (gd.resetPageNumber) m_st.pendingNewRun = true;
                doBreak(m_groupInColumn[g] ? Break::Column : Break::Page);
            } else if (m_paged) {
                if (gd.resetPageNumber) m_st.pendingNewRun = true;
                if (gd.newPage && !m_st.pageFresh && r > 0) doBreak(Break::Page);
                else if (gd.newColumn && m_st.inColumns && !m_st.colFresh) doBreak(Break::Column);
            }
            if (m_st.pendingNewRun && m_st.pageFresh) startRunHere();
            if (gd.keepTogether && m_paged) {
                Checkpoint cp;
                cp.state = m_st;
                cp.row = r;
                cp.level = g;
                cp.pages = m_sh.doc.pages.size();
                cp.items = m_sh.doc.pages.back().items.size();
                cp.deferred = m_sh.deferred.size();
                cp.inColumn = m_groupInColumn[g];
                cp.atTop = cp.inColumn && m_st.inColumns ? m_st.colFresh : m_st.pageFresh;
                cp.retried = forced;
                m_checkpoints.push_back(std::move(cp));
            }
            for (size_t i = 0; i < gd.headers.size(); ++i) {
                const BandDef& band = m_t.bands[gd.headers[i]];
                // Keep the last header with the first detail row.
                const double extra = i + 1 == gd.headers.size() ? m_nominalDetail : 0;
                placeFlowBand(band, extra);
            }
            m_st.openDepth = g + 1;
        }
    }

    void closeGroups(int level)
    {
        for (int g = int(m_t.groups.size()) - 1; g >= level; --g) {
            accumulateOnce(g);
            for (int f : m_t.groups[g].footers) {
                const BandDef& band = m_t.bands[f];
                if (band.atColumnBottom && m_st.inColumns) placeAtColumnBottom(band, g);
                else placeFlowBand(band);
            }
            m_st.openDepth = g;
            while (!m_checkpoints.empty() && m_checkpoints.back().level >= g) m_checkpoints.pop_back();
        }
    }

    void resetAccs(AggregateScope scope, int group = -1)
    {
        for (size_t i = 0; i < m_t.aggregates.size(); ++i) {
            const AggregateDef& a = m_t.aggregates[i];
            if (a.scope == scope && (scope != AggregateScope::Group || a.group == group)) m_st.accs[i] = Acc();
        }
    }

    void accumulate(bool pageScopes)
    {
        for (size_t i = 0; i < m_t.aggregates.size(); ++i) {
            const AggregateDef& a = m_t.aggregates[i];
            const bool isPage = a.scope == AggregateScope::Page || a.scope == AggregateScope::Column;
            if (isPage != pageScopes || a.eachGroup >= 0) continue;
            add(i);
        }
    }

    // Totals taken once per instance of group g, as it ends (its last row is current).
    void accumulateOnce(int g)
    {
        for (size_t i = 0; i < m_t.aggregates.size(); ++i)
            if (m_t.aggregates[i].eachGroup == g) add(i);
    }

    void add(size_t i)
    {
        const Value v = Expression::evaluateNode(*m_t.aggregates[i].arg, *this);
        if (v.isNull()) return;
        Acc& acc = m_st.accs[i];
        ++acc.count;
        // Only what the aggregate shows: a count adds no values up.
        switch (m_t.aggregates[i].kind) {
        case AggregateKind::Count: break;
        case AggregateKind::Sum: case AggregateKind::Avg:
            acc.sum = acc.sum.isNull() ? v : ops::add(acc.sum, v);
            break;
        case AggregateKind::Min:
            if (acc.min.isNull() || ops::compare(v, acc.min) < 0) acc.min = v;
            break;
        case AggregateKind::Max:
            if (acc.max.isNull() || ops::compare(v, acc.max) > 0) acc.max = v;
            break;
        }
    }

    void placeDetail()
    {
        const std::vector<int>& details = m_details;
        if (details.empty()) {
            accumulate(true);
            return;
        }
        // Kept across rows: only their room is reused.
        std::vector<const BandDef*>& bands = m_detailBands;
        std::vector<BandInstance>& inst = m_detailInstances;
        bands.clear();
        double total = 0;
        bool inColumn = false;
        for (int d : details) {
            const BandDef& band = m_t.bands[d];
            if (!isVisible(band)) continue;
            if (inst.size() == bands.size()) inst.emplace_back();
            evaluateBand(band, inst[bands.size()]);
            total += inst[bands.size()].height;
            bands.push_back(&band);
            inColumn = inColumn || band.inColumn;
        }
        if (bands.empty()) {
            accumulate(true);
            return;
        }
        ensureFits(total, inColumn, true);
        accumulate(true);
        for (size_t i = 0; i < bands.size(); ++i) {
            if (bands[i]->usesPageScope) evaluateBand(*bands[i], inst[i]);
            place(inst[i], *bands[i]);
        }
        if (m_st.inColumns && inColumn) ++m_st.colRows;
    }

    // ---- pages and columns --------------------------------------------------

    void startPage()
    {
        const bool first = m_sh.doc.pages.empty() || !m_paged;
        if (m_paged) {
            Page p;
            p.width = m_t.pageWidth;
            p.height = m_t.pageHeight;
            // Pages of a report hold about as many items as the one before.
            if (!m_sh.doc.pages.empty()) p.items.reserve(m_lastPageItems);
            m_sh.doc.pages.push_back(std::move(p));
            if (first) m_st.run = 0;
            else if (m_st.pendingNewRun) { ++m_st.run; m_st.pendingNewRun = false; }
            m_sh.pageRun.push_back(m_st.run);
        }
        m_st.y = m_paged ? m_t.marginTop : 0;
        m_st.bodyBottom = m_paged ? m_t.pageHeight - m_t.marginBottom - m_pageFooterHeight : 1e12;
        m_st.inColumns = false;
        m_st.colIndex = 0;
        m_st.pageFresh = true;
        resetAccs(AggregateScope::Page);
        resetAccs(AggregateScope::Column);
        if (first)
            for (int b : m_t.bandsOf(BandKind::ReportHeader)) placeFixed(m_t.bands[b]);
        if (m_paged)
            for (int b : m_pageHeaders) placeFixed(m_t.bands[b]);
        m_st.bodyTop = m_st.y;
        // Groups still open carry their headers onto the new page.
        if (!first)
            for (int g = 0; g < m_st.openDepth; ++g)
                if (m_t.groups[g].repeatHeader)
                    for (int h : m_t.groups[g].headers) placeFlowBand(m_t.bands[h]);
        m_st.pageFresh = true;
        m_st.colFresh = true;
        if (!first) tellProgress();
    }

    // Tells the observer of the pages laid out; the pages a kept-together
    // group may still take back are not settled yet.
    void tellProgress()
    {
        const bool observed = m_sh.observer && *m_sh.observer;
        if (!observed && !m_sh.sink) return;
        int settled = int(m_sh.doc.pages.size()) - 1;
        for (const Checkpoint& cp : m_checkpoints) settled = std::min(settled, int(cp.pages) - 1);
        if (m_sh.sink) flushPages(m_sh, settled);
        if (observed && !LayoutDriver::tell(m_sh, settled)) throw LayoutCancelled();
    }

    // A group restarting the page numbering begins its run on this (still empty) page.
    void startRunHere()
    {
        m_st.pendingNewRun = false;
        if (!m_paged || m_sh.doc.pages.size() <= 1) return;
        m_sh.pageRun.back() = ++m_st.run;
    }

    void finishPage()
    {
        if (!m_paged) return;
        // Room for the fullest page so far, so that no page grows its list again.
        m_lastPageItems = std::max(m_lastPageItems, m_sh.doc.pages.back().items.size() + 8);
        // The page footer sees the last row placed on its page.
        const int ctx = m_st.ctxRow;
        if (m_st.lastPlacedRow >= 0) m_st.ctxRow = m_st.lastPlacedRow;
        double y = m_t.pageHeight - m_t.marginBottom - m_pageFooterHeight;
        for (int b : m_pageFooters) {
            const BandDef& band = m_t.bands[b];
            if (isVisible(band)) {
                BandInstance inst = evaluateBand(band);
                emit(inst, m_t.marginLeft, y);
            }
            y += band.height;
        }
        m_st.ctxRow = ctx;
    }

    void checkRollback(Break kind)
    {
        for (size_t i = 0; i < m_checkpoints.size(); ++i) {
            const Checkpoint& cp = m_checkpoints[i];
            if (cp.retried || cp.atTop) continue;
            if (kind == Break::Column && !cp.inColumn) continue;
            throw Rollback{i};
        }
    }

    void doBreak(Break kind)
    {
        if (!m_paged) return;
        checkRollback(kind);
        if (kind == Break::Column && m_st.inColumns && m_st.colIndex + 1 < m_t.columns.count) {
            ++m_st.colIndex;
            m_st.y = m_st.colTop;
            m_st.colRows = 0;
            m_st.colFresh = true;
            resetAccs(AggregateScope::Column);
            for (int g = 0; g < m_st.openDepth; ++g)
                if (m_t.groups[g].repeatHeader && m_groupInColumn[g])
                    for (int h : m_t.groups[g].headers) placeFlowBand(m_t.bands[h]);
            m_st.colFresh = true;
            return;
        }
        finishPage();
        startPage();
    }

    void enterColumns()
    {
        if (m_t.columns.height > 0 && m_st.y + m_t.columns.height > m_st.bodyBottom + kEps && !m_st.pageFresh)
            doBreak(Break::Page);
        m_st.inColumns = true;
        m_st.colIndex = 0;
        m_st.colTop = m_st.y;
        m_st.colBottom = m_t.columns.height > 0 ? std::min(m_st.y + m_t.columns.height, m_st.bodyBottom) : m_st.bodyBottom;
        m_st.colMaxY = m_st.y;
        m_st.colRows = 0;
        m_st.colFresh = true;
        resetAccs(AggregateScope::Column);
    }

    void leaveColumns()
    {
        m_st.y = m_t.columns.height > 0 ? m_st.colBottom : m_st.colMaxY;
        m_st.inColumns = false;
    }

    void ensureFits(double h, bool inColumn, bool countsRow)
    {
        if (!m_paged) return;
        if (m_st.breakBeforeNext) {
            m_st.breakBeforeNext = false;
            if (m_st.inColumns) leaveColumns();
            doBreak(Break::Page);
        }
        if (inColumn) {
            if (!m_st.inColumns) enterColumns();
            const double limit = m_st.colBottom - m_reservedColumnFooter;
            const bool full = countsRow && m_t.columns.maxRows > 0 && m_st.colRows >= m_t.columns.maxRows;
            if ((full || m_st.y + h > limit + kEps) && !m_st.colFresh) {
                doBreak(Break::Column);
                if (!m_st.inColumns) enterColumns();
            }
        } else {
            if (m_st.inColumns) leaveColumns();
            if (m_st.y + h > m_st.bodyBottom + kEps && !m_st.pageFresh) doBreak(Break::Page);
        }
    }

    double flowX() const
    {
        if (!m_st.inColumns) return m_paged ? m_t.marginLeft : 0;
        return m_t.marginLeft + m_st.colIndex * (m_t.columns.width + m_t.columns.gap);
    }

    // ---- placing bands --------------------------------------------------------

    bool isVisible(const BandDef& band) const
    {
        return !band.visible.isValid() || band.visible.evaluate(*this).toBool();
    }

    // Report and page headers: at the cursor, no fitting.
    void placeFixed(const BandDef& band)
    {
        if (!isVisible(band)) return;
        BandInstance inst = evaluateBand(band);
        emit(inst, m_paged ? m_t.marginLeft : 0, m_st.y);
        m_st.y += inst.height;
    }

    void placeFlowBand(const BandDef& band, double keepWithNext = 0)
    {
        if (!isVisible(band)) return;
        BandInstance inst = evaluateBand(band);
        ensureFits(inst.height + keepWithNext, band.inColumn, false);
        if (band.usesPageScope) inst = evaluateBand(band);
        place(inst, band);
    }

    void place(BandInstance& inst, const BandDef& band)
    {
        // The page footer reads the row of the last band on its page, be it a
        // detail or a group's header or footer.
        m_st.lastPlacedRow = m_st.ctxRow;
        emit(inst, flowX(), m_st.y);
        m_st.y += inst.height;
        if (m_st.inColumns && band.inColumn) {
            m_st.colMaxY = std::max(m_st.colMaxY, m_st.y);
            m_st.colFresh = false;
        }
        m_st.pageFresh = false;
        if (band.newPageAfter) m_st.breakBeforeNext = true;
    }

    void placeAtColumnBottom(const BandDef& band, int group)
    {
        if (!isVisible(band)) return;
        double below = 0;   // footers of enclosing groups sit lower
        for (int g = 0; g <= group; ++g)
            for (int f : m_t.groups[g].footers)
                if (m_t.bands[f].atColumnBottom) below += m_t.bands[f].height;
        BandInstance inst = evaluateBand(band);
        const double y = m_st.colBottom - below;
        double offset = 0;
        for (int f : m_t.groups[group].footers) {
            if (&m_t.bands[f] == &band) break;
            if (m_t.bands[f].atColumnBottom) offset += m_t.bands[f].height;
        }
        m_st.lastPlacedRow = m_st.ctxRow;
        emit(inst, flowX(), y + offset);
        m_st.y = m_st.colBottom;
        m_st.colMaxY = std::max(m_st.colMaxY, m_st.colBottom);
        m_st.colFresh = false;
        m_st.pageFresh = false;
    }

    void emit(BandInstance& inst, double x, double y)
    {
        std::vector<Primitive>& items = m_paged ? m_sh.doc.pages.back().items : m_collect.items;
        const int base = int(items.size());
        for (Primitive& p : inst.items) {
            p.x += x;
            p.y += y;
            items.push_back(std::move(p));
        }
        for (Deferred& d : inst.deferred) {
            d.x += x;
            d.y += y;
            d.item += base;
            if (m_paged) {
                d.page = int(m_sh.doc.pages.size()) - 1;
                m_sh.deferred.push_back(std::move(d));
            } else {
                m_collect.deferred.push_back(std::move(d));
            }
        }
        if (!m_paged) m_collect.height = std::max(m_collect.height, y + inst.height);
    }

    void restore(const Checkpoint& cp)
    {
        m_st = cp.state;
        m_sh.doc.pages.resize(cp.pages);
        m_sh.pageRun.resize(cp.pages);
        m_sh.doc.pages.back().items.resize(cp.items);
        m_sh.deferred.resize(cp.deferred);
    }

    // ---- evaluating a band ----------------------------------------------------

    struct Placed {
        const ElementDef* e;
        double growth = 0;
        size_t first = 0, last = 0;        // its items in the instance
        size_t firstDeferred = 0, lastDeferred = 0;
    };

    // Elements side by side do not push each other down; only what lies below
    // a grown element, across the same stretch of the band, moves.
    static bool overlapsAcross(const ElementDef& a, const ElementDef& b)
    {
        auto span = [](const ElementDef& e) {
            if (e.kind == ElementDef::Line) return std::make_pair(std::min(e.x, e.x2), std::max(e.x, e.x2));
            return std::make_pair(e.x, e.x + e.width);
        };
        const auto sa = span(a), sb = span(b);
        return sa.first < sb.second + kEps && sb.first < sa.second + kEps;
    }

    BandInstance evaluateBand(const BandDef& band)
    {
        BandInstance inst;
        inst.items.reserve(band.elements.size());
        evaluateBand(band, inst);
        return inst;
    }

    // Into an instance whose room is reused: detail bands are evaluated once a row.
    void evaluateBand(const BandDef& band, BandInstance& inst)
    {
        inst.height = band.height;
        inst.items.clear();
        inst.deferred.clear();
        std::vector<Placed>& placed = m_placed;
        placed.clear();
        bool grew = false;
        for (const ElementDef& e : band.elements) {
            if (m_empty && !printsWhenEmpty(e)) continue;
            if (e.visible.isValid() && !e.deferred() && !e.visible.evaluate(*this).toBool()) continue;
            Placed p{&e};
            p.first = inst.items.size();
            p.firstDeferred = inst.deferred.size();
            p.growth = evaluateElement(e, inst);
            p.last = inst.items.size();
            p.lastDeferred = inst.deferred.size();
            if (p.growth > kEps) grew = true;
            placed.push_back(p);
        }
        if (grew) {
            // Elements below a grown element move down with it.
            std::vector<size_t> order(placed.size());
            for (size_t i = 0; i < order.size(); ++i) order[i] = i;
            std::stable_sort(order.begin(), order.end(),
                             [&](size_t a, size_t b) { return placed[a].e->y < placed[b].e->y; });
            std::vector<double> shift(placed.size(), 0);
            double maxGrowth = 0;
            for (size_t oi = 0; oi < order.size(); ++oi) {
                const size_t i = order[oi];
                const ElementDef& e = *placed[i].e;
                for (size_t oj = 0; oj < oi; ++oj) {
                    const size_t j = order[oj];
                    const ElementDef& above = *placed[j].e;
                    if (placed[j].growth > kEps && above.y + above.height <= e.y + kEps && overlapsAcross(above, e))
                        shift[i] = std::max(shift[i], shift[j] + placed[j].growth);
                }
                for (size_t k = placed[i].first; k < placed[i].last; ++k) inst.items[k].y += shift[i];
                for (size_t k = placed[i].firstDeferred; k < placed[i].lastDeferred; ++k) inst.deferred[k].y += shift[i];
                maxGrowth = std::max(maxGrowth, shift[i] + placed[i].growth);
            }
            inst.height += maxGrowth;
        }
    }

    // Adds an element's primitives; returns how much taller than designed it came out.
    double evaluateElement(const ElementDef& e, BandInstance& inst)
    {
        switch (e.kind) {
        case ElementDef::Text:
        case ElementDef::Field: {
            if (e.deferred()) {
                Deferred d;
                d.element = &e;
                d.binding = &m_b;
                d.x = e.x;
                d.y = e.y;
                d.item = int(inst.items.size());
                d.row = m_st.ctxRow >= 0 && m_st.ctxRow < int(m_rows.size()) ? m_rows[m_st.ctxRow] : -1;
                d.record = m_st.record;
                if (e.expr.usesAggregates() || e.visible.usesAggregates())
                    for (size_t i = 0; i < m_st.accs.size(); ++i)
                        d.aggregates.push_back(m_st.accs[i].result(m_t.aggregates[i].kind));
                Primitive placeholder;
                placeholder.kind = Primitive::Text;
                placeholder.font = (unsigned char)e.fontId;
                placeholder.size = e.fontSize;
                placeholder.x = e.x;
                placeholder.y = e.y;
                inst.items.push_back(placeholder);
                inst.deferred.push_back(std::move(d));
                return 0;
            }
            Value v = e.expr.evaluate(*this);
            LayoutShared::TextCache& cache = m_sh.texts[&e];
            auto& seen = cache.byValue;
            if (!cache.last || !(cache.last->first == v)) {
                const auto it = seen.find(v);
                cache.last = it == seen.end() ? nullptr : &*it;
            }
            if (cache.last) {
                const LayoutShared::LaidOutText& laid = cache.last->second;
                inst.items.insert(inst.items.end(), laid.items.begin(), laid.items.end());
                return laid.growth;
            }
            // A column of ever new values (a remark on each row) keeps only its latest.
            if (seen.size() >= kTextCacheSize) seen.clear();
            const QString text = v.isNull() ? e.nullText : e.format.apply(v);
            const size_t from = inst.items.size();
            auto& entry = *seen.try_emplace(std::move(v)).first;
            LayoutShared::LaidOutText& laid = entry.second;
            laid.growth = layoutTextElement(e, text, 0, 0, inst.items);
            laid.items.assign(inst.items.begin() + qsizetype(from), inst.items.end());
            cache.last = &entry;
            return laid.growth;
        }
        case ElementDef::Line: {
            Primitive p;
            p.kind = Primitive::Line;
            p.x = e.x;
            p.y = e.y;
            p.w = e.x2 - e.x;
            p.h = e.y2 - e.y;
            p.lineWidth = e.lineWidth;
            p.color = e.color;
            p.background = e.background;
            inst.items.push_back(p);
            return 0;
        }
        case ElementDef::Box: {
            Primitive p;
            p.kind = Primitive::Rect;
            p.x = e.x;
            p.y = e.y;
            p.w = e.width;
            p.h = e.height;
            p.lineWidth = e.lineWidth;
            p.stroked = e.lineWidth > 0;
            p.filled = e.hasFill;
            p.fill = e.fill;
            p.color = e.color;
            p.background = e.background;
            inst.items.push_back(p);
            return 0;
        }
        case ElementDef::Check: {
            const double s = e.width;
            if (e.checkBox) {
                Primitive box;
                box.kind = Primitive::Rect;
                box.x = e.x;
                box.y = e.y;
                box.w = box.h = s;
                box.lineWidth = e.lineWidth;
                box.color = e.color;
                inst.items.push_back(box);
            }
            const Value v = e.expr.evaluate(*this);
            if (!v.isNull() && v.toBool()) {
                auto line = [&](double x1, double y1, double x2, double y2) {
                    Primitive p;
                    p.kind = Primitive::Line;
                    p.x = e.x + x1 * s;
                    p.y = e.y + y1 * s;
                    p.w = (x2 - x1) * s;
                    p.h = (y2 - y1) * s;
                    p.lineWidth = std::max(e.lineWidth, s / 8);
                    p.color = e.color;
                    inst.items.push_back(p);
                };
                if (e.cross) {
                    line(0.2, 0.2, 0.8, 0.8);
                    line(0.2, 0.8, 0.8, 0.2);
                } else {
                    line(0.18, 0.55, 0.42, 0.8);
                    line(0.42, 0.8, 0.85, 0.2);
                }
            }
            return 0;
        }
        case ElementDef::Subreport:
            return evaluateSubreport(e, inst);
        }
        return 0;
    }

    double evaluateSubreport(const ElementDef& e, BandInstance& inst)
    {
        const SubreportDef& sd = m_t.subreports[e.subreport];
        const Binding& sb = m_sh.subBindings[e.subreport];
        std::vector<int> rows;
        if (sb.data) {
            if (sd.linkFields.isEmpty()) {
                rows.resize(sb.data->recordCount());
                for (int i = 0; i < int(rows.size()); ++i) rows[i] = i;
            } else {
                const auto& index = subIndex(e.subreport);
                QString key;
                bool nullLink = false;
                for (int slot : sd.parentSlots) {
                    const Value v = field(slot);
                    if (v.isNull()) nullLink = true;
                    key += linkKey(v) + QChar(0x1f);
                }
                const auto it = index.find(key);
                if (!nullLink && it != index.end()) rows = it->second;
            }
            sortRows(*sd.report, sb, rows);
        }
        if (rows.empty() && sd.suppressIfEmpty) return 0;
        Flow sub(m_sh, *sd.report, sb, std::move(rows), false);
        sub.run();
        BandInstance& out = sub.collected();
        const int base = int(inst.items.size());
        for (Primitive p : out.items) {
            p.x += e.x;
            p.y += e.y;
            inst.items.push_back(std::move(p));
        }
        for (Deferred d : out.deferred) {
            d.x += e.x;
            d.y += e.y;
            d.item += base;
            inst.deferred.push_back(std::move(d));
        }
        return out.height - e.height;
    }

    const std::unordered_map<QString, std::vector<int>>& subIndex(int s)
    {
        if (!m_sh.subIndexed[s]) {
            const SubreportDef& sd = m_t.subreports[s];
            const Binding& sb = m_sh.subBindings[s];
            std::vector<int> cols;
            for (const QString& f : sd.linkFields) {
                const int c = findColumn(*sb.data, f);
                if (c < 0)
                    throw DbError(ErrorNumber::FieldNotFound,
                                  QStringLiteral("The subreport %1 is linked by the field %2, which its data does not have")
                                      .arg(sd.name, f),
                                  QStringLiteral("Report engine"));
                cols.push_back(c);
            }
            auto& index = m_sh.subIndex[s];
            for (int r = 0; r < sb.data->recordCount(); ++r) {
                QString key;
                bool nullLink = false;
                for (int c : cols) {
                    const Value& v = sb.data->at(r, c);
                    if (v.isNull()) nullLink = true;
                    key += linkKey(v) + QChar(0x1f);
                }
                if (!nullLink) index[key].push_back(r);
            }
            m_sh.subIndexed[s] = true;
        }
        return m_sh.subIndex[s];
    }

public:
    // Lays a text out in an element's box; returns the growth of the box.
    static double layoutTextElement(const ElementDef& e, const QString& rawText, double dx, double dy,
                                    std::vector<Primitive>& out)
    {
        if (rawText.isEmpty()) return 0;
        const QString text = printableText(rawText);
        // Texts from the database may end their lines with CR LF (or CR).
        if (text.contains(QLatin1Char('\r'))) {
            QString lf = text;
            lf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            lf.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            return layoutTextElement(e, lf, dx, dy, out);
        }
        const FontFace& face = FontLibrary::instance().face(e.fontId);
        double size = e.fontSize;
        double lh = face.lineHeight(size);
        QStringList lines;
        bool fitted = false;
        if (e.fit == ElementDef::Fit::Shrink && !e.canGrow && e.angle == 0 && e.width > 0)
            fitted = fitText(e, text, face, &size, &lines);
        if (fitted) {
            lh = face.lineHeight(size);
        } else if (e.wrap && e.angle == 0) {
            lines = wrapText(text, face, e.fontSize, e.width);
            if (!e.canGrow) {
                const int fit = std::max(1, int(std::floor((e.height + kEps) / lh)));
                if (lines.size() > fit) lines = lines.mid(0, fit);
            }
        } else {
            QString line = text;
            line.replace(QLatin1Char('\n'), QLatin1Char(' '));
            lines << line;
        }
        const double contentH = lines.size() * lh;
        const double boxH = e.canGrow ? std::max(e.height, contentH) : e.height;
        double top = e.y;
        if (e.valign == VAlign::Middle) top += (boxH - contentH) / 2;
        else if (e.valign == VAlign::Bottom) top += boxH - contentH;
        for (int i = 0; i < lines.size(); ++i) {
            QString line = lines.at(i);
            double w = face.textWidth(line, size);
            if (e.angle == 0 && w > e.width + kEps && e.width > 0) {
                // Cut at the box edge, as a form's box would.
                while (!line.isEmpty() && w > e.width + kEps) {
                    line.chop(1);
                    w = face.textWidth(line, size);
                }
            }
            if (line.isEmpty()) continue;
            double x = e.x;
            if (e.angle == 0) {
                if (e.align == Align::Center) x += (e.width - w) / 2;
                else if (e.align == Align::Right) x += e.width - w;
            }
            Primitive p;
            p.kind = Primitive::Text;
            p.font = (unsigned char)e.fontId;
            p.size = size;
            p.x = x + dx;
            p.y = top + i * lh + dy;
            p.w = w;
            p.h = lh;
            p.angle = e.angle;
            p.color = e.color;
            p.background = e.background;
            p.text = std::move(line);
            out.push_back(std::move(p));
        }
        return boxH - e.height;
    }

    // A text that overflows its box: the largest size, down to the element's
    // floor, at which it fits on one line, else wrapped in the box's height;
    // at the floor, the lines that fit with an ellipsis ending the last.
    // Returns false when the text fits as designed.
    static bool fitText(const ElementDef& e, const QString& wholeText, const FontFace& face, double* size,
                        QStringList* lines)
    {
        const double designed = e.fontSize;
        const double floorSize = std::min(designed, e.minSize > 0 ? e.minSize : std::max(5.0, designed * 0.6));
        const double lh = face.lineHeight(designed);
        QString oneLine;
        if (!e.wrap) {
            oneLine = wholeText;
            oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        const QString& text = e.wrap ? wholeText : oneLine;
        if (e.wrap) {
            const QStringList wrapped = wrapText(text, face, designed, e.width);
            if (wrapped.size() * lh <= std::max(e.height, lh) + kEps) return false;
        } else {
            const double w = face.textWidth(text, designed);
            if (w <= e.width + kEps) return false;
            // Widths scale with the size: one step finds the size that fits.
            const double s = std::floor(designed * e.width / w * 10) / 10;
            if (s >= floorSize) {
                *size = s;
                *lines = QStringList{text};
                return true;
            }
        }
        for (double s = designed; s >= floorSize - kEps; s -= 0.5) {
            const double at = std::max(s, floorSize);
            const QStringList wrapped = wrapText(text, face, at, e.width);
            const double h = face.lineHeight(at);
            if (wrapped.size() * h <= std::max(e.height, h) + kEps) {
                *size = at;
                *lines = wrapped;
                return true;
            }
            if (at == floorSize) break;
        }
        *size = floorSize;
        const double h = face.lineHeight(floorSize);
        QStringList wrapped = wrapText(text, face, floorSize, e.width);
        const int room = std::max(1, int(std::floor((std::max(e.height, h) + kEps) / h)));
        const QChar ellipsis(0x2026);
        if (wrapped.size() > room) {
            wrapped = wrapped.mid(0, room);
            wrapped.last() += ellipsis;
        }
        QString& last = wrapped.last();
        while (last.size() > 1 && face.textWidth(last, floorSize) > e.width + kEps) {
            last.chop(2);
            last += ellipsis;
        }
        *lines = wrapped;
        return true;
    }

private:
    Shared& m_sh;
    const ReportTemplate& m_t;
    const Binding& m_b;
    std::vector<int> m_rows;
    bool m_paged;
    State m_st;
    std::vector<Checkpoint> m_checkpoints;
    std::vector<bool> m_groupInColumn;
    std::vector<int> m_details, m_pageHeaders, m_pageFooters;
    double m_reservedColumnFooter = 0;
    double m_nominalDetail = 0;
    double m_pageFooterHeight = 0;
    int m_forcedRow = -1, m_forcedLevel = -1;
    bool m_empty = false;
    BandInstance m_collect;
    size_t m_lastPageItems = 0;
    std::vector<const BandDef*> m_detailBands;
    std::vector<BandInstance> m_detailInstances;
    std::vector<Placed> m_placed;
};

// Values of a field whose page numbers are known only at the end.
class DeferredContext : public EvalContext {
public:
    DeferredContext(const Shared& sh, const Deferred& d, const PageNumbering& numbering)
        : m_sh(sh), m_d(d), m_numbering(numbering) {}
    Value field(int slot) const override { return m_d.binding->value(m_d.row, slot); }
    Value parameter(int slot) const override { return (*m_sh.parameters)[slot]; }
    Value special(Special s) const override
    {
        switch (s) {
        case Special::PageNumber: return Value(std::int64_t(m_numbering.number));
        case Special::PageCount:
            if (m_numbering.count < 0) return Value(QString(QChar(0x2026)));
            return Value(std::int64_t(m_numbering.count));
        case Special::RecordNumber: return Value(m_d.record);
        case Special::PrintDate: return Value(m_sh.printDate);
        }
        return Value();
    }
    Value aggregate(int slot) const override
    {
        return slot < int(m_d.aggregates.size()) ? m_d.aggregates[slot] : Value();
    }

private:
    const Shared& m_sh;
    const Deferred& m_d;
    const PageNumbering& m_numbering;
};

// Page numbers of the first `pages` pages: each run counts its own pages; a
// run that may go on past them has no count yet (-1).
std::vector<PageNumbering> numberPages(const Shared& sh, int pages, bool complete)
{
    std::vector<PageNumbering> numbering(pages);
    for (int p = 0; p < pages;) {
        int q = p;
        while (q < pages && sh.pageRun[q] == sh.pageRun[p]) ++q;
        const int count = q < pages || complete ? q - p : -1;
        for (int i = p; i < q; ++i) numbering[i] = {i - p + 1, count};
        p = q;
    }
    return numbering;
}

// What a page-number field shows: none, or its first line.
std::vector<Primitive> deferredItems(const Shared& sh, const Deferred& d, const PageNumbering& numbering)
{
    DeferredContext ctx(sh, d, numbering);
    const ElementDef& e = *d.element;
    std::vector<Primitive> out;
    if (!e.visible.isValid() || e.visible.evaluate(ctx).toBool()) {
        const Value v = e.expr.evaluate(ctx);
        const QString text = v.isNull() ? e.nullText : e.format.apply(v);
        Flow::layoutTextElement(e, text, d.x - e.x, d.y - e.y, out);
    }
    if (out.size() > 1) out.resize(1);
    return out;
}

// Hands the settled pages up to `upto` to the sink, tidied as finishPages
// tidies them (the fields' placeholders kept in their place), and lets their
// items go.
void flushPages(Shared& sh, int upto)
{
    std::vector<std::pair<int, int>> placeholders;
    std::vector<Primitive> items;
    for (; sh.flushed < upto; ++sh.flushed) {
        Page& page = sh.doc.pages[sh.flushed];
        std::vector<int> slotOf(page.items.size(), -1);
        for (; sh.flushedDeferred < sh.deferred.size() && sh.deferred[sh.flushedDeferred].page <= sh.flushed;
             ++sh.flushedDeferred)
            if (sh.deferred[sh.flushedDeferred].page == sh.flushed)
                slotOf[size_t(sh.deferred[sh.flushedDeferred].item)] = int(sh.flushedDeferred);
        placeholders.clear();
        items.clear();
        for (const bool background : {true, false}) {
            for (size_t i = 0; i < page.items.size(); ++i) {
                Primitive& p = page.items[i];
                const int slot = slotOf[i];
                const bool inBackground = slot >= 0 ? sh.deferred[slot].element->background : p.background;
                if (inBackground != background) continue;
                if (slot >= 0) placeholders.emplace_back(int(items.size()), slot);
                else if (p.kind == Primitive::Text && p.text.isEmpty()) continue;
                items.push_back(std::move(p));
            }
        }
        std::swap(page.items, items);
        sh.sink->page(page, placeholders);
        std::vector<Primitive>().swap(page.items);
    }
}

// Fills the page-number fields of pages [0, pages.size()) and tidies them:
// placeholders left empty are dropped, background items are drawn first.
void finishPages(const Shared& sh, std::vector<Page>& pages, const std::vector<PageNumbering>& numbering)
{
    const int n = int(pages.size());
    for (const Deferred& d : sh.deferred) {
        if (d.page >= n) continue;
        const std::vector<Primitive> out = deferredItems(sh, d, numbering[d.page]);
        Primitive& slot = pages[d.page].items[d.item];
        if (out.empty()) slot.text.clear();
        else slot = out.front();
    }
    const auto empty = [](const Primitive& p) { return p.kind == Primitive::Text && p.text.isEmpty(); };
    const auto background = [](const Primitive& p) { return p.background; };
    for (Page& page : pages) {
        auto& items = page.items;
        // Most pages have nothing to drop and no background: they are left as they are.
        items.erase(std::remove_if(items.begin(), items.end(), empty), items.end());
        if (!std::is_partitioned(items.begin(), items.end(), background))
            std::stable_partition(items.begin(), items.end(), background);
    }
}

}  // namespace

QStringList wrapText(const QString& text, const FontFace& face, double size, double width)
{
    QStringList out;
    for (const QString& para : text.split(QLatin1Char('\n'))) {
        const QStringList words = para.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty()) { out << QString(); continue; }
        QString line;
        for (QString word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (face.textWidth(candidate, size) <= width + kEps) { line = candidate; continue; }
            if (!line.isEmpty()) { out << line; line.clear(); }
            // A word wider than the box breaks between characters.
            while (face.textWidth(word, size) > width + kEps && word.size() > 1) {
                int n = 1;
                while (n < word.size() && face.textWidth(word.left(n + 1), size) <= width + kEps) ++n;
                out << word.left(n);
                word = word.mid(n);
            }
            line = word;
        }
        out << line;
    }
    while (out.size() > 1 && out.back().isEmpty()) out.removeLast();
    return out;
}

Document layoutReport(const RenderInput& input, const LayoutObserver& observer, PageSink* sink)
{
    const ReportTemplate& t = *input.report;
    Shared sh;
    if (observer) sh.observer = &observer;
    sh.sink = sink;
    sh.parameters = &input.parameters;
    sh.printDate = input.printDate.isValid() ? input.printDate : QDate::currentDate();
    sh.doc.title = t.title;
    sh.root = bindTemplate(t, input.data);
    for (size_t s = 0; s < t.subreports.size(); ++s) {
        RecordsetPtr rs = s < input.subreportData.size() ? input.subreportData[s] : RecordsetPtr();
        if (!rs && t.subreports[s].mainData) rs = input.data;
        sh.subBindings.push_back(bindTemplate(*t.subreports[s].report, rs));
    }
    sh.subIndex.resize(t.subreports.size());
    sh.subIndexed.assign(t.subreports.size(), false);

    std::vector<int> rows;
    if (input.data) {
        rows.resize(input.data->recordCount());
        for (int i = 0; i < int(rows.size()); ++i) rows[i] = i;
        sortRows(t, sh.root, rows);
    }
    {
        Flow flow(sh, t, sh.root, std::move(rows), true);
        flow.run();
    }

    if (observer && !LayoutDriver::tell(sh, sh.doc.pageCount())) throw LayoutCancelled();
    const std::vector<PageNumbering> numbering = numberPages(sh, sh.doc.pageCount(), true);
    if (sink) {
        flushPages(sh, sh.doc.pageCount());
        for (size_t k = 0; k < sh.deferred.size(); ++k)
            sink->fill(int(k), deferredItems(sh, sh.deferred[k], numbering[sh.deferred[k].page]));
    } else {
        finishPages(sh, sh.doc.pages, numbering);
    }
    return std::move(sh.doc);
}

int LayoutSnapshot::pagesLaidOut() const { return m_sh.doc.pageCount(); }

int LayoutSnapshot::settledPages() const { return m_settled; }

Document LayoutSnapshot::settledDocument() const
{
    Document doc;
    doc.title = m_sh.doc.title;
    doc.pages.assign(m_sh.doc.pages.begin(), m_sh.doc.pages.begin() + m_settled);
    finishPages(m_sh, doc.pages, numberPages(m_sh, m_settled, m_settled == m_sh.doc.pageCount()));
    return doc;
}

void LayoutSnapshot::fillSettledFields(PageSink& sink) const
{
    const std::vector<PageNumbering> numbering = numberPages(m_sh, m_sh.flushed, m_sh.flushed == m_sh.doc.pageCount());
    for (size_t k = 0; k < m_sh.flushedDeferred; ++k)
        sink.fill(int(k), deferredItems(m_sh, m_sh.deferred[k], numbering[size_t(m_sh.deferred[k].page)]));
}

}  // namespace quillon::reports
