// Every cell of the stock view and of the stock-alarm report comes from its own column: one row
// whose columns all hold different texts, read on both backends, with and without 查看进价, through
// the page's own query and through a record set of every column (as the main window fills the view).
#include "StockFixture.h"

#include "context/AccountRights.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "stock/StockAlarms.h"
#include "stock/StockView.h"

using namespace stock;

namespace {

class StockListCells : public stocktest::StockFixture {
protected:
    // A row of shop A whose every column differs from the others; returns its id.
    QString distinctRow(const QString &onOff)
    {
        exec(QStringLiteral("INSERT INTO ") + db().dialect().quoteTable(QStringLiteral("采购入库"))
                 + QStringLiteral(" (供货来源, 名称, 类别, 款号, 颜色, 尺码, 单位, 已售, 数量, 进货价, 吊牌价, 入库日期, "
                                  "商品条码, 开关, 上限, 下限, 所属店铺, 零库存, 大类, 拼音检索) "
                                  "VALUES ('甲厂','羊毛衫','毛衣','K-77','藏青','XL','件','4','9','35.5','128',"
                                  "'2015-03-02','6901234567892',?,'8','2','A','1','03','ymS')"),
             {onOff});
        data::RecordSet rs(db());
        rs.open(data::Sql(QStringLiteral("SELECT MAX(id) AS m FROM ") + db().dialect().quoteTable(QStringLiteral("采购入库"))));
        return rs.text(QStringLiteral("m"));
    }
    void setCostRight(bool granted)
    {
        ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("查看进价"))] =
            granted ? AppContext::Granted : QString();
    }
};

TEST_P(StockListCells, StockViewCellsComeFromTheirColumns)
{
    const QString id = distinctRow(QStringLiteral("假"));
    const struct {
        const char *name;
        bool cost;
        bool allColumns; // the main window's record set of every column instead of the page's query
    } cases[] = {{"page query, cost", true, false},
                 {"page query, no cost", false, false},
                 {"every column, cost", true, true},
                 {"every column, no cost", false, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        setCostRight(c.cost);
        StockViewPage page(ctx());
        if (c.allColumns) {
            data::RecordSet rs(db());
            ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM ")
                                          + db().dialect().quoteTable(QStringLiteral("采购入库")))));
            page.fillStockList(rs);
        } else {
            page.refreshStockList();
        }
        ASSERT_EQ(page.list()->rowCount(), c.cost ? 2 : 1);
        EXPECT_EQ(page.list()->rowTexts(0),
                  (QStringList{id, "甲厂", "羊毛衫", "毛衣", "K-77", "藏青", "XL", "件", "4", "9",
                               c.cost ? "35.5" : "", "128", "2015-03-02"}));
        if (c.cost) // sold 4, 9 left at 35.5
            EXPECT_EQ(page.list()->rowTexts(1),
                      (QStringList{"", "", "", "", "", "", "", "合计", "4", "9", "319.5", "", ""}));
    }
}

TEST_P(StockListCells, AlarmReportCellsComeFromTheirColumns)
{
    ctx().shopSettings.报警开关 = QStringLiteral("真");
    ctx().shopSettings.上限报警 = QStringLiteral("5");
    ctx().shopSettings.下限报警 = QStringLiteral("1");
    const struct {
        const char *name;
        const char *onOff;
        bool cost;
        QStringList bounds; // 上, 下, 备注
    } cases[] = {
        {"own bounds, cost", "真", true, {"8", "2", "高于上限[自]"}},
        {"shop bounds, no cost", "假", false, {"5", "1", "高于上限"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        exec(QStringLiteral("DELETE FROM ") + db().dialect().quoteTable(QStringLiteral("采购入库")));
        const QString id = distinctRow(QString::fromUtf8(c.onOff));
        exec(QStringLiteral("UPDATE ") + db().dialect().quoteTable(QStringLiteral("采购入库"))
             + QStringLiteral(" SET 数量='12'"));
        setCostRight(c.cost);
        bool ok = false;
        const QList<QStringList> lines = stockAlarmLines(ctx(), &ok);
        EXPECT_TRUE(ok);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(lines.at(0), (QStringList{id, "6901234567892", "甲厂", "羊毛衫", "毛衣", "K-77", "藏青", "XL", "12", "件",
                                            c.cost ? "35.5" : "", "2015-03-02"}
                                + c.bounds));
    }
}

SHOPDESK_BOTH_BACKENDS(StockListCells);

} // namespace
