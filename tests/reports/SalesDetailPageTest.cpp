// The sales detail page: date scopes and their triggers, the search, the totals with and without
// 查看进价, the detail window of a line and the export with its log row.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "reports/SaleLineDetailWindow.h"
#include "reports/SalesDetail.h"
#include "reports/SalesDetailPage.h"
#include "support/SqliteShopTest.h"
#include "support/Workbook.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace reports;

namespace {

using testsupport::workbookRows;

class SalesDetailTest : public testsupport::SqliteShopTest {
protected:
    void SetUp() override
    {
        SqliteShopTest::SetUp();
        if (HasFatalFailure())
            return;
        // Lines on three days across two months, plus one of another shop that never shows.
        sale("2015-02-28", "A", "红衬衫", "hcs", "1", "100", "40", "R1", "王五", "现金");
        sale("2015-03-10", "A", "白T恤", "btx", "2", "120", "30", "R2", "李四", "刷卡");
        sale("2015-03-11", "A", "黑裤子", "hkz", "3", "300", "50", "R3", "李四", "其它");
        sale("2015-03-11", "B", "白T恤", "btx", "9", "900", "10", "R9", "李四", "现金");
        page = std::make_unique<SalesDetailPage>(context);
    }
    void TearDown() override
    {
        page.reset();
        SqliteShopTest::TearDown();
    }

    void sale(const char *day, const char *shop, const char *name, const char *initials, const char *qty,
              const char *amount, const char *cost, const char *receipt, const char *salesperson, const char *kind)
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(
            QStringLiteral("INSERT INTO 销售明细 (销售日期,所属店铺,商品名称,拼音检索,数量,金额,进货价,小票单号,导购员,结付方式,"
                           "收银员,款号,颜色,尺码,单位,入库日期,吊牌价) VALUES (?,?,?,?,?,?,?,?,?,?,'张三','K1','白','L','件',"
                           "'2015-01-05','120')"),
            {QString::fromUtf8(day), QString::fromUtf8(shop), QString::fromUtf8(name), QString::fromUtf8(initials),
             QString::fromUtf8(qty), QString::fromUtf8(amount), QString::fromUtf8(cost), QString::fromUtf8(receipt),
             QString::fromUtf8(salesperson), QString::fromUtf8(kind)})));
    }
    // The receipt numbers listed, in list order.
    QStringList listed() const
    {
        QStringList receipts;
        for (int r = 0; r < page->list()->rowCount(); ++r)
            receipts << page->list()->cellText(r, 2);
        return receipts;
    }
    QStringList footer() const
    {
        QStringList values;
        for (int i = 0; i < 5; ++i)
            values << page->footerLabel(i)->text();
        return values;
    }
    // A date picked by the user: the handler runs even when the picker showed that date already.
    void setStart(const QDate &d)
    {
        if (page->startDate()->date() == d)
            page->listSalesByDateFilter();
        else
            page->startDate()->setDate(d);
    }
    void setEnd(const QDate &d)
    {
        if (page->endDate()->date() == d)
            page->listSalesOfRange();
        else
            page->endDate()->setDate(d);
    }

    MessageScript script;
    std::unique_ptr<SalesDetailPage> page;
};

TEST_F(SalesDetailTest, ScopesListByTheirTrigger)
{
    // 全部 is ticked at start: a new start date lists nothing.
    EXPECT_EQ(page->scope(), DateScope::All);
    setStart(QDate(2015, 3, 10));
    EXPECT_TRUE(listed().isEmpty());

    page->selectDayFilter();
    EXPECT_TRUE(listed().isEmpty()); // a click lists nothing by itself
    setStart(QDate(2015, 3, 11));
    EXPECT_EQ(listed(), QStringList{"R3"});
    setEnd(QDate(2015, 3, 30)); // the end date counts only for a range
    EXPECT_EQ(listed(), QStringList{"R3"});
    EXPECT_FALSE(page->endDate()->isVisibleTo(page.get()));

    page->selectMonthFilter();
    setStart(QDate(2015, 3, 1));
    EXPECT_EQ(listed(), (QStringList{"R2", "R3"}));

    page->selectRangeFilter();
    EXPECT_TRUE(page->endDate()->isVisibleTo(page.get()));
    setStart(QDate(2015, 2, 28));
    EXPECT_EQ(listed(), (QStringList{"R1", "R2", "R3"}));
    setEnd(QDate(2015, 3, 10));
    EXPECT_EQ(listed(), (QStringList{"R1", "R2"}));
    setEnd(QDate(2015, 2, 1)); // an end before the start gives the start day only
    EXPECT_EQ(listed(), QStringList{"R1"});

    // A click on the ticked box keeps it ticked.
    page->findChild<QCheckBox *>(QStringLiteral("开始框"))->click();
    EXPECT_EQ(page->scope(), DateScope::Range);
}

