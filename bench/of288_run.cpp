// A DRAFT OF-288 Run for all personnel of the scale-25 sample (about 185,000
// postings of 5,300 persons), measured in one program run:
//
//  1. Column numbering written side by side on copies of the same database:
//     all of a Run's numbers in one transaction (what the window does) against
//     each row written by its own statement without a transaction. Both number
//     the same first N postings (--rows, default 2,000: a statement per row
//     commits to disk each time, some 25 ms here, and would take over an hour
//     for all of them); then the batched writing numbers every posting.
//  2. The whole Run through the OF-288 window (all personnel, DRAFT, preview):
//     numbering, preparation table, both reports built, the first page of the
//     preview shown; and the same steps timed one by one.
//
//   bench_of288_run [--scale N] [--rows N]
//
// Goal: the batched numbering at least 20 times faster per posting.
// Templates come from the program folder (build/app) when the real OF288 and
// CommissaryDetail templates are there, otherwise small stand-ins are used and
// the output says so.

#include "data/demo/demo_database.h"
#include "invoicing/columnnumbering.h"
#include "invoicing/form6.h"
#include "invoicing/preptable.h"
#include "shell/buildreport.h"
#include "reports/printing/printer.h"
#include "shell/app.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

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

QString copyOf(const QString& source, const QString& name)
{
    const QString target = QFileInfo(source).dir().filePath(name);
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        std::exit(1);
    }
    return target;
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

// Leaves only the first `rows` postings (in numbering order) open, so that
// both sides number the same postings by their real paths.
void keepOpen(const QString& path, int rows)
{
    Connection db;
    db.openEmbedded(path);
    db.execute(QStringLiteral("Update PersonsPost Set InvoiceID = -1 Where PersonsPostID not in (Select PersonsPostID "
                              "From PersonsPost Order by PersonID, FinalCol, ActivityDT, StartTime, AccountingID, Rate "
                              "Limit %1)").arg(rows));
}

// Numbers the open postings of the database; returns the milliseconds spent
// numbering and writing (loading the postings is not counted).
double numberingSide(const QString& path, bool batched, int* numbered)
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
    if (batched) {
        // What a Run does: number, write the Run's numbers in one transaction, read again.
        numberRun(db, *detail, numbering, s, allPersonnel());
    } else {
        // Each posting saved by its own statement as soon as it is numbered.
        detail->setBatchMode(false);
        detail->moveFirst();
        numberPostings(*detail, numbering);
    }
    return ms(t);
}

}  // namespace

