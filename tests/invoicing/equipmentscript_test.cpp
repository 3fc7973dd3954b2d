// The OF-286 window through the built program on the sample database, as a
// script drives it from the main menu: a draft preview, an ORIGINAL sent to
// the printer, and the contractor windows still reporting the equipment once
// its postings are locked.
#include "data/connection.h"
#include "data/demo/demo_database.h"

#include "printers.h"
#include "../shell/quillon_script.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::testing;

namespace {

// The equipment templates need their parameters declared; one line a row.
void writeEquipmentTemplate(const QString& folder, const QString& name, const QString& parameters)
{
    QFile f(folder + QLatin1Char('/') + name + QStringLiteral(".rpt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QString params;
    for (const QString& p : parameters.split(QLatin1Char(' ')))
        params += QStringLiteral("  <Parameter name=\"%1\" type=\"%2\"/>\n")
                      .arg(p.section(QLatin1Char(':'), 0, 0), p.section(QLatin1Char(':'), 1, 1));
    f.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Report name=\"%1\" title=\"%1\">\n%2"
                           "  <Page width=\"612\" height=\"792\" margin=\"36\"/>\n"
                           "  <Detail height=\"12\"><Field x=\"0\" y=\"0\" expr=\"'row'\"/></Detail>\n</Report>\n")
                .arg(name, params).toUtf8());
}

}  // namespace

TEST(EquipmentScript, DraftPreviewOriginalPrintAndContractorReportsAfterwards)
{
    QTemporaryDir dir;
    const QString database = dir.filePath("sample.db");
    demo::createDemoDatabase(database);
    const QString templates = dir.filePath("templates");
    writeTemplates(templates, {"ContractorDebits", "SummContractor"});
    writeEquipmentTemplate(templates, "OF286",
                           "DebitTotal:double AdditionTotal:double ContCrew:boolean OrigRpt:text PrevInvoices:text "
                           "InclusiveDates:text");
    writeEquipmentTemplate(templates, "EquipDeductions", "OrigRpt:text InclusiveDates:text");

    const ScriptRun r = runScript(
        "open Form0\npick Form0.dbcIncidents Cedar Ridge\nclick Form0.Option7\nclick Form0.cmdSelect\n"
        "pick Form7.dbcContractors O'Brien Water Hauling\npick Form7.dbcAgreements NCA-26-E-1001\n"
        "pick Form7.dbcEquipments O'Brien Water Tender 1\n"
        "click Form7.RunButton(0)\n"
        "click Form7.optPrint(2)\nanswer OK\nanswer Yes\nclick Form7.RunButton(1)\n"
        "close Form7\nclick Form0.Option8\nclick Form0.cmdSelect\n"
        "pick Form10.dbcContractors O'Brien Water Hauling\nclick Form10.RunButton\n"
        "close Form10\nclick Form0.Option4\nclick Form0.cmdSelect\n"
        "pick Form4.dbcContractor O'Brien Water Hauling\nclick Form4.RunButton\n",
        dir.path(), database, templates);
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString() << r.lines.join('\n').toStdString();

    // The draft: deductions in viewer 2 first, then the OF-286 over the open
    // postings of the period.
    const QStringList reports = r.linesStarting("REPORT ");
    ASSERT_EQ(reports.size(), 4) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(reports[0].startsWith("REPORT Equipment Deductions & Additions viewer=2 "));
    EXPECT_TRUE(reports[1].startsWith("REPORT OF-286 viewer=1 "));
    EXPECT_TRUE(ScriptRun::sql(reports[1]).contains("' AND Coalesce(CP.InvoiceID, 0) = 0  ORDER BY"));

    // The ORIGINAL: confirmed twice, then both reports printed over the new
    // invoice's postings.
    Connection db;
    db.openEmbedded(database);
    RecordsetPtr invoice = db.openRecordset("Select EquipInvoiceID, InvoiceNumber || InvoiceSuffix from EquipInvoices");
    ASSERT_EQ(invoice->recordCount(), 1);
    EXPECT_EQ(invoice->value(1).toString(), "2026-CA-SHU-004117-000001A");
    const QString key = invoice->value(0).toString();
    const QStringList prints = r.linesStarting("PRINT ");
    ASSERT_EQ(prints.size(), 2);
    EXPECT_TRUE(ScriptRun::sql(prints[0]).contains(" AND CP.InvoiceID = " + key + " ORDER BY"));
    EXPECT_EQ(ScriptRun::rows(prints[0]),
              db.openRecordset("Select count(*) from ContractorPost where InvoiceID = " + key)->value(0).toInt());
    EXPECT_EQ(r.linesStarting("MESSAGE ").size(), 2);

    // Locked postings and adjustments are still the contractor's.
    EXPECT_TRUE(reports[2].startsWith("REPORT Contractor Debits viewer=1 "));
    EXPECT_GT(ScriptRun::rows(reports[2]), 0);
    EXPECT_TRUE(reports[3].startsWith("REPORT Payment Summary of Equipment Usage viewer=1 "));
    EXPECT_GT(ScriptRun::rows(reports[3]), 0);
}

