// The stock view of 分类查看: visible rows with sold and left units, red sold-out rows, the totals
// line with 查看进价, hiding and showing sold-out rows, the rows of a day or a category, and the
// header sort that alternates from descending; the same rows, texts and colours on both backends.
#include "StockFixture.h"

#include "context/AccountRights.h"
#include "lists/ReportList.h"
#include "stock/StockView.h"

#include <QBrush>
#include <QDateEdit>

using namespace stock;
using stocktest::StockFixture;

namespace {

class StockViewTest : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        page = std::make_unique<StockViewPage>(ctx());
    }
    void TearDown() override
    {
        page.reset();
        StockFixture::TearDown();
    }
    QString row(const char *name, const char *quantity, const char *sold, const char *style, const char *day,
                const char *category = "衬衫", const char *top = "")
    {
        const QString id = stockRow(QStringLiteral("A"), QString::fromUtf8(name), QString::fromUtf8(quantity),
                                    QString::fromUtf8(sold), QStringLiteral("甲"), QString::fromUtf8(style));
        exec(QStringLiteral("UPDATE ") + table(QStringLiteral("采购入库"))
                 + QStringLiteral(" SET 入库日期=?, 类别=?, 大类=? WHERE id=?"),
             {QString::fromUtf8(day), QString::fromUtf8(category), QString::fromUtf8(top), id.toLongLong()});
        return id;
    }
    QStringList column(int c) const
    {
        QStringList cells;
        for (int r = 0; r < page->list()->rowCount(); ++r)
            cells << page->list()->cellText(r, c);
        return cells;
    }
    QColor colourOf(int r) const
    {
        const QVariant v = page->list()->model()->index(r, 2).data(Qt::ForegroundRole);
        return v.canConvert<QBrush>() ? v.value<QBrush>().color() : v.value<QColor>();
    }
    void select(const QString &id)
    {
        for (int r = 0; r < page->list()->rowCount(); ++r)
            if (page->list()->cellText(r, 0) == id)
                page->list()->selectRow(r);
    }
    std::unique_ptr<StockViewPage> page;
};

TEST_P(StockViewTest, SoldOutRowsAreRedUntilHiddenThenListedOnlyAsHidden)
{
    const QString out = row("外套", "0", "5", "B2", "2015-03-02");
    const QString left = row("衬衫", "3", "1", "A1", "2015-03-01");
    page->refreshStockList();
    EXPECT_EQ(column(0), (QStringList{left, out, ""}));
    EXPECT_EQ(column(7).last(), QStringLiteral("合计"));
    EXPECT_EQ(column(8).last(), QStringLiteral("6"));
    EXPECT_EQ(column(9).last(), QStringLiteral("3"));
    EXPECT_EQ(column(10).last(), QStringLiteral("30")); // cost 10 × 3 left
    EXPECT_EQ(colourOf(0), QColor(0, 128, 128));
    EXPECT_EQ(colourOf(1), QColor(255, 0, 0));

    select(out);
    page->hideZeroStockRow();
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(column(0), (QStringList{left, ""}));
    page->listHiddenZeroStock();
    EXPECT_EQ(column(0), (QStringList{out, ""}));
    select(out);
    page->unhideZeroStockRow();
    EXPECT_EQ(column(0), (QStringList{left, out, ""})); // by purchase date again
}

TEST_P(StockViewTest, OnlyAStockOfExactlyZeroIsHiddenOrShown)
{
    const QString doubleZero = row("外套", "00", "5", "B2", "2015-03-02");
    const QString one = row("衬衫", "1", "1", "A1", "2015-03-01");
    const QString zero = row("长裤", "0", "2", "C3", "2015-03-03");
    for (const QString &id : {doubleZero, one}) {
        page->refreshStockList();
        select(id);
        messages.clear();
        page->hideZeroStockRow();
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("当前选择项还有库存！")});
    }
    EXPECT_EQ(count(QStringLiteral("采购入库"), QStringLiteral("零库存='0'")), 0);
    page->refreshStockList();
    select(zero);
    page->hideZeroStockRow();
    EXPECT_EQ(count(QStringLiteral("采购入库"), QStringLiteral("零库存='0'")), 1);
    EXPECT_EQ(column(4), (QStringList{"A1", "B2", ""})); // reloaded by style number
}

TEST_P(StockViewTest, RowsOfADayOrOfACategory)
{
    exec(QStringLiteral("INSERT INTO ") + table(QStringLiteral("分类例表"))
         + QStringLiteral(" (项目名称, 一级编号, 所属店铺) VALUES ('上装', '01', 'A'), ('衬衫', '', 'A')"));
    const QString shirt = row("衬衫", "3", "0", "S2", "2015-03-01", "衬衫", "01");
    const QString coat = row("外套", "2", "0", "S1", "2015-03-02", "外套", "01");
    const QString trousers = row("长裤", "1", "0", "T1", "2015-03-02", "长裤", "02");
    page->listStockOfCategory(QStringLiteral("上装"));
    EXPECT_EQ(column(0), (QStringList{coat, shirt, ""})); // every item of the first level, by style number
    page->listStockOfCategory(QStringLiteral("衬衫"));
    EXPECT_EQ(column(0), (QStringList{shirt, ""}));
    page->dateBox()->setDate(QDate(2015, 3, 2));
    EXPECT_EQ(column(0), (QStringList{coat, trousers, ""}));
    page->dateBox()->setDate(QDate(2015, 3, 5));
    EXPECT_TRUE(column(0).isEmpty()); // no purchases, no totals line
}

TEST_P(StockViewTest, WithoutTheCostRightNoCostAndNoTotals)
{
    ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("查看进价"))] = QString();
    row("衬衫", "3", "1", "A1", "2015-03-01");
    page->refreshStockList();
    ASSERT_EQ(page->list()->rowCount(), 1);
    EXPECT_EQ(page->list()->cellText(0, 10), QString());
}

TEST_P(StockViewTest, HeaderClicksAlternateFromDescendingWhateverTheColumn)
{
    row("a", "9", "0", "A1", "2015-03-01");
    row("b", "10", "0", "B1", "2015-03-02");
    row("c", "100", "0", "C1", "2015-03-03");
    ctx().accountRights[AccountRights::columns().indexOf(QStringLiteral("查看进价"))] = QString(); // no totals line
    page->refreshStockList();
    page->sortStockList(9);
    EXPECT_EQ(column(9), (QStringList{"100", "10", "9"}));
    page->sortStockList(4);
    EXPECT_EQ(column(4), (QStringList{"A1", "B1", "C1"}));
    page->sortStockList(9);
    EXPECT_EQ(column(9), (QStringList{"100", "10", "9"}));
    page->sortStockList(0); // ID: nothing
    EXPECT_EQ(column(9), (QStringList{"100", "10", "9"}));
}

SHOPDESK_BOTH_BACKENDS(StockViewTest);

} // namespace
