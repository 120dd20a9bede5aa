#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct RoundCase
{
    double x;
    int decimals;
    double expected;
};

class RoundTo : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundTo, HalfAwayFromZeroAfterTheNudge)
{
    const RoundCase c = GetParam();
    EXPECT_DOUBLE_EQ(roundTo(c.x, c.decimals), c.expected) << c.x << " to " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTo,
    ::testing::Values(RoundCase{2.5, 0, 3}, RoundCase{-2.5, 0, -3}, RoundCase{0.5, 0, 1},
                      RoundCase{1.4999, 0, 1}, RoundCase{0.125, 2, 0.13}, RoundCase{-0.125, 2, -0.13},
                      // Binary leftovers just under the half are caught by the nudge.
                      RoundCase{2.675, 2, 2.68}, RoundCase{1.005, 2, 1.01}, RoundCase{-1.005, 2, -1.01},
                      RoundCase{84.15, 1, 84.2},
                      // The nudge is added after scaling: 0.49999999995 + 1e-12 + 0.5 stays below 1.
                      RoundCase{0.0049999999995, 2, 0.0}, RoundCase{0.005, 2, 0.01},
                      RoundCase{0.0, 2, 0.0}, RoundCase{12.345, 3, 12.345}, RoundCase{33.3333, 1, 33.3},
                      RoundCase{1234.5, -1, 1230}, RoundCase{1235.0, -1, 1240}));

TEST(RoundToEdges, ZeroHasNoSignAndNonFiniteValuesPassThrough)
{
    EXPECT_FALSE(std::signbit(roundTo(-0.001, 2)));
    EXPECT_FALSE(std::signbit(roundTo(-0.0, 2)));
    EXPECT_TRUE(std::isnan(roundTo(std::nan(""), 2)));
    EXPECT_EQ(roundTo(std::numeric_limits<double>::infinity(), 2), std::numeric_limits<double>::infinity());
}

struct TextCase
{
    double x;
    const char *expected;
};

class NumberToText : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberToText, ShortestFormWithAtMost13Digits)
{
    const TextCase c = GetParam();
    EXPECT_EQ(numberToText(c.x), QString::fromUtf8(c.expected)) << c.x;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberToText,
    ::testing::Values(TextCase{84.2, "84.2"}, TextCase{60, "60"}, TextCase{0.5, "0.5"}, TextCase{-3, "-3"},
                      TextCase{4.0, "4"}, TextCase{0.1 + 0.2, "0.3"}, TextCase{100.0 / 3, "33.33333333333"},
                      TextCase{90, "90"}, TextCase{1234567.125, "1234567.125"},
                      TextCase{0.0001, "0.0001"}, TextCase{0.00012, "0.00012"},
                      TextCase{0.00001, "1e-05"}, TextCase{0.000099999, "9.9999e-05"},
                      TextCase{-0.00001, "-1e-05"},
                      TextCase{9999999999999.0, "9999999999999"}, TextCase{1e13, "1e+13"},
                      TextCase{12345678901234.0, "1.234567890123e+13"},
                      // Rounding to 13 digits reaches 10^13, so the exponent form applies.
                      TextCase{9999999999999.5, "1e+13"}, TextCase{-1e13, "-1e+13"},
                      TextCase{0.0, "0"}, TextCase{-0.0, "0"}));

TEST(NumberToTextEdges, NonFiniteValuesNeverReachATextAsInfOrNan)
{
    EXPECT_EQ(numberToText(std::numeric_limits<double>::infinity()), QStringLiteral("0"));
    EXPECT_EQ(numberToText(std::nan("")), QStringLiteral("0"));
}

struct ParseCase
{
    const char *text;
    double expected;
};

