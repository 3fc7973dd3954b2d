// The report plan around the SQL: catalogue, messages and silent rejections,
// template parameters and titles, and report inputs set by name.
#include "reports/catalogue/reportinputs.h"
#include "reports/catalogue/reportplan.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// A state in which every report of the catalogue can be built.
AppState buildableState(int report)
{
    AppState s;
    s.ReportNumber = std::int16_t(report);
    s.SelectedIncidentId = 12;
    s.SelectedResourceId = 300;
    s.SelectedContractorId = 7;
    s.SelectedEquipmentId = 42;
    s.ReportRunId = 5;
    s.ContractType = QStringLiteral("0");
    s.InvoicePrintMode = 1;
    s.ReportStartDate = QDate(2024, 6, 1);
    s.ReportEndDate = QDate(2024, 6, 30);
    // Report 15 needs an office to select by: the fax run's number.
    s.FaxMode = report == 15;
    s.CurrentFaxNumber = QStringLiteral("5035551234");
    return s;
}

}  // namespace

TEST(ReportPlan, EveryCatalogueReportPlansItsTemplateDataSetsAndParameters)
{
    const struct {
        int number;
        const char* templateName;
        int dataSets;
        int section;
        TitleSlot slot;
    } expected[] = {
        {1, "WorkRest", 1, 0, TitleSlot::ReportTitle},          {2, "CommissaryCharges", 1, 0, TitleSlot::ReportTitle},
        {3, "SummHours", 2, 8, TitleSlot::ReportTitle},         {4, "SummContractor", 1, 0, TitleSlot::ReportTitle},
        {5, "ExcessHours", 1, 0, TitleSlot::ReportTitle},       {6, "OF288", 2, 25, TitleSlot::ReportTitle},
        {7, "OF286", 1, 0, TitleSlot::ReportTitle},             {9, "CommAuthorization", 1, 0, TitleSlot::ReportTitle},
        {10, "ContractorDebits", 1, 0, TitleSlot::ReportTitle2}, {11, "EquipMgmt", 1, 0, TitleSlot::ReportTitle},
        {12, "CrewRoster", 1, 0, TitleSlot::ReportTitle},       {13, "EquipDeductions", 1, 0, TitleSlot::ReportTitle2},
        {14, "CommissaryDetail", 1, 0, TitleSlot::ReportTitle2}, {15, "IncidentTime", 1, 0, TitleSlot::ReportTitle},
    };
    ASSERT_EQ(reportCatalogue().size(), std::size(expected));
    for (const auto& e : expected) {
        SCOPED_TRACE(e.number);
        const ReportPlan plan = planReport(buildableState(e.number), 0);
        ASSERT_TRUE(plan.proceed);
        ASSERT_NE(plan.entry, nullptr);
        EXPECT_EQ(plan.templateName, QString::fromLatin1(e.templateName));
        EXPECT_EQ(plan.dataSetSql.size(), e.dataSets);
        EXPECT_EQ(plan.entry->subreportSection, e.section);
        EXPECT_EQ(plan.titleSlot, e.slot);
        QStringList names;
        for (const ReportParameter& p : plan.parameters) names << p.name;
        EXPECT_EQ(names, plan.entry->parameters);
    }
}

TEST(ReportPlan, UnknownReportNumbersAreRefusedWithACriticalMessage)
{
    for (int number : {8, 0, 16, -1}) {
        SCOPED_TRACE(number);
        AppState s = buildableState(number);
        const ReportPlan plan = planReport(s, 0);
        EXPECT_FALSE(plan.proceed);
        EXPECT_EQ(plan.entry, nullptr);
        EXPECT_TRUE(plan.dataSetSql.isEmpty());
        EXPECT_TRUE(plan.mainSql().isEmpty());
        ASSERT_TRUE(plan.message.has_value());
        EXPECT_EQ(plan.message->text, QStringLiteral("No Report Identified to Create SQL For"));
        EXPECT_EQ(plan.message->icon, BuildMessageIcon::Critical);
        EXPECT_EQ(plan.message->title, QStringLiteral("Modulerpts.GetSQL"));
    }
}

