// Every window of the program, opened on the sample database on a small
// screen at 150% scaling (set up by the shared application environment), as a keyboard user and a
// laptop user meet it.
#include "windows.h"

#include "data/demo/demo_database.h"
#include "reports/output/report_viewer.h"
#include "shell/app.h"
#include "shell/logindialog.h"

#include "printers.h"
#include "test_connection.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMap>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using namespace quillon;

class EveryWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("QUILLON_TEMPLATE_DIR", QUILLON_SOURCE_DIR "/templates");
        const QString path = m_dir.filePath(QStringLiteral("sample.db"));
        demo::createDemoDatabase(path);
        openTestDatabase(m_db, path);
        m_app = std::make_unique<App>(m_dialogs, std::make_shared<reports::FolderPrinter>(m_dir.filePath("jobs")));
        m_app->attachConnection(m_db);
        m_app->state.SelectedIncidentId = 1;
        m_app->state.SelectedIncidentNumber = QStringLiteral("CA-CDR-000101");
        registerAllWindows(*m_app);
        m_app->windows().setMainWindow(QStringLiteral("Form0"));
    }
    void TearDown() override
    {
        m_app->windows().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_app.reset();
        m_db.close();
    }

    // Each window of the program, shown and laid out, one at a time.
    template <typename Check>
    void forEachWindow(Check check)
    {
        for (const QString& name : m_app->windows().names()) {
            QWidget* w = m_app->windows().show(name);
            QCoreApplication::processEvents();
            check(name, w);
            m_app->windows().unload(name);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        LoginDialog login(LoginRequest{});
        login.show();
        QCoreApplication::processEvents();
        check(QStringLiteral("frmLogin"), &login);
        // Placed as the report output places it.
        reports::ViewerWindow viewer(1);
        viewer.placeOnScreen(0);
        viewer.show();
        QCoreApplication::processEvents();
        check(viewer.objectName(), &viewer);
    }

    QTemporaryDir m_dir;
    Connection m_db;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<App> m_app;
};

// ---- What a control is, independently of how the windows are built ----

QRect rectIn(QWidget* window, QWidget* w)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

QString nameOf(QWidget* w)
{
    QString name = w->objectName();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) name += QStringLiteral(" \"%1\"").arg(b->text());
    return name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name;
}

// The controls a keyboard user must reach: every button (an option button of
// a group takes no Tab but is reached by its letter), and every other widget
// that Tab stops at, but not the parts of a compound control. Those hidden
// now may show later (a list once there is something in it).
QList<QWidget*> controlsOf(QWidget* window, bool hiddenToo)
{
    QList<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || (!hiddenToo && !w->isVisibleTo(window)) || w->focusProxy()) continue;
        if (qobject_cast<QToolButton*>(w) && qobject_cast<QToolBar*>(w->parentWidget())) continue;  // keys of their own
        const bool button = qobject_cast<QAbstractButton*>(w);
        if (!button && !(w->focusPolicy() & Qt::TabFocus)) continue;
        bool part = false;
        for (QWidget* p = w->parentWidget(); p != window; p = p->parentWidget())
            part = part || qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) ||
                   qobject_cast<QAbstractItemView*>(p) || qobject_cast<QCalendarWidget*>(p) ||
                   qobject_cast<QMenuBar*>(p);
        if (!part) out << w;
    }
    return out;
}

// Two controls are on one line when they overlap by half the lower one's
// height; b reads before a when it is on a line above, or left on the same.
bool readsBefore(const QRect& b, const QRect& a)
{
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    if (overlap * 2 >= std::min(a.height(), b.height())) return b.center().x() < a.center().x();
    return b.center().y() < a.center().y();
}

