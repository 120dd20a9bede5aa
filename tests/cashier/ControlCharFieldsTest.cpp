// A text pasted with a NUL into a cart line's remark or into the checkout's card box reaches the
// sale without it, alike on both backends: the box shows the text without it, the member is found,
// and the sale is written whole.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/CartScanning.h"
#include "cashier/CheckoutWindow.h"
#include "cashier/LineEditDialog.h"
#include "platform/MessageScript.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace cashier;
using namespace countertest;
using F = CheckoutField;

namespace {

const QString kNul = QString(QChar(0));

// Pastes with Ctrl+V into a box of a shown window, over its whole text.
void pasteInto(QLineEdit *box, const QString &text)
{
    QApplication::clipboard()->setText(text);
    box->window()->show();
    QApplication::setActiveWindow(box->window());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box->window()));
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

class ControlCharsAtTheCounter : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
        c.context.receiptPrintFlag = QStringLiteral("假");
        c.addStock({{QStringLiteral("商品条码"), QStringLiteral("6900000000001")}, {QStringLiteral("数量"), QStringLiteral("5")}});
        ASSERT_EQ(scanItemIntoCart(c.context, cart, QStringLiteral("6900000000001")), 0);
    }
    // Confirms the checkout of the cart in cash; returns whether the sale was written.
    bool sell(CheckoutWindow &window)
    {
        EXPECT_TRUE(window.handleCheckoutKey(Qt::Key_Return));
        return window.lastResult().written();
    }
    QMap<QString, QString> soldLine() { return c.rows(QStringLiteral("销售明细")).value(0); }

    ClockGuard clock;
    Counter c{GetParam()};
    Cart cart;
    MessageScript script;
};

TEST_P(ControlCharsAtTheCounter, ARemarkWithANulIsSoldWithoutIt)
{
    script.setDialogHandler([&](QDialog *dialog) {
        auto *d = qobject_cast<LineEditDialog *>(dialog);
        EXPECT_NE(d, nullptr);
        if (!d)
            return 0;
        pasteInto(d->remarkBox(), QStringLiteral("ab") + kNul + QStringLiteral("cd"));
        EXPECT_EQ(d->remarkBox()->text(), QStringLiteral("abcd"));
        d->confirmButton()->click();
        return d->result();
    });
    ASSERT_TRUE(editCartLine(c.context, cart, 0));
    EXPECT_EQ(cart.line(0).备注, QStringLiteral("abcd"));

    computeCartTotals(cart);
    CheckoutWindow window(c.context, cart, CheckoutHooks{});
    ASSERT_TRUE(sell(window)) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(soldLine().value(QStringLiteral("备注")), QStringLiteral("abcd"));
    EXPECT_EQ(c.rows(QStringLiteral("采购入库")).value(0).value(QStringLiteral("已售")), QStringLiteral("1"));
}

TEST_P(ControlCharsAtTheCounter, ACardWithANulFindsTheMemberAndTheSaleCountsForHer)
{
    c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("M001")},
                                      {QStringLiteral("会员类别"), QString()},
                                      {QStringLiteral("积分"), QStringLiteral("0")},
                                      {QStringLiteral("消费金额"), QStringLiteral("0")},
                                      {QStringLiteral("会员储值"), QStringLiteral("0")},
                                      {QStringLiteral("所属店铺"), kShop}});
    computeCartTotals(cart);
    CheckoutWindow window(c.context, cart, CheckoutHooks{});
    pasteInto(window.field(F::会员卡号x), QStringLiteral("M0") + kNul + QStringLiteral("01"));
    EXPECT_EQ(window.field(F::会员卡号x)->text(), QStringLiteral("M001"));
    EXPECT_NE(window.state().member.id, 0) << script.texts().join(u'|').toStdString();
    EXPECT_TRUE(script.texts().isEmpty()) << script.texts().join(u'|').toStdString();

    ASSERT_TRUE(sell(window)) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(soldLine().value(QStringLiteral("会员编号")), QStringLiteral("M001"));
    EXPECT_EQ(c.rows(QStringLiteral("会员管理")).value(0).value(QStringLiteral("消费金额")), soldLine().value(QStringLiteral("金额")));
}

SHOPDESK_BOTH_BACKENDS(ControlCharsAtTheCounter);

} // namespace
