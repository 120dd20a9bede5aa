#include "StockFixture.h"

#include "data/SqlBuilder.h"
#include "stock/PurchaseEntry.h"
#include "stock/PurchaseList.h"
#include "stock/StockRules.h"

using namespace stock;
using stocktest::SqliteStockFixture;
using stocktest::StockFixture;

namespace {

// The form of a purchase of style X2015001 with lines 1 and 3 filled.
PurchaseForm twoLineForm()
{
    PurchaseForm f;
    f.category = QStringLiteral("羽绒服");
    f.styleNo = QStringLiteral("X2015001");
    f.name = QStringLiteral("羽绒服");
    f.supplier = QStringLiteral("广州甲");
    f.cost = QStringLiteral("100");
    f.tagPrice = QStringLiteral("199");
    f.discount = QStringLiteral("0.8");
    f.unit = QStringLiteral("件");
    f.lines[0] = {QStringLiteral("红色"), QStringLiteral("M"), QStringLiteral("2")};
    f.lines[2] = {QStringLiteral("黑色"), QStringLiteral("XL"), QStringLiteral("３")};
    return f;
}

const QStringList kAllColumns = {
    QStringLiteral("已售"), QStringLiteral("类别"), QStringLiteral("款号"), QStringLiteral("名称"), QStringLiteral("颜色"),
    QStringLiteral("尺码"), QStringLiteral("商品条码"), QStringLiteral("供货来源"), QStringLiteral("进货价"),
    QStringLiteral("吊牌价"), QStringLiteral("数量"), QStringLiteral("入库日期"), QStringLiteral("入库人"),
    QStringLiteral("销售日期"), QStringLiteral("导购员"), QStringLiteral("收银员"), QStringLiteral("会员编号"),
    QStringLiteral("销售折扣"), QStringLiteral("销售单价"), QStringLiteral("小票单号"), QStringLiteral("所属店铺"),
    QStringLiteral("拼音检索"), QStringLiteral("折扣"), QStringLiteral("单位"), QStringLiteral("零库存"),
    QStringLiteral("大类"), QStringLiteral("上限"), QStringLiteral("下限"), QStringLiteral("特价"), QStringLiteral("开关")};

class PurchaseOnBothBackends : public StockFixture {};

TEST_P(PurchaseOnBothBackends, TwoLinesMakeTwoRowsAndTheirLabelsAfterTheCommit)
{
    exec(QStringLiteral("INSERT INTO ") + db().dialect().quoteTable(QStringLiteral("分类例表"))
         + QStringLiteral(" (项目名称, 一级编号, 二级编号, 所属店铺) VALUES ('羽绒服', '', '7', 'A')"));
    // Labels are printed only once the rows are committed: another connection sees them by then.
    int rowsSeenAtPrint = -1;
    labels.onPrint = [&](const printing::PurchaseLabels &) {
        data::Connection other;
        ASSERT_TRUE(database->openAnother(other));
        data::RecordSet rs(other);
        rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM ") + other.dialect().quoteTable(kStockTable)));
        rowsSeenAtPrint = int(rs.integer(QStringLiteral("n")));
    };

    // The date is today's of the mode: the fixed clock on SQLite, the server's date on PostgreSQL
    // (years away from the workstation's fixed clock).
    const bool local = backendUnderTest() == data::Backend::Sqlite;
    const QString dayBefore = local ? QString() : testsupport::serverDate(db());
    const PurchaseResult r = addPurchase(ctx(), twoLineForm(), labels);
    ASSERT_TRUE(r.saved) << r.message.toStdString();
    EXPECT_EQ(r.rowsWritten, 2);
    EXPECT_EQ(r.barcode, QStringLiteral("6983111485901"));
    const QString dayAfter = local ? QString() : testsupport::serverDate(db());

    const QString table = db().dialect().quoteTable(kStockTable);
    const QStringList stored = rows(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY id"), kAllColumns);
    ASSERT_EQ(stored.size(), 2);
    const QString date = local ? QStringLiteral("2015-03-11") : (stored[0].contains(dayAfter) ? dayAfter : dayBefore);
    if (!local) {
        ASSERT_NE(date, QStringLiteral("2015-03-11"));
    }
    EXPECT_EQ(stored[0], QStringLiteral("0|羽绒服|X2015001|羽绒服|红色|M|6983111485901|广州甲|100|199|2|%1|张三|"
                                        "|||||||A|yrf|0.8|件|1|7|0|0||").arg(date));
    EXPECT_EQ(stored[1], QStringLiteral("0|羽绒服|X2015001|羽绒服|黑色|XL|6983111485901|广州甲|100|199|3|%1|张三|"
                                        "|||||||A|yrf|0.8|件|1|7|0|0||").arg(date));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ") + db().dialect().quoteTable(QStringLiteral("款式号")),
                   {QStringLiteral("款号"), QStringLiteral("所属店铺")}),
              QStringList{QStringLiteral("2015001|A")});