// Ticking the range shows its end date without pushing the scope boxes aside: a second click
// at the same place hits the same box.
TEST_F(SalesDetailTest, TheScopeBoxesStayInPlaceWhenTheRangeShowsItsEndDate)
{
    page->resize(1200, 500);
    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    auto *day = page->findChild<QCheckBox *>(QStringLiteral("天框"));
    auto *all = page->findChild<QCheckBox *>(QStringLiteral("全部框"));
    const QRect dayAt = day->geometry();
    const QRect allAt = all->geometry();
    page->selectRangeFilter();
    QApplication::processEvents();
    ASSERT_TRUE(page->endDate()->isVisible());
    EXPECT_EQ(day->geometry(), dayAt);
    EXPECT_EQ(all->geometry(), allAt);
    EXPECT_FALSE(page->endDate()->geometry().intersects(day->geometry()));
    page->selectDayFilter();
    QApplication::processEvents();
    EXPECT_EQ(day->geometry(), dayAt);
    page->hide();
}

TEST_F(SalesDetailTest, TotalsWithCostRight)
{
    page->selectRangeFilter();
    setEnd(QDate(2015, 3, 11));
    setStart(QDate(2015, 3, 11));
    EXPECT_EQ(footer(), (QStringList{"300", "3", "150", "150", "100%"}));
    EXPECT_EQ(page->list()->cellText(0, kCostColumn), "50");

    // A second range shows its own totals only.
    setStart(QDate(2015, 3, 10));
    EXPECT_EQ(footer(), (QStringList{"420", "5", "210", "210", "100%"}));
    EXPECT_EQ(page->totals().quantity, 5);

    // An empty day: zeros and margin "0".
    page->selectDayFilter();
    setStart(QDate(2015, 1, 1));
    EXPECT_EQ(footer(), (QStringList{"0", "0", "0", "0", "0"}));
}

TEST_F(SalesDetailTest, WithoutCostRightNoCostAndNoFooter)
{
    context.accountRights.查看进价 = QString();
    page->selectDayFilter();
    setStart(QDate(2015, 3, 11));
    ASSERT_EQ(listed(), QStringList{"R3"});
    EXPECT_EQ(page->list()->cellText(0, kCostColumn), "");
    EXPECT_EQ(page->list()->cellText(0, 13), "300");
    EXPECT_EQ(footer(), QStringList(5, QString()));
}

TEST_F(SalesDetailTest, MarginTexts)
{
    const struct {
        double amount, cost;
        const char *text;
    } cases[] = {
        {400, 300, "33.33%"}, {105, 100, "5%"},     {1244.5, 10, "12345%"}, {0, 50, "0"},
        {87.6543, 100, "-12.3%"}, {100, 0, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(salesMarginText(c.amount, c.cost), QString::fromUtf8(c.text)) << c.amount << " " << c.cost;
}

// Thousands of lines whose amounts and costs a running double sums with noise in the last digits
// (981099.7000001, 794925.0299999): the footer shows the totals to the cent.
TEST_F(SalesDetailTest, TotalsOfManyLinesAreExact)
{
    ASSERT_TRUE(context.connection().execute(data::Sql(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 4999) "
        "INSERT INTO 销售明细 (销售日期,所属店铺,商品名称,数量,金额,进货价,小票单号) "
        "SELECT '2015-04-01','A','衬衫',CAST(i % 3 + 1 AS TEXT),"
        "CASE i % 3 WHEN 0 THEN '292.3' WHEN 1 THEN '199.8' ELSE '96.5' END,"
        "CASE i % 3 WHEN 0 THEN '88.59' WHEN 1 THEN '77.22' ELSE '77.99' END,'R' || i FROM n"))));
    page->selectDayFilter();
    setStart(QDate(2015, 4, 1));
    ASSERT_EQ(page->list()->rowCount(), 5000);
    EXPECT_EQ(footer(), (QStringList{"981099.7", "9999", "794925.03", "186174.67", "23.42%"}));

    // The same lines as a range, and the month.
    page->selectRangeFilter();
    setEnd(QDate(2015, 4, 30));
    EXPECT_EQ(footer(), (QStringList{"981099.7", "9999", "794925.03", "186174.67", "23.42%"}));
    page->selectMonthFilter();
    setStart(QDate(2015, 4, 15));
    EXPECT_EQ(footer().value(0), "981099.7");
}

