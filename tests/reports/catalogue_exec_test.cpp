// Every SQL text the report builder produces, run on the embedded engine
// against the sample database, and a few reports' rows checked against
// SQLite's own SQL run past the adapter.
//
// The sample gets one more incident whose keys are those of the case table
// (incident 12, crew 300, persons 55 to 57, contractor 7, equipment 42,
// invoice 40001, June 2024), so that every branch of the case table selects
// rows and a text that runs but selects nothing shows.
#include "catalogue_cases.h"
#include "printers.h"

#include "data/connection.h"
#include "data/demo/demo_database.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <map>
#include <set>

using namespace quillon;
using namespace quillon::catalogue_cases;

namespace {

// SQLite's own SQL on the connection's handle: no adapter in between.
std::vector<QStringList> native(Connection& db, const QString& sql)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.sqliteHandle(), utf8.constData(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db.sqliteHandle()) << " in " << utf8.constData();
        return {};
    }
    std::vector<QStringList> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    return rows;
}

QString nativeValue(Connection& db, const QString& sql)
{
    const auto rows = native(db, sql);
    return rows.empty() || rows[0].isEmpty() ? QString() : rows[0][0];
}

void nativeExec(Connection& db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db.sqliteHandle(), sql, nullptr, nullptr, &error) != SQLITE_OK) {
        ADD_FAILURE() << error << " in " << sql;
        sqlite3_free(error);
    }
}

qint64 cents(const Value& v) { return std::llround(v.toDouble() * 100); }

// Sum of one money or number field over all rows, in cents.
qint64 sumCents(const RecordsetPtr& rs, const QString& field)
{
    const int f = rs->requireField(field);
    qint64 total = 0;
    for (int r = 0; r < rs->recordCount(); ++r) total += cents(rs->at(r, f));
    return total;
}

