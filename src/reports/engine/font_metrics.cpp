#include "reports/engine/font_metrics.h"

#include "data/dberror.h"
#include "reports/engine/text_shaper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace quillon::reports {

namespace {

std::uint16_t u16(const QByteArray& d, qsizetype at)
{
    if (at < 0 || at + 2 > d.size()) throw DbError(ErrorNumber::ReportTemplate, QStringLiteral("Damaged font file"));
    return std::uint16_t((std::uint8_t(d[at]) << 8) | std::uint8_t(d[at + 1]));
}

std::int16_t s16(const QByteArray& d, qsizetype at) { return std::int16_t(u16(d, at)); }

std::uint32_t u32(const QByteArray& d, qsizetype at)
{
    return (std::uint32_t(u16(d, at)) << 16) | u16(d, at + 2);
}

}  // namespace

QString printableText(const QString& text)
{
    for (QChar ch : text)
        if (ch.unicode() >= 0x300) return text.normalized(QString::NormalizationForm_C);
    return text;
}

std::shared_ptr<FontFace> FontFace::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(ErrorNumber::ReportTemplate,
                      QStringLiteral("The font file %1 cannot be opened").arg(QDir::toNativeSeparators(path)),
                      QStringLiteral("Report engine"));
    auto face = std::make_shared<FontFace>();
    face->m_path = path;
    face->m_data = f.readAll();
    face->parse(face->m_data);
    return face;
}

void FontFace::parse(const QByteArray& d)
{
    const std::uint32_t version = u32(d, 0);
    if (version != 0x00010000 && version != 0x74727565)  // TrueType outlines only
        throw DbError(ErrorNumber::ReportTemplate, QStringLiteral("%1 is not a TrueType font").arg(m_path),
                      QStringLiteral("Report engine"));
    const int numTables = u16(d, 4);
    qsizetype head = -1, hhea = -1, hmtx = -1, cmap = -1, os2 = -1, post = -1;
    for (int i = 0; i < numTables; ++i) {
        const qsizetype rec = 12 + 16 * i;
        const QByteArray tag = d.mid(rec, 4);
        const qsizetype offset = u32(d, rec + 8);
        if (tag == "head") head = offset;
        else if (tag == "hhea") hhea = offset;
        else if (tag == "hmtx") hmtx = offset;
        else if (tag == "cmap") cmap = offset;
        else if (tag == "OS/2") os2 = offset;
        else if (tag == "post") post = offset;
    }
    if (head < 0 || hhea < 0 || hmtx < 0 || cmap < 0)
        throw DbError(ErrorNumber::ReportTemplate, QStringLiteral("%1 lacks the tables text needs").arg(m_path),
                      QStringLiteral("Report engine"));

    m_unitsPerEm = u16(d, head + 18);
    if (m_unitsPerEm <= 0) m_unitsPerEm = 1000;
    const double scale = 1000.0 / m_unitsPerEm;
    m_ascender = s16(d, hhea + 4) * scale;
    m_descender = s16(d, hhea + 6) * scale;
    m_lineGap = s16(d, hhea + 8) * scale;
    for (int i = 0; i < 4; ++i) m_bbox[i] = int(std::lround(s16(d, head + 36 + 2 * i) * scale));
    m_capHeight = int(std::lround(m_ascender * 0.7));
    if (os2 >= 0 && u16(d, os2) >= 2) m_capHeight = int(std::lround(s16(d, os2 + 88) * scale));
    if (post >= 0) m_italicAngle = std::int32_t(u32(d, post + 4)) / 65536.0;
    const int numberOfHMetrics = u16(d, hhea + 34);
    m_advances.resize(numberOfHMetrics);
    for (int g = 0; g < numberOfHMetrics; ++g) m_advances[g] = u16(d, hmtx + 4 * g);

    // Character map: prefer the full Unicode table (3,10) in format 12, else (3,1) format 4.
    const int subtables = u16(d, cmap + 2);
    qsizetype fmt4 = -1, fmt12 = -1;
    for (int i = 0; i < subtables; ++i) {
        const qsizetype rec = cmap + 4 + 8 * i;
        const int platform = u16(d, rec), encoding = u16(d, rec + 2);
        const qsizetype offset = cmap + u32(d, rec + 4);
        const int format = u16(d, offset);
        if (platform == 3 && encoding == 10 && format == 12) fmt12 = offset;
        if (platform == 3 && encoding == 1 && format == 4) fmt4 = offset;
    }
    if (fmt12 >= 0) {
        const std::uint32_t groups = u32(d, fmt12 + 12);
        for (std::uint32_t i = 0; i < groups; ++i) {
            const qsizetype g = fmt12 + 16 + 12 * qsizetype(i);
            const std::uint32_t first = u32(d, g), last = u32(d, g + 4), glyph = u32(d, g + 8);
            for (std::uint32_t c = first; c <= last && c - first < 0x10000; ++c) m_cmap[c] = int(glyph + (c - first));
        }
    } else if (fmt4 >= 0) {
        const int segX2 = u16(d, fmt4 + 6);
        const qsizetype ends = fmt4 + 14, starts = ends + segX2 + 2, deltas = starts + segX2, ranges = deltas + segX2;
        for (int s = 0; s < segX2 / 2; ++s) {
            const int end = u16(d, ends + 2 * s), start = u16(d, starts + 2 * s);
            const int delta = s16(d, deltas + 2 * s);
            const int rangeOffset = u16(d, ranges + 2 * s);
            for (int c = start; c <= end && c != 0xFFFF; ++c) {
                int glyph;
                if (rangeOffset == 0) {
                    glyph = (c + delta) & 0xFFFF;
                } else {
                    const qsizetype at = ranges + 2 * s + rangeOffset + 2 * (c - start);
                    glyph = u16(d, at);
                    if (glyph != 0) glyph = (glyph + delta) & 0xFFFF;
                }
                if (glyph != 0) m_cmap[char32_t(c)] = glyph;
            }
        }
    } else {
        throw DbError(ErrorNumber::ReportTemplate, QStringLiteral("%1 has no Unicode character map").arg(m_path),
                      QStringLiteral("Report engine"));
    }

    for (int c = 0; c < 256; ++c) {
        const int glyph = lookupGlyph(char32_t(c < 0x20 ? 0x20 : c));
        m_latin[c] = std::int16_t(glyph < 0 ? -1 : glyphWidth(glyph));
    }
}

