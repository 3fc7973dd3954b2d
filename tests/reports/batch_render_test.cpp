// quillon-batch render, run as the template author runs it.
#include "batch_process.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kBatch = QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch");
const QString kData = QStringLiteral(QUILLON_TEST_DATA "/reports/");

using batchtest::BatchRun;

BatchRun batch(const QStringList& args)
{
    return batchtest::runBatch(QStringList{QStringLiteral("render")} + args);
}

TEST(BatchRender, PrintsTheLaidOutTextAndWritesThePdf)
{
    if (!QFileInfo::exists(kBatch)) GTEST_SKIP() << "quillon-batch is not built";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("groups.pdf"));
    const BatchRun r = batch({kData + QStringLiteral("groups.rpt"), QStringLiteral("--data"), kData + QStringLiteral("groups.json"),
                         QStringLiteral("--param"), QStringLiteral("StartDate=6/1/2024"), QStringLiteral("--text"),
                         QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile golden(kData + QStringLiteral("groups.golden"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(r.out.toStdString(), QString::fromUtf8(golden.readAll()).toStdString());
    EXPECT_TRUE(r.err.contains(QStringLiteral("1 page")));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

TEST(BatchRender, ExplainsWhatIsWrong)
{
    if (!QFileInfo::exists(kBatch)) GTEST_SKIP() << "quillon-batch is not built";
    const QString tmpl = kData + QStringLiteral("groups.rpt");
    EXPECT_EQ(batch({tmpl}).exitCode, 2);   // neither --pdf nor --text
    const BatchRun unknown = batch({tmpl, QStringLiteral("--param"), QStringLiteral("EndDate=1/1/2024"), QStringLiteral("--text")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("no parameter named EndDate"))) << unknown.err.toStdString();
    const BatchRun badDate = batch({tmpl, QStringLiteral("--param"), QStringLiteral("StartDate=soon"), QStringLiteral("--text")});
    EXPECT_EQ(badDate.exitCode, 1);
    EXPECT_TRUE(badDate.err.contains(QStringLiteral("not a date"))) << badDate.err.toStdString();
    const BatchRun noSub = batch({tmpl, QStringLiteral("--data"), kData + QStringLiteral("subreport.json"), QStringLiteral("--text")});
    EXPECT_EQ(noSub.exitCode, 1);
    EXPECT_TRUE(noSub.err.contains(QStringLiteral("subreport1"))) << noSub.err.toStdString();
}

}  // namespace
