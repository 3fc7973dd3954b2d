#include "ui/keyboardaccess.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLayoutItem>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace quillon {

namespace {

// The caption's mnemonic letter (lower case), or a null character; an
// ampersand before a space or another ampersand is no mnemonic.
QChar mnemonicOf(const QString& caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&')) continue;
        if (caption.at(i + 1).isLetterOrNumber()) return caption.at(i + 1).toLower();
        if (caption.at(i + 1) == QLatin1Char('&')) ++i;  // "&&" shows one ampersand
    }
    return QChar();
}

QString captionOf(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    return QString();
}

void setCaption(QWidget* w, const QString& text)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(text);
}

// The controls whose caption can carry a mnemonic: buttons (not those of a
// tool bar, which show no underline), checkable frames, and labels that name
// an input. A label in rich text is left alone.
bool takesMnemonic(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return !qobject_cast<QToolBar*>(b->parentWidget()) && !b->text().isEmpty();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->buddy() && l->buddy()->focusPolicy() != Qt::NoFocus && !l->text().isEmpty() &&
               l->textFormat() != Qt::RichText;
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->isCheckable() && !g->title().isEmpty();
    return false;
}

// The position in the caption of the letter to underline: the first free
// initial of a word, else the first free letter or digit; -1 when none is.
int pickMnemonic(const QString& caption, const QSet<QChar>& taken)
{
    auto free = [&](int i) { return caption.at(i).isLetterOrNumber() && !taken.contains(caption.at(i).toLower()); };
    for (int i = 0; i < caption.size(); ++i)
        if ((i == 0 || !caption.at(i - 1).isLetterOrNumber()) && free(i)) return i;
    for (int i = 0; i < caption.size(); ++i)
        if (free(i)) return i;
    return -1;
}

bool belongsTo(QWidget* w, QWidget* window)
{
    return w->window() == window;
}

// The widgets Tab stops at: those that take the focus by Tab themselves,
// not the parts of a compound control (the line in a date box or list) and
// not a widget that hands its focus on to another.
QList<QWidget*> tabStops(QWidget* window)
{
    QList<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!belongsTo(w, window) || w->focusProxy() || !(w->focusPolicy() & Qt::TabFocus)) continue;
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != window && !part; p = p->parentWidget())
            part = qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) ||
                   (qobject_cast<QAbstractScrollArea*>(p) && (p->focusPolicy() & Qt::TabFocus));
        if (!part) out << w;
    }
    return out;
}

// Reading order: the controls fall into lines, a control joining the line
// above when it starts above that line's first control's middle; a line is
// read from left to right.
QList<QWidget*> readingOrder(QWidget* window, QList<QWidget*> widgets)
{
    auto rect = [window](QWidget* w) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); };
    std::stable_sort(widgets.begin(), widgets.end(), [&](QWidget* a, QWidget* b) { return rect(a).top() < rect(b).top(); });
    QList<QWidget*> out;
    for (int start = 0; start < widgets.size();) {
        const int middle = rect(widgets.at(start)).center().y();
        int end = start + 1;
        while (end < widgets.size() && rect(widgets.at(end)).top() <= middle) ++end;
        QList<QWidget*> line = widgets.mid(start, end - start);
        std::stable_sort(line.begin(), line.end(), [&](QWidget* a, QWidget* b) { return rect(a).left() < rect(b).left(); });
        out << line;
        start = end;
    }
    return out;
}

// Orders the tabs once the window is laid out, and again after each change
// of its layout or of the layout of a frame inside it.
class TabOrderKeeper : public QObject {
public:
    explicit TabOrderKeeper(QWidget* window) : QObject(window), m_window(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        Q_UNUSED(watched);
        if ((event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest) && !m_pending) {
            m_pending = true;
            QTimer::singleShot(0, this, [this] {
                m_pending = false;
                if (m_window && m_window->isVisible()) orderTabsByReading(m_window);
            });
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    bool m_pending = false;
};

}  // namespace

void assignMnemonics(QWidget* window)
{
    QList<QWidget*> captioned;
    QSet<QChar> taken;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!belongsTo(w, window) || !takesMnemonic(w)) continue;
        const QChar letter = mnemonicOf(captionOf(w));
        if (letter.isNull()) captioned << w;
        else taken.insert(letter);
    }
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (QAction* menu : bar->actions()) {
            const QChar letter = mnemonicOf(menu->text());
            if (!letter.isNull()) taken.insert(letter);
        }
    // The default button has first choice; then the caption with the fewest
    // free letters left chooses next, so that a short caption ("Person")
    // is not left without one by the longer ones around it.
    auto freeLetters = [&taken](const QString& caption) {
        QSet<QChar> letters;
        for (QChar c : caption)
            if (c.isLetterOrNumber() && !taken.contains(c.toLower())) letters.insert(c.toLower());
        return letters.size();
    };
    auto give = [&taken](QWidget* w) {
        const QString caption = captionOf(w);
        const int at = pickMnemonic(caption, taken);
        if (at < 0) return;
        taken.insert(caption.at(at).toLower());
        // A lone ampersand in the caption is shown as written.
        QString text = caption;
        text.replace(QLatin1Char('&'), QLatin1String("&&"));
        text.insert(at + int(caption.left(at).count(QLatin1Char('&'))), QLatin1Char('&'));
        setCaption(w, text);
    };
    for (int i = 0; i < captioned.size(); ++i) {
        auto* b = qobject_cast<QPushButton*>(captioned.at(i));
        if (b && b->isDefault()) give(captioned.takeAt(i--));
    }
    while (!captioned.isEmpty()) {
        int next = 0;
        for (int i = 1; i < captioned.size(); ++i)
            if (freeLetters(captionOf(captioned.at(i))) < freeLetters(captionOf(captioned.at(next)))) next = i;
        give(captioned.takeAt(next));
    }
}

void orderTabsByReading(QWidget* window)
{
    const QList<QWidget*> order = readingOrder(window, tabStops(window));
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void labelInput(QLayoutItem* labelCell, QWidget* input)
{
    if (auto* label = labelCell ? qobject_cast<QLabel*>(labelCell->widget()) : nullptr) label->setBuddy(input);
}

void installKeyboardAccess(QWidget* window)
{
    assignMnemonics(window);
    auto* keeper = new TabOrderKeeper(window);
    window->installEventFilter(keeper);
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->layout() && belongsTo(w, window)) w->installEventFilter(keeper);
}

}  // namespace quillon