// A listing or search whose statement fails says so and keeps the list and the footer it showed;
// once the table is back the page lists again.
TEST_F(SalesDetailTest, AFailedReadSaysSoAndKeepsWhatWasShown)
{
    page->selectDayFilter();
    setStart(QDate(2015, 3, 11));
    ASSERT_EQ(listed(), QStringList{"R3"});
    const QStringList shownFooter{"300", "3", "150", "150", "100%"};
    ASSERT_EQ(footer(), shownFooter);
    ASSERT_TRUE(context.connection().execute(data::Sql(QStringLiteral("ALTER TABLE 销售明细 RENAME TO 销售明细旧"))));

    const struct {
        const char *name;
        std::function<void()> act;
    } cases[] = {
        {"day", [&] { page->selectDayFilter(); setStart(QDate(2015, 3, 10)); }},
        {"month", [&] { page->selectMonthFilter(); setStart(QDate(2015, 3, 1)); }},
        {"range", [&] { page->selectRangeFilter(); setEnd(QDate(2015, 3, 12)); }},
        {"search in a day", [&] {
             page->selectDayFilter();
             page->searchField()->setCurrentText(QStringLiteral("款号"));
             page->searchSalesDetails();
         }},
        {"search in a range", [&] { page->selectRangeFilter(); page->searchSalesDetails(); }},
        {"search in all dates", [&] { page->selectAllDatesFilter(); page->searchSalesDetails(); }},
        {"the page switch's listing", [&] {
             data::RecordSet rs(context.connection());
             rs.open(salesOfDaySql(context.connection().dialect(), QStringLiteral("A"), QDate(2015, 3, 11)));
             page->fillSalesDetailList(rs);
         }},
    };
    for (const auto &c : cases) {
        script.clear();
        c.act();
        EXPECT_EQ(script.texts(), QStringList{"读取销售明细失败，请检查数据库连接后重试！列表和合计仍是上次的内容。"}) << c.name;
        EXPECT_EQ(listed(), QStringList{"R3"}) << c.name;
        EXPECT_EQ(footer(), shownFooter) << c.name;
    }

    ASSERT_TRUE(context.connection().execute(data::Sql(QStringLiteral("ALTER TABLE 销售明细旧 RENAME TO 销售明细"))));
    script.clear();
    page->selectRangeFilter();
    setStart(QDate(2015, 3, 10));
    EXPECT_EQ(listed(), (QStringList{"R2", "R3"}));
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(SalesDetailTest, SearchInsideTheScope)
{
    const struct {
        DateScope scope;
        const char *item, *text;
        QStringList receipts;
    } cases[] = {
        {DateScope::All, "商品名称", "白", {"R2"}},
        {DateScope::All, "商品名称", "BT", {"R2"}},
        {DateScope::All, "导购员", "李", {"R2", "R3"}},
        {DateScope::Month, "导购员", "李", {"R2", "R3"}},
        {DateScope::Day, "导购员", "李", {"R3"}},
        {DateScope::Range, "结付方式", "", {"R1", "R2", "R3"}},
        {DateScope::All, "销售单号", "r_", {}}, // "_" is literal: no receipt holds "r_"
        {DateScope::All, "销售单号", "r", {"R1", "R2", "R3"}},
        {DateScope::All, "商品名称", "\xF0\x9F\x98\x80", {}}, // no pinyin initials: no key, nothing found
        {DateScope::All, "收银员", "张", {"R1", "R2", "R3"}},
        {DateScope::All, "款号", "x' or '1'='1", {}},
    };
    page->startDate()->blockSignals(true);
    page->startDate()->setDate(QDate(2015, 3, 11));
    page->endDate()->setDate(QDate(2015, 2, 28)); // before the start: the start day only
    page->startDate()->blockSignals(false);
    for (const auto &c : cases) {
        switch (c.scope) {
        case DateScope::Day: page->selectDayFilter(); break;
        case DateScope::Month: page->selectMonthFilter(); break;
        case DateScope::Range: page->selectRangeFilter(); break;
        case DateScope::All: page->selectAllDatesFilter(); break;
        }
        if (c.scope == DateScope::Range) {
            page->endDate()->blockSignals(true);
            page->endDate()->setDate(QDate(2015, 3, 11));
            page->startDate()->blockSignals(true);
            page->startDate()->setDate(QDate(2015, 2, 1));
            page->startDate()->blockSignals(false);
            page->endDate()->blockSignals(false);
        }
        page->searchField()->setCurrentText(QString::fromUtf8(c.item));
        page->searchText()->setText(QString::fromUtf8(c.text));
        page->searchSalesDetails();
        EXPECT_EQ(listed(), c.receipts) << c.item << " " << c.text;
    }
}

TEST_F(SalesDetailTest, EnterInTheSearchTextSearches)
{
    page->searchField()->setCurrentText(QStringLiteral("导购员"));
    page->searchText()->setText(QStringLiteral("李"));
    QTest::keyClick(page->searchText(), Qt::Key_Return);
    EXPECT_EQ(listed(), (QStringList{"R2", "R3"}));
}

TEST_F(SalesDetailTest, DetailWindowOfALine)
{
    ASSERT_TRUE(context.connection().execute(data::Sql(QStringLiteral(
        "INSERT INTO 采购入库 (款号,颜色,尺码,单位,入库日期,所属店铺,数量,入库人) VALUES "
        "('K1','白','L','件','2015-01-05','A','2','甲'),('K1','白','L','件','2015-01-05','A','3','乙'),"
        "('K1','白','L','件','2015-01-05','B','7','丙')"))));
    page->selectDayFilter();
    setStart(QDate(2015, 3, 11));

    page->openSaleLineDetailWindow(); // nothing selected: nothing opens
    EXPECT_TRUE(script.dialogs().isEmpty());

    page->list()->selectRow(0);
    QStringList stock, sale;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *window = qobject_cast<SaleLineDetailWindow *>(dialog);
        EXPECT_EQ(window->windowTitle(), "销售明细");
        EXPECT_EQ(page->selectedSale().value(QStringLiteral("小票单号")), "R3");
        stock = window->list(2)->rowTexts(0);
        sale = window->list(3)->rowTexts(0);
        return int(QDialog::Accepted);
    });
    page->openSaleLineDetailWindow();
    EXPECT_EQ(script.dialogs(), QStringList{"SaleLineDetailWindow"});
    EXPECT_EQ(stock.value(5), "5");  // 剩余库存 of this shop's rows
    EXPECT_EQ(stock.value(6), "乙"); // 操作员 of the last row
    EXPECT_EQ(sale.value(4), "150"); // 销售毛利 = 300 − 50 × 3
    EXPECT_TRUE(page->selectedSale().isEmpty());

    // Without 查看进价 the line shows no cost, so no profit is made up.
    context.accountRights.查看进价 = QString();
    page->listSalesByDateFilter();
    page->list()->selectRow(0);
    page->openSaleLineDetailWindow();
    EXPECT_EQ(sale.value(4), "");
    EXPECT_EQ(stock.value(2), "");
}

