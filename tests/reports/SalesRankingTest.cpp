// The sales ranking: sold counts ranked as numbers (most sold first on opening, least sold first for
// a picked month), the total row, the search over all months of the shop, the value choices, header
// clicks with the total row moving, the export read back, and the right.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "reports/SalesRanking.h"
#include "reports/SalesRankingWindow.h"
#include "support/SqliteShopTest.h"
#include "support/Workbook.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <gtest/gtest.h>

using namespace reports;

namespace {

inline QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

struct Ranked {
    const char *month = "2015-03-";
    const char *style = "";
    const char *sold = "1";
    const char *cost = "10";
    const char *shop = "A";
    const char *supplier = "供1";
    const char *name = "衬衫";
    const char *category = "上衣";
};

class SalesRankingTest : public testsupport::SqliteShopTest {
protected:
    void add(const Ranked &r)
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(
            QStringLiteral("INSERT INTO 销量排行 (当月时间,款号,已售数量,成本价,所属店铺,供货来源,商品名称,类别,吊牌价,单位,"
                           "最近售出日期) VALUES (?,?,?,?,?,?,?,?,'99','件','2015-03-10')"),
            {u8(r.month), u8(r.style), u8(r.sold), u8(r.cost), u8(r.shop), u8(r.supplier), u8(r.name), u8(r.category)})));
    }
    // One column of the list, top to bottom.
    static QStringList column(const ReportList *list, int c)
    {
        QStringList out;
        for (int r = 0; r < list->rowCount(); ++r)
            out << list->cellText(r, c);
        return out;
    }
    void execute(const char *sql)
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(u8(sql))));
    }

    MessageScript script;
};

// The order of a month: as numbers, equal counts oldest first.
struct OrderCase {
    const char *name;
    QList<const char *> counts; // rows K1, K2, ... in id order
    QStringList opening;        // 款号 from the top, the window's opening list
    QStringList picked;         // the same month by 查看指定月份
};

TEST_F(SalesRankingTest, MonthsRankSoldCountsAsNumbers)
{
    const QList<OrderCase> cases = {
        {"digit counts", {"9", "10", "100", "2"}, {"K3", "K2", "K1", "K4"}, {"K4", "K1", "K2", "K3"}},
        {"ties and blanks", {"3", "", "3", "x", "03"}, {"K1", "K3", "K5", "K2", "K4"}, {"K2", "K4", "K1", "K3", "K5"}},
    };
    for (const OrderCase &c : cases) {
        SCOPED_TRACE(c.name);
        execute("DELETE FROM 销量排行");
        for (int i = 0; i < c.counts.size(); ++i) {
            const QByteArray style = "K" + QByteArray::number(i + 1);
            add({.style = style.constData(), .sold = c.counts.at(i)});
        }
        add({.month = "2015-02-", .style = "K0", .sold = "50"}); // another month
        add({.style = "K9", .sold = "50", .shop = "B"});          // another shop
        SalesRankingWindow window(context);
        QStringList styles = column(window.list(), 4);
        ASSERT_EQ(styles.takeLast(), RankingTotalLabel);
        EXPECT_EQ(styles, c.opening);
        window.dateBox()->setDate(QDate(2015, 3, 28));
        window.listSalesRankingOfMonth();
        styles = column(window.list(), 4);
        ASSERT_EQ(styles.takeLast(), RankingTotalLabel);
        EXPECT_EQ(styles, c.picked);
        // The stored texts are shown as they are.
        EXPECT_EQ(window.list()->cellText(0, 7), QString::fromUtf8(c.counts.at(c.picked.first().mid(1).toInt() - 1)));
    }
    EXPECT_TRUE(script.texts().isEmpty());
}

struct TotalCase {
    const char *name;
    QList<std::pair<const char *, const char *>> rows; // 成本价, 已售数量
    const char *cost;                                    // the total row's cells, nullptr: no total row
    const char *sold;
};

