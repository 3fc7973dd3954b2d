// quillon-batch sql: shows the SQL a report would run, without a database.
//
//   quillon-batch sql --report N [--set NAME=VALUE ...] [--office TAG ...]
//
// Line 1 of the output is the SQL of the main data set, line 2 that of the
// second data set when the report has one. A message the report builder would
// show goes to stderr as "MESSAGE <title> | <text>". Exit status: 0 when the
// report would be built, 3 when the builder gives up (nothing is printed on
// stdout then), 2 for a usage error.
#include "batch_command.h"

#include "reports/catalogue/reportinputs.h"
#include "reports/catalogue/reportplan.h"
#include "shell/appstate.h"
#include "ui/dialogs.h"

namespace {

using namespace quillon;

MsgIcon dialogIcon(BuildMessageIcon icon)
{
    return icon == BuildMessageIcon::Critical ? MsgIcon::Critical : MsgIcon::Information;
}

int runSql(const QStringList& args, QTextStream& out, QTextStream& err)
{
    AppState state;
    std::int32_t invoiceKey = 0;
    OfficeNodeList offices;
    bool haveReport = false;

    auto usage = [&](const QString& why) {
        err << "quillon-batch sql: " << why << "\n"
            << "usage: quillon-batch sql --report N [--set NAME=VALUE ...] [--office TAG ...]\n"
            << "NAME: InvoiceKey, " << reportInputNames().join(QStringLiteral(", ")) << "\n";
        err.flush();
        return 2;
    };

    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (i + 1 >= args.size()) return usage(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = args.at(++i);
        if (arg == QLatin1String("--report")) {
            QString error;
            if (!assignReportInput(state, QStringLiteral("ReportNumber"), value, &error))
                return usage(QStringLiteral("--report needs a report number, not \"%1\"").arg(value));
            haveReport = true;
        } else if (arg == QLatin1String("--set")) {
            const int eq = value.indexOf(QLatin1Char('='));
            if (eq <= 0) return usage(QStringLiteral("--set needs NAME=VALUE, not \"%1\"").arg(value));
            const QString name = value.left(eq);
            const QString text = value.mid(eq + 1);
            if (name.compare(QLatin1String("InvoiceKey"), Qt::CaseInsensitive) == 0) {
                bool ok = false;
                invoiceKey = text.trimmed().toInt(&ok);
                if (!ok) return usage(QStringLiteral("InvoiceKey: cannot take the value \"%1\"").arg(text));
                continue;
            }
            QString error;
            if (!assignReportInput(state, name, text, &error)) return usage(error);
        } else if (arg == QLatin1String("--office")) {
            offices.add(value, true);
        } else {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        }
    }
    if (!haveReport) return usage(QStringLiteral("--report is required"));

    const ReportPlan plan = planReport(state, invoiceKey, &offices);
    if (plan.message) {
        // The box the builder would show, logged as the scripted dialogs log it.
        ScriptedDialogs dialogs;
        dialogs.setSink([&err](const QString& line) {
            if (line.startsWith(QLatin1String("MESSAGE "))) err << line << "\n";
        });
        dialogs.messageBox(plan.message->text, MsgButtons::OK, dialogIcon(plan.message->icon), plan.message->title);
        err.flush();
    }
    if (!plan.proceed) return 3;
    for (const QString& sql : plan.dataSetSql) out << sql << "\n";
    out.flush();
    return 0;
}

}  // namespace

QUILLON_BATCH_COMMAND("sql", QStringLiteral("sql --report N [--set NAME=VALUE ...] [--office TAG ...]"), runSql);
