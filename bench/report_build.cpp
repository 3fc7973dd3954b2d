// Building two reports on the scale-25 sample with the real templates, time
// split into SQL, layout and PDF, side by side in one run:
//   - report 3, Summary of Hours Worked, all personnel of incident 1;
//   - report 2, Commissary Charges by Date, incident 1;
// for each, the data-set queries alone through the connection against raw
// SQLite stepping over the same adapted text (what the record set costs), and
// quillon-batch report end to end as a separate process.
//
//   bench_report_build [runs]     (default 5; the median of the runs is shown)
#include "data/demo/demo_database.h"
#include "data/sqlite_engine.h"
#include "shell/buildreport.h"
#include "reports/catalogue/reportplan.h"
#include "reports/engine/pdf_writer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quillon;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

struct Subject {
    const char* what;
    int report;
    QStringList batchSets;  // the same state as --set arguments
};

struct Runs {
    std::vector<double> build, queries, raw, adapt, layout, pdf, batch;
    int rows = 0, subRows = 0, pages = 0;
    qint64 bytes = 0;
    QString batchLine;
};

AppState stateOf(const Subject& s)
{
    AppState state;
    state.ReportNumber = std::int16_t(s.report);
    state.SelectedIncidentId = 1;
    return state;
}

// Steps through every row of the adapted text reading each column, as a
// lower bound for fetching the rows.
void rawSqlite(sqlite3* handle, const QString& nativeSql)
{
    const QByteArray utf8 = nativeSql.toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(handle, utf8.constData(), -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "raw prepare failed: %s\n", sqlite3_errmsg(handle));
        std::exit(1);
    }
    const int columns = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0; i < columns; ++i) (void)sqlite3_column_value(st, i);
    sqlite3_finalize(st);
}

