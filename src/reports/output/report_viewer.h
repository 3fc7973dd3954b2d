#pragma once
// The report viewer control and its window. The viewer shows the very PDF
// that prints, with page navigation, zoom, print and export; its print button
// asks its owner first (printButtonClicked) and prints only when allowed.
//
// Pages scroll continuously. Keys: PgUp/PgDown previous/next page, Home/End
// and Ctrl+Home/Ctrl+End first/last page, Ctrl+P the print button, Ctrl+F
// find (Enter or F3 next, Shift+Enter or Shift+F3 previous), Ctrl+S export,
// Esc closes the find bar, else the window.

#include "data/recordset.h"
#include "reports/engine/report_engine.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

class QAction;
class QComboBox;
class QFile;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPdfDocument;
class QPdfView;
class QSpinBox;
class QTemporaryFile;
class QToolBar;

namespace quillon::reports {

class PdfStream;
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
    // cannot render, LayoutCancelled when cancelLayout() stopped it. Busy
    // until the pages are ready to show. A long report shows its first pages
    // while the rest are laid out (pagesArrived), with the pages laid out so
    // far and a Cancel button; the page count reads "of ..." until the whole
    // report is there, and printing and export wait for it.
    //
    // The pages are written to a temporary PDF file as they settle, and the
    // laid-out pages are not kept: what the viewer shows is that file, while
    // laying out with an ending of its own that makes the pages so far a
    // whole PDF (page counts not known yet read "..."). Cancelling, a
    // failure or the next report removes the file.
    void viewReport();
    bool isBusy() const;
    bool isComplete() const { return m_complete; }
    // Stops a layout under way (viewReport then throws LayoutCancelled).
    void cancelLayout() { m_cancelRequested = true; }

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

    // The PDF of the whole report, read from its file: what printing and
    // export write. Empty until the report is whole.
    QByteArray pdf() const;
    // The pages the report laid out (a report with none shows one blank page).
    int reportPageCount() const { return m_reportPages; }
    void exportPdf(const QString& path) const;     // throws DbError
    void setPrinter(std::shared_ptr<Printer> printer) { m_printer = std::move(printer); }
    // Prints the shown report on the viewer's printer (throws DbError).
    void printReport();
    // What the print button does: asks printButtonClicked, then prints when allowed.
    void pressPrintButton();

    QPdfView* pdfView() const { return m_view; }
    QToolBar* toolBar() const { return m_toolBar; }

    // Find: every place the text stands on any page, case-insensitive, in
    // page order. find() shows the first hit on or after the shown page.
    struct FindHit {
        int page;     // 1-based
        QRectF rect;  // in points from the page's top left
    };
    int find(const QString& text);
    void findNext();
    void findPrevious();
    const std::vector<FindHit>& findHits() const { return m_hits; }
    int currentHit() const { return m_currentHit; }   // -1 with none
    void openFindBar();

    // Export: the file name offered (without folder and ".pdf"), the folder
    // offered when none was used before, and the report's rows, written as
    // CSV beside the PDF under the same name.
    void setExportBaseName(const QString& name) { m_exportBaseName = name; }
    void setRows(RecordsetPtr rows) { m_rows = std::move(rows); }
    const RecordsetPtr& rows() const { return m_rows; }
    // The folder of the last export (remembered), else the home folder, and
    // the base name: what the export dialog offers.
    QString suggestedExportPath() const;
    // Writes the PDF and, when the rows are known, the CSV beside it (same
    // name, ".csv"); remembers the folder. Throws DbError.
    void exportWithRows(const QString& pdfPath);

Q_SIGNALS:
    // Raised by the print button before printing; a handler sets *useDefault
    // to false to stop the viewer from printing.
    void printButtonClicked(bool* useDefault);
    // Raised when printing or export from the toolbar fails.
    void failed(const QString& message);
    void currentPageChanged(int page);
    // The first `pages` pages are shown; `complete` once the whole report is.
    void pagesArrived(int pages, bool complete);
    // Pages laid out so far, while viewReport works.
    void layoutProgress(int pages);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateControls();
    struct PdfFile;
    void showPdf(QFile& reader, qint64 length, QByteArray ending);
    bool layoutStep(const LayoutSnapshot& progress);
    void exportFromButton();
    void setUpDesktopKeys();
    void setUpFindBar();
    void showHit(int index);
    void updateFindLabel();
    QRectF pageRectInViewport(int page) const;   // page 0-based, in viewport pixels
    void paintHighlight(QWidget* overlay);

    ReportPtr m_report;
    std::shared_ptr<Printer> m_printer;
    std::unique_ptr<PdfFile> m_file;       // the whole report's PDF, once laid out
    std::unique_ptr<QIODevice> m_source;   // what the page view reads
    PdfFile* m_writing = nullptr;          // while laying out: the file written
    PdfStream* m_stream = nullptr;            // and the stream writing it
    int m_reportPages = 0;
    QString m_title;
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
    bool m_complete = false;
    bool m_cancelRequested = false;
    QWidget* m_progressBar = nullptr;
    QLabel* m_progressLabel = nullptr;
    QElapsedTimer m_layoutClock;
    qint64 m_nextShow = 0, m_nextEvents = 0;
    int m_shownPages = 0;
    std::map<int, bool> m_switches;

    QWidget* m_findBar = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QLabel* m_findLabel = nullptr;
    QWidget* m_highlight = nullptr;
    std::vector<FindHit> m_hits;
    int m_currentHit = -1;
    bool m_searched = false;
    QString m_exportBaseName;
    RecordsetPtr m_rows;
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
    // Sizes the window to the screen's available area, moved right and down
    // by `cascade` steps so that a second viewer does not hide the first.
    void placeOnScreen(int cascade);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int m_slot;
    ReportViewer* m_viewer;
};

}  // namespace quillon::reports
