#include "invoicing/columnnumbering.h"

#include "data/connection.h"
#include "shell/nextnumber.h"

#include <vector>

namespace quillon {

namespace {

const QString fPersonsPostID = QStringLiteral("PersonsPostID");
const QString fPersonID = QStringLiteral("PersonID");
const QString fRate = QStringLiteral("Rate");
const QString fKindCode = QStringLiteral("KindCode");
const QString fAccountingID = QStringLiteral("AccountingID");
const QString fColumn288 = QStringLiteral("Column288");
const QString fRptOrder = QStringLiteral("RptOrder");
const QString fFinalCol = QStringLiteral("FinalCol");

// Sets a field only when its value changes, so that a Run that numbers the
// postings as they already are writes nothing.
void setIfChanged(Recordset& rs, int field, std::int64_t value)
{
    const Value& now = rs.value(field);
    if (now.isNull() || now.toInt() != value) rs.setValue(field, Value(value));
}

RecordsetPtr openDetail(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Keyset, LockType::BatchOptimistic);
}

}  // namespace

void ColumnNumbering::resetForRun()
{
    CurrentColumn = 1;
    RowsInColumn = 0;
    RowOrder = 0;
    PreviousPost.PersonID = 0;
    PreviousPost.Rate = Currency();
}

void ColumnNumbering::SetColumnFlag(Recordset& detail)
{
    PreviousPostValues current;
    current.PersonID = std::int32_t(detail[fPersonID].toInt());
    current.Rate = detail[fRate].toCurrency();  // Null gives 0
    current.KindCode = detail[fKindCode].toString();
    current.AccountingID = std::int32_t(detail[fAccountingID].toInt());  // Null gives 0

    if (detail[fFinalCol].toBool()) {
        detail.moveNext();
        return;
    }

    bool newColumn = false;
    if (current.KindCode == PreviousPost.KindCode && current.PersonID == PreviousPost.PersonID
        && current.Rate == PreviousPost.Rate && RowsInColumn < RowsPerColumn) {
        // A column is headed by one accounting code, "no accounting code"
        // included: another code, or the first code after none, opens a
        // new column, so that no posting prints under another's code.
        if (current.AccountingID == PreviousPost.AccountingID) {
            ++RowsInColumn;
            ++RowOrder;
        } else {
            newColumn = true;
        }
    } else if (current.PersonID != PreviousPost.PersonID) {
        CurrentColumn = 1;
        RowsInColumn = 1;
        RowOrder = 1;
    } else {
        newColumn = true;
    }
    if (newColumn) {
        RowsInColumn = 1;
        ++CurrentColumn;
        ++RowOrder;
    }

    setIfChanged(detail, detail.requireField(fColumn288), CurrentColumn);
    setIfChanged(detail, detail.requireField(fRptOrder), RowOrder);
    detail.update();
    PreviousPost = current;
    detail.moveNext();
}

RecordsetPtr LoadUninvoicedPostings(Connection& db, const AppState& state, const of288::Choices& choices)
{
    return openDetail(db, of288::uninvoicedPostingsSql(choices, state));
}

RecordsetPtr LoadInvoicedPostings(Connection& db, const AppState& state, const of288::Choices& choices)
{
    return openDetail(db, of288::invoicedPostingsSql(choices, state));
}

void numberPostings(Recordset& detail, ColumnNumbering& numbering)
{
    const int key = detail.requireField(fPersonsPostID);
    while (!detail.eof() && detail.value(key).toInt() >= 0) numbering.SetColumnFlag(detail);
}

