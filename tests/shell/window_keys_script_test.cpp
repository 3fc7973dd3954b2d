// Enter and Esc in every window of the program, pressed as a person would
// in the built program on the sample database: Enter does what a click on
// the window's run button does, Esc closes the window (not the main menu).
#include "data/demo/demo_database.h"

#include "quillon_script.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::testing;

TEST(WindowKeys, EnterRunsEachWindowAsItsButtonDoesAndEscClosesIt)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("sample.db"));
    demo::createDemoDatabase(db);
    const QString templates = QStringLiteral(QUILLON_SOURCE_DIR "/templates");
    // Each run logs what the button did (a box or a report), except Form8's,
    // which fills its own grid.
    const struct { const char* form; const char* button; } windows[] = {
        {"Form1", "RunButton"}, {"Form3", "RunButton"}, {"Form4", "RunButton"}, {"Form5", "RunButton"},
        {"Form6", "RunButton(0)"}, {"Form7", "RunButton(0)"}, {"Form8", "RunButton"}, {"Form9", "RunButton"},
        {"Form10", "RunButton"}, {"Form12", "cmdPrint"}, {"frmIncidentTimeReport", "cmdPrint"},
        {"frmAudit", "RunButton"},
    };
    const QString opening = QStringLiteral("state SelectedIncidentId 1\nstate SelectedIncidentNumber CA-CDR-000101\nopen %1\n");
    auto normalised = [](const ScriptRun& r, const QString& work) { return r.lines.join('\n').replace(work, "WORK"); };
    for (const auto& w : windows) {
        const QString form = QString::fromLatin1(w.form);
        QTemporaryDir a, b;
        const ScriptRun clicked = runScript(opening.arg(form) + QStringLiteral("click %1.%2\n").arg(form, w.button),
                                            b.path(), db, templates);
        const ScriptRun keyed = runScript(opening.arg(form) + QStringLiteral("key %1 Enter\nkey %1 Esc\nclick %1.%2\n")
                                                                  .arg(form, w.button),
                                          a.path(), db, templates);
        EXPECT_TRUE(form == QLatin1String("Form8") || !clicked.lines.isEmpty()) << w.form;
        EXPECT_EQ(normalised(keyed, a.path()), normalised(clicked, b.path())) << w.form;
        EXPECT_TRUE(keyed.errors.contains(QStringLiteral("no window %1 is open").arg(form))) << w.form << keyed.errors.toStdString();
    }

    // The main menu: Enter is Select; Esc leaves it open.
    QTemporaryDir work;
    const ScriptRun menu = runScript(QStringLiteral("open Form0\nkey Form0 Enter\nkey Form0 Esc\nclick Form0.cmdSelect\n"),
                                     work.path(), db, templates);
    EXPECT_EQ(menu.exitCode, 0) << menu.errors.toStdString();
    EXPECT_EQ(menu.linesStarting(QStringLiteral("MESSAGE Error | An Incident must be selected")).size(), 2);
}
