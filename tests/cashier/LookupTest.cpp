#include "CounterFixture.h"

#include "cashier/CartScanning.h"
#include "cashier/CashierPage.h"
#include "cashier/ItemLookup.h"
#include "cashier/LinePrice.h"
#include "cashier/ProductChooserWindow.h"
#include "lists/ReportList.h"
#include "platform/MessageScript.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QScrollBar>
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
    EXPECT_EQ(script.texts(), (QStringList{kEmptyScanText, kNoBarcodeMatchText, kNoStyleMatchText, kNoStyleMatchText}));
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
