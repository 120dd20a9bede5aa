#include "CounterFixture.h"

#include "cashier/CartScanning.h"
#include "cashier/CashierPage.h"
#include "cashier/ItemLookup.h"
#include "cashier/LinePrice.h"
#include "cashier/ProductChooserWindow.h"
#include "lists/ReportList.h"
#include "platform/MessageScript.h"
#include "platform/ProgramLog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace cashier;
using namespace countertest;

namespace {

struct RouteCase {
    const char16_t *typed;
    SearchKind kind;
    const char16_t *key;
};

class LookupRouting : public ::testing::TestWithParam<RouteCase> {};

TEST_P(LookupRouting, RoutesByByteLengthAndFirstInitial)
{
    const RouteCase c = GetParam();
    const LookupKey key = lookupKeyOf(QString::fromUtf16(c.typed));
    EXPECT_EQ(key.kind, c.kind);
    EXPECT_EQ(key.key, QString::fromUtf16(c.key));
}

INSTANTIATE_TEST_SUITE_P(Table, LookupRouting,
                         ::testing::Values(RouteCase{u"6935820400017", SearchKind::Barcode, u"6935820400017"},
                                           RouteCase{u"693582040001", SearchKind::StyleNumber, u"693582040001"},
                                           RouteCase{u"ab", SearchKind::Pinyin, u"ab"},
                                           RouteCase{u"A001", SearchKind::Pinyin, u"a001"},
                                           RouteCase{u"1001A", SearchKind::StyleNumber, u"1001a"},
                                           RouteCase{u"白色纯棉衬衫七", SearchKind::Barcode, u"白色纯棉衬衫七"},
                                           RouteCase{u":", SearchKind::Pinyin, u":"},
                                           RouteCase{u"衬衫", SearchKind::Pinyin, u"cs"},
                                           RouteCase{u"-1", SearchKind::StyleNumber, u"-1"}));

struct PriceCase {
    const char *name;
    const char16_t *special, *tag, *factor;
    double quantity;
    const char16_t *itemScheme, *uniform;
    int decimals;
    const char16_t *discount, *amount;
};

class PriceRule : public ::testing::TestWithParam<PriceCase> {};

TEST_P(PriceRule, PricesTheLine)
{
    const PriceCase c = GetParam();
    DiscountScheme scheme;
    scheme.商品折扣 = QString::fromUtf16(c.itemScheme);
    scheme.统一折扣 = QString::fromUtf16(c.uniform);
    const LinePrice price = priceLine(QString::fromUtf16(c.special), QString::fromUtf16(c.tag),
                                      QString::fromUtf16(c.factor), c.quantity, scheme, c.decimals, c.quantity == 1);
    EXPECT_EQ(price.折扣, QString::fromUtf16(c.discount)) << c.name;
    EXPECT_EQ(price.金额, QString::fromUtf16(c.amount)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PriceRule,
    ::testing::Values(PriceCase{"item N0", u"", u"99", u"0.85", 1, u"真", u"", 0, u"0.85", u"84"},
                      PriceCase{"item N1", u"", u"99", u"0.85", 1, u"真", u"", 1, u"0.85", u"84.2"},
                      PriceCase{"item N2", u"", u"99", u"0.85", 1, u"真", u"", 2, u"0.85", u"84.15"},
                      PriceCase{"uniform", u"", u"45", u"", 1, u"假", u"0.9", 0, u"0.9", u"41"},
                      PriceCase{"special keeps stored text", u"√", u"199.00", u"0.5", 1, u"真", u"0.9", 2, u"1", u"199.00"},
                      PriceCase{"special times 3", u"√", u"50", u"0.5", 3, u"真", u"0.9", 0, u"1", u"150"},
                      PriceCase{"uniform wins", u"", u"100", u"0.8", 1, u"真", u"0.7", 2, u"0.7", u"70"},
                      PriceCase{"neither: tag price", u"", u"100", u"0.8", 2, u"假", u"", 2, u"1", u"200"},
                      PriceCase{"empty item factor: tag price", u"", u"100", u"", 1, u"真", u"", 2, u"1", u"100"},
                      PriceCase{"stored factor 7 is no factor", u"", u"100", u"", 1, u"假", u"7", 2, u"1", u"100"},
                      PriceCase{"stored factor abc leaves the item's", u"", u"100", u"0.8", 1, u"真", u"abc", 2, u"0.8", u"80"}));

TEST(PriceRule, NegativeHalfRoundsAwayFromZero)
{
    DiscountScheme scheme;
    scheme.统一折扣 = QStringLiteral("1");
    EXPECT_EQ(priceLine(QString(), QStringLiteral("-2.5"), QString(), 1, scheme, 0).金额, QStringLiteral("-3"));
}

class LookupOnBackends : public ::testing::TestWithParam<data::Backend> {};

TEST_P(LookupOnBackends, FindsOnlyTheShopsRowsInStockCaseInsensitively)
{
    Counter c(GetParam());
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    const qint64 negative = c.addStock({{QStringLiteral("款号"), QStringLiteral("1001A")}, {QStringLiteral("数量"), QStringLiteral("-2")}});
    const qint64 inStock = c.addStock({{QStringLiteral("款号"), QStringLiteral("1001A")}, {QStringLiteral("数量"), QStringLiteral("3")}});
    c.addStock({{QStringLiteral("款号"), QStringLiteral("1001A")}, {QStringLiteral("数量"), QStringLiteral("0")}});
    c.addStock({{QStringLiteral("款号"), QStringLiteral("1001A")}, {QStringLiteral("所属店铺"), QStringLiteral("B店")}});
    c.addStock({{QStringLiteral("款号"), QStringLiteral("1001A")}, {QStringLiteral("数量"), QStringLiteral("abc")}});

    const LookupResult found = lookupItems(c.context, QStringLiteral("1001A"));
    ASSERT_TRUE(found.ok) << found.error.toStdString();
    QList<qint64> ids;
    for (const FoundItem &item : found.items)
        ids << item.id;
    if (GetParam() == data::Backend::Sqlite)
        EXPECT_EQ(ids.size(), 3); // -2 and the malformed text pass the text test
    else
        EXPECT_EQ(ids, QList<qint64>{inStock});
    EXPECT_EQ(ids.contains(negative), GetParam() == data::Backend::Sqlite);
}

// Keys no stock row holds find nothing on either backend, without a failed query: a control
// character (PostgreSQL refuses a NUL in a text), an empty key, a lone surrogate.
TEST_P(LookupOnBackends, KeysWithControlCharactersOrNothingLeftFindNothingWithoutAFailure)
{
    Counter c(GetParam());
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6935820400017")}});
    const QString nul(QChar(u'\0'));
    const LookupKey keys[] = {
        {SearchKind::Barcode, QStringLiteral("693582040001") + nul},
        {SearchKind::StyleNumber, QStringLiteral("100") + nul},
        {SearchKind::Pinyin, QStringLiteral("cs\u001b")},
        {SearchKind::StyleNumber, QString()},
        {SearchKind::Pinyin, QString()},
        {SearchKind::StyleNumber, QString(QChar(0xD83D)) + QStringLiteral("10")},
    };
    for (const LookupKey &key : keys) {
        const LookupResult found = lookupItems(c.context, key);
        EXPECT_TRUE(found.ok) << found.error.toStdString();
        EXPECT_TRUE(found.items.isEmpty()) << key.key.size();
        EXPECT_FALSE(isSearchableKey(key));
    }
    EXPECT_TRUE(isSearchableKey({SearchKind::Pinyin, QStringLiteral("cs")}));
    EXPECT_TRUE(isSearchableKey({SearchKind::Barcode, QStringLiteral("\U0001F6006935820400017")}));
}

TEST_P(LookupOnBackends, QuoteInTheScanTextFindsNothingAndBreaksNothing)
{
    Counter c(GetParam());
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    c.addStock({});
    c.addStock({{QStringLiteral("所属店铺"), QStringLiteral("B店")}});
    const LookupResult found = lookupItems(c.context, QStringLiteral("1' or '1'='1"));
    EXPECT_TRUE(found.ok);
    EXPECT_TRUE(found.items.isEmpty());
}

// Contains-searches over a table of keys: the typed text is literal (% and _ too), ASCII letters
// ignore case and nothing else does, and one or two characters find the same as three or more
// (on SQLite those start from the trigram index). Rows of another shop or out of stock never come.
struct ContainsCase {
    const char *name;
    SearchKind kind;
    const char16_t *key;
    QStringList expected; // labels of the rows found
};

const QMap<QString, QMap<QString, QString>> &containsRows()
{
    static const QMap<QString, QMap<QString, QString>> rows = {
        {"s-1001A", {{"款号", "1001A"}}},
        {"s-10%1", {{"款号", "10%1"}}},
        {"s-10_1", {{"款号", "10_1"}}},
        {"s-1011", {{"款号", "1011"}}},
        {"s-春季001", {{"款号", "春季001"}}},
        {"s-quote", {{"款号", "2\"x"}}},
        {"s-1Ä1", {{"款号", "1Ä1"}}},
        {"s-other shop", {{"款号", "1001A"}, {"所属店铺", "B店"}}},
        {"s-sold out", {{"款号", "1001A"}, {"数量", "0"}}},
        {"p-bcs", {{"拼音检索", "bcs"}}},
        {"p-XYZ", {{"拼音检索", "XYZ"}}},
        {"p-a%c", {{"拼音检索", "a%c"}}},
        {"p-a_c", {{"拼音检索", "a_c"}}},
        {"p-abc", {{"拼音检索", "abc"}}},
        {"p-ab c", {{"拼音检索", "ab c"}}},
        {"p-other shop", {{"拼音检索", "abc"}, {"所属店铺", "B店"}}},
        {"p-sold out", {{"拼音检索", "abc"}, {"数量", "0"}}},
    };
    return rows;
}

class ContainsSearch : public ::testing::TestWithParam<data::Backend> {};

TEST_P(ContainsSearch, FindsExactlyTheRowsHoldingTheTypedText)
{
    Counter c(GetParam());
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    QMap<qint64, QString> labelOf;
    for (auto it = containsRows().cbegin(); it != containsRows().cend(); ++it) {
        // Style rows carry no pinyin key a case looks for, pinyin rows no style number.
        QMap<QString, QString> fields = {{"款号", "Q"}, {"拼音检索", "zz"}};
        for (auto f = it.value().cbegin(); f != it.value().cend(); ++f)
            fields[f.key()] = f.value();
        labelOf[c.addStock(fields)] = it.key();
    }
    const auto style = SearchKind::StyleNumber;
    const auto pinyin = SearchKind::Pinyin;
    const ContainsCase cases[] = {
        {"ASCII case, three or more", style, u"1001a", {"s-1001A"}},
        {"ASCII case the other way", style, u"1001A", {"s-1001A"}},
        {"% literal", style, u"10%1", {"s-10%1"}},
        {"_ literal", style, u"10_1", {"s-10_1"}},
        {"% alone", style, u"%", {"s-10%1"}},
        {"_ alone", style, u"_", {"s-10_1"}},
        {"% in two", style, u"0%", {"s-10%1"}},
        {"one character", style, u"1", {"s-1001A", "s-10%1", "s-10_1", "s-1011", "s-春季001", "s-1Ä1"}},
        {"two characters", style, u"10", {"s-1001A", "s-10%1", "s-10_1", "s-1011"}},
        {"three characters", style, u"101", {"s-1011"}},
        {"Chinese, three", style, u"季00", {"s-春季001"}},
        {"Chinese, two", style, u"季0", {"s-春季001"}},
        {"double quote in three", style, u"2\"x", {"s-quote"}},
        {"double quote alone", style, u"\"", {"s-quote"}},
        {"FTS syntax is text", style, u"1\"*", {}},
        {"FTS OR is text", style, u"001 OR 1011", {}},
        {"only ASCII letters ignore case", style, u"1ä1", {}},
        {"non-ASCII letter as stored", style, u"1Ä1", {"s-1Ä1"}},
        {"pinyin three", pinyin, u"abc", {"p-abc"}},
        {"pinyin stored upper case", pinyin, u"xyz", {"p-XYZ"}},
        {"pinyin two, stored upper case", pinyin, u"xy", {"p-XYZ"}},
        {"pinyin % literal", pinyin, u"a%c", {"p-a%c"}},
        {"pinyin _ literal", pinyin, u"a_c", {"p-a_c"}},
        {"pinyin with a blank", pinyin, u"b c", {"p-ab c"}},
        {"pinyin one", pinyin, u"c", {"p-bcs", "p-a%c", "p-a_c", "p-abc", "p-ab c"}},
        {"nothing", pinyin, u"qqq", {}},
    };
    for (const ContainsCase &k : cases) {
        SCOPED_TRACE(k.name);
        const LookupResult found = lookupItems(c.context, LookupKey{k.kind, QString::fromUtf16(k.key)});
        ASSERT_TRUE(found.ok) << found.error.toStdString();
        QStringList labels;
        for (const FoundItem &item : found.items)
            labels << labelOf.value(item.id, QStringLiteral("?"));
        labels.sort();
        QStringList expected = k.expected;
        expected.sort();
        EXPECT_EQ(labels.join(u'|').toStdString(), expected.join(u'|').toStdString());
    }
    // From the scan box's text: Chinese becomes its initials, % stays itself.
    for (const auto &[typed, label] : {std::pair{QStringLiteral("白衬衫"), QStringLiteral("p-bcs")},
                                       std::pair{QStringLiteral("10%1"), QStringLiteral("s-10%1")}}) {
        const LookupResult found = lookupItems(c.context, typed);
        ASSERT_TRUE(found.ok) << found.error.toStdString();
        ASSERT_EQ(found.items.size(), 1) << typed.toStdString();
        EXPECT_EQ(labelOf.value(found.items.first().id), label);
    }
}

TEST_P(ContainsSearch, FollowsStockRowsAddedChangedAndRemoved)
{
    Counter c(GetParam());
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    const auto idsFound = [&](SearchKind kind, const QString &key) {
        QList<qint64> ids;
        const LookupResult found = lookupItems(c.context, LookupKey{kind, key});
        EXPECT_TRUE(found.ok) << found.error.toStdString();
        for (const FoundItem &item : found.items)
            ids << item.id;
        return ids;
    };
    const qint64 id = c.addStock({{"款号", "7007K"}, {"拼音检索", "hxy"}});
    EXPECT_EQ(idsFound(SearchKind::StyleNumber, "7007k"), QList<qint64>{id});
    EXPECT_EQ(idsFound(SearchKind::Pinyin, "hxy"), QList<qint64>{id});

    ASSERT_TRUE(c.conn().execute(data::buildUpdateSql(c.conn().dialect(), QStringLiteral("采购入库"),
                                                      data::Pairs{{"款号", "8008M"}, {"拼音检索", "lyf"}},
                                                      data::eq("id", id), true)));
    EXPECT_TRUE(idsFound(SearchKind::StyleNumber, "7007k").isEmpty());
    EXPECT_TRUE(idsFound(SearchKind::Pinyin, "hxy").isEmpty());
    EXPECT_EQ(idsFound(SearchKind::StyleNumber, "8008m"), QList<qint64>{id});
    EXPECT_EQ(idsFound(SearchKind::Pinyin, "lyf"), QList<qint64>{id});

    // A sale changes the count only; the row stays findable.
    ASSERT_TRUE(c.conn().execute(data::Sql(QStringLiteral("UPDATE ") + c.conn().dialect().quoteTable("采购入库")
                                               + QStringLiteral(" SET 数量=? WHERE id=?"),
                                           {QStringLiteral("4"), id})));
    EXPECT_EQ(idsFound(SearchKind::StyleNumber, "8008m"), QList<qint64>{id});

    ASSERT_TRUE(c.conn().execute(data::Sql(QStringLiteral("DELETE FROM ") + c.conn().dialect().quoteTable("采购入库")
                                               + QStringLiteral(" WHERE id=?"),
                                           {id})));
    EXPECT_TRUE(idsFound(SearchKind::StyleNumber, "8008m").isEmpty());
    EXPECT_TRUE(idsFound(SearchKind::Pinyin, "lyf").isEmpty());
    if (GetParam() == data::Backend::Sqlite) {
        // The trigram index agrees with the stock rows it was built from.
        EXPECT_TRUE(c.conn().execute(data::Sql("INSERT INTO stock_search (stock_search, rank) VALUES ('integrity-check', 1)")))
            << c.conn().lastError().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ContainsSearch,
                         ::testing::Values(data::Backend::Sqlite, data::Backend::Postgres),
                         testsupport::backendParamName);

INSTANTIATE_TEST_SUITE_P(Backends, LookupOnBackends,
                         ::testing::Values(data::Backend::Sqlite, data::Backend::Postgres),
                         testsupport::backendParamName);

// The counter page on SQLite, driven through its scan box.
class ScanIntoCart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        page = std::make_unique<CashierPage>(c.context);
    }
    void scan(const QString &text)
    {
        page->scanBox()->setText(text);
        QTest::keyClick(page->scanBox(), Qt::Key_Return);
    }
    Counter c{data::Backend::Sqlite};
    std::unique_ptr<CashierPage> page;
    MessageScript script;
};

TEST_F(ScanIntoCart, OneBarcodeMatchAddsAPricedLineEachScan)
{
    const qint64 id = c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6935820400017")},
                                  {QStringLiteral("吊牌价"), QStringLiteral("99")}, {QStringLiteral("折扣"), QStringLiteral("0.85")}});
    scan(QStringLiteral("6935820400017"));
    scan(QStringLiteral("6935820400017"));
    ASSERT_EQ(page->cart().count(), 2);
    const CartLine line = page->cart().line(0);
    EXPECT_EQ(line.id, QString::number(id));
    EXPECT_EQ(line.数量, QStringLiteral("1"));
    EXPECT_EQ(line.折扣, QStringLiteral("0.85"));
    EXPECT_EQ(line.金额, QStringLiteral("84.15"));
    EXPECT_EQ(line.结付, QStringLiteral("现金"));
    EXPECT_EQ(line.分类, QStringLiteral("上衣"));
    EXPECT_EQ(page->cartList()->rowCount(), 2);
    EXPECT_EQ(page->cartList()->cellText(1, Col金额), QStringLiteral("84.15"));
    EXPECT_EQ(page->amountBox()->text(), QStringLiteral("168.3"));
    EXPECT_EQ(page->scanBox()->text(), QStringLiteral("6935820400017")); // the typed text stays
    EXPECT_TRUE(script.messages().isEmpty());
}

