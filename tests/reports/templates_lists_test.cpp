// List reports built from the sample database: their pages against reviewed
// golden files, and their totals against sums the database computes itself.
#include "templates_harness.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QRegularExpression>

using namespace quillon;
using namespace quillon::templates_test;

namespace {

TEST(CommissaryChargesTemplate, DayTotalsAndGrandTotalMatchTheDatabase)
{
    const Built b = buildCase("CommissaryCharges");

    const QStringList lines = allLines(b.doc);
    const QString incidentDebits = QStringLiteral(
        "from PersonsDebit d inner join Persons p on d.PersonID = p.PersonID "
        "inner join Resources r on p.ResourceID = r.ResourceID where r.IncidentID = 1");
    // "3 charges on 7/15/2026 | $20.75": one footer per day, each equal to the day's sum.
    static const QRegularExpression dayTotal(QStringLiteral("^(\\d+) charges? on (\\d+)/(\\d+)/(\\d+) \\| (\\S+)$"));
    int days = 0;
    for (const QString& l : lines) {
        const auto m = dayTotal.match(l);
        if (!m.hasMatch()) continue;
        ++days;
        const QString day = QStringLiteral("'%1-%2-%3'").arg(m.captured(4)).arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'))
                                .arg(m.captured(3).toInt(), 2, 10, QLatin1Char('0'));
        EXPECT_EQ(m.captured(5), dollars(sqlValue(QStringLiteral("select sum(d.Amt) ") + incidentDebits + QStringLiteral(" and d.ActivityDT = ") + day))) << l.toStdString();
        EXPECT_EQ(m.captured(1).toInt(), sqlValue(QStringLiteral("select count(*) ") + incidentDebits + QStringLiteral(" and d.ActivityDT = ") + day).toInt());
    }
    EXPECT_EQ(days, sqlValue(QStringLiteral("select count(distinct d.ActivityDT) ") + incidentDebits).toInt());
    const QString total = dollars(sqlValue(QStringLiteral("select sum(d.Amt) ") + incidentDebits));
    EXPECT_TRUE(lines.filter(QStringLiteral("Total commissary charges")).value(0).endsWith(total)) << total.toStdString();
    // Every page is numbered out of the whole.
    EXPECT_TRUE(lines.contains(QStringLiteral("Printed 8/20/2026 | Page %1 of %1").arg(b.doc.pageCount())));

    // Managing the incidents as one lists the charges of both.
    const QStringList allLinesOfBoth =
        allLines(buildReport(stateFrom(2, {QStringLiteral("ManageIncidentsAsOne=true"), QStringLiteral("SelectedIncidentId=-1")})).doc);
    EXPECT_TRUE(allLinesOfBoth.filter(QStringLiteral("Total commissary charges")).value(0)
                    .endsWith(dollars(sqlValue(QStringLiteral("select sum(Amt) from PersonsDebit")))));
}

}  // namespace

namespace {

TEST(CrewRosterTemplate, ListsTheCrewWithStatusCountsAndMaskedNumbers)
{
    const Built b = buildCase("CrewRoster");   // crew 34 has one member demobilized

    const QStringList lines = allLines(b.doc);
    const int members = sqlValue(QStringLiteral("select count(*) from Persons where ResourceID = 34")).toInt();
    const int demob = sqlValue(QStringLiteral("select count(*) from Persons where ResourceID = 34 and PStatus = 'D'")).toInt();
    ASSERT_EQ(demob, 1);
    EXPECT_TRUE(lines.contains(QStringLiteral("%1 members: %2 on the incident, 1 demobilized").arg(members).arg(members - 1)));
    EXPECT_EQ(lines.filter(QStringLiteral("| Demobilized")).size(), 1);
    // Only the last four digits of a social security number are printed.
    RecordsetPtr ssn = sampleDb().openRecordset(QStringLiteral("select SSN from Persons where ResourceID = 34"));
    for (int r = 0; r < ssn->recordCount(); ++r) {
        const QString full = ssn->at(r, 0).toString();
        EXPECT_FALSE(lines.join(QLatin1Char('\n')).contains(full)) << full.toStdString();
        EXPECT_FALSE(lines.filter(QStringLiteral("XXX-XX-") + full.right(4)).isEmpty()) << full.toStdString();
    }
}

}  // namespace

