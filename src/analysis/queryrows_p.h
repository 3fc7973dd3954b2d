#pragma once
// Shared by the readers of the posting queries: the columns are read by
// position, so a query that returned fewer is refused before any row is read.

#include "data/recordset.h"

namespace quillon::detail {

inline void requireColumnCount(const Recordset& rs, int count, const char* query)
{
    if (rs.fieldCount() < count)
        throw DbError(ErrorNumber::FieldNotFound,
                      QStringLiteral("The %1 query returned %2 columns; %3 were expected.")
                          .arg(QLatin1String(query))
                          .arg(rs.fieldCount())
                          .arg(count));
}

}  // namespace quillon::detail
