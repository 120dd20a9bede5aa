#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/CartScanning.h"
#include "cashier/SaleWriter.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"
#include "printing/RecordingReceiptPrinter.h"

#include <atomic>
#include <functional>
#include <thread>

using namespace cashier;
using namespace countertest;

namespace {

const QDateTime kSaleTime(QDate(2015, 3, 11), QTime(14, 5, 9));

CartLine lineOf(qint64 id, const QString &styleNo, const QString &name, const QString &quantity,
                const QString &amount)
{
    CartLine line;
    line.id = QString::number(id);
    line.商品条码 = QStringLiteral("69") + QString::number(id);
    line.分类 = QStringLiteral("上衣");
    line.款号 = styleNo;
    line.商品名称 = name;
    line.颜色 = QStringLiteral("白");
    line.尺码 = QStringLiteral("M");
    line.数量 = quantity;
    line.单位 = QStringLiteral("件");
    line.吊牌价 = QStringLiteral("100");
    line.折扣 = QStringLiteral("0.8");
    line.金额 = amount;
    line.结付 = kPayCash;
    return line;
}

struct ReceiptCase {
    QDateTime time;
    const char *number;
};

class ReceiptNumber : public ::testing::TestWithParam<ReceiptCase> {};

TEST_P(ReceiptNumber, IsBuiltFromOneClockReading)
{
    EXPECT_EQ(receiptNumber(GetParam().time), QString::fromLatin1(GetParam().number));
}

INSTANTIATE_TEST_SUITE_P(Table, ReceiptNumber,
                         ::testing::Values(ReceiptCase{kSaleTime, "58985141183"},
                                           ReceiptCase{QDateTime(QDate(2020, 12, 31), QTime(23, 59, 59)), "05959233112"},
                                           ReceiptCase{QDateTime(QDate(2009, 1, 1), QTime(0, 0, 0)), "98080808181"}));

TEST(SaleTexts, SaleTimeHasNoLeadingZerosAndUnderpaidNamesTheThreeFields)
{
    EXPECT_EQ(saleTimeText(QDateTime(QDate(2015, 3, 11), QTime(9, 5))), QStringLiteral("9:5"));
    EXPECT_EQ(underpaidText(QStringLiteral("100"), QStringLiteral("99.9"), QStringLiteral("0.1")),
              QStringLiteral("应付款金额【100】\r\n实付款金额【99.9】\r\n未收款金额【0.1】"));
    EXPECT_EQ(underpaidText(QStringLiteral("100"), QStringLiteral("99.9999999"), QString()), QString());
    EXPECT_EQ(underpaidText(QStringLiteral("100"), QStringLiteral("120"), QString()), QString());
}

struct AlarmCase {
    const char *name;
    qint64 rest;
    const char16_t *rowSwitch, *rowUpper, *rowLower, *shopSwitch;
    QStringList questions;
};

class AlarmQuestions : public ::testing::TestWithParam<AlarmCase> {};

TEST_P(AlarmQuestions, FollowTheSwitchesAndLimits)
{
    const AlarmCase c = GetParam();
    EXPECT_EQ(stockAlarmQuestions(QStringLiteral("衬衫"), c.rest, QString::fromUtf16(c.rowSwitch),
                                  QString::fromUtf16(c.rowUpper), QString::fromUtf16(c.rowLower),
                                  QString::fromUtf16(c.shopSwitch), QStringLiteral("20"), QStringLiteral("3")),
              c.questions)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AlarmQuestions,
    ::testing::Values(
        AlarmCase{"own lower", 1, u"真", u"10", u"2", u"假", {QStringLiteral("【衬衫】库存数低于自身下限,是否查看库存报警报表")}},
        AlarmCase{"shop lower", 1, u"", u"10", u"2", u"真", {QStringLiteral("【衬衫】库存数低于下限,是否查看库存报警报表")}},
        AlarmCase{"shop upper", 25, u"假", u"", u"", u"真", {QStringLiteral("【衬衫】库存数高于上限,是否查看库存报警报表")}},
        AlarmCase{"neither switch", -5, u"", u"10", u"2", u"", {}},
        AlarmCase{"at the limits", 2, u"真", u"2", u"2", u"", {}},
        AlarmCase{"own, empty upper", 1, u"真", u"", u"0", u"", {QStringLiteral("【衬衫】库存数高于自身上限,是否查看库存报警报表")}},
        AlarmCase{"both, in order", 5, u"真", u"3", u"8", u"",
                  {QStringLiteral("【衬衫】库存数高于自身上限,是否查看库存报警报表"),
                   QStringLiteral("【衬衫】库存数低于自身下限,是否查看库存报警报表")}}));

TEST(SplitSpread, SharesFollowTheAmountsAndAddUpToWhatWasEntered)
{
    const SplitPayment entered{QStringLiteral("100"), QStringLiteral("50"), QString(), QStringLiteral("0"), QStringLiteral("10")};
    const QList<SplitPayment> spread = spreadSplit(entered, {QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("100")});
    ASSERT_EQ(spread.size(), 3);
    EXPECT_EQ(spread[1].现金, QStringLiteral("33.33"));
    EXPECT_EQ(spread[0].现金, QStringLiteral("33.34"));
    EXPECT_EQ(spread[2].银行, QStringLiteral("16.67"));
    EXPECT_EQ(spread[0].银行, QStringLiteral("16.66"));
    EXPECT_EQ(spread[0].积分, QString());
    EXPECT_EQ(spread[2].优惠券, QStringLiteral("0"));
    double cash = 0, stored = 0;
    for (const SplitPayment &s : spread) {
        cash += textToNumber(s.现金);
        stored += textToNumber(s.储值);
    }
    EXPECT_EQ(numberToText(cash), QStringLiteral("100"));
    EXPECT_EQ(numberToText(stored), QStringLiteral("10"));
    EXPECT_EQ(spreadSplit(entered, {QStringLiteral("80")}), QList<SplitPayment>{entered});
    const QList<SplitPayment> zero = spreadSplit(entered, {QStringLiteral("0"), QStringLiteral("0")});
    EXPECT_EQ(zero[0].现金, QStringLiteral("100"));
    EXPECT_EQ(zero[1].现金, QStringLiteral("0"));
}

struct SpreadCase {
    const char *name;
    SplitPayment entered;
    QStringList amounts;
    QStringList cash; // the cash part line by line, when the case spells it out
};

void PrintTo(const SpreadCase &c, std::ostream *os)
{
    *os << c.name;
}

class SplitSpreadCases : public ::testing::TestWithParam<SpreadCase> {};

// In cents: no part below 0, every part adds up to what was entered, every line's parts to the
// line's share of what was paid (up or down by less than a cent).
TEST_P(SplitSpreadCases, NoPartIsNegativeAndEveryLineAddsUpToItsShare)
{
    const SpreadCase c = GetParam();
    const QList<SplitPayment> spread = spreadSplit(c.entered, c.amounts);
    ASSERT_EQ(spread.size(), c.amounts.size());
    QString SplitPayment::*const parts[] = {&SplitPayment::现金, &SplitPayment::银行, &SplitPayment::积分,
                                            &SplitPayment::优惠券, &SplitPayment::储值};
    auto cents = [](const QString &text) { return std::llround(textToNumber(text) * 100); };
    qint64 paid = 0, total = 0;
    for (auto part : parts)
        paid += cents(c.entered.*part);
    for (const QString &a : c.amounts)
        total += cents(a);
    for (auto part : parts) {
        qint64 sum = 0;
        for (const SplitPayment &line : spread) {
            EXPECT_EQ((line.*part).isEmpty(), (c.entered.*part).isEmpty()) << c.name;
            EXPECT_GE(cents(line.*part), 0) << c.name << " " << (line.*part).toStdString();
            sum += cents(line.*part);
        }
        EXPECT_EQ(sum, cents(c.entered.*part)) << c.name;
    }
    for (int i = 0; i < spread.size(); ++i) {
        qint64 line = 0;
        for (auto part : parts)
            line += cents(spread[i].*part);
        const double share = double(paid) * double(cents(c.amounts[i])) / double(total);
        EXPECT_LT(std::fabs(double(line) - share), 1.0) << c.name << " line " << i;
    }
    if (!c.cash.isEmpty()) {
        QStringList cash;
        for (const SplitPayment &line : spread)
            cash << line.现金;
        EXPECT_EQ(cash, c.cash) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitSpreadCases,
    ::testing::Values(
        SpreadCase{"change over a free first line",
                   {QStringLiteral("1001"), QString(), QString(), QString(), QString()},
                   {QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10"),
                    QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("10")},
                   {QStringLiteral("0"), QStringLiteral("125.13"), QStringLiteral("125.13"), QStringLiteral("125.13"),
                    QStringLiteral("125.13"), QStringLiteral("125.12"), QStringLiteral("125.12"), QStringLiteral("125.12"),
                    QStringLiteral("125.12")}},
        SpreadCase{"a small part over large lines",
                   {QStringLiteral("0.05"), QStringLiteral("100"), QStringLiteral("0.01"), QStringLiteral("0.01"), QStringLiteral("3")},
                   {QStringLiteral("33.33"), QStringLiteral("0"), QStringLiteral("66.67"), QStringLiteral("0.01"), QStringLiteral("3.06")},
                   {}},
        SpreadCase{"one decimal, three lines",
                   {QStringLiteral("100"), QStringLiteral("218.4"), QString(), QStringLiteral("0.4"), QString()},
                   {QStringLiteral("99.9"), QStringLiteral("118.5"), QStringLiteral("100.4")},
                   {}},
        SpreadCase{"a free last line",
                   {QStringLiteral("7"), QStringLiteral("0"), QString(), QString(), QStringLiteral("0.01")},
                   {QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("0")},
                   {QStringLiteral("2.34"), QStringLiteral("2.33"), QStringLiteral("2.33"), QStringLiteral("0")}}));

// A sale on a shop database.
class SaleTest : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        Clock::setFixed(kSaleTime);
        hooks.receiptPrinter = &printer;
    }
    SaleResult sell(const QString &payable, const SaleMember &member = {}, bool split = false,
                    const SplitPayment &parts = {})
    {
        SaleRequest request;
        request.payable = payable;
        request.received = payable;
        request.change = QStringLiteral("0");
        request.split = split;
        request.splitFields = parts;
        request.member = member;
        return confirmCheckout(c.context, cart, request, hooks);
    }
    data::Sql shopRows() { return data::eq(QStringLiteral("所属店铺"), kShop); }