void SetFinalColumn(Connection& db, const AppState& state, const of288::Choices& choices)
{
    if (!choices.FinalFlag) {
        RecordsetPtr persons = db.openRecordset(of288::finalColumnPersonsSql(choices, state), CursorType::Static,
                                                LockType::ReadOnly);
        for (persons->moveFirst(); !persons->eof(); persons->moveNext())
            db.execute(of288::deleteFinalColumnSql(std::int32_t(persons->value(0).toInt())));
        return;
    }

    RecordsetPtr summary = db.openRecordset(of288::finalColumnSummarySql(choices, state), CursorType::Static,
                                            LockType::ReadOnly);
    for (summary->moveFirst(); !summary->eof(); summary->moveNext()) {
        const Recordset& s = *summary;
        const std::int32_t personId = std::int32_t(s[fPersonID].toInt());
        const std::int64_t finalColumn = s[fColumn288].toInt() + 1;
        RecordsetPtr rows = db.openRecordset(of288::finalColumnRowsSql(personId), CursorType::Static,
                                             LockType::BatchOptimistic);
        if (rows->recordCount() == 1) {
            rows->moveFirst();
            setIfChanged(*rows, rows->requireField(fColumn288), finalColumn);
            rows->update();
        } else {
            for (rows->moveFirst(); !rows->eof(); rows->moveNext()) rows->deleteCurrent();
            rows->addNew();
            rows->setValue(fPersonID, Value(personId));
            rows->setValue(fPersonsPostID, Value(NextNumber(db, QStringLiteral("PersonsPost"), fPersonsPostID)));
            rows->setValue(fRate, s[fRate]);
            rows->setValue(fKindCode, s[fKindCode]);
            rows->setValue(fAccountingID, s[fAccountingID]);
            rows->setValue(fColumn288, Value(finalColumn));
            rows->setValue(fFinalCol, Value(true));
            rows->update();
        }
        rows->updateBatch();
    }
}

namespace {

struct PostingNumbers {
    std::int64_t id = 0;
    Value column;
    Value order;
};

std::vector<PostingNumbers> numbersOf(const Recordset& detail)
{
    const int id = detail.requireField(fPersonsPostID);
    const int column = detail.requireField(fColumn288);
    const int order = detail.requireField(fRptOrder);
    std::vector<PostingNumbers> out;
    out.reserve(size_t(detail.recordCount()));
    for (int row = 0; row < detail.recordCount(); ++row)
        out.push_back({detail.at(row, id).toInt(), detail.at(row, column), detail.at(row, order)});
    return out;
}

// Writes the changed numbers fifty postings per statement: one
// statement per posting would spend most of a large Run preparing statements.
void writeNumbers(Connection& db, const std::vector<PostingNumbers>& before, const std::vector<PostingNumbers>& after)
{
    constexpr int PerStatement = 50;  // postings per statement
    QString columns, orders, keys;
    int pending = 0;
    auto flush = [&] {
        if (pending == 0) return;
        db.execute(QStringLiteral("Update PersonsPost Set Column288 = Case PersonsPostID") + columns
                   + QStringLiteral(" End, RptOrder = Case PersonsPostID") + orders
                   + QStringLiteral(" End Where PersonsPostID In (") + keys + QStringLiteral(")"));
        columns.clear();
        orders.clear();
        keys.clear();
        pending = 0;
    };
    for (size_t i = 0; i < after.size(); ++i) {
        const PostingNumbers& a = after[i];
        if (a.column == before[i].column && a.order == before[i].order) continue;
        const QString key = QString::number(a.id);
        columns += QStringLiteral(" When ") + key + QStringLiteral(" Then ") + QString::number(a.column.toInt());
        orders += QStringLiteral(" When ") + key + QStringLiteral(" Then ") + QString::number(a.order.toInt());
        keys += (pending ? QStringLiteral(", ") : QString()) + key;
        if (++pending == PerStatement) flush();
    }
    flush();
}

}  // namespace

void numberRun(Connection& db, Recordset& detail, ColumnNumbering& numbering, const AppState& state,
               const of288::Choices& choices)
{
    detail.setBatchMode(true);
    const std::vector<PostingNumbers> before = numbersOf(detail);
    if (detail.recordCount() > 0) detail.moveFirst();
    numberPostings(detail, numbering);
    Transaction tx(db);
    writeNumbers(db, before, numbersOf(detail));
    SetFinalColumn(db, state, choices);
    tx.commit();
    // Reading the postings again also drops the edits the record set kept.
    detail.requery();
}

}  // namespace quillon
