#pragma once
// Runs the built quillon program on a script, as `quillon --script` runs, and
// reads what it wrote: the log lines, stderr, and the reports' JSON files.
// Reports are built from small templates of the test's own (the real forms
// are the template tests' business).

#include "data/connection.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <sqlite3.h>

namespace quillon::testing {

inline QString quillonProgram()
{
    return QStringLiteral(QUILLON_BUILD_DIR "/app/quillon");
}

// A one-line template per catalogue name: every row prints one line.
inline void writeTemplates(const QString& folder, const QStringList& names)
{
    QDir().mkpath(folder);
    for (const QString& name : names) {
        QFile f(QDir(folder).filePath(name + QStringLiteral(".rpt")));
        f.open(QIODevice::WriteOnly);
        f.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<Report name=\"%1\" title=\"%1\">\n"
                               "  <Page width=\"612\" height=\"792\" margin=\"36\"/>\n"
                               "  <Detail height=\"12\"><Field x=\"0\" y=\"0\" expr=\"'row'\"/></Detail>\n"
                               "</Report>\n").arg(name).toUtf8());
    }
}

struct ScriptRun {
    int exitCode = -1;
    QStringList lines;   // stdout, one event a line
    QString errors;      // stderr

    // The lines that start with `prefix` ("REPORT ", "MESSAGE ").
    QStringList linesStarting(const QString& prefix) const
    {
        QStringList out;
        for (const QString& l : lines)
            if (l.startsWith(prefix)) out << l;
        return out;
    }
    // The JSON file named by data= in a REPORT or PRINT line.
    static QJsonObject data(const QString& line)
    {
        static const QRegularExpression path(QStringLiteral(" data=(\\S+)$"));
        QFile f(path.match(line).captured(1));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    static QString sql(const QString& line) { return data(line)[QStringLiteral("report")][QStringLiteral("sql")][0].toString(); }
    static int rows(const QString& line) { return data(line)[QStringLiteral("table1")].toArray().size(); }
};

// A copy of the database at `target` without one of its tables, so that the
// queries reading it fail; returns false when the copy cannot be made.
inline bool copyWithoutTable(const QString& source, const QString& target, const QString& table)
{
    if (!QFile::copy(source, target)) return false;
    Connection db;
    db.openEmbedded(target);
    db.execute(QStringLiteral("Drop table ") + table);
    return true;
}

// Every row of every table of a database file, read straight through SQLite
// table by table in rowid order: two dumps are equal when every table holds
// the same rows with the same values.
inline QStringList databaseDump(const QString& path)
{
    QStringList out;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {QStringLiteral("cannot open ") + path};
    }
    QStringList tables;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    for (const QString& table : tables) {
        const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
            // A table without rowid: in its key order.
            sqlite3_prepare_v2(db, QStringLiteral("SELECT * FROM \"%1\"").arg(table).toUtf8().constData(), -1, &st, nullptr);
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cells;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                cells << (sqlite3_column_type(st, c) == SQLITE_NULL
                              ? QStringLiteral("NULL")
                              : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c))));
            out << table + QLatin1Char(':') + cells.join(QLatin1Char('|'));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

// Runs `script` with --out outDir, --db database when given, templates from
// templateDir, and the program found at `program`.
inline ScriptRun runScript(const QString& script, const QString& workDir, const QString& database,
                           const QString& templateDir, const QString& program = quillonProgram())
{
    const QString scriptPath = QDir(workDir).filePath(QStringLiteral("run.qs"));
    QFile f(scriptPath);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(script.toUtf8());
    f.close();

    QStringList args{QStringLiteral("--script"), scriptPath, QStringLiteral("--out"),
                     QDir(workDir).filePath(QStringLiteral("out"))};
    if (!database.isEmpty()) args << QStringLiteral("--db") << database;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLON_TEMPLATE_DIR"), templateDir);
    env.remove(QStringLiteral("QUILLON_PRINT_FOLDER"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(120000);
    ScriptRun run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(p.readAllStandardError());
    return run;
}

}  // namespace quillon::testing
