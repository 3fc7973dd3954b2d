#include "invoicing/equipmentprint.h"

#include "data/connection.h"
#include "data/sqltext.h"
#include "invoicing/equipmentinvoice.h"
#include "invoicing/equipmentreports.h"
#include "ui/busypointer.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr std::int16_t OF286 = 7;
constexpr std::int16_t DeductionsAndAdditions = 13;

RecordsetPtr lookup(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

// The sum of the adjustments on one side of zero (condition "Amt < 0" or
// "Amt > 0") among those `rows` selects; 0 when there are none. Summed here
// row by row in exact money, so that a value beyond the money type's range
// is reported with its row.
Currency adjustmentSum(Connection& db, const QString& rows, const QString& sign)
{
    RecordsetPtr rs = lookup(db, QStringLiteral("Select ContractorAdjustmentID, Amt FROM ContractorAdjustments WHERE ")
                                     + rows + QStringLiteral(" and Amt ") + sign);
    Currency total;
    for (; !rs->eof(); rs->moveNext()) {
        try {
            total += rs->value(1).toCurrency();
        } catch (const DbError& e) {
            throw DbError(e.number(), e.description() + QStringLiteral(" (ContractorAdjustments ")
                                          + rs->value(0).toString() + QLatin1Char(')'), e.source());
        }
    }
    return total;
}

}  // namespace

int reasonLimit(int kind)
{
    return kind == ReprintReasonKind ? 15 : 25;
}

QString equipmentInvoicesSql(std::int32_t equipmentId, bool clear)
{
    QString sql = QStringLiteral("Select EI.EquipInvoiceID,EI.InvoiceNumber + EI.InvoiceSuffix as InvoiceNumber, "
                                 "EI.FirstDate,EI.LastDate,")
        + QStringLiteral("EI.Amount FROM EquipInvoices EI ");
    if (clear)
        sql += QStringLiteral("WHERE EI.EquipmentID = ") + QStringLiteral("-2");
    else
        sql += QStringLiteral("WHERE Del = 0 AND EI.EquipmentID = ") + sqlInt(equipmentId)
            + QStringLiteral(" Order by EI.FirstDate");
    return sql;
}

void getPrevInvoices(AppState& state, Connection& db, const QDate& chosenInvoiceLastDate)
{
    QDate bound = state.ReportEndDate;
    if (state.InvoicePrintMode == PrintDuplicateOriginal) {
        bound = chosenInvoiceLastDate;
        state.OriginalNumber = 1;
    }
    RecordsetPtr rs = lookup(db, QStringLiteral("Select FirstDate, LastDate, Amount from EquipInvoices where Del = 0 "
                                                "AND EquipmentID = ")
                                     + sqlInt(state.SelectedEquipmentId) + QStringLiteral(" and LastDate < '")
                                     + sqlDate(bound) + QStringLiteral("' order by LastDate"));
    state.PrevInvoicesText.clear();
    if (rs->eof() || rs->value(QStringLiteral("LastDate")).isEmpty()) return;
    for (; !rs->eof(); rs->moveNext()) {
        state.PrevInvoicesText += rs->value(0).toString() + QStringLiteral(" - ") + rs->value(1).toString()
            + QStringLiteral(" for $") + rs->value(2).toCurrency().toFixed(2, true) + CrLf;
    }
}

bool getAdditionsDeductions(AppState& state, Connection& db, Dialogs& dialogs, const QDate& chosenInvoiceFirstDate,
                            const QDate& chosenInvoiceLastDate)
{
    state.ReportAdditionTotal = Currency();
    state.ReportDebitTotal = Currency();
    state.ReportStartDate = QDate(1900, 1, 1);
    QString rows;

    if (state.InvoicePrintMode == PrintDuplicateOriginal) {
        state.ReportStartDate = chosenInvoiceFirstDate;
        state.ReportEndDate = chosenInvoiceLastDate;
        // A copy shows the adjustments its invoice holds.
        rows = QStringLiteral("InvoiceID = ") + sqlInt(state.SelectedInvoiceId);
    } else {
        // The next invoice starts at the earliest open posting or adjustment,
        // so that nothing open is left behind.
        const QDate start = openEquipmentPeriodStart(db, state.SelectedEquipmentId, state.ReportEndDate);
        if (!start.isValid()) {
            dialogs.messageBox(QStringLiteral("No Non-Invoiced Postings to Print."), MsgButtons::OK,
                               MsgIcon::Exclamation, applicationTitle() + QStringLiteral(": No Postings"));
            return false;
        }
        state.ReportStartDate = start;
        rows = QStringLiteral("EquipmentID = ") + sqlInt(state.SelectedEquipmentId)
            + QStringLiteral(" and ActivityDT between '") + sqlDate(state.ReportStartDate) + QStringLiteral("' and '")
            + sqlDate(state.ReportEndDate) + QStringLiteral("' and (InvoiceID = 0 OR InvoiceID IS NULL)");
    }
    // Negative adjustments are additions, positive ones debits.
    const Currency additions = adjustmentSum(db, rows, QStringLiteral("< 0"));
    state.ReportAdditionTotal = additions < Currency() ? -additions : additions;
    state.ReportDebitTotal = adjustmentSum(db, rows, QStringLiteral("> 0"));
    return true;
}

