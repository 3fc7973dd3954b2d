#include "ui/scriptactions.h"

#include "ui/controlname.h"
#include "ui/datacombo.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTableView>
#include <QTreeView>

namespace quillon {

static QString describe(const QWidget* w)
{
    const QWidget* form = w->window();
    const QString name = controlPath(w);
    return form && form != w ? form->objectName() + QLatin1Char('.') + name : name;
}

QWidget* findForm(const QString& formName)
{
    bool hidden = false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w->objectName() != formName)
            continue;
        if (w->isVisible())
            return w;
        hidden = true;
    }
    throw ScriptError(hidden ? QStringLiteral("the window %1 is not shown").arg(formName)
                             : QStringLiteral("no window %1 is open").arg(formName));
}

QWidget* findControl(QWidget* form, const QString& control)
{
    static const QRegularExpression element(QStringLiteral("^(\\w+)\\((-?\\d+)\\)$"));
    const QRegularExpressionMatch m = element.match(control);
    const QString name = m.hasMatch() ? m.captured(1) : control;
    const QList<QWidget*> found = form->findChildren<QWidget*>(name);
    if (m.hasMatch()) {
        const int index = m.captured(2).toInt();
        for (QWidget* w : found)
            if (controlIndex(w) == index)
                return w;
    } else if (found.size() == 1) {
        return found.front();
    } else if (found.size() > 1) {
        throw ScriptError(QStringLiteral("%1.%2 names a control array: give the element, as %2(%3)")
                              .arg(form->objectName(), name).arg(controlIndex(found.front())));
    }
    throw ScriptError(QStringLiteral("%1 has no control %2").arg(form->objectName(), control));
}

QWidget* findControl(const QString& formDotControl)
{
    const int dot = formDotControl.indexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == formDotControl.size() - 1)
        throw ScriptError(QStringLiteral("\"%1\" is not of the form FORM.CONTROL").arg(formDotControl));
    QWidget* form = findForm(formDotControl.left(dot));
    QWidget* control = findControl(form, formDotControl.mid(dot + 1));
    if (!control->isVisibleTo(form))
        throw ScriptError(QStringLiteral("%1 is hidden").arg(formDotControl));
    if (!control->isEnabled())
        throw ScriptError(QStringLiteral("%1 is disabled").arg(formDotControl));
    return control;
}

// The first shown cell (rows in order, trees depth first) whose text is `text`.
static QModelIndex findShown(const QAbstractItemView* view, const QModelIndex& parent, const QString& text)
{
    const QAbstractItemModel* model = view->model();
    const auto* table = qobject_cast<const QTableView*>(view);
    const auto* tree = qobject_cast<const QTreeView*>(view);
    for (int row = 0; row < model->rowCount(parent); ++row) {
        if ((table && table->isRowHidden(row)) || (tree && tree->isRowHidden(row, parent)))
            continue;
        for (int col = 0; col < model->columnCount(parent); ++col) {
            if ((table && table->isColumnHidden(col)) || (tree && tree->isColumnHidden(col)))
                continue;
            const QModelIndex index = model->index(row, col, parent);
            if (index.data(Qt::DisplayRole).toString() == text)
                return index;
        }
        if (tree) {
            const QModelIndex child = findShown(view, model->index(row, 0, parent), text);
            if (child.isValid())
                return child;
        }
    }
    return {};
}

static QModelIndex requireItem(QAbstractItemView* view, const QString& text)
{
    if (!view->model())
        throw ScriptError(QStringLiteral("%1 shows nothing").arg(describe(view)));
    const QModelIndex index = findShown(view, view->rootIndex(), text);
    if (!index.isValid())
        throw ScriptError(QStringLiteral("%1 shows no item \"%2\"").arg(describe(view), text));
    if (auto* tree = qobject_cast<QTreeView*>(view))
        for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
            tree->expand(p);
    view->scrollTo(index);
    return index;
}

