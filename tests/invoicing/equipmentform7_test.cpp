// The OF-286 window driven as a person drives it: lists and their queries,
// preselection, calendar, options, and whole runs through the program's own
// report pipeline (test templates, a folder printer).
#include "equipmentfixture.h"

#include "invoicing/form7.h"
#include "shell/app.h"
#include "ui/datacombo.h"
#include "ui/scriptactions.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTableView>

using namespace eqtest;

namespace {

const char* const kOf286Template = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="OF286" title="OF-286">
  <Parameter name="DebitTotal" type="double"/>
  <Parameter name="AdditionTotal" type="double"/>
  <Parameter name="ContCrew" type="boolean"/>
  <Parameter name="OrigRpt" type="text"/>
  <Parameter name="PrevInvoices" type="text"/>
  <Parameter name="InclusiveDates" type="text"/>
  <Page width="612" height="792" margin="36"/>
  <ReportHeader height="12"><Field x="0" y="0" expr="{?OrigRpt} &amp; ' ' &amp; {?InclusiveDates}"/></ReportHeader>
  <Detail height="12"><Field x="0" y="0" expr="Text({ActivityDT}, 'M/d/yyyy')"/></Detail>
</Report>)xml";

const char* const kDeductionsTemplate = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Report name="EquipDeductions" title="Deductions">
  <Parameter name="OrigRpt" type="text"/>
  <Parameter name="InclusiveDates" type="text"/>
  <Page width="612" height="792" margin="36"/>
  <ReportHeader height="12"><Field x="0" y="0" expr="{?OrigRpt}"/></ReportHeader>
  <Detail height="12"><Field x="0" y="0" expr="{Description}"/></Detail>
</Report>)xml";

class Form7Test : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        previousTemplates = qgetenv("QUILLON_TEMPLATE_DIR");
        templates = new QTemporaryDir;
        for (const auto& [file, text] : {std::pair{"OF286.rpt", kOf286Template},
                                         std::pair{"EquipDeductions.rpt", kDeductionsTemplate}}) {
            QFile f(templates->filePath(QString::fromLatin1(file)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        qputenv("QUILLON_TEMPLATE_DIR", templates->path().toLocal8Bit());
    }
    static void TearDownTestSuite()
    {
        if (previousTemplates.isEmpty()) qunsetenv("QUILLON_TEMPLATE_DIR");
        else qputenv("QUILLON_TEMPLATE_DIR", previousTemplates);
        delete templates;
    }

    void SetUp() override
    {
        printer = std::make_shared<reports::FolderPrinter>(t.dir.filePath("jobs"));
        app = std::make_unique<App>(dialogs, printer);
        app->attachConnection(t.db);
        app->state.SelectedIncidentId = 1;
        app->state.SelectedIncidentNumber = "CA-XYZ-001";
        app->state.IncidentStartYear = "2005";
        registerForm7(*app);
    }
    void TearDown() override
    {
        form.reset();
        // Viewer windows; a window deletes its own popups along with it.
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets()) windows.emplace_back(w);
        for (QPointer<QWidget>& w : windows) delete w.data();
    }

    Form7& open(EquipmentReports* reports = nullptr)
    {
        form = std::make_unique<Form7>(*app, reports);
        form->show();
        return *form;
    }
    QWidget* control(const QString& name) { return findControl(form.get(), name); }
    template <typename T> T* control(const QString& name) { return qobject_cast<T*>(control(name)); }
    QString text(const QString& name)
    {
        if (auto* box = control<MaskedDateBox>(name)) return box->boxText();
        return control<DataCombo>(name)->text();
    }
    void chooseDozer()
    {
        pickItem(control("dbcContractors"), "Ace Rentals");
        pickItem(control("dbcAgreements"), "AG-77");
        pickItem(control("dbcEquipments"), "Dozer O'Brien");
    }
    QStringList items(const QString& name)
    {
        QStringList out;
        auto* combo = control<DataCombo>(name);
        for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
        return out;
    }

    static QTemporaryDir* templates;
    static QByteArray previousTemplates;
    EquipmentDb t;
    ScriptedDialogs dialogs;
    std::shared_ptr<reports::FolderPrinter> printer;
    std::unique_ptr<App> app;
    std::unique_ptr<Form7> form;
};
QTemporaryDir* Form7Test::templates = nullptr;
QByteArray Form7Test::previousTemplates;

}  // namespace

