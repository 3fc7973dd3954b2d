#pragma once
// A scripted run of the program: the real windows, driven by a script instead
// of a person (ui/script.h), with every box answered from the script and
// every report written to a folder.
//
//   quillon --script FILE --out DIR [--db FILE]
//
// The login takes the embedded database file given, as a login naming it
// would (the shared state then reads as after an interactive launch), or
// without one follows dvn.ini with no dialog. No window opens by itself; the
// script opens what it drives. Printing goes to DIR, never to a printer.
//
// The log, one line per event, goes to `out`: the boxes as ScriptedDialogs
// writes them, and
//   REPORT <title> viewer=<n> pages=<N> pdf=<path> data=<path>   a preview
//   PRINT <title> pages=<N> pdf=<path> data=<path>               a printed job
//   ROW <field>=<value>|...                                       rows of `sql`
// A viewer's print button is frmViewRpt.cmdPrint (frmViewRpt2.cmdPrint).
// Each report is kept in DIR as NNNN-<title>.pdf beside NNNN-<title>.json, the
// SQL texts, parameters and rows it was built from.

#include <QString>

#include <functional>

class QTextStream;

namespace quillon {

class App;

struct ScriptSessionOptions {
    QString scriptPath;
    QString outDir;
    QString databaseFile;   // empty: log in as dvn.ini says
    QString programDir;     // where dvn.ini is looked for (its parent folder)
};

// Exit status of a scripted run.
enum ScriptExit { ScriptSucceeded = 0, ScriptFailed = 1, ScriptNotConnected = 3 };

// Runs the script; needs a QApplication. registerWindows adds the program's
// windows to the application. Failures are reported on `err`.
int runScriptSession(const ScriptSessionOptions& options, const std::function<void(App&)>& registerWindows,
                     QTextStream& out, QTextStream& err);

}  // namespace quillon
