#include "reports/engine/expression.h"

#include "data/dberror.h"
#include "reports/engine/format.h"

#include <cmath>

namespace quillon::reports {

enum class Op {
    Neg, Not, Add, Sub, Mul, Div, Join, Eq, Ne, Lt, Gt, Le, Ge, And, Or
};

enum class Func {
    IsNull, IIf, Coalesce, Left, Right, Mid, Trim, Upper, Lower, Len, Round, Abs, Text, Date, Year, Month, Day
};

struct ExprNode {
    enum Kind { Literal, Field, Param, SpecialValue, Aggregate, Unary, Binary, If, NullTest, Call };
    Kind kind = Literal;
    Op op = Op::Add;
    Func func = Func::IsNull;
    Special special = Special::PageNumber;
    bool negate = false;     // NullTest: "is not null"
    Value literal;
    int slot = -1;
    std::vector<std::shared_ptr<const ExprNode>> kids;
};

namespace {

[[noreturn]] void syntaxError(const QString& text, int pos, const QString& what)
{
    throw DbError(ErrorNumber::ReportTemplate,
                  QStringLiteral("Error in the formula \"%1\" at position %2: %3").arg(text).arg(pos + 1).arg(what),
                  QStringLiteral("Report engine"));
}

struct Token {
    enum Type { End, Number, String, FieldRef, ParamRef, Ident, Symbol };
    Type type = End;
    QString text;   // identifier (as written), symbol, field or parameter name, string contents
    Value number;
    int pos = 0;
};

class Lexer {
public:
    explicit Lexer(const QString& s) : m_s(s) { advance(); }
    const Token& peek() const { return m_tok; }
    Token take() { Token t = m_tok; advance(); return t; }

private:
    void advance()
    {
        while (m_i < m_s.size() && m_s.at(m_i).isSpace()) ++m_i;
        m_tok = Token();
        m_tok.pos = int(m_i);
        if (m_i >= m_s.size()) return;
        const QChar c = m_s.at(m_i);
        if (c.isDigit() || (c == QLatin1Char('.') && m_i + 1 < m_s.size() && m_s.at(m_i + 1).isDigit())) {
            const qsizetype start = m_i;
            bool dot = false;
            while (m_i < m_s.size() && (m_s.at(m_i).isDigit() || (!dot && m_s.at(m_i) == QLatin1Char('.')))) {
                if (m_s.at(m_i) == QLatin1Char('.')) dot = true;
                ++m_i;
            }
            const QString num = m_s.mid(start, m_i - start);
            m_tok.type = Token::Number;
            m_tok.text = num;
            if (dot) m_tok.number = Value(num.toDouble());
            else m_tok.number = Value(std::int64_t(num.toLongLong()));
            return;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const QChar quote = c;
            QString out;
            ++m_i;
            for (;;) {
                if (m_i >= m_s.size()) syntaxError(m_s, m_tok.pos, QStringLiteral("text without its closing quote"));
                const QChar d = m_s.at(m_i++);
                if (d == quote) {
                    if (m_i < m_s.size() && m_s.at(m_i) == quote) { out += quote; ++m_i; continue; }
                    break;
                }
                out += d;
            }
            m_tok.type = Token::String;
            m_tok.text = out;
            return;
        }
        if (c == QLatin1Char('{')) {
            const qsizetype close = m_s.indexOf(QLatin1Char('}'), m_i);
            if (close < 0) syntaxError(m_s, m_tok.pos, QStringLiteral("field name without its closing brace"));
            QString name = m_s.mid(m_i + 1, close - m_i - 1).trimmed();
            m_i = close + 1;
            if (name.startsWith(QLatin1Char('?'))) {
                m_tok.type = Token::ParamRef;
                name = name.mid(1).trimmed();
            } else {
                m_tok.type = Token::FieldRef;
            }
            if (name.isEmpty()) syntaxError(m_s, m_tok.pos, QStringLiteral("empty name in braces"));
            m_tok.text = name;
            return;
        }
        if (c.isLetter() || c == QLatin1Char('_')) {
            const qsizetype start = m_i;
            while (m_i < m_s.size() && (m_s.at(m_i).isLetterOrNumber() || m_s.at(m_i) == QLatin1Char('_'))) ++m_i;
            m_tok.type = Token::Ident;
            m_tok.text = m_s.mid(start, m_i - start);
            return;
        }
        static const char* const twoChar[] = {"<>", "<=", ">=", "!=", "=="};
        for (const char* sym : twoChar) {
            if (m_s.mid(m_i, 2) == QLatin1String(sym)) {
                m_tok.type = Token::Symbol;
                m_tok.text = QString::fromLatin1(sym);
                m_i += 2;
                return;
            }
        }
        if (QStringLiteral("+-*/&=<>(),").contains(c)) {
            m_tok.type = Token::Symbol;
            m_tok.text = QString(c);
            ++m_i;
            return;
        }
        syntaxError(m_s, m_tok.pos, QStringLiteral("unexpected character '%1'").arg(c));
    }

