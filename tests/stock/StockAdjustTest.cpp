// Adjusting a stock row: the change from the stored quantity, the prices and flag, the history
// row and the log row in one transaction, the checks, the cost kept without 查看进价, and the
// history window.
#include "StockFixture.h"

#include "context/AccountRights.h"
#include "lists/ReportList.h"
#include "stock/StockAdjust.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace stock;
using stocktest::SqliteStockFixture;

namespace {

class StockAdjustTest : public SqliteStockFixture {
protected:
    StockAdjustValues change(const QString &count, const QString &special = QString())
    {
        return {count, QStringLiteral("12"), QStringLiteral("30"), QStringLiteral("0.8"), special, QStringLiteral("盘点")};
    }
    QString stock(const QString &id, const QString &column)
    {
        return rows(QStringLiteral("SELECT * FROM [采购入库] WHERE id=?"), {column}, {id.toLongLong()}).value(0);
    }
};

TEST_F(StockAdjustTest, TheChangeStartsFromTheStoredQuantityAndIsRecorded)
{
    const struct {
        const char *before, *change, *after;
    } cases[] = {{"10", "-3", "7"}, {"2", "-2", "0"}, {"5", "", "5"}, {"5", "+4", "9"}, {"5", "４", "9"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.change);
        const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QString::fromUtf8(c.before));
        exec(QStringLiteral("UPDATE [采购入库] SET 零库存='隐藏' WHERE id=?"), {id.toLongLong()});
        const StockAdjustResult result = applyStockAdjust(ctx(), id.toLongLong(), change(QString::fromUtf8(c.change), "√"));
        ASSERT_TRUE(result.ok) << result.message.toStdString();
        EXPECT_EQ(result.message, QStringLiteral("调整成功！如果有采用打标签请去单独打印标签！"));
        EXPECT_EQ(stock(id, QStringLiteral("数量")), QString::fromUtf8(c.after));
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库] WHERE id=?"), {"进货价", "吊牌价", "折扣", "特价", "零库存"},
                       {id.toLongLong()}),
                  QStringList{"12|30|0.8|√|1"}); // a hidden sold-out row shows again
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [商品历史] WHERE 原始ID=? ORDER BY id"),
                       {"当前总数", "数量", "成本价", "吊牌价", "商品折扣", "特价", "操作员", "调整日期", "备注"}, {id}),
                  QStringList{QString::fromUtf8(c.after) + u'|' + QString::fromUtf8(c.change)
                              + QStringLiteral("|12|30|0.8|√|张三|2015-03-11|盘点")});
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT 操作内容 FROM [日志记录] ORDER BY id"), {"操作内容"}).value(0),
              QStringLiteral("采购入库--调整商品---ID号：1  款号：S1  调整数：-3  成本价：12  吊牌价：30  折扣：0.8  特价：√"));
}

TEST_F(StockAdjustTest, RefusedEntriesWriteNothing)
{
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("3"));
    const struct {
        StockAdjustValues values;
        const char *message;
    } cases[] = {
        {{"1.5", "12", "30", "", "", ""}, "调整数量请填写整数，正数为加，负数为减，比如：-3"},
        {{"x", "12", "30", "", "", ""}, "调整数量请填写整数，正数为加，负数为减，比如：-3"},
        {{"1", "abc", "30", "", "", ""}, "成本价和吊牌价必须填写数字！"},
        {{"1", "12", "", "", "", ""}, "成本价和吊牌价必须填写数字！"},
        {{"1", "12", "30", "8", "", ""}, "商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空"},
        // More digits before the point than money has.
        {{"1", QString(400, u'9'), "30", "", "", ""}, "金额太大：小数点前最多8位数字（金额须小于100000000）！"},
        {{"1", "12", "123456789012345", "", "", ""}, "金额太大：小数点前最多8位数字（金额须小于100000000）！"},
        {{"1", "12", "6901234567892", "", "", ""}, "金额太大：小数点前最多8位数字（金额须小于100000000）！"},
    };
    for (const auto &c : cases) {
        const StockAdjustResult result = applyStockAdjust(ctx(), id.toLongLong(), c.values);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, QString::fromUtf8(c.message)) << c.values.数量.toStdString();
    }
    EXPECT_EQ(stock(id, QStringLiteral("数量")), QStringLiteral("3"));
    EXPECT_EQ(count(QStringLiteral("商品历史")), 0);
    EXPECT_EQ(count(QStringLiteral("日志记录")), 0);
    // Another shop's row is not this shop's to adjust.
    const QString other = stockRow(QStringLiteral("B"), QStringLiteral("衬衫"), QStringLiteral("3"));
    EXPECT_EQ(applyStockAdjust(ctx(), other.toLongLong(), change(QStringLiteral("1"))).message,
              QStringLiteral("这条库存记录已不存在，请刷新列表后再试！"));
}

