#include "windows.h"

#include "analysis/windows.h"
#include "audit/auditwindow.h"
#include "invoicing/contractor_windows.h"
#include "invoicing/form6.h"
#include "invoicing/form7.h"
#include "invoicing/printinvoice.h"
#include "rosters/windows.h"
#include "shell/windows.h"

namespace quillon {

void registerAllWindows(App& app)
{
    registerShellWindows(app);
    registerContractorWindows(app);
    registerAnalysisWindows(app);
    registerForm6(app);
    registerForm7(app);
    registerRosterWindows(app);
    registerAuditWindows(app);
    // The viewers' print button issues invoices from the start, not only
    // once the OF-288 window has been opened.
    installInvoicePrintHook(app);
}

}  // namespace quillon
