#include "ui/controlname.h"
#include "ui/datacombo.h"
#include "ui/errorboundary.h"
#include "ui/script.h"
#include "ui/scriptactions.h"

#include "data/dberror.h"
#include "printers.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// A small window with one control of every kind scripts drive; its handlers
// record what they saw.
struct TestForm : QWidget {
    ScriptedDialogs& dialogs;
    DataCombo* dbcPerson = new DataCombo(this);
    DataCombo* dbcTime = new DataCombo(this);
    QRadioButton* PersonnelOption = new QRadioButton(this);
    QLineEdit* txtLeaderPhone = new QLineEdit(this);
    QDateEdit* dtpEndDate = new QDateEdit(this);
    QTreeWidget* tvwOffices = new QTreeWidget(this);
    QTableWidget* tdblInvoices = new QTableWidget(2, 2, this);
    QPushButton* RunButton = new QPushButton(this);
    QRadioButton* optPrint[3];
    QPushButton* cmdHidden = new QPushButton(this);
    QPushButton* cmdDisabled = new QPushButton(this);

    QStringList events;
    QString pendingNode;
    bool failRun = false;

    explicit TestForm(ScriptedDialogs& d) : dialogs(d)
    {
        setObjectName(QStringLiteral("Form9"));
        auto* layout = new QVBoxLayout(this);
        for (QWidget* w : std::initializer_list<QWidget*>{dbcPerson, dbcTime, PersonnelOption, txtLeaderPhone, dtpEndDate,
                                                          tvwOffices, tdblInvoices, RunButton, cmdHidden, cmdDisabled})
            layout->addWidget(w);
        setControlName(dbcPerson, QStringLiteral("dbcPerson"));
        setControlName(dbcTime, QStringLiteral("dbcTime"));
        setControlName(PersonnelOption, QStringLiteral("PersonnelOption"));
        setControlName(txtLeaderPhone, QStringLiteral("txtLeaderPhone"));
        setControlName(dtpEndDate, QStringLiteral("dtpEndDate"));
        setControlName(tvwOffices, QStringLiteral("tvwOffices"));
        setControlName(tdblInvoices, QStringLiteral("tdblInvoices"));
        setControlName(RunButton, QStringLiteral("RunButton"));
        setControlName(cmdHidden, QStringLiteral("cmdHidden"));
        setControlName(cmdDisabled, QStringLiteral("cmdDisabled"));
        cmdHidden->hide();
        cmdDisabled->setEnabled(false);
        auto* frame = new QGroupBox(this);  // its own group of option buttons
        auto* frameLayout = new QVBoxLayout(frame);
        layout->addWidget(frame);
        for (int i = 0; i < 3; ++i) {
            optPrint[i] = new QRadioButton(frame);
            setControlName(optPrint[i], QStringLiteral("optPrint"), i + 1);
            frameLayout->addWidget(optPrint[i]);
            connect(optPrint[i], &QRadioButton::clicked, this, [this, i] { events << QStringLiteral("optPrint %1").arg(i + 1); });
        }

        dbcPerson->setRowSource(Recordset::fromRows({QStringLiteral("strName"), QStringLiteral("PersonID")},
                                                    {{Value("Baker, Ann"), Value(12)}, {Value("Cole, Ben"), Value(40)}}),
                                QStringLiteral("strName"), QStringLiteral("PersonID"));
        connect(dbcPerson, &DataCombo::dropDown, this, [this] { events << QStringLiteral("dropDown"); });
        connect(dbcPerson, &DataCombo::itemChosen, this, [this] {
            events << QStringLiteral("person %1").arg(dbcPerson->boundText());
            PersonnelOption->setChecked(true);
        });
        dbcTime->setEditable(true);
        dbcTime->setRowSource(Recordset::fromRows({QStringLiteral("T")}, {{Value("0800")}, {Value("1730")}}),
                              QStringLiteral("T"), QStringLiteral("T"));
        connect(dbcTime, &DataCombo::textTyped, this, [this](const QString& t) { events << QStringLiteral("time typed ") + t; });

        txtLeaderPhone->setInputMask(QStringLiteral("(999)999-9999"));
        connect(txtLeaderPhone, &QLineEdit::textEdited, this, [this] { events << QStringLiteral("phone edited"); });
        connect(txtLeaderPhone, &QLineEdit::editingFinished, this,
                [this] { events << QStringLiteral("phone ") + txtLeaderPhone->text(); });
        dtpEndDate->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        dtpEndDate->setDate(QDate(2024, 1, 1));
        connect(dtpEndDate, &QDateEdit::dateChanged, this,
                [this](const QDate& d) { events << QStringLiteral("end ") + d.toString(Qt::ISODate); });

        // Agency -> office -> person; a click after a toggle carries the
        // office's state down to its people.
        auto* agency = new QTreeWidgetItem(tvwOffices, {QStringLiteral("BLM")});
        auto* office = new QTreeWidgetItem(agency, {QStringLiteral("(555)123-4567")});
        for (const char* name : {"Baker, Ann", "Cole, Ben"})
            new QTreeWidgetItem(office, {QString::fromLatin1(name)});
        for (QTreeWidgetItemIterator it(tvwOffices); *it; ++it) {
            (*it)->setFlags((*it)->flags() | Qt::ItemIsUserCheckable);
            (*it)->setCheckState(0, Qt::Unchecked);
        }
        connect(tvwOffices, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
            if (pendingNode.isEmpty()) pendingNode = item->text(0);
        });
        connect(tvwOffices, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
            events << QStringLiteral("clicked %1 after toggling %2").arg(item->text(0), pendingNode);
            for (int i = 0; i < item->childCount(); ++i)
                item->child(i)->setCheckState(0, item->checkState(0));
            pendingNode.clear();
        });

        tdblInvoices->setItem(0, 0, new QTableWidgetItem(QStringLiteral("2024-CA-000012A")));
        tdblInvoices->setItem(0, 1, new QTableWidgetItem(QStringLiteral("901")));
        tdblInvoices->setItem(1, 0, new QTableWidgetItem(QStringLiteral("2024-CA-000012B")));
        tdblInvoices->setItem(1, 1, new QTableWidgetItem(QStringLiteral("902")));
        tdblInvoices->setColumnHidden(1, true);
        connect(tdblInvoices, &QTableWidget::cellClicked, this,
                [this](int row) { events << QStringLiteral("invoice row %1").arg(row); });

        connect(RunButton, &QPushButton::clicked, this, guarded(dialogs, [this] {
            if (failRun)
                throw DbError(208, QStringLiteral("Invalid object name '#tmp'."));
            if (dialogs.messageBox(QStringLiteral("Print ORIGINAL?"), MsgButtons::YesNo, MsgIcon::Question,
                                   QStringLiteral("Quillon: Warning 1 of 2")) == MsgAnswer::Yes)
                events << QStringLiteral("reason ") + dialogs.inputBox(QStringLiteral("Reason?"), QStringLiteral("Quillon"));
        }));
    }
};

