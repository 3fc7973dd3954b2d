#include "ui/controlname.h"

#include <QObject>
#include <QVariant>

namespace quillon {

void setControlName(QObject* control, const QString& name)
{
    control->setObjectName(name);
}

void setControlName(QObject* control, const QString& name, int index)
{
    control->setObjectName(name);
    control->setProperty(ControlIndexProperty, index);
}

int controlIndex(const QObject* control)
{
    const QVariant v = control->property(ControlIndexProperty);
    bool ok = false;
    const int i = v.toInt(&ok);
    return v.isValid() && ok ? i : -1;
}

QString controlPath(const QObject* control)
{
    const int i = controlIndex(control);
    return i < 0 ? control->objectName() : QStringLiteral("%1(%2)").arg(control->objectName()).arg(i);
}

}  // namespace quillon
