// The printed PDF read back the way a clerk's tools read it (pdftotext, and
// the file's own font programs), over names and selections the sample lacks:
// names in several scripts and one of 63 characters, contractors whose pages
// end mid-group, both incidents as one, a selection with no rows.
#include "templates_harness.h"

#include "reports/engine/pdf_writer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <set>

using namespace quillon;
using namespace quillon::templates_test;

namespace {

const QString kVietnamese = QStringLiteral("Nguyễn, Thị Hồng");
const QString kPolish = QStringLiteral("Kowalczyk-Wiśniewska-Brzęczyszczykiewicz, Małgorzata Anna-Maria");
const QString kGreek = QStringLiteral("Παπαδοπούλου, Ελένη");
const QString kCyrillic = QStringLiteral("Смирнова, Ольга Викторовна");
const QString kArabic = QStringLiteral("حداد, سمير");
const QString kHebrew = QStringLiteral("כהן, דוד");

// The sample database with four persons of the first crew renamed.
Connection& craftedDb()
{
    static QTemporaryDir dir;
    static std::unique_ptr<Connection> db;
    if (!db) {
        const QString path = dir.filePath(QStringLiteral("crafted.db"));
        demo::createDemoDatabase(path);
        db = std::make_unique<Connection>();
        db->openEmbedded(path);
        int person = 1;
        for (const QString& name : {kVietnamese, kPolish, kGreek, kCyrillic, kArabic, kHebrew}) {
            const QStringList parts = name.split(QStringLiteral(", "));
            db->execute(QStringLiteral("Update Persons Set LastName = ?, FirstName = ? Where PersonID = ?"),
                        {Value(parts[0]), Value(parts[1]), Value(std::int64_t(person++))});
        }
    }
    return *db;
}

// Each page's text as pdftotext extracts it from the written PDF.
QStringList extractedPages(const Document& doc)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out.pdf"));
    PdfWriter::writeFile(doc, file);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")});
    if (!p.waitForFinished(60000)) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast();   // after the last form feed
    return pages;
}

void expectExtractedGolden(const QString& name, const QStringList& pages)
{
    QString actual;
    for (int i = 0; i < pages.size(); ++i)
        actual += QStringLiteral("=== page %1 of %2\n").arg(i + 1).arg(pages.size()) + pages[i].trimmed() + QLatin1Char('\n');
    QFile golden(kFixtures + QStringLiteral("printed_") + name + QStringLiteral(".golden"));
    if (!golden.exists() || qEnvironmentVariableIsSet("QUILLON_UPDATE_GOLDEN")) {
        const bool existed = golden.exists();
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
        golden.write(actual.toUtf8());
        if (!existed) FAIL() << "wrote new golden file " << golden.fileName().toStdString() << "; review it";
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(golden.readAll()).toStdString(), actual.toStdString()) << name.toStdString();
}

class PrintedOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "no pdftotext";
    }
};