namespace {

TEST(EquipMgmtTemplate, EachIncidentOnItsOwnPagesWithCountsByKind)
{
    const Built b = buildCase("EquipMgmt");   // incidents managed as one: the whole view

    ASSERT_EQ(b.doc.pageCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const QStringList page = pageLines(b.doc.pages[size_t(i)]);
        const int incident = i + 1;   // sorted by name: Cedar Ridge, then Minto Creek
        const QString name = sqlValue(QStringLiteral("select IncidentName from Incidents where IncidentID = %1").arg(incident)).toString();
        EXPECT_TRUE(page.value(0).endsWith(name));
        EXPECT_TRUE(page.contains(QStringLiteral("Printed 8/20/2026 | Page 1 of 1")));   // numbering restarts per incident
        const int pieces = sqlValue(QStringLiteral("select count(*) from qryEquipMgmt where IncidentID = %1").arg(incident)).toInt();
        const int kinds = sqlValue(QStringLiteral("select count(distinct KindCode) from qryEquipMgmt where IncidentID = %1").arg(incident)).toInt();
        EXPECT_TRUE(page.contains(QStringLiteral("%1 pieces of equipment of %2 kinds on %3").arg(pieces).arg(kinds).arg(name)));
        RecordsetPtr perKind = sampleDb().openRecordset(
            QStringLiteral("select KindCode, count(*) from qryEquipMgmt where IncidentID = %1 group by KindCode").arg(incident));
        for (int r = 0; r < perKind->recordCount(); ++r)
            EXPECT_TRUE(page.contains(QStringLiteral("%1 %2").arg(perKind->at(r, 1).toInt()).arg(perKind->at(r, 0).toString())));
    }
}

}  // namespace

namespace {

TEST(ContractorDebitsTemplate, DeductionsAndAdditionsApartWithTheNetOfTheContractor)
{
    const Built b = buildCase("ContractorDebits");   // contractor 1

    const QStringList lines = allLines(b.doc);
    const QString adj = QStringLiteral("from ContractorAdjustments where ContractorID = 1");
    const QString deductions = dollars(sqlValue(QStringLiteral("select sum(Amt) ") + adj + QStringLiteral(" and Amt > 0")));
    const QString additions = dollars(sqlValue(QStringLiteral("select -sum(Amt) ") + adj + QStringLiteral(" and Amt < 0")));
    const QString name = sqlValue(QStringLiteral("select ContractorName from Contractor where ContractorID = 1")).toString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Total for %1 | %2 | %3").arg(name, deductions, additions)));
    EXPECT_TRUE(lines.contains(QStringLiteral("Net deduction from the contractor's payments | ")
                               + dollars(sqlValue(QStringLiteral("select sum(Amt) ") + adj))));
    // One subtotal line per piece of equipment, each with its own deductions.
    RecordsetPtr perEquipment = sampleDb().openRecordset(
        QStringLiteral("select e.UniqueEquipmentName, count(*), sum(case when a.Amt > 0 then a.Amt else 0 end) "
                       "from ContractorAdjustments a join Equipment e on e.EquipmentID = a.EquipmentID "
                       "where a.ContractorID = 1 group by e.EquipmentID"));
    for (int r = 0; r < perEquipment->recordCount(); ++r) {
        const int n = perEquipment->at(r, 1).toInt();
        const QString line = QStringLiteral("%1 %2 for %3 | %4").arg(n).arg(n == 1 ? QStringLiteral("entry") : QStringLiteral("entries"))
                                 .arg(perEquipment->at(r, 0).toString(), dollars(perEquipment->at(r, 2)));
        EXPECT_FALSE(lines.filter(line).isEmpty()) << line.toStdString();
    }
}

}  // namespace

