// Statements as the program builds them, run against the embedded engine with
// their results checked. Each group covers one kind of dialect difference.

#include "data/command.h"
#include "test_database.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class SqlCorpus : public ::testing::Test {
protected:
    void SetUp() override { t.fill(); }
    RecordsetPtr open(const char* sql) { return t.db.openRecordset(QString::fromUtf8(sql)); }
    QStringList column(const char* sql, const char* field)
    {
        QStringList out;
        auto rs = open(sql);
        for (int r = 0; r < rs->recordCount(); ++r) out << rs->at(r, rs->requireField(QString::fromUtf8(field))).toString();
        return out;
    }
    testdb::TestDatabase t;
};

}  // namespace

TEST_F(SqlCorpus, PlusJoinsTextButAddsNumbers)
{
    // Person lists: LastName+', '+FirstName.
    EXPECT_EQ(column("Select LastName+', '+FirstName  as strName,PersonID FROM Persons WHERE ResourceID IN "
                     "(Select ResourceID FROM Resources WHERE IncidentID = 1) Order by LastName, FirstName", "strName"),
              (QStringList{"Adams, Ann", "Baker, Bob", "Cole, Cy"}));
    // Report 15: aliased text columns and a literal of three blanks.
    auto rs = open("select p.personid, p.lastname+', '+p.firstname as FullName, p.faxphone, pp.activitydt, pp.Hours, "
                   "a.accountingcode, i.incidentname + '   ' + i.incidentnumber as Incident from persons p inner join "
                   "personspost pp on p.personid=pp.personid inner join accountingcodes a on pp.accountingid=a.accountingid "
                   "inner join incidents i on a.incidentid= i.incidentid where len(p.faxphone)=10 and p.fedcode<>'AD' and "
                   "p.pstatus <> 'D' and pp.activitydt Between '7/1/2005' and '7/2/2005' and a.incidentid = 1 and "
                   "(p.faxphone = '5551234567')");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("FullName").toString(), QStringLiteral("Adams, Ann"));
    EXPECT_EQ(rs->value("Incident").toString(), QStringLiteral("Ridge Fire   CA-ABC-000123"));
    // Invoice list: literal + LTrim(Str(number)) + text column.
    rs = open("Select PI.PersonsInvoiceID, '05-CA-ABC-000123-000' + LTrim(Str(PI.PersonID)) + PI.InvoiceSuffix as "
              "InvoiceNumber, PI.FirstDate, PI.LastDate, PI.PersonID, PI.InvoiceSuffix, PI.Amount FROM PersonsInvoices PI "
              "WHERE PI.Del = 0 and PI.PersonID = 102 ORDER BY PI.FirstDate");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("InvoiceNumber").toString(), QStringLiteral("05-CA-ABC-000123-000102A"));
    // Two text columns; and money columns that must still add.
    rs = open("Select C.ContractorNum + C.ContractorName as Who, sum(cp.amt + cp.samt) as Amt "
              "from contractorpost cp, Contractor C Where cp.equipmentid = 42AND cp.ActivityDT BETWEEN '7/1/2005' and "
              "'7/3/2005' group by C.ContractorNum, C.ContractorName");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("Who").toString(), QStringLiteral("K-1Ace Rentals"));
    EXPECT_EQ(rs->value("Amt").toCurrency(), Currency::fromInt(1000));
}

TEST_F(SqlCorpus, FunctionsAndSortKeys)
{
    // Request numbers by category letter, then naturally: C-5 < C-12 < C-12.1.
    EXPECT_EQ(column("Select Distinct RequestNumber, ResourceID, dbo.f_SortRequestNumber(RequestNumber) as reqnum, "
                     "Left(RequestNumber, 1) As reqcat From Resources WHERE IncidentID = 1 Order by reqcat, reqnum",
                     "RequestNumber"),
              (QStringList{"C-5", "C-12", "C-12.1", "E-2", "E-10"}));
    EXPECT_EQ(open("Select Left(RequestNumber, 1) from Resources Where ResourceID = 12")->value(0).toString(),
              QStringLiteral("E"));
    EXPECT_EQ(column("Select Right(IncidentNumber, 3) as r from Incidents where IncidentID = 2", "r"), QStringList{"001"});
    EXPECT_EQ(column("Select DatePart(yyyy, StartDate) as y from Incidents where IncidentID = 2", "y"), QStringList{"2024"});
    auto rs = open("Select len('ab  ') as l, Str(7.6) as s, Str(123456789012) as big, IsNull(Null, 'none') as n");
    EXPECT_EQ(rs->value("l").toInt(), 2);
    EXPECT_EQ(rs->value("s").toString(), QStringLiteral("         8"));
    EXPECT_EQ(rs->value("big").toString(), QStringLiteral("**********"));
    EXPECT_EQ(rs->value("n").toString(), QStringLiteral("none"));
    // Equipment list of type "other": a string touching ORDER.
    EXPECT_EQ(column("Select UniqueEquipmentName, Equipment.EquipmentID, Resources.Name, Resources.RequestNumber From "
                     "Equipment, Resources WHERE (Equipment.AgreementID = 30) and (Equipment.resourceID = "
                     "Resources.ResourceID) and  Left(Resources.RequestNumber, 1)<>'C' and Left(Resources.RequestNumber, 1)"
                     "<>'X'order by Resources.Name", "Name"),
              QStringList{"Dozer 7"});
}

