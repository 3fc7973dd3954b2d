// Report formulas and display formats.
#include "data/dberror.h"
#include "reports/engine/expression.h"
#include "reports/engine/format.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <map>

using namespace quillon;
using namespace quillon::reports;

namespace {

// Fields and parameters from maps; aggregates answer 100 + their slot.
class MapContext : public Binder, public EvalContext {
public:
    std::map<QString, Value> fields, params;
    QStringList fieldSlots, paramSlots;
    std::vector<QString> aggregateScopes;

    int fieldSlot(const QString& name) override { return slot(fieldSlots, name); }
    int parameterSlot(const QString& name) override
    {
        if (!params.count(name)) throw DbError(ErrorNumber::ReportParameter, name);
        return slot(paramSlots, name);
    }
    int aggregateSlot(AggregateKind, std::shared_ptr<const ExprNode>, const QString& scope) override
    {
        aggregateScopes.push_back(scope);
        return int(aggregateScopes.size()) - 1;
    }
    Value field(int s) const override { return fields.count(fieldSlots[s]) ? fields.at(fieldSlots[s]) : Value(); }
    Value parameter(int s) const override { return params.at(paramSlots[s]); }
    Value special(Special s) const override { return s == Special::PageNumber ? Value(3) : Value(9); }
    Value aggregate(int s) const override { return Value(100 + s); }

    Value eval(const QString& text) { return Expression::compile(text, *this).evaluate(*this); }
    QString text(const QString& expr) { return eval(expr).toString(); }

private:
    static int slot(QStringList& list, const QString& name)
    {
        if (!list.contains(name)) list << name;
        return int(list.indexOf(name));
    }
};

}  // namespace

TEST(Expressions, ArithmeticKeepsKindsAndMoneyExact)
{
    MapContext c;
    c.fields[QStringLiteral("Rate")] = Value(Currency::fromString(QStringLiteral("10.10")));
    c.fields[QStringLiteral("Hours")] = Value(2.5);
    c.fields[QStringLiteral("Days")] = Value(3);
    EXPECT_EQ(c.eval(QStringLiteral("{Days} * 2 + 1")), Value(7));
    EXPECT_EQ(c.eval(QStringLiteral("1 + 2 * 3 - 4 / 2")), Value(5.0));
    EXPECT_EQ(c.eval(QStringLiteral("(1 + 2) * 3")), Value(9));
    EXPECT_EQ(c.eval(QStringLiteral("-{Days} + 1")), Value(-2));
    // Money times a count stays exact; times a double rounds to ten-thousandths.
    EXPECT_EQ(c.eval(QStringLiteral("{Rate} * {Days}")), Value(Currency::fromString(QStringLiteral("30.30"))));
    EXPECT_EQ(c.eval(QStringLiteral("{Rate} * {Hours}")), Value(Currency::fromString(QStringLiteral("25.25"))));
    EXPECT_EQ(c.eval(QStringLiteral("{Rate} + {Rate}")), Value(Currency::fromString(QStringLiteral("20.20"))));
    // Dividing by zero gives nothing rather than infinity.
    EXPECT_TRUE(c.eval(QStringLiteral("{Days} / 0")).isNull());
    EXPECT_EQ(c.eval(QStringLiteral("Round(2.5)")), Value(3));
    EXPECT_EQ(c.eval(QStringLiteral("Round(-2.5)")), Value(-3));
    EXPECT_EQ(c.eval(QStringLiteral("Round(1.005, 2)")), Value(1.01));
    EXPECT_EQ(c.eval(QStringLiteral("Abs(0 - {Days})")), Value(3));
}

TEST(Expressions, NullsPropagateThroughArithmeticButNotThroughJoins)
{
    MapContext c;
    c.fields[QStringLiteral("Name")] = Value(QStringLiteral("Ames"));
    // {Missing} has no value.
    EXPECT_TRUE(c.eval(QStringLiteral("{Missing} + 1")).isNull());
    EXPECT_TRUE(c.eval(QStringLiteral("{Missing} * 2")).isNull());
    EXPECT_EQ(c.text(QStringLiteral("{Name} & ' ' & {Missing} & '!'")), QStringLiteral("Ames !"));
    EXPECT_EQ(c.text(QStringLiteral("{Name} + {Missing}")), QStringLiteral("Ames"));
    EXPECT_EQ(c.eval(QStringLiteral("IsNull({Missing})")), Value(true));
    EXPECT_EQ(c.eval(QStringLiteral("{Missing} is null")), Value(true));
    EXPECT_EQ(c.eval(QStringLiteral("{Name} is not null")), Value(true));
    EXPECT_EQ(c.text(QStringLiteral("Coalesce({Missing}, {Name})")), QStringLiteral("Ames"));
    // Comparing with a missing value is never true, nor is its opposite.
    EXPECT_EQ(c.eval(QStringLiteral("{Missing} = 1")), Value(false));
    EXPECT_EQ(c.eval(QStringLiteral("{Missing} <> 1")), Value(false));
    EXPECT_EQ(c.text(QStringLiteral("if {Missing} > 0 then 'yes' else 'no'")), QStringLiteral("no"));
    EXPECT_TRUE(c.eval(QStringLiteral("if false then 1")).isNull());
    EXPECT_TRUE(c.eval(QStringLiteral("Left({Missing}, 2)")).isNull());
    EXPECT_EQ(c.text(QStringLiteral("Text({Missing}, '0.00')")), QString());
}

