#pragma once
// What the program remembers for its user between runs: the last incident,
// where each window stood, the folder of the last export. Kept in
// quillon/quillon.conf under the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config).
//
// Remembered values are hints: a missing, unreadable or nonsensical entry
// reads as "nothing remembered" and never stops the program. Writes that
// fail are dropped the same way.
//
//   const QString folder = remembered::text(remembered::LastExportFolder);
//   remembered::setValue(remembered::LastExportFolder, chosenFolder);

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace quillon::remembered {

inline constexpr char LastIncident[] = "menu/lastIncident";
inline constexpr char LastExportFolder[] = "viewer/lastExportFolder";
inline constexpr char RecentDatabases[] = "login/recentDatabases";
// Window geometry keys: "geometry/<form name>".
QString geometryKey(const QString& formName);

// The settings file in use.
QString filePath();

// Off, nothing is read or written (scripted runs repeat exactly whatever
// the user did before). On by default.
void setEnabled(bool on);
bool enabled();

QVariant value(const QString& key);
QString text(const QString& key);
QByteArray bytes(const QString& key);
void setValue(const QString& key, const QVariant& value);

}  // namespace quillon::remembered
