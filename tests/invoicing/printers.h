#pragma once
// Readable failure output for Qt texts; line breaks are shown as \r and \n.
#include <QString>
#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
inline std::string shownText(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return s.toStdString();
}
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << shownText(s) << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "{\n";
    for (const QString& s : list)
        *os << "  \"" << shownText(s) << "\"\n";
    *os << '}';
}
QT_END_NAMESPACE
