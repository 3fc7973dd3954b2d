// The personnel invoice reports, rendered from fixtures of the rows an
// OF-288 run gives them (its preparation table joined in): the commissary
// detail per person, and the OF-288 form with its posting grid.
#include "templates_harness.h"

#include <QRegularExpression>

using namespace quillon;
using namespace quillon::templates_test;

namespace {

Value cell(const RecordsetPtr& rs, int row, const char* field) { return rs->at(row, rs->fieldIndex(QLatin1String(field))); }

TEST(CommissaryDetailTemplate, EachPersonsChargesAndTotalOnTheirOwnPages)
{
    const Document draft = renderFixture(QStringLiteral("CommissaryDetail"), QStringLiteral("CommissaryDetail"),
                                         {{QStringLiteral("OrigRpt"), Value(QStringLiteral("D"))}});
    expectGolden(QStringLiteral("CommissaryDetail"), draft);

    RecordsetPtr rows = fixtureRows(QStringLiteral("CommissaryDetail"));
    std::map<qint64, std::pair<int, Currency>> perPerson;
    std::map<qint64, QString> invoice;
    for (int r = 0; r < rows->recordCount(); ++r) {
        auto& [n, sum] = perPerson[cell(rows, r, "PersonID").toInt()];
        ++n;
        sum = sum + cell(rows, r, "Amt").toCurrency();
        invoice[cell(rows, r, "PersonID").toInt()] = cell(rows, r, "InvoiceNum").toString();
    }
    ASSERT_EQ(draft.pageCount(), int(perPerson.size()));   // a page each, in PersonID order
    int page = 0;
    for (const auto& [person, total] : perPerson) {
        const QStringList lines = pageLines(draft.pages[size_t(page++)]);
        const QString line = QStringLiteral("Total commissary deductions, %1 %2 | %3")
                                 .arg(total.first).arg(total.first == 1 ? "charge" : "charges", dollars(Value(total.second)));
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
        EXPECT_TRUE(lines.contains(QStringLiteral("Printed 8/20/2026 | %1 | Page 1 of 1").arg(invoice[person])));
        EXPECT_EQ(lines.last(), QStringLiteral("[turned] DRAFT"));
    }

    const Document dup = renderFixture(QStringLiteral("CommissaryDetail"), QStringLiteral("CommissaryDetail"),
                                       {{QStringLiteral("OrigRpt"), Value(QStringLiteral("PLost"))}});
    const QStringList dupLines = pageLines(dup.pages[0]);
    EXPECT_EQ(dupLines.value(1), QStringLiteral("DUPLICATE ORIGINAL"));
    EXPECT_FALSE(dupLines.filter(QStringLiteral("| Reason: Lost")).isEmpty());
    const Document original = renderFixture(QStringLiteral("CommissaryDetail"), QStringLiteral("CommissaryDetail"),
                                            {{QStringLiteral("OrigRpt"), Value(QStringLiteral("O"))}});
    EXPECT_EQ(pageLines(original.pages[0]).value(1), QStringLiteral("ORIGINAL"));
}

}  // namespace

namespace {

const double kLeftMargin = 0.4 * 72;
const double kColumnPitch = 80 + 1.8;

// The postings the grid shows, by column: each column's dates (or "FINAL").
std::map<int, QStringList> gridColumns(const Page& page)
{
    static const QRegularExpression day(QStringLiteral("^\\d{1,2}/\\d{1,2}$"));
    std::vector<const Primitive*> cells;
    for (const Primitive& p : page.items)
        if (p.kind == Primitive::Text && (day.match(p.text).hasMatch() || (p.text == QLatin1String("FINAL") && p.size == 7)))
            cells.push_back(&p);
    std::stable_sort(cells.begin(), cells.end(), [](const Primitive* a, const Primitive* b) { return a->y < b->y; });
    std::map<int, QStringList> columns;
    for (const Primitive* p : cells) columns[int((p->x - kLeftMargin) / kColumnPitch)] << p->text;
    return columns;
}

// Nine postings of one kind, rate and accounting code numbered into columns 1
// (seven) and 2 (two), and the final-column row as column 3; the rows arrive
// out of order and the form puts them in column and row order.
TEST(OF288Template, GridFillsColumnsOfSevenAndClosesWithTheFinalColumn)
{
    const Document doc = renderFixture(QStringLiteral("OF288"), QStringLiteral("OF288_grid"),
                                       {{QStringLiteral("OrigRpt"), Value(QStringLiteral("PLost"))},
                                        {QStringLiteral("FinalFlag"), Value(QStringLiteral("F"))}});
    expectGolden(QStringLiteral("OF288_grid"), doc);
    ASSERT_EQ(doc.pageCount(), 1);
    const std::map<int, QStringList> columns = gridColumns(doc.pages[0]);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns.at(0), (QStringList{QStringLiteral("7/14"), QStringLiteral("7/15"), QStringLiteral("7/16"), QStringLiteral("7/17"),
                                          QStringLiteral("7/18"), QStringLiteral("7/19"), QStringLiteral("7/20")}));
    EXPECT_EQ(columns.at(1), (QStringList{QStringLiteral("7/21"), QStringLiteral("7/22")}));
    EXPECT_EQ(columns.at(2), QStringList{QStringLiteral("FINAL")});

