#pragma once
// SQL texts of the individual reports, used by planReport.

#include "reports/catalogue/officenodes.h"
#include "data/appstate.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace quillon::reportsql {

struct Inputs {
    const AppState& state;
    std::int32_t invoiceKey;
    const OfficeNodes* offices;
};

// The SQL of one report, or why it cannot be built.
struct Draft {
    QStringList sql;        // data set 1, 2, ...
    QString title;          // set only where the report chooses among several titles
    bool rejected = false;
    QString message;        // shown (information icon) before a rejection; empty: silent

    static Draft reject(const QString& message = QString())
    {
        Draft d;
        d.rejected = true;
        d.message = message;
        return d;
    }
};

// Personnel reports.
Draft workRest(const Inputs& in);            // 1
Draft commissaryCharges(const Inputs& in);   // 2
Draft summaryOfHours(const Inputs& in);      // 3
Draft excessHours(const Inputs& in);         // 5
Draft of288(const Inputs& in);               // 6
Draft commissaryAuthorization(const Inputs& in);  // 9
Draft crewRoster(const Inputs& in);          // 12
Draft commissaryDetail(const Inputs& in);    // 14
Draft incidentTime(const Inputs& in);        // 15

// Equipment and contractor reports.
Draft equipmentUsageSummary(const Inputs& in);  // 4
Draft of286(const Inputs& in);               // 7
Draft contractorDebits(const Inputs& in);    // 10
Draft equipmentManagement(const Inputs& in); // 11
Draft equipmentDeductions(const Inputs& in); // 13

}  // namespace quillon::reportsql
