#include "invoicing/equipmentinvoice.h"

#include "data/connection.h"
#include "data/sqltext.h"
#include "invoicing/equipmentprint.h"
#include "shell/nextnumber.h"
#include "ui/dialogs.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

#include <map>
#include <optional>

namespace quillon {

namespace {

constexpr std::int16_t OF286 = 7;
constexpr std::int16_t DeductionsAndAdditions = 13;
const QString CrLf = QStringLiteral("\r\n");

RecordsetPtr lookup(Connection& db, const QString& sql)
{
    return db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
}

// On SQL Server the reads that decide an issuance hold update locks until the
// commit, so that a second issuance of the same equipment waits for the first
// and then sees its rows. The embedded engine's write transaction (BEGIN
// IMMEDIATE) already lets one issuance in at a time.
QString updateLock(Connection& db)
{
    return db.speaksSqlServer() ? QStringLiteral(" WITH (UPDLOCK, HOLDLOCK)") : QString();
}

// A row not yet invoiced: InvoiceID 0, or Null as some host databases leave it.
const QString OpenRow = QStringLiteral("(InvoiceID = 0 OR InvoiceID IS NULL)");

// The copy number as the reports read it at the end of OrigRptCode: two
// digits at least ("01", "02", ... "10").
QString copyNumberText(std::int16_t number)
{
    QString text = QString::number(number);
    if (text.size() == 1) text.prepend(QLatin1Char('0'));
    return text;
}

// A money value of a row, or DbError naming the row when it does not fit.
Currency money(const Value& v, const QString& row)
{
    try {
        return v.toCurrency();
    } catch (const DbError& e) {
        throw DbError(e.number(), e.description() + QStringLiteral(" (") + row + QLatin1Char(')'), e.source());
    }
}

// Runs `read` and names `what` in a conversion error it raises.
template <typename F>
auto naming(const QString& what, F read)
{
    try {
        return read();
    } catch (const DbError& e) {
        if (e.number() != ErrorNumber::MoneyOverflow) throw;
        throw DbError(e.number(), e.description() + QStringLiteral(" (") + what + QLatin1Char(')'), e.source());
    }
}

// The year and number of the equipment's own incident; the shared state's
// incident when the equipment has none.
std::pair<QString, QString> incidentOfEquipment(Connection& db, const AppState& s)
{
    RecordsetPtr rs = lookup(db, QStringLiteral("Select I.StartDate, I.IncidentNumber from (Equipment E INNER JOIN "
                                                "Resources R ON E.ResourceID = R.ResourceID) INNER JOIN Incidents I "
                                                "ON R.IncidentID = I.IncidentID where E.EquipmentID = ")
                                     + sqlInt(s.SelectedEquipmentId));
    if (rs->eof() || !rs->value(0).toDate().isValid())
        return {s.IncidentStartYear, s.SelectedIncidentNumber};
    return {QString::number(rs->value(0).toDate().year()), rs->value(1).toString()};
}

// File names of kept forms: letters, digits, dashes and dots.
QString fileNamePart(const QString& text)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]+"));
    return QString(text).replace(unsafe, QStringLiteral("_"));
}

// The shared state an issuance changes, to put back when it fails.
struct SavedState {
    explicit SavedState(const AppState& s)
        : invoiceId(s.SelectedInvoiceId), number(s.InvoiceNumberText), original(s.OriginalNumber),
          code(s.OrigRptCode), start(s.ReportStartDate), end(s.ReportEndDate), debits(s.ReportDebitTotal),
          additions(s.ReportAdditionTotal), report(s.ReportNumber), previous(s.PrevInvoicesText)
    {
    }
    void restore(AppState& s) const
    {
        s.SelectedInvoiceId = invoiceId;
        s.InvoiceNumberText = number;
        s.OriginalNumber = original;
        s.OrigRptCode = code;
        s.ReportStartDate = start;
        s.ReportEndDate = end;
        s.ReportDebitTotal = debits;
        s.ReportAdditionTotal = additions;
        s.ReportNumber = report;
        s.PrevInvoicesText = previous;
    }
    std::int32_t invoiceId;
    QString number;
    std::int16_t original;
    QString code;
    QDate start, end;
    Currency debits, additions;
    std::int16_t report;
    QString previous;
};

