#include "reports/engine/format.h"

#include <QLocale>

#include <cmath>

namespace quillon::reports {

namespace {

QString expandNamed(const QString& format)
{
    const QString f = format.trimmed().toLower();
    if (f == QLatin1String("currency")) return QStringLiteral("$#,##0.00;-$#,##0.00");
    if (f == QLatin1String("number") || f == QLatin1String("standard")) return QStringLiteral("#,##0.00");
    if (f == QLatin1String("integer")) return QStringLiteral("#,##0");
    if (f == QLatin1String("percent")) return QStringLiteral("0.00%");
    if (f == QLatin1String("shortdate")) return QStringLiteral("M/d/yyyy");
    if (f == QLatin1String("longdate")) return QStringLiteral("MMMM d, yyyy");
    if (f == QLatin1String("time")) return QStringLiteral("h:mm AP");
    if (f == QLatin1String("time24")) return QStringLiteral("HH:mm");
    return format;
}

bool isNumberChar(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char(',') || c == QLatin1Char('.');
}


NumberSection parseSection(const QString& s)
{
    NumberSection sec;
    qsizetype i = 0;
    while (i < s.size() && !isNumberChar(s.at(i))) ++i;
    sec.prefix = s.left(i);
    const qsizetype start = i;
    while (i < s.size() && isNumberChar(s.at(i))) ++i;
    const QString core = s.mid(start, i - start);
    sec.suffix = s.mid(i);
    if (!core.contains(QLatin1Char('0')) && !core.contains(QLatin1Char('#'))) return sec;
    sec.valid = true;
    const qsizetype dot = core.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? core : core.left(dot);
    const QString decPart = dot < 0 ? QString() : core.mid(dot + 1);
    sec.grouping = intPart.contains(QLatin1Char(','));
    sec.minInt = int(intPart.count(QLatin1Char('0')));
    sec.minDec = int(decPart.count(QLatin1Char('0')));
    sec.maxDec = sec.minDec + int(decPart.count(QLatin1Char('#')));
    sec.percent = sec.suffix.contains(QLatin1Char('%')) || sec.prefix.contains(QLatin1Char('%'));
    return sec;
}

// Digits of |value| rounded to `decimals`, as whole and fractional digit texts.
void roundedDigits(const Value& v, int decimals, bool percent, QString* whole, QString* frac)
{
    if (v.type() == Value::Type::Currency && !percent && decimals <= 4) {
        std::int64_t raw = v.toCurrency().raw();
        if (raw < 0) raw = -raw;
        std::int64_t div = 1;
        for (int i = decimals; i < 4; ++i) div *= 10;
        std::int64_t scaled = (raw + div / 2) / div;
        std::int64_t unit = 1;
        for (int i = 0; i < decimals; ++i) unit *= 10;
        *whole = QString::number(scaled / unit);
        *frac = decimals > 0 ? QString::number(scaled % unit).rightJustified(decimals, QLatin1Char('0')) : QString();
        return;
    }
    if (v.type() == Value::Type::Int && !percent) {
        const std::int64_t i = v.toInt();
        *whole = QString::number(i < 0 ? -(unsigned long long)i : (unsigned long long)i);
        *frac = QString(decimals, QLatin1Char('0'));
        return;
    }
    static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    double d = std::fabs(v.toDouble());
    if (percent) d *= 100.0;
    const double p = decimals >= 0 && decimals <= 12 ? kPowers[decimals] : std::pow(10.0, decimals);
    if (d * p < 9e15) {
        // Nudged by one part in 10^12 so that 2.675 shows as 2.68, as people expect.
        const double scaled = std::floor(d * p * (1 + 1e-12) + 0.5);
        const auto n = static_cast<unsigned long long>(scaled);
        const auto unit = static_cast<unsigned long long>(p);
        *whole = QString::number(n / unit);
        *frac = decimals > 0 ? QString::number(n % unit).rightJustified(decimals, QLatin1Char('0')) : QString();
        return;
    }
    const QString s = QString::number(d, 'f', decimals);
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    *whole = dot < 0 ? s : s.left(dot);
    *frac = dot < 0 ? QString() : s.mid(dot + 1);
}

QString formatWithSection(const Value& v, const NumberSection& sec, bool withMinus)
{
    QString whole, frac;
    roundedDigits(v, sec.maxDec, sec.percent, &whole, &frac);
    while (frac.size() > sec.minDec && frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    if (whole == QLatin1String("0") && sec.minInt == 0) whole.clear();
    if (whole.size() < sec.minInt) whole = whole.rightJustified(sec.minInt, QLatin1Char('0'));
    if (sec.grouping)
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, QLatin1Char(','));
    QString body = whole;
    if (!frac.isEmpty()) body += QLatin1Char('.') + frac;
    if (body.isEmpty()) body = QStringLiteral("0");
    // No minus sign for a value that rounds to zero.
    bool allZero = true;
    for (QChar c : body) if (c.isDigit() && c != QLatin1Char('0')) { allZero = false; break; }
    return (withMinus && !allZero ? QStringLiteral("-") : QString()) + sec.prefix + body + sec.suffix;
}

}  // namespace

DisplayFormat::DisplayFormat(const QString& format) : m_pattern(expandNamed(format))
{
    const QStringList parts = m_pattern.split(QLatin1Char(';'));
    m_pos = parseSection(parts.value(0));
    // Date patterns never use '0' or '#'; number patterns always do.
    m_number = !m_pattern.isEmpty() && m_pos.valid;
    if (!m_number) {
        if (!m_pattern.isEmpty()) readDatePattern();
        return;
    }
    if (parts.size() >= 2) {
        m_neg = parseSection(parts.at(1));
        m_hasNeg = m_neg.valid;
    }
    if (parts.size() >= 3 && !parts.at(2).isEmpty()) {
        m_hasZero = true;
        m_zero = parseSection(parts.at(2));
        if (!m_zero.valid) m_zeroText = parts.at(2);
    }
}

// The letters of day, month, year, hour, minute and second fields, each
// repeated up to its longest form ("yy" and "yyyy" only); quoted literal text;
// other characters as they are. A pattern with anything else (AM/PM, time
// zones, milliseconds, a quote inside quotes, other letters) keeps m_dateParts
// unread and goes to QLocale, whose pattern language this follows.
void DisplayFormat::readDatePattern()
{
    const QString& f = m_pattern;
    std::vector<DatePart> parts;
    bool time = false;
    const auto literal = [&parts](const QString& t) {
        if (t.isEmpty()) return;
        if (parts.empty() || parts.back().field != 0) parts.push_back(DatePart());
        parts.back().text += t;
    };
    if (f.contains(QLatin1String("''"))) return;
    qsizetype i = 0;
    while (i < f.size()) {
        const QChar c = f.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype close = f.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0) return;
            literal(f.mid(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        if (!c.isLetter()) {
            literal(QString(c));
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < f.size() && f.at(i + run) == c) ++run;
        const char letter = char(c.unicode() < 128 ? c.unicode() : 0);
        switch (letter) {
        case 'd': case 'M':
            if (run > 4) return;
            break;
        case 'y':
            if (run != 2 && run != 4) return;
            break;
        case 'h': case 'H': case 'm': case 's':
            if (run > 2) return;
            time = true;
            break;
        default:
            return;
        }
        DatePart p;
        p.field = letter;
        p.width = int(run);
        parts.push_back(p);
        i += run;
    }
    // Qt reads a 12-hour clock into 'h' when an AM/PM mark appears anywhere.
    if (f.contains(QLatin1Char('h')) && f.contains(QLatin1Char('a'), Qt::CaseInsensitive)) return;
    m_dateParts = std::move(parts);
    m_timeFields = time;
    m_datePartsRead = true;
}

QString DisplayFormat::formatDate(const QDate& date, const QTime& time) const
{
    static const char* const kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    QString out;
    out.reserve(m_pattern.size() + 16);
    const auto number = [&out](int n, int width) {
        if (width == 2 && n < 10) out += QLatin1Char('0');
        out += QString::number(n);
    };
    for (const DatePart& p : m_dateParts) {
        switch (p.field) {
        case 0: out += p.text; break;
        case 'd':
            if (p.width <= 2) number(day, p.width);
            else {
                const QLatin1StringView name(kDays[date.dayOfWeek() - 1]);
                out += p.width == 3 ? name.left(3) : name;
            }
            break;
        case 'M':
            if (p.width <= 2) number(month, p.width);
            else {
                const QLatin1StringView name(kMonths[month - 1]);
                out += p.width == 3 ? name.left(3) : name;
            }
            break;
        case 'y':
            if (p.width == 2) number(year % 100, 2);
            else out += QString::number(year);
            break;
        case 'h': case 'H': number(time.hour(), p.width); break;
        case 'm': number(time.minute(), p.width); break;
        case 's': number(time.second(), p.width); break;
        }
    }
    return out;
}

QString DisplayFormat::formatNumber(const Value& v) const
{
    if (m_hasZero) {
        QString w, f;
        roundedDigits(v, m_pos.maxDec, m_pos.percent, &w, &f);
        bool zero = true;
        for (QChar c : w + f) if (c != QLatin1Char('0')) { zero = false; break; }
        if (zero) return m_zero.valid ? formatWithSection(v, m_zero, false) : m_zeroText;
    }
    const bool negative = v.type() == Value::Type::Currency ? v.toCurrency().raw() < 0 : v.toDouble() < 0;
    if (negative && m_hasNeg) return formatWithSection(v, m_neg, false);
    return formatWithSection(v, m_pos, negative);
}

QString DisplayFormat::apply(const Value& value) const
{
    if (value.isNull()) return QString();
    if (m_pattern.isEmpty()) return value.toString();
    switch (value.type()) {
    case Value::Type::Int:
    case Value::Type::Double:
    case Value::Type::Currency:
        return m_number ? formatNumber(value) : value.toString();
    case Value::Type::Date: {
        if (m_number) return value.toString();
        // A date shown with hours or minutes is at midnight, not "HHmm" as written.
        const QDate d = value.toDate();
        if (m_datePartsRead && d.year() >= 1000 && d.year() <= 9999) return formatDate(d, QTime(0, 0));
        return QLocale::c().toString(value.toDateTime(), m_pattern);
    }
    case Value::Type::DateTime: {
        if (m_number) return value.toString();
        const QDateTime dt = value.toDateTime();
        if (m_datePartsRead && dt.isValid() && dt.date().year() >= 1000 && dt.date().year() <= 9999)
            return formatDate(dt.date(), dt.time());
        return QLocale::c().toString(dt, m_pattern);
    }
    case Value::Type::Text: {
        // A number kept as text still takes a number pattern.
        if (m_number) {
            bool ok = false;
            const QString t = value.toString().trimmed();
            const Currency c = Currency::fromString(t, &ok);
            if (ok && !t.isEmpty()) return formatNumber(Value(c));
            return value.toString();
        }
        // A date or time kept as text (as some databases hand them out) still
        // takes a date pattern.
        const QDateTime dt = value.toDateTime();
        if (dt.isValid() && m_datePartsRead && dt.date().year() >= 1000 && dt.date().year() <= 9999)
            return formatDate(dt.date(), dt.time());
        if (dt.isValid()) return QLocale::c().toString(dt, m_pattern);
        return value.toString();
    }
    case Value::Type::Bool:
    case Value::Type::Null:
        break;
    }
    return value.toString();
}

bool isNumberPattern(const QString& format) { return DisplayFormat(format).isNumber(); }

QString formatValue(const Value& value, const QString& format)
{
    // Formulas format with the same few patterns over and over: each is read once.
    thread_local QString lastPattern;
    thread_local DisplayFormat last;
    if (format != lastPattern) {
        last = DisplayFormat(format);
        lastPattern = format;
    }
    return last.apply(value);
}

}  // namespace quillon::reports
