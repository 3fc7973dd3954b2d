// The schema scripts: every table and column the program relies on, the
// storage types the data layer reads them by, the views, and the SQL Server
// script kept in step with the SQLite one.
#include "data/demo/sqlite_file.h"
#include "data/schema.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

using namespace quillon;
using namespace quillon::demo;

namespace {

// The tables and columns as the program's SQL names them.
const std::map<QString, QStringList>& describedColumns()
{
    static const std::map<QString, QStringList> columns = {
        {"Incidents", {"IncidentID", "IncidentName", "IncidentNumber", "StartDate", "IncidentLocation", "IncidentState"}},
        {"Resources", {"ResourceID", "IncidentID", "Name", "RequestNumber", "Collection", "KindCode", "AssignDate",
                       "ReleaseDate", "ReleaseTime", "RemarksOF286"}},
        {"Persons", {"PersonID", "ResourceID", "FirstName", "LastName", "SSN", "MailAddr1", "MailAddr2", "City", "State",
                     "ZipCode", "InitEmployYN", "PointOfHire", "ReturnTravelYN", "FedCode", "Remarks", "FaxPhone",
                     "Phone", "AgencyCode", "PStatus", "KindCode", "Rate", "AccountingID"}},
        {"PersonsPost", {"PersonsPostID", "PersonID", "ActivityDT", "StartTime", "StopTime", "Hours", "KindCode",
                         "PremiumCode", "Class", "Rate", "AccountingID", "Column288", "RptOrder", "FinalCol",
                         "InvoiceID"}},
        {"PersonsDebit", {"PersonID", "ActivityDT", "Amt", "Description", "InvoiceID"}},
        {"PersonsInvoices", {"PersonsInvoiceID", "PersonID", "FirstDate", "LastDate", "InvoiceSuffix", "Original",
                             "Amount", "Del"}},
        {"PersonsInvoicesReason", {"PersonsInvoicesReasonID", "PersonsInvoiceID", "Original", "Reason"}},
        {"AccountingCodes", {"AccountingID", "AccountingCode", "IncidentID"}},
        {"AdminOffice", {"AdminOfficeID", "Name", "Addr1", "Addr2", "City", "State", "Zip"}},
        {"Contractor", {"ContractorID", "IncidentID", "ContractorNum", "ContractorName", "Addr", "City", "State", "Zip"}},
        {"Agreement", {"AgreementID", "ContractorID", "AdminOfficeID", "AgreementNum", "PointOfHire", "BeginDt", "ExpDt"}},
        {"Equipment", {"EquipmentID", "AgreementID", "ResourceID", "UniqueEquipmentName", "Make", "Model",
                       "GovtOperatorYN", "GovtSuppliesYN", "Withdrawn"}},
        {"ContractorPost", {"EquipmentID", "ActivityDT", "Units", "UOM", "Rate", "Amt", "SUnits", "SUOM", "SRate", "SAmt",
                            "GuarAmt", "AccountingID", "InvoiceID"}},
        {"ContractorAdjustments", {"ContractorID", "EquipmentID", "ActivityDT", "Amt", "Description", "InvoiceID"}},
        {"EquipInvoices", {"EquipInvoiceID", "EquipmentID", "FirstDate", "LastDate", "InvoiceNumber", "InvoiceSuffix",
                           "Amount", "Del"}},
        {"EquipInvoicesReason", {"EquipInvoiceReasonID", "EquipInvoiceID", "Original", "Reason"}},
        {"EquipmentPost", {"AgreementID", "EquipmentID", "ActivityDT", "UOM", "Units", "Rate", "Amt", "GuarAmt"}},
        {"ContractorDebit", {"ContractorID", "EquipmentID", "AMT"}},
        {"L_Kind", {"KindCode", "KindDesc"}},
        {"L_Time", {"Time"}},
        {"ReportRecords", {"ReportRun", "IncidentID", "PersonID", "KindCode", "RequestNumber", "ActivityDT",
                           "TotalDayHrs", "ExcessHrs", "HR20in24", "HR36in48"}},
    };
    return columns;
}

const QStringList EquipMgmtColumns = {"KindCode", "KindDesc", "IncidentID", "RequestNumber", "UniqueEquipmentName",
                                      "AssignDate", "IncidentName", "IncidentNumber", "Name"};
const QStringList SelectPersonnelColumns = {"RequestNumber", "PersonID", "ResourceID", "RResourceID", "FirstName",
                                            "LastName", "MailAddr1", "MailAddr2", "City", "State", "ZipCode",
                                            "fSSN", "AccountingCode", "IncidentID"};

struct Column {
    QString name;
    QString type;
};

std::vector<Column> tableInfo(SqliteFile& db, const QString& table)
{
    SqliteStatement info = db.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(table).toStdString());
    std::vector<Column> columns;
    while (info.step()) columns.push_back({info.columnText(1), info.columnText(2)});
    return columns;
}