const FontFace* FontFace::fallback() const
{
    if (m_loader) {
        auto loader = std::move(m_loader);
        m_loader = nullptr;
        m_fallback = loader();
    }
    return m_fallback.get();
}

QString FontFace::postScriptName() const
{
    QString name = QFileInfo(m_path).completeBaseName();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    return name;
}

FontFace::Glyph FontFace::resolve(char32_t c) const
{
    if (c < 0x20) c = 0x20;
    for (const FontFace* f = this; f; f = f->fallback()) {
        const int g = f->lookupGlyph(c);
        if (g > 0) return {f, g};
    }
    return {this, 0};
}

int FontFace::lookupGlyph(char32_t c) const
{
    const auto it = m_cmap.find(c);
    return it == m_cmap.end() ? -1 : it->second;
}

int FontFace::glyphWidth(int glyph) const
{
    if (m_advances.empty()) return 0;
    const std::uint16_t adv = glyph < int(m_advances.size()) ? m_advances[glyph] : m_advances.back();
    return int(std::uint32_t(adv) * 1000u / std::uint32_t(m_unitsPerEm));
}

bool FontFace::hasGlyph(char32_t c) const { return lookupGlyph(c) >= 0; }

int FontFace::charWidth(char32_t c) const
{
    if (c < 256 && m_latin[c] >= 0) return m_latin[c];
    const Glyph g = resolve(c);
    return g.face->glyphWidth(g.glyph);
}

double FontFace::textWidth(const QString& text, double size) const
{
    // Measured as the PDF shows it: each character in the face that prints it.
    long units = 0;
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && s[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s[i].unicode(), s[i + 1].unicode());
            ++i;
        } else if (needsShaping(c))
            return shapedWidth(*this, text) * size / 1000.0;
        units += charWidth(c);
    }
    return units * size / 1000.0;
}

FontLibrary& FontLibrary::instance()
{
    static FontLibrary lib;
    return lib;
}

QStringList FontLibrary::searchPath() const
{
    QStringList dirs;
    const QString env = qEnvironmentVariable("QUILLON_FONT_DIR");
    if (!env.isEmpty()) dirs << env;
    if (QCoreApplication::instance()) dirs << QCoreApplication::applicationDirPath() + QStringLiteral("/fonts");
    dirs << QStringLiteral("/usr/share/fonts/truetype/liberation2") << QStringLiteral("/usr/share/fonts/truetype/liberation");
    return dirs;
}

QStringList FontLibrary::fallbackPath() const
{
    QStringList dirs;
    const QString env = qEnvironmentVariable("QUILLON_FONT_DIR");
    if (!env.isEmpty()) dirs << env;
    if (QCoreApplication::instance()) dirs << QCoreApplication::applicationDirPath() + QStringLiteral("/fonts");
    dirs << QStringLiteral("/usr/share/fonts/truetype/dejavu") << QStringLiteral("/usr/share/fonts/truetype/noto")
         << QStringLiteral("/usr/share/fonts/truetype/droid");
    return dirs;
}