    ASSERT_EQ(labels.entries().size(), 1);
    const printing::PurchaseLabels &printed = labels.entries().first();
    EXPECT_EQ(rowsSeenAtPrint, 2);
    EXPECT_EQ(printed.barcode, QStringLiteral("6983111485901"));
    EXPECT_EQ(printed.styleNo, QStringLiteral("X2015001"));
    ASSERT_EQ(printed.lines.size(), 2);
    EXPECT_EQ(printed.lines[0].line, 1);
    EXPECT_EQ(printed.lines[0].copies, 2);
    EXPECT_EQ(printed.lines[1].line, 3);
    EXPECT_EQ(printed.lines[1].colour, QStringLiteral("黑色"));
    EXPECT_EQ(printed.lines[1].copies, 3);
    EXPECT_EQ(labels.labelCount(), 5);
}

// The in-stock test of each backend: -2 counts on SQLite (a text test) but not on PostgreSQL, and
// a malformed quantity never makes the query fail (PostgreSQL reads it as 0).
TEST_P(PurchaseOnBothBackends, InStockTestOfTheBackend)
{
    stockRow(QStringLiteral("A"), QStringLiteral("正"), QStringLiteral("3"));
    stockRow(QStringLiteral("A"), QStringLiteral("零"), QStringLiteral("0"));
    stockRow(QStringLiteral("A"), QStringLiteral("负"), QStringLiteral("-2"));
    stockRow(QStringLiteral("A"), QStringLiteral("坏"), QStringLiteral("2abc"));
    stockRow(QStringLiteral("B"), QStringLiteral("别店"), QStringLiteral("5"));
    const PurchaseRows listed = listInStock(ctx());
    ASSERT_TRUE(listed.ok);
    QStringList names;
    for (const PurchaseRow &r : listed.rows)
        names << r.name;
    if (backendUnderTest() == data::Backend::Sqlite)
        EXPECT_EQ(names, (QStringList{QStringLiteral("正"), QStringLiteral("负"), QStringLiteral("坏")}));
    else
        EXPECT_EQ(names, (QStringList{QStringLiteral("正")}));
}

SHOPDESK_BOTH_BACKENDS(PurchaseOnBothBackends);

TEST_F(SqliteStockFixture, LabelPrintingOffStoresNoBarcodeAndPrintsNothing)
{
    ctx().labelPrintFlag = AppContext::FlagOff;
    const PurchaseResult r = addPurchase(ctx(), twoLineForm(), labels);
    ASSERT_TRUE(r.saved);
    EXPECT_EQ(rows(QStringLiteral("SELECT 商品条码 FROM [采购入库]"), {QStringLiteral("商品条码")}),
              (QStringList{QString(), QString()}));
    EXPECT_TRUE(labels.entries().isEmpty());
}

TEST_F(SqliteStockFixture, ATypedBarcodeIsUsedOnEveryLine)
{
    PurchaseForm f = twoLineForm();
    f.barcode = QStringLiteral("1234567890128");
    ASSERT_TRUE(addPurchase(ctx(), f, labels).saved);
    EXPECT_EQ(rows(QStringLiteral("SELECT 商品条码 FROM [采购入库]"), {QStringLiteral("商品条码")}),
              (QStringList{QStringLiteral("1234567890128"), QStringLiteral("1234567890128")}));
    EXPECT_EQ(labels.entries().first().barcode, QStringLiteral("1234567890128"));
}

