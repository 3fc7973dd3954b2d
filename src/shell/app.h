#pragma once
// The application object: the one shared state and the seams every window and
// service reaches through it — the dialogs, the shared connection of the login
// component, the report output (two viewer windows and the default printer),
// and the office tree that the personnel time report reads.
//
// One App lives as long as the program; windows and services get it by
// reference. Tests and the batch tool build one over scripted dialogs, a
// folder printer and a connection of their own.

#include "data/connection.h"
#include "reports/catalogue/officenodes.h"
#include "data/progress.h"
#include "reports/output/report_output.h"
#include "reports/printing/printer.h"
#include "shell/appstate.h"
#include "shell/startup.h"
#include "ui/dialogs.h"
#include "ui/windowregistry.h"

#include <functional>
#include <cstdint>
#include <functional>
#include <memory>

namespace quillon {

class App {
public:
    App(Dialogs& dialogs, std::shared_ptr<reports::Printer> printer)
        : m_dialogs(&dialogs), m_printer(std::move(printer)),
          m_output(std::make_unique<reports::ReportOutput>(m_printer))
    {
        m_output->setErrorHandler([this](const QString& message) {
            m_dialogs->messageBox(message, MsgButtons::OK, MsgIcon::Critical, applicationTitle());
        });
        m_output->setDetailsSource([this] {
            return reports::ReportOutput::PreviewDetails{state.ManageIncidentsAsOne ? QString() : state.SelectedIncidentNumber,
                                                        state.MainDataSet};
        });
    }
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    AppState state;

    Dialogs& dialogs() const { return *m_dialogs; }
    const std::shared_ptr<reports::Printer>& printer() const { return m_printer; }
    reports::ReportOutput& output() const { return *m_output; }

    // The login component that owns the shared connection (after start-up).
    LoginComponent* loginComponent() const { return m_login.get(); }
    void setLoginComponent(std::unique_ptr<LoginComponent> login, Connection* shared)
    {
        m_login = std::move(login);
        m_connection = shared;
    }
    // Uses a connection owned elsewhere (tests, the batch tool, start-up
    // before it hands the login component over).
    void attachConnection(Connection& connection) { m_connection = &connection; }
    // Shuts the login component down and releases it with its connection.
    void shutdownLogin()
    {
        if (m_login) m_login->Shutdown();
        m_login.reset();
        m_connection = nullptr;
    }

    // Ends the program: what that means is up to the run (the desktop closes
    // every window and leaves its event loop; a scripted run stops its script).
    void setQuitHandler(std::function<void()> handler) { m_quit = std::move(handler); }
    void quit() const
    {
        if (m_quit) m_quit();
    }

    // The shared connection; an error when there is none or it is closed.
    Connection& SharedConnection() const
    {
        if (!m_connection || !m_connection->isOpen())
            throw DbError(ErrorNumber::NotOpen, QStringLiteral("There is no open connection to the database."));
        return *m_connection;
    }
    bool hasConnection() const { return m_connection && m_connection->isOpen(); }
    // The login password, for windows that open data sources of their own.
    QString Password() const { return m_login ? m_login->Password() : QString(); }

    // How invoice issuance prints an equipment invoice (the OF-286 and its
    // deductions report); the equipment invoice window registers it.
    using EquipmentInvoicePath = std::function<bool(App& app, std::int16_t ViewerSlot)>;
    const EquipmentInvoicePath& equipmentInvoicePath() const { return m_equipmentInvoicePath; }
    void setEquipmentInvoicePath(EquipmentInvoicePath path) { m_equipmentInvoicePath = std::move(path); }

    // The progress of the long run under way (an OF-288 Run, an analysis):
    // the window of the run listens to it and offers its Cancel; a script
    // may ask it to cancel at a given point.
    Progress& progress() { return m_progress; }

    // The program's windows by form name.
    WindowRegistry& windows() { return m_windows; }

    // The office tree the personnel time report reads (null when that window
    // is not open).
    const OfficeNodes* officeNodes() const { return m_officeNodes; }
    void setOfficeNodes(const OfficeNodes* nodes) { m_officeNodes = nodes; }

private:
    Dialogs* m_dialogs;
    std::shared_ptr<reports::Printer> m_printer;
    std::unique_ptr<reports::ReportOutput> m_output;
    std::unique_ptr<LoginComponent> m_login;
    Connection* m_connection = nullptr;
    const OfficeNodes* m_officeNodes = nullptr;
    std::function<void()> m_quit;
    WindowRegistry m_windows;
    EquipmentInvoicePath m_equipmentInvoicePath;
    Progress m_progress;
};

}  // namespace quillon
