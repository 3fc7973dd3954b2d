#include "data/recordset_model.h"

namespace quillon {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

RecordsetModel::RecordsetModel(RecordsetPtr rs, const QStringList& displayFields, const QString& boundField, QObject* parent)
    : QAbstractTableModel(parent)
{
    setRecordset(std::move(rs), displayFields, boundField);
}

void RecordsetModel::setRecordset(RecordsetPtr rs, const QStringList& displayFields, const QString& boundField)
{
    std::vector<int> display;
    int bound = -1;
    if (rs) {
        for (const QString& f : displayFields) display.push_back(rs->requireField(f));
        if (!boundField.isEmpty()) bound = rs->requireField(boundField);
    }
    beginResetModel();
    m_rs = std::move(rs);
    m_display = std::move(display);
    m_bound = bound;
    m_headers = displayFields;
    endResetModel();
}

void RecordsetModel::setHeaders(const QStringList& captions)
{
    m_headers = captions;
    if (columnCount() > 0) Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void RecordsetModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_rs || !m_rs->isOpen()) return 0;
    return m_rs->recordCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_display.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return QVariant();
    const Value& v = m_rs->at(index.row(), m_display[size_t(index.column())]);
    switch (role) {
    case Qt::DisplayRole: return v.toString();
    case Qt::EditRole: return v.toVariant();
    case BoundValueRole: return boundValue(index.row()).toVariant();
    default: return QVariant();
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    return m_headers.value(section);
}

Value RecordsetModel::boundValue(int row) const
{
    if (m_bound < 0 || row < 0 || row >= rowCount()) return Value();
    return m_rs->at(row, m_bound);
}

int RecordsetModel::findBound(const Value& key) const
{
    if (m_bound < 0 || key.isNull()) return -1;
    for (int r = 0; r < rowCount(); ++r)
        if (Value::compare(m_rs->at(r, m_bound), key) == 0) return r;
    return -1;
}

int RecordsetModel::findText(const QString& text) const
{
    if (m_display.empty()) return -1;
    for (int r = 0; r < rowCount(); ++r)
        if (m_rs->at(r, m_display.front()).toString().compare(text, Qt::CaseInsensitive) == 0) return r;
    return -1;
}

}  // namespace quillon