TEST_F(SqliteStockFixture, AGeneratedBarcodeInUseStepsToAFreeOne)
{
    exec(QStringLiteral("INSERT INTO [采购入库] (商品条码, 款号, 所属店铺) VALUES ('6983111485901', 'OLD', 'A')"));
    exec(QStringLiteral("INSERT INTO [采购入库] (商品条码, 款号, 所属店铺) VALUES (?, 'OLD', 'A')"),
         {barcodeFromBase(698311148591)});
    // Another shop's code does not count.
    exec(QStringLiteral("INSERT INTO [采购入库] (商品条码, 款号, 所属店铺) VALUES (?, 'OLD', 'B')"),
         {barcodeFromBase(698311148592)});
    const PurchaseResult r = addPurchase(ctx(), twoLineForm(), labels);
    ASSERT_TRUE(r.saved);
    EXPECT_EQ(r.barcode, barcodeFromBase(698311148592));
    EXPECT_EQ(count(QStringLiteral("采购入库"), QStringLiteral("商品条码=?"), {r.barcode}), 3);
}

TEST_F(SqliteStockFixture, QuotesAndCommasAreStoredAsTyped)
{
    PurchaseForm f = twoLineForm();
    f.name = QStringLiteral("T恤,男'款=新");
    f.supplier = QStringLiteral("O'Neil");
    ASSERT_TRUE(addPurchase(ctx(), f, labels).saved);
    EXPECT_EQ(rows(QStringLiteral("SELECT 名称, 供货来源, 拼音检索 FROM [采购入库] ORDER BY id"),
                   {QStringLiteral("名称"), QStringLiteral("供货来源"), QStringLiteral("拼音检索")}),
              (QStringList{QStringLiteral("T恤,男'款=新|O'Neil|tx,n'k=x"), QStringLiteral("T恤,男'款=新|O'Neil|tx,n'k=x")}));
    EXPECT_EQ(labels.labelCount(), 5);
}

TEST_F(SqliteStockFixture, RefusedEntriesStoreNothing)
{
    struct Case {
        std::function<void(PurchaseForm &)> change;
        QString message;
    };
    const Case cases[] = {
        {[](PurchaseForm &f) { f.lines[2].quantity = QStringLiteral("3.5"); },
         QStringLiteral("第3行的数量“3.5”不是0或正整数，请重新填写！")},
        {[](PurchaseForm &f) { f.lines[1].quantity = QStringLiteral("2abc"); },
         QStringLiteral("第2行的数量“2abc”不是0或正整数，请重新填写！")},
        // A negative line is refused too, also when it is the only line (no style number used).
        {[](PurchaseForm &f) { f.lines[2].quantity = QStringLiteral("-1"); },
         QStringLiteral("第3行的数量“-1”不是0或正整数，请重新填写！")},
        {[](PurchaseForm &f) {
             f.lines[0].quantity.clear();
             f.lines[2].quantity = QStringLiteral("－１");
         },
         QStringLiteral("第3行的数量“－１”不是0或正整数，请重新填写！")},
        // The item's own discount is empty or a factor above 0 and at most 1.
        {[](PurchaseForm &f) { f.discount = QStringLiteral("8"); },
         QStringLiteral("商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空")},
        {[](PurchaseForm &f) { f.discount = QStringLiteral("八折"); },
         QStringLiteral("商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空")},
        {[](PurchaseForm &f) { f.discount = QStringLiteral("0"); },
         QStringLiteral("商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空")},
        {[](PurchaseForm &f) { f.discount = QStringLiteral("1.2"); },
         QStringLiteral("商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空")},
        {[](PurchaseForm &f) { f.cost = QStringLiteral("十元"); }, QStringLiteral("成本价和吊牌价必须填写数字！")},
        {[](PurchaseForm &f) { f.lines[0].size.clear(); }, kFillInEverything},
        {[](PurchaseForm &f) { f.supplier.clear(); }, kFillInEverything},
    };
    for (const Case &c : cases) {
        PurchaseForm f = twoLineForm();
        c.change(f);
        const PurchaseForm typed = f;
        const PurchaseResult r = addPurchase(ctx(), f, labels);
        EXPECT_FALSE(r.saved);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(f.lines[2].quantity, typed.lines[2].quantity);
    }
    EXPECT_EQ(count(QStringLiteral("采购入库")), 0);
    EXPECT_EQ(count(QStringLiteral("款式号")), 0);
    EXPECT_TRUE(labels.entries().isEmpty());
}