namespace {

TEST(SummHoursTemplate, PersonTotalsAndCommissaryChargesMatchTheDatabase)
{
    const Built b = buildCase("SummHours");   // incident 2
    const QStringList lines = allLines(b.doc);
    RecordsetPtr persons = sampleDb().openRecordset(QStringLiteral(
        "select p.FirstName || ' ' || p.LastName, count(*), sum(pp.Hours), "
        "(select sum(Amt) from PersonsDebit d where d.PersonID = p.PersonID) "
        "from Persons p join Resources r on r.ResourceID = p.ResourceID join PersonsPost pp on pp.PersonID = p.PersonID "
        "where r.IncidentID = 2 group by p.PersonID"));
    ASSERT_GT(persons->recordCount(), 50);
    int withDebits = 0;
    for (int r = 0; r < persons->recordCount(); ++r) {
        QString line = QStringLiteral("Total %1 | %2 | %3").arg(persons->at(r, 0).toString()).arg(persons->at(r, 1).toInt())
                           .arg(persons->at(r, 2).toCurrency().toFixed(2, true));
        if (!persons->at(r, 3).isNull()) {
            line += QStringLiteral(" | ") + dollars(persons->at(r, 3));
            ++withDebits;
        }
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
    }
    EXPECT_GT(withDebits, 5);
    const QString total = QStringLiteral(" | %1 | %2").arg(
        sqlValue(QStringLiteral("select count(*) from PersonsPost pp join Persons p on p.PersonID = pp.PersonID "
                                "join Resources r on r.ResourceID = p.ResourceID where r.IncidentID = 2")).toCurrency().toFixed(0, true)).arg(
        sqlValue(QStringLiteral("select sum(pp.Hours) from PersonsPost pp join Persons p on p.PersonID = pp.PersonID "
                                "join Resources r on r.ResourceID = p.ResourceID where r.IncidentID = 2")).toCurrency().toFixed(2, true));
    EXPECT_TRUE(lines.filter(QStringLiteral("Total for Minto Creek, %1 persons").arg(persons->recordCount())).value(0).endsWith(total))
        << total.toStdString();

    // One person's summary carries the incident condition and that person only.
    const Built one = buildReport(stateFrom(3, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedPersonId=3")}));
    const QStringList oneLines = allLines(one.doc);
    EXPECT_EQ(oneLines.filter(QStringLiteral("Total ")).size(), 2);   // the person, then the incident
    EXPECT_TRUE(oneLines.filter(QStringLiteral("Total for Cedar Ridge, 1 person")).size() == 1);
}

}  // namespace

namespace {

TEST(IncidentTimeTemplate, EachFaxNumberGetsItsOwnNumberedPagesAndTotals)
{
    const Built b = buildCase("IncidentTime");   // two offices, one week
    const QString where = QStringLiteral(
        "from Persons p join PersonsPost pp on pp.PersonID = p.PersonID join AccountingCodes a on a.AccountingID = pp.AccountingID "
        "where length(p.FaxPhone) = 10 and p.FedCode <> 'AD' and p.PStatus <> 'D' and a.IncidentID = 1 "
        "and pp.ActivityDT between '2026-07-14' and '2026-07-20' and p.FaxPhone = ");
    // Pages by fax number: the cover on the first page of each, numbering restarting.
    QStringList footers;
    for (const Page& page : b.doc.pages) footers << pageLines(page).last();
    EXPECT_EQ(footers, (QStringList{QStringLiteral("Printed 8/20/2026 | (530) 555-0142 | Page 1 of 2"),
                                    QStringLiteral("Printed 8/20/2026 | (530) 555-0142 | Page 2 of 2"),
                                    QStringLiteral("Printed 8/20/2026 | (541) 555-0152 | Page 1 of 1")}));
    EXPECT_EQ(pageLines(b.doc.pages[0]).filter(QStringLiteral("FAX TO")).size(), 1);
    EXPECT_EQ(pageLines(b.doc.pages[1]).filter(QStringLiteral("FAX TO")).size(), 0);
    EXPECT_TRUE(pageLines(b.doc.pages[1]).contains(QStringLiteral("Date | Start | Stop | Hours | Premium | Accounting code")));
    EXPECT_TRUE(pageLines(b.doc.pages[0]).contains(QStringLiteral("(530) 555-0142 | Dana Whitfield at (530)555-0199")));
    EXPECT_TRUE(pageLines(b.doc.pages[0]).contains(QStringLiteral("Pages: 2, this cover included")));

    const QStringList lines = allLines(b.doc);
    for (const char* fax : {"5305550142", "5415550152"}) {
        const QString f = QStringLiteral("'%1'").arg(QLatin1String(fax));
        const QString line = QStringLiteral("%1 persons, %2 postings | %3 | hours for this fax number")
                                 .arg(sqlValue(QStringLiteral("select count(distinct p.PersonID) ") + where + f).toInt())
                                 .arg(sqlValue(QStringLiteral("select count(*) ") + where + f).toInt())
                                 .arg(sqlValue(QStringLiteral("select sum(pp.Hours) ") + where + f).toCurrency().toFixed(2, true));
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
        RecordsetPtr persons = sampleDb().openRecordset(QStringLiteral("select p.LastName || ', ' || p.FirstName, count(distinct pp.ActivityDT), sum(pp.Hours) ")
                                                        + where + f + QStringLiteral(" group by p.PersonID"));
        for (int r = 0; r < persons->recordCount(); ++r) {
            const QString total = QStringLiteral("%1 days | %2 | Total for %3").arg(persons->at(r, 1).toInt())
                                      .arg(persons->at(r, 2).toCurrency().toFixed(2, true), persons->at(r, 0).toString());
            EXPECT_TRUE(lines.contains(total)) << total.toStdString();
        }
    }
}


// An office whose first person does not fit under the cover: the cover still
// heads only the first page of the office, and every page's header and
// footer name the office whose rows that page holds.
TEST(IncidentTimeTemplate, EveryPageNamesItsOwnOfficeAndEachOfficeHasOneCover)
{
    QJsonArray rows;
    const auto add = [&rows](int person, const char* name, const char* fax, int days) {
        for (int d = 0; d < days; ++d)
            rows.append(QJsonObject{{"personid", person}, {"FullName", name}, {"faxphone", QJsonObject{{"text", fax}}},
                                    {"activitydt", QDate(2026, 7, 1).addDays(d).toString(Qt::ISODate)},
                                    {"starttime", QJsonObject{{"time", "06:00"}}}, {"stoptime", QJsonObject{{"time", "14:00"}}},
                                    {"Hours", 8}, {"premiumcode", ""}, {"accountingcode", "P6ABC1"},
                                    {"Incident", "Cedar Ridge   CA-SHU-004117"}});
    };
    add(1, "Able, Ann", "5415550100", 2);
    add(2, "Baker, Bob", "5415550199", 48);
    add(3, "Cole, Cy", "5415550199", 3);
    const Document doc = renderJson(QStringLiteral("IncidentTime"), QJsonDocument(QJsonObject{{"table1", rows}}).toJson(),
                                    {{QStringLiteral("StartDate"), Value(QDate(2026, 7, 1))},
                                     {QStringLiteral("EndDate"), Value(QDate(2026, 8, 31))},
                                     {QStringLiteral("LeaderName"), Value(QStringLiteral("Jane Roe"))},
                                     {QStringLiteral("LeaderPhone"), Value(QString())}});
    ASSERT_GE(doc.pageCount(), 3);
    QStringList covers, offices;
    for (const Page& page : doc.pages) {
        const QStringList lines = pageLines(page);
        // The office of the page: the person names it lists.
        const bool first = lines.filter(QStringLiteral("Able, Ann")).size() > 0;
        const QString fax = first ? QStringLiteral("(541) 555-0100") : QStringLiteral("(541) 555-0199");
        EXPECT_TRUE(lines.first().endsWith(QStringLiteral("Fax number ") + fax)) << lines.first().toStdString();
        EXPECT_TRUE(lines.last().contains(QStringLiteral(" | ") + fax + QStringLiteral(" | "))) << lines.last().toStdString();
        covers << QString::number(lines.filter(QStringLiteral("FAX TO")).size());
        offices << fax;
    }
    // One cover for each office, on its first page.
    EXPECT_EQ(covers.join(QString()), QStringLiteral("1") + QStringLiteral("1") + QString(doc.pageCount() - 2, QLatin1Char('0')));
    EXPECT_EQ(offices.filter(QStringLiteral("0100")).size(), 1);
}
}  // namespace

namespace {

// The payment summary's query repeats each use posting once per adjustment of
// its equipment; every figure must still count each posting and each
// adjustment once.
TEST(SummContractorTemplate, EachPostingAndAdjustmentCountsOnceDespiteTheJoin)
{
    const Built b = buildCase("SummContractor");   // contractor 1
    const QStringList lines = allLines(b.doc);
    RecordsetPtr equipment = sampleDb().openRecordset(QStringLiteral(
        "select e.EquipmentID, e.UniqueEquipmentName, "
        "(select sum(Amt) from ContractorPost c where c.EquipmentID = e.EquipmentID), "
        "(select sum(case when a > g then a else g end) from (select sum(Amt + SAmt) as a, GuarAmt as g from ContractorPost c "
        "  where c.EquipmentID = e.EquipmentID group by ActivityDT, GuarAmt)), "
        "(select sum(Amt) from ContractorAdjustments j where j.EquipmentID = e.EquipmentID) "
        "from Equipment e join Agreement g on g.AgreementID = e.AgreementID where g.ContractorID = 1 "
        "and exists (select 1 from ContractorAdjustments j where j.EquipmentID = e.EquipmentID)"));
    ASSERT_GE(equipment->recordCount(), 3);
    Currency payable, adjustments;
    for (int r = 0; r < equipment->recordCount(); ++r) {
        const QString name = equipment->at(r, 1).toString();
        const Currency pay = equipment->at(r, 3).toCurrency(), adj = equipment->at(r, 4).toCurrency();
        payable = payable + pay;
        adjustments = adjustments + adj;
        EXPECT_TRUE(lines.contains(QStringLiteral("Net for %1 | %2").arg(name, dollars(Value(pay - adj))))) << name.toStdString();
        EXPECT_FALSE(lines.filter(QStringLiteral(" | %1 | ").arg(equipment->at(r, 2).toCurrency().toFixed(2, true))).isEmpty())
            << name.toStdString();
    }
    const QString total = lines.filter(QStringLiteral("Total for O'Brien Water Hauling")).value(0);
    EXPECT_TRUE(total.startsWith(QStringLiteral("Total for O'Brien Water Hauling, %1 pieces of equipment").arg(equipment->recordCount())));
    EXPECT_TRUE(total.endsWith(QStringLiteral(" | ") + payable.toFixed(2, true))) << total.toStdString();
    EXPECT_FALSE(lines.filter(QStringLiteral(":   net for the contractor | ") + dollars(Value(payable - adjustments))).isEmpty());
    // A day paid at its guarantee says so.
    EXPECT_FALSE(lines.filter(QStringLiteral("| guarantee")).isEmpty());
}

}  // namespace
