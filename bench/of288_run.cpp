// The OF-288 Run for all personnel, measured in one program run:
//
//  1. Numbering and writing every open posting of the scale-N sample (default
//     50, some 370,000 postings), side by side on two copies of the same
//     file, the postings loaded outside the clock on both sides:
//       former: the numbers set on the record set as edits, written as
//               generated 50-posting CASE updates (each adapted and parsed
//               anew), the postings read again afterwards;
//       now:    numberRun, one prepared statement with bound values, the
//               postings read once.
//     Both sides must leave the same numbers in the database; the bench says
//     so and fails otherwise.
//  2. A DRAFT Run for all personnel of the scale-M sample (default 100, both
//     incidents as one) through the OF-288 window, in a child process of its
//     own: the time until the first preview page is shown (the viewer window
//     shown with a page in it), until the whole document is laid out (the Run
//     returns), and the child's peak memory.
//
//   bench_of288_run [--scale N] [--draft-scale M] [--samples DIR] [--no-draft]
//
// Samples are built once into DIR (default /tmp) as quillon-bench-scaleN.db
// and reused. Goals: numbering and writing at scale 50 within 1.5 s; the
// DRAFT at scale 100 to its first page within 10 s under 1 GB.
// Templates come from the program folder (build/app) when the real OF288 and
// CommissaryDetail templates are there, otherwise small stand-ins are used and
// the output says so.

#include "data/connection.h"
#include "data/demo/demo_database.h"
#include "invoicing/columnnumbering.h"
#include "invoicing/form6.h"
#include "reports/printing/printer.h"
#include "shell/app.h"
#include "shell/nextnumber.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

using namespace quillon;

namespace {

const char* const kOf288StandIn = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="OF288" title="OF-288">
  <Parameter name="FinalFlag" type="text"/>
  <Parameter name="OrigRpt" type="text"/>
  <Page width="792" height="612" margin="36"/>
  <Columns count="8" width="90" gap="0" maxRows="7" height="120"/>
  <Group name="Person" on="PersonID" newPage="true" resetPageNumber="true">
    <Header height="14"><Field x="0" y="0" expr="{LastName} &amp; ', ' &amp; {FirstName} &amp; '  ' &amp; {InvoiceNum} &amp; ' ' &amp; {Original}"/></Header>
    <Footer height="24" section="25">
      <Subreport name="subreport1" x="0" y="0" width="300" height="6" link="PersonID" suppressIfEmpty="true">
        <Detail height="11"><Field x="0" y="0" expr="'Commissary ' &amp; Text({DebitAmt}, '0.00')"/></Detail>
      </Subreport>
    </Footer>
  </Group>
  <Group name="Col" on="Column288" newColumn="true" repeatHeader="true">
    <Header height="12"><Field x="0" y="0" expr="Text({ActivityDT}, 'M/d')"/></Header>
    <Footer height="12" atColumnBottom="true"><Field x="0" y="0" expr="Text(Sum({Hours}), '0.0')"/></Footer>
  </Group>
  <Detail height="10"><Field x="0" y="0" expr="Text({StartTime}, 'HHmm') &amp; ' ' &amp; Text({Hours}, '0.0')"/></Detail>
</Report>)xml";

const char* const kCommissaryStandIn = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="CommissaryDetail" title="Commissary Detail">
  <Parameter name="OrigRpt" type="text"/>
  <Page width="612" height="792" margin="36"/>
  <Group name="Person" on="PersonID" newPage="true">
    <Header height="14"><Field x="0" y="0" expr="{LastName} &amp; '  ' &amp; {InvoiceNum}"/></Header>
  </Group>
  <Detail height="12"><Field x="0" y="0" expr="Text({ActivityDT}, 'M/d/yyyy') &amp; ' ' &amp; {Description} &amp; ' ' &amp; Text({Amt}, '0.00')"/></Detail>
</Report>)xml";

double ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

void copyFile(const QString& source, const QString& target)
{
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        std::exit(1);
    }
}

QString sampleOf(const QString& folder, int scale)
{
    const QString path = QDir(folder).filePath(QStringLiteral("quillon-bench-scale%1.db").arg(scale));
    if (QFile::exists(path)) return path;
    QElapsedTimer t;
    t.start();
    const demo::DemoCounts counts = demo::createDemoDatabase(path, {scale});
    std::printf("sample %s: %d persons, %d postings (built in %.0f s)\n", qPrintable(path), counts.persons,
                counts.personPostings, ms(t) / 1000);
    return path;
}

of288::Choices allPersonnel()
{
    of288::Choices c;
    c.AllOption = true;
    return c;
}

AppState runState(Connection& db)
{
    AppState s;
    s.ManageIncidentsAsOne = true;
    s.SelectedIncidentId = -1;
    s.InvoicePrintMode = PrintDraft;
    s.ReportEndDate = db.openRecordset(QStringLiteral("Select max(ActivityDT) from PersonsPost"))->value(0).toDate();
    return s;
}

