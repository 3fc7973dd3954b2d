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
#include "report_args.h"

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
    batch::ReportArgs parsed;
    const QString problem = batch::parseReportArgs(args, {}, state, parsed);
    if (!problem.isEmpty()) {
        err << "quillon-batch sql: " << problem << "\n"
            << "usage: quillon-batch sql --report N [--set NAME=VALUE ...] [--office TAG ...]\n"
            << "NAME: " << batch::reportArgNames() << "\n";
        err.flush();
        return 2;
    }
    const std::int32_t invoiceKey = parsed.invoiceKey;
    const OfficeNodeList& offices = parsed.offices;

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
