#pragma once
// Scripted runs: the real windows driven by a script instead of a person, one
// command per line, blank lines and lines starting with # ignored:
//
//   state NAME VALUE              set a shared-state member
//   open FORM | close FORM        load and show a window as the menu would / close it
//   pick FORM.CONTROL TEXT        choose the item shown as TEXT in a list, grid or tree
//   type FORM.CONTROL TEXT        type TEXT into a text box, masked box, date picker
//                                 (MM/dd/yyyy) or editable list
//   click FORM.CONTROL            click a button, option button or check box
//   tick FORM.CONTROL NODE on|off set a tree node's check box as a click would
//   key FORM[.CONTROL] KEYS       press keys (Enter, Esc, PgDown, Ctrl+F, ...) in
//                                 the control, or in the window's focused control
//   grab FORM FILE                save a picture of the window as FILE (.png)
//   answer OK|Cancel|Yes|No|Retry answer the next message box
//   answer-input TEXT             answer the next input box
//   sql QUERY                     run a query and print its rows
//   cancel-at COUNT STEP          cancel the next run that reaches COUNT units of
//                                 STEP ("cancel-at 500 Numbering postings"; 0: as
//                                 the step begins) as its Cancel button would
//
// Control arrays are addressed as optPrint(2). TEXT is the rest of the line;
// put it in double quotes to keep blanks at its ends or to give an empty text.
// The runner does pick, type, click, tick, key, grab and the answers itself; state, open,
// close, sql and cancel-at are done by handlers the program registers. Everything that
// happens is written to the output, one line per event (message and input
// boxes as ScriptedDialogs logs them). The first failing command stops the
// script, and so does a box that needed an answer the script did not give;
// answers left over when the script ends are an error too.

#include "data/recordset.h"
#include "ui/dialogs.h"

#include <QString>

#include <functional>
#include <map>
#include <vector>

namespace quillon {

struct ScriptCommand {
    int line = 0;        // 1-based line in the script
    QString word;        // the command word
    QString target;      // FORM.CONTROL, FORM, or a state member's name
    QString text;        // TEXT, NODE, VALUE, QUERY, or the answer
    bool on = false;     // tick: on or off
    QString source;      // the line as written
};

// The output lines of the program's own events. Texts are kept on one line
// (line breaks as \n); a Null value is written NULL.
QString scriptReportLine(const QString& title, int viewer, int pages, const QString& pdfPath, const QString& dataPath);
QString scriptPrintLine(const QString& title, int pages, const QString& pdfPath, const QString& dataPath);
// One "ROW <field>=<value>|..." line per row, in the rows' order.
QStringList scriptRowLines(const Recordset& rows);

// Parses a script; throws ScriptError naming the first bad line.
std::vector<ScriptCommand> parseScript(const QString& script);

class ScriptRunner {
public:
    using Handler = std::function<void(const ScriptCommand&)>;

    // Routes the dialogs' log to the output as well.
    ScriptRunner(ScriptedDialogs& dialogs, std::function<void(const QString&)> output);

    // Registers (or replaces) the handler of a command word. A handler reports
    // failure by throwing (ScriptError, DbError, any std::exception).
    void setHandler(const QString& word, Handler handler);
    bool hasHandler(const QString& word) const { return m_handlers.count(word) != 0; }

    // One line of output (REPORT, PRINT, ROW lines of the program's parts).
    void emitLine(const QString& line);

    // Runs a script; false when a command failed (see error()). Nothing runs
    // when the script does not parse.
    bool run(const QString& script);
    bool runFile(const QString& path);
    // "line N: <command>: <what went wrong>", or "" after a full run.
    const QString& error() const { return m_error; }

    // The program ended during the current command (its main window closed):
    // the run stops there, and any command after it is an error.
    void programEnded() { m_ended = true; }
    bool hasProgramEnded() const { return m_ended; }

private:
    void execute(const ScriptCommand& command);

    ScriptedDialogs& m_dialogs;
    std::function<void(const QString&)> m_output;
    std::map<QString, Handler> m_handlers;
    QString m_error;
    bool m_ended = false;
};

}  // namespace quillon
