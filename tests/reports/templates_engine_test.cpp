// The engine features the report templates lean on: rows sorted by the
// template, a field picked by occurrence when a query selects two columns of
// one name, totals taken once per group over rows a join repeats, and texts
// with CR LF line ends.
#include "data/dberror.h"
#include "reports/engine/json_data.h"
#include "reports/engine/layout.h"
#include "reports/engine/template_model.h"

#include <QJsonObject>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::reports;

namespace {

Value money(const char* s) { return Value(Currency::fromString(QLatin1String(s))); }

QStringList texts(const Document& doc)
{
    QStringList out;
    for (const Page& p : doc.pages)
        for (const Primitive& item : p.items)
            if (item.kind == Primitive::Text) out << item.text;
    return out;
}

Document render(const char* xml, RecordsetPtr data, RecordsetPtr sub = {})
{
    const auto t = parseTemplate(QByteArray(xml), QStringLiteral("test.rpt"));
    RenderInput in;
    in.report = t.get();
    in.data = std::move(data);
    if (sub) in.subreportData.push_back(std::move(sub));
    in.printDate = QDate(2024, 7, 1);
    return layoutReport(in);
}

int templateError(const char* xml)
{
    try {
        parseTemplate(QByteArray(xml), QStringLiteral("bad.rpt"));
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

TEST(TemplateSort, OrdersRowsByItsKeysBeforeGroupingAndKeepsTiesInArrivalOrder)
{
    const char* xml = R"x(<Report name="S">
      <Sort by="Crew, Hours desc"/>
      <Group name="Crew" on="Crew"><Header height="10"><Field expr="'Crew ' &amp; {Crew}"/></Header></Group>
      <Detail height="10"><Field expr="{Name} &amp; ' ' &amp; {Hours}"/></Detail>
    </Report>)x";
    auto rs = Recordset::fromRows({QStringLiteral("Crew"), QStringLiteral("Name"), QStringLiteral("Hours")},
                                  {{Value(QStringLiteral("B")), Value(QStringLiteral("Cole")), Value(std::int64_t(8))},
                                   {Value(QStringLiteral("A")), Value(QStringLiteral("Ames")), Value(std::int64_t(4))},
                                   {Value(QStringLiteral("B")), Value(QStringLiteral("Dunn")), Value(std::int64_t(12))},
                                   {Value(), Value(QStringLiteral("Nobody")), Value(std::int64_t(1))},
                                   {Value(QStringLiteral("A")), Value(QStringLiteral("Bell")), Value(std::int64_t(4))}});
    const QStringList expected{QStringLiteral("Crew "), QStringLiteral("Nobody 1"), QStringLiteral("Crew A"),
                               QStringLiteral("Ames 4"), QStringLiteral("Bell 4"), QStringLiteral("Crew B"),
                               QStringLiteral("Dunn 12"), QStringLiteral("Cole 8")};
    EXPECT_EQ(texts(render(xml, rs)), expected);

    // A subreport sorts its linked rows by its own keys.
    const char* withSub = R"x(<Report name="S">
      <Detail height="10"><Field expr="{Name}"/>
        <Subreport name="subreport1" x="60" link="Crew"><Sort by="Day"/>
          <Detail height="10"><Field expr="{Day}" format="M/d"/></Detail></Subreport>
      </Detail></Report>)x";
    auto crews = Recordset::fromRows({QStringLiteral("Crew"), QStringLiteral("Name")},
                                     {{Value(QStringLiteral("A")), Value(QStringLiteral("Alpha"))}});
    auto days = Recordset::fromRows({QStringLiteral("Crew"), QStringLiteral("Day")},
                                    {{Value(QStringLiteral("A")), Value(QDate(2024, 6, 3))},
                                     {Value(QStringLiteral("B")), Value(QDate(2024, 6, 1))},
                                     {Value(QStringLiteral("A")), Value(QDate(2024, 6, 2))}});
    EXPECT_EQ(texts(render(withSub, crews, days)),
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("6/2"), QStringLiteral("6/3")}));

    EXPECT_NE(templateError(R"x(<Report><Sort by="Crew upward"/></Report>)x"), 0);
    EXPECT_NE(templateError(R"x(<Report><Sort by=""/></Report>)x"), 0);
    EXPECT_NE(templateError(R"x(<Report><Sort by="A"/><Sort by="B"/></Report>)x"), 0);
}

