#include "shell/startup.h"

#include "shell/config.h"
#include "ui/busypointer.h"
#include "ui/errorboundary.h"


namespace quillon {

QString startupWindowFor(int reportNumber)
{
    switch (reportNumber) {
    case 0: return QStringLiteral("Form0");
    case 1: return QStringLiteral("Form1");
    case 3: return QStringLiteral("Form3");
    case 4: return QStringLiteral("Form4");
    case 5: return QStringLiteral("Form5");
    case 6: return QStringLiteral("Form6");
    case 7: return QStringLiteral("Form7");
    case 8: return QStringLiteral("Form8");
    case 9: return QStringLiteral("Form9");
    case 10: return QStringLiteral("Form10");
    case 12: return QStringLiteral("Form12");
    case 15: return QStringLiteral("frmIncidentTimeReport");
    default: return QString();
    }
}

Startup::Startup(AppState& state, Dialogs& dialogs, StartupWindows& windows, LoginFactory createLogin)
    : m_state(state), m_dialogs(dialogs), m_windows(windows), m_createLogin(std::move(createLogin))
{
}

QString Startup::incidentQuery(std::int32_t incidentId)
{
    return QStringLiteral("Select IncidentNumber, StartDate from Incidents where incidentid = ") +
           QString::number(incidentId);
}

Startup::Outcome Startup::run(const QString& commandLine, const QString& programDir)
{
    BusyPointer busy;
    try {
        m_state.ManageIncidentsAsOne = false;
        readConfiguration(m_state, programDir);
        return commandLine.isEmpty() ? interactive(busy) : launched(commandLine, busy);
    } catch (const DbError& e) {
        busy.release();
        showFailure(e.number(), e.description());
    } catch (const std::exception& e) {
        busy.release();
        showFailure(ErrorNumber::Generic, QString::fromLocal8Bit(e.what()));
    }
    return Outcome::Failed;
}

bool Startup::connected(BusyPointer& busy)
{
    if (m_login->connectionState() == LoginComponent::StateOpen)
        return true;
    busy.release();
    QString text = QStringLiteral("Cannot connect to the database.");
    const QString reason = m_login->failureReason().trimmed();
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + redactPassword(reason, m_password);
    m_dialogs.messageBox(text, MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Quillon Message: "));
    return false;
}

Startup::Outcome Startup::interactive(BusyPointer& busy)
{
    m_state.DatabaseKind = DbKind::SqlServer;
    m_login = m_createLogin();
    QString systemCode = QStringLiteral("DVN");
    int flag = 0;
    QString user, password, reserved1, reserved2;
    m_login->Login(systemCode, m_state.ConfigFilePath, m_state.ServerName, m_state.CatalogName, flag, user,
                   password, reserved1, reserved2);
    if (!connected(busy))
        return Outcome::NotConnected;
    m_state.ConnectionText = m_login->connectionString();
    m_windows.showWindow(startupWindowFor(0));
    return Outcome::MainMenu;
}

Startup::Outcome Startup::launched(const QString& commandLine, BusyPointer& busy)
{
    const LaunchFields fields = parseLaunchFields(commandLine);
    m_password = fields.password;
    m_state.SelectedIncidentId = fields.SelectedIncidentId;
    m_state.ReportNumber = fields.ReportNumber;
    m_state.LaunchSelection = fields.LaunchSelection;
    m_state.DatabaseKind = fields.sqlServer ? DbKind::SqlServer : DbKind::Access;
    m_state.ManageIncidentsAsOne = fields.manageIncidentsAsOne;
    if (fields.timingTest)
        m_state.TimingTest = *fields.timingTest;

    m_login = m_createLogin();
    const ServerAndCatalog sc = splitServerAndCatalog(fields.serverAndCatalog);
    m_state.ServerName = sc.ServerName;
    m_state.CatalogName = sc.CatalogName;
    m_state.DatabasePath.clear();

    QString systemCode = QStringLiteral("DVN");
    int flag = 0;
    QString user = fields.user, password = fields.password, reserved1, reserved2;
    m_login->Login(systemCode, m_state.ConfigFilePath, m_state.ServerName, m_state.CatalogName, flag, user,
                   password, reserved1, reserved2);
    if (!connected(busy))
        return Outcome::NotConnected;
    m_state.ConnectionText = m_login->connectionString();
    readLaunchedIncident();

    const QString form = startupWindowFor(m_state.ReportNumber);
    if (form.isEmpty())
        return Outcome::NothingToOpen;
    m_windows.showWindow(form);
    if (m_state.ReportNumber == 0)
        m_windows.clearMainMenuIncidentList();
    return Outcome::Window;
}

void Startup::readLaunchedIncident()
{
    RecordsetPtr rs = m_login->openRecordset(incidentQuery(m_state.SelectedIncidentId));
    if (rs && !rs->eof()) {
        // An incident without a start date gives an empty year rather than
        // stopping the launch.
        const QDate start = rs->value(QStringLiteral("StartDate")).toDate();
        m_state.IncidentStartYear =
            start.isValid() ? QStringLiteral("%1").arg(start.year(), 4, 10, QLatin1Char('0')) : QString();
        m_state.SelectedIncidentNumber = rs->value(QStringLiteral("IncidentNumber")).toString();
    } else {
        m_state.IncidentStartYear.clear();
        m_state.SelectedIncidentNumber.clear();
    }
    if (rs)
        rs->close();
}

void Startup::showFailure(int number, const QString& description)
{
    const QString password = m_login ? m_login->Password() : QString();
    QString text = QStringLiteral("No Connection to Database!\n%1 Desc: %2").arg(number).arg(description);
    text = redactPassword(redactPassword(text, m_password), password);
    m_dialogs.messageBox(text, MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Quillon"));
}

}  // namespace quillon