void measure(const Subject& subject, App& app, Connection& db, const QString& dbFile, const QString& outDir, Runs& r,
             bool record)
{
    const AppState base = stateOf(subject);

    // The data sets alone, with nothing of the previous build held: through
    // the connection, then raw. An untimed raw pass first brings the tables
    // this report reads into SQLite's cache, as they are for the build.
    app.state = AppState();
    const ReportPlan plan = planReport(base, 0);
    auto& engine = dynamic_cast<SqliteEngine&>(db.engine());
    QElapsedTimer t;
    t.start();
    QStringList adapted;
    for (const QString& sql : plan.dataSetSql) adapted << engine.adapt(sql);
    const double adapt = msSince(t);
    for (const QString& sql : adapted) rawSqlite(db.sqliteHandle(), sql);
    t.restart();
    for (const QString& sql : plan.dataSetSql) db.openRecordset(sql, CursorType::Static, LockType::Optimistic);
    const double queries = msSince(t);
    t.restart();
    for (const QString& sql : adapted) rawSqlite(db.sqliteHandle(), sql);
    const double raw = msSince(t);

    // The program's own build: plan, template, parameters, queries, binding.
    app.state = base;
    t.restart();
    std::int32_t key = 0;
    if (!BuildReport(app, key)) {
        std::fprintf(stderr, "report %d was not built\n", subject.report);
        std::exit(1);
    }
    const double build = msSince(t);
    t.restart();
    const reports::Document& doc = app.state.OpenReport->render();
    const double layout = msSince(t);
    t.restart();
    const QByteArray pdf = reports::PdfWriter::toPdf(doc);
    const double pdfMs = msSince(t);

    // The batch tool as a user runs it.
    QProcess batch;
    QStringList args = {QStringLiteral("report"), QStringLiteral("--db"), dbFile, QStringLiteral("--report"),
                        QString::number(subject.report)};
    for (const QString& set : subject.batchSets) args << QStringLiteral("--set") << set;
    args << QStringLiteral("--pdf") << outDir + QStringLiteral("/batch.pdf");
    t.restart();
    batch.start(QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch"), args);
    if (!batch.waitForFinished(600000) || batch.exitCode() != 0) {
        std::fprintf(stderr, "quillon-batch failed: %s\n", batch.readAllStandardError().constData());
        std::exit(1);
    }
    const double batchMs = msSince(t);
    if (!record) return;

    r.build.push_back(build);
    r.layout.push_back(layout);
    r.pdf.push_back(pdfMs);
    r.queries.push_back(queries);
    r.adapt.push_back(adapt);
    r.raw.push_back(raw);
    r.batch.push_back(batchMs);
    r.rows = app.state.MainDataSet->recordCount();
    r.subRows = app.state.SubDataSet ? app.state.SubDataSet->recordCount() : 0;
    r.pages = doc.pageCount();
    r.bytes = pdf.size();
    r.batchLine = QString::fromUtf8(batch.readAllStandardOutput()).trimmed();
}

void print(const Subject& s, const Runs& r)
{
    const double build = median(r.build), layout = median(r.layout), pdf = median(r.pdf);
    const double total = build + layout + pdf;
    const double queries = median(r.queries), raw = median(r.raw), adapt = median(r.adapt);
    std::printf("\nreport %d, %s: %d rows%s, %d pages, %.1f kB/page\n", s.report, s.what, r.rows,
                r.subRows ? qPrintable(QStringLiteral(" (+%1 subreport rows)").arg(r.subRows)) : "", r.pages,
                r.bytes / 1024.0 / std::max(1, r.pages));
    std::printf("  %-46s %9.1f ms  %5.1f %%\n", "SQL (BuildReport: plan, template, queries)", build, 100 * build / total);
    std::printf("  %-46s %9.1f ms  %5.1f %%  %8.0f pages/s  %8.0f rows/s\n", "layout", layout, 100 * layout / total,
                r.pages / (layout / 1000), (r.rows + r.subRows) / (layout / 1000));
    std::printf("  %-46s %9.1f ms  %5.1f %%  %8.0f pages/s\n", "PDF", pdf, 100 * pdf / total, r.pages / (pdf / 1000));
    std::printf("  %-46s %9.1f ms           %8.0f pages/s\n", "total", total, r.pages / (total / 1000));
    std::printf("  %-46s %9.1f ms  (adapting the text %.2f ms)\n", "the data sets alone, through the connection", queries, adapt);
    std::printf("  %-46s %9.1f ms  (the connection takes %.2fx that)\n", "raw SQLite stepping over the adapted text", raw,
                queries / raw);
    std::printf("  %-46s %9.1f ms  (%.2fx the build in process)\n", "quillon-batch report, whole process", median(r.batch),
                median(r.batch) / total);
    std::printf("  the tool's own split: %s\n", qPrintable(r.batchLine));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    const QString templates = QStringLiteral(QUILLON_SOURCE_DIR "/templates");
    for (const char* name : {"SummHours", "CommissaryCharges"}) {
        if (!QFile::exists(templates + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".rpt"))) {
            std::fprintf(stderr, "templates/%s.rpt is missing\n", name);
            return 1;
        }
    }
    qputenv("QUILLON_TEMPLATE_DIR", templates.toLocal8Bit());

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scale25.db"));
    const demo::DemoCounts counts = demo::createDemoDatabase(file, {25, demo::DemoOptions::DefaultSeed});

    Connection db;
    db.openEmbedded(file);
    ScriptedDialogs dialogs;
    App app(dialogs, std::make_shared<reports::FolderPrinter>(dir.filePath(QStringLiteral("printed"))));
    app.attachConnection(db);

    const Subject subjects[] = {
        {"Summary of Hours Worked, all personnel of incident 1", 3, {QStringLiteral("SelectedIncidentId=1")}},
        {"Commissary Charges by Date, incident 1", 2, {QStringLiteral("SelectedIncidentId=1")}},
    };
    Runs results[std::size(subjects)];
    // One warm-up round (fonts, page cache), then the runs interleaved so
    // that both reports see the same machine load.
    for (int i = 0; i <= runs; ++i)
        for (size_t k = 0; k < std::size(subjects); ++k) measure(subjects[k], app, db, file, dir.path(), results[k], i > 0);

    std::printf("scale-25 sample: %d persons, %d time postings, %d commissary debits; %d runs, medians\n",
                counts.persons, counts.personPostings, counts.debits, runs);
    std::printf("templates: templates/SummHours.rpt, templates/CommissaryCharges.rpt\n");
    for (size_t k = 0; k < std::size(subjects); ++k) print(subjects[k], results[k]);
    return 0;
}