    ClockGuard clock;
    Counter c{GetParam()};
    Cart cart;
    MessageScript script;
    printing::RecordingReceiptPrinter printer;
    SaleHooks hooks;
};

TEST_P(SaleTest, ThreeLinesWriteOneReceiptTheRankingAndTheStock)
{
    c.context.receiptPrintFlag = QStringLiteral("真");
    const qint64 a = c.addStock({{QStringLiteral("数量"), QStringLiteral("2")}, {QStringLiteral("已售"), QStringLiteral("4")}});
    const qint64 b = c.addStock({{QStringLiteral("尺码"), QStringLiteral("L")}});
    const qint64 other = c.addStock({{QStringLiteral("款号"), QStringLiteral("2002")}, {QStringLiteral("名称"), QStringLiteral("T恤,白's")}});
    cart.append(lineOf(a, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("3"), QStringLiteral("240")));
    cart.append(lineOf(b, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("2"), QStringLiteral("160")));
    CartLine odd = lineOf(other, QStringLiteral("2002"), QStringLiteral("T恤,白's"), QStringLiteral("1"), QStringLiteral("80"));
    odd.备注 = QStringLiteral("a=b,'c'");
    odd.导购员 = QStringLiteral("O'Neil");
    cart.append(odd);

    // Network mode dates the sale by the server's clock, which is years away from the workstation's
    // fixed one; the receipt number and time stay local.
    const bool local = GetParam() == data::Backend::Sqlite;
    const QString dayBefore = local ? QString() : testsupport::serverDate(c.conn());
    const SaleResult result = sell(QStringLiteral("480"));
    ASSERT_EQ(result.status, SaleStatus::Written) << result.message.toStdString();
    EXPECT_EQ(result.receiptNo, QStringLiteral("58985141183"));
    const QString dayAfter = local ? QString() : testsupport::serverDate(c.conn());

    const auto sales = c.rows(QStringLiteral("销售明细"));
    ASSERT_EQ(sales.size(), 3);
    const QString date = local ? QStringLiteral("2015-03-11")
                               : (sales[0][QStringLiteral("销售日期")] == dayAfter ? dayAfter : dayBefore);
    if (!local) {
        ASSERT_NE(date, QStringLiteral("2015-03-11"));
    }
    EXPECT_EQ(result.saleDate, date);
    for (const auto &row : sales) {
        EXPECT_EQ(row[QStringLiteral("小票单号")], QStringLiteral("58985141183"));
        EXPECT_EQ(row[QStringLiteral("销售日期")], date);
        EXPECT_EQ(row[QStringLiteral("销售时间")], QStringLiteral("14:5"));
        EXPECT_EQ(row[QStringLiteral("收银员")], QStringLiteral("张三"));
        EXPECT_EQ(row[QStringLiteral("所属店铺")], kShop);
        EXPECT_EQ(row[QStringLiteral("现金")], QString());
        EXPECT_EQ(row[QStringLiteral("进货价")], QStringLiteral("40"));
        EXPECT_EQ(row[QStringLiteral("商品折扣")], QStringLiteral("0.8"));
        EXPECT_EQ(row[QStringLiteral("供货来源")], QStringLiteral("甲厂"));
        EXPECT_EQ(row[QStringLiteral("入库日期")], QStringLiteral("2015-03-01"));
    }
    EXPECT_EQ(sales[0][QStringLiteral("数量")], QStringLiteral("3"));
    EXPECT_EQ(sales[0][QStringLiteral("拼音检索")], QStringLiteral("cs"));
    EXPECT_EQ(sales[2][QStringLiteral("商品名称")], QStringLiteral("T恤,白's"));
    EXPECT_EQ(sales[2][QStringLiteral("备注")], QStringLiteral("a=b,'c'"));
    EXPECT_EQ(sales[2][QStringLiteral("导购员")], QStringLiteral("O'Neil"));
    EXPECT_EQ(sales[2][QStringLiteral("拼音检索")], QStringLiteral("tx,b's"));

    const auto ranking = c.rows(QStringLiteral("销量排行"));
    ASSERT_EQ(ranking.size(), 2);
    EXPECT_EQ(ranking[0][QStringLiteral("款号")], QStringLiteral("1001"));
    EXPECT_EQ(ranking[0][QStringLiteral("已售数量")], QStringLiteral("5"));
    EXPECT_EQ(ranking[0][QStringLiteral("当月时间")], date.left(8));
    EXPECT_EQ(ranking[0][QStringLiteral("成本价")], QStringLiteral("40"));
    EXPECT_EQ(ranking[0][QStringLiteral("最近售出日期")], date);
    EXPECT_EQ(ranking[1][QStringLiteral("已售数量")], QStringLiteral("1"));

    EXPECT_EQ(c.text(QStringLiteral("采购入库"), a, QStringLiteral("数量")), QStringLiteral("-1"));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), a, QStringLiteral("已售")), QStringLiteral("7"));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), b, QStringLiteral("数量")), QStringLiteral("3"));

    ASSERT_EQ(printer.receipts().size(), 1);
    EXPECT_EQ(printer.receipts()[0].receiptNo, QStringLiteral("58985141183"));
    EXPECT_EQ(printer.receipts()[0].lines.size(), 3);
    EXPECT_TRUE(cart.isEmpty());
    EXPECT_TRUE(script.messages().isEmpty());

    // A later sale of the month adds into the same ranking row.
    cart.append(lineOf(b, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("80")));
    Clock::setFixed(kSaleTime.addDays(1)); // the same month
    ASSERT_TRUE(sell(QStringLiteral("80")).written());
    const auto after = c.rows(QStringLiteral("销量排行"));
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0][QStringLiteral("已售数量")], QStringLiteral("6"));
    if (local)
        EXPECT_EQ(after[0][QStringLiteral("最近售出日期")], QStringLiteral("2015-03-12"));
}

