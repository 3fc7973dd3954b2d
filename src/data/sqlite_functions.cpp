#include "data/sqlite_functions.h"

#include "data/value.h"

#include <QDateTime>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

QString textArg(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

void leftOrRight(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool left)
{
    if (anyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        sqlite3_result_error(ctx, "Invalid length parameter passed to the LEFT or RIGHT function.", -1);
        return;
    }
    const QString s = textArg(argv[0]);
    resultText(ctx, left ? s.left(int(std::min<qint64>(n, s.size()))) : s.right(int(std::min<qint64>(n, s.size()))));
}

void fnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) { leftOrRight(ctx, argc, argv, true); }
void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) { leftOrRight(ctx, argc, argv, false); }

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    QString s = textArg(argv[0]);
    int n = int(s.size());
    while (n > 0 && s.at(n - 1) == QLatin1Char(' ')) --n;
    sqlite3_result_int(ctx, n);
}

void fnStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    const double x = sqlite3_value_double(argv[0]);
    const int length = argc > 1 ? int(sqlite3_value_int(argv[1])) : 10;
    int decimals = argc > 2 ? std::clamp(int(sqlite3_value_int(argv[2])), 0, 16) : 0;
    if (length <= 0 || length > 8000) { sqlite3_result_null(ctx); return; }
    QString s = QString::number(x, 'f', decimals);
    if (s.size() > length) {
        // Fewer decimals when the whole part fits, stars when it does not.
        const QString whole = QString::number(x, 'f', 0);
        if (whole.size() > length) {
            resultText(ctx, QString(length, QLatin1Char('*')));
            return;
        }
        decimals = std::max(0, length - int(whole.size()) - 1);
        s = QString::number(x, 'f', decimals);
        if (s.size() > length) s = whole;
    }
    resultText(ctx, s.rightJustified(length, QLatin1Char(' ')));
}

void fnDatePart(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    const QString part = textArg(argv[0]).trimmed().toLower();
    const QDateTime dt = Value(textArg(argv[1])).toDateTime();
    if (!dt.isValid()) {
        sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.", -1);
        return;
    }
    const QDate d = dt.date();
    const QTime t = dt.time();
    int r = 0;
    if (part == QLatin1String("yyyy") || part == QLatin1String("yy") || part == QLatin1String("year")) r = d.year();
    else if (part == QLatin1String("q") || part == QLatin1String("qq") || part == QLatin1String("quarter")) r = (d.month() - 1) / 3 + 1;
    else if (part == QLatin1String("m") || part == QLatin1String("mm") || part == QLatin1String("month")) r = d.month();
    else if (part == QLatin1String("y") || part == QLatin1String("dy") || part == QLatin1String("dayofyear")) r = d.dayOfYear();
    else if (part == QLatin1String("d") || part == QLatin1String("dd") || part == QLatin1String("day")) r = d.day();
    else if (part == QLatin1String("dw") || part == QLatin1String("weekday")) r = d.dayOfWeek() % 7 + 1;  // Sunday = 1
    else if (part == QLatin1String("wk") || part == QLatin1String("ww") || part == QLatin1String("week")) {
        const int jan1 = QDate(d.year(), 1, 1).dayOfWeek() % 7;  // Sunday = 0
        r = (d.dayOfYear() - 1 + jan1) / 7 + 1;
    }
    else if (part == QLatin1String("hh") || part == QLatin1String("hour")) r = t.hour();
    else if (part == QLatin1String("mi") || part == QLatin1String("n") || part == QLatin1String("minute")) r = t.minute();
    else if (part == QLatin1String("ss") || part == QLatin1String("s") || part == QLatin1String("second")) r = t.second();
    else {
        const QByteArray msg = "'" + part.toUtf8() + "' is not a recognized datepart option.";
        sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
        return;
    }
    sqlite3_result_int(ctx, r);
}

void fnGetDate(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void fnSortRequestNumber(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    resultText(ctx, requestNumberSortKey(textArg(argv[0])));
}

}  // namespace

QString requestNumberSortKey(const QString& rn)
{
    // The same rule as the server's function: trimmed, upper case, every run of
    // digits left-padded with zeros to six places, other characters kept.
    // C-5 -> C-000005, C-12.1 -> C-000012.000001, so C-5 < C-12 < C-12.1.
    const QString s = rn.trimmed().toUpper();
    QString out;
    out.reserve(s.size() + 12);
    int i = 0;
    while (i < s.size()) {
        if (!s.at(i).isDigit()) {
            out += s.at(i++);
            continue;
        }
        int j = i;
        while (j < s.size() && s.at(j).isDigit()) ++j;
        out += s.mid(i, j - i).rightJustified(6, QLatin1Char('0'));
        i = j;
    }
    return out;
}

int registerSqliteFunctions(sqlite3* db)
{
    struct Fn { const char* name; int args; void (*fn)(sqlite3_context*, int, sqlite3_value**); bool deterministic; };
    static const Fn fns[] = {
        {"left", 2, fnLeft, true},
        {"right", 2, fnRight, true},
        {"len", 1, fnLen, true},
        {"str", 1, fnStr, true},
        {"str", 2, fnStr, true},
        {"str", 3, fnStr, true},
        {"datepart", 2, fnDatePart, true},
        {"getdate", 0, fnGetDate, false},
        {"f_SortRequestNumber", 1, fnSortRequestNumber, true},
    };
    for (const Fn& f : fns) {
        const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        const int rc = sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

}  // namespace quillon
