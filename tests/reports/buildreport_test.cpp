// BuildReport and ShowReport over a small sample database, with templates of
// the test's own (the real forms are checked by the template tests).
#include "data/demo/demo_database.h"
#include "shell/buildreport.h"
#include "reports/reportdata.h"
#include "shell/reportqueries.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "test_connection.h"

using namespace quillon;

namespace {

const char* const kChargesTemplate = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="CommissaryCharges" title="Charges">
  <Page width="612" height="792" margin="36"/>
  <Detail height="12"><Field x="0" y="0" expr="{lastname}"/><Field x="200" y="0" format="currency" expr="{amt}"/></Detail>
  <ReportFooter height="12"><Field x="0" y="0" expr="'Total ' &amp; Text(Sum({amt}), '0.00')"/></ReportFooter>
</Report>)xml";

const char* const kSummHoursTemplate = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="SummHours" title="Hours">
  <Page width="612" height="792" margin="36"/>
  <Group name="Person" on="PersonID">
    <Header height="12"><Field x="0" y="0" expr="{LastName}"/></Header>
    <Footer height="30" section="8">
      <Field x="0" y="0" expr="'Hours ' &amp; Text(Sum({Hours}), '0.00')"/>
      <Subreport name="subreport1" x="0" y="12" width="300" height="6" link="PersonID" suppressIfEmpty="true">
        <Detail height="11"><Field x="0" y="0" expr="'Debits ' &amp; Text({Amt}, '0.00')"/></Detail>
      </Subreport>
    </Footer>
  </Group>
  <Detail height="0"/>
</Report>)xml";

const char* const kWorkRestTemplate = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="WorkRest" title="Work/Rest">
  <Parameter name="StartDate" type="date"/>
  <Parameter name="EndDate" type="date"/>
  <Parameter name="SortField" type="text"/>
  <Page width="612" height="792" margin="36"/>
  <ReportHeader height="12"><Field x="0" y="0" expr="{?SortField} &amp; ' ' &amp; Text({?StartDate}, 'M/d/yyyy')"/></ReportHeader>
  <Detail height="12"><Field x="0" y="0" expr="{LastName}"/></Detail>
</Report>)xml";

class BuildReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        demo::createDemoDatabase(dir->filePath(QStringLiteral("sample.db")));
        for (const auto& [name, text] : {std::pair{"CommissaryCharges", kChargesTemplate},
                                         std::pair{"SummHours", kSummHoursTemplate},
                                         std::pair{"WorkRest", kWorkRestTemplate}}) {
            QFile f(dir->filePath(QString::fromLatin1(name) + QStringLiteral(".rpt")));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        qputenv("QUILLON_TEMPLATE_DIR", dir->path().toLocal8Bit());
    }
    static void TearDownTestSuite()
    {
        qunsetenv("QUILLON_TEMPLATE_DIR");
        delete dir;
    }

    void SetUp() override
    {
        openTestDatabase(db, dir->filePath(QStringLiteral("sample.db")));
        printer = std::make_shared<reports::FolderPrinter>(dir->filePath(QStringLiteral("jobs")));
        app = std::make_unique<App>(dialogs, printer);
        app->attachConnection(db);
        app->state.SelectedIncidentId = 1;
    }

    double scalar(const QString& sql) { return db.openRecordset(sql)->value(0).toDouble(); }

    static QTemporaryDir* dir;
    Connection db;
    ScriptedDialogs dialogs;
    std::shared_ptr<reports::FolderPrinter> printer;
    std::unique_ptr<App> app;
    std::int32_t key = 0;
};
QTemporaryDir* BuildReportTest::dir = nullptr;

}  // namespace

TEST_F(BuildReportTest, DirectReportBindsItsRowsAndPrintsOnTheDefaultPrinter)
{
    app->state.ReportNumber = 2;
    ASSERT_TRUE(BuildReport(*app, key));
    EXPECT_EQ(app->state.ReportTitle, QStringLiteral("Commissary Charges By Date"));
    const double expected = scalar(QStringLiteral(
        "Select count(*) from personsdebit a inner join persons b on a.personid = b.personid "
        "inner join resources c on b.resourceid = c.resourceid where c.incidentid = 1"));
    ASSERT_GT(expected, 0);
    EXPECT_EQ(app->state.MainDataSet->recordCount(), int(expected));

    ShowReport(*app, 0, 1);
    ASSERT_EQ(printer->jobs().size(), 1);
    EXPECT_EQ(app->state.EngineApplication, nullptr);  // released after output

    // Building again closes the previous data set.
    RecordsetPtr first = app->state.MainDataSet;
    app->state.ManageIncidentsAsOne = true;
    ASSERT_TRUE(BuildReport(*app, key));
    EXPECT_FALSE(first->isOpen());
    EXPECT_EQ(app->state.MainDataSet->recordCount(), int(scalar(QStringLiteral("Select count(*) from personsdebit"))));
}

