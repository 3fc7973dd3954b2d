#include "data/connection_string.h"

#include <QStringList>

namespace quillon {

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString cs;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const int eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0) break;
        const QString key = text.mid(i, eq - i).trimmed();
        int j = eq + 1;
        while (j < n && text.at(j) == QLatin1Char(' ')) ++j;
        QString value;
        if (j < n && text.at(j) == QLatin1Char('{')) {
            // Braced value: '}}' stands for '}'.
            ++j;
            while (j < n) {
                if (text.at(j) == QLatin1Char('}')) {
                    if (j + 1 < n && text.at(j + 1) == QLatin1Char('}')) { value += QLatin1Char('}'); j += 2; continue; }
                    ++j;
                    break;
                }
                value += text.at(j++);
            }
            while (j < n && text.at(j) != QLatin1Char(';')) ++j;
        } else {
            const int semi = text.indexOf(QLatin1Char(';'), j);
            value = text.mid(j, (semi < 0 ? n : semi) - j).trimmed();
            j = semi < 0 ? n : semi;
        }
        if (!key.isEmpty()) cs.set(key, value);
        i = j + 1;
    }
    return cs;
}

QString ConnectionString::value(const QString& key) const
{
    for (const auto& [k, v] : m_items)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return v;
    return QString();
}

bool ConnectionString::contains(const QString& key) const
{
    for (const auto& item : m_items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void ConnectionString::set(const QString& key, const QString& value)
{
    for (auto& [k, v] : m_items)
        if (k.compare(key, Qt::CaseInsensitive) == 0) { v = value; return; }
    m_items.emplace_back(key, value);
}

void ConnectionString::remove(const QString& key)
{
    for (auto it = m_items.begin(); it != m_items.end();) {
        if (it->first.compare(key, Qt::CaseInsensitive) == 0) it = m_items.erase(it);
        else ++it;
    }
}

QString ConnectionString::toString() const
{
    QStringList parts;
    for (const auto& [k, v] : m_items) {
        const bool brace = v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('{')) || v.contains(QLatin1Char('}'))
                           || v != v.trimmed();
        QString value = v;
        parts << k + QLatin1Char('=') + (brace ? QLatin1Char('{') + value.replace(QLatin1String("}"), QLatin1String("}}")) + QLatin1Char('}') : value);
    }
    return parts.join(QLatin1Char(';'));
}

}  // namespace quillon
