// The amount due changed at checkout: the full-amount promotion, the amount typed into 应付款, and
// the cart lines following both, alone and with a member card, in cash and split payment; the
// stored sale lines add up to the amount due.
#include "CheckoutFixture.h"

#include "cashier/PayableOverride.h"
#include "platform/NumberText.h"

namespace {

using namespace checkouttest;

// -- the promotion rule ----------------------------------------------------------------------------

QList<PromotionRow> rows(std::initializer_list<std::pair<const char *, const char *>> pairs)
{
    QList<PromotionRow> out;
    for (const auto &[threshold, off] : pairs)
        out.append({QString::fromUtf8(threshold), QString::fromUtf8(off), QStringLiteral("2015-12-31")});
    return out;
}

TEST(PromotionRule, EachRowKeepsItsOwnPair)
{
    const struct {
        QList<PromotionRow> rows;
        double due;
        const char *text; // "" when no threshold is exceeded
    } cases[] = {
        {rows({{"100", "10"}, {"200", "30"}}), 250, "满[200]减[30]"},
        {rows({{"100", "10"}, {"200", "30"}}), 200, "满[100]减[10]"}, // 200 does not exceed 200
        {rows({{"100", "10"}, {"200", "30"}}), 100, ""},
        {rows({{"100", "30"}, {"200", "10"}}), 250, "满[200]减[10]"},
        {rows({{"200", "30"}, {"100", "10"}}), 150.5, "满[100]减[10]"},
    };
    for (const auto &c : cases) {
        const auto chosen = choosePromotion(c.rows, c.due);
        EXPECT_EQ(chosen ? promotionText(*chosen) : QString(), QString::fromUtf8(c.text)) << c.due;
    }
}

TEST(PromotionRule, ARowExpiresTheDayAfterItsLastDay)
{
    const DateParts today{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), {}, {}};
    const struct {
        const char *lastDay;
        bool expired;
    } cases[] = {{"2015-03-11", false}, {"2015-03-12", false}, {"2015-03-10", true}, {"2014-12-31", true},
                 {"2015/03/20", true},  {"", true},            {"2015-03", true},    {"2015-xx-20", true}};
    for (const auto &c : cases)
        EXPECT_EQ(promotionExpired(QString::fromUtf8(c.lastDay), today), c.expired) << c.lastDay;
    EXPECT_FALSE(promotionsValid({}, today));
}

// -- the cart following the amount due -------------------------------------------------------------

QStringList amounts(const Cart &cart)
{
    QStringList out;
    for (const CartLine &line : cart.lines())
        out << line.金额;
    return out;
}

void fill(Cart &cart, const QStringList &lineAmounts)
{
    QList<CartLine> lines;
    for (const QString &a : lineAmounts) {
        CartLine line;
        line.金额 = a;
        lines << line;
    }
    cart.replaceAll(lines);
}

TEST(CartFollowsTheAmountDue, CutsRisesAndZero)
{
    const struct {
        QStringList lines;
        double cut; // negative: a rise on the first line
        QStringList after;
    } cases[] = {
        {{"60", "40"}, 10, {"54", "36"}},
        {{"1", "1", "1"}, 1, {"0.66", "0.67", "0.67"}},
        {{"100", "50"}, -5, {"105", "50"}},
        {{"0", "0"}, 5, {"-5", "0"}}, // no proportions: the first line takes the cut
        {{"33.33", "66.67"}, 0, {"33.33", "66.67"}},
        // Shares rounded up would cut the small line to -1: it stops at 0, the large line gives more.
        {{"1", "1999"}, 1999.99, {"0.01", "0"}},
    };
    for (const auto &c : cases) {
        Cart cart;
        fill(cart, c.lines);
        if (c.cut >= 0)
            spreadPaymentOverCart(cart, c.cut);
        else
            addRemainderToFirstLine(cart, -c.cut);
        EXPECT_EQ(amounts(cart), c.after) << c.lines.join(u',').toStdString();
    }
    Cart cart;
    fill(cart, {"60", "40"});
    zeroAllLineAmounts(cart);
    EXPECT_EQ(amounts(cart), (QStringList{" 0", " 0"}));
}