QString getReason(AppState& state, Dialogs& dialogs, int kind)
{
    state.ReprintReason.clear();
    const int limit = reasonLimit(kind);
    const QString prompt = kind == ReprintReasonKind
        ? QStringLiteral("You must enter a brief reason for reprinting.") + CrLf
            + QStringLiteral("(examples: Lost, Damaged, Destroyed, Did not Print)") + CrLf
            + QStringLiteral("You must limit your entry to 15 characters and spaces")
        : QStringLiteral("You must enter a brief reason for Deleting.") + CrLf
            + QStringLiteral("You must limit your entry to 25 characters and spaces");
    while (state.ReprintReason.isEmpty()) {
        state.ReprintReason = dialogs.inputBox(prompt, QStringLiteral("Reason")).trimmed();
        QString error;
        if (state.ReprintReason.size() > limit)
            error = QStringLiteral("Reason too long.  Please re-enter.");
        else if (state.ReprintReason.isEmpty())
            error = QStringLiteral("Did not recieve your response.  Please re-enter.");
        if (error.isEmpty()) break;
        const MsgAnswer answer = dialogs.messageBox(error, MsgButtons::OKCancel, MsgIcon::None,
                                                    applicationTitle() + QStringLiteral(":Error with Reason"));
        state.ReprintReason.clear();
        if (answer == MsgAnswer::Cancel) break;
    }
    return state.ReprintReason;
}

QDate parseBoxDate(const QString& text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("MM/dd/yyyy"));
    if (!d.isValid()) d = QDate::fromString(t, QStringLiteral("M/d/yyyy"));
    return d;
}

EquipmentRunOutcome runEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs, EquipmentReports& reports,
                                        const EquipmentRunChoice& choice)
{
    BusyPointer busy;
    if (choice.lastDateText.isEmpty() || choice.lastDateText == QLatin1String("__/__/____")) {
        dialogs.messageBox(QStringLiteral("Last Date is blank.") + CrLf + QStringLiteral("Please enter a Last date."),
                           MsgButtons::OK, MsgIcon::Information, QStringLiteral("Last date empty"));
        return EquipmentRunOutcome::Stopped;
    }
    const QDate end = parseBoxDate(choice.lastDateText);
    if (!end.isValid()) {
        dialogs.messageBox(QStringLiteral("Invalid End Date"), MsgButtons::OK, MsgIcon::Critical,
                           applicationTitle() + QStringLiteral(": Required data missing"));
        return EquipmentRunOutcome::Stopped;
    }
    state.ReportEndDate = end;

    switch (state.InvoicePrintMode) {
    case PrintDraft: state.OrigRptCode = QStringLiteral("D"); break;
    case PrintOriginal: state.OrigRptCode = QStringLiteral("O"); break;
    case PrintDuplicateOriginal:
        state.OriginalNumber = 0;
        if (state.SelectedInvoiceId == 0) {
            dialogs.messageBox(QStringLiteral("You must select an invoice to reprint."), MsgButtons::OK,
                               MsgIcon::Critical, applicationTitle() + QStringLiteral(":No Invoice"));
            return EquipmentRunOutcome::Stopped;
        }
        if (getReason(state, dialogs, ReprintReasonKind).isEmpty()) return EquipmentRunOutcome::Stopped;
        state.OrigRptCode = QStringLiteral("P") + state.ReprintReason;
        break;
    default: break;
    }

    getPrevInvoices(state, db, choice.chosenInvoiceLastDate);
    const bool anythingOpen =
        getAdditionsDeductions(state, db, dialogs, choice.chosenInvoiceFirstDate, choice.chosenInvoiceLastDate);
    // An ORIGINAL with nothing open to invoice goes no further: no form, no
    // confirmation, nothing recorded.
    if (!anythingOpen && state.InvoicePrintMode == PrintOriginal) return EquipmentRunOutcome::Stopped;

    const bool totals = state.ReportDebitTotal != Currency() || state.ReportAdditionTotal != Currency();
    const bool deductionsWanted =
        (choice.reportOption == OF286WithDeductions || choice.reportOption == DeductionsOnly) && totals;
    const bool invoiceWanted = choice.reportOption == OF286WithDeductions || choice.reportOption == OF286Only;
    const bool official =
        state.InvoicePrintMode == PrintOriginal || state.InvoicePrintMode == PrintDuplicateOriginal;

    std::int32_t key = state.SelectedInvoiceId;
    if (choice.directPrint && official) {
        // The issuance prints the OF-286 and the deductions itself, after
        // recording the invoice or the copy.
        state.ReportNumber = OF286;
        if (reports.buildReport(state, key)) reports.printInvoice(state, 1, false);
        return EquipmentRunOutcome::Completed;
    }
    const std::int16_t preview = choice.directPrint ? 0 : 1;
    if (deductionsWanted) {
        state.ReportNumber = DeductionsAndAdditions;
        if (reports.buildReport(state, key)) reports.showReport(state, preview, 2);
    }
    if (invoiceWanted) {
        state.ReportNumber = OF286;
        key = state.SelectedInvoiceId;
        if (reports.buildReport(state, key)) reports.showReport(state, preview, 1);
    }
    return EquipmentRunOutcome::Completed;
}

}  // namespace quillon
