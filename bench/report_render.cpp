// Report rendering speed: a 1,000-page table report (40 rows of 6 cells a
// page, US Letter) rendered by the report engine to PDF, side by side in one
// run with
//   (a) libharu writing the same cells directly, no layout (the practical limit),
//   (b) ReportLab's table layout building the same table (/usr/bin/python3),
// and the time until page 1 of the report shows in the viewer. Every side
// gets the same rows made before its clock starts and formats them inside it.
//
//   bench_report_render [pages]
#include "reports/engine/font_metrics.h"
#include "reports/engine/pdf_writer.h"
#include "reports/engine/report_engine.h"
#include "reports/output/report_viewer.h"
#include "reports/printing/printer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QApplication>
#include <QPdfView>
#include <QImage>
#include <QPdfDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <hpdf.h>

#include <cstdio>

using namespace quillon;
using namespace quillon::reports;

namespace {

constexpr int kRowsPerPage = 40;

// The rows both sides print: name, request, date, hours, amount, kind.
struct Row {
    QString name, request;
    QDate date;
    double hours;
    Currency amount;
    QString kind;
};

Row makeRow(int i)
{
    Row r;
    r.name = QStringLiteral("Person %1").arg(i, 5, 10, QLatin1Char('0'));
    r.request = QStringLiteral("C-%1").arg(i % 977, 3, 10, QLatin1Char('0'));
    r.date = QDate(2024, 6, 1).addDays(i % 30);
    r.hours = 4 + (i % 13) * 0.5;
    r.amount = Currency::fromRaw(std::int64_t(i % 5000) * 1237);
    r.kind = (i % 3 == 0) ? QStringLiteral("Overhead") : QStringLiteral("Crew");
    return r;
}

const char* kTemplate = R"(<?xml version="1.0" encoding="UTF-8"?>
<Report name="Bench" title="Benchmark table">
  <Page size="Letter" margin="36"/>
  <Style name="default" font="Sans" size="9"/>
  <PageHeader height="20">
    <Text x="0" y="2" bold="true">Name</Text>
    <Text x="110" y="2" bold="true">Request</Text>
    <Text x="190" y="2" bold="true">Date</Text>
    <Text x="270" y="2" width="60" align="right" bold="true">Hours</Text>
    <Text x="350" y="2" width="80" align="right" bold="true">Amount</Text>
    <Text x="450" y="2" bold="true">Kind</Text>
    <Line x1="0" y1="16" x2="540" y2="16"/>
  </PageHeader>
  <Detail height="17">
    <Field x="0" y="3" width="105" expr="{Name}"/>
    <Field x="110" y="3" width="75" expr="{Request}"/>
    <Field x="190" y="3" width="75" format="MM/dd/yyyy" expr="{ActivityDT}"/>
    <Field x="270" y="3" width="60" align="right" format="0.00" expr="{Hours}"/>
    <Field x="350" y="3" width="80" align="right" format="currency" expr="{Amt}"/>
    <Field x="450" y="3" width="90" expr="{Kind}"/>
  </Detail>
  <PageFooter height="14">
    <Field x="0" y="2" width="540" align="center" expr="'Page ' &amp; PageNumber &amp; ' of ' &amp; PageCount"/>
  </PageFooter>
</Report>
)";

std::vector<Row> makeRows(int rows)
{
    std::vector<Row> out;
    out.reserve(rows);
    for (int i = 0; i < rows; ++i) out.push_back(makeRow(i));
    return out;
}

RecordsetPtr makeData(const std::vector<Row>& rows)
{
    std::vector<Recordset::Row> data;
    data.reserve(rows.size());
    for (const Row& r : rows) {
        data.push_back({Value(r.name), Value(r.request), Value(r.date), Value(r.hours), Value(r.amount), Value(r.kind)});
    }
    return Recordset::fromRows({QStringLiteral("Name"), QStringLiteral("Request"), QStringLiteral("ActivityDT"),
                                QStringLiteral("Hours"), QStringLiteral("Amt"), QStringLiteral("Kind")},
                               std::move(data));
}