TEST_F(ScanIntoCart, EmptyAndUnknownInputsShowTheirMessagesAndAddNothing)
{
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6935820400017")}, {QStringLiteral("数量"), QStringLiteral("0")}});
    scan(QString());
    scan(QStringLiteral("6935820400017"));
    scan(QStringLiteral("zz"));
    scan(QStringLiteral("9999"));
    EXPECT_EQ(script.texts(), (QStringList{QStringLiteral("您还未录入款号或条码"), QStringLiteral("该产品已无库存或条码错误！！！请核实"), QStringLiteral("该款号已无库存或款号错误！！！请核实"), QStringLiteral("该款号已无库存或款号错误！！！请核实")}));
    EXPECT_TRUE(page->cart().isEmpty());
    EXPECT_EQ(page->amountBox()->text(), QString());
}

TEST_F(ScanIntoCart, SeveralPinyinMatchesOpenTheChooserWithExactlyThoseRows)
{
    c.addStock({{QStringLiteral("颜色"), QStringLiteral("白")}});
    const qint64 black = c.addStock({{QStringLiteral("颜色"), QStringLiteral("黑")}, {QStringLiteral("款号"), QStringLiteral("2002")}});
    c.addStock({{QStringLiteral("所属店铺"), QStringLiteral("B店")}});
    QString title;
    int listed = -1;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *chooser = qobject_cast<ProductChooserWindow *>(dialog);
        EXPECT_NE(chooser, nullptr);
        title = chooser->windowTitle();
        listed = chooser->list()->rowCount();
        chooser->list()->clearSelection();
        chooser->pickProduct(); // nothing selected: stays open, picks nothing
        EXPECT_FALSE(chooser->pickedItem().picked());
        chooser->list()->selectRow(1);
        chooser->pickProduct();
        return chooser->result();
    });
    scan(QStringLiteral("CS"));
    EXPECT_EQ(title, chooserTitle(SearchKind::Pinyin));
    EXPECT_EQ(listed, 2);
    ASSERT_EQ(page->cart().count(), 1);
    EXPECT_EQ(page->cart().line(0).id, QString::number(black));
    EXPECT_EQ(page->cart().line(0).款号, QStringLiteral("2002"));
    EXPECT_EQ(page->cart().line(0).金额, QStringLiteral("80"));
}

