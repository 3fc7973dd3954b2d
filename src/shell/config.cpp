#include "shell/config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace quillon {

QString configFilePathFor(const QString& programDir)
{
    const int cut = std::max(programDir.lastIndexOf(QLatin1Char('/')), programDir.lastIndexOf(QLatin1Char('\\')));
    return programDir.left(cut + 1) + QStringLiteral("dvn.ini");
}

QString decodeProfileText(const QByteArray& bytes)
{
    // A byte-order mark names the encoding (Windows editors save "Unicode" as
    // UTF-16 little-endian with one).
    QString text;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        text = utf16.decode(bytes.mid(2));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            // The local 8-bit code page; where that is UTF-8 too, the Windows
            // one such files are written in.
            text = QString::fromLocal8Bit(bytes);
            if (text.contains(QChar::ReplacementCharacter)) {
                QStringDecoder windows("windows-1252");
                text = windows.isValid() ? windows.decode(bytes) : QString::fromLatin1(bytes);
            }
        }
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString resolveDbsPath(const QString& configFilePath, const QString& value)
{
    if (value.isEmpty())
        return value;
    // C:\..., \\server\... and \... name a place of their own on Windows.
    const bool windowsAbsolute = (value.size() >= 2 && value.at(1) == QLatin1Char(':')) || value.startsWith(QLatin1Char('\\'));
    if (windowsAbsolute || QDir::isAbsolutePath(value))
        return value;
    return QDir::cleanPath(QFileInfo(configFilePath).absoluteDir().filePath(value));
}

static QString profileValue(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && value.back() == q)
            value = value.mid(1, value.size() - 2);
    }
    const int nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    value.truncate(DvnIni::ValueBufferSize - 1);
    return value;
}

QString profileStringFromText(const QString& text, const QString& section, const QString& key,
                              const QString& defaultValue)
{
    bool inSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            int close = line.indexOf(QLatin1Char(']'));
            if (close < 0) close = line.size();
            inSection = line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return profileValue(line.mid(eq + 1));
    }
    return profileValue(defaultValue);
}

QString readProfileString(const QString& filePath, const QString& section, const QString& key,
                          const QString& defaultValue)
{
    QFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return profileValue(defaultValue);
    return profileStringFromText(decodeProfileText(file.readAll()), section, key, defaultValue);
}

void readConfiguration(AppState& state, const QString& programDir)
{
    state.ConfigFilePath = configFilePathFor(programDir);
    if (!QFile::exists(state.ConfigFilePath)) {
        state.DatabasePath.clear();
        state.ServerName.clear();
        state.CatalogName.clear();
        return;
    }
    // One read of the file serves every key.
    QFile file(state.ConfigFilePath);
    const QString text = file.open(QIODevice::ReadOnly) ? decodeProfileText(file.readAll()) : QString();
    if (state.isSqlServer()) {
        state.ServerName = profileStringFromText(text, DvnIni::Section, DvnIni::Server);
        state.CatalogName = profileStringFromText(text, DvnIni::Section, DvnIni::Catalog);
    } else {
        state.DatabasePath = resolveDbsPath(state.ConfigFilePath, profileStringFromText(text, DvnIni::Section, DvnIni::DBSPath));
    }
}

}  // namespace quillon
