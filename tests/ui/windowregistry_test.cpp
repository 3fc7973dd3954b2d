#include "ui/windowregistry.h"

#include "reports/output/remembered.h"
#include "ui/controlname.h"
#include "ui/scriptactions.h"

#include "data/dberror.h"
#include "printers.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;

TEST(WindowRegistry, LoadsOneInstanceAndReloadsAfterClose)
{
    WindowRegistry reg;
    int made = 0;
    reg.add(QStringLiteral("Form3"), [&] {
        ++made;
        return new QWidget;
    });
    QWidget* first = reg.show(QStringLiteral("form3"));
    EXPECT_EQ(first->objectName(), QStringLiteral("Form3"));
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(reg.show(QStringLiteral("Form3")), first);
    EXPECT_EQ(made, 1);

    first->close();  // deleted on close
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(reg.window(QStringLiteral("Form3")), nullptr);
    reg.show(QStringLiteral("Form3"));
    EXPECT_EQ(made, 2);
    reg.unload(QStringLiteral("Form3"));
    EXPECT_EQ(reg.window(QStringLiteral("Form3")), nullptr);
    EXPECT_THROW(reg.load(QStringLiteral("Form99")), DbError);
}

namespace {

// A window with a text box, a Run button (the default), a second button
// and a click counter per button.
struct ToolWindow {
    QWidget* window = new QWidget;
    QLineEdit* edit = new QLineEdit(window);
    QPushButton* run = new QPushButton(QStringLiteral("Run"), window);
    QPushButton* other = new QPushButton(QStringLiteral("Other"), window);
    int runs = 0;
    int others = 0;
    ToolWindow()
    {
        setControlName(run, QStringLiteral("RunButton"), 0);
        setControlName(other, QStringLiteral("cmdOther"));
        QObject::connect(run, &QPushButton::clicked, [this] { ++runs; });
        QObject::connect(other, &QPushButton::clicked, [this] { ++others; });
    }
};

}  // namespace

TEST(WindowRegistry, EnterPressesTheDefaultButtonAndEscClosesToolWindowsOnly)
{
    WindowRegistry reg;
    ToolWindow tool;
    ToolWindow menu;
    reg.add(QStringLiteral("Form1"), [&] { return tool.window; });
    reg.add(QStringLiteral("Form0"), [&] { return menu.window; });
    reg.setMainWindow(QStringLiteral("Form0"));
    reg.show(QStringLiteral("Form1"));
    reg.show(QStringLiteral("Form0"));

    pressKeys(tool.edit, QStringLiteral("Enter"));
    pressKeys(tool.edit, QStringLiteral("Return"));
    EXPECT_EQ(tool.runs, 2);
    tool.run->setEnabled(false);  // a button a person cannot press stays unpressed
    pressKeys(tool.edit, QStringLiteral("Enter"));
    EXPECT_EQ(tool.runs, 2);
    pressKeys(tool.other, QStringLiteral("Enter"));  // a focused button is the one meant
    EXPECT_EQ(tool.others, 1);

    pressKeys(menu.edit, QStringLiteral("Esc"));
    EXPECT_TRUE(menu.window->isVisible());
    pressKeys(menu.edit, QStringLiteral("Enter"));
    EXPECT_EQ(menu.runs, 1);
    pressKeys(tool.edit, QStringLiteral("Esc"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(reg.window(QStringLiteral("Form1")), nullptr);
    reg.unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(WindowRegistry, WindowsReopenWhereTheyWereAndIgnoreABrokenSettingsFile)
{
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    WindowRegistry reg;
    reg.add(QStringLiteral("Form3"), [] { return new QWidget; });

    QWidget* w = reg.show(QStringLiteral("Form3"));
    w->setGeometry(140, 120, 333, 222);
    reg.unload(QStringLiteral("Form3"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w = reg.show(QStringLiteral("Form3"));
    EXPECT_EQ(w->size(), QSize(333, 222));
    reg.unload(QStringLiteral("Form3"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A damaged file, then a damaged value: the window opens at its own size.
    for (const QByteArray& text : {QByteArray("\x01\xff[geometry\n=\n\0garbage", 20),
                                   QByteArray("[geometry]\nForm3=@ByteArray(nonsense)\n")}) {
        QFile f(remembered::filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        w = reg.show(QStringLiteral("Form3"));
        EXPECT_NE(w->size(), QSize(333, 222));
        w->resize(301, 201);
        reg.unload(QStringLiteral("Form3"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(reg.show(QStringLiteral("Form3"))->size(), QSize(301, 201));
        reg.unload(QStringLiteral("Form3"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    qputenv("XDG_CONFIG_HOME", saved);
}
