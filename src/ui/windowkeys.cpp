#include "ui/windowkeys.h"

#include "ui/controlname.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace quillon {

namespace {

class WindowKeyFilter : public QObject {
public:
    WindowKeyFilter(QWidget* window, WindowKeys kind) : QObject(window), m_window(window), m_kind(kind) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods != Qt::NoModifier) return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return pressDefault();
        case Qt::Key_Escape:
            if (m_kind != WindowKeys::ToolWindow) return false;
            m_window->close();
            return true;
        default:
            return false;
        }
    }

private:
    // A push button that has the focus is the one Enter means, as in a
    // dialog box; otherwise the window's default button.
    bool pressDefault()
    {
        auto* button = qobject_cast<QPushButton*>(m_window->focusWidget());
        if (!button || button->window() != m_window) button = findDefaultButton(m_window);
        if (!button || !button->isVisibleTo(m_window) || !button->isEnabled()) return false;
        button->click();
        return true;
    }

    QWidget* m_window;
    WindowKeys m_kind;
};

}  // namespace

const QStringList& defaultButtonNames()
{
    static const QStringList names{QStringLiteral("cmdSelect"), QStringLiteral("RunButton"),
                                   QStringLiteral("cmdRun"), QStringLiteral("cmdPreview"),
                                   QStringLiteral("cmdPrint")};
    return names;
}

QPushButton* findDefaultButton(QWidget* window)
{
    for (const QString& name : defaultButtonNames()) {
        QPushButton* best = nullptr;
        for (QPushButton* b : window->findChildren<QPushButton*>(name))
            if (b->window() == window && (!best || controlIndex(b) < controlIndex(best))) best = b;
        if (best) return best;
    }
    return nullptr;
}

void installWindowKeys(QWidget* window, WindowKeys kind)
{
    if (QPushButton* button = findDefaultButton(window)) button->setDefault(true);
    window->installEventFilter(new WindowKeyFilter(window, kind));
}

}  // namespace quillon
