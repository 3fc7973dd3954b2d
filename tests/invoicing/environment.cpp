// The whole test program shares one QApplication (windows and viewers) and
// small OF-288 and commissary detail templates of its own, with the
// parameters, subreport section and fields the program binds.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char* const kOf288 = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="OF288" title="OF-288">
  <Parameter name="FinalFlag" type="text"/>
  <Parameter name="OrigRpt" type="text"/>
  <Group name="Person" on="PersonID" newPage="true">
    <Header height="12"><Field x="0" y="0" expr="{InvoiceNum} &amp; ' ' &amp; {Original} &amp; ' ' &amp; {?OrigRpt}"/></Header>
    <Footer height="30" section="25">
      <Subreport name="subreport1" x="0" y="0" width="300" height="6" link="PersonID" suppressIfEmpty="true">
        <Detail height="11"><Field x="0" y="0" expr="Text({DebitAmt}, '0.00')"/></Detail>
      </Subreport>
    </Footer>
  </Group>
  <Detail height="12"><Field x="0" y="0" expr="Text({Column288}, '0') &amp; ' ' &amp; Text({Hours}, '0.0')"/></Detail>
</Report>)xml";

const char* const kCommissaryDetail = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="CommissaryDetail" title="Commissary Detail">
  <Parameter name="OrigRpt" type="text"/>
  <Detail height="12"><Field x="0" y="0" expr="{InvoiceNum} &amp; ' ' &amp; Text({Amt}, '0.00')"/></Detail>
</Report>)xml";

class Environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_invoicing";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QApplication::instance()) m_app = new QApplication(argc, argv);
        for (const auto& [file, text] : {std::pair{"OF288.rpt", kOf288}, std::pair{"CommissaryDetail.rpt", kCommissaryDetail}}) {
            QFile f(m_templates.filePath(QString::fromLatin1(file)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        qputenv("QUILLON_TEMPLATE_DIR", m_templates.path().toLocal8Bit());
        qputenv("QUILLON_INVOICE_FOLDER", m_kept.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qunsetenv("QUILLON_TEMPLATE_DIR");
        delete m_app;
    }

private:
    QApplication* m_app = nullptr;
    QTemporaryDir m_templates;
    QTemporaryDir m_kept;   // issued forms
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new Environment);

}  // namespace