TEST_F(SqlCorpus, DatesAndNumbersTouchingKeywords)
{
    // Work/rest posting query of one person: "= 100and (" and M/d/yyyy bounds.
    auto rs = open("Select Personspost.ActivityDT, sum(Personspost.Hours), Personspost.KindCode, Personspost.PersonID, "
                   "Resources.RequestNumber  FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) "
                   "INNER JOIN Personspost ON Persons.PersonID = Personspost.PersonID WHERE Persons.PersonID = 100and "
                   "(Personspost.ActivityDT >= '7/2/2005' and Personspost.ActivityDT <= '7/3/2005') Group by "
                   "Personspost.PersonID, Resources.RequestNumber, Personspost.KindCode, Personspost.ActivityDT Order by "
                   "Personspost.PersonID,  Personspost.ActivityDT");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value(0).toDate(), QDate(2005, 7, 2));
    EXPECT_DOUBLE_EQ(rs->value(1).toDouble(), 17.0);
    // The Access form of the same bounds.
    rs = open("Select Count(*) as n from Personspost WHERE (Personspost.ActivityDT >= #7/2/2005# and "
              "Personspost.ActivityDT <= #7/3/2005#) ");
    EXPECT_EQ(rs->value("n").toInt(), 3);
    // Uninvoiced hours (InvoiceID 0 only) between two dates.
    rs = open("Select Sum(Hours) as Hours from PersonsPost Where PersonID = 100 and (ActivityDt BETWEEN '7/1/2005' AND "
              "'7/3/2005') and InvoiceID = 0");
    EXPECT_DOUBLE_EQ(rs->value("Hours").toDouble(), 24.0);
    // Deductions report: "= 42ORDER BY".
    rs = open("SELECT A.AgreementNum, C.ContractorName, R.Name, C.ContractorNum, E.Make, E.Model, I.IncidentName, "
              "C.ContractorID, CA.Amt, CA.Description, CA.ActivityDT, E.UniqueEquipmentName, CA.EquipmentID , "
              "R.RequestNumber, I.IncidentNumber, I.StartDate, EI.InvoiceSuffix FROM ((((Contractor C INNER JOIN "
              "Incidents I ON C.IncidentID=I.IncidentID) INNER JOIN ContractorAdjustments CA ON "
              "C.ContractorID=CA.ContractorID) INNER JOIN Equipment E ON CA.EquipmentID=E.EquipmentID) INNER JOIN "
              "Resources R ON E.ResourceID=R.ResourceID) INNER JOIN Agreement A ON E.AgreementID=A.AgreementID LEFT OUTER "
              "JOIN EquipInvoices EI ON CA.InvoiceID=EI.EquipInvoiceID  Where CA.EquipmentID = 42 AND CA.ActivityDT "
              "between '7/1/2005' and '7/31/2005' AND CA.InvoiceID = 0 ORDER BY C.ContractorName, R.Name, CA.ActivityDT");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("Amt").toCurrency(), Currency::fromInt(50));
    rs = open("SELECT CA.Amt FROM ContractorAdjustments CA Where CA.EquipmentID = 42ORDER BY CA.ActivityDT");
    EXPECT_EQ(rs->recordCount(), 2);

    // Issuing an equipment invoice: dates inserted as text land in ISO form.
    t.db.execute("Insert into EquipInvoices (EquipInvoiceID,FirstDate,LastDate,EquipmentID,InvoiceNumber,InvoiceSuffix,"
                 "Amount)  Values(7,'7/2/2005','7/3/2005',42,'2005-CA-ABC-000123-000042','A',1170)");
    EXPECT_EQ(t.db.execute("Update ContractorPost set InvoiceID = 7 where equipmentid = 42 AND ActivityDt >= '7/2/2005' "
                           "AND ActivityDt <= '7/3/2005'"), 2);
    rs = open("Select FirstDate, LastDate, InvoiceNumber from EquipInvoices where LastDate < '12/31/2005'");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("LastDate").toDate(), QDate(2005, 7, 3));
    EXPECT_EQ(column("Select typeof(FirstDate) || ':' || FirstDate as f from EquipInvoices", "f"), QStringList{"text:2005-07-02"});
    // A date-shaped text going into a text column stays text.
    t.db.execute("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,Reason) "
                 "Values(1,7,-1,'7/4/2005')");
    EXPECT_EQ(column("Select Reason from EquipInvoicesReason where Reason = '7/4/2005'", "Reason"), QStringList{"7/4/2005"});
    // No such date: an error, as on the server, instead of a silent mismatch.
    EXPECT_THROW(open("Select * from PersonsPost where ActivityDT <= '2/30/2005'"), DbError);
}