TEST(TemplateFields, SecondColumnOfTheSameNameIsReachedByOccurrence)
{
    const char* xml = R"x(<Report name="F"><Detail height="10">
      <Field expr="{Amt}" format="0.00"/><Field x="50" expr="{Amt#2}" format="0.00"/>
      <Field x="100" expr="{ContractorAdjustments.Amt#2}" format="0.00"/></Detail></Report>)x";
    auto rs = Recordset::fromRows({QStringLiteral("Amt"), QStringLiteral("EquipmentID"), QStringLiteral("Amt")},
                                  {{money("1500"), Value(std::int64_t(1)), money("-229.25")}});
    EXPECT_EQ(texts(render(xml, rs)),
              (QStringList{QStringLiteral("1500.00"), QStringLiteral("-229.25"), QStringLiteral("-229.25")}));

    // A data file cannot repeat a name; it names the column "Amt#2" outright.
    auto json = Recordset::fromRows({QStringLiteral("Amt"), QStringLiteral("Amt#2")}, {{money("7"), money("9")}});
    EXPECT_EQ(texts(render(xml, json)).mid(0, 2), (QStringList{QStringLiteral("7.00"), QStringLiteral("9.00")}));

    // The report data a build writes out names the second column "Amt#2", so
    // that it renders again to the same values.
    const QJsonArray written = recordsetToJson(*rs);
    EXPECT_EQ(written.at(0).toObject().value(QStringLiteral("Amt#2")).toObject().value(QStringLiteral("currency")).toString().toDouble(),
              -229.25);
    EXPECT_EQ(texts(render(xml, recordsetFromJson(written, QStringLiteral("rows")))).value(2), QStringLiteral("-229.25"));

    // A third occurrence that is not there is a missing field.
    const char* third = R"x(<Report name="F"><Detail height="10"><Field expr="{Amt#3}"/></Detail></Report>)x";
    EXPECT_THROW(render(third, rs), DbError);
}

