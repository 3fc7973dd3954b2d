#pragma once
// What a report build needs before anything is opened: whether it can go on,
// the message to show when it cannot, the SQL text of each data set, the
// title, the template and the parameter values. Showing the message, opening
// the template, running the SQL and binding the results are left to the
// caller, which owns the dialogs, the engine and the connection.

#include "data/value.h"
#include "reports/catalogue/catalogue.h"
#include "reports/catalogue/officenodes.h"
#include "data/appstate.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {

enum class ParamKind { Date, Text, Double, Boolean };

struct ReportParameter {
    QString name;
    ParamKind kind = ParamKind::Text;
    Value value;
};

enum class BuildMessageIcon { Critical, Information };

// A message box to show (OK button only) before the build is abandoned.
struct BuildMessage {
    QString text;
    BuildMessageIcon icon = BuildMessageIcon::Information;
    QString title;
};

struct ReportPlan {
    bool proceed = false;                  // false: the report is not built
    std::optional<BuildMessage> message;   // shown before giving up; none for a silent rejection

    const CatalogueEntry* entry = nullptr; // null for an unknown report number
    QString templateName;
    QString title;
    TitleSlot titleSlot = TitleSlot::ReportTitle;
    QStringList dataSetSql;                // SQL text of data set 1, 2, ... (empty unless proceed)
    std::vector<ReportParameter> parameters;

    QString mainSql() const { return dataSetSql.value(0); }
    QString subSql() const { return dataSetSql.value(1); }
    // The parameter of that name, or nullptr.
    const ReportParameter* parameter(const QString& name) const;
};

// Plans the report state.ReportNumber from the shared state. invoiceKey is the
// invoice whose postings reports 7 and 13 cover; offices is the office tree
// that report 15 reads when it is not faxing (nullptr: no nodes).
ReportPlan planReport(const AppState& state, std::int32_t invoiceKey, const OfficeNodes* offices = nullptr);

// Writes the plan's title into the caption it belongs to.
void storeTitle(const ReportPlan& plan, AppState& state);

// The value a template parameter receives from the shared state; the names
// are those of the catalogue. Unknown names give a Text parameter with a Null
// value.
ReportParameter parameterFromState(const QString& name, const AppState& state);

}  // namespace quillon
