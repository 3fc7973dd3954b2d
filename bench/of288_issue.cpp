// Crew ORIGINAL OF-288 invoices on samples of growing size, side by side: the
// same number of crews of the first incident, each run through the OF-288
// window's logic as a clerk does it (crew chosen, ORIGINAL, both questions
// answered, "Send Invoice Directly to Printer"), on the sample at each scale.
// Reports milliseconds per invoice issued and per crew, so that the cost of an
// invoice can be compared across database sizes: it should not grow with them.
//
//   bench_of288_issue [--scales 5,25,100] [--crews 6]
//
// Templates come from the program folder (build/app) unless
// QUILLON_TEMPLATE_DIR names another; printed forms go to a folder printer.
#include "data/demo/demo_database.h"
#include "invoicing/form6logic.h"
#include "shell/app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <cstring>

using namespace quillon;

namespace {

struct Figures {
    int scale = 0;
    int postings = 0;
    int crews = 0;
    int invoices = 0;
    double ms = 0;      // wall clock
    double cpuMs = 0;   // processor time of this program
};

Figures issueCrews(const QString& path, int scale, int crews, const QString& folder)
{
    Figures f;
    f.scale = scale;
    Connection db;
    db.openEmbedded(path);
    f.postings = int(db.openRecordset(QStringLiteral("Select count(*) from PersonsPost"))->value(0).toInt());
    RecordsetPtr incident = db.openRecordset(QStringLiteral("Select min(IncidentID) from Incidents"));
    RecordsetPtr chosen = db.openRecordset(
        QStringLiteral("Select ResourceID from Resources where Collection = 1 and IncidentID = %1 order by ResourceID limit %2")
            .arg(incident->value(0).toInt())
            .arg(crews));

    ScriptedDialogs dialogs;
    App app(dialogs, std::make_shared<reports::FolderPrinter>(folder + QStringLiteral("/printed")));
    app.attachConnection(db);
    app.state.SelectedIncidentId = std::int32_t(incident->value(0).toInt());
    Form6Logic logic(app);
    logic.load();

    QElapsedTimer t;
    t.start();
    const std::clock_t cpu = std::clock();
    for (chosen->moveFirst(); !chosen->eof(); chosen->moveNext()) {
        const std::optional<QDate> end = logic.crewChosen(std::int32_t(chosen->value(0).toInt()));
        logic.printOptionChosen(PrintOriginal);
        dialogs.queueAnswer(MsgAnswer::OK);
        dialogs.queueAnswer(MsgAnswer::Yes);
        logic.run(1, end.value_or(QDate::currentDate()), false);
        ++f.crews;
    }
    f.ms = double(t.nsecsElapsed()) / 1e6;
    f.cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    f.invoices = int(db.openRecordset(QStringLiteral("Select count(*) from PersonsInvoices"))->value(0).toInt());
    const QStringList messages = dialogs.log().filter(QStringLiteral("MESSAGE"));
    for (const QString& m : messages)
        if (!m.contains(QStringLiteral("Warning"))) std::printf("  scale %d: %s\n", scale, qPrintable(m));
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    QList<int> scales{5, 25, 100};
    int crews = 6;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--scales")) {
            scales.clear();
            for (const QString& s : QString::fromLatin1(argv[i + 1]).split(QLatin1Char(','))) scales << s.toInt();
        } else if (!std::strcmp(argv[i], "--crews")) {
            crews = std::atoi(argv[i + 1]);
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QUILLON_TEMPLATE_DIR")) qputenv("QUILLON_TEMPLATE_DIR", QUILLON_BUILD_DIR "/app");
    QApplication qapp(argc, argv);
    QTemporaryDir dir;
    qputenv("QUILLON_INVOICE_FOLDER", dir.filePath(QStringLiteral("kept")).toLocal8Bit());

    std::vector<Figures> all;
    for (int scale : scales) {
        const QString path = dir.filePath(QStringLiteral("sample-%1.db").arg(scale));
        QElapsedTimer made;
        made.start();
        demo::DemoOptions options;
        options.scale = scale;
        demo::createDemoDatabase(path, options);
        std::printf("sample at scale %d written in %.1f s\n", scale, double(made.elapsed()) / 1000.0);
        std::fflush(stdout);
        all.push_back(issueCrews(path, scale, crews, dir.filePath(QStringLiteral("out-%1").arg(scale))));
        QFile::remove(path);
    }

    std::printf("\nCrew ORIGINAL OF-288, %d crews of the first incident at each scale\n", crews);
    std::printf("%8s %12s %10s %12s %12s %14s %14s\n", "scale", "postings", "invoices", "wall ms", "cpu ms",
                "cpu ms/invoice", "vs first");
    for (const Figures& f : all) {
        const double per = f.invoices ? f.cpuMs / f.invoices : 0;
        const double first = all.front().invoices ? all.front().cpuMs / all.front().invoices : 1;
        std::printf("%8d %12d %10d %12.1f %12.1f %14.2f %13.2fx\n", f.scale, f.postings, f.invoices, f.ms, f.cpuMs, per,
                    per / first);
    }
    return 0;
}
