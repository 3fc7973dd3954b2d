#pragma once
// Shared by the tests of the report templates: the sample database (made
// once per test run), a report built the way the program builds it (the
// program's BuildReport over the templates beside the sources), reports rendered from JSON
// fixtures, and golden files of the text of every page.
//
// Golden files hold each page's text in reading order, one line per printed
// line (texts whose tops lie within two points of each other), so that they
// show headers, groups, totals and page breaks without pinning positions.
// A missing golden file is written once and the test fails so that it gets
// reviewed; QUILLON_UPDATE_GOLDEN=1 rewrites them after an intended change.

#include "data/connection.h"
#include "data/demo/demo_database.h"
#include "shell/buildreport.h"
#include "reports/catalogue/reportinputs.h"
#include "reports/engine/json_data.h"
#include "reports/engine/report_engine.h"
#include "reports/printing/printer.h"
#include "shell/appstate.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include "test_connection.h"

namespace quillon::templates_test {

using namespace quillon::reports;

struct ReportTitles {
    QString title, title2;
};

inline const QString kTemplates = QStringLiteral(QUILLON_TEST_DATA "/../../templates/");
inline const QString kFixtures = QStringLiteral(QUILLON_TEST_DATA "/reports/templates/");
inline const QDate kPrintDate(2026, 8, 20);

// The sample database of two incidents, written once and shared by all tests.
inline const QString& sampleDbPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("sample.db"));
        demo::createDemoDatabase(p);
        return p;
    }();
    return path;
}

inline Connection& sampleDb()
{
    static std::unique_ptr<Connection> db;
    if (!db) {
        db = std::make_unique<Connection>();
        openTestDatabase(*db, sampleDbPath());
    }
    return *db;
}

struct Built {
    ReportTitles titles;
    ReportPtr report;
    RecordsetPtr main, sub;
    Document doc;
};

// Builds and renders report state.ReportNumber over `db` with the program's
// own BuildReport (catalogue plan, template, parameters, data sets bound).
inline Built buildReport(const AppState& state, Connection& db = sampleDb(), std::int32_t invoiceKey = 0,
                         const OfficeNodes* offices = nullptr)
{
    qputenv("QUILLON_TEMPLATE_DIR", kTemplates.toLocal8Bit());
    ScriptedDialogs dialogs;
    App app(dialogs, std::make_shared<FolderPrinter>(QStringLiteral("/nonexistent")));
    app.state = state;
    app.attachConnection(db);
    app.setOfficeNodes(offices);
    if (!BuildReport(app, invoiceKey)) throw DbError(ErrorNumber::Generic, QStringLiteral("the report was not built"));
    Built b;
    b.titles = {app.state.ReportTitle, app.state.ReportTitle2};
    b.report = app.state.OpenReport;
    b.main = app.state.MainDataSet;
    b.sub = app.state.SubDataSet;
    b.report->setPrintDate(kPrintDate);
    b.doc = b.report->render();
    return b;
}

// Renders a template from report data in JSON with the given parameter values.
inline Document renderJson(const QString& templateName, const QByteArray& json,
                           const std::vector<std::pair<QString, Value>>& params)
{
    ReportApplication app(std::make_shared<FolderPrinter>(QStringLiteral("/nonexistent")));
    ReportPtr report = app.openReport(kTemplates + templateName + QStringLiteral(".rpt"), 1);
    for (const auto& [name, value] : params) {
        report->parameter(name).clearCurrentValueAndRange();
        report->parameter(name).addCurrentValue(value);
    }
    report->discardSavedData();
    for (const auto& [table, rs] : tablesFromJson(json, templateName)) {
        if (table == QLatin1String("table1")) report->database().table(1).setDataSource(rs);
        else report->subreport(table)->database().table(1).setDataSource(rs);
    }
    report->setPrintDate(kPrintDate);
    return report->render();
}

inline QByteArray fixtureBytes(const QString& fixture)
{
    QFile json(kFixtures + fixture + QStringLiteral(".json"));
    if (!json.open(QIODevice::ReadOnly)) throw DbError(ErrorNumber::FileNotFound, json.fileName());
    return json.readAll();
}