struct ScriptRun : ::testing::Test {
    ScriptedDialogs dialogs;
    QStringList out;
    ScriptRunner runner{dialogs, [this](const QString& line) { out << line; }};
    TestForm form{dialogs};
    void SetUp() override { form.show(); }
};

}  // namespace

TEST(ScriptParser, CommandsTextsAndErrors)
{
    const auto commands = parseScript(QStringLiteral(
        "# a comment\r\n"
        "\n"
        "   pick Form9.dbcPerson Baker, Ann  \r\n"
        "type Form9.txtName \"  padded \"\n"
        "type Form9.txtName\n"
        "tick Form6.tvwOffices (555) 123-4567 off\n"
        "answer yes\n"
        "answer-input\n"
        "state ReportNumber 9\n"
        "sql Select * from #tmp\n"));
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[0].line, 3);
    EXPECT_EQ(commands[0].target, QStringLiteral("Form9.dbcPerson"));
    EXPECT_EQ(commands[0].text, QStringLiteral("Baker, Ann"));
    EXPECT_EQ(commands[1].text, QStringLiteral("  padded "));
    EXPECT_TRUE(commands[2].text.isEmpty());
    EXPECT_EQ(commands[3].text, QStringLiteral("(555) 123-4567"));
    EXPECT_FALSE(commands[3].on);
    EXPECT_TRUE(commands[5].text.isEmpty());
    EXPECT_EQ(commands[6].target, QStringLiteral("ReportNumber"));
    EXPECT_EQ(commands[6].text, QStringLiteral("9"));
    EXPECT_EQ(commands[7].text, QStringLiteral("Select * from #tmp"));

    for (const char* bad : {"press Form9.RunButton", "click RunButton", "click Form9.RunButton now",
                            "pick Form9.dbcPerson", "tick Form6.tvwOffices BLM", "answer Maybe", "open", "sql"}) {
        try {
            parseScript(QStringLiteral("# ok\n") + QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const ScriptError& e) {
            EXPECT_TRUE(e.message().startsWith(QLatin1String("line 2: "))) << e.message().toStdString();
        }
    }
}

