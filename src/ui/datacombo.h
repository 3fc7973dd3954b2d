#pragma once
// A drop-down list fed by a record set: it shows one field of every row
// (ListField) and yields another field of the chosen row (BoundColumn) as its
// bound value. Several lists may share one record set; each item remembers
// its row by bookmark, so a list stays right after another one re-sorted the
// rows. Choosing an item also makes its row the record set's current row, so
// a window reads the row's other fields from the record set.
//
// The text may be empty, and in an editable list it may be any typed text;
// the bound value belongs to the item whose shown text equals the text (the
// chosen item when several show the same text), and is empty when none does.

#include "data/recordset.h"

#include <QComboBox>

namespace quillon {

class DataCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DataCombo(QWidget* parent = nullptr);

    // Lets the user type into the list (call it on the DataCombo: it also
    // hooks the typing up to textTyped).
    void setEditable(bool editable);

    // Fills the list from the rows in their current order.
    void setRowSource(RecordsetPtr rows, const QString& listField, const QString& boundColumn);
    const RecordsetPtr& rowSource() const { return m_rows; }
    const QString& listField() const { return m_listField; }
    const QString& boundColumn() const { return m_boundColumn; }
    // Rebuilds the items from the record set (after a sort or a requery); the
    // text and the chosen row are kept where they still exist.
    void refill();

    QString text() const;
    // Sets the text without firing the user's events; in a list that is not
    // editable a text that matches no item leaves the list empty.
    void setText(const QString& text);

    // The index of the item the text belongs to, -1 when none.
    int matchedIndex() const;
    Value boundValue() const;
    QString boundText() const { return boundValue().toString(); }
    // A field of the row the text belongs to (Null when none). Makes that row
    // the record set's current row.
    Value rowValue(const QString& field) const;
    // Makes the matched row current; false when the text matches no item.
    bool moveToMatchedRow() const;

    // Opens the list as a click on its arrow would; dropDown() fires first.
    void showPopup() override;
    // What the list does when it is opened, without drawing the popup (for
    // scripted runs): fires dropDown().
    void announceDropDown() { Q_EMIT dropDown(); }

Q_SIGNALS:
    // The list is about to open (a window may re-sort and refill it here).
    void dropDown();
    // The user chose an item from the list.
    void itemChosen();
    // The user changed the text by typing (editable lists).
    void textTyped(const QString& text);

private:
    void onActivated(int index);
    int bookmarkOf(int index) const;

    RecordsetPtr m_rows;
    QString m_listField;
    QString m_boundColumn;
};

}  // namespace quillon
