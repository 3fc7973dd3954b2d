// quillon-batch sql: the report plan from the command line.
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct BatchRun {
    int exitCode = -1;
    QStringList out;  // stdout lines
    QStringList err;  // stderr lines
};

BatchRun batchSql(const QStringList& args)
{
    QProcess p;
    p.setProgram(QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch"));
    p.setArguments(QStringList{QStringLiteral("sql")} + args);
    p.start();
    BatchRun r;
    if (!p.waitForFinished(60000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return r;
}

}  // namespace

TEST(BatchSql, PrintsOneLinePerDataSet)
{
    const BatchRun r = batchSql({"--report", "3", "--set", "SelectedIncidentId=12", "--set", "SelectedPersonId=55"});
    ASSERT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.out.size(), 2);
    EXPECT_TRUE(r.out[0].endsWith(QStringLiteral("Where Incidents.IncidentID = 12 And PersonsPost.PersonID = 55 ORDER BY Persons.LastName, Persons.FirstName")));
    EXPECT_EQ(r.out[1], QStringLiteral("SELECT sum(PersonsDebit.Amt) as Amt, PersonsDebit.PersonID FROM PersonsDebit PersonsDebit "
                                       " WHERE PersonsDebit.PersonID = 55  group by PersonsDebit.PersonID order by PersonsDebit.PersonID"));
}

TEST(BatchSql, SettingsOfficesAndTheInvoiceKeyReachTheSql)
{
    BatchRun r = batchSql({"--report", "15", "--set", "ManageIncidentsAsOne=true", "--set", "ReportStartDate=06/01/2024",
                      "--set", "ReportEndDate=06/30/2024", "--office", "5415550100", "--office", "5415550199"});
    ASSERT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.out.size(), 1);
    EXPECT_TRUE(r.out[0].endsWith(QStringLiteral(
        "pp.activitydt Between '6/1/2024' and '6/30/2024' and (p.faxphone = '5415550100' or p.faxphone = '5415550199')")));

    r = batchSql({"--report", "7", "--set", "ContractType=0", "--set", "SelectedEquipmentId=42", "--set",
                  "InvoicePrintMode=2", "--set", "OrigRptCode=OA", "--set", "InvoiceKey=40001"});
    ASSERT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.out.size(), 1);
    EXPECT_TRUE(r.out[0].endsWith(QStringLiteral(
        "WHERE E.equipmentid = 42 AND CP.InvoiceID = 40001 ORDER BY CP.EquipmentID, I.IncidentID, CP.AccountingID")));
}

TEST(BatchSql, RejectionsExitWithThreeAndShowTheirMessage)
{
    BatchRun r = batchSql({"--report", "12", "--set", "SelectedIncidentId=12"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("MESSAGE Quillon: GetSQLRS | No Crew Selected"))) << r.err.join('\n').toStdString();

    r = batchSql({"--report", "8"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("MESSAGE Modulerpts.GetSQL | No Report Identified to Create SQL For")));

    r = batchSql({"--report", "1"});  // no run: refused without a message
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.filter(QStringLiteral("MESSAGE")).isEmpty());

    // Usage errors.
    EXPECT_EQ(batchSql({"--report", "3", "--set", "SelectedPersonId=abc"}).exitCode, 2);
    EXPECT_EQ(batchSql({"--set", "SelectedPersonId=1"}).exitCode, 2);
}
