#include "data/sql_tokens.h"

#include <QSet>

namespace quillon::sql {

bool Token::isWord(const char* upper) const
{
    return kind == TokenKind::Ident && text.compare(QLatin1String(upper), Qt::CaseInsensitive) == 0;
}

static bool isIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
static bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#') || c == QLatin1Char('@');
}

// An Access date literal body: digits, slashes, colons, blanks and AM/PM.
static int accessDateLiteralEnd(const QString& s, int start)
{
    if (start + 1 >= s.size() || !s.at(start + 1).isDigit()) return -1;
    for (int i = start + 1; i < s.size() && i < start + 40; ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('#')) return i;
        if (!(c.isDigit() || c == QLatin1Char('/') || c == QLatin1Char(':') || c == QLatin1Char(' ') || c == QLatin1Char('-')
              || c.toUpper() == QLatin1Char('A') || c.toUpper() == QLatin1Char('P') || c.toUpper() == QLatin1Char('M')))
            return -1;
    }
    return -1;
}

Tokens tokenize(const QString& s)
{
    Tokens out;
    const int n = s.size();
    int i = 0;
    auto push = [&](TokenKind k, int from, int to) { out.push_back(Token{k, s.mid(from, to - from)}); };
    while (i < n) {
        const QChar c = s.at(i);
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s.at(i).isSpace()) ++i;
            push(TokenKind::Space, start, i);
        } else if (c == QLatin1Char('-') && i + 1 < n && s.at(i + 1) == QLatin1Char('-')) {
            while (i < n && s.at(i) != QLatin1Char('\n')) ++i;
            push(TokenKind::Space, start, i);
        } else if (c == QLatin1Char('/') && i + 1 < n && s.at(i + 1) == QLatin1Char('*')) {
            const int end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            push(TokenKind::Space, start, i);
        } else if (c == QLatin1Char('\'') || ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n
                                              && s.at(i + 1) == QLatin1Char('\'')
                                              && (out.empty() || out.back().kind != TokenKind::Ident))) {
            if (c != QLatin1Char('\'')) ++i;  // N'...' is an ordinary literal here
            const int quote = i;
            ++i;
            while (i < n) {
                if (s.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < n && s.at(i + 1) == QLatin1Char('\'')) { i += 2; continue; }
                    ++i;
                    break;
                }
                ++i;
            }
            push(TokenKind::String, quote, i);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('`')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n) {
                if (s.at(i) == close) {
                    if (close != QLatin1Char(']') && i + 1 < n && s.at(i + 1) == close) { i += 2; continue; }
                    ++i;
                    break;
                }
                ++i;
            }
            push(TokenKind::QuotedIdent, start, i);
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            while (i < n && s.at(i).isDigit()) ++i;
            if (i < n && s.at(i) == QLatin1Char('.')) {
                ++i;
                while (i < n && s.at(i).isDigit()) ++i;
            }
            if (i + 1 < n && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < n && (s.at(j) == QLatin1Char('+') || s.at(j) == QLatin1Char('-'))) ++j;
                if (j < n && s.at(j).isDigit()) {
                    i = j;
                    while (i < n && s.at(i).isDigit()) ++i;
                }
            }
            push(TokenKind::Number, start, i);
            // SQL Server reads "77ORDER BY" as 77 ORDER BY; give it the blank.
            if (i < n && isIdentStart(s.at(i))) out.push_back(Token{TokenKind::Space, QStringLiteral(" ")});
        } else if (c == QLatin1Char('#')) {
            const int end = accessDateLiteralEnd(s, i);
            if (end > 0) {
                i = end + 1;
                push(TokenKind::DateLiteral, start, i);
            } else {
                ++i;
                while (i < n && isIdentChar(s.at(i))) ++i;
                push(TokenKind::Ident, start, i);
            }
        } else if (isIdentStart(c) || c == QLatin1Char('@')) {
            ++i;
            while (i < n && isIdentChar(s.at(i))) ++i;
            push(TokenKind::Ident, start, i);
        } else if (c == QLatin1Char('(')) {
            ++i; push(TokenKind::LParen, start, i);
        } else if (c == QLatin1Char(')')) {
            ++i; push(TokenKind::RParen, start, i);
        } else if (c == QLatin1Char(',')) {
            ++i; push(TokenKind::Comma, start, i);
        } else if (c == QLatin1Char('.')) {
            ++i; push(TokenKind::Dot, start, i);
        } else if (c == QLatin1Char(';')) {
            ++i; push(TokenKind::Semicolon, start, i);
        } else if (c == QLatin1Char('?')) {
            ++i; push(TokenKind::Placeholder, start, i);
        } else {
            static const char* const twoChar[] = {"<>", "<=", ">=", "!=", "||", "==", "!<", "!>"};
            i += 1;
            if (i < n) {
                const QString two = s.mid(start, 2);
                for (const char* op : twoChar)
                    if (two == QLatin1String(op)) { i = start + 2; break; }
            }
            push(TokenKind::Operator, start, i);
        }
    }
    return out;
}

