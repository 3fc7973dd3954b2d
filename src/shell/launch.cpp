#include "shell/launch.h"

#include "shell/mainmenu_window.h"

namespace quillon {

namespace {

class RegistryWindows : public StartupWindows {
public:
    RegistryWindows(App& app, DvnLoginComponent*& login, bool show) : m_app(app), m_login(login), m_show(show) {}

    void showWindow(const QString& formName) override
    {
        // The window's load reads the database: the connection is the
        // shared one from now on.
        if (m_login)
            m_app.attachConnection(m_login->connection());
        if (m_show)
            m_app.windows().show(formName);
    }
    void clearMainMenuIncidentList() override
    {
        if (auto* menu = qobject_cast<MainMenuWindow*>(m_app.windows().window(QStringLiteral("Form0"))))
            menu->clearIncidentList();
    }

private:
    App& m_app;
    DvnLoginComponent*& m_login;
    bool m_show;
};

}  // namespace

Startup::Outcome startApplication(App& app, const QString& commandLine, const QString& programDir,
                                  const DvnLoginFactory& createLogin, bool showWindows)
{
    DvnLoginComponent* login = nullptr;
    RegistryWindows windows(app, login, showWindows);
    Startup startup(app.state, app.dialogs(), windows, [&]() -> std::unique_ptr<LoginComponent> {
        std::unique_ptr<DvnLoginComponent> created = createLogin();
        login = created.get();
        return created;
    });
    const Startup::Outcome outcome = startup.run(commandLine, programDir);
    std::unique_ptr<LoginComponent> owned = startup.takeLogin();
    if (login && (outcome == Startup::Outcome::MainMenu || outcome == Startup::Outcome::Window)) {
        app.setLoginComponent(std::move(owned), &login->connection());
    } else {
        app.shutdownLogin();  // forget a connection a shown window may have attached
        if (owned) owned->Shutdown();
    }
    return outcome;
}

}  // namespace quillon
