#include "invoicing/releasedate.h"

#include "data/connection.h"
#include "data/sqltext.h"
#include "ui/dialogs.h"

#include <QLocale>
#include <QTime>

namespace quillon {

namespace {

QDate parseDate(const QString& text)
{
    QDate d = QDate::fromString(text, QStringLiteral("MM/dd/yyyy"));
    if (!d.isValid()) d = QDate::fromString(text, QStringLiteral("M/d/yyyy"));
    return d;
}

QTime parseTime(const QString& text)
{
    static const char* const formats[] = {"H:mm", "H:mm:ss", "h:mm AP", "h:mm:ss AP", "h:mmAP", "h:mm:ssAP"};
    const QLocale c = QLocale::c();
    for (const char* f : formats) {
        const QTime t = c.toTime(text, QString::fromLatin1(f));
        if (t.isValid()) return t;
    }
    return {};
}

Value timeOfDay(const QTime& t)
{
    return Value(Value::wallClock(QDate(1899, 12, 30), t));
}

bool allDigits(const QString& text)
{
    for (QChar c : text)
        if (!c.isDigit()) return false;
    return true;
}

}  // namespace

Value ReturnDate(const QString& value, bool isTime)
{
    QString v = value;
    v.remove(QLatin1Char('_'));
    if (isTime && v == QLatin1String("24:00")) return timeOfDay(QTime(0, 0));
    if (!isTime) {
        const QDate d = parseDate(v.trimmed());
        return d.isValid() ? Value(d) : Value();
    }
    v = v.trimmed();
    QTime t = parseTime(v);
    // Four digits are hours and minutes without the colon. Whatever the
    // form, only a real time of day is stored: "2561" or "99:99" would not
    // read back as one.
    if (!t.isValid() && v.size() == 4 && allDigits(v))
        t = QTime(v.left(2).toInt(), v.right(2).toInt());
    return t.isValid() ? timeOfDay(t) : Value();
}

QString timeFromList(const QString& listTime)
{
    return listTime.left(2) + QLatin1Char(':') + listTime.mid(2, 2);
}

bool ReleaseDateValidator::validate(Connection& db, std::int32_t resourceId, const QString& releaseDate)
{
    const QDate release = ReturnDate(releaseDate, false).toDate();
    if (!release.isValid()) return true;
    RecordsetPtr rs = db.openRecordset(QStringLiteral("Select AssignDate From Resources where ResourceID = ")
                                           + sqlInt(resourceId),
                                       CursorType::Static, LockType::ReadOnly);
    if (rs->eof() || rs->value(0).isEmpty()) return true;
    return release >= rs->value(0).toDate();
}

QString resourceOfEquipmentSql(const QString& columns, const QString& uniqueEquipmentName)
{
    return QStringLiteral("Select ") + columns + QStringLiteral(" From Resources where ResourceID in ")
        + QStringLiteral("(Select ResourceID from Equipment where UniqueEquipmentName = '")
        + sqlQuoteInner(uniqueEquipmentName) + QStringLiteral("')");
}

void showNotAResource(Dialogs& dialogs)
{
    dialogs.messageBox(QStringLiteral("There seems to be something wrong in the data. ") + QStringLiteral("\r\n")
                           + QStringLiteral("The contractor you have selected does not seem to be a resource."),
                       MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Data Error"));
}

ReleaseSaveOutcome saveReleaseDateTime(Connection& db, Dialogs& dialogs, ReleaseDateValidator& validator,
                                       const QString& uniqueEquipmentName, QString& dateText, QString& timeText)
{
    if (dateText.isEmpty()) {
        timeText.clear();
        return ReleaseSaveOutcome::TimeCleared;
    }
    RecordsetPtr rs = db.openRecordset(
        resourceOfEquipmentSql(QStringLiteral("ReleaseDate, ReleaseTime, ResourceID"), uniqueEquipmentName),
        CursorType::Keyset, LockType::Optimistic);
    if (rs->eof()) {
        showNotAResource(dialogs);
        return ReleaseSaveOutcome::NotAResource;
    }
    if (dateText != EmptyDateMask && !timeText.isEmpty()) {
        if (!validator.validate(db, std::int32_t(rs->value(QStringLiteral("ResourceID")).toInt()), dateText)) {
            dateText.clear();
            timeText.clear();
        }
    }
    rs->setValue(QStringLiteral("ReleaseDate"), ReturnDate(dateText, false));
    rs->setValue(QStringLiteral("ReleaseTime"), ReturnDate(timeText, true));
    rs->update();
    return ReleaseSaveOutcome::Saved;
}

}  // namespace quillon
