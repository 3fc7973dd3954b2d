#include "data/column_kind.h"

namespace quillon {

ColumnKind columnKindOf(const QString& declaredType)
{
    const QString t = declaredType.trimmed().toUpper();
    if (t.isEmpty()) return ColumnKind::Auto;
    // Longest names first: DATETIME before DATE, SMALLINT before INT.
    if (t.startsWith(QLatin1String("DATETIME")) || t.startsWith(QLatin1String("SMALLDATETIME"))
        || t.startsWith(QLatin1String("TIMESTAMP")) || t == QLatin1String("TIME"))
        return ColumnKind::DateTime;
    if (t.startsWith(QLatin1String("DATE"))) return ColumnKind::Date;
    if (t.contains(QLatin1String("MONEY")) || t.startsWith(QLatin1String("CURRENCY"))) return ColumnKind::Currency;
    if (t == QLatin1String("BIT") || t.startsWith(QLatin1String("BOOL"))) return ColumnKind::Bool;
    if (isTextDeclaredType(t)) return ColumnKind::Text;
    if (t.contains(QLatin1String("INT"))) return ColumnKind::Int;
    if (t.startsWith(QLatin1String("FLOAT")) || t.startsWith(QLatin1String("REAL"))
        || t.startsWith(QLatin1String("DOUBLE")) || t.startsWith(QLatin1String("DECIMAL"))
        || t.startsWith(QLatin1String("NUMERIC")))
        return ColumnKind::Double;
    return ColumnKind::Auto;
}

bool isTextDeclaredType(const QString& declaredType)
{
    const QString t = declaredType.toUpper();
    return t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB"));
}

}  // namespace quillon
