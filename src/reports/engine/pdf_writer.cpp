#include "reports/engine/pdf_writer.h"

#include "data/dberror.h"
#include "reports/engine/font_metrics.h"
#include "reports/engine/text_shaper.h"
#include "reports/engine/truetype_subset.h"

#include <QCryptographicHash>
#include <QSaveFile>

#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <unordered_map>

namespace quillon::reports {

namespace {

// Appends a number with at most `decimals` decimals, no trailing zeros, to
// a QByteArray or (a page's content) a std::string.
template <typename Out>
void num(Out& out, double v, int decimals = 2)
{
    const long long scale = decimals == 3 ? 1000 : 100;
    long long r = std::llround(v * double(scale));
    if (r < 0) {
        out += '-';
        r = -r;
    }
    // Written into a buffer first: pages hold many numbers, each appended once.
    char buf[32];
    char* end = std::to_chars(buf, buf + 24, r / scale).ptr;
    long long frac = r % scale;
    if (frac != 0) {
        *end++ = '.';
        for (long long d = scale / 10; d > 0 && frac > 0; d /= 10) {
            *end++ = char('0' + frac / d);
            frac %= d;
        }
    }
    out.append(buf, end - buf);
}

template <typename Out>
void integer(Out& out, long long v)
{
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr - buf);
}

template <typename Out>
void hex4(Out& out, unsigned v)
{
    static const char digits[] = "0123456789ABCDEF";
    const char four[4] = {digits[(v >> 12) & 15], digits[(v >> 8) & 15], digits[(v >> 4) & 15], digits[v & 15]};
    out.append(four, 4);
}

// A text string as PDF wants it for document information: UTF-16 with a byte order mark.
QByteArray textString(const QString& s)
{
    QByteArray out = "<FEFF";
    for (QChar c : s) hex4(out, c.unicode());
    out += '>';
    return out;
}

QByteArray deflate(const QByteArray& data)
{
    // qCompress puts the length in front of a zlib stream; PDF wants the stream alone.
    return qCompress(data).sliced(4);
}

// One embedded face: the glyphs printed with it, renumbered from 0 in the
// order they were first met, and the character each stands for.
struct FontUse {
    const FontFace* face = nullptr;
    int resource = 0;                      // /F<resource>
    std::vector<int> glyphs{0};            // original glyph of each new number; 0 is the missing-glyph box
    std::vector<char32_t> chars{0};        // character of each new number
    std::unordered_map<int, int> index{{0, 0}};
    std::unordered_map<int, QString> texts;   // new numbers that stand for more than one character

    int glyph(int original, char32_t c)
    {
        // A character no face has prints as the missing-glyph box, a box of
        // its own so that text extraction still returns the character.
        const int key = original == 0 ? -int(c) - 1 : original;
        const auto [it, inserted] = index.emplace(key, int(glyphs.size()));
        if (inserted) {
            glyphs.push_back(original);
            chars.push_back(c);
        } else if (chars[size_t(it->second)] == 0) {
            chars[size_t(it->second)] = c;   // first met inside a cluster, now with its character
        }
        return it->second;
    }
    // A shaped glyph and the characters it stands for (none for the further
    // glyphs of a cluster, several for a ligature).
    int shapedGlyph(int original, const QString& text)
    {
        const QList<uint> ucs = text.toUcs4();
        const int n = glyph(original, ucs.isEmpty() ? 0 : char32_t(ucs.first()));
        if (ucs.size() > 1 && original != 0) texts.emplace(n, text);
        return n;
    }
};

class PdfBuilder {
public:
    PdfBuilder() = default;
    // Writes to `device` as it goes instead of keeping the bytes.
    explicit PdfBuilder(QIODevice* device) : m_device(device) {}

