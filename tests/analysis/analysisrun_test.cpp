// Whole runs of both analyses over a copy of the sample database with
// hand-made postings: the rows the report read, against an oracle of the
// work/rest rules computed here from the raw postings and against shifts
// worked out by hand; every selection, all incidents as one, and no scratch
// rows left behind by any run.
#include "analysis/analysisrun.h"

#include "analysis/analysiswindowlogic.h"
#include "shell/buildreport.h"
#include "reports/engine/report_engine.h"
#include "sampledatabase.h"

#include <functional>
#include <map>

using namespace quillon;
using analysistest::SampleDatabase;

namespace {

const QDate oct1(2026, 10, 1), oct8(2026, 10, 8), sep1(2026, 9, 1), sep30(2026, 9, 30), jan31(2027, 1, 31);

class AnalysisRun : public SampleDatabase {
protected:
    AnalysisRequest request(SelectionOption option, QDate start, QDate end, const QString& requestNumber = {},
                            ReportSort sort = ReportSort::Total)
    {
        return AnalysisRequest{option, requestNumber, start, end, sort};
    }

    // The rows the report read: "person date day-hours both-days flags incident"
    // for work/rest, "person date shift-hours request incident" for excess hours.
    QStringList reportRows(bool workRest)
    {
        QStringList out;
        const RecordsetPtr& rs = app->state.MainDataSet;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            const QString head = QStringLiteral("%1 %2 %3").arg(rs->value("PersonID").toInt())
                                     .arg(rs->value("ActivityDT").toDate().toString(Qt::ISODate))
                                     .arg(rs->value("TotalDayHrs").toDouble());
            out << (workRest ? QStringLiteral("%1 %2 %3%4 %5").arg(head).arg(rs->value("ExcessHrs").toDouble())
                                   .arg(rs->value("HR20in24").toBool() ? "T" : "F", rs->value("HR36in48").toBool() ? "T" : "F",
                                        rs->value("IncidentName").toString())
                             : QStringLiteral("%1 %2 %3").arg(head, rs->value("RequestNumber").toString(),
                                                              rs->value("IncidentName").toString()));
        }
        out.sort();
        return out;
    }

    // The work/rest rules applied to the raw postings: per person and calendar
    // day all hours together; over 16 in the day, or over 32 with the same
    // person's previous calendar day. `selects` picks persons by
    // (PersonID, IncidentID, RequestNumber).
    QStringList workRestOracle(QDate start, QDate end, const std::function<bool(int, int, QString)>& selects)
    {
        RecordsetPtr rs = db.openRecordset(QStringLiteral(
            "Select pp.PersonID, pp.ActivityDT, pp.Hours, r.IncidentID, r.RequestNumber, i.IncidentName "
            "from PersonsPost pp join Persons p on p.PersonID = pp.PersonID join Resources r on r.ResourceID = "
            "p.ResourceID join Incidents i on i.IncidentID = r.IncidentID"));
        std::map<std::pair<int, qint64>, double> hours;
        std::map<int, QString> incidentOf;
        for (int r = 0; r < rs->recordCount(); ++r) {
            const int person = rs->at(r, 0).toInt();
            if (!selects(person, rs->at(r, 3).toInt(), rs->at(r, 4).toString())) continue;
            hours[{person, rs->at(r, 1).toDate().toJulianDay()}] += rs->at(r, 2).toDouble();
            incidentOf[person] = rs->at(r, 5).toString();
        }
        QStringList out;
        for (const auto& [key, day] : hours) {
            const QDate date = QDate::fromJulianDay(key.second);
            if (date < start || date > end) continue;
            const auto before = hours.find({key.first, key.second - 1});
            const double both = day + (before == hours.end() ? 0.0 : before->second);
            if (day > 16 || both > 32)
                out << QStringLiteral("%1 %2 %3 %4 %5%6 %7").arg(key.first).arg(date.toString(Qt::ISODate)).arg(day)
                           .arg(both).arg(day > 16 ? "T" : "F", both > 32 ? "T" : "F", incidentOf[key.first]);
        }
        out.sort();
        return out;
    }
    static std::function<bool(int, int, QString)> inIncident(int incident)
    {
        return [incident](int, int i, const QString&) { return i == incident; };
    }
};

}  // namespace

