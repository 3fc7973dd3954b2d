#include "rosters/incidenttimereport.h"

#include "shell/buildreport.h"
#include "rosters/rostersql.h"
#include "ui/busypointer.h"

#include <QStringList>

namespace quillon {

namespace {

const QString kDateErrorText = QStringLiteral("Ending date must be later than, or equal to, starting date.");
const QString kDateErrorTitle = QStringLiteral("Data Entry Error");
const QString kPersonNote =
    QStringLiteral("Note: To deselect this person, you must deselect the Admin Office for this person.");
const QString kNoRecordsText = QStringLiteral("Please select a range of dates that contains records ") + QLatin1Char('\n')
    + QStringLiteral("that meet the criteria described above.");
const QString kFaxPrinterText = QStringLiteral("Please set the Fax Printer as the default printer then click 'OK'.");

}  // namespace

IncidentTimeReport::IncidentTimeReport(App& app, IncidentTimeReportView* view) : m_app(app), m_view(view)
{
    m_app.setOfficeNodes(&m_tree);
}

IncidentTimeReport::~IncidentTimeReport()
{
    if (m_app.officeNodes() == &m_tree) m_app.setOfficeNodes(nullptr);
}

void IncidentTimeReport::load(const QDate& today)
{
    setDates(today, today);
}

void IncidentTimeReport::setDates(const QDate& start, const QDate& end)
{
    m_start = start;
    m_end = end;
    checkDatesAndBuild();
}

bool IncidentTimeReport::finishDates(const QDate& start, const QDate& end)
{
    if (start == m_start && end == m_end) return true;
    setDates(start, end);
    return !(end < start);
}

void IncidentTimeReport::checkDatesAndBuild()
{
    AppState& s = m_app.state;
    s.ReportStartDate = m_start;
    s.ReportEndDate = m_end;
    if (m_end < m_start) {
        m_app.dialogs().messageBox(kDateErrorText, MsgButtons::OK, MsgIcon::Exclamation, kDateErrorTitle);
        if (m_view) m_view->focusStartDate();
    }
    s.ReportNumber = ReportNo;

    // The old nodes go first, so that a failed query leaves an empty tree
    // rather than offices of another date range.
    m_tree.clear();
    if (m_view) m_view->treeRebuilt();

    BusyPointer busy;
    RecordsetPtr rows = m_app.SharedConnection().openRecordset(officeTreeSql(s, m_start, m_end), CursorType::Keyset,
                                                               LockType::Optimistic);
    m_tree.build(*rows);
    rows->close();
    if (m_view) m_view->treeRebuilt();
}

void IncidentTimeReport::nodeToggled(int index, bool checked)
{
    if (index < 0 || index >= m_tree.size()) return;
    if (m_tree.toggle(index, checked) == ToggleOutcome::PersonKeptChecked)
        m_app.dialogs().messageBox(kPersonNote, MsgButtons::OK, MsgIcon::None, applicationTitle());
    if (m_view) m_view->checksChanged();
}

void IncidentTimeReport::checkAll()
{
    m_tree.setAll(true);
    if (m_view) m_view->checksChanged();
}

void IncidentTimeReport::clearAll()
{
    m_tree.setAll(false);
    if (m_view) m_view->checksChanged();
}

bool IncidentTimeReport::selectionReady()
{
    if (m_tree.isEmpty()) {
        m_app.dialogs().messageBox(kNoRecordsText, MsgButtons::OK, MsgIcon::None, applicationTitle());
        return false;
    }
    // The report selects by the checked offices; without one there is
    // nothing to report (the check rules keep an office checked whenever a
    // node above or below it is).
    return !m_tree.checkedOffices().empty();
}

void IncidentTimeReport::prepareReport(bool faxMode)
{
    // Other windows share these values, so they are written again right
    // before every build.
    AppState& s = m_app.state;
    s.ReportNumber = ReportNo;
    s.ReportStartDate = m_start;
    s.ReportEndDate = m_end;
    s.LeaderName = m_leaderName + QStringLiteral(" at ") + m_leaderPhone;
    s.LeaderPhone = m_leaderPhone;
    s.FaxMode = faxMode;
    m_app.setOfficeNodes(&m_tree);
}

void IncidentTimeReport::setFaxProgress(bool visible)
{
    m_faxProgress = visible;
    if (m_view) m_view->showFaxProgress(visible);
}

void IncidentTimeReport::cmdPrint_Click()
{
    if (!selectionReady()) return;
    BusyPointer busy;
    prepareReport(false);
    std::int32_t invoiceKey = 0;
    if (BuildReport(m_app, invoiceKey)) ShowReport(m_app, 1, 1);
}

void IncidentTimeReport::cmdFax_Click()
{
    if (!selectionReady()) return;
    if (m_app.dialogs().messageBox(kFaxPrinterText, MsgButtons::OKCancel, MsgIcon::None, applicationTitle())
        != MsgAnswer::OK)
        return;

    BusyPointer busy;
    prepareReport(true);
    setFaxProgress(true);
    // One report per checked fax number, in tree order. A report covers
    // everybody paid through its number, so a number checked under two
    // agencies is sent once. A report that cannot be built ends the run; the
    // faxes already printed stay sent, and the number that failed stays in
    // view.
    QStringList sent;
    for (int office : m_tree.checkedOffices()) {
        const OfficeNode& n = m_tree.node(office);
        if (sent.contains(n.tag)) continue;
        sent << n.tag;
        m_currentFaxText = n.text;
        if (m_view) m_view->setCurrentFaxText(m_currentFaxText);
        m_app.state.CurrentFaxNumber = n.tag;
        std::int32_t invoiceKey = 0;
        if (!BuildReport(m_app, invoiceKey)) return;
        ShowReport(m_app, 0, 1);
    }
    setFaxProgress(false);
}

}  // namespace quillon