TEST_P(SaleTest, AFailureAfterTheSecondLineStoresNothingAndKeepsTheCart)
{
    const char *trigger = GetParam() == data::Backend::Sqlite
        ? "CREATE TRIGGER third_line BEFORE INSERT ON 销售明细 WHEN (SELECT count(*) FROM 销售明细) >= 2 "
          "BEGIN SELECT RAISE(ABORT, 'injected'); END"
        : nullptr;
    if (trigger) {
        ASSERT_TRUE(c.conn().execute(data::Sql(trigger)));
    } else {
        ASSERT_TRUE(c.conn().execute(data::Sql(
            "CREATE FUNCTION third_line() RETURNS trigger AS $$ BEGIN "
            "IF (SELECT count(*) FROM 销售明细) >= 2 THEN RAISE EXCEPTION 'injected'; END IF; RETURN NEW; END $$ "
            "LANGUAGE plpgsql")));
        ASSERT_TRUE(c.conn().execute(data::Sql(
            "CREATE TRIGGER third_line BEFORE INSERT ON 销售明细 FOR EACH ROW EXECUTE FUNCTION third_line()")));
    }
    const qint64 a = c.addStock({});
    c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("V1")}, {QStringLiteral("会员类别"), QStringLiteral("普通")},
                                      {QStringLiteral("积分"), QStringLiteral("10")}, {QStringLiteral("所属店铺"), kShop}});
    for (int i = 0; i < 3; ++i)
        cart.append(lineOf(a, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("80")));
    const QList<CartLine> before = cart.lines();
    SaleMember member;
    member.会员卡号 = QStringLiteral("V1");
    member.会员类别 = QStringLiteral("普通");
    member.会员积分 = member.积分AsRead = QStringLiteral("10");
    const SaleResult result = sell(QStringLiteral("240"), member);
    EXPECT_EQ(result.status, SaleStatus::Failed);
    ASSERT_EQ(script.messages().size(), 1);
    EXPECT_TRUE(script.texts()[0].startsWith(QStringLiteral("本单保存失败")));
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(c.count(QStringLiteral("销量排行")), 0);
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), a, QStringLiteral("数量")), QStringLiteral("5"));
    EXPECT_EQ(c.rows(QStringLiteral("会员管理"))[0][QStringLiteral("积分")], QStringLiteral("10"));
    EXPECT_EQ(cart.lines(), before);
    EXPECT_TRUE(printer.receipts().isEmpty());
}