inline Document renderFixture(const QString& templateName, const QString& fixture,
                              const std::vector<std::pair<QString, Value>>& params)
{
    return renderJson(templateName, fixtureBytes(fixture), params);
}

// The rows of a fixture's table 1, to check the printed totals against.
inline RecordsetPtr fixtureRows(const QString& fixture)
{
    return tablesFromJson(fixtureBytes(fixture), fixture).at(QStringLiteral("table1"));
}

// The text of one page in reading order, a printed line per text line.
inline QStringList pageLines(const Page& page)
{
    std::vector<const Primitive*> texts;
    for (const Primitive& p : page.items)
        if (p.kind == Primitive::Text && !p.text.isEmpty() && p.angle == 0) texts.push_back(&p);
    std::stable_sort(texts.begin(), texts.end(), [](const Primitive* a, const Primitive* b) { return a->y < b->y; });
    QStringList lines;
    size_t i = 0;
    while (i < texts.size()) {
        size_t j = i;
        while (j < texts.size() && texts[j]->y - texts[i]->y < 2.0) ++j;
        std::vector<const Primitive*> line(texts.begin() + long(i), texts.begin() + long(j));
        std::stable_sort(line.begin(), line.end(), [](const Primitive* a, const Primitive* b) { return a->x < b->x; });
        QStringList parts;
        for (const Primitive* p : line) parts << p->text;
        lines << parts.join(QStringLiteral(" | "));
        i = j;
    }
    // Turned texts (watermarks) last, marked as such.
    for (const Primitive& p : page.items)
        if (p.kind == Primitive::Text && !p.text.isEmpty() && p.angle != 0) lines << QStringLiteral("[turned] ") + p.text;
    return lines;
}

inline QString pagesText(const Document& doc)
{
    QString out;
    for (int i = 0; i < doc.pageCount(); ++i) {
        out += QStringLiteral("=== page %1 of %2\n").arg(i + 1).arg(doc.pageCount());
        for (const QString& l : pageLines(doc.pages[size_t(i)])) out += l + QLatin1Char('\n');
    }
    return out;
}

// Every line of the document, pages run together.
inline QStringList allLines(const Document& doc)
{
    QStringList out;
    for (const Page& p : doc.pages) out += pageLines(p);
    return out;
}

// The check boxes of a page in reading order, each with whether it is ticked
// (a mark drawn inside it).
inline std::vector<bool> checkBoxes(const Page& page, double size = 8)
{
    std::vector<const Primitive*> boxes;
    for (const Primitive& p : page.items)
        if (p.kind == Primitive::Rect && std::abs(p.w - size) < 0.01 && std::abs(p.h - size) < 0.01) boxes.push_back(&p);
    std::stable_sort(boxes.begin(), boxes.end(), [](const Primitive* a, const Primitive* b) {
        return std::abs(a->y - b->y) > 2 ? a->y < b->y : a->x < b->x;
    });
    std::vector<bool> out;
    for (const Primitive* b : boxes) {
        bool ticked = false;
        for (const Primitive& p : page.items)
            if (p.kind == Primitive::Line && p.x > b->x && p.x < b->x + size && p.y > b->y && p.y < b->y + size) ticked = true;
        out.push_back(ticked);
    }
    return out;
}

inline void expectGolden(const QString& name, const Document& doc)
{
    const QString actual = pagesText(doc);
    QFile golden(kFixtures + name + QStringLiteral(".golden"));
    if (!golden.exists() || qEnvironmentVariableIsSet("QUILLON_UPDATE_GOLDEN")) {
        const bool existed = golden.exists();
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly)) << golden.fileName().toStdString();
        golden.write(actual.toUtf8());
        golden.close();
        if (!existed) FAIL() << "wrote new golden file " << golden.fileName().toStdString() << "; review it";
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(golden.readAll()).toStdString(), actual.toStdString()) << name.toStdString();
}

