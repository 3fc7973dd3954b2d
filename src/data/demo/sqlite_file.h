#pragma once
// A thin owner of one SQLite database file for the batch tools that create,
// fill and inspect database files directly: an open connection, statements
// with bound parameters, and errors raised as DbError with SQLite's message.

#include "data/dberror.h"

#include <QString>

#include <cstdint>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quillon::demo {

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    SqliteStatement& operator=(SqliteStatement&&) = delete;

    // Parameters are numbered from 1, as in the SQL text (?1, ?2, ...).
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, int value) { return bind(index, std::int64_t(value)); }
    SqliteStatement& bind(int index, double value);
    SqliteStatement& bind(int index, std::string_view text);  // UTF-8, copied
    SqliteStatement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
    SqliteStatement& bind(int index, const QString& text);
    SqliteStatement& bindNull(int index);

    // Advances to the next row: true while there is a row, false when done.
    bool step();
    // Runs a statement that returns no rows, then makes it ready for new values.
    void run();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    std::int64_t columnInt(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

class SqliteFile {
public:
    enum class Mode { CreateNew, ReadOnly, ReadWrite };

    // CreateNew refuses a path that exists already; the others refuse one
    // that does not, so a mistyped path never leaves an empty file behind.
    SqliteFile(const QString& path, Mode mode);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    sqlite3* handle() const { return m_db; }
    const QString& path() const { return m_path; }

    // Runs one or more statements separated by semicolons.
    void exec(std::string_view sql);
    SqliteStatement prepare(std::string_view sql) { return SqliteStatement(m_db, sql); }
    // First column of the first row as an integer (0 when there is no row or it is Null).
    std::int64_t scalarInt(std::string_view sql);

    // Closes the connection now; errors on closing are raised.
    void close();

private:
    sqlite3* m_db = nullptr;
    QString m_path;
};

// Raises a DbError for the connection's last error, naming what was attempted.
[[noreturn]] void raiseSqliteError(sqlite3* db, int code, const QString& context);

}  // namespace quillon::demo
