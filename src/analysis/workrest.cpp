#include "analysis/workrest.h"

#include "analysis/queryrows_p.h"

namespace quillon {

std::vector<DayHours> dayHoursFrom(const Recordset& rs)
{
    detail::requireColumnCount(rs, 5, "work/rest posting");
    std::vector<DayHours> days;
    days.reserve(std::size_t(rs.recordCount()));
    for (int r = 0; r < rs.recordCount(); ++r) {
        DayHours d;
        d.ActivityDT = rs.at(r, 0).toDate();
        d.Hours = rs.at(r, 1).toDouble();
        d.KindCode = rs.at(r, 2).toString();
        d.PersonID = std::int32_t(rs.at(r, 3).toInt());
        d.RequestNumber = rs.at(r, 4).toString();
        days.push_back(std::move(d));
    }
    return days;
}

std::vector<ReportRecord> scanWorkRest(const std::vector<DayHours>& days, std::int32_t run, std::int32_t incidentId)
{
    std::vector<ReportRecord> out;
    double previousHours = 0.0;
    for (const DayHours& d : days) {
        const bool overDay = d.Hours > WorkRestDayLimit;
        const bool overPair = previousHours + d.Hours > WorkRestPairLimit;
        previousHours = d.Hours;
        if (!overDay && !overPair) continue;

        ReportRecord rec;
        rec.ReportRun = run;
        rec.IncidentID = incidentId;
        rec.PersonID = d.PersonID;
        rec.KindCode = d.KindCode;
        rec.RequestNumber = d.RequestNumber;
        rec.ActivityDT = d.ActivityDT;
        rec.TotalDayHrs = d.Hours;
        rec.HR20in24 = overDay;
        rec.HR36in48 = overPair;
        out.push_back(std::move(rec));
    }
    return out;
}

}  // namespace quillon
