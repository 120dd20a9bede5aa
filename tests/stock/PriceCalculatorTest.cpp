// The price calculator: profit and margin from the clerk's typing, the tag price from a wanted
// profit, and the prices handed back to the purchase form only on 确认填写.
#include "context/AppContext.h"
#include "platform/MessageScript.h"
#include "stock/PriceCalculator.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace stock;

namespace {

TEST(PriceCalculatorRule, ProfitAndMarginAtTheSaleDecimals)
{
    const struct {
        const char *cost, *tag, *discount;
        int decimals;
        const char *profit, *margin;
    } cases[] = {
        {"40", "100", "0.7", 0, "30", "75%"},   {"40", "99", "0.7", 2, "29.3", "73.24%"},
        {"40", "99", "0.7", 0, "29", "72.5%"},  {"40", "100", "", 0, "-40", "-100%"},
        {"40", "99.5", "0.7", 1, "29.6", "74.00%"} /* 69.65 is 69.6499 in single precision */, {"0", "100", "0.7", 0, "70", ""}, // no margin on no cost
    };
    for (const auto &c : cases) {
        const QString profit = calculatorProfit(QString::fromUtf8(c.cost), QString::fromUtf8(c.tag),
                                                QString::fromUtf8(c.discount), c.decimals);
        EXPECT_EQ(profit, QString::fromUtf8(c.profit)) << c.tag << ' ' << c.discount;
        EXPECT_EQ(calculatorMargin(profit, QString::fromUtf8(c.cost)), QString::fromUtf8(c.margin)) << c.tag;
    }
    EXPECT_EQ(calculatorMargin(QStringLiteral("29.9"), QStringLiteral("40")), QStringLiteral("74.74%"));
    EXPECT_EQ(calculatorMargin(QStringLiteral("12345"), QStringLiteral("1000")), QStringLiteral("1234.%"));
}

TEST(PriceCalculatorRule, TagPriceFromAWantedProfit)
{
    const struct {
        const char *cost, *profit, *discount, *tag;
    } cases[] = {{"40", "30", "0.7", "100"}, {"40", "31", "0.7", "101"}, {"50", "30", "0.7", "114"}};
    for (const auto &c : cases)
        EXPECT_EQ(calculatorTagPrice(QString::fromUtf8(c.cost), QString::fromUtf8(c.profit), QString::fromUtf8(c.discount)),
                  QString::fromUtf8(c.tag));
    EXPECT_FALSE(calculatorTagPrice(QStringLiteral("40"), QStringLiteral("30"), QStringLiteral("0")));
    EXPECT_FALSE(calculatorTagPrice(QStringLiteral("40"), QStringLiteral("30"), QString()));
}

class PriceCalculatorWindowTest : public ::testing::Test {
protected:
    AppContext context;
    MessageScript script;
    QLineEdit cost, tag, discount;
};

TEST_F(PriceCalculatorWindowTest, TypingRecomputesAndConfirmingWritesBack)
{
    context.shopSettings.销售 = QStringLiteral("0");
    cost.setText(QStringLiteral("40"));
    tag.setText(QStringLiteral("100"));
    discount.setText(QStringLiteral("0.7"));
    script.setDialogHandler([](QDialog *dialog) {
        auto *window = static_cast<PriceCalculatorWindow *>(dialog);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("定价计算器"));
        EXPECT_EQ(window->field(QStringLiteral("毛利"))->text(), QStringLiteral("30"));
        EXPECT_EQ(window->field(QStringLiteral("利润率"))->text(), QStringLiteral("75%"));
        EXPECT_EQ(window->field(QStringLiteral("吊牌价"))->toolTip(), QStringLiteral("结果取整"));
        // A new cost sets the tag price at once; profit and margin keep their texts.
        QLineEdit *costBox = window->field(QStringLiteral("成本价B"));
        costBox->selectAll();
        QTest::keyClicks(costBox, QStringLiteral("50"));
        EXPECT_EQ(window->field(QStringLiteral("吊牌价"))->text(), QStringLiteral("114"));
        EXPECT_EQ(window->field(QStringLiteral("毛利"))->text(), QStringLiteral("30"));
        EXPECT_EQ(window->field(QStringLiteral("利润率"))->text(), QStringLiteral("75%"));
        // A discount typed down to 0 leaves the tag price as it was.
        QLineEdit *discountBox = window->field(QStringLiteral("折扣"));
        discountBox->selectAll();
        QTest::keyClicks(discountBox, QStringLiteral("0"));
        window->backCalcTagPrice();
        EXPECT_EQ(window->field(QStringLiteral("吊牌价"))->text(), QStringLiteral("114"));
        discountBox->selectAll();
        QTest::keyClicks(discountBox, QStringLiteral("0.8"));
        EXPECT_EQ(window->field(QStringLiteral("毛利"))->text(), QStringLiteral("41"));
        window->findChild<QPushButton *>(QStringLiteral("按钮2"))->click();
        return window->result();
    });
    openPriceCalculatorWindow(context, &cost, &tag, &discount, nullptr);
    EXPECT_EQ(cost.text(), QStringLiteral("50"));
    EXPECT_EQ(tag.text(), QStringLiteral("114"));
    EXPECT_EQ(discount.text(), QStringLiteral("0.8"));
}

TEST_F(PriceCalculatorWindowTest, ClosingOtherwiseLeavesTheFormAlone)
{
    cost.setText(QStringLiteral("40"));
    tag.setText(QStringLiteral("100"));
    discount.setText(QStringLiteral("0.7"));
    script.setDialogHandler([](QDialog *dialog) {
        auto *window = static_cast<PriceCalculatorWindow *>(dialog);
        QLineEdit *costBox = window->field(QStringLiteral("成本价B"));
        costBox->selectAll();
        QTest::keyClicks(costBox, QStringLiteral("60"));
        return int(QDialog::Rejected); // the close box
    });
    openPriceCalculatorWindow(context, &cost, &tag, &discount, nullptr);
    EXPECT_EQ(cost.text(), QStringLiteral("40"));
    EXPECT_EQ(tag.text(), QStringLiteral("100"));
    EXPECT_EQ(discount.text(), QStringLiteral("0.7"));
}

} // namespace
