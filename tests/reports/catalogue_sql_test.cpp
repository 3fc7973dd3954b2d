// Whole SQL texts of every report over the branches of each (the case table
// is catalogue_cases.h).
#include "catalogue_cases.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::catalogue_cases;

namespace {

void expectSql(int report)
{
    const auto cases = casesOf(report);
    ASSERT_FALSE(cases.empty());
    for (const SqlCase* c : cases) {
        SCOPED_TRACE(c->name);
        const PlannedCase p = planCase(*c);
        if (c->builderRefuses) {
            EXPECT_FALSE(p.plan.proceed);
            EXPECT_TRUE(p.plan.message && !p.plan.message->text.isEmpty());
            continue;
        }
        ASSERT_TRUE(p.plan.proceed);
        ASSERT_EQ(p.plan.dataSetSql.size(), c->sql.size());
        for (int i = 0; i < c->sql.size(); ++i) EXPECT_EQ(p.plan.dataSetSql[i].toStdString(), c->sql[i].toStdString());
        if (!c->title.isEmpty()) EXPECT_EQ(p.plan.title, c->title);
    }
}

}  // namespace

TEST(PersonnelReportSql, WorkRestAndExcessHoursReadOneRunInTheChosenOrder)
{
    expectSql(1);
    expectSql(5);
}

TEST(PersonnelReportSql, CommissaryChargesFilterByIncidentUnlessManagedAsOne) { expectSql(2); }

TEST(PersonnelReportSql, SummaryOfHoursAndItsDebitSums) { expectSql(3); }

TEST(PersonnelReportSql, Of288PostingsAndDebitsByChoiceAndPrintMode) { expectSql(6); }

TEST(PersonnelReportSql, CommissaryAuthorizationByPersonCrewOrEveryone) { expectSql(9); }

TEST(PersonnelReportSql, CrewRosterOfOneCrew) { expectSql(12); }

TEST(PersonnelReportSql, CommissaryDetailByChoiceAndPrintMode) { expectSql(14); }

TEST(PersonnelReportSql, PersonnelTimeReportSelectsCheckedOfficesOrTheFaxedNumber) { expectSql(15); }

TEST(EquipmentReportSql, PaymentSummaryByContractorAndIncident) { expectSql(4); }

TEST(EquipmentReportSql, Of286ByContractTypeAndPrintMode) { expectSql(7); }

TEST(EquipmentReportSql, ContractorDebitsOfOneContractor) { expectSql(10); }

TEST(EquipmentReportSql, EquipmentManagementReadsTheView) { expectSql(11); }

TEST(EquipmentReportSql, DeductionsAndAdditionsByContractTypeAndPrintMode) { expectSql(13); }
