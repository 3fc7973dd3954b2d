// ORIGINAL equipment invoices in scripted runs of the OF-286 window over
// sample databases of several sizes: in each, the same number of pieces of
// equipment, contract crews and other contracts that have worked is opened
// by launch selection, the last date typed, ORIGINAL chosen, both
// confirmations answered and the set sent directly to the (folder) printer.
// Prints the cost per invoice at each scale side by side, with where the
// time goes: the window's look-ups, the issuance transaction (SQL), building
// the reports (their SQL and the template), and laying out and printing.
//
//   bench_of286_issue [scale ...]     (default 5 25 100)
//
// Each template is the program folder's (QUILLON_TEMPLATE_DIR may point
// elsewhere) when it has one, otherwise a stand-in of a similar size; the
// output says which.
#include "data/demo/demo_database.h"
#include "invoicing/equipmentinvoice.h"
#include "invoicing/equipmentreports.h"
#include "invoicing/form7.h"
#include "invoicing/printinvoice.h"
#include "shell/app.h"
#include "ui/script.h"
#include "ui/scriptactions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quillon;

namespace {

const char* const kOf286StandIn = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="OF286" title="OF-286">
  <Parameter name="DebitTotal" type="double"/>
  <Parameter name="AdditionTotal" type="double"/>
  <Parameter name="ContCrew" type="boolean"/>
  <Parameter name="OrigRpt" type="text"/>
  <Parameter name="PrevInvoices" type="text"/>
  <Parameter name="InclusiveDates" type="text"/>
  <Page size="Letter" margin="0.5in"/>
  <Style name="default" font="Sans" size="8"/>
  <ReportHeader height="120">
    <Field x="0" y="0" expr="'EMERGENCY EQUIPMENT - USE INVOICE ' &amp; {?OrigRpt}"/>
    <Field x="0" y="14" expr="{ContractorName} &amp; ' ' &amp; {ContractorNum}"/>
    <Field x="0" y="26" expr="{Addr} &amp; ', ' &amp; {City} &amp; ' ' &amp; {State} &amp; ' ' &amp; {Zip}"/>
    <Field x="300" y="14" expr="{IncidentName} &amp; ' ' &amp; {IncidentNumber}"/>
    <Field x="300" y="26" expr="{AgreementNum} &amp; ' ' &amp; {PointOfHire}"/>
    <Field x="0" y="40" expr="{AdminName} &amp; ' ' &amp; {AdminCity}"/>
    <Field x="0" y="52" expr="{Make} &amp; ' ' &amp; {Model} &amp; ' ' &amp; {UniqueEquipmentName}"/>
    <Field x="300" y="52" expr="{RequestNumber} &amp; ' ' &amp; {KindDesc}"/>
    <Field x="0" y="66" expr="{?InclusiveDates}"/>
    <Field x="0" y="80" expr="{?PrevInvoices}"/>
  </ReportHeader>
  <Detail height="11">
    <Field x="0" y="0" expr="Text({ActivityDT}, 'M/d/yyyy')"/>
    <Field x="60" y="0" expr="{AccountingCode}"/>
    <Field x="130" y="0" expr="Text({Units}, '0.00')"/>
    <Field x="180" y="0" expr="{UOM}"/>
    <Field x="230" y="0" format="currency" expr="{Rate}"/>
    <Field x="300" y="0" format="currency" expr="{Amt}"/>
    <Field x="370" y="0" format="currency" expr="{SAmt}"/>
    <Field x="440" y="0" format="currency" expr="{GuarAmt}"/>
  </Detail>
  <ReportFooter height="36">
    <Field x="0" y="0" expr="'Gross ' &amp; Text(Sum({Amt}), '0.00')"/>
    <Field x="0" y="12" expr="'Deductions ' &amp; Text({?DebitTotal}, '0.00') &amp; ' Additions ' &amp; Text({?AdditionTotal}, '0.00')"/>
  </ReportFooter>
</Report>)xml";

const char* const kDeductionsStandIn = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="EquipDeductions" title="Deductions">
  <Parameter name="OrigRpt" type="text"/>
  <Parameter name="InclusiveDates" type="text"/>
  <Page size="Letter" margin="0.5in"/>
  <Style name="default" font="Sans" size="8"/>
  <ReportHeader height="40">
    <Field x="0" y="0" expr="'DEDUCTIONS AND ADDITIONS ' &amp; {?OrigRpt} &amp; ' ' &amp; {?InclusiveDates}"/>
    <Field x="0" y="14" expr="{ContractorName} &amp; ' ' &amp; {AgreementNum} &amp; ' ' &amp; {UniqueEquipmentName}"/>
  </ReportHeader>
  <Detail height="11">
    <Field x="0" y="0" expr="Text({ActivityDT}, 'M/d/yyyy')"/>
    <Field x="70" y="0" expr="{Description}"/>
    <Field x="300" y="0" format="currency" expr="{Amt}"/>
  </Detail>
  <ReportFooter height="14"><Field x="0" y="0" expr="'Net ' &amp; Text(Sum({Amt}), '0.00')"/></ReportFooter>
