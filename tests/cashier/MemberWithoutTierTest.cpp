// A member without a tier on a new shop (no tier ever set up, so the shop has none): whatever the
// member mode, the checkout takes her card, and the sale moves her stored value, points and spending
// like any member's; only the tier stays as it was.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/CheckoutState.h"
#include "cashier/MemberPricing.h"
#include "cashier/SaleWriter.h"
#include "context/ShopDatabase.h"
#include "platform/MessageScript.h"

using namespace cashier;
using namespace countertest;
using F = CheckoutField;

namespace {

class MemberWithoutTier : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
        c.context.shopSettings.积分值 = QStringLiteral("100");
        c.context.shopSettings.抵扣值 = QStringLiteral("10");
        // The tier loader on a shop whose tiers were never set up.
        c.context.memberTiers[0] = {QStringLiteral("0.7"), QStringLiteral("金卡"), QStringLiteral("500")};
        ASSERT_TRUE(loadMemberTiers(c.context));
        for (const MemberTier &tier : c.context.memberTiers)
            ASSERT_TRUE(tier.会员类别.isEmpty());
        stock = c.addStock({{QStringLiteral("吊牌价"), QStringLiteral("125")}, {QStringLiteral("数量"), QStringLiteral("50")}});
    }

    ClockGuard clock;
    Counter c{GetParam()};
    MessageScript script;
    qint64 stock = 0;
};

TEST_P(MemberWithoutTier, PaysWithStoredValueAndPointsAndEarnsPoints)
{
    const struct {
        const char *mode;
        const char16_t *points, *upgrade, *onTop;
    } modes[] = {{"discount on discount", u"假", u"真", u"真"},
                 {"upgrade", u"假", u"真", u"假"},
                 {"points", u"真", u"假", u"假"},
                 {"none", u"假", u"假", u"假"}};
    int n = 0;
    for (const auto &m : modes) {
        SCOPED_TRACE(m.mode);
        c.context.shopSettings.积分模式 = QString::fromUtf16(m.points);
        c.context.shopSettings.升级模式 = QString::fromUtf16(m.upgrade);
        c.context.shopSettings.折上折 = QString::fromUtf16(m.onTop);
        const QString card = QStringLiteral("NT%1").arg(++n);
        c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), card}, {QStringLiteral("会员类别"), QString()},
                                          {QStringLiteral("积分"), QStringLiteral("250")},
                                          {QStringLiteral("消费金额"), QStringLiteral("800")},
                                          {QStringLiteral("会员储值"), QStringLiteral("100")},
                                          {QStringLiteral("所属店铺"), kShop}});
        const qint64 member = c.rows(QStringLiteral("会员管理")).last().value(QStringLiteral("id")).toLongLong();

        Cart cart;
        CheckoutState state(cart);
        MemberPricing pricing(c.context, state);
        state.memberCardChanged = [&pricing] { pricing.applyMemberCard(); };
        CartLine line;
        line.id = QString::number(stock);
        line.款号 = QStringLiteral("1001");
        line.商品名称 = QStringLiteral("衬衫");
        line.数量 = QStringLiteral("1");
        line.吊牌价 = QStringLiteral("125");
        line.折扣 = QStringLiteral("0.8");
        line.金额 = QStringLiteral("100");
        line.结付 = kPayCash;
        cart.append(line);
        computeCartTotals(cart);
        state.open(cart.totals, false);

        state.setText(F::会员卡号x, card);
        ASSERT_EQ(state.text(F::应付款), QStringLiteral("100"));
        pricing.useMemberPoints(); // 250 points: 25 of money, none left
        ASSERT_EQ(state.text(F::积分编辑框), QStringLiteral("25"));
        state.setText(F::储值, QStringLiteral("60"));
        state.setText(F::现金, QStringLiteral("15"));
        ASSERT_EQ(state.text(F::实收款), QStringLiteral("100"));

        const SaleResult result = confirmCheckout(c.context, cart, state.saleRequest(), SaleHooks{});
        ASSERT_TRUE(result.written()) << script.texts().join(u'|').toStdString();
        const auto sale = c.rows(QStringLiteral("销售明细")).last();
        EXPECT_EQ(sale.value(QStringLiteral("会员编号")), card);
        EXPECT_EQ(sale.value(QStringLiteral("储值")), QStringLiteral("60"));
        EXPECT_EQ(sale.value(QStringLiteral("积分")), QStringLiteral("25"));
        // 250 − 250 paid + 100 earned; 800 + 100 spent; 100 − 60 paid from stored value.
        EXPECT_EQ(c.text(QStringLiteral("会员管理"), member, QStringLiteral("积分")), QStringLiteral("100"));
        EXPECT_EQ(c.text(QStringLiteral("会员管理"), member, QStringLiteral("消费金额")), QStringLiteral("900"));
        EXPECT_EQ(c.text(QStringLiteral("会员管理"), member, QStringLiteral("会员储值")), QStringLiteral("40"));
        EXPECT_EQ(c.text(QStringLiteral("会员管理"), member, QStringLiteral("最近消费")), result.saleDate);
        EXPECT_EQ(c.text(QStringLiteral("会员管理"), member, QStringLiteral("会员类别")), QString());
    }
}

// A card that matches no member is no member: the sale is written and no member row changes.
TEST_P(MemberWithoutTier, ACardThatFindsNobodyChangesNoMember)
{
    c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("NT1")}, {QStringLiteral("积分"), QStringLiteral("250")},
                                      {QStringLiteral("会员储值"), QStringLiteral("100")}, {QStringLiteral("所属店铺"), kShop}});
    Cart cart;
    CheckoutState state(cart);
    MemberPricing pricing(c.context, state);
    state.memberCardChanged = [&pricing] { pricing.applyMemberCard(); };
    CartLine line;
    line.id = QString::number(stock);
    line.款号 = QStringLiteral("1001");
    line.数量 = QStringLiteral("1");
    line.吊牌价 = QStringLiteral("125");
    line.折扣 = QStringLiteral("0.8");
    line.金额 = QStringLiteral("100");
    line.结付 = kPayCash;
    cart.append(line);
    computeCartTotals(cart);
    state.open(cart.totals, false);
    state.setText(F::会员卡号x, QStringLiteral("NT"));
    ASSERT_TRUE(confirmCheckout(c.context, cart, state.saleRequest(), SaleHooks{}).written())
        << script.texts().join(u'|').toStdString();
    const auto member = c.rows(QStringLiteral("会员管理")).value(0);
    EXPECT_EQ(member.value(QStringLiteral("积分")), QStringLiteral("250"));
    EXPECT_EQ(member.value(QStringLiteral("会员储值")), QStringLiteral("100"));
    EXPECT_EQ(c.rows(QStringLiteral("销售明细")).value(0).value(QStringLiteral("会员编号")), QString());
}

SHOPDESK_BOTH_BACKENDS(MemberWithoutTier);

} // namespace
