// A member's sale taken back unit by unit at the counter: her points stay whole numbers after every
// unit, and once every unit is back she holds exactly the points, spending and stored value she had
// before the sale; the month's sales ranking counts each returned unit off.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/CheckoutState.h"
#include "cashier/CounterReturn.h"
#include "cashier/MemberPricing.h"
#include "cashier/SaleWriter.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"

#include <atomic>
#include <thread>

using namespace cashier;
using namespace countertest;
using F = CheckoutField;

namespace {

const QDateTime kSaleTime(QDate(2015, 3, 11), QTime(14, 5, 9));

class CounterReturnMember : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        Clock::setFixed(kSaleTime);
        setUp(c.context);
        stock = c.addStock({{QStringLiteral("数量"), QStringLiteral("50")}});
        c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("V1")},
                                          {QStringLiteral("积分"), QStringLiteral("505")},
                                          {QStringLiteral("消费金额"), QStringLiteral("1000")},
                                          {QStringLiteral("会员储值"), QStringLiteral("150")},
                                          {QStringLiteral("所属店铺"), kShop}});
    }
    // A workstation of the shop: points at 10 a unit of money, no member pricing.
    static void setUp(AppContext &context)
    {
        context.shopSettings.销售 = QStringLiteral("2");
        context.shopSettings.抵扣值 = QStringLiteral("10");
        context.shopSettings.积分值 = QStringLiteral("100");
        context.shopSettings.会员共享 = QStringLiteral("假");
    }
    CartLine lineOf(const QString &quantity, const QString &tag, const QString &amount) const
    {
        CartLine line;
        line.id = QString::number(stock);
        line.款号 = QStringLiteral("1001");
        line.颜色 = QStringLiteral("白");
        line.尺码 = QStringLiteral("M");
        line.商品名称 = QStringLiteral("衬衫");
        line.数量 = quantity;
        line.吊牌价 = tag;
        line.折扣 = QStringLiteral("1");
        line.金额 = amount;
        line.结付 = kPayCash;
        return line;
    }
    // Two lines (2 × 180.7 and 3 × 46.2) paid 500: the member's 505 points pay 50, her stored value
    // 100, cash the rest. The points part falls 36.14 and 13.86 on the lines.
    SaleResult sell()
    {
        Cart cart;
        CheckoutState state(cart);
        MemberPricing pricing(c.context, state);
        state.memberCardChanged = [&pricing] { pricing.applyMemberCard(); };
        cart.append(lineOf(QStringLiteral("2"), QStringLiteral("180.7"), QStringLiteral("361.4")));
        cart.append(lineOf(QStringLiteral("3"), QStringLiteral("46.2"), QStringLiteral("138.6")));
        computeCartTotals(cart);
        state.open(cart.totals, false);
        state.setText(F::会员卡号x, QStringLiteral("V1"));
        pricing.useMemberPoints();
        state.setText(F::储值, QStringLiteral("100"));
        state.setText(F::现金, QStringLiteral("350"));
        EXPECT_EQ(state.text(F::积分编辑框), QStringLiteral("50"));
        EXPECT_EQ(state.text(F::实收款), QStringLiteral("500"));
        return confirmCheckout(c.context, cart, state.saleRequest(), SaleHooks{});
    }
    QMap<QString, QString> member() { return c.rows(QStringLiteral("会员管理")).value(0); }
    QString ranked(const QString &month)
    {
        return c.rows(QStringLiteral("销量排行"), data::eq(QStringLiteral("当月时间"), month)).value(0).value(QStringLiteral("已售数量"));
    }

    ClockGuard clock;
    Counter c{GetParam()};
    MessageScript script;
    qint64 stock = 0;
};

