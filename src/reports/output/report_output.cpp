#include "reports/output/report_output.h"

#include "reports/printing/printer.h"

#include <QApplication>
#include <QMessageBox>

namespace quillon::reports {

ReportOutput::ReportOutput(std::shared_ptr<Printer> printer)
    : m_printer(std::move(printer)),
      m_printHook([](int, bool) { return true; }),
      m_errorHandler([](const QString& message) {
          QMessageBox::critical(nullptr, QStringLiteral("Error"), message);
      })
{
}

ReportOutput::~ReportOutput()
{
    for (auto& w : m_windows) delete w.data();
}

ViewerWindow* ReportOutput::window(int viewerSlot) const
{
    if (viewerSlot != 1 && viewerSlot != 2) return nullptr;
    return m_windows[viewerSlot - 1].data();
}

// Unloads every window of that viewer's name. The window is renamed and hidden
// at once and deleted when control returns to the event loop, so a viewer
// whose own print button led here is not destroyed under its feet.
void ReportOutput::closeViewer(int viewerSlot)
{
    const QString name = ViewerWindow::windowName(viewerSlot).toLower();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName().toLower() != name) continue;
        w->setObjectName(QString());
        w->hide();
        w->deleteLater();
    }
    m_windows[viewerSlot - 1] = nullptr;
}

void ReportOutput::showReport(int previewFlag, int viewerNumber, const ReportPtr& report, const QString& reportTitle,
                              const QString& reportTitle2, std::shared_ptr<ReportApplication>* engineApplication)
{
    if (report) report->discardSavedData();
    if ((viewerNumber == 1 || viewerNumber == 2) && report) {
        closeViewer(viewerNumber);
        if (previewFlag == 0) {
            report->printOut(*m_printer);
            if (m_observer)
                m_observer(Delivery::Print, viewerNumber, viewerNumber == 1 ? reportTitle : reportTitle2, report);
        } else {
            auto* window = new ViewerWindow(viewerNumber);
            ReportViewer* viewer = window->viewer();
            viewer->setPrinter(m_printer);
            QObject::connect(viewer, &ReportViewer::printButtonClicked, window, [this, viewerNumber](bool* useDefault) {
                *useDefault = m_printHook(viewerNumber, true);
            });
            QObject::connect(viewer, &ReportViewer::failed, window,
                             [this](const QString& message) { m_errorHandler(message); });
            const bool switches[] = {true, false, true, true, false, true};
            const int ids[] = {256, 342, 258, 253, 251, 365};
            for (int i = 0; i < 6; ++i) viewer->setDisplaySwitch(ids[i], switches[i]);
            window->setWindowTitle(viewerNumber == 1 ? reportTitle : reportTitle2);
            viewer->setZoom(100);
            viewer->setReportSource(report);
            try {
                viewer->viewReport();
            } catch (...) {
                delete window;
                throw;
            }
            // While the pages load the user may act, even show another report
            // in this viewer, which unloads this window: then stop here.
            QPointer<ViewerWindow> alive(window);
            m_windows[viewerNumber - 1] = window;
            while (alive && !alive->objectName().isEmpty() && viewer->isBusy())
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            if (alive && !alive->objectName().isEmpty()) {
                window->show();
                if (m_observer) m_observer(Delivery::Preview, viewerNumber, window->windowTitle(), report);
            }
        }
    }
    if (engineApplication) engineApplication->reset();
}

}  // namespace quillon::reports
