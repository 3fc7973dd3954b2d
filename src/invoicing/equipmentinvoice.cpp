#include "invoicing/equipmentinvoice.h"

#include "data/connection.h"
#include "data/sqltext.h"
#include "invoicing/equipmentreports.h"
#include "shell/nextnumber.h"
#include "ui/dialogs.h"

namespace quillon {

namespace {

constexpr std::int16_t OF286 = 7;
constexpr std::int16_t DeductionsAndAdditions = 13;

RecordsetPtr lookup(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

// The copy number as the reports read it at the end of OrigRptCode: two
// digits at least ("01", "02", ... "10").
QString copyNumberText(std::int16_t number)
{
    QString text = QString::number(number);
    if (text.size() == 1) text.prepend(QLatin1Char('0'));
    return text;
}

// What one day of use adds to the invoice: the greater of the posted amount
// and the guarantee. A value that is empty takes no part, so a day without a
// guarantee counts what was posted and a day without a posted amount counts
// its guarantee.
Currency dayAmount(const Value& posted, const Value& guarantee)
{
    if (posted.isEmpty()) return guarantee.toCurrency();
    if (guarantee.isEmpty()) return posted.toCurrency();
    const Currency amt = posted.toCurrency();
    const Currency guar = guarantee.toCurrency();
    return amt > guar ? amt : guar;
}

}  // namespace

QString equipmentInvoiceNumber(const QString& incidentStartYear, const QString& incidentNumber,
                               std::int32_t equipmentId)
{
    // rightJustified pads a short ID and leaves a long one whole.
    const QString id = QString::number(equipmentId).rightJustified(6, QLatin1Char('0'));
    return incidentStartYear.trimmed() + QLatin1Char('-') + incidentNumber.trimmed() + QLatin1Char('-') + id;
}

QString nextEquipmentInvoiceSuffix(Connection& db, std::int32_t equipmentId)
{
    RecordsetPtr rs = lookup(db, QStringLiteral("Select max(InvoiceSuffix) as Suff from EquipInvoices where Del = 0 "
                                                "AND equipmentid = ")
                                     + sqlInt(equipmentId));
    if (rs->eof()) return QStringLiteral("A");
    const QString last = rs->value(0).toString();
    if (last.isEmpty()) return QStringLiteral("A");
    // The next character code, without an upper bound ("Z" is followed by "[").
    return QString(QChar(char16_t(last.at(0).unicode() + 1)));
}

Currency equipmentInvoiceAmount(Connection& db, const AppState& state)
{
    RecordsetPtr rs = lookup(db, QStringLiteral("select activitydt, sum(amt + samt) as Amt, guaramt from contractorpost ")
                                     + QStringLiteral("Where equipmentid = ") + sqlInt(state.SelectedEquipmentId)
                                     + QStringLiteral("AND ActivityDT BETWEEN '") + sqlDate(state.ReportStartDate)
                                     + QStringLiteral("' and '") + sqlDate(state.ReportEndDate) + QStringLiteral("' ")
                                     + QStringLiteral("group by activitydt, guaramt ")
                                     + QStringLiteral("order by activitydt"));
    if (rs->eof()) return Currency();
    const int amtField = rs->requireField(QStringLiteral("Amt"));
    const int guarField = rs->requireField(QStringLiteral("guaramt"));
    Currency total;
    for (; !rs->eof(); rs->moveNext()) total += dayAmount(rs->value(amtField), rs->value(guarField));
    // Additions raise the invoice, debits lower it.
    return total + state.ReportAdditionTotal - state.ReportDebitTotal;
}

IssuedEquipmentInvoice issueEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs)
{
    const AppState& s = state;
    IssuedEquipmentInvoice issued;
    const bool original = s.InvoicePrintMode == PrintOriginal;
    if (!original && s.InvoicePrintMode != PrintDuplicateOriginal)
        throw DbError(ErrorNumber::Generic, QStringLiteral("Only an ORIGINAL or a DUPLICATE ORIGINAL is issued."));
    state.ReportNumber = OF286;

    const QString equipment = sqlInt(s.SelectedEquipmentId);
    const QString start = sqlDate(s.ReportStartDate);
    const QString end = sqlDate(s.ReportEndDate);
    QString code = s.OrigRptCode;
    QString invoiceNumber = s.InvoiceNumberText;
    std::int16_t originalNumber = s.OriginalNumber;
    std::int32_t invoiceId = s.SelectedInvoiceId;

    Transaction tx(db);
    const std::int32_t reasonKey = NextNumber(db, QStringLiteral("EquipInvoicesReason"),
                                              QStringLiteral("EquipInvoiceReasonID"));
    if (original) {
        invoiceId = NextNumber(db, QStringLiteral("EquipInvoices"), QStringLiteral("EquipInvoiceID"));
        code += nextEquipmentInvoiceSuffix(db, s.SelectedEquipmentId);
        invoiceNumber = equipmentInvoiceNumber(s.IncidentStartYear, s.SelectedIncidentNumber, s.SelectedEquipmentId);
        const Currency amount = equipmentInvoiceAmount(db, s);
        db.execute(QStringLiteral("Insert into EquipInvoices (EquipInvoiceID,FirstDate,LastDate,EquipmentID,"
                                  "InvoiceNumber,InvoiceSuffix,Amount) ")
                   + QStringLiteral(" Values(") + sqlInt(invoiceId) + QStringLiteral(",'") + start
                   + QStringLiteral("','") + end + QStringLiteral("',") + equipment + QStringLiteral(",'")
                   + sqlQuoteInner(invoiceNumber) + QStringLiteral("','") + sqlQuoteInner(code.right(1))
                   + QStringLiteral("',") + amount.toString() + QStringLiteral(")"));
        db.execute(QStringLiteral("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,"
                                  "Reason) ")
                   + QStringLiteral(" Values(") + sqlInt(reasonKey) + QStringLiteral(",") + sqlInt(invoiceId)
                   + QStringLiteral(",1,'Original')"));
        db.execute(QStringLiteral("Update ContractorPost set InvoiceID = ") + sqlInt(invoiceId)
                   + QStringLiteral(" where equipmentid = ") + equipment + QStringLiteral(" AND ActivityDt >= '")
                   + start + QStringLiteral("' AND ActivityDt <= '") + end + QStringLiteral("'"));
    } else {
        RecordsetPtr last = lookup(db, QStringLiteral("Select max(Original) as LastOfficial from EquipInvoicesReason "
                                                      "EIR inner join ")
                                           + QStringLiteral("EquipInvoices EI on EIR.EquipinvoiceID = "
                                                            "EI.EquipInvoiceId ")
                                           + QStringLiteral("where EI.Del = 0 AND EIR.EquipInvoiceID = ")
                                           + sqlInt(invoiceId));
        // The maximum of no rows is one empty row: a deleted or unknown
        // invoice has no official print to copy.
        if (last->eof() || last->value(0).isEmpty()) {
            tx.rollback();
            dialogs.messageBox(QStringLiteral("No Invoiced Postings to Print."), MsgButtons::OK, MsgIcon::Exclamation,
                               applicationTitle() + QStringLiteral(": No Postings"));
            return issued;
        }
        originalNumber = std::int16_t(last->value(0).toInt() + 1);
        db.execute(QStringLiteral("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,"
                                  "Reason) ")
                   + QStringLiteral("Values(") + sqlInt(reasonKey) + QStringLiteral(",") + sqlInt(invoiceId)
                   + QStringLiteral(",") + sqlInt(originalNumber) + QStringLiteral(",'")
                   + sqlQuoteInner(s.ReprintReason) + QStringLiteral("')"));
        code.prepend(QLatin1Char('F'));
    }
    if (original) {
        // The adjustments of the period are locked whether or not their
        // report is printed.
        db.execute(QStringLiteral("Update ContractorAdjustments set InvoiceID = ") + sqlInt(invoiceId)
                   + QStringLiteral(" where equipmentid = ") + equipment + QStringLiteral(" AND ActivityDt >= '")
                   + start + QStringLiteral("' AND ActivityDt <= '") + end + QStringLiteral("'"));
    }
    tx.commit();

    issued.outcome = EquipmentIssueOutcome::Issued;
    issued.invoiceId = invoiceId;
    issued.invoiceCode = code;
    issued.deductionsCode = code + copyNumberText(originalNumber);
    issued.printDeductions = s.ReportDebitTotal != Currency() || s.ReportAdditionTotal != Currency();

    state.SelectedInvoiceId = invoiceId;
    state.InvoiceNumberText = invoiceNumber;
    state.OriginalNumber = originalNumber;
    state.OrigRptCode = code;
    return issued;
}

void printIssuedEquipmentInvoice(AppState& state, const IssuedEquipmentInvoice& issued, EquipmentReports& reports,
                                 std::int16_t viewerSlot)
{
    if (issued.outcome != EquipmentIssueOutcome::Issued) return;
    std::int32_t key = issued.invoiceId;
    state.ReportNumber = OF286;
    state.OrigRptCode = issued.invoiceCode;
    if (reports.buildReport(state, key)) reports.showReport(state, 0, viewerSlot);

    state.ReportNumber = DeductionsAndAdditions;
    state.OrigRptCode = issued.deductionsCode;
    if (issued.printDeductions) {
        key = issued.invoiceId;
        if (reports.buildReport(state, key)) reports.showReport(state, 0, viewerSlot);
    }
    state.ReportNumber = OF286;
}

EquipmentIssueOutcome printEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                            EquipmentReports& reports, std::int16_t viewerSlot)
{
    const IssuedEquipmentInvoice issued = issueEquipmentInvoice(state, db, dialogs);
    printIssuedEquipmentInvoice(state, issued, reports, viewerSlot);
    return issued.outcome;
}

}  // namespace quillon
