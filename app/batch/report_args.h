#pragma once
// The report selection options that the sql and report commands share:
//   --report N  --set NAME=VALUE ...  --office TAG ...
// plus any command-specific options, collected by name.

#include "reports/catalogue/officenodes.h"
#include "shell/appstate.h"

#include <QMap>
#include <QStringList>

#include <cstdint>

namespace quillon::batch {

struct ReportArgs {
    std::int32_t invoiceKey = 0;
    OfficeNodeList offices;
    QMap<QString, QString> options;  // "--db" -> path, ...
};

// Parses args into state and out. Options listed in `extra` take one value
// each. Returns an empty text on success, else why the arguments are wrong.
QString parseReportArgs(const QStringList& args, const QStringList& extra, AppState& state, ReportArgs& out);

// The accepted --set names, for usage texts.
QString reportArgNames();

}  // namespace quillon::batch