TEST_F(PrintedOutput, NamesInEveryScriptPrintAsRecorded)
{
    struct Case {
        const char* golden;
        int report;
        QStringList sets;
        QStringList names;   // printed whole, as recorded
    };
    const std::vector<Case> cases{
        {"CrewRoster", 12, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedResourceId=1")},
         {kVietnamese, kPolish, kGreek, kCyrillic, kArabic, kHebrew}},
        {"CommAuthorization", 9, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedPersonId=2")}, {kPolish}},
    };
    for (const Case& c : cases) {
        const QStringList pages = extractedPages(buildReport(stateFrom(c.report, c.sets), craftedDb()).doc);
        expectExtractedGolden(QLatin1String(c.golden), pages);
        const QString text = pages.join(QString()).simplified();
        for (const QString& name : c.names) {
            // The words of a right-to-left name come back in visual order,
            // each word as stored.
            const QStringList words = name.isRightToLeft() ? name.split(QStringLiteral(", ")) : QStringList{name};
            for (const QString& w : words) EXPECT_TRUE(text.contains(w)) << c.golden << ": " << w.toStdString();
        }
        EXPECT_FALSE(text.contains(QLatin1Char('?'))) << c.golden;
    }
}

TEST_F(PrintedOutput, LongTextsShrinkAndWrapInsteadOfBeingCut)
{
    // One person's OF-288 with the long name, a late date in the grid and a long invoice number.
    QByteArray json = fixtureBytes(QStringLiteral("OF288_grid"));
    const QString fixture = QString::fromUtf8(json);
    static const QRegularExpression last(QStringLiteral("\"LastName\": \"[^\"]*\"")), first(QStringLiteral("\"FirstName\": \"[^\"]*\"")),
        date(QStringLiteral("\"ActivityDT\": \"2026-07-\\d\\d\"")), invoice(QStringLiteral("\"InvoiceNum\": \"[^\"]*\""));
    const QStringList parts = kPolish.split(QStringLiteral(", "));
    QString crafted = fixture;
    crafted.replace(last, QStringLiteral("\"LastName\": \"%1\"").arg(parts[0]))
        .replace(first, QStringLiteral("\"FirstName\": \"%1\"").arg(parts[1]))
        .replace(date, QStringLiteral("\"ActivityDT\": \"2026-12-30\""))
        .replace(invoice, QStringLiteral("\"InvoiceNum\": \"2026-CA-SHU-004117-000059C\""));
    const Document doc = renderJson(QStringLiteral("OF288"), crafted.toUtf8(),
                                    {{QStringLiteral("OrigRpt"), Value(QStringLiteral("O"))}});
    const QStringList pages = extractedPages(doc);
    ASSERT_FALSE(pages.isEmpty());
    const QString text = pages.first().simplified();
    EXPECT_TRUE(text.contains(kPolish)) << text.toStdString();
    EXPECT_GE(text.count(QStringLiteral("2026-CA-SHU-004117-000059C")), 2) << "block and footer";
    // The grid's date, start and stop read as separate words.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("12/30 \\d{4} \\d{4}")).match(text).hasMatch()) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("12/30\\d"))) << text.toStdString();
}

TEST_F(PrintedOutput, HeadersAndFootersNameTheRowsOfTheirPage)
{
    // Payment summary of all contractors: each contractor's pages carry its
    // name at the top (the repeated group header) and in the footer.
    const Built summary = buildReport(stateFrom(4, {QStringLiteral("SelectedIncidentId=1")}), craftedDb());
    const RecordsetPtr contractors = craftedDb().openRecordset(QStringLiteral("Select ContractorName From Contractor"));
    std::set<QString> names;
    for (int r = 0; r < contractors->recordCount(); ++r) names.insert(contractors->at(r, 0).toString());
    ASSERT_GT(summary.doc.pageCount(), 2);
    for (int p = 0; p < summary.doc.pageCount(); ++p) {
        const QStringList lines = pageLines(summary.doc.pages[size_t(p)]);
        QString top, foot;
        for (const QString& n : names) {
            if (lines.mid(0, 6).join(QLatin1Char('\n')).contains(n)) top = n;
            if (lines.last().contains(QStringLiteral(" | ") + n + QStringLiteral(" | "))) foot = n;
        }
        EXPECT_FALSE(top.isEmpty()) << "page " << p + 1;
        EXPECT_EQ(top, foot) << "page " << p + 1 << ": " << lines.last().toStdString();
    }

    // Commissary charges of both incidents: every name on a page is a person of the incident its header names.
    AppState both = stateFrom(2, {QStringLiteral("SelectedIncidentId=-1"), QStringLiteral("ManageIncidentsAsOne=true")});
    const QStringList pages = extractedPages(buildReport(both, craftedDb()).doc);
    expectExtractedGolden(QStringLiteral("CommissaryChargesBoth"), pages);
    const RecordsetPtr rows = craftedDb().openRecordset(QStringLiteral(
        "Select Distinct i.IncidentName, p.LastName || ', ' || p.FirstName From PersonsDebit d Join Persons p On p.PersonID = d.PersonID "
        "Join Resources r On r.ResourceID = p.ResourceID Join Incidents i On i.IncidentID = r.IncidentID"));
    std::map<QString, QString> incidentOf;
    std::set<QString> incidents;
    for (int r = 0; r < rows->recordCount(); ++r) {
        incidentOf[rows->at(r, 1).toString()] = rows->at(r, 0).toString();
        incidents.insert(rows->at(r, 0).toString());
    }
    std::set<QString> headed;
    for (const QString& page : pages) {
        const QString header = page.section(QLatin1Char('\n'), 0, 3);
        QString incident;
        for (const QString& i : incidents)
            if (header.contains(i)) incident = i;
        ASSERT_FALSE(incident.isEmpty()) << page.left(200).toStdString();
        headed.insert(incident);
        for (const auto& [person, of] : incidentOf)
            if (page.contains(QLatin1Char('\n') + person + QLatin1Char('\n'))) EXPECT_EQ(of, incident) << person.toStdString();
    }
    EXPECT_EQ(headed, incidents);
}

TEST_F(PrintedOutput, AReportWithoutRowsSaysSoAndNothingElse)
{
    // A crew that does not exist, a contractor without debits.
    for (const auto& [report, sets] : std::vector<std::pair<int, QStringList>>{
             {12, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedResourceId=99999")}},
             {10, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedContractorId=99999")}}}) {
        const Built b = buildReport(stateFrom(report, sets), craftedDb());
        const QStringList pages = extractedPages(b.doc);
        ASSERT_EQ(pages.size(), 1);
        const QStringList lines = pages[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.last(), QStringLiteral("No records for this selection.")) << pages[0].toStdString();
        EXPECT_EQ(pages[0].count(QStringLiteral("No records")), 1);
        EXPECT_TRUE(lines.first().contains(b.report->title(), Qt::CaseInsensitive) || pages[0].contains(b.report->title()))
            << pages[0].toStdString();
        for (const QString& l : lines) {
            EXPECT_FALSE(l.contains(QStringLiteral("()")) || l.trimmed() == QLatin1String(",") || l.contains(QStringLiteral("0 charges")))
                << l.toStdString();
        }
    }
}

// The font programs of a PDF: each FontFile2 stream, inflated.
std::vector<QByteArray> embeddedFonts(const QByteArray& pdf)
{
    std::vector<QByteArray> fonts;
    static const QRegularExpression ref(QStringLiteral("/FontFile2 (\\d+) 0 R"));
    for (auto it = ref.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const QByteArray obj = "\n" + it.next().captured(1).toLatin1() + " 0 obj";
        const qsizetype at = pdf.indexOf(obj);
        const qsizetype dict = pdf.indexOf("<<", at);
        const qsizetype start = pdf.indexOf("stream\n", dict) + 7;
        const QByteArray head = pdf.mid(dict, start - dict);
        const int length = QRegularExpression(QStringLiteral("/Length (\\d+)")).match(QString::fromLatin1(head)).captured(1).toInt();
        const int length1 = QRegularExpression(QStringLiteral("/Length1 (\\d+)")).match(QString::fromLatin1(head)).captured(1).toInt();
        QByteArray z(4, '\0');
        z[0] = char(length1 >> 24), z[1] = char(length1 >> 16), z[2] = char(length1 >> 8), z[3] = char(length1);
        fonts.push_back(qUncompress(z + pdf.mid(start, length)));
    }
    return fonts;
}

int glyphCount(const QByteArray& ttf)
{
    const int tables = (std::uint8_t(ttf[4]) << 8) | std::uint8_t(ttf[5]);
    for (int i = 0; i < tables; ++i)
        if (ttf.mid(12 + 16 * i, 4) == "maxp") {
            const qsizetype at = (std::uint8_t(ttf[12 + 16 * i + 8]) << 24) | (std::uint8_t(ttf[12 + 16 * i + 9]) << 16)
                                 | (std::uint8_t(ttf[12 + 16 * i + 10]) << 8) | std::uint8_t(ttf[12 + 16 * i + 11]);
            return (std::uint8_t(ttf[at + 4]) << 8) | std::uint8_t(ttf[at + 5]);
        }
    return -1;
}

TEST_F(PrintedOutput, OnePageFormsEmbedOnlyTheGlyphsTheyPrint)
{
    const Document of286 = buildCase("OF286").doc;
    const Document of288 = renderFixture(QStringLiteral("OF288"), QStringLiteral("OF288_grid"),
                                         {{QStringLiteral("OrigRpt"), Value(QStringLiteral("D"))}});
    for (const Document* doc : {&of286, &of288}) {
        ASSERT_EQ(doc->pageCount(), 1);
        std::set<char32_t> chars;
        for (const Primitive& p : doc->pages[0].items)
            for (char32_t c : p.text.toUcs4()) chars.insert(c);
        const QByteArray pdf = PdfWriter::toPdf(*doc);
        EXPECT_LE(pdf.size(), 25 * 1024) << doc->title.toStdString();
        const std::vector<QByteArray> fonts = embeddedFonts(pdf);
        ASSERT_FALSE(fonts.empty());
        for (const QByteArray& f : fonts) {
            // A face holds at most the page's characters, its missing-glyph box and the parts of accented letters.
            EXPECT_GT(glyphCount(f), 1);
            EXPECT_LE(glyphCount(f), int(chars.size()) + 1 + 8) << doc->title.toStdString();
        }
    }
}

}  // namespace
