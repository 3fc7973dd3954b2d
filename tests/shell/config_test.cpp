#include "shell/config.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "printers.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(ConfigFile, LivesInTheParentOfTheProgramFolder)
{
    EXPECT_EQ(configFilePathFor(QStringLiteral("C:\\Corvala\\Reports")), QStringLiteral("C:\\Corvala\\dvn.ini"));
    EXPECT_EQ(configFilePathFor(QStringLiteral("/opt/corvala/reports")), QStringLiteral("/opt/corvala/dvn.ini"));
    EXPECT_EQ(configFilePathFor(QStringLiteral("/reports")), QStringLiteral("/dvn.ini"));
}

TEST(ConfigFile, ProfileLookup)
{
    const QString text = QStringLiteral(
        "\xFEFF; comment line\r\n"
        "Server=before-any-section\r\n"
        "[Other]\r\n"
        "Server=other\r\n"
        "  [ DORVANE ]  \r\n"
        "  SERVER  =  HOST1  \r\n"
        "server=second\r\n"
        "catalog=\"Time DB\"\r\n"
        "DBSPath='C:\\Data\\a;b.mdb'\r\n"
        "Empty=\r\n"
        "no equals sign\r\n");
    EXPECT_EQ(profileStringFromText(text, QStringLiteral("Dorvane"), QStringLiteral("Server")), QStringLiteral("HOST1"));
    EXPECT_EQ(profileStringFromText(text, QStringLiteral("Dorvane"), QStringLiteral("Catalog")), QStringLiteral("Time DB"));
    EXPECT_EQ(profileStringFromText(text, QStringLiteral("dorvane"), QStringLiteral("dbspath")),
              QStringLiteral("C:\\Data\\a;b.mdb"));
    EXPECT_EQ(profileStringFromText(text, QStringLiteral("Dorvane"), QStringLiteral("Empty"), QStringLiteral("d")), QString());
    EXPECT_EQ(profileStringFromText(text, QStringLiteral("Dorvane"), QStringLiteral("Missing")), QString());
    EXPECT_EQ(profileStringFromText(text, QStringLiteral("Dorvane"), QStringLiteral("Missing"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    EXPECT_EQ(profileStringFromText(text, QStringLiteral("Nowhere"), QStringLiteral("Server")), QString());

    // A value holds what a 255-character buffer holds, and ends at a NUL.
    const QString longValue(400, QLatin1Char('x'));
    EXPECT_EQ(profileStringFromText(QStringLiteral("[Dorvane]\nDBSPath=") + longValue, QStringLiteral("Dorvane"),
                                    QStringLiteral("DBSPath")).size(), 254);
    EXPECT_EQ(profileStringFromText(QStringLiteral("[Dorvane]\nServer=ab") + QChar(0) + QStringLiteral("cd"),
                                    QStringLiteral("Dorvane"), QStringLiteral("Server")), QStringLiteral("ab"));
}

TEST(ConfigFile, ReaderFillsTheKeysOfTheDatabaseKind)
{
    QTemporaryDir dir;
    const QString programDir = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(programDir);

    AppState state;
    state.DatabasePath = QStringLiteral("stale");
    state.ServerName = QStringLiteral("stale");
    state.CatalogName = QStringLiteral("stale");
    readConfiguration(state, programDir);  // no file: no error, names emptied
    EXPECT_EQ(state.ConfigFilePath, dir.filePath(QStringLiteral("dvn.ini")));
    EXPECT_TRUE(state.DatabasePath.isEmpty() && state.ServerName.isEmpty() && state.CatalogName.isEmpty());

    QFile f(state.ConfigFilePath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Dorvane]\nDBSPath=/srv/dvn.mdb\nServer=HOST1\nCatalog=TIMEDB\n");
    f.close();
    readConfiguration(state, programDir);
    EXPECT_EQ(state.DatabasePath, QStringLiteral("/srv/dvn.mdb"));
    EXPECT_TRUE(state.ServerName.isEmpty());

    state.DatabaseKind = DbKind::SqlServer;
    state.DatabasePath = QStringLiteral("kept");
    readConfiguration(state, programDir);
    EXPECT_EQ(state.ServerName, QStringLiteral("HOST1"));
    EXPECT_EQ(state.CatalogName, QStringLiteral("TIMEDB"));
    EXPECT_EQ(state.DatabasePath, QStringLiteral("kept"));

    EXPECT_EQ(readProfileString(state.ConfigFilePath, QStringLiteral("DORVANE"), QStringLiteral("catalog")),
              QStringLiteral("TIMEDB"));
    EXPECT_EQ(readProfileString(dir.filePath(QStringLiteral("none.ini")), QStringLiteral("Dorvane"),
                                QStringLiteral("Server"), QStringLiteral("d")), QStringLiteral("d"));
}

// dvn.ini as the editors of the host system save it: UTF-16 with a byte-order
// mark either way round, UTF-8 with or without one, or the Windows code page.
TEST(ConfigFile, ReadsEveryEncodingTheIniIsSavedIn)
{
    const QString value = QStringLiteral("C:\\Daten\\Zürich €.db");
    const QString text = QStringLiteral("[Dorvane]\r\nDBSPath=") + value + QStringLiteral("\r\n");
    auto utf16 = [&](bool little) {
        QByteArray bytes = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (QChar c : text) {
            const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
            bytes.append(little ? lo : hi).append(little ? hi : lo);
        }
        return bytes;
    };
    const QByteArray windows1252 = QByteArray("[Dorvane]\r\nDBSPath=C:\\Daten\\Z\xFCrich \x80.db\r\n");
    for (const QByteArray& bytes : {utf16(true), utf16(false), QByteArray("\xEF\xBB\xBF") + text.toUtf8(), text.toUtf8(), windows1252})
        EXPECT_EQ(profileStringFromText(decodeProfileText(bytes), QStringLiteral("Dorvane"), QStringLiteral("DBSPath")), value)
            << bytes.left(12).toHex().toStdString();

    // A relative DBSPath lies beside the ini, wherever the program was started.
    EXPECT_EQ(resolveDbsPath(QStringLiteral("/opt/corvala/dvn.ini"), QStringLiteral("data/../db/x.db")), QStringLiteral("/opt/corvala/db/x.db"));
    EXPECT_EQ(resolveDbsPath(QStringLiteral("/opt/corvala/dvn.ini"), QStringLiteral("/srv/x.db")), QStringLiteral("/srv/x.db"));
    EXPECT_EQ(resolveDbsPath(QStringLiteral("/opt/corvala/dvn.ini"), QStringLiteral("C:\\Data\\x.mdb")), QStringLiteral("C:\\Data\\x.mdb"));
}
