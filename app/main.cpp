// quillon: the desktop program.
//
//   quillon                          interactive: login dialog, then the main menu
//   quillon "1234,6,0,SRV/DB,user,password,True,False[,True]"
//                                    launched by the host system for one incident
//   quillon --script FILE --out DIR [--db FILE]
//                                    the real windows driven by a script, offscreen
//
// The host system's command line is one comma-separated text; see
// launchCommandLine for how it is put together from the arguments.
#include "windows.h"

#include "reports/printing/printer.h"
#include "shell/app.h"
#include "shell/launch.h"
#include "shell/logindialog.h"
#include "shell/scriptsession.h"
#include "shell/startup_commandline.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <unistd.h>

namespace {

using namespace quillon;

constexpr char kUsage[] =
    "usage: quillon [COMMAND-LINE]\n"
    "       quillon --script FILE --out DIR [--db FILE]\n";

QStringList rawArguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}

void ensureRuntimeDir()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    // Qt wants a private runtime folder; give it one instead of a warning.
    const QString dir = QDir::tempPath() + QStringLiteral("/quillon-runtime-%1").arg(getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
}

// The offscreen platform warns about every window it cannot size as a window
// manager would; in a scripted run that is noise on stderr.
void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("propagateSizeHints"))) return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << "\n";
}

// Closes every window before the application object goes.
void closeEverything(App& app)
{
    app.windows().unloadAll();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->close();
        w->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.shutdownLogin();
}

int scripted(int argc, char** argv, const QStringList& args)
{
    ScriptSessionOptions options;
    QTextStream err(stderr);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        QString* target = a == QLatin1String("--script") ? &options.scriptPath
                          : a == QLatin1String("--out")  ? &options.outDir
                          : a == QLatin1String("--db")   ? &options.databaseFile
                                                         : nullptr;
        if (!target || i + 1 >= args.size()) {
            err << "quillon: " << (target ? a + QStringLiteral(" needs a value") : QStringLiteral("unknown option ") + a)
                << "\n" << kUsage;
            return 2;
        }
        *target = args.at(++i);
    }
    if (options.scriptPath.isEmpty() || options.outDir.isEmpty()) {
        err << "quillon: --script and --out are required\n" << kUsage;
        return 2;
    }
    // Offscreen unless a display is asked for (scripts/screenshots runs the
    // script on a virtual display of a given size).
    const QByteArray platform = qgetenv("QUILLON_SCRIPT_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    ensureRuntimeDir();
    qInstallMessageHandler(quietOffscreenWarnings);
    QApplication application(argc, argv);
    options.programDir = QCoreApplication::applicationDirPath();
    QTextStream out(stdout);
    return runScriptSession(options, registerAllWindows, out, err);
}

int desktop(int argc, char** argv, const QStringList& args)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        QTextStream(stderr) << "quillon: there is no display to show the windows on (DISPLAY and WAYLAND_DISPLAY "
                               "are not set); use --script for a run without one\n";
        return 2;
    }
    ensureRuntimeDir();
    QApplication application(argc, argv);
    QtDialogs dialogs;
    App app(dialogs, reports::systemPrinter());
    app.setQuitHandler([] {
        // After the closing window's own close has finished.
        QTimer::singleShot(0, [] {
            QApplication::closeAllWindows();
            QApplication::quit();
        });
    });
    registerAllWindows(app);

    const QString commandLine = launchCommandLine(args);
    const bool interactive = commandLine.isEmpty();
    const Startup::Outcome outcome = startApplication(
        app, commandLine, QCoreApplication::applicationDirPath(), [&]() {
            return interactive ? std::make_unique<DvnLoginComponent>(loginDialogPrompt(app.state))
                               : std::make_unique<DvnLoginComponent>();
        });
    int status = 0;
    switch (outcome) {
    case Startup::Outcome::MainMenu:
    case Startup::Outcome::Window:
        status = application.exec();
        break;
    case Startup::Outcome::NothingToOpen:
        break;
    case Startup::Outcome::NotConnected:
    case Startup::Outcome::Failed:
        status = 1;
        break;
    }
    closeEverything(app);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    const QStringList args = rawArguments(argc, argv);
    if (args.contains(QStringLiteral("--script")))
        return scripted(argc, argv, args);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        QTextStream(stdout) << kUsage;
        return 0;
    }
    return desktop(argc, argv, args);
}
