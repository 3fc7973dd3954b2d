#pragma once
// dvn.ini: the configuration file shared with the rest of the time-keeping
// suite. It sits in the parent folder of the program's folder and is read the
// way profile files are read: section and key names ignore case, a missing
// file, section or key yields the default, values are trimmed, lose one pair
// of enclosing quotes and are cut to what a 255-character buffer holds.

#include "shell/appstate.h"

#include <QString>

namespace quillon {

// The configuration file of a program installed in programDir: the folder path
// cut after its last separator (the separator kept), then "dvn.ini".
// "/opt/corvala/reports" -> "/opt/corvala/dvn.ini"; "C:\A\B" -> "C:\A\dvn.ini".
QString configFilePathFor(const QString& programDir);

// Section and key names of dvn.ini.
namespace DvnIni {
inline const QString Section = QStringLiteral("Dorvane");
inline const QString DBSPath = QStringLiteral("DBSPath");
inline const QString Server = QStringLiteral("Server");
inline const QString Catalog = QStringLiteral("Catalog");
// Optional: the ODBC driver, or data source, that reaches the server
// (FreeTDS when neither is given).
inline const QString Driver = QStringLiteral("Driver");
inline const QString DSN = QStringLiteral("DSN");
// Values are read into a buffer of this many characters, terminator included.
constexpr int ValueBufferSize = 255;
}  // namespace DvnIni

// The text of a profile file: UTF-16 or UTF-8 after a byte-order mark, else
// UTF-8 when it decodes as such, else the local 8-bit code page.
QString decodeProfileText(const QByteArray& bytes);

// DBSPath as a file path: a relative one is taken relative to the folder of
// the configuration file, not the current folder.
QString resolveDbsPath(const QString& configFilePath, const QString& value);

// Reads one value of a profile file. Never fails: an unreadable file, a
// missing section or key gives defaultValue.
QString readProfileString(const QString& filePath, const QString& section, const QString& key,
                          const QString& defaultValue = QString());

// Same lookup on text already in memory (the content of a profile file).
QString profileStringFromText(const QString& text, const QString& section, const QString& key,
                              const QString& defaultValue = QString());

// The configuration reader of start-up: sets ConfigFilePath for programDir,
// then reads the keys into the state. A missing file clears DatabasePath,
// ServerName and CatalogName. Otherwise a SqlServer kind reads Server and
// Catalog, an Access kind reads DBSPath.
void readConfiguration(AppState& state, const QString& programDir);

}  // namespace quillon
