// The three windows driven as a person would: their controls, lists, options,
// the ExcessHrs box, and runs from the Run Report button.
#include "analysis/analysiswindows.h"
#include "analysis/windows.h"

#include "sampledatabase.h"

#include "ui/datacombo.h"
#include "ui/scriptactions.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QLineEdit>

using namespace quillon;
using analysistest::SampleDatabase;

namespace {

class AnalysisWindows : public SampleDatabase {
protected:
    void SetUp() override
    {
        SampleDatabase::SetUp();
        registerAnalysisWindows(*app);
    }
    void TearDown() override
    {
        app->windows().unloadAll();
        SampleDatabase::TearDown();
    }

    QWidget* open(const char* form) { return app->windows().show(QString::fromLatin1(form)); }
    static QWidget* control(const char* path) { return findControl(QString::fromLatin1(path)); }
    static DataCombo* list(const char* path) { return qobject_cast<DataCombo*>(control(path)); }
    static bool isSet(const char* path) { return qobject_cast<QAbstractButton*>(control(path))->isChecked(); }

    int personsOf(int incident)
    {
        return int(scalar(QStringLiteral("Select count(*) from Persons where ResourceID in (Select ResourceID from "
                                         "Resources where IncidentID = %1)").arg(incident)));
    }
};

}  // namespace

TEST_F(AnalysisWindows, PostingWindowsOpenWithNothingChosenAndTheirLists)
{
    app->state.SelectedIncidentId = 1;
    app->state.SelectedPersonId = 55;
    for (const char* form : {"Form1", "Form5"}) {
        SCOPED_TRACE(form);
        const bool workRest = QLatin1String(form) == QLatin1String("Form1");
        QWidget* w = open(form);
        const QString p = QString::fromLatin1(form) + QLatin1Char('.');
        auto at = [&](const char* name) { return findControl(p + QLatin1String(name)); };
        for (const char* option : {"ReqNumOption", "PersonnelOption", "AllOption"})
            EXPECT_FALSE(qobject_cast<QAbstractButton*>(at(option))->isChecked()) << option;
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(at("TotalSort"))->isChecked());
        EXPECT_EQ(qobject_cast<QDateEdit*>(at("StartDay"))->date(), QDate::currentDate());
        EXPECT_EQ(qobject_cast<QDateEdit*>(at("EndDate"))->date(), QDate::currentDate());
        EXPECT_EQ(app->state.SelectedPersonId, 0);

        auto* persons = qobject_cast<DataCombo*>(at("dbcPerson"));
        EXPECT_EQ(persons->count(), personsOf(1));
        EXPECT_TRUE(persons->text().isEmpty());
        auto* requests = qobject_cast<DataCombo*>(at("dbcRequestNum"));
        EXPECT_EQ(requests->count(), int(scalar("Select count(distinct RequestNumber) from Resources where IncidentID = 1")));
        EXPECT_EQ(requests->itemText(0), "C-1");   // crews first, in number order
        EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("ExcessHrs")) != nullptr, !workRest);
        app->state.SelectedPersonId = 55;
    }
    // Over all incidents the lists hold every incident's.
    app->windows().unloadAll();
    app->state.ManageIncidentsAsOne = true;
    open("Form5");
    EXPECT_EQ(list("Form5.dbcPerson")->count(), int(scalar("Select count(*) from Persons")));
}

TEST_F(AnalysisWindows, ChoosingInOneListClearsTheOtherAndAllPersonnelClearsBoth)
{
    app->state.SelectedIncidentId = 3;
    for (const char* form : {"Form1", "Form5"}) {
        SCOPED_TRACE(form);
        const QString p = QString::fromLatin1(form) + QLatin1Char('.');
        auto at = [&](const char* name) { return findControl(p + QLatin1String(name)); };
        auto checked = [&](const char* name) { return qobject_cast<QAbstractButton*>(at(name))->isChecked(); };
        auto* w = qobject_cast<PostingAnalysisWindow*>(open(form));
        auto* persons = qobject_cast<DataCombo*>(at("dbcPerson"));
        auto* requests = qobject_cast<DataCombo*>(at("dbcRequestNum"));

        typeText(requests, QStringLiteral("c-7"));
        EXPECT_TRUE(checked("ReqNumOption"));
        EXPECT_EQ(w->logic().chosenRequestNumber(), "C-7");
        typeText(requests, QString());   // typed away: no request number left
        EXPECT_TRUE(w->logic().chosenRequestNumber().isEmpty());

        pickItem(persons, QStringLiteral("Limittwo, Ben"));
        EXPECT_TRUE(checked("PersonnelOption"));
        EXPECT_EQ(app->state.SelectedPersonId, 9002);
        EXPECT_TRUE(requests->text().isEmpty());

        pickItem(requests, QStringLiteral("C-77"));
        EXPECT_TRUE(checked("ReqNumOption"));
        EXPECT_TRUE(persons->text().isEmpty());
        EXPECT_EQ(app->state.SelectedPersonId, 9002);   // kept, though no longer shown

        pickItem(persons, QStringLiteral("Limitone, Ada"));
        clickControl(at("AllOption"));
        EXPECT_TRUE(checked("AllOption"));
        EXPECT_TRUE(persons->text().isEmpty());
        EXPECT_TRUE(requests->text().isEmpty());
        // Only the excess-hours window forgets the person as well.
        EXPECT_EQ(app->state.SelectedPersonId, QLatin1String(form) == QLatin1String("Form1") ? 9001 : 0);
    }
}