// (a): the same cells straight onto libharu pages, positions fixed, no layout.
// The rows are made before the clock starts, as the engine's record set is;
// formatting them is timed on both sides.
QByteArray directPdf(const std::vector<Row>& rows, int pages)
{
    HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    auto& lib = FontLibrary::instance();
    const QByteArray regular = lib.face(lib.fontId({})).path().toLocal8Bit();
    const QByteArray bold = lib.face(lib.fontId({FontLibrary::Sans, true, false})).path().toLocal8Bit();
    HPDF_Font font = HPDF_GetFont(pdf, HPDF_LoadTTFontFromFile(pdf, regular.constData(), HPDF_TRUE), "WinAnsiEncoding");
    HPDF_Font boldFont = HPDF_GetFont(pdf, HPDF_LoadTTFontFromFile(pdf, bold.constData(), HPDF_TRUE), "WinAnsiEncoding");
    const float xs[6] = {36, 146, 226, 306, 386, 486};
    const char* heads[6] = {"Name", "Request", "Date", "Hours", "Amount", "Kind"};
    for (int p = 0; p < pages; ++p) {
        HPDF_Page page = HPDF_AddPage(pdf);
        HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_LETTER, HPDF_PAGE_PORTRAIT);
        HPDF_Page_MoveTo(page, 36, 792 - 52);
        HPDF_Page_LineTo(page, 576, 792 - 52);
        HPDF_Page_Stroke(page);
        HPDF_Page_BeginText(page);
        HPDF_Page_SetFontAndSize(page, boldFont, 9);
        for (int c = 0; c < 6; ++c) HPDF_Page_TextOut(page, xs[c], 792 - 46, heads[c]);
        HPDF_Page_SetFontAndSize(page, font, 9);
        for (int i = 0; i < kRowsPerPage; ++i) {
            const Row& r = rows[size_t(p * kRowsPerPage + i)];
            const float y = 792 - 56 - 3 - 17 * i - 8;
            const QByteArray cells[6] = {r.name.toLatin1(), r.request.toLatin1(),
                                         r.date.toString(QStringLiteral("MM/dd/yyyy")).toLatin1(),
                                         QByteArray::number(r.hours, 'f', 2),
                                         (QStringLiteral("$") + r.amount.toFixed(2, true)).toLatin1(), r.kind.toLatin1()};
            for (int c = 0; c < 6; ++c) HPDF_Page_TextOut(page, xs[c], y, cells[c].constData());
        }
        const QByteArray footer = QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages).toLatin1();
        HPDF_Page_TextOut(page, 280, 36, footer.constData());
        HPDF_Page_EndText(page);
    }
    HPDF_SaveToStream(pdf);
    QByteArray out(qsizetype(HPDF_GetStreamSize(pdf)), Qt::Uninitialized);
    HPDF_UINT32 size = HPDF_UINT32(out.size());
    HPDF_ReadFromStream(pdf, reinterpret_cast<HPDF_BYTE*>(out.data()), &size);
    HPDF_Free(pdf);
    return out;
}

struct Result {
    double seconds = 0;
    qint64 bytes = 0;
    int pages = 0;
    double pagesPerSecond() const { return seconds > 0 ? pages / seconds : 0; }
    double kbPerPage() const { return pages > 0 ? bytes / 1024.0 / pages : 0; }
};

