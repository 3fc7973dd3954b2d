// The OF-288 window driven by scripts as a person would use it.
#include "invoicing/form6.h"

#include "invoicingdb.h"
#include "shell/reportqueries.h"
#include "ui/datacombo.h"
#include "ui/script.h"

#include <QApplication>
#include <QDateEdit>
#include <QRadioButton>
#include <QTableView>

using namespace invtest;

namespace {

class Form6Test : public ::testing::Test {
protected:
    Form6Test()
    {
        state.IncidentStartYear = "05";
        state.SelectedIncidentNumber = "CA-ABC-000123";
        t.addPerson(100);
        t.addPerson(101);
        t.addPosting(100, d(7, 1), 8);
        t.addPosting(100, d(7, 3), 10);
        t.addPosting(101, d(7, 2), 6);
        t.addDebit(100, d(7, 2), 12.5);
        registerForm6(*t.app);
        runner.setHandler("open", [this](const ScriptCommand& c) { t.app->windows().show(c.target); });
    }
    ~Form6Test() override
    {
        t.app->windows().unloadAll();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith("frmViewRpt")) w->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void run(const QString& script)
    {
        out.clear();
        EXPECT_TRUE(runner.run(script)) << runner.error().toStdString();
    }
    Form6* form() { return qobject_cast<Form6*>(t.app->windows().window("Form6")); }
    template <typename W> W* control(const char* name) { return form()->findChild<W*>(name); }
    QStringList messages() const { return out.filter(QRegularExpression("^MESSAGE ")); }