TEST_P(SaleTest, AStockRowOfAnotherShopStopsTheSaleAndIsLeftAlone)
{
    const qint64 mine = c.addStock({});
    const qint64 moved = c.addStock({{QStringLiteral("所属店铺"), QStringLiteral("B店")}, {QStringLiteral("数量"), QStringLiteral("4")}});
    cart.append(lineOf(mine, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("80")));
    cart.append(lineOf(moved, QStringLiteral("1001"), QStringLiteral("外套"), QStringLiteral("1"), QStringLiteral("80")));
    const SaleResult result = sell(QStringLiteral("160"));
    EXPECT_EQ(result.status, SaleStatus::Refused);
    EXPECT_TRUE(script.texts().value(0).contains(QStringLiteral("【外套】")));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), moved, QStringLiteral("数量")), QStringLiteral("4"));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), moved, QStringLiteral("所属店铺")), QStringLiteral("B店"));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), mine, QStringLiteral("数量")), QStringLiteral("5"));
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(cart.count(), 2);
}

SHOPDESK_BOTH_BACKENDS(SaleTest);

// The rest on SQLite only.
class Sale : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        Clock::setFixed(kSaleTime);
        hooks.receiptPrinter = &printer;
        stock = c.addStock({{QStringLiteral("数量"), QStringLiteral("50")}});
    }
    SaleResult sell(const SaleRequest &request) { return confirmCheckout(c.context, cart, request, hooks); }
    SaleRequest cash(const QString &payable)
    {
        SaleRequest r;
        r.payable = r.received = payable;
        r.change = QStringLiteral("0");
        return r;
    }
    qint64 addMember(const QString &card, const QString &tier, const QString &points, const QString &shop,
                     const QString &spent = QStringLiteral("800"), const QString &stored = QStringLiteral("100"))
    {
        c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), card}, {QStringLiteral("会员类别"), tier},
                                          {QStringLiteral("积分"), points}, {QStringLiteral("消费金额"), spent},
                                          {QStringLiteral("会员储值"), stored}, {QStringLiteral("所属店铺"), shop}});
        return c.count(QStringLiteral("会员管理"));
    }
    static SaleMember memberOf(const QString &card, const QString &tier, const QString &points)
    {
        SaleMember m;
        m.会员卡号 = card;
        m.会员类别 = tier;
        m.会员积分 = m.积分AsRead = points;
        m.消费金额AsRead = QStringLiteral("800");
        m.储值AsRead = QStringLiteral("100");
        return m;
    }
    void tiers()
    {
        c.context.shopSettings.升级模式 = QStringLiteral("真");
        c.context.memberTiers[0] = {QStringLiteral("0.7"), QStringLiteral("金卡"), QStringLiteral("500")};
        c.context.memberTiers[1] = {QStringLiteral("0.8"), QStringLiteral("银卡"), QStringLiteral("200")};
        c.context.memberTiers[2] = {QStringLiteral("0.9"), QStringLiteral("普通"), QStringLiteral("0")};
    }
    ClockGuard clock;
    Counter c{data::Backend::Sqlite};
    Cart cart;
    MessageScript script;
    printing::RecordingReceiptPrinter printer;
    SaleHooks hooks;
    qint64 stock = 0;
};

