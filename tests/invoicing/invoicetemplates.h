#pragma once
// Small OF-288 and commissary detail templates of the tests' own, with the
// parameters, subreport section and fields the program binds; the real forms
// are checked by the template tests.

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace invtest {

inline const char* const kOf288Template = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="OF288" title="OF-288">
  <Parameter name="FinalFlag" type="text"/>
  <Parameter name="OrigRpt" type="text"/>
  <Page width="612" height="792" margin="36"/>
  <Group name="Person" on="PersonID" newPage="true">
    <Header height="12"><Field x="0" y="0" expr="{InvoiceNum} &amp; ' ' &amp; {Original} &amp; ' ' &amp; {?OrigRpt} &amp; ' ' &amp; {?FinalFlag}"/></Header>
    <Footer height="30" section="25">
      <Subreport name="subreport1" x="0" y="0" width="300" height="6" link="PersonID" suppressIfEmpty="true">
        <Detail height="11"><Field x="0" y="0" expr="'Debits ' &amp; Text({DebitAmt}, '0.00')"/></Detail>
      </Subreport>
    </Footer>
  </Group>
  <Detail height="12"><Field x="0" y="0" expr="Text({Column288}, '0') &amp; '/' &amp; Text({RptOrder}, '0') &amp; ' ' &amp; Text({Hours}, '0.0')"/></Detail>
</Report>)xml";

inline const char* const kCommissaryDetailTemplate = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="CommissaryDetail" title="Commissary Detail">
  <Parameter name="OrigRpt" type="text"/>
  <Page width="612" height="792" margin="36"/>
  <Group name="Person" on="PersonID" newPage="true">
    <Header height="12"><Field x="0" y="0" expr="{InvoiceNum} &amp; ' ' &amp; {?OrigRpt}"/></Header>
  </Group>
  <Detail height="12"><Field x="0" y="0" expr="{Description} &amp; ' ' &amp; Text({Amt}, '0.00')"/></Detail>
</Report>)xml";

// Writes the templates into a folder of their own and points the program at
// it for the whole test program.
class TemplateEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        for (const auto& [name, text] : {std::pair{"OF288", kOf288Template},
                                         std::pair{"CommissaryDetail", kCommissaryDetailTemplate}}) {
            QFile f(m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(".rpt")));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        qputenv("QUILLON_TEMPLATE_DIR", m_dir.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("QUILLON_TEMPLATE_DIR"); }

private:
    QTemporaryDir m_dir;
};

}  // namespace invtest