TEST_F(BuildReportTest, SecondDataSetGoesToTheSubreportOfItsSectionAndDataJsonRecordsIt)
{
    app->state.ReportNumber = 3;
    ASSERT_TRUE(BuildReport(*app, key));
    ASSERT_TRUE(app->state.SubDataSet);
    const double debitPersons = scalar(QStringLiteral("Select count(distinct PersonID) from PersonsDebit"));
    EXPECT_EQ(app->state.SubDataSet->recordCount(), int(debitPersons));

    const reports::Document& doc = app->state.OpenReport->render();
    QString text;
    for (const auto& page : doc.pages)
        for (const auto& item : page.items) text += item.text + QLatin1Char('\n');
    EXPECT_TRUE(text.contains(QStringLiteral("Debits "))) << "subreport rows were not rendered";

    const QJsonObject json = QJsonDocument::fromJson(reportDataJson(app->state)).object();
    EXPECT_EQ(json.value(QStringLiteral("report")).toObject().value(QStringLiteral("template")).toString(),
              QStringLiteral("SummHours"));
    EXPECT_EQ(json.value(QStringLiteral("subreport1")).toArray().size(), int(debitPersons));
}

TEST_F(BuildReportTest, ParametersReachTheTemplate)
{
    app->state.ReportNumber = 1;
    app->state.ReportRunId = 999999;  // no rows: the report still builds
    app->state.ReportSortField = QStringLiteral("P");
    app->state.ReportStartDate = QDate(2026, 7, 14);
    app->state.ReportEndDate = QDate(2026, 7, 20);
    ASSERT_TRUE(BuildReport(*app, key));
    EXPECT_EQ(app->state.OpenReport->parameter(QStringLiteral("SortField")).value().toString(), QStringLiteral("P"));
    EXPECT_EQ(app->state.OpenReport->parameter(QStringLiteral("StartDate")).value().toDate(), QDate(2026, 7, 14));
}

TEST_F(BuildReportTest, RejectionsShowTheirMessageAndMissingTemplateIsAnError)
{
    app->state.ReportNumber = 8;
    app->state.MainSql = QStringLiteral("old");
    EXPECT_FALSE(BuildReport(*app, key));
    EXPECT_TRUE(app->state.MainSql.isEmpty());
    EXPECT_EQ(dialogs.log().value(0),
              QStringLiteral("MESSAGE Modulerpts.GetSQL | No Report Identified to Create SQL For"));

    app->state.ReportNumber = 12;  // crew roster without a crew
    EXPECT_FALSE(BuildReport(*app, key));
    EXPECT_EQ(dialogs.log().value(2), QStringLiteral("MESSAGE Quillon: GetSQLRS | No Crew Selected"));

    app->state.ReportNumber = 11;  // no template of that name in the test folder
    EXPECT_THROW(BuildReport(*app, key), DbError);
}

TEST_F(BuildReportTest, UninvoicedHoursAndTableExists)
{
    EXPECT_EQ(roundHalfToEven(7.5), 8);
    EXPECT_EQ(roundHalfToEven(6.5), 6);
    EXPECT_EQ(roundHalfToEven(6.49), 6);
    EXPECT_EQ(roundHalfToEven(0.0), 0);

    const QDate start(2026, 7, 1), end(2026, 9, 30);
    const double sum = scalar(QStringLiteral(
        "Select sum(Hours) from PersonsPost where PersonID = 1 and ActivityDT between '2026-07-01' and '2026-09-30' "
        "and InvoiceID = 0"));
    EXPECT_EQ(UninvoicedHours(*app, 1, start, end), roundHalfToEven(sum));
    EXPECT_EQ(UninvoicedHours(*app, 1, QDate(2020, 1, 1), QDate(2020, 1, 31)), 0);

    EXPECT_FALSE(TableExists(*app, QStringLiteral("#tmp")));
    EXPECT_TRUE(dialogs.log().isEmpty());
    db.execute(QStringLiteral("Create Table #tmp (PersonID integer)"));
    EXPECT_TRUE(TableExists(*app, QStringLiteral("#tmp")));
}
