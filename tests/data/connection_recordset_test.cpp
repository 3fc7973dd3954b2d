// Record sets opened on the embedded engine: typed values, navigation, edits
// written back, sort and requery, errors, transactions and the item model.

#include "data/command.h"
#include "data/recordset_model.h"
#include "test_database.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class DbRecordset : public ::testing::Test {
protected:
    void SetUp() override { t.fill(); }
    Value scalar(const QString& sql) { return t.db.openRecordset(sql)->value(0); }
    testdb::TestDatabase t;
};

}  // namespace

TEST_F(DbRecordset, ValuesAreTypedByDeclaredColumnType)
{
    auto rs = t.db.openRecordset("Select * from PersonsPost where PersonsPostID = 1004");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("ActivityDT"), Value(QDate(2005, 6, 20)));
    EXPECT_EQ(rs->value("StartTime").toString(), QStringLiteral("7:00:00 AM"));
    EXPECT_EQ(rs->value("StartTime").type(), Value::Type::DateTime);
    EXPECT_TRUE(rs->value("StopTime").isNull());
    EXPECT_TRUE(rs->value("Rate").isNull());
    EXPECT_EQ(rs->value("Hours"), Value(10.0));
    EXPECT_EQ(rs->value("FinalCol"), Value(false));
    EXPECT_EQ(rs->value("InvoiceID"), Value(500));
    EXPECT_EQ(rs->fieldKind(rs->fieldIndex("Rate")), ColumnKind::Currency);
    EXPECT_EQ(rs->value(1), Value(102));  // by position

    // Money goes in and comes back exact, never through binary rounding.
    t.db.execute("Insert into PersonsDebit (PersonsDebitID, PersonID, Amt) Values (9, 100, 1234567.89)");
    auto debit = t.db.openRecordset("Select Amt from PersonsDebit where PersonsDebitID = 9");
    EXPECT_EQ(debit->value("Amt"), Value(Currency::fromString("1234567.89")));
    debit->setValue("Amt", Value(Currency::fromString("0.1") + Currency::fromString("0.2")));
    debit->update();
    EXPECT_EQ(scalar("Select Amt from PersonsDebit where PersonsDebitID = 9").toCurrency().toString(), QStringLiteral("0.3"));

    auto empty = t.db.openRecordset("Select * from Persons where PersonID = -2");
    EXPECT_TRUE(empty->eof());
    EXPECT_TRUE(empty->bof());
    EXPECT_EQ(empty->recordCount(), 0);
    EXPECT_THROW(empty->value("LastName"), DbError);
}

TEST_F(DbRecordset, EditsGoBackAsStatements)
{
    // Append to a table read whole; the database's defaults come back.
    auto inv = t.db.openRecordset("Select * From PersonsInvoices", CursorType::Keyset, LockType::Optimistic);
    inv->addNew();
    inv->setValue("PersonsInvoiceID", Value(501));
    inv->setValue("PersonID", Value(100));
    inv->setValue("FirstDate", Value(QDate(2005, 7, 1)));
    inv->setValue("LastDate", Value("7/3/2005"));
    inv->setValue("InvoiceSuffix", Value("O'B"));  // quotes are data, not SQL
    inv->update();
    EXPECT_EQ(inv->value("Del"), Value(false));
    auto check = t.db.openRecordset("Select LastDate, InvoiceSuffix from PersonsInvoices where PersonsInvoiceID = 501");
    EXPECT_EQ(check->value("LastDate"), Value(QDate(2005, 7, 3)));
    EXPECT_EQ(check->value("InvoiceSuffix").toString(), QStringLiteral("O'B"));

    // Column numbers written through a join: PersonsPost is found by its key.
    auto detail = t.db.openRecordset(
        "Select  PersonsPost.PersonsPostID, PersonsPost.PersonID, PersonsPost.Rate, PersonsPost.Column288, "
        "PersonsPost.RptOrder, PersonsPost.FinalCol FROM (Resources INNER JOIN Persons ON Resources.ResourceID = "
        "Persons.ResourceID) INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID WHERE "
        "Resources.ResourceID = 10 AND PersonsPost.ActivityDT <= '7/3/2005' AND (PersonsPost.InvoiceId is NULL OR "
        "personspost.InvoiceId = 0) Order by PersonsPost.PersonID, PersonsPost.FinalCol, PersonsPost.ActivityDT",
        CursorType::Keyset, LockType::Optimistic);
    ASSERT_EQ(detail->recordCount(), 4);
    for (int n = 1; !detail->eof(); detail->moveNext(), ++n) {
        detail->setValue("Column288", Value(1));
        detail->setValue("RptOrder", Value(n));
        detail->update();
    }
    EXPECT_EQ(scalar("Select sum(RptOrder) from PersonsPost where Column288 = 1").toInt(), 10);

    // A field computed by the query cannot be written.
    auto names = t.db.openRecordset("Select LastName+', '+FirstName as strName, PersonID from Persons");
    names->setValue("strName", Value("x"));
    EXPECT_THROW(names->update(), DbError);

    // Deleting final-column rows read from one table.
    t.db.execute("Insert into PersonsPost (PersonsPostID, PersonID, Column288, FinalCol) Values (1100, 100, 4, 1), (1101, 100, 5, 1)");
    auto finals = t.db.openRecordset("Select PersonID, PersonsPostID, Rate, Column288, KindCode, AccountingID, FinalCol  From "
                                     "PersonsPost Where PersonID = 100 and FinalCol = 1");
    int deleted = 0;
    while (!finals->eof()) {
        finals->deleteCurrent();
        EXPECT_THROW(finals->value("PersonID"), DbError);  // the deleted row is gone
        finals->moveNext();
        ++deleted;
    }
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(scalar("Select count(*) from PersonsPost where FinalCol = 1").toInt(), 0);
}