TEST_P(CounterReturnMember, ASaleReturnedUnitByUnitGivesBackExactlyWhatItTookAndGave)
{
    const SaleResult sale = sell();
    ASSERT_TRUE(sale.written()) << script.texts().join(u'|').toStdString();
    const auto lines = c.rows(QStringLiteral("销售明细"));
    ASSERT_EQ(lines.size(), 2);
    ASSERT_EQ(lines[0].value(QStringLiteral("积分")), QStringLiteral("36.14"));
    // 5 left + 500 earned; 1000 + 500; 150 − 100.
    ASSERT_EQ(member().value(QStringLiteral("积分")), QStringLiteral("505"));
    ASSERT_EQ(member().value(QStringLiteral("消费金额")), QStringLiteral("1500"));
    ASSERT_EQ(member().value(QStringLiteral("会员储值")), QStringLiteral("50"));
    const QString month = sale.saleDate.left(8);
    ASSERT_EQ(ranked(month), QStringLiteral("5"));

    const qint64 first = lines[0].value(QStringLiteral("id")).toLongLong();
    const qint64 second = lines[1].value(QStringLiteral("id")).toLongLong();
    // The units in an order that mixes partial and whole returns of both lines; damaged or not.
    const struct {
        qint64 line;
        bool damaged;
        ReturnStatus status;
    } units[] = {{second, false, ReturnStatus::Partial},
                 {first, true, ReturnStatus::Partial},
                 {second, true, ReturnStatus::Partial},
                 {first, false, ReturnStatus::Whole},
                 {second, false, ReturnStatus::Whole}};
    int left = 5;
    for (const auto &u : units) {
        SCOPED_TRACE(left);
        ASSERT_EQ(applyCounterReturn(c.context, u.line, u.damaged).status, u.status);
        const QString points = member().value(QStringLiteral("积分"));
        EXPECT_EQ(QString::number(textToInteger(points)), points) << "points must stay whole";
        EXPECT_EQ(ranked(month), QString::number(--left));
    }
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(member().value(QStringLiteral("积分")), QStringLiteral("505"));
    EXPECT_EQ(member().value(QStringLiteral("消费金额")), QStringLiteral("1000"));
    EXPECT_EQ(member().value(QStringLiteral("会员储值")), QStringLiteral("150"));
}

// The returned unit comes off the ranking row of its own sale's month, also when it is returned in a
// later month; rows of other styles, months and shops keep their counts.
TEST_P(CounterReturnMember, AReturnLowersTheRankingOfItsLinesStyleMonthAndShop)
{
    for (const auto &[style, month, shop] : {std::tuple{"1001", "2015-02-", kShop}, std::tuple{"1001", "2015-03-", QStringLiteral("B店")},
                                             std::tuple{"2002", "2015-02-", kShop}, std::tuple{"1001", "2015-01-", kShop}})
        c.insert(QStringLiteral("销量排行"), {{QStringLiteral("款号"), QString::fromUtf8(style)},
                                          {QStringLiteral("当月时间"), QString::fromUtf8(month)},
                                          {QStringLiteral("所属店铺"), shop},
                                          {QStringLiteral("已售数量"), QStringLiteral("3")}});
    c.insert(QStringLiteral("销售明细"), {{QStringLiteral("款号"), QStringLiteral("1001")}, {QStringLiteral("颜色"), QStringLiteral("白")},
                                      {QStringLiteral("尺码"), QStringLiteral("M")},    {QStringLiteral("数量"), QStringLiteral("3")},
                                      {QStringLiteral("金额"), QStringLiteral("240")},  {QStringLiteral("现金"), QStringLiteral("240")},
                                      {QStringLiteral("结付方式"), kPayCash},          {QStringLiteral("销售日期"), QStringLiteral("2015-02-27")},
                                      {QStringLiteral("所属店铺"), kShop}});
    const qint64 line = c.rows(QStringLiteral("销售明细")).value(0).value(QStringLiteral("id")).toLongLong();
    ASSERT_EQ(applyCounterReturn(c.context, line, false).status, ReturnStatus::Partial);
    QStringList counts;
    for (const auto &row : c.rows(QStringLiteral("销量排行")))
        counts << row.value(QStringLiteral("已售数量"));
    EXPECT_EQ(counts, (QStringList{"2", "3", "3", "3"}));
    ASSERT_EQ(applyCounterReturn(c.context, line, true).status, ReturnStatus::Partial);
    EXPECT_EQ(c.rows(QStringLiteral("销量排行")).value(0).value(QStringLiteral("已售数量")), QStringLiteral("1"));
}

