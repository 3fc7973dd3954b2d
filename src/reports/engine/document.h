#pragma once
// A laid-out report: pages of positioned primitives in points, origin at the
// top left of the page. Writers (PDF) and the text dump only draw this.

#include <QColor>
#include <QString>

#include <vector>

namespace quillon::reports {

struct Primitive {
    enum Kind : unsigned char { Text, Line, Rect };
    Kind kind = Text;
    bool background = false;
    bool stroked = true;     // Rect
    bool filled = false;     // Rect
    unsigned char font = 0;  // FontLibrary font id
    double x = 0, y = 0;     // Text: left end of the line box's top; Line: start; Rect: top left
    double w = 0, h = 0;     // Text: measured width and line height; Line: end minus start; Rect: size
    double size = 0;         // Text: font size
    double lineWidth = 0;    // Line, Rect
    double angle = 0;        // Text: degrees counter-clockwise around the start of the baseline
    QRgb color = 0xff000000;
    QRgb fill = 0xffffffff;
    QString text;
};

struct Page {
    double width = 612, height = 792;
    std::vector<Primitive> items;
};

struct Document {
    QString title;
    std::vector<Page> pages;

    int pageCount() const { return int(pages.size()); }
    // The laid-out text of every page, one line per text run, positions rounded
    // to a tenth of a point; with graphics, lines and boxes too. Used by golden
    // tests and by "quillon-batch render --text".
    QString dump(bool withGraphics = false) const;
    static QString dumpPage(const Page& page, int index, bool withGraphics);
};

}  // namespace quillon::reports
