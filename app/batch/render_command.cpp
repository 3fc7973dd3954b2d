// quillon-batch render: lays out any report template from rows in a JSON
// file (see reports/engine/json_data.h for its form), for template authors
// and tests.
#include "batch_command.h"

#include "data/dberror.h"
#include "reports/engine/json_data.h"
#include "reports/engine/pdf_writer.h"
#include "reports/engine/report_engine.h"
#include "reports/printing/printer.h"

#include <QFile>

namespace {

using namespace quillon;
using namespace quillon::reports;

int render(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString templatePath, dataPath, pdfPath, printDate;
    bool text = false, graphics = false;
    QStringList params;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        auto next = [&]() -> QString {
            if (i + 1 >= args.size()) throw DbError(ErrorNumber::Generic, QStringLiteral("%1 needs a value").arg(a));
            return args.at(++i);
        };
        if (a == QLatin1String("--data")) dataPath = next();
        else if (a == QLatin1String("--param")) params << next();
        else if (a == QLatin1String("--pdf")) pdfPath = next();
        else if (a == QLatin1String("--text")) text = true;
        else if (a == QLatin1String("--graphics")) graphics = true;
        else if (a == QLatin1String("--print-date")) printDate = next();
        else if (a.startsWith(QLatin1String("--"))) throw DbError(ErrorNumber::Generic, QStringLiteral("unknown option %1").arg(a));
        else if (templatePath.isEmpty()) templatePath = a;
        else throw DbError(ErrorNumber::Generic, QStringLiteral("more than one template given"));
    }
    if (templatePath.isEmpty() || (pdfPath.isEmpty() && !text)) {
        err << "usage: quillon-batch render TEMPLATE.rpt [--data DATA.json] [--param NAME=VALUE ...] "
               "(--pdf OUT.pdf | --text [--graphics]) [--print-date YYYY-MM-DD]\n";
        return 2;
    }

    ReportApplication app(std::make_shared<FolderPrinter>(QString()));
    ReportPtr report = app.openReport(templatePath, 1);
    for (const QString& p : params) {
        const int eq = p.indexOf(QLatin1Char('='));
        if (eq <= 0) throw DbError(ErrorNumber::Generic, QStringLiteral("--param wants NAME=VALUE, not %1").arg(p));
        ParameterField& field = report->parameter(p.left(eq));
        field.clearCurrentValueAndRange();
        field.addCurrentValue(Value(p.mid(eq + 1)));
    }
    if (!dataPath.isEmpty()) {
        QFile f(dataPath);
        if (!f.open(QIODevice::ReadOnly))
            throw DbError(ErrorNumber::FileNotFound, QStringLiteral("cannot read %1: %2").arg(dataPath, f.errorString()));
        report->discardSavedData();
        for (const auto& [name, rs] : tablesFromJson(f.readAll(), dataPath)) {
            if (name == QLatin1String("table1") || name == QLatin1String("1")) report->database().table(1).setDataSource(rs);
            else report->subreport(name)->database().table(1).setDataSource(rs);
        }
    }
    if (!printDate.isEmpty()) {
        const QDate d = QDate::fromString(printDate, Qt::ISODate);
        if (!d.isValid()) throw DbError(ErrorNumber::Generic, QStringLiteral("--print-date wants YYYY-MM-DD"));
        report->setPrintDate(d);
    }
    const Document& doc = report->render();
    if (text) out << doc.dump(graphics);
    if (!pdfPath.isEmpty()) {
        PdfWriter::writeFile(doc, pdfPath);
        err << "Wrote " << pdfPath << ": " << doc.pageCount() << (doc.pageCount() == 1 ? " page\n" : " pages\n");
    }
    return 0;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    try {
        return render(args, out, err);
    } catch (const DbError& e) {
        err << "render: " << e.description() << "\n";
        return 1;
    }
}

}  // namespace

QUILLON_BATCH_COMMAND("render",
                      "render TEMPLATE.rpt [--data DATA.json] [--param NAME=VALUE ...] (--pdf OUT.pdf | --text [--graphics])",
                      run);
