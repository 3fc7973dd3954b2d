#include "data/value.h"

#include "data/dberror.h"
#include "data/isodate.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace quillon {

namespace {

[[noreturn]] void moneyOverflow(const QString& value)
{
    throw DbError(ErrorNumber::MoneyOverflow,
                  QStringLiteral("Arithmetic overflow error converting %1 to data type money.").arg(value));
}

}  // namespace

bool Currency::fits(double d)
{
    // The raw count must stay inside a signed 64-bit integer; 2^63 itself
    // is the first value that does not.
    const double raw = d * Scale;
    return std::isfinite(raw) && raw < 9223372036854775808.0 && raw >= -9223372036854775808.0;
}

Currency Currency::fromDouble(double d)
{
    if (!fits(d)) moneyOverflow(QString::number(d, 'g', 17));
    return fromRaw(std::int64_t(std::llround(d * Scale)));
}

Currency Currency::fromInt(std::int64_t units)
{
    std::int64_t raw = 0;
    if (__builtin_mul_overflow(units, Scale, &raw)) moneyOverflow(QString::number(units));
    return fromRaw(raw);
}

std::int64_t Currency::checkedAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(a, b, &r)) moneyOverflow(QStringLiteral("expression"));
    return r;
}

std::int64_t Currency::checkedSub(std::int64_t a, std::int64_t b)
{
    std::int64_t r = 0;
    if (__builtin_sub_overflow(a, b, &r)) moneyOverflow(QStringLiteral("expression"));
    return r;
}

Currency Currency::fromString(const QString& text, bool* ok)
{
    QString s = text.trimmed();
    s.remove(QLatin1Char(',')).remove(QLatin1Char('$'));
    bool negative = false;
    if (s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) {
        negative = true;
        s = s.mid(1, s.size() - 2);
    }
    if (s.startsWith(QLatin1Char('-'))) { negative = !negative; s = s.mid(1); }
    else if (s.startsWith(QLatin1Char('+'))) s = s.mid(1);

    const int dot = s.indexOf(QLatin1Char('.'));
    const QString whole = dot < 0 ? s : s.left(dot);
    QString frac = dot < 0 ? QString() : s.mid(dot + 1);
    auto allDigits = [](const QString& t) {
        for (QChar c : t) if (!c.isDigit()) return false;
        return true;
    };
    if ((whole.isEmpty() && frac.isEmpty()) || !allDigits(whole) || !allDigits(frac) || whole.size() > 14) {
        if (ok) *ok = false;
        return {};
    }
    // Round half away from zero on the fifth decimal.
    std::int64_t fracRaw = 0;
    int roundUp = 0;
    for (int i = 0; i < frac.size(); ++i) {
        const int digit = frac.at(i).digitValue();
        if (i < 4) fracRaw = fracRaw * 10 + digit;
        else if (i == 4) roundUp = digit >= 5 ? 1 : 0;
    }
    for (int i = frac.size(); i < 4; ++i) fracRaw *= 10;
    std::int64_t raw = (whole.isEmpty() ? 0 : whole.toLongLong()) * Scale + fracRaw + roundUp;
    if (ok) *ok = true;
    return fromRaw(negative ? -raw : raw);
}

QString Currency::toFixed(int decimals, bool thousands) const
{
    decimals = std::clamp(decimals, 0, 4);
    std::int64_t div = 1;
    for (int i = decimals; i < 4; ++i) div *= 10;
    std::int64_t v = m_raw < 0 ? -m_raw : m_raw;
    v = (v + div / 2) / div;  // half away from zero
    std::int64_t unit = 1;
    for (int i = 0; i < decimals; ++i) unit *= 10;
    QString whole = QString::number(v / unit);
    if (thousands) {
        for (int i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, QLatin1Char(','));
    }
    QString out = (m_raw < 0 && v != 0 ? QStringLiteral("-") : QString()) + whole;
    if (decimals > 0)
        out += QLatin1Char('.') + QString::number(v % unit).rightJustified(decimals, QLatin1Char('0'));
    return out;
}

QString Currency::toString() const
{
    QString s = toFixed(4);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
    return s;
}

const QString& SharedText::empty()
{
    static const QString none;
    return none;
}

QDateTime Value::wallClock(const QDateTime& dt)
{
    if (!dt.isValid() || dt.timeSpec() == Qt::UTC) return dt;
    return QDateTime(dt.date(), dt.time(), Qt::UTC);
}

