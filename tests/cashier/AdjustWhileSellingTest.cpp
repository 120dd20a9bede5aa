// On the server: one workstation adjusts a stock row while a second one sells from it. The sale has
// taken its units but not yet committed when the adjustment reads the row, so the adjustment saw the
// stock before the sale; the stored stock must still end as start - sold + change.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/SaleWriter.h"
#include "context/AccountRights.h"
#include "platform/MessageScript.h"
#include "stock/StockAdjust.h"

#include <atomic>
#include <thread>

using namespace cashier;
using namespace countertest;

namespace {

TEST(AdjustWhileSelling, TheStoredStockIsStartMinusSoldPlusChange)
{
    ClockGuard clock;
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    Counter c{data::Backend::Postgres};
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    MessageScript script;
    const qint64 row = c.addStock({{QStringLiteral("数量"), QStringLiteral("10")}});
    // Sessions of this database waiting for a lock, also for another transaction's row lock (which
    // pg_locks shows without a database).
    const auto waiting = [&c](int n) {
        data::RecordSet rs(c.conn());
        bool met = false;
        for (long poll = 0; poll < 200000 && !met; ++poll)
            met = rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM pg_stat_activity "
                                                   "WHERE datname = current_database() AND wait_event_type = 'Lock'")))
                  && rs.integer(QStringLiteral("n")) >= n;
        return met;
    };
    const auto workstation = [&c](AppContext &context) {
        const bool opened = c.db.openAnother(context.connection());
        context.currentShop = kShop;
        context.currentUserName = QStringLiteral("站");
        context.currentAccount = QStringLiteral("zz");
        context.runMode = AppContext::NetworkMode;
        context.shopSettings.销售 = QStringLiteral("2");
        context.discountScheme.商品折扣 = AppContext::FlagOn;
        for (int i = 0; i < AccountRights::count; ++i)
            context.accountRights[i] = AppContext::Granted;
        return opened;
    };

    // The sale's lines cannot be written while a third connection holds the sales table: the sale
    // waits there with its two units taken from the row and its transaction open.
    data::Connection holder;
    ASSERT_TRUE(c.db.openAnother(holder));
    data::Transaction hold = holder.transaction();
    ASSERT_TRUE(hold.isActive());
    ASSERT_TRUE(holder.execute(data::Sql(QStringLiteral("LOCK TABLE \"销售明细\" IN SHARE MODE"))));

    std::atomic<bool> sold{false};
    std::thread seller([&] {
        AppContext context;
        if (!workstation(context))
            return;
        Cart cart;
        CartLine line;
        line.id = QString::number(row);
        line.款号 = QStringLiteral("1001");
        line.数量 = QStringLiteral("2");
        line.金额 = QStringLiteral("160");
        line.结付 = kPayCash;
        cart.append(line);
        computeCartTotals(cart);
        SaleRequest request;
        request.payable = request.received = QStringLiteral("160");
        sold = confirmCheckout(context, cart, request, SaleHooks{}).written();
        context.connection().close();
    });
    const bool saleWaits = waiting(1);
    EXPECT_TRUE(saleWaits) << "the sale never waited";

    stock::StockAdjustResult adjusted;
    std::thread adjuster([&] {
        AppContext context;
        if (!workstation(context))
            return;
        adjusted = stock::applyStockAdjust(context, row, {QStringLiteral("+1"), QStringLiteral("40"), QStringLiteral("100"),
                                                          QStringLiteral("0.8"), QString(), QStringLiteral("盘点")});
        context.connection().close();
    });
    // The adjustment has read the row (10) and waits for the sale's lock on it.
    EXPECT_TRUE(saleWaits && waiting(2)) << "the adjustment never waited for the sale";
    EXPECT_TRUE(hold.commit());
    seller.join();
    adjuster.join();

    ASSERT_TRUE(sold);
    ASSERT_TRUE(adjusted.ok) << adjusted.message.toStdString();
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), row, QStringLiteral("数量")), QStringLiteral("9"));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), row, QStringLiteral("已售")), QStringLiteral("2"));
    EXPECT_EQ(adjusted.quantity, QStringLiteral("9"));
    const auto history = c.rows(QStringLiteral("商品历史"));
    ASSERT_EQ(history.size(), 1);
    EXPECT_EQ(history[0][QStringLiteral("当前总数")], QStringLiteral("9"));
}

} // namespace
