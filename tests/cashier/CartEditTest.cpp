#include "CounterFixture.h"

#include "cashier/CartEditing.h"
#include "cashier/CartScanning.h"
#include "cashier/CashierPage.h"
#include "cashier/LineEditDialog.h"
#include "lists/ReportList.h"
#include "platform/MessageScript.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace cashier;
using namespace countertest;

namespace {

class CartEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        c.context.shopSettings.销售 = QStringLiteral("0");
    }
    // Scans a code into the cart; returns the row.
    int scan(const QString &code) { return scanItemIntoCart(c.context, cart, code, nullptr); }
    // Opens the line edit on row, types the quantity (and a remark) and confirms or cancels.
    bool edit(int row, const QString &quantity, const QString &remark, bool confirm)
    {
        script.setDialogHandler([&](QDialog *dialog) {
            auto *d = qobject_cast<LineEditDialog *>(dialog);
            EXPECT_NE(d, nullptr);
            d->quantityBox()->selectAll();
            QTest::keyClicks(d->quantityBox(), quantity);
            d->remarkBox()->setText(remark);
            (confirm ? d->confirmButton() : d->cancelButton())->click();
            return d->result();
        });
        return editCartLine(c.context, cart, row);
    }
    Counter c{data::Backend::Sqlite};
    Cart cart;
    MessageScript script;
};

TEST_F(CartEditing, ARaisedQuantityIsRepricedALoweredOneIgnored)
{
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000001")}, {QStringLiteral("数量"), QStringLiteral("5")}});
    ASSERT_EQ(scan(QStringLiteral("6900000000001")), 0);
    EXPECT_TRUE(edit(0, QStringLiteral("3"), QStringLiteral("送货"), true));
    EXPECT_EQ(cart.line(0).数量, QStringLiteral("3"));
    EXPECT_EQ(cart.line(0).折扣, QStringLiteral("0.8"));
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("240"));
    EXPECT_EQ(cart.line(0).备注, QStringLiteral("送货"));
    EXPECT_EQ(cart.amountSum(), QStringLiteral("240"));
    EXPECT_TRUE(edit(0, QStringLiteral("1"), QStringLiteral("送货"), true));
    EXPECT_EQ(cart.line(0).数量, QStringLiteral("3"));
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("240"));
    EXPECT_TRUE(script.messages().isEmpty());
}

TEST_F(CartEditing, ASpecialLineStaysAtTagPriceUnderAUniformDiscount)
{
    c.context.discountScheme.统一折扣 = QStringLiteral("0.9");
    c.addStock({{QStringLiteral("特价"), QStringLiteral("√")}, {QStringLiteral("吊牌价"), QStringLiteral("50")}});
    scan(QStringLiteral("1001"));
    edit(0, QStringLiteral("3"), QString(), true);
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("150"));
    EXPECT_EQ(cart.line(0).折扣, QStringLiteral("1"));
}

TEST_F(CartEditing, CancelKeepsTheLineAndItsRemark)
{
    c.addStock({});
    scan(QStringLiteral("1001"));
    cart.setCell(0, Col备注, QStringLiteral("旧备注"));
    const CartLine before = cart.line(0);
    EXPECT_FALSE(edit(0, QStringLiteral("4"), QStringLiteral("新"), false));
    EXPECT_EQ(cart.line(0), before);
}

TEST_F(CartEditing, MoreThanTheStockIsRefusedAndPutBack)
{
    c.addStock({{QStringLiteral("数量"), QStringLiteral("2")}});
    scan(QStringLiteral("1001"));
    QString boxAfter;
    script.setDialogHandler([&](QDialog *dialog) {
        auto *d = qobject_cast<LineEditDialog *>(dialog);
        d->quantityBox()->setText(QStringLiteral("5"));
        d->confirmButton()->click();
        boxAfter = d->quantityBox()->text();
        return d->result();
    });
    editCartLine(c.context, cart, 0);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("该款库存数量【2】,小于你所要销售的数量【5】")});
    EXPECT_EQ(boxAfter, QStringLiteral("1"));
    EXPECT_EQ(cart.line(0).数量, QStringLiteral("1"));
}

