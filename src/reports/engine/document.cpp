#include "reports/engine/document.h"

#include "reports/engine/font_metrics.h"

#include <cmath>

namespace quillon::reports {

namespace {

QString num(double v)
{
    const double r = std::round(v * 10) / 10;
    QString s = QString::number(r == 0 ? 0.0 : r, 'f', 1);
    if (s.endsWith(QLatin1String(".0"))) s.chop(2);
    return s;
}

QString quoted(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

}  // namespace

QString Document::dumpPage(const Page& page, int index, bool withGraphics)
{
    QString out = QStringLiteral("page %1\n").arg(index + 1);
    for (const Primitive& p : page.items) {
        switch (p.kind) {
        case Primitive::Text:
            out += QStringLiteral("  T %1 %2 %3 %4").arg(num(p.x), num(p.y), FontLibrary::displayName(p.font), num(p.size));
            if (p.angle != 0) out += QStringLiteral(" @%1").arg(num(p.angle));
            out += QLatin1Char(' ') + quoted(p.text) + QLatin1Char('\n');
            break;
        case Primitive::Line:
            if (withGraphics)
                out += QStringLiteral("  L %1 %2 %3 %4\n").arg(num(p.x), num(p.y), num(p.x + p.w), num(p.y + p.h));
            break;
        case Primitive::Rect:
            if (withGraphics)
                out += QStringLiteral("  R %1 %2 %3 %4%5\n")
                           .arg(num(p.x), num(p.y), num(p.w), num(p.h), p.filled ? QStringLiteral(" filled") : QString());
            break;
        }
    }
    return out;
}

QString Document::dump(bool withGraphics) const
{
    QString out;
    for (int i = 0; i < int(pages.size()); ++i) out += dumpPage(pages[i], i, withGraphics);
    return out;
}

}  // namespace quillon::reports
