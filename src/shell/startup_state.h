#pragma once
// The part of the program's shared state that start-up fills. Member names are
// the program's own; every window reads them.

#include <QString>

#include <cstdint>

namespace quillon {

struct StartupState {
    enum class Kind { Access, SqlServer };

    QString ConfigFilePath;        // full path of dvn.ini
    QString DatabasePath;          // key DBSPath; cleared by a command-line launch
    QString ServerName;            // command line, or written back by the login
    QString CatalogName;           // database on that server
    Kind DatabaseKind = Kind::Access;
    QString ConnectionText;        // connection string of the shared connection

    std::int16_t ReportNumber = 0;
    std::int32_t SelectedIncidentId = 0;
    QString SelectedIncidentNumber;
    QString IncidentStartYear;     // four digits after a command-line launch, two after a menu choice
    bool ManageIncidentsAsOne = false;
    bool TimingTest = false;
    QString LaunchSelection;       // preselection for the invoice windows: "0"/"" none, else kind letter + key

    bool isSqlServer() const { return DatabaseKind == Kind::SqlServer; }
};

}  // namespace quillon
