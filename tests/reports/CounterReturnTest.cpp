// Taking back one unit of a sold line from the sales detail page: the questions, the return row,
// the stock, the member's give-back, the sold line reduced or deleted, and nothing at all written
// when the return cannot be completed.
#include "cashier/CounterReturn.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "lists/ReportList.h"
#include "platform/MessageScript.h"
#include "reports/SalesDetailPage.h"
#include "support/SqliteShopTest.h"

#include <QDate>
#include <QDateEdit>
#include <gtest/gtest.h>
#include <memory>

using namespace reports;

namespace {

const QString kConfirmTail = QStringLiteral("】\r\n注：每次退款数量为 [1]\r\n消费的预存和积分系统自动归还！");

struct Line {
    QString day = QStringLiteral("2015-03-11");
    QString 数量 = QStringLiteral("3"), 金额 = QStringLiteral("300"), 现金 = QStringLiteral("210"),
            储值 = QStringLiteral("60"), 银行 = QStringLiteral("0"), 积分 = QStringLiteral("30"),
            优惠券 = QStringLiteral("0");
    QString card = QStringLiteral("VIP1");
    QString kind = QStringLiteral("其它");
    QString remark;
};

class CounterReturnTest : public testsupport::SqliteShopTest {
protected:
    void SetUp() override
    {
        SqliteShopTest::SetUp();
        if (HasFatalFailure())
            return;
        context.shopSettings.销售 = QStringLiteral("0");
        context.shopSettings.抵扣值 = QStringLiteral("20");
        context.shopSettings.会员共享 = QStringLiteral("假");
        page = std::make_unique<SalesDetailPage>(context);
    }
    void TearDown() override
    {
        page.reset();
        SqliteShopTest::TearDown();
    }

    void exec(const QString &sql, const QVariantList &values = {})
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(sql, values))) << context.connection().lastError().toStdString();
    }
    qint64 lastId(const QString &table)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT MAX(id) AS m FROM ") + table)));
        return rs.integer(QStringLiteral("m"));
    }
    qint64 addLine(const Line &l, const QString &shop = QStringLiteral("A"))
    {
        exec(QStringLiteral("INSERT INTO 销售明细 (销售日期,所属店铺,商品名称,类别,款号,颜色,尺码,单位,数量,金额,进货价,现金,储值,银行,"
                            "积分,优惠券,会员编号,结付方式,供货来源,备注,小票单号) VALUES (?,?,'衬衫','上装','K1','白','L','件',?,?,'40',"
                            "?,?,?,?,?,?,?,'华美','',?)"),
             {l.day, shop, l.数量, l.金额, l.现金, l.储值, l.银行, l.积分, l.优惠券, l.card, l.kind, QStringLiteral("R1")});
        const qint64 id = lastId(QStringLiteral("销售明细"));
        if (!l.remark.isEmpty())
            exec(QStringLiteral("UPDATE 销售明细 SET 备注=? WHERE id=?"), {l.remark, id});
        return id;
    }
    qint64 addStock(const QString &quantity, const QString &sold, const QString &shop = QStringLiteral("A"))
    {
        exec(QStringLiteral("INSERT INTO 采购入库 (款号,颜色,尺码,数量,已售,零库存,所属店铺,名称) VALUES ('K1','白','L',?,?,'隐藏',?,'衬衫')"),
             {quantity, sold, shop});
        return lastId(QStringLiteral("采购入库"));
    }
    qint64 addMember(const QString &shop, const QString &points = QStringLiteral("500"),
                     const QString &spent = QStringLiteral("1000"), const QString &stored = QStringLiteral("50"))
    {
        exec(QStringLiteral("INSERT INTO 会员管理 (会员卡号,积分,消费金额,会员储值,所属店铺) VALUES ('VIP1',?,?,?,?)"),
             {points, spent, stored, shop});
        return lastId(QStringLiteral("会员管理"));
    }
    QStringList row(const QString &table, qint64 id, const QStringList &columns)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE id=?"), {id})));
        QStringList cells;
        if (rs.rowCount() <= 0)
            return cells;
        for (const QString &c : columns)
            cells << rs.text(c);
        return cells;
    }
    int count(const QString &table)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)));
        return int(rs.integer(QStringLiteral("n")));
    }
    // The page lists the day's lines of the shop, as the user sees them before pressing 退货.
    void listDay(const QDate &day)
    {
        page->selectDayFilter();
        if (page->startDate()->date() == day)
            page->listSalesByDateFilter();
        else
            page->startDate()->setDate(day);
    }
    int rowOf(qint64 id)
    {
        for (int r = 0; r < page->list()->rowCount(); ++r)
            if (page->list()->cellText(r, 0) == QString::number(id))
                return r;
        return -1;
    }
    // Selects the line and presses 退货 with the two answers (confirm, damaged).
    void pressReturn(qint64 id, bool confirm, bool damaged)
    {
        const int r = rowOf(id);
        ASSERT_GE(r, 0);
        page->list()->selectRow(r);
        script.queueAnswers({confirm, damaged});
        page->returnSoldItem();
    }

    MessageScript script;
    std::unique_ptr<SalesDetailPage> page;
};

