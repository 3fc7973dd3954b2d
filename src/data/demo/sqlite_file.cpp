#include "data/demo/sqlite_file.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace quillon::demo {

namespace {
const QString SourceName = QStringLiteral("SQLite");

QString firstLine(std::string_view sql)
{
    QString text = QString::fromUtf8(sql.data(), int(sql.size())).simplified();
    if (text.size() > 80) text = text.left(77) + QStringLiteral("...");
    return text;
}
}  // namespace

void raiseSqliteError(sqlite3* db, int code, const QString& context)
{
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    throw DbError(code, context.isEmpty() ? message : context + QStringLiteral(": ") + message, SourceName);
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : m_db(db)
{
    const int rc = sqlite3_prepare_v3(db, sql.data(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    if (rc != SQLITE_OK) raiseSqliteError(db, rc, firstLine(sql));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value)
{
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK) raiseSqliteError(m_db, rc, QStringLiteral("bind"));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, double value)
{
    const int rc = sqlite3_bind_double(m_stmt, index, value);
    if (rc != SQLITE_OK) raiseSqliteError(m_db, rc, QStringLiteral("bind"));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text)
{
    const int rc = sqlite3_bind_text(m_stmt, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) raiseSqliteError(m_db, rc, QStringLiteral("bind"));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return bind(index, std::string_view(utf8.constData(), size_t(utf8.size())));
}

SqliteStatement& SqliteStatement::bindNull(int index)
{
    const int rc = sqlite3_bind_null(m_stmt, index);
    if (rc != SQLITE_OK) raiseSqliteError(m_db, rc, QStringLiteral("bind"));
    return *this;
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    raiseSqliteError(m_db, rc, firstLine(sqlite3_sql(m_stmt)));
}

void SqliteStatement::run()
{
    while (step()) {
    }
    reset();
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::int64_t SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double SqliteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QString SqliteStatement::columnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
}

SqliteFile::SqliteFile(const QString& path, Mode mode) : m_path(path)
{
    const bool exists = QFileInfo::exists(path);
    if (mode == Mode::CreateNew && exists)
        throw DbError(ErrorNumber::Generic, QStringLiteral("%1 exists already").arg(path), SourceName);
    if (mode != Mode::CreateNew && !exists)
        throw DbError(ErrorNumber::FileNotFound, QStringLiteral("%1 does not exist").arg(path), SourceName);

    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (mode == Mode::ReadOnly) flags = SQLITE_OPEN_READONLY;
    if (mode == Mode::ReadWrite) flags = SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(rc, QStringLiteral("%1: %2").arg(path, message), SourceName);
    }
    sqlite3_extended_result_codes(m_db, 1);
}

SqliteFile::~SqliteFile()
{
    sqlite3_close_v2(m_db);
}

void SqliteFile::exec(std::string_view sql)
{
    // sqlite3_exec needs a terminated string.
    const std::string text(sql);
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        QString description = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw DbError(rc, firstLine(sql) + QStringLiteral(": ") + description, SourceName);
    }
}

std::int64_t SqliteFile::scalarInt(std::string_view sql)
{
    SqliteStatement statement = prepare(sql);
    return statement.step() ? statement.columnInt(0) : 0;
}

void SqliteFile::close()
{
    if (!m_db) return;
    const int rc = sqlite3_close(m_db);
    if (rc != SQLITE_OK) raiseSqliteError(m_db, rc, QStringLiteral("close %1").arg(m_path));
    m_db = nullptr;
}

}  // namespace quillon::demo
