#include "reports/output/csv_export.h"

#include <QStringList>

namespace quillon::reports {

namespace {

QString csvField(const QString& text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                       text != text.trimmed();
    if (!quote) return text;
    QString out = text;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

}  // namespace

QByteArray rowsToCsv(const Recordset& rows)
{
    QString out;
    QStringList cells;
    for (int c = 0; c < rows.fieldCount(); ++c) cells << csvField(rows.fieldName(c));
    out += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    for (int r = 0; r < rows.recordCount(); ++r) {
        cells.clear();
        for (int c = 0; c < rows.fieldCount(); ++c) cells << csvField(rows.at(r, c).toString());
        out += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

}  // namespace quillon::reports
