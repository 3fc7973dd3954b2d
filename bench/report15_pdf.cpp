// Layout and PDF speed on the Personnel Time Report (report 15) of the
// scale-25 sample, every office, the whole two weeks, side by side in one run:
//   - the report engine laying the report out from its rows and writing the
//     PDF (glyph runs, fonts subset per document): what a preview or a print costs;
//   - the program's PDF writer alone on the laid-out pages;
//   - libharu writing the same laid-out texts, lines and boxes with the whole
//     fonts embedded in Windows-1252 (the bare PDF library);
// and the share of the writer's time that subsetting the fonts takes. The
// rows are fetched once, before any clock; every side runs warm. Last, the
// time from the fetched rows to page 1 drawn in the viewer, which shows the
// first pages while the rest are laid out, against the whole report shown.
//
//   bench_report15_pdf [scale] [runs]      (defaults 25 and 3; medians shown)
#include "data/demo/demo_database.h"
#include "shell/buildreport.h"
#include "reports/catalogue/officenodes.h"
#include "reports/printing/printer.h"
#include "reports/engine/font_metrics.h"
#include "reports/engine/pdf_writer.h"
#include "reports/engine/truetype_subset.h"
#include "reports/output/report_viewer.h"

#include <QElapsedTimer>
#include <QApplication>
#include <QPdfDocument>
#include <QPdfView>
#include <QTemporaryDir>

#include <hpdf.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