// Builds and lays out one form of the invoice; false when it was not built.
bool layOutForm(AppState& state, EquipmentReports& reports, std::int16_t reportNumber, const QString& code,
                std::int32_t invoiceId, IssuedEquipmentInvoice& issued)
{
    state.ReportNumber = reportNumber;
    state.OrigRptCode = code;
    std::int32_t key = invoiceId;
    if (!reports.buildReport(state, key)) return false;
    IssuedEquipmentForm form{reportNumber, code, reports.layOut(state), state.OpenReport, state.ReportTitle,
                             state.ReportTitle2, state.MainSql, state.SubSql, state.OpenTemplateName,
                             state.MainDataSet, state.SubDataSet, state.OpenReportParameters};
    // The next form's BuildReport closes the data sets it finds here.
    state.MainDataSet.reset();
    state.SubDataSet.reset();
    issued.forms.push_back(std::move(form));
    return true;
}

// Records the ORIGINAL inside the open transaction; false when nothing is
// open to invoice.
bool recordOriginal(AppState& state, Connection& db, IssuedEquipmentInvoice& issued)
{
    const QString equipment = sqlInt(state.SelectedEquipmentId);
    const QDate start = openEquipmentPeriodStart(db, state.SelectedEquipmentId, state.ReportEndDate);
    if (!start.isValid()) return false;
    const QString first = sqlDate(start);
    const QString end = sqlDate(state.ReportEndDate);

    const std::int32_t reasonKey = NextNumber(db, QStringLiteral("EquipInvoicesReason"),
                                              QStringLiteral("EquipInvoiceReasonID"));
    const std::int32_t invoiceId = NextNumber(db, QStringLiteral("EquipInvoices"), QStringLiteral("EquipInvoiceID"));
    const QString suffix = nextEquipmentInvoiceSuffix(db, state.SelectedEquipmentId);
    const auto [year, incidentNumber] = incidentOfEquipment(db, state);
    const QString number = equipmentInvoiceNumber(year, incidentNumber, state.SelectedEquipmentId);

    // Only rows still open are taken, so nothing another invoice holds moves.
    for (const char* table : {"ContractorPost", "ContractorAdjustments"})
        db.execute(QStringLiteral("Update ") + QLatin1String(table) + QStringLiteral(" set InvoiceID = ")
                   + sqlInt(invoiceId) + QStringLiteral(" where equipmentid = ") + equipment
                   + QStringLiteral(" AND ActivityDt >= '") + first + QStringLiteral("' AND ActivityDt <= '") + end
                   + QStringLiteral("' AND ") + OpenRow);
    const EquipmentInvoiceFigures figures = lockedEquipmentFigures(db, invoiceId);

    db.execute(QStringLiteral("Insert into EquipInvoices (EquipInvoiceID,FirstDate,LastDate,EquipmentID,"
                              "InvoiceNumber,InvoiceSuffix,Amount) ")
               + QStringLiteral(" Values(") + sqlInt(invoiceId) + QStringLiteral(",'") + first + QStringLiteral("','")
               + end + QStringLiteral("',") + equipment + QStringLiteral(",'") + sqlQuoteInner(number)
               + QStringLiteral("','") + sqlQuoteInner(suffix) + QStringLiteral("',") + figures.net().toString()
               + QStringLiteral(")"));
    db.execute(QStringLiteral("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,Reason) ")
               + QStringLiteral(" Values(") + sqlInt(reasonKey) + QStringLiteral(",") + sqlInt(invoiceId)
               + QStringLiteral(",1,'Original')"));

    state.SelectedInvoiceId = invoiceId;
    state.InvoiceNumberText = number;
    state.ReportStartDate = start;
    state.ReportDebitTotal = figures.debits;
    state.ReportAdditionTotal = figures.additions;
    state.OrigRptCode += suffix;
    getPrevInvoices(state, db, QDate());
    issued.invoiceId = invoiceId;
    issued.invoiceNumber = number + suffix;
    issued.copyNumber = 1;
    issued.adjustments = figures.adjustments;
    return true;
}