QStringList namesOf(const std::vector<Column>& columns)
{
    QStringList names;
    for (const Column& c : columns) names << c.name;
    return names;
}

QStringList resultColumns(SqliteFile& db, const char* sql)
{
    SqliteStatement query = db.prepare(sql);
    QStringList names;
    for (int i = 0; i < query.columnCount(); ++i) names << query.columnName(i);
    return names;
}

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override { db.exec(sqliteSchemaSql()); }
    SqliteFile db{QStringLiteral(":memory:"), SqliteFile::Mode::CreateNew};
};

QString readSource(const char* relative)
{
    QFile file(QStringLiteral(QUILLON_SOURCE_DIR "/") + QLatin1String(relative));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative;
    return QString::fromUtf8(file.readAll());
}

// Columns of every CREATE TABLE in a script, in declaration order.
std::map<QString, QStringList> scriptTables(const QString& script)
{
    std::map<QString, QStringList> tables;
    static const QRegularExpression table(QStringLiteral(R"(CREATE TABLE (?:dbo\.)?(\w+) \((.*?)\n\);)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression column(QStringLiteral(R"(^\s+(\w+)\s+[A-Z])"));
    for (auto it = table.globalMatch(script); it.hasNext();) {
        const auto match = it.next();
        QStringList& names = tables[match.captured(1)];
        for (const QString& line : match.captured(2).split(QLatin1Char('\n'))) {
            const auto c = column.match(line);
            if (c.hasMatch()) names << c.captured(1);
        }
    }
    return tables;
}

// The output column names of a view in a script: the aliases after AS.
QStringList scriptViewColumns(const QString& script, const QString& view)
{
    const int start = script.indexOf(QRegularExpression(QStringLiteral("CREATE VIEW (dbo\\.)?") + view + "\\b"));
    const int end = script.indexOf(QRegularExpression(QStringLiteral("\\bFROM\\b")), start);
    static const QRegularExpression alias(QStringLiteral(R"(\bAS (\w+)\s*(,|$))"),
                                          QRegularExpression::MultilineOption);
    QStringList names;
    if (start < 0 || end < 0) return names;
    const QString select = script.mid(start, end - start);
    for (auto it = alias.globalMatch(select); it.hasNext();) names << it.next().captured(1);
    return names;
}

}  // namespace

TEST_F(SchemaTest, HasEveryDescribedTableAndColumn)
{
    for (const auto& [table, expected] : describedColumns()) {
        const QStringList actual = namesOf(tableInfo(db, table));
        ASSERT_FALSE(actual.isEmpty()) << "missing table " << table.toStdString();
        for (const QString& name : expected)
            EXPECT_TRUE(actual.contains(name)) << table.toStdString() << "." << name.toStdString();
    }
    // The writers of ReportRecords fill it by position.
    EXPECT_EQ(namesOf(tableInfo(db, "ReportRecords")), describedColumns().at("ReportRecords"));
}

TEST_F(SchemaTest, DeclaredTypesFollowTheStorageFormats)
{
    const std::map<QString, QStringList> typed = {
        {"DATE", {"Incidents.StartDate", "Resources.AssignDate", "Resources.ReleaseDate", "PersonsPost.ActivityDT",
                  "PersonsDebit.ActivityDT", "PersonsInvoices.FirstDate", "PersonsInvoices.LastDate",
                  "Agreement.BeginDt", "Agreement.ExpDt", "ContractorPost.ActivityDT",
                  "ContractorAdjustments.ActivityDT", "EquipInvoices.FirstDate", "EquipInvoices.LastDate",
                  "EquipmentPost.ActivityDT", "ReportRecords.ActivityDT"}},
        {"DATETIME", {"Resources.ReleaseTime", "PersonsPost.StartTime", "PersonsPost.StopTime"}},
        {"MONEY", {"Persons.Rate", "PersonsPost.Rate", "PersonsDebit.Amt", "ContractorPost.Rate", "ContractorPost.Amt",
                   "ContractorPost.SRate", "ContractorPost.SAmt", "ContractorPost.GuarAmt",
                   "ContractorAdjustments.Amt", "EquipmentPost.Rate", "EquipmentPost.Amt", "EquipmentPost.GuarAmt",
                   "ContractorDebit.AMT", "EquipInvoices.Amount"}},
        {"BIT", {"Resources.Collection", "PersonsPost.FinalCol", "PersonsInvoices.Del", "EquipInvoices.Del",
                 "ReportRecords.HR20in24", "ReportRecords.HR36in48"}},
        {"SMALLINT", {"PersonsPost.Column288", "PersonsPost.RptOrder"}},
    };
    for (const auto& [type, columns] : typed) {
        for (const QString& qualified : columns) {
            const QString table = qualified.section(QLatin1Char('.'), 0, 0);
            const QString name = qualified.section(QLatin1Char('.'), 1);
            QString declared;
            for (const Column& c : tableInfo(db, table))
                if (c.name == name) declared = c.type;
            EXPECT_EQ(declared, type) << qualified.toStdString();
        }
    }
}

TEST_F(SchemaTest, NewRowsAreOpenAndUnflagged)
{
    db.exec("INSERT INTO PersonsPost (PersonsPostID, PersonID) VALUES (1, 1);"
            "INSERT INTO PersonsDebit (PersonID) VALUES (1);"
            "INSERT INTO ContractorPost (EquipmentID) VALUES (1);"
            "INSERT INTO ContractorAdjustments (EquipmentID) VALUES (1);"
            "INSERT INTO Resources (ResourceID) VALUES (1);"
            "INSERT INTO PersonsInvoices (PersonsInvoiceID) VALUES (1);"
            "INSERT INTO EquipInvoices (EquipInvoiceID) VALUES (1);"
            "INSERT INTO ReportRecords (ReportRun) VALUES (1);");
    for (const char* table : {"PersonsPost", "PersonsDebit", "ContractorPost", "ContractorAdjustments"})
        EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE InvoiceID = 0").arg(table).toStdString()), 1)
            << table;
    EXPECT_EQ(db.scalarInt("SELECT FinalCol FROM PersonsPost"), 0);
    EXPECT_EQ(db.scalarInt("SELECT COUNT(*) FROM Resources WHERE Collection = 0"), 1);
    EXPECT_EQ(db.scalarInt("SELECT Del FROM PersonsInvoices") + db.scalarInt("SELECT Del FROM EquipInvoices"), 0);
    EXPECT_EQ(db.scalarInt("SELECT HR20in24 + HR36in48 FROM ReportRecords"), 0);
    EXPECT_EQ(db.scalarInt("SELECT COUNT(*) FROM ReportRecords WHERE ExcessHrs IS NULL"), 1);
    // Equipment names identify a piece of equipment.
    db.exec("INSERT INTO Equipment (EquipmentID, UniqueEquipmentName) VALUES (1, 'O''Brien Water Tender 3')");
    EXPECT_THROW(db.exec("INSERT INTO Equipment (EquipmentID, UniqueEquipmentName) VALUES (2, 'O''Brien Water Tender 3')"),
                 DbError);
}

TEST_F(SchemaTest, ViewsReturnTheirColumnsAndJoins)
{
    EXPECT_EQ(resultColumns(db, "SELECT * FROM qryEquipMgmt"), EquipMgmtColumns);
    EXPECT_EQ(resultColumns(db, "SELECT * FROM qrySelectPersonnel"), SelectPersonnelColumns);

    db.exec("INSERT INTO Incidents (IncidentID, IncidentName, IncidentNumber) VALUES (7, 'Cedar Ridge', 'CA-SHU-004117');"
            "INSERT INTO AccountingCodes VALUES (3, 'P5MK8Q', 7);"
            "INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, KindCode) VALUES"
            " (10, 7, 'Hat Creek Hand Crew', 'C-4', 'CRC2'), (11, 7, 'O''Brien Water Tender 3', 'E-2', 'WTS2'),"
            " (12, 7, 'Sierra Dozer 1', 'E-3', 'XXXX');"
            "INSERT INTO L_Kind VALUES ('WTS2', 'Water Tender, Support, Type 2');"
            "INSERT INTO Equipment (EquipmentID, ResourceID, UniqueEquipmentName) VALUES"
            " (1, 11, 'O''Brien Water Tender 3'), (2, 12, 'Sierra Dozer 1');"
            "INSERT INTO Persons (PersonID, ResourceID, LastName, SSN, AccountingID) VALUES"
            " (1, 10, 'O''Neill', '123456789', 3), (2, 10, 'Begay', '12345678', NULL), (3, 99, 'Nobody', '1', 3);");

    SqliteStatement persons = db.prepare(
        "SELECT PersonID, fSSN, AccountingCode, RResourceID, RequestNumber, IncidentID FROM qrySelectPersonnel "
        "ORDER BY PersonID");
    ASSERT_TRUE(persons.step());
    EXPECT_EQ(persons.columnText(1), QStringLiteral("123-45-6789"));
    EXPECT_EQ(persons.columnText(2), QStringLiteral("P5MK8Q"));
    EXPECT_EQ(persons.columnInt(3), 10);
    EXPECT_EQ(persons.columnText(4), QStringLiteral("C-4"));
    EXPECT_EQ(persons.columnInt(5), 7);
    ASSERT_TRUE(persons.step());  // no accounting code: still listed, SSN as stored
    EXPECT_EQ(persons.columnInt(0), 2);
    EXPECT_EQ(persons.columnText(1), QStringLiteral("12345678"));
    EXPECT_TRUE(persons.isNull(2));
    EXPECT_FALSE(persons.step()) << "a person without a resource has no incident";

    SqliteStatement equipment = db.prepare(
        "SELECT UniqueEquipmentName, KindDesc, IncidentName, RequestNumber FROM qryEquipMgmt ORDER BY RequestNumber");
    ASSERT_TRUE(equipment.step());
    EXPECT_EQ(equipment.columnText(0), QStringLiteral("O'Brien Water Tender 3"));
    EXPECT_EQ(equipment.columnText(1), QStringLiteral("Water Tender, Support, Type 2"));
    EXPECT_EQ(equipment.columnText(2), QStringLiteral("Cedar Ridge"));
    ASSERT_TRUE(equipment.step());  // unknown kind: listed without description
    EXPECT_TRUE(equipment.isNull(1));
    EXPECT_FALSE(equipment.step());
}

TEST(SqlServerSchema, MatchesTheSqliteSchema)
{
    const QString sqlite = readSource("sql/sqlite/schema.sql");
    const QString server = readSource("sql/sqlserver/schema.sql");
    EXPECT_EQ(QString::fromUtf8(sqliteSchemaSql()), sqlite) << "the compiled schema is out of date";

    const auto sqliteTables = scriptTables(sqlite);
    const auto serverTables = scriptTables(server);
    ASSERT_GE(sqliteTables.size(), describedColumns().size());
    EXPECT_EQ(serverTables, sqliteTables);

    // The same views, each with the same columns.
    const auto views = [](const QString& script) {
        std::map<QString, QStringList> out;
        static const QRegularExpression view(QStringLiteral(R"(CREATE VIEW (?:dbo\.)?(\w+))"));
        for (auto it = view.globalMatch(script); it.hasNext();) {
            const QString name = it.next().captured(1);
            out[name] = scriptViewColumns(script, name);
        }
        return out;
    };
    EXPECT_EQ(views(server), views(sqlite));
    for (const char* script : {"sqlite", "sqlserver"}) {
        const QString text = script == QLatin1String("sqlite") ? sqlite : server;
        EXPECT_EQ(scriptViewColumns(text, "qryEquipMgmt"), EquipMgmtColumns) << script;
        EXPECT_EQ(scriptViewColumns(text, "qrySelectPersonnel"), SelectPersonnelColumns) << script;
    }
    // The function and the key procedure with the parameters the program passes.
    EXPECT_TRUE(server.contains(QRegularExpression(
        R"(CREATE FUNCTION dbo\.f_SortRequestNumber \(@RequestNumber VARCHAR\(\d+\)\)\s+RETURNS VARCHAR)")));
    EXPECT_TRUE(server.contains(QRegularExpression(
        R"(CREATE PROCEDURE dbo\.usp_getNextNumber\s+@tablename\s+VARCHAR\(40\),\s+@fieldname\s+VARCHAR\(40\),)"
        R"(\s+@nextnumber INT OUTPUT)")));
    // Program-keyed tables take explicit keys: no identity columns.
    EXPECT_FALSE(server.contains(QStringLiteral("IDENTITY")));
}

// usp_getNextNumber reads the table's largest key on every call, after it has
// locked the table's counter and before it commits, and hands out one more
// than the larger of the two; no branch for a missing counter skips the read.
TEST(SqlServerSchema, KeyProcedureTakesTheLargestKeyUnderTheCounterLock)
{
    const QString server = readSource("sql/sqlserver/schema.sql");
    const int start = server.indexOf(QStringLiteral("CREATE PROCEDURE dbo.usp_getNextNumber"));
    ASSERT_GE(start, 0);
    const QString body = server.mid(start, server.indexOf(QRegularExpression(QStringLiteral("^GO$"), QRegularExpression::MultilineOption), start) - start);
    auto at = [&](const char* pattern) {
        return int(body.indexOf(QRegularExpression(QLatin1String(pattern), QRegularExpression::CaseInsensitiveOption)));
    };
    const int begin = at(R"(\bBEGIN TRANSACTION\b)");
    const int lock = at(R"(FROM dbo\.KeyCounters WITH \(UPDLOCK, HOLDLOCK\))");
    const int largest = at(R"(MAX\()");
    const int larger = at(R"(@nextnumber\s*=\s*CASE WHEN ISNULL\(@last, 0\) > @largest THEN ISNULL\(@last, 0\) ELSE @largest END \+ 1)");
    const int commit = at(R"(\bCOMMIT TRANSACTION\b)");
    EXPECT_TRUE(begin >= 0 && begin < lock && lock < largest && largest < larger && larger < commit)
        << begin << " " << lock << " " << largest << " " << larger << " " << commit;
    EXPECT_LT(at(R"(@@ROWCOUNT)"), 0) << "the largest key must not be read only for a new counter";
}
