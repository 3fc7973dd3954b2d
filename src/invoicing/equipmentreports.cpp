#include "invoicing/equipmentreports.h"

#include "invoicing/equipmentinvoice.h"
#include "reports/buildreport.h"
#include "reports/output/report_viewer.h"
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
    return printOfficialEquipmentInvoice(m_app, *this, viewerSlot, fromViewer);
}

bool PrintEquipmentInvoice(App& app, std::int16_t ViewerSlot)
{
    AppEquipmentReports reports(app);
    printEquipmentInvoice(app.state, app.SharedConnection(), app.dialogs(), reports, ViewerSlot);
    return false;
}

bool printOfficialEquipmentInvoice(App& app, EquipmentReports& reports, std::int16_t ViewerSlot, bool FromViewer)
{
    AppState& s = app.state;
    if (s.InvoicePrintMode == PrintDraft) return true;
    if (s.ReportNumber != 7 && s.ReportNumber != 13) return true;
    if (FromViewer) {
        if (s.OpenReport) s.OpenReport->discardSavedData();
        for (int slot = 1; slot <= 2; ++slot) {
            if (reports::ViewerWindow* window = app.output().window(slot)) {
                window->setObjectName(QString());
                window->hide();
                window->deleteLater();
            }
        }
    }
    if (s.InvoicePrintMode == PrintOriginal) {
        const QString crLf = QStringLiteral("\r\n");
        if (app.dialogs().messageBox(
                QStringLiteral("You are about to print an ORIGINAL Invoice.  Ensure DRAFT invoice has been audited for "
                               "completeness and accuracy.")
                    + crLf + crLf
                    + QStringLiteral("If you select OK, all postings for this period will be locked to prevent "
                                     "editing!")
                    + crLf + QStringLiteral("Do you want to continue?"),
                MsgButtons::OKCancel, MsgIcon::None, applicationTitle() + QStringLiteral(": Warning 1 of 2"))
            != MsgAnswer::OK)
            return false;
        if (app.dialogs().messageBox(
                QStringLiteral("By selecting YES you will not be able to edit any postings for this period.  They "
                               "will be locked.")
                    + crLf + crLf + QStringLiteral("Print Original Invoice?"),
                MsgButtons::YesNo, MsgIcon::None, applicationTitle() + QStringLiteral(": Final Warning 2 of 2"))
            != MsgAnswer::Yes)
            return false;
    }
    printEquipmentInvoice(s, app.SharedConnection(), app.dialogs(), reports, ViewerSlot);
    return false;
}

}  // namespace quillon
