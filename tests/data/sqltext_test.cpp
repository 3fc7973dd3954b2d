#include "data/sqltext.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(SqlText, NumbersAndDatesInTheirPlainTextForms)
{
    EXPECT_EQ(sqlInt(0), QStringLiteral("0"));
    EXPECT_EQ(sqlInt(-1), QStringLiteral("-1"));
    EXPECT_EQ(sqlInt(40000), QStringLiteral("40000"));
    EXPECT_EQ(sqlInt(2147483647), QStringLiteral("2147483647"));

    // Month/day/year without leading zeros on month and day.
    EXPECT_EQ(sqlDate(QDate(2024, 6, 30)), QStringLiteral("6/30/2024"));
    EXPECT_EQ(sqlDate(QDate(2024, 1, 5)), QStringLiteral("1/5/2024"));
    EXPECT_EQ(sqlDate(QDate(2023, 12, 31)), QStringLiteral("12/31/2023"));
    EXPECT_EQ(sqlDate(QDate(987, 3, 4)), QStringLiteral("3/4/0987"));
    EXPECT_EQ(sqlDate(QDate()), QString());
}

TEST(SqlText, QuotesInsideTextsAreDoubled)
{
    EXPECT_EQ(sqlQuoteInner(QStringLiteral("1234567890")), QStringLiteral("1234567890"));
    EXPECT_EQ(sqlQuoteInner(QStringLiteral("O'Brien")), QStringLiteral("O''Brien"));
    EXPECT_EQ(sqlQuoteInner(QStringLiteral("x' OR '1'='1")), QStringLiteral("x'' OR ''1''=''1"));
    EXPECT_EQ(sqlQuoteInner(QStringLiteral("''")), QStringLiteral("''''"));
    EXPECT_EQ(sqlQuoteInner(QString()), QString());

    EXPECT_EQ(sqlString(QStringLiteral("Dozer 'D8'")), QStringLiteral("'Dozer ''D8'''"));
    EXPECT_EQ(sqlString(QString()), QStringLiteral("''"));
}
