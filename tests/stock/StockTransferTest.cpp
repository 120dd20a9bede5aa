// Transfers between shops: onto the receiving shop's oldest matching row or a copy, the source
// lowered, the record written, all in one transaction checked against the stored stock; the
// dialog's shop list and its quantity box.
#include "StockFixture.h"

#include "lists/ReportList.h"
#include "stock/StockTransfer.h"
#include "stock/StockView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace stock;
using stocktest::SqliteStockFixture;

namespace {

class StockTransferTest : public SqliteStockFixture {
protected:
    void SetUp() override
    {
        SqliteStockFixture::SetUp();
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(9, 5, 0)));
        exec(QStringLiteral("INSERT INTO [店铺名] (店名) VALUES ('A'), ('B'), ('C')"));
    }
    QString item(const QString &shop, const char *quantity, const char *name = "衬衫")
    {
        const QString id = stockRow(shop, QString::fromUtf8(name), QString::fromUtf8(quantity));
        exec(QStringLiteral("UPDATE [采购入库] SET 颜色='白', 尺码='L', 单位='件', 大类='01' WHERE id=?"), {id.toLongLong()});
        return id;
    }
    QStringList stockOf(const QString &shop)
    {
        return rows(QStringLiteral("SELECT * FROM [采购入库] WHERE 所属店铺=? ORDER BY id"), {"id", "数量", "零库存"}, {shop});
    }
};

TEST_F(StockTransferTest, OntoTheOldestMatchingRowOfTheReceiver)
{
    const QString source = item(QStringLiteral("A"), "10");
    const QString hidden = item(QStringLiteral("B"), "0");
    exec(QStringLiteral("UPDATE [采购入库] SET 零库存='0' WHERE id=?"), {hidden.toLongLong()});
    const QString later = item(QStringLiteral("B"), "4");
    const TransferResult result = transferStockToShop(ctx(), source.toLongLong(), QStringLiteral("3"), QStringLiteral("B"));
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(result.sourceQuantity, QStringLiteral("7"));
    EXPECT_EQ(stockOf(QStringLiteral("B")), (QStringList{hidden + QStringLiteral("|3|1"), later + QStringLiteral("|4|1")}));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [调拨记录]"),
                   {"调拨时间", "操作员", "调出门店", "接收门店", "商品名称", "款号", "供货商", "颜色", "尺码", "单位", "数量", "成本价", "所属店铺"}),
              QStringList{QStringLiteral("2015-03-11 9:5|张三|A|B|衬衫|S1|甲|白|L|件|3|10|A")});
}

TEST_F(StockTransferTest, OntoACopyWhenTheReceiverHasNone)
{
    const QString source = item(QStringLiteral("A"), "5", "长袖,衬衫'新");
    ASSERT_TRUE(transferStockToShop(ctx(), source.toLongLong(), QStringLiteral("5"), QStringLiteral("C")).ok);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库] WHERE 所属店铺='C'"),
                   {"名称", "数量", "已售", "大类", "零库存", "拼音检索", "进货价", "入库日期"}),
              QStringList{QStringLiteral("长袖,衬衫'新|5|0||1|cx,cs'x|10|2015-03-01")});
    EXPECT_EQ(stockOf(QStringLiteral("A")), QStringList{source + QStringLiteral("|0|1")});
}

