#include "invoicing/equipmentreports.h"

#include "invoicing/equipmentinvoice.h"
#include "invoicing/printinvoice.h"
#include "shell/buildreport.h"
#include "reports/engine/report_engine.h"
#include "reports/output/report_output.h"
#include "reports/printing/printer.h"
#include "shell/app.h"

#include <QDir>
#include <QStandardPaths>

namespace quillon {

bool AppEquipmentReports::buildReport(AppState&, std::int32_t& invoiceKey)
{
    return BuildReport(m_app, invoiceKey);
}

void AppEquipmentReports::showReport(AppState&, std::int16_t preview, std::int16_t viewer)
{
    ShowReport(m_app, preview, viewer);
}

bool AppEquipmentReports::printInvoice(AppState&, std::int16_t viewerSlot, bool fromViewer)
{
    return PrintInvoice(m_app, viewerSlot, fromViewer);
}

EquipmentReports::LaidOut AppEquipmentReports::layOut(AppState& state)
{
    if (!state.OpenReport)
        throw DbError(ErrorNumber::Generic, QStringLiteral("No report has been built to lay out."));
    LaidOut out;
    out.pdf = state.OpenReport->renderPdf();
    out.title = state.OpenReport->render().title;
    return out;
}

void AppEquipmentReports::checkPrinter()
{
    m_app.output().printer()->checkReady();
}

void AppEquipmentReports::printLaidOut(AppState& state, const LaidOut& report)
{
    m_app.output().printer()->printPdf(report.pdf, report.title);
    state.EngineApplication.reset();
}

QString AppEquipmentReports::keepFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("Unprinted invoices"));
}

bool PrintEquipmentInvoice(App& app, std::int16_t ViewerSlot)
{
    AppEquipmentReports reports(app);
    printEquipmentInvoice(app.state, app.SharedConnection(), app.dialogs(), reports, ViewerSlot);
    return false;
}

}  // namespace quillon