// The chain of faces that carry what a report face lacks: DejaVu in the same
// family and style (Greek, Cyrillic, Armenian, Georgian, Hebrew, symbols...),
// its plain weight, then Noto for further scripts and Droid Sans Fallback for
// Chinese, Japanese and Korean, when installed. Faces are shared between the chains.
std::shared_ptr<FontFace> FontLibrary::loadFallback(const Key& key, int from)
{
    static const char* const dejavu[] = {"DejaVuSans", "DejaVuSerif", "DejaVuSansMono"};
    const QString base = QString::fromLatin1(dejavu[key.family]);
    const bool serif = key.family == Serif;
    QString style;
    if (key.bold && key.italic) style = serif ? QStringLiteral("-BoldItalic") : QStringLiteral("-BoldOblique");
    else if (key.bold) style = QStringLiteral("-Bold");
    else if (key.italic) style = serif ? QStringLiteral("-Italic") : QStringLiteral("-Oblique");
    QStringList names{base + style + QStringLiteral(".ttf"),
                            base + (key.bold ? QStringLiteral("-Bold.ttf") : QStringLiteral(".ttf")),
                            base + QStringLiteral(".ttf"),
                            QStringLiteral("DejaVuSans.ttf"),
                            QStringLiteral("NotoSans-Regular.ttf"),
                            QStringLiteral("NotoSansArmenian-Regular.ttf"),
                            QStringLiteral("NotoSansGeorgian-Regular.ttf"),
                            QStringLiteral("NotoSansHebrew-Regular.ttf"),
                            QStringLiteral("NotoSansEthiopic-Regular.ttf"),
                            QStringLiteral("NotoSansCherokee-Regular.ttf"),
                            QStringLiteral("NotoSansSymbols-Regular.ttf"),
                            QStringLiteral("NotoSansSymbols2-Regular.ttf"),
                            QStringLiteral("DroidSansFallbackFull.ttf")};
    names.removeDuplicates();   // a face never falls back on itself
    for (int i = from; i < names.size(); ++i) {
        for (const QString& dir : fallbackPath()) {
            const QString path = dir + QLatin1Char('/') + names[i];
            if (!QFileInfo::exists(path)) continue;
            std::shared_ptr<FontFace> face;
            for (const auto& [p, f] : m_fallbacks)
                if (p == path) face = f;
            if (!face) {
                try {
                    face = FontFace::load(path);
                } catch (const DbError&) {
                    break;   // a damaged fallback is skipped; the report face still prints
                }
                m_fallbacks.emplace_back(path, face);
            }
            face->setFallbackLoader([this, key, i] { return loadFallback(key, i + 1); });
            return face;
        }
    }
    return nullptr;
}

QString FontLibrary::fileName(const Key& key)
{
    static const char* const families[] = {"LiberationSans", "LiberationSerif", "LiberationMono"};
    QString style;
    if (key.bold && key.italic) style = QStringLiteral("BoldItalic");
    else if (key.bold) style = QStringLiteral("Bold");
    else if (key.italic) style = QStringLiteral("Italic");
    else style = QStringLiteral("Regular");
    return QString::fromLatin1(families[key.family]) + QLatin1Char('-') + style + QStringLiteral(".ttf");
}

FontLibrary::Key FontLibrary::keyOf(int fontId)
{
    Key k;
    k.family = Family(fontId / 4);
    k.bold = (fontId & 1) != 0;
    k.italic = (fontId & 2) != 0;
    return k;
}

QString FontLibrary::displayName(int fontId)
{
    static const char* const families[] = {"Sans", "Serif", "Mono"};
    const Key k = keyOf(fontId);
    QString name = QString::fromLatin1(families[k.family]);
    if (k.bold) name += QStringLiteral("-Bold");
    if (k.italic) name += QStringLiteral("-Italic");
    return name;
}

bool FontLibrary::parseFamily(const QString& name, Family* out)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("sans") || n == QLatin1String("liberation sans") || n == QLatin1String("arial")
        || n == QLatin1String("helvetica")) *out = Sans;
    else if (n == QLatin1String("serif") || n == QLatin1String("liberation serif") || n == QLatin1String("times")
             || n == QLatin1String("times new roman")) *out = Serif;
    else if (n == QLatin1String("mono") || n == QLatin1String("liberation mono") || n == QLatin1String("courier")
             || n == QLatin1String("courier new")) *out = Mono;
    else return false;
    return true;
}

int FontLibrary::fontId(const Key& key)
{
    const int id = int(key.family) * 4 + (key.bold ? 1 : 0) + (key.italic ? 2 : 0);
    if (!m_faces[id]) {
        const QString file = fileName(key);
        for (const QString& dir : searchPath()) {
            const QString path = dir + QLatin1Char('/') + file;
            if (QFileInfo::exists(path)) {
                m_faces[id] = FontFace::load(path);
                m_faces[id]->setFallbackLoader([this, key] { return loadFallback(key, 0); });
                break;
            }
        }
        if (!m_faces[id])
            throw DbError(ErrorNumber::ReportTemplate,
                          QStringLiteral("The font %1 is not installed (looked in %2)")
                              .arg(file, searchPath().join(QStringLiteral(", "))),
                          QStringLiteral("Report engine"));
    }
    return id;
}

const FontFace& FontLibrary::face(int fontId)
{
    if (fontId < 0 || fontId >= int(m_faces.size())) fontId = 0;
    if (!m_faces[fontId]) this->fontId(keyOf(fontId));
    return *m_faces[fontId];
}

}  // namespace quillon::reports
