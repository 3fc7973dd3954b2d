#include "ui/windowregistry.h"

#include "data/dberror.h"
#include "printers.h"

#include <QCoreApplication>

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
