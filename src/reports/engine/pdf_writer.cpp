#include "reports/engine/pdf_writer.h"

#include "data/dberror.h"
#include "reports/engine/font_metrics.h"

#include <QFile>
#include <QSaveFile>

#include <hpdf.h>

#include <cmath>
#include <map>

namespace quillon::reports {

namespace {

struct HpdfError {
    HPDF_STATUS error = 0;
    HPDF_STATUS detail = 0;
};

void HPDF_STDCALL onError(HPDF_STATUS error, HPDF_STATUS detail, void* user)
{
    auto* e = static_cast<HpdfError*>(user);
    if (e->error == 0) {
        e->error = error;
        e->detail = detail;
    }
}

// Owns a libharu document.
class HpdfDoc {
public:
    HpdfDoc() : m_doc(HPDF_New(onError, &m_error))
    {
        if (!m_doc) throw DbError(ErrorNumber::Generic, QStringLiteral("The PDF writer could not start"), source());
    }
    ~HpdfDoc() { HPDF_Free(m_doc); }
    HpdfDoc(const HpdfDoc&) = delete;
    HpdfDoc& operator=(const HpdfDoc&) = delete;

    HPDF_Doc get() const { return m_doc; }
    void check(const char* what) const
    {
        if (m_error.error != 0)
            throw DbError(ErrorNumber::Generic,
                          QStringLiteral("The PDF writer failed while %1 (libharu error 0x%2, detail %3)")
                              .arg(QLatin1String(what))
                              .arg(qulonglong(m_error.error), 4, 16, QLatin1Char('0'))
                              .arg(qulonglong(m_error.detail)),
                          source());
    }
    static QString source() { return QStringLiteral("PDF writer"); }

private:
    HpdfError m_error;
    HPDF_Doc m_doc;
};

float red(QRgb c) { return qRed(c) / 255.0f; }
float green(QRgb c) { return qGreen(c) / 255.0f; }
float blue(QRgb c) { return qBlue(c) / 255.0f; }

// Draws one page, setting graphics state only when it changes.
class PagePainter {
public:
    PagePainter(HPDF_Page page, double height, const std::map<int, HPDF_Font>& fonts)
        : m_page(page), m_height(height), m_fonts(fonts) {}

    void draw(const Primitive& p)
    {
        switch (p.kind) {
        case Primitive::Text: text(p); break;
        case Primitive::Line: line(p); break;
        case Primitive::Rect: rect(p); break;
        }
    }

    void finish() { endText(); }

private:
    void beginText()
    {
        if (!m_inText) {
            HPDF_Page_BeginText(m_page);
            m_inText = true;
        }
    }
    void endText()
    {
        if (m_inText) {
            HPDF_Page_EndText(m_page);
            m_inText = false;
        }
    }

    void fillColor(QRgb c)
    {
        if (c != m_fill) {
            HPDF_Page_SetRGBFill(m_page, red(c), green(c), blue(c));
            m_fill = c;
        }
    }
    void strokeColor(QRgb c)
    {
        if (c != m_stroke) {
            HPDF_Page_SetRGBStroke(m_page, red(c), green(c), blue(c));
            m_stroke = c;
        }
    }
    void lineWidth(double w)
    {
        if (w != m_lineWidth) {
            HPDF_Page_SetLineWidth(m_page, HPDF_REAL(w));
            m_lineWidth = w;
        }
    }

    void text(const Primitive& p)
    {
        const QByteArray bytes = toWinAnsi(p.text);
        if (bytes.isEmpty()) return;
        beginText();
        if (p.font != m_font || p.size != m_size) {
            HPDF_Page_SetFontAndSize(m_page, m_fonts.at(p.font), HPDF_REAL(p.size));
            m_font = p.font;
            m_size = p.size;
        }
        fillColor(p.color);
        const double baseline = p.y + FontLibrary::instance().face(p.font).ascent(p.size);
        if (p.angle != 0) {
            const double a = p.angle * M_PI / 180.0;
            const double c = std::cos(a), s = std::sin(a);
            HPDF_Page_SetTextMatrix(m_page, HPDF_REAL(c), HPDF_REAL(s), HPDF_REAL(-s), HPDF_REAL(c), HPDF_REAL(p.x),
                                    HPDF_REAL(m_height - baseline));
            HPDF_Page_ShowText(m_page, bytes.constData());
            HPDF_Page_SetTextMatrix(m_page, 1, 0, 0, 1, 0, 0);
        } else {
            HPDF_Page_TextOut(m_page, HPDF_REAL(p.x), HPDF_REAL(m_height - baseline), bytes.constData());
        }
    }

