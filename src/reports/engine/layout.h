#pragma once
// Layout: template + data -> a Document of pages.
//
// Bands are stacked down the page: the report header on the first page, the
// page header on every page, group headers when a group's fields change,
// detail bands once per row, group footers, the report footer, and the page
// footer fixed at the foot of every page. A band never splits across pages.
// Groups may start a new page or a new detail column, keep together (move to
// the next page rather than split, when they fit there), repeat their header
// after a break and restart the page numbering. Detail rows can run in
// columns across the page, filled top-down. Fields showing page numbers are
// filled in when the last page is known.

#include "data/recordset.h"
#include "reports/engine/document.h"
#include "reports/engine/template_model.h"

#include "data/dberror.h"

#include <QDate>

#include <functional>
#include <vector>

namespace quillon::reports {

struct RenderInput {
    const ReportTemplate* report = nullptr;
    RecordsetPtr data;                          // data table 1; null renders no rows
    std::vector<RecordsetPtr> subreportData;    // by subreport index; null renders no rows
    std::vector<Value> parameters;              // by parameter index
    QDate printDate;                            // PrintDate; today when invalid
};

struct LayoutShared;
class PageSink;

// What a layout under way has done so far, as its observer sees it.
class LayoutSnapshot {
public:
    // Pages begun so far, the one being filled included.
    int pagesLaidOut() const;
    // Pages from the first that will not change any more: a group kept
    // together may still move the pages after them.
    int settledPages() const;
    // The settled pages, their page numbers filled in. A page count not yet
    // known shows as "\u2026" (the whole run's count is known only once its
    // last page is settled).
    Document settledDocument() const;
    // A layout writing to a sink: tells `sink` through fill() what each
    // page-number field of the pages handed to it shows as far as is known
    // now (a count not yet known as "\u2026"), for a provisional ending.
    void fillSettledFields(PageSink& sink) const;

private:
    friend class LayoutDriver;
    explicit LayoutSnapshot(const LayoutShared& sh, int settled) : m_sh(sh), m_settled(settled) {}
    const LayoutShared& m_sh;
    int m_settled;
};

// Told after each page is laid out; returning false stops the layout, which
// then throws LayoutCancelled and leaves nothing behind.
using LayoutObserver = std::function<bool(const LayoutSnapshot& progress)>;

class LayoutCancelled : public DbError {
public:
    LayoutCancelled() : DbError(ErrorNumber::Generic, QStringLiteral("The report was cancelled"), QStringLiteral("Report engine")) {}
};

// Takes a layout's pages as they settle, so that they need not all be kept.
class PageSink {
public:
    virtual ~PageSink() = default;
    // A settled page, final but for its fields showing page numbers: each
    // (item, slot) of `placeholders` names an item standing for such a field.
    virtual void page(const Page& page, const std::vector<std::pair<int, int>>& placeholders) = 0;
    // What the field of `slot` shows, once the page numbers are known.
    virtual void fill(int slot, const std::vector<Primitive>& items) = 0;
};

// Lays the report out. Throws DbError(FieldNotFound) when a formula names a
// field that the bound data lacks. With a sink, every page goes to the sink
// as it settles and the document returned keeps the pages without their items.
Document layoutReport(const RenderInput& input, const LayoutObserver& observer = {}, PageSink* sink = nullptr);

// Breaks a text into lines that fit `width` points (words first, then
// characters for a word longer than the width); '\n' always breaks.
QStringList wrapText(const QString& text, const FontFace& face, double size, double width);

}  // namespace quillon::reports