const QStringList kLineParts{"数量", "金额", "现金", "积分", "优惠券", "储值", "银行"};
const QStringList kMemberFigures{"积分", "消费金额", "会员储值", "最近消费"};

TEST_F(CounterReturnTest, AUnitOfAThreeUnitLineIsRecordedGivenBackAndTakenOffTheLine)
{
    const qint64 line = addLine(Line{});
    const qint64 stock = addStock(QStringLiteral("4"), QStringLiteral("6"));
    const qint64 member = addMember(QStringLiteral("A"));
    listDay(QDate(2015, 3, 11));
    pressReturn(line, true, false);

    ASSERT_EQ(script.messages().size(), 3);
    EXPECT_EQ(script.messages().at(0).title, QStringLiteral("确认退货"));
    EXPECT_EQ(script.messages().at(0).text,
              QStringLiteral("商品名称：【 衬衫】\r\n分      类：【上装】\r\n款      号：【K1】\r\n数      量：【3】\r\n销售金额：【300】\r\n"
                             "现金：【210】\r\n储值：【60】\r\n银行：【0】\r\n积分：【30】\r\n优惠券：【0】\r\n实收金额：【90")
                  + kConfirmTail);
    EXPECT_EQ(script.messages().at(1).title, QStringLiteral("是否可以二次销售"));
    EXPECT_EQ(script.messages().at(2).text, QStringLiteral("退货已完成，销售明细该条订单数量已减去 1 "));

    EXPECT_EQ(row(QStringLiteral("销售明细"), line, kLineParts), (QStringList{"2", "200", "140", "20", "0", "40", "0"}));
    EXPECT_EQ(row(QStringLiteral("会员管理"), member, kMemberFigures), (QStringList{"600", "900", "70", "2015-03-11"}));
    EXPECT_EQ(row(QStringLiteral("采购入库"), stock, {"数量", "已售", "零库存"}), (QStringList{"5", "5", "隐藏"}));
    EXPECT_EQ(row(QStringLiteral("退货管理"), lastId(QStringLiteral("退货管理")),
                  {"供货来源", "商品名称", "分类", "款号", "颜色", "尺码", "单位", "成本价", "销售金额", "销售日期", "退货日期",
                   "商品情况", "所属店铺"}),
              (QStringList{"华美", "衬衫", "上装", "K1", "白", "L", "件", "40", "90", "2015-03-11", "2015-03-11", "无损", "A"}));
    EXPECT_EQ(row(QStringLiteral("日志记录"), lastId(QStringLiteral("日志记录")), {"操作内容", "操作时间"}),
              (QStringList{"销售明细---处理一笔无损退货！ 华美  衬衫  上装  K1  白  L  件", "2015-03-11 14:5"}));
    // The list row shows the line as stored.
    const int r = rowOf(line);
    EXPECT_EQ(page->list()->cellText(r, 8), QStringLiteral("2"));
    EXPECT_EQ(page->list()->cellText(r, 13), QStringLiteral("200"));
}