// The item's discount is stored as a factor the counter can price with: empty, or above 0 and at
// most 1 in half-width form.
TEST_F(SqliteStockFixture, AnItemDiscountIsStoredAsAFactor)
{
    const std::pair<const char *, const char *> accepted[] = {
        {"", ""}, {"1", "1"}, {"0.8", "0.8"}, {" .75 ", ".75"}, {"０.８５", "0.85"}};
    for (const auto &[typed, stored] : accepted) {
        PurchaseForm f = twoLineForm();
        f.discount = QString::fromUtf8(typed);
        ASSERT_TRUE(addPurchase(ctx(), f, labels).saved) << typed;
        EXPECT_EQ(rows(QStringLiteral("SELECT 折扣 FROM [采购入库] ORDER BY id DESC LIMIT 1"), {QStringLiteral("折扣")}),
                  QStringList{QString::fromUtf8(stored)})
            << typed;
    }
}

// After "请填写完整" the user goes on at the first required field left empty, in the form's order.
TEST(PurchaseRequiredFields, TheFirstEmptyOneInTheFormsOrder)
{
    const std::pair<std::function<void(PurchaseForm &)>, RequiredField> cases[] = {
        {[](PurchaseForm &) {}, RequiredField::None},
        {[](PurchaseForm &f) { f.tagPrice.clear(); }, RequiredField::TagPrice},
        {[](PurchaseForm &f) { f.cost.clear(); f.tagPrice.clear(); }, RequiredField::Cost},
        {[](PurchaseForm &f) { f.lines[0].size.clear(); f.cost.clear(); }, RequiredField::Size1},
        {[](PurchaseForm &f) { f.styleNo.clear(); f.lines[0].size.clear(); }, RequiredField::StyleNo},
        {[](PurchaseForm &f) { f.category.clear(); f.tagPrice.clear(); }, RequiredField::Category},
        {[](PurchaseForm &f) { f.supplier.clear(); f.category.clear(); }, RequiredField::Supplier},
        // Not required: the name, the unit, the discount, the colours, the quantities.
        {[](PurchaseForm &f) { f.name.clear(); f.unit.clear(); f.discount.clear(); f.lines[0] = {QString(), QStringLiteral("M"), QString()}; },
         RequiredField::None},
    };
    for (const auto &[change, expected] : cases) {
        PurchaseForm f = twoLineForm();
        change(f);
        EXPECT_EQ(int(firstEmptyRequiredField(f)), int(expected));
    }
}