TEST(ScriptOutput, RowsReportsAndPrints)
{
    const RecordsetPtr rows = Recordset::fromRows(
        {QStringLiteral("PersonID"), QStringLiteral("ActivityDT"), QStringLiteral("InvoiceID"), QStringLiteral("Remarks")},
        {{Value(12), Value(QDate(2024, 6, 30)), Value(), Value("line 1\r\nline 2")},
         {Value(40), Value(QDate(2024, 7, 1)), Value(0), Value("")}});
    rows->sort(QStringLiteral("PersonID DESC"));
    EXPECT_EQ(scriptRowLines(*rows),
              (QStringList{QStringLiteral("ROW PersonID=40|ActivityDT=7/1/2024|InvoiceID=0|Remarks="),
                           QStringLiteral("ROW PersonID=12|ActivityDT=6/30/2024|InvoiceID=NULL|Remarks=line 1\\nline 2")}));
    EXPECT_EQ(scriptReportLine(QStringLiteral("Crew Roster"), 1, 3, QStringLiteral("/o/r1.pdf"), QStringLiteral("/o/r1.json")),
              QStringLiteral("REPORT Crew Roster viewer=1 pages=3 pdf=/o/r1.pdf data=/o/r1.json"));
    EXPECT_EQ(scriptPrintLine(QStringLiteral("OF-288"), 2, QStringLiteral("/o/p1.pdf"), QStringLiteral("/o/p1.json")),
              QStringLiteral("PRINT OF-288 pages=2 pdf=/o/p1.pdf data=/o/p1.json"));
}

