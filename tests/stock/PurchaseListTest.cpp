#include "StockFixture.h"

#include "platform/NumberText.h"

#include "stock/PurchaseEntry.h"
#include "stock/FormLists.h"
#include "stock/PurchaseList.h"

using namespace stock;
using stocktest::SqliteStockFixture;

namespace {

PurchaseRow row(const QString &id, const QString &quantity, const QString &cost, const QString &alarm = QString())
{
    PurchaseRow r;
    r.id = id;
    r.quantity = quantity;
    r.cost = cost;
    r.upper = QStringLiteral("9");
    r.lower = QStringLiteral("1");
    r.alarmSwitch = alarm;
    return r;
}

TEST(PurchaseListLines, ColoursCostAndTotals)
{
    const QList<PurchaseRow> rows = {row(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("10")),
                                     row(QStringLiteral("2"), QStringLiteral("00"), QStringLiteral("10")),
                                     row(QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("2.5"), QStringLiteral("真")),
                                     row(QStringLiteral("4"), QStringLiteral("0.0"), QStringLiteral("1"), QStringLiteral("假"))};
    const QList<PurchaseListLine> seen = purchaseListLines(rows, true);
    ASSERT_EQ(seen.size(), 5);
    EXPECT_EQ(seen[0].colour, kRed);
    EXPECT_EQ(seen[1].colour, kTeal);
    EXPECT_EQ(seen[3].colour, kTeal);
    EXPECT_EQ(seen[2].cells.mid(16), (QStringList{QStringLiteral("9"), QStringLiteral("1"), QStringLiteral("真")}));
    EXPECT_EQ(seen[3].cells.mid(16), (QStringList{QString(), QString(), QString()}));
    const PurchaseListLine &totals = seen[4];
    EXPECT_TRUE(totals.totals);
    EXPECT_EQ(totals.colour, kRed);
    EXPECT_TRUE(totals.cells[0].isEmpty());
    EXPECT_EQ(totals.cells[7], QStringLiteral("合计:"));
    EXPECT_EQ(totals.cells[8], QStringLiteral("3"));
    EXPECT_EQ(totals.cells[10], QStringLiteral("7.5"));

    const QList<PurchaseListLine> hidden = purchaseListLines(rows, false);
    ASSERT_EQ(hidden.size(), 4);
    EXPECT_TRUE(hidden[2].cells[10].isEmpty());
    EXPECT_TRUE(purchaseListLines({}, true).isEmpty());
    EXPECT_EQ(purchaseListLines({rows[2]}, true).size(), 2);
}

// Thousands of rows whose cost total a running double gets as 794925.0299999.
TEST(PurchaseListLines, TheCostTotalOfManyRowsIsExact)
{
    const QStringList costs{QStringLiteral("88.59"), QStringLiteral("77.22"), QStringLiteral("77.99")};
    QList<PurchaseRow> rows;
    for (int i = 0; i < 5000; ++i)
        rows << row(QString::number(i + 1), QString::number(i % 3 + 1), costs.at(i % 3));
    const QList<PurchaseListLine> lines = purchaseListLines(rows, true);
    ASSERT_EQ(lines.size(), 5001);
    EXPECT_EQ(lines.last().cells[8], QStringLiteral("9999"));
    EXPECT_EQ(lines.last().cells[10], QStringLiteral("794925.03"));
}

TEST(PurchaseListLines, TheTotalsLineInTheFormSelectsNoRow)
{
    const QList<PurchaseListLine> seen = purchaseListLines({row(QStringLiteral("7"), QStringLiteral("2"), QStringLiteral("5"))}, true);
    PurchaseForm form;
    showLineInForm(seen[1].cells, form);
    EXPECT_EQ(form.lines[0].size, QStringLiteral("合计:"));
    EXPECT_EQ(form.lines[0].quantity, QStringLiteral("2"));
    EXPECT_EQ(form.cost, QStringLiteral("10"));
    EXPECT_TRUE(seen[1].cells[0].isEmpty());
}

TEST(PurchaseListSelection, ALineFillsTheFormAndNoLineEmptiesItsFields)
{
    PurchaseForm form;
    form.supplier = form.styleNo = form.cost = form.barcode = QStringLiteral("old");
    form.lines[0] = {QStringLiteral("红"), QStringLiteral("M"), QStringLiteral("5")};
    form.lines[1] = {QStringLiteral("黑"), QStringLiteral("L"), QStringLiteral("2")};
    form.discountedPrice = QStringLiteral("9");

    PurchaseForm none = form;
    showSelectionInForm(std::nullopt, none);
    EXPECT_TRUE(none.supplier.isEmpty());
    EXPECT_TRUE(none.styleNo.isEmpty());
    EXPECT_TRUE(none.cost.isEmpty());
    EXPECT_TRUE(none.barcode.isEmpty());
    EXPECT_TRUE(none.lines[0].colour.isEmpty());
    EXPECT_TRUE(none.lines[0].size.isEmpty());
    EXPECT_EQ(none.lines[0].quantity, QStringLiteral("5"));
    EXPECT_EQ(none.lines[1].colour, QStringLiteral("黑"));
    EXPECT_EQ(none.discountedPrice, QStringLiteral("9"));

    // A short line (fewer cells than columns) leaves the missing fields empty, not the old texts.
    PurchaseForm picked = form;
    showSelectionInForm(QStringList{QStringLiteral("7"), QStringLiteral("690"), QStringLiteral("乙厂")}, picked);
    EXPECT_EQ(picked.barcode, QStringLiteral("690"));
    EXPECT_EQ(picked.supplier, QStringLiteral("乙厂"));
    EXPECT_TRUE(picked.styleNo.isEmpty());
    EXPECT_TRUE(picked.cost.isEmpty());
    EXPECT_TRUE(picked.lines[0].quantity.isEmpty());
    EXPECT_EQ(picked.lines[1].size, QStringLiteral("L"));
}

class PurchaseListTest : public SqliteStockFixture {};

QStringList names(const PurchaseRows &rows)
{
    QStringList out;
    for (const PurchaseRow &r : rows.rows)
        out << r.name;
    return out;
}

TEST_F(PurchaseListTest, SearchesAndFilters)
{
    stockRow(QStringLiteral("A"), QStringLiteral("甲1"), QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("乙厂"), QStringLiteral("K100"));
    stockRow(QStringLiteral("A"), QStringLiteral("甲2"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("甲厂"), QStringLiteral("K100"));
    stockRow(QStringLiteral("A"), QStringLiteral("甲3"), QStringLiteral("4"), QStringLiteral("0"), QStringLiteral("甲厂"), QStringLiteral("k_1"));
    stockRow(QStringLiteral("B"), QStringLiteral("别店"), QStringLiteral("4"), QStringLiteral("0"), QStringLiteral("甲厂"), QStringLiteral("K100"));
    exec(QStringLiteral("UPDATE [采购入库] SET 入库日期='2014-01-01' WHERE 名称='甲2'"));
    exec(QStringLiteral("INSERT INTO [采购入库] (名称, 数量, 零库存, 所属店铺, 入库日期) VALUES ('藏', '0', '0', 'A', '2013-01-01')"));
    exec(QStringLiteral("INSERT INTO [采购入库] (名称, 数量, 零库存, 所属店铺, 入库日期) VALUES ('早', '0', '1', 'A', '2012-01-01')"));

    EXPECT_EQ(names(listInStock(ctx())), (QStringList{QStringLiteral("甲1"), QStringLiteral("甲3")}));
    // In stock only, by supplier (乙厂 sorts before 甲厂 on code points).
    EXPECT_EQ(names(listBySupplier(ctx(), QStringLiteral("厂"))), (QStringList{QStringLiteral("甲1"), QStringLiteral("甲3")}));
    // Any stock; typed % and _ stand for themselves; ASCII case is ignored.
    EXPECT_EQ(names(listByStyleNo(ctx(), QStringLiteral("k1"))), (QStringList{QStringLiteral("甲1"), QStringLiteral("甲2")}));
    EXPECT_EQ(names(listByStyleNo(ctx(), QStringLiteral("_"))), (QStringList{QStringLiteral("甲3")}));
    EXPECT_EQ(names(listByStyleNo(ctx(), QStringLiteral("%"))), QStringList{});
    EXPECT_EQ(names(listByStyleNo(ctx(), QString())).size(), 5);
    // Zero stock that is not hidden, by purchase date.
    EXPECT_EQ(names(listZeroStock(ctx())), (QStringList{QStringLiteral("早"), QStringLiteral("甲2")}));
}

TEST_F(PurchaseListTest, ModifyRewritesOnlyAnUnsoldRowOfTheShop)
{
    const QString unsold = stockRow(QStringLiteral("A"), QStringLiteral("原"), QStringLiteral("5"));
    const QString sold = stockRow(QStringLiteral("A"), QStringLiteral("售"), QStringLiteral("5"), QStringLiteral("1"));
    const QString other = stockRow(QStringLiteral("B"), QStringLiteral("别"), QStringLiteral("5"));
    exec(QStringLiteral("UPDATE [采购入库] SET 特价='√', 零库存='0'"));

    PurchaseForm form;
    form.name = QStringLiteral("羽绒服");
    form.cost = QStringLiteral("12");
    form.tagPrice = QStringLiteral("30");
    form.category = QStringLiteral("衬衫");
    form.lines[0] = {QStringLiteral("红色"), QStringLiteral("M"), QStringLiteral("0")};

    ListActionResult r = modifyPurchase(ctx(), unsold, form);
    EXPECT_TRUE(r.changed) << r.message.toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库] WHERE id=?"),
                   {QStringLiteral("名称"), QStringLiteral("数量"), QStringLiteral("入库人"), QStringLiteral("零库存"),
                    QStringLiteral("已售"), QStringLiteral("特价"), QStringLiteral("入库日期"), QStringLiteral("拼音检索")},
                   {unsold.toLongLong()}),
              QStringList{QStringLiteral("羽绒服|0|张三-|1|0|√|2015-03-01|yrf")});
    EXPECT_EQ(rows(QStringLiteral("SELECT 操作内容 FROM [日志记录]"), {QStringLiteral("操作内容")}),
              QStringList{QStringLiteral("采购入库--修改---ID号：%1  商品还未有销售记录，暂不做其它记录。  ").arg(unsold)});
    // The modified row left the list (quantity 0).
    EXPECT_TRUE(listInStock(ctx()).rows.isEmpty() || listInStock(ctx()).rows.first().id != unsold);

    for (const QString &id : {sold, other, QString()}) {
        r = modifyPurchase(ctx(), id, form);
        EXPECT_FALSE(r.changed);
        EXPECT_EQ(r.message, QStringLiteral("该款已有销售记录 不允许修改！\r\n如需调价、调数量请鼠标右击该单！"));
    }
    EXPECT_EQ(count(QStringLiteral("采购入库"), QStringLiteral("名称='羽绒服'")), 1);
    EXPECT_EQ(count(QStringLiteral("日志记录")), 1);

    form.cost.clear();
    EXPECT_EQ(modifyPurchase(ctx(), unsold, form).message, QStringLiteral("进货价内容不能为空！如果不知道进货价\r\n先到销售明细点一下查看，再回到库存管理就会显示"));
    form.cost = QStringLiteral("12");
    form.lines[0].quantity = QStringLiteral("2.5");
    EXPECT_FALSE(modifyPurchase(ctx(), unsold, form).changed);
}