// The former writing, kept here as the reference: every posting numbered as
// an edit of the record set, the changed numbers sent fifty postings per
// generated statement, the final column set, the postings read again.
void formerNumberRun(Connection& db, Recordset& detail, ColumnNumbering& numbering, const AppState& state)
{
    struct Numbers {
        std::int64_t id;
        Value column, order;
    };
    const auto numbersOf = [&] {
        const int id = detail.requireField(QStringLiteral("PersonsPostID"));
        const int column = detail.requireField(QStringLiteral("Column288"));
        const int order = detail.requireField(QStringLiteral("RptOrder"));
        std::vector<Numbers> out;
        out.reserve(size_t(detail.recordCount()));
        for (int row = 0; row < detail.recordCount(); ++row)
            out.push_back({detail.at(row, id).toInt(), detail.at(row, column), detail.at(row, order)});
        return out;
    };
    detail.setBatchMode(true);
    const std::vector<Numbers> before = numbersOf();
    detail.moveFirst();
    numberPostings(detail, numbering);
    const std::vector<Numbers> after = numbersOf();
    Transaction tx(db);
    QString columns, orders, keys;
    int pending = 0;
    const auto flush = [&] {
        if (pending == 0) return;
        db.execute(QStringLiteral("Update PersonsPost Set Column288 = Case PersonsPostID") + columns
                   + QStringLiteral(" End, RptOrder = Case PersonsPostID") + orders
                   + QStringLiteral(" End Where PersonsPostID In (") + keys + QStringLiteral(")"));
        columns.clear();
        orders.clear();
        keys.clear();
        pending = 0;
    };
    for (size_t i = 0; i < after.size(); ++i) {
        const Numbers& a = after[i];
        if (a.column == before[i].column && a.order == before[i].order) continue;
        const QString key = QString::number(a.id);
        columns += QStringLiteral(" When ") + key + QStringLiteral(" Then ") + QString::number(a.column.toInt());
        orders += QStringLiteral(" When ") + key + QStringLiteral(" Then ") + QString::number(a.order.toInt());
        keys += (pending ? QStringLiteral(", ") : QString()) + key;
        if (++pending == 50) flush();
    }
    flush();
    SetFinalColumn(db, state, allPersonnel());
    tx.commit();
    detail.requery();
}

// Numbers every open posting of `path`; the milliseconds of numbering and
// writing (loading the postings is not counted).
double numberingSide(const QString& path, bool former, int* numbered)
{
    Connection db;
    db.openEmbedded(path);
    const AppState s = runState(db);
    RecordsetPtr detail = LoadUninvoicedPostings(db, s, allPersonnel());
    *numbered = detail->recordCount();
    ColumnNumbering numbering;
    numbering.resetForRun();
    QElapsedTimer t;
    t.start();
    if (former) formerNumberRun(db, *detail, numbering, s);
    else numberRun(db, *detail, numbering, s, allPersonnel());
    return ms(t);
}

QString numbersIn(const QString& path)
{
    Connection db;
    db.openEmbedded(path);
    RecordsetPtr rs = db.openRecordset(QStringLiteral(
        "Select Count(*), Sum(Coalesce(Column288, -1) * 7 + Coalesce(RptOrder, -1) * 13 + PersonsPostID % 11 * "
        "Coalesce(RptOrder, 3)) From PersonsPost"));
    return rs->value(0).toString() + QLatin1Char('/') + rs->value(1).toString();
}

long residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    return f.readAll().split(' ').value(1).toLong() * 4096 / (1024 * 1024);
}

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The child: the DRAFT Run through the window on `path`; prints one line
// "first-page-ms pages postings peak-kb whole-document-ms".
int draftChild(const QString& path, const QString& templates)
{
    qputenv("QUILLON_TEMPLATE_DIR", templates.toLocal8Bit());
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Connection db;
    db.openEmbedded(path);
    App app(dialogs, std::make_shared<reports::FolderPrinter>(dir.filePath(QStringLiteral("printed"))));
    app.attachConnection(db);
    app.state = runState(db);
    auto* form = static_cast<Form6*>(createForm6(app));
    form->show();
    form->findChild<QRadioButton*>(QStringLiteral("AllOption"))->click();
    form->findChild<QDateEdit*>(QStringLiteral("dtpEndDate"))->setDate(app.state.ReportEndDate);
    QElapsedTimer t;
    // Each step of the Run as it begins: when, and the memory then in use.
    QString lastStep;
    QStringList steps;
    app.progress().setListener([&](const Progress& p) {
        if (p.step() == lastStep) return;
        lastStep = p.step();
        steps << QStringLiteral("    %1 at %2 ms, %3 MB in use").arg(p.step()).arg(ms(t), 0, 'f', 0).arg(residentMb());
    }, 0, 0);
    // The viewer window shows itself with its first pages while the rest are
    // laid out; the Run returns when the whole document is. Watch for the
    // window shown with a page in it.
    double firstShown = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto* w = app.output().window(1);
        if (firstShown >= 0 || !w || !w->isVisible() || w->viewer()->pageCount() < 1) return;
        firstShown = ms(t);
        steps << QStringLiteral("    first page shown at %1 ms, %2 MB in use").arg(firstShown, 0, 'f', 0).arg(residentMb());
    });
    watch.start(10);
    t.start();
    // What the Run button does, less its progress box (which would take the
    // listener above over).
    form->logic().run(0, app.state.ReportEndDate, false);
    const double run = ms(t);
    if (firstShown < 0) firstShown = run;
    steps << QStringLiteral("    whole document laid out at %1 ms, %2 MB in use").arg(run, 0, 'f', 0).arg(residentMb());
    std::fprintf(stderr, "%s\n", qPrintable(steps.join(QLatin1Char('\n'))));
    const auto* viewer = app.output().window(1) ? app.output().window(1)->viewer() : nullptr;
    std::printf("%.1f %d %d %ld %.1f\n", firstShown, viewer ? viewer->pageCount() : 0, form->logic().postingCount(),
                peakKb(), run);
    if (!dialogs.log().isEmpty()) std::fprintf(stderr, "messages: %s\n", qPrintable(dialogs.log().join(QStringLiteral(" / "))));
    std::fflush(stdout);
    // The window and viewers are left to the end of the process.
    std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv)
{
    int scale = 50;
    int draftScale = 100;
    bool draft = true;
    QString samples = QStringLiteral("/tmp");
    QString child, childTemplates;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--scale") && more) scale = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--draft-scale") && more) draftScale = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--samples") && more) samples = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--no-draft")) draft = false;
        else if (!std::strcmp(argv[i], "--draft-child") && i + 2 < argc) {
            child = QString::fromLocal8Bit(argv[++i]);
            childTemplates = QString::fromLocal8Bit(argv[++i]);
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    if (!child.isEmpty()) return draftChild(child, childTemplates);

    QTemporaryDir dir;
    // 1. Numbering and writing, former and now, on copies of one sample.
    const QString sample = sampleOf(samples, scale);
    const QString formerCopy = dir.filePath(QStringLiteral("former.db"));
    const QString nowCopy = dir.filePath(QStringLiteral("now.db"));
    copyFile(sample, formerCopy);
    copyFile(sample, nowCopy);
    int formerRows = 0, nowRows = 0;
    const double former = numberingSide(formerCopy, true, &formerRows);
    const double now = numberingSide(nowCopy, false, &nowRows);
    const bool same = numbersIn(formerCopy) == numbersIn(nowCopy) && formerRows == nowRows;
    std::printf("\nnumbering and writing all %d open postings, scale %d\n", nowRows, scale);
    std::printf("  former (record-set edits, 50-posting CASE updates, read again): %8.1f ms (%5.2f us a posting)\n",
                former, 1000 * former / std::max(formerRows, 1));
    std::printf("  now    (one prepared statement, read once)                    : %8.1f ms (%5.2f us a posting)\n", now,
                1000 * now / std::max(nowRows, 1));
    std::printf("  former / now: %.2f x; goal now <= 1500 ms: %s; same numbers written: %s\n", former / now,
                now <= 1500 ? "met" : "NOT MET", same ? "yes" : "NO");
    if (!same) return 1;
    if (!draft) return 0;

    // 2. The DRAFT Run through the window, in a process of its own.
    QString templates;
    const QString programDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../app");
    if (QFile::exists(programDir + QStringLiteral("/OF288.rpt")) && QFile::exists(programDir + QStringLiteral("/CommissaryDetail.rpt"))) {
        templates = programDir;
    } else {
        for (const auto& [name, text] : {std::pair{"OF288", kOf288StandIn}, std::pair{"CommissaryDetail", kCommissaryStandIn}}) {
            QFile f(dir.filePath(QString::fromLatin1(name) + QStringLiteral(".rpt")));
            if (!f.open(QIODevice::WriteOnly)) return 1;
            f.write(text);
        }
        templates = dir.path();
    }
    const QString draftSample = sampleOf(samples, draftScale);
    const QString draftCopy = dir.filePath(QStringLiteral("draft.db"));
    copyFile(draftSample, draftCopy);
    std::printf("\nDRAFT Run for all personnel, scale %d, incidents as one, own process; its steps:\n", draftScale);
    std::fflush(stdout);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--draft-child"), draftCopy, templates});
    p.waitForFinished(-1);
    const QStringList f = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    if (f.size() < 4) {
        std::printf("the DRAFT Run did not finish (exit %d)\n", p.exitCode());
        return 1;
    }
    const double firstPage = f[0].toDouble();
    const double peakMb = f[3].toDouble() / 1024;
    std::printf("  templates: %s\n", templates == programDir ? "the program's" : "stand-ins");
    std::printf("  to the first preview page: %8.1f ms (%s pages in viewer 1, %s postings); goal <= 10000 ms: %s\n",
                firstPage, qPrintable(f[1]), qPrintable(f[2]), firstPage <= 10000 ? "met" : "NOT MET");
    std::printf("  whole document laid out  : %8.1f ms\n", f.value(4).toDouble());
    std::printf("  peak memory              : %8.0f MB; goal < 1024 MB: %s\n", peakMb, peakMb < 1024 ? "met" : "NOT MET");
    return 0;
}