// Records a DUPLICATE ORIGINAL inside the open transaction; false when the
// invoice has no official print to copy (deleted or unknown).
bool recordDuplicate(AppState& state, Connection& db, IssuedEquipmentInvoice& issued)
{
    const std::int32_t invoiceId = state.SelectedInvoiceId;
    RecordsetPtr last = lookup(db, QStringLiteral("Select max(Original) as LastOfficial from EquipInvoicesReason EIR "
                                                  "inner join ")
                                       + QStringLiteral("EquipInvoices EI") + updateLock(db)
                                       + QStringLiteral(" on EIR.EquipinvoiceID = EI.EquipInvoiceId ")
                                       + QStringLiteral("where EI.Del = 0 AND EIR.EquipInvoiceID = ")
                                       + sqlInt(invoiceId));
    // The maximum of no rows is one empty row.
    if (last->eof() || last->value(0).isEmpty()) return false;
    const std::int32_t reasonKey = NextNumber(db, QStringLiteral("EquipInvoicesReason"),
                                              QStringLiteral("EquipInvoiceReasonID"));
    const auto copy = std::int16_t(last->value(0).toInt() + 1);
    db.execute(QStringLiteral("Insert into EquipInvoicesReason (EquipInvoiceReasonID,EquipInvoiceID,Original,Reason) ")
               + QStringLiteral("Values(") + sqlInt(reasonKey) + QStringLiteral(",") + sqlInt(invoiceId)
               + QStringLiteral(",") + sqlInt(copy) + QStringLiteral(",'") + sqlQuoteInner(state.ReprintReason)
               + QStringLiteral("')"));

    // The copy shows the invoice as it was issued: its own number, period
    // and the rows and totals locked to it.
    RecordsetPtr invoice = lookup(db, QStringLiteral("Select FirstDate, LastDate, InvoiceNumber, InvoiceSuffix from "
                                                     "EquipInvoices where EquipInvoiceID = ")
                                          + sqlInt(invoiceId));
    const EquipmentInvoiceFigures figures = lockedEquipmentFigures(db, invoiceId);
    state.ReportStartDate = invoice->value(0).toDate();
    state.ReportEndDate = invoice->value(1).toDate();
    state.InvoiceNumberText = invoice->value(2).toString();
    state.ReportDebitTotal = figures.debits;
    state.ReportAdditionTotal = figures.additions;
    state.OriginalNumber = copy;
    state.OrigRptCode.prepend(QLatin1Char('F'));
    issued.invoiceId = invoiceId;
    issued.invoiceNumber = invoice->value(2).toString() + invoice->value(3).toString();
    issued.copyNumber = copy;
    issued.adjustments = figures.adjustments;
    return true;
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
    RecordsetPtr rs = lookup(db, QStringLiteral("Select max(InvoiceSuffix) as Suff from EquipInvoices")
                                     + updateLock(db) + QStringLiteral(" where Del = 0 AND equipmentid = ")
                                     + sqlInt(equipmentId));
    if (rs->eof()) return QStringLiteral("A");
    const QString last = rs->value(0).toString();
    if (last.isEmpty()) return QStringLiteral("A");
    // The next character code, without an upper bound ("Z" is followed by "[").
    return QString(QChar(char16_t(last.at(0).unicode() + 1)));
}

QDate openEquipmentPeriodStart(Connection& db, std::int32_t equipmentId, const QDate& end)
{
    const QString where = QStringLiteral(" where EquipmentID = ") + sqlInt(equipmentId)
        + QStringLiteral(" AND ActivityDT <= '") + sqlDate(end) + QStringLiteral("' AND ") + OpenRow;
    RecordsetPtr posts = lookup(db, QStringLiteral("Select min(ActivityDT) from ContractorPost") + updateLock(db) + where);
    if (posts->eof() || posts->value(0).isEmpty()) return {};
    QDate start = posts->value(0).toDate();
    RecordsetPtr adjustments = lookup(db, QStringLiteral("Select min(ActivityDT) from ContractorAdjustments")
                                              + updateLock(db) + where);
    if (!adjustments->eof() && !adjustments->value(0).isEmpty())
        start = std::min(start, adjustments->value(0).toDate());
    return start;
}