// The rows of the case table's keys; see the head of the file.
const char* const kCaseWorld[] = {
    "INSERT INTO Incidents VALUES (12, 'Case Fire', 'CA-CAS-000012', '2024-06-01', 'Case Ridge', 'CA')",
    "INSERT INTO AccountingCodes VALUES (9012, 'CASE12', 12)",
    "INSERT OR REPLACE INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection, KindCode, AssignDate)"
    " VALUES (300, 12, 'Case Crew', 'C-300', 1, 'CRC2', '2024-06-01'), (301, 12, 'Case Engine', 'E-301', 0, 'ENG3', '2024-06-01')",
    "INSERT OR REPLACE INTO Persons (PersonID, ResourceID, FirstName, LastName, SSN, FaxPhone, FedCode, PStatus, KindCode,"
    " Rate, AccountingID) VALUES (55, 300, 'Ann', 'O''Hara', '123456789', '1234567890', 'FED', 'A', 'FFT2', 25, 9012),"
    " (56, 300, 'Bo', 'Baker', '987654321', '5556667777', 'FED', 'A', 'FFT2', 25, 9012),"
    " (57, 300, 'Cy', 'Cole', '111223333', '2223334444', 'OTHER', 'A', 'FFT1', 30, 9012)",
    "INSERT INTO PersonsPost (PersonsPostID, PersonID, ActivityDT, StartTime, StopTime, Hours, KindCode, Rate,"
    " AccountingID, FinalCol, InvoiceID) VALUES"
    " (990001, 55, '2024-06-10', '1899-12-30 06:00:00', '1899-12-30 18:00:00', 12, 'FFT2', 25, 9012, 0, 0),"
    " (990002, 55, '2024-06-11', '1899-12-30 06:00:00', '1899-12-30 14:00:00', 8, 'FFT2', 25, 9012, 0, NULL),"
    " (990003, 55, '2024-06-03', '1899-12-30 07:00:00', '1899-12-30 19:00:00', 12, 'FFT2', 25, 9012, 0, 40001),"
    " (990004, 56, '2024-06-12', '1899-12-30 06:00:00', '1899-12-30 16:00:00', 10, 'FFT2', 25, 9012, 0, 0),"
    " (990005, 57, '2024-06-12', '1899-12-30 06:00:00', '1899-12-30 16:00:00', 10, 'FFT1', 30, 9012, 0, 0)",
    "INSERT INTO PersonsDebit VALUES (990001, 55, '2024-06-10', 12.5, 'Boots', 0), (990002, 55, '2024-06-02', 3.25,"
    " 'Socks', 40001), (990003, 56, '2024-06-11', 4, 'Lip balm', NULL)",
    "INSERT OR REPLACE INTO Contractor VALUES (7, 12, 'K-7', 'Case Rentals', '1 Yard Rd', 'Redding', 'CA', '96001')",
    "INSERT INTO Agreement VALUES (9007, 7, 1, 'AG-CASE-7', 'Redding', '2024-05-01', '2024-12-31')",
    "INSERT OR REPLACE INTO Equipment VALUES (42, 9007, 301, 'Case Engine 42', 'Hartwell', 'HT-3500', 'N', 'N', 'N')",
    "INSERT INTO ContractorPost VALUES"
    " (990001, 42, '2024-06-10', 1, 'Day', 900, 900, 0, NULL, 0, 0, 900, 9012, 0),"
    " (990002, 42, '2024-06-11', 1, 'Day', 900, 900, 2, 'Mile', 3.5, 7, 900, 9012, 0),"
    " (990003, 42, '2024-06-05', 1, 'Day', 900, 900, 0, NULL, 0, 0, 900, 9012, 40001)",
    "INSERT INTO ContractorAdjustments VALUES (990001, 7, 42, '2024-06-10', 25, 'Fuel issued, diesel', 0),"
    " (990002, 7, 42, '2024-06-04', -12.5, 'Tire repair, reimbursed', 40001)",
    "INSERT INTO EquipInvoices VALUES (40001, 42, '2024-06-01', '2024-06-05', '2024-CA-CAS-000012-000042', 'A', 887.5, 0)",
    "INSERT INTO EquipInvoicesReason VALUES (990001, 40001, 1, 'Original'), (990002, 40001, 2, 'Lost in mail')",
    "INSERT INTO ReportRecords VALUES (17, 12, 55, 'FFT2', 'C-300', '2024-06-10', 17, 1, 1, 0),"
    " (17, 12, 56, 'FFT2', 'C-300', '2024-06-12', 16.5, 0.5, 1, 0), (70001, 12, 55, 'FFT2', 'C-300', '2024-06-10', 17, 1, 1, 1),"
    " (3, 12, 57, 'FFT1', 'C-300', '2024-06-12', 18, 2, 0, 1)",
};

// The temporary table of an invoice run, as the OF-288 window makes it.
const QString kCreateTmp = QStringLiteral(
    "Create Table #tmp (PersonID integer, PrevInvoices nvarchar(255), Original nVarChar(20), Lastdate DateTime, "
    "InvoiceNum nVarChar(30), InvoiceID int default(0), EndDate DateTime)");

class CatalogueExec : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_path = s_dir->filePath(QStringLiteral("sample.db"));
        demo::createDemoDatabase(s_path);
        Connection db;
        db.openEmbedded(s_path);
        for (const char* sql : kCaseWorld) nativeExec(db, sql);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    // Every test works inside a transaction that is rolled back at its end.
    void SetUp() override
    {
        db.openEmbedded(s_path);
        tx = std::make_unique<Transaction>(db);
        db.execute(kCreateTmp);
    }
    void TearDown() override { tx.reset(); }

    RecordsetPtr run(const QString& sql) { return db.openRecordset(sql, CursorType::Static, LockType::Optimistic); }

    static AppState stateFor(int report, int incident)
    {
        AppState s;
        s.ReportNumber = std::int16_t(report);
        s.SelectedIncidentId = incident;
        return s;
    }

    ReportPlan plan(const AppState& s, std::int32_t invoiceKey = 0, const OfficeNodes* offices = nullptr)
    {
        ReportPlan p = planReport(s, invoiceKey, offices);
        EXPECT_TRUE(p.proceed);
        return p;
    }

    static QTemporaryDir* s_dir;
    static QString s_path;
    Connection db;
    std::unique_ptr<Transaction> tx;
};

