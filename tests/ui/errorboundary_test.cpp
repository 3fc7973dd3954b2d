#include "ui/busypointer.h"
#include "ui/errorboundary.h"

#include "data/dberror.h"

#include <QGuiApplication>
#include <QPushButton>

#include "printers.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quillon;

TEST(ErrorBoundary, FailingHandlerShowsOneMessageAndLeavesTheWindowUsable)
{
    ScriptedDialogs dialogs;
    QPushButton button;
    int runs = 0;
    bool fail = true;
    std::unique_ptr<BusyPointer> leftBehind;
    QObject::connect(&button, &QPushButton::clicked, &button, guarded(dialogs, [&] {
        ++runs;
        BusyPointer busy;
        if (fail) {
            leftBehind = std::make_unique<BusyPointer>();  // a pointer nobody put back
            throw DbError(-2147217900, QStringLiteral("Invalid object name 'Incidentz'."));
        }
    }));
    button.click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(dialogs.log(), (QStringList{QStringLiteral("MESSAGE Quillon | Invalid object name 'Incidentz'."),
                                          QStringLiteral("-> OK")}));
    EXPECT_EQ(BusyPointer::depth(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(button.isEnabled());

    // The next click runs the handler again; a good run shows nothing and
    // also leaves the pointer normal.
    dialogs.clearLog();
    fail = false;
    button.click();
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(dialogs.log().isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ErrorBoundary, OtherErrorsUnansweredBoxesAndSignalArguments)
{
    ScriptedDialogs dialogs;
    EXPECT_FALSE(runGuarded(dialogs, [] { throw std::runtime_error("disk full"); }, QStringLiteral("Quillon: Fax")));
    EXPECT_EQ(dialogs.log().value(0), QStringLiteral("MESSAGE Quillon: Fax | disk full"));

    // A box nobody answered stops the handler silently and stays on record.
    dialogs.clearLog();
    bool after = false;
    EXPECT_FALSE(runGuarded(dialogs, [&] {
        dialogs.messageBox(QStringLiteral("Sure?"), MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Warning"));
        after = true;
    }));
    EXPECT_FALSE(after);
    EXPECT_EQ(dialogs.log(), QStringList{QStringLiteral("MESSAGE Warning | Sure?")});
    EXPECT_TRUE(dialogs.failure().contains(QLatin1String("Sure?")));

    // Handlers may take the signal's arguments, the first one, or none.
    QPushButton box;
    box.setCheckable(true);
    bool checked = false;
    int plain = 0;
    QObject::connect(&box, &QPushButton::toggled, &box, guarded(dialogs, [&](bool on) { checked = on; }));
    QObject::connect(&box, &QPushButton::toggled, &box, guarded(dialogs, [&] { ++plain; }));
    box.click();
    EXPECT_TRUE(checked);
    EXPECT_EQ(plain, 1);
}

TEST(ErrorBoundary, RedactsPasswords)
{
    EXPECT_EQ(redactPassword(QStringLiteral("UID=a;PWD=x;y;Password = z")),
              QStringLiteral("UID=a;PWD=********;y;Password=********"));
    EXPECT_EQ(redactPassword(QStringLiteral("bad secret here"), QStringLiteral("secret")),
              QStringLiteral("bad ******** here"));
    ScriptedDialogs dialogs;
    runGuarded(dialogs, [] { throw DbError(1, QStringLiteral("cannot open DRIVER=FreeTDS;UID=sa;PWD=hunter2;")); });
    EXPECT_FALSE(dialogs.log().value(0).contains(QLatin1String("hunter2")));
}

TEST(BusyPointer, GuardsNestAndRewind)
{
    {
        BusyPointer outer;
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            BusyPointer inner;
            EXPECT_EQ(BusyPointer::depth(), 2);
            outer.release();  // rewinds the inner one too
            EXPECT_EQ(BusyPointer::depth(), 0);
        }
        EXPECT_EQ(BusyPointer::depth(), 0);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(BusyPointer::depth(), 0);
}
