#include "invoicing/columnnumbering.h"

#include "data/backgroundread.h"
#include "data/connection.h"
#include "shell/nextnumber.h"

#include <optional>
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

RecordsetPtr openDetail(Connection& db, const QString& sql, Progress* progress)
{
    if (progress) return BackgroundRead(db, sql, LockType::BatchOptimistic).take(*progress);
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

ColumnNumbering::Placement ColumnNumbering::place(const PreviousPostValues& current)
{
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
    PreviousPost = current;
    return {CurrentColumn, RowOrder};
}

namespace {

struct DetailFields {
    explicit DetailFields(const Recordset& detail)
        : key(detail.requireField(fPersonsPostID)), person(detail.requireField(fPersonID)),
          rate(detail.requireField(fRate)), kind(detail.requireField(fKindCode)),
          accounting(detail.requireField(fAccountingID)), column(detail.requireField(fColumn288)),
          order(detail.requireField(fRptOrder)), finalCol(detail.requireField(fFinalCol))
    {
    }
    int key, person, rate, kind, accounting, column, order, finalCol;
};

PreviousPostValues postingValues(const Recordset& detail, int row, const DetailFields& f)
{
    PreviousPostValues v;
    v.PersonID = std::int32_t(detail.at(row, f.person).toInt());
    v.Rate = detail.at(row, f.rate).toCurrency();              // Null gives 0
    v.KindCode = detail.at(row, f.kind).toString();
    v.AccountingID = std::int32_t(detail.at(row, f.accounting).toInt());  // Null gives 0
    return v;
}

bool differs(const Value& now, std::int64_t value)
{
    return now.isNull() || now.toInt() != value;
}

}  // namespace

void ColumnNumbering::SetColumnFlag(Recordset& detail)
{
    if (detail[fFinalCol].toBool()) {
        detail.moveNext();
        return;
    }
    const int row = detail.absolutePosition() - 1;
    const Placement p = place(postingValues(detail, row, DetailFields(detail)));
    setIfChanged(detail, detail.requireField(fColumn288), p.column);
    setIfChanged(detail, detail.requireField(fRptOrder), p.order);
    detail.update();
    detail.moveNext();
}

RecordsetPtr LoadUninvoicedPostings(Connection& db, const AppState& state, const of288::Choices& choices,
                                    Progress* progress)
{
    return openDetail(db, of288::uninvoicedPostingsSql(choices, state), progress);
}

RecordsetPtr LoadInvoicedPostings(Connection& db, const AppState& state, const of288::Choices& choices,
                                  Progress* progress)
{
    return openDetail(db, of288::invoicedPostingsSql(choices, state), progress);
}

void numberPostings(Recordset& detail, ColumnNumbering& numbering)
{
    const int key = detail.requireField(fPersonsPostID);
    while (!detail.eof() && detail.value(key).toInt() >= 0) numbering.SetColumnFlag(detail);
}

void SetFinalColumn(Connection& db, const AppState& state, const of288::Choices& choices, Progress* progress)
{
    const QString step = QStringLiteral("Setting the final column");
    if (!choices.FinalFlag) {
        RecordsetPtr persons = db.openRecordset(of288::finalColumnPersonsSql(choices, state), CursorType::Static,
                                                LockType::ReadOnly);
        if (progress) progress->begin(step, persons->recordCount());
        for (persons->moveFirst(); !persons->eof(); persons->moveNext()) {
            db.execute(of288::deleteFinalColumnSql(std::int32_t(persons->value(0).toInt())));
            if (progress) progress->advance(persons->absolutePosition());
        }
        return;
    }

    RecordsetPtr summary = db.openRecordset(of288::finalColumnSummarySql(choices, state), CursorType::Static,
                                            LockType::ReadOnly);
    if (progress) progress->begin(step, summary->recordCount());
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
        if (progress) progress->advance(summary->absolutePosition());
    }
}

namespace {

// Writes the numbers that changed through one prepared statement for a block
// of postings, and one more for the last, shorter block. The embedded engine
// takes a posting a statement; over ODBC every statement is a round trip to
// the server, so fifty postings go together there.
class NumberWriter {
public:
    explicit NumberWriter(Connection& db) : m_db(db), m_block(db.engineKind() == EngineKind::Sqlite ? 1 : 50) {}

    void add(std::int64_t key, std::int32_t column, std::int32_t order)
    {
        m_pending.push_back({key, column, order});
        if (int(m_pending.size()) == m_block) flush();
    }

    void flush()
    {
        if (m_pending.empty()) return;
        const int rows = int(m_pending.size());
        if (rows == m_block && !m_full) m_full.emplace(m_db.prepare(sqlFor(rows)));
        std::optional<Statement> last;
        if (rows != m_block) last.emplace(m_db.prepare(sqlFor(rows)));
        std::vector<Value> values;
        values.reserve(size_t(rows) * 5);
        if (rows == 1) {
            values = {Value(m_pending[0].column), Value(m_pending[0].order), Value(m_pending[0].key)};
        } else {
            for (const Pending& p : m_pending) values.insert(values.end(), {Value(p.key), Value(p.column)});
            for (const Pending& p : m_pending) values.insert(values.end(), {Value(p.key), Value(p.order)});
            for (const Pending& p : m_pending) values.push_back(Value(p.key));
        }
        (last ? *last : *m_full).execute(values);
        m_pending.clear();
    }

private:
    struct Pending {
        std::int64_t key;
        std::int32_t column;
        std::int32_t order;
    };

    static QString sqlFor(int rows)
    {
        if (rows == 1) return QStringLiteral("Update PersonsPost Set Column288 = ?, RptOrder = ? Where PersonsPostID = ?");
        const QString when = QStringLiteral(" When ? Then ?").repeated(rows);
        QString keys = QStringLiteral("?");
        keys += QStringLiteral(", ?").repeated(rows - 1);
        return QStringLiteral("Update PersonsPost Set Column288 = Case PersonsPostID") + when
            + QStringLiteral(" End, RptOrder = Case PersonsPostID") + when
            + QStringLiteral(" End Where PersonsPostID In (") + keys + QStringLiteral(")");
    }

    Connection& m_db;
    const int m_block;
    std::optional<Statement> m_full;
    std::vector<Pending> m_pending;
};

}  // namespace

void numberRun(Connection& db, Recordset& detail, ColumnNumbering& numbering, const AppState& state,
               const of288::Choices& choices, Progress* progress)
{
    const DetailFields f(detail);
    const int rows = detail.recordCount();
    Transaction tx(db);
    NumberWriter write(db);
    if (progress) progress->begin(QStringLiteral("Numbering postings"), rows);
    for (int row = 0; row < rows; ++row) {
        const std::int64_t key = detail.at(row, f.key).toInt();
        if (key < 0) break;
        if (!detail.at(row, f.finalCol).toBool()) {
            const ColumnNumbering::Placement p = numbering.place(postingValues(detail, row, f));
            if (differs(detail.at(row, f.column), p.column) || differs(detail.at(row, f.order), p.order))
                write.add(key, p.column, p.order);
        }
        if (progress) progress->advance(row + 1);
    }
    write.flush();
    SetFinalColumn(db, state, choices, progress);
    tx.commit();
}

}  // namespace quillon
