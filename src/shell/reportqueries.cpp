#include "shell/reportqueries.h"

#include "data/sqltext.h"

#include <cmath>

namespace quillon {

bool TableExists(App& app, const QString& name)
{
    try {
        RecordsetPtr rs = app.SharedConnection().openRecordset(QStringLiteral("Select * from ") + name,
                                                               CursorType::Dynamic, LockType::BatchOptimistic);
        rs->close();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::int32_t roundHalfToEven(double hours)
{
    const double floorValue = std::floor(hours);
    const double fraction = hours - floorValue;
    double rounded;
    if (fraction > 0.5) rounded = floorValue + 1;
    else if (fraction < 0.5) rounded = floorValue;
    else rounded = std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1;
    return std::int32_t(rounded);
}

std::int32_t UninvoicedHours(App& app, std::int32_t personId, const QDate& start, const QDate& end)
{
    const QString sql = QStringLiteral("Select Sum(Hours) as Hours from PersonsPost Where PersonID = ") + sqlInt(personId)
        + QStringLiteral(" and (ActivityDt BETWEEN '") + sqlDate(start) + QStringLiteral("' AND '") + sqlDate(end)
        + QStringLiteral("') and InvoiceID = 0");
    RecordsetPtr rs = app.SharedConnection().openRecordset(sql, CursorType::Dynamic, LockType::BatchOptimistic);
    std::int32_t hours = 0;
    if (!rs->eof() && !rs->value(QStringLiteral("Hours")).isEmpty())
        hours = roundHalfToEven(rs->value(QStringLiteral("Hours")).toDouble());
    rs->close();
    return hours;
}

}  // namespace quillon