using namespace quillon;
using namespace quillon::reports;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The same primitives through libharu; characters outside Windows-1252 become '?'.
QByteArray libharuPdf(const Document& doc)
{
    HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    std::map<int, HPDF_Font> fonts;
    for (const Page& page : doc.pages) {
        HPDF_Page p = HPDF_AddPage(pdf);
        HPDF_Page_SetWidth(p, HPDF_REAL(page.width));
        HPDF_Page_SetHeight(p, HPDF_REAL(page.height));
        for (const Primitive& it : page.items) {
            if (it.kind == Primitive::Text) {
                auto f = fonts.find(it.font);
                if (f == fonts.end()) {
                    const QByteArray path = FontLibrary::instance().face(it.font).path().toLocal8Bit();
                    f = fonts.emplace(it.font, HPDF_GetFont(pdf, HPDF_LoadTTFontFromFile(pdf, path.constData(), HPDF_TRUE),
                                                            "WinAnsiEncoding")).first;
                }
                HPDF_Page_BeginText(p);
                HPDF_Page_SetFontAndSize(p, f->second, HPDF_REAL(it.size));
                const double base = page.height - it.y - FontLibrary::instance().face(it.font).ascent(it.size);
                HPDF_Page_TextOut(p, HPDF_REAL(it.x), HPDF_REAL(base), it.text.toLatin1().constData());
                HPDF_Page_EndText(p);
            } else if (it.kind == Primitive::Line) {
                HPDF_Page_SetLineWidth(p, HPDF_REAL(it.lineWidth));
                HPDF_Page_MoveTo(p, HPDF_REAL(it.x), HPDF_REAL(page.height - it.y));
                HPDF_Page_LineTo(p, HPDF_REAL(it.x + it.w), HPDF_REAL(page.height - it.y - it.h));
                HPDF_Page_Stroke(p);
            } else if (it.stroked || it.filled) {
                HPDF_Page_Rectangle(p, HPDF_REAL(it.x), HPDF_REAL(page.height - it.y - it.h), HPDF_REAL(it.w), HPDF_REAL(it.h));
                if (it.filled) HPDF_Page_Fill(p);
                else HPDF_Page_Stroke(p);
            }
        }
    }
    HPDF_SaveToStream(pdf);
    QByteArray out(qsizetype(HPDF_GetStreamSize(pdf)), Qt::Uninitialized);
    HPDF_UINT32 size = HPDF_UINT32(out.size());
    HPDF_ReadFromStream(pdf, reinterpret_cast<HPDF_BYTE*>(out.data()), &size);
    HPDF_Free(pdf);
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int scale = argc > 1 ? std::max(1, atoi(argv[1])) : 25;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    qputenv("QUILLON_TEMPLATE_DIR", QByteArray(QUILLON_BUILD_DIR "/app"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.db"));
    demo::DemoOptions options;
    options.scale = scale;
    demo::createDemoDatabase(path, options);
    Connection db;
    db.openEmbedded(path);

    ScriptedDialogs dialogs;
    App a(dialogs, std::make_shared<reports::FolderPrinter>(dir.path()));
    a.attachConnection(db);
    a.state.ReportNumber = 15;
    a.state.SelectedIncidentId = 1;
    a.state.ReportStartDate = QDate(2026, 7, 14);
    a.state.ReportEndDate = QDate(2026, 7, 27);
    OfficeNodeList offices;
    const RecordsetPtr fax = db.openRecordset(QStringLiteral("Select Distinct FaxPhone From Persons Where length(FaxPhone) = 10"));
    for (int r = 0; r < fax->recordCount(); ++r) offices.add(fax->at(r, 0).toString(), true);
    a.setOfficeNodes(&offices);
    std::int32_t key = 0;
    if (!BuildReport(a, key)) {
        std::fprintf(stderr, "report 15 was not built\n");
        return 1;
    }
    // The pages libharu writes: laid out once, kept apart from the engine's runs.
    const Document doc = a.state.OpenReport->render();

    // The glyphs each face prints, for timing the subsetting alone.
    std::map<const FontFace*, std::set<int>> glyphs;
    for (const Page& page : doc.pages)
        for (const Primitive& p : page.items)
            for (char32_t c : p.text.toUcs4()) {
                const FontFace::Glyph g = FontLibrary::instance().face(p.font).resolve(c);
                glyphs[g.face].insert(g.glyph);
            }

    std::vector<double> engine, ours, libharu, subset;
    qint64 ourBytes = 0, libharuBytes = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        {
            // A fresh layout from the same bound rows (a new print date drops the kept one).
            ReportPtr again = a.state.OpenReport;
            again->setPrintDate(QDate::currentDate().addDays(i % 2));
            const QByteArray pdf = PdfWriter::toPdf(again->render());
            if (pdf.isEmpty()) return 1;
        }
        engine.push_back(t.nsecsElapsed() / 1e9);
        t.restart();
        ourBytes = PdfWriter::toPdf(doc).size();
        ours.push_back(t.nsecsElapsed() / 1e9);
        t.restart();
        libharuBytes = libharuPdf(doc).size();
        libharu.push_back(t.nsecsElapsed() / 1e9);
        t.restart();
        for (const auto& [face, set] : glyphs) subsetTrueType(face->data(), std::vector<int>(set.begin(), set.end()));
        subset.push_back(t.nsecsElapsed() / 1e9);
    }
    // The preview: rows bound, a fresh layout, page 1 drawn as soon as it shows.
    double firstPage = 0, wholeShown = 0;
    {
        ReportPtr r = a.state.OpenReport;
        r->setPrintDate(QDate::currentDate().addDays(7));
        ReportViewer viewer;
        viewer.setReportSource(r);
        QElapsedTimer t;
        QObject::connect(&viewer, &ReportViewer::pagesArrived, &viewer, [&](int, bool) {
            if (firstPage > 0) return;
            QPdfDocument* pdf = viewer.pdfView()->document();
            while (pdf->status() == QPdfDocument::Status::Loading) QCoreApplication::processEvents();
            if (pdf->render(0, (pdf->pagePointSize(0) * 96.0 / 72.0).toSize()).isNull()) std::fprintf(stderr, "page 1 not drawn\n");
            firstPage = t.nsecsElapsed() / 1e9;
        });
        t.start();
        viewer.viewReport();
        wholeShown = t.nsecsElapsed() / 1e9;
    }

    const int pages = doc.pageCount();
    std::printf("Personnel Time Report, scale %d: %d pages, median of %d runs\n", scale, pages, runs);
    std::printf("%-46s %8.0f pages/s\n", "report engine, layout + PDF", pages / median(engine));
    std::printf("%-46s %8.0f pages/s  %6.2f kB/page\n", "PDF writer alone (fonts subset)", pages / median(ours),
                ourBytes / 1024.0 / pages);
    std::printf("%-46s %8.0f pages/s  %6.2f kB/page\n", "libharu, same texts, whole fonts", pages / median(libharu),
                libharuBytes / 1024.0 / pages);
    std::printf("layout + PDF / libharu pages per second: %.2f (goal: at least 0.80)\n", median(libharu) / median(engine));
    std::printf("writer alone / libharu pages per second: %.2f\n", median(libharu) / median(ours));
    std::printf("viewer: page 1 drawn %.3f s after the rows were fetched; the whole report shown after %.3f s\n",
                firstPage, wholeShown);
    std::printf("subsetting: %.4f s, %.1f%% of the writer's time\n", median(subset), 100 * median(subset) / median(ours));
    return 0;
}
