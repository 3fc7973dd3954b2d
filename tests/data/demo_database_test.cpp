// The sample database: what later reports, invoices and analyses rely on.
#include "data/demo/demo_database.h"
#include "data/demo/sqlite_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace quillon;
using namespace quillon::demo;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DemoDatabaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        path = dir->filePath(QStringLiteral("sample.db"));
        counts = createDemoDatabase(path);
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }

    std::int64_t scalar(const char* sql) { return db.scalarInt(sql); }

    static QTemporaryDir* dir;
    static QString path;
    static DemoCounts counts;
    SqliteFile db{path, SqliteFile::Mode::ReadOnly};
};

QTemporaryDir* DemoDatabaseTest::dir = nullptr;
QString DemoDatabaseTest::path;
DemoCounts DemoDatabaseTest::counts;

}  // namespace

TEST_F(DemoDatabaseTest, SameSeedGivesTheSameFile)
{
    const QString again = dir->filePath(QStringLiteral("again.db"));
    const QString other = dir->filePath(QStringLiteral("other.db"));
    createDemoDatabase(again);
    createDemoDatabase(other, {1, DemoOptions::DefaultSeed + 1});
    const QByteArray first = contents(path);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(first == contents(again));
    EXPECT_FALSE(first == contents(other));
}

TEST_F(DemoDatabaseTest, CountsMatchTheRowsAndTheIntendedSize)
{
    EXPECT_EQ(counts.incidents, 2);
    EXPECT_EQ(counts.persons, scalar("SELECT COUNT(*) FROM Persons"));
    EXPECT_EQ(counts.personPostings, scalar("SELECT COUNT(*) FROM PersonsPost"));
    EXPECT_EQ(counts.equipment, scalar("SELECT COUNT(*) FROM Equipment"));
    EXPECT_EQ(counts.contractors, 4);
    // Hand crews of about 20, about 30 single resources, 12 pieces of equipment,
    // 2 contract crews and 2 other contracts.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources R WHERE Collection = 1 AND NOT EXISTS "
                     "(SELECT 1 FROM Equipment E WHERE E.ResourceID = R.ResourceID)"), 8);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources WHERE RequestNumber LIKE 'O-%'"), 30);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources WHERE RequestNumber LIKE 'E-%'"), 12);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Equipment E JOIN Resources R ON E.ResourceID = R.ResourceID "
                     "WHERE R.RequestNumber LIKE 'C-%'"), 2);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Equipment E JOIN Resources R ON E.ResourceID = R.ResourceID "
                     "WHERE R.RequestNumber LIKE 'S-%'"), 2);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM AccountingCodes GROUP BY IncidentID HAVING COUNT(*) < 2"), 0);
}

TEST_F(DemoDatabaseTest, EveryPostingBelongsToItsOwnIncident)
{
    // A posting's incident is found through its accounting code.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PersonsPost PP JOIN Persons P ON PP.PersonID = P.PersonID "
                     "JOIN Resources R ON P.ResourceID = R.ResourceID "
                     "LEFT JOIN AccountingCodes AC ON PP.AccountingID = AC.AccountingID "
                     "WHERE AC.IncidentID IS NOT R.IncidentID"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Persons P JOIN Resources R ON P.ResourceID = R.ResourceID "
                     "LEFT JOIN AccountingCodes AC ON P.AccountingID = AC.AccountingID "
                     "WHERE AC.IncidentID IS NOT R.IncidentID"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ContractorPost CP JOIN Equipment E ON CP.EquipmentID = E.EquipmentID "
                     "JOIN Resources R ON E.ResourceID = R.ResourceID "
                     "LEFT JOIN AccountingCodes AC ON CP.AccountingID = AC.AccountingID "
                     "WHERE AC.IncidentID IS NOT R.IncidentID"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM PersonsPost PP JOIN Persons P ON PP.PersonID = P.PersonID "
                     "WHERE PP.AccountingID <> P.AccountingID"), 0)
        << "some postings are charged to a second code of their incident";
}

