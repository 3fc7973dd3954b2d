#pragma once
// Report expressions: the small formula language of template fields.
//
//   {Field}  {?Parameter}  12.5  "text"  'text'  true  false  null
//   + - * /   & (text join)   = <> < > <= >=   and or not
//   if c then a else b     x is null     x is not null
//   PageNumber  PageCount  RecordNumber  PrintDate
//   functions: IsNull IIf Coalesce Left Right Mid Trim Upper Lower Len Round Abs
//              Text(x, "format") Date(y, m, d) Year Month Day
//   running aggregates: Sum Count Min Max Avg (x [, "scope" [, "each group"]]),
//              scope being a group name, "group", "page", "column" or
//              "report"; with a third argument x is taken once per instance
//              of the named inner group, as it ends.
//
// An expression is compiled once against a Binder, which turns names into
// slots; evaluation asks an EvalContext for the values of those slots.

#include "data/value.h"

#include <QString>

#include <memory>
#include <vector>

namespace quillon::reports {

enum class Special { PageNumber, PageCount, RecordNumber, PrintDate };
enum class AggregateKind { Sum, Count, Min, Max, Avg };

struct ExprNode;

class EvalContext {
public:
    virtual ~EvalContext() = default;
    virtual Value field(int slot) const = 0;
    virtual Value parameter(int slot) const = 0;
    virtual Value special(Special s) const = 0;
    virtual Value aggregate(int slot) const = 0;
};

// Resolves names while an expression compiles. Throws DbError on names it refuses.
class Binder {
public:
    virtual ~Binder() = default;
    virtual int fieldSlot(const QString& name) = 0;
    virtual int parameterSlot(const QString& name) = 0;
    // Registers a running aggregate of argument `arg` over `scope` (empty: the
    // default scope of the band being compiled).
    virtual int aggregateSlot(AggregateKind kind, std::shared_ptr<const ExprNode> arg, const QString& scope) = 0;
    // The same, taken once per instance of the group `eachGroup` instead of
    // once per row. Binders without groups refuse it.
    virtual int aggregateSlot(AggregateKind kind, std::shared_ptr<const ExprNode> arg, const QString& scope,
                              const QString& eachGroup);
};

class Expression {
public:
    Expression() = default;
    // Compiles; throws DbError(ReportTemplate) with the position of a syntax error.
    static Expression compile(const QString& text, Binder& binder);
    // A constant expression for static text.
    static Expression constant(const Value& v);

    bool isValid() const { return bool(m_root); }
    Value evaluate(const EvalContext& ctx) const;
    const QString& text() const { return m_text; }
    // True when the value depends on page numbers, which are final only when
    // layout ends (a group may restart the numbering, PageCount comes last).
    bool usesPageNumbers() const { return m_usesPageNumbers; }
    bool usesAggregates() const { return m_usesAggregates; }
    // True when the value reads a field of the rows.
    bool usesFields() const { return m_usesFields; }

    static Value evaluateNode(const ExprNode& node, const EvalContext& ctx);

private:
    std::shared_ptr<const ExprNode> m_root;
    QString m_text;
    bool m_usesPageNumbers = false;
    bool m_usesAggregates = false;
    bool m_usesFields = false;
};

// Value arithmetic shared by expressions and aggregates.
namespace ops {
Value add(const Value& a, const Value& b);
Value subtract(const Value& a, const Value& b);
Value multiply(const Value& a, const Value& b);
Value divide(const Value& a, const Value& b);
// Orders two non-null values; texts compare case-sensitively.
int compare(const Value& a, const Value& b);
bool isNumeric(const Value& v);
}  // namespace ops

}  // namespace quillon::reports