TEST(Expressions, ComparisonsLogicAndTextFunctions)
{
    MapContext c;
    c.params[QStringLiteral("SortField")] = Value(QStringLiteral("R"));
    c.params[QStringLiteral("Start")] = Value(QDate(2024, 6, 1));
    c.fields[QStringLiteral("Day")] = Value(QDate(2024, 6, 30));
    c.fields[QStringLiteral("Code")] = Value(QStringLiteral("  abc  "));
    EXPECT_EQ(c.eval(QStringLiteral("{?SortField} = 'R'")), Value(true));
    EXPECT_EQ(c.eval(QStringLiteral("{?SortField} = 'r'")), Value(false));
    EXPECT_EQ(c.eval(QStringLiteral("{?SortField} <> 'P' and not ({?SortField} = 'P') or false")), Value(true));
    EXPECT_EQ(c.eval(QStringLiteral("{Day} > {?Start}")), Value(true));
    EXPECT_EQ(c.eval(QStringLiteral("{Day} - {?Start}")), Value(29));
    EXPECT_EQ(c.eval(QStringLiteral("{?Start} + 1")), Value(QDate(2024, 6, 2)));
    EXPECT_EQ(c.eval(QStringLiteral("Date(2024, 2, 30)")), Value());
    EXPECT_EQ(c.eval(QStringLiteral("Year({Day}) * 100 + Month({Day})")), Value(202406));
    EXPECT_EQ(c.eval(QStringLiteral("'10' = 10")), Value(true));
    EXPECT_EQ(c.eval(QStringLiteral("2 >= 2.0 and 1 < 1.5 and (3 <= 2) = false")), Value(true));
    EXPECT_EQ(c.text(QStringLiteral("Upper(Trim({Code}))")), QStringLiteral("ABC"));
    EXPECT_EQ(c.text(QStringLiteral("Mid('abcdef', 2, 3) & Right('abcdef', 2) & Left('abcdef', 1)")), QStringLiteral("bcdefa"));
    EXPECT_EQ(c.eval(QStringLiteral("Len(Trim({Code}))")), Value(3));
    EXPECT_EQ(c.text(QStringLiteral("'it''s' & \"\"\"q\"\"\"")), QStringLiteral("it's\"q\""));
    EXPECT_EQ(c.text(QStringLiteral("IIf({?SortField} = 'R', 'Request', 'Name')")), QStringLiteral("Request"));
    EXPECT_EQ(c.text(QStringLiteral("'Page ' & PageNumber & ' of ' & PageCount")), QStringLiteral("Page 3 of 9"));
}

TEST(Expressions, AggregatesTakeTheirScopeAndPageNumbersAreFlagged)
{
    MapContext c;
    const Expression e = Expression::compile(QStringLiteral("Sum({Hours}) + Count({Hours}, 'page') * 0"), c);
    ASSERT_EQ(c.aggregateScopes.size(), 2u);
    EXPECT_EQ(c.aggregateScopes[0], QString());
    EXPECT_EQ(c.aggregateScopes[1], QStringLiteral("page"));
    EXPECT_EQ(e.evaluate(c), Value(100));
    EXPECT_TRUE(e.usesAggregates());
    EXPECT_FALSE(e.usesPageNumbers());
    EXPECT_TRUE(Expression::compile(QStringLiteral("'p' & PageNumber"), c).usesPageNumbers());
    EXPECT_TRUE(Expression::compile(QStringLiteral("PageCount"), c).usesPageNumbers());
}

TEST(Expressions, SyntaxErrorsAndUnknownNamesAreReported)
{
    MapContext c;
    for (const char* bad : {"1 +", "(1", "'open", "{Field", "frobnicate(1)", "Sum()", "Sum({A}, {B})", "1 2", "if 1 2",
                            "Left('a')", "x is 3", "@"}) {
        try {
            Expression::compile(QString::fromLatin1(bad), c);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::ReportTemplate) << bad;
            EXPECT_TRUE(e.description().contains(QString::fromLatin1(bad))) << e.description().toStdString();
        }
    }
    EXPECT_THROW(Expression::compile(QStringLiteral("{?NoSuchParameter}"), c), DbError);
}

