#include "core/Currency.h"

#include <gtest/gtest.h>

TEST(Currency, ParsesPlainDecimalsExactly)
{
    struct Case { const char* text; std::int64_t raw; };
    const Case cases[] = {
        {"0", 0}, {"12", 120000}, {"12.5", 125000}, {"-0.01", -100}, {"1 234 567.89", 12345678900},
        {"10.005", 100050}, {"0.00005", 1}, {"-0.00005", -1}, {".5", 5000}, {"+3", 30000},
        {"9999999999999.99", 99999999999999900},
    };
    for (const Case& c : cases) {
        const auto v = Currency::parse(QString::fromUtf8(c.text));
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(v->raw(), c.raw) << c.text;
    }
    for (const char* bad : {"", "abc", "1.2.3", "1,5", "--1", "1e5", " . ", "12a"})
        EXPECT_FALSE(Currency::parse(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(Currency, FormatsMoneyAndPlainText)
{
    struct Case { std::int64_t raw; const char* money; const char* plain; };
    const Case cases[] = {
        {0, "0.00", "0"}, {12345000, "1 234.50", "1234.5"}, {-12345000, "-1 234.50", "-1234.5"},
        {800500, "80.05", "80.05"}, {1000000000000, "100 000 000.00", "100000000"},
        {5, "0.00", "0.0005"}, {50, "0.01", "0.005"}, {-50, "-0.01", "-0.005"},
    };
    for (const Case& c : cases) {
        const Currency v = Currency::fromRaw(c.raw);
        EXPECT_EQ(v.formatMoney(), QString::fromUtf8(c.money)) << c.raw;
        EXPECT_EQ(v.formatMask(), QString::fromUtf8(c.money)) << c.raw;
        EXPECT_EQ(v.toPlainText(), QString::fromUtf8(c.plain)) << c.raw;
    }
}

TEST(Currency, ScalesToTheDatabaseDecimalsWithoutFloatingPoint)
{
    EXPECT_EQ(Currency::fromScaled(12345, 2).raw(), 1234500);
    EXPECT_EQ(Currency::fromScaled(123456, 5).raw(), 12346);
    EXPECT_EQ(Currency::fromScaled(-123455, 5).raw(), -12346);
    EXPECT_EQ(Currency::fromRaw(1234550).toScaled(2), 12346);
    EXPECT_EQ(Currency::fromRaw(-1234550).toScaled(2), -12346);
    EXPECT_EQ(Currency::fromRaw(99999999999999900).toScaled(2), 999999999999999);
    EXPECT_EQ((Currency::fromUnits(3) - Currency::fromRaw(1)).raw(), 29999);
}
