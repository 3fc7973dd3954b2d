#include "reports/output/report_viewer.h"

#include "data/dberror.h"
#include "reports/engine/pdf_writer.h"
#include "reports/printing/printer.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QResizeEvent>
#include <QSaveFile>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

namespace quillon::reports {

namespace {

const int kZoomPercents[] = {50, 75, 100, 125, 150, 200, 400};
constexpr int kFitWidth = -1;
constexpr int kFitPage = -2;

}  // namespace

ReportViewer::ReportViewer(QWidget* parent)
    : QWidget(parent), m_doc(new QPdfDocument(this)), m_view(new QPdfView(this)), m_toolBar(new QToolBar(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_view, 1);
    m_view->setDocument(m_doc);
    // One page at a time, as report viewers show them; the toolbar turns the pages.
    m_view->setPageMode(QPdfView::PageMode::SinglePage);

    m_first = m_toolBar->addAction(tr("First"), this, &ReportViewer::showFirstPage);
    m_previous = m_toolBar->addAction(tr("Previous"), this, &ReportViewer::showPreviousPage);
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("pageBox"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setToolTip(tr("Go to page"));
    m_pageBoxAction = m_toolBar->addWidget(m_pageBox);
    m_pageLabel = new QLabel(this);
    m_pageLabelAction = m_toolBar->addWidget(m_pageLabel);
    m_next = m_toolBar->addAction(tr("Next"), this, &ReportViewer::showNextPage);
    m_last = m_toolBar->addAction(tr("Last"), this, &ReportViewer::showLastPage);
    m_toolBar->addSeparator();
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("zoomBox"));
    m_zoomBox->addItem(tr("Fit width"), kFitWidth);
    m_zoomBox->addItem(tr("Fit page"), kFitPage);
    for (int z : kZoomPercents) m_zoomBox->addItem(QStringLiteral("%1%").arg(z), z);
    m_zoomAction = m_toolBar->addWidget(m_zoomBox);
    m_toolBar->addSeparator();
    m_print = m_toolBar->addAction(tr("Print"), this, &ReportViewer::pressPrintButton);
    m_export = m_toolBar->addAction(tr("Export PDF..."), this, &ReportViewer::exportFromButton);

    connect(m_pageBox, qOverload<int>(&QSpinBox::valueChanged), this, [this](int page) {
        if (page != currentPage()) goToPage(page);
    });
    connect(m_zoomBox, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const int z = m_zoomBox->itemData(index).toInt();
        if (z == kFitWidth) zoomFitWidth();
        else if (z == kFitPage) zoomFitPage();
        else setZoom(z);
    });
    connect(m_view->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, [this](int) {
        updateControls();
        Q_EMIT currentPageChanged(currentPage());
    });
    connect(m_doc, &QPdfDocument::statusChanged, this, [this](QPdfDocument::Status) { updateControls(); });

    for (int id : {NavigationControls, GroupTree, ZoomControl, PrintButton, RefreshButton, ExportButton})
        m_switches[id] = true;
    updateControls();
}

ReportViewer::~ReportViewer()
{
    m_view->setDocument(nullptr);
    m_doc->close();
}

void ReportViewer::setDisplaySwitch(int id, bool on)
{
    m_switches[id] = on;
    updateControls();
}

bool ReportViewer::displaySwitch(int id) const
{
    const auto it = m_switches.find(id);
    return it != m_switches.end() && it->second;
}

void ReportViewer::setReportSource(ReportPtr report)
{
    m_report = std::move(report);
}

void ReportViewer::viewReport()
{
    if (!m_report) return;
    m_rendering = true;
    QByteArray pdf;
    try {
        const Document& doc = m_report->render();
        m_title = doc.title;
        pdf = PdfWriter::toPdf(doc);
    } catch (...) {
        m_rendering = false;
        throw;
    }
    m_doc->close();
    m_buffer.close();
    m_pdf = std::move(pdf);
    m_buffer.setBuffer(&m_pdf);
    m_buffer.open(QIODevice::ReadOnly);
    m_doc->load(&m_buffer);
    m_rendering = false;
    updateControls();
}

bool ReportViewer::isBusy() const
{
    return m_rendering || m_doc->status() == QPdfDocument::Status::Loading;
}

void ReportViewer::setZoom(int percent)
{
    percent = std::clamp(percent, 10, 800);
    m_view->setZoomMode(QPdfView::ZoomMode::Custom);
    m_view->setZoomFactor(percent / 100.0);
    updateControls();
}

