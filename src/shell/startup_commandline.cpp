#include "shell/startup_commandline.h"

#include <QStringList>

#include <cmath>
#include <limits>

namespace quillon {

// Parses a decimal number; nullopt when the text is not one.
static std::optional<double> parseNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i].isDigit() && t[i].unicode() < 128)
            ++digits;
        else if (t[i] == QLatin1Char('.') && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return d;
}

static std::int64_t toIntegerInRange(const QString& text, std::int64_t lo, std::int64_t hi, const QString& what)
{
    const std::optional<double> d = parseNumber(text);
    if (!d)
        throw DbError(ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch: %1 is not a number").arg(what));
    const double r = std::nearbyint(*d);  // default rounding mode: half to even
    if (r < double(lo) || r > double(hi))
        throw DbError(ErrorNumber::Overflow, QStringLiteral("Overflow: %1 is out of range").arg(what));
    return std::int64_t(r);
}

std::int32_t textToInt32(const QString& text)
{
    return std::int32_t(toIntegerInRange(text, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max(),
                                         QStringLiteral("\"%1\"").arg(text)));
}

std::int16_t textToInt16(const QString& text)
{
    return std::int16_t(toIntegerInRange(text, std::numeric_limits<std::int16_t>::min(),
                                         std::numeric_limits<std::int16_t>::max(),
                                         QStringLiteral("\"%1\"").arg(text)));
}

static std::optional<bool> parseBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> d = parseNumber(t))
        return *d != 0.0;
    return std::nullopt;
}

bool textToBool(const QString& text)
{
    if (const std::optional<bool> b = parseBool(text))
        return *b;
    throw DbError(ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch: \"%1\" is not True, False or a number").arg(text));
}

// Field conversions name the field; only fields before the user name quote
// the value.
static bool flagField(const QStringList& fields, int index, const char* what)
{
    if (const std::optional<bool> b = parseBool(fields[index]))
        return *b;
    throw DbError(ErrorNumber::TypeMismatch,
                  QStringLiteral("Type mismatch: command line field %1 (%2) is not True, False or a number")
                      .arg(index).arg(QLatin1String(what)));
}

LaunchFields parseLaunchFields(const QString& commandLine)
{
    const QStringList fields = commandLine.split(QLatin1Char(','));
    if (fields.size() < 8)
        throw DbError(ErrorNumber::SubscriptOutOfRange,
                      QStringLiteral("Subscript out of range: the command line has %1 fields, 8 are needed "
                                     "(incident, report number, selection, server/database, user, password, "
                                     "SQL Server flag, incidents-as-one flag)")
                          .arg(fields.size()));
    LaunchFields f;
    f.SelectedIncidentId = std::int32_t(toIntegerInRange(
        fields[0], std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
        QStringLiteral("command line field 0 (incident) \"%1\"").arg(fields[0])));
    f.ReportNumber = std::int16_t(toIntegerInRange(
        fields[1], std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(),
        QStringLiteral("command line field 1 (report number) \"%1\"").arg(fields[1])));
    f.LaunchSelection = fields[2];
    f.serverAndCatalog = fields[3];
    f.user = fields[4];
    f.password = fields[5];
    f.sqlServer = flagField(fields, 6, "SQL Server flag");
    f.manageIncidentsAsOne = flagField(fields, 7, "incidents-as-one flag");
    if (fields.size() >= 9)
        f.timingTest = flagField(fields, 8, "timing-test flag");
    return f;
}

ServerAndCatalog splitServerAndCatalog(const QString& field)
{
    const int slash = field.indexOf(QLatin1Char('/'));
    if (slash < 0)
        throw DbError(ErrorNumber::InvalidArgument,
                      QStringLiteral("Invalid procedure call or argument: command line field 3 \"%1\" "
                                     "is not of the form server/database").arg(field));
    return {field.left(slash), field.mid(slash + 1)};
}

QString launchCommandLine(const QStringList& arguments)
{
    if (arguments.size() <= 1)
        return arguments.value(0);
    for (const QString& a : arguments)
        if (a.contains(QLatin1Char(',')))
            return arguments.join(QLatin1Char(' '));
    return arguments.join(QLatin1Char(','));
}

}  // namespace quillon