QTemporaryDir* CatalogueExec::s_dir = nullptr;
QString CatalogueExec::s_path;

}  // namespace

TEST_F(CatalogueExec, EveryBranchOfEveryReportRunsAndSelectsRows)
{
    db.execute(QStringLiteral("Insert into #tmp (PersonID, Original, InvoiceNum, InvoiceID, Lastdate, EndDate) "
                              "Values (55, '01', '2024-CA-CAS-000012-000055A', 40001, '6/1/2024', '6/30/2024')"));
    // Texts that run but select nothing by their nature.
    const std::set<std::pair<int, std::string>> selectNothing = {};

    std::set<int> reports;
    for (const SqlCase& c : allCases()) {
        SCOPED_TRACE(std::to_string(c.report) + ": " + c.name);
        reports.insert(c.report);
        const PlannedCase p = planCase(c);
        if (c.builderRefuses) {
            EXPECT_FALSE(p.plan.proceed);
            continue;
        }
        ASSERT_TRUE(p.plan.proceed);
        ASSERT_EQ(p.plan.dataSetSql, c.sql);
        for (const QString& sql : p.plan.dataSetSql) {
            RecordsetPtr rs;
            try {
                rs = run(sql);
            } catch (const DbError& e) {
                ADD_FAILURE() << e.description().toStdString() << "\n" << sql.toStdString();
                continue;
            }
            if (selectNothing.count({c.report, c.name}))
                EXPECT_EQ(rs->recordCount(), 0);
            else
                EXPECT_GT(rs->recordCount(), 0) << sql.toStdString();
        }
    }
    for (const CatalogueEntry& e : reportCatalogue()) EXPECT_TRUE(reports.count(e.number)) << "no case for report " << e.number;
}

TEST_F(CatalogueExec, InvoiceFormsCoverOpenPostingsOrThoseOfTheInvoice)
{
    db.execute(QStringLiteral("Insert into #tmp (PersonID, InvoiceID) Values (55, 40001)"));
    const auto column = [](const RecordsetPtr& rs, const char* field) {
        QStringList out;
        const int f = rs->requireField(QString::fromLatin1(field));
        for (int r = 0; r < rs->recordCount(); ++r) out << rs->at(r, f).toString();
        return out;
    };

    // OF-288: open postings up to the end date (InvoiceID Null and 0 alike)
    // or those of the invoices in #tmp; the debits likewise, in cents.
    const QStringList crewOpen = {"990001", "990002", "990004", "990005"};
    const QStringList ann = {"990001", "990002"};
    const QStringList invoiced = {"990003"};
    const std::map<std::string, std::pair<QStringList, qint64>> of288 = {
        {"crew, draft", {crewOpen, 1650}},
        {"crew wins over person", {crewOpen, 1650}},
        {"person, original, as one", {ann, 1250}},
        {"whole incident, duplicate", {invoiced, 325}},
        {"mode 0: postings of #tmp but open debits", {invoiced, 1250}},
        {"mode 4 counts as a duplicate", {invoiced, 325}},
        {"negative keys count as none", {crewOpen, 1650}},
        {"as one, nothing chosen, draft", {crewOpen, 1650}},
        {"as one, nothing chosen, duplicate", {invoiced, 325}},
    };
    for (const SqlCase* c : casesOf(6)) {
        SCOPED_TRACE(c->name);
        ASSERT_TRUE(of288.count(c->name));
        const auto& [posts, debitCents] = of288.at(c->name);
        const PlannedCase p = planCase(*c);
        EXPECT_EQ(column(run(p.plan.mainSql()), "PersonsPostID"), posts);
        EXPECT_EQ(sumCents(run(p.plan.subSql()), QStringLiteral("DebitAmt")), debitCents);
    }

    // OF-286: the period's open postings, or the invoice's posting once per
    // reason row unless a copy number picks one; without a mode, all of them.
    const QStringList period = {"2024-06-10", "2024-06-11"};
    const QStringList everyone = {"2024-06-05", "2024-06-05", "2024-06-10", "2024-06-11"};
    const std::map<std::string, QStringList> of286 = {
        {"equipment, draft", period},
        {"contract crew, original being issued", period},
        {"other contract, original already numbered", {"2024-06-05", "2024-06-05"}},
        {"draft covers the period whatever the code", period},
        {"duplicate of copy 2", {"2024-06-05"}},
        {"duplicate without a copy number", {"2024-06-05", "2024-06-05"}},
        {"mode 0: every posting", everyone},
        {"mode 4: every posting, no incident filter", everyone},
    };
    for (const SqlCase* c : casesOf(7)) {
        SCOPED_TRACE(c->name);
        ASSERT_TRUE(of286.count(c->name));
        const RecordsetPtr rs = run(planCase(*c).plan.mainSql());
        QStringList dates;
        for (int r = 0; r < rs->recordCount(); ++r)
            dates << rs->at(r, rs->requireField(QStringLiteral("ActivityDT"))).toDate().toString(Qt::ISODate);
        dates.sort();
        EXPECT_EQ(dates, of286.at(c->name));
    }
}

