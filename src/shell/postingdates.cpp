#include "shell/postingdates.h"

#include "shell/app.h"
#include "ui/datehint.h"
#include "ui/errorboundary.h"

namespace quillon {

namespace {

QString shown(const QDate& date)
{
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

}  // namespace

QString PostingDates::text() const
{
    if (unavailable) return QStringLiteral("The posting dates cannot be read.");
    if (scope == Scope::NoIncident) return QStringLiteral("No incident is chosen.");
    const bool all = scope == Scope::AllIncidents;
    if (!any()) return all ? QStringLiteral("No incident has dated postings.")
                           : QStringLiteral("This incident has no dated postings.");
    return (all ? QStringLiteral("Postings of all incidents: %1 to %2") : QStringLiteral("Postings of this incident: %1 to %2"))
        .arg(shown(first), shown(last));
}

QString postingDatesSql(std::int32_t incidentId, bool allIncidents)
{
    QString sql = QStringLiteral(
        "Select Min(PersonsPost.ActivityDT) as FirstDate, Max(PersonsPost.ActivityDT) as LastDate "
        "FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) "
        "INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID");
    if (!allIncidents) sql += QStringLiteral(" WHERE Resources.IncidentID = %1").arg(incidentId);
    return sql;
}

PostingDates postingDates(Connection& db, std::int32_t incidentId, bool allIncidents)
{
    PostingDates dates;
    dates.scope = allIncidents ? PostingDates::Scope::AllIncidents : PostingDates::Scope::Incident;
    RecordsetPtr rows = db.openRecordset(postingDatesSql(incidentId, allIncidents), CursorType::Static, LockType::ReadOnly);
    if (rows->recordCount() > 0) {
        dates.first = rows->at(0, 0).toDate();
        dates.last = rows->at(0, 1).toDate();
        if (!dates.any()) dates.first = dates.last = QDate();
    }
    rows->close();
    return dates;
}

PostingDates postingDatesOfChoice(const App& app)
{
    const AppState& s = app.state;
    PostingDates dates;
    if (!s.ManageIncidentsAsOne && s.SelectedIncidentId <= 0) {
        dates.scope = PostingDates::Scope::NoIncident;
        return dates;
    }
    if (!app.hasConnection()) {
        dates.unavailable = true;
        return dates;
    }
    try {
        return postingDates(app.SharedConnection(), s.SelectedIncidentId, s.ManageIncidentsAsOne);
    } catch (const DbError&) {
        dates.unavailable = true;
        return dates;
    }
}

DateRangeHint* postingDatesHint(App& app, UseDates use, QWidget* parent, const QString& buttonText)
{
    const auto source = [&app] {
        const PostingDates dates = postingDatesOfChoice(app);
        return DateRangeHint::Range{dates.text(), dates.first, dates.last};
    };
    const auto guardedUse = [&app, use = std::move(use)](const QDate& first, const QDate& last) {
        runGuarded(app.dialogs(), [&] { use(first, last); });
    };
    auto* hint = new DateRangeHint(source, guardedUse, buttonText, parent);
    hint->setStamp([&app] {
        return QVariant(QStringLiteral("%1 %2").arg(app.state.SelectedIncidentId).arg(app.state.ManageIncidentsAsOne));
    });
    return hint;
}

}  // namespace quillon
