// The engine objects: opening templates, parameters, sections and
// subreports, data tables, saved data, errors, and the PDF they produce.
#include "data/dberror.h"
#include "reports/engine/font_metrics.h"
#include "reports/engine/pdf_writer.h"
#include "reports/engine/report_engine.h"
#include "reports/engine/text_shaper.h"
#include "reports/printing/printer.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::reports;

namespace {

const QString kData = QStringLiteral(QUILLON_TEST_DATA "/reports/");

RecordsetPtr people()
{
    return Recordset::fromRows({QStringLiteral("PersonID"), QStringLiteral("LastName"), QStringLiteral("Hours")},
                               {{Value(1), Value(QStringLiteral("Ames")), Value(7.5)},
                                {Value(2), Value(QStringLiteral("Bell")), Value(10.0)}});
}

RecordsetPtr debits()
{
    return Recordset::fromRows({QStringLiteral("PersonID"), QStringLiteral("Amt")},
                               {{Value(2), Value(Currency::fromString(QStringLiteral("12.34")))},
                                {Value(1), Value(Currency::fromString(QStringLiteral("99.00")))}});
}

QStringList texts(const Document& doc)
{
    QStringList out;
    for (const Page& p : doc.pages)
        for (const Primitive& item : p.items)
            if (item.kind == Primitive::Text) out << item.text;
    return out;
}

template <typename F>
int errorNumber(F&& f)
{
    try {
        f();
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

class EngineTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<FolderPrinter> printer = std::make_shared<FolderPrinter>(dir.filePath(QStringLiteral("printed")));

    ReportPtr open(const QString& name)
    {
        ReportApplication app(printer);
        return app.openReport(kData + name, 1);   // the report outlives the application object
    }

    QString writeTemplate(const QByteArray& xml)
    {
        const QString path = dir.filePath(QStringLiteral("t.rpt"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(xml);
        return path;
    }
};

TEST_F(EngineTest, OpeningMissingOrBrokenTemplatesFailsWithTheTemplateError)
{
    ReportApplication app(printer);
    try {
        app.openReport(dir.filePath(QStringLiteral("NoSuchReport.rpt")), 1);
        FAIL() << "opened a missing template";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::ReportTemplate);
        EXPECT_TRUE(e.description().contains(QStringLiteral("NoSuchReport.rpt")));
    }
    const struct { const char* xml; const char* says; } broken[] = {
        {"<Report><Detail height='12'><Field x='0' expr='{A'/></Detail></Report>", "line 1"},
        {"<Report>\n<Detail height='12'>\n<Feild x='0'/></Detail></Report>", "line 3"},
        {"<Report><Detail hieght='12'/></Report>", "hieght"},
        {"<Report><Detail height='12'><Field x='0' expr='{?Undeclared}'/></Detail></Report>", "Undeclared"},
        {"<Report><Detail height='12'><Field x='0' expr='Sum({A}, \"NoGroup\")'/></Detail></Report>", "NoGroup"},
        {"<Report><Detail height='12'/><Detail height='12' section='1'/></Report>", "twice"},
        {"<Report><Page size='Tabloid'/></Report>", "Tabloid"},
        {"<Report><Detail height='12'>", "XML"},
        {"<Report><Parameter name='P' type='money'/></Report>", "money"},
        {"<Report><Group on='A' resetPageNumber='true'/></Report>", "newPage"},
        {"<Report><Group on='A' newColumn='true'/></Report>", "Columns"},
        {"<Report><Detail height='9'><Subreport name='s' link='A=B=C'/></Detail></Report>", "link"},
    };
    for (const auto& b : broken) {
        try {
            app.openReport(writeTemplate(b.xml), 1);
            ADD_FAILURE() << "accepted " << b.xml;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::ReportTemplate) << b.xml;
            EXPECT_TRUE(e.description().contains(QLatin1String(b.says))) << e.description().toStdString();
        }
    }
    EXPECT_EQ(errorNumber([&] { app.openReport(kData + QStringLiteral("sections.rpt"), 7); }), ErrorNumber::ReportTemplate);
}

TEST_F(EngineTest, ParametersTakeValuesOfTheirKindAndRefuseUnknownNames)
{
    ReportPtr r = open(QStringLiteral("sections.rpt"));
    EXPECT_EQ(errorNumber([&] { r->parameter(QStringLiteral("EndDate")); }), ErrorNumber::ReportParameter);
    ParameterField& start = r->parameter(QStringLiteral("startdate"));   // names are not case-sensitive
    EXPECT_EQ(start.valueType(), Value::Type::Date);
    start.clearCurrentValueAndRange();
    start.addCurrentValue(Value(QStringLiteral("6/30/2024")));
    EXPECT_EQ(start.value(), Value(QDate(2024, 6, 30)));
    EXPECT_EQ(errorNumber([&] { start.addCurrentValue(Value(QStringLiteral("someday"))); }), ErrorNumber::ReportParameter);
    r->parameter(QStringLiteral("MinValue")).addCurrentValue(Value(Currency::fromString(QStringLiteral("16"))));
    EXPECT_EQ(r->parameter(QStringLiteral("MinValue")).value(), Value(16.0));
    EXPECT_EQ(errorNumber([&] { r->parameter(QStringLiteral("MinValue")).addCurrentValue(Value(QStringLiteral("lots"))); }),
              ErrorNumber::ReportParameter);
    r->parameter(QStringLiteral("ContCrew")).addCurrentValue(Value(true));
    EXPECT_EQ(r->parameter(QStringLiteral("SortField")).value(), Value(QStringLiteral("P")));   // the default

    r->database().table(1).setDataSource(people());
    EXPECT_EQ(texts(r->render()).value(0), QStringLiteral("From 6/30/2024 sort P min 16.0 crew"));
    // A new value renders anew; clearing returns to the default.
    r->parameter(QStringLiteral("SortField")).clearCurrentValueAndRange();
    r->parameter(QStringLiteral("SortField")).addCurrentValue(Value(QStringLiteral("R")));
    EXPECT_EQ(texts(r->render()).value(0), QStringLiteral("From 6/30/2024 sort R min 16.0 crew"));
    r->parameter(QStringLiteral("SortField")).clearCurrentValueAndRange();
    EXPECT_EQ(r->parameter(QStringLiteral("SortField")).value(), Value(QStringLiteral("P")));
}

TEST_F(EngineTest, SubreportIsFoundBySectionAndNameAndTakesItsOwnTable)
{
    ReportPtr r = open(QStringLiteral("sections.rpt"));
    EXPECT_EQ(errorNumber([&] { r->section(25); }), ErrorNumber::ReportSubreport);
    EXPECT_EQ(errorNumber([&] { r->section(8).reportObject(QStringLiteral("subreport2")); }), ErrorNumber::ReportSubreport);
    EXPECT_EQ(errorNumber([&] { r->section(1).reportObject(QStringLiteral("Heading")).openSubreport(); }),
              ErrorNumber::ReportSubreport);
    EXPECT_EQ(errorNumber([&] { r->database().table(2); }), ErrorNumber::ReportSubreport);

    ReportPtr sub = r->section(8).reportObject(QStringLiteral("SubReport1")).openSubreport();
    ASSERT_TRUE(sub->isSubreport());
    r->discardSavedData();
    r->database().table(1).setDataSource(people());
    sub->database().table(1).setDataSource(debits());
    // The footer sees the last person (Bell, 2), so the linked debit is 12.34.
    EXPECT_EQ(texts(r->render()), (QStringList{QStringLiteral("From  sort P min "), QStringLiteral("Ames 7.5"),
                                              QStringLiteral("Bell 10.0"), QStringLiteral("$12.34")}));
    // Rendering the subreport object renders its main report.
    EXPECT_EQ(texts(sub->render()).size(), 4);
}

TEST_F(EngineTest, SavedRowsShowUntilDiscardedAndMissingFieldsAreErrors)
{
    ReportPtr r = open(QStringLiteral("sections.rpt"));
    EXPECT_TRUE(texts(r->render()).contains(QStringLiteral("Saved 1.5")));
    EXPECT_TRUE(texts(r->render()).contains(QStringLiteral("$3.50")));
    r->discardSavedData();
    EXPECT_EQ(texts(r->render()),
              (QStringList{QStringLiteral("From  sort P min "), QStringLiteral("No records for this selection.")}));

    // Data closed before rendering is an error, not an empty report.
    auto closed = people();
    closed->close();
    r->database().table(1).setDataSource(closed);
    EXPECT_EQ(errorNumber([&] { r->render(); }), ErrorNumber::NotOpen);

    auto wrong = Recordset::fromRows({QStringLiteral("PersonID"), QStringLiteral("Surname")}, {{Value(1), Value(QStringLiteral("x"))}});
    r->database().table(1).setDataSource(wrong);
    try {
        r->render();
        FAIL() << "rendered without the LastName field";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::FieldNotFound);
        EXPECT_TRUE(e.description().contains(QStringLiteral("LastName")));
    }
}

TEST_F(EngineTest, PrintOutWritesAPdfWhoseTextMatchesTheLayout)
{
    ReportPtr r = open(QStringLiteral("sections.rpt"));
    r->discardSavedData();
    auto rows = Recordset::fromRows({QStringLiteral("PersonID"), QStringLiteral("LastName"), QStringLiteral("Hours")},
                                    {{Value(1), Value(QStringLiteral("Núñez – “Café” 5€")), Value(8.0)}});
    r->database().table(1).setDataSource(rows);
    r->printOut();
    ASSERT_EQ(printer->jobs().size(), 1);
    QFile pdf(printer->jobs().first());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf.fileName(), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Núñez – “Café” 5€ 8.0"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Summary of Hours Worked")) || text.contains(QStringLiteral("From")));
}