// The rest checks reports on the sample's own first incident against SQLite's
// own SQL.

TEST_F(CatalogueExec, CommissaryChargesOfOneIncidentAndOfAll)
{
    const QString independent = QStringLiteral(
        "SELECT count(*), CAST(round(sum(d.Amt) * 100) AS INTEGER) FROM PersonsDebit d JOIN Persons p ON "
        "p.PersonID = d.PersonID JOIN Resources r ON r.ResourceID = p.ResourceID JOIN Incidents i ON "
        "i.IncidentID = r.IncidentID");
    AppState s = stateFor(2, 1);
    for (bool asOne : {false, true}) {
        SCOPED_TRACE(asOne ? "as one" : "incident 1");
        s.ManageIncidentsAsOne = asOne;
        const RecordsetPtr rs = run(plan(s).mainSql());
        const QStringList expected = native(db, independent + (asOne ? QString() : QStringLiteral(" WHERE i.IncidentID = 1"))).at(0);
        ASSERT_GT(expected[0].toInt(), 0);
        EXPECT_EQ(rs->recordCount(), expected[0].toInt());
        EXPECT_EQ(sumCents(rs, QStringLiteral("amt")), expected[1].toLongLong());
        const int date = rs->requireField(QStringLiteral("activitydt"));
        for (int r = 1; r < rs->recordCount(); ++r) ASSERT_LE(rs->at(r - 1, date).toDate(), rs->at(r, date).toDate());
    }
    EXPECT_GT(nativeValue(db, independent).toInt(), nativeValue(db, independent + " WHERE i.IncidentID = 1").toInt());
}