TEST_F(CartEditing, ConfirmChecksTheStockAgainAndRefusesFractions)
{
    c.addStock({{QStringLiteral("数量"), QStringLiteral("2")}});
    scan(QStringLiteral("1001"));
    script.setDialogHandler([&](QDialog *dialog) {
        auto *d = qobject_cast<LineEditDialog *>(dialog);
        d->quantityBox()->setText(QStringLiteral("2.5"));
        d->confirmButton()->click();
        EXPECT_EQ(d->result(), int(QDialog::Rejected)); // still open
        c.conn().execute(data::Sql(QStringLiteral("UPDATE [采购入库] SET 数量='1'")));
        d->quantityBox()->blockSignals(true); // as if typed while the check could not run
        d->quantityBox()->setText(QStringLiteral("2"));
        d->quantityBox()->blockSignals(false);
        d->confirmButton()->click();
        return d->result();
    });
    EXPECT_FALSE(editCartLine(c.context, cart, 0));
    EXPECT_EQ(script.texts(), (QStringList{QStringLiteral("数量必须是大于0的整数"),
                                           QStringLiteral("该款库存数量【1】,小于你所要销售的数量【2】")}));
    EXPECT_EQ(cart.line(0).数量, QStringLiteral("1"));
}

// Quantities typed with a Chinese input method come as full-width characters: they count as
// their half-width digits, as amounts do; what is not a whole number above 0 is still refused.
TEST_F(CartEditing, FullWidthQuantitiesCountAsTheirDigits)
{
    const struct {
        const char16_t *typed;
        const char *quantity; // the line's quantity afterwards
        const char *amount;
        const char *message;
    } cases[] = {
        {u"１２", "12", "960", ""},
        {u"３", "3", "240", ""},
        {u"\u3000２\u3000", "2", "160", ""},
        {u"＋４", "4", "320", ""},
        {u"２．５", "1", "80", "数量必须是大于0的整数"},
        {u"０", "1", "80", "数量必须是大于0的整数"},
        {u"－２", "1", "80", "数量必须是大于0的整数"},
        {u"１３", "1", "80", "该款库存数量【12】,小于你所要销售的数量【１３】"},
    };
    c.addStock({{QStringLiteral("数量"), QStringLiteral("12")}});
    for (const auto &k : cases) {
        cart.removeAll();
        scan(QStringLiteral("1001"));
        script.clear();
        script.setDialogHandler([&](QDialog *dialog) {
            auto *d = qobject_cast<LineEditDialog *>(dialog);
            EXPECT_NE(d, nullptr);
            d->quantityBox()->selectAll();
            QInputMethodEvent commit;
            commit.setCommitString(QString::fromUtf16(k.typed));
            QCoreApplication::sendEvent(d->quantityBox(), &commit);
            d->confirmButton()->click();
            if (d->result() != QDialog::Accepted)
                d->cancelButton()->click();
            return d->result();
        });
        editCartLine(c.context, cart, 0);
        EXPECT_EQ(cart.line(0).数量, QString::fromUtf8(k.quantity)) << k.quantity;
        EXPECT_EQ(cart.line(0).金额, QString::fromUtf8(k.amount)) << k.quantity;
        EXPECT_EQ(script.texts().join(u'|'), QString::fromUtf8(k.message)) << k.quantity;
    }
}

TEST_F(CartEditing, ASoldOutOlderRowOfTheSameItemNeverLoopsTheCheck)
{
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000009")}, {QStringLiteral("数量"), QStringLiteral("0")}});
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000009")}, {QStringLiteral("数量"), QStringLiteral("3")}});
    scan(QStringLiteral("6900000000009"));
    EXPECT_TRUE(edit(0, QStringLiteral("3"), QString(), true));
    EXPECT_TRUE(script.messages().isEmpty());
    EXPECT_EQ(cart.line(0).数量, QStringLiteral("3"));
}

