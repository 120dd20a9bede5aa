#include "CounterFixture.h"

#include "cashier/CartEditing.h"
#include "cashier/CartScanning.h"
#include "cashier/CashierPage.h"
#include "cashier/LineEditDialog.h"
#include "lists/ReportList.h"
#include "platform/MessageScript.h"

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
        boxAfter = d->quantityBox()->text();
        d->confirmButton()->click();
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

TEST_F(CartEditing, ASoldOutOlderRowOfTheSameItemNeverLoopsTheCheck)
{
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000009")}, {QStringLiteral("数量"), QStringLiteral("0")}});
    c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000009")}, {QStringLiteral("数量"), QStringLiteral("3")}});
    scan(QStringLiteral("6900000000009"));
    EXPECT_TRUE(edit(0, QStringLiteral("3"), QString(), true));
    EXPECT_TRUE(script.messages().isEmpty());
    EXPECT_EQ(cart.line(0).数量, QStringLiteral("3"));
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
    const QStringList kept = restoreCartPrices(c.context, cart);
    EXPECT_EQ(cart.line(0).金额, QStringLiteral("240"));
    EXPECT_EQ(cart.line(0).结付, kPayCash);
    EXPECT_EQ(cart.line(0).导购员, QString());
    EXPECT_EQ(cart.line(0).会员卡号, QString());
    EXPECT_EQ(cart.line(0).备注, QString());
    EXPECT_EQ(cart.line(1).金额, QStringLiteral("1"));
    EXPECT_EQ(kept, QStringList{QStringLiteral("衬衫")});
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
