#include "analysis/reportrecord.h"

namespace quillon {

const QStringList& reportRecordColumns()
{
    static const QStringList columns = {
        QStringLiteral("ReportRun"),   QStringLiteral("IncidentID"),    QStringLiteral("PersonID"),
        QStringLiteral("KindCode"),    QStringLiteral("RequestNumber"), QStringLiteral("ActivityDT"),
        QStringLiteral("TotalDayHrs"), QStringLiteral("ExcessHrs"),     QStringLiteral("HR20in24"),
        QStringLiteral("HR36in48"),
    };
    return columns;
}

std::vector<std::pair<QString, Value>> ReportRecord::assignedValues() const
{
    const QStringList& c = reportRecordColumns();
    std::vector<std::pair<QString, Value>> out;
    out.reserve(10);
    out.emplace_back(c[0], Value(ReportRun));
    out.emplace_back(c[1], Value(IncidentID));
    out.emplace_back(c[2], Value(PersonID));
    out.emplace_back(c[3], Value(KindCode));
    out.emplace_back(c[4], Value(RequestNumber));
    out.emplace_back(c[5], ActivityDT.isValid() ? Value(ActivityDT) : Value());
    out.emplace_back(c[6], Value(TotalDayHrs));
    if (ExcessHrs) out.emplace_back(c[7], Value(*ExcessHrs));
    if (HR20in24) out.emplace_back(c[8], Value(*HR20in24));
    if (HR36in48) out.emplace_back(c[9], Value(*HR36in48));
    return out;
}

}  // namespace quillon