TEST_F(AnalysisRun, WorkRestJudgesEachPersonsOwnCalendarDaysWhateverTheSelection)
{
    app->state.ReportNumber = 1;
    // The oracle itself, against the days worked out by hand: 16 exactly and
    // 16 + 16 are not over; two postings or two kinds of a day count
    // together; a day off between breaks the 48 hours; months and years turn.
    const QStringList limitTest = workRestOracle(oct1, jan31, inIncident(3));
    ASSERT_EQ(limitTest, (QStringList{
        "9001 2026-10-03 16.5 32.5 TT Limit Test", "9001 2026-10-04 20 36.5 TT Limit Test",
        "9001 2026-10-06 17 17 TF Limit Test", "9002 2026-10-09 33 33 TT Limit Test",
        "9003 2026-12-31 17 17 TF Limit Test", "9003 2027-01-01 16 33 FT Limit Test",
        "9004 2026-10-31 17 17 TF Limit Test", "9004 2026-11-01 16 33 FT Limit Test"}));

    struct Case {
        const char* name;
        SelectionOption option;
        QDate start, end;
        QString requestNumber;
        std::int32_t person;
        std::function<bool(int, int, QString)> selects;
    };
    const std::vector<Case> cases = {
        {"everybody", SelectionOption::AllPersonnel, oct1, jan31, {}, 0, inIncident(3)},
        {"a range starting on a flagged day", SelectionOption::None, QDate(2026, 10, 3), QDate(2026, 10, 4), {}, 0, inIncident(3)},
        {"the first day of a year", SelectionOption::AllPersonnel, QDate(2027, 1, 1), jan31, {}, 0, inIncident(3)},
        {"a leading part of a request number", SelectionOption::RequestNumber, oct1, jan31, "C-1", 0,
         [](int, int i, const QString& r) { return i == 3 && r.startsWith("C-1"); }},
        {"one person", SelectionOption::Person, oct1, jan31, {}, 9004, [](int p, int, const QString&) { return p == 9004; }},
        {"the sample's first incident in July", SelectionOption::AllPersonnel, QDate(2026, 7, 1), QDate(2026, 7, 31), {}, 0,
         inIncident(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app->state.SelectedIncidentId = c.name == std::string("the sample's first incident in July") ? 1 : 3;
        app->state.SelectedPersonId = c.person;
        const QStringList expected = workRestOracle(c.start, c.end, c.selects);
        ASSERT_FALSE(expected.isEmpty());
        for (DbKind kind : {DbKind::SqlServer, DbKind::Access}) {
            app->state.DatabaseKind = kind;
            const RunResult r = runWorkRest(*app, request(c.option, c.start, c.end, c.requestNumber));
            EXPECT_EQ(r.outcome, RunOutcome::Reported);
            EXPECT_EQ(reportRows(true), expected);
            EXPECT_EQ(scratchRows(), 0);
        }
    }
    EXPECT_TRUE(dialogs.log().isEmpty()) << dialogs.log().join('\n').toStdString();
}

TEST_F(AnalysisRun, ExcessHoursJoinsRealTimesAcrossMidnightAndRefusesAMissingStandard)
{
    app->state.SelectedIncidentId = 4;
    app->state.ReportNumber = 5;
    app->state.ReportMinValue = 12;
    // Worked out by hand: 30 minutes join; 00:00-06:30 and the next day's
    // 05:30 do not; a night broken by 45 minutes joins, one broken by 90 does
    // not; a posting past midnight counts whole; an open posting neither adds
    // nor breaks; 12 exactly is not over. A shift is dated by its last posting.
    const QStringList all = {
        "9101 2026-09-01 12.5 C-88 Shift Test", "9101 2026-09-05 12.25 C-88 Shift Test",
        "9101 2026-09-08 13 C-88 Shift Test",   "9101 2026-09-10 12.5 C-88 Shift Test",
        "9101 2026-10-01 12.75 C-88 Shift Test", "9101 2027-01-01 12.5 C-88 Shift Test",
        "9102 2026-09-02 13 C-88 Shift Test",   "9102 2026-10-05 18 C-88 Shift Test",
        "9103 2026-09-01 13 C-88 Shift Test"};
    for (DbKind kind : {DbKind::SqlServer, DbKind::Access}) {
        app->state.DatabaseKind = kind;
        EXPECT_EQ(runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, jan31)).outcome, RunOutcome::Reported);
        EXPECT_EQ(reportRows(false), all);
    }
    // A range that starts after midnight of a night shift still sees all of it.
    runExcessHours(*app, request(SelectionOption::None, oct1, QDate(2026, 10, 31)));
    EXPECT_EQ(reportRows(false), (QStringList{"9101 2026-10-01 12.75 C-88 Shift Test", "9102 2026-10-05 18 C-88 Shift Test"}));
    EXPECT_EQ(scratchRows(), 0);
    EXPECT_TRUE(messages().isEmpty());

    app->state.ReportMinValue = 18;
    EXPECT_EQ(runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, jan31)).outcome, RunOutcome::NothingFound);
    for (double standard : {0.0, -1.0}) {
        app->state.ReportMinValue = standard;
        EXPECT_EQ(runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, jan31)).outcome, RunOutcome::Refused);
    }
    EXPECT_EQ(messages(), (QStringList{
        "MESSAGE Quillon:Excess Hours Info | Nobody for your selection has Excess Hours.",
        "MESSAGE Information | Excess Hrs must be a number of hours greater than 0. ",
        "MESSAGE Information | Excess Hrs must be a number of hours greater than 0. "}));
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, OverAllIncidentsEveryRowListsUnderItsOwnIncident)
{
    app->state.ManageIncidentsAsOne = true;
    const auto everybody = [](int, int, const QString&) { return true; };
    // -1: no incident chosen in the menu; 4: another incident's key.
    for (std::int32_t chosen : {-1, 4}) {
        SCOPED_TRACE(chosen);
        app->state.SelectedIncidentId = chosen;
        app->state.ReportNumber = 1;
        RunResult r = runWorkRest(*app, request(SelectionOption::AllPersonnel, sep1, jan31));
        const QStringList expected = workRestOracle(sep1, jan31, everybody);
        EXPECT_TRUE(expected.contains("9102 2026-10-05 18 18 TF Shift Test"));
        EXPECT_EQ(reportRows(true), expected);
        EXPECT_EQ(app->state.MainDataSet->recordCount(), int(r.rowsWritten));
        runWorkRest(*app, request(SelectionOption::RequestNumber, sep1, jan31, "C-8"));
        EXPECT_EQ(reportRows(true), QStringList{"9102 2026-10-05 18 18 TF Shift Test"});

        app->state.ReportNumber = 5;
        app->state.ReportMinValue = 12;
        r = runExcessHours(*app, request(SelectionOption::AllPersonnel, QDate(2026, 12, 1), jan31));
        EXPECT_EQ(reportRows(false), QStringList{"9101 2027-01-01 12.5 C-88 Shift Test"});
        EXPECT_EQ(app->state.SelectedIncidentId, chosen);

        // The summary of hours of a person chosen over all incidents.
        app->state.ReportNumber = 3;
        app->state.SelectedPersonId = 9004;
        SummaryOfHoursLogic summary(*app);
        summary.personOption = true;
        app->state.SelectedPersonId = 9004;
        ASSERT_TRUE(summary.run());
        EXPECT_EQ(app->state.MainDataSet->recordCount(), 2);
        EXPECT_EQ(app->state.MainDataSet->value("IncidentName").toString(), QStringLiteral("Limit Test"));
    }
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, SortsKeepPersonsOfOneNameApartAndRequestNumbersInNaturalOrder)
{
    app->state.ReportNumber = 1;
    runWorkRest(*app, request(SelectionOption::AllPersonnel, oct1, jan31, {}, ReportSort::RequestNumber));
    QStringList order;
    const RecordsetPtr& rs = app->state.MainDataSet;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        if (order.isEmpty() || order.last() != rs->value("RequestNumber").toString())
            order << rs->value("RequestNumber").toString();
    EXPECT_EQ(order, (QStringList{"C-2", "C-12", "C-77"}));

    // By person: each Sam Same has his own two days and his own count.
    runWorkRest(*app, request(SelectionOption::AllPersonnel, oct1, jan31, {}, ReportSort::Person));
    const QString text = app->state.OpenReport->render().dump();
    EXPECT_EQ(text.count(QStringLiteral("2 days flagged for Sam Same")), 2) << text.toStdString();
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, ARunWhoseReportFailsLeavesNoRowsBehind)
{
    QTemporaryDir empty;
    qputenv("QUILLON_TEMPLATE_DIR", empty.path().toLocal8Bit());
    app->state.ReportNumber = 1;
    EXPECT_THROW(runWorkRest(*app, request(SelectionOption::AllPersonnel, oct1, oct8)), DbError);
    EXPECT_EQ(scratchRows(), 0);
    app->state.SelectedIncidentId = 4;
    app->state.ReportNumber = 5;
    app->state.ReportMinValue = 12;
    EXPECT_THROW(runExcessHours(*app, request(SelectionOption::AllPersonnel, sep1, sep30)), DbError);
    EXPECT_EQ(scratchRows(), 0);
}

