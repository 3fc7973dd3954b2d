// Test programs of windows and widgets need one QApplication for the whole
// program; tests/CMakeLists.txt adds this file to them (WIDGETS).
//
// A program built with QUILLON_TEST_SMALL_SCREEN tests its windows as a user
// of a small laptop meets them: one 1366x768 screen at 150% scaling, which
// leaves 910x512 for windows. Qt reads both settings once, when the
// application object is made.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class QApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "quillon-tests";
        static char* argv[] = {name, nullptr};
        // What windows remember goes to a folder of this run, not the user's.
        static QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
#ifdef QUILLON_TEST_SMALL_SCREEN
        const QString screens = config.filePath(QStringLiteral("screen.json"));
        QFile file(screens);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,)"
                   R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.toLocal8Bit());
        qputenv("QT_SCALE_FACTOR", "1.5");
#else
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        if (!QApplication::instance())
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

const auto* const registered = ::testing::AddGlobalTestEnvironment(new QApplicationEnvironment);

}  // namespace
