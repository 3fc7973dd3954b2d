#pragma once
// A Qt item model over a record set, so that drop-down lists and grids can
// show rows from the database: one or more displayed fields (columns of the
// model) and one bound field whose value the list returns for the chosen row
// (IncidentName shown, IncidentID bound).
//
//   RecordsetModel model(rs, {"strName"}, "PersonID");
//   combo->setModel(&model);
//   Value id = model.boundValue(combo->currentIndex());
//
// The model reads the record set's rows in their current order; call
// refresh() after Sort, Requery or edits of the record set.

#include "data/recordset.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace quillon {

class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The bound value of a row, as a QVariant, under this role.
    static constexpr int BoundValueRole = Qt::UserRole + 1;

    explicit RecordsetModel(QObject* parent = nullptr);
    // Throws DbError (FieldNotFound) when a named field is not in the record set.
    RecordsetModel(RecordsetPtr rs, const QStringList& displayFields, const QString& boundField, QObject* parent = nullptr);

    void setRecordset(RecordsetPtr rs, const QStringList& displayFields, const QString& boundField);
    const RecordsetPtr& recordset() const { return m_rs; }
    // Column captions; the field names when not set.
    void setHeaders(const QStringList& captions);
    void refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The bound value of a row (Null when the row does not exist).
    Value boundValue(int row) const;
    // The row whose bound value equals `key`, or -1.
    int findBound(const Value& key) const;
    // The row whose first displayed field shows `text` (ignoring case), or -1.
    int findText(const QString& text) const;

private:
    RecordsetPtr m_rs;
    std::vector<int> m_display;
    int m_bound = -1;
    QStringList m_headers;
};

}  // namespace quillon
