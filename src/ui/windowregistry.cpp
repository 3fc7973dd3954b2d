#include "ui/windowregistry.h"

#include "data/dberror.h"

#include <QGuiApplication>

namespace quillon {

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