TEST_F(ScanIntoCart, EnterInTheChooserPicksTheSelectedRowLikeADoubleClick)
{
    c.addStock({{QStringLiteral("颜色"), QStringLiteral("白")}});
    const qint64 black = c.addStock({{QStringLiteral("颜色"), QStringLiteral("黑")}});
    bool stayedOpen = false;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *chooser = qobject_cast<ProductChooserWindow *>(dialog);
        EXPECT_NE(chooser, nullptr);
        chooser->list()->clearSelection();
        QTest::keyClick(chooser->list(), Qt::Key_Return); // nothing selected: stays open
        stayedOpen = chooser->result() == 0 && !chooser->pickedItem().picked();
        chooser->list()->selectRow(1);
        QTest::keyClick(chooser->list(), Qt::Key_Return);
        return chooser->result();
    });
    scan(QStringLiteral("100"));
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(page->cart().count(), 1);
    EXPECT_EQ(page->cart().line(0).id, QString::number(black));
}

// Many matches: the chooser opens at the top with the first row selected, and Enter takes it.
TEST_F(ScanIntoCart, TheChooserOpensOnItsFirstRowAndEnterTakesIt)
{
    for (int i = 0; i < 40; ++i)
        c.addStock({{QStringLiteral("颜色"), QStringLiteral("色%1").arg(i)}});
    QString firstId;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *chooser = qobject_cast<ProductChooserWindow *>(dialog);
        EXPECT_NE(chooser, nullptr);
        chooser->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(chooser));
        QCoreApplication::processEvents(); // the list scrolls once it shows
        ReportList *list = chooser->list();
        EXPECT_EQ(list->rowCount(), 40);
        EXPECT_EQ(list->selectedRow(), 0);
        EXPECT_GT(list->verticalScrollBar()->maximum(), 0); // more rows than fit
        EXPECT_EQ(list->verticalScrollBar()->value(), 0);
        EXPECT_TRUE(list->viewport()->rect().contains(list->rowRect(0)));
        EXPECT_TRUE(list->hasFocus());
        firstId = list->cellText(0, 0);
        QTest::keyClick(list, Qt::Key_Return);
        return chooser->result();
    });
    scan(QStringLiteral("cs"));
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("ProductChooserWindow")});
    ASSERT_EQ(page->cart().count(), 1);
    EXPECT_EQ(page->cart().line(0).id, firstId);
}