TEST_F(SalesRankingTest, TheTotalRowSumsUnitCostsAndWholeCounts)
{
    const QList<TotalCase> cases = {
        {"unit costs, not weighted", {{"30", "3"}, {"45.5", "2.5"}, {"12", ""}}, "87.5", "5"},
        {"money exactly", {{"0.1", "1"}, {"0.2", "1"}}, "0.3", "2"},
        {"a month without sales", {}, nullptr, nullptr},
    };
    for (const TotalCase &c : cases) {
        SCOPED_TRACE(c.name);
        execute("DELETE FROM 销量排行");
        int n = 0;
        for (const auto &[cost, sold] : c.rows) {
            const QByteArray style = "K" + QByteArray::number(++n);
            add({.style = style.constData(), .sold = sold, .cost = cost});
        }
        SalesRankingWindow window(context);
        ReportList *list = window.list();
        if (!c.cost) {
            EXPECT_EQ(list->rowCount(), 0);
            continue;
        }
        ASSERT_EQ(list->rowCount(), c.rows.size() + 1);
        const int last = list->rowCount() - 1;
        EXPECT_EQ(list->rowTexts(last),
                  (QStringList{"", "", "", "", RankingTotalLabel, u8(c.cost), "", u8(c.sold), "", ""}));
        EXPECT_EQ(list->listModel()->rowColour(last), QColor(255, 0, 0));
        EXPECT_FALSE(list->listModel()->rowColour(0).isValid());
    }
}

struct SearchCase {
    const char *field;
    const char *value;
    QStringList ids; // listed, oldest first; empty: the list is left as it was
};

TEST_F(SalesRankingTest, SearchLooksThroughEveryMonthOfTheShop)
{
    add({.month = "2014-12-", .style = "K1", .supplier = "甲厂", .name = "白衬衫", .category = "上衣"}); // 1
    add({.month = "2015-03-", .style = "K1", .supplier = "甲厂", .name = "白衬衫", .category = "上衣"}); // 2
    add({.month = "2015-03-", .style = "K1", .shop = "B", .supplier = "甲厂", .name = "白衬衫"});          // 3
    add({.month = "2015-01-", .style = "K12", .supplier = "乙厂", .name = "黑裤", .category = "裤子"});    // 4
    add({.month = "2015-03-", .style = "50%OFF", .supplier = "ab'c", .name = "短裙", .category = "裙"});   // 5
    const QList<SearchCase> cases = {
        {"款号", "k1", {"1", "2", "4"}},
        {"款号", "%", {"5"}},
        {"供货来源", "ab'c", {"5"}},
        {"商品名称", "衬衫", {"1", "2"}},
        {"分类", "裤", {"4"}},
        {"颜色", "K1", {}},
    };
    for (const SearchCase &c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value);
        SalesRankingWindow window(context);
        const QStringList before = column(window.list(), 0);
        window.dateBox()->setDate(QDate(2015, 2, 1)); // the picked date does not narrow a search
        window.fieldBox()->addItem(u8("颜色"));
        window.fieldBox()->setCurrentText(u8(c.field));
        window.valueBox()->setCurrentText(u8(c.value));
        window.searchSalesRanking();
        QStringList ids = column(window.list(), 0);
        if (c.ids.isEmpty()) {
            EXPECT_EQ(ids, before);
            continue;
        }
        ASSERT_EQ(window.list()->cellText(ids.size() - 1, 4), RankingTotalLabel);
        ids.removeLast();
        EXPECT_EQ(ids, c.ids);
    }
}

TEST_F(SalesRankingTest, SuppliersAndCategoriesOfTheShopFillTheValueCombo)
{
    execute("INSERT INTO 供货管理 (供应商名称, 所属店铺) VALUES ('甲厂','A'), ('外厂','B'), ('乙厂','A')");
    execute("INSERT INTO 分类例表 (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('服装','01','','A'), ('上衣','','0101','A'), "
            "('外类','','0201','B'), ('裤子','','0102','A')");
    SalesRankingWindow window(context);
    const auto items = [&window] {
        QStringList out;
        for (int i = 0; i < window.valueBox()->count(); ++i)
            out << window.valueBox()->itemText(i);
        return out;
    };
    window.fieldBox()->setCurrentText(u8("供货来源"));
    EXPECT_EQ(items(), (QStringList{"甲厂", "乙厂"}));
    window.fieldBox()->setCurrentText(u8("分类"));
    EXPECT_EQ(items(), (QStringList{"上衣", "裤子"}));
    window.fieldBox()->setCurrentText(u8("款号")); // left for typing
    EXPECT_EQ(items(), (QStringList{"上衣", "裤子"}));
}

struct ClickCase {
    int column;
    QStringList styles;    // 款号 from the top afterwards (the total row shows its label there)
    const char *direction; // 标签10 afterwards
};

