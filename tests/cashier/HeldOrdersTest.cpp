// Held orders: numbers per shop, the stored lines and totals, the list, deleting, loading an order
// back into the cart, a hold that fails as a whole, and no side effects until the restored cart is
// sold; on the server, two workstations holding at once get different numbers.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/HeldOrders.h"
#include "cashier/HeldOrdersWindow.h"
#include "lists/ReportList.h"
#include "platform/MessageScript.h"

#include <QSet>
#include <atomic>
#include <thread>

using namespace cashier;
using namespace countertest;

namespace {

CartLine cartLine(const QString &id, const QString &quantity, const QString &amount, const QString &name = QStringLiteral("衬衫"))
{
    CartLine line;
    line.id = id;
    line.商品条码 = QStringLiteral("690000000001") + id;
    line.分类 = QStringLiteral("上衣");
    line.款号 = QStringLiteral("K") + id;
    line.商品名称 = name;
    line.颜色 = QStringLiteral("白");
    line.尺码 = QStringLiteral("M");
    line.数量 = quantity;
    line.单位 = QStringLiteral("件");
    line.吊牌价 = QStringLiteral("100");
    line.折扣 = QStringLiteral("0.8");
    line.金额 = amount;
    line.导购员 = QStringLiteral("小王");
    line.会员卡号 = QStringLiteral("VIP1");
    line.结付 = kPayCash;
    line.特价 = QStringLiteral("√");
    line.备注 = QStringLiteral("满[100]减[10]");
    return line;
}

class HeldOrdersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(9, 5, 0)));
        ASSERT_TRUE(counter.ok()) << counter.db.error().toStdString();
    }
    AppContext &context() { return counter.context; }
    QString hold(const QList<CartLine> &lines)
    {
        cart.replaceAll(lines);
        const HoldResult result = holdOrder(context(), cart);
        EXPECT_EQ(result.status, HoldStatus::Held);
        return result.number;
    }
    QStringList listedNumbers()
    {
        QStringList numbers;
        for (const QStringList &row : listHeldOrders(context()).rows)
            numbers << row.value(0);
        return numbers;
    }

    ClockGuard clock;
    Counter counter{data::Backend::Sqlite};
    Cart cart;
    MessageScript script;
};

TEST_F(HeldOrdersTest, NumbersGrowPerShopAndAreNeverGivenTwice)
{
    const QList<CartLine> one{cartLine("1", "1", "80")};
    EXPECT_EQ(hold(one), "1");
    EXPECT_EQ(hold(one), "2");
    EXPECT_EQ(hold(one), "3");
    ASSERT_TRUE(deleteHeldOrder(context(), QStringLiteral("3")));
    EXPECT_EQ(hold(one), "4");

    // Another shop of the database starts at 1; deleting its order 1 keeps this shop's order 1.
    context().currentShop = QStringLiteral("B店");
    EXPECT_EQ(hold(one), "1");
    ASSERT_TRUE(deleteHeldOrder(context(), QStringLiteral("1")));
    EXPECT_TRUE(listedNumbers().isEmpty());
    context().currentShop = kShop;
    EXPECT_EQ(listedNumbers(), (QStringList{"1", "2", "4"}));
}

