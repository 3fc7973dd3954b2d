#pragma once
// What a person does to a window, done to real widgets by name: choose an
// item, type a text, click a button, tick a tree node. Each action fires the
// signals the person's action fires, so the window's own handlers run.
// Windows are top-level widgets whose objectName is the form name; controls
// are found by objectName (control arrays: see controlname.h). Only what a
// person could reach counts: a hidden or disabled control is an error.

#include <QString>

#include <stdexcept>

class QWidget;

namespace quillon {

class ScriptError : public std::runtime_error {
public:
    explicit ScriptError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The shown top-level window named formName.
QWidget* findForm(const QString& formName);
// A control of a form by name, "name" or "name(index)".
QWidget* findControl(QWidget* form, const QString& control);
// "FORM.CONTROL": the form, then the control in it; both must be usable.
QWidget* findControl(const QString& formDotControl);

// Chooses the item whose shown text is `text`: in a drop-down list (opening it
// first, as a person does), a list, a grid (any shown cell, the row is chosen)
// or a tree (any node, expanding its parents).
void pickItem(QWidget* control, const QString& text);
// Replaces the text of a text box, masked box or editable list as typing
// does, then leaves it (editingFinished). A date picker takes MM/dd/yyyy.
void typeText(QWidget* control, const QString& text);
// Clicks a button, option button or check box.
void clickControl(QWidget* control);
// Sets the check box of the node shown as nodeText as a click on it would:
// the node becomes current, its check state changes, then the view's click
// fires. A node already in that state is left alone.
void tickNode(QWidget* control, const QString& nodeText, bool on);
// Presses and releases the keys of a key sequence ("Enter", "Esc",
// "Ctrl+End"). Given a window, the keys go to its focused control (the window
// itself when none has the focus); a control gets the focus first.
void pressKeys(QWidget* target, const QString& keys);

}  // namespace quillon
