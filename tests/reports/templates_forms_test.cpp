// Forms printed one per person or per piece of equipment, built from the
// sample database: their pages against golden files, their check boxes, and
// their figures against the database.
#include "templates_harness.h"

#include <QRegularExpression>

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

namespace {

// A copy of the sample database in which equipment 1 has been invoiced for
// 7/14 to 7/20 (invoice A, key 7) and reprinted once for the reason "Lost".
Connection& invoicedDb()
{
    static QTemporaryDir dir;
    static std::unique_ptr<Connection> db;
    if (!db) {
        const QString path = dir.filePath(QStringLiteral("invoiced.db"));
        demo::createDemoDatabase(path);
        db = std::make_unique<Connection>();
        db->openEmbedded(path);
        db->execute(QStringLiteral("Insert into EquipInvoices (EquipInvoiceID,FirstDate,LastDate,EquipmentID,InvoiceNumber,InvoiceSuffix,Amount) "
                                   "Values(7,'2026-07-14','2026-07-20',1,'2026-CA-SHU-004117-000001','A',10500)"));
        db->execute(QStringLiteral("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,Reason) Values(1,7,1,'Original')"));
        db->execute(QStringLiteral("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,Reason) Values(2,7,2,'Lost')"));
        db->execute(QStringLiteral("Update ContractorPost set InvoiceID = 7 where EquipmentID = 1 and ActivityDT between '2026-07-14' and '2026-07-20'"));
    }
    return *db;
}

// The amount due as issuance computes it: each day the greater of its posted
// amounts and its guarantee, then additions added and deductions taken off.
QString amountDue(Connection& db, const QString& where, const QString& debits, const QString& additions)
{
    const Value days = sqlValue(QStringLiteral(
        "select sum(case when a > g then a else g end) from (select sum(Amt + SAmt) as a, GuarAmt as g from ContractorPost ")
        + where + QStringLiteral(" group by ActivityDT, GuarAmt)"), db);
    return dollars(Value(days.toCurrency() - Currency::fromString(debits) + Currency::fromString(additions)));
}

TEST(OF286Template, NetAmountAppliesTheDailyGuaranteeAsIssuanceDoes)
{
    const Built crew = buildCase("OF286");   // a contract crew with short days, one deduction total
    const QStringList lines = allLines(crew.doc);
    EXPECT_EQ(lines.value(2), QStringLiteral("Contract crew"));
    EXPECT_FALSE(lines.filter(QStringLiteral("4. CONTRACT (kind of resource)")).isEmpty());
    const QString where = QStringLiteral("where EquipmentID = 8 and ActivityDT between '2026-07-14' and '2026-07-27' and InvoiceID = 0");
    EXPECT_TRUE(lines.contains(QStringLiteral("NET AMOUNT DUE | ") + amountDue(sampleDb(), where, QStringLiteral("364.50"), QStringLiteral("0"))));
    EXPECT_TRUE(lines.contains(QStringLiteral("Daily use as posted | ")
                               + dollars(sqlValue(QStringLiteral("select sum(Amt + SAmt) from ContractorPost ") + where))));
    // One subtotal per accounting code, and each code's lines under it.
    RecordsetPtr codes = sampleDb().openRecordset(QStringLiteral(
        "select a.AccountingCode, count(*), sum(c.Amt) from ContractorPost c join AccountingCodes a on a.AccountingID = c.AccountingID ")
        + where.mid(0, 6) + QStringLiteral(" c.") + where.mid(6) + QStringLiteral(" group by a.AccountingCode"));
    ASSERT_GE(codes->recordCount(), 2);
    for (int r = 0; r < codes->recordCount(); ++r) {
        const int n = codes->at(r, 1).toInt();
        const QString sub = QStringLiteral("%1 %2 for %3 | %4 | 0.00").arg(n).arg(n == 1 ? "line" : "lines", codes->at(r, 0).toString(),
                                                                          codes->at(r, 2).toCurrency().toFixed(2, true));
        EXPECT_TRUE(lines.contains(sub)) << sub.toStdString();
    }
    EXPECT_EQ(turned(crew.doc), QStringList{QStringLiteral("DRAFT")});

    // Equipment, its government-furnished supplies ticked; the second copy of
    // invoice A carries its copy number and reason, and only the invoice's days.
    AppState dup = stateFrom(7, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedEquipmentId=1"), QStringLiteral("ContractType=0"),
                                 QStringLiteral("InvoicePrintMode=3"), QStringLiteral("OrigRptCode=FPLost"), QStringLiteral("OriginalNumber=2"),
                                 QStringLiteral("ReportStartDate=07/14/2026"), QStringLiteral("ReportEndDate=07/20/2026"),
                                 QStringLiteral("ReportDebitTotal=364.50"), QStringLiteral("ReportAdditionTotal=229.25"),
                                 QStringLiteral("PrevInvoicesText=6/30/2026 - 7/13/2026 for $9,000.00\r\n")});
    const Built copy = buildReport(dup, invoicedDb(), 7);
    const QStringList copyLines = allLines(copy.doc);
    EXPECT_TRUE(copyLines.contains(QStringLiteral("DUPLICATE ORIGINAL")));
    EXPECT_TRUE(copyLines.contains(QStringLiteral("Copy 02   Reason: Lost")));
    EXPECT_FALSE(copyLines.filter(QStringLiteral("2026-CA-SHU-004117-000001A | (7/14/2026 - 7/20/2026)")).isEmpty());
    EXPECT_TRUE(copyLines.contains(QStringLiteral("6/30/2026 - 7/13/2026 for $9,000.00")));
    EXPECT_TRUE(copyLines.contains(QStringLiteral("NET AMOUNT DUE | ")
                                   + amountDue(invoicedDb(), QStringLiteral("where InvoiceID = 7"), QStringLiteral("364.50"), QStringLiteral("229.25"))));
    EXPECT_EQ(copyLines.filter(QRegularExpression(QStringLiteral("^7/\\d+/2026 \\|"))).size(), 7);
    EXPECT_TRUE(turned(copy.doc).isEmpty());
    const std::vector<bool> boxes = checkBoxes(copy.doc.pages[0]);
    const bool supplies = sqlValue(QStringLiteral("select GovtSuppliesYN from Equipment where EquipmentID = 1")).toString() == QLatin1String("Y");
    EXPECT_EQ(boxes, (std::vector<bool>{false, supplies, false}));   // operator, supplies, withdrawn
}

}  // namespace