QStringList keyboardFaults(const QString& name, QWidget* window)
{
    QStringList faults;
    QMap<QString, QStringList> letters;  // mnemonic -> captions that use it
    QMap<QWidget*, QLabel*> labelled;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window) continue;
        QString caption;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) caption = b->text();
        if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) {
            caption = l->text();
            if (!QKeySequence::mnemonic(caption).isEmpty()) labelled[l->buddy()] = l;
        }
        if (auto* g = qobject_cast<QGroupBox*>(w)) caption = g->title();
        const QKeySequence key = QKeySequence::mnemonic(caption);
        if (!key.isEmpty()) letters[key.toString()] << nameOf(w);
    }
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (QAction* menu : bar->actions())
            if (const QKeySequence key = QKeySequence::mnemonic(menu->text()); !key.isEmpty())
                letters[key.toString()] << QStringLiteral("menu ") + menu->text();
    for (auto it = letters.cbegin(); it != letters.cend(); ++it)
        if (it->size() > 1) faults << QStringLiteral("%1: %2 belongs to %3").arg(name, it.key(), it->join(QStringLiteral(", ")));

    for (QWidget* w : controlsOf(window, true)) {
        auto* b = qobject_cast<QAbstractButton*>(w);
        if (b && !QKeySequence::mnemonic(b->text()).isEmpty()) continue;
        if (labelled.contains(w)) continue;
        // The window's pages (a viewer's) hold the focus from its opening.
        if (window->focusProxy() && window->focusProxy()->isAncestorOf(w)) continue;
        faults << QStringLiteral("%1: %2 has no mnemonic and no label naming it").arg(name, nameOf(w));
    }

    // Tab from the first control in reading order round the window.
    QList<QWidget*> stops;
    for (QWidget* w : controlsOf(window, false))
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) stops << w;
    if (stops.isEmpty()) return faults;
    QWidget* first = stops.first();
    for (QWidget* w : stops)
        if (readsBefore(rectIn(window, w), rectIn(window, first))) first = w;
    QList<QWidget*> chain{first};
    for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain())
        if (stops.contains(w) && !chain.contains(w)) chain << w;
    for (int i = 1; i < chain.size(); ++i)
        if (readsBefore(rectIn(window, chain.at(i)), rectIn(window, chain.at(i - 1))))
            faults << QStringLiteral("%1: Tab goes from %2 to %3, which reads before it")
                          .arg(name, nameOf(chain.at(i - 1)), nameOf(chain.at(i)));
    return faults;
}

// A title bar of a window manager, above the window's own area.
constexpr int kTitleBar = 30;

QString shownText(const QString& caption)
{
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        out += caption.at(i);
    }
    return out;
}

QStringList screenFaults(const QString& name, QWidget* window)
{
    QStringList faults;
    const QRect area = window->screen()->availableGeometry();
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    if (least.width() > area.width() || least.height() + kTitleBar > area.height())
        faults << QStringLiteral("%1: needs %2x%3 of a %4x%5 screen").arg(name).arg(least.width()).arg(least.height())
                      .arg(area.width()).arg(area.height());
    if (window->width() > area.width() || window->height() + kTitleBar > area.height())
        faults << QStringLiteral("%1: opens %2x%3 on a %4x%5 screen").arg(name).arg(window->width()).arg(window->height())
                      .arg(area.width()).arg(area.height());
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(window) || l->text().isEmpty() || l->textFormat() == Qt::RichText) continue;
        const QString text = l->buddy() ? shownText(l->text()) : l->text();
        const QRect room = l->contentsRect();
        const bool clipped = l->wordWrap() ? l->heightForWidth(l->width()) > l->height()
                                           : l->fontMetrics().horizontalAdvance(text) > room.width() ||
                                                 l->fontMetrics().height() > room.height();
        if (clipped) faults << QStringLiteral("%1: label \"%2\" does not fit its %3x%4").arg(name, text).arg(room.width()).arg(room.height());
    }
    // A read-only line is a caption too (the analyses' banners).
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        if (e->isReadOnly() && e->isVisibleTo(window) &&
            e->fontMetrics().horizontalAdvance(e->text()) + 4 > e->width() - (e->hasFrame() ? 4 : 0))
            faults << QStringLiteral("%1: \"%2\" does not fit its line").arg(name, e->text());
    return faults;
}

TEST_F(EveryWindow, EveryControlIsReachedByALetterAndTabReadsTheWindowInOrder)
{
    QStringList faults;
    forEachWindow([&](const QString& name, QWidget* w) { faults << keyboardFaults(name, w); });
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_F(EveryWindow, EveryWindowFitsALaptopScreenAt150PercentWithNothingClipped)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(911, 512));
    QStringList faults;
    forEachWindow([&](const QString& name, QWidget* w) { faults << screenFaults(name, w); });
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

}  // namespace