TEST_F(CounterReturnTest, SharesFollowTheSaleDecimalsAndThreePressesGiveBackExactlyTheLine)
{
    context.shopSettings.销售 = QStringLiteral("2");
    Line l;
    l.金额 = QStringLiteral("100");
    l.现金 = QStringLiteral("100");
    l.储值 = l.积分 = l.优惠券 = QString();
    l.card.clear();
    const qint64 line = addLine(l);
    listDay(QDate(2015, 3, 11));

    const struct {
        const char *quantity, *amount, *received;
    } presses[] = {{"2", "66.67", "33.33333333333"}, {"1", "33.33", "33.335"}, {nullptr, nullptr, "33.33"}};
    // What the line gives back, press by press: its amount and cash fall by exactly what it held.
    double amountBack = 0, cashBack = 0;
    for (const auto &p : presses) {
        SCOPED_TRACE(p.received);
        const QStringList before = row(QStringLiteral("销售明细"), line, {"金额", "现金"});
        pressReturn(line, true, true);
        const QStringList after = row(QStringLiteral("销售明细"), line, {"金额", "现金"});
        amountBack += before.value(0).toDouble() - after.value(0).toDouble();
        cashBack += before.value(1).toDouble() - after.value(1).toDouble();
        EXPECT_EQ(row(QStringLiteral("退货管理"), lastId(QStringLiteral("退货管理")), {"销售金额", "商品情况"}),
                  (QStringList{QString::fromUtf8(p.received), "有损"}));
        if (p.quantity) {
            EXPECT_EQ(row(QStringLiteral("销售明细"), line, {"数量", "金额"}),
                      (QStringList{QString::fromUtf8(p.quantity), QString::fromUtf8(p.amount)}));
        }
    }
    EXPECT_TRUE(row(QStringLiteral("销售明细"), line, {"数量"}).isEmpty());
    EXPECT_NEAR(amountBack, 100, 1e-9);
    EXPECT_NEAR(cashBack, 100, 1e-9);
    EXPECT_EQ(count(QStringLiteral("退货管理")), 3);
}

TEST_F(CounterReturnTest, TheLastUnitDeletesTheLineAndTheListShowsTodaysLines)
{
    Line one;
    one.数量 = QStringLiteral("1");
    one.day = QStringLiteral("2015-03-09");
    const qint64 old = addLine(one);
    Line today;
    today.数量 = QStringLiteral("2");
    const qint64 kept = addLine(today);
    addLine(today, QStringLiteral("B"));
    const qint64 member = addMember(QStringLiteral("A"));
    listDay(QDate(2015, 3, 9));
    pressReturn(old, true, true);

    EXPECT_EQ(script.texts().last(), QStringLiteral("退货已完成，销售明细已删除该条记录"));
    EXPECT_TRUE(row(QStringLiteral("销售明细"), old, {"数量"}).isEmpty());
    ASSERT_EQ(page->list()->rowCount(), 1);
    EXPECT_EQ(page->list()->cellText(0, 0), QString::number(kept));
    // The whole line: its points (30 × 20), amount (300) and stored value (60) are the give-back.
    EXPECT_EQ(row(QStringLiteral("会员管理"), member, kMemberFigures), (QStringList{"800", "700", "110", "2015-03-11"}));
}

TEST_F(CounterReturnTest, StockTakesBackOnlyAnUndamagedUnitOnTheLowestMatchingRow)
{
    const struct {
        const char *name;
        bool damaged;
        bool second; // a second matching row of the shop
        const char *first, *other;  // 数量|已售 after the return
    } cases[] = {
        {"damaged", true, false, "2|0", nullptr},
        {"undamaged, sold count 0", false, false, "3|-1", nullptr},
        {"two matching rows", false, true, "3|-1", "7|1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        exec(QStringLiteral("DELETE FROM 采购入库"));
        addStock(QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("B")); // another shop's row is never touched
        const qint64 first = addStock(QStringLiteral("2"), QStringLiteral("0"));
        const qint64 other = c.second ? addStock(QStringLiteral("7"), QStringLiteral("1")) : 0;
        const qint64 line = addLine(Line{});
        listDay(QDate(2015, 3, 11));
        pressReturn(line, true, c.damaged);
        EXPECT_EQ(row(QStringLiteral("采购入库"), first, {"数量", "已售"}).join(u'|'), QString::fromUtf8(c.first));
        if (other) {
            EXPECT_EQ(row(QStringLiteral("采购入库"), other, {"数量", "已售"}).join(u'|'), QString::fromUtf8(c.other));
        }
        data::RecordSet rs(context.connection());
        ASSERT_TRUE(rs.open(data::Sql("SELECT 数量 FROM 采购入库 WHERE 所属店铺='B'")));
        EXPECT_EQ(rs.text(QStringLiteral("数量")), QStringLiteral("5"));
    }
}

TEST_F(CounterReturnTest, TheMemberIsFoundByTheSharingRule)
{
    const struct {
        const char *sharing;
        int changed; // 0: the shop's member, 1: the other shop's, -1: none
        bool ownMember;
    } cases[] = {{"假", 0, true}, {"假", -1, false}, {"真", 1, false}, {"真", 1, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.sharing) + (c.ownMember ? " own" : " none"));
        exec(QStringLiteral("DELETE FROM 会员管理"));
        context.shopSettings.会员共享 = QString::fromUtf8(c.sharing);
        const qint64 other = addMember(QStringLiteral("B")); // older: the first one with the card
        const qint64 own = c.ownMember ? addMember(QStringLiteral("A")) : 0;
        const qint64 line = addLine(Line{});
        listDay(QDate(2015, 3, 11));
        pressReturn(line, true, true);
        const QStringList untouched{"500", "1000", "50", ""};
        const QStringList given{"600", "900", "70", "2015-03-11"};
        EXPECT_EQ(row(QStringLiteral("会员管理"), other, kMemberFigures), c.changed == 1 ? given : untouched);
        if (own) {
            EXPECT_EQ(row(QStringLiteral("会员管理"), own, kMemberFigures), c.changed == 0 ? given : untouched);
        }
    }
}