</Report>)xml";

// The program's pipeline with a stopwatch on each part.
class TimedReports : public EquipmentReports {
public:
    explicit TimedReports(App& app) : m_app(app), m_inner(app) {}

    bool buildReport(AppState& state, std::int32_t& key) override
    {
        QElapsedTimer t;
        t.start();
        const bool built = m_inner.buildReport(state, key);
        buildNs += t.nsecsElapsed();
        return built;
    }
    void showReport(AppState& state, std::int16_t preview, std::int16_t viewer) override
    {
        QElapsedTimer t;
        t.start();
        m_inner.showReport(state, preview, viewer);
        showNs += t.nsecsElapsed();
        ++shown;
    }
    bool printInvoice(AppState&, std::int16_t slot, bool fromViewer) override
    {
        QElapsedTimer t;
        t.start();
        const qint64 nested = buildNs + showNs;
        const bool result = PrintInvoice(m_app, slot, fromViewer);
        issueNs += t.nsecsElapsed() - (buildNs + showNs - nested);
        return result;
    }
    LaidOut layOut(AppState& state) override
    {
        QElapsedTimer t;
        t.start();
        LaidOut out = m_inner.layOut(state);
        showNs += t.nsecsElapsed();
        return out;
    }
    void checkPrinter() override { m_inner.checkPrinter(); }
    void printLaidOut(AppState& state, const LaidOut& report) override
    {
        QElapsedTimer t;
        t.start();
        m_inner.printLaidOut(state, report);
        showNs += t.nsecsElapsed();
        ++shown;
    }
    QString keepFolder() override { return m_inner.keepFolder(); }

    qint64 buildNs = 0, showNs = 0, issueNs = 0;
    int shown = 0;

private:
    App& m_app;
    AppEquipmentReports m_inner;
};

// Puts the template into `folder`: the program's own when it has one, else
// the stand-in. Returns which one it took.
QString provideTemplate(const QString& folder, const QString& name, const char* standIn)
{
    // The program folder is that of the desktop program, beside this one.
    const QString programFolder = qEnvironmentVariableIsSet("QUILLON_TEMPLATE_DIR")
        ? qEnvironmentVariable("QUILLON_TEMPLATE_DIR")
        : QStringLiteral(QUILLON_BUILD_DIR "/app");
    const QString program = programFolder + QLatin1Char('/') + name + QStringLiteral(".rpt");
    const QString target = folder + QLatin1Char('/') + name + QStringLiteral(".rpt");
    if (QFileInfo::exists(program) && QFile::copy(program, target)) return QStringLiteral("program");
    QFile f(target);
    if (f.open(QIODevice::WriteOnly)) f.write(standIn);
    return QStringLiteral("stand-in");
}

struct ScaleResult {
    int scale = 0;
    qint64 equipment = 0, invoices = 0, locked = 0;
    int shown = 0;
    qint64 totalNs = 0, windowNs = 0, issueNs = 0, buildNs = 0, showNs = 0;
};

// Invoices this many resources at every scale, so that the cost per invoice
// compares databases of different sizes.
constexpr int kInvoicesPerScale = 25;

