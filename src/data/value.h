#pragma once
// Typed values as the database layer hands them out: one value of a field of a
// row, which may be Null. Money is exact (Currency), dates are dates.

#include <QDate>
#include <QDateTime>
#include <QSharedData>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <variant>

namespace quillon {

// Exact money: a signed count of ten-thousandths, as the server's money type
// keeps it. Never goes through binary floating point when parsed from text.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t tenThousandths) { Currency c; c.m_raw = tenThousandths; return c; }
    // The conversions and the arithmetic below keep to the money type's range
    // (about +/-922,337,203,685,477): a value beyond it throws DbError
    // MoneyOverflow ("Arithmetic overflow ...") instead of wrapping around.
    static Currency fromDouble(double d);          // rounded to the nearest ten-thousandth
    static Currency fromInt(std::int64_t units);
    // Parses "1234.5", "-0.01", "1,000,000.01", "$12.00"; ok=false on anything else.
    static Currency fromString(const QString& text, bool* ok = nullptr);
    // Whether a number fits the money type.
    static bool fits(double d);

    constexpr std::int64_t raw() const { return m_raw; }
    double toDouble() const { return double(m_raw) / Scale; }
    // Plain decimal text with as many decimals as needed (at most four): "970", "12.5".
    QString toString() const;
    // Fixed decimals, optional thousands separators: toFixed(2, true) -> "1,000,000.01".
    QString toFixed(int decimals, bool thousands = false) const;

    friend Currency operator+(Currency a, Currency b) { return fromRaw(checkedAdd(a.m_raw, b.m_raw)); }
    friend Currency operator-(Currency a, Currency b) { return fromRaw(checkedSub(a.m_raw, b.m_raw)); }
    friend Currency operator-(Currency a) { return fromRaw(checkedSub(0, a.m_raw)); }
    Currency& operator+=(Currency o) { m_raw = checkedAdd(m_raw, o.m_raw); return *this; }
    Currency& operator-=(Currency o) { m_raw = checkedSub(m_raw, o.m_raw); return *this; }
    friend constexpr bool operator==(Currency a, Currency b) { return a.m_raw == b.m_raw; }
    friend constexpr bool operator!=(Currency a, Currency b) { return a.m_raw != b.m_raw; }
    friend constexpr bool operator<(Currency a, Currency b) { return a.m_raw < b.m_raw; }
    friend constexpr bool operator>(Currency a, Currency b) { return a.m_raw > b.m_raw; }
    friend constexpr bool operator<=(Currency a, Currency b) { return a.m_raw <= b.m_raw; }
    friend constexpr bool operator>=(Currency a, Currency b) { return a.m_raw >= b.m_raw; }

private:
    static std::int64_t checkedAdd(std::int64_t a, std::int64_t b);
    static std::int64_t checkedSub(std::int64_t a, std::int64_t b);
    std::int64_t m_raw = 0;
};

// The text of a value, shared by every copy of the value. A record set holds
// tens of millions of values; keeping a text behind one pointer keeps each
// value at 16 bytes instead of the 32 a text held in place would make them all.
class SharedText {
public:
    SharedText() = default;
    explicit SharedText(QString s) : m_d(new Data{std::move(s)}) {}
    const QString& str() const { return m_d ? m_d->text : empty(); }
    friend bool operator==(const SharedText& a, const SharedText& b) { return a.m_d == b.m_d || a.str() == b.str(); }

private:
    struct Data : QSharedData {
        explicit Data(QString s) : text(std::move(s)) {}
        QString text;
    };
    static const QString& empty();
    QExplicitlySharedDataPointer<Data> m_d;
};

// One field value. Times of day are date-times (their date part is ignored).
class Value {
public:
    enum class Type { Null, Bool, Int, Double, Currency, Text, Date, DateTime };

    Value() = default;
    Value(bool b) : m_v(b) {}
    Value(int i) : m_v(std::int64_t(i)) {}
    Value(std::int64_t i) : m_v(i) {}
    Value(long long i) : m_v(std::int64_t(i)) {}
    Value(double d) : m_v(d) {}
    Value(Currency c) : m_v(c) {}
    Value(const QString& s) : m_v(SharedText(s)) {}
    Value(QString&& s) : m_v(SharedText(std::move(s))) {}
    Value(const char* s) : m_v(SharedText(QString::fromUtf8(s))) {}
    Value(const QDate& d) : m_v(d) {}
    // Date-times are kept as wall-clock values without a time zone (held as
    // UTC, so that no daylight-saving gap or offset can move them).
    Value(const QDateTime& dt) : m_v(wallClock(dt)) {}

    Type type() const { return Type(m_v.index()); }
    bool isNull() const { return m_v.index() == 0; }
    // Null, or a text of length 0: what the program calls "empty".
    bool isEmpty() const;

    // Conversions follow the usual rules of a typed variant: numbers convert
    // between each other, texts are parsed, Null gives 0 / "" / invalid date.
    bool toBool() const;
    std::int64_t toInt() const;
    double toDouble() const;
    Currency toCurrency() const;
    QDate toDate() const;
    QDateTime toDateTime() const;
    // A date-time as a wall-clock value: same date and time, marked as UTC.
    static QDateTime wallClock(const QDateTime& dt);
    static QDateTime wallClock(const QDate& d, const QTime& t) { return QDateTime(d, t, Qt::UTC); }

    // Default text form: dates as M/d/yyyy, date-times as M/d/yyyy h:mm:ss AP,
    // booleans as True/False, numbers in their shortest decimal form.
    QString toString() const;

    QVariant toVariant() const;
    static Value fromVariant(const QVariant& v);

    // Typed equality: same type and same value (Null equals Null).
    friend bool operator==(const Value& a, const Value& b) { return a.m_v == b.m_v; }
    friend bool operator!=(const Value& a, const Value& b) { return !(a == b); }

    // Orders values for sorting: Null first, numbers numerically, texts
    // case-insensitively, dates chronologically. Mixed kinds compare as text.
    static int compare(const Value& a, const Value& b);

private:
    std::variant<std::monostate, bool, std::int64_t, double, Currency, SharedText, QDate, QDateTime> m_v;
};

static_assert(sizeof(Value) <= 16, "a value stays at 16 bytes: record sets hold millions of them");

}  // namespace quillon
