#include "ui/busypointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace quillon {

static int s_depth = 0;  // the program runs its windows on one thread

static bool haveGui()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

BusyPointer::BusyPointer() : m_level(s_depth)
{
    if (haveGui())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++s_depth;
}

void BusyPointer::release()
{
    restoreTo(m_level);
}

int BusyPointer::depth()
{
    return s_depth;
}

void BusyPointer::restoreTo(int level)
{
    const bool gui = haveGui();
    while (s_depth > level && s_depth > 0) {
        if (gui)
            QGuiApplication::restoreOverrideCursor();
        --s_depth;
    }
}

}  // namespace quillon