// A stock lookup that fails is said, and the window shows no stock figure rather than "0".
TEST_F(SalesDetailTest, TheDetailWindowSaysWhenTheStockCannotBeRead)
{
    page->selectDayFilter();
    setStart(QDate(2015, 3, 11));
    page->list()->selectRow(0);
    ASSERT_TRUE(context.connection().execute(data::Sql(QStringLiteral("ALTER TABLE 采购入库 RENAME TO 采购入库旧"))));
    QStringList stock, sale;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *window = qobject_cast<SaleLineDetailWindow *>(dialog);
        stock = window->list(2)->rowTexts(0);
        sale = window->list(3)->rowTexts(0);
        return int(QDialog::Accepted);
    });
    page->openSaleLineDetailWindow();
    EXPECT_EQ(script.texts(), QStringList{"读取库存失败，剩余库存和操作员无法显示，请检查数据库连接后重试！"});
    EXPECT_EQ(stock.value(5), "");    // 剩余库存
    EXPECT_EQ(stock.value(6), "");    // 操作员
    EXPECT_EQ(sale.value(3), "300");  // the sold line itself is shown
    EXPECT_EQ(sale.value(4), "150");
    ASSERT_TRUE(context.connection().execute(data::Sql(QStringLiteral("ALTER TABLE 采购入库旧 RENAME TO 采购入库"))));
}

