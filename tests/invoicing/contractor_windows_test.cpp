// The contractor windows driven by scripts through the built program, on the
// sample database: the reports they preview (SQL and rows) and their messages.
#include "data/connection.h"
#include "data/demo/demo_database.h"

#include "printers.h"
#include "../shell/quillon_script.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::testing;

namespace {

class ContractorWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        database = dir->filePath(QStringLiteral("sample.db"));
        demo::createDemoDatabase(database);
        templates = dir->filePath(QStringLiteral("templates"));
        writeTemplates(templates, {QStringLiteral("ContractorDebits"), QStringLiteral("SummContractor"),
                                   QStringLiteral("CommissaryCharges")});
    }
    static void TearDownTestSuite() { delete dir; }

    ScriptRun run(const QString& script, const QString& db = database)
    {
        return runScript(script, work.path(), db, templates);
    }
    static int count(const QString& sql)
    {
        Connection db;
        db.openEmbedded(database);
        return int(db.openRecordset(sql)->value(0).toInt());
    }
    static int adjustments(const QString& where)
    {
        return count(QStringLiteral("Select count(*) from ContractorAdjustments ca join Contractor c on "
                                    "c.ContractorID = ca.ContractorID join Equipment e on e.EquipmentID = ca.EquipmentID "
                                    "where ") + where);
    }

    static QTemporaryDir* dir;
    static QString database;
    static QString templates;
    QTemporaryDir work;
};
QTemporaryDir* ContractorWindows::dir = nullptr;
QString ContractorWindows::database;
QString ContractorWindows::templates;

const QString kMenu = QStringLiteral("open Form0\npick Form0.dbcIncidents Cedar Ridge\n");

}  // namespace