// One value of a query over the sample database (a sum to check a total by).
inline Value sqlValue(const QString& sql, Connection& db = sampleDb())
{
    RecordsetPtr rs = db.openRecordset(sql);
    return rs->recordCount() > 0 ? rs->at(0, 0) : Value();
}

// "$1,234.50" as the templates print money.
inline QString dollars(const Value& v)
{
    return QStringLiteral("$") + v.toCurrency().toFixed(2, true);
}

// The reports whose golden files come from the sample database: the shared
// state each is built from, as the batch tool's --set arguments.
struct SampleCase {
    const char* golden;
    int report;
    QStringList sets;
    QStringList offices;   // checked office nodes (report 15)
};

inline const std::vector<SampleCase>& sampleCases()
{
    static const std::vector<SampleCase> cases{
        {"CommissaryCharges", 2, {QStringLiteral("SelectedIncidentId=1")}, {}},
        {"CrewRoster", 12, {QStringLiteral("SelectedIncidentId=2"), QStringLiteral("SelectedResourceId=34")}, {}},
        {"EquipMgmt", 11, {QStringLiteral("SelectedIncidentId=-1"), QStringLiteral("ManageIncidentsAsOne=true")}, {}},
        {"ContractorDebits", 10, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedContractorId=1")}, {}},
        {"SummHours", 3, {QStringLiteral("SelectedIncidentId=2")}, {}},
        {"IncidentTime", 15,
         {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("ReportStartDate=07/14/2026"), QStringLiteral("ReportEndDate=07/20/2026"),
          QStringLiteral("LeaderName=Dana Whitfield at (530)555-0199"), QStringLiteral("LeaderPhone=(530)555-0199")},
         {QStringLiteral("5305550142"), QStringLiteral("5415550152")}},
        {"EquipDeductions", 13,
         {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedEquipmentId=2"), QStringLiteral("ContractType=0"),
          QStringLiteral("InvoicePrintMode=1"), QStringLiteral("OrigRptCode=D"), QStringLiteral("ReportStartDate=07/14/2026"),
          QStringLiteral("ReportEndDate=07/27/2026")}, {}},
        {"OF286", 7,
         {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedEquipmentId=8"), QStringLiteral("ContractType=1"),
          QStringLiteral("InvoicePrintMode=1"), QStringLiteral("OrigRptCode=D"), QStringLiteral("ReportStartDate=07/14/2026"),
          QStringLiteral("ReportEndDate=07/27/2026"), QStringLiteral("ReportDebitTotal=364.50"), QStringLiteral("ReportAdditionTotal=0")}, {}},
        {"SummContractor", 4, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedContractorId=1")}, {}},
        {"CommAuthorization", 9, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedPersonId=30")}, {}},
    };
    return cases;
}

inline const SampleCase& sampleCase(const char* golden)
{
    for (const SampleCase& c : sampleCases())
        if (qstrcmp(c.golden, golden) == 0) return c;
    throw DbError(ErrorNumber::Generic, QStringLiteral("no sample case %1").arg(QLatin1String(golden)));
}

inline AppState stateFrom(int report, const QStringList& sets)
{
    AppState s;
    s.DatabaseKind = DbKind::SqlServer;
    s.ReportNumber = std::int16_t(report);
    for (const QString& set : sets) {
        QString error;
        const int eq = set.indexOf(QLatin1Char('='));
        if (!assignReportInput(s, set.left(eq), set.mid(eq + 1), &error)) throw DbError(ErrorNumber::Generic, error);
    }
    return s;
}

// Builds a sample case and compares its pages with its golden file.
inline Built buildCase(const char* golden)
{
    const SampleCase& c = sampleCase(golden);
    OfficeNodeList offices;
    for (const QString& tag : c.offices) offices.add(tag, true);
    Built b = buildReport(stateFrom(c.report, c.sets), sampleDb(), 0, &offices);
    expectGolden(QLatin1String(golden), b.doc);
    return b;
}

}  // namespace quillon::templates_test
