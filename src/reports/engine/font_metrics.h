#pragma once
// Text metrics read straight from TrueType files. The PDF writer embeds the
// very same files and PDF viewers advance glyphs by the widths the writer
// stores (advance * 1000 / units-per-em, truncated), so measuring with those
// widths makes layout, screen and paper agree to the point.

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace quillon::reports {

// One TrueType face: advance widths per character in thousandths of an em,
// and the vertical metrics used to place text lines.
class FontFace {
public:
    // Reads the file; throws DbError(ReportTemplate) when it is missing or not TrueType.
    static std::shared_ptr<FontFace> load(const QString& path);

    const QString& path() const { return m_path; }
    // Advance of one character in 1/1000 em, as a PDF font's width table holds it.
    int charWidth(char32_t c) const;
    // Width of a text in points at the given size.
    double textWidth(const QString& text, double size) const;
    // Distance from the top of a text line to its baseline, and the line height,
    // in points at the given size.
    double ascent(double size) const { return m_ascender * size / 1000.0; }
    double descent(double size) const { return -m_descender * size / 1000.0; }
    double lineHeight(double size) const { return (m_ascender - m_descender + m_lineGap) * size / 1000.0; }
    bool hasGlyph(char32_t c) const;

private:
    void parse(const QByteArray& data);
    int glyphWidth(int glyph) const;
    int lookupGlyph(char32_t c) const;

    QString m_path;
    int m_unitsPerEm = 1000;
    double m_ascender = 0, m_descender = 0, m_lineGap = 0;   // in 1/1000 em
    std::vector<std::uint16_t> m_advances;                    // font units, per glyph
    std::unordered_map<char32_t, int> m_cmap;                 // character -> glyph
    std::array<std::int16_t, 256> m_latin{};                  // cached widths for U+0000..U+00FF (-1: no glyph)
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
    // Font id (0..11) of a face; loads it when first asked for.
    int fontId(const Key& key);
    const FontFace& face(int fontId);
    static Key keyOf(int fontId);
    static QString fileName(const Key& key);        // "LiberationSans-Bold.ttf"
    static QString displayName(int fontId);         // "Sans-Bold"
    static bool parseFamily(const QString& name, Family* out);

private:
    FontLibrary() = default;
    std::array<std::shared_ptr<FontFace>, 12> m_faces;
};

// Converts text to the single-byte Windows-1252 code the PDF fonts use;
// characters it cannot carry become '?'.
QByteArray toWinAnsi(const QString& text);
// The character a Windows-1252 code stands for.
char32_t winAnsiToUnicode(unsigned char code);

}  // namespace quillon::reports
