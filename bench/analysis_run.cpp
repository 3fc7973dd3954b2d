// Speed of the work/rest and excess-hours runs over a large sample.
//
//   bench_analysis_run [database-file] [--scale N] [--rounds N] [--standard HOURS]
//
// Without a file it builds a temporary sample database at scale 25 (about
// 180,000 time postings); a named file that does not exist yet is built the
// same way and kept. Both analyses run over every posting of every incident
// (incidents managed as one, all personnel, the whole date range). Measured
// side by side, alternating, best of the rounds, every side on a connection
// kept open across the rounds (warm on both):
//   query (sqlite3)   the posting query, adapted for SQLite, stepped through the
//                     C API with every column read: what SQLite itself needs;
//   query (record set) the same query opened as the run opens it;
//   scan and write    from the open record set: the run number, reading the
//                     rows, the scan, and the findings written as scratch rows;
//   whole run         the window's run: query, scan, rows, check, report built
//                     and previewed in viewer 1 up to its first page drawn, and
//                     the clean-up.
// Goal: scan and write within 3 times the sqlite3 query time.
//
// The report templates are the program's own, from QUILLON_TEMPLATE_DIR or
// from the build's program folder; without them simple stand-ins listing
// every row are used, and the output says so.

#include "analysis/analysisrun.h"
#include "analysis/excesshours.h"
#include "analysis/workrest.h"
#include "data/connection.h"
#include "data/demo/demo_database.h"
#include "data/sql_adapter.h"
#include "reports/printing/printer.h"
#include "shell/app.h"
#include "shell/nextnumber.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPdfDocument>
#include <QPdfView>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace quillon;

namespace {

const char* const kStandIns[][2] = {
    {"WorkRest", R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="WorkRest" title="Work/Rest">
  <Parameter name="StartDate" type="date"/>
  <Parameter name="EndDate" type="date"/>
  <Parameter name="SortField" type="text"/>
  <Page size="Letter" margin="0.5in"/>
  <PageHeader height="14"><Text x="0" y="0">Work/Rest Ratio</Text></PageHeader>
  <Detail height="11">
    <Field x="0" y="0" width="160" expr="{LastName} &amp; ', ' &amp; {FirstName}"/>
    <Field x="170" y="0" width="60" expr="{RequestNumber}"/>
    <Field x="240" y="0" width="70" expr="Text({ActivityDT}, 'M/d/yyyy')"/>
    <Field x="320" y="0" width="50" align="right" expr="Text({TotalDayHrs}, '0.00')"/>
    <Check x="390" y="0" size="8" expr="{HR20in24}"/>
    <Check x="420" y="0" size="8" expr="{HR36in48}"/>
  </Detail>
  <PageFooter height="12"><Field x="0" y="0" expr="'Page ' &amp; PageNumber &amp; ' of ' &amp; PageCount"/></PageFooter>
</Report>)xml"},
    {"ExcessHours", R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="ExcessHours" title="Excess Hours">
  <Parameter name="StartDate" type="date"/>
  <Parameter name="EndDate" type="date"/>
  <Parameter name="MinValue" type="double"/>
  <Parameter name="SortField" type="text"/>
  <Page size="Letter" margin="0.5in"/>
  <PageHeader height="14"><Field x="0" y="0" expr="'Shifts over ' &amp; Text({?MinValue}, '0.00') &amp; ' hours'"/></PageHeader>
  <Detail height="11">
    <Field x="0" y="0" width="160" expr="{LastName} &amp; ', ' &amp; {FirstName}"/>
    <Field x="170" y="0" width="60" expr="{RequestNumber}"/>
    <Field x="240" y="0" width="70" expr="Text({ActivityDT}, 'M/d/yyyy')"/>
    <Field x="320" y="0" width="50" align="right" expr="Text({TotalDayHrs}, '0.00')"/>
    <Field x="380" y="0" width="50" align="right" expr="Text({ExcessHrs}, '0.00')"/>
  </Detail>
  <PageFooter height="12"><Field x="0" y="0" expr="'Page ' &amp; PageNumber &amp; ' of ' &amp; PageCount"/></PageFooter>
</Report>)xml"},
};

// Steps the query through the C API reading every column; returns the rows.
// The connection stays open across the rounds, as the program's does.
long long sqliteQuery(sqlite3* db, const QByteArray& sql, long long& checksum)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite3: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
    const int n = sqlite3_column_count(st);
    long long rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: checksum += sqlite3_column_int64(st, i); break;
            case SQLITE_FLOAT: checksum += (long long)sqlite3_column_double(st, i); break;
            case SQLITE_TEXT: checksum += sqlite3_column_bytes(st, i) + sqlite3_column_text(st, i)[0]; break;
            default: break;
            }
        }
    }
    sqlite3_finalize(st);
    return rows;
}