TEST_F(SalesRankingTest, HeaderClicksSortAndTheTotalRowMovesWithItsColour)
{
    add({.style = "B2", .sold = "9", .cost = "30"});
    add({.style = "a1", .sold = "10", .cost = "5"});
    add({.style = "A3", .sold = "2", .cost = "100"});
    SalesRankingWindow window(context);
    const QString total = RankingTotalLabel;
    ASSERT_EQ(column(window.list(), 4), (QStringList{"a1", "B2", "A3", total}));
    // One direction for all columns: descending first, then alternating; column 0 does nothing.
    const QList<ClickCase> clicks = {
        {7, {total, "a1", "B2", "A3"}, "1"}, // the total (21) is the largest count
        {7, {"A3", "B2", "a1", total}, "2"},
        {0, {"A3", "B2", "a1", total}, "2"},
        {5, {total, "A3", "B2", "a1"}, "1"}, // costs as numbers: 135, 100, 30, 5
        {4, {"a1", "A3", "B2", total}, "2"}, // text, letter case ignored: "a1" < "A3" < "B2" < "合"
        {4, {total, "B2", "A3", "a1"}, "1"},
    };
    for (const ClickCase &c : clicks) {
        SCOPED_TRACE(c.column);
        window.sortSalesRankingList(c.column);
        EXPECT_EQ(column(window.list(), 4), c.styles);
        EXPECT_EQ(window.directionLabel()->text(), u8(c.direction));
        const int totalRow = c.styles.indexOf(total);
        for (int r = 0; r < window.list()->rowCount(); ++r)
            EXPECT_EQ(window.list()->listModel()->rowColour(r).isValid(), r == totalRow) << r;
    }
}

TEST_F(SalesRankingTest, TheExportHoldsTheListAndItsTotalRow)
{
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(9, 5, 40)));
    add({.style = "K1", .sold = "10", .cost = "30"});
    add({.style = "K2", .sold = "9", .cost = "45.5"});
    SalesRankingWindow window(context);
    EXPECT_EQ(window.windowTitle(), u8("销量排行           单击表头可以排序"));
    window.exportSalesRanking();
    EXPECT_EQ(script.texts(), QStringList{u8("销量排行已成功导出在程序运行目录下")});
    const QString path = database->dir() + u8("/销量排行2015年03月11号9点5.xlsx");
    ASSERT_TRUE(QFile::exists(path)) << QDir(database->dir()).entryList().join(u' ').toStdString();
    const QList<QStringList> rows = testsupport::workbookRows(path);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], (QStringList{"ID", "供货来源", "商品名称", "分类", "款号", "成本价", "吊牌价", "已售数量", "单位",
                                    "最近售出日期"}));
    EXPECT_EQ(rows[1], (QStringList{"1", "供1", "衬衫", "上衣", "K1", "30", "99", "10", "件", "2015-03-10"}));
    EXPECT_EQ(rows[2].value(4), "K2");
    EXPECT_EQ(rows[3].value(4), RankingTotalLabel);
    EXPECT_EQ(rows[3].value(5), "75.5");
    EXPECT_EQ(rows[3].value(7), "19");
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM 日志记录"))));
    ASSERT_EQ(rs.rowCount(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("操作内容")), u8("销售明细-销量排行---导出销量排行"));

    // An unwritable program directory: the failure text and no log row.
    script.clear();
    ProgramDir::set(database->dir() + QStringLiteral("/missing"));
    window.exportSalesRanking();
    ASSERT_EQ(script.texts().size(), 1);
    EXPECT_TRUE(script.texts().first().startsWith(u8("导出失败："))) << script.texts().first().toStdString();
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM 日志记录"))));
    EXPECT_EQ(rs.rowCount(), 1);
    ProgramDir::set(database->dir());
}

TEST_F(SalesRankingTest, OpensOnlyWithTheRight)
{
    context.accountRights.销量排行 = QString();
    openSalesRankingWindow(context, nullptr);
    EXPECT_EQ(script.texts(), QStringList{u8("没有权限！")});
    EXPECT_TRUE(script.dialogs().isEmpty());
    script.clear();
    context.accountRights.销量排行 = AppContext::Granted;
    openSalesRankingWindow(context, nullptr);
    EXPECT_EQ(script.dialogs(), QStringList{"SalesRankingWindow"});
}

} // namespace