TEST_F(AnalysisRun, ScratchRowsGoInOneTransactionWithTheColumnsEachRowSets)
{
    // 120 work/rest rows, then 1,130 excess rows (more than one statement
    // takes); a quote in a value stays data.
    std::vector<ReportRecord> rows(1250);
    for (int i = 0; i < 1250; ++i) {
        ReportRecord& rec = rows[size_t(i)];
        rec.ReportRun = 77;
        rec.PersonID = 1000 + i;
        rec.KindCode = QStringLiteral("K'%1").arg(i);
        rec.ActivityDT = QDate(2026, 10, 1).addDays(i % 5);
        rec.TotalDayHrs = 16.5 + i;
        if (i < 120) {
            rec.HR20in24 = true;
            rec.HR36in48 = i % 2 == 0;
        } else {
            rec.ExcessHrs = 0.25 * i;
        }
    }
    ConnectionAnalysisDatabase target(db);
    target.addReportRecords(rows);
    EXPECT_EQ(scratchRows(), 1250);
    RecordsetPtr back = db.openRecordset(QStringLiteral(
        "Select PersonID, KindCode, ActivityDT, TotalDayHrs, ExcessHrs, HR20in24, HR36in48 from ReportRecords "
        "where PersonID in (1001, 1118, 2249) order by PersonID"));
    ASSERT_EQ(back->recordCount(), 3);
    EXPECT_EQ(back->at(0, 1).toString(), QStringLiteral("K'1"));
    EXPECT_EQ(back->at(0, 2).toDate(), QDate(2026, 10, 2));
    EXPECT_TRUE(back->at(0, 4).isNull());   // work/rest rows leave ExcessHrs alone
    EXPECT_TRUE(back->at(0, 5).toBool() && !back->at(0, 6).toBool() && back->at(1, 6).toBool());
    EXPECT_DOUBLE_EQ(back->at(2, 3).toDouble(), 1265.5);
    EXPECT_DOUBLE_EQ(back->at(2, 4).toDouble(), 312.25);
    EXPECT_FALSE(back->at(2, 5).toBool());  // excess rows take the flags' default

    // A row the database refuses part-way through: none of the batch stays.
    db.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ReportRecords WHEN NEW.PersonID = 2180 "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    for (ReportRecord& rec : rows) rec.ReportRun = 78;
    EXPECT_THROW(target.addReportRecords(rows), DbError);
    EXPECT_EQ(scratchRows(), 1250);
}