// Written a page at a time, the PDF reads as the one made whole in memory:
// the page-number fields, drawn at the end, stand where they belong.
TEST_F(EngineTest, PdfWrittenPageByPageReadsAsTheWholeOneAndReportsAFailedDevice)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    const auto pdfText = [&](const QByteArray& pdf) {
        const QString path = dir.filePath(QStringLiteral("x.pdf"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(pdf);
        f.close();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    ReportPtr r = open(QStringLiteral("paging.rpt"));
    std::vector<Recordset::Row> rows;
    for (int i = 0; i < 300; ++i) rows.push_back({Value(QDate(2024, 6, 1).addDays(i % 40)), Value(1.0 + i % 9)});
    r->database().table(1).setDataSource(
        Recordset::fromRows({QStringLiteral("ActivityDT"), QStringLiteral("Hours")}, std::move(rows)));
    QBuffer streamed;
    streamed.open(QIODevice::WriteOnly);
    const int pages = r->renderPdfTo(streamed);
    const QByteArray whole = r->renderPdf();
    EXPECT_GT(pages, 25);
    const QString text = pdfText(streamed.data());
    EXPECT_EQ(text, pdfText(whole));
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
    EXPECT_TRUE(text.contains(QStringLiteral("Total hours 1,491.0")));   // 300 rows of 1..9 hours in turn
    // Each page names its own page-number field's form, not every page's: a
    // reader checking each page's resources would otherwise read them all.
    static const QRegularExpression form(QStringLiteral("/D\\d+ \\d+ 0 R"));
    int most = 0;
    for (const QByteArray& object : streamed.data().split('\n'))
        most = std::max(most, int(QString::fromLatin1(object).count(form)));
    EXPECT_EQ(most, 1);

    r->setPrintDate(QDate(2024, 7, 1));   // lays out anew
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(r->renderPdfTo(readOnly), DbError);
}

// A one-page PDF with each text right-aligned at x = 400, one line every 20
// points from y = 50; bold(i) picks the bold face for line i.
template <class Bold>
void writeRightAligned(const QStringList& texts, Bold bold, const QString& file)
{
    Document doc;
    doc.pages.emplace_back();
    for (int i = 0; i < texts.size(); ++i) {
        Primitive p;
        p.font = (unsigned char)FontLibrary::instance().fontId({FontLibrary::Sans, bold(i), false});
        p.size = 9;
        p.text = texts[i];
        p.x = 400 - FontLibrary::instance().face(p.font).textWidth(p.text, 9);
        p.y = 50 + 20 * i;
        doc.pages[0].items.push_back(p);
    }
    PdfWriter::writeFile(doc, file);
}

TEST(FontMetrics, PdfViewersPlaceTextWhereLayoutMeasuredIt)
{
    // Layout and PDF must advance text identically, or right-aligned columns
    // drift: the right edge of right-aligned words, as poppler reads them
    // back from the PDF, is the edge layout aligned them to.
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    const QStringList texts{QStringLiteral("1,234.50"), QStringLiteral("WAVY"), QStringLiteral("façade"),
                            QStringLiteral("Hồng"), QStringLiteral("Ελένη"), QStringLiteral("Ольга"), QStringLiteral("Brzęczyszczykiewicz"),
                            QStringLiteral("Ann\U0001F600")};   // a character beyond 16 bits
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("w.pdf"));
    writeRightAligned(texts, [](int i) { return i % 2 == 1; }, file);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString& t : texts) {
        const QRegularExpression word(QStringLiteral("xMax=\"([0-9.]+)\"[^>]*>%1<").arg(QRegularExpression::escape(t)));
        const auto m = word.match(html);
        ASSERT_TRUE(m.hasMatch()) << t.toStdString() << "\n" << html.toStdString();
        EXPECT_NEAR(m.captured(1).toDouble(), 400, 0.05) << t.toStdString();
    }
}

