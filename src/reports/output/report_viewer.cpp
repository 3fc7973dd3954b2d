#include "reports/output/report_viewer.h"

#include "data/dberror.h"
#include "reports/engine/pdf_writer.h"
#include "reports/output/csv_export.h"
#include "reports/output/remembered.h"
#include "reports/printing/printer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfSelection>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QResizeEvent>
#include <QSaveFile>
#include <QSpinBox>
#include <QTemporaryFile>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstring>
#include <functional>

namespace quillon::reports {

namespace {

const int kZoomPercents[] = {50, 75, 100, 125, 150, 200, 400};
constexpr int kFitWidth = -1;
constexpr int kFitPage = -2;

}  // namespace

namespace {

// A box of the toolbar with a label in front that names it and gives it a
// mnemonic; showing or hiding the pair's action shows or hides both.
QWidget* labelled(const QString& caption, QWidget* box)
{
    auto* pair = new QWidget(box->parentWidget());
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(4, 0, 0, 0);
    auto* label = new QLabel(caption, pair);
    label->setBuddy(box);
    row->addWidget(label);
    row->addWidget(box);
    return pair;
}

}  // namespace

namespace {

// What the page view reads: the first `length` bytes of a file, then an
// ending held in memory. The file only grows while the report is written,
// so the bytes read never change under the view.
class PdfSource : public QIODevice {
public:
    PdfSource(QFile& file, qint64 length, QByteArray ending)
        : m_file(file), m_length(length), m_ending(std::move(ending)) {}
    bool open(OpenMode mode) override { return QIODevice::open(mode | QIODevice::Unbuffered); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_length + m_ending.size(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        qint64 at = pos(), done = 0;
        if (at < m_length) {
            if (!m_file.seek(at)) return -1;
            done = m_file.read(data, std::min(max, m_length - at));
            if (done < 0) return -1;
            at += done;
        }
        if (at >= m_length && done < max) {
            const qint64 n = std::min<qint64>(max - done, m_ending.size() - (at - m_length));
            if (n > 0) {
                std::memcpy(data + done, m_ending.constData() + (at - m_length), size_t(n));
                done += n;
            }
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile& m_file;
    qint64 m_length;
    QByteArray m_ending;
};

}  // namespace

// The report's PDF in a temporary file: written by one handle, read by two
// (the page view, and export and printing). Where the system allows, the
// file's name goes at once and the open handles keep it: nothing is left
// behind even when the program ends without closing the window.
struct ReportViewer::PdfFile {
    QTemporaryFile written{QDir(QDir::tempPath()).filePath(QStringLiteral("quillon-report-XXXXXX.pdf"))};
    QFile view, copy;

    PdfFile()
    {
        bool ok = written.open();
        if (ok) {
            view.setFileName(written.fileName());
            copy.setFileName(written.fileName());
            ok = view.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly);
        }
        if (!ok)
            throw DbError(ErrorNumber::FileAccess,
                          tr("The report cannot be shown: no temporary file can be made in %1: %2")
                              .arg(QDir::toNativeSeparators(QDir::tempPath()), written.errorString()),
                          QStringLiteral("Report viewer"));
        if (QFile::remove(written.fileName())) written.setAutoRemove(false);
    }
};

ReportViewer::ReportViewer(QWidget* parent)
    : QWidget(parent), m_doc(new QPdfDocument(this)), m_view(new QPdfView(this)), m_toolBar(new QToolBar(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    // Shown while a long report is laid out: how far it is, and Cancel.
    m_progressBar = new QWidget(this);
    m_progressBar->setObjectName(QStringLiteral("layoutProgress"));
    auto* progressRow = new QHBoxLayout(m_progressBar);
    progressRow->setContentsMargins(4, 2, 4, 2);
    m_progressLabel = new QLabel(m_progressBar);
    m_progressLabel->setObjectName(QStringLiteral("layoutProgressText"));
    auto* cancel = new QPushButton(tr("Cancel"), m_progressBar);
    cancel->setObjectName(QStringLiteral("cmdCancelLayout"));
    connect(cancel, &QPushButton::clicked, this, &ReportViewer::cancelLayout);
    progressRow->addWidget(m_progressLabel, 1);
    progressRow->addWidget(cancel);
    layout->addWidget(m_progressBar);
    m_progressBar->hide();
    layout->addWidget(m_view, 1);
    m_view->setDocument(m_doc);
    // The pages follow each other: the wheel and the scroll bar go through
    // the whole report; the toolbar and the keys jump page by page.
    m_view->setPageMode(QPdfView::PageMode::MultiPage);

    m_first = m_toolBar->addAction(tr("First"), this, &ReportViewer::showFirstPage);
    m_previous = m_toolBar->addAction(tr("Previous"), this, &ReportViewer::showPreviousPage);
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("pageBox"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setToolTip(tr("Go to page"));
    m_pageBoxAction = m_toolBar->addWidget(labelled(tr("Pa&ge"), m_pageBox));
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
    m_zoomAction = m_toolBar->addWidget(labelled(tr("&Zoom"), m_zoomBox));
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
    setUpFindBar();
    setUpDesktopKeys();
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
    m_complete = false;
    m_cancelRequested = false;
    m_shownPages = 0;
    m_reportPages = 0;
    m_nextShow = 0;
    m_nextEvents = 0;
    m_layoutClock.start();
    m_progressLabel->clear();
    // The pages of an earlier report go with their file.
    m_doc->close();
    m_source.reset();
    m_file.reset();
    updateControls();
    QPointer<ReportViewer> alive(this);
    // Held here, not by the window, which the user may close while the report
    // is laid out.
    std::unique_ptr<PdfFile> file;
    Document doc;
    try {
        file = std::make_unique<PdfFile>();
        PdfStream stream(file->written);
        m_writing = file.get();
        m_stream = &stream;
        // The report stays alive even if the window goes while it lays out.
        const ReportPtr report = m_report;
        doc = report->renderPdfTo(stream, [this, alive](const LayoutSnapshot& progress) {
            return alive && layoutStep(progress);
        });
        if (!file->written.flush())
            throw DbError(ErrorNumber::FileAccess, tr("The report's PDF cannot be written: %1").arg(file->written.errorString()),
                          QStringLiteral("Report viewer"));
    } catch (...) {
        if (alive) {
            m_writing = nullptr;
            m_stream = nullptr;
            m_rendering = false;
            m_progressBar->hide();
            // The pages shown so far read the file, which goes now.
            m_doc->close();
            m_source.reset();
            updateControls();
        }
        throw;
    }
    m_writing = nullptr;
    m_stream = nullptr;
    m_rendering = false;
    m_complete = true;
    m_progressBar->hide();
    m_title = doc.title;
    m_reportPages = doc.pageCount();
    const qint64 length = file->written.size();
    m_file = std::move(file);
    showPdf(m_file->view, length, QByteArray());
    QPointer<ReportViewer> stillAlive(this);
    Q_EMIT layoutProgress(m_reportPages);
    if (stillAlive) Q_EMIT pagesArrived(pageCount(), true);
}

// One page more is laid out: the pages settled so far are shown, first at
// once and then at growing intervals (each showing writes the ending of the
// pages so far again: their page tree, fonts and page-number fields), and
// the window stays responsive, its Cancel button included.
bool ReportViewer::layoutStep(const LayoutSnapshot& progress)
{
    const qint64 now = m_layoutClock.elapsed();
    const int settled = progress.settledPages();
    if (m_stream && settled > m_shownPages && now >= m_nextShow && settled < progress.pagesLaidOut()) {
        QElapsedTimer cost;
        cost.start();
        QByteArray ending = m_stream->provisionalEnding(m_report ? m_report->title() : QString(),
                                                        [&progress](PageSink& sink) { progress.fillSettledFields(sink); });
        if (!m_writing->written.flush())
            throw DbError(ErrorNumber::FileAccess,
                          tr("The report's PDF cannot be written: %1").arg(m_writing->written.errorString()),
                          QStringLiteral("Report viewer"));
        showPdf(m_writing->view, m_writing->written.size(), std::move(ending));
        m_shownPages = settled;
        m_nextShow = m_layoutClock.elapsed() + std::max<qint64>(500, 4 * cost.elapsed());
        QPointer<ReportViewer> alive(this);
        Q_EMIT pagesArrived(settled, false);
        if (!alive) return false;
    }
    if (now >= m_nextEvents) {
        m_nextEvents = now + 50;
        if (now >= 300) m_progressBar->show();
        m_progressLabel->setText(tr("Laying out the report: page %1").arg(progress.pagesLaidOut()));
        QPointer<ReportViewer> alive(this);
        Q_EMIT layoutProgress(progress.pagesLaidOut());
        if (!alive) return false;
        QCoreApplication::processEvents();
        if (!alive) return false;
    }
    return !m_cancelRequested;
}

void ReportViewer::showPdf(QFile& reader, qint64 length, QByteArray ending)
{
    const int page = currentPage();
    m_doc->close();
    auto source = std::make_unique<PdfSource>(reader, length, std::move(ending));
    source->open(QIODevice::ReadOnly);
    m_doc->load(source.get());
    m_source = std::move(source);   // the one before goes once the document has let go of it
    if (page > 1) goToPage(page);
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

QByteArray ReportViewer::pdf() const
{
    if (!m_complete || !m_file || !m_file->copy.seek(0)) return QByteArray();
    return m_file->copy.readAll();
}

void ReportViewer::exportPdf(const QString& path) const
{
    if (!m_complete)
        throw DbError(ErrorNumber::Generic, tr("The report is still being laid out; it can be exported once it is whole"),
                      QStringLiteral("Report viewer"));
    QFile* in = m_file ? &m_file->copy : nullptr;
    QSaveFile f(path);
    bool ok = in && in->seek(0) && f.open(QIODevice::WriteOnly);
    // A long report is copied a piece at a time.
    for (QByteArray piece; ok && !(piece = in->read(1 << 20)).isEmpty();)
        ok = f.write(piece) == piece.size();
    if (!ok || in->error() != QFileDevice::NoError || !f.commit())
        throw DbError(ErrorNumber::FileNotFound, tr("The PDF file %1 cannot be written: %2").arg(path, f.errorString()),
                      QStringLiteral("Report viewer"));
}

void ReportViewer::printReport()
{
    if (!m_file && !m_rendering) return;
    if (!m_complete)
        throw DbError(ErrorNumber::Printer, tr("The report is still being laid out; it prints once it is whole"),
                      QStringLiteral("Report viewer"));
    if (!m_printer) throw DbError(ErrorNumber::Printer, tr("No printer is set up for this viewer"), QStringLiteral("Report viewer"));
    const QByteArray bytes = pdf();
    if (bytes.isEmpty())
        throw DbError(ErrorNumber::Printer, tr("The report's PDF cannot be read back to print it"), QStringLiteral("Report viewer"));
    m_printer->printPdf(bytes, m_title);
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
    if (!m_complete) return;
    QString path = QFileDialog::getSaveFileName(this, tr("Export report"), suggestedExportPath(), tr("PDF files (*.pdf)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    try {
        exportWithRows(path);
    } catch (const DbError& e) {
        Q_EMIT failed(e.description());
    }
}

QString ReportViewer::suggestedExportPath() const
{
    QString folder = remembered::text(remembered::LastExportFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    QString name = m_exportBaseName.isEmpty() ? m_title : m_exportBaseName;
    if (name.trimmed().isEmpty()) name = QStringLiteral("Report");
    // Characters a file name cannot hold on the systems files travel to.
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c < QChar(32)) c = QLatin1Char('-');
    return QDir(folder).filePath(name.trimmed() + QStringLiteral(".pdf"));
}

void ReportViewer::exportWithRows(const QString& pdfPath)
{
    exportPdf(pdfPath);
    const QFileInfo info(pdfPath);
    if (m_rows && m_rows->isOpen()) {
        const QString csvPath = info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv"));
        const QByteArray csv = rowsToCsv(*m_rows);
        QSaveFile f(csvPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size() || !f.commit())
            throw DbError(ErrorNumber::FileNotFound,
                          tr("The CSV file %1 cannot be written: %2").arg(csvPath, f.errorString()),
                          QStringLiteral("Report viewer"));
    }
    remembered::setValue(remembered::LastExportFolder, info.absolutePath());
}

// --- keys -------------------------------------------------------------------

void ReportViewer::setUpDesktopKeys()
{
    m_view->setFocusPolicy(Qt::StrongFocus);
    m_view->installEventFilter(this);
    setFocusProxy(m_view);
    m_print->setToolTip(tr("Print (Ctrl+P)"));
    m_export->setToolTip(tr("Export as PDF, with the rows as CSV beside it (Ctrl+S)"));
    auto* findAction = m_toolBar->addAction(tr("Find"), this, &ReportViewer::openFindBar);
    findAction->setToolTip(tr("Find text (Ctrl+F)"));
}

// Page keys reach the page view first, which would otherwise scroll by a
// screenful; here they move by whole pages.
bool ReportViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::NoModifier || mods == Qt::ControlModifier) {
            switch (key->key()) {
            case Qt::Key_PageDown: if (mods == Qt::NoModifier) { showNextPage(); return true; } break;
            case Qt::Key_PageUp: if (mods == Qt::NoModifier) { showPreviousPage(); return true; } break;
            case Qt::Key_Home: showFirstPage(); return true;
            case Qt::Key_End: showLastPage(); return true;
            default: break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ReportViewer::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (mods == Qt::ControlModifier && key == Qt::Key_P) {
        if (m_print->isVisible() && m_print->isEnabled()) pressPrintButton();
    } else if (mods == Qt::ControlModifier && key == Qt::Key_F) {
        openFindBar();
    } else if (mods == Qt::ControlModifier && key == Qt::Key_S) {
        if (m_export->isVisible() && m_export->isEnabled()) exportFromButton();
    } else if (key == Qt::Key_F3 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        if (mods == Qt::ShiftModifier) findPrevious();
        else findNext();
    } else if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
        if (m_findBar->isVisible() && m_findBar->isAncestorOf(QApplication::focusWidget())) {
            m_findBar->hide();
            m_view->setFocus();
        } else {
            window()->close();
        }
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

// --- find -------------------------------------------------------------------

namespace {

// Paints the find highlight over the pages without taking their mouse.
class HighlightOverlay : public QWidget {
public:
    HighlightOverlay(QWidget* viewport, std::function<void(QWidget*)> paint)
        : QWidget(viewport), m_paint(std::move(paint))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        viewport->installEventFilter(this);
        setGeometry(viewport->rect());
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
        return false;
    }

protected:
    void paintEvent(QPaintEvent*) override { m_paint(this); }

private:
    std::function<void(QWidget*)> m_paint;
};

}  // namespace

void ReportViewer::setUpFindBar()
{
    m_findBar = new QWidget(this);
    m_findBar->setObjectName(QStringLiteral("findBar"));
    auto* row = new QHBoxLayout(m_findBar);
    row->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(tr("F&ind:"), m_findBar);
    m_findEdit = new QLineEdit(m_findBar);
    m_findEdit->setObjectName(QStringLiteral("findText"));
    label->setBuddy(m_findEdit);
    auto* previous = new QPushButton(tr("&Previous"), m_findBar);
    previous->setObjectName(QStringLiteral("cmdFindPrevious"));
    auto* next = new QPushButton(tr("&Next"), m_findBar);
    next->setObjectName(QStringLiteral("cmdFindNext"));
    m_findLabel = new QLabel(m_findBar);
    row->addWidget(label);
    row->addWidget(m_findEdit, 1);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(m_findLabel);
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, m_findBar);
    m_findBar->hide();

    // Enter finds the text typed, or the next place once it was found.
    connect(m_findEdit, &QLineEdit::returnPressed, this, [this] {
        if (QApplication::keyboardModifiers() & Qt::ShiftModifier) findPrevious();
        else findNext();
    });
    connect(m_findEdit, &QLineEdit::textEdited, this, [this] {
        m_searched = false;
        m_hits.clear();
        m_currentHit = -1;
        updateFindLabel();
        m_highlight->update();
    });
    connect(next, &QPushButton::clicked, this, &ReportViewer::findNext);
    connect(previous, &QPushButton::clicked, this, &ReportViewer::findPrevious);

    m_highlight = new HighlightOverlay(m_view->viewport(), [this](QWidget* w) { paintHighlight(w); });
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, m_highlight, qOverload<>(&QWidget::update));
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, m_highlight, qOverload<>(&QWidget::update));
}

void ReportViewer::openFindBar()
{
    m_findBar->show();
    m_findEdit->setFocus(Qt::ShortcutFocusReason);
    m_findEdit->selectAll();
}

int ReportViewer::find(const QString& text)
{
    m_hits.clear();
    m_currentHit = -1;
    m_searched = true;
    if (m_findEdit->text() != text) m_findEdit->setText(text);
    if (!text.isEmpty()) {
        for (int page = 0; page < pageCount(); ++page) {
            const QString pageText = m_doc->getAllText(page).text();
            for (int at = pageText.indexOf(text, 0, Qt::CaseInsensitive); at >= 0;
                 at = pageText.indexOf(text, at + text.size(), Qt::CaseInsensitive))
                m_hits.push_back({page + 1, m_doc->getSelectionAtIndex(page, at, int(text.size())).boundingRectangle()});
        }
    }
    int first = -1;
    for (int i = 0; i < int(m_hits.size()) && first < 0; ++i)
        if (m_hits[i].page >= currentPage()) first = i;
    showHit(first < 0 && !m_hits.empty() ? 0 : first);
    return int(m_hits.size());
}

void ReportViewer::findNext()
{
    if (m_currentHit < 0 || m_findEdit->text().isEmpty()) {
        find(m_findEdit->text());
        return;
    }
    showHit((m_currentHit + 1) % int(m_hits.size()));
}

void ReportViewer::findPrevious()
{
    if (m_currentHit < 0 || m_findEdit->text().isEmpty()) {
        find(m_findEdit->text());
        return;
    }
    showHit((m_currentHit + int(m_hits.size()) - 1) % int(m_hits.size()));
}

void ReportViewer::showHit(int index)
{
    m_currentHit = index;
    if (index >= 0) {
        const FindHit& hit = m_hits[size_t(index)];
        goToPage(hit.page);
        // Then bring the place itself into view, a third of the way down.
        const QRectF page = pageRectInViewport(hit.page - 1);
        const qreal scale = page.width() / m_doc->pagePointSize(hit.page - 1).width();
        QScrollBar* bar = m_view->verticalScrollBar();
        const qreal top = page.top() + bar->value() + hit.rect.top() * scale;
        bar->setValue(int(top - m_view->viewport()->height() / 3.0));
    }
    updateFindLabel();
    m_highlight->update();
}

void ReportViewer::updateFindLabel()
{
    if (m_currentHit >= 0)
        m_findLabel->setText(tr("%1 of %2 (page %3)")
                                 .arg(m_currentHit + 1)
                                 .arg(m_hits.size())
                                 .arg(m_hits[size_t(m_currentHit)].page));
    else if (m_hits.empty() && !m_findEdit->text().isEmpty() && m_searched)
        m_findLabel->setText(tr("Not found"));
    else
        m_findLabel->clear();
}

// Where a page stands in the view's viewport, laid out as the page view
// lays out its pages: one column, centred, a margin around and a spacing
// between them, at the screen's resolution times the zoom.
QRectF ReportViewer::pageRectInViewport(int page) const
{
    const QMargins margins = m_view->documentMargins();
    const QWidget* viewport = m_view->viewport();
    const qreal resolution = QGuiApplication::primaryScreen()->logicalDotsPerInch() / 72.0;
    auto pageSize = [&](int p) {
        QSize size = (m_doc->pagePointSize(p) * resolution).toSize();
        switch (m_view->zoomMode()) {
        case QPdfView::ZoomMode::Custom:
            size = (m_doc->pagePointSize(p) * resolution * m_view->zoomFactor()).toSize();
            break;
        case QPdfView::ZoomMode::FitToWidth:
            size *= qreal(viewport->width() - margins.left() - margins.right()) / qreal(size.width());
            break;
        case QPdfView::ZoomMode::FitInView:
            size = size.scaled(viewport->size() - QSize(margins.left() + margins.right(), m_view->pageSpacing()),
                               Qt::KeepAspectRatio);
            break;
        }
        return size;
    };
    int totalWidth = 0;
    for (int p = 0; p < pageCount(); ++p) totalWidth = std::max(totalWidth, pageSize(p).width());
    totalWidth += margins.left() + margins.right();
    int y = margins.top();
    for (int p = 0; p < page; ++p) y += pageSize(p).height() + m_view->pageSpacing();
    const QSize size = pageSize(page);
    const int x = (std::max(totalWidth, viewport->width()) - size.width()) / 2;
    return QRectF(x - m_view->horizontalScrollBar()->value(), y - m_view->verticalScrollBar()->value(),
                  size.width(), size.height());
}

void ReportViewer::paintHighlight(QWidget* overlay)
{
    if (m_hits.empty() || pageCount() == 0) return;
    QPainter painter(overlay);
    for (int i = 0; i < int(m_hits.size()); ++i) {
        const FindHit& hit = m_hits[size_t(i)];
        const QRectF page = pageRectInViewport(hit.page - 1);
        if (!page.intersects(overlay->rect())) continue;
        const qreal scale = page.width() / m_doc->pagePointSize(hit.page - 1).width();
        const QRectF r(page.left() + hit.rect.left() * scale, page.top() + hit.rect.top() * scale,
                       hit.rect.width() * scale, hit.rect.height() * scale);
        const QColor colour = i == m_currentHit ? QColor(255, 140, 0, 110) : QColor(255, 230, 0, 90);
        painter.fillRect(r.adjusted(-1, -1, 1, 1), colour);
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
    m_pageLabel->setText(m_rendering ? tr(" of %1 ").arg(QChar(0x2026)) : tr(" of %1 ").arg(count));
    m_zoomAction->setVisible(displaySwitch(ZoomControl));
    int zoomIndex = -1;
    switch (m_view->zoomMode()) {
    case QPdfView::ZoomMode::FitToWidth: zoomIndex = m_zoomBox->findData(kFitWidth); break;
    case QPdfView::ZoomMode::FitInView: zoomIndex = m_zoomBox->findData(kFitPage); break;
    case QPdfView::ZoomMode::Custom: zoomIndex = m_zoomBox->findData(zoom()); break;
    }
    m_zoomBox->setCurrentIndex(zoomIndex);
    m_print->setVisible(displaySwitch(PrintButton));
    m_print->setEnabled(m_complete);
    m_export->setVisible(displaySwitch(ExportButton));
    m_export->setEnabled(m_complete);
}

ViewerWindow::ViewerWindow(int slot, QWidget* parent)
    : QWidget(parent, Qt::Window), m_slot(slot), m_viewer(new ReportViewer(this))
{
    setObjectName(windowName(slot));
    m_viewer->setObjectName(viewerName(slot));
    setWindowTitle(QStringLiteral("Corvala Report"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The keys go to the pages as soon as the window shows.
    setFocusProxy(m_viewer);
    resize(850, 1000);
}

void ViewerWindow::placeOnScreen(int cascade)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // Room for the window frame, which is not known before the window shows.
    const QSize frame(16, 40);
    const int step = 40 * cascade;
    resize(area.size() - frame - QSize(step, step));
    move(area.topLeft() + QPoint(step, step));
}

QString ViewerWindow::windowName(int slot)
{
    return slot == 2 ? QStringLiteral("frmViewRpt2") : QStringLiteral("frmViewRpt");
}

QString ViewerWindow::viewerName(int slot)
{
    return slot == 2 ? QStringLiteral("ReportViewer2") : QStringLiteral("ReportViewer1");
}

void ViewerWindow::closeEvent(QCloseEvent* event)
{
    m_viewer->cancelLayout();
    QWidget::closeEvent(event);
}

void ViewerWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // 360 twips is a quarter inch; the viewer keeps the window's full height.
    const int top = m_slot == 2 ? int(std::lround(360.0 * logicalDpiY() / 1440.0)) : 0;
    m_viewer->setGeometry(0, top, width(), height());
}

}  // namespace quillon::reports