// A return that fails leaves the ranking as it was: it belongs to the return's transaction.
TEST_P(CounterReturnMember, AFailedReturnLeavesTheRankingAlone)
{
    const SaleResult sale = sell();
    ASSERT_TRUE(sale.written()) << script.texts().join(u'|').toStdString();
    const qint64 first = c.rows(QStringLiteral("销售明细")).value(0).value(QStringLiteral("id")).toLongLong();
    // The member update is refused by the database after the ranking was lowered.
    if (GetParam() == data::Backend::Sqlite) {
        ASSERT_TRUE(c.conn().execute(data::Sql(
            "CREATE TRIGGER no_member BEFORE UPDATE ON 会员管理 BEGIN SELECT RAISE(ABORT, 'injected'); END")));
    } else {
        ASSERT_TRUE(c.conn().execute(data::Sql(
            "CREATE FUNCTION no_member() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'injected'; END $$ LANGUAGE plpgsql")));
        ASSERT_TRUE(c.conn().execute(data::Sql(
            "CREATE TRIGGER no_member BEFORE UPDATE ON 会员管理 FOR EACH ROW EXECUTE FUNCTION no_member()")));
    }
    EXPECT_EQ(applyCounterReturn(c.context, first, false).status, ReturnStatus::Failed);
    EXPECT_EQ(ranked(sale.saleDate.left(8)), QStringLiteral("5"));
    EXPECT_EQ(c.count(QStringLiteral("退货管理")), 0);
}

// A line stored by an earlier release whose card, style number and colour hold a control character
// (the fields drop them now; such rows stay): its return finds the stock row, the ranking row and
// the member by the cells as stored, so the unit goes back into stock and she gets back her stored
// value and points.
TEST_P(CounterReturnMember, ALineWhoseCellsHoldAControlCharacterIsReturnedInFull)
{
    const QString card = QStringLiteral("V1\u0001"), style = QStringLiteral("1001\u0001"), colour = QStringLiteral("白\u0001");
    QString error;
    const auto store = [&](const QString &table, const data::Pairs &pairs) {
        ASSERT_TRUE(testsupport::TestDatabase::storeAsIs(c.conn(), table, pairs, &error)) << error.toStdString();
    };
    store(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), card},
                                   {QStringLiteral("积分"), QStringLiteral("505")},
                                   {QStringLiteral("消费金额"), QStringLiteral("1000")},
                                   {QStringLiteral("会员储值"), QStringLiteral("150")},
                                   {QStringLiteral("所属店铺"), kShop}});
    store(QStringLiteral("采购入库"), {{QStringLiteral("款号"), style},   {QStringLiteral("颜色"), colour},
                                   {QStringLiteral("尺码"), QStringLiteral("M")}, {QStringLiteral("数量"), QStringLiteral("5")},
                                   {QStringLiteral("已售"), QStringLiteral("1")}, {QStringLiteral("所属店铺"), kShop}});
    store(QStringLiteral("销量排行"), {{QStringLiteral("款号"), style},
                                   {QStringLiteral("当月时间"), QStringLiteral("2015-02-")},
                                   {QStringLiteral("已售数量"), QStringLiteral("3")},
                                   {QStringLiteral("所属店铺"), kShop}});
    // Two lines of one receipt: 60 paid with 50 stored value and 10 in points, and 40 in cash.
    for (const auto &[amount, stored, points, cash] : {std::tuple{"60", "50", "10", "0"}, std::tuple{"40", "0", "0", "40"}})
        store(QStringLiteral("销售明细"), {{QStringLiteral("款号"), style},
                                       {QStringLiteral("颜色"), colour},
                                       {QStringLiteral("尺码"), QStringLiteral("M")},
                                       {QStringLiteral("数量"), QStringLiteral("1")},
                                       {QStringLiteral("金额"), QString::fromLatin1(amount)},
                                       {QStringLiteral("储值"), QString::fromLatin1(stored)},
                                       {QStringLiteral("积分"), QString::fromLatin1(points)},
                                       {QStringLiteral("现金"), QString::fromLatin1(cash)},
                                       {QStringLiteral("结付方式"), kPayCash},
                                       {QStringLiteral("会员编号"), card},
                                       {QStringLiteral("小票单号"), QStringLiteral("7001")},
                                       {QStringLiteral("销售日期"), QStringLiteral("2015-02-27")},
                                       {QStringLiteral("所属店铺"), kShop}});
    const auto lines = c.rows(QStringLiteral("销售明细"));
    ASSERT_EQ(lines.size(), 2);
    ASSERT_EQ(lines[0].value(QStringLiteral("会员编号")), card); // read back as stored

    ASSERT_EQ(applyCounterReturn(c.context, lines[0].value(QStringLiteral("id")).toLongLong(), false).status, ReturnStatus::Whole);
    const auto stock = c.rows(QStringLiteral("采购入库"), data::eq(QStringLiteral("款号"), style));
    ASSERT_EQ(stock.size(), 1);
    EXPECT_EQ(stock[0].value(QStringLiteral("数量")), QStringLiteral("6"));
    EXPECT_EQ(stock[0].value(QStringLiteral("已售")), QStringLiteral("0"));
    EXPECT_EQ(c.rows(QStringLiteral("销量排行")).value(0).value(QStringLiteral("已售数量")), QStringLiteral("2"));
    const auto her = c.rows(QStringLiteral("会员管理"), data::eq(QStringLiteral("会员卡号"), card));
    ASSERT_EQ(her.size(), 1);
    EXPECT_EQ(her[0].value(QStringLiteral("会员储值")), QStringLiteral("200"));
    // 10 in points at 10 a unit come back; the 60 the line earned go.
    EXPECT_EQ(her[0].value(QStringLiteral("积分")), QStringLiteral("545"));
    EXPECT_EQ(her[0].value(QStringLiteral("消费金额")), QStringLiteral("940"));
    // The member V1 of the fixture, whose card differs by the control character only, is untouched.
    EXPECT_EQ(member().value(QStringLiteral("会员储值")), QStringLiteral("150"));
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 1);
    EXPECT_EQ(c.rows(QStringLiteral("退货管理")).value(0).value(QStringLiteral("颜色")), colour);
}