int ReportViewer::zoom() const
{
    return int(std::lround(m_view->zoomFactor() * 100));
}

void ReportViewer::zoomFitWidth()
{
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    updateControls();
}

void ReportViewer::zoomFitPage()
{
    m_view->setZoomMode(QPdfView::ZoomMode::FitInView);
    updateControls();
}

int ReportViewer::pageCount() const
{
    return m_doc->status() == QPdfDocument::Status::Ready ? m_doc->pageCount() : 0;
}

int ReportViewer::currentPage() const
{
    return pageCount() == 0 ? 0 : m_view->pageNavigator()->currentPage() + 1;
}

void ReportViewer::goToPage(int page)
{
    const int count = pageCount();
    if (count == 0) return;
    page = std::clamp(page, 1, count);
    m_view->pageNavigator()->jump(page - 1, QPointF(), m_view->pageNavigator()->currentZoom());
    updateControls();
}

void ReportViewer::exportPdf(const QString& path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(m_pdf) != m_pdf.size() || !f.commit())
        throw DbError(ErrorNumber::FileNotFound, tr("The PDF file %1 cannot be written: %2").arg(path, f.errorString()),
                      QStringLiteral("Report viewer"));
}

void ReportViewer::printReport()
{
    if (m_pdf.isEmpty()) return;
    if (!m_printer) throw DbError(ErrorNumber::Printer, tr("No printer is set up for this viewer"), QStringLiteral("Report viewer"));
    m_printer->printPdf(m_pdf, m_title);
}

void ReportViewer::pressPrintButton()
{
    bool useDefault = true;
    Q_EMIT printButtonClicked(&useDefault);
    if (!useDefault) return;
    try {
        printReport();
    } catch (const DbError& e) {
        Q_EMIT failed(e.description());
    }
}

void ReportViewer::exportFromButton()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Export report"), QString(), tr("PDF files (*.pdf)"));
    if (path.isEmpty()) return;
    try {
        exportPdf(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".pdf"));
    } catch (const DbError& e) {
        Q_EMIT failed(e.description());
    }
}

void ReportViewer::updateControls()
{
    const int count = pageCount();
    const int page = currentPage();
    const bool nav = displaySwitch(NavigationControls);
    for (QAction* a : {m_first, m_previous, m_next, m_last, m_pageBoxAction, m_pageLabelAction}) a->setVisible(nav);
    m_first->setEnabled(page > 1);
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < count);
    m_last->setEnabled(page < count);
    {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setRange(count > 0 ? 1 : 0, count);
        m_pageBox->setValue(page);
    }
    m_pageLabel->setText(tr(" of %1 ").arg(count));
    m_zoomAction->setVisible(displaySwitch(ZoomControl));
    int zoomIndex = -1;
    switch (m_view->zoomMode()) {
    case QPdfView::ZoomMode::FitToWidth: zoomIndex = m_zoomBox->findData(kFitWidth); break;
    case QPdfView::ZoomMode::FitInView: zoomIndex = m_zoomBox->findData(kFitPage); break;
    case QPdfView::ZoomMode::Custom: zoomIndex = m_zoomBox->findData(zoom()); break;
    }
    m_zoomBox->setCurrentIndex(zoomIndex);
    m_print->setVisible(displaySwitch(PrintButton));
    m_print->setEnabled(!m_pdf.isEmpty());
    m_export->setVisible(displaySwitch(ExportButton));
    m_export->setEnabled(!m_pdf.isEmpty());
}

ViewerWindow::ViewerWindow(int slot, QWidget* parent)
    : QWidget(parent, Qt::Window), m_slot(slot), m_viewer(new ReportViewer(this))
{
    setObjectName(windowName(slot));
    m_viewer->setObjectName(viewerName(slot));
    setWindowTitle(QStringLiteral("Corvala Report"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(850, 1000);
}

QString ViewerWindow::windowName(int slot)
{
    return slot == 2 ? QStringLiteral("frmViewRpt2") : QStringLiteral("frmViewRpt");
}

QString ViewerWindow::viewerName(int slot)
{
    return slot == 2 ? QStringLiteral("ReportViewer2") : QStringLiteral("ReportViewer1");
}

void ViewerWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // 360 twips is a quarter inch; the viewer keeps the window's full height.
    const int top = m_slot == 2 ? int(std::lround(360.0 * logicalDpiY() / 1440.0)) : 0;
    m_viewer->setGeometry(0, top, width(), height());
}

}  // namespace quillon::reports
