#include "analysis/workrest.h"

#include "analysis/queryrows_p.h"

#include <QStringList>

#include <map>
#include <utility>

namespace quillon {

namespace {

// The kind codes of a day for the KindCode column, which holds 10
// characters: all of them when they fit, else the first and a "+".
QString kindsOfDay(QStringList kinds)
{
    kinds.removeDuplicates();
    kinds.sort();
    const QString all = kinds.join(QLatin1Char('/'));
    if (all.size() <= 10 || kinds.size() < 2) return all.left(10);
    return kinds.first().left(9) + QLatin1Char('+');
}

struct Day {
    double hours = 0.0;
    QStringList kinds;
    QString requestNumber;
    std::int32_t incidentId = 0;
};

}  // namespace

std::vector<DayHours> dayHoursFrom(const Recordset& rs)
{
    detail::requireColumnCount(rs, 6, "work/rest posting");
    std::vector<DayHours> days;
    days.reserve(std::size_t(rs.recordCount()));
    for (int r = 0; r < rs.recordCount(); ++r) {
        DayHours d;
        d.ActivityDT = rs.at(r, 0).toDate();
        d.Hours = rs.at(r, 1).toDouble();
        d.KindCode = rs.at(r, 2).toString();
        d.PersonID = std::int32_t(rs.at(r, 3).toInt());
        d.RequestNumber = rs.at(r, 4).toString();
        d.IncidentID = std::int32_t(rs.at(r, 5).toInt());
        days.push_back(std::move(d));
    }
    return days;
}

std::vector<ReportRecord> scanWorkRest(const std::vector<DayHours>& rows, std::int32_t run, const QDate& firstDay)
{
    // Every kind a person posted on a date adds to that date's total.
    std::map<std::pair<std::int32_t, qint64>, Day> days;
    for (const DayHours& r : rows) {
        if (!r.ActivityDT.isValid()) continue;
        Day& d = days[{r.PersonID, r.ActivityDT.toJulianDay()}];
        d.hours += r.Hours;
        d.kinds << r.KindCode;
        if (d.requestNumber.isEmpty()) d.requestNumber = r.RequestNumber;
        if (d.incidentId == 0) d.incidentId = r.IncidentID;
    }

    std::vector<ReportRecord> out;
    for (auto it = days.begin(); it != days.end(); ++it) {
        const auto& [key, day] = *it;
        const QDate date = QDate::fromJulianDay(key.second);
        if (firstDay.isValid() && date < firstDay) continue;
        double previous = 0.0;
        if (it != days.begin()) {
            const auto before = std::prev(it);
            if (before->first.first == key.first && before->first.second == key.second - 1)
                previous = before->second.hours;
        }
        const bool overDay = day.hours > WorkRestDayLimit;
        const bool overPair = previous + day.hours > WorkRestPairLimit;
        if (!overDay && !overPair) continue;

        ReportRecord rec;
        rec.ReportRun = run;
        rec.IncidentID = day.incidentId;
        rec.PersonID = key.first;
        rec.KindCode = kindsOfDay(day.kinds);
        rec.RequestNumber = day.requestNumber;
        rec.ActivityDT = date;
        rec.TotalDayHrs = day.hours;
        rec.ExcessHrs = previous + day.hours;
        rec.HR20in24 = overDay;
        rec.HR36in48 = overPair;
        out.push_back(std::move(rec));
    }
    return out;
}

}  // namespace quillon
