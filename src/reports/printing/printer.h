#pragma once
// "Print this on the default printer": the one way reports reach paper.
// The real printer hands the PDF to the system's default CUPS destination;
// the folder printer keeps each job as a PDF file (tests, scripted runs).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace quillon::reports {

class Printer {
public:
    virtual ~Printer() = default;
    // Prints a whole PDF document without asking. Throws DbError with number
    // ErrorNumber::Printer and a description naming the problem.
    virtual void printPdf(const QByteArray& pdf, const QString& jobTitle) = 0;
    virtual QString description() const = 0;
    // Checks, without printing, that a job could be handed over now (the
    // print service runs and has a default destination, the folder can be
    // written); throws DbError(Printer) naming the problem. Issuing an
    // official invoice asks this before it writes anything.
    virtual void checkReady() {}
};

// The system's default CUPS destination (the server named by CUPS_SERVER or
// the client configuration, the default from lpoptions or the server).
class CupsPrinter : public Printer {
public:
    void printPdf(const QByteArray& pdf, const QString& jobTitle) override;
    QString description() const override;
    void checkReady() override { defaultDestination(); }
    // The default destination's name; throws DbError(Printer) when CUPS is not
    // running or has no default destination.
    static QString defaultDestination();
    // The job id of the last job this printer sent (0 before any).
    int lastJobId() const { return m_lastJob; }

private:
    int m_lastJob = 0;
};

// Writes job N as <folder>/<NNNN>-<title>.pdf, creating the folder.
class FolderPrinter : public Printer {
public:
    explicit FolderPrinter(QString folder) : m_folder(std::move(folder)) {}
    void printPdf(const QByteArray& pdf, const QString& jobTitle) override;
    QString description() const override;
    void checkReady() override;
    const QString& folder() const { return m_folder; }
    // Files written so far, in order.
    const QStringList& jobs() const { return m_jobs; }

private:
    QString m_folder;
    QStringList m_jobs;
};

// The printer a run uses: a FolderPrinter on $QUILLON_PRINT_FOLDER when that
// is set (headless and scripted runs), otherwise the CUPS default.
std::shared_ptr<Printer> systemPrinter();

}  // namespace quillon::reports