    int reserve()
    {
        m_offsets.push_back(-1);
        return int(m_offsets.size());
    }
    void object(int id, const QByteArray& body)
    {
        begin(id);
        m_out += body;
        m_out += "\nendobj\n";
    }
    void stream(int id, const QByteArray& dict, const QByteArray& data, bool compress = true)
    {
        const QByteArray bytes = compress ? deflate(data) : data;
        begin(id);
        m_out += "<<";
        m_out += dict;
        if (compress) m_out += "/Filter/FlateDecode";
        m_out += "/Length " + QByteArray::number(bytes.size()) + ">>\nstream\n";
        m_out += bytes;
        m_out += "\nendstream\nendobj\n";
        if (m_device && m_out.size() >= (1 << 20)) flush();
    }
    QByteArray finish(int root, int info)
    {
        const qsizetype xref = m_base + m_out.size();
        m_out += "xref\n0 " + QByteArray::number(m_offsets.size() + 1) + "\n0000000000 65535 f \n";
        for (qsizetype off : m_offsets) {
            // An object reserved and never written (a page-number field a
            // provisional ending left out) is a free entry.
            if (off < 0) {
                m_out += "0000000000 65535 f \n";
                continue;
            }
            m_out += QByteArray::number(off).rightJustified(10, '0');
            m_out += " 00000 n \n";
        }
        m_out += "trailer\n<</Size " + QByteArray::number(m_offsets.size() + 1) + "/Root " + ref(root)
                 + "/Info " + ref(info) + ">>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        if (m_device) {
            flush();
            return QByteArray();
        }
        return std::move(m_out);
    }
    static QByteArray ref(int id) { return QByteArray::number(id) + " 0 R"; }
    bool failed() const { return m_failed; }
    // A builder in memory going on where this one, writing to a device,
    // stands: what this one holds is written to the device first, and the
    // continuation's bytes follow the device's (same object numbers, offsets
    // counted from the device's start). This builder goes on unchanged.
    PdfBuilder continuation()
    {
        Q_ASSERT(m_device);
        flush();
        PdfBuilder next;
        next.m_out.clear();
        next.m_offsets = m_offsets;
        next.m_base = m_base;
        return next;
    }

private:
    void begin(int id)
    {
        m_offsets[id - 1] = m_base + m_out.size();
        m_out += QByteArray::number(id) + " 0 obj\n";
    }
    void flush()
    {
        if (m_device->write(m_out) != m_out.size()) m_failed = true;
        m_base += m_out.size();
        m_out.clear();
    }

    QByteArray m_out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<qsizetype> m_offsets;
    QIODevice* m_device = nullptr;
    qsizetype m_base = 0;   // bytes already written to the device
    bool m_failed = false;
};

class Fonts {
public:
    FontUse& use(const FontFace* face)
    {
        auto it = m_byFace.find(face);
        if (it != m_byFace.end()) return m_uses[it->second];
        m_byFace[face] = m_uses.size();
        FontUse u;
        u.face = face;
        u.resource = int(m_uses.size()) + 1;
        m_uses.push_back(std::move(u));
        return m_uses.back();
    }
    std::vector<FontUse>& all() { return m_uses; }

    // A shaped glyph of `face`: which embedded face, which new number.
    std::pair<int, int> shaped(const FontFace* face, int glyph, const QString& text)
    {
        FontUse& u = use(face);
        return {u.resource - 1, u.shapedGlyph(glyph, text)};
    }

    // The glyphs of `fontId` already met for the first 256 characters, to
    // pass to glyph(): looked up once for a text, not once a character.
    std::vector<int>& latin(int fontId)
    {
        auto& cache = m_latin[fontId];
        if (cache.empty()) cache.assign(256, -1);
        return cache;
    }

    // The run of glyphs printing `c` in `fontId`: which embedded face, which new number.
    std::pair<int, int> glyph(std::vector<int>& cache, int fontId, char32_t c)
    {
        if (c < 256 && cache[c] >= 0) return {cache[c] >> 16, cache[c] & 0xffff};
        const FontFace::Glyph g = FontLibrary::instance().face(fontId).resolve(c);
        FontUse& u = use(g.face);
        const int n = u.glyph(g.glyph, c < 0x20 ? U' ' : c);
        const int useIndex = u.resource - 1;
        if (c < 256) cache[c] = (useIndex << 16) | n;
        return {useIndex, n};
    }

private:
    std::vector<FontUse> m_uses;   // std::vector: callers hold no references across use()
    std::map<const FontFace*, size_t> m_byFace;
    std::map<int, std::vector<int>> m_latin;
};

float channel(int v) { return v / 255.0f; }

template <typename Out>
void rgb(Out& out, QRgb c, const char* op)
{
    num(out, channel(qRed(c)), 3);
    out += ' ';
    num(out, channel(qGreen(c)), 3);
    out += ' ';
    num(out, channel(qBlue(c)), 3);
    out += ' ';
    out += op;
    out += '\n';
}

// Draws one page's content, setting graphics state only when it changes.
class PagePainter {
public:
    PagePainter(double height, Fonts& fonts) : m_height(height), m_fonts(fonts) { m_out.reserve(8192); }