    const QString& m_s;
    qsizetype m_i = 0;
    Token m_tok;
};

using NodePtr = std::shared_ptr<ExprNode>;

NodePtr makeNode(ExprNode::Kind kind)
{
    auto n = std::make_shared<ExprNode>();
    n->kind = kind;
    return n;
}

NodePtr makeBinary(Op op, NodePtr a, NodePtr b)
{
    auto n = makeNode(ExprNode::Binary);
    n->op = op;
    n->kids = {std::move(a), std::move(b)};
    return n;
}

bool isKeyword(const Token& t, const char* word)
{
    return t.type == Token::Ident && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isSymbol(const Token& t, const char* sym) { return t.type == Token::Symbol && t.text == QLatin1String(sym); }

class Parser {
public:
    Parser(const QString& text, Binder& binder) : m_text(text), m_lex(text), m_binder(binder) {}

    NodePtr parseAll()
    {
        NodePtr n = parseExpr();
        if (m_lex.peek().type != Token::End) fail(QStringLiteral("unexpected \"%1\"").arg(m_lex.peek().text));
        return n;
    }

    bool usesPageNumbers = false;
    bool usesAggregates = false;
    bool usesFields = false;

private:
    [[noreturn]] void fail(const QString& what) { syntaxError(m_text, m_lex.peek().pos, what); }

    void expectSymbol(const char* sym)
    {
        if (!isSymbol(m_lex.peek(), sym)) fail(QStringLiteral("\"%1\" expected").arg(QLatin1String(sym)));
        m_lex.take();
    }

    NodePtr parseExpr()
    {
        if (isKeyword(m_lex.peek(), "if")) {
            m_lex.take();
            auto n = makeNode(ExprNode::If);
            NodePtr cond = parseExpr();
            if (!isKeyword(m_lex.peek(), "then")) fail(QStringLiteral("\"then\" expected"));
            m_lex.take();
            NodePtr a = parseExpr();
            NodePtr b;
            if (isKeyword(m_lex.peek(), "else")) {
                m_lex.take();
                b = parseExpr();
            } else {
                b = makeNode(ExprNode::Literal);
            }
            n->kids = {cond, a, b};
            return n;
        }
        return parseOr();
    }

    NodePtr parseOr()
    {
        NodePtr n = parseAnd();
        while (isKeyword(m_lex.peek(), "or")) {
            m_lex.take();
            n = makeBinary(Op::Or, n, parseAnd());
        }
        return n;
    }

    NodePtr parseAnd()
    {
        NodePtr n = parseNot();
        while (isKeyword(m_lex.peek(), "and")) {
            m_lex.take();
            n = makeBinary(Op::And, n, parseNot());
        }
        return n;
    }

    NodePtr parseNot()
    {
        if (isKeyword(m_lex.peek(), "not")) {
            m_lex.take();
            auto n = makeNode(ExprNode::Unary);
            n->op = Op::Not;
            n->kids = {parseNot()};
            return n;
        }
        return parseComparison();
    }

    NodePtr parseComparison()
    {
        NodePtr n = parseJoin();
        const Token& t = m_lex.peek();
        if (isKeyword(t, "is")) {
            m_lex.take();
            auto test = makeNode(ExprNode::NullTest);
            if (isKeyword(m_lex.peek(), "not")) { m_lex.take(); test->negate = true; }
            if (!isKeyword(m_lex.peek(), "null")) fail(QStringLiteral("\"null\" expected after \"is\""));
            m_lex.take();
            test->kids = {n};
            return test;
        }
        if (t.type == Token::Symbol) {
            Op op;
            if (t.text == QLatin1String("=") || t.text == QLatin1String("==")) op = Op::Eq;
            else if (t.text == QLatin1String("<>") || t.text == QLatin1String("!=")) op = Op::Ne;
            else if (t.text == QLatin1String("<")) op = Op::Lt;
            else if (t.text == QLatin1String(">")) op = Op::Gt;
            else if (t.text == QLatin1String("<=")) op = Op::Le;
            else if (t.text == QLatin1String(">=")) op = Op::Ge;
            else return n;
            m_lex.take();
            return makeBinary(op, n, parseJoin());
        }
        return n;
    }

    NodePtr parseJoin()
    {
        NodePtr n = parseAdditive();
        while (isSymbol(m_lex.peek(), "&")) {
            m_lex.take();
            n = makeBinary(Op::Join, n, parseAdditive());
        }
        return n;
    }

    NodePtr parseAdditive()
    {
        NodePtr n = parseTerm();
        for (;;) {
            if (isSymbol(m_lex.peek(), "+")) { m_lex.take(); n = makeBinary(Op::Add, n, parseTerm()); }
            else if (isSymbol(m_lex.peek(), "-")) { m_lex.take(); n = makeBinary(Op::Sub, n, parseTerm()); }
            else return n;
        }
    }

    NodePtr parseTerm()
    {
        NodePtr n = parseUnary();
        for (;;) {
            if (isSymbol(m_lex.peek(), "*")) { m_lex.take(); n = makeBinary(Op::Mul, n, parseUnary()); }
            else if (isSymbol(m_lex.peek(), "/")) { m_lex.take(); n = makeBinary(Op::Div, n, parseUnary()); }
            else return n;
        }
    }

    NodePtr parseUnary()
    {
        if (isSymbol(m_lex.peek(), "-")) {
            m_lex.take();
            auto n = makeNode(ExprNode::Unary);
            n->op = Op::Neg;
            n->kids = {parseUnary()};
            return n;
        }
        if (isSymbol(m_lex.peek(), "+")) { m_lex.take(); return parseUnary(); }
        return parsePrimary();
    }

    std::vector<NodePtr> parseArgs()
    {
        std::vector<NodePtr> args;
        expectSymbol("(");
        if (isSymbol(m_lex.peek(), ")")) { m_lex.take(); return args; }
        for (;;) {
            args.push_back(parseExpr());
            if (isSymbol(m_lex.peek(), ",")) { m_lex.take(); continue; }
            expectSymbol(")");
            return args;
        }
    }

    NodePtr parsePrimary()
    {
        const Token t = m_lex.take();
        switch (t.type) {
        case Token::Number: {
            auto n = makeNode(ExprNode::Literal);
            n->literal = t.number;
            return n;
        }
        case Token::String: {
            auto n = makeNode(ExprNode::Literal);
            n->literal = Value(t.text);
            return n;
        }
        case Token::FieldRef: {
            auto n = makeNode(ExprNode::Field);
            n->slot = m_binder.fieldSlot(t.text);
            usesFields = true;
            return n;
        }
        case Token::ParamRef: {
            auto n = makeNode(ExprNode::Param);
            n->slot = m_binder.parameterSlot(t.text);
            return n;
        }
        case Token::Symbol:
            if (t.text == QLatin1String("(")) {
                NodePtr n = parseExpr();
                expectSymbol(")");
                return n;
            }
            syntaxError(m_text, t.pos, QStringLiteral("unexpected \"%1\"").arg(t.text));
        case Token::Ident:
            return parseIdentifier(t);
        case Token::End:
            break;
        }
        syntaxError(m_text, t.pos, QStringLiteral("the formula ends too early"));
    }

    NodePtr parseIdentifier(const Token& t)
    {
        const QString w = t.text.toLower();
        if (w == QLatin1String("true") || w == QLatin1String("false")) {
            auto n = makeNode(ExprNode::Literal);
            n->literal = Value(w == QLatin1String("true"));
            return n;
        }
        if (w == QLatin1String("null")) return makeNode(ExprNode::Literal);
        static const struct { const char* name; Special s; } specials[] = {
            {"pagenumber", Special::PageNumber}, {"pagecount", Special::PageCount},
            {"totalpagecount", Special::PageCount}, {"recordnumber", Special::RecordNumber},
            {"printdate", Special::PrintDate}};
        for (const auto& s : specials) {
            if (w == QLatin1String(s.name)) {
                auto n = makeNode(ExprNode::SpecialValue);
                n->special = s.s;
                if (s.s == Special::PageCount || s.s == Special::PageNumber) usesPageNumbers = true;
                return n;
            }
        }
        static const struct { const char* name; AggregateKind k; } aggregates[] = {
            {"sum", AggregateKind::Sum}, {"count", AggregateKind::Count}, {"min", AggregateKind::Min},
            {"max", AggregateKind::Max}, {"avg", AggregateKind::Avg}, {"average", AggregateKind::Avg}};
        for (const auto& a : aggregates) {
            if (w == QLatin1String(a.name)) {
                std::vector<NodePtr> args = parseArgs();
                if (args.empty() || args.size() > 3)
                    syntaxError(m_text, t.pos,
                                QStringLiteral("%1 takes a value, an optional scope and an optional group to take it once per").arg(t.text));
                QString names[2];
                for (size_t i = 1; i < args.size(); ++i) {
                    if (args[i]->kind != ExprNode::Literal || args[i]->literal.type() != Value::Type::Text)
                        syntaxError(m_text, t.pos, QStringLiteral("the scope and group of %1 must be quoted names").arg(t.text));
                    names[i - 1] = args[i]->literal.toString();
                }
                usesAggregates = true;
                auto n = makeNode(ExprNode::Aggregate);
                n->slot = names[1].isEmpty() ? m_binder.aggregateSlot(a.k, args[0], names[0])
                                             : m_binder.aggregateSlot(a.k, args[0], names[0], names[1]);
                return n;
            }
        }
        static const struct { const char* name; Func f; int minArgs; int maxArgs; } funcs[] = {
            {"isnull", Func::IsNull, 1, 1}, {"iif", Func::IIf, 3, 3}, {"coalesce", Func::Coalesce, 1, 16},
            {"left", Func::Left, 2, 2}, {"right", Func::Right, 2, 2}, {"mid", Func::Mid, 2, 3},
            {"trim", Func::Trim, 1, 1}, {"upper", Func::Upper, 1, 1}, {"uppercase", Func::Upper, 1, 1},
            {"lower", Func::Lower, 1, 1}, {"lowercase", Func::Lower, 1, 1}, {"len", Func::Len, 1, 1},
            {"round", Func::Round, 1, 2}, {"abs", Func::Abs, 1, 1}, {"text", Func::Text, 1, 2},
            {"totext", Func::Text, 1, 2}, {"date", Func::Date, 1, 3}, {"year", Func::Year, 1, 1},
            {"month", Func::Month, 1, 1}, {"day", Func::Day, 1, 1}};
        for (const auto& f : funcs) {
            if (w == QLatin1String(f.name)) {
                std::vector<NodePtr> args = parseArgs();
                if (int(args.size()) < f.minArgs || int(args.size()) > f.maxArgs)
                    syntaxError(m_text, t.pos, QStringLiteral("wrong number of arguments for %1").arg(t.text));
                if (f.f == Func::Date && args.size() == 2)
                    syntaxError(m_text, t.pos, QStringLiteral("Date takes a value, or a year, month and day"));
                auto n = makeNode(ExprNode::Call);
                n->func = f.f;
                n->kids.assign(args.begin(), args.end());
                return n;
            }
        }
        syntaxError(m_text, t.pos, QStringLiteral("unknown name \"%1\" (fields are written {Name}, parameters {?Name})")
                                       .arg(t.text));
    }

    const QString& m_text;
    Lexer m_lex;
    Binder& m_binder;
};

bool truthy(const Value& v) { return !v.isNull() && v.toBool(); }

double roundHalfAway(double x, int decimals)
{
    const double p = std::pow(10.0, decimals);
    const double scaled = std::fabs(x) * p;
    // Nudge by one part in 10^12 so decimal halves stored just below .5 round up.
    const double r = std::floor(scaled * (1 + 1e-12) + 0.5) / p;
    return x < 0 ? -r : r;
}

Value roundValue(const Value& v, int decimals)
{
    if (v.isNull()) return v;
    if (v.type() == Value::Type::Int && decimals >= 0) return v;
    if (v.type() == Value::Type::Currency) {
        decimals = std::clamp(decimals, 0, 4);
        std::int64_t div = 1;
        for (int i = decimals; i < 4; ++i) div *= 10;
        const std::int64_t raw = v.toCurrency().raw();
        const std::int64_t mag = ((raw < 0 ? -raw : raw) + div / 2) / div * div;
        return Value(Currency::fromRaw(raw < 0 ? -mag : mag));
    }
    const double r = roundHalfAway(v.toDouble(), decimals);
    if (decimals <= 0 && std::fabs(r) < 9e15) return Value(std::int64_t(r));
    return Value(r);
}

QDate toDateValue(const Value& v) { return v.toDate(); }

}  // namespace

namespace ops {

bool isNumeric(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Int: case Value::Type::Double: case Value::Type::Currency: case Value::Type::Bool:
        return true;
    default:
        return false;
    }
}

static bool isDated(const Value& v) { return v.type() == Value::Type::Date || v.type() == Value::Type::DateTime; }

Value add(const Value& a, const Value& b)
{
    if (a.type() == Value::Type::Text || b.type() == Value::Type::Text) return Value(a.toString() + b.toString());
    if (a.isNull() || b.isNull()) return Value();
    if (isDated(a) && isNumeric(b)) {
        if (a.type() == Value::Type::Date) return Value(a.toDate().addDays(std::int64_t(std::floor(b.toDouble()))));
        return Value(a.toDateTime().addMSecs(std::int64_t(std::llround(b.toDouble() * 86400000.0))));
    }
    if (isNumeric(a) && isDated(b)) return add(b, a);
    if (a.type() == Value::Type::Int && b.type() == Value::Type::Int) return Value(a.toInt() + b.toInt());
    if (a.type() == Value::Type::Currency || b.type() == Value::Type::Currency) {
        if (a.type() == Value::Type::Double || b.type() == Value::Type::Double)
            return Value(Currency::fromDouble(a.toDouble() + b.toDouble()));
        return Value(a.toCurrency() + b.toCurrency());
    }
    return Value(a.toDouble() + b.toDouble());
}

Value subtract(const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull()) return Value();
    if (isDated(a) && isDated(b)) {
        if (a.type() == Value::Type::Date && b.type() == Value::Type::Date)
            return Value(std::int64_t(b.toDate().daysTo(a.toDate())));
        return Value(double(b.toDateTime().msecsTo(a.toDateTime())) / 86400000.0);
    }
    if (isDated(a) && isNumeric(b)) {
        if (b.type() == Value::Type::Int) return add(a, Value(-b.toInt()));
        return add(a, Value(-b.toDouble()));
    }
    if (a.type() == Value::Type::Int && b.type() == Value::Type::Int) return Value(a.toInt() - b.toInt());
    if (a.type() == Value::Type::Currency || b.type() == Value::Type::Currency) {
        if (a.type() == Value::Type::Double || b.type() == Value::Type::Double)
            return Value(Currency::fromDouble(a.toDouble() - b.toDouble()));
        return Value(a.toCurrency() - b.toCurrency());
    }
    return Value(a.toDouble() - b.toDouble());
}

Value multiply(const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull()) return Value();
    if (a.type() == Value::Type::Int && b.type() == Value::Type::Int) return Value(a.toInt() * b.toInt());
    const bool ca = a.type() == Value::Type::Currency, cb = b.type() == Value::Type::Currency;
    if (ca != cb) {
        const Value& money = ca ? a : b;
        const Value& factor = ca ? b : a;
        if (factor.type() == Value::Type::Int)
            return Value(Currency::fromRaw(money.toCurrency().raw() * factor.toInt()));
        return Value(Currency::fromDouble(money.toDouble() * factor.toDouble()));
    }
    return Value(a.toDouble() * b.toDouble());
}

