#include "reports/output/remembered.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace quillon::remembered {

namespace {

bool& enabledFlag()
{
    static bool on = true;
    return on;
}

}  // namespace

QString geometryKey(const QString& formName)
{
    return QStringLiteral("geometry/") + formName;
}

QString filePath()
{
    // Looked up on every use, so that a changed XDG_CONFIG_HOME counts.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("quillon/quillon.conf"));
}

void setEnabled(bool on)
{
    enabledFlag() = on;
}

bool enabled()
{
    return enabledFlag();
}

QVariant value(const QString& key)
{
    if (!enabled()) return {};
    QSettings settings(filePath(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return {};
    return settings.value(key);
}

QString text(const QString& key)
{
    const QVariant v = value(key);
    return v.canConvert<QString>() ? v.toString() : QString();
}

QByteArray bytes(const QString& key)
{
    const QVariant v = value(key);
    return v.canConvert<QByteArray>() ? v.toByteArray() : QByteArray();
}

void setValue(const QString& key, const QVariant& value)
{
    if (!enabled()) return;
    {
        // A file that does not read as settings holds nothing usable: it
        // gives way to a fresh one.
        QSettings settings(filePath(), QSettings::IniFormat);
        if (settings.status() == QSettings::NoError) {
            settings.setValue(key, value);
            return;
        }
    }
    QFile::remove(filePath());
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue(key, value);
}

}  // namespace quillon::remembered
