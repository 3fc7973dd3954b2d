// Database commands of quillon-batch: init-db, demo-db and summary.
#include "batch_command.h"

#include "data/dberror.h"
#include "data/demo/damaged_database.h"
#include "data/demo/database_summary.h"
#include "data/demo/demo_database.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <functional>

namespace {

using quillon::DbError;
namespace demo = quillon::demo;

struct DbArgs {
    QString path;
    int scale = 1;
    quint64 seed = demo::DemoOptions::DefaultSeed;
    bool force = false;
    bool damaged = false;
};

// Parses PATH and the options the command accepts; false with a message on err
// when something does not fit.
bool parseArgs(const QStringList& args, bool sampleOptions, DbArgs& out, QTextStream& err)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        auto value = [&](const char* name) -> QString {
            if (i + 1 >= args.size()) {
                err << name << " needs a value\n";
                return QString();
            }
            return args.at(++i);
        };
        if (a == QLatin1String("--force")) {
            out.force = true;
        } else if (sampleOptions && a == QLatin1String("--damaged")) {
            out.damaged = true;
        } else if (sampleOptions && a == QLatin1String("--scale")) {
            bool ok = false;
            out.scale = value("--scale").toInt(&ok);
            if (!ok || out.scale < 1 || out.scale > 1000) {
                err << "--scale needs a whole number from 1 to 1000\n";
                return false;
            }
        } else if (sampleOptions && a == QLatin1String("--seed")) {
            bool ok = false;
            out.seed = value("--seed").toULongLong(&ok);
            if (!ok) {
                err << "--seed needs a whole number of 0 or more\n";
                return false;
            }
        } else if (a.startsWith(QLatin1String("--")) || !out.path.isEmpty()) {
            err << "unexpected argument: " << a << "\n";
            return false;
        } else {
            out.path = a;
        }
    }
    if (out.path.isEmpty()) {
        err << "the database path is missing\n";
        return false;
    }
    return true;
}

// Writes a new database through `write` into a scratch file beside PATH and
// moves it into place only when it is complete. An existing PATH is replaced
// only with --force.
int writeDatabase(const DbArgs& args, QTextStream& err, const std::function<void(const QString&)>& write)
{
    const QFileInfo target(args.path);
    if (target.exists() && !args.force) {
        err << args.path << " exists already; add --force to replace it\n";
        return 1;
    }
    if (target.exists() && !target.isFile()) {
        err << args.path << " is not a file\n";
        return 1;
    }
    if (!target.absoluteDir().exists()) {
        err << "the folder " << target.absolutePath() << " does not exist\n";
        return 1;
    }
    const QString scratch = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".new");
    QFile::remove(scratch);
    try {
        write(scratch);
    } catch (const DbError& e) {
        err << "cannot write " << args.path << ": " << e.description() << "\n";
        return 1;
    }
    if (target.exists() && !QFile::remove(args.path)) {
        QFile::remove(scratch);
        err << "cannot replace " << args.path << "\n";
        return 1;
    }
    if (!QFile::rename(scratch, args.path)) {
        QFile::remove(scratch);
        err << "cannot move the new database to " << args.path << "\n";
        return 1;
    }
    return 0;
}

int initDb(const QStringList& argv, QTextStream& out, QTextStream& err)
{
    DbArgs args;
    if (!parseArgs(argv, false, args, err)) return 2;
    const int rc = writeDatabase(args, err, [](const QString& path) { demo::createEmptyDatabase(path); });
    if (rc == 0) out << "Wrote the empty database " << args.path << "\n";
    return rc;
}

int demoDb(const QStringList& argv, QTextStream& out, QTextStream& err)
{
    DbArgs args;
    if (!parseArgs(argv, true, args, err)) return 2;
    demo::DemoCounts counts;
    const int rc = writeDatabase(args, err, [&](const QString& path) {
        counts = demo::createDemoDatabase(path, {args.scale, args.seed});
        if (args.damaged) demo::damageDatabase(path);
    });
    if (rc != 0) return rc;
    const QLocale english(QLocale::English);
    auto n = [&](int v) { return english.toString(v); };
    out << "Wrote the sample database " << args.path << " (scale " << args.scale << ", seed " << args.seed << "): "
        << n(counts.incidents) << " incidents, " << n(counts.resources) << " resources, " << n(counts.persons)
        << " persons, " << n(counts.personPostings) << " time postings, " << n(counts.debits)
        << " commissary debits, " << n(counts.contractors) << " contractors, " << n(counts.equipment)
        << " equipment, " << n(counts.equipmentPostings) << " use postings, " << n(counts.adjustments)
        << " adjustments\n";
    return 0;
}

int summary(const QStringList& argv, QTextStream& out, QTextStream& err)
{
    DbArgs args;
    if (argv.size() != 1 || !parseArgs(argv, false, args, err) || args.force) {
        err << "usage: quillon-batch summary PATH\n";
        return 2;
    }
    try {
        out << demo::summarizeDatabase(args.path);
    } catch (const DbError& e) {
        err << "cannot read " << args.path << ": " << e.description() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

QUILLON_BATCH_COMMAND("init-db", QStringLiteral("init-db PATH [--force]"), initDb);
QUILLON_BATCH_COMMAND("demo-db", QStringLiteral("demo-db PATH [--scale N] [--seed S] [--damaged] [--force]"), demoDb);
QUILLON_BATCH_COMMAND("summary", QStringLiteral("summary PATH"), summary);
