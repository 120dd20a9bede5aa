// On the server: one workstation transfers units of a stock row to another shop while a second
// one sells from the same row. Afterwards the source, the receiver and the sold units add up.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/LinePrice.h"
#include "cashier/SaleWriter.h"
#include "context/AccountRights.h"
#include "platform/MessageScript.h"
#include "stock/StockTransfer.h"

#include <atomic>
#include <thread>

using namespace cashier;
using namespace countertest;

namespace {

TEST(TransferWhileSelling, SourceReceiverAndSoldUnitsAddUp)
{
    ClockGuard clock;
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    Counter c{data::Backend::Postgres};
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    MessageScript script;
    c.insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), kShop}});
    c.insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), QStringLiteral("B店")}});
    const qint64 source = c.addStock({{QStringLiteral("数量"), QStringLiteral("200")}});
    constexpr int transfers = 30, sales = 30;
    std::atomic<int> moved{0}, sold{0}, ready{0};
    const auto open = [&](AppContext &context) {
        const bool opened = c.db.openAnother(context.connection());
        context.currentShop = kShop;
        context.currentUserName = QStringLiteral("站");
        context.runMode = AppContext::NetworkMode;
        context.shopSettings.销售 = QStringLiteral("2");
        context.discountScheme.商品折扣 = AppContext::FlagOn;
        for (int i = 0; i < AccountRights::count; ++i)
            context.accountRights[i] = AppContext::Granted;
        ++ready;
        while (ready < 2) {
        }
        return opened;
    };
    std::thread mover([&] {
        AppContext context;
        const bool opened = open(context);
        for (int i = 0; opened && i < transfers; ++i)
            if (stock::transferStockToShop(context, source, QStringLiteral("2"), QStringLiteral("B店")).ok)
                ++moved;
        context.connection().close();
    });
    std::thread seller([&] {
        AppContext context;
        const bool opened = open(context);
        for (int i = 0; opened && i < sales; ++i) {
            Cart cart;
            CartLine line;
            line.id = QString::number(source);
            line.款号 = QStringLiteral("1001");
            line.数量 = QStringLiteral("1");
            line.金额 = QStringLiteral("80");
            line.结付 = kPayCash;
            cart.append(line);
            computeCartTotals(cart);
            SaleRequest request;
            request.payable = request.received = QStringLiteral("80");
            if (confirmCheckout(context, cart, request, SaleHooks{}).written())
                ++sold;
        }
        context.connection().close();
    });
    mover.join();
    seller.join();
    ASSERT_EQ(moved, transfers);
    ASSERT_EQ(sold, sales);
    const auto rows = c.rows(QStringLiteral("采购入库"));
    ASSERT_EQ(rows.size(), 2); // the source and one copy at the receiver
    EXPECT_EQ(rows[0][QStringLiteral("数量")], QString::number(200 - 2 * transfers - sales));
    EXPECT_EQ(rows[0][QStringLiteral("已售")], QString::number(sales));
    EXPECT_EQ(rows[1][QStringLiteral("数量")], QString::number(2 * transfers));
    EXPECT_EQ(c.count(QStringLiteral("调拨记录")), transfers);
}

} // namespace
