#include "analysis/excesshours.h"

#include "analysis/queryrows_p.h"
#include "ui/dialogs.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillon {

namespace {

// A posting's real start and stop: its date with the times of day stored
// for it; a stop at or before the start lies on the next day. They are
// wall-clock times of the incident, read alike whatever time zone the
// machine is set to (a daylight-saving night neither loses nor repeats an
// hour), kept as minutes since the posting's era so that comparing them
// costs nothing.
struct Span {
    std::int64_t start;
    std::int64_t stop;
};

std::int64_t minuteOf(const QDate& day, const QTime& time)
{
    return day.toJulianDay() * 24 * 60 + time.hour() * 60 + time.minute();
}

Span spanOf(const ShiftPosting& p)
{
    const std::int64_t start = minuteOf(p.ActivityDT, p.StartTime.time());
    std::int64_t stop = minuteOf(p.ActivityDT, p.StopTime->time());
    if (stop <= start) stop += 24 * 60;
    return {start, stop};
}

// Whether a stop time was posted: its text form is longer than 3 characters.
// Dates and times always are (a time of day alone reads "h:mm:ss AM"), so
// only other kinds of value are formatted to find out.
bool hasStopTime(const Value& stop)
{
    switch (stop.type()) {
    case Value::Type::Null: return false;
    case Value::Type::Date:
    case Value::Type::DateTime: return true;
    default: return stop.toString().size() > 3;
    }
}

}  // namespace

std::vector<ShiftPosting> shiftPostingsFrom(const Recordset& rs)
{
    detail::requireColumnCount(rs, 8, "excess hours posting");
    std::vector<ShiftPosting> postings;
    postings.reserve(std::size_t(rs.recordCount()));
    for (int r = 0; r < rs.recordCount(); ++r) {
        ShiftPosting p;
        p.ActivityDT = rs.at(r, 0).toDate();
        p.Hours = rs.at(r, 1).toDouble();
        p.KindCode = rs.at(r, 2).toString();
        p.PersonID = std::int32_t(rs.at(r, 3).toInt());
        p.StartTime = rs.at(r, 4).toDateTime();
        const Value& stop = rs.at(r, 5);
        if (hasStopTime(stop)) p.StopTime = stop.toDateTime();
        p.RequestNumber = rs.at(r, 6).toString();
        p.IncidentID = std::int32_t(rs.at(r, 7).toInt());
        postings.push_back(std::move(p));
    }
    return postings;
}

std::vector<ReportRecord> scanExcessHours(const std::vector<ShiftPosting>& postings, std::int32_t run,
                                          double minValue, const QDate& firstDay)
{
    struct Timed {
        const ShiftPosting* posting;
        Span span;
    };
    std::vector<Timed> timed;
    timed.reserve(postings.size());
    for (const ShiftPosting& p : postings)
        if (p.StopTime && p.ActivityDT.isValid()) timed.push_back({&p, spanOf(p)});
    std::stable_sort(timed.begin(), timed.end(), [](const Timed& a, const Timed& b) {
        if (a.posting->PersonID != b.posting->PersonID) return a.posting->PersonID < b.posting->PersonID;
        return a.span.start < b.span.start;
    });

    std::vector<ReportRecord> out;
    const ShiftPosting* last = nullptr;   // the last posting of the open shift
    std::int64_t shiftEnd = 0;
    double shiftTotal = 0.0;
    const auto closeShift = [&] {
        if (!last || !(shiftTotal > minValue)) return;
        if (firstDay.isValid() && last->ActivityDT < firstDay) return;
        ReportRecord rec;
        rec.ReportRun = run;
        rec.IncidentID = last->IncidentID;
        rec.PersonID = last->PersonID;
        rec.KindCode = last->KindCode;
        rec.RequestNumber = last->RequestNumber;
        rec.ActivityDT = last->ActivityDT;
        rec.TotalDayHrs = shiftTotal;
        rec.ExcessHrs = shiftTotal - minValue;
        out.push_back(std::move(rec));
    };

    for (const Timed& t : timed) {
        const bool continues = last && last->PersonID == t.posting->PersonID
            && t.span.start <= shiftEnd + ShiftJoinMinutes;
        if (continues) {
            shiftTotal += t.posting->Hours;
            shiftEnd = std::max(shiftEnd, t.span.stop);
        } else {
            closeShift();
            shiftTotal = t.posting->Hours;
            shiftEnd = t.span.stop;
        }
        last = t.posting;
    }
    closeShift();
    return out;
}

double leadingNumber(const QString& text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    const int begin = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) { ++i; ++digits; }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) { ++i; ++digits; }
    }
    if (digits == 0) return 0.0;
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) ++j;
        if (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            while (j < n && text[j].isDigit() && text[j].unicode() < 128) ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(QStringView(text).mid(begin, i - begin), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString standardNeededText()
{
    return QStringLiteral("Excess Hrs must be a number of hours greater than 0. ");
}

bool applyExcessHrsEntry(const QString& text, AppState& state, Dialogs& dialogs)
{
    if (text.isEmpty()) return false;
    const double value = leadingNumber(text);
    if (value == 0.0 || value < 0.0) {
        dialogs.messageBox(value == 0.0 ? QStringLiteral("Excess Hrs must be Numeric. ") : standardNeededText(),
                           MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Information"));
        return false;
    }
    state.ReportMinValue = value;
    return true;
}

bool standardReady(const QString& boxText, const AppState& state, Dialogs& dialogs)
{
    if (leadingNumber(boxText) > 0.0 && state.ReportMinValue > 0.0) return true;
    dialogs.messageBox(standardNeededText(), MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Information"));
    return false;
}

}  // namespace quillon
