// quillon-batch: the headless tool for databases, reports and scripted checks.
// Each sub-command is registered by its own file under app/batch/.
#include "batch/batch_command.h"

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
    if (args.isEmpty() || !commands.count(args.first())) {
        err << "usage: quillon-batch COMMAND ...\n";
        for (const auto& [name, cmd] : commands) err << "  " << cmd.usage << "\n";
        return 2;
    }
    const auto& cmd = commands.at(args.takeFirst());
    return cmd.run(args, out, err);
}