TEST_F(SqliteStockFixture, AFailureAfterTheFirstLineStoresNothing)
{
    // The second line's insert fails inside the database.
    exec(QStringLiteral("CREATE TRIGGER refuse_black BEFORE INSERT ON 采购入库 WHEN NEW.颜色='黑色' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const PurchaseResult r = addPurchase(ctx(), twoLineForm(), labels);
    EXPECT_FALSE(r.saved);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_EQ(count(QStringLiteral("采购入库")), 0);
    EXPECT_EQ(count(QStringLiteral("款式号")), 0);
    EXPECT_TRUE(labels.entries().isEmpty());
}

TEST_F(SqliteStockFixture, AnEntryWithNoQuantityStillRecordsItsStyleNumber)
{
    PurchaseForm f = twoLineForm();
    f.styleNo = QStringLiteral("AB");
    f.lines[0].quantity.clear();
    f.lines[2].quantity = QStringLiteral("0");
    const PurchaseResult r = addPurchase(ctx(), f, labels);
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(count(QStringLiteral("采购入库")), 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT 款号 FROM [款式号]"), {QStringLiteral("款号")}), QStringList{QString()});
    EXPECT_TRUE(labels.entries().isEmpty());
}

TEST_F(SqliteStockFixture, SuggestionFollowsTheLargestTail)
{
    exec(QStringLiteral("INSERT INTO [款式号] (款号, 所属店铺) VALUES ('1000', 'A')"));
    exec(QStringLiteral("INSERT INTO [款式号] (款号, 所属店铺) VALUES ('9999999', 'B')"));
    EXPECT_EQ(suggestNextStyleNo(ctx()), QStringLiteral("X1001"));
    ASSERT_TRUE(addPurchase(ctx(), twoLineForm(), labels).saved);
    EXPECT_EQ(suggestNextStyleNo(ctx()), QStringLiteral("X2015002"));
    // A long prefix still advances.
    ctx().discountScheme.款号字母 = QStringLiteral("ABCDEFGH");
    PurchaseForm f = twoLineForm();
    f.styleNo = QStringLiteral("ABCDEFGH2015002");
    ASSERT_TRUE(addPurchase(ctx(), f, labels).saved);
    EXPECT_EQ(suggestNextStyleNo(ctx()), QStringLiteral("ABCDEFGH2015003"));
}

TEST_F(SqliteStockFixture, PrefillTakesTheOldestRowOfTheStyleWhateverItsStock)
{
    exec(QStringLiteral("INSERT INTO [采购入库] (款号, 类别, 名称, 进货价, 单位, 商品条码, 吊牌价, 折扣, 数量, 所属店铺) "
                        "VALUES ('S9', '衬衫', '旧', '50', '件', '111', '99', '0.9', '0', 'A')"));
    exec(QStringLiteral("INSERT INTO [采购入库] (款号, 类别, 名称, 进货价, 单位, 商品条码, 吊牌价, 折扣, 数量, 所属店铺) "
                        "VALUES ('S9', '衬衫', '新', '60', '条', '222', '109', '', '5', 'A')"));
    const std::optional<StylePrefill> p = prefillFromStyleNo(ctx(), QStringLiteral("S9"));
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->name, QStringLiteral("旧"));
    EXPECT_EQ(p->barcode, QStringLiteral("111"));
    EXPECT_EQ(p->discount, QStringLiteral("0.9"));
    // Exact comparison, and only this shop's rows.
    EXPECT_FALSE(prefillFromStyleNo(ctx(), QStringLiteral("s9")).has_value());
    ctx().currentShop = QStringLiteral("B");
    EXPECT_FALSE(prefillFromStyleNo(ctx(), QStringLiteral("S9")).has_value());
}

TEST(PurchaseFormLabel, OneLabelOfTheFirstLineWithTheTypedOrGeneratedBarcode)
{
    const QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
    PurchaseForm f = twoLineForm();
    const printing::PurchaseLabels generated = formLabel(f, now);
    EXPECT_EQ(generated.styleNo, QStringLiteral("X2015001"));
    EXPECT_EQ(generated.tagPrice, QStringLiteral("199"));
    EXPECT_EQ(generated.barcode, generateItemBarcode(now));
    ASSERT_EQ(generated.lines.size(), 1);
    EXPECT_EQ(generated.lines[0].line, 1);
    EXPECT_EQ(generated.lines[0].colour, QStringLiteral("红色"));
    EXPECT_EQ(generated.lines[0].size, QStringLiteral("M"));
    EXPECT_EQ(generated.labelCount(), 1); // one label whatever the quantity typed

    f.barcode = QStringLiteral("6901234567892");
    EXPECT_EQ(formLabel(f, now).barcode, QStringLiteral("6901234567892"));
}

TEST(PurchaseFormClear, KeepsSupplierAndPreview)
{
    PurchaseForm f = twoLineForm();
    f.discountedPrice = QStringLiteral("159");
    f.barcode = QStringLiteral("1");
    clearPurchaseForm(f);
    EXPECT_EQ(f.supplier, QStringLiteral("广州甲"));
    EXPECT_EQ(f.discountedPrice, QStringLiteral("159"));
    EXPECT_TRUE(f.styleNo.isEmpty());
    EXPECT_TRUE(f.barcode.isEmpty());
    EXPECT_TRUE(f.lines[2].quantity.isEmpty());
}

} // namespace
