#include "data/sqltext.h"

namespace quillon {

QString sqlInt(std::int64_t value)
{
    return QString::number(value);
}

QString sqlDate(const QDate& date)
{
    if (!date.isValid()) return QString();
    return QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString sqlQuoteInner(const QString& text)
{
    if (!text.contains(QLatin1Char('\''))) return text;
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString sqlString(const QString& text)
{
    return QLatin1Char('\'') + sqlQuoteInner(text) + QLatin1Char('\'');
}

}  // namespace quillon
