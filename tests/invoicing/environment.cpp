// The window and viewer tests need one QApplication for the whole test
// program, and the invoice reports need their templates.
#include "invoicetemplates.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

class QApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_invoicing";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
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
const auto* const templates = ::testing::AddGlobalTestEnvironment(new invtest::TemplateEnvironment);

}  // namespace
