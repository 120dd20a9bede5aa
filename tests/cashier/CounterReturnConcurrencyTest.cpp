// A return and sales of the same item and member at once on two workstations: stock, sold count
// and the member's figures end exactly at what the sales and returns say.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/CheckoutState.h"
#include "cashier/CounterReturn.h"
#include "cashier/LinePrice.h"
#include "cashier/MemberPricing.h"
#include "cashier/SaleWriter.h"
#include "platform/MessageScript.h"

#include <atomic>
#include <thread>

using namespace cashier;
using namespace countertest;
using F = CheckoutField;

namespace {

TEST(CounterReturnConcurrency, ReturnsAndSalesOfOneItemAtOnceLoseNothing)
{
    ClockGuard clock;
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    Counter c{data::Backend::Postgres};
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    MessageScript script;
    const qint64 stock = c.addStock({{QStringLiteral("数量"), QStringLiteral("1000")}});
    c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("V1")},
                                      {QStringLiteral("会员类别"), QStringLiteral("银卡")},
                                      {QStringLiteral("积分"), QStringLiteral("1000")},
                                      {QStringLiteral("消费金额"), QStringLiteral("10000")},
                                      {QStringLiteral("会员储值"), QStringLiteral("500.5")},
                                      {QStringLiteral("所属店铺"), kShop}});
    constexpr int sales = 40, returns = 40;
    // Earlier one-unit sales to the member, to be returned undamaged.
    QList<qint64> sold;
    for (int i = 0; i < returns; ++i) {
        c.insert(QStringLiteral("销售明细"),
                 {{QStringLiteral("款号"), QStringLiteral("1001")}, {QStringLiteral("颜色"), QStringLiteral("白")},
                  {QStringLiteral("尺码"), QStringLiteral("M")},    {QStringLiteral("数量"), QStringLiteral("1")},
                  {QStringLiteral("金额"), QStringLiteral("80")},   {QStringLiteral("现金"), QStringLiteral("79")},
                  {QStringLiteral("储值"), QStringLiteral("1")},    {QStringLiteral("会员编号"), QStringLiteral("V1")},
                  {QStringLiteral("结付方式"), kPayOther},         {QStringLiteral("销售日期"), QStringLiteral("2015-03-10")},
                  {QStringLiteral("所属店铺"), kShop}});
        sold << c.rows(QStringLiteral("销售明细")).last().value(QStringLiteral("id")).toLongLong();
    }

    std::atomic<int> written{0}, returned{0}, ready{0};
    auto open = [&](AppContext &context) {
        const bool opened = c.db.openAnother(context.connection());
        context.currentShop = kShop;
        context.currentUserName = QStringLiteral("收银");
        context.currentAccount = QStringLiteral("sy");
        context.runMode = AppContext::NetworkMode;
        context.shopSettings.销售 = QStringLiteral("2");
        context.shopSettings.抵扣值 = QStringLiteral("100");
        context.discountScheme.商品折扣 = AppContext::FlagOn;
        ++ready;
        while (ready < 2) {
        }
        return opened;
    };
    auto seller = [&] {
        AppContext context;
        const bool opened = open(context);
        Cart cart;
        CheckoutState state(cart);
        MemberPricing pricing(context, state);
        state.notify = [](const QString &) {};
        state.memberCardChanged = [&pricing] { pricing.applyMemberCard(); };
        for (int i = 0; opened && i < sales; ++i) {
            CartLine line;
            line.id = QString::number(stock);
            line.款号 = QStringLiteral("1001");
            line.数量 = QStringLiteral("1");
            line.吊牌价 = QStringLiteral("100");
            line.折扣 = QStringLiteral("0.8");
            line.金额 = QStringLiteral("80");
            line.结付 = kPayCash;
            cart.append(line);
            computeCartTotals(cart);
            state.open(cart.totals, false);
            state.setText(F::会员卡号x, QStringLiteral("V1"));
            state.selectSplitPayment();
            state.setText(F::储值, QStringLiteral("1"));
            state.setText(F::现金, QStringLiteral("79"));
            if (confirmCheckout(context, cart, state.saleRequest(), SaleHooks{}).written())
                ++written;
            cart.removeAll();
        }
        context.connection().close();
    };
    auto returner = [&] {
        AppContext context;
        const bool opened = open(context);
        for (int i = 0; opened && i < returns; ++i) {
            if (applyCounterReturn(context, sold.at(i), false).status == ReturnStatus::Whole)
                ++returned;
        }
        context.connection().close();
    };
    std::thread one(seller), two(returner);
    one.join();
    two.join();
    ASSERT_EQ(written, sales);
    ASSERT_EQ(returned, returns);
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), stock, QStringLiteral("数量")), QString::number(1000 - sales + returns));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), stock, QStringLiteral("已售")), QString::number(sales - returns));
    const auto member = c.rows(QStringLiteral("会员管理")).value(0);
    EXPECT_EQ(member.value(QStringLiteral("积分")), QString::number(1000 + 80 * sales - 80 * returns));
    EXPECT_EQ(member.value(QStringLiteral("消费金额")), QString::number(10000 + 80 * sales - 80 * returns));
    EXPECT_EQ(member.value(QStringLiteral("会员储值")), QStringLiteral("500.5"));
    EXPECT_EQ(c.count(QStringLiteral("退货管理")), returns);
}

} // namespace
