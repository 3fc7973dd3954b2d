// The first and last posting dates a date window shows, from a database
// whose dates are known, and the hint row that puts them in the date boxes.
#include "shell/postingdates.h"

#include "reports/printing/printer.h"
#include "shell/app.h"
#include "ui/datehint.h"
#include "ui/dialogs.h"

#include "printers.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// Incident 1: postings 6/28, 7/3 and 7/20/2026 and one without a date, over
// two persons; incident 2: one posting on 8/5/2026; incident 3: only a
// posting without a date; incident 4: a person without postings. Equipment
// postings below.
struct PostingDatesTest : ::testing::Test {
    void SetUp() override
    {
        const QString file = dir.filePath(QStringLiteral("dates.db"));
        Connection::createEmbeddedDatabase(file);
        db.openEmbedded(file);
        db.execute(QStringLiteral("Insert into Incidents (IncidentID, IncidentName) values (1, 'A'), (2, 'B'), (3, 'C'), (4, 'D')"));
        db.execute(QStringLiteral("Insert into Resources (ResourceID, IncidentID, Name) values (10, 1, 'R10'), (11, 1, 'R11'), "
                                  "(20, 2, 'R20'), (30, 3, 'R30'), (40, 4, 'R40')"));
        db.execute(QStringLiteral("Insert into Persons (PersonID, ResourceID, LastName) values (100, 10, 'P'), (110, 11, 'Q'), "
                                  "(200, 20, 'R'), (300, 30, 'S'), (400, 40, 'T')"));
        db.execute(QStringLiteral("Insert into PersonsPost (PersonID, ActivityDT, Hours) values (100, '2026-07-03', 8), "
                                  "(100, '2026-07-20', 8), (110, '2026-06-28', 4), (110, NULL, 2), (200, '2026-08-05', 8), "
                                  "(300, NULL, 8)"));
        // Equipment: incident 1 on 7/1 and 7/9/2026, incident 2 on 8/2/2026.
        db.execute(QStringLiteral("Insert into Equipment (EquipmentID, ResourceID, UniqueEquipmentName) values "
                                  "(1, 10, 'E1'), (2, 11, 'E2'), (3, 20, 'E3')"));
        db.execute(QStringLiteral("Insert into ContractorPost (EquipmentID, ActivityDT, Units) values (1, '2026-07-09', 1), "
                                  "(2, '2026-07-01', 1), (2, NULL, 1), (3, '2026-08-02', 1)"));
        app.attachConnection(db);
    }

    QTemporaryDir dir;
    Connection db;
    ScriptedDialogs dialogs;
    App app{dialogs, std::make_shared<reports::FolderPrinter>(QStringLiteral("/nonexistent"))};
};

}  // namespace

TEST_F(PostingDatesTest, FirstAndLastDatesOfTheChosenIncidentOrOfAll)
{
    struct Case {
        std::int32_t incident;
        bool asOne;
        const char* text;
    };
    const Case cases[] = {
        {1, false, "Postings: 06/28/2026 to 07/20/2026"},
        {2, false, "Postings: 08/05/2026 to 08/05/2026"},
        {3, false, "No dated postings for this incident."},
        {4, false, "No dated postings for this incident."},
        {99, false, "No dated postings for this incident."},
        {0, false, "No incident is chosen."},
        {-1, true, "All incidents' postings: 06/28/2026 to 08/05/2026"},
        {3, true, "All incidents' postings: 06/28/2026 to 08/05/2026"},
    };
    for (const Case& c : cases) {
        app.state.SelectedIncidentId = c.incident;
        app.state.ManageIncidentsAsOne = c.asOne;
        const PostingDates dates = postingDatesOfChoice(app);
        EXPECT_EQ(dates.text(), QString::fromLatin1(c.text)) << c.incident << c.asOne;
        EXPECT_EQ(dates.any(), dates.text().contains(QLatin1String("ostings: "))) << c.incident;
    }
    EXPECT_EQ(postingDates(db, PostingKind::Personnel, 1, false).first, QDate(2026, 6, 28));
    EXPECT_EQ(postingDates(db, PostingKind::Personnel, 1, false).last, QDate(2026, 7, 20));

    const std::pair<std::int32_t, const char*> equipment[] = {
        {1, "Equipment postings: 07/01/2026 to 07/09/2026"},
        {3, "No dated equipment postings for this incident."},
        {-1, "All incidents' equipment postings: 07/01/2026 to 08/02/2026"}};
    for (const auto& [incident, text] : equipment) {
        app.state.SelectedIncidentId = incident;
        app.state.ManageIncidentsAsOne = incident < 0;
        EXPECT_EQ(postingDatesOfChoice(app, PostingKind::Equipment).text(), QString::fromLatin1(text)) << incident;
    }

    // No database to ask: the hint says so, and no message interrupts.
    db.execute(QStringLiteral("Delete from PersonsPost"));
    app.state.ManageIncidentsAsOne = true;
    EXPECT_EQ(postingDatesOfChoice(app).text(), QStringLiteral("No dated postings in any incident."));
    db.close();
    EXPECT_EQ(postingDatesOfChoice(app).text(), QStringLiteral("The posting dates cannot be read."));
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST_F(PostingDatesTest, HintUsesTheDatesOfTheIncidentChosenWhenItShows)
{
    app.state.SelectedIncidentId = 2;
    QDate usedFirst, usedLast;
    std::unique_ptr<DateRangeHint> hint(postingDatesHint(app, [&](const QDate& first, const QDate& last) {
        usedFirst = first;
        usedLast = last;
    }));
    auto* button = hint->findChild<QPushButton*>(QStringLiteral("cmdUseDates"));
    ASSERT_NE(button, nullptr);

    // Another incident chosen meanwhile: showing the hint asks again.
    app.state.SelectedIncidentId = 1;
    hint->show();
    EXPECT_EQ(hint->findChild<QLabel*>(QStringLiteral("lblPostingDates"))->text(),
              QStringLiteral("Postings: 06/28/2026 to 07/20/2026"));
    button->click();
    EXPECT_EQ(usedFirst, QDate(2026, 6, 28));
    EXPECT_EQ(usedLast, QDate(2026, 7, 20));

    // Another incident chosen while it shows (the main menu re-shows an
    // open window without a new show event): the hint follows. Nothing to
    // use: the button rests.
    app.state.SelectedIncidentId = 3;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->isEnabled(); }));
    EXPECT_EQ(hint->range().text, QStringLiteral("No dated postings for this incident."));
}