bool Value::isEmpty() const
{
    if (isNull()) return true;
    if (auto s = std::get_if<SharedText>(&m_v)) return s->str().isEmpty();
    return false;
}

bool Value::toBool() const
{
    switch (type()) {
    case Type::Null: return false;
    case Type::Bool: return std::get<bool>(m_v);
    case Type::Int: return std::get<std::int64_t>(m_v) != 0;
    case Type::Double: return std::get<double>(m_v) != 0.0;
    case Type::Currency: return std::get<Currency>(m_v).raw() != 0;
    case Type::Text: {
        const QString s = std::get<SharedText>(m_v).str().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
        bool ok = false;
        const double d = s.toDouble(&ok);
        return ok && d != 0.0;
    }
    case Type::Date: case Type::DateTime: return true;
    }
    return false;
}

std::int64_t Value::toInt() const
{
    switch (type()) {
    case Type::Null: return 0;
    case Type::Bool: return std::get<bool>(m_v) ? -1 : 0;
    case Type::Int: return std::get<std::int64_t>(m_v);
    case Type::Double: return std::int64_t(std::nearbyint(std::get<double>(m_v)));
    case Type::Currency: {
        const std::int64_t r = std::get<Currency>(m_v).raw();
        return std::int64_t(std::nearbyint(double(r) / Currency::Scale));
    }
    case Type::Text: {
        bool ok = false;
        const QString s = std::get<SharedText>(m_v).str().trimmed();
        const qlonglong i = s.toLongLong(&ok);
        if (ok) return i;
        const double d = s.toDouble(&ok);
        return ok ? std::int64_t(std::nearbyint(d)) : 0;
    }
    case Type::Date: case Type::DateTime: return 0;
    }
    return 0;
}

double Value::toDouble() const
{
    switch (type()) {
    case Type::Int: return double(std::get<std::int64_t>(m_v));
    case Type::Double: return std::get<double>(m_v);
    case Type::Currency: return std::get<Currency>(m_v).toDouble();
    case Type::Bool: return std::get<bool>(m_v) ? -1.0 : 0.0;
    case Type::Text: return std::get<SharedText>(m_v).str().trimmed().toDouble();
    default: return 0.0;
    }
}

Currency Value::toCurrency() const
{
    switch (type()) {
    case Type::Currency: return std::get<Currency>(m_v);
    case Type::Int: return Currency::fromInt(std::get<std::int64_t>(m_v));
    case Type::Double: return Currency::fromDouble(std::get<double>(m_v));
    case Type::Text: return Currency::fromString(std::get<SharedText>(m_v).str());
    default: return Currency();
    }
}

// The stored spellings first, read from their characters; then the other
// spellings people type, through the general parser.
static bool isoDateTimeText(const QString& s, QDateTime& dt)
{
    constexpr int longest = 26;   // 'YYYY-MM-DD HH:MM:SS.ffffff'
    const int n = int(s.size());
    if (n < 5 || n > longest) return false;
    char chars[longest];
    for (int i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c > 0x7f) return false;
        chars[i] = char(c);
    }
    return parseIsoDateTime(chars, n, dt);
}

static QDateTime parseDateTimeText(const QString& text)
{
    const QString s = text.trimmed();
    if (QDateTime iso; isoDateTimeText(s, iso)) return iso;
    static const char* const formats[] = {
        "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm",
        "yyyy-MM-dd", "M/d/yyyy h:mm:ss AP", "M/d/yyyy h:mm AP", "M/d/yyyy H:mm:ss", "M/d/yyyy H:mm",
        "M/d/yyyy", "h:mm:ss AP", "h:mm AP", "H:mm:ss", "H:mm"};
    for (const char* f : formats) {
        const QString fmt = QString::fromLatin1(f);
        if (!fmt.contains(QLatin1Char('y'))) {
            const QTime t = QTime::fromString(s, fmt);
            if (t.isValid()) return Value::wallClock(QDate(1899, 12, 30), t);
            continue;
        }
        if (!fmt.contains(QLatin1Char('h')) && !fmt.contains(QLatin1Char('H'))) {
            const QDate d = QDate::fromString(s, fmt);
            if (d.isValid()) return Value::wallClock(d, QTime(0, 0));
            continue;
        }
        // Date and time are read apart: read together they would be a time
        // of the machine's zone, and the hour a daylight-saving change skips
        // would not exist.
        const qsizetype fmtSpace = fmt.indexOf(QLatin1Char(' '));
        const qsizetype space = s.indexOf(QLatin1Char(' '));
        if (fmtSpace > 0 && space > 0) {
            const QDate d = QDate::fromString(s.left(space), fmt.left(fmtSpace));
            const QTime t = d.isValid() ? QTime::fromString(s.mid(space + 1), fmt.mid(fmtSpace + 1)) : QTime();
            if (t.isValid()) return Value::wallClock(d, t);
            continue;
        }
        const QDateTime dt = QDateTime::fromString(s, fmt);
        if (dt.isValid()) return Value::wallClock(dt);
    }
    return {};
}

