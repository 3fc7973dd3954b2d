#pragma once
// Text metrics read straight from TrueType files. The PDF writer embeds the
// very same files and PDF viewers advance glyphs by the widths the writer
// stores (advance * 1000 / units-per-em, truncated), so measuring with those
// widths makes layout, screen and paper agree to the point.

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace quillon::reports {

// One TrueType face: advance widths per character in thousandths of an em,
// and the vertical metrics used to place text lines. A character the face
// has no glyph for is taken from its fallback face (and that one's fallback),
// for measuring and for printing alike.
class FontFace {
public:
    // Reads the file; throws DbError(ReportTemplate) when it is missing or not TrueType.
    static std::shared_ptr<FontFace> load(const QString& path);

    const QString& path() const { return m_path; }
    const QByteArray& data() const { return m_data; }
    // "LiberationSans-Bold": the file name without its extension.
    QString postScriptName() const;
    // Advance of one character in 1/1000 em, as a PDF font's width table holds it.
    int charWidth(char32_t c) const;
    // Width of a text in points at the given size; text in a right-to-left
    // script is measured as shaped (text_shaper.h).
    double textWidth(const QString& text, double size) const;
    // The face and glyph that print a character: this face when it has the
    // glyph, else the first fallback that has it, else this face's missing-glyph box.
    // Control characters print as blanks.
    struct Glyph {
        const FontFace* face;
        int glyph;
    };
    Glyph resolve(char32_t c) const;
    // Advance of a glyph in 1/1000 em.
    int glyphWidth(int glyph) const;
    // The fallback face loads when a character first needs it.
    void setFallbackLoader(std::function<std::shared_ptr<FontFace>()> loader)
    {
        if (!m_loader && !m_fallback) m_loader = std::move(loader);
    }
    const FontFace* fallback() const;
    // Font box, cap height and italic angle for a PDF font descriptor, in 1/1000 em.
    std::array<int, 4> bbox() const { return m_bbox; }
    int capHeight() const { return m_capHeight; }
    double italicAngle() const { return m_italicAngle; }
    // Distance from the top of a text line to its baseline, and the line height,
    // in points at the given size.
    double ascent(double size) const { return m_ascender * size / 1000.0; }
    double descent(double size) const { return -m_descender * size / 1000.0; }
    double lineHeight(double size) const { return (m_ascender - m_descender + m_lineGap) * size / 1000.0; }
    bool hasGlyph(char32_t c) const;
    // What the text shaper keeps for this face (its shaping font over these bytes).
    std::shared_ptr<void>& shapingData() const { return m_shaping; }

private:
    void parse(const QByteArray& data);
    int lookupGlyph(char32_t c) const;

    QString m_path;
    QByteArray m_data;
    mutable std::shared_ptr<FontFace> m_fallback;
    mutable std::function<std::shared_ptr<FontFace>()> m_loader;
    mutable std::shared_ptr<void> m_shaping;
    std::array<int, 4> m_bbox{};
    int m_capHeight = 700;
    double m_italicAngle = 0;
    int m_unitsPerEm = 1000;
    double m_ascender = 0, m_descender = 0, m_lineGap = 0;   // in 1/1000 em
    std::vector<std::uint16_t> m_advances;                    // font units, per glyph
    std::unordered_map<char32_t, int> m_cmap;                 // character -> glyph
    std::array<std::int16_t, 256> m_latin{};                  // cached widths for U+0000..U+00FF (-1: not cached)
};

// The faces a report may use: family Sans, Serif or Mono, each in regular,
// bold, italic and bold italic. Faces load on first use and are shared by
// every report of the process.
class FontLibrary {
public:
    enum Family { Sans, Serif, Mono };
    struct Key {
        Family family = Sans;
        bool bold = false;
        bool italic = false;
        bool operator==(const Key& o) const { return family == o.family && bold == o.bold && italic == o.italic; }
    };

    static FontLibrary& instance();

    // Folders searched for the font files, first match wins: $QUILLON_FONT_DIR,
    // the program folder's "fonts", then the system's Liberation folders.
    QStringList searchPath() const;
    // Folders searched for the fallback faces of characters the report fonts lack.
    QStringList fallbackPath() const;
    // Font id (0..11) of a face; loads it when first asked for.
    int fontId(const Key& key);
    const FontFace& face(int fontId);
    static Key keyOf(int fontId);
    static QString fileName(const Key& key);        // "LiberationSans-Bold.ttf"
    static QString displayName(int fontId);         // "Sans-Bold"
    static bool parseFamily(const QString& name, Family* out);

private:
    FontLibrary() = default;
    // The first installed fallback of a face from the given place in its list on.
    std::shared_ptr<FontFace> loadFallback(const Key& key, int from);

    std::array<std::shared_ptr<FontFace>, 12> m_faces;
    std::vector<std::pair<QString, std::shared_ptr<FontFace>>> m_fallbacks;   // by file path
};

// Text as it is measured and printed: composed (NFC), so that a letter with
// its accents stored apart prints as the one glyph the font has for it.
QString printableText(const QString& text);

}  // namespace quillon::reports