// Without a mouse: the arrow keys move the selection from the first row at once, and Enter takes
// the row they stopped on.
TEST_F(ScanIntoCart, TheArrowKeysMoveThroughTheChooserFromTheStart)
{
    QList<qint64> ids;
    for (const char16_t *colour : {u"白", u"黑", u"红"})
        ids << c.addStock({{QStringLiteral("颜色"), QString::fromUtf16(colour)}});
    QList<int> selected;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *chooser = qobject_cast<ProductChooserWindow *>(dialog);
        EXPECT_NE(chooser, nullptr);
        chooser->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(chooser));
        QWidget *keys = QApplication::focusWidget();
        EXPECT_EQ(keys, chooser->list());
        selected << chooser->list()->selectedRow();
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
            QTest::keyClick(keys, key);
            selected << chooser->list()->selectedRow();
        }
        QTest::keyClick(keys, Qt::Key_Return);
        return chooser->result();
    });
    scan(QStringLiteral("cs"));
    EXPECT_EQ(selected, (QList<int>{0, 1, 2, 2, 1}));
    ASSERT_EQ(page->cart().count(), 1);
    EXPECT_EQ(page->cart().line(0).id, QString::number(ids.at(1)));
}

// A click on the cart list leaves the keyboard there; a scanner typing then reaches the scan box
// and the scan completes. Keys that move in the list stay with the list.
TEST_F(ScanIntoCart, AScanTypedIntoTheCartListGoesToTheScanBox)
{
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000001")}});
    const qint64 second = c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000025")}});
    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    scan(QStringLiteral("6900000000001"));
    scan(QStringLiteral("6900000000001"));
    ASSERT_EQ(page->cart().count(), 2);
    ReportList *list = page->cartList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, list->rowRect(0).center().y()));
    ASSERT_TRUE(list->hasFocus());
    ASSERT_EQ(list->selectedRow(), 0);
    QTest::keyClick(list, Qt::Key_Down); // the arrows still move in the list
    EXPECT_EQ(list->selectedRow(), 1);
    EXPECT_TRUE(list->hasFocus());

    QTest::keyClicks(list, QStringLiteral("6900000000025"));
    EXPECT_EQ(page->scanBox()->text(), QStringLiteral("6900000000025")); // the old code was replaced
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(page->cart().count(), 3);
    EXPECT_EQ(page->cart().line(2).id, QString::number(second));
    EXPECT_TRUE(page->scanBox()->hasFocus());
    EXPECT_TRUE(script.messages().isEmpty());

    // A style number started on the keypad, confirmed with the keypad's Enter.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_1, Qt::KeypadModifier);
    for (const char *digit : {"0", "0", "1"})
        QTest::keyClicks(list, QString::fromLatin1(digit));
    EXPECT_EQ(page->scanBox()->text(), QStringLiteral("1001"));
    script.setDialogHandler([](QDialog *) { return int(QDialog::Rejected); });
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("ProductChooserWindow")}); // both rows match 1001
}

