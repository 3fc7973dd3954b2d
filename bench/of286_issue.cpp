// ORIGINAL equipment invoices for every piece of equipment, contract crew and
// other contract of the sample database, in one scripted run of the OF-286
// window: each resource is opened by launch selection, the last date typed,
// ORIGINAL chosen, both confirmations answered and the set sent directly to
// the (folder) printer. Reports invoices per second and where the time goes:
// the window's look-ups and the issuance (SQL), building the reports (their
// SQL and the template), and rendering and printing.
//
//   bench_of286_issue [scale]     (default 25)
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

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int scale = argc > 1 ? std::max(1, atoi(argv[1])) : 25;
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

    const QString path = dir.filePath(QStringLiteral("sample.db"));
    demo::createDemoDatabase(path, {scale, demo::DemoOptions::DefaultSeed});
    Connection db;
    db.openEmbedded(path);

    // Every resource that is equipment of an agreement, as the host system
    // would launch the window for it.
    // Equipment that has not worked yet gets "No Non-Invoiced Postings to
    // Print." before the confirmations; that box is answered too.
    QStringList resources;
    QString script;
    for (RecordsetPtr rs = db.openRecordset(QStringLiteral("Select R.RequestNumber, R.ResourceID, (Select count(*) "
                                                           "from ContractorPost P where P.EquipmentID = "
                                                           "E.EquipmentID) from Equipment E inner join Resources R "
                                                           "on E.ResourceID = R.ResourceID order by E.EquipmentID"));
         !rs->eof(); rs->moveNext()) {
        resources << rs->value(0).toString().left(1) + rs->value(1).toString();
        script += QStringLiteral("state LaunchSelection %1\nopen Form7\n").arg(resources.last());
        script += QStringLiteral("type Form7.mskLastDate 12/31/2026\nclick Form7.optPrint(2)\n");
        if (rs->value(2).toInt() == 0) script += QStringLiteral("answer OK\n");
        script += QStringLiteral("answer OK\nanswer Yes\nclick Form7.RunButton(1)\nclose Form7\n");
    }

    ScriptedDialogs dialogs;
    auto printer = std::make_shared<reports::FolderPrinter>(dir.filePath(QStringLiteral("jobs")));
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

    int messages = 0;
    ScriptRunner runner(dialogs, [&](const QString& line) {
        if (line.startsWith(QLatin1String("MESSAGE"))) ++messages;
    });
    Form7* form = nullptr;
    runner.setHandler(QStringLiteral("state"), [&](const ScriptCommand& c) {
        if (c.target != QLatin1String("LaunchSelection")) throw ScriptError(QStringLiteral("unknown state ") + c.target);
        app.state.LaunchSelection = c.text;
    });
    qint64 openNs = 0;
    runner.setHandler(QStringLiteral("open"), [&](const ScriptCommand&) {
        QElapsedTimer t;
        t.start();
        form = new Form7(app, &timed);
        form->show();
        openNs += t.nsecsElapsed();
    });
    runner.setHandler(QStringLiteral("close"), [&](const ScriptCommand&) {
        delete form;
        form = nullptr;
    });

    QElapsedTimer clock;
    clock.start();
    const bool ok = runner.run(script);
    const qint64 totalNs = clock.nsecsElapsed();
    if (!ok) {
        std::fprintf(stderr, "script failed: %s\n", qPrintable(runner.error()));
        return 1;
    }

    const qint64 invoices = db.openRecordset(QStringLiteral("Select count(*) from EquipInvoices"))->value(0).toInt();
    const qint64 locked = db.openRecordset(QStringLiteral("Select count(*) from ContractorPost where InvoiceID <> 0"))
                              ->value(0).toInt();
    const double total = totalNs / 1e9;
    const qint64 windowNs = totalNs - timed.buildNs - timed.showNs - timed.issueNs;
    auto share = [&](qint64 ns) { return 100.0 * double(ns) / double(totalNs); };

    std::printf("OF-286 ORIGINAL issuance, sample scale %d, OF-286 template: %s, deductions template: %s\n", scale,
                qPrintable(of286Kind), qPrintable(deductionsKind));
    std::printf("  resources invoiced       %lld (%lld postings locked, %d reports printed, %d messages)\n",
                static_cast<long long>(invoices), static_cast<long long>(locked), timed.shown, messages);
    std::printf("  total                    %.2f s, %.1f invoices/s, %.1f ms per invoice\n", total, invoices / total,
                1000.0 * total / double(std::max<qint64>(1, invoices)));
    std::printf("  window and look-ups      %5.1f %%  (lists, period, totals, widgets; opening %.1f %%)\n",
                share(windowNs), share(openNs));
    std::printf("  issuance transaction     %5.1f %%  (keys, suffix, amount, rows, locks, commit)\n",
                share(timed.issueNs));
    std::printf("  report data (BuildReport)%5.1f %%  (report SQL, template, parameters)\n", share(timed.buildNs));
    std::printf("  rendering and printing   %5.1f %%  (layout, PDF, print job)\n", share(timed.showNs));
    std::printf("  SQL side : rendering     %.0f : %.0f\n", share(windowNs + timed.issueNs + timed.buildNs),
                share(timed.showNs));
    return invoices == resources.size() ? 0 : 2;
}
