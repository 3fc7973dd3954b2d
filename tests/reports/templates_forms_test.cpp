// Forms printed one per person or per piece of equipment, built from the
// sample database: their pages against golden files, their check boxes, and
// their figures against the database.
#include "templates_harness.h"

using namespace quillon;
using namespace quillon::templates_test;

namespace {

TEST(CommAuthorizationTemplate, OneSignedFormPerPersonWithTheirAnswersTicked)
{
    const Built one = buildCase("CommAuthorization");   // person 30: initial employment, no return travel
    ASSERT_EQ(one.doc.pageCount(), 1);
    EXPECT_EQ(checkBoxes(one.doc.pages[0]), (std::vector<bool>{true, false, false, true}));

    // A crew: one form per member, each on its own page numbered 1 of 1,
    // with the member's own answers.
    const Built crew = buildReport(stateFrom(9, {QStringLiteral("SelectedIncidentId=1"), QStringLiteral("SelectedResourceId=2")}));
    RecordsetPtr members = sampleDb().openRecordset(QStringLiteral(
        "select LastName || ', ' || FirstName, InitEmployYN, ReturnTravelYN from Persons where ResourceID = 2 "
        "order by LastName, FirstName, PersonID"));
    ASSERT_EQ(crew.doc.pageCount(), members->recordCount());
    for (int i = 0; i < members->recordCount(); ++i) {
        const Page& page = crew.doc.pages[size_t(i)];
        const QStringList lines = pageLines(page);
        const QString name = members->at(i, 0).toString();
        EXPECT_FALSE(lines.filter(name).isEmpty()) << name.toStdString();
        EXPECT_TRUE(lines.last().endsWith(QStringLiteral("| Page 1 of 1")));
        const bool init = members->at(i, 1).toString() == QLatin1String("Y");
        const bool travel = members->at(i, 2).toString() == QLatin1String("Y");
        EXPECT_EQ(checkBoxes(page), (std::vector<bool>{init, !init, travel, !travel})) << name.toStdString();
    }
}

}  // namespace
