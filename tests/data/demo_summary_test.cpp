// The database summary and the database commands of the batch tool.
#include "data/demo/database_summary.h"
#include "data/demo/demo_database.h"
#include "data/demo/sqlite_file.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::demo;

namespace {

// The value after a label in the block of one incident.
QString figure(const QString& summary, int incident, const QString& label)
{
    const int start = summary.indexOf(QStringLiteral("Incident %1:").arg(incident));
    if (start < 0) return QString();
    const QRegularExpression line(QStringLiteral("\\n  ") + QRegularExpression::escape(label) + QStringLiteral(" +([^\\n]*)"));
    const auto match = line.match(summary, start);
    return match.hasMatch() ? match.captured(1) : QString();
}

struct BatchRun {
    int exitCode = -1;
    QString out;
    QString err;
};

BatchRun batch(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch"), args);
    BatchRun run;
    if (!process.waitForFinished(120000)) return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(DatabaseSummary, CountsEachIncidentsRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.db"));
    createDemoDatabase(path);
    {
        SqliteFile db(path, SqliteFile::Mode::ReadWrite);
        // One valid and one deleted invoice for a person of the second incident,
        // and a posting whose accounting code reaches no incident.
        const std::int64_t person = db.scalarInt(
            "SELECT MIN(PersonID) FROM Persons P JOIN Resources R ON P.ResourceID = R.ResourceID WHERE IncidentID = 2");
        db.exec(QStringLiteral("INSERT INTO PersonsInvoices (PersonsInvoiceID, PersonID, Del) VALUES (1, %1, 0), "
                               "(2, %1, 1); INSERT INTO PersonsPost (PersonsPostID, PersonID, AccountingID) "
                               "VALUES (900000, %1, 0)").arg(person).toStdString());
    }
    const QString summary = summarizeDatabase(path);
    SqliteFile db(path, SqliteFile::Mode::ReadOnly);

    EXPECT_TRUE(summary.contains(QStringLiteral("2 incidents")));
    EXPECT_TRUE(summary.contains(QStringLiteral("Incident 1: Cedar Ridge, CA-SHU-004117 (CA), started 2026-07-14")));
    for (int incident : {1, 2}) {
        const std::string where = " WHERE R.IncidentID = " + std::to_string(incident);
        const auto persons = db.scalarInt("SELECT COUNT(*) FROM Persons P JOIN Resources R ON P.ResourceID = "
                                          "R.ResourceID" + where);
        const auto postings = db.scalarInt("SELECT COUNT(*) FROM PersonsPost PP JOIN AccountingCodes R "
                                           "ON PP.AccountingID = R.AccountingID" + where);
        const auto contractors = db.scalarInt("SELECT COUNT(*) FROM Contractor R" + where);
        EXPECT_EQ(figure(summary, incident, "persons"), QLocale(QLocale::English).toString(qlonglong(persons)));
        EXPECT_TRUE(figure(summary, incident, "time postings")
                        .startsWith(QLocale(QLocale::English).toString(qlonglong(postings)) + " ("));
        EXPECT_EQ(figure(summary, incident, "contractors"), QString::number(contractors));
    }
    EXPECT_EQ(figure(summary, 1, "invoices"), QStringLiteral("0 personnel, 0 equipment"));
    EXPECT_EQ(figure(summary, 2, "invoices"), QStringLiteral("1 personnel, 0 equipment"));
    EXPECT_TRUE(summary.contains(QStringLiteral("1 time postings carry no accounting code of an incident.")));
}

TEST(DatabaseSummary, RefusesWhatIsNotAnIncidentDatabase)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.db"));
    EXPECT_THROW(summarizeDatabase(missing), DbError);
    EXPECT_FALSE(QFile::exists(missing)) << "reading must not create the file";

    const QString text = dir.filePath(QStringLiteral("notes.db"));
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a database at all, but long enough to have a header of sorts......................");
    }
    EXPECT_THROW(summarizeDatabase(text), DbError);

    const QString empty = dir.filePath(QStringLiteral("empty.db"));
    createEmptyDatabase(empty);
    EXPECT_TRUE(summarizeDatabase(empty).contains(QStringLiteral(": 0 incidents")));
}

TEST(BatchDatabaseCommands, WriteReplaceOnlyWhenToldAndSummarize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.db"));

    BatchRun run = batch({"demo-db", path, "--seed", "7"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray first = contents(path);

    run = batch({"init-db", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("exists already")));
    EXPECT_TRUE(contents(path) == first);

    run = batch({"demo-db", path, "--seed", "7", "--force"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(contents(path) == first) << "same seed, same file";

    run = batch({"init-db", path, "--force"});
    EXPECT_EQ(run.exitCode, 0);
    run = batch({"summary", path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral(": 0 incidents")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("demo.db")})
        << "no scratch files left";

    for (const QStringList& bad : {QStringList{"demo-db", path, "--scale", "0"}, QStringList{"demo-db"},
                                   QStringList{"demo-db", path, "--seed"}, QStringList{"summary", path, "extra"}})
        EXPECT_EQ(batch(bad).exitCode, 2) << bad.join(' ').toStdString();
    run = batch({"summary", dir.filePath(QStringLiteral("none.db"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.db"))));
}
