#pragma once
// The first and last posting dates of the chosen incident (of every incident
// when they are managed as one): what a date window shows beside its date
// boxes, so that the user sees which dates hold data, with one click to use
// them. Personnel postings for the personnel windows, equipment postings for
// the equipment windows; postings without a date are passed over.
//
//   auto* hint = postingDatesHint(app, [this](const QDate& first, const QDate& last) {
//       startBox->setDate(first);
//       endBox->setDate(last);
//   });
//   formLayout->addRow(QString(), hint);

#include "data/connection.h"
#include "ui/datehint.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>

namespace quillon {

class App;

enum class PostingKind { Personnel, Equipment };

struct PostingDates {
    enum class Scope { Incident, AllIncidents, NoIncident };
    Scope scope = Scope::Incident;
    PostingKind kind = PostingKind::Personnel;
    QDate first;
    QDate last;
    bool unavailable = false;   // the database could not be asked

    bool any() const { return first.isValid() && last.isValid(); }
    // "Postings: 07/01/2026 to 07/31/2026", or why there are none.
    QString text() const;
};

// The query: MIN and MAX of the ActivityDT of PersonsPost (of ContractorPost)
// over the incident's resources (their equipment); allIncidents drops the
// incident condition.
QString postingDatesSql(PostingKind kind, std::int32_t incidentId, bool allIncidents);
// Asks the database; throws DbError.
PostingDates postingDates(Connection& db, PostingKind kind, std::int32_t incidentId, bool allIncidents);
// The dates of the incident the main menu chose. Never throws: without a
// connection or with a failing query the dates are unavailable.
PostingDates postingDatesOfChoice(const App& app, PostingKind kind = PostingKind::Personnel);

using UseDates = std::function<void(const QDate& first, const QDate& last)>;
// The hint row for a window's date boxes; `use` puts the dates in the boxes.
DateRangeHint* postingDatesHint(App& app, UseDates use, QWidget* parent = nullptr,
                                const QString& buttonText = QStringLiteral("&Use these dates"),
                                PostingKind kind = PostingKind::Personnel);

}  // namespace quillon