void pickItem(QWidget* control, const QString& text)
{
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (auto* data = qobject_cast<DataCombo*>(combo))
            data->announceDropDown();
        const int index = combo->findText(text, Qt::MatchExactly);
        if (index < 0) {
            QStringList items;
            for (int i = 0; i < combo->count() && i < 10; ++i)
                items << combo->itemText(i);
            throw ScriptError(QStringLiteral("%1 has no item \"%2\" (%3 items: %4%5)")
                                  .arg(describe(combo), text)
                                  .arg(combo->count())
                                  .arg(items.join(QLatin1String(", ")),
                                       combo->count() > 10 ? QStringLiteral(", ...") : QString()));
        }
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
        Q_EMIT combo->textActivated(combo->itemText(index));
        return;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
        const QModelIndex index = requireItem(view, text);
        view->setCurrentIndex(index);
        Q_EMIT view->clicked(index);
        return;
    }
    throw ScriptError(QStringLiteral("%1 is a %2, not a list, grid or tree")
                          .arg(describe(control), QLatin1String(control->metaObject()->className())));
}

static void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    edit->insert(text);  // fires textEdited and textChanged, as typing does
    if (edit->hasAcceptableInput())
        Q_EMIT edit->editingFinished();
}

void typeText(QWidget* control, const QString& text)
{
    if (auto* dates = qobject_cast<QDateTimeEdit*>(control)) {
        QDate date = QDate::fromString(text, QStringLiteral("MM/dd/yyyy"));
        if (!date.isValid())
            date = QDate::fromString(text, QStringLiteral("M/d/yyyy"));
        if (!date.isValid())
            throw ScriptError(QStringLiteral("\"%1\" is not a date of the form MM/dd/yyyy").arg(text));
        if (date < dates->minimumDate() || date > dates->maximumDate())
            throw ScriptError(QStringLiteral("%1 does not take the date %2").arg(describe(control), text));
        dates->setDate(date);
        Q_EMIT dates->editingFinished();
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (!combo->isEditable() || !combo->lineEdit())
            throw ScriptError(QStringLiteral("%1 takes no typing; pick an item").arg(describe(control)));
        typeInto(combo->lineEdit(), text);
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (edit->isReadOnly())
            throw ScriptError(QStringLiteral("%1 is read-only").arg(describe(control)));
        typeInto(edit, text);
        return;
    }
    throw ScriptError(QStringLiteral("%1 is a %2, not a text box, date picker or editable list")
                          .arg(describe(control), QLatin1String(control->metaObject()->className())));
}

void clickControl(QWidget* control)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->click();
        return;
    }
    throw ScriptError(QStringLiteral("%1 is a %2, not a button, option button or check box")
                          .arg(describe(control), QLatin1String(control->metaObject()->className())));
}

void tickNode(QWidget* control, const QString& nodeText, bool on)
{
    auto* view = qobject_cast<QAbstractItemView*>(control);
    if (!view)
        throw ScriptError(QStringLiteral("%1 is a %2, not a tree")
                              .arg(describe(control), QLatin1String(control->metaObject()->className())));
    const QModelIndex index = requireItem(view, nodeText);
    QAbstractItemModel* model = view->model();
    if (!(model->flags(index) & Qt::ItemIsUserCheckable))
        throw ScriptError(QStringLiteral("the node \"%1\" of %2 has no check box").arg(nodeText, describe(control)));
    const Qt::CheckState wanted = on ? Qt::Checked : Qt::Unchecked;
    if (Qt::CheckState(index.data(Qt::CheckStateRole).toInt()) == wanted)
        return;
    view->setCurrentIndex(index);
    model->setData(index, wanted, Qt::CheckStateRole);
    Q_EMIT view->clicked(index);
}

void pressKeys(QWidget* target, const QString& keys)
{
    const QKeySequence sequence = QKeySequence::fromString(keys);
    if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
        throw ScriptError(QStringLiteral("\"%1\" is not a key").arg(keys));
    QWidget* receiver = target;
    if (target->isWindow()) {
        // The control that has the focus, else the one the window hands it to.
        if (QWidget* focus = target->focusWidget()) receiver = focus;
        else if (QWidget* proxy = target->focusProxy()) receiver = proxy;
    } else {
        target->setFocus(Qt::OtherFocusReason);
    }
    QPointer<QWidget> alive(receiver);
    for (int i = 0; i < sequence.count() && alive; ++i) {
        const QKeyCombination k = sequence[i];
        QKeyEvent press(QEvent::KeyPress, k.key(), k.keyboardModifiers());
        QApplication::sendEvent(receiver, &press);
        if (!alive) break;
        QKeyEvent release(QEvent::KeyRelease, k.key(), k.keyboardModifiers());
        QApplication::sendEvent(receiver, &release);
    }
}

}  // namespace quillon
