#pragma once
// The one error type that database and report routines raise to their callers.
// A window's event-handler boundary catches it and shows its description.

#include <QString>
#include <stdexcept>

namespace quillon {

class DbError : public std::runtime_error {
public:
    DbError(int number, const QString& description, const QString& source = QString())
        : std::runtime_error(description.toStdString()),
          m_number(number), m_description(description), m_source(source) {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    // Where it came from ("SQLite", "ODBC", "Report engine", ...); may be empty.
    const QString& source() const { return m_source; }

private:
    int m_number;
    QString m_description;
    QString m_source;
};

// Error numbers used by the program's own checks (engines report their own).
namespace ErrorNumber {
constexpr int Generic = -1;
constexpr int NotOpen = 3704;          // operation not allowed when the object is closed
constexpr int NoCurrentRecord = 3021;  // EOF or BOF is true
constexpr int FieldNotFound = 3265;    // item not found in the collection
constexpr int FileNotFound = 53;
constexpr int FileExists = 58;
constexpr int FileAccess = 75;         // path/file access error
constexpr int CannotConnect = 3706;    // the database server cannot be reached
constexpr int ConnectionLost = 3709;
constexpr int MoneyOverflow = 8115;    // a number beyond the range of the money type
constexpr int ReportTemplate = 20500;  // report template missing or unreadable
constexpr int ReportParameter = 20501; // no parameter of that name
constexpr int ReportSubreport = 20502; // no such section or subreport
constexpr int Printer = 20510;         // no default printer, printing failed
}  // namespace ErrorNumber

}  // namespace quillon