class TextToNumber : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TextToNumber, ReadsTheLeadingNumberAfterHalfWidth)
{
    const ParseCase c = GetParam();
    EXPECT_DOUBLE_EQ(textToNumber(QString::fromUtf8(c.text)), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToNumber,
    ::testing::Values(ParseCase{"", 0}, ParseCase{"abc", 0}, ParseCase{"12.5", 12.5}, ParseCase{"１２.５元", 12.5},
                      ParseCase{"１２．５", 12.5}, ParseCase{"－３", -3}, ParseCase{"-3.", -3},
                      ParseCase{".5", 0.5}, ParseCase{"+7", 7}, ParseCase{"  42x", 42}, ParseCase{"　8", 8},
                      ParseCase{"1.2.3", 1.2}, ParseCase{"0.8折", 0.8}, ParseCase{"-", 0}, ParseCase{".", 0},
                      ParseCase{"-.", 0}, ParseCase{"元12", 0}, ParseCase{"1e-05", 0.00001},
                      ParseCase{"1e+13", 1e13}, ParseCase{"2e", 2}, ParseCase{"2e+", 2}, ParseCase{"3E2件", 300},
                      ParseCase{"33.33%", 33.33}, ParseCase{"1,234.50", 1}));

TEST(TextToNumberRoundTrip, EveryWrittenTextReadsBackToItsValue)
{
    for (double x : {84.2, -3.0, 100.0 / 3, 0.00001, 9.9999e-05, 1e13, 1.234567890123e+14, -0.0001}) {
        const QString text = numberToText(x);
        EXPECT_EQ(numberToText(textToNumber(text)), text) << qPrintable(text);
    }
}

TEST(TextToInteger, KeepsTheWholePartOfTheLeadingNumber)
{
    EXPECT_EQ(textToInteger(QStringLiteral("12.9")), 12);
    EXPECT_EQ(textToInteger(QStringLiteral("3.7")), 3);
    EXPECT_EQ(textToInteger(QStringLiteral("-3.7")), -3);
    EXPECT_EQ(textToInteger(QStringLiteral("１５件")), 15);
    EXPECT_EQ(textToInteger(QString()), 0);
    EXPECT_EQ(textToInteger(QStringLiteral("1e30")), std::numeric_limits<qint64>::max());
}

TEST(TypedWholeNumber, FullWidthFormsCountAndAnythingButAWholeNumberIsRefused)
{
    const struct {
        const char16_t *typed;
        std::optional<qint64> value;
    } cases[] = {
        {u"12", 12},
        {u"１２", 12},
        {u" ３ ", 3},
        {u"\u3000２\u3000", 2},
        {u"＋５", 5},
        {u"-3", -3},
        {u"－３", -3},
        {u"0", 0},
        {u"999999999999999", 999999999999999},
        {u"1000000000000000", std::nullopt}, // 16 digits
        {u"", std::nullopt},
        {u"+", std::nullopt},
        {u"12.5", std::nullopt},
        {u"１２．０", std::nullopt},
        {u"1e3", std::nullopt},
        {u"12件", std::nullopt},
        {u"1 2", std::nullopt},
        {u"--1", std::nullopt},
        {u"\u0661\u0662", std::nullopt}, // digits of another script are not ours
    };
    for (const auto &c : cases)
        EXPECT_EQ(typedWholeNumber(QString::fromUtf16(c.typed)), c.value) << QString::fromUtf16(c.typed).toStdString();
}

TEST(SharedAmountTexts, RoundedPercentAndPrintedForms)
{
    EXPECT_EQ(roundedText(12.345, 2), QStringLiteral("12.35"));
    EXPECT_EQ(roundedText(59.996, 2), QStringLiteral("60"));
    EXPECT_EQ(roundedText(-0.004, 2), QStringLiteral("0"));

    EXPECT_EQ(percentText(100.0 / 3), QStringLiteral("33.33%"));
    EXPECT_EQ(percentText(5), QStringLiteral("5%"));
    EXPECT_EQ(percentText(1234.5), QStringLiteral("1234.%"));
    EXPECT_EQ(percentText(-12.3456), QStringLiteral("-12.3%"));

    EXPECT_EQ(printedAmountText(1234.5), QStringLiteral("1,234.50"));
    EXPECT_EQ(printedAmountText(1234567.891), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(printedAmountText(999.995), QStringLiteral("1,000.00"));
    EXPECT_EQ(printedAmountText(0), QStringLiteral("0.00"));
    EXPECT_EQ(printedAmountText(-0.004), QStringLiteral("0.00"));
    EXPECT_EQ(printedAmountText(-1234.5), QStringLiteral("-1,234.50"));
    EXPECT_EQ(printedAmountText(100), QStringLiteral("100.00"));
}

// Money has at most eight digits before its point; an exponent is no form of money.
TEST(MoneyCeiling, EightDigitsBeforeThePointAndNoExponent)
{
    const struct {
        QString text;
        bool fits;
    } cases[] = {
        {QStringLiteral("99999999.99"), true},
        {QStringLiteral("-99999999"), true},
        {QStringLiteral(" ９９９９９９９９"), true}, // full-width digits count as digits
        {QStringLiteral("12.5元"), true},
        {QStringLiteral(""), true},
        {QStringLiteral("-"), true},
        {QStringLiteral(".5"), true},
        {QStringLiteral("100000000"), false},
        {QStringLiteral("-100000000"), false},
        {QStringLiteral("９９９９９９９９９"), false},
        {QStringLiteral("000000001"), false}, // digits as typed, leading zeros too
        {QString(400, u'9'), false},
        {QStringLiteral("123456789012345"), false},
        {QStringLiteral("6901234567892"), false}, // a barcode
        {QStringLiteral("1.234567890123e+14"), false},
        {QStringLiteral("2E2"), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(moneyWithinCeiling(c.text), c.fits) << c.text.toStdString();
    EXPECT_EQ(kMoneyWholeDigits, 8);
    EXPECT_EQ(moneyCeilingText(), QStringLiteral("金额太大：小数点前最多8位数字（金额须小于100000000）！"));
}

} // namespace