TEST(Formats, NumbersMoneyAndPatterns)
{
    const Value money = Value(Currency::fromString(QStringLiteral("1234567.005")));
    EXPECT_EQ(formatValue(money, QStringLiteral("currency")), QStringLiteral("$1,234,567.01"));
    EXPECT_EQ(formatValue(Value(Currency::fromString(QStringLiteral("-12.5"))), QStringLiteral("currency")), QStringLiteral("-$12.50"));
    EXPECT_EQ(formatValue(Value(Currency::fromString(QStringLiteral("-12.5"))), QStringLiteral("#,##0.00;(#,##0.00)")),
              QStringLiteral("(12.50)"));
    EXPECT_EQ(formatValue(Value(0.0), QStringLiteral("#,##0.00;(#,##0.00);-")), QStringLiteral("-"));
    EXPECT_EQ(formatValue(Value(1234.5), QStringLiteral("#,##0")), QStringLiteral("1,235"));
    EXPECT_EQ(formatValue(Value(2.675), QStringLiteral("0.00")), QStringLiteral("2.68"));
    EXPECT_EQ(formatValue(Value(7.5), QStringLiteral("0.0#")), QStringLiteral("7.5"));
    EXPECT_EQ(formatValue(Value(7), QStringLiteral("000")), QStringLiteral("007"));
    EXPECT_EQ(formatValue(Value(0.125), QStringLiteral("percent")), QStringLiteral("12.50%"));
    EXPECT_EQ(formatValue(Value(-0.001), QStringLiteral("0.00")), QStringLiteral("0.00"));
    EXPECT_EQ(formatValue(Value(std::int64_t(1000000)), QStringLiteral("integer")), QStringLiteral("1,000,000"));
    // A number held as text still takes the pattern; other text stays as it is.
    EXPECT_EQ(formatValue(Value(QStringLiteral("1500.5")), QStringLiteral("#,##0.00")), QStringLiteral("1,500.50"));
    EXPECT_EQ(formatValue(Value(QStringLiteral("n/a")), QStringLiteral("#,##0.00")), QStringLiteral("n/a"));
}

TEST(Formats, DatesTimesNullsAndMismatchedPatterns)
{
    const QDate d(2024, 6, 30);
    EXPECT_EQ(formatValue(Value(d), QString()), QStringLiteral("6/30/2024"));
    EXPECT_EQ(formatValue(Value(d), QStringLiteral("MM/dd/yy")), QStringLiteral("06/30/24"));
    EXPECT_EQ(formatValue(Value(d), QStringLiteral("longdate")), QStringLiteral("June 30, 2024"));
    EXPECT_EQ(formatValue(Value(d), QStringLiteral("ddd d MMM")), QStringLiteral("Sun 30 Jun"));
    const Value time(QDateTime(QDate(1899, 12, 30), QTime(6, 5)));
    EXPECT_EQ(formatValue(time, QStringLiteral("HHmm")), QStringLiteral("0605"));
    EXPECT_EQ(formatValue(time, QStringLiteral("time")), QStringLiteral("6:05 AM"));
    EXPECT_EQ(formatValue(Value(), QStringLiteral("currency")), QString());
    EXPECT_EQ(formatValue(Value(), QString()), QString());
    // A pattern of the wrong kind leaves the value in its plain form.
    EXPECT_EQ(formatValue(Value(d), QStringLiteral("#,##0.00")), QStringLiteral("6/30/2024"));
    EXPECT_EQ(formatValue(Value(12.5), QStringLiteral("M/d/yyyy")), QStringLiteral("12.5"));
    EXPECT_EQ(formatValue(Value(true), QString()), QStringLiteral("True"));
    // Dates and times that arrive as text take date patterns too.
    EXPECT_EQ(formatValue(Value(QStringLiteral("2024-06-30")), QStringLiteral("MM/dd/yy")), QStringLiteral("06/30/24"));
    EXPECT_EQ(formatValue(Value(QStringLiteral("2024-06-30 18:05:00")), QStringLiteral("HHmm")), QStringLiteral("1805"));
    EXPECT_EQ(formatValue(Value(QStringLiteral("Ames")), QStringLiteral("M/d/yyyy")), QStringLiteral("Ames"));
}

// Date patterns give what QLocale gives for the same pattern, over two years
// of days and every few minutes of a day, as dates (at midnight), date-times
// and texts.
TEST(Formats, DatePatternsAgreeWithQLocale)
{
    const char* patterns[] = {"M/d/yyyy", "ddd M/d/yyyy", "dddd, MMMM d, yyyy", "MM/dd/yy", "d MMM yyyy", "HHmm",
                              "H:mm:ss", "hh.m.s", "'Printed' M/d/yyyy", "yyyyMMdd-HHmmss", "d.M.yy 'at' H 'h'",
                              "h:mm AP", "yyy d", "'day'"};
    const QLocale c = QLocale::c();
    for (const char* pattern : patterns) {
        const QString p = QString::fromLatin1(pattern);
        const DisplayFormat f(p);
        for (int day = 0; day < 731; day += 3) {
            const QDate d = QDate(2023, 12, 25).addDays(day);
            const QDateTime dt(d, QTime(0, 0).addSecs(day * 7 * 60 + day % 60));
            // A date is at midnight (its hours and minutes show as 00).
            ASSERT_EQ(f.apply(Value(d)), c.toString(QDateTime(d, QTime(0, 0)), p)) << pattern;
            ASSERT_EQ(f.apply(Value(dt)), c.toString(dt, p)) << pattern;
            ASSERT_EQ(f.apply(Value(dt.toString(Qt::ISODate))), c.toString(dt, p)) << pattern;
        }
    }
}