TEST_F(Form7Test, OpeningListsChoosingAndTypes)
{
    t.db.execute("INSERT INTO Contractor VALUES (21, 2, 'K-2', 'Bay Hauling', NULL, NULL, NULL, NULL)");
    t.db.execute("INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber) VALUES (15, 1, 'Showers', 'S-1')");
    t.db.execute("INSERT INTO Equipment VALUES (44, 30, 15, 'Shower Unit 1', NULL, NULL, 'N', 'N', 'N')");
    t.db.execute("Update Resources set ReleaseDate = '2005-07-12', ReleaseTime = '1899-12-30 18:30:00' "
                 "where ResourceID = 13");
    open();
    EXPECT_EQ(items("dbcContractors"), QStringList({"Ace Rentals"}));
    EXPECT_EQ(app->state.InvoicePrintMode, 1);
    EXPECT_TRUE(control<QRadioButton>("optDeduct(0)")->isChecked());
    EXPECT_FALSE(control("tdblInvoices")->isEnabled());
    EXPECT_EQ(text("mskLastDate"), "__/__/____");

    chooseDozer();
    EXPECT_EQ(items("dbcEquipments"), QStringList({"Dozer O'Brien"}));
    EXPECT_EQ(app->state.SelectedEquipmentId, 42);
    EXPECT_EQ(text("mskLastDate"), "07/10/2005");
    EXPECT_EQ(text("mskDate") + ' ' + text("dbcTime"), "07/12/2005 18:30");
    pickItem(control("dbcTime"), "0730");
    EXPECT_EQ(text("dbcTime"), "07:30");

    // Other contracts: neither C nor E; without postings the last date is today.
    clickControl(control("optType(2)"));
    EXPECT_EQ(app->state.SelectedEquipmentId, 0);
    pickItem(control("dbcContractors"), "Ace Rentals");
    pickItem(control("dbcAgreements"), "AG-77");
    EXPECT_EQ(items("dbcEquipments"), QStringList({"Showers"}));
    pickItem(control("dbcEquipments"), "Showers");
    EXPECT_EQ(app->state.SelectedEquipmentId, 44);
    EXPECT_EQ(text("mskLastDate"), QDate::currentDate().toString("MM/dd/yyyy"));
    EXPECT_TRUE(dialogs.log().isEmpty());
}

TEST_F(Form7Test, LaunchSelectionPreselectsTheResource)
{
    app->state.LaunchSelection = "E13";
    open();
    EXPECT_EQ(text("dbcContractors") + '|' + text("dbcAgreements") + '|' + text("dbcEquipments"),
              "Ace Rentals|AG-77|Dozer O'Brien");
    EXPECT_EQ(form->ContractorID(), 20);
    EXPECT_EQ(form->AgreementID(), 30);
    EXPECT_EQ(app->state.SelectedEquipmentId, 42);
    EXPECT_EQ(text("mskLastDate"), "07/10/2005");

    form.reset();
    app->state.LaunchSelection = "C14";
    open();
    EXPECT_TRUE(control<QRadioButton>("optType(1)")->isChecked());
    EXPECT_EQ(app->state.SelectedEquipmentId, 43);
    EXPECT_EQ(items("dbcEquipments"), QStringList({"Crew X"}));
}