TEST(ReportPlan, MissingSelectionsAreExplainedOthersRefusedSilently)
{
    const struct {
        const char* name;
        int report;
        void (*set)(AppState&);
        const char* message;  // nullptr: silent
    } cases[] = {
        {"no equipment for the OF-286", 7, [](AppState& s) { s.SelectedEquipmentId = 0; }, "No EquipmentID"},
        {"no equipment for its deductions", 13, [](AppState& s) { s.SelectedEquipmentId = -2; }, "No EquipmentID"},
        {"no contractor", 10, [](AppState& s) { s.SelectedContractorId = 0; }, "No Contractor Selected"},
        {"no crew", 12, [](AppState& s) { s.SelectedResourceId = 0; }, "No Crew Selected"},
        {"work/rest without a run", 1, [](AppState& s) { s.ReportRunId = 0; }, nullptr},
        {"excess hours without a run", 5, [](AppState& s) { s.ReportRunId = -1; }, nullptr},
        {"summary of hours, negative person", 3, [](AppState& s) { s.SelectedPersonId = -1; }, nullptr},
        {"payment summary, negative contractor", 4, [](AppState& s) { s.SelectedContractorId = -1; }, nullptr},
        {"OF-286, unknown contract type", 7, [](AppState& s) { s.ContractType = "3"; }, nullptr},
        {"deductions, empty contract type", 13, [](AppState& s) { s.ContractType.clear(); }, nullptr},
        // The contract type is looked at before the equipment.
        {"bad type wins over missing equipment", 7, [](AppState& s) { s.ContractType = "x"; s.SelectedEquipmentId = 0; }, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppState s = buildableState(c.report);
        c.set(s);
        const ReportPlan plan = planReport(s, 0);
        EXPECT_FALSE(plan.proceed);
        EXPECT_TRUE(plan.dataSetSql.isEmpty());
        if (!c.message) {
            EXPECT_FALSE(plan.message.has_value());
            continue;
        }
        ASSERT_TRUE(plan.message.has_value());
        EXPECT_EQ(plan.message->text, QString::fromLatin1(c.message));
        EXPECT_EQ(plan.message->icon, BuildMessageIcon::Information);
        EXPECT_EQ(plan.message->title, QStringLiteral("Quillon: GetSQLRS"));
    }
}

TEST(ReportPlan, ParametersCarryTheirKindsAndValues)
{
    AppState s = buildableState(7);
    s.ContractType = QStringLiteral("2");
    s.ReportDebitTotal = Currency::fromString(QStringLiteral("50.25"));
    s.ReportAdditionTotal = Currency::fromInt(20);
    s.OrigRptCode = QStringLiteral("OA");
    s.PrevInvoicesText = QStringLiteral("A, B");
    s.ReportStartDate = QDate(2024, 6, 3);
    s.ReportEndDate = QDate(2024, 10, 12);
    ReportPlan plan = planReport(s, 0);
    ASSERT_TRUE(plan.proceed);
    auto param = [&](const char* name) {
        const ReportParameter* p = plan.parameter(QString::fromLatin1(name));
        EXPECT_NE(p, nullptr) << name;
        return p ? *p : ReportParameter{};
    };
    EXPECT_EQ(param("DebitTotal").kind, ParamKind::Double);
    EXPECT_EQ(param("DebitTotal").value, Value(50.25));
    EXPECT_EQ(param("AdditionTotal").value, Value(20.0));
    EXPECT_EQ(param("ContCrew").kind, ParamKind::Boolean);
    EXPECT_EQ(param("ContCrew").value, Value(true));
    EXPECT_EQ(param("OrigRpt").value, Value("OA"));
    EXPECT_EQ(param("PrevInvoices").value, Value("A, B"));
    EXPECT_EQ(param("InclusiveDates").kind, ParamKind::Text);
    EXPECT_EQ(param("InclusiveDates").value, Value("(6/3/2024 - 10/12/2024)"));

    s.ContractType = QStringLiteral("1");
    EXPECT_EQ(planReport(s, 0).parameter(QStringLiteral("ContCrew"))->value, Value(true));
    s.ContractType = QStringLiteral("0");
    EXPECT_EQ(planReport(s, 0).parameter(QStringLiteral("ContCrew"))->value, Value(false));

    s = buildableState(5);
    s.ReportMinValue = 12.5;
    s.ReportSortField = QStringLiteral("P");
    plan = planReport(s, 0);
    EXPECT_EQ(param("StartDate").kind, ParamKind::Date);
    EXPECT_EQ(param("StartDate").value, Value(QDate(2024, 6, 1)));
    EXPECT_EQ(param("EndDate").value, Value(QDate(2024, 6, 30)));
    EXPECT_EQ(param("MinValue").value, Value(12.5));
    EXPECT_EQ(param("SortField").value, Value("P"));

    s = buildableState(15);
    s.LeaderName = QStringLiteral("Pat Doe at (555)123-4567");
    s.LeaderPhone = QStringLiteral("(555)123-4567");
    plan = planReport(s, 0);
    EXPECT_EQ(param("LeaderName").value, Value("Pat Doe at (555)123-4567"));
    EXPECT_EQ(param("LeaderPhone").value, Value("(555)123-4567"));
}

TEST(ReportPlan, TitlesGoToTheirCaptionOnlyWhenTheReportIsBuilt)
{
    AppState s = buildableState(10);
    s.ReportTitle = QStringLiteral("OF-286");
    storeTitle(planReport(s, 0), s);
    EXPECT_EQ(s.ReportTitle2, QStringLiteral("Contractor Debits"));
    EXPECT_EQ(s.ReportTitle, QStringLiteral("OF-286"));

    s.ReportNumber = 7;
    s.ContractType = QStringLiteral("1");
    storeTitle(planReport(s, 0), s);
    EXPECT_EQ(s.ReportTitle, QStringLiteral("OF-286 Contract Crew"));

    s.ReportNumber = 13;
    s.SelectedEquipmentId = 0;
    storeTitle(planReport(s, 0), s);
    EXPECT_EQ(s.ReportTitle2, QStringLiteral("Contractor Debits"));
}

TEST(ReportInputs, MembersAreSetByNameFromText)
{
    AppState s;
    EXPECT_EQ(s.DatabaseKind, DbKind::Access);
    QString error;
    const struct {
        const char* name;
        const char* value;
    } inputs[] = {
        {"SelectedIncidentId", "-1"},     {"manageincidentsasone", "TRUE"}, {"SelectedInvoiceId", "40000"},
        {"ReportEndDate", "06/30/2024"},  {"ReportStartDate", "6/1/2024"},  {"ReportMinValue", "12.5"},
        {"ReportDebitTotal", "1,000.01"}, {"InvoicePrintMode", "3"},        {"ContractType", "2"},
        {"CurrentFaxNumber", "O'Brien"},  {"DatabaseKind", "SqlServer"},    {"FaxMode", "false"},
    };
    for (const auto& in : inputs)
        EXPECT_TRUE(assignReportInput(s, QString::fromLatin1(in.name), QString::fromLatin1(in.value), &error))
            << in.name << ": " << error.toStdString();
    EXPECT_EQ(s.SelectedIncidentId, -1);
    EXPECT_TRUE(s.ManageIncidentsAsOne);
    EXPECT_EQ(s.SelectedInvoiceId, 40000);
    EXPECT_EQ(s.ReportEndDate, QDate(2024, 6, 30));
    EXPECT_EQ(s.ReportStartDate, QDate(2024, 6, 1));
    EXPECT_EQ(s.ReportMinValue, 12.5);
    EXPECT_EQ(s.ReportDebitTotal, Currency::fromRaw(10000100));
    EXPECT_EQ(s.InvoicePrintMode, 3);
    EXPECT_EQ(s.ContractType, QStringLiteral("2"));
    EXPECT_EQ(s.CurrentFaxNumber, QStringLiteral("O'Brien"));
    EXPECT_EQ(s.DatabaseKind, DbKind::SqlServer);
    EXPECT_FALSE(s.FaxMode);
}

TEST(ReportInputs, BadNamesAndValuesChangeNothing)
{
    AppState s;
    s.OriginalNumber = 4;
    s.ReportEndDate = QDate(2024, 6, 30);
    QString error;
    EXPECT_FALSE(assignReportInput(s, QStringLiteral("OriginalNumber"), QStringLiteral("40000"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("OriginalNumber")));
    EXPECT_FALSE(assignReportInput(s, QStringLiteral("ReportEndDate"), QStringLiteral("2024-13-01"), &error));
    EXPECT_FALSE(assignReportInput(s, QStringLiteral("FaxMode"), QStringLiteral("yes please"), &error));
    EXPECT_FALSE(assignReportInput(s, QStringLiteral("SelectedPersonId"), QStringLiteral("12x"), &error));
    EXPECT_FALSE(assignReportInput(s, QStringLiteral("NoSuchThing"), QStringLiteral("1"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("NoSuchThing")));
    EXPECT_EQ(s.OriginalNumber, 4);
    EXPECT_EQ(s.ReportEndDate, QDate(2024, 6, 30));
    EXPECT_FALSE(s.FaxMode);
    EXPECT_EQ(s.SelectedPersonId, 0);
}
