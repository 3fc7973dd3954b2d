// Start-up and the first report of the main menu on the scale-25 sample, side
// by side in one run:
//   - start-up as a person meets it: the program started as a new process
//     (bin/quillon of this build) with a script that opens the main menu
//     (login on the embedded file, the menu's incident list loaded, shown),
//     then ends; against the same process start with an empty script (login
//     alone, no window), and opening the database file alone in-process;
//   - Select of "Commissary Charges by Date" to its first page shown in the
//     viewer, against building and rendering the same report without windows.
//
//   bench_startup [runs]     (default 5; the median of the runs is shown)
//
// The report is built from templates/CommissaryCharges.rpt beside the program
// when it is there, else from a one-line template of the benchmark's own.
#include "data/demo/demo_database.h"
#include "shell/buildreport.h"
#include "shell/launch.h"
#include "shell/mainmenu_window.h"
#include "shell/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quillon;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

DvnLoginFactory fileLogin(const QString& file)
{
    return [file] {
        return std::make_unique<DvnLoginComponent>([file](LoginRequest& r) {
            r.server = QStringLiteral("sqlite");
            r.database = file;
            return true;
        });
    };
}

// Logs in and shows the menu in this process, for the Select timing.
void startUp(App& app, const QString& file, const QString& programDir)
{
    if (startApplication(app, QString(), programDir, fileLogin(file)) != Startup::Outcome::MainMenu) {
        std::fprintf(stderr, "start-up failed\n");
        std::exit(1);
    }
    QApplication::processEvents();
}

// Milliseconds from starting the program as a process running `script` on
// the file to its exit.
double processRun(const QString& script, const QString& file, const QString& outDir)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral(QUILLON_BUILD_DIR "/app/quillon"),
            {QStringLiteral("--script"), script, QStringLiteral("--out"), outDir, QStringLiteral("--db"), file});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "the program did not start and end cleanly: %s\n", p.readAllStandardError().constData());
        std::exit(1);
    }
    return t.nsecsElapsed() / 1e6;
}

void closeAll(App& app)
{
    app.windows().unloadAll();
    for (QWidget* w : QApplication::topLevelWidgets()) w->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.shutdownLogin();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scale25.db"));
    const demo::DemoCounts counts = demo::createDemoDatabase(file, {25, demo::DemoOptions::DefaultSeed});
    const QString programDir = dir.filePath(QStringLiteral("program"));

    const bool realTemplate = QFile::exists(QStringLiteral(QUILLON_BUILD_DIR "/app/CommissaryCharges.rpt"));
    if (!realTemplate) {
        QFile f(dir.filePath(QStringLiteral("CommissaryCharges.rpt")));
        f.open(QIODevice::WriteOnly);
        f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Report name=\"CommissaryCharges\" title=\"Charges\">\n"
                "  <Page width=\"612\" height=\"792\" margin=\"36\"/>\n"
                "  <Detail height=\"12\"><Field x=\"0\" y=\"0\" expr=\"{lastname}\"/>"
                "<Field x=\"200\" y=\"0\" format=\"currency\" expr=\"{amt}\"/></Detail>\n</Report>\n");
        f.close();
        qputenv("QUILLON_TEMPLATE_DIR", dir.path().toLocal8Bit());
    } else {
        qputenv("QUILLON_TEMPLATE_DIR", QUILLON_BUILD_DIR "/app");
    }

    const QString menuScript = dir.filePath(QStringLiteral("menu.txt")), emptyScript = dir.filePath(QStringLiteral("empty.txt"));
    for (const auto& [path, text] : {std::pair{menuScript, QByteArray("open Form0\n")}, std::pair{emptyScript, QByteArray("# login only\n")}}) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    const QString outDir = dir.filePath(QStringLiteral("out"));

    ScriptedDialogs dialogs;
    std::vector<double> openOnly, toMenu, loginOnly, select, direct;
    int pages = 0, rows = 0;
    for (int i = 0; i < runs; ++i) {
        {
            QElapsedTimer t;
            t.start();
            Connection db;
            db.openEmbedded(file);
            openOnly.push_back(t.nsecsElapsed() / 1e6);
        }

        loginOnly.push_back(processRun(emptyScript, file, outDir));
        toMenu.push_back(processRun(menuScript, file, outDir));

        App app(dialogs, std::make_shared<reports::FolderPrinter>(dir.filePath(QStringLiteral("printed"))));
        registerShellWindows(app);
        startUp(app, file, programDir);

        auto* menu = qobject_cast<MainMenuWindow*>(app.windows().window(QStringLiteral("Form0")));
        menu->findChild<QAbstractButton*>(QStringLiteral("Option2"))->click();
        auto* list = menu->findChild<QComboBox*>(QStringLiteral("dbcIncidents"));
        list->setCurrentIndex(0);
        Q_EMIT list->activated(0);
        bool shown = false;
        QElapsedTimer t;
        app.output().setObserver([&](reports::ReportOutput::Delivery d, int, const QString&, const reports::ReportPtr& r) {
            if (d != reports::ReportOutput::Delivery::Preview) return;
            select.push_back(t.nsecsElapsed() / 1e6);
            pages = int(r->render().pages.size());
            shown = true;
        });
        t.start();
        menu->findChild<QAbstractButton*>(QStringLiteral("cmdSelect"))->click();
        if (!shown) {
            std::fprintf(stderr, "the report was not shown: %s\n", qPrintable(dialogs.log().join(QLatin1Char('\n'))));
            return 1;
        }
        rows = app.state.MainDataSet->recordCount();

        // The same report without windows: build, lay out, write the PDF.
        t.restart();
        std::int32_t key = 0;
        BuildReport(app, key);
        app.state.OpenReport->renderPdf();
        direct.push_back(t.nsecsElapsed() / 1e6);
        closeAll(app);
    }

    std::printf("scale-25 sample: %d persons, %d time postings, %d commissary debits; %d runs, medians\n",
                counts.persons, counts.personPostings, counts.debits, runs);
    std::printf("template: %s\n", realTemplate ? "templates/CommissaryCharges.rpt" : "the benchmark's own one-line template");
    const double open = median(openOnly), menu = median(toMenu), login = median(loginOnly), sel = median(select),
                 dir2 = median(direct);
    std::printf("%-52s %9.1f ms\n", "open the database file alone (in-process)", open);
    std::printf("%-52s %9.1f ms\n", "process start, login, no window, exit", login);
    std::printf("%-52s %9.1f ms  (%.2fx the login-only process)\n", "process start to the main menu shown, exit", menu,
                menu / login);
    std::printf("%-52s %9.1f ms  (%d rows, %d pages)\n", "Select report 2 to its first page shown", sel, rows, pages);
    std::printf("%-52s %9.1f ms  (Select takes %.2fx that)\n", "the same report built and written without windows", dir2,
                sel / dir2);
    return 0;
}