TEST_F(CounterReturnTest, EmptyPartsAreWrittenAsZeroAndTheBankPartTakesItsShare)
{
    Line l;
    l.数量 = QStringLiteral("2");
    l.金额 = QStringLiteral("100");
    l.现金 = QString();
    l.储值 = QString();
    l.积分 = QString();
    l.优惠券 = QString();
    l.银行 = QStringLiteral("100");
    l.card.clear();
    const qint64 line = addLine(l);
    listDay(QDate(2015, 3, 11));
    pressReturn(line, true, true);
    EXPECT_EQ(row(QStringLiteral("销售明细"), line, kLineParts), (QStringList{"1", "50", "0", "0", "0", "0", "50"}));
}

TEST_F(CounterReturnTest, NothingIsWrittenWithoutASelectionANoOrAGoneLine)
{
    const qint64 line = addLine(Line{});
    addStock(QStringLiteral("4"), QStringLiteral("6"));
    addMember(QStringLiteral("A"));
    listDay(QDate(2015, 3, 11));

    page->list()->clearSelection();
    page->returnSoldItem();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("您还未选择要退货的单据！")});

    script.clear();
    pressReturn(line, false, false);
    EXPECT_EQ(script.messages().size(), 1); // the confirmation only

    // Another workstation deletes the line after this list was filled.
    exec(QStringLiteral("DELETE FROM 销售明细 WHERE id=?"), {line});
    script.clear();
    pressReturn(line, true, false);
    EXPECT_EQ(script.texts(),
              QStringList{QStringLiteral("这条销售记录已不存在（可能已在别处退货或删除），没有退货。请刷新列表后再试！")});
    EXPECT_EQ(count(QStringLiteral("退货管理")), 0);
    EXPECT_EQ(count(QStringLiteral("日志记录")), 0);
    EXPECT_EQ(row(QStringLiteral("会员管理"), lastId(QStringLiteral("会员管理")), {"积分"}), QStringList{"500"});
}

// A statement refused half-way (the stock update, after the return and log rows) leaves no trace:
// no return row, no log row, the member and the line as they were.
TEST_F(CounterReturnTest, AFailureHalfWayWritesNothing)
{
    Line l;
    l.remark = QStringLiteral("VIP,老客户=a'b");
    const qint64 line = addLine(l);
    const qint64 stock = addStock(QStringLiteral("4"), QStringLiteral("6"));
    const qint64 member = addMember(QStringLiteral("A"));
    listDay(QDate(2015, 3, 11));
    exec(QStringLiteral("CREATE TRIGGER refuse_stock BEFORE UPDATE ON 采购入库 BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    pressReturn(line, true, false);
    EXPECT_EQ(script.texts().last(), QStringLiteral("退货没有完成，没有写入任何数据，请检查数据库连接后重试！"));
    EXPECT_EQ(count(QStringLiteral("退货管理")), 0);
    EXPECT_EQ(count(QStringLiteral("日志记录")), 0);
    EXPECT_EQ(row(QStringLiteral("销售明细"), line, {"数量"}), QStringList{"3"});
    EXPECT_EQ(row(QStringLiteral("会员管理"), member, {"积分"}), QStringList{"500"});
    EXPECT_EQ(row(QStringLiteral("采购入库"), stock, {"数量"}), QStringList{"4"});

    exec(QStringLiteral("DROP TRIGGER refuse_stock"));
    script.clear();
    pressReturn(line, true, false);
    EXPECT_EQ(row(QStringLiteral("退货管理"), lastId(QStringLiteral("退货管理")), {"备注"}), QStringList{"VIP,老客户=a'b"});
}

} // namespace
