#include "reports/output/report_output.h"

#include "reports/printing/printer.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

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
        if (auto* viewerWindow = qobject_cast<ViewerWindow*>(w)) viewerWindow->viewer()->cancelLayout();
        w->hide();
        w->deleteLater();
    }
    m_windows[viewerSlot - 1] = nullptr;
}

QString ReportOutput::exportBaseName(const QString& title, const QString& incidentNumber, const QDate& date)
{
    QStringList parts;
    for (const QString& part : {title.trimmed(), incidentNumber.trimmed(), date.toString(Qt::ISODate)})
        if (!part.isEmpty()) parts << part;
    return parts.join(QLatin1Char(' '));
}

// The window opens over the screen's free area with the page width filling
// it (a second viewer a step down and right, so both show), and knows what
// its export is to be called and which rows go with it.
void ReportOutput::prepareViewer(ViewerWindow& window, const QString& title)
{
    int cascade = 0;
    for (const auto& other : m_windows)
        if (other && other != &window && !other->objectName().isEmpty()) ++cascade;
    window.placeOnScreen(cascade);
    ReportViewer* viewer = window.viewer();
    viewer->zoomFitWidth();
    const PreviewDetails details = m_details ? m_details() : PreviewDetails{};
    viewer->setExportBaseName(exportBaseName(title, details.incidentNumber, QDate::currentDate()));
    viewer->setRows(details.rows);
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
            prepareViewer(*window, window->windowTitle());
            viewer->setReportSource(report);
            // A long report shows its window with the first pages while the
            // rest are laid out. Meanwhile the user may act, even show another
            // report in this viewer, which unloads this window: then stop here.
            QPointer<ViewerWindow> alive(window);
            m_windows[viewerNumber - 1] = window;
            QObject::connect(viewer, &ReportViewer::pagesArrived, window, [window](int, bool complete) {
                if (!complete && !window->objectName().isEmpty() && !window->isVisible()) window->show();
            });
            try {
                viewer->viewReport();
            } catch (const LayoutCancelled&) {
                // Cancelled in the window, or the window was closed or replaced.
                if (alive) {
                    if (m_windows[viewerNumber - 1] == window) m_windows[viewerNumber - 1] = nullptr;
                    window->setObjectName(QString());
                    window->hide();
                    window->deleteLater();
                }
                if (engineApplication) engineApplication->reset();
                return;
            } catch (...) {
                if (alive) {
                    if (m_windows[viewerNumber - 1] == window) m_windows[viewerNumber - 1] = nullptr;
                    delete window;
                }
                throw;
            }
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
