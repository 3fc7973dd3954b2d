// The audit window reached from the main menu in a scripted run of the built
// program: Run previews every finding of the damaged sample, grouped by rule.
#include "../shell/quillon_script.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon::testing;

TEST(AuditWindow, MenuOpensItAndRunPreviewsEveryFinding)
{
    const QTemporaryDir work;
    const QString db = QDir(work.path()).filePath(QStringLiteral("damaged.db"));
    QProcess demo;
    demo.start(QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch"),
               {QStringLiteral("demo-db"), db, QStringLiteral("--damaged")});
    ASSERT_TRUE(demo.waitForFinished(120000));
    ASSERT_EQ(demo.exitCode(), 0);

    const ScriptRun r = runScript(QStringLiteral("open Form0\nclick Form0.cmdAudit\nclick frmAudit.RunButton\n"),
                                  work.path(), db, QStringLiteral(QUILLON_SOURCE_DIR "/templates"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString() << r.lines.join('\n').toStdString();
    const QStringList previews = r.linesStarting(QStringLiteral("REPORT Database Audit viewer=1 "));
    ASSERT_EQ(previews.size(), 1) << r.lines.join('\n').toStdString();

    // One row per finding: each of the thirteen kinds of damage at least once,
    // the rows in rule order.
    const QJsonArray rows = ScriptRun::data(previews[0])[QStringLiteral("table1")].toArray();
    QStringList rules;
    int lastOrder = 0;
    for (const QJsonValue& row : rows) {
        const QJsonObject o = row.toObject();
        const QString rule = o[QStringLiteral("Rule")].toString();
        if (!rules.contains(rule)) rules << rule;
        EXPECT_GE(o[QStringLiteral("RuleOrder")].toInt(), lastOrder);
        lastOrder = o[QStringLiteral("RuleOrder")].toInt();
    }
    EXPECT_EQ(rules.size(), 13) << rules.join(' ').toStdString();
}