EquipmentInvoiceFigures lockedEquipmentFigures(Connection& db, std::int32_t invoiceId)
{
    EquipmentInvoiceFigures f;
    const QString key = sqlInt(invoiceId);
    RecordsetPtr posts = naming(QStringLiteral("ContractorPost rows of invoice ") + key, [&] {
        return lookup(db, QStringLiteral("Select ContractorPostID, ActivityDT, Amt, SAmt, GuarAmt from ContractorPost "
                                         "where InvoiceID = ")
                              + key);
    });
    // What was posted each day, per day and guarantee (a day with two
    // guarantees counts each apart, as the form groups it).
    std::map<std::pair<QDate, std::optional<std::int64_t>>, Currency> days;
    for (; !posts->eof(); posts->moveNext()) {
        const QString row = QStringLiteral("ContractorPost ") + posts->value(0).toString();
        const Value guarantee = posts->value(4);
        const std::optional<std::int64_t> guar =
            guarantee.isEmpty() ? std::nullopt : std::optional<std::int64_t>(money(guarantee, row).raw());
        Currency& day = days[{posts->value(1).toDate(), guar}];
        naming(row, [&] {
            day += money(posts->value(2), row) + money(posts->value(3), row);
            return 0;
        });
    }
    naming(QStringLiteral("the use of invoice ") + key, [&] {
        for (const auto& [day, posted] : days) {
            const Currency guar = Currency::fromRaw(day.second.value_or(0));
            f.use += day.second && guar > posted ? guar : posted;
        }
        return 0;
    });

    RecordsetPtr adjustments = naming(QStringLiteral("ContractorAdjustments rows of invoice ") + key, [&] {
        return lookup(db, QStringLiteral("Select ContractorAdjustmentID, Amt from ContractorAdjustments where "
                                         "InvoiceID = ")
                              + key);
    });
    for (; !adjustments->eof(); adjustments->moveNext()) {
        const QString row = QStringLiteral("ContractorAdjustments ") + adjustments->value(0).toString();
        const Currency amount = money(adjustments->value(1), row);
        naming(row, [&] {
            if (amount > Currency()) f.debits += amount;
            else f.additions -= amount;
            return 0;
        });
        ++f.adjustments;
    }
    naming(QStringLiteral("the amount of invoice ") + key, [&] { return f.net(); });
    return f;
}

IssuedEquipmentInvoice issueEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                             EquipmentReports& reports)
{
    IssuedEquipmentInvoice issued;
    const bool original = state.InvoicePrintMode == PrintOriginal;
    if (!original && state.InvoicePrintMode != PrintDuplicateOriginal)
        throw DbError(ErrorNumber::Generic, QStringLiteral("Only an ORIGINAL or a DUPLICATE ORIGINAL is issued."));
    const SavedState saved(state);
    try {
        Transaction tx(db);
        if (original ? !recordOriginal(state, db, issued) : !recordDuplicate(state, db, issued)) {
            tx.rollback();
            saved.restore(state);
            issued.outcome = original ? EquipmentIssueOutcome::NothingToInvoice
                                      : EquipmentIssueOutcome::NoInvoicedPostings;
            dialogs.messageBox(original ? QStringLiteral("No Non-Invoiced Postings to Print.")
                                        : QStringLiteral("No Invoiced Postings to Print."),
                               MsgButtons::OK, MsgIcon::Exclamation, applicationTitle() + QStringLiteral(": No Postings"));
            return issued;
        }
        // The forms, laid out over the rows just written: the OF-286 always,
        // the deductions and additions when any adjustment is on the invoice.
        const QString code = state.OrigRptCode;
        const QString deductionsCode = code + copyNumberText(state.OriginalNumber);
        const bool withDeductions = issued.adjustments > 0;
        if (!layOutForm(state, reports, OF286, code, issued.invoiceId, issued)
            || (withDeductions
                && !layOutForm(state, reports, DeductionsAndAdditions, deductionsCode, issued.invoiceId, issued))) {
            tx.rollback();
            saved.restore(state);
            issued.forms.clear();
            issued.outcome = EquipmentIssueOutcome::NotBuilt;
            return issued;
        }
        reports.checkPrinter();
        tx.commit();
        state.ReportNumber = OF286;
        state.OrigRptCode = code;
        issued.finalCode = deductionsCode;
        issued.outcome = EquipmentIssueOutcome::Issued;
        return issued;
    } catch (...) {
        saved.restore(state);
        throw;
    }
}

