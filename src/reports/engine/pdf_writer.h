#pragma once
// Writes a laid-out Document as a PDF file. Text is written glyph by glyph
// (Identity-H) in the TrueType faces the layout measured with, each embedded
// as a subset holding only the glyphs the document prints, with a map back
// to the characters so that copying and text extraction return the text.

#include "reports/engine/document.h"

#include <QByteArray>
#include <QString>

namespace quillon::reports {

class PdfWriter {
public:
    // The whole document as PDF bytes; throws DbError when a font cannot be embedded.
    static QByteArray toPdf(const Document& doc);
    // Writes the PDF to a file; throws DbError naming the file when it cannot.
    static void writeFile(const Document& doc, const QString& path);
};

}  // namespace quillon::reports
