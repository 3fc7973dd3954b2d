// quillon-batch: the headless tool for databases, reports and scripted checks.
// Each sub-command is registered by its own file under app/batch/.
#include "batch/batch_command.h"
#include "batch/report_args.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>

int main(int argc, char** argv)
{
    // Report layout measures text with fonts, which needs a GUI application;
    // the offscreen platform keeps the tool headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder; give it one instead of a warning.
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/quillon-runtime-" + QByteArray::number(getuid());
        QDir().mkpath(QString::fromLocal8Bit(dir));
        QFile::setPermissions(QString::fromLocal8Bit(dir), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    auto& commands = quillon::batch::registry();
    const bool help = !args.isEmpty()
                      && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")
                          || args.first() == QLatin1String("help"));
    if (args.isEmpty() || help || !commands.count(args.first())) {
        QTextStream& to = help ? out : err;
        if (!help && !args.isEmpty()) to << "quillon-batch: unknown command " << args.first() << "\n";
        to << "usage: quillon-batch COMMAND ...\n";
        for (const auto& [name, cmd] : commands) to << "  " << cmd.usage << "\n";
        to << "quillon-batch COMMAND --help shows the options of one command.\n";
        return help ? 0 : 2;
    }
    const QString name = args.takeFirst();
    const auto& cmd = commands.at(name);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << "usage: quillon-batch " << cmd.usage << "\n";
        if (cmd.usage.contains(QLatin1String("--set")))
            out << "  --report N        the report number: 1-7, 9-15\n"
                   "  --set NAME=VALUE  a selection the report window would make; NAME is one of\n"
                   "                    " << quillon::batch::reportArgNames() << "\n"
                   "  --office TAG      a checked office (fax number) of report 15\n";
        if (name == QLatin1String("report"))
            out << "  --request C-1     the request number whose personnel reports 1, 5, 6 and 14 cover\n"
                   "Reports 1 and 5 run their analysis first and remove its scratch rows. Reports 6 (OF-288)\n"
                   "and 14 (commissary detail) are DRAFTs of the OF-288 window's preparation: SelectedPersonId,\n"
                   "--request or SelectedResourceId (a crew), else all personnel, up to ReportEndDate;\n"
                   "ReportFinalFlag=F for a final invoice. What the preparation writes is rolled back.\n";
        return 0;
    }
    return cmd.run(args, out, err);
}
