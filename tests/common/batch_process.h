// Runs the batch tool of this build as a user runs it, and keeps what it said.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace batchtest {

struct BatchRun {
    int exitCode = -1;
    QString out, err;
};

inline BatchRun runBatch(const QStringList& args,
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch"), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace batchtest
