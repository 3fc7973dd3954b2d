#include "data/progress.h"

#include <QLocale>

namespace quillon {

void Progress::setListener(Listener listener, int firstAfterMs, int everyMs)
{
    m_listener = std::move(listener);
    m_firstAfterMs = firstAfterMs;
    m_everyMs = everyMs;
}

void Progress::start()
{
    m_clock.start();
    m_lastNotice = -1;
    m_step.clear();
    m_done = m_total = 0;
    m_rows = false;
    m_cancel = false;
    m_finished = false;
}

void Progress::begin(const QString& step, std::int64_t total)
{
    if (!m_clock.isValid()) start();
    m_step = step;
    m_total = total;
    m_done = 0;
    m_rows = false;
    if (m_cancelAt == 0 && step == m_cancelStep) {
        m_cancelAt = -1;
        m_cancel = true;
    }
    notify(false);
    check();
}

void Progress::advance(std::int64_t done)
{
    m_done = done;
    if (m_cancelAt > 0 && done >= m_cancelAt && m_step == m_cancelStep) {
        m_cancelAt = -1;
        m_cancel = true;
    }
    // The clock is read once every 256 units (a step may count every row)
    // and as the step completes.
    if (m_listener && ((done & 0xff) == 0 || done == m_total)) notify(false);
    check();
}

void Progress::advanceRows(std::int64_t rows)
{
    m_rows = true;
    advance(rows);
}

void Progress::check()
{
    if (!m_cancel) return;
    m_cancel = false;   // the one run it was meant for stops here
    if (m_stopped) {
        const Listener stopped = std::move(m_stopped);
        m_stopped = nullptr;
        stopped(*this);
    }
    throw RunCancelled();
}

void Progress::finish()
{
    m_step = QStringLiteral("Done");
    m_done = m_total = 0;
    m_rows = false;
    m_finished = true;
    if (m_lastNotice >= 0) notify(true);
}

void Progress::cancelAt(const QString& step, std::int64_t at, Listener stopped)
{
    m_cancelStep = step;
    m_cancelAt = at;
    m_stopped = std::move(stopped);
}

QString Progress::text() const
{
    const QLocale c(QLocale::English);
    if (m_rows && m_total <= 0) return m_step + QStringLiteral(": ") + c.toString(qlonglong(m_done)) + QStringLiteral(" rows");
    if (m_total <= 0) return m_step;
    return m_step + QLatin1Char(' ') + c.toString(qlonglong(m_done)) + QStringLiteral(" of ") + c.toString(qlonglong(m_total));
}

void Progress::notify(bool force)
{
    if (!m_listener) return;
    const qint64 now = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (!force) {
        if (m_lastNotice < 0 ? now < m_firstAfterMs : now - m_lastNotice < m_everyMs) return;
    }
    m_lastNotice = now;
    m_listener(*this);
}

}  // namespace quillon
