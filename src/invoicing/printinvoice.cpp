#include "invoicing/printinvoice.h"

#include "invoicing/of288sql.h"
#include "invoicing/personnelissuance.h"
#include "invoicing/preptable.h"
#include "shell/buildreport.h"
#include "reports/output/report_viewer.h"
#include "ui/errorboundary.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

namespace quillon {

namespace {

// Unloads both viewer windows, as showing a report in a viewer does for its
// own: renamed and hidden at once, deleted once control is back in the event
// loop (a viewer whose print button led here is still on the stack).
void closeViewers()
{
    if (!QApplication::instance()) return;
    for (int slot : {1, 2}) {
        const QString name = reports::ViewerWindow::windowName(slot).toLower();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName().toLower() != name) continue;
            w->setObjectName(QString());
            w->hide();
            w->deleteLater();
        }
    }
}

const QString crlf = QStringLiteral("\r\n");

// One printed form: its PDF, laid out before anything was committed, the job
// title it prints under and the file it was kept in.
struct Form {
    QByteArray pdf;
    QString title;
    QString keptAs;
};

// Restores the print mode and report number the caller had.
class ModeGuard {
public:
    explicit ModeGuard(AppState& s) : m_state(s), m_mode(s.InvoicePrintMode), m_report(s.ReportNumber) {}
    ~ModeGuard()
    {
        m_state.InvoicePrintMode = m_mode;
        m_state.ReportNumber = m_report;
    }

private:
    AppState& m_state;
    std::int16_t m_mode;
    std::int16_t m_report;
};

// Lays out the OF-288 and, when the persons have debits, the commissary
// detail of exactly the invoices named in #tmp: both are built as a reprint
// builds them, over the postings and debits locked to those invoices, so the
// forms show what the invoices hold. Final or not follows the final-column
// rows the invoices hold.
std::vector<Form> layOutPersonnelForms(App& app)
{
    AppState& s = app.state;
    s.ReportFinalFlag = finalFlagOfPrepTable(app.SharedConnection());

    std::vector<Form> forms;
    ModeGuard guard(s);
    s.InvoicePrintMode = PrintDuplicateOriginal;
    for (std::int16_t report : {std::int16_t(6), std::int16_t(14)}) {
        if (report == 14 && !s.HasDebits) break;
        s.ReportNumber = report;
        std::int32_t key = s.SelectedInvoiceId;
        if (!BuildReport(app, key) || !s.OpenReport)
            throw DbError(ErrorNumber::ReportTemplate,
                          QStringLiteral("The %1 could not be prepared.").arg(report == 6 ? "OF-288" : "commissary detail"));
        forms.push_back({s.OpenReport->renderPdf(), report == 6 ? s.ReportTitle : s.ReportTitle2, QString()});
    }
    return forms;
}

// Whether the printer can take a job now; a DbError naming the problem when
// it cannot (no print service or default destination, an output folder that
// cannot be written).
void checkPrintDestination(reports::Printer& printer)
{
    if (dynamic_cast<reports::CupsPrinter*>(&printer)) {
        reports::CupsPrinter::defaultDestination();
    } else if (auto* folder = dynamic_cast<reports::FolderPrinter*>(&printer)) {
        const QFileInfo info(folder->folder());
        if (!QDir().mkpath(folder->folder()) || !QFileInfo(info.absoluteFilePath()).isWritable())
            throw DbError(ErrorNumber::Printer,
                          QStringLiteral("The print folder %1 cannot be written.").arg(folder->folder()));
    }
}

// Where issued forms are kept: $QUILLON_INVOICE_FOLDER, else the program's
// data folder.
QString keptFormsFolder()
{
    const QString named = qEnvironmentVariable("QUILLON_INVOICE_FOLDER");
    if (!named.isEmpty()) return named;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/invoices");
}

void keepForms(std::vector<Form>& forms, const QString& firstNumber)
{
    const QString folder = keptFormsFolder();
    if (!QDir().mkpath(folder))
        throw DbError(ErrorNumber::FileAccess, QStringLiteral("The folder %1 cannot be created.").arg(folder));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    for (Form& form : forms) {
        QString title = form.title;
        title.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]+")), QStringLiteral("_"));
        form.keptAs = QDir(folder).filePath(stamp + QLatin1Char('-') + firstNumber + QLatin1Char('-') + title
                                            + QStringLiteral(".pdf"));
        QSaveFile file(form.keptAs);
        if (!file.open(QIODevice::WriteOnly) || file.write(form.pdf) != form.pdf.size() || !file.commit())
            throw DbError(ErrorNumber::FileAccess, QStringLiteral("The form could not be kept as %1.").arg(form.keptAs));
    }
}

QStringList numbersInPrepTable(Connection& db)
{
    QStringList numbers;
    RecordsetPtr rows = db.openRecordset(
        QStringLiteral("Select InvoiceNum From #tmp Where InvoiceID <> 0 Order by PersonID"), CursorType::Static,
        LockType::ReadOnly);
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) numbers << rows->value(0).toString();
    return numbers;
}

