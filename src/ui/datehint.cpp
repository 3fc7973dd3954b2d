#include "ui/datehint.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace quillon {

DateRangeHint::DateRangeHint(Source source, Use use, const QString& buttonText, QWidget* parent)
    : QWidget(parent), m_source(std::move(source)), m_use(std::move(use))
{
    setObjectName(QStringLiteral("hintDates"));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("lblPostingDates"));
    m_button = new QPushButton(buttonText, this);
    m_button->setObjectName(QStringLiteral("cmdUseDates"));
    m_button->setAutoDefault(false);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_text, 1);
    row->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, [this] {
        // What the dates depend on may have changed since the last look.
        if (m_stamp && m_stamp() != m_lastStamp) refresh();
        if (m_range.first.isValid() && m_range.last.isValid()) m_use(m_range.first, m_range.last);
    });
    m_stampTimer = new QTimer(this);
    m_stampTimer->setInterval(500);
    connect(m_stampTimer, &QTimer::timeout, this, &DateRangeHint::checkStamp);
    refresh();
}

void DateRangeHint::setStamp(Stamp stamp)
{
    m_stamp = std::move(stamp);
    m_lastStamp = m_stamp ? m_stamp() : QVariant();
    if (m_stamp && isVisible()) m_stampTimer->start();
}

void DateRangeHint::checkStamp()
{
    if (!m_stamp || !isVisible()) {
        m_stampTimer->stop();
        return;
    }
    if (m_stamp() != m_lastStamp) refresh();
}

void DateRangeHint::refresh()
{
    if (m_stamp) m_lastStamp = m_stamp();
    m_range = m_source ? m_source() : Range{};
    m_text->setText(m_range.text);
    const bool usable = m_range.first.isValid() && m_range.last.isValid();
    m_button->setEnabled(usable);
}

void DateRangeHint::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
    if (m_stamp) m_stampTimer->start();
}

void DateRangeHint::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_stampTimer->stop();
}

void DateRangeHint::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refresh();
}

}  // namespace quillon