struct Best {
    qint64 ns = -1;
    void take(qint64 v) { ns = ns < 0 ? v : std::min(ns, v); }
    double ms() const { return double(ns) / 1e6; }
    double perSecond(long long count) const { return ns > 0 ? double(count) * 1e9 / double(ns) : 0.0; }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);

    QString path;
    int scale = 25, rounds = 3;
    double standard = 12.0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--scale") && i + 1 < argc) scale = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--standard") && i + 1 < argc) standard = std::atof(argv[++i]);
        else path = QString::fromLocal8Bit(argv[i]);
    }
    QTemporaryDir dir;
    if (path.isEmpty()) path = dir.filePath(QStringLiteral("sample.db"));
    if (!QFileInfo::exists(path)) {
        std::printf("building the sample at scale %d...\n", scale);
        demo::DemoOptions options;
        options.scale = scale;
        demo::createDemoDatabase(path, options);
    }

    // The program's templates: from QUILLON_TEMPLATE_DIR, or where the build
    // puts them beside the program.
    const QString programFolder = QStringLiteral(QUILLON_BUILD_DIR "/app");
    if (!qEnvironmentVariableIsSet("QUILLON_TEMPLATE_DIR")
        && QFileInfo::exists(programFolder + QStringLiteral("/WorkRest.rpt")))
        qputenv("QUILLON_TEMPLATE_DIR", programFolder.toLocal8Bit());
    const bool ownTemplates = QFileInfo::exists(reports::ReportApplication::templatePath(QStringLiteral("WorkRest")))
        && QFileInfo::exists(reports::ReportApplication::templatePath(QStringLiteral("ExcessHours")));
    if (!ownTemplates) {
        for (const auto& standIn : kStandIns) {
            QFile f(dir.filePath(QString::fromLatin1(standIn[0]) + QStringLiteral(".rpt")));
            if (!f.open(QIODevice::WriteOnly) || f.write(standIn[1]) < 0) return 2;
        }
        qputenv("QUILLON_TEMPLATE_DIR", dir.path().toLocal8Bit());
    }

    Connection db;
    db.openEmbedded(path);
    ScriptedDialogs dialogs;
    App app(dialogs, std::make_shared<reports::FolderPrinter>(dir.filePath(QStringLiteral("jobs"))));
    app.attachConnection(db);
    AppState& s = app.state;
    s.DatabaseKind = DbKind::SqlServer;
    s.ManageIncidentsAsOne = true;
    s.SelectedIncidentId = 1;
    s.ReportMinValue = standard;
    RecordsetPtr range = db.openRecordset(QStringLiteral("Select min(ActivityDT), max(ActivityDT), count(*) from PersonsPost"));
    const QDate first = range->value(0).toDate(), last = range->value(1).toDate();
    const long long allPostings = range->value(2).toInt();

    std::printf("database: %s\n", qPrintable(QFileInfo(path).fileName()));
    std::printf("postings: %lld, %s to %s, every incident; excess-hours standard %.2f h\n", allPostings,
                qPrintable(first.toString(Qt::ISODate)), qPrintable(last.toString(Qt::ISODate)), standard);
    std::printf("templates: %s\n", ownTemplates ? "the program's" : "stand-ins (no program templates found)");
    std::printf("best of %d rounds, alternating\n\n", rounds);

    bool goalsMet = true;
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    for (const bool workRest : {true, false}) {
        AnalysisRequest request{SelectionOption::AllPersonnel, QString(), first, last, ReportSort::Total};
        const PostingSelection selection{request.option, QString(), 0, first, last};
        const QString sql = workRest ? workRestPostingSql(s, selection) : excessHoursPostingSql(s, selection);
        const QByteArray sqliteSql = SqlAdapter().adapt(sql).toUtf8();
        s.ReportNumber = workRest ? 1 : 5;

        Best rawQuery, ourQuery, scanWrite, wholeRun;
        qint64 writeOnly = 0;   // the writing part of the best scan and write
        long long queryRows = 0, checksum = 0;
        std::size_t rowsWritten = 0;
        int pages = 0;
        ConnectionAnalysisDatabase target(db);
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer t;
            t.start();
            queryRows = sqliteQuery(raw, sqliteSql, checksum);
            rawQuery.take(t.nsecsElapsed());

            t.restart();
            RecordsetPtr rs = target.openQuery(sql);
            ourQuery.take(t.nsecsElapsed());

            t.restart();
            const std::int32_t run = target.nextNumber(QStringLiteral("ReportRecords"), QString());
            const std::vector<ReportRecord> rows = workRest
                ? scanWorkRest(dayHoursFrom(*rs), run, first)
                : scanExcessHours(shiftPostingsFrom(*rs), run, s.ReportMinValue, first);
            const qint64 scanned = t.nsecsElapsed();
            target.addReportRecords(rows);
            const qint64 written = t.nsecsElapsed();
            if (scanWrite.ns < 0 || written < scanWrite.ns) writeOnly = written - scanned;
            scanWrite.take(written);
            rowsWritten = rows.size();
            target.execute(reportRunDeleteSql(s.DatabaseKind, run));
            rs.reset();

            t.restart();
            const RunResult result = workRest ? runWorkRest(app, request) : runExcessHours(app, request);
            reports::ViewerWindow* viewer = app.output().window(1);
            if (result.outcome != RunOutcome::Reported || !viewer) {
                std::fprintf(stderr, "the run reported nothing: %s\n", qPrintable(dialogs.log().join(QLatin1Char('\n'))));
                return 1;
            }
            QPdfDocument* pdf = viewer->viewer()->pdfView()->document();
            const QImage page = pdf->render(0, (pdf->pagePointSize(0) * 96.0 / 72.0).toSize());
            wholeRun.take(t.nsecsElapsed());
            pages = pdf->pageCount();
            if (page.isNull() || result.rowsWritten != rowsWritten) {
                std::fprintf(stderr, "first page not drawn, or the run wrote %zu rows instead of %zu\n",
                             result.rowsWritten, rowsWritten);
                return 1;
            }
            viewer->close();
            QCoreApplication::processEvents();
        }
        const long long left = db.openRecordset(QStringLiteral("Select count(*) from ReportRecords"))->value(0).toInt();

        const double ratio = double(scanWrite.ns) / double(rawQuery.ns);
        goalsMet = goalsMet && ratio <= 3.0 && left == 0;
        std::printf("%s: %lld query rows, %zu scratch rows, %d report pages\n",
                    workRest ? "Work/rest (day totals)" : "Excess hours (postings)", queryRows, rowsWritten, pages);
        std::printf("  query (sqlite3)     %9.1f ms  %10.0f rows/s\n", rawQuery.ms(), rawQuery.perSecond(queryRows));
        std::printf("  query (record set)  %9.1f ms  %10.0f rows/s\n", ourQuery.ms(), ourQuery.perSecond(queryRows));
        std::printf("  scan and write      %9.1f ms  %10.0f postings/s\n", scanWrite.ms(), scanWrite.perSecond(allPostings));
        std::printf("    of which writing  %9.1f ms  %10.0f scratch rows/s\n", double(writeOnly) / 1e6,
                    writeOnly > 0 ? double(rowsWritten) * 1e9 / double(writeOnly) : 0.0);
        std::printf("  whole run, 1st page %9.1f ms  %10.0f postings/s\n", wholeRun.ms(), wholeRun.perSecond(allPostings));
        std::printf("  scan and write / sqlite3 query: %.2f (goal: at most 3.00) %s\n", ratio, ratio <= 3.0 ? "met" : "NOT MET");
        std::printf("  scratch rows left: %lld\n\n", left);
    }
    sqlite3_close(raw);
    return goalsMet ? 0 : 1;
}
