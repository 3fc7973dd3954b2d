#pragma once
// Text in scripts that run right to left or whose letters take their shape
// from their neighbours (Hebrew, Arabic and their kin): put in visual order
// by the Unicode bidirectional algorithm and shaped glyph by glyph with the
// very font files the PDF embeds, so that a name prints as itself, its
// Arabic letters joined. Every other text keeps the plain one character,
// one glyph path of the font metrics.
//
//   if (needsShaping(text))
//       for (const ShapedGlyph& g : shapeText(face, text)) ...   // left to right

#include <QString>

#include <vector>

namespace quillon::reports {

class FontFace;

// One glyph as printed: the face it comes from (the report face or one of its
// fallbacks), its glyph number there, how far it moves the pen and where it
// sits relative to the pen, in 1/1000 em, and the characters it stands for
// (the whole cluster on its first glyph, empty on the others of a cluster).
struct ShapedGlyph {
    const FontFace* face = nullptr;
    int glyph = 0;
    int advance = 0;
    int xOffset = 0, yOffset = 0;
    QString text;
};

// A character of a right-to-left script (Hebrew, Arabic, Syriac, Thaana, N'Ko
// and their presentation forms) or a directional formatting character.
inline bool needsShaping(char32_t c)
{
    return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF)
           || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}
// True when the text holds such a character.
bool needsShaping(const QString& text);

// The glyphs of one line of text in visual order, left to right: a line
// reads left to right, each stretch of right-to-left words in it right to
// left as a whole (a name "כהן, דוד" before an invoice number keeps both whole).
std::vector<ShapedGlyph> shapeText(const FontFace& face, const QString& text);

// The width of the shaped text in 1/1000 em.
long shapedWidth(const FontFace& face, const QString& text);

}  // namespace quillon::reports
