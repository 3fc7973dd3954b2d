#include "shell/config.h"

#include <QFile>
#include <QStringDecoder>

namespace quillon {

QString configFilePathFor(const QString& programDir)
{
    const int cut = std::max(programDir.lastIndexOf(QLatin1Char('/')), programDir.lastIndexOf(QLatin1Char('\\')));
    return programDir.left(cut + 1) + QStringLiteral("dvn.ini");
}

// The file is UTF-8 when it decodes as such, else the older single-byte form.
static QString decodeProfile(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
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
    if (!file.open(QIODevice::ReadOnly))
        return profileValue(defaultValue);
    return profileStringFromText(decodeProfile(file.readAll()), section, key, defaultValue);
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
    const QString text = file.open(QIODevice::ReadOnly) ? decodeProfile(file.readAll()) : QString();
    if (state.isSqlServer()) {
        state.ServerName = profileStringFromText(text, DvnIni::Section, DvnIni::Server);
        state.CatalogName = profileStringFromText(text, DvnIni::Section, DvnIni::Catalog);
    } else {
        state.DatabasePath = profileStringFromText(text, DvnIni::Section, DvnIni::DBSPath);
    }
}

}  // namespace quillon