// The same value checks as purchase entry: prices must be numbers (stored in half-width form).
TEST_F(PurchaseListTest, ModifyRefusesPricesThatAreNoNumbers)
{
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("原"), QStringLiteral("5"));
    PurchaseForm form;
    form.name = QStringLiteral("原");
    form.lines[0] = {QString(), QStringLiteral("M"), QStringLiteral("5")};
    const std::pair<const char *, const char *> refused[] = {{"十元", "20"}, {"10", "20元"}, {"10", ""}};
    for (const auto &[cost, tag] : refused) {
        form.cost = QString::fromUtf8(cost);
        form.tagPrice = QString::fromUtf8(tag);
        const ListActionResult r = modifyPurchase(ctx(), id, form);
        EXPECT_FALSE(r.changed) << cost << " " << tag;
        EXPECT_EQ(r.message, QStringLiteral("成本价和吊牌价必须填写数字！")) << cost << " " << tag;
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库]"), {QStringLiteral("进货价"), QStringLiteral("吊牌价")}),
              QStringList{QStringLiteral("10|20")});
    EXPECT_EQ(count(QStringLiteral("日志记录")), 0);

    form.cost = QStringLiteral("１２.5");
    form.tagPrice = QStringLiteral("３０");
    ASSERT_TRUE(modifyPurchase(ctx(), id, form).changed);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库]"), {QStringLiteral("进货价"), QStringLiteral("吊牌价")}),
              QStringList{QStringLiteral("12.5|30")});
}

