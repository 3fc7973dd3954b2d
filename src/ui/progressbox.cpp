#include "ui/progressbox.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace quillon {

ProgressBox::ProgressBox(QWidget* window, Progress& progress) : m_window(window), m_progress(progress)
{
    m_progress.setListener([this](const Progress& p) { show(p); });
}

ProgressBox::~ProgressBox()
{
    m_progress.setListener({});
    delete m_dialog;
}

void ProgressBox::show(const Progress& progress)
{
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_window);
        m_dialog->setObjectName(QStringLiteral("RunProgress"));
        m_dialog->setWindowTitle(m_window ? m_window->windowTitle() : QString());
        // Modal to the whole program: the run holds the shared connection
        // (and its transaction) while the box serves its Cancel button.
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog, [this] {
            m_progress.requestCancel();
            m_dialog->setLabelText(QStringLiteral("Cancelling..."));
        });
    }
    if (m_progress.cancelRequested()) return;
    // The bar counts in thousandths, whatever the size of the step; a step of
    // unknown size shows a busy bar.
    const std::int64_t total = progress.total();
    m_dialog->setMaximum(total > 0 ? 1000 : 0);
    m_dialog->setLabelText(progress.finished() ? QStringLiteral("Done") : progress.text());
    m_dialog->setValue(total > 0 ? int(std::min<std::int64_t>(1000, progress.done() * 1000 / total)) : 0);
    if (!m_dialog->isVisible()) m_dialog->show();
    // The Cancel button (and the window's painting) are served between steps.
    QCoreApplication::processEvents();
}

}  // namespace quillon