TEST_F(AnalysisWindows, ExcessHrsTakesALeadingNumberAndKeepsItForTheProgramsLife)
{
    open("Form5");
    QWidget* box = control("Form5.ExcessHrs");
    typeText(box, QStringLiteral("abc"));
    typeText(box, QStringLiteral("0"));
    EXPECT_EQ(messages(), QStringList(2, "MESSAGE Information | Excess Hrs must be Numeric. "));
    EXPECT_EQ(app->state.ReportMinValue, 0.0);
    typeText(box, QStringLiteral("12.5 hours"));
    EXPECT_EQ(app->state.ReportMinValue, 12.5);
    typeText(box, QString());   // an empty box changes nothing
    EXPECT_EQ(app->state.ReportMinValue, 12.5);
    EXPECT_EQ(messages().size(), 2);

    app->windows().unload(QStringLiteral("Form5"));
    open("Form5");
    EXPECT_TRUE(qobject_cast<QLineEdit*>(control("Form5.ExcessHrs"))->text().isEmpty());
    EXPECT_EQ(app->state.ReportMinValue, 12.5);
    typeText(control("Form5.ExcessHrs"), QStringLiteral("-2"));
    EXPECT_EQ(app->state.ReportMinValue, 12.5);
    EXPECT_EQ(messages().last(), "MESSAGE Information | Excess Hrs must be a number of hours greater than 0. ");
}

TEST_F(AnalysisWindows, RunButtonReportsTheWindowsOwnAnalysisAndRemovesTheRows)
{
    app->state.ReportNumber = 3;   // the menu's last choice was another report
    open("Form1");
    typeText(control("Form1.StartDay"), QStringLiteral("10/01/2026"));
    typeText(control("Form1.EndDate"), QStringLiteral("10/08/2026"));
    typeText(control("Form1.dbcRequestNum"), QStringLiteral("c-7"));
    clickControl(control("Form1.PersonSort"));
    clickControl(control("Form1.RunButton"));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    EXPECT_EQ(app->state.OpenTemplateName, "WorkRest");
    EXPECT_EQ(app->state.ReportSortField, "P");
    EXPECT_EQ(app->state.ReportStartDate, QDate(2026, 10, 1));
    ASSERT_TRUE(app->state.MainDataSet);
    EXPECT_EQ(app->state.MainDataSet->recordCount(), 3);
    ASSERT_NE(app->output().window(1), nullptr);
    EXPECT_GE(app->output().window(1)->viewer()->pageCount(), 1);
    EXPECT_EQ(scratchRows(), 0);

    // Start after end: told so, nothing reported.
    typeText(control("Form1.EndDate"), QStringLiteral("09/30/2026"));
    clickControl(control("Form1.RunButton"));
    EXPECT_EQ(messages(), QStringList{"MESSAGE Information | No Data in this Selection. "});
}

TEST_F(AnalysisWindows, AFailedRunIsShownAndTheWindowStaysUsable)
{
    QTemporaryDir empty;
    qputenv("QUILLON_TEMPLATE_DIR", empty.path().toLocal8Bit());
    open("Form1");
    typeText(control("Form1.StartDay"), QStringLiteral("10/01/2026"));
    typeText(control("Form1.EndDate"), QStringLiteral("10/08/2026"));
    clickControl(control("Form1.RunButton"));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("MESSAGE Quillon | ")) << messages()[0].toStdString();
    EXPECT_TRUE(messages()[0].contains("WorkRest")) << messages()[0].toStdString();
    EXPECT_EQ(scratchRows(), 0);

    qputenv("QUILLON_TEMPLATE_DIR", templateDir().toLocal8Bit());
    clickControl(control("Form1.RunButton"));
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(app->state.MainDataSet->recordCount(), 3);
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisWindows, SummaryOfHoursChoosesEverybodyOrOnePerson)
{
    app->state.SelectedIncidentId = 1;
    app->state.SelectedPersonId = 55;
    open("Form3");
    EXPECT_TRUE(isSet("Form3.AllOption"));
    EXPECT_FALSE(isSet("Form3.PersonnelOption"));
    EXPECT_EQ(app->state.SelectedPersonId, 0);
    EXPECT_EQ(list("Form3.dbcPerson")->count(), personsOf(1));

    clickControl(control("Form3.RunButton"));
    const int everybody = app->state.MainDataSet->recordCount();
    EXPECT_EQ(everybody, int(scalar("Select count(*) from PersonsPost p inner join Persons s on p.PersonID = s.PersonID "
                                    "inner join Resources r on r.ResourceID = s.ResourceID where r.IncidentID = 1")));
    ASSERT_NE(app->output().window(1), nullptr);

    const QString someone = list("Form3.dbcPerson")->itemText(3);
    pickItem(control("Form3.dbcPerson"), someone);
    EXPECT_TRUE(isSet("Form3.PersonnelOption"));
    const std::int32_t person = app->state.SelectedPersonId;
    EXPECT_EQ(list("Form3.dbcPerson")->boundValue().toInt(), person);
    clickControl(control("Form3.RunButton"));
    EXPECT_EQ(app->state.MainDataSet->recordCount(),
              int(scalar(QStringLiteral("Select count(*) from PersonsPost where PersonID = %1").arg(person))));

    clickControl(control("Form3.AllOption"));
    EXPECT_TRUE(list("Form3.dbcPerson")->text().isEmpty());
    EXPECT_EQ(app->state.SelectedPersonId, 0);
    clickControl(control("Form3.RunButton"));
    EXPECT_EQ(app->state.MainDataSet->recordCount(), everybody);
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}
