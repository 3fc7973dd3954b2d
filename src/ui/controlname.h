#pragma once
// Control names. Every control carries its name as objectName. The elements
// of a control array (optPrint(1), optPrint(2), ...) all carry the array's
// name and hold their index in the dynamic property "index", so code can walk
// an array with findChildren(name) and scripts address one element as
// "optPrint(2)".

#include <QString>

class QObject;
class QWidget;

namespace quillon {

inline constexpr char ControlIndexProperty[] = "index";

void setControlName(QObject* control, const QString& name);
void setControlName(QObject* control, const QString& name, int index);
// The element's index, -1 for a control that is not in an array.
int controlIndex(const QObject* control);
// "name" or "name(index)".
QString controlPath(const QObject* control);

}  // namespace quillon