TEST_F(CatalogueExec, SummaryOfHoursPerPersonAndTheirDebitSums)
{
    const auto byPerson = [](const RecordsetPtr& rs, const char* field) {
        std::map<QString, qint64> out;
        const int person = rs->requireField(QStringLiteral("PersonID"));
        const int value = rs->requireField(QString::fromLatin1(field));
        for (int r = 0; r < rs->recordCount(); ++r) out[rs->at(r, person).toString()] += cents(rs->at(r, value));
        return out;
    };
    const auto nativeByPerson = [this](const QString& sql) {
        std::map<QString, qint64> out;
        for (const QStringList& row : native(db, sql)) out[row[0]] = row[1].toLongLong();
        return out;
    };

    AppState s = stateFor(3, 1);
    ReportPlan p = plan(s);
    const auto hours = nativeByPerson(QStringLiteral(
        "SELECT pp.PersonID, CAST(round(sum(pp.Hours) * 100) AS INTEGER) FROM PersonsPost pp JOIN Persons p ON "
        "p.PersonID = pp.PersonID JOIN Resources r ON r.ResourceID = p.ResourceID WHERE r.IncidentID = 1 GROUP BY pp.PersonID"));
    ASSERT_GT(hours.size(), 10u);
    EXPECT_EQ(byPerson(run(p.mainSql()), "Hours"), hours);
    const QString debitSums = QStringLiteral(
        "SELECT PersonID, CAST(round(sum(Amt) * 100) AS INTEGER) FROM PersonsDebit %1 GROUP BY PersonID");
    EXPECT_EQ(byPerson(run(p.subSql()), "Amt"), nativeByPerson(debitSums.arg(QString())));

    // One person with debits: their postings only, and their one sum.
    const QString person = nativeValue(db, QStringLiteral(
        "SELECT d.PersonID FROM PersonsDebit d JOIN Persons p ON p.PersonID = d.PersonID JOIN Resources r ON "
        "r.ResourceID = p.ResourceID WHERE r.IncidentID = 1 ORDER BY d.PersonID LIMIT 1"));
    s.SelectedPersonId = person.toInt();
    p = plan(s);
    const auto one = byPerson(run(p.mainSql()), "Hours");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one.begin()->second, hours.at(person));
    EXPECT_EQ(byPerson(run(p.subSql()), "Amt"), nativeByPerson(debitSums.arg("WHERE PersonID = " + person)));
}

TEST_F(CatalogueExec, Of286PostingsOfOneEquipmentInAPeriod)
{
    const QStringList equipment = native(db, QStringLiteral(
        "SELECT e.EquipmentID, e.Make, min(cp.ActivityDT), max(cp.ActivityDT) FROM Equipment e JOIN Resources r ON "
        "r.ResourceID = e.ResourceID JOIN ContractorPost cp ON cp.EquipmentID = e.EquipmentID WHERE r.IncidentID = 1 "
        "AND r.RequestNumber LIKE 'E-%' GROUP BY e.EquipmentID ORDER BY e.EquipmentID LIMIT 1")).at(0);
    // A period one day inside the postings at each end, so that both bounds cut.
    const QDate start = QDate::fromString(equipment[2], Qt::ISODate).addDays(1);
    const QDate end = QDate::fromString(equipment[3], Qt::ISODate).addDays(-1);
    ASSERT_LT(start, end);

    AppState s = stateFor(7, 1);
    s.SelectedEquipmentId = equipment[0].toInt();
    s.ContractType = QStringLiteral("0");
    s.InvoicePrintMode = 1;
    s.ReportStartDate = start;
    s.ReportEndDate = end;
    const RecordsetPtr rs = run(plan(s).mainSql());
    const QStringList expected = native(db, QStringLiteral(
        "SELECT count(*), CAST(round(sum(Amt) * 100) AS INTEGER) FROM ContractorPost WHERE EquipmentID = %1 AND "
        "ActivityDT BETWEEN '%2' AND '%3' AND InvoiceID = 0")
        .arg(equipment[0], start.toString(Qt::ISODate), end.toString(Qt::ISODate))).at(0);
    ASSERT_GT(expected[0].toInt(), 1);
    EXPECT_EQ(rs->recordCount(), expected[0].toInt());
    EXPECT_EQ(sumCents(rs, QStringLiteral("Amt")), expected[1].toLongLong());
    for (int r = 0; r < rs->recordCount(); ++r) ASSERT_EQ(rs->at(r, rs->requireField(QStringLiteral("Make"))).toString(), equipment[1]);
}