void print(const char* what, const Result& r)
{
    std::printf("%-44s %7.0f pages/s  %5.2f kB/page  (%d pages in %.3f s)\n", what, r.pagesPerSecond(), r.kbPerPage(),
                r.pages, r.seconds);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pages = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    QTemporaryDir dir;
    const QString templatePath = dir.filePath(QStringLiteral("Bench.rpt"));
    {
        QFile f(templatePath);
        f.open(QIODevice::WriteOnly);
        f.write(kTemplate);
    }
    const std::vector<Row> rows = makeRows(pages * kRowsPerPage);
    RecordsetPtr data = makeData(rows);
    ReportApplication engine(std::make_shared<FolderPrinter>(dir.path()));

    // Warm-up: fonts load and the code pages in once.
    {
        ReportPtr r = engine.openReport(templatePath);
        r->database().table(1).setDataSource(makeData(makeRows(kRowsPerPage)));
        r->renderPdf();
        directPdf(makeRows(kRowsPerPage), 1);
    }

    // The engine: template opened, data bound, laid out and written.
    Result eng;
    double layoutSeconds = 0;
    {
        QElapsedTimer t;
        t.start();
        ReportPtr r = engine.openReport(templatePath);
        r->database().table(1).setDataSource(data);
        const Document& doc = r->render();
        layoutSeconds = t.nsecsElapsed() / 1e9;
        const QByteArray pdf = PdfWriter::toPdf(doc);
        eng.seconds = t.nsecsElapsed() / 1e9;
        eng.bytes = pdf.size();
        eng.pages = doc.pageCount();
    }

    // (a) libharu directly.
    Result direct;
    {
        QElapsedTimer t;
        t.start();
        const QByteArray pdf = directPdf(rows, pages);
        direct.seconds = t.nsecsElapsed() / 1e9;
        direct.bytes = pdf.size();
        direct.pages = pages;
    }

    // (b) ReportLab's table layout.
    Result rl;
    {
        QProcess py;
        const QString script = QStringLiteral(QUILLON_SOURCE_DIR "/bench/report_render_reportlab.py");
        py.start(QStringLiteral("/usr/bin/python3"), {script, QString::number(pages), dir.filePath(QStringLiteral("rl.pdf"))});
        if (!py.waitForFinished(600000) || py.exitCode() != 0) {
            std::fprintf(stderr, "reportlab run failed: %s\n", py.readAllStandardError().constData());
        } else {
            const QList<QByteArray> parts = py.readAllStandardOutput().trimmed().split(' ');
            rl.seconds = parts.value(0).toDouble();
            rl.bytes = parts.value(1).toLongLong();
            rl.pages = parts.value(2).toInt();
        }
    }

    // Time until page 1 shows in the viewer, which shows the first pages
    // while the rest are laid out: from the report opened to page 1 drawn.
    double firstPageSeconds = 0, wholeSeconds = 0;
    {
        QElapsedTimer t;
        t.start();
        ReportPtr r = engine.openReport(templatePath);
        r->database().table(1).setDataSource(data);
        ReportViewer viewer;
        viewer.setReportSource(r);
        QObject::connect(&viewer, &ReportViewer::pagesArrived, &viewer, [&](int, bool) {
            if (firstPageSeconds > 0) return;
            QPdfDocument* doc = viewer.pdfView()->document();
            while (doc->status() == QPdfDocument::Status::Loading) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            const QImage image = doc->render(0, (doc->pagePointSize(0) * 96.0 / 72.0).toSize());
            firstPageSeconds = t.nsecsElapsed() / 1e9;
            if (image.isNull()) std::fprintf(stderr, "page 1 did not render\n");
        });
        viewer.viewReport();
        wholeSeconds = t.nsecsElapsed() / 1e9;
    }

    std::printf("Table report, %d pages of %d rows x 6 cells, US Letter\n", pages, kRowsPerPage);
    print("report engine (layout + PDF)", eng);
    std::printf("%-44s %7.0f pages/s  (layout alone %.3f s)\n", "", eng.pages / layoutSeconds, layoutSeconds);
    print("(a) libharu, same cells, no layout", direct);
    if (rl.pages > 0) print("(b) ReportLab table layout", rl);
    std::printf("engine / (b):  %.2f x faster\n", rl.seconds > 0 ? rl.seconds / eng.seconds * eng.pages / rl.pages : 0.0);
    std::printf("engine vs (a): %.2f x the time of the direct writer\n",
                direct.seconds > 0 ? eng.seconds / direct.seconds * direct.pages / eng.pages : 0.0);
    std::printf("viewer: page 1 shown after %.3f s, the whole report after %.3f s\n", firstPageSeconds, wholeSeconds);
    return 0;
}
