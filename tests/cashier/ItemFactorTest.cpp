#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/CartEditing.h"
#include "cashier/CartScanning.h"
#include "cashier/LinePrice.h"
#include "platform/MessageScript.h"

using namespace cashier;
using namespace countertest;

namespace {

// An item's own factor that is no factor (old data) never prices a line: the line takes its tag
// price, unless the uniform factor prices it anyway.
TEST(ItemFactor, AFactorThatIsNoFactorLeavesTheTagPrice)
{
    struct Case {
        const char *factor;
        const char *uniform;
        const char *discount;
        const char *amount;
        bool flagged;
    };
    const Case cases[] = {
        {"8", "", "1", "100", true},
        {"八折", "", "1", "100", true},
        {"abc", "", "1", "100", true},
        {"0", "", "1", "100", true},
        {"1.5", "", "1", "100", true},
        {"-0.8", "", "1", "100", true},
        {"8", "0.9", "0.9", "90", false},  // the uniform factor prevails
        {"0.8", "", "0.8", "80", false},
        {" 0.8", "", " 0.8", "80", false}, // blanks around a good factor do not spoil it
        {"０.８", "", "０.８", "80", false},
        {"1", "", "1", "100", false},
    };
    DiscountScheme scheme;
    scheme.商品折扣 = QStringLiteral("真");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.factor);
        scheme.统一折扣 = QString::fromUtf8(c.uniform);
        const LinePrice price = priceLine(QString(), QStringLiteral("100"), QString::fromUtf8(c.factor), 1, scheme, 2, true);
        EXPECT_EQ(price.折扣.toStdString(), std::string(c.discount));
        EXPECT_EQ(price.金额.toStdString(), std::string(c.amount));
        EXPECT_EQ(price.badItemFactor, c.flagged);
    }
}

// The cashier is told which item carries the bad factor when it is scanned; the line joins the
// cart at its tag price, and a later price restore keeps it there.
TEST(ItemFactor, TheCashierIsToldWhichItemCarriesABadFactor)
{
    Counter c(data::Backend::Sqlite);
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    c.addStock({{QStringLiteral("款号"), QStringLiteral("2001")}, {QStringLiteral("名称"), QStringLiteral("羽绒服")},
                {QStringLiteral("折扣"), QStringLiteral("8")}});
    c.addStock({{QStringLiteral("款号"), QStringLiteral("3001")}});
    MessageScript script;
    Cart cart;

    ASSERT_EQ(scanItemIntoCart(c.context, cart, QStringLiteral("2001")), 0);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("商品【羽绒服】（款号：2001）的商品折扣“8”不是0到1之间的小数，"
                                                         "本行已按吊牌价计算。\r\n请到采购入库修改该商品的折扣！")});
    EXPECT_EQ(cart.cell(0, Col折扣), QStringLiteral("1"));
    EXPECT_EQ(cart.cell(0, Col金额), QStringLiteral("100"));

    script.clear();
    ASSERT_EQ(scanItemIntoCart(c.context, cart, QStringLiteral("3001")), 1);
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(cart.cell(1, Col金额), QStringLiteral("80"));

    restoreCartPrices(c.context, cart);
    EXPECT_EQ(cart.cell(0, Col金额), QStringLiteral("100"));
    EXPECT_EQ(cart.cell(1, Col金额), QStringLiteral("80"));
}

} // namespace