TEST_F(DemoDatabaseTest, RequestNumbersCategoriesAndCrews)
{
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources WHERE RequestNumber NOT GLOB '[CEOS]-[1-9]*' "
                     "OR substr(RequestNumber, 3) GLOB '*[^0-9.]*'"), 0);
    // Crews and only crews have Collection set; their request numbers start with C.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources WHERE (Collection = 1) <> (RequestNumber LIKE 'C-%')"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources R WHERE Collection = 1 AND "
                     "(SELECT COUNT(*) FROM Persons P WHERE P.ResourceID = R.ResourceID) < 10"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources R WHERE RequestNumber LIKE 'O-%' AND "
                     "(SELECT COUNT(*) FROM Persons P WHERE P.ResourceID = R.ResourceID) <> 1"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Resources R WHERE substr(RequestNumber, 1, 1) IN ('E', 'S') AND "
                     "EXISTS (SELECT 1 FROM Persons P WHERE P.ResourceID = R.ResourceID)"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Resources WHERE RequestNumber GLOB 'O-*.*'"), 0)
        << "subordinate request numbers";
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT IncidentID, RequestNumber FROM Resources "
                     "GROUP BY 1, 2 HAVING COUNT(*) > 1)"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT KindCode FROM Persons UNION SELECT KindCode FROM PersonsPost "
                     "UNION SELECT KindCode FROM Resources) WHERE KindCode NOT IN (SELECT KindCode FROM L_Kind)"), 0);
}

TEST_F(DemoDatabaseTest, TimePostingsAreRealistic)
{
    // Fourteen posting days per person, one to three postings a day.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Persons P WHERE (SELECT COUNT(DISTINCT ActivityDT) FROM PersonsPost PP "
                     "WHERE PP.PersonID = P.PersonID) <> 14"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT COUNT(*) n FROM PersonsPost GROUP BY PersonID, ActivityDT) "
                     "WHERE n NOT BETWEEN 1 AND 3"), 0);
    // Stored forms: ISO dates, times of day on 1899-12-30; hours match the
    // times (a stop before the start ends the next morning).
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PersonsPost WHERE ActivityDT NOT GLOB '2026-0[78]-[0-3][0-9]' "
                     "OR StartTime NOT GLOB '1899-12-30 [0-2][0-9]:[0-5][0-9]:00' "
                     "OR (StopTime IS NOT NULL AND StopTime NOT GLOB '1899-12-30 [0-2][0-9]:[0-5][0-9]:00')"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PersonsPost WHERE (StopTime IS NULL) <> (Hours IS NULL) OR "
                     "(StopTime IS NOT NULL AND abs(Hours * 60 - ((strftime('%s', StopTime) - strftime('%s', "
                     "StartTime)) / 60 + 1440) % 1440) > 0.001)"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM (SELECT SUM(Hours) h FROM PersonsPost GROUP BY PersonID, ActivityDT) "
                     "WHERE h > 16"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM PersonsPost WHERE StopTime <= StartTime"), 0) << "across midnight";
    EXPECT_GT(scalar("SELECT COUNT(*) FROM PersonsPost WHERE StopTime IS NULL"), 0) << "open postings";
    // Short breaks between postings of a day.
    EXPECT_GT(scalar("SELECT COUNT(*) FROM PersonsPost A JOIN PersonsPost B ON A.PersonID = B.PersonID "
                     "AND A.ActivityDT = B.ActivityDT AND B.StartTime > A.StopTime AND "
                     "(strftime('%s', B.StartTime) - strftime('%s', A.StopTime)) BETWEEN 900 AND 3600"), 0);
    const std::int64_t hours = scalar("SELECT CAST(SUM(Hours) AS INTEGER) FROM PersonsPost");
    const std::int64_t days = scalar("SELECT COUNT(*) FROM (SELECT 1 FROM PersonsPost GROUP BY PersonID, ActivityDT)");
    EXPECT_GT(hours, days * 9);
    EXPECT_LT(hours, days * 15);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM PersonsDebit WHERE Amt > 0"), 0);
}

TEST_F(DemoDatabaseTest, PersonsGroupIntoOfficesWithSomeExceptions)
{
    // Several fax numbers per agency, most persons with ten digits, a few malformed.
    EXPECT_GE(scalar("SELECT COUNT(*) FROM (SELECT AgencyCode FROM Persons WHERE length(FaxPhone) = 10 "
                     "GROUP BY AgencyCode HAVING COUNT(DISTINCT FaxPhone) >= 2)"), 3);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Persons WHERE length(FaxPhone) = 10") * 10,
              scalar("SELECT COUNT(*) FROM Persons") * 8);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Persons WHERE length(FaxPhone) IN (9, 12)"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Persons WHERE FedCode = 'AD'"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Persons WHERE FedCode <> 'AD' AND length(FaxPhone) = 10"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Persons WHERE PStatus = 'D'"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Persons WHERE LastName LIKE '%''%'"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Persons WHERE length(SSN) <> 9 OR SSN GLOB '*[^0-9]*'"), 0);
}