TEST_F(ScriptRun, DrivesTheWindowLikeAPerson)
{
    const bool ok = runner.run(QStringLiteral(
        "pick Form9.dbcPerson Cole, Ben\n"
        "type Form9.txtLeaderPhone 5551234567\n"
        "type Form9.dtpEndDate 06/30/2024\n"
        "type Form9.dbcTime 1730\n"
        "click Form9.optPrint(2)\n"
        "tick Form9.tvwOffices (555)123-4567 on\n"
        "tick Form9.tvwOffices (555)123-4567 on\n"
        "pick Form9.tdblInvoices 2024-CA-000012B\n"
        "pick Form9.tvwOffices Cole, Ben\n"
        "answer Yes\n"
        "answer-input Lost in mail\n"
        "click Form9.RunButton\n"));
    ASSERT_TRUE(ok) << runner.error().toStdString();
    const QStringList expected{
        QStringLiteral("dropDown"), QStringLiteral("person 40"), QStringLiteral("phone edited"),
        QStringLiteral("phone (555)123-4567"), QStringLiteral("end 2024-06-30"), QStringLiteral("time typed 1730"),
        QStringLiteral("optPrint 2"), QStringLiteral("clicked (555)123-4567 after toggling (555)123-4567"),
        QStringLiteral("invoice row 1"), QStringLiteral("clicked Cole, Ben after toggling "),
        QStringLiteral("reason Lost in mail")};
    EXPECT_EQ(form.events, expected);
    EXPECT_TRUE(form.PersonnelOption->isChecked());
    EXPECT_TRUE(form.optPrint[1]->isChecked());
    EXPECT_EQ(form.dbcTime->boundText(), QStringLiteral("1730"));
    QTreeWidgetItem* office = form.tvwOffices->topLevelItem(0)->child(0);
    EXPECT_EQ(office->child(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(form.tvwOffices->currentItem(), office->child(1));
    EXPECT_EQ(form.tdblInvoices->currentRow(), 1);
    EXPECT_EQ(out, (QStringList{QStringLiteral("MESSAGE Quillon: Warning 1 of 2 | Print ORIGINAL?"), QStringLiteral("-> Yes"),
                                QStringLiteral("INPUT Quillon | Reason? -> Lost in mail")}));
}

TEST_F(ScriptRun, UnansweredBoxStopsTheScript)
{
    EXPECT_FALSE(runner.run(QStringLiteral("click Form9.RunButton\nclick Form9.optPrint(1)\n")));
    EXPECT_TRUE(runner.error().startsWith(QLatin1String("line 1: click Form9.RunButton: no answer queued for the message \"Print ORIGINAL?\"")))
        << runner.error().toStdString();
    EXPECT_TRUE(form.events.isEmpty());  // the second line never ran

    // An answer nobody asked for is an error at the end.
    EXPECT_FALSE(runner.run(QStringLiteral("answer No\n")));
    EXPECT_TRUE(runner.error().contains(QLatin1String("never came")));
}

TEST_F(ScriptRun, WhatAPersonCouldNotDoFails)
{
    const std::pair<const char*, const char*> cases[] = {
        {"click Form3.RunButton", "no window Form3 is open"},
        {"click Form9.cmdMissing", "Form9 has no control cmdMissing"},
        {"click Form9.optPrint", "names a control array"},
        {"click Form9.optPrint(4)", "Form9 has no control optPrint(4)"},
        {"click Form9.cmdHidden", "Form9.cmdHidden is hidden"},
        {"click Form9.cmdDisabled", "Form9.cmdDisabled is disabled"},
        {"pick Form9.dbcPerson Adams, Al", "has no item \"Adams, Al\" (2 items: Baker, Ann, Cole, Ben)"},
        {"pick Form9.tdblInvoices 901", "shows no item \"901\""},  // hidden column
        {"type Form9.dbcPerson Cole, Ben", "takes no typing"},
        {"type Form9.dtpEndDate 2024-06-30", "not a date"},
        {"click Form9.txtLeaderPhone", "not a button"},
        {"tick Form9.dbcPerson Cole, Ben on", "not a tree"},
        {"open Form3", "\"open\" is not available"},
    };
    for (const auto& [script, message] : cases) {
        EXPECT_FALSE(runner.run(QString::fromLatin1(script))) << script;
        EXPECT_TRUE(runner.error().contains(QString::fromLatin1(message))) << runner.error().toStdString();
    }

    // A database error inside a handler is the window's business: one box,
    // and the script goes on with a usable window.
    form.failRun = true;
    EXPECT_TRUE(runner.run(QStringLiteral("click Form9.RunButton\nclick Form9.optPrint(3)")))
        << runner.error().toStdString();
    EXPECT_EQ(out, (QStringList{QStringLiteral("MESSAGE Quillon | Invalid object name '#tmp'."), QStringLiteral("-> OK")}));
    EXPECT_EQ(form.events.last(), QStringLiteral("optPrint 3"));

    // Handlers registered by the program run with the parsed command; their
    // errors stop the script.
    QStringList opened;
    runner.setHandler(QStringLiteral("open"), [&](const ScriptCommand& c) {
        if (c.target == QLatin1String("Form99"))
            throw ScriptError(QStringLiteral("no such window"));
        opened << c.target;
    });
    EXPECT_FALSE(runner.run(QStringLiteral("open Form3\nopen Form99\nopen Form4")));
    EXPECT_EQ(opened, QStringList{QStringLiteral("Form3")});
    EXPECT_EQ(runner.error(), QStringLiteral("line 2: open Form99: no such window"));
}