TEST_F(Sale, UnderpaidIsRefusedAndNothingIsWritten)
{
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("100")));
    SaleRequest r = cash(QStringLiteral("100"));
    r.received = QStringLiteral("99.9");
    r.change = QStringLiteral("0.1");
    EXPECT_EQ(sell(r).status, SaleStatus::Underpaid);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("应付款金额【100】\r\n实付款金额【99.9】\r\n未收款金额【0.1】")});
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(cart.count(), 1);
}

TEST_F(Sale, MemberGainsPointsAndSpendingOfThisShopOnly)
{
    // The other shop's member with the same card comes first: only the shop condition finds ours.
    const qint64 there = addMember(QStringLiteral("V1"), QStringLiteral("普通"), QStringLiteral("120"), QStringLiteral("B店"));
    const qint64 here = addMember(QStringLiteral("V1"), QStringLiteral("普通"), QStringLiteral("120"), kShop);
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("88.5")));
    SaleRequest r = cash(QStringLiteral("88.5"));
    r.member = memberOf(QStringLiteral("V1"), QStringLiteral("普通"), QStringLiteral("120"));
    r.member.会员储值 = QStringLiteral("60"); // 40 paid from stored value
    ASSERT_TRUE(sell(r).written()) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), here, QStringLiteral("积分")), QStringLiteral("208"));
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), here, QStringLiteral("消费金额")), QStringLiteral("888"));
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), here, QStringLiteral("最近消费")), QStringLiteral("2015-03-11"));
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), here, QStringLiteral("会员储值")), QStringLiteral("60"));
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), there, QStringLiteral("积分")), QStringLiteral("120"));
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), there, QStringLiteral("会员储值")), QStringLiteral("100"));
}

struct TierCase {
    const char *name;
    const char16_t *tierBefore;
    const char16_t *pointsBefore;
    const char16_t *payable;
    const char16_t *tierAfter;
};

class TierRaise : public Sale, public ::testing::WithParamInterface<TierCase> {};

TEST_P(TierRaise, OneStepPerSaleAboveTheThreshold)
{
    const TierCase t = GetParam();
    tiers();
    const qint64 id = addMember(QStringLiteral("V9"), QString::fromUtf16(t.tierBefore), QString::fromUtf16(t.pointsBefore), kShop);
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QString::fromUtf16(t.payable)));
    SaleRequest r = cash(QString::fromUtf16(t.payable));
    r.member = memberOf(QStringLiteral("V9"), QString::fromUtf16(t.tierBefore), QString::fromUtf16(t.pointsBefore));
    ASSERT_TRUE(sell(r).written());
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), id, QStringLiteral("会员类别")), QString::fromUtf16(t.tierAfter)) << t.name;
}

INSTANTIATE_TEST_SUITE_P(Table, TierRaise,
                         ::testing::Values(TierCase{"reaches 208", u"普通", u"120", u"88", u"银卡"},
                                           TierCase{"reaches 600: one step", u"普通", u"120", u"480", u"银卡"},
                                           TierCase{"exactly 200 stays", u"普通", u"120", u"80", u"普通"},
                                           TierCase{"silver to gold", u"银卡", u"450", u"60", u"金卡"}));

TEST_F(Sale, SharedMembersAreFoundInAnyShopButOnlyOneRowChanges)
{
    c.context.shopSettings.会员共享 = QStringLiteral("真");
    const qint64 first = addMember(QStringLiteral("V2"), QStringLiteral("普通"), QStringLiteral("10"), QStringLiteral("B店"));
    const qint64 second = addMember(QStringLiteral("V2"), QStringLiteral("普通"), QStringLiteral("10"), QStringLiteral("C店"));
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("5")));
    SaleRequest r = cash(QStringLiteral("5"));
    r.member = memberOf(QStringLiteral("V2"), QStringLiteral("普通"), QStringLiteral("10"));
    ASSERT_TRUE(sell(r).written());
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), first, QStringLiteral("积分")), QStringLiteral("15"));
    EXPECT_EQ(c.text(QStringLiteral("会员管理"), second, QStringLiteral("积分")), QStringLiteral("10"));
}

