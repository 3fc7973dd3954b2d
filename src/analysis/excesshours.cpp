#include "analysis/excesshours.h"

#include "analysis/queryrows_p.h"
#include "ui/dialogs.h"

#include <QLocale>

#include <cmath>
#include <cstdlib>

namespace quillon {

namespace {

// Minutes since a fixed origin, counting only whole minutes: the difference of
// two stamps is the number of minute boundaries between the two times.
std::int64_t minuteStamp(const QDateTime& t)
{
    const QTime time = t.time();
    return t.date().toJulianDay() * 1440 + time.hour() * 60 + time.minute();
}

// Whether a posting starting at start continues a shift whose last posting
// stopped at previousStop. A time that could not be read never joins.
bool continuesShift(const std::optional<QDateTime>& previousStop, const QDateTime& start)
{
    if (!previousStop || !previousStop->isValid() || !start.isValid()) return false;
    return std::llabs(minuteStamp(start) - minuteStamp(*previousStop)) <= ShiftJoinMinutes;
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
    detail::requireColumnCount(rs, 7, "excess hours posting");
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
        postings.push_back(std::move(p));
    }
    return postings;
}

std::vector<ReportRecord> scanExcessHours(const std::vector<ShiftPosting>& postings, std::int32_t run,
                                          std::int32_t incidentId, double minValue)
{
    std::vector<ReportRecord> out;
    if (postings.empty()) return out;

    ShiftPosting current;    // the posting last read
    ShiftPosting previous;   // the last posting of the open shift
    double shiftTotal = 0.0;

    const auto closeShift = [&] {
        if (!(shiftTotal > minValue)) return;
        ReportRecord rec;
        rec.ReportRun = run;
        rec.IncidentID = incidentId;
        rec.PersonID = previous.PersonID;
        rec.KindCode = previous.KindCode;
        rec.RequestNumber = previous.RequestNumber;
        rec.ActivityDT = previous.ActivityDT;
        rec.TotalDayHrs = shiftTotal;
        rec.ExcessHrs = shiftTotal - minValue;
        out.push_back(std::move(rec));
    };

    for (const ShiftPosting& posting : postings) {
        if (posting.StopTime) {
            current = posting;
            if (current.PersonID == previous.PersonID && continuesShift(previous.StopTime, current.StartTime)) {
                shiftTotal += current.Hours;
            } else {
                closeShift();
                shiftTotal = current.Hours;
            }
        }
        // A passed-over posting copies the posting last read, which is already
        // the previous one: the open shift stays as it is.
        previous = current;
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

bool applyExcessHrsEntry(const QString& text, AppState& state, Dialogs& dialogs)
{
    if (text.isEmpty()) return false;
    const double value = leadingNumber(text);
    if (value == 0.0) {
        dialogs.messageBox(QStringLiteral("Excess Hrs must be Numeric. "), MsgButtons::OK, MsgIcon::Exclamation,
                           QStringLiteral("Information"));
        return false;
    }
    state.ReportMinValue = value;
    return true;
}

}  // namespace quillon
