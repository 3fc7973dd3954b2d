#pragma once
// The object model of a report template, as read from a .rpt file (see
// templates/README.md for the file format). A template is immutable once read;
// the data bound to it and the parameter values live in the Report object.

#include "data/value.h"
#include "reports/engine/expression.h"
#include "reports/engine/font_metrics.h"
#include "reports/engine/format.h"

#include <QColor>
#include <QStringList>

#include <memory>
#include <vector>

namespace quillon::reports {

enum class BandKind { ReportHeader, PageHeader, GroupHeader, Detail, GroupFooter, PageFooter, ReportFooter };
enum class Align { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };
enum class AggregateScope { Report, Page, Column, Group };

struct ReportTemplate;

struct ElementDef {
    enum Kind { Text, Field, Line, Box, Check, Subreport };
    Kind kind = Text;
    QString name;                // object name; subreports always have one
    double x = 0, y = 0, width = 0, height = 0;
    double x2 = 0, y2 = 0;       // Line end point
    QString text;                // static text
    Expression expr;             // Field value, Check state
    Expression visible;          // optional; the element is left out when false
    DisplayFormat format;
    QString nullText;
    int fontId = 0;
    double fontSize = 9;
    QRgb color = 0xff000000;
    Align align = Align::Left;
    VAlign valign = VAlign::Top;
    bool wrap = false;
    bool canGrow = false;
    // A text wider (or, wrapped, taller) than its box: Shrink sets it smaller,
    // down to minSize, then wraps it in the box, and marks what still does
    // not fit with an ellipsis; Cut cuts it at the box edge.
    enum class Fit { Shrink, Cut };
    Fit fit = Fit::Shrink;
    double minSize = 0;          // 0: three fifths of the size, at least 5 points
    double angle = 0;            // degrees counter-clockwise around the start of the first baseline
    bool background = false;     // drawn beneath everything else on the page
    double lineWidth = 0.5;
    bool hasFill = false;
    QRgb fill = 0xffffffff;
    bool cross = false;          // Check: an X instead of a tick
    bool checkBox = true;        // Check: draw the square
    int subreport = -1;          // Subreport: index into ReportTemplate::subreports
    bool deferred() const { return expr.usesPageNumbers() || visible.usesPageNumbers(); }
};

struct BandDef {
    BandKind kind = BandKind::Detail;
    int number = 0;              // section number
    int group = -1;              // GroupHeader / GroupFooter: index into groups
    double height = 0;
    Expression visible;
    bool inColumn = false;       // laid out in the detail columns
    bool atColumnBottom = false; // GroupFooter in columns: sits at the foot of the column
    bool newPageAfter = false;
    bool usesPageScope = false;  // holds page or column aggregates (evaluated after the page is chosen)
    std::vector<ElementDef> elements;
};

struct GroupDef {
    QString name;
    QStringList fields;
    std::vector<int> fieldSlots;
    bool keepTogether = false;
    bool newPage = false;
    bool newColumn = false;
    bool repeatHeader = false;
    bool resetPageNumber = false;
    std::vector<int> headers;    // band indices
    std::vector<int> footers;
};

struct ColumnsDef {
    int count = 1;
    double width = 0;            // 0: the page width shared out
    double gap = 0;
    int maxRows = 0;             // 0: no limit
    double height = 0;           // 0: down to the page footer
};

struct ParameterDef {
    QString name;
    Value::Type type = Value::Type::Text;
    Value defaultValue;
};

struct AggregateDef {
    AggregateKind kind = AggregateKind::Sum;
    std::shared_ptr<const ExprNode> arg;
    AggregateScope scope = AggregateScope::Report;
    int group = -1;
    // When set, the value is taken once per instance of this (inner) group, as
    // that group ends, instead of once per row: totals over rows that a join
    // repeats, or totals of group totals.
    int eachGroup = -1;
};

// A sort key of the rows: the report orders its rows itself (stable, Nulls
// first) when the data arrives in another order than its groups need.
struct SortKey {
    int slot = -1;
    bool descending = false;
};

// Rows stored in a template, shown when no data is bound (a preview aid for
// template authors); DiscardSavedData drops them.
struct SavedTable {
    int table = 1;
    QStringList fields;
    std::vector<std::vector<Value>> rows;
};

struct SubreportDef {
    QString name;
    std::shared_ptr<ReportTemplate> report;
    QStringList linkFields;        // fields of the subreport's data
    std::vector<int> parentSlots;  // matching field slots of the containing report
    bool suppressIfEmpty = false;
    // Lays out the containing report's own rows (in its own order and groups)
    // unless data is bound to it: a second view of the same rows, such as
    // day totals under lines listed by account.
    bool mainData = false;
};

struct ReportTemplate {
    QString name;
    QString title;
    QString path;
    double pageWidth = 612, pageHeight = 792;                 // US Letter, points
    double marginLeft = 36, marginTop = 36, marginRight = 36, marginBottom = 36;
    int defaultFontId = 0;                                    // the style named "default"
    double defaultFontSize = 9;
    std::vector<ParameterDef> parameters;                     // root report only
    std::vector<GroupDef> groups;
    std::vector<BandDef> bands;                               // in file order
    ColumnsDef columns;
    QStringList fields;                                       // field slot -> name
    std::vector<AggregateDef> aggregates;
    std::vector<SortKey> sortKeys;
    std::vector<SubreportDef> subreports;
    std::vector<SavedTable> savedData;
    bool isSubreport = false;

    double bodyWidth() const { return pageWidth - marginLeft - marginRight; }
    int parameterIndex(const QString& name) const;
    const BandDef* bandByNumber(int number) const;
    std::vector<int> bandsOf(BandKind kind) const;
};

// Reads a template file; throws DbError(ReportTemplate) naming the file and the
// problem when it is missing or malformed.
std::shared_ptr<ReportTemplate> readTemplate(const QString& path);
std::shared_ptr<ReportTemplate> parseTemplate(const QByteArray& xml, const QString& pathForMessages);

// Converts a parameter value to the declared kind; throws DbError when it cannot.
Value convertParameterValue(const ParameterDef& p, const Value& v);

}  // namespace quillon::reports