TEST_F(StockTransferTest, RefusalsAndFailuresWriteNothing)
{
    const QString source = item(QStringLiteral("A"), "5");
    item(QStringLiteral("B"), "1");
    const struct {
        const char *quantity, *shop, *message;
    } cases[] = {
        {"6", "B", "调出数量不能大于库存数！"},   {"1.5", "B", "调出数量请填写正整数，比如：5"},
        {"0", "B", "调出数量请填写正整数，比如：5"}, {"x", "B", "调出数量请填写正整数，比如：5"},
        {"1", "", "请选择接收调拨的门店！"},      {"1", "A", "请选择接收调拨的门店！"},
        {"1", "D", "请选择接收调拨的门店！"},
    };
    for (const auto &c : cases) {
        const TransferResult r = transferStockToShop(ctx(), source.toLongLong(), QString::fromUtf8(c.quantity),
                                                     QString::fromUtf8(c.shop));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, QString::fromUtf8(c.message)) << c.quantity << ' ' << c.shop;
    }
    // A statement refused at the end (the source's update) leaves both shops as they were.
    exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON 采购入库 WHEN old.所属店铺='A' BEGIN SELECT RAISE(ABORT, 'x'); END"));
    EXPECT_EQ(transferStockToShop(ctx(), source.toLongLong(), QStringLiteral("2"), QStringLiteral("B")).message,
              QStringLiteral("调拨失败，两个门店的库存都没有改变，请检查数据库连接后重试！"));
    EXPECT_EQ(rows(QStringLiteral("SELECT 数量 FROM [采购入库] ORDER BY id"), {"数量"}), (QStringList{"5", "1"}));
    EXPECT_EQ(count(QStringLiteral("调拨记录")), 0);
}

// Sold since the list was filled: the stored stock limits the transfer.
TEST_F(StockTransferTest, TheStoredStockLimitsTheTransfer)
{
    const QString source = item(QStringLiteral("A"), "5");
    exec(QStringLiteral("UPDATE [采购入库] SET 数量='2', 已售='3' WHERE id=?"), {source.toLongLong()});
    EXPECT_EQ(transferStockToShop(ctx(), source.toLongLong(), QStringLiteral("5"), QStringLiteral("B")).message,
              QStringLiteral("调出数量不能大于库存数！"));
}

// A sold-out line of the stock view has nothing to hand over: no dialog, no message, nothing written.
TEST_F(StockTransferTest, ASoldOutRowIsNotTransferred)
{
    const QString source = item(QStringLiteral("A"), "0");
    item(QStringLiteral("B"), "1");
    StockViewPage view(ctx());
    view.refreshStockList();
    view.list()->selectRow(0);
    ASSERT_EQ(view.list()->cellText(0, 9), QStringLiteral("0"));
    int opened = 0;
    messages.setDialogHandler([&](QDialog *) {
        ++opened;
        return int(QDialog::Rejected);
    });
    startStockTransfer(ctx(), view, nullptr);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库] ORDER BY id"), {"所属店铺", "数量", "零库存"}),
              (QStringList{"A|0|1", "B|1|1"}));
    EXPECT_EQ(count(QStringLiteral("调拨记录")), 0);
    EXPECT_EQ(view.list()->cellText(0, 9), QStringLiteral("0"));
}

TEST_F(StockTransferTest, TheDialogFromTheStockView)
{
    const QString source = item(QStringLiteral("A"), "20");
    StockViewPage view(ctx());
    view.refreshStockList();
    view.list()->selectRow(0);
    messages.setDialogHandler([](QDialog *dialog) {
        auto *shops = dialog->findChild<QComboBox *>(QStringLiteral("综合框"));
        EXPECT_EQ(shops->count(), 2); // B and C, not this shop
        EXPECT_EQ(shops->currentIndex(), -1);
        shops->setCurrentIndex(0);
        auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("综合内容"));
        EXPECT_EQ(box->text(), QStringLiteral("20"));
        EXPECT_EQ(box->selectedText(), QStringLiteral("20"));
        QTest::keyClicks(box, QStringLiteral("12")); // replaces the proposal, and 12 is typed whole
        EXPECT_EQ(box->text(), QStringLiteral("12"));
        dialog->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        return dialog->result();
    });
    startStockTransfer(ctx(), view, nullptr);
    EXPECT_EQ(view.list()->cellText(0, 9), QStringLiteral("8"));
    EXPECT_EQ(rows(QStringLiteral("SELECT 数量 FROM [采购入库] WHERE 所属店铺='B'"), {"数量"}), QStringList{"12"});
}

} // namespace
