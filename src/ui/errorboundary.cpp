#include "ui/errorboundary.h"

#include "data/dberror.h"
#include "ui/busypointer.h"

#include <QRegularExpression>

namespace quillon {

QString redactPassword(QString text, const QString& password)
{
    static const QRegularExpression item(QStringLiteral("\\b(pwd|password)\\s*=[^;]*"),
                                         QRegularExpression::CaseInsensitiveOption);
    text.replace(item, QStringLiteral("\\1=********"));
    if (!password.isEmpty())
        text.replace(password, QStringLiteral("********"));
    return text;
}

bool runGuarded(Dialogs& dialogs, const std::function<void()>& handler, const QString& title)
{
    const int pointer = BusyPointer::depth();
    QString description;
    try {
        handler();
        BusyPointer::restoreTo(pointer);
        return true;
    } catch (const UnansweredDialog&) {
        BusyPointer::restoreTo(pointer);
        return false;
    } catch (const DbError& e) {
        description = e.description();
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    } catch (...) {
        description = QStringLiteral("Unexpected error");
    }
    BusyPointer::restoreTo(pointer);
    try {
        dialogs.messageBox(redactPassword(description), MsgButtons::OK, MsgIcon::Critical, title);
    } catch (const UnansweredDialog&) {
        // a box with only an OK button never waits for an answer
    }
    return false;
}

}  // namespace quillon