// A price with more digits before the point than money has is refused as well; the row stays.
TEST_F(PurchaseListTest, ModifyRefusesPricesBeyondTheCeiling)
{
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("原"), QStringLiteral("5"));
    PurchaseForm form;
    form.name = QStringLiteral("原");
    form.lines[0] = {QString(), QStringLiteral("M"), QStringLiteral("5")};
    const std::pair<QString, QString> refused[] = {{QString(400, u'9'), QStringLiteral("20")},
                                                   {QStringLiteral("10"), QStringLiteral("123456789012345")},
                                                   {QStringLiteral("10"), QStringLiteral("6901234567892")}};
    for (const auto &[cost, tag] : refused) {
        form.cost = cost;
        form.tagPrice = tag;
        const ListActionResult r = modifyPurchase(ctx(), id, form);
        EXPECT_FALSE(r.changed) << tag.toStdString();
        EXPECT_EQ(r.message, moneyCeilingText()) << tag.toStdString();
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库]"), {QStringLiteral("进货价"), QStringLiteral("吊牌价")}),
              QStringList{QStringLiteral("10|20")});
    EXPECT_EQ(count(QStringLiteral("日志记录")), 0);
}

// A quantity below 0 or with a fraction and a discount that is no factor are refused with what is
// wrong; the row and the log stay as they were.
TEST_F(PurchaseListTest, ModifyRefusesBadQuantitiesAndDiscounts)
{
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("原"), QStringLiteral("5"));
    exec(QStringLiteral("UPDATE [采购入库] SET 折扣='0.9'"));
    struct Case {
        const char *quantity;
        const char *discount;
        const char *message;
    };
    const Case refused[] = {
        {"-1", "", "数量“-1”不是0或正整数，请重新填写！"},
        {"2.5", "", "数量“2.5”不是0或正整数，请重新填写！"},
        {"5", "8", "商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空"},
        {"5", "abc", "商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空"},
        {"5", "-0.5", "商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空"},
    };
    PurchaseForm form;
    form.name = QStringLiteral("原");
    form.cost = QStringLiteral("10");
    form.tagPrice = QStringLiteral("20");
    for (const Case &c : refused) {
        form.lines[0] = {QString(), QStringLiteral("M"), QString::fromUtf8(c.quantity)};
        form.discount = QString::fromUtf8(c.discount);
        const ListActionResult r = modifyPurchase(ctx(), id, form);
        EXPECT_FALSE(r.changed) << c.quantity << " " << c.discount;
        EXPECT_EQ(r.message.toStdString(), std::string(c.message));
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库]"), {QStringLiteral("数量"), QStringLiteral("折扣")}),
              QStringList{QStringLiteral("5|0.9")});
    EXPECT_EQ(count(QStringLiteral("日志记录")), 0);

    form.lines[0].quantity = QStringLiteral("0");
    form.discount = QStringLiteral(" ０.８５ ");
    ASSERT_TRUE(modifyPurchase(ctx(), id, form).changed);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [采购入库]"), {QStringLiteral("数量"), QStringLiteral("折扣")}),
              QStringList{QStringLiteral("0|0.85")});
}

