#pragma once
// Report output: a built report goes to the default printer or to one of the
// two viewer windows (frmViewRpt, frmViewRpt2), at most one of each. Showing
// a report closes the earlier report of the same viewer only.

#include "reports/engine/report_engine.h"
#include "reports/output/report_viewer.h"

#include <QDate>
#include <QPointer>

#include <functional>
#include <memory>

namespace quillon::reports {

class Printer;

class ReportOutput {
public:
    // Asked when a viewer's print button is pressed, with the viewer number
    // and FromViewer true; the viewer prints only when it answers true.
    using PrintHook = std::function<bool(int viewerSlot, bool fromViewer)>;
    // Shown printing and export failures of the viewers' own buttons.
    using ErrorHandler = std::function<void(const QString& message)>;
    // Told of every report that went out through showReport: a preview once
    // its window is shown (title = the window's caption), or a print once the
    // job was handed to the printer.
    enum class Delivery { Preview, Print };
    using Observer = std::function<void(Delivery delivery, int viewerNumber, const QString& title,
                                        const ReportPtr& report)>;

    // Asked at each preview: the incident the report is about and the rows it
    // shows, for the export's file name and its CSV.
    struct PreviewDetails {
        QString incidentNumber;
        RecordsetPtr rows;
    };
    using DetailsSource = std::function<PreviewDetails()>;

    explicit ReportOutput(std::shared_ptr<Printer> printer);
    ~ReportOutput();

    void setPrintHook(PrintHook hook) { m_printHook = std::move(hook); }
    void setErrorHandler(ErrorHandler handler) { m_errorHandler = std::move(handler); }
    void setObserver(Observer observer) { m_observer = std::move(observer); }
    void setDetailsSource(DetailsSource source) { m_details = std::move(source); }

    // The file name an export offers: "<title> <incident number> <date>",
    // the date as yyyy-MM-dd; an empty part is left out.
    static QString exportBaseName(const QString& title, const QString& incidentNumber, const QDate& date);
    const std::shared_ptr<Printer>& printer() const { return m_printer; }

    // Sends the report out: preview flag 0 prints it on the default printer
    // without a dialog, any other value previews it in viewer 1 or 2 (caption
    // reportTitle or reportTitle2); a viewer number other than 1 or 2 gives no
    // output. Saved data is discarded first and the engine application object
    // (when given) is released last. Engine and printer errors pass to the caller.
    void showReport(int previewFlag, int viewerNumber, const ReportPtr& report, const QString& reportTitle,
                    const QString& reportTitle2, std::shared_ptr<ReportApplication>* engineApplication = nullptr);

    // The open window of a viewer, or null.
    ViewerWindow* window(int viewerSlot) const;

private:
    void closeViewer(int viewerSlot);
    void prepareViewer(ViewerWindow& window, const QString& title);
    std::shared_ptr<Printer> m_printer;
    PrintHook m_printHook;
    ErrorHandler m_errorHandler;
    Observer m_observer;
    DetailsSource m_details;
    QPointer<ViewerWindow> m_windows[2];
};

}  // namespace quillon::reports
