// quillon-batch report: builds a report against an embedded database exactly
// as the program does, and writes it as PDF (and its data as JSON).
//
//   quillon-batch report --db FILE --report N [--set NAME=VALUE ...]
//                        [--office TAG ...] --pdf OUT.pdf [--data OUT.json]
//
// Messages the report builder shows go to stderr as "MESSAGE <title> | <text>".
// Exit status: 0 written, 3 the builder gave up, 2 usage, 1 an error.
#include "batch_command.h"
#include "report_args.h"

#include "reports/buildreport.h"
#include "reports/reportdata.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace {

using namespace quillon;

bool writeFile(const QString& path, const QByteArray& bytes, QTextStream& err)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        err << "quillon-batch report: cannot write " << path << ": " << f.errorString() << "\n";
        return false;
    }
    return true;
}

int runReport(const QStringList& args, QTextStream& out, QTextStream& err)
{
    ScriptedDialogs dialogs;
    dialogs.setSink([&err](const QString& line) {
        if (line.startsWith(QLatin1String("MESSAGE "))) err << line << "\n";
        err.flush();
    });
    App app(dialogs, std::make_shared<reports::FolderPrinter>(QDir::tempPath()));
    batch::ReportArgs parsed;
    const QString problem = batch::parseReportArgs(args, {QStringLiteral("--db"), QStringLiteral("--pdf"),
                                                          QStringLiteral("--data")},
                                                   app.state, parsed);
    if (!problem.isEmpty() || !parsed.options.contains(QStringLiteral("--db"))
        || !parsed.options.contains(QStringLiteral("--pdf"))) {
        err << "quillon-batch report: " << (problem.isEmpty() ? QStringLiteral("--db and --pdf are required") : problem)
            << "\nusage: quillon-batch report --db FILE --report N [--set NAME=VALUE ...] [--office TAG ...]"
               " --pdf OUT.pdf [--data OUT.json]\nNAME: "
            << batch::reportArgNames() << "\n";
        return 2;
    }
    try {
        Connection db;
        db.openEmbedded(parsed.options.value(QStringLiteral("--db")));
        app.attachConnection(db);
        app.setOfficeNodes(&parsed.offices);

        QElapsedTimer timer;
        timer.start();
        if (!BuildReport(app, parsed.invoiceKey)) return 3;
        const qint64 sqlMs = timer.restart();
        const reports::Document& doc = app.state.OpenReport->render();
        const int pages = int(doc.pages.size());
        const qint64 layoutMs = timer.restart();
        const QByteArray pdf = app.state.OpenReport->renderPdf();
        const qint64 pdfMs = timer.elapsed();
        if (!writeFile(parsed.options.value(QStringLiteral("--pdf")), pdf, err)) return 1;
        if (parsed.options.contains(QStringLiteral("--data"))
            && !writeFile(parsed.options.value(QStringLiteral("--data")), reportDataJson(app.state), err))
            return 1;
        out << app.state.OpenTemplateName << ": " << pages << " pages, "
            << (app.state.MainDataSet ? app.state.MainDataSet->recordCount() : 0) << " rows; sql " << sqlMs
            << " ms, layout " << layoutMs << " ms, pdf " << pdfMs << " ms\n";
        return 0;
    } catch (const DbError& e) {
        err << "quillon-batch report: " << e.description() << "\n";
        return 1;
    }
}

}  // namespace

QUILLON_BATCH_COMMAND("report",
                      QStringLiteral("report --db FILE --report N [--set NAME=VALUE ...] [--office TAG ...] --pdf OUT.pdf [--data OUT.json]"),
                      runReport);