TEST_F(DbRecordset, BatchLocksWriteOnUpdateBatchAndReadOnlyRefuses)
{
    auto rs = t.db.openRecordset("Select PersonID, PStatus from Persons order by PersonID", CursorType::Dynamic,
                                 LockType::BatchOptimistic);
    rs->setValue("PStatus", Value("D"));
    rs->update();
    EXPECT_EQ(scalar("Select PStatus from Persons where PersonID = 100").toString(), QStringLiteral("A"));
    rs->updateBatch();
    EXPECT_EQ(scalar("Select PStatus from Persons where PersonID = 100").toString(), QStringLiteral("D"));

    auto ro = t.db.openRecordset("Select PersonID, PStatus from Persons", CursorType::Static, LockType::ReadOnly);
    ro->setValue("PStatus", Value("X"));
    EXPECT_THROW(ro->update(), DbError);

    // A row that vanished since it was read is reported, not silently skipped.
    auto stale = t.db.openRecordset("Select PersonsDebitID, Amt from PersonsDebit where PersonsDebitID = 1");
    t.db.execute("Delete from PersonsDebit where PersonsDebitID = 1");
    stale->setValue("Amt", Value(Currency::fromInt(5)));
    EXPECT_THROW(stale->update(), DbError);
    EXPECT_EQ(scalar("Select count(*) from PersonsDebit").toInt(), 1);
}

TEST_F(DbRecordset, SortAndRequery)
{
    auto rs = t.db.openRecordset("Select PersonsPostID, Hours from PersonsPost where PersonID = 100");
    rs->sort("Hours DESC");
    rs->moveFirst();
    EXPECT_EQ(rs->value("Hours"), Value(17.0));
    t.db.execute("Insert into PersonsPost (PersonsPostID, PersonID, Hours) Values (1200, 100, 20)");
    rs->requery();
    EXPECT_EQ(rs->recordCount(), 4);
    EXPECT_EQ(rs->absolutePosition(), 1);
    EXPECT_EQ(rs->value("Hours"), Value(20.0));  // the sort stays in force

    RecordsetModel model(rs, {"Hours"}, "PersonsPostID");
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("20"));
    EXPECT_EQ(model.boundValue(0), Value(1200));
    EXPECT_EQ(model.findBound(Value(1000)), 3);
    rs->sort("Hours");
    model.refresh();
    EXPECT_EQ(model.findBound(Value(1000)), 0);
    EXPECT_EQ(model.data(model.index(0, 0), RecordsetModel::BoundValueRole).toInt(), 1000);
    EXPECT_EQ(model.findText("16"), 1);
    EXPECT_THROW(RecordsetModel(rs, {"Nope"}, "PersonsPostID"), DbError);
}