    QByteArray content()
    {
        endText();
        const QByteArray out(m_out.data(), qsizetype(m_out.size()));
        m_out.clear();
        return out;
    }

    // Draws the form object /D<slot> (a page-number field written at the end).
    void form(int slot)
    {
        endText();
        m_out += "/D";
        integer(m_out, slot);
        m_out += " Do\n";
    }
    // A form object inherits the state of the page that draws it: set every
    // part of the state it uses.
    void assumeNothing()
    {
        m_fill = m_stroke = 0;
        m_lineWidth = -1;
    }

    void draw(const Primitive& p)
    {
        switch (p.kind) {
        case Primitive::Text: text(p); break;
        case Primitive::Line: line(p); break;
        case Primitive::Rect: rect(p); break;
        }
    }

private:
    void beginText()
    {
        if (!m_inText) {
            m_out += "BT\n";
            m_inText = true;
        }
    }
    void endText()
    {
        if (m_inText) {
            m_out += "ET\n";
            m_inText = false;
        }
    }
    void fillColor(QRgb c)
    {
        if (c != m_fill) {
            rgb(m_out, c, "rg");
            m_fill = c;
        }
    }
    void strokeColor(QRgb c)
    {
        if (c != m_stroke) {
            rgb(m_out, c, "RG");
            m_stroke = c;
        }
    }
    void lineWidth(double w)
    {
        if (w != m_lineWidth) {
            num(m_out, w);
            m_out += " w\n";
            m_lineWidth = w;
        }
    }

    void setFont(int font, double size)
    {
        m_out += "/F";
        integer(m_out, font + 1);
        m_out += ' ';
        num(m_out, size);
        m_out += " Tf\n";
        m_font = font;
        m_size = size;
    }

    // Shaped text: the glyphs in visual order in one TJ array, each placed
    // where shaping puts it (advance and offset adjustments, a raised mark
    // by text rise), the characters mapped back through the fonts' ToUnicode.
    void shapedText(const Primitive& p)
    {
        bool inArray = false, inString = false;
        int rise = 0;
        auto closeString = [&] {
            if (inString) m_out += '>';
            inString = false;
        };
        auto closeArray = [&] {
            closeString();
            if (inArray) m_out += "]TJ\n";
            inArray = false;
        };
        auto adjust = [&](int thousandths) {
            if (thousandths == 0) return;
            closeString();
            m_out += ' ';
            integer(m_out, thousandths);
            m_out += ' ';
        };
        for (const ShapedGlyph& g : shapeText(FontLibrary::instance().face(p.font), p.text)) {
            const auto [font, glyph] = m_fonts.shaped(g.face, g.glyph, g.text);
            if (font != m_font || p.size != m_size) {
                closeArray();
                setFont(font, p.size);
            }
            if (g.yOffset != rise) {
                closeArray();
                num(m_out, g.yOffset * p.size / 1000.0);
                m_out += " Ts\n";
                rise = g.yOffset;
            }
            if (!inArray) m_out += '[';
            inArray = true;
            adjust(-g.xOffset);
            if (!inString) m_out += '<';
            inString = true;
            hex4(m_out, unsigned(glyph));
            adjust(g.face->glyphWidth(g.glyph) + g.xOffset - g.advance);
        }
        closeArray();
        if (rise != 0) m_out += "0 Ts\n";
    }