// ORIGINAL or DUPLICATE ORIGINAL of the personnel invoices in #tmp. Inside one
// write transaction: issue (or record the copies), lay the forms out, check
// the printer and keep the forms; only then commit, and print. A form or
// printer problem found before the commit writes nothing; a printing failure
// after it is told with what was issued and where the forms are.
bool printPersonnelInvoices(App& app)
{
    AppState& s = app.state;
    Dialogs& dialogs = app.dialogs();
    Connection& db = app.SharedConnection();
    const bool original = s.InvoicePrintMode == PrintOriginal;

    std::vector<Form> forms;
    QStringList numbers;
    {
        Transaction tx(db);
        const bool any = original ? !issuePersonnelOriginals(app).empty() : recordPersonnelDuplicates(app) > 0;
        if (!any) {
            tx.rollback();
            if (original)
                dialogs.messageBox(QStringLiteral("Nothing is left to invoice in this selection up to %1: its postings "
                                                  "are already on invoices.")
                                           .arg(s.ReportEndDate.toString(QStringLiteral("M/d/yyyy")))
                                       + crlf + QStringLiteral("No invoice was recorded."),
                                   MsgButtons::OK, MsgIcon::Information, applicationTitle() + QStringLiteral(": Nothing to Invoice"));
            else
                dialogs.messageBox(QStringLiteral("No Invoiced Postings to Print."), MsgButtons::OK, MsgIcon::Exclamation,
                                   applicationTitle() + QStringLiteral(": No Postings"));
            return false;
        }
        numbers = numbersInPrepTable(db);
        forms = layOutPersonnelForms(app);
        checkPrintDestination(*app.printer());
        keepForms(forms, numbers.value(0));
        tx.commit();
    }

    for (const Form& form : forms) {
        try {
            app.printer()->printPdf(form.pdf, form.title);
        } catch (const DbError& e) {
            QStringList kept;
            for (const Form& f : forms) kept << f.keptAs;
            const QString what = original ? QStringLiteral("These invoices were issued and their postings locked:")
                                          : QStringLiteral("These invoices were recorded as reprinted:");
            dialogs.messageBox(QStringLiteral("Printing failed: ") + e.description() + crlf + crlf + what + crlf
                                   + numbers.join(crlf) + crlf + crlf + QStringLiteral("The forms were kept as:") + crlf
                                   + kept.join(crlf) + crlf + crlf
                                   + QStringLiteral("Print them again with DUPLICATE ORIGINAL."),
                               MsgButtons::OK, MsgIcon::Critical, applicationTitle() + QStringLiteral(": Printing Failed"));
            return false;
        }
    }
    return false;
}

}  // namespace

void setEquipmentInvoicePath(App& app, EquipmentInvoicePath path)
{
    app.setEquipmentInvoicePath(std::move(path));
}

bool confirmOriginalInvoice(Dialogs& dialogs)
{
    const QString crlf = QStringLiteral("\r\n");
    if (dialogs.messageBox(QStringLiteral("You are about to print an ORIGINAL Invoice.  Ensure DRAFT invoice has been "
                                          "audited for completeness and accuracy.")
                               + crlf + crlf
                               + QStringLiteral("If you select OK, all postings for this period will be locked to "
                                                "prevent editing!")
                               + crlf + QStringLiteral("Do you want to continue?"),
                           MsgButtons::OKCancel, MsgIcon::Exclamation, applicationTitle() + QStringLiteral(": Warning 1 of 2"))
        == MsgAnswer::Cancel)
        return false;
    return dialogs.messageBox(QStringLiteral("By selecting YES you will not be able to edit any postings for this "
                                             "period.  They will be locked.")
                                  + crlf + crlf + QStringLiteral("Print Original Invoice?"),
                              MsgButtons::YesNo, MsgIcon::Exclamation,
                              applicationTitle() + QStringLiteral(": Final Warning 2 of 2"))
        == MsgAnswer::Yes;
}

bool PrintInvoice(App& app, std::int16_t ViewerSlot, bool FromViewer)
{
    AppState& s = app.state;
    if (s.InvoicePrintMode == PrintDraft) return true;
    const std::int16_t report = s.ReportNumber;
    if (report != 7 && report != 13 && report != 6 && report != 14) return true;

    if (FromViewer) {
        if (s.OpenReport) s.OpenReport->discardSavedData();
        closeViewers();
    }
    if (s.InvoicePrintMode == PrintOriginal && !confirmOriginalInvoice(app.dialogs())) return false;

    if (report == 7 || report == 13) {
        const EquipmentInvoicePath& equipment = app.equipmentInvoicePath();
        if (!equipment)
            throw DbError(ErrorNumber::Generic, QStringLiteral("Equipment invoices are not available."));
        return equipment(app, ViewerSlot);
    }
    if (report == 14) return false;

    if (s.InvoicePrintMode != PrintOriginal && s.InvoicePrintMode != PrintDuplicateOriginal) return false;
    return printPersonnelInvoices(app);
}

void installInvoicePrintHook(App& app)
{
    app.output().setPrintHook([&app](int viewerSlot, bool fromViewer) {
        bool printItself = false;
        runGuarded(app.dialogs(), [&] { printItself = PrintInvoice(app, std::int16_t(viewerSlot), fromViewer); });
        return printItself;
    });
}

}  // namespace quillon
