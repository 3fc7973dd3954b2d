// Every sample-database template through the batch tool, as a user runs it:
// "quillon-batch report" writes the PDF and the report's data; the data
// renders again to the same pages as the golden file, and the PDF has them all.
#include "templates_harness.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

using namespace quillon;
using namespace quillon::templates_test;

namespace {

const QString kBatch = QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch");

// Renders the data file the batch tool wrote, with the parameter values it recorded.
Document renderDataFile(const QString& templateName, const QByteArray& json)
{
    ReportApplication app(std::make_shared<FolderPrinter>(QStringLiteral("/nonexistent")));
    ReportPtr report = app.openReport(kTemplates + templateName + QStringLiteral(".rpt"), 1);
    const QJsonObject params = QJsonDocument::fromJson(json).object().value(QStringLiteral("report")).toObject()
                                   .value(QStringLiteral("parameters")).toObject();
    for (auto it = params.begin(); it != params.end(); ++it) {
        report->parameter(it.key()).clearCurrentValueAndRange();
        report->parameter(it.key()).addCurrentValue(it.value().isBool() ? Value(it.value().toBool())
                                                    : it.value().isDouble() ? Value(it.value().toDouble())
                                                                            : Value(it.value().toString()));
    }
    report->discardSavedData();
    for (const auto& [table, rs] : tablesFromJson(json, templateName)) {
        if (table == QLatin1String("table1")) report->database().table(1).setDataSource(rs);
        else report->subreport(table)->database().table(1).setDataSource(rs);
    }
    report->setPrintDate(kPrintDate);
    return report->render();
}

TEST(TemplatesThroughTheBatchTool, ReportDataRendersToTheGoldenPagesAndThePdfHoldsThemAll)
{
    if (!QFileInfo::exists(kBatch)) GTEST_SKIP() << "quillon-batch is not built";
    QTemporaryDir dir;
    for (const SampleCase& c : sampleCases()) {
        SCOPED_TRACE(c.golden);
        const QString pdf = dir.filePath(QLatin1String(c.golden) + QStringLiteral(".pdf"));
        const QString data = dir.filePath(QLatin1String(c.golden) + QStringLiteral(".json"));
        QStringList args{QStringLiteral("report"), QStringLiteral("--db"), sampleDbPath(), QStringLiteral("--report"),
                         QString::number(c.report)};
        for (const QString& s : c.sets) args << QStringLiteral("--set") << s;
        for (const QString& o : c.offices) args << QStringLiteral("--office") << o;
        args << QStringLiteral("--pdf") << pdf << QStringLiteral("--data") << data;
        QProcess p;
        p.start(kBatch, args);
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

        QFile json(data);
        ASSERT_TRUE(json.open(QIODevice::ReadOnly));
        const QByteArray bytes = json.readAll();
        const QString templateName = QJsonDocument::fromJson(bytes).object().value(QStringLiteral("report")).toObject()
                                         .value(QStringLiteral("template")).toString();
        const Document doc = renderDataFile(templateName, bytes);
        QFile golden(kFixtures + QLatin1String(c.golden) + QStringLiteral(".golden"));
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
        EXPECT_EQ(pagesText(doc).toStdString(), QString::fromUtf8(golden.readAll()).toStdString());

        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        static const QRegularExpression pageObject(QStringLiteral("/Type\\s*/Page[^s]"));
        EXPECT_EQ(QString::fromLatin1(f.readAll()).count(pageObject), doc.pageCount());
    }
}

}  // namespace