// -- on the checkout window ------------------------------------------------------------------------

class PayableOverrideTest : public CheckoutFixture {
protected:
    void SetUp() override
    {
        CheckoutFixture::SetUp();
        if (HasFatalFailure())
            return;
        context.shopSettings.满就送 = QStringLiteral("真");
        context.discountScheme.自由优惠 = QStringLiteral("真");
        addPromotion(QStringLiteral("100"), QStringLiteral("10"));
        addPromotion(QStringLiteral("200"), QStringLiteral("30"));
    }
    void addPromotion(const QString &threshold, const QString &off, const QString &lastDay = QStringLiteral("2015-03-11"))
    {
        exec(QStringLiteral("INSERT INTO 满额促销 (满,送,截止时间,所属店铺) VALUES (?,?,?,'A')"), {threshold, off, lastDay});
    }
    // The cashier clicks into 应付款 and types an amount over its selected text.
    static void typePayable(CheckoutWindow &window, const QString &amount)
    {
        QLineEdit *box = window.field(F::应付款);
        QTest::mouseClick(box, Qt::LeftButton);
        typeInto(box, amount);
    }
    // The stored lines of the confirmed sale: amounts and remarks.
    QStringList storedLines()
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 金额, 备注 FROM 销售明细 ORDER BY id"))));
        QStringList out;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            out << rs.text(QStringLiteral("金额")) + u'|' + rs.text(QStringLiteral("备注"));
        return out;
    }
    double storedSum()
    {
        double sum = 0;
        for (const QString &line : storedLines())
            sum += textToNumber(line.section(u'|', 0, 0));
        return sum;
    }
};

TEST_F(PayableOverrideTest, ThePromotionTakesItsAmountOffTheLinesAndIsStored)
{
    addLine(QStringLiteral("150"), QStringLiteral("1"));
    addLine(QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    ASSERT_TRUE(window->promotionButton()->isVisibleTo(window.get()));
    window->promotionButton()->click();
    EXPECT_EQ(window->state().text(F::应付款), "220");
    EXPECT_EQ(window->state().text(F::实收款), "220");
    EXPECT_EQ(column(Col金额), (QStringList{"132", "88"}));
    EXPECT_EQ(column(Col备注), (QStringList{"满[200]减[30]", "满[200]减[30]"}));
    EXPECT_FALSE(window->promotionButton()->isVisibleTo(window.get()));

    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(storedLines(), (QStringList{"132|满[200]减[30]", "88|满[200]减[30]"}));
}

TEST_F(PayableOverrideTest, AnExpiredRowHidesTheButtonAndBlocksThePromotion)
{
    addPromotion(QStringLiteral("50"), QStringLiteral("5"), QStringLiteral("2015-03-10"));
    addLine(QStringLiteral("250"), QStringLiteral("1"));
    auto window = openWindow();
    EXPECT_FALSE(window->promotionButton()->isVisibleTo(window.get()));
    window->applyPromotionAtCheckout();
    EXPECT_EQ(window->state().text(F::应付款), "250");
    EXPECT_EQ(column(Col备注), QStringList{""});
}

TEST_F(PayableOverrideTest, TypedAmountsMoveTheLinesFromTheirFreshPrices)
{
    addLine(QStringLiteral("60"), QStringLiteral("1"));
    addLine(QStringLiteral("40"), QStringLiteral("1"));
    auto window = openWindow();
    const struct {
        const char *typed;
        QStringList lines;
    } steps[] = {{"90", {"54", "36"}}, {"95", {"57", "38"}}, {"90", {"54", "36"}}, {"105", {"65", "40"}}, {"0", {" 0", " 0"}}};
    for (const auto &s : steps) {
        typePayable(*window, QString::fromUtf8(s.typed));
        EXPECT_EQ(column(Col金额), s.lines) << s.typed;
        EXPECT_EQ(window->state().text(F::实收款), QString::fromUtf8(s.typed));
    }
    // Only numbers go into the box.
    typePayable(*window, QStringLiteral("abc"));
    EXPECT_EQ(window->state().text(F::应付款), "0");

    typePayable(*window, QStringLiteral("90"));
    EXPECT_EQ(window->state().text(F::优惠), "10");
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_DOUBLE_EQ(storedSum(), 90);
}

TEST_F(PayableOverrideTest, InSplitModeTheReceivedAmountStaysTheSplitsSum)
{
    addLine(QStringLiteral("60"), QStringLiteral("1"));
    addLine(QStringLiteral("40"), QStringLiteral("1"));
    auto window = openWindow();
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F3));
    typeInto(window->field(F::现金), QStringLiteral("50"));
    typePayable(*window, QStringLiteral("90"));
    EXPECT_EQ(column(Col金额), (QStringList{"54", "36"}));
    EXPECT_EQ(window->state().text(F::实收款), "50");
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    EXPECT_EQ(window->lastResult().status, SaleStatus::Underpaid);
    typeInto(window->field(F::现金), QStringLiteral("90"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_DOUBLE_EQ(storedSum(), 90);
}

// A card after a promotion reprices the cart and drops the promotion, whose button shows again
// for the member's amount; a promotion after a card is taken off the member's prices.
TEST_F(PayableOverrideTest, PromotionAndCardInEitherOrder)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("假"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("10"));
    addLine(QStringLiteral("150"), QStringLiteral("1"));
    addLine(QStringLiteral("100"), QStringLiteral("1"));

    auto window = openWindow();
    window->promotionButton()->click();
    ASSERT_EQ(window->state().text(F::应付款), "220");
    paste(*window, QStringLiteral("V1"));
    EXPECT_EQ(window->state().text(F::应付款), "225");
    EXPECT_EQ(column(Col金额), (QStringList{"135", "90"}));
    EXPECT_EQ(column(Col备注), (QStringList{"", ""}));
    EXPECT_TRUE(window->promotionButton()->isVisibleTo(window.get()));
    window->promotionButton()->click();
    EXPECT_EQ(window->state().text(F::应付款), "195");
    EXPECT_EQ(column(Col金额), (QStringList{"117", "78"}));
    EXPECT_EQ(column(Col会员卡号), (QStringList{"V1", "V1"}));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(storedLines(), (QStringList{"117|满[200]减[30]", "78|满[200]减[30]"}));
}

