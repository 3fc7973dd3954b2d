#pragma once
// The report catalogue: for every report number the template it is drawn
// with, its title and the viewer caption that title goes to, how many data
// sets feed it and where the second one goes, and the template parameters it
// is given.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace quillon {

// Which caption holds the report's title: viewer 1 shows ReportTitle, viewer 2
// ReportTitle2.
enum class TitleSlot { ReportTitle, ReportTitle2 };

struct CatalogueEntry {
    std::int16_t number = 0;
    QString templateName;       // the template file is <program folder>/<name>.rpt
    QString title;              // reports 7 and 13 choose one of three by contract type
    TitleSlot titleSlot = TitleSlot::ReportTitle;
    int dataSetCount = 1;
    // Section of the template that holds the subreport fed by the second data
    // set (0: the report has no subreport).
    int subreportSection = 0;
    QStringList parameters;     // template parameter names, in the order they are set
};

// Name of the report object in subreportSection that receives data set 2.
inline QString subreportObjectName() { return QStringLiteral("subreport1"); }

// Every report that can be built, by number (1 to 7, 9 to 15). Number 8, the
// contractor invoice, exists only as a window and has no entry.
const std::vector<CatalogueEntry>& reportCatalogue();

// The entry of a report number, or nullptr when there is none.
const CatalogueEntry* catalogueEntry(int reportNumber);

}  // namespace quillon