TEST_F(HeldOrdersTest, AnOrderStoresEveryLineWithItsTotalsAndListsOnce)
{
    hold({cartLine("7", "2", "99.5"), cartLine("3", "1", "10"), cartLine("5", "1", "12.9", QStringLiteral("O'Neil,衬衫=长"))});
    const auto rows = counter.rows(QStringLiteral("提交挂单"));
    ASSERT_EQ(rows.size(), 3);
    QStringList numbers, totals;
    for (const auto &r : rows) {
        numbers << r.value(QStringLiteral("挂单号")) + u'/' + r.value(QStringLiteral("真挂单号"));
        totals << r.value(QStringLiteral("g总单数"), r.value(QStringLiteral("G总单数"))) + u'/'
                      + r.value(QStringLiteral("g总金额"), r.value(QStringLiteral("G总金额")));
    }
    EXPECT_EQ(numbers, (QStringList{"1/1", "/1", "/1"}));
    EXPECT_EQ(totals, (QStringList{"4/121", "4/121", "4/121"})); // whole parts: 2+1+1, 99+10+12
    EXPECT_EQ(rows.at(0).value(QStringLiteral("结付方式")), QStringLiteral("现金"));
    EXPECT_EQ(rows.at(0).value(QStringLiteral("备注")), QStringLiteral("√"));
    EXPECT_EQ(rows.at(2).value(QStringLiteral("商品名称")), QStringLiteral("O'Neil,衬衫=长"));

    const HeldOrderRows listed = listHeldOrders(context());
    ASSERT_EQ(listed.rows.size(), 1);
    EXPECT_EQ(listed.rows.at(0), (QStringList{"1", "2015-03-11", "衬衫", "上衣", "K7", "4", "121", "√"}));

    // Back in the cart: the lines by ascending 编号, the held prices, no card and no remark.
    const HeldOrderLines back = heldOrderLines(context(), QStringLiteral("1"));
    ASSERT_TRUE(back.ok);
    QStringList ids, amounts;
    for (const CartLine &l : back.lines) {
        ids << l.id;
        amounts << l.金额;
        EXPECT_TRUE(l.会员卡号.isEmpty());
        EXPECT_TRUE(l.备注.isEmpty());
    }
    EXPECT_EQ(ids, (QStringList{"3", "5", "7"}));
    EXPECT_EQ(amounts, (QStringList{"10", "12.9", "99.5"}));
    EXPECT_EQ(back.lines.at(1).商品名称, QStringLiteral("O'Neil,衬衫=长"));
}

TEST_F(HeldOrdersTest, TheTotalsAreTheWholePartsOfTheLines)
{
    hold({cartLine("1", "2", "99.5"), cartLine("2", "1", "10")});
    const HeldOrderRows listed = listHeldOrders(context());
    ASSERT_EQ(listed.rows.size(), 1);
    EXPECT_EQ(listed.rows.at(0).mid(5, 2), (QStringList{"3", "109"}));
}

// A statement refused after the first line: nothing of the order is stored and the cart stays.
TEST_F(HeldOrdersTest, AHoldThatFailsHoldsNothingAndKeepsTheCart)
{
    ASSERT_TRUE(counter.conn().execute(data::Sql(
        "CREATE TRIGGER refuse_second AFTER INSERT ON 提交挂单 WHEN (SELECT COUNT(*) FROM 提交挂单) > 1 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    cart.replaceAll({cartLine("1", "1", "80"), cartLine("2", "1", "50")});
    holdCurrentOrder(context(), cart, nullptr);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("挂单没有成功，前台列表保持不变，请检查数据库连接后重试！")});
    EXPECT_EQ(cart.count(), 2);
    EXPECT_EQ(counter.count(QStringLiteral("提交挂单")), 0);
    EXPECT_EQ(counter.count(QStringLiteral("挂单号")), 0);
}

TEST_F(HeldOrdersTest, HoldingEmptiesTheCartAndSaysTheNumber)
{
    holdCurrentOrder(context(), cart, nullptr);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("暂无数据！")});
    cart.replaceAll({cartLine("1", "1", "80")});
    script.clear();
    holdCurrentOrder(context(), cart, nullptr);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("挂单成功！挂单号【1】")});
    EXPECT_TRUE(cart.isEmpty());
}