TEST_F(Form7Test, CalendarServesBothBoxesAndTheReleaseIsSaved)
{
    open();
    chooseDozer();
    auto* calendar = control<QCalendarWidget>("mvCal");
    clickControl(control("cmdLastCal"));
    ASSERT_TRUE(calendar->isVisible());
    form->mvCal_DateClick(QDate(2005, 7, 4));
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(text("mskLastDate"), "07/04/2005");
    // The incident's equipment postings (7/2 to 7/10/2005): the last one with one click.
    clickControl(control("cmdUseDates"));
    EXPECT_EQ(text("mskLastDate"), "07/10/2005");

    clickControl(control("cmdCalendar"));
    calendar->setSelectedDate(QDate(2005, 7, 20));
    clickControl(control("cmdCalendar"));   // pressed again: hides and writes
    EXPECT_EQ(text("mskDate"), "07/20/2005");
    typeText(control("dbcTime"), "1745");
    clickControl(control("cmdSave"));
    EXPECT_EQ(t.scalar("Select ReleaseDate || ' ' || ReleaseTime from Resources where ResourceID = 13").toString(),
              "2005-07-20 1899-12-30 17:45:00");
}

TEST_F(Form7Test, PrintOptionsAndRefusedDuplicate)
{
    RecordingReports reports;
    open(&reports);
    clickControl(control("optPrint(3)"));   // no equipment yet
    EXPECT_EQ(boxes(dialogs), QStringList({"MESSAGE Error Identifying Resource | Please select a resource."}));
    chooseDozer();
    EXPECT_FALSE(control("optDeduct(1)")->isEnabled());
    EXPECT_TRUE(control("tdblInvoices")->isEnabled());
    clickControl(control("optPrint(1)"));
    clickControl(control("optDeduct(1)"));
    EXPECT_EQ(form->reportOption(), 1);
    EXPECT_FALSE(control<QLabel>("lblDefPrinter")->isVisible());
    clickControl(control("optPrint(2)"));
    EXPECT_EQ(form->reportOption(), 0);
    EXPECT_FALSE(control("optDeduct(2)")->isEnabled());
    EXPECT_FALSE(control("tdblInvoices")->isEnabled());

    // A copy with no invoice chosen is refused before the reason is asked.
    clickControl(control("optPrint(3)"));
    dialogs.clearLog();
    clickControl(control("RunButton(0)"));
    EXPECT_EQ(boxes(dialogs), QStringList({"MESSAGE Quillon:No Invoice | You must select an invoice to reprint."}));
    EXPECT_TRUE(reports.calls.empty());
}

TEST_F(Form7Test, OriginalPrintedDirectlyThenCopiedAndDeleted)
{
    open();
    chooseDozer();
    typeText(control("mskLastDate"), "07/05/2005");
    clickControl(control("optPrint(2)"));
    answer(dialogs, {MsgAnswer::OK, MsgAnswer::Yes});
    clickControl(control("RunButton(1)"));
    EXPECT_TRUE(dialogs.failure().isEmpty()) << dialogs.failure().toStdString();
    EXPECT_EQ(t.scalar("Select InvoiceNumber || InvoiceSuffix || ' ' || Amount from EquipInvoices").toString(),
              "2005-CA-XYZ-001-000042A 1570");
    EXPECT_EQ(printer->jobs().size(), 2);   // the OF-286 and the deductions

    clickControl(control("optPrint(3)"));
    pickItem(control("tdblInvoices"), "2005-CA-XYZ-001-000042A");
    dialogs.queueInput("Lost");
    clickControl(control("RunButton(1)"));
    EXPECT_EQ(t.count("EquipInvoicesReason where Original = 2 and Reason = 'Lost'"), 1);
    EXPECT_EQ(printer->jobs().size(), 4);

    // Deleting it: the invoice list goes disabled, the copy option unchecked.
    answer(dialogs, {MsgAnswer::Yes, MsgAnswer::Yes}, {"Wrong period"});
    clickControl(control("cmdDelete"));
    EXPECT_EQ(t.count("EquipInvoices where Del = 1"), 1);
    EXPECT_EQ(t.count("ContractorPost where InvoiceID <> 0"), 0);
    EXPECT_FALSE(control<QRadioButton>("optPrint(3)")->isChecked());
    EXPECT_FALSE(control("tdblInvoices")->isEnabled());
    EXPECT_FALSE(dialogs.answersLeft());
}