// Rows added one after another are written with the same statements; they
// stay right when a row fails between them and when the table they name is
// made anew with its columns in another order.
TEST_F(DbRecordset, RowAfterRowWritesStayRightAcrossAFailureAndANewTable)
{
    const auto addRows = [&](const QStringList& names) {
        RecordsetPtr rs = t.db.openRecordset("Select * from #work", CursorType::Static, LockType::Optimistic);
        for (const QString& name : names) {
            rs->addNew();
            rs->setValue("Name", name.isEmpty() ? Value() : Value(name));
            try {
                rs->update();
            } catch (const DbError&) {
                rs->cancelUpdate();
                rs->deleteCurrent();
            }
        }
        return rs;
    };
    t.db.execute("Create Table #work (ID integer primary key, Name nvarchar(20) not null, Code int default(7))");
    RecordsetPtr first = addRows({"Ann", "", "Bob"});
    // The keys the table gave, read back into each row added.
    EXPECT_EQ(first->at(0, 0).toInt(), 1);
    EXPECT_EQ(first->at(1, 0).toInt(), 2);
    EXPECT_EQ(first->at(1, 2).toInt(), 7);
    EXPECT_EQ(scalar("Select group_concat(ID || Name || Code, ' ') from #work").toString(), QStringLiteral("1Ann7 2Bob7"));

    t.db.execute("Drop Table #work");
    t.db.execute("Create Table #work (Code int default(3), Name nvarchar(20) not null, ID integer primary key)");
    RecordsetPtr second = addRows({"Cy", "Dee"});
    EXPECT_EQ(second->at(1, 0).toInt(), 3);
    EXPECT_EQ(second->at(1, 2).toInt(), 2);
    EXPECT_EQ(scalar("Select group_concat(ID || Name || Code, ' ') from #work").toString(), QStringLiteral("1Cy3 2Dee3"));
}

TEST_F(DbRecordset, FailuresRaiseTheEngineTextAndChangeNothing)
{
    try {
        t.db.execute("Update PersonsPost set Nope = 1 where PersonID = 100");
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.description().contains("no such column: Nope")) << e.description().toStdString();
        EXPECT_NE(e.number(), 0);
    }
    // A failing statement among parameterized ones leaves the earlier rows alone.
    Command cmd(t.db);
    cmd.setCommandText("Update Persons set LastName = ? where PersonID = ?");
    cmd.append(Command::createParameter("name", ParameterType::VarChar, ParameterDirection::Input, 30, Value("D'Arcy")));
    cmd.append(Command::createParameter("id", ParameterType::Integer, ParameterDirection::Input, 0, Value(100)));
    EXPECT_EQ(cmd.execute(), 1);
    EXPECT_EQ(scalar("Select LastName from Persons where PersonID = 100").toString(), QStringLiteral("D'Arcy"));
    EXPECT_THROW(t.db.execute("Insert into Persons (PersonID) Values (100)"), DbError);  // duplicate key
    EXPECT_EQ(scalar("Select count(*) from Persons").toInt(), 3);

    // Transactions: rolled back unless committed; nested scopes roll back alone.
    {
        Transaction tx(t.db);
        t.db.execute("Delete from PersonsDebit");
    }
    EXPECT_EQ(scalar("Select count(*) from PersonsDebit").toInt(), 2);
    {
        Transaction outer(t.db);
        t.db.execute("Delete from PersonsDebit where PersonsDebitID = 1");
        {
            Transaction inner(t.db);
            t.db.execute("Delete from PersonsDebit");
        }
        outer.commit();
    }
    EXPECT_EQ(scalar("Select count(*) from PersonsDebit").toInt(), 1);

    t.db.close();
    EXPECT_EQ(t.db.state(), 0);
    EXPECT_THROW(t.db.execute("Select 1"), DbError);
}

TEST(Connection, OpensOnlyRealIncidentDatabases)
{
    QTemporaryDir dir;
    Connection db;
    const QString missing = dir.filePath("missing.db");
    try {
        db.openEmbedded(missing);
        FAIL() << "opened a missing file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
        EXPECT_TRUE(e.description().contains("does not exist"));
    }
    EXPECT_FALSE(QFile::exists(missing));  // nothing created on the way
    EXPECT_EQ(db.state(), 0);

    QFile text(dir.filePath("notes.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(4096, 'x'));
    text.close();
    EXPECT_THROW(db.openEmbedded(text.fileName()), DbError);

    Connection other;  // a SQLite file of another program
    const QString foreign = dir.filePath("foreign.db");
    Connection::createEmbeddedDatabase(foreign);
    other.openEmbedded(foreign);
    other.execute("Drop View qryEquipMgmt");
    other.execute("Drop Table Incidents");
    other.close();
    EXPECT_THROW(db.openEmbedded(foreign), DbError);
    EXPECT_THROW(Connection::createEmbeddedDatabase(foreign), DbError);  // never overwritten

    // The connection string opens the same file again, a password is ignored;
    // a path holding ';' survives the round trip.
    const QString odd = dir.filePath("a;b.db");
    Connection::createEmbeddedDatabase(odd);
    db.openEmbedded(odd);
    Connection again;
    again.open(db.connectionString());
    EXPECT_EQ(again.state(), 1);
    testdb::TestDatabase t;
    const QString cs = t.db.connectionString();
    EXPECT_TRUE(cs.startsWith("Provider=SQLite;Data Source="));
    db.open(cs + ";pwd=secret");
    EXPECT_EQ(db.state(), 1);
    EXPECT_EQ(db.engineKind(), EngineKind::Sqlite);
    EXPECT_NE(db.sqliteHandle(), nullptr);
}