TEST_F(HeldOrdersTest, TheWindowAsksBeforeItReplacesTheCartAndDeletesFromItsMenu)
{
    hold({cartLine("2", "1", "50"), cartLine("1", "2", "160")});
    hold({cartLine("9", "1", "30")});
    const QList<CartLine> serving{cartLine("4", "1", "70")};
    cart.replaceAll(serving);

    const struct {
        bool yes;
        QStringList ids;
        QString sum;
    } cases[] = {{false, {"4"}, "70"}, {true, {"1", "2"}, "210"}};
    for (const auto &c : cases) {
        cart.replaceAll(serving);
        HeldOrdersWindow window(context(), cart);
        ASSERT_EQ(window.list()->rowCount(), 2);
        window.list()->selectRow(0);
        script.clear();
        script.queueAnswers({c.yes});
        window.restoreHeldOrder();
        ASSERT_EQ(script.messages().size(), 1);
        EXPECT_EQ(script.messages().at(0).title, QStringLiteral("恢复挂单"));
        EXPECT_EQ(script.messages().at(0).text, QStringLiteral("恢复挂单将会清空前台列表数据！"));
        QStringList ids;
        for (const CartLine &l : cart.lines())
            ids << l.id;
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(cart.amountSum(), c.sum);
        EXPECT_EQ(window.result(), c.yes ? QDialog::Accepted : QDialog::Rejected);
    }
    // A restored order stays listed until it is deleted.
    HeldOrdersWindow window(context(), cart);
    EXPECT_EQ(window.list()->rowCount(), 2);
    window.list()->selectRow(1);
    window.deleteHeldOrder();
    ASSERT_EQ(window.list()->rowCount(), 1);
    EXPECT_EQ(window.list()->cellText(0, 0), QStringLiteral("1"));
}

// Holding, listing, restoring and deleting write only the held-order tables.
TEST_F(HeldOrdersTest, HeldOrdersTouchNothingElse)
{
    const qint64 stock = counter.addStock({});
    counter.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("VIP1")},
                                                {QStringLiteral("积分"), QStringLiteral("100")},
                                                {QStringLiteral("会员储值"), QStringLiteral("50")},
                                                {QStringLiteral("所属店铺"), kShop}});
    hold({cartLine(QString::number(stock), "2", "160")});
    HeldOrdersWindow window(context(), cart);
    window.list()->selectRow(0);
    script.queueAnswers({true});
    window.restoreHeldOrder();
    ASSERT_EQ(cart.count(), 1);
    hold(cart.lines());
    EXPECT_EQ(counter.text(QStringLiteral("采购入库"), stock, QStringLiteral("数量")), QStringLiteral("5"));
    EXPECT_EQ(counter.text(QStringLiteral("采购入库"), stock, QStringLiteral("已售")), QStringLiteral("0"));
    const auto member = counter.rows(QStringLiteral("会员管理")).value(0);
    EXPECT_EQ(member.value(QStringLiteral("积分")), QStringLiteral("100"));
    EXPECT_EQ(member.value(QStringLiteral("会员储值")), QStringLiteral("50"));
    EXPECT_EQ(counter.count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(counter.count(QStringLiteral("销量排行")), 0);
}

// Two workstations of one shop hold orders at once: every order gets its own number.
TEST(HeldOrdersOnTheServer, TwoWorkstationsHoldingAtOnceGetDifferentNumbers)
{
    Counter counter{data::Backend::Postgres};
    ASSERT_TRUE(counter.ok()) << counter.db.error().toStdString();
    constexpr int kEach = 10;
    QStringList numbers[2];
    std::atomic<int> failures{0};
    auto station = [&](int k) {
        AppContext context;
        if (!counter.db.openAnother(context.connection())) {
            ++failures;
            return;
        }
        context.currentShop = kShop;
        context.runMode = AppContext::NetworkMode;
        Cart cart;
        cart.replaceAll({cartLine("1", "1", "80")});
        for (int i = 0; i < kEach; ++i) {
            const HoldResult result = holdOrder(context, cart);
            if (result.status != HoldStatus::Held)
                ++failures;
            numbers[k] << result.number;
        }
        context.connection().close();
    };
    std::thread a(station, 0), b(station, 1);
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
    QSet<QString> all(numbers[0].begin(), numbers[0].end());
    all.unite(QSet<QString>(numbers[1].begin(), numbers[1].end()));
    EXPECT_EQ(all.size(), 2 * kEach);
    EXPECT_EQ(counter.count(QStringLiteral("挂单号")), 2 * kEach);
    EXPECT_EQ(counter.count(QStringLiteral("提交挂单"), data::eq(QStringLiteral("挂单号"), QString::number(2 * kEach))), 1);
}

} // namespace