    const QStringList lines = pageLines(doc.pages[0]);
    // Column totals at the foot of the grid; the final column has none.
    EXPECT_TRUE(lines.contains(QStringLiteral("Total | 79.25 | Total | 21.50 | final column")));
    // Each column is headed by its kind, rate and accounting code; the last as FINAL.
    EXPECT_TRUE(lines.contains(QStringLiteral("Kind FFT2 | Kind FFT2 | FINAL")));
    EXPECT_TRUE(lines.contains(QStringLiteral("P5MK8Q | P5MK8Q | P5MK8Q")));
    EXPECT_TRUE(lines.contains(QStringLiteral("9 postings in 3 columns")));
    EXPECT_TRUE(lines.contains(QStringLiteral("$27.50")));   // commissary deductions from subreport1
    // The total hours, the previous invoices (one a line) and the remarks.
    EXPECT_TRUE(lines.contains(QStringLiteral("100.75 | 6/30/2026 - 7/6/2026 for 64 Hours. | Released to home unit 7/22.")));
    EXPECT_TRUE(lines.contains(QStringLiteral("7/7/2026 - 7/13/2026 for 82 Hours.")));
    EXPECT_EQ(lines.value(1), QStringLiteral("DUPLICATE ORIGINAL"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Personnel invoice | Reason: Lost")));
    EXPECT_TRUE(lines.contains(QStringLiteral("FINAL INVOICE")));
    EXPECT_EQ(checkBoxes(doc.pages[0]), (std::vector<bool>{false, true, true, false, true}));   // initial, return travel, final
}

TEST(OF288Template, APersonPerPageSetWithTotalsDeductionsAndMarking)
{
    const Document doc = renderFixture(QStringLiteral("OF288"), QStringLiteral("OF288"),
                                       {{QStringLiteral("OrigRpt"), Value(QStringLiteral("D"))},
                                        {QStringLiteral("FinalFlag"), Value(QStringLiteral("I"))}});
    expectGolden(QStringLiteral("OF288"), doc);

    RecordsetPtr rows = fixtureRows(QStringLiteral("OF288"));
    std::map<qint64, std::pair<double, QString>> perPerson;
    for (int r = 0; r < rows->recordCount(); ++r) {
        auto& [hours, name] = perPerson[cell(rows, r, "PersonID").toInt()];
        hours += cell(rows, r, "Hours").toDouble();
        name = cell(rows, r, "LastName").toString() + QStringLiteral(", ") + cell(rows, r, "FirstName").toString();
    }
    // Request number C-4 before O-14; within it by PersonID. Ten columns take two pages.
    QStringList footers, totals;
    for (const Page& page : doc.pages) {
        const QStringList lines = pageLines(page);
        footers << lines.filter(QStringLiteral("Printed 8/20/2026 | ")).value(0).section(QStringLiteral(" | "), 2);
        QString total;   // the figure printed at 12 points below the heading: the total hours
        for (const Primitive& p : page.items)
            if (p.kind == Primitive::Text && p.size == 12 && p.angle == 0 && p.y > 150) total = p.text;
        totals << total;
        EXPECT_EQ(lines.last(), QStringLiteral("[turned] DRAFT"));
    }
    EXPECT_EQ(footers, (QStringList{QStringLiteral("Page 1 of 1"), QStringLiteral("Page 1 of 2"), QStringLiteral("Page 2 of 2"),
                                    QStringLiteral("Page 1 of 1")}));
    int page = 0;
    for (const auto& [person, total] : perPerson) {
        SCOPED_TRACE(total.second.toStdString());
        const QStringList lines = pageLines(doc.pages[size_t(page)]);
        EXPECT_FALSE(lines.filter(total.second).isEmpty());
        page += person == 66 ? 2 : 1;
        EXPECT_EQ(totals.value(page - 1), QString::number(total.first, 'f', 2));
    }
    // The commissary deductions of each person come from the subreport rows.
    EXPECT_TRUE(pageLines(doc.pages[3]).contains(dollars(Value(Currency::fromString(QStringLiteral("54.00"))))));
    EXPECT_TRUE(pageLines(doc.pages[2]).contains(QStringLiteral("$0.00")));
    EXPECT_EQ(totals.value(1), QString());   // the first of two pages carries no totals
}

}  // namespace
