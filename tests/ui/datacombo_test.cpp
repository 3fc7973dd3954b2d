#include "ui/datacombo.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "printers.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

RecordsetPtr crews()
{
    return Recordset::fromRows({QStringLiteral("RequestNumber"), QStringLiteral("Name"), QStringLiteral("ResourceID")},
                               {{Value("C-12"), Value("Alpha Crew"), Value(7)},
                                {Value("C-5"), Value("Zulu Crew"), Value(31)},
                                {Value("C-7"), Value("Alpha Crew"), Value(44)}});
}

}  // namespace

TEST(DataCombo, ShowsOneFieldAndYieldsTheBoundKeyOfTheChosenRow)
{
    RecordsetPtr rows = crews();
    DataCombo combo;
    combo.setRowSource(rows, QStringLiteral("Name"), QStringLiteral("ResourceID"));
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(1), QStringLiteral("Zulu Crew"));
    EXPECT_TRUE(combo.text().isEmpty());
    EXPECT_TRUE(combo.boundValue().isNull());
    EXPECT_TRUE(combo.boundText().isEmpty());

    QSignalSpy chosen(&combo, &DataCombo::itemChosen);
    combo.setCurrentIndex(2);
    Q_EMIT combo.activated(2);  // what a click in the list does
    EXPECT_EQ(chosen.count(), 1);
    // Two rows show "Alpha Crew": the chosen one decides the key.
    EXPECT_EQ(combo.text(), QStringLiteral("Alpha Crew"));
    EXPECT_EQ(combo.boundText(), QStringLiteral("44"));
    EXPECT_EQ(rows->value(QStringLiteral("RequestNumber")).toString(), QStringLiteral("C-7"));
    EXPECT_EQ(combo.rowValue(QStringLiteral("RequestNumber")).toString(), QStringLiteral("C-7"));

    combo.setText(QString());
    EXPECT_TRUE(combo.text().isEmpty());
    EXPECT_TRUE(combo.boundValue().isNull());
    EXPECT_TRUE(combo.rowValue(QStringLiteral("Name")).isNull());
    combo.setText(QStringLiteral("Zulu Crew"));
    EXPECT_EQ(combo.boundValue().toInt(), 31);
    EXPECT_EQ(chosen.count(), 1);  // setting the text is not a user's choice
    combo.setText(QStringLiteral("No such crew"));
    EXPECT_TRUE(combo.text().isEmpty());
}

TEST(DataCombo, ListsSharingRowsStayRightAfterAResort)
{
    RecordsetPtr rows = crews();
    DataCombo byNumber, byName;
    byNumber.setRowSource(rows, QStringLiteral("RequestNumber"), QStringLiteral("ResourceID"));
    byName.setRowSource(rows, QStringLiteral("Name"), QStringLiteral("ResourceID"));
    QObject::connect(&byName, &DataCombo::dropDown, [&] {
        rows->sort(QStringLiteral("Name DESC"));
        byName.refill();
    });
    byNumber.setText(QStringLiteral("C-5"));

    QSignalSpy opened(&byName, &DataCombo::dropDown);
    byName.announceDropDown();
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(byName.itemText(0), QStringLiteral("Zulu Crew"));
    // The other list's items still point at their own rows.
    EXPECT_EQ(byNumber.boundValue().toInt(), 31);
    EXPECT_EQ(byNumber.rowValue(QStringLiteral("Name")).toString(), QStringLiteral("Zulu Crew"));

    // A refill keeps the chosen row where it moved to.
    byNumber.setText(QStringLiteral("C-12"));
    rows->sort(QStringLiteral("RequestNumber DESC"));
    byNumber.refill();
    EXPECT_EQ(byNumber.itemText(0), QStringLiteral("C-7"));
    EXPECT_EQ(byNumber.text(), QStringLiteral("C-12"));
    EXPECT_EQ(byNumber.boundValue().toInt(), 7);

    byName.showPopup();  // the real popup announces itself too
    EXPECT_EQ(opened.count(), 2);
    byName.hidePopup();
}

TEST(DataCombo, EditableListTakesTypedText)
{
    DataCombo combo;
    combo.setEditable(true);
    combo.setRowSource(crews(), QStringLiteral("RequestNumber"), QStringLiteral("ResourceID"));
    QSignalSpy typed(&combo, &DataCombo::textTyped);
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("C-7"));
    EXPECT_EQ(typed.count(), 3);
    EXPECT_EQ(combo.text(), QStringLiteral("C-7"));
    EXPECT_EQ(combo.boundValue().toInt(), 44);
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("7"));
    EXPECT_EQ(combo.text(), QStringLiteral("C-77"));
    EXPECT_TRUE(combo.boundText().isEmpty());
    EXPECT_EQ(combo.count(), 3);  // typed text never becomes an item

    combo.setText(QStringLiteral("anything"));
    EXPECT_EQ(combo.text(), QStringLiteral("anything"));
    combo.refill();
    EXPECT_EQ(combo.text(), QStringLiteral("anything"));
}
