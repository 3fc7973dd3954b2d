#pragma once
// A small tokenizer for the SQL texts the program builds (SQL Server and a few
// Access forms), and helpers that read table references and select lists out
// of a token stream. Used by the SQLite dialect adapter and by the record set
// writer of the ODBC engine; it does not validate SQL.

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace quillon::sql {

enum class TokenKind {
    Space,        // blanks, line breaks and comments
    String,       // '...'
    QuotedIdent,  // "...", [...] or `...`
    Number,
    Ident,        // words and keywords; also #temp names
    DateLiteral,  // Access #6/30/2024#
    Operator,     // + - * / % = <> <= >= != || < > and other punctuation
    LParen,
    RParen,
    Comma,
    Dot,
    Semicolon,
    Placeholder,  // ?
};

struct Token {
    TokenKind kind;
    QString text;

    bool isWord(const char* upper) const;  // an Ident equal to the keyword, any case
    bool isSpace() const { return kind == TokenKind::Space; }
};

using Tokens = std::vector<Token>;

// Splits a statement into tokens; concatenating the texts gives the input back,
// except that a number directly followed by a letter ("77ORDER") gets a blank
// token in between and the N of N'...' literals is dropped.
Tokens tokenize(const QString& sqlText);
QString join(const Tokens& tokens);

// The text of a String token without its quotes, '' turned into '.
QString stringLiteralValue(const Token& t);
QString quoteStringLiteral(const QString& value);
// The name an identifier token stands for (quotes removed).
QString identifierName(const Token& t);

// Index of the next / previous token that is not Space, or -1.
int nextSignificant(const Tokens& t, int from);
int prevSignificant(const Tokens& t, int from);
// Index of the parenthesis matching the one at `index`, or -1.
int matchingParen(const Tokens& t, int index);

bool isReservedWord(const QString& word);

// Tables a statement names after FROM, JOIN, UPDATE, INTO and DELETE, with
// their aliases. Keys are lower case; both the alias and the table name map
// to the table name (as written, quotes removed, lower case).
struct TableRefs {
    QHash<QString, QString> byName;
    QStringList tables;  // lower case, in order of appearance, no repeats
    QString resolve(const QString& qualifier) const { return byName.value(qualifier.toLower()); }
};
TableRefs collectTableRefs(const Tokens& tokens);

// One item of a top-level select list.
struct SelectItem {
    QString qualifier;  // table or alias before the column, may be empty
    QString column;     // base column name; empty for an expression
    bool star = false;  // * or qualifier.*
};
// The items of the first top-level SELECT, or empty when there is none.
std::vector<SelectItem> parseSelectList(const Tokens& tokens);

}  // namespace quillon::sql