// Codes that no stock row can hold: a control character from a scanner or a paste, or only
// characters without pinyin initials. Each is "not found" by its route, no query runs on it, and
// nothing reaches the log.
TEST_F(ScanIntoCart, CodesThatAreNotCodesAreNotFoundAndRunNoQuery)
{
    c.addStock({{QStringLiteral("款号"), QStringLiteral("1001")}, {QStringLiteral("商品条码"), QStringLiteral("6935820400017")}});
    QTemporaryDir logDir;
    ASSERT_TRUE(logDir.isValid());
    const QString previousLog = programlog::path();
    const QString logPath = logDir.filePath(QStringLiteral("shopdesk.log"));
    programlog::setPath(logPath);
    const QString nul(QChar(u'\0'));
    const struct {
        const char *name;
        QString typed;
        QString message;
    } cases[] = {
        {"NUL in a short code", QStringLiteral("100") + nul + QStringLiteral("1"), kNoStyleMatchText},
        {"NUL at the end", QStringLiteral("1001") + nul, kNoStyleMatchText},
        {"bell after a letter", QStringLiteral("cs\u0007x"), kNoStyleMatchText},
        {"tab", QStringLiteral("10\t01"), kNoStyleMatchText},
        {"NUL in a barcode", QStringLiteral("693582040001") + nul, kNoBarcodeMatchText},
        {"C1 control in a barcode", QStringLiteral("6935820400017\u0085"), kNoBarcodeMatchText},
        {"emoji only", QStringLiteral("\U0001F600\U0001F600"), kNoStyleMatchText},
        {"one emoji", QStringLiteral("\U0001F600"), kNoStyleMatchText},
    };
    for (const auto &k : cases) {
        script.clear();
        scan(k.typed);
        EXPECT_EQ(script.texts(), QStringList{k.message}) << k.name;
        EXPECT_TRUE(script.dialogs().isEmpty()) << k.name;
        EXPECT_TRUE(page->cart().isEmpty()) << k.name;
    }
    programlog::setPath(previousLog);
    EXPECT_FALSE(QFileInfo::exists(logPath)) << "the log holds a failed lookup";
}

TEST_F(ScanIntoCart, ClosingTheChooserAddsNothing)
{
    c.addStock({});
    c.addStock({});
    script.setDialogHandler([](QDialog *) { return int(QDialog::Rejected); });
    scan(QStringLiteral("100"));
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("ProductChooserWindow")});
    EXPECT_TRUE(page->cart().isEmpty());
}

TEST_F(ScanIntoCart, ALeftClickEmptiesTheScanBox)
{
    page->scanBox()->setText(QStringLiteral("1001"));
    QTest::mouseClick(page->scanBox(), Qt::LeftButton);
    EXPECT_EQ(page->scanBox()->text(), QString());
}

} // namespace
