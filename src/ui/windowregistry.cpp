#include "ui/windowregistry.h"

#include "data/dberror.h"
#include "reports/output/remembered.h"
#include "ui/keyboardaccess.h"
#include "ui/screenfit.h"
#include "ui/windowkeys.h"

#include <QGuiApplication>

namespace quillon {

namespace {

// Remembers where a window stood when it closes.
class GeometryKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            auto* w = static_cast<QWidget*>(watched);
            if (!w->objectName().isEmpty() && w->isVisible())
                remembered::setValue(remembered::geometryKey(w->objectName()), w->saveGeometry());
        }
        return false;
    }
};

}  // namespace

void WindowRegistry::add(const QString& formName, Factory factory)
{
    m_entries[formName.toLower()] = Entry{formName, std::move(factory), nullptr};
}

bool WindowRegistry::has(const QString& formName) const
{
    return m_entries.count(formName.toLower()) > 0;
}

QStringList WindowRegistry::names() const
{
    QStringList out;
    for (const auto& [key, entry] : m_entries) {
        Q_UNUSED(key);
        out << entry.name;
    }
    return out;
}

QWidget* WindowRegistry::window(const QString& formName) const
{
    const auto it = m_entries.find(formName.toLower());
    return it == m_entries.end() ? nullptr : it->second.instance.data();
}

QWidget* WindowRegistry::load(const QString& formName)
{
    const auto it = m_entries.find(formName.toLower());
    if (it == m_entries.end())
        throw DbError(ErrorNumber::Generic, QStringLiteral("There is no window named %1.").arg(formName));
    Entry& e = it->second;
    if (!e.instance) {
        QWidget* w = e.factory();
        w->setAttribute(Qt::WA_DeleteOnClose);
        if (w->objectName().isEmpty()) w->setObjectName(e.name);
        installWindowKeys(w, it->first == m_mainWindow ? WindowKeys::MainWindow : WindowKeys::ToolWindow);
        installKeyboardAccess(w);
        // A remembered place that no longer fits is ignored (restoreGeometry
        // refuses it, or moves it onto a screen).
        const QByteArray geometry = remembered::bytes(remembered::geometryKey(w->objectName()));
        if (!geometry.isEmpty()) w->restoreGeometry(geometry);
        fitOnScreen(w);
        w->installEventFilter(new GeometryKeeper(w));
        e.instance = w;
    }
    return e.instance.data();
}

QWidget* WindowRegistry::show(const QString& formName)
{
    QWidget* w = load(formName);
    w->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        w->raise();
        w->activateWindow();
    }
    return w;
}

void WindowRegistry::unload(const QString& formName)
{
    const auto it = m_entries.find(formName.toLower());
    if (it == m_entries.end() || !it->second.instance) return;
    QWidget* w = it->second.instance.data();
    it->second.instance = nullptr;
    w->close();
    w->deleteLater();
}

void WindowRegistry::unloadAll()
{
    for (auto& [key, entry] : m_entries) {
        Q_UNUSED(key);
        if (entry.instance) unload(entry.instance->objectName());
    }
}

}  // namespace quillon