QDate Value::toDate() const
{
    switch (type()) {
    case Type::Date: return std::get<QDate>(m_v);
    case Type::DateTime: return std::get<QDateTime>(m_v).date();
    case Type::Text: return parseDateTimeText(std::get<SharedText>(m_v).str()).date();
    default: return {};
    }
}

QDateTime Value::toDateTime() const
{
    switch (type()) {
    case Type::Date: return wallClock(std::get<QDate>(m_v), QTime(0, 0));
    case Type::DateTime: return std::get<QDateTime>(m_v);
    case Type::Text: return parseDateTimeText(std::get<SharedText>(m_v).str());
    default: return {};
    }
}

static QString shortestDouble(double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qlonglong(d));
    return QString::number(d, 'g', 15);
}

QString Value::toString() const
{
    switch (type()) {
    case Type::Null: return QString();
    case Type::Bool: return std::get<bool>(m_v) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Int: return QString::number(std::get<std::int64_t>(m_v));
    case Type::Double: return shortestDouble(std::get<double>(m_v));
    case Type::Currency: return std::get<Currency>(m_v).toString();
    case Type::Text: return std::get<SharedText>(m_v).str();
    case Type::Date: return std::get<QDate>(m_v).toString(QStringLiteral("M/d/yyyy"));
    case Type::DateTime: {
        const QDateTime& dt = std::get<QDateTime>(m_v);
        const QString time = QLocale::c().toString(dt.time(), QStringLiteral("h:mm:ss AP"));
        if (dt.date() == QDate(1899, 12, 30)) return time;  // a time of day alone
        if (dt.time() == QTime(0, 0)) return dt.date().toString(QStringLiteral("M/d/yyyy"));
        return dt.date().toString(QStringLiteral("M/d/yyyy")) + QLatin1Char(' ') + time;
    }
    }
    return QString();
}

QVariant Value::toVariant() const
{
    switch (type()) {
    case Type::Null: return QVariant();
    case Type::Bool: return std::get<bool>(m_v);
    case Type::Int: return qlonglong(std::get<std::int64_t>(m_v));
    case Type::Double: return std::get<double>(m_v);
    case Type::Currency: return std::get<Currency>(m_v).toDouble();
    case Type::Text: return std::get<SharedText>(m_v).str();
    case Type::Date: return std::get<QDate>(m_v);
    case Type::DateTime: return std::get<QDateTime>(m_v);
    }
    return QVariant();
}

Value Value::fromVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return Value();
    switch (v.typeId()) {
    case QMetaType::Bool: return Value(v.toBool());
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return Value(std::int64_t(v.toLongLong()));
    case QMetaType::Double: case QMetaType::Float: return Value(v.toDouble());
    case QMetaType::QDate: return Value(v.toDate());
    case QMetaType::QDateTime: return Value(v.toDateTime());
    case QMetaType::QTime: return Value(wallClock(QDate(1899, 12, 30), v.toTime()));
    default: return Value(v.toString());
    }
}

int Value::compare(const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull()) return int(!a.isNull()) - int(!b.isNull());
    auto numeric = [](Type t) { return t == Type::Bool || t == Type::Int || t == Type::Double || t == Type::Currency; };
    auto dated = [](Type t) { return t == Type::Date || t == Type::DateTime; };
    const Type ta = a.type(), tb = b.type();
    if (ta == Type::Currency && tb == Type::Currency) {
        const auto x = a.toCurrency(), y = b.toCurrency();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (ta == Type::Int && tb == Type::Int) {
        const auto x = a.toInt(), y = b.toInt();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (numeric(ta) && numeric(tb)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (dated(ta) && dated(tb)) {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

}  // namespace quillon
