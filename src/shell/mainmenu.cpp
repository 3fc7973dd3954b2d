#include "shell/mainmenu.h"

#include "reports/output/remembered.h"

#include "shell/buildreport.h"
#include "ui/busypointer.h"

#include <QStringList>
#include <QVersionNumber>

namespace quillon {

namespace {

struct Option {
    const char* caption;
    std::int16_t reportNumber;
};

// The option buttons in screen order. The report numbers follow the
// selection windows, not the order of the buttons.
const Option kOptions[MainMenu::OptionCount] = {
    {"1.  Work/Rest Ratio", 1},
    {"2.  Commissary Charges by Date", 2},
    {"3.  Summary of Hours for Personnel", 3},
    {"4.  Payment Summary of Equipment Usage", 4},
    {"5.  Shifts in Excess of Standard Hours", 5},
    {"6.  OF-288", 6},
    {"7.  OF-286 and/or Itemized Deductions", 7},
    {"8.  Contractor Debits", 10},
    {"9.  Commissary Authorization", 9},
    {"10.  Equipment Management", 11},
    {"11.  Crew Roster", 12},
    {"12. Personnel Time Report (Print / Fax)", 15},
};

std::int32_t toIncidentId(const Value& v)
{
    return v.isNull() ? 0 : std::int32_t(v.toInt());
}

}  // namespace

QString MainMenu::optionCaption(int option)
{
    return option >= 1 && option <= OptionCount ? QString::fromLatin1(kOptions[option - 1].caption) : QString();
}

std::int16_t MainMenu::reportNumberForOption(int option)
{
    return option >= 1 && option <= OptionCount ? kOptions[option - 1].reportNumber : 0;
}

QString MainMenu::windowForReport(int reportNumber)
{
    switch (reportNumber) {
    case 1: return QStringLiteral("Form1");
    case 3: return QStringLiteral("Form3");
    case 4: return QStringLiteral("Form4");
    case 5: return QStringLiteral("Form5");
    case 6: return QStringLiteral("Form6");
    case 7: return QStringLiteral("Form7");
    case 8:  // the contractor invoice has no option of its own
    case 10: return QStringLiteral("Form10");
    case 9: return QStringLiteral("Form9");
    case 12: return QStringLiteral("Form12");
    case 15: return QStringLiteral("frmIncidentTimeReport");
    default: return QString();
    }
}

QString MainMenu::incidentListSql()
{
    return QStringLiteral("Select IncidentID,IncidentName,IncidentNumber,StartDate from Incidents");
}

QString MainMenu::versionText(const QString& version)
{
    const QVersionNumber v = QVersionNumber::fromString(version);
    return QStringLiteral("Version %1.%2.%3").arg(v.majorVersion()).arg(v.minorVersion()).arg(v.microVersion());
}

RecordsetPtr MainMenu::load()
{
    m_app.state.TimingTest = false;
    return m_app.SharedConnection().openRecordset(incidentListSql(), CursorType::Static, LockType::Optimistic);
}

QString MainMenu::dataPathText() const
{
    const AppState& s = m_app.state;
    if (s.isSqlServer())
        return QStringLiteral("Server=") + s.ServerName + QStringLiteral(" Database=") + s.CatalogName;
    return s.DatabasePath;
}

QString MainMenu::databaseInWords() const
{
    const AppState& s = m_app.state;
    if (s.isSqlServer() && s.ServerName.trimmed().compare(QLatin1String("sqlite"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("Server %1, database %2").arg(s.ServerName, s.CatalogName);
    const QString file = s.isSqlServer() ? s.CatalogName : s.DatabasePath;
    return file.isEmpty() ? QStringLiteral("No database") : QStringLiteral("Database file %1").arg(file);
}

std::pair<QString, QString> MainMenu::rememberedIncident()
{
    const QStringList v = remembered::value(remembered::LastIncident).toStringList();
    if (v.size() != 2) return {};
    return {v[0], v[1]};
}

void MainMenu::rememberIncident(const QString& incidentId, const QString& incidentName)
{
    remembered::setValue(remembered::LastIncident, QStringList{incidentId, incidentName});
}

void MainMenu::incidentChosen(const Value& incidentId, const Value& incidentNumber, const Value& startDate)
{
    AppState& s = m_app.state;
    s.SelectedIncidentId = toIncidentId(incidentId);
    s.SelectedIncidentNumber = incidentNumber.toString();
    // The menu keeps the last two digits of the year (2005 gives "05").
    const QDate start = startDate.toDate();
    s.IncidentStartYear = start.isValid() ? QStringLiteral("%1").arg(start.year() % 100, 2, 10, QLatin1Char('0'))
                                          : QString();
}

bool MainMenu::manageAsOneClicked(bool checked, const QString& boundText, const QString& listText)
{
    AppState& s = m_app.state;
    if (checked) {
        s.ManageIncidentsAsOne = true;
        // The chosen incident stays chosen, whatever the length of its key;
        // -1 only when none is. Scratch rows of the analyses carry it, and
        // the windows that filter by incident even over all incidents (the
        // request-number branch, a chosen person) go on finding its rows.
        bool isNumber = false;
        const int id = boundText.trimmed().toInt(&isNumber);
        s.SelectedIncidentId = isNumber && id > 0 ? id : -1;
        return false;
    }
    s.ManageIncidentsAsOne = false;
    if (!listText.isEmpty())
        s.SelectedIncidentId = toIncidentId(Value(boundText));
    return true;
}

void MainMenu::timingTestClicked(bool checked)
{
    m_app.state.TimingTest = checked;
}

void MainMenu::select(int checkedOption, const QString& listText, const Value& boundValue)
{
    BusyPointer busy;
    AppState& s = m_app.state;
    if (checkedOption >= 1 && checkedOption <= OptionCount)
        s.ReportNumber = reportNumberForOption(checkedOption);
    if (!s.ManageIncidentsAsOne) {
        if (listText.isEmpty()) {
            busy.release();
            m_app.dialogs().messageBox(QStringLiteral("An Incident must be selected"), MsgButtons::OK, MsgIcon::None,
                                       QStringLiteral("Error"));
            return;
        }
        s.SelectedIncidentId = toIncidentId(boundValue);
    }
    if (isDirectReport(s.ReportNumber)) {
        if (s.ManageIncidentsAsOne)
            s.SelectedIncidentId = -1;
        std::int32_t invoiceKey = 0;
        if (BuildReport(m_app, invoiceKey))
            ShowReport(m_app, 1, 1);
        return;
    }
    const QString form = windowForReport(s.ReportNumber);
    if (!form.isEmpty())
        m_app.windows().show(form);
}

void MainMenu::auditDatabase()
{
    m_app.windows().show(AuditWindow);
}

void MainMenu::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_app.shutdownLogin();
    m_app.quit();
}

}  // namespace quillon