TEST_F(DemoDatabaseTest, EquipmentChainsAndUsePostings)
{
    // Equipment -> Agreement -> Contractor (of the resource's incident) -> AdminOffice.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Equipment E JOIN Resources R ON E.ResourceID = R.ResourceID "
                     "LEFT JOIN Agreement A ON E.AgreementID = A.AgreementID "
                     "LEFT JOIN Contractor C ON A.ContractorID = C.ContractorID "
                     "LEFT JOIN AdminOffice O ON A.AdminOfficeID = O.AdminOfficeID "
                     "WHERE O.AdminOfficeID IS NULL OR C.IncidentID IS NOT R.IncidentID"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(DISTINCT UniqueEquipmentName) FROM Equipment"), counts.equipment);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Equipment WHERE UniqueEquipmentName LIKE '%''%'"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ContractorPost WHERE GuarAmt IS NULL OR GuarAmt <= 0 OR Amt IS NULL "
                     "OR SAmt IS NULL"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM ContractorPost WHERE Amt + SAmt < GuarAmt"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM ContractorPost WHERE Amt + SAmt > GuarAmt"), 0);
    // Deductions are positive, additions negative, both charged to the equipment's contractor.
    EXPECT_GT(scalar("SELECT COUNT(*) FROM ContractorAdjustments WHERE Amt > 0"), 0);
    EXPECT_GT(scalar("SELECT COUNT(*) FROM ContractorAdjustments WHERE Amt < 0"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ContractorAdjustments CA JOIN Equipment E ON CA.EquipmentID = E.EquipmentID "
                     "JOIN Agreement A ON E.AgreementID = A.AgreementID WHERE CA.ContractorID <> A.ContractorID"), 0);
    // Every kind used by equipment has a description (the reports join L_Kind).
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Equipment E JOIN Resources R ON E.ResourceID = R.ResourceID "
                     "WHERE R.KindCode NOT IN (SELECT KindCode FROM L_Kind)"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM EquipmentPost"), scalar("SELECT COUNT(*) FROM ContractorPost"));
}

TEST_F(DemoDatabaseTest, NothingIsInvoicedYet)
{
    for (const char* table : {"PersonsPost", "PersonsDebit", "ContractorPost", "ContractorAdjustments"})
        EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE InvoiceID IS NOT 0").arg(table)
                                   .toStdString()), 0) << table;
    for (const char* table : {"PersonsInvoices", "PersonsInvoicesReason", "EquipInvoices", "EquipInvoicesReason",
                              "ReportRecords", "KeyCounters"})
        EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table).toStdString()), 0) << table;
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PersonsPost WHERE FinalCol <> 0 OR Column288 IS NOT NULL"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM L_Time WHERE Time GLOB '[0-2][0-9][0-5][0-9]'"),
              scalar("SELECT COUNT(*) FROM L_Time"));
}

TEST_F(DemoDatabaseTest, ScaleMultipliesTheResources)
{
    const QString larger = dir->filePath(QStringLiteral("scale3.db"));
    const DemoCounts three = createDemoDatabase(larger, {3, DemoOptions::DefaultSeed});
    EXPECT_EQ(three.incidents, 2);
    EXPECT_EQ(three.contractors, 3 * counts.contractors);
    EXPECT_EQ(three.equipment, 3 * counts.equipment);
    EXPECT_NEAR(three.persons, 3 * counts.persons, 0.1 * 3 * counts.persons);
    SqliteFile scaled(larger, SqliteFile::Mode::ReadOnly);
    EXPECT_EQ(scaled.scalarInt("SELECT COUNT(*) FROM Resources WHERE RequestNumber LIKE 'O-%'"), 90);
    EXPECT_EQ(scaled.scalarInt("SELECT COUNT(*) FROM Persons"), three.persons);
}

TEST(DemoDatabase, NeverOverwritesAndLeavesNothingOnFailure)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("keep.db"));
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious");
    }
    EXPECT_THROW(createDemoDatabase(existing), DbError);
    EXPECT_THROW(createEmptyDatabase(existing), DbError);
    EXPECT_EQ(contents(existing), QByteArray("precious"));

    const QString bad = dir.filePath(QStringLiteral("bad.db"));
    EXPECT_THROW(createDemoDatabase(bad, {0, 1}), DbError);
    EXPECT_FALSE(QFile::exists(bad));

    const QString empty = dir.filePath(QStringLiteral("empty.db"));
    createEmptyDatabase(empty);
    SqliteFile db(empty, SqliteFile::Mode::ReadOnly);
    EXPECT_GE(db.scalarInt("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'"), 22);
    EXPECT_EQ(db.scalarInt("SELECT COUNT(*) FROM sqlite_master WHERE type = 'view'"), 2);
    EXPECT_EQ(db.scalarInt("SELECT COUNT(*) FROM Persons"), 0);
}
