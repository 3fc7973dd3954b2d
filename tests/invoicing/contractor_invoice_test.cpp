// The contractor invoice (Form8) figures over the sample database.
#include "invoicing/contractor_invoice.h"

#include "data/demo/demo_database.h"
#include "ui/scriptactions.h"

#include "printers.h"

#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

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

// The posting grid of the window: headings in words, dates and money as the
// reports print them, and a click on a heading sorts by the values (dates by
// day across a new year, $1,000.00 after $999.00), not by the shown text.
TEST_F(ContractorInvoiceTest, PostingGridShowsWordsAndSortsByValueOnAClickedHeading)
{
    QTemporaryDir work;
    const QString path = work.filePath(QStringLiteral("grid.db"));
    ASSERT_TRUE(QFile::copy(dir->filePath(QStringLiteral("sample.db")), path));
    Connection crafted;
    crafted.openEmbedded(path);
    RecordsetPtr pick = crafted.openRecordset(QStringLiteral(
        "Select c.ContractorName, a.AgreementNum, r.Name, p.AgreementID, p.EquipmentID from EquipmentPost p "
        "join Agreement a on a.AgreementID = p.AgreementID join Contractor c on c.ContractorID = a.ContractorID "
        "join Equipment e on e.EquipmentID = p.EquipmentID join Resources r on r.ResourceID = e.ResourceID "
        "where r.IncidentID = 1 limit 1"));
    ASSERT_FALSE(pick->eof());
    const QString where = QStringLiteral(" where AgreementID = %1 and EquipmentID = %2")
                              .arg(pick->value(3).toString(), pick->value(4).toString());
    crafted.execute(QStringLiteral("Delete from EquipmentPost") + where);
    crafted.execute(QStringLiteral("Insert into EquipmentPost (AgreementID, EquipmentID, ActivityDT, UOM, Units, Rate, "
                                   "Amt, GuarAmt) values (%1, %2, '2026-01-02', 'Day', 1, 999, 999, null), "
                                   "(%1, %2, '2025-12-31', 'Hour', 10, 100, 1000, 50), "
                                   "(%1, %2, '2026-02-10', 'Mile', 2.5, 34.2, 85.5, 1234.56)")
                        .arg(pick->value(3).toString(), pick->value(4).toString()));
    app.attachConnection(crafted);

    ContractorInvoiceWindow window(app);
    window.show();
    pickItem(window.findChild<QWidget*>(QStringLiteral("dbcContractors")), pick->value(0).toString());
    pickItem(window.findChild<QWidget*>(QStringLiteral("dbcAgreements")), pick->value(1).toString());
    pickItem(window.findChild<QWidget*>(QStringLiteral("dbcEquipment")), pick->value(2).toString());
    auto* grid = window.findChild<QTableView*>(QStringLiteral("grdEquipPost"));
    ASSERT_TRUE(grid);
    const QAbstractItemModel* model = grid->model();
    auto table = [model] {
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c) cells << model->index(r, c).data().toString();
            rows << cells.join(QStringLiteral(" | "));
        }
        return rows;
    };
    QStringList headings;
    for (int c = 0; c < model->columnCount(); ++c) headings << model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings, QStringList({"Date", "Unit of Measure", "Units", "Rate", "Amount", "Guarantee"}));
    // Opened in date order, as the query gives it.
    EXPECT_EQ(table(), QStringList({"12/31/2025 | Hour | 10 | $100.00 | $1,000.00 | $50.00",
                                    "1/2/2026 | Day | 1 | $999.00 | $999.00 | ",
                                    "2/10/2026 | Mile | 2.5 | $34.20 | $85.50 | $1,234.56"}));

    QHeaderView* header = grid->horizontalHeader();
    auto clickHeading = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
    };
    auto column = [model](int c) {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, c).data().toString();
        return out;
    };
    const int amount = 4, guarantee = 5, date = 0;
    clickHeading(amount);
    const QStringList amountsUp{"$85.50", "$999.00", "$1,000.00"};
    const QStringList amountsDown{"$1,000.00", "$999.00", "$85.50"};
    const QStringList shown = column(amount);
    EXPECT_TRUE(shown == amountsUp || shown == amountsDown) << shown.join(' ').toStdString();
    clickHeading(amount);
    EXPECT_EQ(column(amount), shown == amountsUp ? amountsDown : amountsUp);
    clickHeading(guarantee);
    const QStringList guarantees = column(guarantee);
    EXPECT_TRUE(guarantees == QStringList({"", "$50.00", "$1,234.56"}) ||
                guarantees == QStringList({"$1,234.56", "$50.00", ""})) << guarantees.join(' ').toStdString();
    clickHeading(date);
    const QStringList dates = column(date);
    EXPECT_TRUE(dates == QStringList({"12/31/2025", "1/2/2026", "2/10/2026"}) ||
                dates == QStringList({"2/10/2026", "1/2/2026", "12/31/2025"})) << dates.join(' ').toStdString();
    window.close();
    app.attachConnection(db);
}
