// The rights on the stock actions: an account without the action's right is refused with "没有权限！"
// before any window opens, and nothing is written; an account holding only that right goes on.
#include "StockFixture.h"

#include "context/AccountRights.h"
#include "lists/ReportList.h"
#include "stock/StockAdjust.h"
#include "stock/StockTransfer.h"
#include "stock/StockView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

using namespace stock;
using stocktest::SqliteStockFixture;

namespace {

class StockActionRightsTest : public SqliteStockFixture {
protected:
    void SetUp() override
    {
        SqliteStockFixture::SetUp();
        exec(QStringLiteral("INSERT INTO [店铺名] (店名) VALUES ('A'), ('B')"));
        // Each window that opens takes one unit off the row and is confirmed.
        messages.setDialogHandler([this](QDialog *dialog) {
            opened << dialog->objectName();
            if (auto *shops = dialog->findChild<QComboBox *>(QStringLiteral("综合框"))) {
                shops->setCurrentIndex(0);
                dialog->findChild<QLineEdit *>(QStringLiteral("综合内容"))->setText(QStringLiteral("1"));
            } else {
                dialog->findChild<QLineEdit *>(QStringLiteral("数量1"))->setText(QStringLiteral("-1"));
            }
            dialog->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
            return dialog->result();
        });
    }
    // Every stored row of the tables a stock action writes.
    QStringList stored()
    {
        QStringList all = rows(QStringLiteral("SELECT * FROM [采购入库] ORDER BY id"), {"id", "所属店铺", "数量", "吊牌价", "零库存"});
        for (const char *table : {"商品历史", "调拨记录", "日志记录"})
            all << QString::fromUtf8(table) + u':' + QString::number(count(QString::fromUtf8(table)));
        return all;
    }
    void grantOnly(const QString &right)
    {
        for (int i = 0; i < AccountRights::count; ++i)
            ctx().accountRights[i] = AccountRights::columns().at(i) == right ? AppContext::Granted : QString();
    }
    void grantAllBut(const QString &right)
    {
        for (int i = 0; i < AccountRights::count; ++i)
            ctx().accountRights[i] = AccountRights::columns().at(i) == right ? QString() : AppContext::Granted;
    }
    QStringList opened;
};

TEST_F(StockActionRightsTest, EachActionNeedsItsOwnRight)
{
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("5"));
    // 商品调整 on the purchase list's line.
    ReportList purchaseList;
    for (int c = 0; c < 19; ++c)
        purchaseList.addColumn(QString::number(c), 30);
    QStringList cells(19);
    cells[0] = id;
    cells[8] = QStringLiteral("5");
    cells[10] = QStringLiteral("10");
    cells[11] = QStringLiteral("20");
    purchaseList.addRow(cells);
    purchaseList.selectRow(0);
    // 库存调拨 on the stock view's line.
    StockViewPage view(ctx());

    const struct {
        const char *action, *right, *window;
        std::function<void()> run;
    } cases[] = {
        {"商品调整", "调整价格", "StockAdjustDialog", [&] { startStockAdjust(ctx(), &purchaseList, nullptr); }},
        {"库存调拨", "库存调拨", "TransferDialog",
         [&] {
             view.refreshStockList();
             view.list()->selectRow(0);
             startStockTransfer(ctx(), view, nullptr);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.action);
        const QString right = QString::fromUtf8(c.right);

        grantAllBut(right);
        const QStringList before = stored();
        opened.clear();
        messages.clear();
        c.run();
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("没有权限！")});
        EXPECT_TRUE(opened.isEmpty()) << opened.join(u' ').toStdString();
        EXPECT_EQ(stored(), before);

        grantOnly(right);
        messages.clear();
        c.run();
        EXPECT_EQ(opened, QStringList{QString::fromUtf8(c.window)});
        EXPECT_FALSE(messages.texts().contains(QStringLiteral("没有权限！")));
        EXPECT_NE(stored(), before); // the one unit was taken
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT 数量 FROM [采购入库] WHERE id=?"), {"数量"}, {id.toLongLong()}), QStringList{"3"});
}

} // namespace
