// Totals of money: many amounts of a shop's few decimals add up to the figure a person writes
// down, where a running double shows noise in its last digits.
#include "platform/MoneySum.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct SumCase
{
    const char *name;
    QStringList amounts; // repeated in turn
    int lines;
    const char *total;
};

class MoneySumOfLines : public ::testing::TestWithParam<SumCase> {};

TEST_P(MoneySumOfLines, IsTheExactTotal)
{
    const SumCase &c = GetParam();
    MoneySum sum;
    for (int i = 0; i < c.lines; ++i)
        sum.add(c.amounts.at(i % c.amounts.size()));
    EXPECT_EQ(sum.text(), QString::fromUtf8(c.total)) << c.name;
}

// The totals a double sums to: 981099.7000001, 2334500.000001, 6597296.999999, 0.30000000000000004.
INSTANTIATE_TEST_SUITE_P(
    Cases, MoneySumOfLines,
    ::testing::Values(SumCase{"5000 lines", {"292.3", "199.8", "96.5"}, 5000, "981099.7"},
                      SumCase{"20010 lines", {"228.6", "102.1", "19.3"}, 20010, "2334500"},
                      SumCase{"just under a whole", {"363.6", "307.5", "318"}, 20010, "6597297"},
                      SumCase{"two lines", {"0.1", "0.2"}, 2, "0.3"},
                      SumCase{"returns", {"120.5", "-120.5", "0.01"}, 3, "0.01"},
                      SumCase{"empty and unreadable cells count 0", {"", "abc", "12.5元"}, 3, "12.5"},
                      SumCase{"no lines", {"1"}, 0, "0"}),
    [](const auto &info) { return "Case" + std::to_string(info.index); });

TEST(MoneySum, ProductsAndDifferencesStayExact)
{
    MoneySum cost, amount;
    for (int i = 0; i < 5000; ++i) {
        cost.addProduct(i % 3 == 0 ? 88.59 : i % 3 == 1 ? 77.22 : 77.99, i % 3 + 1);
        amount.add(i % 3 == 0 ? 292.3 : i % 3 == 1 ? 199.8 : 96.5);
    }
    EXPECT_EQ(cost.text(), QStringLiteral("794925.03"));        // a double: 794925.0299999
    EXPECT_EQ((amount - cost).text(), QStringLiteral("186174.67")); // a double: 186174.6700001
    EXPECT_DOUBLE_EQ((amount - cost).value(), 186174.67);
    MoneySum tenth;
    tenth.addProduct(0.1, 3);
    EXPECT_EQ(tenth.text(), QStringLiteral("0.3"));
    EXPECT_EQ(MoneySum().text(), QStringLiteral("0"));
}

} // namespace
