#include "shell/scriptsession.h"

#include "reports/output/remembered.h"
#include "reports/reportdata.h"
#include "shell/launch.h"
#include "shell/statemembers.h"
#include "ui/script.h"
#include "ui/scriptactions.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfDocument>
#include <QTextStream>
#include <QToolBar>

namespace quillon {

namespace {

using Emit = std::function<void(const QString&)>;

// The JSON file beside a report's PDF.
QString dataPathFor(const QString& pdfPath)
{
    const QFileInfo info(pdfPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".json"));
}

// The report's data written straight to the file, a row at a time.
void writeData(const QString& path, const AppState* state)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (state) writeReportDataJson(*state, f);
        else f.write("{}");
        f.close();
    }
    if (f.error() != QFileDevice::NoError)
        throw ScriptError(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
}

int pdfPageCount(const QString& path)
{
    QPdfDocument doc;
    return doc.load(path) == QPdfDocument::Error::None ? doc.pageCount() : 0;
}

// Prints into the output folder and logs each job with the data of the report
// the program has open (every print of the program prints the open report).
class ScriptPrinter : public reports::Printer {
public:
    ScriptPrinter(const QString& folder, Emit emitLine) : m_folder(folder), m_emit(std::move(emitLine)) {}
    void setDataSource(const AppState* state) { m_state = state; }

    void printPdf(const QByteArray& pdf, const QString& jobTitle) override
    {
        m_folder.printPdf(pdf, jobTitle);
        const QString pdfPath = m_folder.jobs().last();
        const QString dataPath = dataPathFor(pdfPath);
        writeData(dataPath, m_state);
        m_emit(scriptPrintLine(jobTitle, pdfPageCount(pdfPath), pdfPath, dataPath));
    }
    QString description() const override { return m_folder.description(); }
    void checkReady() override { m_folder.checkReady(); }

private:
    reports::FolderPrinter m_folder;
    Emit m_emit;
    const AppState* m_state = nullptr;
};

// Scripts press the viewer's toolbar buttons by name: frmViewRpt.cmdPrint.
void nameViewerButtons(reports::ReportViewer& viewer)
{
    for (QAction* action : viewer.toolBar()->actions()) {
        QWidget* button = viewer.toolBar()->widgetForAction(action);
        if (button && action->text() == QLatin1String("Print"))
            button->setObjectName(QStringLiteral("cmdPrint"));
    }
}

void closeEveryWindow(App& app)
{
    app.windows().unloadAll();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->close();
        w->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void closeWindow(App& app, const QString& formName)
{
    if (app.windows().window(formName)) {
        app.windows().unload(formName);
        return;
    }
    // Windows outside the registry, such as the report viewers.
    QWidget* w = findForm(formName);
    w->close();
}

}  // namespace

int runScriptSession(const ScriptSessionOptions& options, const std::function<void(App&)>& registerWindows,
                     QTextStream& out, QTextStream& err)
{
    const Emit emitLine = [&out](const QString& line) {
        out << line << '\n';
        out.flush();
    };
    if (!QDir().mkpath(options.outDir)) {
        err << "quillon: cannot create the output folder " << options.outDir << "\n";
        return ScriptFailed;
    }
    const QString outDir = QDir(options.outDir).path();

    // A scripted run does the same whatever the user chose in earlier runs.
    remembered::setEnabled(false);
    ScriptedDialogs dialogs;
    ScriptRunner runner(dialogs, emitLine);
    auto printer = std::make_shared<ScriptPrinter>(outDir, emitLine);
    App app(dialogs, printer);
    printer->setDataSource(&app.state);

    // Previews are kept in the folder too, numbered with the printed jobs.
    reports::FolderPrinter previews(outDir);
    app.output().setObserver([&](reports::ReportOutput::Delivery delivery, int viewer, const QString& title,
                                 const reports::ReportPtr& report) {
        if (delivery != reports::ReportOutput::Delivery::Preview)
            return;  // the printer logs what is printed
        reports::ViewerWindow* window = app.output().window(viewer);
        if (window)
            nameViewerButtons(*window->viewer());
        // The viewer keeps the pages as its PDF alone: the report is not laid out again.
        const QByteArray pdf = window ? window->viewer()->pdf() : report->renderPdf();
        const int pages = window ? window->viewer()->reportPageCount() : report->render().pageCount();
        previews.printPdf(pdf, title);
        const QString pdfPath = previews.jobs().last();
        const QString dataPath = dataPathFor(pdfPath);
        writeData(dataPath, &app.state);
        emitLine(scriptReportLine(title, viewer, pages, pdfPath, dataPath));
    });
    app.setQuitHandler([&runner] { runner.programEnded(); });
    registerWindows(app);

    const DvnLoginFactory createLogin = [&options]() {
        if (options.databaseFile.isEmpty())
            return std::make_unique<DvnLoginComponent>();
        // The file is named in the login's place, once; a failure is final.
        auto asked = std::make_shared<bool>(false);
        return std::make_unique<DvnLoginComponent>([file = options.databaseFile, asked](LoginRequest& request) {
            if (*asked)
                return false;
            *asked = true;
            request.server = QStringLiteral("sqlite");
            request.database = file;
            return true;
        });
    };
    const Startup::Outcome outcome = startApplication(app, QString(), options.programDir, createLogin, false);
    if (outcome != Startup::Outcome::MainMenu) {
        err << "quillon: cannot log in to the database\n";
        return ScriptNotConnected;
    }

    runner.setHandler(QStringLiteral("state"), [&app](const ScriptCommand& c) {
        QString error;
        if (!assignStateMember(app.state, c.target, c.text, &error))
            throw ScriptError(error);
    });
    runner.setHandler(QStringLiteral("open"), [&app](const ScriptCommand& c) { app.windows().show(c.target); });
    runner.setHandler(QStringLiteral("close"), [&app](const ScriptCommand& c) { closeWindow(app, c.target); });
    runner.setHandler(QStringLiteral("sql"), [&app, &emitLine](const ScriptCommand& c) {
        RecordsetPtr rows = app.SharedConnection().openRecordset(c.text, CursorType::Static, LockType::ReadOnly);
        for (const QString& line : scriptRowLines(*rows))
            emitLine(line);
    });

    runner.setHandler(QStringLiteral("cancel-at"), [&app, &emitLine](const ScriptCommand& c) {
        bool ok = false;
        const qlonglong at = c.target.toLongLong(&ok);
        if (!ok || at < 0) throw ScriptError(QStringLiteral("cancel-at needs a count of 0 or more, then the step"));
        app.progress().cancelAt(c.text, at, [&emitLine](const Progress& p) {
            emitLine(QStringLiteral("CANCELLED ") + p.text());
        });
    });

    const bool ok = runner.runFile(options.scriptPath);
    if (!ok)
        err << "quillon: " << runner.error() << "\n";
    closeEveryWindow(app);
    app.shutdownLogin();
    return ok ? ScriptSucceeded : ScriptFailed;
}

}  // namespace quillon
