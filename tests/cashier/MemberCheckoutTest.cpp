// The member card at checkout, on the real checkout window: the member prices of the shop's
// modes, the points payment, the card typed key by key, member sharing, the no-member path, and
// the sale that stores the member's new figures; on the server, two workstations selling to one
// member at once.
#include "CheckoutFixture.h"
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/CheckoutState.h"
#include "cashier/CheckoutWindow.h"
#include "cashier/LinePrice.h"
#include "cashier/MemberPricing.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/MessageScript.h"
#include "support/SqliteShopTest.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

using namespace cashier;
using F = CheckoutField;

namespace {

using MemberCheckoutTest = checkouttest::CheckoutFixture;

struct PricingCase {
    const char *name;
    const char16_t *pointsMode, *upgrade, *onTop, *uniform, *decimals;
    const char *tag, *factor, *quantity;
    const char16_t *special;
    const char *amount, *discount;
    const char16_t *modeText;
};

class MemberPrices : public MemberCheckoutTest, public ::testing::WithParamInterface<PricingCase> {};

// A tier-2 member (factor 0.9) prices the line by the shop's mode; the amount due, the amount
// received and the member payable are the line's amount.
TEST_P(MemberPrices, FollowTheShopsModeAndTheMembersTier)
{
    const PricingCase c = GetParam();
    setModes(QString::fromUtf16(c.pointsMode), QString::fromUtf16(c.upgrade), QString::fromUtf16(c.onTop));
    context.discountScheme.统一折扣 = QString::fromUtf16(c.uniform);
    context.shopSettings.销售 = QString::fromUtf16(c.decimals);
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("10"));
    addLine(QString::fromLatin1(c.tag), QString::fromLatin1(c.factor), QString::fromLatin1(c.quantity),
            QString::fromUtf16(c.special));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    const CheckoutState &s = window->state();
    EXPECT_EQ(cart.line(0).金额, QString::fromLatin1(c.amount)) << c.name;
    EXPECT_EQ(cart.line(0).折扣, QString::fromLatin1(c.discount)) << c.name;
    EXPECT_EQ(cart.line(0).会员卡号, "V1") << c.name;
    EXPECT_EQ(s.text(F::应付款), QString::fromLatin1(c.amount)) << c.name;
    EXPECT_EQ(s.text(F::实收款), QString::fromLatin1(c.amount)) << c.name;
    EXPECT_EQ(s.text(F::找零), "0") << c.name;
    EXPECT_EQ(s.member.payable, QString::fromLatin1(c.amount)) << c.name;
    EXPECT_EQ(window->field(F::折扣方案x)->text(), QString::fromUtf16(c.modeText)) << c.name;
    EXPECT_EQ(window->field(F::会员折扣x)->text(), "0.9") << c.name;
    EXPECT_EQ(window->field(F::会员类别x)->text(), "银卡") << c.name;
    EXPECT_TRUE(script.texts().isEmpty()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MemberPrices,
    ::testing::Values(
        PricingCase{"discount on discount", u"假", u"真", u"真", u"", u"0", "100", "0.8", "2", u"", "144", "0.9", u"折上折模式"},
        PricingCase{"upgrade", u"假", u"真", u"假", u"", u"0", "100", "0.8", "2", u"", "180", "0.9", u"升级模式"},
        PricingCase{"special, discount on discount", u"假", u"真", u"真", u"", u"0", "50", "0.8", "3", u"√", "150", "1", u"折上折模式"},
        PricingCase{"special, upgrade", u"假", u"真", u"假", u"", u"0", "50", "0.8", "3", u"√", "150", "1", u"升级模式"},
        PricingCase{"uniform 0.7, discount on discount", u"假", u"真", u"真", u"0.7", u"0", "100", "0.8", "2", u"", "126", "0.9", u"折上折模式"},
        PricingCase{"uniform 0.7, upgrade", u"假", u"真", u"假", u"0.7", u"0", "100", "0.8", "2", u"", "180", "0.9", u"升级模式"},
        PricingCase{"the item's amount is rounded first", u"假", u"真", u"真", u"", u"0", "45", "0.5", "1", u"", "21", "0.9", u"折上折模式"},
        PricingCase{"no factor of its own counts 1", u"假", u"真", u"真", u"", u"0", "100", "", "1", u"", "90", "0.9", u"折上折模式"},
        PricingCase{"two decimals", u"假", u"真", u"真", u"", u"2", "99.9", "0.8", "1", u"", "71.93", "0.9", u"折上折模式"}));

TEST_F(MemberCheckoutTest, PointsModeOnlyRecordsTheCard)
{
    setModes(QStringLiteral("真"), QStringLiteral("假"), QStringLiteral("假"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("320"), QStringLiteral("55.5"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"), QStringLiteral("2"));
    addLine(QStringLiteral("59.9"), QStringLiteral("1"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    EXPECT_EQ(column(Col金额), (QStringList{"160", "60"}));
    EXPECT_EQ(column(Col折扣), (QStringList{"0.8", "1"}));
    EXPECT_EQ(column(Col会员卡号), (QStringList{"V1", "V1"}));
    const CheckoutState &s = window->state();
    EXPECT_EQ(s.text(F::应付款), "220");
    EXPECT_EQ(s.text(F::实收款), "220");
    EXPECT_EQ(s.text(F::折扣方案x), "积分模式");
    EXPECT_EQ(s.text(F::会员折扣x), "");
    EXPECT_EQ(s.text(F::会员储值x), "55.5");
    EXPECT_EQ(s.text(F::会员积分x), "320");
    EXPECT_EQ(s.member.payable, "220");
}

struct PointsCase {
    const char *name;
    const char *points, *minimum, *rate;
    int presses;
    const char *paid, *left, *received;
    const char16_t *message;
    bool split;
};

class PointsButton : public MemberCheckoutTest, public ::testing::WithParamInterface<PointsCase> {};

TEST_P(PointsButton, PaysWholeUnitsOfThePointsTheMemberHadWhenFound)
{
    const PointsCase c = GetParam();
    setModes(QStringLiteral("真"), QStringLiteral("假"), QStringLiteral("假"));
    context.shopSettings.积分值 = QString::fromLatin1(c.minimum);
    context.shopSettings.抵扣值 = QString::fromLatin1(c.rate);
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QString::fromLatin1(c.points));
    addLine(QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    for (int i = 0; i < c.presses; ++i)
        pointsButton(*window)->click();
    const CheckoutState &s = window->state();
    EXPECT_EQ(s.text(F::积分编辑框), QString::fromLatin1(c.paid)) << c.name;
    EXPECT_EQ(s.text(F::会员积分x), QString::fromLatin1(c.left)) << c.name;
    EXPECT_EQ(s.text(F::实收款), QString::fromLatin1(c.received)) << c.name;
    EXPECT_EQ(script.texts().join(u'|'), QString::fromUtf16(c.message)) << c.name;
    EXPECT_EQ(window->splitGroup()->isVisibleTo(window.get()), c.split) << c.name;
    EXPECT_EQ(radio(*window, "单选框3")->isChecked(), c.split) << c.name;
    EXPECT_EQ(column(Col结付), QStringList{c.split ? "其它" : "现金"}) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PointsButton,
    ::testing::Values(PointsCase{"250 at 100", "250", "100", "100", 1, "2", "50", "2", u"", true},
                      PointsCase{"pressed twice", "250", "100", "100", 2, "2", "50", "2", u"", true},
                      PointsCase{"80 below 100", "80", "100", "100", 1, "", "80", "100", u"积分低于100分，无法使用！！！", false},
                      PointsCase{"rate 0", "250", "100", "0", 1, "", "250", "100",
                                 u"本店的积分抵扣值未设置或为0，无法使用积分抵扣！", false},
                      PointsCase{"no rate", "250", "100", "", 1, "", "250", "100",
                                 u"本店的积分抵扣值未设置或为0，无法使用积分抵扣！", false}));

// A card typed (or scanned) key by key passes through prefixes that are no card: it ends in the
// state a pasted card gives, whatever payment the cashier chose first, and the cart's stock rows
// are read once.
TEST_F(MemberCheckoutTest, ACardTypedKeyByKeyEndsAsPasted)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("真"));
    const QString card = QStringLiteral("6901234567892");
    addMember(card, QStringLiteral("银卡"), QStringLiteral("30"), QStringLiteral("12.5"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"), QStringLiteral("2"));
    addLine(QStringLiteral("50"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("√"));
    addLine(QStringLiteral("45"), QStringLiteral("0.5"));

    const struct {
        const char *name;
        int key;            // the payment chosen before the card (0: cash as the window opens)
        const char *cash;   // typed into the split's 现金 first
        const char *received, *kind, *radio;
    } cases[] = {
        {"cash", 0, nullptr, "315", "现金", "单选框1"},
        {"bank card", Qt::Key_F2, nullptr, "315", "刷卡", "单选框2"},
        {"split", Qt::Key_F3, "30", "30", "其它", "单选框3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto typed = openWindow();
        if (c.key) {
            ASSERT_TRUE(typed->handleCheckoutKey(c.key));
        }
        if (c.cash)
            typeInto(typed->field(F::现金), QString::fromUtf8(c.cash));
        QTest::keyClicks(typed->field(F::会员卡号x), card);
        ASSERT_EQ(typed->field(F::会员卡号x)->text(), card);
        const QString afterTyping = snapshot(*typed, cart);
        EXPECT_EQ(typed->memberPricing().stockReads(), 1);
        EXPECT_EQ(column(Col金额), (QStringList{"144", "150", "21"}));
        EXPECT_EQ(typed->state().text(F::实收款), QString::fromUtf8(c.received));
        EXPECT_EQ(column(Col结付), QStringList(3, QString::fromUtf8(c.kind)));
        EXPECT_TRUE(radio(*typed, c.radio)->isChecked());
        typed->cancelCheckout();
        EXPECT_EQ(column(Col金额), (QStringList{"160", "150", "23"}));

        auto pasted = openWindow();
        if (c.key) {
            ASSERT_TRUE(pasted->handleCheckoutKey(c.key));
        }
        if (c.cash)
            typeInto(pasted->field(F::现金), QString::fromUtf8(c.cash));
        paste(*pasted, card);
        EXPECT_EQ(snapshot(*pasted, cart), afterTyping);
        EXPECT_EQ(pasted->state().text(F::应付款), "315");
        pasted->cancelCheckout();
    }
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(MemberCheckoutTest, AnotherShopsCardIsFoundOnlyWhileMembersAreShared)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("假"));
    addMember(QStringLiteral("B7"), QStringLiteral("银卡"), QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("B"));
    addLine(QStringLiteral("100"), QStringLiteral("1"));
    for (const auto &[sharing, found] : {std::pair{"假", false}, std::pair{"", false}, std::pair{"真", true}}) {
        context.shopSettings.会员共享 = QString::fromUtf8(sharing);
        auto window = openWindow();
        paste(*window, QStringLiteral("B7"));
        EXPECT_EQ(window->state().text(F::会员类别x), found ? "银卡" : "") << sharing;
        EXPECT_EQ(cart.line(0).金额, found ? "90" : "100") << sharing;
        EXPECT_EQ(cart.line(0).会员卡号, found ? "B7" : "") << sharing;
        EXPECT_EQ(window->state().saleRequest().member.present(), found) << sharing;
        window->cancelCheckout();
    }
}

// Two lines whose member amounts round up: the amount due is their sum (the shop-wide formula
// would give 41), and a second card pasted over the first starts again from the stock prices.
TEST_F(MemberCheckoutTest, TheMemberPayableIsTheSumOfTheRepricedLines)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("真"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("10"));
    addMember(QStringLiteral("V2"), QStringLiteral("银卡"), QStringLiteral("10"));
    addLine(QStringLiteral("45"), QStringLiteral("0.5"));
    addLine(QStringLiteral("45"), QStringLiteral("0.5"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    EXPECT_EQ(window->state().text(F::应付款), "42");
    window->field(F::会员卡号x)->selectAll();
    window->field(F::会员卡号x)->insert(QStringLiteral("V2"));
    EXPECT_EQ(column(Col金额), (QStringList{"21", "21"}));
    EXPECT_EQ(window->state().text(F::应付款), "42");
    EXPECT_EQ(window->state().member.payable, "42");
    EXPECT_EQ(column(Col会员卡号), (QStringList{"V2", "V2"}));
}

// The repricing the payable override runs: member prices and the card on the lines, the remark
// (a promotion text) kept, the checkout's amounts left alone; the card's own repricing removes it.
TEST_F(MemberCheckoutTest, RepricingForTheOverrideKeepsTheRemarkAndTheAmounts)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("真"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("10"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"), QStringLiteral("2"));
    auto window = openWindow();
    cart.setCell(0, Col备注, QStringLiteral("满[100]减[10]"));
    cart.setCell(0, Col金额, QStringLiteral("150"));
    CheckoutState &s = window->state();
    s.member.会员折扣 = QStringLiteral("0.9");
    s.member.会员卡号 = QStringLiteral("V1");
    window->memberPricing().repriceCartWithMemberDiscount();
    EXPECT_EQ(cart.line(0).金额, "144");
    EXPECT_EQ(cart.line(0).会员卡号, "V1");
    EXPECT_EQ(cart.line(0).备注, "满[100]减[10]");
    EXPECT_EQ(s.text(F::应付款), "160");
    EXPECT_EQ(s.member.会员折扣, "");

    paste(*window, QStringLiteral("V1"));
    EXPECT_EQ(cart.line(0).备注, "");
    EXPECT_EQ(s.text(F::应付款), "144");
}

// A member whose tier the shop does not have pays the prices without a member, never 0; the card
// is on the lines and the sale earns her points.
TEST_F(MemberCheckoutTest, AMemberOfAnUnknownTierPaysThePricesWithoutAMember)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("假"));
    addMember(QStringLiteral("V1"), QStringLiteral("钻石"), QStringLiteral("10"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    EXPECT_EQ(cart.line(0).金额, "80");
    EXPECT_EQ(cart.line(0).会员卡号, "V1");
    EXPECT_EQ(window->state().text(F::应付款), "80");
    EXPECT_EQ(window->state().text(F::折扣方案x), "升级模式");
    EXPECT_EQ(window->state().text(F::会员折扣x), "");
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("积分")), "90");
}

// A card that matches no member, after a member in split mode: the prices, the amounts and the
// payment go back to a cash sale without a member.
TEST_F(MemberCheckoutTest, ACardOfNoMemberGoesBackToACashSaleWithoutAMember)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("真"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("250"));
    context.shopSettings.积分值 = QStringLiteral("100");
    context.shopSettings.抵扣值 = QStringLiteral("100");
    addLine(QStringLiteral("100"), QStringLiteral("0.8"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    ASSERT_EQ(window->state().text(F::应付款), "72");
    pointsButton(*window)->click();
    typeInto(window->field(F::现金), QStringLiteral("50"));
    ASSERT_EQ(window->state().text(F::实收款), "52");

    QTest::keyClicks(window->field(F::会员卡号x), QStringLiteral("9"));
    const CheckoutState &s = window->state();
    EXPECT_EQ(cart.line(0).金额, "80");
    EXPECT_EQ(column(Col结付), QStringList{"现金"});
    EXPECT_EQ(column(Col会员卡号), QStringList{""});
    EXPECT_EQ(s.text(F::应付款), "80");
    EXPECT_EQ(s.text(F::实收款), "80");
    EXPECT_EQ(s.text(F::找零), "0");
    EXPECT_EQ(s.member.payable, "80");
    EXPECT_TRUE(radio(*window, "单选框1")->isChecked());
    EXPECT_FALSE(window->splitGroup()->isVisibleTo(window.get()));
    EXPECT_FALSE(window->field(F::实收款)->isReadOnly());
    for (F f : {F::积分编辑框, F::会员储值x, F::折扣方案x, F::会员类别x, F::会员折扣x, F::会员积分x})
        EXPECT_EQ(s.text(f), "") << checkoutFieldName(f).toStdString();
    EXPECT_FALSE(s.saleRequest().member.present());
}

// In split mode a card found leaves 实收款 the sum of the split parts; the payable is the member's.
TEST_F(MemberCheckoutTest, ACardFoundInSplitModeKeepsTheReceivedAmountTheSplitsSum)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("真"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("10"), QStringLiteral("100"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"));
    auto window = openWindow();
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F3));
    typeInto(window->field(F::现金), QStringLiteral("30"));
    paste(*window, QStringLiteral("V1"));
    const CheckoutState &s = window->state();
    EXPECT_EQ(s.text(F::应付款), "72");
    EXPECT_EQ(s.text(F::实收款), "30");
    EXPECT_EQ(s.text(F::找零), "42");
    EXPECT_EQ(s.text(F::现金), "30");
    EXPECT_TRUE(s.splitShown());
    EXPECT_TRUE(radio(*window, "单选框3")->isChecked());
    EXPECT_EQ(window->field(F::储值)->isReadOnly(), false); // the member has stored value to pay with
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    EXPECT_EQ(window->lastResult().status, SaleStatus::Underpaid);
}

// An empty card is no member: a member stored with an empty card is not found.
TEST_F(MemberCheckoutTest, AnEmptyCardIsNoMember)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("假"));
    addMember(QString(), QStringLiteral("银卡"), QStringLiteral("10"));
    addLine(QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    QLineEdit *card = window->field(F::会员卡号x);
    QTest::keyClicks(card, QStringLiteral("1"));
    QTest::keyClick(card, Qt::Key_Backspace);
    ASSERT_EQ(card->text(), "");
    EXPECT_EQ(window->state().text(F::会员类别x), "");
    EXPECT_EQ(window->state().member.id, 0);
    EXPECT_EQ(cart.line(0).金额, "100");
    EXPECT_EQ(cart.line(0).会员卡号, "");
}

// A confirmed sale to a member: her points and spending grow by the amount due, 最近消费 is the
// sale date, the stored value paid is taken off, and she rises one tier. What another workstation
// changed since the card was found is kept.
TEST_F(MemberCheckoutTest, AConfirmedSaleStoresTheMembersFiguresAndRaisesHerOneTier)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("假"));
    addMember(QStringLiteral("V1"), QStringLiteral("普通"), QStringLiteral("400"), QStringLiteral("100"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"), QStringLiteral("2"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    ASSERT_EQ(window->state().text(F::应付款), "190");
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F3));
    typeInto(window->field(F::储值), QStringLiteral("40"));
    typeInto(window->field(F::现金), QStringLiteral("150"));
    ASSERT_EQ(window->state().text(F::会员储值x), "60");
    exec(QStringLiteral("UPDATE 会员管理 SET 积分='1400', 会员储值='150' WHERE 会员卡号='V1'"));

    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("积分")), "1590");
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("消费金额")), "990");
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("最近消费")), "2015-03-11");
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("会员储值")), "110");
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("会员类别")), "银卡"); // 590 passes 500: still one step
    data::RecordSet sale(context.connection());
    ASSERT_TRUE(sale.open(data::Sql(QStringLiteral("SELECT * FROM 销售明细"))));
    EXPECT_EQ(sale.text(QStringLiteral("会员编号")), "V1");
    EXPECT_EQ(sale.text(QStringLiteral("金额")), "190");
    EXPECT_EQ(sale.text(QStringLiteral("折扣")), "0.95");
    EXPECT_EQ(sale.text(QStringLiteral("储值")), "40");
}