int main(int argc, char** argv)
{
    int scale = 25;
    int sideRows = 2000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--scale")) scale = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rows")) sideRows = std::atoi(argv[i + 1]);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);

    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("sample.db"));
    QElapsedTimer t;
    t.start();
    const demo::DemoCounts counts = demo::createDemoDatabase(sample, {scale});
    std::printf("sample: scale %d, %d persons, %d postings, %d debits (built in %.0f ms)\n", scale, counts.persons,
                counts.personPostings, counts.debits, ms(t));

    // 1. Numbering, side by side.
    int batchedRows = 0, perRowRows = 0, allRows = 0;
    const QString partial = copyOf(sample, QStringLiteral("partial.db"));
    keepOpen(partial, sideRows);
    const double batched = numberingSide(copyOf(partial, QStringLiteral("batched.db")), true, &batchedRows);
    const double perRow = numberingSide(copyOf(partial, QStringLiteral("per-row.db")), false, &perRowRows);
    const double all = numberingSide(copyOf(sample, QStringLiteral("all.db")), true, &allRows);
    const double ratio = (perRow / perRowRows) / (batched / batchedRows);
    std::printf("\nnumbering of the first %d postings\n", batchedRows);
    std::printf("  one transaction for the Run      : %9.1f ms  (%7.1f us per posting)\n", batched, 1000 * batched / batchedRows);
    std::printf("  one statement per row, autocommit: %9.1f ms  (%7.1f us per posting)\n", perRow, 1000 * perRow / perRowRows);
    std::printf("  batched / per-row speed          : %9.1f x   (goal: at least 20) %s\n", ratio, ratio >= 20 ? "met" : "NOT MET");
    std::printf("numbering of all %d postings in one transaction: %.1f ms (%.1f us per posting, reading them again included)\n",
                allRows, all, 1000 * all / allRows);

    // 2. The whole DRAFT Run.
    const bool realTemplates = QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/../app/OF288.rpt"))
        && QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/../app/CommissaryDetail.rpt"));
    if (realTemplates) {
        qputenv("QUILLON_TEMPLATE_DIR", (QCoreApplication::applicationDirPath() + QStringLiteral("/../app")).toLocal8Bit());
    } else {
        for (const auto& [name, text] : {std::pair{"OF288", kOf288StandIn}, std::pair{"CommissaryDetail", kCommissaryStandIn}}) {
            QFile f(dir.filePath(QString::fromLatin1(name) + QStringLiteral(".rpt")));
            if (!f.open(QIODevice::WriteOnly)) return 1;
            f.write(text);
        }
        qputenv("QUILLON_TEMPLATE_DIR", dir.path().toLocal8Bit());
    }
    std::printf("\nDRAFT Run for all personnel (%s templates)\n", realTemplates ? "program" : "stand-in");

    ScriptedDialogs dialogs;
    {
        Connection db;
        db.openEmbedded(copyOf(sample, QStringLiteral("window.db")));
        App app(dialogs, std::make_shared<reports::FolderPrinter>(dir.filePath(QStringLiteral("printed"))));
        app.attachConnection(db);
        app.state = runState(db);
        auto* form = static_cast<Form6*>(createForm6(app));
        form->show();
        form->findChild<QRadioButton*>(QStringLiteral("AllOption"))->click();
        form->findChild<QDateEdit*>(QStringLiteral("dtpEndDate"))->setDate(app.state.ReportEndDate);
        t.restart();
        form->RunButton_Click(0);
        const double run = ms(t);
        const auto* viewer = app.output().window(1) ? app.output().window(1)->viewer() : nullptr;
        std::printf("  whole Run to the first preview page: %.1f ms (%d pages in viewer 1, %d postings numbered)\n", run,
                    viewer ? viewer->pageCount() : 0, form->logic().personDetail() ? form->logic().personDetail()->recordCount() : 0);
        if (!dialogs.log().isEmpty()) std::printf("  messages: %s\n", qPrintable(dialogs.log().join(QStringLiteral(" / "))));
        delete form;
    }

    // The same steps one by one, on a fresh copy.
    {
        Connection db;
        db.openEmbedded(copyOf(sample, QStringLiteral("steps.db")));
        App app(dialogs, std::make_shared<reports::FolderPrinter>(dir.filePath(QStringLiteral("printed2"))));
        app.attachConnection(db);
        app.state = runState(db);
        const of288::Choices c = allPersonnel();
        ColumnNumbering numbering;
        t.restart();
        RecordsetPtr detail = LoadUninvoicedPostings(db, app.state, c);
        std::printf("  load postings        : %8.1f ms\n", ms(t));
        t.restart();
        numbering.resetForRun();
        numberRun(db, *detail, numbering, app.state, c);
        std::printf("  number and write     : %8.1f ms\n", ms(t));
        app.state.OrigRptCode = QStringLiteral("D");
        app.state.ReportFinalFlag = QStringLiteral("I");
        t.restart();
        getPrevInvoices(app, c);
        std::printf("  preparation table    : %8.1f ms\n", ms(t));
        std::int32_t key = 0;
        app.state.ReportNumber = 14;
        t.restart();
        BuildReport(app, key);
        std::printf("  build report 14      : %8.1f ms\n", ms(t));
        t.restart();
        ShowReport(app, 1, 2);
        std::printf("  preview report 14    : %8.1f ms\n", ms(t));
        app.state.ReportNumber = 6;
        t.restart();
        BuildReport(app, key);
        std::printf("  build report 6       : %8.1f ms (%d rows)\n", ms(t), app.state.MainDataSet->recordCount());
        t.restart();
        ShowReport(app, 1, 1);
        std::printf("  preview report 6     : %8.1f ms\n", ms(t));
    }
    return 0;
}