TEST_F(CatalogueExec, CrewRosterListsTheCrewsMembersInItsIncidentOnly)
{
    const QString crew = nativeValue(db, QStringLiteral(
        "SELECT ResourceID FROM Resources WHERE IncidentID = 1 AND Collection = 1 ORDER BY ResourceID LIMIT 1"));
    QStringList expected;
    for (const QStringList& row : native(db, "SELECT LastName || ', ' || FirstName FROM Persons WHERE ResourceID = " + crew))
        expected << row[0];
    expected.sort();
    ASSERT_GT(expected.size(), 5);

    AppState s = stateFor(12, 1);
    s.SelectedResourceId = crew.toInt();
    RecordsetPtr rs = run(plan(s).mainSql());
    QStringList names;
    for (int r = 0; r < rs->recordCount(); ++r)
        names << rs->at(r, rs->requireField(QStringLiteral("LastName"))).toString() + ", "
                     + rs->at(r, rs->requireField(QStringLiteral("FirstName"))).toString();
    names.sort();
    EXPECT_EQ(names, expected);

    s.SelectedIncidentId = 2;
    EXPECT_EQ(run(plan(s).mainSql())->recordCount(), 0);
}

TEST_F(CatalogueExec, PersonnelTimeReportOfTwoCheckedOffices)
{
    const auto offices = native(db, QStringLiteral(
        "SELECT p.FaxPhone FROM Persons p JOIN Resources r ON r.ResourceID = p.ResourceID WHERE r.IncidentID = 1 AND "
        "length(p.FaxPhone) = 10 GROUP BY p.FaxPhone ORDER BY count(*) DESC, p.FaxPhone LIMIT 3"));
    ASSERT_EQ(offices.size(), 3u);
    const QString a = offices[0][0], b = offices[1][0];
    OfficeNodeList tree;
    tree.add(QStringLiteral("Agency"), true);
    tree.add(a, true);
    tree.add(QString(), true);
    tree.add(offices[2][0], false);
    tree.add(b, true);
    const QStringList span = native(db, QStringLiteral(
        "SELECT min(pp.ActivityDT) FROM PersonsPost pp JOIN AccountingCodes a ON a.AccountingID = pp.AccountingID "
        "WHERE a.IncidentID = 1")).at(0);
    AppState s = stateFor(15, 1);
    s.ReportStartDate = QDate::fromString(span[0], Qt::ISODate).addDays(2);
    s.ReportEndDate = s.ReportStartDate.addDays(4);
    const RecordsetPtr rs = run(plan(s, 0, &tree).mainSql());

    const QString where = QStringLiteral(
        "FROM Persons p JOIN PersonsPost pp ON pp.PersonID = p.PersonID JOIN AccountingCodes a ON "
        "a.AccountingID = pp.AccountingID WHERE length(p.FaxPhone) = 10 AND p.FedCode <> 'AD' AND p.PStatus <> 'D' AND "
        "pp.ActivityDT BETWEEN '%1' AND '%2' AND a.IncidentID = 1 AND p.FaxPhone IN ('%3', '%4')")
        .arg(s.ReportStartDate.toString(Qt::ISODate), s.ReportEndDate.toString(Qt::ISODate), a, b);
    const int expected = nativeValue(db, "SELECT count(*) " + where).toInt();
    ASSERT_GT(expected, 10);
    EXPECT_EQ(rs->recordCount(), expected);

    // Names and the incident caption are texts joined by +.
    std::map<QString, QString> fullNames;
    for (const QStringList& row : native(db, "SELECT DISTINCT p.PersonID, p.LastName || ', ' || p.FirstName " + where))
        fullNames[row[0]] = row[1];
    const QString incident = nativeValue(db, "SELECT IncidentName || '   ' || IncidentNumber FROM Incidents WHERE IncidentID = 1");
    for (int r = 0; r < rs->recordCount(); ++r) {
        ASSERT_EQ(rs->at(r, rs->requireField(QStringLiteral("FullName"))).toString(),
                  fullNames[rs->at(r, rs->requireField(QStringLiteral("personid"))).toString()]);
        ASSERT_EQ(rs->at(r, rs->requireField(QStringLiteral("Incident"))).toString(), incident);
        const QString fax = rs->at(r, rs->requireField(QStringLiteral("faxphone"))).toString();
        ASSERT_TRUE(fax == a || fax == b) << fax.toStdString();
    }
}