TEST_F(ContractorWindows, ContractorDebitsPreviewsTheChosenContractor)
{
    // Nothing chosen, even with a contractor left in the shared state by an
    // earlier window: the builder's message, no report.
    const ScriptRun r = run(kMenu + QStringLiteral("click Form0.Option8\n"
                                                   "click Form0.cmdSelect\n"
                                                   "state SelectedContractorId 2\n"
                                                   "close Form10\n"
                                                   "click Form0.cmdSelect\n"
                                                   "click Form10.RunButton\n"
                                                   "pick Form10.dbcContractors Sierra Earthworks LLC\n"
                                                   "click Form10.RunButton\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 3) << r.lines.join('\n').toStdString();
    EXPECT_EQ(r.lines[0], QStringLiteral("MESSAGE Quillon: GetSQLRS | No Contractor Selected"));
    EXPECT_TRUE(r.lines[2].startsWith(QLatin1String("REPORT Contractor Debits viewer=1 "))) << r.lines[2].toStdString();
    EXPECT_TRUE(ScriptRun::sql(r.lines[2]).contains(
        QLatin1String("Where Incidents.IncidentID = 1 And Contractor.ContractorID = 2 ORDER BY Contractor.ContractorName")));
    EXPECT_EQ(ScriptRun::rows(r.lines[2]), adjustments(QStringLiteral("c.ContractorID = 2")));
    EXPECT_GT(ScriptRun::rows(r.lines[2]), 0);
}

TEST_F(ContractorWindows, ContractorDebitsOverAllIncidents)
{
    // Incidents as one: every incident's contractors, filtered by contractor
    // only. The viewer is captioned with this report's title, not with the
    // one previewed before it.
    ScriptRun r = run(QStringLiteral("open Form0\n"
                                           "click Form0.chkMgAs1\n"
                                           "click Form0.Option2\n"
                                           "click Form0.cmdSelect\n"
                                           "click Form0.Option8\n"
                                           "click Form0.cmdSelect\n"
                                           "pick Form10.dbcContractors D'Angelo Fire Equipment\n"
                                           "click Form10.RunButton\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 2) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines[1].startsWith(QLatin1String("REPORT Contractor Debits viewer=1 "))) << r.lines[1].toStdString();
    r.lines.removeFirst();
    const QString sql = ScriptRun::sql(r.lines[0]);
    EXPECT_TRUE(sql.contains(QLatin1String("Where Contractor.ContractorID = 4 ORDER BY"))) << sql.toStdString();
    EXPECT_FALSE(sql.contains(QLatin1String("Incidents.IncidentID =")));
    EXPECT_EQ(ScriptRun::rows(r.lines[0]), adjustments(QStringLiteral("c.ContractorID = 4")));
    EXPECT_GT(ScriptRun::rows(r.lines[0]), 0);
}

TEST_F(ContractorWindows, PaymentSummaryForAllOrOneContractor)
{
    // One row per use posting of the selection's equipment.
    const QString equipmentUse = QStringLiteral(
        "Select count(*) from ContractorPost cp join Equipment e on e.EquipmentID = cp.EquipmentID "
        "join Agreement a on a.AgreementID = e.AgreementID join Resources r on r.ResourceID = e.ResourceID where ");
    const ScriptRun r = run(kMenu + QStringLiteral("click Form0.Option4\n"
                                                   "click Form0.cmdSelect\n"
                                                   "click Form4.RunButton\n"
                                                   "pick Form4.dbcContractor O'Brien Water Hauling\n"
                                                   "click Form4.RunButton\n"
                                                   "click Form4.optAll\n"
                                                   "click Form4.RunButton\n"));
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    const QStringList reports = r.linesStarting(QStringLiteral("REPORT "));
    ASSERT_EQ(reports.size(), 3) << r.lines.join('\n').toStdString();
    EXPECT_EQ(reports.size(), r.lines.size());
    EXPECT_TRUE(reports[0].startsWith(QLatin1String("REPORT Payment Summary of Equipment Usage viewer=1 ")));

    const QString all = QStringLiteral("Where Incidents.IncidentID = 1 ORDER BY L_Kind.KindDesc");
    EXPECT_TRUE(ScriptRun::sql(reports[0]).contains(all)) << ScriptRun::sql(reports[0]).toStdString();
    EXPECT_EQ(ScriptRun::rows(reports[0]), count(equipmentUse + QStringLiteral("r.IncidentID = 1")));
    EXPECT_TRUE(ScriptRun::sql(reports[1]).contains(
        QLatin1String("Where Incidents.IncidentID = 1 And Contractor.ContractorID = 1 ORDER BY")));
    EXPECT_EQ(ScriptRun::rows(reports[1]), count(equipmentUse + QStringLiteral("r.IncidentID = 1 and a.ContractorID = 1")));
    EXPECT_TRUE(ScriptRun::sql(reports[2]).contains(all));
    EXPECT_GT(ScriptRun::rows(reports[1]), 0);
    EXPECT_LT(ScriptRun::rows(reports[1]), ScriptRun::rows(reports[0]));
}

TEST_F(ContractorWindows, ContractorInvoiceStaysUsableAfterAFailingQuery)
{
    // Without the debit table the equipment choice fails once, with the
    // database's description; the window's other lists still work.
    const QString broken = work.filePath(QStringLiteral("broken.db"));
    ASSERT_TRUE(copyWithoutTable(database, broken, QStringLiteral("ContractorDebit")));
    const ScriptRun r = run(QStringLiteral("state SelectedIncidentId 1\n"
                                           "open Form8\n"
                                           "pick Form8.dbcContractors O'Brien Water Hauling\n"
                                           "pick Form8.dbcAgreements NCA-26-E-1001\n"
                                           "pick Form8.dbcEquipment O'Brien Water Tender 2\n"
                                           "pick Form8.dbcAgreements SIB-26-E-1002\n"
                                           "pick Form8.dbcEquipment O'Brien Engine 1\n"
                                           "click Form8.RunButton\n"),
                            broken);
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 4) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(QLatin1String("MESSAGE Quillon | ")));
    EXPECT_TRUE(r.lines[0].contains(QLatin1String("ContractorDebit"), Qt::CaseInsensitive)) << r.lines[0].toStdString();
    EXPECT_EQ(r.lines[1], QStringLiteral("-> OK"));
    EXPECT_EQ(r.lines[2], r.lines[0]);

    // On the intact sample the same steps say nothing.
    const ScriptRun ok = run(QStringLiteral("state SelectedIncidentId 1\n"
                                            "open Form8\n"
                                            "pick Form8.dbcContractors O'Brien Water Hauling\n"
                                            "pick Form8.dbcAgreements NCA-26-E-1001\n"
                                            "pick Form8.dbcEquipment O'Brien Water Tender 2\n"
                                            "pick Form8.grdEquipPost 7/20/2026\n"));
    EXPECT_EQ(ok.exitCode, 0) << ok.errors.toStdString();
    EXPECT_TRUE(ok.lines.isEmpty()) << ok.lines.join('\n').toStdString();
}