    void line(const Primitive& p)
    {
        endText();
        lineWidth(p.lineWidth);
        strokeColor(p.color);
        HPDF_Page_MoveTo(m_page, HPDF_REAL(p.x), HPDF_REAL(m_height - p.y));
        HPDF_Page_LineTo(m_page, HPDF_REAL(p.x + p.w), HPDF_REAL(m_height - p.y - p.h));
        HPDF_Page_Stroke(m_page);
    }

    void rect(const Primitive& p)
    {
        if (!p.filled && !p.stroked) return;
        endText();
        if (p.stroked) {
            lineWidth(p.lineWidth);
            strokeColor(p.color);
        }
        if (p.filled) fillColor(p.fill);
        HPDF_Page_Rectangle(m_page, HPDF_REAL(p.x), HPDF_REAL(m_height - p.y - p.h), HPDF_REAL(p.w), HPDF_REAL(p.h));
        if (p.filled && p.stroked) HPDF_Page_FillStroke(m_page);
        else if (p.filled) HPDF_Page_Fill(m_page);
        else HPDF_Page_Stroke(m_page);
    }

    HPDF_Page m_page;
    double m_height;
    const std::map<int, HPDF_Font>& m_fonts;
    bool m_inText = false;
    int m_font = -1;
    double m_size = -1;
    QRgb m_fill = 0xff000000, m_stroke = 0xff000000;
    double m_lineWidth = 1;
};

}  // namespace

QByteArray PdfWriter::toPdf(const Document& doc)
{
    HpdfDoc pdf;
    HPDF_SetCompressionMode(pdf.get(), HPDF_COMP_ALL);
    HPDF_SetInfoAttr(pdf.get(), HPDF_INFO_CREATOR, "Quillon");
    if (!doc.title.isEmpty()) HPDF_SetInfoAttr(pdf.get(), HPDF_INFO_TITLE, toWinAnsi(doc.title).constData());
    pdf.check("starting the document");

    std::map<int, HPDF_Font> fonts;
    for (const Page& page : doc.pages)
        for (const Primitive& p : page.items)
            if (p.kind == Primitive::Text && !fonts.count(p.font)) fonts[p.font] = nullptr;
    for (auto& [id, font] : fonts) {
        const QByteArray path = FontLibrary::instance().face(id).path().toLocal8Bit();
        const char* name = HPDF_LoadTTFontFromFile(pdf.get(), path.constData(), HPDF_TRUE);
        pdf.check("embedding a font");
        font = HPDF_GetFont(pdf.get(), name, "WinAnsiEncoding");
        pdf.check("embedding a font");
    }

    for (const Page& page : doc.pages) {
        HPDF_Page p = HPDF_AddPage(pdf.get());
        HPDF_Page_SetWidth(p, HPDF_REAL(page.width));
        HPDF_Page_SetHeight(p, HPDF_REAL(page.height));
        PagePainter painter(p, page.height, fonts);
        for (const Primitive& item : page.items) painter.draw(item);
        painter.finish();
        pdf.check("drawing a page");
    }
    if (doc.pages.empty()) {
        // A PDF needs a page; an empty report gives one blank page.
        HPDF_Page p = HPDF_AddPage(pdf.get());
        HPDF_Page_SetWidth(p, 612);
        HPDF_Page_SetHeight(p, 792);
    }

    HPDF_SaveToStream(pdf.get());
    pdf.check("saving");
    QByteArray out;
    out.resize(qsizetype(HPDF_GetStreamSize(pdf.get())));
    HPDF_UINT32 size = HPDF_UINT32(out.size());
    HPDF_ReadFromStream(pdf.get(), reinterpret_cast<HPDF_BYTE*>(out.data()), &size);
    out.resize(size);
    pdf.check("saving");
    return out;
}

void PdfWriter::writeFile(const Document& doc, const QString& path)
{
    const QByteArray bytes = toPdf(doc);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw DbError(ErrorNumber::FileNotFound,
                      QStringLiteral("The PDF file %1 cannot be written: %2").arg(path, f.errorString()),
                      QStringLiteral("PDF writer"));
}

}  // namespace quillon::reports
