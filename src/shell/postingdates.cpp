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
    const QString postings = kind == PostingKind::Equipment ? QStringLiteral("equipment postings") : QStringLiteral("postings");
    if (!any()) return all ? QStringLiteral("No dated %1 in any incident.").arg(postings)
                           : QStringLiteral("No dated %1 for this incident.").arg(postings);
    QString text = all ? QStringLiteral("All incidents' %1: %2 to %3").arg(postings, shown(first), shown(last))
                       : QStringLiteral("%1: %2 to %3").arg(postings, shown(first), shown(last));
    text[0] = text[0].toUpper();
    return text;
}

QString postingDatesSql(PostingKind kind, std::int32_t incidentId, bool allIncidents)
{
    QString sql = kind == PostingKind::Personnel
        ? QStringLiteral("Select Min(PersonsPost.ActivityDT) as FirstDate, Max(PersonsPost.ActivityDT) as LastDate "
                         "FROM (Resources INNER JOIN Persons ON Resources.ResourceID = Persons.ResourceID) "
                         "INNER JOIN PersonsPost ON Persons.PersonID = PersonsPost.PersonID")
        : QStringLiteral("Select Min(ContractorPost.ActivityDT) as FirstDate, Max(ContractorPost.ActivityDT) as LastDate "
                         "FROM (Resources INNER JOIN Equipment ON Resources.ResourceID = Equipment.ResourceID) "
                         "INNER JOIN ContractorPost ON Equipment.EquipmentID = ContractorPost.EquipmentID");
    if (!allIncidents) sql += QStringLiteral(" WHERE Resources.IncidentID = %1").arg(incidentId);
    return sql;
}

PostingDates postingDates(Connection& db, PostingKind kind, std::int32_t incidentId, bool allIncidents)
{
    PostingDates dates;
    dates.kind = kind;
    dates.scope = allIncidents ? PostingDates::Scope::AllIncidents : PostingDates::Scope::Incident;
    RecordsetPtr rows =
        db.openRecordset(postingDatesSql(kind, incidentId, allIncidents), CursorType::Static, LockType::ReadOnly);
    if (rows->recordCount() > 0) {
        dates.first = rows->at(0, 0).toDate();
        dates.last = rows->at(0, 1).toDate();
        if (!dates.any()) dates.first = dates.last = QDate();
    }
    rows->close();
    return dates;
}

PostingDates postingDatesOfChoice(const App& app, PostingKind kind)
{
    const AppState& s = app.state;
    PostingDates dates;
    dates.kind = kind;
    if (!s.ManageIncidentsAsOne && s.SelectedIncidentId <= 0) {
        dates.scope = PostingDates::Scope::NoIncident;
        return dates;
    }
    if (!app.hasConnection()) {
        dates.unavailable = true;
        return dates;
    }
    try {
        return postingDates(app.SharedConnection(), kind, s.SelectedIncidentId, s.ManageIncidentsAsOne);
    } catch (const DbError&) {
        dates.unavailable = true;
        return dates;
    }
}

DateRangeHint* postingDatesHint(App& app, UseDates use, QWidget* parent, const QString& buttonText, PostingKind kind)
{
    const auto source = [&app, kind] {
        const PostingDates dates = postingDatesOfChoice(app, kind);
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
