#include "report_args.h"

#include "reports/catalogue/reportinputs.h"

namespace quillon::batch {

QString reportArgNames()
{
    return QStringLiteral("InvoiceKey, ") + reportInputNames().join(QStringLiteral(", "));
}

QString parseReportArgs(const QStringList& args, const QStringList& extra, AppState& state, ReportArgs& out)
{
    bool haveReport = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (i + 1 >= args.size()) return QStringLiteral("%1 needs a value").arg(arg);
        const QString value = args.at(++i);
        if (arg == QLatin1String("--report")) {
            QString error;
            if (!assignReportInput(state, QStringLiteral("ReportNumber"), value, &error))
                return QStringLiteral("--report needs a report number, not \"%1\"").arg(value);
            haveReport = true;
        } else if (arg == QLatin1String("--set")) {
            const int eq = value.indexOf(QLatin1Char('='));
            if (eq <= 0) return QStringLiteral("--set needs NAME=VALUE, not \"%1\"").arg(value);
            const QString name = value.left(eq);
            const QString text = value.mid(eq + 1);
            if (name.compare(QLatin1String("InvoiceKey"), Qt::CaseInsensitive) == 0) {
                bool ok = false;
                out.invoiceKey = text.trimmed().toInt(&ok);
                if (!ok) return QStringLiteral("InvoiceKey: cannot take the value \"%1\"").arg(text);
                continue;
            }
            QString error;
            if (!assignReportInput(state, name, text, &error)) return error;
        } else if (arg == QLatin1String("--office")) {
            out.offices.add(value, true);
        } else if (extra.contains(arg)) {
            out.options.insert(arg, value);
        } else {
            return QStringLiteral("unknown option %1").arg(arg);
        }
    }
    if (!haveReport) return QStringLiteral("--report is required");
    return QString();
}

}  // namespace quillon::batch
