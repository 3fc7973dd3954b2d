#include "reports/printing/printer.h"

#include "data/dberror.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <cups/cups.h>

namespace quillon::reports {

namespace {

DbError printerError(const QString& text)
{
    return DbError(ErrorNumber::Printer, text, QStringLiteral("Printer"));
}

QString serverName()
{
    const char* s = cupsServer();
    return s ? QString::fromLocal8Bit(s) : QStringLiteral("localhost");
}

bool serverReachable()
{
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http) return false;
    httpClose(http);
    return true;
}

}  // namespace

QString CupsPrinter::defaultDestination()
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    const cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests);
    const QString name = dest ? QString::fromLocal8Bit(dest->name) : QString();
    cupsFreeDests(count, dests);
    if (!name.isEmpty()) return name;
    if (!serverReachable())
        throw printerError(QStringLiteral("Cannot print: the print service (CUPS) is not running at %1. "
                                          "Start the print service and try again.").arg(serverName()));
    throw printerError(QStringLiteral("Cannot print: there is no default printer. "
                                      "Choose a default printer in the printer settings and try again."));
}

void CupsPrinter::printPdf(const QByteArray& pdf, const QString& jobTitle)
{
    const QByteArray dest = defaultDestination().toLocal8Bit();
    const QByteArray title = (jobTitle.isEmpty() ? QStringLiteral("Quillon report") : jobTitle).toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, dest.constData(), title.constData(), 0, nullptr);
    if (job == 0)
        throw printerError(QStringLiteral("Cannot print on %1: %2")
                               .arg(QString::fromLocal8Bit(dest), QString::fromLocal8Bit(cupsLastErrorString())));
    auto fail = [&](const char* step) {
        const QString why = QString::fromLocal8Bit(cupsLastErrorString());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, dest.constData(), job, 0);
        return printerError(QStringLiteral("Printing on %1 failed while %2: %3")
                                .arg(QString::fromLocal8Bit(dest), QLatin1String(step), why));
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, dest.constData(), job, title.constData(), CUPS_FORMAT_PDF, 1)
        != HTTP_STATUS_CONTINUE)
        throw fail("starting the document");
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size())) != HTTP_STATUS_CONTINUE)
        throw fail("sending the document");
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, dest.constData()) != IPP_STATUS_OK)
        throw fail("finishing the document");
    m_lastJob = job;
}

QString CupsPrinter::description() const
{
    return QStringLiteral("the default printer");
}

void FolderPrinter::printPdf(const QByteArray& pdf, const QString& jobTitle)
{
    QDir dir(m_folder);
    if (!dir.mkpath(QStringLiteral(".")))
        throw printerError(QStringLiteral("Cannot print: the print folder %1 cannot be created").arg(m_folder));
    QString title = jobTitle;
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]+"));
    title.replace(unsafe, QStringLiteral("_"));
    title = title.left(60);
    if (title.isEmpty()) title = QStringLiteral("report");
    int n = int(m_jobs.size()) + 1;
    QString path;
    for (;; ++n) {
        const QString prefix = QStringLiteral("%1-").arg(n, 4, 10, QLatin1Char('0'));
        if (dir.entryList({prefix + QLatin1Char('*')}, QDir::Files).isEmpty()) {
            path = dir.filePath(prefix + title + QStringLiteral(".pdf"));
            break;
        }
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(pdf) != pdf.size() || !f.commit())
        throw printerError(QStringLiteral("Cannot print to %1: %2").arg(path, f.errorString()));
    m_jobs << path;
}

void FolderPrinter::checkReady()
{
    if (!QDir(m_folder).mkpath(QStringLiteral(".")))
        throw printerError(QStringLiteral("Cannot print: the print folder %1 cannot be created").arg(m_folder));
    if (!QFileInfo(m_folder).isWritable())
        throw printerError(QStringLiteral("Cannot print: the print folder %1 cannot be written").arg(m_folder));
}

QString FolderPrinter::description() const
{
    return QStringLiteral("the print folder %1").arg(m_folder);
}

std::shared_ptr<Printer> systemPrinter()
{
    const QString folder = qEnvironmentVariable("QUILLON_PRINT_FOLDER");
    if (!folder.isEmpty()) return std::make_shared<FolderPrinter>(folder);
    return std::make_shared<CupsPrinter>();
}

}  // namespace quillon::reports
