// The dialect adapter as text, the statement reader the ODBC writer relies
// on, connection strings, and an ODBC connection that cannot be made.

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/odbc_engine.h"
#include "data/sql_adapter.h"
#include "data/sql_tokens.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

SqlSchemaInfo sampleSchema()
{
    SqlSchemaInfo s;
    s.addColumn("main", "Persons", {"PersonID", "INTEGER", true});
    s.addColumn("main", "Persons", {"LastName", "VARCHAR(30)", false});
    s.addColumn("main", "Persons", {"FirstName", "VARCHAR(30)", false});
    s.addColumn("main", "PersonsPost", {"Hours", "FLOAT", false});
    s.addColumn("main", "PersonsPost", {"Rate", "MONEY", false});
    s.addColumn("main", "PersonsPost", {"ActivityDT", "DATE", false});
    s.addColumn("main", "Resources", {"ReleaseTime", "DATETIME", false});
    s.addColumn("main", "Reasons", {"Original", "SMALLINT", false});
    s.addColumn("main", "Reasons", {"Reason", "VARCHAR(50)", false});
    s.addColumn("temp", "#tmp", {"Original", "nVarChar(20)", false});
    return s;
}

}  // namespace

TEST(SqlAdapter, RewritesWhatSqliteRejects)
{
    const SqlSchemaInfo schema = sampleSchema();
    const SqlAdapter a(&schema);
    const std::pair<const char*, const char*> cases[] = {
        {"Select * from #tmp T where T.PersonID = 1", "Select * from temp.\"#tmp\" T where T.PersonID = 1"},
        {"Create Table #tmp (PersonID integer)", "Create TEMP Table \"#tmp\" (PersonID integer)"},
        {"Drop Table #Tmp", "Drop Table temp.\"#Tmp\""},
        {"Delete PersonsPost where PersonID = 5", "Delete FROM PersonsPost where PersonID = 5"},
        {"Delete * from ReportRecords where ReportRun = 3", "Delete from ReportRecords where ReportRun = 3"},
        {"Select dbo.f_SortRequestNumber(x), DatePart(yyyy, d), IsNull(a, 0), Left(b, 1), Right(b, 2) from t",
         "Select f_SortRequestNumber(x), datepart('yyyy', d), ifnull(a, 0), \"left\"(b, 1), \"right\"(b, 2) from t"},
        {"Select 'true + 1', true, N'it''s' where x = 77ORDER BY y", "Select 'true + 1', 1, 'it''s' where x = 77 ORDER BY y"},
        {"where a = 7and (b = 1e5)", "where a = 7 and (b = 1e5)"},
        {"where d >= #6/30/2024# and d <= '6/30/2024 7:05:00 PM'", "where d >= '2024-06-30' and d <= '2024-06-30 19:05:00'"},
        // Keywords, comments, # and dates inside literals are text.
        {"Select 'Delete * from #tmp -- true + dbo.x', N'#6/30/2024#', '/* 7/14/2026 */' from Persons where LastName = 'O''Brien; go'",
         "Select 'Delete * from #tmp -- true + dbo.x', '#6/30/2024#', '/* 7/14/2026 */' from Persons where LastName = 'O''Brien; go'"},
        {"-- a + 'b'\nSelect 1", "-- a + 'b'\nSelect 1"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(a.adapt(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;

    // "+" by operand: text columns (through aliases), literals, text functions,
    // parenthesised text; numbers and money still add.
    const std::pair<const char*, const char*> plus[] = {
        {"Select P.LastName + P.FirstName from Persons P", "Select P.LastName || P.FirstName from Persons P"},
        {"Select LastName+', '+FirstName from Persons", "Select LastName||', '||FirstName from Persons"},
        {"Select (LastName) + Str(PersonID) from Persons", "Select (LastName) || Str(PersonID) from Persons"},
        {"Select PP.Hours + 1, PP.Hours + PP.Rate, -1 + 2 from PersonsPost PP",
         "Select PP.Hours + 1, PP.Hours + PP.Rate, -1 + 2 from PersonsPost PP"},
        {"Select T.Original + 'x', R.Original + 1 from #tmp T, Reasons R",
         "Select T.Original || 'x', R.Original + 1 from temp.\"#tmp\" T, Reasons R"},
    };
    for (const auto& [in, out] : plus) EXPECT_EQ(a.adapt(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;

    // A literal is a date where it meets a date column or a date function, in
    // every form SQL Server reads under mdy, in the column's own form; 12 AM is
    // midnight, 12 PM noon. Beside text, or joined by "+", it stays as written.
    const std::pair<const char*, const char*> dates[] = {
        {"where ActivityDT = '7/14/2026 12:00:00 AM'", "where ActivityDT = '2026-07-14'"},
        {"where ReleaseTime = '7/14/2026 12:05:00 AM' or ReleaseTime = #7/14/2026 12:30 PM#",
         "where ReleaseTime = '2026-07-14 00:05:00' or ReleaseTime = '2026-07-14 12:30:00'"},
        {"where ActivityDT = '20260714' or ActivityDT >= '2026-07-14T23:59:00' or '7-4-26' < ActivityDT",
         "where ActivityDT = '2026-07-14' or ActivityDT >= '2026-07-14' or '2026-07-04' < ActivityDT"},
        {"where ReleaseTime < '2026-07-14T18:30:00' and ActivityDT in ('7/1/2026', '20260702')",
         "where ReleaseTime < '2026-07-14 18:30:00' and ActivityDT in ('2026-07-01', '2026-07-02')"},
        {"Select DatePart(yyyy, '7/14/2026 12:00:00 PM'), Max(ActivityDT) from PersonsPost having Max(ActivityDT) < '20260801'",
         "Select datepart('yyyy', '2026-07-14 12:00:00'), Max(ActivityDT) from PersonsPost having Max(ActivityDT) < '2026-08-01'"},
        {"Select 'From ' + '7/14/2026', LastName + '20260714' from Persons where LastName = '7/14/2026' or LastName like '7/14/2026%'",
         "Select 'From ' || '7/14/2026', LastName || '20260714' from Persons where LastName = '7/14/2026' or LastName like '7/14/2026%'"},
    };
    for (const auto& [in, out] : dates) EXPECT_EQ(a.adapt(QString::fromUtf8(in)).toStdString(), out);

    // "+" by SQL Server's type precedence: a number makes it add; a text joins
    // to an operand of unknown type (a derived table's column, a subquery).
    const std::pair<const char*, const char*> precedence[] = {
        {"Select '1' + 2, PP.Hours + '1.5', len(P.LastName) + '1' from PersonsPost PP, Persons P",
         "Select '1' + 2, PP.Hours + '1.5', len(P.LastName) + '1' from PersonsPost PP, Persons P"},
        {"Select X.Total + ' h', (Select Max(Reason) from Reasons) + '.' from (Select Sum(Hours) as Total from PersonsPost) X",
         "Select X.Total || ' h', (Select Max(Reason) from Reasons) || '.' from (Select Sum(Hours) as Total from PersonsPost) X"},
    };
    for (const auto& [in, out] : precedence) EXPECT_EQ(a.adapt(QString::fromUtf8(in)).toStdString(), out);

    // Date-shaped text stays text where a text column takes it.
    EXPECT_EQ(a.adapt("Update Reasons set Reason = '1/2/2024' where Original = 1"),
              "Update Reasons set Reason = '1/2/2024' where Original = 1");
    EXPECT_EQ(a.adapt("Insert into Reasons (Original, Reason) Values(2, '1/2/2024')"),
              "Insert into Reasons (Original, Reason) Values(2, '1/2/2024')");
    EXPECT_EQ(a.adapt("Select * from PersonsPost where ActivityDT BETWEEN '1/2/2024' AND '12/31/2024'"),
              "Select * from PersonsPost where ActivityDT BETWEEN '2024-01-02' AND '2024-12-31'");
    EXPECT_THROW(a.adapt("Select * from PersonsPost where ActivityDT = '13/1/2024'"), DbError);
    EXPECT_THROW(a.adapt("Select * from PersonsPost where ActivityDT = #2/30/2024#"), DbError);
}

TEST(SqlStatementReader, FindsBaseTablesOfSelectedFields)
{
    const sql::Tokens t = sql::tokenize(
        "Select  PersonsPost.PersonsPostID, PP2.Rate, LastName as L, Max(x) as m, P.* FROM ((Resources INNER JOIN Persons P ON "
        "Resources.ResourceID = P.ResourceID) INNER JOIN PersonsPost ON P.PersonID = PersonsPost.PersonID), "
        "PersonsPost PP2 WHERE x IN (Select y FROM Other)");
    const sql::TableRefs refs = sql::collectTableRefs(t);
    EXPECT_EQ(refs.tables, (QStringList{"resources", "persons", "personspost", "other"}));
    EXPECT_EQ(refs.resolve("P"), "persons");
    EXPECT_EQ(refs.resolve("pp2"), "personspost");
    const auto items = sql::parseSelectList(t);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].qualifier, "PersonsPost");
    EXPECT_EQ(items[0].column, "PersonsPostID");
    EXPECT_EQ(items[1].qualifier, "PP2");
    EXPECT_EQ(items[2].column, "LastName");
    EXPECT_TRUE(items[3].column.isEmpty());
    EXPECT_TRUE(items[4].star);
}

TEST(OdbcConnection, StringsAndAnUnreachableServer)
{
    const QString cs = Connection::sqlServerConnectionString("SRV", "TIMEDB", "clerk", "p;w}d");
    const ConnectionString parsed = ConnectionString::parse(cs);
    EXPECT_EQ(parsed.value("driver"), "FreeTDS");
    EXPECT_EQ(parsed.value("SERVER"), "SRV");
    EXPECT_EQ(parsed.value("pwd"), "p;w}d");  // braced, read back whole
    // The dialect follows what the server says it is, whatever the driver.
    EXPECT_EQ(OdbcEngine::dialectOf("Microsoft SQL Server"), OdbcEngine::Dialect::SqlServer);
    EXPECT_EQ(OdbcEngine::dialectOf("SQLite"), OdbcEngine::Dialect::Sqlite);
    EXPECT_THROW(OdbcEngine::dialectOf("PostgreSQL"), DbError);
    const ConnectionString viaDsn = ConnectionString::parse(
        Connection::odbcConnectionString(OdbcTarget{"ODBC Driver 18 for SQL Server", "TIMEKEEPING"}, "SRV", "TIMEDB", "u", ""));
    EXPECT_EQ(viaDsn.value("DSN"), "TIMEKEEPING");
    EXPECT_FALSE(viaDsn.contains("Driver"));
    EXPECT_FALSE(viaDsn.contains("ClientCharset"));

    // Nothing listens on port 1: a clean error, and the connection stays closed.
    Connection db;
    try {
        db.open("Driver={FreeTDS};Server=127.0.0.1;Port=1;Database=TIMEDB;UID=clerk;PWD=x");
        FAIL() << "connected to nothing";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::CannotConnect);
        EXPECT_TRUE(e.description().startsWith("Cannot connect to the database")) << e.description().toStdString();
    }
    EXPECT_EQ(db.state(), 0);
    EXPECT_EQ(db.engineKind(), EngineKind::None);
    EXPECT_THROW(db.execute("Select 1"), DbError);
}
