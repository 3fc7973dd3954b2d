#pragma once
// The report viewer control and its window. The viewer shows the very PDF
// that prints, with page navigation, zoom, print and export; its print button
// asks its owner first (printButtonClicked) and prints only when allowed.

#include "reports/engine/report_engine.h"

#include <QBuffer>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPdfDocument;
class QPdfView;
class QSpinBox;
class QToolBar;

namespace quillon::reports {

class Printer;

class ReportViewer : public QWidget {
    Q_OBJECT
public:
    // The display switches the program sets (on, off, on, on, off, on).
    enum DisplaySwitch {
        NavigationControls = 256,
        GroupTree = 342,          // no group tree here: kept, without effect
        ZoomControl = 258,
        PrintButton = 253,
        RefreshButton = 251,      // no refresh here: kept, without effect
        ExportButton = 365,
    };

    explicit ReportViewer(QWidget* parent = nullptr);
    ~ReportViewer() override;

    void setDisplaySwitch(int id, bool on);
    bool displaySwitch(int id) const;

    void setReportSource(ReportPtr report);
    const ReportPtr& reportSource() const { return m_report; }
    // Renders the report and loads its pages; throws DbError when the report
    // cannot render. Busy until the pages are ready to show.
    void viewReport();
    bool isBusy() const;

    // Zoom in percent; fit width and fit page follow the window's size.
    void setZoom(int percent);
    int zoom() const;
    void zoomFitWidth();
    void zoomFitPage();

    int pageCount() const;
    int currentPage() const;          // 1-based; 0 with no pages
    void goToPage(int page);          // clamped to the pages there are
    void showFirstPage() { goToPage(1); }
    void showPreviousPage() { goToPage(currentPage() - 1); }
    void showNextPage() { goToPage(currentPage() + 1); }
    void showLastPage() { goToPage(pageCount()); }

    // The PDF bytes shown; what printing and export write.
    const QByteArray& pdf() const { return m_pdf; }
    void exportPdf(const QString& path) const;     // throws DbError
    void setPrinter(std::shared_ptr<Printer> printer) { m_printer = std::move(printer); }
    // Prints the shown report on the viewer's printer (throws DbError).
    void printReport();
    // What the print button does: asks printButtonClicked, then prints when allowed.
    void pressPrintButton();

    QPdfView* pdfView() const { return m_view; }
    QToolBar* toolBar() const { return m_toolBar; }

Q_SIGNALS:
    // Raised by the print button before printing; a handler sets *useDefault
    // to false to stop the viewer from printing.
    void printButtonClicked(bool* useDefault);
    // Raised when printing or export from the toolbar fails.
    void failed(const QString& message);
    void currentPageChanged(int page);

private:
    void updateControls();
    void exportFromButton();

    ReportPtr m_report;
    std::shared_ptr<Printer> m_printer;
    QByteArray m_pdf;
    QString m_title;
    QBuffer m_buffer;
    QPdfDocument* m_doc;
    QPdfView* m_view;
    QToolBar* m_toolBar;
    QAction* m_first;
    QAction* m_previous;
    QAction* m_next;
    QAction* m_last;
    QAction* m_pageBoxAction;
    QAction* m_pageLabelAction;
    QAction* m_zoomAction;
    QAction* m_print;
    QAction* m_export;
    QSpinBox* m_pageBox;
    QLabel* m_pageLabel;
    QComboBox* m_zoomBox;
    bool m_rendering = false;
    std::map<int, bool> m_switches;
};

// A viewer window: frmViewRpt (viewer 1) or frmViewRpt2 (viewer 2), holding
// ReportViewer1 or ReportViewer2. The viewer fills the window; in viewer 2 it
// sits a quarter inch down with the window's full height, as the form always had it.
class ViewerWindow : public QWidget {
    Q_OBJECT
public:
    explicit ViewerWindow(int slot, QWidget* parent = nullptr);
    int slot() const { return m_slot; }
    ReportViewer* viewer() const { return m_viewer; }
    static QString windowName(int slot);   // "frmViewRpt", "frmViewRpt2"
    static QString viewerName(int slot);   // "ReportViewer1", "ReportViewer2"

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_slot;
    ReportViewer* m_viewer;
};

}  // namespace quillon::reports
