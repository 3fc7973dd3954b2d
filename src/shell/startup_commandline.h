#pragma once
// The command line the host time-keeping system starts the program with: one
// text of comma-separated fields,
//   0 incident id, 1 report number, 2 preselection, 3 server/database,
//   4 user, 5 password, 6 SqlServer flag, 7 incidents-as-one flag,
//   8 timing-test flag (optional).
// Conversion errors are DbErrors carrying the classic run-time error numbers;
// start-up shows them in its "No Connection to Database!" message. No error
// text ever quotes a field from the user name on, since a password holding a
// comma spills into the fields after it.

#include "data/dberror.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace quillon {

namespace ErrorNumber {
constexpr int InvalidArgument = 5;      // invalid procedure call or argument
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
}  // namespace ErrorNumber

struct LaunchFields {
    std::int32_t SelectedIncidentId = 0;
    std::int16_t ReportNumber = 0;
    QString LaunchSelection;
    QString serverAndCatalog;           // field 3 as given; see splitServerAndCatalog
    QString user;
    QString password;
    bool sqlServer = false;             // DatabaseKind: true = SqlServer
    bool manageIncidentsAsOne = false;
    std::optional<bool> timingTest;     // only when the line has nine or more fields
};

// The command line as one text, from the program's arguments (without the
// program name). The host system passes one text; it arrives as one argument
// when quoted, which is used as it is. Arguments that hold commas are pieces
// of that one text split at its blanks by a shell, so they are joined again
// with a blank; arguments without any comma are the fields given one by one,
// joined with commas. No arguments: "" (an interactive launch).
QString launchCommandLine(const QStringList& arguments);

// Splits and converts fields 0 to 8. Throws DbError: fewer than eight fields
// (SubscriptOutOfRange), a field 0 or 1 that is not a number (TypeMismatch) or
// out of range (Overflow), a flag that is not a boolean (TypeMismatch).
LaunchFields parseLaunchFields(const QString& commandLine);

struct ServerAndCatalog {
    QString ServerName;
    QString CatalogName;
};
// Field 3 split at its first "/": "SRV/DB/X" gives SRV and DB/X. Throws DbError
// InvalidArgument when there is no "/".
ServerAndCatalog splitServerAndCatalog(const QString& field);

// The usual text conversions of the program's variant values.
// Integers: blanks around, an optional sign, digits and an optional fraction,
// which is rounded half to even ("2.5" -> 2). Throws TypeMismatch / Overflow.
std::int32_t textToInt32(const QString& text);
std::int16_t textToInt16(const QString& text);
// Booleans: True or False in any case, or a number (nonzero is true).
// Throws TypeMismatch.
bool textToBool(const QString& text);

}  // namespace quillon
