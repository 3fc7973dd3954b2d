// quillon-batch report: builds a report against an embedded database exactly
// as the program does, and writes it as PDF (and its data as JSON).
//
//   quillon-batch report --db FILE --report N [--set NAME=VALUE ...]
//                        [--office TAG ...] [--request C-1] --pdf OUT.pdf [--data OUT.json]
//
// Reports 1 and 5 run their analysis first, as their windows do: the run's
// scratch rows are written, reported and removed again. The postings are
// those of SelectedPersonId, else of the request number --request, else of
// all personnel, between ReportStartDate and ReportEndDate; ReportSortField
// R, P or T orders them and ReportMinValue is the standard of report 5.
//
// Reports 6 (OF-288) and 14 (commissary detail) run the OF-288 window's
// preparation of a DRAFT first: the postings of SelectedPersonId, else of the
// request number --request, else of the crew SelectedResourceId, else of all
// personnel, up to ReportEndDate (by default the selection's latest posting,
// as the window proposes), ReportFinalFlag F for a final invoice. Everything
// that preparation writes (column numbers, final-column rows, the
// preparation table) is rolled back once the report is written: nothing is
// numbered, issued or locked.
//
// Messages the report builder shows go to stderr as "MESSAGE <title> | <text>".
// Exit status: 0 written, 3 the builder gave up, 2 usage, 1 an error.
#include "batch_command.h"
#include "report_args.h"

#include "analysis/analysisrun.h"
#include "invoicing/form6logic.h"
#include "shell/buildreport.h"
#include "reports/reportdata.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <optional>

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

// The analysis run's report: built by BuildReport, rendered while the run's rows exist.
class BatchAnalysisReport : public AnalysisReport {
public:
    BatchAnalysisReport(App& app, std::int32_t key) : m_app(app), m_key(key) {}
    bool buildReport(AppState&) override { return BuildReport(m_app, m_key); }
    void showReport(AppState& state, bool, int) override
    {
        pages = int(state.OpenReport->render().pages.size());
        pdf = state.OpenReport->renderPdf();
        data = reportDataJson(state);
        rows = state.MainDataSet ? state.MainDataSet->recordCount() : 0;
    }
    int pages = 0, rows = 0;
    QByteArray pdf, data;

private:
    App& m_app;
    std::int32_t m_key;
};

// The rendered report and its data, taken while its rows exist.
struct Rendered {
    int pages = 0, rows = 0;
    QByteArray pdf, data;
};

Rendered render(App& app)
{
    Rendered r;
    r.pages = int(app.state.OpenReport->render().pages.size());
    r.pdf = app.state.OpenReport->renderPdf();
    r.data = reportDataJson(app.state);
    r.rows = app.state.MainDataSet ? app.state.MainDataSet->recordCount() : 0;
    return r;
}

// The record of `list` whose `field` holds `text`, or nullopt.
std::optional<std::int32_t> keyOf(const RecordsetPtr& list, const QString& field, const QString& text,
                                  const QString& keyField)
{
    for (list->moveFirst(); !list->eof(); list->moveNext())
        if (list->value(field).toString().compare(text, Qt::CaseInsensitive) == 0)
            return std::int32_t(list->value(keyField).toInt());
    return std::nullopt;
}

// Reports 6 and 14: the OF-288 window's DRAFT preparation inside a
// transaction that is rolled back after the report was rendered.
int runOf288Draft(App& app, Connection& db, const batch::ReportArgs& parsed, QTextStream& out, QTextStream& err)
{
    AppState& s = app.state;
    const int number = s.ReportNumber;
    if (s.InvoicePrintMode > PrintDraft) {
        err << "quillon-batch report: report " << number << " is printed as a DRAFT only; an ORIGINAL or DUPLICATE"
               " ORIGINAL is issued from the OF-288 window\n";
        return 2;
    }
    const QString finalText = s.ReportFinalFlag.trimmed().toUpper();
    if (!finalText.isEmpty() && finalText != QLatin1String("F") && finalText != QLatin1String("I")) {
        err << "quillon-batch report: ReportFinalFlag is F (final invoice) or I, not \"" << s.ReportFinalFlag << "\"\n";
        return 2;
    }
    const std::int32_t person = s.SelectedPersonId, resource = s.SelectedResourceId;
    const QString request = parsed.options.value(QStringLiteral("--request")).trimmed();
    const QDate chosenEnd = s.ReportEndDate;

    Form6Logic logic(app);
    logic.load();
    std::optional<QDate> end;
    if (person > 0) {
        if (!keyOf(logic.persons(), QStringLiteral("PersonID"), QString::number(person), QStringLiteral("PersonID"))) {
            err << "quillon-batch report: no person " << person << " in the chosen incident\n";
            return 2;
        }
        end = logic.personChosen(person);
    } else if (!request.isEmpty()) {
        const auto key = keyOf(logic.requestNumbers(), QStringLiteral("RequestNumber"), request, QStringLiteral("ResourceID"));
        if (!key) {
            err << "quillon-batch report: no request number " << request << " in the chosen incident\n";
            return 2;
        }
        end = logic.requestNumberChosen(*key, logic.requestNumbers()->value(QStringLiteral("RequestNumber")).toString());
    } else if (resource > 0) {
        if (!keyOf(logic.crews(), QStringLiteral("ResourceID"), QString::number(resource), QStringLiteral("ResourceID"))) {
            err << "quillon-batch report: no crew with ResourceID " << resource << " in the chosen incident\n";
            return 2;
        }
        end = logic.crewChosen(resource);
    } else {
        logic.allPersonnelChosen();
    }
    const QDate endDate = chosenEnd.isValid() ? chosenEnd : end.value_or(QDate::currentDate());

    Rendered report;
    int rowsNumbered = 0;
    {
        Transaction scratch(db);
        if (!logic.prepareDraft(endDate, finalText == QLatin1String("F"))) return 3;
        rowsNumbered = logic.postingCount();
        s.ReportNumber = number;
        std::int32_t key = s.SelectedInvoiceId;
        if (!BuildReport(app, key)) return 3;
        report = render(app);
        scratch.rollback();
    }
    if (!writeFile(parsed.options.value(QStringLiteral("--pdf")), report.pdf, err)) return 1;
    if (parsed.options.contains(QStringLiteral("--data"))
        && !writeFile(parsed.options.value(QStringLiteral("--data")), report.data, err))
        return 1;
    out << app.state.OpenTemplateName << ": " << report.pages << " pages, " << report.rows << " rows; DRAFT to "
        << endDate.toString(QStringLiteral("MM/dd/yyyy")) << ", " << rowsNumbered
        << " postings numbered for it and the numbers rolled back\n";
    return 0;
}