TEST_F(Sale, ASplitSaleIsSpreadOverItsLinesAndACashSaleAfterItStoresNone)
{
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("60")));
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("40")));
    cart.setColumnForAll(Col结付, kPayOther);
    SaleRequest r = cash(QStringLiteral("100"));
    r.split = true;
    r.splitFields = {QStringLiteral("50"), QStringLiteral("30"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("20")};
    ASSERT_TRUE(sell(r).written());
    auto sales = c.rows(QStringLiteral("销售明细"));
    ASSERT_EQ(sales.size(), 2);
    EXPECT_EQ(sales[0][QStringLiteral("现金")], QStringLiteral("30"));
    EXPECT_EQ(sales[1][QStringLiteral("现金")], QStringLiteral("20"));
    EXPECT_EQ(sales[0][QStringLiteral("银行")], QStringLiteral("18"));
    EXPECT_EQ(sales[1][QStringLiteral("银行")], QStringLiteral("12"));
    EXPECT_EQ(sales[0][QStringLiteral("储值")], QStringLiteral("12"));
    EXPECT_EQ(sales[1][QStringLiteral("储值")], QStringLiteral("8"));
    EXPECT_EQ(sales[1][QStringLiteral("结付方式")], kPayOther);

    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("60")));
    SaleRequest later = cash(QStringLiteral("60"));
    later.splitFields = r.splitFields; // fields still filled, but 其它 not ticked
    ASSERT_TRUE(sell(later).written());
    sales = c.rows(QStringLiteral("销售明细"));
    for (const char16_t *column : {u"现金", u"银行", u"积分", u"优惠券", u"储值"})
        EXPECT_EQ(sales[2][QString::fromUtf16(column)], QString());
}

// Cash 1001 for a free first line and eight lines of 10: the change is spread over the paid lines
// and no stored part is negative.
TEST_F(Sale, ChangeOnASplitOverAFreeLineStoresNoNegativePart)
{
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("0")));
    for (int i = 0; i < 8; ++i)
        cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("10")));
    cart.setColumnForAll(Col结付, kPayOther);
    SaleRequest r = cash(QStringLiteral("80"));
    r.received = QStringLiteral("1001");
    r.change = QStringLiteral("-921");
    r.split = true;
    r.splitFields = {QStringLiteral("1001"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    ASSERT_TRUE(sell(r).written()) << script.texts().join(u'|').toStdString();
    QStringList cashParts;
    for (const auto &row : c.rows(QStringLiteral("销售明细"))) {
        cashParts << row[QStringLiteral("现金")];
        EXPECT_EQ(row[QStringLiteral("银行")], QStringLiteral("0"));
    }
    EXPECT_EQ(cashParts, (QStringList{QStringLiteral("0"), QStringLiteral("125.13"), QStringLiteral("125.13"),
                                      QStringLiteral("125.13"), QStringLiteral("125.13"), QStringLiteral("125.12"),
                                      QStringLiteral("125.12"), QStringLiteral("125.12"), QStringLiteral("125.12")}));
}

// Sales on both sides of a month end and in another shop: one ranking row per shop, month and style
// number, each with its own count and last sale date.
TEST_F(Sale, TheRankingKeepsARowPerShopMonthAndStyle)
{
    const qint64 other = c.addStock({{QStringLiteral("款号"), QStringLiteral("2002")}, {QStringLiteral("数量"), QStringLiteral("50")}});
    const qint64 ofB = c.addStock({{QStringLiteral("所属店铺"), QStringLiteral("B店")}, {QStringLiteral("数量"), QStringLiteral("50")}});
    const struct {
        QDateTime time;
        const char16_t *shop;
        qint64 stockId;
        const char16_t *styleNo, *quantity;
    } sales[] = {
        {QDateTime(QDate(2015, 3, 30), QTime(10, 0)), u"A店", stock, u"1001", u"2"},
        {QDateTime(QDate(2015, 3, 31), QTime(23, 59, 59)), u"A店", other, u"2002", u"1"},
        {QDateTime(QDate(2015, 4, 1), QTime(0, 0, 1)), u"A店", stock, u"1001", u"3"},
        {QDateTime(QDate(2015, 4, 2), QTime(9, 30)), u"B店", ofB, u"1001", u"4"},
        {QDateTime(QDate(2015, 4, 20), QTime(18, 0)), u"A店", stock, u"1001", u"1"},
        {QDateTime(QDate(2016, 3, 5), QTime(12, 0)), u"A店", stock, u"1001", u"6"},
    };
    for (const auto &sale : sales) {
        Clock::setFixed(sale.time);
        c.context.currentShop = QString::fromUtf16(sale.shop);
        cart.append(lineOf(sale.stockId, QString::fromUtf16(sale.styleNo), QStringLiteral("衬衫"),
                           QString::fromUtf16(sale.quantity), QStringLiteral("80")));
        ASSERT_TRUE(sell(cash(QStringLiteral("80"))).written())
            << sale.time.toString().toStdString() << " " << script.texts().join(u'|').toStdString();
    }
    QStringList ranking;
    for (const auto &row : c.rows(QStringLiteral("销量排行")))
        ranking << QStringList{row[QStringLiteral("所属店铺")], row[QStringLiteral("当月时间")], row[QStringLiteral("款号")],
                               row[QStringLiteral("已售数量")], row[QStringLiteral("最近售出日期")]}.join(u'|');
    ranking.sort();
    EXPECT_EQ(ranking, (QStringList{QStringLiteral("A店|2015-03-|1001|2|2015-03-30"),
                                    QStringLiteral("A店|2015-03-|2002|1|2015-03-31"),
                                    QStringLiteral("A店|2015-04-|1001|4|2015-04-20"),
                                    QStringLiteral("A店|2016-03-|1001|6|2016-03-05"),
                                    QStringLiteral("B店|2015-04-|1001|4|2015-04-02")}));
}

TEST_F(Sale, AlarmQuestionsComeAfterTheCommitAndAConfirmationInsideThemWritesNothing)
{
    c.conn().execute(data::Sql(QStringLiteral("UPDATE [采购入库] SET 开关='真', 上限='10', 下限='2', 数量='3'")));
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("2"), QStringLiteral("160")));
    script.queueAnswers({true});
    int reports = 0;
    SaleResult inner;
    int rowsSeenInside = -1;
    hooks.openStockAlarmReport = [&](QWidget *) {
        ++reports;
        rowsSeenInside = c.count(QStringLiteral("销售明细")); // committed before the question
        inner = sell(cash(QStringLiteral("160")));            // Enter pressed while the report is open
    };
    const SaleResult result = sell(cash(QStringLiteral("160")));
    ASSERT_TRUE(result.written());
    EXPECT_EQ(result.alarmQuestions, QStringList{QStringLiteral("【衬衫】库存数低于自身下限,是否查看库存报警报表")});
    ASSERT_EQ(script.messages().size(), 1);
    EXPECT_EQ(script.messages()[0].title, QStringLiteral("库存报警提示"));
    EXPECT_TRUE(script.messages()[0].question);
    EXPECT_EQ(script.messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(rowsSeenInside, 1);
    EXPECT_EQ(inner.status, SaleStatus::Busy);
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 1);
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), stock, QStringLiteral("数量")), QStringLiteral("1"));
    EXPECT_TRUE(cart.isEmpty());
}

