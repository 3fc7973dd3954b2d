#pragma once
// Cuts a TrueType font down to the glyphs a document prints, for embedding
// in a PDF as a CIDFontType2 font. Glyphs are renumbered 0, 1, 2, ... in the
// order given, repeats kept (glyph 0 must be the missing-glyph box); glyphs that a composite
// glyph is built from are added after them. Hinting instructions are left out:
// PDF viewers and printers scale outlines without them.

#include <QByteArray>

#include <vector>

namespace quillon::reports {

struct TrueTypeSubset {
    QByteArray font;           // a complete TrueType file
    std::vector<int> glyphs;   // original glyph of each new glyph number (the given ones first)
};

// Throws DbError(ReportTemplate) when the font's tables are damaged.
TrueTypeSubset subsetTrueType(const QByteArray& font, const std::vector<int>& glyphs);

}  // namespace quillon::reports
