#include "invoicing/contractor_windows.h"

#include "invoicing/contractor_invoice.h"
#include "invoicing/contractor_reports.h"

namespace quillon {

void registerContractorWindows(App& app)
{
    app.windows().add(QStringLiteral("Form4"), [&app] { return new PaymentSummaryWindow(app); });
    app.windows().add(QStringLiteral("Form8"), [&app] { return new ContractorInvoiceWindow(app); });
    app.windows().add(QStringLiteral("Form10"), [&app] { return new ContractorDebitsWindow(app); });
}

}  // namespace quillon
