#include "data/recordset.h"
#include "data/value.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace quillon;

TEST(Currency, ParsesExactlyAndFormats)
{
    bool ok = false;
    EXPECT_EQ(Currency::fromString(QStringLiteral("1,000,000.01"), &ok).raw(), 10000000100LL);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Currency::fromString(QStringLiteral("-0.015")).toFixed(2), QStringLiteral("-0.02"));
    EXPECT_EQ(Currency::fromString(QStringLiteral("$12")).toString(), QStringLiteral("12"));
    Currency::fromString(QStringLiteral("12a"), &ok);
    EXPECT_FALSE(ok);
    const Currency total = Currency::fromInt(1000) - Currency::fromInt(50) + Currency::fromString(QStringLiteral("20"));
    EXPECT_EQ(total.toFixed(2, true), QStringLiteral("970.00"));
    EXPECT_EQ(Currency::fromString(QStringLiteral("1234567.5")).toFixed(2, true), QStringLiteral("1,234,567.50"));
}

TEST(Value, ConversionsAndDefaultText)
{
    EXPECT_TRUE(Value().isNull());
    EXPECT_TRUE(Value(QString()).isEmpty());
    EXPECT_EQ(Value(QDate(2024, 6, 30)).toString(), QStringLiteral("6/30/2024"));
    EXPECT_EQ(Value(QDateTime(QDate(1899, 12, 30), QTime(7, 30))).toString(), QStringLiteral("7:30:00 AM"));
    EXPECT_EQ(Value(7.5).toString(), QStringLiteral("7.5"));
    EXPECT_EQ(Value(8.0).toString(), QStringLiteral("8"));
    EXPECT_EQ(Value(QStringLiteral("2024-06-30")).toDate(), QDate(2024, 6, 30));
    EXPECT_EQ(Value(QStringLiteral("6/30/2024")).toDate(), QDate(2024, 6, 30));
    EXPECT_TRUE(Value(QStringLiteral("True")).toBool());
    EXPECT_FALSE(Value(QStringLiteral("0")).toBool());
    EXPECT_EQ(Value(QStringLiteral("42")).toInt(), 42);
    EXPECT_LT(Value::compare(Value(), Value(1)), 0);
    EXPECT_LT(Value::compare(Value(2), Value(10.5)), 0);
    EXPECT_EQ(Value::compare(Value("abc"), Value("ABC")), 0);
}

namespace {
RecordsetPtr sample()
{
    return Recordset::fromRows({QStringLiteral("PersonID"), QStringLiteral("LastName"), QStringLiteral("Hours")},
                               {{Value(3), Value("Cole"), Value(8.0)},
                                {Value(1), Value("Adams"), Value()},
                                {Value(2), Value("Baker"), Value(12.5)}});
}
}  // namespace

TEST(Recordset, NavigatesAndReportsPositions)
{
    auto rs = sample();
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(rs->absolutePosition(), 1);
    EXPECT_EQ(rs->value(QStringLiteral("lastname")).toString(), QStringLiteral("Cole"));
    EXPECT_EQ(rs->value(QStringLiteral("Persons.LastName")).toString(), QStringLiteral("Cole"));
    rs->moveLast();
    EXPECT_EQ(rs->absolutePosition(), 3);
    const auto mark = rs->bookmark();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(rs->absolutePosition(), Recordset::PosEOF);
    EXPECT_THROW(rs->value(0), DbError);
    EXPECT_THROW(rs->moveNext(), DbError);
    rs->setBookmark(mark);
    EXPECT_EQ(rs->value(1).toString(), QStringLiteral("Baker"));
    EXPECT_THROW(rs->value(QStringLiteral("Nope")), DbError);
}

TEST(Recordset, SortsStablyWithNullsFirstAndKeepsCurrentRow)
{
    auto rs = sample();
    rs->moveLast();  // Baker
    rs->sort(QStringLiteral("Hours DESC"));
    EXPECT_EQ(rs->value(QStringLiteral("LastName")).toString(), QStringLiteral("Baker"));
    rs->sort(QStringLiteral("Hours"));
    EXPECT_TRUE(rs->at(0, 2).isNull());
    EXPECT_EQ(rs->at(2, 1).toString(), QStringLiteral("Baker"));
    rs->sort(QString());
    EXPECT_EQ(rs->at(0, 1).toString(), QStringLiteral("Cole"));
}

