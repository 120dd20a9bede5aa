#pragma once
// The checkout window on a fresh SQLite shop "A": items priced by their own discount, no sale
// decimals, the tiers 金卡 0.7 / 银卡 0.9 / 普通 0.95; stock rows with their cart lines, members,
// and the window opened on the cart, with messages recorded.
#include "cashier/Cart.h"
#include "cashier/CheckoutState.h"
#include "cashier/CheckoutWindow.h"
#include "cashier/LinePrice.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/MessageScript.h"
#include "support/SqliteShopTest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace checkouttest {

using namespace cashier;
using F = CheckoutField;

class CheckoutFixture : public testsupport::SqliteShopTest {
protected:
    void SetUp() override
    {
        SqliteShopTest::SetUp();
        if (HasFatalFailure())
            return;
        context.discountScheme.商品折扣 = AppContext::FlagOn;
        context.shopSettings.销售 = QStringLiteral("0");
        context.memberTiers[0] = {QStringLiteral("0.7"), QStringLiteral("金卡"), QStringLiteral("500")};
        context.memberTiers[1] = {QStringLiteral("0.9"), QStringLiteral("银卡"), QStringLiteral("200")};
        context.memberTiers[2] = {QStringLiteral("0.95"), QStringLiteral("普通"), QStringLiteral("0")};
    }
    void TearDown() override
    {
        cart.removeAll();
        SqliteShopTest::TearDown();
    }

    void setModes(const QString &points, const QString &upgrade, const QString &onTop)
    {
        context.shopSettings.积分模式 = points;
        context.shopSettings.升级模式 = upgrade;
        context.shopSettings.折上折 = onTop;
    }
    void exec(const QString &sql, const QVariantList &values = {})
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(sql, values))) << context.connection().lastError().toStdString();
    }
    QString memberText(const QString &card, const QString &column)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM 会员管理 WHERE 会员卡号=?"), {card})));
        return rs.text(column);
    }
    void addMember(const QString &card, const QString &tier, const QString &points, const QString &stored = QStringLiteral("100"),
                   const QString &shop = QStringLiteral("A"), const QString &spent = QStringLiteral("800"))
    {
        exec(QStringLiteral("INSERT INTO 会员管理 (会员卡号,会员姓名,会员类别,积分,消费金额,会员储值,所属店铺) VALUES (?,?,?,?,?,?,?)"),
             {card, QStringLiteral("王芳"), tier, points, spent, stored, shop});
    }
    // A stock row of shop A and its cart line, priced as the counter prices it without a member.
    void addLine(const QString &tag, const QString &factor, const QString &quantity = QStringLiteral("1"),
                 const QString &special = QString())
    {
        exec(QStringLiteral("INSERT INTO 采购入库 (商品条码,类别,款号,名称,颜色,尺码,数量,已售,单位,吊牌价,折扣,进货价,特价,"
                            "所属店铺,入库日期) VALUES (?,'T恤',?,'衬衫','白','L','50','0','件',?,?,'30',?,'A','2015-03-01')"),
             {QStringLiteral("6900%1").arg(cart.count()), QStringLiteral("100%1").arg(cart.count()), tag, factor, special});
        data::RecordSet rs(context.connection());
        ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT MAX(id) AS id FROM 采购入库"))));
        CartLine line;
        line.id = rs.text(QStringLiteral("id"));
        line.商品条码 = QStringLiteral("6900%1").arg(cart.count());
        line.分类 = QStringLiteral("T恤");
        line.款号 = QStringLiteral("100%1").arg(cart.count());
        line.商品名称 = QStringLiteral("衬衫");
        line.数量 = quantity;
        line.单位 = QStringLiteral("件");
        line.吊牌价 = tag;
        line.特价 = special;
        const LinePrice price = priceLine(special, tag, factor, quantity.toDouble(), context.discountScheme,
                                          saleDecimals(context.shopSettings));
        line.折扣 = price.折扣;
        line.金额 = price.金额;
        line.结付 = kPayCash;
        cart.append(line);
    }
    std::unique_ptr<CheckoutWindow> openWindow()
    {
        computeCartTotals(cart);
        return std::make_unique<CheckoutWindow>(context, cart, CheckoutHooks{});
    }
    static void paste(CheckoutWindow &window, const QString &card)
    {
        window.field(F::会员卡号x)->setText(card);
    }
    // Types into a field as the cashier does after clicking it: the whole text is replaced.
    static void typeInto(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    static QPushButton *pointsButton(CheckoutWindow &window)
    {
        return window.findChild<QPushButton *>(QStringLiteral("超级按钮3"));
    }
    static QRadioButton *radio(CheckoutWindow &window, const char *name)
    {
        return window.findChild<QRadioButton *>(QString::fromUtf8(name));
    }
    QStringList column(int col) const
    {
        QStringList cells;
        for (const CartLine &line : cart.lines())
            cells << line[col];
        return cells;
    }
    // Every field of the window and every line of the cart, as one text.
    static QString snapshot(CheckoutWindow &window, const Cart &cart)
    {
        QStringList parts;
        for (int i = 0; i < kCheckoutFieldCount; ++i)
            parts << checkoutFieldName(F(i)) + u'=' + window.field(F(i))->text();
        const CheckoutMember &m = window.state().member;
        parts << m.payable << m.消费金额 << m.会员折扣 << m.会员卡号 << m.会员储值 << m.积分 << QString::number(m.id);
        parts << QString::number(int(window.state().paymentKind()));
        for (const CartLine &line : cart.lines())
            parts << line.cells().join(u'|');
        return parts.join(u'\n');
    }

    Cart cart;
    MessageScript script;
};

} // namespace checkouttest