QString join(const Tokens& tokens)
{
    QString out;
    for (const Token& t : tokens) out += t.text;
    return out;
}

QString stringLiteralValue(const Token& t)
{
    QString v = t.text;
    if (v.startsWith(QLatin1Char('\''))) v.remove(0, 1);
    if (v.endsWith(QLatin1Char('\''))) v.chop(1);
    return v.replace(QLatin1String("''"), QLatin1String("'"));
}

QString quoteStringLiteral(const QString& value)
{
    QString v = value;
    return QLatin1Char('\'') + v.replace(QLatin1String("'"), QLatin1String("''")) + QLatin1Char('\'');
}

QString identifierName(const Token& t)
{
    if (t.kind != TokenKind::QuotedIdent) return t.text;
    QString v = t.text.mid(1, t.text.size() - 2);
    const QChar q = t.text.at(0);
    if (q == QLatin1Char('"')) v.replace(QLatin1String("\"\""), QLatin1String("\""));
    if (q == QLatin1Char('`')) v.replace(QLatin1String("``"), QLatin1String("`"));
    return v;
}

int nextSignificant(const Tokens& t, int from)
{
    for (int i = from + 1; i < int(t.size()); ++i)
        if (!t[i].isSpace()) return i;
    return -1;
}

int prevSignificant(const Tokens& t, int from)
{
    for (int i = from - 1; i >= 0; --i)
        if (!t[i].isSpace()) return i;
    return -1;
}

int matchingParen(const Tokens& t, int index)
{
    if (index < 0 || index >= int(t.size())) return -1;
    if (t[index].kind == TokenKind::LParen) {
        int depth = 0;
        for (int i = index; i < int(t.size()); ++i) {
            if (t[i].kind == TokenKind::LParen) ++depth;
            else if (t[i].kind == TokenKind::RParen && --depth == 0) return i;
        }
    } else if (t[index].kind == TokenKind::RParen) {
        int depth = 0;
        for (int i = index; i >= 0; --i) {
            if (t[i].kind == TokenKind::RParen) ++depth;
            else if (t[i].kind == TokenKind::LParen && --depth == 0) return i;
        }
    }
    return -1;
}

bool isReservedWord(const QString& word)
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("GROUP"),
        QStringLiteral("ORDER"), QStringLiteral("BY"), QStringLiteral("HAVING"), QStringLiteral("UNION"),
        QStringLiteral("ON"), QStringLiteral("JOIN"), QStringLiteral("INNER"), QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"), QStringLiteral("FULL"), QStringLiteral("OUTER"), QStringLiteral("CROSS"),
        QStringLiteral("NATURAL"), QStringLiteral("USING"), QStringLiteral("SET"), QStringLiteral("VALUES"),
        QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("NOT"), QStringLiteral("AS"),
        QStringLiteral("INTO"), QStringLiteral("LIMIT"), QStringLiteral("DISTINCT"), QStringLiteral("TOP"),
        QStringLiteral("IN"), QStringLiteral("IS"), QStringLiteral("NULL"), QStringLiteral("LIKE"),
        QStringLiteral("BETWEEN"), QStringLiteral("CASE"), QStringLiteral("WHEN"), QStringLiteral("THEN"),
        QStringLiteral("ELSE"), QStringLiteral("END"), QStringLiteral("ASC"), QStringLiteral("DESC"),
        QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE"), QStringLiteral("CREATE"),
        QStringLiteral("DROP"), QStringLiteral("TABLE"), QStringLiteral("WITH"), QStringLiteral("EXISTS"),
        QStringLiteral("ALL"), QStringLiteral("ANY"), QStringLiteral("EXCEPT"), QStringLiteral("INTERSECT")};
    return words.contains(word.toUpper());
}

static bool isNameToken(const Token& t)
{
    return (t.kind == TokenKind::Ident && !isReservedWord(t.text)) || t.kind == TokenKind::QuotedIdent;
}

