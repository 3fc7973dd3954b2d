#pragma once
// Sub-commands of quillon-batch. Each command lives in its own file under
// app/batch/ and registers itself with QUILLON_BATCH_COMMAND.

#include <QStringList>
#include <QTextStream>

#include <functional>
#include <map>

namespace quillon::batch {

struct Command {
    QString usage;   // one line: "demo-db PATH [--scale N] [--seed S]"
    std::function<int(const QStringList& args, QTextStream& out, QTextStream& err)> run;
};

inline std::map<QString, Command>& registry()
{
    static std::map<QString, Command> commands;
    return commands;
}

struct Registrar {
    Registrar(const char* name, Command c) { registry()[QString::fromLatin1(name)] = std::move(c); }
};

}  // namespace quillon::batch

#define QUILLON_BATCH_CONCAT2(a, b) a##b
#define QUILLON_BATCH_CONCAT(a, b) QUILLON_BATCH_CONCAT2(a, b)
#define QUILLON_BATCH_COMMAND(name, usage, fn) \
    static ::quillon::batch::Registrar QUILLON_BATCH_CONCAT(batchRegistrar_, __LINE__)(name, {usage, fn})
