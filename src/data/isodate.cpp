#include "data/isodate.h"

#include "data/value.h"

namespace quillon {

namespace {

inline int digit(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

bool digits(const char* p, int n, int& out)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const int d = digit(p[i]);
        if (d < 0) return false;
        v = v * 10 + d;
    }
    out = v;
    return true;
}

}  // namespace

// 'YYYY-MM-DD' at the start of p.
bool parseIsoDate(const char* p, int n, QDate& d)
{
    int y, m, day;
    if (n < 10 || p[4] != '-' || p[7] != '-' || !digits(p, 4, y) || !digits(p + 5, 2, m) || !digits(p + 8, 2, day))
        return false;
    d = QDate(y, m, day);
    return d.isValid();
}

// 'HH:MM[:SS[.fff]]' exactly.
bool parseIsoTime(const char* p, int n, QTime& t)
{
    int h, mi, s = 0, ms = 0;
    if (n < 5 || p[2] != ':' || !digits(p, 2, h) || !digits(p + 3, 2, mi)) return false;
    if (n > 5) {
        if (n < 8 || p[5] != ':' || !digits(p + 6, 2, s)) return false;
        if (n > 8) {
            if (p[8] != '.' || n < 10) return false;
            int frac = 0, scale = 1;
            for (int i = 9; i < n && i < 12; ++i) {
                const int dg = digit(p[i]);
                if (dg < 0) return false;
                frac = frac * 10 + dg;
                scale *= 10;
            }
            ms = frac * (1000 / scale);
        }
    }
    t = QTime(h, mi, s, ms);
    return t.isValid();
}

// 'YYYY-MM-DD', 'YYYY-MM-DD HH:MM[:SS]', 'YYYY-MM-DDTHH:MM:SS' or a time alone.
bool parseIsoDateTime(const char* p, int n, QDateTime& dt)
{
    QDate d;
    QTime t(0, 0);
    if (parseIsoDate(p, n, d)) {
        if (n > 10 && !((p[10] == ' ' || p[10] == 'T') && parseIsoTime(p + 11, n - 11, t))) return false;
    } else if (parseIsoTime(p, n, t)) {
        d = QDate(1899, 12, 30);
    } else {
        return false;
    }
    dt = Value::wallClock(d, t);
    return true;
}

}  // namespace quillon