AnalysisRequest analysisRequest(const AppState& s, const QString& requestNumber)
{
    AnalysisRequest r;
    r.startDay = s.ReportStartDate;
    r.endDate = s.ReportEndDate;
    const QString sort = s.ReportSortField.trimmed().toUpper();
    r.sort = sort == QLatin1String("R") ? ReportSort::RequestNumber
             : sort == QLatin1String("P") ? ReportSort::Person : ReportSort::Total;
    if (s.SelectedPersonId > 0) r.option = SelectionOption::Person;
    else if (!requestNumber.isEmpty()) r.option = SelectionOption::RequestNumber;
    else r.option = SelectionOption::AllPersonnel;
    r.requestNumber = requestNumber.trimmed().toUpper();
    return r;
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
                                                          QStringLiteral("--data"), QStringLiteral("--request")},
                                                   app.state, parsed);
    if (!problem.isEmpty() || !parsed.options.contains(QStringLiteral("--db"))
        || !parsed.options.contains(QStringLiteral("--pdf"))) {
        err << "quillon-batch report: " << (problem.isEmpty() ? QStringLiteral("--db and --pdf are required") : problem)
            << "\nusage: quillon-batch report --db FILE --report N [--set NAME=VALUE ...] [--office TAG ...]"
               " [--request C-1] --pdf OUT.pdf [--data OUT.json]\nNAME: "
            << batch::reportArgNames() << "\n";
        return 2;
    }
    try {
        Connection db;
        db.openEmbedded(parsed.options.value(QStringLiteral("--db")));
        app.attachConnection(db);
        app.setOfficeNodes(&parsed.offices);

        const int number = app.state.ReportNumber;
        if (number == 6 || number == 14) return runOf288Draft(app, db, parsed, out, err);
        if (number == 1 || number == 5) {
            if (!app.state.ReportStartDate.isValid() || !app.state.ReportEndDate.isValid()) {
                err << "quillon-batch report: report " << number << " needs ReportStartDate and ReportEndDate\n";
                return 2;
            }
            ConnectionAnalysisDatabase adb(db);
            BatchAnalysisReport report(app, parsed.invoiceKey);
            const AnalysisRequest request = analysisRequest(app.state, parsed.options.value(QStringLiteral("--request")));
            const RunResult result = number == 1 ? runWorkRest(app.state, request, adb, report, app.dialogs())
                                                 : runExcessHours(app.state, request, adb, report, app.dialogs());
            if (result.outcome != RunOutcome::Reported || report.pdf.isEmpty()) return 3;
            if (!writeFile(parsed.options.value(QStringLiteral("--pdf")), report.pdf, err)) return 1;
            if (parsed.options.contains(QStringLiteral("--data"))
                && !writeFile(parsed.options.value(QStringLiteral("--data")), report.data, err))
                return 1;
            out << app.state.OpenTemplateName << ": " << report.pages << " pages, " << report.rows << " rows; run "
                << result.run << ", " << result.rowsWritten << " scratch rows written and removed\n";
            return 0;
        }
        QElapsedTimer timer;
        timer.start();
        if (!BuildReport(app, parsed.invoiceKey)) return 3;
        const qint64 sqlMs = timer.restart();
        // Laid out and written a page at a time: a long report is never held whole.
        QFile pdfFile(parsed.options.value(QStringLiteral("--pdf")));
        if (!pdfFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            err << "quillon-batch report: cannot write " << pdfFile.fileName() << ": " << pdfFile.errorString() << "\n";
            return 1;
        }
        const int pages = app.state.OpenReport->renderPdfTo(pdfFile);
        pdfFile.close();
        const qint64 layoutMs = timer.elapsed();
        if (parsed.options.contains(QStringLiteral("--data"))) {
            QFile f(parsed.options.value(QStringLiteral("--data")));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                writeReportDataJson(app.state, f);
                f.close();
            }
            if (f.error() != QFileDevice::NoError) {
                err << "quillon-batch report: cannot write " << f.fileName() << ": " << f.errorString() << "\n";
                return 1;
            }
        }
        out << app.state.OpenTemplateName << ": " << pages << " pages, "
            << (app.state.MainDataSet ? app.state.MainDataSet->recordCount() : 0) << " rows; sql " << sqlMs
            << " ms, layout and pdf " << layoutMs << " ms\n";
        return 0;
    } catch (const DbError& e) {
        err << "quillon-batch report: " << e.description() << "\n";
        return 1;
    }
}

}  // namespace

QUILLON_BATCH_COMMAND("report",
                      QStringLiteral("report --db FILE --report N [--set NAME=VALUE ...] [--office TAG ...] [--request C-1] --pdf OUT.pdf [--data OUT.json]"),
                      runReport);