bool runScale(int scale, const QString& folder, ScaleResult& r)
{
    r.scale = scale;
    const QString path = folder + QStringLiteral("/sample-%1.db").arg(scale);
    demo::createDemoDatabase(path, {scale, demo::DemoOptions::DefaultSeed});
    Connection db;
    db.openEmbedded(path);
    r.equipment = db.openRecordset(QStringLiteral("Select count(*) from Equipment"))->value(0).toInt();

    // Resources that have worked, spread over the whole list, as the host
    // system would launch the window for each.
    QStringList worked;
    for (RecordsetPtr rs = db.openRecordset(QStringLiteral("Select R.RequestNumber, R.ResourceID from Equipment E "
                                                           "inner join Resources R on E.ResourceID = R.ResourceID "
                                                           "where exists (Select 1 from ContractorPost P where "
                                                           "P.EquipmentID = E.EquipmentID) order by E.EquipmentID"));
         !rs->eof(); rs->moveNext())
        worked << rs->value(0).toString().left(1) + rs->value(1).toString();
    QString script;
    const int wanted = std::min<int>(kInvoicesPerScale, int(worked.size()));
    for (int i = 0; i < wanted; ++i) {
        const QString resource = worked[int(qint64(i) * worked.size() / wanted)];
        script += QStringLiteral("state LaunchSelection %1\nopen Form7\n").arg(resource);
        script += QStringLiteral("type Form7.mskLastDate 12/31/2026\nclick Form7.optPrint(2)\n");
        script += QStringLiteral("answer OK\nanswer Yes\nclick Form7.RunButton(1)\nclose Form7\n");
    }

    ScriptedDialogs dialogs;
    auto printer = std::make_shared<reports::FolderPrinter>(folder + QStringLiteral("/jobs-%1").arg(scale));
    App app(dialogs, printer);
    app.attachConnection(db);
    app.state.ManageIncidentsAsOne = true;
    app.state.SelectedIncidentId = 1;
    app.state.IncidentStartYear = QStringLiteral("2026");
    app.state.SelectedIncidentNumber = QStringLiteral("CA-SHU-004117");
    TimedReports timed(app);
    // The issuance prints through the timed pipeline too.
    setEquipmentInvoicePath(app, [&timed](App& a, std::int16_t slot) {
        printEquipmentInvoice(a.state, a.SharedConnection(), a.dialogs(), timed, slot);
        return false;
    });

    ScriptRunner runner(dialogs, [](const QString&) {});
    Form7* form = nullptr;
    runner.setHandler(QStringLiteral("state"), [&](const ScriptCommand& c) {
        if (c.target != QLatin1String("LaunchSelection")) throw ScriptError(QStringLiteral("unknown state ") + c.target);
        app.state.LaunchSelection = c.text;
    });
    runner.setHandler(QStringLiteral("open"), [&](const ScriptCommand&) {
        form = new Form7(app, &timed);
        form->show();
    });
    runner.setHandler(QStringLiteral("close"), [&](const ScriptCommand&) {
        delete form;
        form = nullptr;
    });

    QElapsedTimer clock;
    clock.start();
    const bool ok = runner.run(script);
    r.totalNs = clock.nsecsElapsed();
    if (!ok) {
        std::fprintf(stderr, "scale %d: script failed: %s\n", scale, qPrintable(runner.error()));
        return false;
    }
    r.invoices = db.openRecordset(QStringLiteral("Select count(*) from EquipInvoices"))->value(0).toInt();
    r.locked = db.openRecordset(QStringLiteral("Select count(*) from ContractorPost where InvoiceID <> 0"))
                   ->value(0).toInt();
    r.shown = timed.shown;
    r.issueNs = timed.issueNs;
    r.buildNs = timed.buildNs;
    r.showNs = timed.showNs;
    r.windowNs = r.totalNs - r.buildNs - r.showNs - r.issueNs;
    return r.invoices == wanted;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    std::vector<int> scales;
    for (int i = 1; i < argc; ++i) scales.push_back(std::max(1, atoi(argv[i])));
    if (scales.empty()) scales = {5, 25, 100};
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }

    const QString templateFolder = dir.filePath(QStringLiteral("templates"));
    QDir().mkpath(templateFolder);
    const QString of286Kind = provideTemplate(templateFolder, QStringLiteral("OF286"), kOf286StandIn);
    const QString deductionsKind = provideTemplate(templateFolder, QStringLiteral("EquipDeductions"), kDeductionsStandIn);
    qputenv("QUILLON_TEMPLATE_DIR", templateFolder.toLocal8Bit());

    std::vector<ScaleResult> results;
    for (int scale : scales) {
        ScaleResult r;
        if (!runScale(scale, dir.path(), r)) return 2;
        results.push_back(r);
    }

    std::printf("OF-286 ORIGINAL issuance, %d invoices per scale, OF-286 template: %s, deductions template: %s\n",
                kInvoicesPerScale, qPrintable(of286Kind), qPrintable(deductionsKind));
    auto row = [&](const char* label, auto value) {
        std::printf("  %-28s", label);
        for (const ScaleResult& r : results) std::printf(" %12s", qPrintable(value(r)));
        std::printf("\n");
    };
    auto perInvoice = [](qint64 ns, const ScaleResult& r) {
        return QString::number(double(ns) / 1e6 / double(std::max<qint64>(1, r.invoices)), 'f', 2);
    };
    row("sample scale", [](const ScaleResult& r) { return QString::number(r.scale); });
    row("equipment in the database", [](const ScaleResult& r) { return QString::number(r.equipment); });
    row("invoices issued", [](const ScaleResult& r) { return QString::number(r.invoices); });
    row("postings locked", [](const ScaleResult& r) { return QString::number(r.locked); });
    row("reports printed", [](const ScaleResult& r) { return QString::number(r.shown); });
    row("ms per invoice, all", [&](const ScaleResult& r) { return perInvoice(r.totalNs, r); });
    row("  window and look-ups", [&](const ScaleResult& r) { return perInvoice(r.windowNs, r); });
    row("  issuance transaction", [&](const ScaleResult& r) { return perInvoice(r.issueNs, r); });
    row("  report data (BuildReport)", [&](const ScaleResult& r) { return perInvoice(r.buildNs, r); });
    row("  layout and printing", [&](const ScaleResult& r) { return perInvoice(r.showNs, r); });
    const ScaleResult& first = results.front();
    row("cost per invoice vs first", [&](const ScaleResult& r) {
        const double a = double(first.totalNs) / double(std::max<qint64>(1, first.invoices));
        const double b = double(r.totalNs) / double(std::max<qint64>(1, r.invoices));
        return QString::number(b / a, 'f', 2) + QLatin1Char('x');
    });
    return 0;
}