EquipmentIssueOutcome printIssuedEquipmentInvoice(AppState& state, const IssuedEquipmentInvoice& issued,
                                                  EquipmentReports& reports, Dialogs& dialogs)
{
    if (issued.outcome != EquipmentIssueOutcome::Issued) return issued.outcome;
    QString failure;
    for (const IssuedEquipmentForm& form : issued.forms) {
        state.ReportNumber = form.reportNumber;
        state.OrigRptCode = form.origRptCode;
        state.OpenReport = form.report;
        state.ReportTitle = form.reportTitle;
        state.ReportTitle2 = form.reportTitle2;
        state.MainSql = form.mainSql;
        state.SubSql = form.subSql;
        state.OpenTemplateName = form.templateName;
        state.MainDataSet = form.mainData;
        state.SubDataSet = form.subData;
        state.OpenReportParameters = form.parameters;
        try {
            reports.printLaidOut(state, form.laidOut);
        } catch (const DbError& e) {
            failure = e.description();
            break;
        }
    }
    state.ReportNumber = OF286;
    state.OrigRptCode = issued.finalCode;
    if (failure.isEmpty()) return EquipmentIssueOutcome::Issued;

    // The invoice stands: keep its forms where the user can print them and
    // say how to get a new official print.
    const QString folder = reports.keepFolder();
    QStringList kept;
    QString keepError;
    QDir().mkpath(folder);
    for (const IssuedEquipmentForm& form : issued.forms) {
        QString name = issued.invoiceNumber;
        if (issued.copyNumber > 1) name += QStringLiteral(" copy ") + copyNumberText(issued.copyNumber);
        name += form.reportNumber == OF286 ? QStringLiteral(" OF-286") : QStringLiteral(" deductions");
        const QString path = QDir(folder).filePath(fileNamePart(name) + QStringLiteral(".pdf"));
        QSaveFile f(path);
        if (f.open(QIODevice::WriteOnly) && f.write(form.laidOut.pdf) == form.laidOut.pdf.size() && f.commit())
            kept << QDir::toNativeSeparators(path);
        else
            keepError = f.errorString();
    }
    const QString what = issued.copyNumber > 1
        ? QStringLiteral("Copy %1 of invoice %2 was recorded").arg(issued.copyNumber).arg(issued.invoiceNumber)
        : QStringLiteral("Invoice %1 was issued and its postings are locked").arg(issued.invoiceNumber);
    QString text = what + QStringLiteral(", but it could not be printed:") + CrLf + failure + CrLf + CrLf;
    if (kept.size() == int(issued.forms.size()))
        text += QStringLiteral("Its forms were kept in:") + CrLf + kept.join(CrLf) + CrLf + CrLf;
    else
        text += QStringLiteral("Its forms could not be kept in %1: %2").arg(QDir::toNativeSeparators(folder), keepError)
            + CrLf + CrLf;
    text += QStringLiteral("Do not issue it again: print it with DUPLICATE ORIGINAL once the printer works.");
    dialogs.messageBox(text, MsgButtons::OK, MsgIcon::Critical, applicationTitle() + QStringLiteral(": Not printed"));
    return EquipmentIssueOutcome::IssuedNotPrinted;
}

EquipmentIssueOutcome printEquipmentInvoice(AppState& state, Connection& db, Dialogs& dialogs,
                                            EquipmentReports& reports, std::int16_t /*viewerSlot*/)
{
    const IssuedEquipmentInvoice issued = issueEquipmentInvoice(state, db, dialogs, reports);
    return printIssuedEquipmentInvoice(state, issued, reports, dialogs);
}

}  // namespace quillon
