#include "ui/datacombo.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace quillon {

namespace {
constexpr int BoundRole = Qt::UserRole;
constexpr int BookmarkRole = Qt::UserRole + 1;
}  // namespace

DataCombo::DataCombo(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, &DataCombo::onActivated);
}

void DataCombo::setEditable(bool editable)
{
    QComboBox::setEditable(editable);
    if (QLineEdit* edit = lineEdit()) {
        setCompleter(nullptr);  // typed text stays as typed
        connect(edit, &QLineEdit::textEdited, this, &DataCombo::textTyped, Qt::UniqueConnection);
    }
}

void DataCombo::setRowSource(RecordsetPtr rows, const QString& listField, const QString& boundColumn)
{
    m_rows = std::move(rows);
    m_listField = listField;
    m_boundColumn = boundColumn;
    {
        const QSignalBlocker block(this);
        clear();
        setCurrentIndex(-1);
    }
    refill();
}

void DataCombo::refill()
{
    const QString keptText = text();
    const int keptBookmark = bookmarkOf(matchedIndex());

    const QSignalBlocker block(this);
    clear();
    if (m_rows && m_rows->isOpen() && m_rows->recordCount() > 0) {
        const int shown = m_rows->requireField(m_listField);
        const int bound = m_rows->requireField(m_boundColumn);
        // Walk the rows and put the current row back afterwards.
        const bool hadCurrent = !m_rows->eof() && !m_rows->bof();
        const Recordset::Bookmark current = hadCurrent ? m_rows->bookmark() : 0;
        const int position = m_rows->absolutePosition();
        for (m_rows->moveFirst(); !m_rows->eof(); m_rows->moveNext()) {
            addItem(m_rows->value(shown).toString());
            const int i = count() - 1;
            setItemData(i, m_rows->value(bound).toVariant(), BoundRole);
            setItemData(i, m_rows->bookmark(), BookmarkRole);
        }
        if (hadCurrent)
            m_rows->setBookmark(current);
        else if (position == Recordset::PosBOF)
            m_rows->setAbsolutePosition(Recordset::PosBOF);
    }
    int index = -1;
    if (keptBookmark >= 0)
        index = findData(keptBookmark, BookmarkRole);
    if (index < 0 && !keptText.isEmpty())
        index = findText(keptText, Qt::MatchExactly);
    setCurrentIndex(index);
    if (isEditable() && index < 0)
        setEditText(keptText);
}

QString DataCombo::text() const
{
    if (isEditable())
        return currentText();
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void DataCombo::setText(const QString& text)
{
    const QSignalBlocker block(this);
    if (text.isEmpty()) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(QString());
        return;
    }
    const int current = currentIndex();
    const int index = (current >= 0 && itemText(current) == text) ? current : findText(text, Qt::MatchExactly);
    setCurrentIndex(index);
    if (isEditable())
        setEditText(text);
}

int DataCombo::matchedIndex() const
{
    const QString t = text();
    if (t.isEmpty())
        return -1;
    const int current = currentIndex();
    if (current >= 0 && itemText(current) == t)
        return current;
    return findText(t, Qt::MatchExactly);
}

int DataCombo::bookmarkOf(int index) const
{
    return index >= 0 ? itemData(index, BookmarkRole).toInt() : -1;
}

Value DataCombo::boundValue() const
{
    const int index = matchedIndex();
    return index >= 0 ? Value::fromVariant(itemData(index, BoundRole)) : Value();
}

bool DataCombo::moveToMatchedRow() const
{
    const int index = matchedIndex();
    if (index < 0 || !m_rows)
        return false;
    m_rows->setBookmark(bookmarkOf(index));
    return true;
}

Value DataCombo::rowValue(const QString& field) const
{
    if (!moveToMatchedRow())
        return Value();
    return m_rows->value(field);
}

void DataCombo::showPopup()
{
    Q_EMIT dropDown();
    QComboBox::showPopup();
}

void DataCombo::onActivated(int index)
{
    if (index < 0)
        return;
    if (m_rows)
        m_rows->setBookmark(bookmarkOf(index));
    Q_EMIT itemChosen();
}

}  // namespace quillon