// Two clerks send the same equipment's ORIGINAL to the printer at the same
// moment, each in their own program on the one database file: one invoice
// is issued, the other program says there is nothing left to invoice.
TEST(EquipmentScript, TwoProgramsIssuingTheSameOriginalGiveOneInvoice)
{
    QTemporaryDir dir;
    const QString database = dir.filePath("sample.db");
    demo::createDemoDatabase(database);
    const QString templates = dir.filePath("templates");
    QDir().mkpath(templates);
    writeEquipmentTemplate(templates, "OF286",
                           "DebitTotal:double AdditionTotal:double ContCrew:boolean OrigRpt:text PrevInvoices:text "
                           "InclusiveDates:text");
    writeEquipmentTemplate(templates, "EquipDeductions", "OrigRpt:text InclusiveDates:text");
    const QByteArray script =
        "open Form0\npick Form0.dbcIncidents Cedar Ridge\nclick Form0.Option7\nclick Form0.cmdSelect\n"
        "pick Form7.dbcContractors O'Brien Water Hauling\npick Form7.dbcAgreements NCA-26-E-1001\n"
        "pick Form7.dbcEquipments O'Brien Water Tender 1\n"
        "click Form7.optPrint(2)\nanswer OK\nanswer Yes\nclick Form7.RunButton(1)\n";
    QProcess clerks[2];
    for (int i = 0; i < 2; ++i) {
        const QString work = dir.filePath(QStringLiteral("clerk%1").arg(i));
        QDir().mkpath(work);
        QFile f(work + "/run.qs");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(script);
        f.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLON_TEMPLATE_DIR", templates);
        clerks[i].setProcessEnvironment(env);
        clerks[i].start(quillonProgram(), {"--script", work + "/run.qs", "--out", work + "/out", "--db", database});
    }
    QStringList outputs;
    for (QProcess& p : clerks) {
        ASSERT_TRUE(p.waitForFinished(120000));
        outputs << QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    }

    Connection db;
    db.openEmbedded(database);
    RecordsetPtr invoices = db.openRecordset("Select EquipInvoiceID from EquipInvoices");
    ASSERT_EQ(invoices->recordCount(), 1) << outputs.join("\n----\n").toStdString();
    const QString key = invoices->value(0).toString();
    EXPECT_EQ(db.openRecordset("Select count(*) from ContractorPost CP inner join Equipment E on E.EquipmentID = "
                               "CP.EquipmentID where E.UniqueEquipmentName = 'O''Brien Water Tender 1' and "
                               "CP.InvoiceID <> " + key)->value(0).toInt(), 0);
    // One printed the set, the other was told there was nothing left.
    const int winner = outputs[0].contains("PRINT ") ? 0 : 1;
    EXPECT_TRUE(outputs[winner].contains("PRINT "));
    EXPECT_FALSE(outputs[1 - winner].contains("PRINT "));
    EXPECT_TRUE(outputs[1 - winner].contains("No Non-Invoiced Postings to Print.")) << outputs[1 - winner].toStdString();
}