// The detail window shows a 13-digit barcode, the receipt number and the dates whole, and no
// list needs scrolling sideways.
TEST_F(SalesDetailTest, TheDetailWindowShowsEveryCellWhole)
{
    ASSERT_TRUE(context.connection().execute(data::Sql(QStringLiteral(
        "UPDATE 销售明细 SET 商品条码='6900000000031', 小票单号='63123141012' WHERE 小票单号='R3'"))));
    page->selectDayFilter();
    setStart(QDate(2015, 3, 11));
    page->list()->selectRow(0);
    QStringList cut;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *window = qobject_cast<SaleLineDetailWindow *>(dialog);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        for (int n = 1; n <= 4; ++n) {
            ReportList *list = window->list(n);
            const QFontMetrics metrics(list->font());
            const QStringList cells = list->rowTexts(0);
            for (int c = 0; c < cells.size(); ++c) {
                if (metrics.horizontalAdvance(cells[c]) > list->columnWidth(c))
                    cut << cells[c];
            }
            if (list->header()->length() > list->viewport()->width())
                cut << QStringLiteral("list %1 scrolls").arg(n);
        }
        window->hide();
        return int(QDialog::Accepted);
    });
    page->openSaleLineDetailWindow();
    EXPECT_TRUE(cut.isEmpty()) << cut.join(u',').toStdString();
}

TEST_F(SalesDetailTest, ExportWritesTheListWithItsLogRow)
{
    page->selectMonthFilter();
    setStart(QDate(2015, 3, 1));
    page->exportSalesDetails();
    EXPECT_EQ(script.texts(), QStringList{"销售明细已成功导出在程序运行目录下"});
    const QList<QStringList> rows = workbookRows(database->dir() + QStringLiteral("/销售明细2015年03月11号14点5.xlsx"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].value(2), "销售单号");
    EXPECT_EQ(rows[0].size(), kSalesDetailColumnCount);
    EXPECT_EQ(rows[1].value(2), "R2");
    EXPECT_EQ(rows[2].value(13), "300");
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM 日志记录"))));
    ASSERT_EQ(rs.rowCount(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("操作内容")), "销售明细---导出销售明细");
    EXPECT_EQ(rs.text(QStringLiteral("操作时间")), "2015-03-11 14:5");
}

TEST_F(SalesDetailTest, ExportRefusedOrFailedSaysSo)
{
    context.accountRights.导出明细 = QString();
    page->exportSalesDetails();
    EXPECT_EQ(script.texts(), QStringList{"没有权限！"});
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM 日志记录"))));
    EXPECT_EQ(rs.rowCount(), 0);

    // An unwritable program directory: the failure text, never the success text.
    context.accountRights.导出明细 = AppContext::Granted;
    script.clear();
    ProgramDir::set(database->dir() + QStringLiteral("/missing"));
    page->exportSalesDetails();
    ASSERT_EQ(script.texts().size(), 1);
    EXPECT_TRUE(script.texts().first().startsWith(QStringLiteral("导出失败："))) << script.texts().first().toStdString();
    ProgramDir::set(database->dir());
}

} // namespace
