#include "ui/dialogs.h"

#include "printers.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(ScriptedDialogs, AnswersFromQueueAndLogsEachBox)
{
    ScriptedDialogs d;
    d.queueAnswer(MsgAnswer::Cancel);
    d.queueInput(QStringLiteral("Lost"));
    EXPECT_EQ(d.messageBox(QStringLiteral("Line 1\r\nLine 2"), MsgButtons::OKCancel, MsgIcon::Exclamation,
                           QStringLiteral("Quillon: Warning 1 of 2")), MsgAnswer::Cancel);
    EXPECT_EQ(d.inputBox(QStringLiteral("Reason?"), QStringLiteral("Quillon")), QStringLiteral("Lost"));
    EXPECT_EQ(d.messageBox(QStringLiteral("Done"), MsgButtons::OK, MsgIcon::Information, QStringLiteral("Information")),
              MsgAnswer::OK);
    const QStringList expected{QStringLiteral("MESSAGE Quillon: Warning 1 of 2 | Line 1\\nLine 2"),
                               QStringLiteral("-> Cancel"), QStringLiteral("INPUT Quillon | Reason? -> Lost"),
                               QStringLiteral("MESSAGE Information | Done"), QStringLiteral("-> OK")};
    EXPECT_EQ(d.log(), expected);
}

TEST(ScriptedDialogs, MissingOrUnfittingAnswerStops)
{
    ScriptedDialogs d;
    EXPECT_THROW(d.messageBox(QStringLiteral("Sure?"), MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("T")),
                 UnansweredDialog);
    EXPECT_THROW(d.inputBox(QStringLiteral("Why?"), QStringLiteral("T")), UnansweredDialog);
    d.queueAnswer(MsgAnswer::OK);
    EXPECT_THROW(d.messageBox(QStringLiteral("Sure?"), MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("T")),
                 UnansweredDialog);
}
