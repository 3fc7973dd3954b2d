// Test programs of windows and widgets need one QApplication for the whole
// program; tests/CMakeLists.txt adds this file to them (WIDGETS).
#include <QApplication>
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
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // What windows remember goes to a folder of this run, not the user's.
        static QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
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