// Two lines of one stock row: each line's alarm sees the stock left after it, in cart order; the
// other row is judged on its own figures.
TEST_F(Sale, AlarmsOfLinesOfTheSameStockRowFollowTheStockLeftAfterEachLine)
{
    c.conn().execute(data::Sql(QStringLiteral("UPDATE [采购入库] SET 开关='真', 上限='10', 下限='3', 数量='5'")));
    const qint64 other = c.addStock({{QStringLiteral("款号"), QStringLiteral("2002")}, {QStringLiteral("名称"), QStringLiteral("T恤")},
                                     {QStringLiteral("开关"), QStringLiteral("真")}, {QStringLiteral("上限"), QStringLiteral("1")},
                                     {QStringLiteral("下限"), QStringLiteral("0")}, {QStringLiteral("数量"), QStringLiteral("4")}});
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("80")));
    cart.append(lineOf(other, QStringLiteral("2002"), QStringLiteral("T恤"), QStringLiteral("1"), QStringLiteral("50")));
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("2"), QStringLiteral("160")));
    script.setDefaultAnswer(false);
    const SaleResult result = sell(cash(QStringLiteral("290")));
    ASSERT_TRUE(result.written());
    // 衬衫: 5 - 1 - 2 = 2 left; the first line still counts the 2 of the later line (4, no alarm).
    EXPECT_EQ(result.alarmQuestions, (QStringList{QStringLiteral("【T恤】库存数高于自身上限,是否查看库存报警报表"),
                                                  QStringLiteral("【衬衫】库存数低于自身下限,是否查看库存报警报表")}));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), stock, QStringLiteral("数量")), QStringLiteral("2"));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), other, QStringLiteral("数量")), QStringLiteral("3"));
}

TEST_F(Sale, NoReceiptWhenPrintingIsOffAndTheCartIsStillCleared)
{
    c.context.receiptPrintFlag = QStringLiteral("假");
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("80")));
    ASSERT_TRUE(sell(cash(QStringLiteral("80"))).written());
    EXPECT_TRUE(printer.receipts().isEmpty());
    EXPECT_TRUE(cart.isEmpty());
}

TEST_F(Sale, AFractionalQuantityIsRefused)
{
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1.5"), QStringLiteral("80")));
    EXPECT_EQ(sell(cash(QStringLiteral("80"))).status, SaleStatus::Refused);
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(cart.count(), 1);
}