TEST_F(SqlCorpus, TemporaryTableOfAnInvoiceRun)
{
    t.db.execute("Create Table #tmp (PersonID integer, PrevInvoices nvarchar(255), Original nVarChar(20), Lastdate "
                 "DateTime, InvoiceNum nVarChar(30), InvoiceID int default(0), EndDate DateTime)");
    auto tmp = t.db.openRecordset("Select * from #tmp", CursorType::Dynamic, LockType::Optimistic);
    tmp->addNew();
    tmp->setValue("PersonID", Value(100));
    tmp->setValue("Original", Value("01"));
    tmp->setValue("Lastdate", Value(QDate(2005, 7, 1)));
    tmp->setValue("InvoiceNum", Value("2005-CA-ABC-000123-000100A"));
    tmp->setValue("EndDate", Value(QDate(2005, 7, 3)));
    tmp->update();
    EXPECT_EQ(tmp->value("InvoiceID").toInt(), 0);  // the column default, read back
    // Issuance writes the new key into the #tmp row (a table without a key).
    tmp->setValue("InvoiceID", Value(600));
    tmp->update();

    // Report 6 joins #tmp, report 14 #Tmp; both name it differently.
    auto rs = open("SELECT R.ResourceID, P.PersonID, PP.PersonsPostID, PP.Hours, PP.FinalCol, T.PrevInvoices, T.InvoiceNum, "
                   "T.Original, T.Lastdate, T.EndDate From Resources R INNER JOIN Persons P ON R.ResourceID = P.ResourceID "
                   "INNER JOIN PersonsPost PP ON P.PersonID = PP.PersonID INNER JOIN AccountingCodes AC ON PP.AccountingID = "
                   "AC.AccountingID INNER JOIN Incidents I ON AC.IncidentID = I.IncidentID Left Outer Join #tmp T ON "
                   "P.PersonID = T.PersonID WHERE P.PersonID = 100 AND I.IncidentID = 1 AND (PP.ActivityDT <= '7/3/2005' "
                   "OR FinalCol = 1) AND (PP.InvoiceID is Null or PP.InvoiceID = 0)  Order By R.RequestNumber ASC, "
                   "PP.PersonID ASC, PP.Column288 ASC, PP.ActivityDT ASC");
    ASSERT_EQ(rs->recordCount(), 3);
    EXPECT_EQ(rs->value("EndDate").toDate(), QDate(2005, 7, 3));
    EXPECT_EQ(rs->value("InvoiceNum").toString(), QStringLiteral("2005-CA-ABC-000123-000100A"));
    EXPECT_EQ(rs->value("FinalCol").type(), Value::Type::Bool);
    rs = open("Select * From PersonsInvoices Where PersonsInvoiceID in (Select InvoiceID From #Tmp)");
    EXPECT_EQ(rs->recordCount(), 0);
    EXPECT_EQ(column("Select InvoiceID from #tmp", "InvoiceID"), QStringList{"600"});

    // The table is the connection's: never stored in the file.
    EXPECT_EQ(column("Select count(*) as n from sqlite_schema where name like '#%'", "n"), QStringList{"0"});
    Connection other;
    other.openEmbedded(t.path());
    EXPECT_THROW(other.openRecordset("Select * from #tmp"), DbError);
    t.db.execute("Drop Table #tmp");
    EXPECT_THROW(open("Select * from #tmp"), DbError);
}