// Points paying part of the sale: the member keeps the points left and earns the amount due.
TEST_F(MemberCheckoutTest, PointsPaidAreTakenOffAndTheAmountDueIsEarned)
{
    setModes(QStringLiteral("真"), QStringLiteral("假"), QStringLiteral("假"));
    context.shopSettings.积分值 = QStringLiteral("100");
    context.shopSettings.抵扣值 = QStringLiteral("100");
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("250"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    pointsButton(*window)->click();
    typeInto(window->field(F::现金), QStringLiteral("78"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("积分")), "130");
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("消费金额")), "880");
    data::RecordSet sale(context.connection());
    ASSERT_TRUE(sale.open(data::Sql(QStringLiteral("SELECT * FROM 销售明细"))));
    EXPECT_EQ(sale.text(QStringLiteral("积分")), "2");
    EXPECT_EQ(sale.text(QStringLiteral("现金")), "78");
    EXPECT_EQ(sale.text(QStringLiteral("会员编号")), "V1");
}

// Two workstations on the server find the same member and sell to her at once, each sale paying
// 1 from her stored value: no point, no spending and no stored value is lost.
TEST(MemberSaleConcurrency, TwoWorkstationsSellingToOneMemberLoseNothing)
{
    using namespace countertest;
    ClockGuard clock;
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9))); // receipt numbers and sale times
    Counter c{data::Backend::Postgres};
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    MessageScript script;
    const qint64 stock = c.addStock({{QStringLiteral("数量"), QStringLiteral("1000")}});
    c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("V1")},
                                      {QStringLiteral("会员类别"), QStringLiteral("银卡")},
                                      {QStringLiteral("积分"), QStringLiteral("1000")},
                                      {QStringLiteral("消费金额"), QStringLiteral("0")},
                                      {QStringLiteral("会员储值"), QStringLiteral("500.5")},
                                      {QStringLiteral("所属店铺"), kShop}});
    constexpr int perStation = 60;
    std::atomic<int> written{0}, ready{0};
    std::atomic<bool> foundEveryTime{true};
    auto station = [&] {
        AppContext context;
        const bool opened = c.db.openAnother(context.connection());
        context.currentShop = kShop;
        context.currentUserName = QStringLiteral("收银");
        context.runMode = AppContext::NetworkMode;
        context.shopSettings.销售 = QStringLiteral("2");
        context.discountScheme.商品折扣 = AppContext::FlagOn;
        Cart cart;
        CheckoutState state(cart);
        MemberPricing pricing(context, state);
        QStringList told;
        state.notify = [&told](const QString &text) { told << text; };
        state.memberCardChanged = [&pricing] { pricing.applyMemberCard(); };
        ++ready;
        while (ready < 2) {
        }
        for (int i = 0; opened && i < perStation; ++i) {
            CartLine line;
            line.id = QString::number(stock);
            line.款号 = QStringLiteral("1001");
            line.商品名称 = QStringLiteral("衬衫");
            line.数量 = QStringLiteral("1");
            line.吊牌价 = QStringLiteral("100");
            line.折扣 = QStringLiteral("0.8");
            line.金额 = QStringLiteral("80");
            line.结付 = kPayCash;
            cart.append(line);
            computeCartTotals(cart);
            state.open(cart.totals, false);
            state.setText(F::会员卡号x, QString());
            state.setText(F::会员卡号x, QStringLiteral("V1"));
            if (state.text(F::会员类别x) != QStringLiteral("银卡"))
                foundEveryTime = false;
            state.selectSplitPayment();
            state.setText(F::储值, QStringLiteral("1"));
            state.setText(F::现金, QStringLiteral("79"));
            if (confirmCheckout(context, cart, state.saleRequest(), SaleHooks{}).written())
                ++written;
            cart.removeAll();
        }
        context.connection().close();
    };
    std::thread one(station);
    std::thread two(station);
    one.join();
    two.join();
    EXPECT_TRUE(foundEveryTime);
    ASSERT_EQ(written, 2 * perStation) << script.texts().join(u'|').toStdString();
    const auto members = c.rows(QStringLiteral("会员管理"));
    ASSERT_EQ(members.size(), 1);
    EXPECT_EQ(members[0][QStringLiteral("积分")], QString::number(1000 + 80 * 2 * perStation));
    EXPECT_EQ(members[0][QStringLiteral("消费金额")], QString::number(80 * 2 * perStation));
    EXPECT_EQ(members[0][QStringLiteral("会员储值")], QStringLiteral("380.5"));
    EXPECT_FALSE(members[0][QStringLiteral("最近消费")].isEmpty()); // the server's date in network mode
}

} // namespace