// The cashier types the whole quantity without a message in between, even when a number on the
// way is above the stock; the check comes with Enter, once, and what is typed after the refusal
// replaces the quantity put back.
TEST_F(CartEditing, TypingTheQuantityLosesNothingAndEnterChecksTheStock)
{
    c.addStock({{QStringLiteral("数量"), QStringLiteral("5")}});
    scan(QStringLiteral("1001"));
    LineEditDialog dialog(c.context, cart.line(0));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QLineEdit *box = dialog.quantityBox();
    ASSERT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), QStringLiteral("1"));

    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, QStringLiteral("3"));         // "13" on the way
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("3"));
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("12"));
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    EXPECT_TRUE(script.messages().isEmpty());

    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("该款库存数量【5】,小于你所要销售的数量【12】")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("1"));
    EXPECT_EQ(box->selectedText(), QStringLiteral("1"));

    QTest::keyClicks(box, QStringLiteral("4"));
    QTest::keyClick(box, Qt::Key_Tab); // past the shown fields, straight to 备注
    EXPECT_TRUE(dialog.remarkBox()->hasFocus());
    QInputMethodEvent commit; // the remark comes through the input method
    commit.setCommitString(QStringLiteral("包装"));
    QCoreApplication::sendEvent(dialog.remarkBox(), &commit);
    QTest::keyClick(dialog.remarkBox(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    EXPECT_EQ(dialog.confirmedQuantity(), QStringLiteral("4"));
    EXPECT_EQ(dialog.confirmedRemark(), QStringLiteral("包装"));
    EXPECT_EQ(script.texts().size(), 1);
}

// Barcode, name, style number, colour and size are shown, not edited; the stock check reads the
// line's own stock row, whatever older row of the same item there is.
TEST_F(CartEditing, OnlyQuantityAndRemarkAreEditableAndTheCheckReadsTheLinesOwnRow)
{
    const struct {
        const char *olderStock, *ownStock, *typed;
        const char16_t *refusal; // "" when taken
        const char *quantityAfter;
    } cases[] = {
        {"10", "2", "5", u"该款库存数量【2】,小于你所要销售的数量【5】", "1"},
        {"1", "6", "6", u"", "6"},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.typed);
        c.conn().execute(data::Sql(QStringLiteral("DELETE FROM [采购入库]")));
        cart.removeAll();
        script.clear();
        const QMap<QString, QString> item{{QStringLiteral("商品条码"), QStringLiteral("6900000000017")}};
        QMap<QString, QString> older = item, own = item;
        older[QStringLiteral("数量")] = QString::fromUtf8(k.olderStock);
        own[QStringLiteral("数量")] = QString::fromUtf8(k.ownStock);
        c.addStock(older);
        const qint64 ownId = c.addStock(own);
        CartLine line;
        line.id = QString::number(ownId);
        line.商品条码 = QStringLiteral("6900000000017");
        line.款号 = QStringLiteral("1001");
        line.商品名称 = QStringLiteral("衬衫");
        line.颜色 = QStringLiteral("白");
        line.尺码 = QStringLiteral("M");
        line.数量 = QStringLiteral("1");
        line.吊牌价 = QStringLiteral("100");
        line.折扣 = QStringLiteral("0.8");
        line.金额 = QStringLiteral("80");
        cart.append(line);

        script.setDialogHandler([&](QDialog *dialog) {
            auto *d = qobject_cast<LineEditDialog *>(dialog);
            d->show();
            EXPECT_TRUE(QTest::qWaitForWindowActive(d));
            for (const char *name : {"x条码", "x商品名称", "x款号", "x颜色", "x尺码"}) {
                auto *shown = d->findChild<QLineEdit *>(QString::fromUtf8(name));
                EXPECT_TRUE(shown && shown->isReadOnly()) << name;
                if (!shown)
                    continue;
                const QString before = shown->text();
                QTest::keyClicks(shown, QStringLiteral("X9"));
                EXPECT_EQ(shown->text(), before) << name;
            }
            d->quantityBox()->selectAll();
            QTest::keyClicks(d->quantityBox(), QString::fromUtf8(k.typed));
            QTest::keyClick(d->quantityBox(), Qt::Key_Return);
            if (d->isVisible())
                d->cancelButton()->click();
            return d->result();
        });
        editCartLine(c.context, cart, 0);
        const QString refusal = QString::fromUtf16(k.refusal);
        EXPECT_EQ(script.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        EXPECT_EQ(cart.line(0).数量, QString::fromUtf8(k.quantityAfter));
        CartLine expected = line;
        expected.数量 = cart.line(0).数量;
        expected.金额 = cart.line(0).金额;
        EXPECT_EQ(cart.line(0), expected); // nothing else of the line changed
    }
}

// A price restore whose stock read fails says so; it never tells the cashier the row is gone.
TEST_F(CartEditing, ARestoreThatCannotReadTheStockSaysSoAndKeepsThePrices)
{
    c.addStock({});
    scan(QStringLiteral("1001"));
    cart.setCell(0, Col金额, QStringLiteral("75"));
    ASSERT_TRUE(c.conn().execute(data::Sql(QStringLiteral("ALTER TABLE [采购入库] RENAME TO [采购入库旧]"))));
    const RepriceResult kept = restoreCartPrices(c.context, cart);
    EXPECT_EQ(kept.unread, QStringList{QStringLiteral("衬衫")});
    EXPECT_TRUE(kept.gone.isEmpty());
    EXPECT_EQ(keptPriceText(kept), QStringLiteral("读取库存失败，请检查数据库连接！以下商品保留原价格：衬衫"));
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("75"));
    EXPECT_EQ(keptPriceText(repriceCartWithoutMember(c.context, cart)),
              QStringLiteral("读取库存失败，请检查数据库连接！以下商品保留原价格：衬衫"));
    ASSERT_TRUE(c.conn().execute(data::Sql(QStringLiteral("ALTER TABLE [采购入库旧] RENAME TO [采购入库]"))));
    EXPECT_TRUE(restoreCartPrices(c.context, cart).isEmpty());
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("80"));
}