Value divide(const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull()) return Value();
    const double d = b.toDouble();
    if (d == 0.0) return Value();  // a division by zero prints as blank, not as "inf"
    if (a.type() == Value::Type::Currency && b.type() != Value::Type::Currency)
        return Value(Currency::fromDouble(a.toDouble() / d));
    return Value(a.toDouble() / d);
}

int compare(const Value& a, const Value& b)
{
    if (a.type() == Value::Type::Text && b.type() == Value::Type::Text) {
        const int c = QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.type() == Value::Type::Text && isNumeric(b)) {
        bool ok = false;
        const double x = a.toString().trimmed().toDouble(&ok);
        if (ok) return x < b.toDouble() ? -1 : (x > b.toDouble() ? 1 : 0);
    }
    if (b.type() == Value::Type::Text && isNumeric(a)) return -compare(b, a);
    if ((a.type() == Value::Type::Text && isDated(b)) || (isDated(a) && b.type() == Value::Type::Text)) {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        if (x.isValid() && y.isValid()) return x < y ? -1 : (y < x ? 1 : 0);
    }
    return Value::compare(a, b);
}

}  // namespace ops

int Binder::aggregateSlot(AggregateKind, std::shared_ptr<const ExprNode>, const QString&, const QString& eachGroup)
{
    throw DbError(ErrorNumber::ReportTemplate,
                  QStringLiteral("no group named \"%1\" to take a running total once per").arg(eachGroup),
                  QStringLiteral("Report engine"));
}