TEST(Recordset, EditsWithoutWriterAreRefusedAndEmptySetIsEofAndBof)
{
    auto rs = sample();
    rs->setValue(QStringLiteral("Hours"), Value(9.0));
    EXPECT_THROW(rs->update(), DbError);
    auto empty = Recordset::fromRows({QStringLiteral("A")}, {});
    EXPECT_TRUE(empty->eof());
    EXPECT_TRUE(empty->bof());
    EXPECT_EQ(empty->recordCount(), 0);
}

// Stored date texts are wall-clock values: the hour a daylight-saving change
// skips in the machine's zone (2:30 on 3/8/2026 in New York) is still the
// hour the text says, and every stored spelling reads alike.
TEST(Value, DateTextsAreWallClockWhateverTheTimeZone)
{
    const QByteArray formerZone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    const struct Case { const char* text; QDate date; QTime time; } cases[] = {
        {"2026-03-08 02:30:00", {2026, 3, 8}, {2, 30}},
        {"2026-03-08T02:30:00", {2026, 3, 8}, {2, 30}},
        {"2026-03-08 02:30", {2026, 3, 8}, {2, 30}},
        {"2026-03-08 02:30:00.250", {2026, 3, 8}, {2, 30, 0, 250}},
        {" 2026-11-01 01:15:00 ", {2026, 11, 1}, {1, 15}},
        {"2026-03-08", {2026, 3, 8}, {0, 0}},
        {"02:30", {1899, 12, 30}, {2, 30}},
        {"3/8/2026 2:30 AM", {2026, 3, 8}, {2, 30}},
    };
    for (const Case& c : cases) {
        const QDateTime dt = Value(QString::fromLatin1(c.text)).toDateTime();
        EXPECT_EQ(dt.date(), c.date) << c.text;
        EXPECT_EQ(dt.time(), c.time) << c.text;
    }
    EXPECT_FALSE(Value(QStringLiteral("2026-02-30")).toDateTime().isValid());
    EXPECT_FALSE(Value(QStringLiteral("2026-03-08 25:00")).toDateTime().isValid());
    EXPECT_FALSE(Value(QStringLiteral("2026-03-08x")).toDateTime().isValid());
    if (formerZone.isNull()) qunsetenv("TZ");
    else qputenv("TZ", formerZone);
    tzset();
}

// Many rows across the store's small and large blocks keep their values
// where they were put, moving the store moves no row, and the values are
// let go with the store.
TEST(RowStore, KeepsEveryRowInPlaceAndLetsItsValuesGo)
{
    QString shared = QStringLiteral("Crew ") + QString::number(7);   // not a literal: its own data
    const int rows = 120000;   // 120,000 rows of 3 values: blocks from 32 rows up to 4 MB
    RowStore store(3);
    std::vector<Value*> places;
    for (int r = 0; r < rows; ++r) {
        Value* row = store.addRow();
        EXPECT_TRUE(row[0].isNull() && row[2].isNull());
        row[0] = Value(r);
        row[1] = Value(shared);
        if (r % 3 == 0) row[2] = Value(double(r) / 4);
        places.push_back(row);
    }
    EXPECT_FALSE(shared.isDetached());
    RowStore moved = std::move(store);
    ASSERT_EQ(moved.size(), std::size_t(rows));
    std::vector<Value*> kept;
    moved.forEachRow([&](Value* row) { kept.push_back(row); });
    ASSERT_EQ(kept, places);
    std::int64_t sum = 0;
    for (int r = 0; r < rows; ++r) {
        const Value* row = kept[size_t(r)];
        sum += row[0].toInt();
        ASSERT_EQ(row[1].toString(), shared);
        ASSERT_EQ(row[2].isNull(), r % 3 != 0);
        if (r % 3 == 0) ASSERT_EQ(row[2].toDouble(), double(r) / 4);
    }
    EXPECT_EQ(sum, std::int64_t(rows) * (rows - 1) / 2);

    const auto rs = std::make_shared<Recordset>(QStringList{"ID", "Crew", "Share"}, std::move(moved));
    EXPECT_EQ(rs->recordCount(), rows);
    EXPECT_EQ(rs->at(rows - 1, 0).toInt(), rows - 1);
    rs->close();
    EXPECT_TRUE(shared.isDetached());   // no copy left in any row
}