TEST_F(PurchaseListTest, DeleteOnlyUnsoldRowsOfTheShop)
{
    const QString mine = stockRow(QStringLiteral("A"), QStringLiteral("A的"), QStringLiteral("5"));
    const QString sold = stockRow(QStringLiteral("A"), QStringLiteral("售"), QStringLiteral("5"), QStringLiteral("2"));
    const QString theirs = stockRow(QStringLiteral("B"), QStringLiteral("B的"), QStringLiteral("5"));

    ListActionResult r = deletePurchaseItem(ctx(), theirs);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(r.message, QStringLiteral("您选择的产品已有销售记录 不允许删除！"));
    EXPECT_EQ(deletePurchaseItem(ctx(), QString()).message, QStringLiteral("您选择的产品已有销售记录 不允许删除！"));
    EXPECT_EQ(deleteItemFromMenu(ctx(), sold).message, QStringLiteral("此单已有销售记录不允许删除"));

    r = deletePurchaseItem(ctx(), mine);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(r.message, QStringLiteral("你选择的产品已删除！"));
    EXPECT_EQ(names(listInStock(ctx())), QStringList{QStringLiteral("售")});
    EXPECT_EQ(count(QStringLiteral("采购入库")), 2);
    EXPECT_EQ(count(QStringLiteral("采购入库"), QStringLiteral("id=?"), {theirs.toLongLong()}), 1);

    // Sold, then every unit returned: deletable again.
    exec(QStringLiteral("UPDATE [采购入库] SET 已售='0' WHERE id=?"), {sold.toLongLong()});
    EXPECT_EQ(deleteItemFromMenu(ctx(), sold).message, QStringLiteral("删除成功！"));
}