TEST_F(CartEditing, RestoreRepricesFromTheStockRowsAndClearsTheCheckoutCells)
{
    const qint64 id = c.addStock({});
    scan(QStringLiteral("1001"));
    scan(QStringLiteral("1001"));
    edit(0, QStringLiteral("3"), QStringLiteral("备"), true);
    for (int column : {int(Col导购员), int(Col会员卡号), int(Col备注)})
        cart.setColumnForAll(column, QStringLiteral("x"));
    cart.setColumnForAll(Col结付, kPayOther);
    cart.setColumnForAll(Col金额, QStringLiteral("1"));
    cart.salesperson = QStringLiteral("李四");
    // The second line's stock row disappears: it keeps its price and the cashier is told.
    cart.setCell(1, ColId, QString::number(id + 100));
    const RepriceResult kept = restoreCartPrices(c.context, cart);
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("240"));
    EXPECT_EQ(cart.line(0).结付, kPayCash);
    EXPECT_EQ(cart.line(0).导购员, QString());
    EXPECT_EQ(cart.line(0).会员卡号, QString());
    EXPECT_EQ(cart.line(0).备注, QString());
    EXPECT_EQ(cart.line(1).金额, QStringLiteral("1"));
    EXPECT_EQ(kept.gone, QStringList{QStringLiteral("衬衫")});
    EXPECT_TRUE(kept.unread.isEmpty());
    EXPECT_EQ(keptPriceText(kept), QStringLiteral("以下商品的库存记录已不存在，保留原价格：衬衫"));
    EXPECT_EQ(cart.salesperson, QString());
}

TEST_F(CartEditing, RepriceWithoutMemberKeepsSalespersonAndPaymentKind)
{
    c.addStock({});
    scan(QStringLiteral("1001"));
    cart.setCell(0, Col导购员, QStringLiteral("李四"));
    cart.setCell(0, Col结付, kPayCard);
    cart.setCell(0, Col会员卡号, QStringLiteral("V1"));
    cart.setCell(0, Col金额, QStringLiteral("1"));
    repriceCartWithoutMember(c.context, cart);
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("80"));
    EXPECT_EQ(cart.line(0).导购员, QStringLiteral("李四"));
    EXPECT_EQ(cart.line(0).结付, kPayCard);
    EXPECT_EQ(cart.line(0).会员卡号, QString());
}

