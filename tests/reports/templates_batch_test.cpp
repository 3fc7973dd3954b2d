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

// The parameter values the batch tool recorded in its data file.
std::vector<std::pair<QString, Value>> recordedParameters(const QByteArray& json)
{
    std::vector<std::pair<QString, Value>> out;
    const QJsonObject params = QJsonDocument::fromJson(json).object().value(QStringLiteral("report")).toObject()
                                   .value(QStringLiteral("parameters")).toObject();
    for (auto it = params.begin(); it != params.end(); ++it)
        out.emplace_back(it.key(), it.value().isBool() ? Value(it.value().toBool())
                                   : it.value().isDouble() ? Value(it.value().toDouble()) : Value(it.value().toString()));
    return out;
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
        const Document doc = renderJson(templateName, bytes, recordedParameters(bytes));
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

namespace {

// Texts that overlap on a page: two printed strings sharing ink.
QStringList overlaps(const Document& doc)
{
    QStringList out;
    for (int pi = 0; pi < doc.pageCount(); ++pi) {
        std::vector<const Primitive*> texts;
        for (const Primitive& p : doc.pages[size_t(pi)].items)
            if (p.kind == Primitive::Text && !p.text.trimmed().isEmpty() && p.angle == 0 && !p.background) texts.push_back(&p);
        for (size_t i = 0; i < texts.size(); ++i)
            for (size_t j = i + 1; j < texts.size(); ++j) {
                const Primitive& a = *texts[i];
                const Primitive& b = *texts[j];
                // The ink of a line lies within about 80% of its line height.
                const double w = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
                const double h = std::min(a.y + a.h * 0.8, b.y + b.h * 0.8) - std::max(a.y, b.y);
                if (w > 0.5 && h > 0.5)
                    out << QStringLiteral("page %1: \"%2\" and \"%3\"").arg(pi + 1).arg(a.text, b.text);
            }
    }
    return out;
}

TEST(TemplatesLayout, NoPrintedTextOverlapsAnother)
{
    for (const SampleCase& c : sampleCases()) {
        const QStringList found = overlaps(buildCase(c.golden).doc);
        EXPECT_TRUE(found.isEmpty()) << c.golden << ": " << found.join(QStringLiteral("; ")).toStdString();
    }
    const std::vector<std::pair<const char*, std::vector<std::pair<QString, Value>>>> fixtures{
        {"OF288", {{QStringLiteral("OrigRpt"), Value(QStringLiteral("PLost"))}, {QStringLiteral("FinalFlag"), Value(QStringLiteral("F"))}}},
        {"OF288_grid", {{QStringLiteral("OrigRpt"), Value(QStringLiteral("D"))}}},
        {"CommissaryDetail", {{QStringLiteral("OrigRpt"), Value(QStringLiteral("PDamaged"))}}},
        {"WorkRest_R", {{QStringLiteral("SortField"), Value(QStringLiteral("R"))}}},
        {"WorkRest_P", {{QStringLiteral("SortField"), Value(QStringLiteral("P"))}}},
        {"ExcessHours_R", {{QStringLiteral("SortField"), Value(QStringLiteral("R"))}, {QStringLiteral("MinValue"), Value(14.0)}}},
    };
    for (const auto& [fixture, params] : fixtures) {
        const QString name = QString::fromLatin1(fixture).section(QLatin1Char('_'), 0, 0);
        const QStringList found = overlaps(renderFixture(name, QLatin1String(fixture), params));
        EXPECT_TRUE(found.isEmpty()) << fixture << ": " << found.join(QStringLiteral("; ")).toStdString();
    }
}

}  // namespace

namespace {

// The reports that need a preparation first (the analyses' scratch rows, the
// OF-288 preparation table) come out of the batch tool too.
TEST(TemplatesThroughTheBatchTool, PreparedReportsAreWrittenWithEveryPage)
{
    if (!QFileInfo::exists(kBatch)) GTEST_SKIP() << "quillon-batch is not built";
    QTemporaryDir dir;
    const QStringList dates{QStringLiteral("--set"), QStringLiteral("ReportStartDate=07/14/2026"), QStringLiteral("--set"),
                            QStringLiteral("ReportEndDate=07/27/2026")};
    const std::vector<std::tuple<int, const char*, QStringList>> cases{
        {1, "WorkRest", dates},
        {5, "ExcessHours", dates + QStringList{QStringLiteral("--set"), QStringLiteral("ReportMinValue=14")}},
        {6, "OF288", dates + QStringList{QStringLiteral("--request"), QStringLiteral("C-1")}},
        {14, "CommissaryDetail", dates + QStringList{QStringLiteral("--set"), QStringLiteral("SelectedPersonId=4")}},
    };
    for (const auto& [number, templateName, selection] : cases) {
        SCOPED_TRACE(templateName);
        const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(number));
        QProcess p;
        p.start(kBatch, QStringList{QStringLiteral("report"), QStringLiteral("--db"), sampleDbPath(), QStringLiteral("--report"),
                                    QString::number(number), QStringLiteral("--set"), QStringLiteral("SelectedIncidentId=1"),
                                    QStringLiteral("--pdf"), pdf} + selection);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        static const QRegularExpression summary(QStringLiteral("^(\\w+): (\\d+) pages, (\\d+) rows"));
        const QRegularExpressionMatch m = summary.match(out);
        ASSERT_TRUE(m.hasMatch()) << out.toStdString();
        EXPECT_EQ(m.captured(1), QLatin1String(templateName));
        EXPECT_GT(m.captured(3).toInt(), 0);
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        static const QRegularExpression pageObject(QStringLiteral("/Type\\s*/Page[^s]"));
        EXPECT_EQ(QString::fromLatin1(f.readAll()).count(pageObject), m.captured(2).toInt());
    }
}

}  // namespace
