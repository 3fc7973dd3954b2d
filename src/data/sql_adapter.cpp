#include "data/sql_adapter.h"

#include "data/column_kind.h"
#include "data/dberror.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>

#include <optional>

namespace quillon {

using namespace sql;

// ---- schema ---------------------------------------------------------------

const SqlSchemaInfo::Column* SqlSchemaInfo::Table::column(const QString& name) const
{
    for (const Column& c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

QStringList SqlSchemaInfo::Table::keyColumns() const
{
    QStringList keys;
    for (const Column& c : columns)
        if (c.primaryKey) keys << c.name;
    return keys;
}

void SqlSchemaInfo::addColumn(const QString& database, const QString& table, const Column& column)
{
    const QString key = table.toLower();
    auto it = m_tables.find(key);
    if (it != m_tables.end() && it->database != database) {
        // A temporary table hides a stored one of the same name.
        if (database != QLatin1String("temp")) return;
        m_tables.erase(it);
        it = m_tables.end();
    }
    if (it == m_tables.end()) it = m_tables.insert(key, Table{table, database, {}});
    it->columns.push_back(column);
}

const SqlSchemaInfo::Table* SqlSchemaInfo::table(const QString& name) const
{
    auto it = m_tables.constFind(name.toLower());
    return it == m_tables.constEnd() ? nullptr : &*it;
}

QString SqlSchemaInfo::declaredType(const QString& table, const QString& column) const
{
    const Table* t = this->table(table);
    if (!t) return QString();
    const Column* c = t->column(column);
    if (!c) return QString();
    return c->declaredType.isNull() ? QStringLiteral("") : c->declaredType;
}

// ---- dates ----------------------------------------------------------------

namespace {

QTime timeOf(const QRegularExpressionMatch& m, int first, bool* valid)
{
    int h = m.captured(first).toInt();
    const int mi = m.captured(first + 1).toInt();
    const int s = m.capturedLength(first + 2) > 0 ? m.captured(first + 2).toInt() : 0;
    const QString frac = m.captured(first + 3);
    const int ms = frac.isEmpty() ? 0 : QString(frac + QStringLiteral("00")).left(3).toInt();
    const QString ap = m.captured(first + 4).toUpper();
    if (!ap.isEmpty()) {
        // 12:xx AM is just after midnight, 12:xx PM just after noon.
        if (h < 1 || h > 12) *valid = false;
        h = h % 12 + (ap == QLatin1String("PM") ? 12 : 0);
    }
    const QTime t(h, mi, s, ms);
    if (!t.isValid()) *valid = false;
    return t;
}

}  // namespace

int SqlAdapter::parseServerDate(const QString& text, ServerDate& out)
{
#define QUILLON_TIME "(?:[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,7}))?)?\\s*([AaPp][Mm])?)?"
    // Month first (mdy), with / - or . between the parts and a two- or four-digit year.
    static const QRegularExpression mdy(QStringLiteral("^\\s*(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4}|\\d{2})" QUILLON_TIME "\\s*$"));
    // ISO (yyyy-mm-dd, with a blank or T before the time) and the unseparated yyyymmdd.
    static const QRegularExpression ymd(QStringLiteral("^\\s*(\\d{4})-?(\\d{2})-?(\\d{2})" QUILLON_TIME "\\s*$"));
#undef QUILLON_TIME
    bool valid = true;
    QRegularExpressionMatch m = mdy.match(text);
    if (m.hasMatch()) {
        int year = m.captured(4).toInt();
        // Two-digit years: 00-49 in this century, 50-99 in the last.
        if (m.capturedLength(4) == 2) year += year < 50 ? 2000 : 1900;
        out.date = QDate(year, m.captured(1).toInt(), m.captured(3).toInt());
        out.hasTime = m.capturedLength(5) > 0;
        out.time = out.hasTime ? timeOf(m, 5, &valid) : QTime(0, 0);
    } else {
        m = ymd.match(text);
        if (!m.hasMatch()) return 0;
        const QString digits = m.captured(0).trimmed();
        // Separated both times or not at all: 2026-0714 is no date.
        if (digits.size() >= 8 && (digits.at(4) == QLatin1Char('-')) != (digits.at(7) == QLatin1Char('-'))) return 0;
        out.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        out.hasTime = m.capturedLength(4) > 0;
        out.time = out.hasTime ? timeOf(m, 4, &valid) : QTime(0, 0);
    }
    return valid && out.date.isValid() ? 1 : -1;
}

QString SqlAdapter::storedForm(const ServerDate& d, ColumnKind kind)
{
    const QString date = d.date.toString(QStringLiteral("yyyy-MM-dd"));
    if (kind == ColumnKind::Date || (kind != ColumnKind::DateTime && !d.hasTime)) return date;
    QString time = d.time.toString(QStringLiteral("HH:mm:ss"));
    if (d.time.msec() != 0) time += d.time.toString(QStringLiteral(".zzz"));
    return date + QLatin1Char(' ') + time;
}

QString SqlAdapter::isoFromUsDate(const QString& text, bool* ok)
{
    if (ok) *ok = true;
    ServerDate d;
    const int r = parseServerDate(text, d);
    if (r == 0) return QString();
    if (r < 0) {
        if (ok) *ok = false;
        return text;
    }
    return storedForm(d, ColumnKind::Auto);
}

static DbError badDateError()
{
    return DbError(242, QStringLiteral("The conversion of a varchar data type to a datetime data type resulted in an out-of-range value."),
                   QStringLiteral("SQLite"));
}

// ---- operand analysis -----------------------------------------------------

namespace {

bool isNameTok(const Token& t)
{
    return (t.kind == TokenKind::Ident && !isReservedWord(t.text)) || t.kind == TokenKind::QuotedIdent;
}

bool isComparison(const Token& t)
{
    if (t.kind != TokenKind::Operator) return false;
    static const QSet<QString> ops = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("!="), QStringLiteral("<"),
                                      QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("==")};
    return ops.contains(t.text);
}

const QSet<QString>& textFunctions()
{
    static const QSet<QString> f = {
        QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("ltrim"), QStringLiteral("rtrim"),
        QStringLiteral("trim"), QStringLiteral("str"), QStringLiteral("substring"), QStringLiteral("substr"),
        QStringLiteral("upper"), QStringLiteral("lower"), QStringLiteral("ucase"), QStringLiteral("lcase"),
        QStringLiteral("replace"), QStringLiteral("f_sortrequestnumber"), QStringLiteral("char"),
        QStringLiteral("nchar"), QStringLiteral("space"), QStringLiteral("replicate"), QStringLiteral("quotename"),
        QStringLiteral("format"), QStringLiteral("reverse"), QStringLiteral("stuff"), QStringLiteral("concat"),
        QStringLiteral("mid")};
    return f;
}

// Functions whose result has the type of their arguments.
const QSet<QString>& passThroughFunctions()
{
    static const QSet<QString> f = {QStringLiteral("isnull"), QStringLiteral("ifnull"), QStringLiteral("coalesce"),
                                    QStringLiteral("max"), QStringLiteral("min"), QStringLiteral("nullif"),
                                    QStringLiteral("iif")};
    return f;
}

class Analyzer {
public:
    Analyzer(const Tokens& t, const SqlSchemaInfo* schema) : m_t(t), m_schema(schema), m_refs(collectTableRefs(t)) {}

    QString columnType(const QString& qualifier, const QString& column) const
    {
        if (!m_schema) return QString();
        if (!qualifier.isEmpty()) {
            QString table = m_refs.resolve(qualifier);
            if (table.isEmpty()) table = qualifier;
            return m_schema->declaredType(table, column);
        }
        for (const QString& table : m_refs.tables) {
            const QString type = m_schema->declaredType(table, column);
            if (!type.isNull()) return type;
        }
        // Not in the tables the statement names: the type it has in every
        // table that has such a column, if they agree.
        QString found;
        for (const auto& table : m_schema->tables()) {
            const auto* c = table.column(column);
            if (!c) continue;
            if (!found.isNull() && (columnKindOf(c->declaredType) != columnKindOf(found)
                                    || isTextDeclaredType(c->declaredType) != isTextDeclaredType(found)))
                return QString();
            found = c->declaredType.isNull() ? QStringLiteral("") : c->declaredType;
        }
        return found;
    }

    // The declared type of the column whose name ends at index i, or null.
    QString columnEndingAt(int i) const
    {
        if (i < 0 || !isNameTok(m_t[i])) return QString();
        const QString column = identifierName(m_t[i]);
        QString qualifier;
        const int dot = prevSignificant(m_t, i);
        if (dot >= 0 && m_t[dot].kind == TokenKind::Dot) {
            const int q = prevSignificant(m_t, dot);
            if (q >= 0 && isNameTok(m_t[q])) qualifier = identifierName(m_t[q]);
        }
        return columnType(qualifier, column);
    }

    bool functionIsText(const QString& name, int lparen) const
    {
        const QString f = name.toLower();
        if (textFunctions().contains(f)) return true;
        if (passThroughFunctions().contains(f)) return groupIsText(lparen, matchingParen(m_t, lparen));
        return false;
    }

    // Operand whose last token is at i (the left side of an operator).
    bool backwardIsText(int i) const
    {
        if (i < 0) return false;
        const Token& t = m_t[i];
        switch (t.kind) {
        case TokenKind::String: return true;
        case TokenKind::Ident:
        case TokenKind::QuotedIdent:
            if (t.isWord("END")) {
                for (int k = i - 1, depth = 0; k >= 0; --k) {
                    if (m_t[k].isWord("END")) ++depth;
                    else if (m_t[k].isWord("CASE") && depth-- == 0) return rangeIsText(k, i);
                }
                return false;
            }
            return isTextDeclaredType(columnEndingAt(i));
        case TokenKind::RParen: {
            const int l = matchingParen(m_t, i);
            if (l < 0) return false;
            const int f = prevSignificant(m_t, l);
            if (f >= 0 && isNameTok(m_t[f])) return functionIsText(identifierName(m_t[f]), l);
            return groupIsText(l, i);
        }
        default: return false;
        }
    }

    // Operand whose first token is at i (the right side of an operator).
    bool forwardIsText(int i) const
    {
        if (i < 0) return false;
        const Token& t = m_t[i];
        switch (t.kind) {
        case TokenKind::String: return true;
        case TokenKind::LParen: return groupIsText(i, matchingParen(m_t, i));
        case TokenKind::Ident:
        case TokenKind::QuotedIdent: {
            if (t.isWord("CASE")) {
                for (int k = i + 1, depth = 0; k < int(m_t.size()); ++k) {
                    if (m_t[k].isWord("CASE")) ++depth;
                    else if (m_t[k].isWord("END") && depth-- == 0) return rangeIsText(i, k);
                }
                return false;
            }
            if (!isNameTok(t)) return false;
            const int last = lastOfDottedName(i);
            const int after = nextSignificant(m_t, last);
            if (after >= 0 && m_t[after].kind == TokenKind::LParen)
                return functionIsText(identifierName(m_t[last]), after);
            return isTextDeclaredType(columnEndingAt(last));
        }
        default: return false;
        }
    }

    // A parenthesised expression is text when one of its top-level operands is.
    bool groupIsText(int l, int r) const { return l >= 0 && r > l && rangeIsText(l, r); }

    bool rangeIsText(int from, int to) const
    {
        for (int k = from + 1; k < to; ++k) {
            const Token& t = m_t[k];
            if (t.kind == TokenKind::String) return true;
            if (t.kind == TokenKind::LParen) {
                const int r = matchingParen(m_t, k);
                if (r < 0) return false;
                if (backwardIsText(r)) return true;
                k = r;
                continue;
            }
            if (isNameTok(t)) {
                const int next = nextSignificant(m_t, k);
                if (next >= 0 && (m_t[next].kind == TokenKind::Dot || m_t[next].kind == TokenKind::LParen)) continue;
                if (backwardIsText(k)) return true;
            }
        }
        return false;
    }

    // The declared type of the expression whose last token is at j: a
    // column, or a function that returns its argument's type; null if unknown.
    QString typeEndingAt(int j) const
    {
        if (j < 0) return QString();
        if (isNameTok(m_t[j])) return columnEndingAt(j);
        if (m_t[j].kind != TokenKind::RParen) return QString();
        const int l = matchingParen(m_t, j);
        const int f = l >= 0 ? prevSignificant(m_t, l) : -1;
        if (f < 0 || !isNameTok(m_t[f])) return QString();
        const QString name = identifierName(m_t[f]).toLower();
        if (passThroughFunctions().contains(name)) return typeStartingAt(nextSignificant(m_t, l));
        if (name == QLatin1String("dateadd") || name == QLatin1String("getdate")) return QStringLiteral("DATETIME");
        return QString();
    }

    // The last token of the dotted name (a, a.b, a.b.c) that starts at i.
    int lastOfDottedName(int i) const
    {
        int last = i;
        for (;;) {
            const int dot = nextSignificant(m_t, last);
            if (dot < 0 || m_t[dot].kind != TokenKind::Dot) break;
            const int part = nextSignificant(m_t, dot);
            if (part < 0 || !isNameTok(m_t[part])) break;
            last = part;
        }
        return last;
    }

    // The same for the expression whose first token is at i.
    QString typeStartingAt(int i) const
    {
        if (i < 0 || !isNameTok(m_t[i])) return QString();
        const int last = lastOfDottedName(i);
        const int after = nextSignificant(m_t, last);
        if (after >= 0 && m_t[after].kind == TokenKind::LParen) return typeEndingAt(matchingParen(m_t, after));
        return columnEndingAt(last);
    }

    static bool isNumericFunction(const QString& name)
    {
        static const QSet<QString> f = {
            QStringLiteral("len"), QStringLiteral("count"), QStringLiteral("sum"), QStringLiteral("avg"),
            QStringLiteral("datepart"), QStringLiteral("datediff"), QStringLiteral("year"), QStringLiteral("month"),
            QStringLiteral("day"), QStringLiteral("round"), QStringLiteral("abs"), QStringLiteral("floor"),
            QStringLiteral("ceiling"), QStringLiteral("charindex"), QStringLiteral("sign")};
        return f.contains(name.toLower());
    }

    static bool isNumericType(const QString& declared)
    {
        if (declared.isEmpty()) return false;
        switch (columnKindOf(declared)) {
        case ColumnKind::Int: case ColumnKind::Double: case ColumnKind::Currency: case ColumnKind::Bool: return true;
        default: return false;
        }
    }

    // Operands of a number type: a number, a numeric column, a function that
    // returns a number. SQL Server turns the other operand of "+" into a
    // number then, so "+" adds.
    bool backwardIsNumber(int j) const
    {
        if (j < 0) return false;
        if (m_t[j].kind == TokenKind::Number) return true;
        if (m_t[j].kind == TokenKind::RParen) {
            const int l = matchingParen(m_t, j);
            const int f = l >= 0 ? prevSignificant(m_t, l) : -1;
            if (f >= 0 && isNameTok(m_t[f]) && isNumericFunction(identifierName(m_t[f]))) return true;
        }
        return isNumericType(typeEndingAt(j));
    }

    bool forwardIsNumber(int i) const
    {
        if (i < 0) return false;
        if (m_t[i].kind == TokenKind::Number) return true;
        if (isNameTok(m_t[i])) {
            const int after = nextSignificant(m_t, i);
            if (after >= 0 && m_t[after].kind == TokenKind::LParen && isNumericFunction(identifierName(m_t[i]))) return true;
        }
        return isNumericType(typeStartingAt(i));
    }

    const TableRefs& refs() const { return m_refs; }

private:
    const Tokens& m_t;
    const SqlSchemaInfo* m_schema;
    TableRefs m_refs;
};

bool endsOperand(const Token& t)
{
    switch (t.kind) {
    case TokenKind::String: case TokenKind::Number: case TokenKind::QuotedIdent: case TokenKind::RParen:
    case TokenKind::DateLiteral: case TokenKind::Placeholder:
        return true;
    case TokenKind::Ident: return !isReservedWord(t.text) || t.isWord("END") || t.isWord("NULL");
    default: return false;
    }
}

// For each string literal that is a whole item of an INSERT ... VALUES list,
// the declared type of the column it goes into.
QHash<int, QString> insertTargets(const Tokens& t, const SqlSchemaInfo* schema)
{
    QHash<int, QString> out;
    if (!schema) return out;
    for (int i = 0; i < int(t.size()); ++i) {
        if (!t[i].isWord("INSERT")) continue;
        int k = nextSignificant(t, i);
        if (k >= 0 && t[k].isWord("INTO")) k = nextSignificant(t, k);
        if (k < 0 || !isNameTok(t[k])) continue;
        QString table = identifierName(t[k]);
        for (int dot = nextSignificant(t, k); dot >= 0 && t[dot].kind == TokenKind::Dot; dot = nextSignificant(t, k)) {
            k = nextSignificant(t, dot);
            if (k < 0) break;
            table = identifierName(t[k]);
        }
        if (k < 0) continue;
        const SqlSchemaInfo::Table* info = schema->table(table);
        if (!info) continue;
        QStringList columns;
        int next = nextSignificant(t, k);
        if (next >= 0 && t[next].kind == TokenKind::LParen) {
            const int r = matchingParen(t, next);
            for (int c = next + 1; c < r; ++c)
                if (isNameTok(t[c])) columns << identifierName(t[c]);
            next = nextSignificant(t, r);
        } else {
            for (const auto& c : info->columns) columns << c.name;
        }
        if (next < 0 || !t[next].isWord("VALUES")) continue;
        const int l = nextSignificant(t, next);
        if (l < 0 || t[l].kind != TokenKind::LParen) continue;
        const int r = matchingParen(t, l);
        int item = 0, itemStart = l + 1;
        for (int c = l + 1; c <= r && r > 0; ++c) {
            if (t[c].kind == TokenKind::LParen) { c = matchingParen(t, c); if (c < 0) break; continue; }
            if (t[c].kind == TokenKind::Comma || c == r) {
                const int first = nextSignificant(t, itemStart - 1);
                const int last = prevSignificant(t, c);
                if (first == last && first >= 0 && t[first].kind == TokenKind::String && item < columns.size()) {
                    const auto* col = info->column(columns[item]);
                    if (col) out.insert(first, col->declaredType);
                }
                ++item;
                itemStart = c + 1;
            }
        }
    }
    return out;
}

bool isDateKind(ColumnKind k) { return k == ColumnKind::Date || k == ColumnKind::DateTime; }

bool isWholeArgument(const Tokens& t, int i)
{
    const int p = prevSignificant(t, i), n = nextSignificant(t, i);
    return p >= 0 && n >= 0 && (t[p].kind == TokenKind::LParen || t[p].kind == TokenKind::Comma)
           && (t[n].kind == TokenKind::RParen || t[n].kind == TokenKind::Comma);
}

// Where a literal at i meets a date: the kind of the date column it is
// compared with, assigned to or inserted into (Date or DateTime), Auto as an
// argument of a date function or against an expression of unknown type (a
// derived table's column), nothing elsewhere: beside a text or number column,
// after LIKE, joined by "+", it stays text.
std::optional<ColumnKind> dateContext(const Tokens& t, int i, const Analyzer& an, const QHash<int, QString>& inserts)
{
    auto kindOf = [](const QString& declared) -> std::optional<ColumnKind> {
        if (declared.isEmpty()) return ColumnKind::Auto;
        const ColumnKind k = columnKindOf(declared);
        return isDateKind(k) ? std::optional<ColumnKind>(k) : std::nullopt;
    };
    if (inserts.contains(i)) return kindOf(inserts.value(i));
    const int prev = prevSignificant(t, i);
    const int next = nextSignificant(t, i);
    if (prev >= 0 && isComparison(t[prev])) {
        const int other = prevSignificant(t, prev);
        // 'a' = 'b', 5 = 'x': no date on the other side.
        if (other >= 0 && (t[other].kind == TokenKind::String || t[other].kind == TokenKind::Number)) return std::nullopt;
        return kindOf(an.typeEndingAt(other));
    }
    if (next >= 0 && isComparison(t[next])) {
        const int other = nextSignificant(t, next);
        if (other >= 0 && (t[other].kind == TokenKind::String || t[other].kind == TokenKind::Number)) return std::nullopt;
        return kindOf(an.typeStartingAt(other));
    }
    // x BETWEEN 'a' AND 'b'
    if (prev >= 0 && t[prev].isWord("BETWEEN")) return kindOf(an.typeEndingAt(prevSignificant(t, prev)));
    if (prev >= 0 && t[prev].isWord("AND")) {
        const int low = prevSignificant(t, prev);
        const int between = low >= 0 ? prevSignificant(t, low) : -1;
        if (between >= 0 && t[between].isWord("BETWEEN")) return kindOf(an.typeEndingAt(prevSignificant(t, between)));
    }
    if (!isWholeArgument(t, i)) return std::nullopt;
    // x IN ('a', 'b'), or an argument of a date function.
    int open = prev;
    while (open >= 0 && t[open].kind == TokenKind::Comma) {
        const int item = prevSignificant(t, open);
        if (item < 0 || t[item].kind != TokenKind::String) {
            open = -1;
            break;
        }
        open = prevSignificant(t, item);
    }
    if (open < 0 || t[open].kind != TokenKind::LParen) {
        // A later argument of a function: find its opening parenthesis.
        open = -1;
        for (int k = prev, depth = 0; k >= 0; --k) {
            if (t[k].kind == TokenKind::RParen) ++depth;
            else if (t[k].kind == TokenKind::LParen && depth-- == 0) { open = k; break; }
        }
    }
    const int before = open >= 0 ? prevSignificant(t, open) : -1;
    if (before < 0) return std::nullopt;
    if (t[before].isWord("IN")) return kindOf(an.typeEndingAt(prevSignificant(t, before)));
    static const QSet<QString> dateFunctions = {QStringLiteral("datepart"), QStringLiteral("datediff"),
                                                QStringLiteral("dateadd"), QStringLiteral("datename"),
                                                QStringLiteral("year"), QStringLiteral("month"), QStringLiteral("day")};
    if (isNameTok(t[before]) && dateFunctions.contains(identifierName(t[before]).toLower())) return ColumnKind::Auto;
    return std::nullopt;
}

}  // namespace

// ---- adaptation -------------------------------------------------------------

QString SqlAdapter::adapt(const QString& text) const
{
    const Tokens in = tokenize(text);
    const Analyzer an(in, m_schema);
    const QHash<int, QString> inserts = insertTargets(in, m_schema);
    Tokens out;
    out.reserve(in.size() + 8);

    auto emit = [&](TokenKind k, const QString& s) { out.push_back(Token{k, s}); };

    for (int i = 0; i < int(in.size()); ++i) {
        const Token& t = in[i];
        const int prev = prevSignificant(in, i);
        const int next = nextSignificant(in, i);
        const bool afterDot = prev >= 0 && in[prev].kind == TokenKind::Dot;
        const bool beforeParen = next >= 0 && in[next].kind == TokenKind::LParen;

        if (t.kind == TokenKind::Ident && t.text.startsWith(QLatin1Char('#'))) {
            const QString quoted = QLatin1Char('"') + t.text + QLatin1Char('"');
            const int prev2 = prev >= 0 ? prevSignificant(in, prev) : -1;
            const bool creating = prev >= 0 && in[prev].isWord("TABLE") && prev2 >= 0 && in[prev2].isWord("CREATE");
            emit(TokenKind::QuotedIdent, creating ? quoted : QStringLiteral("temp.") + quoted);
            continue;
        }
        if (t.kind == TokenKind::Ident) {
            if (t.isWord("DBO") && !afterDot && next >= 0 && in[next].kind == TokenKind::Dot) {
                i = next;  // drop "dbo."
                continue;
            }
            if (t.isWord("CREATE")) {
                const int k = next;
                const int k2 = k >= 0 ? nextSignificant(in, k) : -1;
                emit(t.kind, t.text);
                if (k >= 0 && in[k].isWord("TABLE") && k2 >= 0 && in[k2].text.startsWith(QLatin1Char('#')))
                    emit(TokenKind::Ident, QStringLiteral(" TEMP"));
                continue;
            }
            if (t.isWord("DELETE") && next >= 0) {
                emit(t.kind, t.text);
                if (in[next].kind == TokenKind::Operator && in[next].text == QLatin1String("*")) {
                    i = next;  // Access: Delete * from T
                } else if (isNameTok(in[next])) {
                    emit(TokenKind::Ident, QStringLiteral(" FROM"));  // SQL Server: Delete T where
                }
                continue;
            }
            if (beforeParen && !afterDot) {
                const QString name = t.text.toLower();
                if (name == QLatin1String("left") || name == QLatin1String("right")) {
                    emit(TokenKind::QuotedIdent, QLatin1Char('"') + name + QLatin1Char('"'));
                    continue;
                }
                if (name == QLatin1String("isnull")) { emit(TokenKind::Ident, QStringLiteral("ifnull")); continue; }
                if (name == QLatin1String("substring")) { emit(TokenKind::Ident, QStringLiteral("substr")); continue; }
                if (name == QLatin1String("datepart")) {
                    emit(TokenKind::Ident, QStringLiteral("datepart"));
                    // The date part is a bare word in SQL Server: pass it as text.
                    for (int k = i + 1; k <= next; ++k) out.push_back(in[k]);
                    const int part = nextSignificant(in, next);
                    const int after = part >= 0 ? nextSignificant(in, part) : -1;
                    i = next;
                    if (part >= 0 && in[part].kind == TokenKind::Ident && after >= 0 && in[after].kind == TokenKind::Comma) {
                        for (int k = next + 1; k < part; ++k) out.push_back(in[k]);
                        emit(TokenKind::String, quoteStringLiteral(in[part].text));
                        i = part;
                    }
                    continue;
                }
            }
            if ((t.isWord("TRUE") || t.isWord("FALSE")) && !afterDot && !beforeParen
                && !(next >= 0 && in[next].kind == TokenKind::Dot)) {
                emit(TokenKind::Number, t.isWord("TRUE") ? QStringLiteral("1") : QStringLiteral("0"));
                continue;
            }
        }
        if (t.kind == TokenKind::DateLiteral) {
            // An Access #date# is a date wherever it stands.
            ServerDate d;
            if (parseServerDate(t.text.mid(1, t.text.size() - 2), d) != 1) throw badDateError();
            emit(TokenKind::String, quoteStringLiteral(storedForm(d, dateContext(in, i, an, inserts).value_or(ColumnKind::Auto))));
            continue;
        }
        if (t.kind == TokenKind::String) {
            ServerDate d;
            const int shape = parseServerDate(stringLiteralValue(t), d);
            if (shape != 0) {
                if (const auto kind = dateContext(in, i, an, inserts)) {
                    if (shape < 0) throw badDateError();
                    emit(TokenKind::String, quoteStringLiteral(storedForm(d, *kind)));
                    continue;
                }
            }
        }
        // "+" joins text unless one operand is a number: then, by SQL Server's
        // type precedence, the text is read as a number and "+" adds.
        if (t.kind == TokenKind::Operator && t.text == QLatin1String("+") && prev >= 0 && next >= 0
            && endsOperand(in[prev]) && (an.backwardIsText(prev) || an.forwardIsText(next))
            && !an.backwardIsNumber(prev) && !an.forwardIsNumber(next)) {
            emit(TokenKind::Operator, QStringLiteral("||"));
            continue;
        }
        out.push_back(t);
    }
    return join(out);
}

}  // namespace quillon
