// The contractor invoice (Form8) figures over the sample database.
#include "invoicing/contractor_invoice.h"

#include "data/demo/demo_database.h"

#include "printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class ContractorInvoiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        demo::createDemoDatabase(dir->filePath(QStringLiteral("sample.db")));
    }
    static void TearDownTestSuite() { delete dir; }

    void SetUp() override
    {
        db.openEmbedded(dir->filePath(QStringLiteral("sample.db")));
        app.attachConnection(db);
        app.state.SelectedIncidentId = 1;
    }

    QStringList column(const RecordsetPtr& rs, const QString& field)
    {
        QStringList out;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) out << rs->value(field).toString();
        return out;
    }
    Currency scalar(const QString& sql) { return db.openRecordset(sql)->value(0).toCurrency(); }
    // The greater of amount and guarantee per day, as the database sums it.
    Currency postingTotal(int agreement, int equipment)
    {
        return scalar(QStringLiteral("Select sum(case when Amt > GuarAmt then Amt else GuarAmt end) from EquipmentPost "
                                     "where AgreementID = %1 and EquipmentID = %2").arg(agreement).arg(equipment));
    }

    static QTemporaryDir* dir;
    Connection db;
    ScriptedDialogs dialogs;
    App app{dialogs, std::make_shared<reports::FolderPrinter>(QStringLiteral("/nonexistent"))};
    ContractorInvoice form{app};
};
QTemporaryDir* ContractorInvoiceTest::dir = nullptr;

}  // namespace

TEST_F(ContractorInvoiceTest, ListsNarrowFromContractorToEquipment)
{
    EXPECT_EQ(column(form.load(), QStringLiteral("ContractorName")),
              (QStringList{QStringLiteral("Greenleaf Reforestation Inc."), QStringLiteral("O'Brien Water Hauling"),
                           QStringLiteral("Sierra Earthworks LLC")}));
    app.state.ManageIncidentsAsOne = true;
    EXPECT_EQ(form.load()->recordCount(), 4);
    EXPECT_EQ(ContractorInvoice::contractorListSql(app.state),
              QStringLiteral("Select ContractorName, ContractorID FROM Contractor  Order by ContractorName"));

    EXPECT_EQ(column(form.contractorChosen(Value(1)), QStringLiteral("AgreementNum")),
              (QStringList{QStringLiteral("NCA-26-E-1001"), QStringLiteral("SIB-26-E-1002")}));
    EXPECT_EQ(column(form.agreementChosen(Value(1)), QStringLiteral("Name")),
              (QStringList{QStringLiteral("O'Brien Water Tender 1"), QStringLiteral("O'Brien Water Tender 2"),
                           QStringLiteral("O'Brien Water Tender 3")}));
    form.equipmentChosen(Value(3));
    EXPECT_EQ(form.equipmentId(), 3);

    // Another contractor: the agreement and equipment of the first are gone,
    // so no figures can mix two contractors.
    form.contractorChosen(Value(2));
    EXPECT_EQ(form.contractorId(), 2);
    EXPECT_EQ(form.agreementId(), 0);
    EXPECT_EQ(form.equipmentId(), 0);
}

TEST_F(ContractorInvoiceTest, TotalsCountTheGreaterOfAmountAndGuaranteeLessDebits)
{
    form.contractorChosen(Value(1));
    form.agreementChosen(Value(1));
    const ContractorInvoice::Figures f = form.equipmentChosen(Value(1));
    EXPECT_EQ(f.postings->recordCount(), 14);
    EXPECT_EQ(f.postings->source(), ContractorInvoice::postingsSql(1, 1));
    QDate previous;
    for (f.postings->moveFirst(); !f.postings->eof(); f.postings->moveNext()) {
        EXPECT_LE(previous, f.postings->value(QStringLiteral("ActivityDT")).toDate());
        previous = f.postings->value(QStringLiteral("ActivityDT")).toDate();
    }
    const Currency postings = postingTotal(1, 1);
    ASSERT_GT(postings, Currency());
    EXPECT_EQ(f.postingTotal, postings);
    EXPECT_EQ(f.debitTotal, Currency::fromString(QStringLiteral("364.5")));
    EXPECT_EQ(f.debitsText, QStringLiteral("$364.50"));
    EXPECT_EQ(f.invoiceText, ContractorInvoice::moneyText(postings - f.debitTotal));

    // Equipment without debits: the debit label stays empty.
    form.contractorChosen(Value(3));
    form.agreementChosen(Value(4));
    const ContractorInvoice::Figures none = form.equipmentChosen(Value(9));
    EXPECT_TRUE(none.debitsText.isEmpty());
    EXPECT_EQ(none.debitTotal, Currency());
    EXPECT_EQ(none.invoiceText, ContractorInvoice::moneyText(postingTotal(4, 9)));
}

TEST(ContractorInvoiceFigures, DayAmountsAndMoneyText)
{
    EXPECT_EQ(ContractorInvoice::dayAmount(Value(Currency::fromInt(120)), Value(Currency::fromInt(200))),
              Currency::fromInt(200));
    EXPECT_EQ(ContractorInvoice::dayAmount(Value(Currency::fromInt(250)), Value(Currency::fromInt(200))),
              Currency::fromInt(250));
    EXPECT_EQ(ContractorInvoice::dayAmount(Value(), Value(Currency::fromInt(50))), Currency::fromInt(50));
    EXPECT_EQ(ContractorInvoice::dayAmount(Value(Currency::fromInt(75)), Value()), Currency::fromInt(75));

    EXPECT_EQ(ContractorInvoice::moneyText(Currency::fromString(QStringLiteral("1234567.5"))), QStringLiteral("$1,234,567.50"));
    EXPECT_EQ(ContractorInvoice::moneyText(Currency()), QStringLiteral("$0.00"));
    EXPECT_EQ(ContractorInvoice::moneyText(Currency::fromString(QStringLiteral("0.005"))), QStringLiteral("$0.01"));
    EXPECT_EQ(ContractorInvoice::moneyText(-Currency::fromInt(12)), QStringLiteral("-$12.00"));
}