    void text(const Primitive& p)
    {
        if (p.text.isEmpty()) return;
        beginText();
        fillColor(p.color);
        const double baseline = m_height - p.y - FontLibrary::instance().face(p.font).ascent(p.size);
        if (p.angle != 0) {
            const double a = p.angle * M_PI / 180.0;
            const double c = std::cos(a), s = std::sin(a);
            num(m_out, c, 3), m_out += ' ', num(m_out, s, 3), m_out += ' ', num(m_out, -s, 3), m_out += ' ';
            num(m_out, c, 3), m_out += ' ';
        } else {
            m_out += "1 0 0 1 ";
        }
        num(m_out, p.x), m_out += ' ', num(m_out, baseline), m_out += " Tm\n";
        if (needsShaping(p.text)) return shapedText(p);

        const qsizetype n = p.text.size();
        const QChar* s = p.text.constData();
        std::vector<int>& latin = m_fonts.latin(p.font);
        bool open = false;
        for (qsizetype i = 0; i < n; ++i) {
            char32_t c = s[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < n && s[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(s[i].unicode(), s[i + 1].unicode());
                ++i;
            }
            const auto [font, glyph] = m_fonts.glyph(latin, p.font, c);
            if (font != m_font || p.size != m_size) {
                if (open) m_out += "> Tj\n";
                open = false;
                setFont(font, p.size);
            }
            if (!open) {
                m_out += '<';
                open = true;
            }
            hex4(m_out, unsigned(glyph));
        }
        if (open) m_out += "> Tj\n";
    }

    void line(const Primitive& p)
    {
        endText();
        lineWidth(p.lineWidth);
        strokeColor(p.color);
        num(m_out, p.x), m_out += ' ', num(m_out, m_height - p.y), m_out += " m ";
        num(m_out, p.x + p.w), m_out += ' ', num(m_out, m_height - p.y - p.h), m_out += " l S\n";
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
        num(m_out, p.x), m_out += ' ', num(m_out, m_height - p.y - p.h), m_out += ' ';
        num(m_out, p.w), m_out += ' ', num(m_out, p.h), m_out += " re ";
        m_out += p.filled && p.stroked ? "B\n" : p.filled ? "f\n" : "S\n";
    }

    std::string m_out;
    double m_height;
    Fonts& m_fonts;
    bool m_inText = false;
    int m_font = -1;
    double m_size = -1;
    QRgb m_fill = 0xff000000, m_stroke = 0xff000000;
    double m_lineWidth = 1;
};

QByteArray toUnicodeCMap(const FontUse& u)
{
    QByteArray cmap =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo <</Registry (Adobe) /Ordering (UCS) /Supplement 0>> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<size_t> mapped;
    for (size_t g = 1; g < u.chars.size(); ++g)
        if (u.chars[g] != 0 || u.texts.count(int(g))) mapped.push_back(g);
    for (size_t from = 0; from < mapped.size(); from += 100) {
        const size_t to = std::min(mapped.size(), from + 100);
        cmap += QByteArray::number(qulonglong(to - from)) + " beginbfchar\n";
        for (size_t i = from; i < to; ++i) {
            const size_t g = mapped[i];
            cmap += '<';
            hex4(cmap, unsigned(g));
            cmap += "> <";
            const char32_t c = u.chars[g];
            if (const auto t = u.texts.find(int(g)); t != u.texts.end()) {
                for (QChar unit : t->second) hex4(cmap, unit.unicode());
            } else if (c > 0xFFFF) {
                hex4(cmap, QChar::highSurrogate(c));
                hex4(cmap, QChar::lowSurrogate(c));
            } else {
                hex4(cmap, unsigned(c));
            }
            cmap += ">\n";
        }
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return cmap;
}

// Six capital letters naming a subset, the same for the same glyphs.
QByteArray subsetTag(const FontUse& u)
{
    QCryptographicHash h(QCryptographicHash::Md5);
    h.addData(u.face->postScriptName().toUtf8());
    for (int g : u.glyphs) h.addData(QByteArrayView(reinterpret_cast<const char*>(&g), sizeof g));
    const QByteArray d = h.result();
    QByteArray tag;
    for (int i = 0; i < 6; ++i) tag += char('A' + std::uint8_t(d[i]) % 26);
    return tag;
}

void writeFont(PdfBuilder& pdf, const FontUse& u, int type0)
{
    const FontFace& face = *u.face;
    const int cid = pdf.reserve(), descriptor = pdf.reserve(), file = pdf.reserve(), unicode = pdf.reserve();
    const QByteArray name = '/' + subsetTag(u) + '+' + face.postScriptName().toLatin1();

    pdf.object(type0, "<</Type/Font/Subtype/Type0/BaseFont" + name + "/Encoding/Identity-H/DescendantFonts["
                          + PdfBuilder::ref(cid) + "]/ToUnicode " + PdfBuilder::ref(unicode) + ">>");
    QByteArray widths = "[0[";
    for (size_t g = 0; g < u.glyphs.size(); ++g) {
        if (g) widths += ' ';
        widths += QByteArray::number(face.glyphWidth(u.glyphs[g]));
    }
    widths += "]]";
    pdf.object(cid, "<</Type/Font/Subtype/CIDFontType2/BaseFont" + name
                        + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor "
                        + PdfBuilder::ref(descriptor) + "/DW 1000/W" + widths + "/CIDToGIDMap/Identity>>");
    const auto box = face.bbox();
    QByteArray desc = "<</Type/FontDescriptor/FontName" + name + "/Flags 32/FontBBox[";
    for (int i = 0; i < 4; ++i) desc += (i ? " " : "") + QByteArray::number(box[i]);
    desc += "]/ItalicAngle ";
    num(desc, face.italicAngle());
    desc += "/Ascent " + QByteArray::number(qRound(face.ascent(1000))) + "/Descent "
            + QByteArray::number(-qRound(face.descent(1000))) + "/CapHeight " + QByteArray::number(face.capHeight())
            + "/StemV 80/FontFile2 " + PdfBuilder::ref(file) + ">>";
    pdf.object(descriptor, desc);
    const TrueTypeSubset subset = subsetTrueType(face.data(), u.glyphs);
    pdf.stream(file, "/Length1 " + QByteArray::number(subset.font.size()), subset.font);
    pdf.stream(unicode, QByteArray(), toUnicodeCMap(u));
}

// Writes every font used and returns the font dictionary naming them
// (/F1, /F2 ... as the pages call them).
QByteArray writeFonts(PdfBuilder& pdf, Fonts& fonts)
{
    QByteArray dict = "<<";
    std::vector<int> type0;
    for (const FontUse& u : fonts.all()) {
        type0.push_back(pdf.reserve());
        dict += "/F" + QByteArray::number(u.resource) + ' ' + PdfBuilder::ref(type0.back());
    }
    dict += ">>";
    for (size_t i = 0; i < fonts.all().size(); ++i) writeFont(pdf, fonts.all()[i], type0[i]);
    return dict;
}

}  // namespace

QByteArray PdfWriter::toPdf(const Document& doc)
{
    PdfBuilder pdf;
    const int catalog = pdf.reserve(), pages = pdf.reserve(), resources = pdf.reserve(), info = pdf.reserve();
    Fonts fonts;

    QByteArray kids;
    auto addPage = [&](double width, double height, const QByteArray& content) {
        const int page = pdf.reserve(), contents = pdf.reserve();
        QByteArray box = "[0 0 ";
        num(box, width), box += ' ', num(box, height), box += ']';
        pdf.object(page, "<</Type/Page/Parent " + PdfBuilder::ref(pages) + "/MediaBox" + box + "/Resources "
                             + PdfBuilder::ref(resources) + "/Contents " + PdfBuilder::ref(contents) + ">>");
        pdf.stream(contents, QByteArray(), content);
        kids += PdfBuilder::ref(page) + ' ';
    };
    for (const Page& page : doc.pages) {
        PagePainter painter(page.height, fonts);
        for (const Primitive& item : page.items) painter.draw(item);
        addPage(page.width, page.height, painter.content());
    }
    // A PDF needs a page; an empty report gives one blank page.
    if (doc.pages.empty()) addPage(612, 792, QByteArray());

    pdf.object(resources, "<</Font" + writeFonts(pdf, fonts) + "/ProcSet[/PDF/Text]>>");
    kids.chop(1);
    pdf.object(pages, "<</Type/Pages/Kids[" + kids + "]/Count "
                          + QByteArray::number(std::max<qsizetype>(1, qsizetype(doc.pages.size()))) + ">>");
    pdf.object(catalog, "<</Type/Catalog/Pages " + PdfBuilder::ref(pages) + ">>");
    QByteArray infoDict = "<</Creator" + textString(QStringLiteral("Quillon"));
    if (!doc.title.isEmpty()) infoDict += "/Title" + textString(doc.title);
    pdf.object(info, infoDict + ">>");
    return pdf.finish(catalog, info);
}

struct PdfStream::State {
    explicit State(QIODevice& out) : pdf(&out) {}
    PdfBuilder pdf;
    Fonts fonts;
    int catalog = pdf.reserve(), pages = pdf.reserve(), resources = pdf.reserve(), info = pdf.reserve();
    int fontDict = pdf.reserve();
    QByteArray kids;
    qsizetype pageCount = 0;
    // Each page-number field: its form object, and the height of the page it stands on.
    std::unordered_map<int, std::pair<int, double>> slots;

