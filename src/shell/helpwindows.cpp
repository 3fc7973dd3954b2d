#include "shell/helpwindows.h"

#include "ui/windowkeys.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quillon {

namespace {

struct Library {
    const char* name;
    const char* use;
    const char* licence;
};

const Library kLibraries[] = {
    {"Qt 6", "windows, database access, preview", "GNU LGPL version 3"},
    {"SQLite", "the database file", "public domain"},
    {"libharu", "PDF writing", "zlib/libpng licence"},
    {"unixODBC", "SQL Server connections", "GNU LGPL version 2.1"},
    {"FreeTDS", "SQL Server driver", "GNU LGPL version 2"},
    {"CUPS", "printing", "Apache License 2.0"},
    {"Liberation fonts", "the reports' typefaces", "SIL Open Font License 1.1"},
};

}  // namespace

QString aboutText(const QString& version, const QString& databaseInWords)
{
    QString rows;
    for (const Library& l : kLibraries)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(QString::fromLatin1(l.name), QString::fromLatin1(l.use), QString::fromLatin1(l.licence));
    return QStringLiteral("<h2>Quillon</h2><p>Reports and invoices of the Dorvane time-keeping database.</p>"
                          "<p>Version %1</p><p>%2</p>"
                          "<p>Built on these libraries, each under its own licence:</p>"
                          "<table cellpadding=\"3\"><tr><th align=\"left\">Library</th><th align=\"left\">Used for</th>"
                          "<th align=\"left\">Licence</th></tr>%3</table>")
        .arg(version.toHtmlEscaped(), databaseInWords.toHtmlEscaped(), rows);
}

QString userGuideText()
{
    QFile f(QStringLiteral(":/docs/guide.md"));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("# User guide\n\nThe guide is missing from this build.\n");
    return QString::fromUtf8(f.readAll());
}

void showAbout(QWidget* parent, const QString& text)
{
    QDialog box(parent);
    box.setObjectName(QStringLiteral("frmAbout"));
    box.setWindowTitle(QStringLiteral("About Quillon"));
    auto* layout = new QVBoxLayout(&box);
    auto* browser = new QTextBrowser(&box);
    browser->setOpenExternalLinks(true);
    browser->setHtml(text);
    browser->setMinimumSize(520, 360);
    layout->addWidget(browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    box.exec();
}

void showUserGuide()
{
    static QPointer<QTextBrowser> open;
    if (!open) {
        open = new QTextBrowser;
        open->setObjectName(QStringLiteral("frmGuide"));
        open->setWindowTitle(QStringLiteral("Quillon User Guide"));
        open->setAttribute(Qt::WA_DeleteOnClose);
        open->setMarkdown(userGuideText());
        open->resize(760, 640);
        installWindowKeys(open, WindowKeys::ToolWindow);
    }
    open->show();
    open->raise();
    open->activateWindow();
}

}  // namespace quillon
