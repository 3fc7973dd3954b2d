#include "invoicing/printinvoice.h"

#include "invoicing/personnelissuance.h"
#include "reports/buildreport.h"
#include "reports/output/report_viewer.h"
#include "ui/errorboundary.h"

#include <QApplication>
#include <QWidget>

namespace quillon {

namespace {

// Unloads both viewer windows, as showing a report in a viewer does for its
// own: renamed and hidden at once, deleted once control is back in the event
// loop (a viewer whose print button led here is still on the stack).
void closeViewers()
{
    if (!QApplication::instance()) return;
    for (int slot : {1, 2}) {
        const QString name = reports::ViewerWindow::windowName(slot).toLower();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName().toLower() != name) continue;
            w->setObjectName(QString());
            w->hide();
            w->deleteLater();
        }
    }
}

// Prints the OF-288 built by the caller, then the commissary detail of the
// same people when they have debits. The detail is built as a reprint would
// build it, so that it takes the debits locked to the invoices in #tmp.
void printPersonnelInvoices(App& app, std::int16_t viewerSlot)
{
    AppState& s = app.state;
    ShowReport(app, 0, viewerSlot);
    if (!s.HasDebits) return;
    s.ReportNumber = 14;
    const std::int16_t mode = s.InvoicePrintMode;
    s.InvoicePrintMode = PrintDuplicateOriginal;
    try {
        std::int32_t key = s.SelectedInvoiceId;
        if (BuildReport(app, key)) ShowReport(app, 0, 2);
    } catch (...) {
        s.InvoicePrintMode = mode;
        throw;
    }
    s.InvoicePrintMode = mode;
}

}  // namespace

void setEquipmentInvoicePath(App& app, EquipmentInvoicePath path)
{
    app.setEquipmentInvoicePath(std::move(path));
}

bool confirmOriginalInvoice(Dialogs& dialogs)
{
    const QString crlf = QStringLiteral("\r\n");
    if (dialogs.messageBox(QStringLiteral("You are about to print an ORIGINAL Invoice.  Ensure DRAFT invoice has been "
                                          "audited for completeness and accuracy.")
                               + crlf + crlf
                               + QStringLiteral("If you select OK, all postings for this period will be locked to "
                                                "prevent editing!")
                               + crlf + QStringLiteral("Do you want to continue?"),
                           MsgButtons::OKCancel, MsgIcon::Exclamation, applicationTitle() + QStringLiteral(": Warning 1 of 2"))
        == MsgAnswer::Cancel)
        return false;
    return dialogs.messageBox(QStringLiteral("By selecting YES you will not be able to edit any postings for this "
                                             "period.  They will be locked.")
                                  + crlf + crlf + QStringLiteral("Print Original Invoice?"),
                              MsgButtons::YesNo, MsgIcon::Exclamation,
                              applicationTitle() + QStringLiteral(": Final Warning 2 of 2"))
        == MsgAnswer::Yes;
}

bool PrintInvoice(App& app, std::int16_t ViewerSlot, bool FromViewer)
{
    AppState& s = app.state;
    if (s.InvoicePrintMode == PrintDraft) return true;
    const std::int16_t report = s.ReportNumber;
    if (report != 7 && report != 13 && report != 6 && report != 14) return true;

    if (FromViewer) {
        if (s.OpenReport) s.OpenReport->discardSavedData();
        closeViewers();
    }
    if (s.InvoicePrintMode == PrintOriginal && !confirmOriginalInvoice(app.dialogs())) return false;

    if (report == 7 || report == 13) {
        const EquipmentInvoicePath& equipment = app.equipmentInvoicePath();
        if (!equipment)
            throw DbError(ErrorNumber::Generic, QStringLiteral("Equipment invoices are not available."));
        return equipment(app, ViewerSlot);
    }
    if (report == 14) return false;

    // Personnel: everything of the issuance is written and committed before
    // anything prints.
    if (s.InvoicePrintMode == PrintDuplicateOriginal) recordPersonnelDuplicates(app);
    else if (s.InvoicePrintMode == PrintOriginal) issuePersonnelOriginals(app);
    printPersonnelInvoices(app, ViewerSlot);
    return false;
}

void installInvoicePrintHook(App& app)
{
    app.output().setPrintHook([&app](int viewerSlot, bool fromViewer) {
        bool printItself = false;
        runGuarded(app.dialogs(), [&] { printItself = PrintInvoice(app, std::int16_t(viewerSlot), fromViewer); });
        return printItself;
    });
}

}  // namespace quillon
