#pragma once
// Column numbering of the OF-288. The form groups a person's postings into
// columns: one kind code, one pay rate and one accounting code per column, at
// most seven postings each; a final invoice carries one extra column after the
// last. Before every Run the postings the invoice covers are loaded (the
// window's adoPersonDetail), each is given a column (Column288) and a row
// order (RptOrder), and the person's final-column row (a PersonsPost row with
// FinalCol = 1 and no date) is added, moved or removed.
//
//   RecordsetPtr detail = LoadUninvoicedPostings(db, state, choices);
//   numbering.resetForRun();
//   numberRun(db, *detail, numbering, state, choices);   // one transaction
//
// The numbers of a Run go to the database together in one transaction through
// a statement prepared once (a posting a statement on the embedded engine,
// fifty over ODBC, where each statement is a round trip), only those that
// changed, so a failing or cancelled Run leaves the numbers as they were.

#include "data/progress.h"
#include "data/recordset.h"
#include "data/value.h"
#include "invoicing/of288sql.h"
#include "shell/appstate.h"

#include <QString>

#include <cstdint>

namespace quillon {

class Connection;

// The values of the last numbered posting.
struct PreviousPostValues {
    std::int32_t PersonID = 0;
    Currency Rate;
    QString KindCode;
    std::int32_t AccountingID = 0;
};

// The numbering state a window keeps between the rows of a Run and from one
// Run to the next.
class ColumnNumbering {
public:
    std::int32_t CurrentColumn = 1;
    std::int32_t RowsInColumn = 0;
    std::int32_t RowOrder = 0;
    PreviousPostValues PreviousPost;

    static constexpr int RowsPerColumn = 7;

    // The start of a Run: column 1, nothing placed yet, no previous person or
    // rate. The previous kind code and accounting code stay from the last Run.
    void resetForRun();

    // Places the next posting of a Run (final-column rows are not placed):
    // its column and row order.
    struct Placement {
        std::int32_t column;
        std::int32_t order;
    };
    Placement place(const PreviousPostValues& posting);

    // Numbers the current row of `detail` and moves to the next row. A
    // final-column row is passed over untouched. A posting without an
    // accounting code counts as accounting code 0. The numbers are set on the
    // row and saved as the record set saves (at once, or with its batch).
    void SetColumnFlag(Recordset& detail);
};

// The open postings (InvoiceID Null or 0) of the selection up to ReportEndDate,
// for a DRAFT or ORIGINAL Run; opened for batch updates. With `progress`, the
// rows are counted into it as they come, and its cancel is served throughout
// the read.
RecordsetPtr LoadUninvoicedPostings(Connection& db, const AppState& state, const of288::Choices& choices,
                                    Progress* progress = nullptr);
// The postings of the invoices being reprinted, for a DUPLICATE ORIGINAL Run.
RecordsetPtr LoadInvoicedPostings(Connection& db, const AppState& state, const of288::Choices& choices,
                                  Progress* progress = nullptr);

// Numbers every row of `detail` from its current row on, until its end or a
// row whose PersonsPostID is negative.
void numberPostings(Recordset& detail, ColumnNumbering& numbering);

// Adds or moves the final-column row of every person of the selection when
// choices.FinalFlag is set (one row per person, one column after the
// highest), removes them otherwise. The new row's key comes from NextNumber.
void SetFinalColumn(Connection& db, const AppState& state, const of288::Choices& choices,
                    Progress* progress = nullptr);

// Step 6 of a Run: numbers the postings of `detail` (up to its end or a row
// whose PersonsPostID is negative), writes the numbers that changed and sets
// the final column, all in one transaction. `detail` itself is only read: it
// keeps the numbers it was loaded with. Reports "Numbering postings" to
// `progress`; a cancel (RunCancelled) or failure leaves the database as it
// was, though `numbering` has moved on.
void numberRun(Connection& db, Recordset& detail, ColumnNumbering& numbering, const AppState& state,
               const of288::Choices& choices, Progress* progress = nullptr);

}  // namespace quillon
