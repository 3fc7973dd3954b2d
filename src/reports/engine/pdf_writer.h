#pragma once
// Writes a laid-out Document as a PDF file. Text is written glyph by glyph
// (Identity-H) in the TrueType faces the layout measured with, each embedded
// as a subset holding only the glyphs the document prints, with a map back
// to the characters so that copying and text extraction return the text.

#include "reports/engine/document.h"
#include "reports/engine/layout.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

namespace quillon::reports {

class PdfWriter {
public:
    // The whole document as PDF bytes; throws DbError when a font cannot be embedded.
    static QByteArray toPdf(const Document& doc);
    // Writes the PDF to a file; throws DbError naming the file when it cannot.
    static void writeFile(const Document& doc, const QString& path);
};

// Writes the PDF to a device a page at a time, as the layout hands the pages
// over, so that a long report is never held whole: the fields showing page
// numbers are drawn from form objects that the pages name and that are
// written at the end, when the numbers are known.
class PdfStream : public PageSink {
public:
    explicit PdfStream(QIODevice& out);
    ~PdfStream() override;
    void page(const Page& page, const std::vector<std::pair<int, int>>& placeholders) override;
    void fill(int slot, const std::vector<Primitive>& items) override;
    // Writes the rest (fonts, page tree, document information); throws
    // DbError when the device failed anywhere on the way.
    void finish(const QString& title);
    // What makes the PDF written so far whole without ending the stream: the
    // device is brought up to date, and its bytes followed by the ending
    // returned are a complete PDF of the pages written so far. The fields
    // showing page numbers show what `fields` gives each of them through
    // PageSink::fill (page() is not expected there). Empty before the first
    // page.
    QByteArray provisionalEnding(const QString& title, const std::function<void(PageSink&)>& fields);

private:
    struct State;
    std::unique_ptr<State> m;
};

}  // namespace quillon::reports
