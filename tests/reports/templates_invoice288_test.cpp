// The personnel invoice reports, rendered from fixtures of the rows an
// OF-288 run gives them (its preparation table joined in): the commissary
// detail per person, and the OF-288 form with its posting grid.
#include "templates_harness.h"

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
