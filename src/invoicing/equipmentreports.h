#pragma once
// How the equipment invoice code reaches the report pipeline and the invoice
// issuance entry. The OF-286 window and the issuance talk to reports only
// through this interface, so they run the same in the program, under a script
// and in tests.

#include "shell/appstate.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace quillon {

class App;

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

    // Official prints lay their forms out before the invoice is committed and
    // print them after, so that a template problem writes nothing.
    // layOut renders the report just built (state.OpenReport) to a PDF and
    // returns it with its job title; engine errors pass as DbError.
    struct LaidOut {
        QByteArray pdf;
        QString title;
    };
    virtual LaidOut layOut(AppState& state) = 0;
    // Throws DbError(Printer) when the default printer cannot take a job now.
    virtual void checkPrinter() = 0;
    // Prints a laid-out report on the default printer (state.OpenReport is
    // the report it was laid out from). Printer errors pass as DbError.
    virtual void printLaidOut(AppState& state, const LaidOut& report) = 0;
    // Where the forms of an invoice that could not be printed are kept.
    virtual QString keepFolder() = 0;
};

// The program's pipeline: BuildReport and ShowReport over the application's
// shared state and connection, and PrintInvoice for official prints.
class AppEquipmentReports : public EquipmentReports {
public:
    explicit AppEquipmentReports(App& app) : m_app(app) {}
    bool buildReport(AppState& state, std::int32_t& invoiceKey) override;
    void showReport(AppState& state, std::int16_t preview, std::int16_t viewer) override;
    bool printInvoice(AppState& state, std::int16_t viewerSlot, bool fromViewer) override;
    LaidOut layOut(AppState& state) override;
    void checkPrinter() override;
    void printLaidOut(AppState& state, const LaidOut& report) override;
    // The application's data folder, "Unprinted invoices".
    QString keepFolder() override;

private:
    App& m_app;
};

// The equipment path of the invoice issuance (PrintInvoice hands reports 7
// and 13 to it in ORIGINAL or DUPLICATE ORIGINAL once the user has confirmed):
// issues the invoice or records the copy, then prints the OF-286 and, when a
// total is not zero, the deductions. Returns false (the caller prints nothing
// more).
bool PrintEquipmentInvoice(App& app, std::int16_t ViewerSlot);

}  // namespace quillon
