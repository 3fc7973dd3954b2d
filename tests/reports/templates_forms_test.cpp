// Forms printed one per person or per piece of equipment, built from the
// sample database: their pages against golden files, their check boxes, and
// their figures against the database.
#include "templates_harness.h"

using namespace quillon;
using namespace quillon::templates_test;

namespace {

TEST(CommAuthorizationTemplate, OneSignedFormPerPersonWithTheirAnswersTicked)
{
    const Built one = buildCase("CommAuthorization");   // person 30: initial employment, no return travel
    ASSERT_EQ(one.doc.pageCount(), 1);
    EXPECT_EQ(checkBoxes(one.doc.pages[0]), (std::vector<bool>{true, false, false, true}));

    // A crew: one form per member, each on its own page numbered 1 of 1,
    // with the member's own answers.
    const Built crew = buildReport(stateFrom(9, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedResourceId=2")}));
    RecordsetPtr members = sampleDb().openRecordset(QStringLiteral(
        "select LastName || ', ' || FirstName, InitEmployYN, ReturnTravelYN from Persons where ResourceID = 2 "
        "order by LastName, FirstName, PersonID"));
    ASSERT_EQ(crew.doc.pageCount(), members->recordCount());
    for (int i = 0; i < members->recordCount(); ++i) {
        const Page& page = crew.doc.pages[size_t(i)];
        const QStringList lines = pageLines(page);
        const QString name = members->at(i, 0).toString();
        EXPECT_FALSE(lines.filter(name).isEmpty()) << name.toStdString();
        EXPECT_TRUE(lines.last().endsWith(QStringLiteral("| Page 1 of 1")));
        const bool init = members->at(i, 1).toString() == QLatin1String("Y");
        const bool travel = members->at(i, 2).toString() == QLatin1String("Y");
        EXPECT_EQ(checkBoxes(page), (std::vector<bool>{init, !init, travel, !travel})) << name.toStdString();
    }
}

}  // namespace

namespace {

QStringList turned(const Document& doc)
{
    QStringList out;
    for (const Page& p : doc.pages)
        for (const Primitive& item : p.items)
            if (item.kind == Primitive::Text && item.angle != 0) out << item.text;
    return out;
}

AppState deductionsOf(int equipment, const char* type, const char* origRpt)
{
    return stateFrom(13, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedEquipmentId=%1").arg(equipment),
                          QStringLiteral("ContractType=") + QLatin1String(type), QStringLiteral("InvoicePrintMode=1"),
                          QStringLiteral("OrigRptCode=") + QLatin1String(origRpt), QStringLiteral("ReportStartDate=07/14/2026"),
                          QStringLiteral("ReportEndDate=07/27/2026")});
}

TEST(EquipDeductionsTemplate, DeductionsAndAdditionsTotalledApartUnderTheCopyMarking)
{
    const Built draft = buildCase("EquipDeductions");   // equipment 2, a draft
    const QStringList lines = allLines(draft.doc);
    const QString adj = QStringLiteral("from ContractorAdjustments where EquipmentID = 2 and ActivityDT between '2026-07-14' and '2026-07-27'");
    EXPECT_TRUE(lines.contains(QStringLiteral("Totals, %1 entries | %2 | $0.00")
                                   .arg(sqlValue(QStringLiteral("select count(*) ") + adj).toInt())
                                   .arg(dollars(sqlValue(QStringLiteral("select sum(Amt) ") + adj + QStringLiteral(" and Amt > 0"))))));
    EXPECT_TRUE(lines.mid(0, 2) == (QStringList{QStringLiteral("Equipment Deductions & Additions"), QStringLiteral("DRAFT")}));
    EXPECT_TRUE(lines.contains(QStringLiteral("Cedar Ridge | 2026-CA-SHU-004117-000002 | (7/14/2026 - 7/27/2026)")));
    EXPECT_EQ(turned(draft.doc), QStringList{QStringLiteral("DRAFT")});

    // Equipment 1 has a deduction and an addition: both totals and the net.
    const Built both = buildReport(deductionsOf(1, "0", "OA01"));
    const QStringList bothLines = allLines(both.doc);
    const QString adj1 = QStringLiteral("from ContractorAdjustments where EquipmentID = 1");
    EXPECT_TRUE(bothLines.contains(QStringLiteral("Totals, 2 entries | %1 | %2")
                                       .arg(dollars(sqlValue(QStringLiteral("select sum(Amt) ") + adj1 + QStringLiteral(" and Amt > 0"))),
                                            dollars(sqlValue(QStringLiteral("select -sum(Amt) ") + adj1 + QStringLiteral(" and Amt < 0"))))));
    EXPECT_TRUE(bothLines.contains(QStringLiteral("Net deduction from the invoice | ")
                                   + dollars(sqlValue(QStringLiteral("select sum(Amt) ") + adj1))));
    // The ORIGINAL of invoice A: marked, numbered with its suffix, no watermark.
    EXPECT_TRUE(bothLines.mid(0, 2) == (QStringList{QStringLiteral("Equipment Deductions & Additions"), QStringLiteral("ORIGINAL")}));
    EXPECT_TRUE(bothLines.contains(QStringLiteral("Cedar Ridge | 2026-CA-SHU-004117-000001A | (7/14/2026 - 7/27/2026)")));
    EXPECT_TRUE(turned(both.doc).isEmpty());

    // A printed duplicate names its copy and reason; a previewed one its reason.
    const QStringList dup = allLines(buildReport(deductionsOf(1, "0", "FPLost02")).doc);
    EXPECT_TRUE(dup.mid(0, 2) == (QStringList{QStringLiteral("Equipment Deductions & Additions"), QStringLiteral("DUPLICATE ORIGINAL")}));
    EXPECT_TRUE(!dup.filter(QStringLiteral("| Copy 02   Reason: Lost")).isEmpty());
    EXPECT_TRUE(!allLines(buildReport(deductionsOf(1, "0", "PDid not Print")).doc).filter(QStringLiteral("| Reason: Did not Print")).isEmpty());

    // A contract crew's list says so in its title.
    const QStringList crew = allLines(buildReport(deductionsOf(8, "1", "D")).doc);
    EXPECT_TRUE(crew.value(0) == QStringLiteral("Contract Crew Deductions & Additions"));
}

}  // namespace
