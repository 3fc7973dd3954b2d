#include "invoicing/equipmentreports.h"

#include "invoicing/equipmentinvoice.h"
#include "invoicing/printinvoice.h"
#include "reports/buildreport.h"
#include "shell/app.h"

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

bool PrintEquipmentInvoice(App& app, std::int16_t ViewerSlot)
{
    AppEquipmentReports reports(app);
    printEquipmentInvoice(app.state, app.SharedConnection(), app.dialogs(), reports, ViewerSlot);
    return false;
}

}  // namespace quillon