TEST_F(CartEditing, SumsAndTotalsAreRunningTexts)
{
    EXPECT_EQ(cart.amountSum(), QString());
    EXPECT_EQ(cart.computeTotals(), CartTotals{});
    CartLine a;
    a.数量 = QStringLiteral("3");
    a.吊牌价 = QStringLiteral("100");
    a.金额 = QStringLiteral("240");
    CartLine b;
    b.数量 = QStringLiteral("1");
    b.吊牌价 = QStringLiteral("0.1");
    b.金额 = QString(); // counts 0
    b.特价 = kSpecialPriceMark;
    cart.append(a);
    cart.append(b);
    computeCartTotals(cart);
    EXPECT_EQ(cart.totals, (CartTotals{QStringLiteral("4"), QStringLiteral("300.1"), QStringLiteral("240"), QStringLiteral("0")}));
    EXPECT_EQ(cart.amountSum(), QStringLiteral("240"));
    EXPECT_EQ(Cart::columnOf(QStringLiteral("金额")), int(Col金额));
    EXPECT_EQ(cart.cell(0, QStringLiteral("数量")), QStringLiteral("3"));
}

TEST_F(CartEditing, PageDeletesAndClearsThroughItsControls)
{
    c.addStock({});
    CashierPage page(c.context);
    scanItemIntoCart(c.context, page.cart(), QStringLiteral("1001"), &page);
    scanItemIntoCart(c.context, page.cart(), QStringLiteral("1001"), &page);
    page.cart().setCell(1, Col金额, QStringLiteral("7"));
    page.cartList()->selectRow(0);
    page.deleteCartLine();
    EXPECT_EQ(page.cart().count(), 1);
    EXPECT_EQ(page.amountBox()->text(), QStringLiteral("7"));
    page.cartList()->selectRow(0);
    page.deleteCartLine();
    EXPECT_EQ(page.amountBox()->text(), QString());
    page.findChild<QPushButton *>(QStringLiteral("清空"))->click(); // empty cart: nothing visible
    EXPECT_TRUE(page.cart().isEmpty());
    page.deleteCartLine(); // nothing selected: nothing happens
    EXPECT_TRUE(script.messages().isEmpty());
}

// After a line is edited or deleted the next keystrokes are the next scan: the keyboard is back
// in the scan box, not left in the cart list where a scanned code would be lost.
TEST_F(CartEditing, TheScanBoxHasTheKeyboardAfterALineIsEditedOrDeleted)
{
    c.addStock({});
    CashierPage page(c.context);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    scanItemIntoCart(c.context, page.cart(), QStringLiteral("1001"), &page);
    scanItemIntoCart(c.context, page.cart(), QStringLiteral("1001"), &page);
    script.setDialogHandler([](QDialog *dialog) {
        auto *d = qobject_cast<LineEditDialog *>(dialog);
        EXPECT_NE(d, nullptr);
        d->confirmButton()->click();
        return d->result();
    });

    page.cartList()->setFocus();
    page.cartList()->selectRow(0);
    page.editCartLine();
    EXPECT_TRUE(page.scanBox()->hasFocus());

    page.cartList()->setFocus();
    page.cartList()->selectRow(0);
    page.deleteCartLine();
    EXPECT_EQ(page.cart().count(), 1);
    EXPECT_TRUE(page.scanBox()->hasFocus());
}

// Coming back to the counter from another page, the code left in the scan box is replaced by
// the next scan, not lengthened by it.
TEST_F(CartEditing, TheNextScanReplacesTheOldCodeWhenTheCounterShowsAgain)
{
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000001")}});
    CashierPage page(c.context);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    page.scanBox()->setText(QStringLiteral("6900000000001"));
    QTest::keyClick(page.scanBox(), Qt::Key_Return);
    ASSERT_EQ(page.cart().count(), 1);
    page.hide();
    page.scanBox()->deselect();
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    QTest::keyClicks(page.scanBox(), QStringLiteral("6900000000001"));
    QTest::keyClick(page.scanBox(), Qt::Key_Return);
    EXPECT_EQ(page.scanBox()->text(), QStringLiteral("6900000000001"));
    EXPECT_EQ(page.cart().count(), 2);
    EXPECT_TRUE(script.messages().isEmpty());
}

} // namespace