TEST(FontMetrics, RightToLeftTextIsShapedIntoVisualOrder)
{
    // Against the font's own presentation forms: Arabic letters take their
    // joined forms (initial, medial, final), and both scripts run right to
    // left, so the last letter is drawn first.
    const FontFace& face = FontLibrary::instance().face(FontLibrary::instance().fontId({FontLibrary::Sans, false, false}));
    struct Case {
        QString text;
        std::vector<char32_t> drawn;   // left to right, as presentation forms where Arabic joins
    };
    const std::vector<Case> cases{
        {QStringLiteral("سمير"), {0xFEAE, 0xFEF4, 0xFEE4, 0xFEB3}},                 // reh final, yeh medial, meem medial, seen initial
        // dal and alef join only to the letter before them: dal alone, alef alone, dal final, hah initial
        {QStringLiteral("حداد"), {0x062F, 0x0627, 0xFEAA, 0xFEA3}},
        {QStringLiteral("כהן"), {U'ן', U'ה', U'כ'}},
        {QStringLiteral("ID 7 כהן"), {U'I', U'D', U' ', U'7', U' ', U'ן', U'ה', U'כ'}},
        // A name and an invoice number in one field: each stays whole.
        {QStringLiteral("כהן, דוד 2026-C"), {U'ד', U'ו', U'ד', U' ', U',', U'ן', U'ה', U'כ', U' ', U'2', U'0', U'2', U'6', U'-', U'C'}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<const FontFace*, int>> expected;
        long width = 0;
        for (char32_t d : c.drawn) {
            const FontFace::Glyph g = face.resolve(d);
            ASSERT_GT(g.glyph, 0) << "the fonts lack " << std::hex << unsigned(d);
            expected.emplace_back(g.face, g.glyph);
            width += g.face->glyphWidth(g.glyph);
        }
        std::vector<std::pair<const FontFace*, int>> shaped;
        QString chars;
        for (const ShapedGlyph& g : shapeText(face, c.text)) {
            shaped.emplace_back(g.face, g.glyph);
            chars += g.text;
        }
        EXPECT_EQ(shaped, expected) << c.text.toStdString();
        EXPECT_EQ(chars.size(), c.text.size()) << "every character is carried once: " << c.text.toStdString();
        EXPECT_NEAR(face.textWidth(c.text, 1000), double(width), 0.5) << c.text.toStdString();
    }
}

TEST(FontMetrics, RightToLeftNamesExtractAsTheirCharactersAndEndWhereMeasured)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    const QStringList texts{QStringLiteral("حداد, سمير"), QStringLiteral("כהן, דוד"), QStringLiteral("Haddad, Samir")};
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("rtl.pdf"));
    writeRightAligned(texts, [](int i) { return i == 1; }, file);
    auto extract = [&](const QString& option) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {option, file, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    // The tool lists the words of a right-to-left line in visual order, each
    // word's characters in their own order: every word comes back as stored,
    // never as presentation forms.
    const QString text = extract(QStringLiteral("-raw"));
    for (const QString& t : texts)
        for (const QString& word : t.split(QStringLiteral(", ")))
            EXPECT_TRUE(text.contains(word)) << word.toStdString() << " in " << text.toStdString();
    for (QChar c : text) EXPECT_FALSE(c.unicode() >= 0xFB50 && c.unicode() <= 0xFEFF) << text.toStdString();
    // The line ends at the right edge layout measured it to.
    const QString html = extract(QStringLiteral("-bbox"));
    static const QRegularExpression word(QStringLiteral("<word xMin=\"[0-9.]+\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\""));
    double right[3] = {0, 0, 0};
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const int line = int((m.captured(1).toDouble() - 40) / 20);   // lines at 50, 70, 90 from the top
        if (line >= 0 && line < 3) right[line] = std::max(right[line], m.captured(2).toDouble());
    }
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(right[i], 400, 0.05) << texts[i].toStdString();
}

}  // namespace