// The list was filled at 10; another workstation sold 2 since; +1 gives 9, not 11.
TEST_F(StockAdjustTest, UnitsSoldSinceTheListWasFilledAreKept)
{
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("10"));
    data::Connection other;
    ASSERT_TRUE(database->openAnother(other));
    ASSERT_TRUE(other.execute(data::Sql(QStringLiteral("UPDATE [采购入库] SET 数量='8', 已售='2' WHERE id=?"), {id.toLongLong()})));
    other.close();
    ASSERT_TRUE(applyStockAdjust(ctx(), id.toLongLong(), change(QStringLiteral("1"))).ok);
    EXPECT_EQ(stock(id, QStringLiteral("数量")), QStringLiteral("9"));
    EXPECT_EQ(stock(id, QStringLiteral("已售")), QStringLiteral("2"));
}

TEST_F(StockAdjustTest, WithoutTheCostRightTheStoredCostStays)
{
    ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("查看进价"))] = QString();
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("3")); // cost 10
    ASSERT_TRUE(applyStockAdjust(ctx(), id.toLongLong(), {QStringLiteral("1"), QString(), QStringLiteral("30"), QString(), QString(), QString()}).ok);
    EXPECT_EQ(stock(id, QStringLiteral("进货价")), QStringLiteral("10"));
    EXPECT_EQ(rows(QStringLiteral("SELECT 成本价 FROM [商品历史]"), {"成本价"}), QStringList{"10"});
}

// The dialog from the purchase list's line; the line shows what was stored; the history window
// lists the row's adjustments oldest first, also after the row is deleted.
TEST_F(StockAdjustTest, TheDialogAndTheHistoryWindow)
{
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("10"));
    ReportList list;
    for (int c = 0; c < 16; ++c)
        list.addColumn(QString::number(c), 40);
    QStringList cells(16);
    cells[0] = id;
    cells[8] = QStringLiteral("10");
    cells[10] = QStringLiteral("10");
    cells[11] = QStringLiteral("20");
    cells[13] = QStringLiteral("√");
    list.addRow(cells);
    list.selectRow(0);
    const QStringList typed{"-3", "+1"};
    int opened = 0;
    messages.setDialogHandler([&](QDialog *dialog) {
        auto *d = static_cast<StockAdjustDialog *>(dialog);
        EXPECT_EQ(d->findChild<QLineEdit *>(QStringLiteral("吊牌价1"))->text(), QStringLiteral("20"));
        EXPECT_TRUE(d->findChild<QCheckBox *>(QStringLiteral("特价1"))->isChecked());
        EXPECT_TRUE(d->findChild<QLineEdit *>(QStringLiteral("数量1"))->text().isEmpty());
        d->findChild<QLineEdit *>(QStringLiteral("数量1"))->setText(typed.at(opened++));
        d->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        return d->result();
    });
    startStockAdjust(ctx(), &list, nullptr);
    EXPECT_EQ(list.cellText(0, 8), QStringLiteral("7"));
    startStockAdjust(ctx(), &list, nullptr);
    EXPECT_EQ(list.cellText(0, 8), QStringLiteral("8"));

    exec(QStringLiteral("DELETE FROM [采购入库] WHERE id=?"), {id.toLongLong()});
    QStringList counts;
    messages.setDialogHandler([&](QDialog *dialog) {
        auto *w = static_cast<ItemHistoryWindow *>(dialog);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("历史调整"));
        for (int r = 0; r < w->list()->rowCount(); ++r)
            counts << w->list()->cellText(r, 1) + u'/' + w->list()->cellText(r, 2);
        return int(QDialog::Rejected);
    });
    openItemHistoryWindow(ctx(), &list, nullptr);
    EXPECT_EQ(counts, (QStringList{"-3/7", "+1/8"}));
}

} // namespace
