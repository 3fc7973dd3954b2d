#include "invoicing/personnelqueries.h"

#include "data/connection.h"
#include "data/sqltext.h"

#include <cmath>
#include <limits>

namespace quillon {

bool tableExistsOn(Connection& db, const QString& name)
{
    try {
        RecordsetPtr rs = db.openRecordset(QStringLiteral("Select * from ") + name, CursorType::Dynamic,
                                           LockType::BatchOptimistic);
        if (rs) rs->close();
        return true;
    } catch (...) {
        return false;
    }
}

std::int32_t roundHalfEven(double hours)
{
    double whole = std::floor(hours);
    const double fraction = hours - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (whole > std::numeric_limits<std::int32_t>::max() || whole < std::numeric_limits<std::int32_t>::min())
        throw DbError(6, QStringLiteral("Overflow: %1 hours do not fit a whole number.").arg(hours));
    return std::int32_t(whole);
}

std::int32_t uninvoicedHoursOn(Connection& db, std::int32_t personId, const QDate& start, const QDate& end)
{
    const QString sql = QStringLiteral("Select Sum(Hours) as Hours from PersonsPost Where PersonID = ") + sqlInt(personId)
        + QStringLiteral(" and (ActivityDt BETWEEN '") + sqlDate(start) + QStringLiteral("' AND '") + sqlDate(end)
        + QStringLiteral("') and InvoiceID = 0");
    RecordsetPtr rs = db.openRecordset(sql, CursorType::Dynamic, LockType::ReadOnly);
    if (!rs || rs->recordCount() == 0 || rs->value(0).isEmpty()) return 0;
    return roundHalfEven(rs->value(0).toDouble());
}

}  // namespace quillon
