#pragma once
// The application's shared state (below the report pipeline and the shell,
// which both read it): the values that start-up, the main menu and
// the selection windows write, and that the report builder, the invoice
// issuance and the output routines read. One instance is owned by the
// application and handed around by reference; a window writes its choices here
// right before it asks for a report.
//
// Members keep the names the rest of the program uses for them. "None" for a
// chosen key means 0 or less.

#include "data/recordset.h"
#include "data/value.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace quillon {

namespace reports {
class Report;
class ReportApplication;
using ReportPtr = std::shared_ptr<Report>;
}  // namespace reports

// Title of the application; message box titles are formed from it
// ("Quillon: GetSQLRS", "Quillon: Warning 1 of 2").
inline const QString& applicationTitle()
{
    static const QString title = QStringLiteral("Quillon");
    return title;
}

// Which kind of database the shared connection reaches.
enum class DbKind { SqlServer, Access };

// Invoice print modes (InvoicePrintMode).
enum InvoicePrintModes : std::int16_t { PrintDraft = 1, PrintOriginal = 2, PrintDuplicateOriginal = 3 };

struct AppState {
    // --- Start-up, configuration and connection ---------------------------
    QString ConfigFilePath;           // full path of dvn.ini
    QString DatabasePath;             // Access database file (key DBSPath)
    QString ServerName;               // SQL Server name
    QString CatalogName;              // database on that server
    DbKind DatabaseKind = DbKind::Access;
    QString ConnectionText;           // connection string of the shared connection
    QString LaunchSelection;          // preselection from the command line ("0"/"" = none)
    bool TimingTest = false;          // the OF-288 run reports its own duration

    bool isSqlServer() const { return DatabaseKind == DbKind::SqlServer; }

    // --- Incident and report choice ---------------------------------------
    std::int16_t ReportNumber = 0;    // 1 to 15
    std::int32_t SelectedIncidentId = 0;   // -1 = none while ManageIncidentsAsOne is on
    QString SelectedIncidentNumber;
    QString IncidentStartYear;        // four digits after a command-line launch, two after the menu
    bool ManageIncidentsAsOne = false;     // reports ignore the incident filter

    // --- Report inputs ------------------------------------------------------
    std::int32_t SelectedPersonId = 0;
    std::int32_t SelectedResourceId = 0;
    std::int32_t SelectedContractorId = 0;
    std::int32_t SelectedEquipmentId = 0;
    std::int32_t ReportRunId = 0;     // ReportRun of the scratch rows of a computed report
    QDate ReportStartDate;
    QDate ReportEndDate;
    double ReportMinValue = 0.0;
    QString ReportSortField;          // "R" request number, "P" person, else excess hours
    QString ReportFinalFlag;
    Currency ReportDebitTotal;
    Currency ReportAdditionTotal;
    QString ContractType;             // "0" equipment, "1" contract crew, "2" other contract
    std::int16_t InvoicePrintMode = 0;     // see InvoicePrintModes
    QString OrigRptCode;              // "O"..., "P" + reason, "F"... (invoice issuance)
    std::int16_t OriginalNumber = 0;  // number of the official copy being printed
    QString PrevInvoicesText;
    QString LeaderName;
    QString LeaderPhone;
    bool FaxMode = false;
    QString CurrentFaxNumber;         // the 10-digit number being faxed

    // --- Invoices -------------------------------------------------------------
    // Invoice keys are held in 32 bits so that keys above 32767 keep working.
    std::int32_t SelectedInvoiceId = 0;
    QString ReprintReason;            // at most 15 characters
    QString InvoiceNumberText;

    // --- Report builder results -----------------------------------------------
    QString ReportTitle;              // caption of viewer 1
    QString ReportTitle2;             // caption of viewer 2
    bool HasDebits = false;           // the OF-288's debit data set has rows

    // --- The open report ---------------------------------------------------------
    // BuildReport leaves these for ShowReport and invoice issuance; the next
    // BuildReport closes the data sets first. The report object outlives the
    // engine application object, which ShowReport releases.
    std::shared_ptr<reports::ReportApplication> EngineApplication;
    reports::ReportPtr OpenReport;
    QString MainSql;                  // SQL text of the main data set
    QString SubSql;                   // SQL text of the second data set (reports 3 and 6)
    RecordsetPtr MainDataSet;
    RecordsetPtr SubDataSet;
    QString OpenTemplateName;         // catalogue name of the open report's template
    std::vector<std::pair<QString, Value>> OpenReportParameters;  // as set on the template
};

}  // namespace quillon