// An amount no money field takes never reaches the table, whichever way it came: the amount due
// (400 nines read as 0 would store the sale at 0), a split part, a line's amount in exponent form.
TEST_F(Sale, AnAmountBeyondTheCeilingIsRefusedBeforeAnythingIsWritten)
{
    const QString nines(400, u'9');
    const struct {
        QString payable;
        QString lineAmount;
        SplitPayment split;
        QString named; // the amount the message names
    } cases[] = {
        {nines, QStringLiteral("85"), {}, QStringLiteral("应付款【99999999999999999999…】")},
        {QStringLiteral("123456789012345"), QStringLiteral("85"), {}, QStringLiteral("应付款【123456789012345】")},
        {QStringLiteral("100000000"), QStringLiteral("85"), {}, QStringLiteral("应付款【100000000】")},
        {QStringLiteral("85"), QStringLiteral("85"), {QStringLiteral("6901234567892"), QStringLiteral("0"), QString(), QString(), QString()},
         QStringLiteral("现金【6901234567892】")},
        {QStringLiteral("85"), QStringLiteral("85"), {QStringLiteral("0"), QStringLiteral("1.234567890123e+14"), QString(), QString(), QString()},
         QStringLiteral("银行【1.234567890123e+14】")},
        {QStringLiteral("85"), QStringLiteral("1.234567890123e+14"), {}, QStringLiteral("商品【衬衫】的金额【1.234567890123e+14】")},
    };
    for (const auto &c_ : cases) {
        script.clear();
        cart.removeAll();
        cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), c_.lineAmount));
        SaleRequest r = cash(c_.payable);
        r.split = !c_.split.现金.isEmpty();
        r.splitFields = c_.split;
        const SaleResult result = sell(r);
        EXPECT_EQ(result.status, SaleStatus::Refused) << c_.named.toStdString();
        EXPECT_EQ(script.texts(), QStringList{moneyCeilingText() + QStringLiteral("本单没有保存：") + c_.named});
        EXPECT_EQ(c.count(QStringLiteral("销售明细")), 0);
        EXPECT_EQ(c.count(QStringLiteral("销量排行")), 0);
        EXPECT_EQ(cart.count(), 1);
    }
    // The largest amount money holds goes through.
    script.clear();
    cart.removeAll();
    cart.append(lineOf(stock, QStringLiteral("1001"), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("99999999.99")));
    ASSERT_TRUE(sell(cash(QStringLiteral("99999999.99"))).written()) << script.texts().join(u'|').toStdString();
    data::RecordSet sale(c.context.connection());
    ASSERT_TRUE(sale.open(data::Sql(QStringLiteral("SELECT 金额 FROM 销售明细"))));
    EXPECT_EQ(sale.text(QStringLiteral("金额")), "99999999.99");
}

// Two workstations on the server sell 200 times each at once.
class SaleConcurrency : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::setFixed(kSaleTime);
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    }
    // Runs two stations at once; station k sells one unit of stockIds[k] per sale, with the style
    // number style(i) for its i-th sale. Returns the sales written.
    int runStations(const qint64 (&stockIds)[2], const std::function<QString(int)> &style)
    {
        std::atomic<int> written{0};
        std::atomic<int> ready{0};
        auto station = [&](qint64 stockId) {
            AppContext context;
            const bool opened = c.db.openAnother(context.connection());
            context.currentShop = kShop;
            context.currentUserName = QStringLiteral("收银");
            context.runMode = AppContext::NetworkMode;
            Cart cart;
            ++ready;
            while (ready < 2) {
            }
            for (int i = 0; opened && i < perStation; ++i) {
                cart.append(lineOf(stockId, style(i), QStringLiteral("衬衫"), QStringLiteral("1"), QStringLiteral("80")));
                if (writeSale(context, cart, SplitPayment{}, SaleMember{}, QStringLiteral("80"), SaleHooks{}).written())
                    ++written;
                cart.removeAll();
            }
            context.connection().close();
        };
        std::thread one(station, stockIds[0]);
        std::thread two(station, stockIds[1]);
        one.join();
        two.join();
        return written.load();
    }
    static constexpr int perStation = 200;
    ClockGuard clock;
    Counter c{data::Backend::Postgres};
    MessageScript script;
};

TEST_F(SaleConcurrency, TheSameItemKeepsStockSoldCountAndRankingExact)
{
    const qint64 id = c.addStock({{QStringLiteral("数量"), QStringLiteral("1000")}, {QStringLiteral("已售"), QStringLiteral("0")}});
    const int written = runStations({id, id}, [](int) { return QStringLiteral("1001"); });
    EXPECT_EQ(written, 2 * perStation) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), id, QStringLiteral("数量")), QString::number(1000 - written));
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), id, QStringLiteral("已售")), QString::number(written));
    const auto ranking = c.rows(QStringLiteral("销量排行"));
    ASSERT_EQ(ranking.size(), 1);
    EXPECT_EQ(ranking[0][QStringLiteral("已售数量")], QString::number(written));
    EXPECT_EQ(c.count(QStringLiteral("销售明细")), written);
}

TEST_F(SaleConcurrency, TwoSizesFirstSoldAtOnceMakeOneRankingRow)
{
    const qint64 small = c.addStock({{QStringLiteral("尺码"), QStringLiteral("S")}, {QStringLiteral("数量"), QStringLiteral("500")}});
    const qint64 large = c.addStock({{QStringLiteral("尺码"), QStringLiteral("L")}, {QStringLiteral("数量"), QStringLiteral("500")}});
    // Every sale is the first of the month for its style number on both stations.
    const int written = runStations({small, large}, [](int i) { return QStringLiteral("S%1").arg(i); });
    EXPECT_EQ(written, 2 * perStation) << script.texts().join(u'|').toStdString();
    const auto ranking = c.rows(QStringLiteral("销量排行"));
    EXPECT_EQ(ranking.size(), perStation);
    for (const auto &row : ranking)
        EXPECT_EQ(row[QStringLiteral("已售数量")], QStringLiteral("2")) << row[QStringLiteral("款号")].toStdString();
    EXPECT_EQ(c.text(QStringLiteral("采购入库"), small, QStringLiteral("数量")), QStringLiteral("300"));
}

} // namespace