TEST_F(SqlCorpus, DeleteFormsAndAccessBooleans)
{
    EXPECT_EQ(column("Select Name, ResourceID  FROM Resources WHERE IncidentID = 1  and Collection = 1 Order by Name", "Name"),
              column("Select Name, ResourceID  FROM Resources WHERE IncidentID = 1 and Collection = true  Order by Name", "Name"));
    EXPECT_EQ(column("Select Name from Resources WHERE Collection = true Order by Name", "Name").size(), 3);

    t.db.execute("Insert into PersonsPost (PersonsPostID, PersonID, Column288, FinalCol) Values (1100, 100, 4, 1)");
    EXPECT_EQ(t.db.execute("Delete PersonsPost where PersonID = 100 and FinalCol = 1"), 1);
    t.db.execute("Insert into ReportRecords (ReportRun, PersonID, HR20in24) Values (9, 100, 1), (9, 101, 0), (8, 100, 1)");
    EXPECT_EQ(t.db.execute("Delete * from ReportRecords where ReportRun = 9"), 2);
    EXPECT_EQ(t.db.execute("Delete from ReportRecords where ReportRun = 8"), 1);
    EXPECT_EQ(column("Select count(*) as n from ReportRecords", "n"), QStringList{"0"});
}

TEST_F(SqlCorpus, ViewsAndNestedJoinsOfReports)
{
    // Report 11 over its view, report 14 over qrySelectPersonnel.
    EXPECT_EQ(column("SELECT qryEquipMgmt.KindCode, qryEquipMgmt.UniqueEquipmentName FROM qryEquipMgmt WHERE "
                     "qryEquipMgmt.IncidentID = 1", "UniqueEquipmentName"),
              QStringList{"Dozer O'Brien"});
    EXPECT_EQ(column("Select fSSN from qrySelectPersonnel where PersonID = 100", "fSSN"), QStringList{"123-45-6789"});
    // Report 7, six nested joins with a LEFT OUTER JOIN inside the parentheses.
    auto rs = open("SELECT C.ContractorNum, A.Name as AdminName, R.RequestNumber, R.KindCode as Model, 'CONTRACT CREW' as Make, "
                   "CP.ActivityDT, CP.Amt, E.UniqueEquipmentName, AC.AccountingCode, EI.InvoiceSuffix, EIR.Original FROM "
                   "((((((Agreement Agreement LEFT OUTER JOIN AdminOffice A ON A.AdminOfficeID = Agreement.AdminOfficeID INNER "
                   "JOIN Contractor C ON Agreement.ContractorID=C.ContractorID) INNER JOIN Equipment E ON "
                   "Agreement.AgreementID=E.AgreementID) INNER JOIN Resources R ON E.ResourceID=R.ResourceID) INNER JOIN "
                   "ContractorPost CP ON E.EquipmentID=CP.EquipmentID) INNER JOIN AccountingCodes AC ON "
                   "CP.AccountingID=AC.AccountingID) INNER JOIN Incidents I ON AC.IncidentID=I.IncidentID) INNER JOIN "
                   "L_Kind LK ON R.KindCode=LK.KindCode LEFT OUTER JOIN EquipInvoices EI ON CP.InvoiceID=EI.EquipInvoiceID "
                   "LEFT OUTER JOIN EquipInvoicesReason EIR ON EI.EquipInvoiceID = EIR.EquipInvoiceID WHERE E.equipmentid = 42 "
                   "AND CP.ActivityDT between '7/1/2005' and '7/31/2005' AND CP.InvoiceID = 0  ORDER BY CP.EquipmentID, "
                   "I.IncidentID, CP.AccountingID");
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("AdminName").toString(), QStringLiteral("North Office"));
    EXPECT_EQ(rs->value("Amt").type(), Value::Type::Currency);
    // A summary with DatePart and Max over dates (read back as dates).
    rs = open("Select Persons.PersonID, Max(PersonsInvoices.InvoiceSuffix) as InvoiceSuffix, Max(PersonsInvoices.LastDate) "
              "as LastDate, Min(PersonsPost.ActivityDt) as StartDate, DatePart(yyyy, Incidents.StartDate) as incStartYear, "
              "Incidents.IncidentNumber FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) "
              "Inner Join PersonsPost ON PersonsPost.PersonID = Persons.PersonID Left Outer JOIN PersonsInvoices ON "
              "Persons.PersonID = PersonsInvoices.PersonID Inner Join Incidents ON Incidents.IncidentID = "
              "Resources.IncidentID Where Resources.ResourceID = 11 Group by Persons.PersonID, Incidents.StartDate, "
              "Incidents.IncidentNumber Order by Persons.PersonID");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("LastDate").toDate(), QDate(2005, 6, 30));
    EXPECT_EQ(rs->value("LastDate").type(), Value::Type::Date);
    EXPECT_EQ(rs->value("incStartYear").toInt(), 2005);
}
