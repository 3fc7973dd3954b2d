#pragma once
// How the equipment invoice code reaches the report pipeline and the invoice
// issuance entry. The OF-286 window and the issuance talk to reports only
// through this interface, so they run the same in the program, under a script
// and in tests.

#include "shell/appstate.h"

#include <cstdint>

namespace quillon {

class EquipmentReports {
public:
    virtual ~EquipmentReports() = default;
    // Builds the report state.ReportNumber names from the shared state
    // (BuildReport); invoiceKey is the invoice reports 7 and 13 cover. False
    // when the report was not built.
    virtual bool buildReport(AppState& state, std::int32_t& invoiceKey) = 0;
    // Sends the report just built to viewer 1 or 2 (preview not 0) or to the
    // default printer (preview 0) (ShowReport).
    virtual void showReport(AppState& state, std::int16_t preview, std::int16_t viewer) = 0;
    // Prints the report set as an official invoice (PrintInvoice): asks the
    // user, issues or records the copy and prints. True when the caller shall
    // print the report itself.
    virtual bool printInvoice(AppState& state, std::int16_t viewerSlot, bool fromViewer) = 0;
};

}  // namespace quillon