    void writeForm(PdfBuilder& out, int slot, const std::vector<Primitive>& items);
    void end(PdfBuilder& out, const QString& title);
};

PdfStream::PdfStream(QIODevice& out) : m(std::make_unique<State>(out)) {}

PdfStream::~PdfStream() = default;

void PdfStream::page(const Page& page, const std::vector<std::pair<int, int>>& placeholders)
{
    PagePainter painter(page.height, m->fonts);
    // A page names the forms of its own fields only: a reader checking a
    // page's resources then reads a few objects, not every page's fields.
    QByteArray forms;
    auto next = placeholders.begin();
    for (int i = 0; i < int(page.items.size()); ++i) {
        if (next != placeholders.end() && next->first == i) {
            // Kept apart from the page's own state, which the form may change.
            painter.form(next->second);
            auto& slot = m->slots[next->second];
            if (slot.first == 0) slot = {m->pdf.reserve(), page.height};
            forms += "/D" + QByteArray::number(next->second) + ' ' + PdfBuilder::ref(slot.first);
            ++next;
        } else {
            painter.draw(page.items[size_t(i)]);
        }
    }
    const int pageId = m->pdf.reserve(), contents = m->pdf.reserve();
    QByteArray box = "[0 0 ";
    num(box, page.width), box += ' ', num(box, page.height), box += ']';
    const QByteArray resources = forms.isEmpty()
        ? PdfBuilder::ref(m->resources)
        : "<</Font " + PdfBuilder::ref(m->fontDict) + "/XObject<<" + forms + ">>/ProcSet[/PDF/Text]>>";
    m->pdf.object(pageId, "<</Type/Page/Parent " + PdfBuilder::ref(m->pages) + "/MediaBox" + box + "/Resources "
                              + resources + "/Contents " + PdfBuilder::ref(contents) + ">>");
    m->pdf.stream(contents, QByteArray(), painter.content());
    m->kids += PdfBuilder::ref(pageId) + ' ';
    ++m->pageCount;
}

// A page-number field's form object; nothing when no page written shows the field.
void PdfStream::State::writeForm(PdfBuilder& out, int slot, const std::vector<Primitive>& items)
{
    const auto it = slots.find(slot);
    if (it == slots.end()) return;
    PagePainter painter(it->second.second, fonts);
    painter.assumeNothing();
    for (const Primitive& p : items) painter.draw(p);
    QByteArray dict = "/Type/XObject/Subtype/Form/BBox[0 0 ";
    num(dict, 10000), dict += ' ', num(dict, 10000), dict += "]/Resources " + PdfBuilder::ref(resources);
    out.stream(it->second.first, dict, "q\n" + painter.content() + "Q\n");
}

void PdfStream::fill(int slot, const std::vector<Primitive>& items)
{
    m->writeForm(m->pdf, slot, items);
}

// The fonts and the resources naming them, the page tree, the catalogue and
// the document information.
void PdfStream::State::end(PdfBuilder& out, const QString& title)
{
    out.object(fontDict, writeFonts(out, fonts));
    out.object(resources, "<</Font " + PdfBuilder::ref(fontDict) + "/ProcSet[/PDF/Text]>>");
    out.object(pages, "<</Type/Pages/Kids[" + kids.chopped(1) + "]/Count " + QByteArray::number(pageCount) + ">>");
    out.object(catalog, "<</Type/Catalog/Pages " + PdfBuilder::ref(pages) + ">>");
    QByteArray infoDict = "<</Creator" + textString(QStringLiteral("Quillon"));
    if (!title.isEmpty()) infoDict += "/Title" + textString(title);
    out.object(info, infoDict + ">>");
}

void PdfStream::finish(const QString& title)
{
    if (m->pageCount == 0) page(Page(), {});
    m->end(m->pdf, title);
    m->pdf.finish(m->catalog, m->info);
    if (m->pdf.failed())
        throw DbError(ErrorNumber::FileAccess, QStringLiteral("The PDF could not be written whole"), QStringLiteral("PDF writer"));
}

QByteArray PdfStream::provisionalEnding(const QString& title, const std::function<void(PageSink&)>& fields)
{
    if (m->pageCount == 0) return QByteArray();
    PdfBuilder tail = m->pdf.continuation();
    if (m->pdf.failed())
        throw DbError(ErrorNumber::FileAccess, QStringLiteral("The PDF could not be written whole"), QStringLiteral("PDF writer"));
    // The fields' forms go to the ending alone, under the numbers the pages
    // name; the stream writes its own at its end.
    struct Forms : PageSink {
        PdfBuilder& out;
        State& st;
        Forms(PdfBuilder& o, State& s) : out(o), st(s) {}
        void page(const Page&, const std::vector<std::pair<int, int>>&) override {}
        void fill(int slot, const std::vector<Primitive>& items) override { st.writeForm(out, slot, items); }
    } forms(tail, *m);
    if (fields) fields(forms);
    m->end(tail, title);
    return tail.finish(m->catalog, m->info);
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
