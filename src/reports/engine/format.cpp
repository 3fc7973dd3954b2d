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

struct NumberSection {
    QString prefix, suffix;
    int minInt = 1;
    int minDec = 0, maxDec = 0;
    bool grouping = false;
    bool percent = false;
    bool valid = false;
};

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
    double d = std::fabs(v.toDouble());
    if (percent) d *= 100.0;
    const double p = std::pow(10.0, decimals);
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

QString formatNumber(const Value& v, const QString& pattern)
{
    const QStringList parts = pattern.split(QLatin1Char(';'));
    const NumberSection pos = parseSection(parts.value(0));
    if (!pos.valid) return v.toString();
    const double d = v.toDouble();
    if (parts.size() >= 3 && !parts.at(2).isEmpty()) {
        QString w, f;
        roundedDigits(v, pos.maxDec, pos.percent, &w, &f);
        bool zero = true;
        for (QChar c : w + f) if (c != QLatin1Char('0')) { zero = false; break; }
        if (zero) {
            const NumberSection z = parseSection(parts.at(2));
            return z.valid ? formatWithSection(v, z, false) : parts.at(2);
        }
    }
    const bool negative = v.type() == Value::Type::Currency ? v.toCurrency().raw() < 0 : d < 0;
    if (negative && parts.size() >= 2) {
        const NumberSection neg = parseSection(parts.at(1));
        if (neg.valid) return formatWithSection(v, neg, false);
    }
    return formatWithSection(v, pos, negative);
}

}  // namespace

bool isNumberPattern(const QString& format)
{
    // Date patterns never use '0' or '#'; number patterns always do.
    const QString f = expandNamed(format);
    return !f.isEmpty() && parseSection(f.split(QLatin1Char(';')).value(0)).valid;
}

QString formatValue(const Value& value, const QString& format)
{
    if (value.isNull()) return QString();
    const QString f = expandNamed(format);
    if (f.isEmpty()) return value.toString();
    switch (value.type()) {
    case Value::Type::Int:
    case Value::Type::Double:
    case Value::Type::Currency:
        return isNumberPattern(f) ? formatNumber(value, f) : value.toString();
    case Value::Type::Date:
        if (isNumberPattern(f)) return value.toString();
        return QLocale::c().toString(value.toDate(), f);
    case Value::Type::DateTime:
        if (isNumberPattern(f)) return value.toString();
        return QLocale::c().toString(value.toDateTime(), f);
    case Value::Type::Text: {
        // A number kept as text still takes a number pattern.
        if (isNumberPattern(f)) {
            bool ok = false;
            const QString t = value.toString().trimmed();
            const Currency c = Currency::fromString(t, &ok);
            if (ok && !t.isEmpty()) return formatNumber(Value(c), f);
        }
        return value.toString();
    }
    case Value::Type::Bool:
    case Value::Type::Null:
        break;
    }
    return value.toString();
}

}  // namespace quillon::reports