TableRefs collectTableRefs(const Tokens& t)
{
    TableRefs refs;
    // The clause we are in decides what a comma separates.
    bool inFrom = false;
    std::vector<bool> fromStack;  // clause state saved at each '('
    auto readRef = [&](int i) {
        // name [. name [. name]] [AS] alias
        if (i < 0 || !isNameToken(t[i])) return;
        QString name = identifierName(t[i]);
        int last = i;
        for (;;) {
            const int dot = nextSignificant(t, last);
            if (dot < 0 || t[dot].kind != TokenKind::Dot) break;
            const int part = nextSignificant(t, dot);
            if (part < 0 || !isNameToken(t[part])) break;
            name = identifierName(t[part]);  // the last part is the table; schema parts drop
            last = part;
        }
        const QString table = name.toLower();
        if (!refs.tables.contains(table)) refs.tables << table;
        refs.byName.insert(table, table);
        int next = nextSignificant(t, last);
        if (next >= 0 && t[next].isWord("AS")) next = nextSignificant(t, next);
        if (next >= 0 && isNameToken(t[next]))
            refs.byName.insert(identifierName(t[next]).toLower(), table);
    };
    for (int i = 0; i < int(t.size()); ++i) {
        const Token& tok = t[i];
        if (tok.kind == TokenKind::LParen) { fromStack.push_back(inFrom); continue; }
        if (tok.kind == TokenKind::RParen) {
            if (!fromStack.empty()) { inFrom = fromStack.back(); fromStack.pop_back(); }
            continue;
        }
        if (tok.kind == TokenKind::Ident) {
            if (tok.isWord("FROM") || tok.isWord("JOIN") || tok.isWord("UPDATE") || tok.isWord("INTO")
                || tok.isWord("TABLE") || tok.isWord("DELETE")) {
                inFrom = tok.isWord("FROM") || tok.isWord("JOIN");
                int j = nextSignificant(t, i);
                // FROM ((A a JOIN ...: the first table follows the parentheses.
                while (j >= 0 && t[j].kind == TokenKind::LParen) {
                    const int k = nextSignificant(t, j);
                    if (k >= 0 && t[k].isWord("SELECT")) { j = -1; break; }
                    j = k;
                }
                readRef(j);
            } else if (tok.isWord("WHERE") || tok.isWord("ON") || tok.isWord("GROUP") || tok.isWord("ORDER")
                       || tok.isWord("HAVING") || tok.isWord("SELECT") || tok.isWord("SET") || tok.isWord("VALUES")
                       || tok.isWord("UNION")) {
                inFrom = false;
            }
            continue;
        }
        if (tok.kind == TokenKind::Comma && inFrom) readRef(nextSignificant(t, i));
    }
    return refs;
}

std::vector<SelectItem> parseSelectList(const Tokens& t)
{
    std::vector<SelectItem> items;
    int i = 0;
    while (i < int(t.size()) && !t[i].isWord("SELECT")) {
        if (!t[i].isSpace()) return items;  // not a SELECT statement
        ++i;
    }
    if (i >= int(t.size())) return items;
    i = nextSignificant(t, i);
    if (i >= 0 && (t[i].isWord("DISTINCT") || t[i].isWord("ALL"))) i = nextSignificant(t, i);
    if (i >= 0 && t[i].isWord("TOP")) {
        i = nextSignificant(t, i);
        if (i >= 0 && t[i].kind == TokenKind::LParen) i = matchingParen(t, i);
        i = i < 0 ? -1 : nextSignificant(t, i);
    }
    // Split the list at top-level commas up to the top-level FROM.
    std::vector<std::pair<int, int>> ranges;
    int start = i, depth = 0;
    for (; i >= 0 && i < int(t.size()); ++i) {
        if (t[i].kind == TokenKind::LParen) ++depth;
        else if (t[i].kind == TokenKind::RParen) --depth;
        else if (depth == 0 && t[i].kind == TokenKind::Comma) { ranges.push_back({start, i}); start = i + 1; }
        else if (depth == 0 && (t[i].isWord("FROM") || t[i].isWord("INTO"))) break;
    }
    if (start >= 0) ranges.push_back({start, i < 0 ? int(t.size()) : i});
    for (auto [from, to] : ranges) {
        std::vector<const Token*> sig;
        for (int k = from; k < to; ++k)
            if (!t[k].isSpace()) sig.push_back(&t[k]);
        SelectItem item;
        // Drop a trailing alias: "expr AS name" or "expr name".
        if (sig.size() >= 3 && sig[sig.size() - 2]->isWord("AS")) sig.resize(sig.size() - 2);
        else if (sig.size() >= 2 && isNameToken(*sig.back()) && sig[sig.size() - 2]->kind != TokenKind::Dot)
            sig.resize(sig.size() - 1);
        if (sig.size() == 1 && sig[0]->kind == TokenKind::Operator && sig[0]->text == QLatin1String("*")) {
            item.star = true;
        } else if (sig.size() == 1 && isNameToken(*sig[0])) {
            item.column = identifierName(*sig[0]);
        } else if (sig.size() >= 3 && sig[sig.size() - 2]->kind == TokenKind::Dot && isNameToken(*sig[sig.size() - 3])) {
            bool chain = true;
            for (size_t k = 0; k < sig.size(); ++k) {
                const bool dotPos = (sig.size() - 1 - k) % 2 == 1;
                if (dotPos ? sig[k]->kind != TokenKind::Dot : !(isNameToken(*sig[k]) || (k == sig.size() - 1 && sig[k]->text == QLatin1String("*"))))
                    chain = false;
            }
            if (chain) {
                item.qualifier = identifierName(*sig[sig.size() - 3]);
                if (sig.back()->text == QLatin1String("*")) item.star = true;
                else item.column = identifierName(*sig.back());
            }
        }
        items.push_back(item);
    }
    return items;
}

}  // namespace quillon::sql
