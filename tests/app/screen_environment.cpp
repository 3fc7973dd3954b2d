// The windows of this program are tested as a user of a small laptop meets
// them: one 1366x768 screen at 150% scaling, which leaves 910x512 for
// windows. Qt reads both settings once, when the application object is made.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SmallScreenEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "quillon-tests";
        static char* argv[] = {name, nullptr};
        static QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,)"
                   R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
        qputenv("QT_SCALE_FACTOR", "1.5");
        // What windows remember goes to a folder of this run, not the user's.
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new SmallScreenEnvironment);

}  // namespace
