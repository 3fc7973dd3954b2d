// The commissary authorization (Form9) and crew roster (Form12) windows:
// their lists, how one choice clears or follows another, and whom the
// report then covers.
#include "rosters_fixture.h"
#include "ui/datacombo.h"

#include <QRadioButton>

using namespace rosters_test;

namespace {

class SelectionWindowTest : public RostersTest {
protected:
    DataCombo* list(const QString& form, const QString& name, int index = -1) const
    {
        for (DataCombo* c : app->windows().window(form)->findChildren<DataCombo*>(name))
            if (index < 0 || c->property("index").toInt() == index) return c;
        return nullptr;
    }
    QStringList items(DataCombo* combo) const
    {
        QStringList out;
        for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
        return out;
    }
    bool optionSet(const QString& name) const
    {
        return app->windows().window(QStringLiteral("Form9"))->findChild<QRadioButton*>(name)->isChecked();
    }
    // Last names of the report's rows.
    QStringList reportNames() const
    {
        QStringList out;
        const RecordsetPtr& rows = app->state.MainDataSet;
        const int field = rows->requireField(QStringLiteral("LastName"));
        for (int r = 0; r < rows->recordCount(); ++r) out << rows->at(r, field).toString();
        out.sort();
        return out;
    }
};

}  // namespace

TEST_F(SelectionWindowTest, CommissaryListsAndTheRequestNumberListReturnsAResource)
{
    app->state.SelectedPersonId = 5;
    run(QStringLiteral("open Form9\n"));
    EXPECT_EQ(app->state.SelectedPersonId, 0);
    EXPECT_EQ(items(list(QStringLiteral("Form9"), QStringLiteral("dbcCrewName"))),
              (QStringList{QStringLiteral("Alpha Crew"), QStringLiteral("Zulu Crew")}));
    EXPECT_EQ(items(list(QStringLiteral("Form9"), QStringLiteral("dbcRequestNum"))),
              (QStringList{QStringLiteral("C-5"), QStringLiteral("C-12"), QStringLiteral("O-3")}));
    EXPECT_EQ(items(list(QStringLiteral("Form9"), QStringLiteral("dbcPerson"))).size(), 7);
    for (const QString& option : {QStringLiteral("CrewOption"), QStringLiteral("ReqNumOption"),
                                  QStringLiteral("PersonnelOption"), QStringLiteral("AllOption")})
        EXPECT_FALSE(optionSet(option)) << option.toStdString();

    run(QStringLiteral("pick Form9.dbcRequestNum O-3\nclick Form9.RunButton\n"));
    EXPECT_TRUE(optionSet(QStringLiteral("ReqNumOption")));
    EXPECT_EQ(app->state.SelectedResourceId, 3);
    EXPECT_EQ(reportNames(), QStringList{QStringLiteral("Dunn")});
    EXPECT_NE(app->output().window(1), nullptr);
}

TEST_F(SelectionWindowTest, CommissaryLaterChoiceWinsAndAllPersonnelReportsEverybody)
{
    run(QStringLiteral("open Form9\npick Form9.dbcPerson \"Able, Ann\"\npick Form9.dbcCrewName \"Zulu Crew\"\n"
                       "click Form9.RunButton\n"));
    EXPECT_TRUE(list(QStringLiteral("Form9"), QStringLiteral("dbcPerson"))->text().isEmpty());
    EXPECT_TRUE(optionSet(QStringLiteral("CrewOption")));
    EXPECT_EQ(reportNames(), (QStringList{QStringLiteral("Cole"), QStringLiteral("Hart")}));

    run(QStringLiteral("pick Form9.dbcPerson \"Hart, Hal\"\nclick Form9.RunButton\n"));
    EXPECT_TRUE(list(QStringLiteral("Form9"), QStringLiteral("dbcCrewName"))->text().isEmpty());
    EXPECT_EQ(app->state.SelectedResourceId, 0);
    EXPECT_EQ(reportNames(), QStringList{QStringLiteral("Hart")});

    run(QStringLiteral("pick Form9.dbcCrewName \"Zulu Crew\"\nclick Form9.AllOption\nclick Form9.RunButton\n"));
    EXPECT_EQ(list(QStringLiteral("Form9"), QStringLiteral("dbcCrewName"))->text(), QStringLiteral("Zulu Crew"));
    EXPECT_EQ(reportNames().size(), 7);

    // Another window may change the shared choice; the run writes its own again.
    app->state.SelectedPersonId = 8;
    run(QStringLiteral("click Form9.RunButton\n"));
    EXPECT_EQ(reportNames().size(), 7);

    app->state.ManageIncidentsAsOne = true;
    run(QStringLiteral("click Form9.RunButton\n"));
    EXPECT_EQ(app->state.SelectedIncidentId, -1);
    EXPECT_EQ(reportNames().size(), 8);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(SelectionWindowTest, CrewRosterPickersStayInStepAndEachListKeepsItsOrder)
{
    run(QStringLiteral("open Form12\nclick Form12.cmdPrint\n"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("MESSAGE Quillon: GetSQLRS | No Crew Selected")});
    EXPECT_EQ(app->output().window(1), nullptr);

    DataCombo* byNumber = list(QStringLiteral("Form12"), QStringLiteral("dbcReqNum"), 0);
    DataCombo* byName = list(QStringLiteral("Form12"), QStringLiteral("dbcReqNum"), 1);
    run(QStringLiteral("pick Form12.dbcReqNum(1) \"Alpha Crew\"\n"));
    EXPECT_EQ(items(byName), (QStringList{QStringLiteral("Alpha Crew"), QStringLiteral("Zulu Crew")}));
    EXPECT_EQ(byNumber->text(), QStringLiteral("C-12"));
    EXPECT_EQ(app->state.SelectedResourceId, 1);

    run(QStringLiteral("pick Form12.dbcReqNum(0) C-5\nclick Form12.cmdPrint\n"));
    EXPECT_EQ(items(byNumber), (QStringList{QStringLiteral("C-5"), QStringLiteral("C-12")}));
    EXPECT_EQ(byName->text(), QStringLiteral("Zulu Crew"));
    EXPECT_EQ(app->state.SelectedResourceId, 2);
    EXPECT_EQ(reportNames(), (QStringList{QStringLiteral("Cole"), QStringLiteral("Hart")}));
    EXPECT_NE(app->output().window(1), nullptr);
}