TEST_F(PayableOverrideTest, AnOverrideThenACardStartsFromTheMembersPrices)
{
    setModes(QStringLiteral("假"), QStringLiteral("真"), QStringLiteral("假"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("10"));
    addLine(QStringLiteral("60"), QStringLiteral("1"));
    addLine(QStringLiteral("40"), QStringLiteral("1"));
    auto window = openWindow();
    typePayable(*window, QStringLiteral("80"));
    ASSERT_EQ(column(Col金额), (QStringList{"48", "32"}));
    paste(*window, QStringLiteral("V1"));
    EXPECT_EQ(window->state().text(F::应付款), "90");
    EXPECT_EQ(column(Col金额), (QStringList{"54", "36"}));
}

TEST_F(PayableOverrideTest, InPointsModeAnOverrideKeepsTheCardOnTheLines)
{
    setModes(QStringLiteral("真"), QStringLiteral("假"), QStringLiteral("假"));
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), QStringLiteral("10"));
    addLine(QStringLiteral("60"), QStringLiteral("1"));
    addLine(QStringLiteral("40"), QStringLiteral("1"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    ASSERT_EQ(window->state().text(F::折扣方案x), "积分模式");
    typePayable(*window, QStringLiteral("90"));
    EXPECT_EQ(column(Col金额), (QStringList{"54", "36"}));
    EXPECT_EQ(column(Col会员卡号), (QStringList{"V1", "V1"}));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_DOUBLE_EQ(storedSum(), 90);
}

// The armed override ends with the window: the next checkout opens at the cart's own prices.
TEST_F(PayableOverrideTest, TheOverrideEndsWithTheWindow)
{
    addLine(QStringLiteral("60"), QStringLiteral("1"));
    auto window = openWindow();
    typePayable(*window, QStringLiteral("50"));
    ASSERT_TRUE(window->payableOverride().armed());
    window->cancelCheckout();
    EXPECT_FALSE(window->payableOverride().armed());
    EXPECT_EQ(column(Col金额), QStringList{"60"});
}

// Whatever the member mode, discount scheme and member tier, a typed amount due and a promotion cut
// the lines from the prices they would have without them: the stored lines add up to the amount due
// and none goes below zero.
struct CutCase {
    const char *mode;          // 积分模式 / 升级模式 / 折上折
    const char16_t *itemDiscount; // 商品折扣
    const char16_t *uniform;   // 统一折扣
    const char16_t *tier;      // the member's 会员类别: one of the shop's, another, none
    bool promotion;            // the promotion button, else 150 typed key by key
};

class CutFromFreshPrices : public PayableOverrideTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutFromFreshPrices, StoredLinesAddUpToTheAmountDueAndNoneIsNegative)
{
    const CutCase t = GetParam();
    const QString mode = QString::fromUtf8(t.mode);
    setModes(mode.section(u'/', 0, 0), mode.section(u'/', 1, 1), mode.section(u'/', 2, 2));
    context.discountScheme.商品折扣 = QString::fromUtf16(t.itemDiscount);
    context.discountScheme.统一折扣 = QString::fromUtf16(t.uniform);
    addMember(QStringLiteral("V1"), QString::fromUtf16(t.tier), QStringLiteral("10"));
    addLine(QStringLiteral("150"), QStringLiteral("0.8"));
    addLine(QStringLiteral("100"), QStringLiteral("0.8"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    ASSERT_EQ(window->state().member.id != 0, true);
    if (t.promotion) {
        ASSERT_TRUE(window->promotionButton()->isVisibleTo(window.get()));
        window->promotionButton()->click();
    } else {
        QLineEdit *box = window->field(F::应付款);
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        for (const char *key : {"1", "5", "0"})
            QTest::keyClicks(box, QString::fromUtf8(key));
        ASSERT_EQ(window->state().text(F::应付款), "150");
    }
    const QString due = window->state().text(F::应付款);
    ASSERT_GT(textToNumber(due), 0);
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    const QStringList stored = storedLines();
    ASSERT_EQ(stored.size(), 2);
    for (const QString &line : stored)
        EXPECT_GE(textToNumber(line.section(u'|', 0, 0)), 0) << stored.join(u' ').toStdString();
    EXPECT_DOUBLE_EQ(roundTo(storedSum(), 6), textToNumber(due)) << stored.join(u' ').toStdString();
}

std::vector<CutCase> cutCases()
{
    std::vector<CutCase> cases;
    for (const char *mode : {"假/真/真", "假/真/假", "真/假/假", "假/假/假"})
        for (const char16_t *itemDiscount : {u"真", u"假"})
            for (const char16_t *uniform : {u"", u"0.9"})
                for (const char16_t *tier : {u"银卡", u"钻石卡", u""})
                    for (bool promotion : {false, true})
                        cases.push_back({mode, itemDiscount, uniform, tier, promotion});
    return cases;
}

std::string cutCaseName(const ::testing::TestParamInfo<CutCase> &info)
{
    const CutCase &t = info.param;
    const std::string mode = t.mode == std::string("假/真/真")   ? "DiscountOnDiscount"
                             : t.mode == std::string("假/真/假") ? "Upgrade"
                             : t.mode == std::string("真/假/假") ? "Points"
                                                                 : "NoMode";
    const QString tier = QString::fromUtf16(t.tier);
    return mode + (QString::fromUtf16(t.itemDiscount) == QStringLiteral("真") ? "_ItemDiscount" : "_NoItemDiscount")
           + (QString::fromUtf16(t.uniform).isEmpty() ? "_NoUniform" : "_Uniform")
           + (tier.isEmpty() ? "_NoTier" : tier == QStringLiteral("银卡") ? "_ShopTier" : "_OtherTier")
           + (t.promotion ? "_Promotion" : "_Typed");
}

INSTANTIATE_TEST_SUITE_P(Table, CutFromFreshPrices, ::testing::ValuesIn(cutCases()), cutCaseName);

} // namespace