SHOPDESK_BOTH_BACKENDS(CounterReturnMember);

// Two workstations take back the units of one sale at the same time: each return reads what is left
// of the sale before it gives points back, so the member still ends exactly where she started.
class CounterReturnMemberRace : public CounterReturnMember {};

TEST_P(CounterReturnMemberRace, TwoWorkstationsReturningOneSaleAtOnce)
{
    const SaleResult sale = sell();
    ASSERT_TRUE(sale.written()) << script.texts().join(u'|').toStdString();
    const auto lines = c.rows(QStringLiteral("销售明细"));
    const qint64 first = lines[0].value(QStringLiteral("id")).toLongLong();
    const qint64 second = lines[1].value(QStringLiteral("id")).toLongLong();
    std::atomic<int> ready{0}, returned{0};
    auto workstation = [&](qint64 line, int units) {
        AppContext context;
        const bool opened = c.db.openAnother(context.connection());
        context.currentShop = kShop;
        context.currentAccount = QStringLiteral("sy");
        context.runMode = AppContext::NetworkMode;
        setUp(context);
        ++ready;
        while (ready < 2) {
        }
        for (int i = 0; opened && i < units; ++i)
            if (applyCounterReturn(context, line, i % 2 == 0).status != ReturnStatus::Failed)
                ++returned;
        context.connection().close();
    };
    std::thread one(workstation, first, 2), two(workstation, second, 3);
    one.join();
    two.join();
    ASSERT_EQ(returned, 5);
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(member().value(QStringLiteral("积分")), QStringLiteral("505"));
    EXPECT_EQ(member().value(QStringLiteral("消费金额")), QStringLiteral("1000"));
    EXPECT_EQ(member().value(QStringLiteral("会员储值")), QStringLiteral("150"));
    EXPECT_EQ(ranked(sale.saleDate.left(8)), QStringLiteral("0"));
}

INSTANTIATE_TEST_SUITE_P(Postgres, CounterReturnMemberRace, ::testing::Values(data::Backend::Postgres),
                         testsupport::backendParamName);

} // namespace