    InvoicingDb t;
    AppState& state = t.app->state;
    QStringList out;
    ScriptRunner runner{t.dialogs, [this](const QString& line) { out << line; }};
};

TEST_F(Form6Test, RunMessagesForNoDataAndADuplicateWithoutAnInvoice)
{
    t.addPerson(103);
    run("open Form6\n"
        "pick Form6.dbcPersons \"Last103, First103\"\n"
        "click Form6.RunButton(0)\n"
        "pick Form6.dbcPersons \"Last100, First100\"\n"
        "click Form6.optPrint(3)\n"
        "click Form6.RunButton(0)\n");
    EXPECT_EQ(messages(), QStringList({"MESSAGE Information | No Non-Invoiced Data in this Selection. ",
                                       "MESSAGE Quillon:No Invoice | You must select an invoice to reprint."}));
    EXPECT_FALSE(state.OpenReport);
    EXPECT_FALSE(TableExists(*t.app, "#tmp"));
}

TEST_F(Form6Test, OriginalIssuedHeadlesslyThenReprintedWithAReasonThatFits)
{
    run("open Form6\n"
        "pick Form6.dbcPersons \"Last100, First100\"\n"
        "type Form6.dtpEndDate 07/31/2005\n"
        "click Form6.optPrint(2)\n"
        "answer OK\n"
        "answer Yes\n"
        "click Form6.RunButton(1)\n");
    EXPECT_EQ(t.rows("Select FirstDate, LastDate, InvoiceSuffix, Amount from PersonsInvoices"),
              QStringList({"7/1/2005|7/31/2005|A|18"}));
    EXPECT_EQ(t.printer->jobs().size(), 2);

    run("click Form6.optPrint(3)\n"
        "pick Form6.tdblInvoices 2005-CA-ABC-000123-000100A\n"
        "answer-input \"A reason of 16ch\"\n"
        "answer OK\n"
        "answer-input \"  Did not Print  \"\n"
        "click Form6.RunButton(0)\n");
    EXPECT_EQ(messages(), QStringList({"MESSAGE Quillon:Error with Reprint Reason | Reprint Reason too long.  Please re-enter."}));
    EXPECT_EQ(state.OrigRptCode, "PDid not Print");
    EXPECT_EQ(t.one("Select Original || '|' || InvoiceNum from #tmp"), "02 Did not Print|2005-CA-ABC-000123-000100A");
    EXPECT_EQ(t.count("PersonsInvoicesReason"), 1);   // a preview records nothing
    EXPECT_EQ(t.app->output().window(1)->windowTitle(), "OF-288");

    state.OpenReport.reset();
    run("answer-input \"\"\n"
        "answer Cancel\n"
        "click Form6.RunButton(0)\n");
    EXPECT_EQ(messages(), QStringList({"MESSAGE Quillon:Error with Reprint Reason | Did not recieve your response.  Please re-enter."}));
    EXPECT_FALSE(state.OpenReport);
}

TEST_F(Form6Test, CrewDraftPrintsDirectlyAndACrewAfterAPersonHidesTheInvoiceList)
{
    t.addInvoice(90, 100, d(6, 1), d(6, 30), "A");
    t.addPosting(100, d(6, 10), 5, "FFT2", 25.5, "1", "90");
    run("open Form6\n"
        "pick Form6.dbcPersons \"Last100, First100\"\n"
        "click Form6.optPrint(3)\n");
    auto* list = control<QTableView>("tdblInvoices");
    EXPECT_TRUE(list->isVisible());
    run("pick Form6.dbcCrewNames \"Hotshots A\"\n"
        "click Form6.cbFinalFlag\n"
        "click Form6.RunButton(1)\n");
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(form()->ResourceMode());
    EXPECT_EQ(control<QDateEdit>("dtpEndDate")->date(), d(7, 3));   // the crew's latest posting
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(t.printer->jobs().size(), 2);
    EXPECT_EQ(t.count("PersonsPost where FinalCol = 1"), 2);

    run("click Form6.optPrint(3)\n"
        "answer-input Lost\n"
        "click Form6.RunButton(0)\n");
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(state.SelectedInvoiceId, -1);
    // 101 has no invoice to reprint; the final-column rows stay as they were.
    EXPECT_EQ(t.rows("Select PersonID, InvoiceID, Original from #tmp order by PersonID"), QStringList({"100|90|02 Lost"}));
    EXPECT_EQ(t.count("PersonsPost where FinalCol = 1"), 2);

    run("click Form6.AllOption\n");
    EXPECT_TRUE(control<DataCombo>("dbcCrewNames")->text().isEmpty());
    EXPECT_EQ(state.SelectedResourceId, 0);
    EXPECT_TRUE(form()->ResourceMode());
}

TEST_F(Form6Test, LaunchSelectionPreselectsAPersonOrACrew)
{
    state.LaunchSelection = "P100";
    run("open Form6");
    EXPECT_EQ(control<DataCombo>("dbcPersons")->text(), "Last100, First100");
    EXPECT_TRUE(control<QRadioButton>("PersonnelOption")->isChecked());
    EXPECT_EQ(control<QDateEdit>("dtpEndDate")->date(), d(7, 3));
    t.app->windows().unloadAll();

    state.LaunchSelection = "R10";
    run("open Form6");
    EXPECT_EQ(control<DataCombo>("dbcRequestNums")->text(), "C-12");
    EXPECT_TRUE(control<QRadioButton>("CrewOption")->isChecked());
    EXPECT_EQ(state.SelectedResourceId, 10);
    EXPECT_FALSE(form()->ResourceMode());
}

TEST_F(Form6Test, DeletingForThePersonEmptiesTheListAndTheTimingTestReports)
{
    t.addInvoice(90, 100, d(6, 1), d(6, 30), "A");
    run("open Form6\n"
        "pick Form6.dbcPersons \"Last100, First100\"\n"
        "click Form6.optPrint(3)\n"
        "answer Yes\n"
        "answer Yes\n"
        "answer-input \"Keyed twice\"\n"
        "click Form6.cmdReset\n");
    EXPECT_EQ(t.one("Select Del from PersonsInvoices"), "True");
    EXPECT_FALSE(control<QTableView>("tdblInvoices")->isVisible());
    EXPECT_EQ(control<QTableView>("tdblInvoices")->model()->rowCount(), 0);
    for (auto* option : form()->findChildren<QRadioButton*>("optPrint")) EXPECT_FALSE(option->isChecked());

    state.TimingTest = true;
    run("click Form6.optPrint(1)\n"
        "click Form6.RunButton(0)\n");
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().front().startsWith("MESSAGE Timing Results | "));
}

}  // namespace