TEST_F(PurchaseListTest, NameSearchOffersNamesInStockOnce)
{
    PurchaseForm f;
    f.category = QStringLiteral("c");
    f.styleNo = QStringLiteral("S1");
    f.supplier = QStringLiteral("s");
    f.cost = QStringLiteral("1");
    f.tagPrice = QStringLiteral("2");
    f.lines[0] = {QStringLiteral("红"), QStringLiteral("M"), QStringLiteral("1")};
    f.lines[1] = {QStringLiteral("黑"), QStringLiteral("M"), QStringLiteral("1")};
    f.name = QStringLiteral("羽绒服");
    ASSERT_TRUE(addPurchase(ctx(), f, labels).saved);
    f.name = QStringLiteral("羽绒服女");
    ASSERT_TRUE(addPurchase(ctx(), f, labels).saved);
    f.name = QStringLiteral("羽绒服男");
    ASSERT_TRUE(addPurchase(ctx(), f, labels).saved);
    exec(QStringLiteral("UPDATE [采购入库] SET 数量='0' WHERE 名称='羽绒服男'"));
    EXPECT_EQ(searchProductNames(ctx(), QStringLiteral("YRF")), (QStringList{QStringLiteral("羽绒服"), QStringLiteral("羽绒服女")}));
    EXPECT_EQ(searchProductNames(ctx(), QStringLiteral("羽绒服n")), QStringList{QStringLiteral("羽绒服女")});
    EXPECT_TRUE(searchProductNames(ctx(), QStringLiteral("%")).isEmpty());
}

} // namespace