// Postings joined to adjustments: every posting row repeats once per
// adjustment of its equipment. Totals taken once per posting, and once per
// equipment, come out as if the join had not repeated anything.
TEST(TemplateTotals, OncePerGroupTotalsIgnoreRowsAJoinRepeats)
{
    const char* xml = R"x(<Report name="T">
      <Group name="Equip" on="EquipmentID">
        <Footer height="10"><Field expr="{EquipmentID} &amp; ': use ' &amp; Text(Sum({Amt}, 'Equip', 'Post'), '0')
            &amp; ', adj ' &amp; Text(Sum({Amt#2}, 'Post'), '0') &amp; ', days ' &amp; Count({Day}, 'Equip', 'Post')"/></Footer>
      </Group>
      <Group name="Post" on="Day"/>
      <ReportFooter height="10"><Field expr="'use ' &amp; Text(Sum({Amt}, 'report', 'Post'), '0')
            &amp; ', adj ' &amp; Text(Sum(Sum({Amt#2}, 'Post'), 'report', 'Equip'), '0')
            &amp; ', rows ' &amp; Count({Day})"/></ReportFooter>
    </Report>)x";
    QStringList names{QStringLiteral("EquipmentID"), QStringLiteral("Day"), QStringLiteral("Amt"), QStringLiteral("Amt")};
    std::vector<Recordset::Row> rows;
    // Equipment 1: two days of 100 and 150, adjustments 10 and -4 (each day twice).
    for (int day = 1; day <= 2; ++day)
        for (const char* adj : {"10", "-4"})
            rows.push_back({Value(std::int64_t(1)), Value(QDate(2024, 6, day)), money(day == 1 ? "100" : "150"), money(adj)});
    // Equipment 2: three days of 50, one adjustment of 7.
    for (int day = 1; day <= 3; ++day)
        rows.push_back({Value(std::int64_t(2)), Value(QDate(2024, 6, day)), money("50"), money("7")});
    const QStringList out = texts(render(xml, Recordset::fromRows(names, rows)));
    EXPECT_EQ(out, (QStringList{QStringLiteral("1: use 250, adj 6, days 2"), QStringLiteral("2: use 150, adj 7, days 3"),
                                QStringLiteral("use 400, adj 13, rows 7")}));

    EXPECT_NE(templateError(R"x(<Report><Group name="A" on="X"/>
      <ReportFooter><Field expr="Sum({Y}, 'report', 'B')"/></ReportFooter></Report>)x"), 0);   // no such group
    EXPECT_NE(templateError(R"x(<Report><Group name="A" on="X"/><Group name="B" on="Y"/>
      <ReportFooter><Field expr="Sum({Y}, 'B', 'A')"/></ReportFooter></Report>)x"), 0);        // A is not inside B
    EXPECT_NE(templateError(R"x(<Report><Group name="A" on="X"/>
      <PageFooter><Field expr="Sum({Y}, 'page', 'A')"/></PageFooter></Report>)x"), 0);         // not per page
}

// Lines listed by account, then the same rows again by day: a day split
// across two accounts is totalled once.
TEST(TemplateSubreports, ASubreportOnTheMainRowsSortsAndGroupsThemItsOwnWay)
{
    const char* xml = R"x(<Report name="M">
      <Sort by="Acct, Day"/>
      <Group name="Acct" on="Acct"><Footer height="10"><Field expr="{Acct} &amp; ' ' &amp; Sum({Amt})"/></Footer></Group>
      <ReportFooter height="10">
        <Subreport name="days" data="main" link="Unit">
          <Sort by="Day"/>
          <Group name="Day" on="Day"><Footer height="10"><Field expr="Text({Day}, 'M/d') &amp; ' ' &amp; Sum({Amt})"/></Footer></Group>
          <ReportFooter height="10"><Field expr="'days ' &amp; Count({Day}, 'report', 'Day')"/></ReportFooter>
        </Subreport>
      </ReportFooter>
    </Report>)x";
    auto rs = Recordset::fromRows({QStringLiteral("Acct"), QStringLiteral("Unit"), QStringLiteral("Day"), QStringLiteral("Amt")},
                                  {{Value(QStringLiteral("B")), Value(QStringLiteral("B")), Value(QDate(2024, 6, 1)), Value(std::int64_t(5))},
                                   {Value(QStringLiteral("A")), Value(QStringLiteral("B")), Value(QDate(2024, 6, 2)), Value(std::int64_t(7))},
                                   {Value(QStringLiteral("A")), Value(QStringLiteral("B")), Value(QDate(2024, 6, 1)), Value(std::int64_t(3))}});
    // The report footer sees the last row; its Unit links every row.
    EXPECT_EQ(texts(render(xml, rs)), (QStringList{QStringLiteral("A 10"), QStringLiteral("B 5"), QStringLiteral("6/1 8"),
                                                   QStringLiteral("6/2 7"), QStringLiteral("days 2")}));
    EXPECT_NE(templateError(R"x(<Report><Detail><Subreport name="s" data="other"/></Detail></Report>)x"), 0);
}

TEST(TemplateText, CarriageReturnLineEndsBreakLines)
{
    const char* xml = R"x(<Report name="W"><Detail height="10">
      <Field width="300" canGrow="true" expr="{Prev}"/></Detail></Report>)x";
    auto rs = Recordset::fromRows({QStringLiteral("Prev")},
                                  {{Value(QStringLiteral("6/1/2024 - 6/14/2024 for 96 Hours.\r\n6/15/2024 - 6/20/2024 for 40 Hours.\r\n"))}});
    const Document doc = render(xml, rs);
    EXPECT_EQ(texts(doc), (QStringList{QStringLiteral("6/1/2024 - 6/14/2024 for 96 Hours."),
                                       QStringLiteral("6/15/2024 - 6/20/2024 for 40 Hours.")}));
    EXPECT_GT(doc.pages[0].items[1].y, doc.pages[0].items[0].y);
}

}  // namespace