Expression Expression::compile(const QString& text, Binder& binder)
{
    Parser p(text, binder);
    Expression e;
    e.m_root = p.parseAll();
    e.m_text = text;
    e.m_usesPageNumbers = p.usesPageNumbers;
    e.m_usesAggregates = p.usesAggregates;
    e.m_usesFields = p.usesFields;
    return e;
}

Expression Expression::constant(const Value& v)
{
    auto n = makeNode(ExprNode::Literal);
    n->literal = v;
    Expression e;
    e.m_root = n;
    e.m_text = v.toString();
    return e;
}

Value Expression::evaluate(const EvalContext& ctx) const
{
    if (!m_root) return Value();
    return evaluateNode(*m_root, ctx);
}

Value Expression::evaluateNode(const ExprNode& n, const EvalContext& ctx)
{
    auto arg = [&](int i) { return evaluateNode(*n.kids[i], ctx); };
    switch (n.kind) {
    case ExprNode::Literal: return n.literal;
    case ExprNode::Field: return ctx.field(n.slot);
    case ExprNode::Param: return ctx.parameter(n.slot);
    case ExprNode::SpecialValue: return ctx.special(n.special);
    case ExprNode::Aggregate: return ctx.aggregate(n.slot);
    case ExprNode::If: return truthy(arg(0)) ? arg(1) : arg(2);
    case ExprNode::NullTest: return Value(arg(0).isNull() != n.negate);
    case ExprNode::Unary: {
        const Value v = arg(0);
        if (n.op == Op::Not) return v.isNull() ? Value() : Value(!v.toBool());
        return ops::multiply(v, Value(-1));
    }
    case ExprNode::Binary: {
        if (n.op == Op::And) return Value(truthy(arg(0)) && truthy(arg(1)));
        if (n.op == Op::Or) return Value(truthy(arg(0)) || truthy(arg(1)));
        const Value a = arg(0), b = arg(1);
        switch (n.op) {
        case Op::Add: return ops::add(a, b);
        case Op::Sub: return ops::subtract(a, b);
        case Op::Mul: return ops::multiply(a, b);
        case Op::Div: return ops::divide(a, b);
        case Op::Join: return Value(a.toString() + b.toString());
        default: break;
        }
        // A comparison with a missing value is not true (nor is its negation).
        if (a.isNull() || b.isNull()) return Value(false);
        const int c = ops::compare(a, b);
        switch (n.op) {
        case Op::Eq: return Value(c == 0);
        case Op::Ne: return Value(c != 0);
        case Op::Lt: return Value(c < 0);
        case Op::Gt: return Value(c > 0);
        case Op::Le: return Value(c <= 0);
        case Op::Ge: return Value(c >= 0);
        default: return Value();
        }
    }
    case ExprNode::Call: {
        switch (n.func) {
        case Func::IsNull: return Value(arg(0).isNull());
        case Func::IIf: return truthy(arg(0)) ? arg(1) : arg(2);
        case Func::Coalesce:
            for (size_t i = 0; i < n.kids.size(); ++i) {
                Value v = arg(int(i));
                if (!v.isNull()) return v;
            }
            return Value();
        case Func::Left: {
            const Value s = arg(0);
            if (s.isNull()) return s;
            return Value(s.toString().left(std::max<std::int64_t>(0, arg(1).toInt())));
        }
        case Func::Right: {
            const Value s = arg(0);
            if (s.isNull()) return s;
            return Value(s.toString().right(std::max<std::int64_t>(0, arg(1).toInt())));
        }
        case Func::Mid: {
            const Value s = arg(0);
            if (s.isNull()) return s;
            const qsizetype start = std::max<std::int64_t>(1, arg(1).toInt()) - 1;
            const qsizetype len = n.kids.size() > 2 ? std::max<std::int64_t>(0, arg(2).toInt()) : -1;
            return Value(s.toString().mid(start, len));
        }
        case Func::Trim: { const Value s = arg(0); return s.isNull() ? s : Value(s.toString().trimmed()); }
        case Func::Upper: { const Value s = arg(0); return s.isNull() ? s : Value(s.toString().toUpper()); }
        case Func::Lower: { const Value s = arg(0); return s.isNull() ? s : Value(s.toString().toLower()); }
        case Func::Len: { const Value s = arg(0); return Value(std::int64_t(s.toString().size())); }
        case Func::Round: return roundValue(arg(0), n.kids.size() > 1 ? int(arg(1).toInt()) : 0);
        case Func::Abs: {
            const Value v = arg(0);
            if (v.isNull()) return v;
            return ops::compare(v, Value(0)) < 0 ? ops::multiply(v, Value(-1)) : v;
        }
        case Func::Text: return Value(formatValue(arg(0), n.kids.size() > 1 ? arg(1).toString() : QString()));
        case Func::Date: {
            if (n.kids.size() == 1) {
                const Value v = arg(0);
                const QDate d = toDateValue(v);
                return d.isValid() ? Value(d) : Value();
            }
            const QDate d(int(arg(0).toInt()), int(arg(1).toInt()), int(arg(2).toInt()));
            return d.isValid() ? Value(d) : Value();
        }
        case Func::Year: case Func::Month: case Func::Day: {
            const QDate d = toDateValue(arg(0));
            if (!d.isValid()) return Value();
            return Value(std::int64_t(n.func == Func::Year ? d.year() : n.func == Func::Month ? d.month() : d.day()));
        }
        }
        return Value();
    }
    }
    return Value();
}

}  // namespace quillon::reports
