// The checkout window: opening figures, payment kinds, typing filters, split and stored value,
// salesperson, cancel, the underpaid refusal and one sale per confirmation; the cashier's keys and
// the cash drawer.
#include "cashier/Cart.h"
#include "cashier/CashDrawer.h"
#include "cashier/CashierKeys.h"
#include "cashier/CheckoutState.h"
#include "cashier/CheckoutWindow.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/IniFile.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"
#include "platform/ProgramDir.h"
#include "support/SqliteShopTest.h"
#include "support/TypeOrPaste.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace cashier;
using F = CheckoutField;

namespace {

// Types a text into a field: ASCII as key presses, anything else (full-width digits) as the
// commit of an input method, as a Chinese input method sends it.
void typeInto(QWidget *field, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(field, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(field, &commit);
        }
    }
}

class CheckoutTest : public testsupport::SqliteShopTest {
protected:
    void SetUp() override
    {
        SqliteShopTest::SetUp();
        context.discountScheme.商品折扣 = AppContext::FlagOn;
        context.shopSettings.销售 = QStringLiteral("2");
    }
    void TearDown() override
    {
        cart.removeAll();
        SqliteShopTest::TearDown();
    }

    void exec(const QString &sql, const QVariantList &values = {})
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(sql, values))) << context.connection().lastError().toStdString();
    }
    int count(const QString &table)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)));
        return int(rs.integer(QStringLiteral("n")));
    }
    // A stock row of shop A and a cart line priced from it (tag × factor × 1).
    void addLine(const QString &name, const QString &tag, const QString &factor, const QString &stock = QStringLiteral("5"),
                 const QString &alarmSwitch = QString(), const QString &lower = QString())
    {
        exec(QStringLiteral("INSERT INTO 采购入库 (商品条码,类别,款号,名称,颜色,尺码,数量,已售,单位,吊牌价,折扣,进货价,特价,"
                            "所属店铺,入库日期,开关,上限,下限) VALUES (?,?,?,?,?,?,?,'0','件',?,?,'30','',?,?,?,?,?)"),
             {QStringLiteral("69000000000%1").arg(cart.count()), QStringLiteral("T恤"), QStringLiteral("100%1").arg(cart.count()),
              name, QStringLiteral("白"), QStringLiteral("L"), stock, tag, factor, QStringLiteral("A"),
              QStringLiteral("2015-03-01"), alarmSwitch, QStringLiteral("10"), lower});
        data::RecordSet rs(context.connection());
        ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT MAX(id) AS id FROM 采购入库"))));
        CartLine line;
        line.id = rs.text(QStringLiteral("id"));
        line.商品条码 = QStringLiteral("69000000000%1").arg(cart.count());
        line.分类 = QStringLiteral("T恤");
        line.款号 = QStringLiteral("100%1").arg(cart.count());
        line.商品名称 = name;
        line.颜色 = QStringLiteral("白");
        line.尺码 = QStringLiteral("L");
        line.数量 = QStringLiteral("1");
        line.单位 = QStringLiteral("件");
        line.吊牌价 = tag;
        line.折扣 = factor;
        line.金额 = QString::number(tag.toDouble() * factor.toDouble());
        line.结付 = kPayCash;
        cart.append(line);
    }
    std::unique_ptr<CheckoutWindow> openWindow(CheckoutHooks hooks = {})
    {
        computeCartTotals(cart);
        return std::make_unique<CheckoutWindow>(context, cart, std::move(hooks));
    }
    void addMember(CheckoutState &state, const QString &storedValue, const QString &points = QStringLiteral("0"))
    {
        state.member.会员卡号 = QStringLiteral("8001");
        state.member.会员储值 = storedValue;
        state.member.积分 = points;
        state.setText(F::会员储值x, storedValue);
        state.setText(F::会员积分x, points);
    }
    QStringList column(int col) const
    {
        QStringList cells;
        for (const CartLine &line : cart.lines())
            cells << line[col];
        return cells;
    }

    Cart cart;
    MessageScript script;
};

TEST_F(CheckoutTest, OpensWithPayableReceivedBalanceAndDiscount)
{
    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("0.8"));
    addLine(QStringLiteral("裤子"), QStringLiteral("200"), QStringLiteral("0.8"));
    auto window = openWindow();
    CheckoutState &s = window->state();
    EXPECT_EQ(s.text(F::应付款), "240");
    EXPECT_EQ(s.text(F::实收款), "240");
    EXPECT_EQ(s.text(F::找零), "0");
    EXPECT_EQ(s.text(F::原价), "300");
    EXPECT_EQ(s.text(F::优惠), "60");
    EXPECT_EQ(window->field(F::实收款)->text(), "240");
    EXPECT_TRUE(window->field(F::应付款)->isReadOnly()); // 自由优惠 is not "真"
    EXPECT_FALSE(window->splitGroup()->isVisibleTo(window.get()));
    EXPECT_EQ(window->field(F::找零)->toolTip(), "负数为找出多少  正数为还应该收多少");
}

TEST_F(CheckoutTest, BalanceFollowsTheTypedAmountReceived)
{
    const struct {
        const char *payable, *received, *balance;
    } cases[] = {{"87.6", "50", "37.6"}, {"87.6", "100", "-12.4"}, {"87.6", "87.6", "0"}, {"87.6", "", "87.6"}};
    for (const auto &c : cases) {
        CheckoutState s(cart);
        s.open(CartTotals{QString(), QString(), QString::fromUtf8(c.payable), QString()}, false);
        s.setText(F::实收款, QString::fromUtf8(c.received));
        EXPECT_EQ(s.text(F::找零), QString::fromUtf8(c.balance)) << c.received;
    }
}

TEST_F(CheckoutTest, TypingFiltersCheckCharactersAndAmounts)
{
    const struct {
        TypingMode mode;
        const char *typed;
        bool accepted;
    } cases[] = {
        {TypingMode::DigitsOnly, "7", true},   {TypingMode::DigitsOnly, "-", true},  {TypingMode::DigitsOnly, ".", false},
        {TypingMode::DigitsOnly, "a", false},  {TypingMode::Numbers, ".", true},     {TypingMode::Numbers, "x", false},
        {TypingMode::FreeText, "元", true},    {TypingMode::ReadOnly, "1", false},  {TypingMode::DigitsOnly, "\b", true},
        {TypingMode::DigitsOnly, "", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(typingAccepts(c.mode, QString::fromUtf8(c.typed)), c.accepted) << c.typed;

    const struct {
        const char *text;
        int decimals;
        bool accepted;
    } amounts[] = {
        {"218.4", 2, true}, {"0.4", 1, true},  {".4", 2, true},    {"-12.5", 2, true}, {"", 2, true},
        {"-", 2, true},     {"12.", 2, true},  {"1.2.3", 2, false}, {"12.345", 2, false}, {"218.45", 1, false},
        {"218.", 0, false}, {"2184", 0, true}, {"1-2", 2, false},  {"12a", 2, false},  {"１２", 2, true},
        {"１２．５", 1, true}, {"1e308", 2, false}, {"1E5", 2, false}, {"2e", 2, false},
    };
    for (const auto &c : amounts)
        EXPECT_EQ(numberTextAccepted(QString::fromUtf8(c.text), c.decimals), c.accepted) << c.text << " " << c.decimals;

    ShopSettings shop;
    EXPECT_EQ(moneyDecimals(shop), 2); // no setting
    for (const auto &[setting, decimals] : {std::pair{"0", 0}, std::pair{"1", 1}, std::pair{"2", 2}}) {
        shop.销售 = QString::fromUtf8(setting);
        EXPECT_EQ(moneyDecimals(shop), decimals) << setting;
    }
}

// Amounts typed key by key into the real window: a decimal point goes in once, up to the shop's
// decimals, never an exponent, from the opening on; every refused key is told. The cashier types
// quickly: the keys after a refused one arrive before its message is answered, and none of them
// is appended (a refused "." at 0 decimals never turns 218.4 into 2184).
TEST_F(CheckoutTest, AmountsAreTypedWithADecimalPointAndRefusalsAreTold)
{
    const struct {
        const char *decimals; // 销售
        int kind;             // the key before typing: none (0), F1, F2 or F3 (then into 现金)
        const char *typed;
        const char *shown;
        const char *message;
    } cases[] = {
        {"2", Qt::Key_F1, "218.4", "218.4", ""},
        {"2", Qt::Key_F2, "0.4", "0.4", ""},
        {"", Qt::Key_F2, "12.34", "12.34", ""},
        {"2", Qt::Key_F3, "218.4", "218.4", ""},
        {"2", 0, "218.4", "218.4", ""},
        {"2", 0, "１２.５", "１２.５", ""}, // full-width digits are digits
        {"2", Qt::Key_F1, "12.5x", "12.5", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", Qt::Key_F3, "1.2.3", "1.2", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"1", Qt::Key_F3, "218.45", "218.4", "金额只能输入数字和一个小数点，最多1位小数！"},
        {"0", Qt::Key_F2, "218.4", "218", "金额只能输入整数！"},
        {"0", 0, "218.4", "218", "金额只能输入整数！"},
        {"2", 0, "1e308", "1", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", 0, "200.567", "200.56", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", Qt::Key_F3, "1E5", "1", "金额只能输入数字和一个小数点，最多2位小数！"},
    };
    addLine(QStringLiteral("衬衫"), QStringLiteral("500"), QStringLiteral("1"));
    for (const auto &c : cases) {
        script.clear();
        context.shopSettings.销售 = QString::fromUtf8(c.decimals);
        auto window = openWindow();
        if (c.kind != 0)
            ASSERT_TRUE(window->handleCheckoutKey(c.kind));
        QLineEdit *field = window->field(c.kind == Qt::Key_F3 ? F::现金 : F::实收款);
        field->selectAll();
        const QString typed = QString::fromUtf8(c.typed);
        qsizetype next = 0;
        script.setMessageHandler([&](const ShownMessage &) {
            const QString rest = typed.mid(next); // typed on while the message is open
            next = typed.size();
            typeInto(field, rest);
        });
        while (next < typed.size())
            typeInto(field, typed.mid(next++, 1));
        script.setMessageHandler({});
        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(script.texts().join(u'|'), QString::fromUtf8(c.message)) << c.typed;
        if (c.kind != Qt::Key_F3) {
            EXPECT_EQ(window->state().text(F::找零), numberToText(500 - textToNumber(QString::fromUtf8(c.shown)))) << c.typed;
        }
        // Typing after the answer goes on as usual.
        if (!script.texts().isEmpty()) {
            QTest::keyClick(field, Qt::Key_Backspace);
            QTest::keyClicks(field, QStringLiteral("7"));
            EXPECT_EQ(field->text(), QString::fromUtf8(c.shown).chopped(1) + u'7') << c.typed;
        }
    }
}

// Pasted amounts (Ctrl+V or the edit menu) meet the same rule as typed ones: a text the field may
// not hold is refused with the same message and the field keeps what it had.
TEST_F(CheckoutTest, PastedAmountsAreRefusedLikeTypedOnes)
{
    const struct {
        const char *decimals;
        int kind; // 0: at opening, into 实收款; F1 / F3: then into 实收款 / 现金
        bool menu; // pasted through the edit menu's action, else with Ctrl+V
        const char *pasted;
        const char *shown;
        const char *message;
    } cases[] = {
        {"2", 0, false, "1e308", "500", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", 0, true, "1e308", "500", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", 0, false, "200.567", "500", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", Qt::Key_F1, true, "2E2", "500", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"0", Qt::Key_F1, false, "218.4", "500", "金额只能输入整数！"},
        {"2", Qt::Key_F3, false, "1e3", "0", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", Qt::Key_F3, true, "99.999", "0", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"2", 0, false, "200.56", "200.56", ""},
        {"2", Qt::Key_F3, true, "１２", "１２", ""},
    };
    addLine(QStringLiteral("衬衫"), QStringLiteral("500"), QStringLiteral("1"));
    for (const auto &c : cases) {
        script.clear();
        context.shopSettings.销售 = QString::fromUtf8(c.decimals);
        auto window = openWindow();
        if (c.kind != 0)
            ASSERT_TRUE(window->handleCheckoutKey(c.kind));
        const F f = c.kind == Qt::Key_F3 ? F::现金 : F::实收款;
        QLineEdit *field = window->field(f);
        field->selectAll();
        QApplication::clipboard()->setText(QString::fromUtf8(c.pasted));
        if (c.menu)
            field->paste();
        else
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown)) << c.pasted;
        EXPECT_EQ(window->state().text(f), QString::fromUtf8(c.shown)) << c.pasted;
        EXPECT_EQ(script.texts().join(u'|'), QString::fromUtf8(c.message)) << c.pasted;
        if (c.kind == Qt::Key_F3)
            EXPECT_EQ(window->state().text(F::实收款), numberToText(textToNumber(QString::fromUtf8(c.shown)))) << c.pasted;
        else
            EXPECT_EQ(window->state().text(F::找零), numberToText(500 - textToNumber(QString::fromUtf8(c.shown)))) << c.pasted;
    }
}

// Every money field of the checkout refuses an amount with more digits before the point than money
// has, typed or pasted: 400 nines, 15 digits, a barcode scanned with its Enter. The cashier is told
// once (keys typed on while the message is open, the scanner's Enter among them, are dropped); the
// field keeps its text, wholly selected, so the amount typed next replaces it, and the sale is
// stored at that amount.
TEST_F(CheckoutTest, AmountsBeyondTheCeilingAreRefusedTypedOrPasted)
{
    const F fields[] = {F::应付款, F::实收款, F::现金, F::银行, F::优惠券, F::储值};
    const QString inputs[] = {QString(400, u'9'), QStringLiteral("123456789012345"), QStringLiteral("6901234567892\n")};
    const QString ceiling = moneyCeilingText();
    addLine(QStringLiteral("衬衫"), QStringLiteral("85"), QStringLiteral("1"));
    context.discountScheme.自由优惠 = AppContext::FlagOn; // 应付款 may be typed
    for (const F f : fields) {
        for (const QString &input : inputs) {
            for (const bool pasted : {false, true}) {
                const std::string label = checkoutFieldName(f).toStdString() + (pasted ? " pasted " : " typed ")
                                          + input.left(20).toStdString();
                script.clear();
                exec(QStringLiteral("DELETE FROM 销售明细"));
                exec(QStringLiteral("UPDATE 采购入库 SET 数量='5',已售='0'"));
                auto window = openWindow();
                CheckoutState &s = window->state();
                const bool split = f != F::应付款 && f != F::实收款;
                if (f == F::储值) // a balance that lets any amount of money be typed
                    addMember(s, QStringLiteral("99999999.99"));
                if (split)
                    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F3));
                QLineEdit *field = window->field(f);
                ASSERT_FALSE(field->isReadOnly()) << label;
                const QString before = field->text();
                const QString digits = QString(input).remove(u'\n');
                if (pasted) {
                    field->selectAll();
                    QApplication::clipboard()->setText(digits);
                    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
                } else {
                    field->selectAll();
                    testsupport::typeOnThroughMessages(field, input, script);
                }
                // Typed into a non-cash part, the first digit that takes the part past the amount
                // due is refused as such; elsewhere the keys beyond the ceiling take the
                // field back to what it held before the typing, not to the code's first digits.
                const bool nonCashTyped = !pasted && (f == F::银行 || f == F::优惠券 || f == F::储值);
                const QString kept = !nonCashTyped ? before
                                     : digits.left(2).toInt() <= 85 ? digits.left(2) : digits.left(1);
                EXPECT_EQ(field->text(), kept) << label;
                EXPECT_EQ(s.text(f), kept) << label;
                EXPECT_EQ(script.texts(), QStringList{nonCashTyped ? kNonCashAboveDue : ceiling}) << label;
                EXPECT_EQ(count(QStringLiteral("销售明细")), 0) << label;
                if (f == F::实收款)
                    EXPECT_EQ(s.text(F::找零), "0") << label; // no change from a scanned code

                // The whole text is selected: the amount typed next replaces it.
                if (nonCashTyped)
                    field->selectAll();
                EXPECT_EQ(field->selectedText(), kept) << label;
                script.clear();
                QTest::keyClicks(field, QStringLiteral("85"));
                EXPECT_EQ(field->text(), "85") << label;
                ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return)) << label;
                ASSERT_TRUE(window->lastResult().written()) << label << script.texts().join(u'|').toStdString();
                data::RecordSet sale(context.connection());
                ASSERT_TRUE(sale.open(data::Sql(QStringLiteral("SELECT * FROM 销售明细"))));
                ASSERT_EQ(sale.rowCount(), 1) << label;
                EXPECT_EQ(sale.text(QStringLiteral("金额")), "85") << label;
                if (split)
                    EXPECT_EQ(sale.text(checkoutFieldName(f)), "85") << label; // the part's column
                cart.removeAll();
                addLine(QStringLiteral("衬衫"), QStringLiteral("85"), QStringLiteral("1"));
            }
        }
    }
}

// A bill of 319.2 paid 100 in cash, 218.4 on the card, 0.4 by voucher and 0.4 from stored value,
// all typed on the window: the sale stores the parts as typed and the member's stored value left.
TEST_F(CheckoutTest, ASplitTypedWithDecimalsIsStoredAsTyped)
{
    exec(QStringLiteral("INSERT INTO 会员管理 (会员卡号,会员类别,积分,消费金额,会员储值,所属店铺) "
                        "VALUES ('8001','普通','0','0','100','A')"));
    addLine(QStringLiteral("衬衫"), QStringLiteral("319.2"), QStringLiteral("1"));
    auto window = openWindow();
    CheckoutState &s = window->state();
    s.setText(F::会员卡号x, QStringLiteral("8001"));
    s.setText(F::会员类别x, QStringLiteral("普通"));
    addMember(s, QStringLiteral("100"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F3));
    for (auto [f, typed] : {std::pair{F::现金, "100"}, std::pair{F::银行, "218.4"}, std::pair{F::优惠券, "0.4"},
                            std::pair{F::储值, "0.4"}}) {
        QTest::mouseClick(window->field(f), Qt::LeftButton); // selects the whole "0"
        QTest::keyClicks(window->field(f), QString::fromUtf8(typed));
    }
    EXPECT_EQ(s.text(F::实收款), "319.2");
    EXPECT_EQ(s.text(F::找零), "0");
    EXPECT_EQ(s.text(F::会员储值x), "99.6");
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_TRUE(script.texts().isEmpty());

    data::RecordSet sale(context.connection());
    ASSERT_TRUE(sale.open(data::Sql(QStringLiteral("SELECT * FROM 销售明细"))));
    ASSERT_EQ(sale.rowCount(), 1);
    EXPECT_EQ(sale.text(QStringLiteral("结付方式")), "其它");
    EXPECT_EQ(sale.text(QStringLiteral("现金")), "100");
    EXPECT_EQ(sale.text(QStringLiteral("银行")), "218.4");
    EXPECT_EQ(sale.text(QStringLiteral("优惠券")), "0.4");
    EXPECT_EQ(sale.text(QStringLiteral("储值")), "0.4");
    EXPECT_EQ(sale.text(QStringLiteral("积分")), "0");
    data::RecordSet member(context.connection());
    ASSERT_TRUE(member.open(data::Sql(QStringLiteral("SELECT 会员储值 FROM 会员管理"))));
    EXPECT_EQ(member.text(QStringLiteral("会员储值")), "99.6");
}

TEST_F(CheckoutTest, SplitSumsItsPartsAndCashAfterwardsTakesThePayable)
{
    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    CheckoutState &s = window->state();
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F3));
    for (F f : {F::实收款, F::现金, F::银行, F::积分编辑框, F::优惠券, F::储值})
        EXPECT_EQ(s.text(f), "0") << checkoutFieldName(f).toStdString();
    EXPECT_EQ(column(Col结付), QStringList{"其它"});
    EXPECT_TRUE(window->splitGroup()->isVisibleTo(window.get()));
    EXPECT_TRUE(window->field(F::实收款)->isReadOnly());
    EXPECT_TRUE(window->field(F::储值)->isReadOnly()); // no member: nothing to pay with
    EXPECT_EQ(s.text(F::会员储值x), "0");

    // A click selects the whole "0", so typing replaces it.
    for (auto [f, typed] : {std::pair{F::现金, "50"}, std::pair{F::银行, "30"}}) {
        QTest::mouseClick(window->field(f), Qt::LeftButton);
        QTest::keyClicks(window->field(f), QString::fromUtf8(typed));
    }
    EXPECT_EQ(s.text(F::实收款), "80");
    EXPECT_EQ(s.text(F::找零), "20");

    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F1));
    EXPECT_EQ(s.text(F::实收款), "100");
    EXPECT_EQ(column(Col结付), QStringList{"现金"});
    EXPECT_FALSE(window->splitGroup()->isVisibleTo(window.get()));
    EXPECT_EQ(s.text(F::现金), "50");
    EXPECT_EQ(s.text(F::银行), "30");
    EXPECT_FALSE(s.saleRequest().split);

    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F2));
    EXPECT_EQ(column(Col结付), QStringList{"刷卡"});
}

TEST_F(CheckoutTest, NegativeSplitPartsAreRefused)
{
    CheckoutState s(cart);
    s.open(CartTotals{QString(), QString(), QStringLiteral("100"), QString()}, false);
    s.selectSplitPayment();
    s.setText(F::现金, QStringLiteral("40"));
    s.setText(F::银行, QStringLiteral("-50"));
    EXPECT_EQ(s.text(F::银行), "0");
    EXPECT_EQ(s.text(F::实收款), "40");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("输入的数值不能为负数")});
}

TEST_F(CheckoutTest, StoredValueIsBoundByTheMembersBalance)
{
    const struct {
        const char *typed, *shownBalance, *paid, *received;
        const char *message;
        bool locked;
    } cases[] = {
        {"60", "40", "60", "60", "", false},
        {"150", "100", "0", "0", "输入的数值不能大于会员储值金额", false},
        {"100", "0", "100", "100", "", true},
        {"-50", "100", "0", "0", "输入的数值不能为负数", false},
    };
    for (const auto &c : cases) {
        script.clear();
        CheckoutState s(cart);
        s.open(CartTotals{QString(), QString(), QStringLiteral("200"), QString()}, false);
        addMember(s, QStringLiteral("100"));
        s.selectSplitPayment();
        EXPECT_EQ(s.mode(F::储值), TypingMode::Numbers);
        s.setText(F::储值, QString::fromUtf8(c.typed));
        EXPECT_EQ(s.text(F::会员储值x), QString::fromUtf8(c.shownBalance)) << c.typed;
        EXPECT_EQ(s.text(F::储值), QString::fromUtf8(c.paid)) << c.typed;
        EXPECT_EQ(s.text(F::实收款), QString::fromUtf8(c.received)) << c.typed;
        EXPECT_EQ(script.texts().join(u'|'), QString::fromUtf8(c.message)) << c.typed;
        EXPECT_EQ(s.mode(F::储值) == TypingMode::ReadOnly, c.locked) << c.typed;
    }
}

TEST_F(CheckoutTest, LeavingSplitGivesBackStoredValueAndPoints)
{
    CheckoutState s(cart);
    s.open(CartTotals{QString(), QString(), QStringLiteral("200"), QString()}, false);
    addMember(s, QStringLiteral("100"), QStringLiteral("500"));
    s.selectSplitPayment();
    s.setText(F::储值, QStringLiteral("60"));
    s.setText(F::会员积分x, QStringLiteral("300")); // as a points payment leaves it
    ASSERT_EQ(s.text(F::会员储值x), "40");
    s.selectCashPayment();
    EXPECT_EQ(s.text(F::会员储值x), "100");
    EXPECT_EQ(s.text(F::会员积分x), "500");
    EXPECT_EQ(s.text(F::实收款), "200");
    const SaleRequest request = s.saleRequest();
    EXPECT_FALSE(request.split);
    EXPECT_EQ(request.member.会员储值, "100");
}

// Points pay whole units of money at the shop's 抵扣值 points each; the rest of the points stay.
TEST_F(CheckoutTest, PointsPayWholeUnitsAtTheShopsFactor)
{
    const struct {
        const char *factor;
        qint64 points, money, left;
    } cases[] = {
        {"30", 250, 8, 10}, {"30", 29, 0, 29}, {"100", 250, 2, 50}, {"7", 700, 100, 0},
        {"0", 500, 0, 500}, {"", 500, 0, 500}, {"-1", 500, 0, 500},
    };
    for (const auto &c : cases) {
        context.shopSettings.抵扣值 = QString::fromUtf8(c.factor);
        const PointsPayment paid = pointsPayment(c.points, context.shopSettings);
        EXPECT_EQ(paid.money, c.money) << c.factor << " " << c.points;
        EXPECT_EQ(paid.pointsLeft, c.left) << c.factor << " " << c.points;
    }
}

TEST_F(CheckoutTest, SalespersonByInitialsInEitherCase)
{
    const QStringList names{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("周生")};
    const struct {
        const char *typed;
        QStringList items;
        const char *picked;
    } cases[] = {
        {"ZS", {QStringLiteral("张三"), QStringLiteral("周生")}, ""},
        {"l", {QStringLiteral("李四")}, "李四"},
        {"q", {}, ""},
    };
    for (const auto &c : cases) {
        const SalespersonChoice choice = matchSalespersons(names, QString::fromUtf8(c.typed));
        EXPECT_EQ(choice.items, c.items) << c.typed;
        EXPECT_EQ(choice.picked, QString::fromUtf8(c.picked)) << c.typed;
        EXPECT_EQ(choice.showList, c.items.size() > 1) << c.typed;
    }

    exec(QStringLiteral("INSERT INTO 帐号管理 (帐号,姓名,所属店铺) VALUES ('zs','张三','A'),('ls','李四','A'),('ww','王五','B')"));
    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("1"));
    addLine(QStringLiteral("裤子"), QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    EXPECT_EQ(window->salespersonBox()->count(), 2); // this shop's accounts only
    QTest::keyClicks(window->salespersonBox()->lineEdit(), QStringLiteral("Z")); // the one match is taken at once
    EXPECT_EQ(window->salespersonBox()->currentText(), "张三");
    EXPECT_EQ(column(Col导购员), (QStringList{"张三", "张三"}));
    EXPECT_EQ(cart.salesperson, "张三");
}

TEST_F(CheckoutTest, TypingNarrowsTheNamesAndAPickFromTheListIsTaken)
{
    exec(QStringLiteral("INSERT INTO 帐号管理 (帐号,姓名,所属店铺) VALUES ('zs','张三','A'),('zsh','周生','A'),"
                        "('zx','张小','A'),('ls','李四','A')"));
    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    window->show();
    QApplication::setActiveWindow(window.get());
    QComboBox *box = window->salespersonBox();
    box->setFocus();
    // Keys go where the cashier's keys would go: to an open pop-up list, else to the focus.
    auto press = [box](Qt::Key key) {
        QWidget *target = QApplication::activePopupWidget();
        if (!target)
            target = QApplication::focusWidget() ? QApplication::focusWidget() : box;
        QTest::keyClick(target, key);
    };
    press(Qt::Key_Z); // three names start with z: the list opens, the typing goes on
    EXPECT_EQ(box->count(), 3);
    press(Qt::Key_S);
    EXPECT_EQ(box->currentText(), "zs");
    EXPECT_EQ(box->count(), 2);
    // The arrow keys walk the matches; each one is the salesperson and the list keeps both names.
    press(Qt::Key_Down);
    EXPECT_EQ(box->currentText(), "张三");
    EXPECT_EQ(column(Col导购员), QStringList{"张三"});
    press(Qt::Key_Down);
    EXPECT_EQ(box->currentText(), "周生");
    EXPECT_EQ(column(Col导购员), QStringList{"周生"});
    EXPECT_EQ(cart.salesperson, "周生");
    EXPECT_EQ(box->count(), 2);
}

TEST_F(CheckoutTest, EscCancelsAndTheLinesGetTheirPricesBack)
{
    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("0.8"));
    int registered = 0;
    CheckoutHooks hooks;
    hooks.registerMainKeys = [&] { ++registered; };
    auto window = openWindow(hooks);
    // Member pricing changed the line meanwhile.
    cart.setCell(0, Col金额, QStringLiteral("50"));
    cart.setCell(0, Col会员卡号, QStringLiteral("8001"));
    window->handleCheckoutKey(Qt::Key_F2);
    QTest::keyClicks(window->salespersonBox()->lineEdit(), QStringLiteral("x"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Escape));
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(cart.line(0).金额, "80");
    EXPECT_EQ(cart.line(0).结付, "现金");
    EXPECT_EQ(cart.line(0).会员卡号, "");
    EXPECT_EQ(cart.line(0).导购员, "");
    EXPECT_EQ(cart.totals.amountTotal, "");
    EXPECT_EQ(registered, 1);
    EXPECT_FALSE(window->handleCheckoutKey(Qt::Key_Escape)); // closed: nothing runs twice
    window->closeCheckoutWindow();
    EXPECT_EQ(registered, 1);
    EXPECT_EQ(count(QStringLiteral("销售明细")), 0);
}

TEST_F(CheckoutTest, UnderpaidSaleIsRefusedWithTheThreeFigures)
{
    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    window->field(F::实收款)->setText(QStringLiteral("99.9"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    EXPECT_EQ(script.texts(), QStringList{"应付款金额【100】\r\n实付款金额【99.9】\r\n未收款金额【0.1】"});
    EXPECT_EQ(window->lastResult().status, SaleStatus::Underpaid);
    EXPECT_EQ(count(QStringLiteral("销售明细")), 0);
    EXPECT_EQ(cart.count(), 1);

    window->field(F::实收款)->setText(QStringLiteral("100"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    EXPECT_TRUE(window->lastResult().written());
    EXPECT_EQ(count(QStringLiteral("销售明细")), 1);
    EXPECT_TRUE(cart.isEmpty());
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

// After the shortfall message the cashier types the right amount: it replaces the refused one.
TEST_F(CheckoutTest, TheAmountTypedAfterAShortfallReplacesTheRefusedOne)
{
    addLine(QStringLiteral("衬衫"), QStringLiteral("299"), QStringLiteral("1"));
    auto window = openWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit *received = window->field(F::实收款);
    ASSERT_TRUE(received->hasFocus());
    QTest::keyClicks(received, QStringLiteral("200"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    EXPECT_EQ(window->lastResult().status, SaleStatus::Underpaid);
    EXPECT_TRUE(received->hasFocus());
    QTest::keyClicks(received, QStringLiteral("300"));
    EXPECT_EQ(received->text(), QStringLiteral("300"));
    EXPECT_EQ(window->state().text(F::找零), QStringLiteral("-1"));
    window->hide();
}

TEST_F(CheckoutTest, KeysPressedDuringTheAlarmQuestionWriteNoSecondSale)
{
    // Stock 1 with its own alarm below 2: selling one asks the question after the commit.
    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("1"), QStringLiteral("2"), AppContext::FlagOn,
            QStringLiteral("2"));
    CheckoutHooks hooks;
    CheckoutWindow *current = nullptr;
    QList<bool> handled;
    hooks.sale.openStockAlarmReport = [&](QWidget *) {
        handled << current->handleCheckoutKey(Qt::Key_Return) << current->handleCheckoutKey(Qt::Key_Escape);
        current->confirmCheckout();
    };
    auto window = openWindow(hooks);
    current = window.get();
    script.queueAnswers({true});
    window->handleCheckoutKey(Qt::Key_Return);
    EXPECT_EQ(handled, (QList<bool>{false, false}));
    ASSERT_EQ(window->lastResult().alarmQuestions.size(), 1);
    EXPECT_EQ(count(QStringLiteral("销售明细")), 1);
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 数量 FROM 采购入库"))));
    EXPECT_EQ(rs.text(QStringLiteral("数量")), "1");
}

TEST_F(CheckoutTest, StartCheckoutRefusesAnEmptyCartAndAMissingRight)
{
    int released = 0;
    CheckoutHooks hooks;
    hooks.releaseMainKeys = [&] { ++released; };
    EXPECT_FALSE(startCheckout(context, cart, hooks));
    EXPECT_EQ(script.texts(), QStringList{"当前例表没有要结算的产品！"});

    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("1"));
    context.accountRights.前台收银 = QString();
    script.clear();
    EXPECT_FALSE(startCheckout(context, cart, hooks));
    EXPECT_EQ(script.texts(), QStringList{"你没有前台收银权限！"});
    EXPECT_EQ(released, 0);

    context.accountRights.前台收银 = AppContext::Granted;
    script.clear();
    int registered = 0;
    hooks.registerMainKeys = [&] { ++registered; };
    EXPECT_TRUE(startCheckout(context, cart, hooks));
    EXPECT_EQ(script.dialogs(), QStringList{"CheckoutWindow"});
    EXPECT_EQ(released, 1);
    EXPECT_EQ(registered, 1);
    EXPECT_EQ(cart.count(), 1);
}

// The cashier's keys and the drawer.
class CashierKeysTest : public CheckoutTest {};

TEST_F(CashierKeysTest, EmptyCartKeys)
{
    int checkouts = 0, holds = 0, held = 0, drawers = 0;
    CashierKeyActions actions;
    actions.startCheckout = [&] { ++checkouts; };
    actions.holdCurrentOrder = [&] { ++holds; };
    actions.openHeldOrdersWindow = [&] { ++held; };
    actions.openCashDrawer = [&] { ++drawers; };
    handleCashierKey(PosKey::Esc, cart, actions);
    handleCashierKey(PosKey::F5, cart, actions);
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(checkouts, 0);
    handleCashierKey(PosKey::F1, cart, actions);
    EXPECT_EQ(script.texts(), QStringList{"当前列表还没有订单！"});
    EXPECT_EQ(holds, 0);
    handleCashierKey(PosKey::F2, cart, actions);
    handleCashierKey(PosKey::F8, cart, actions);
    EXPECT_EQ(held, 1);
    EXPECT_EQ(drawers, 1);

    addLine(QStringLiteral("衬衫"), QStringLiteral("100"), QStringLiteral("1"));
    handleCashierKey(PosKey::F5, cart, actions);
    handleCashierKey(PosKey::F1, cart, actions);
    EXPECT_EQ(checkouts, 1);
    EXPECT_EQ(holds, 1);
    handleCashierKey(PosKey::Esc, cart, actions);
    EXPECT_TRUE(cart.isEmpty());
    EXPECT_EQ(script.texts().size(), 1);
}

TEST_F(CashierKeysTest, F8WritesExactlyTheKickToTheDeviceOfSqlIni)
{
    const QString device = database->dir() + QStringLiteral("/drawer");
    {
        QFile file(device);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(writeIniValue(ProgramDir::file(QStringLiteral("sql.ini")), QStringLiteral("钱箱"), QStringLiteral("端口"), device));
    EXPECT_EQ(cashDrawerDevice(ProgramDir::file(QStringLiteral("sql.ini"))), device);
    handleCashierKey(PosKey::F8, cart, CashierKeyActions{});
    QFile file(device);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray::fromHex("1b70006464"));
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(CashierKeysTest, UnreachableDrawerNeverBlocksAndSaysNothing)
{
    EXPECT_EQ(cashDrawerDevice(database->dir() + QStringLiteral("/none.ini")), "/dev/lp0");
    const QString fifo = database->dir() + QStringLiteral("/fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    // A blocking open of a FIFO nobody reads would never return: reaching the next line is the check.
    EXPECT_FALSE(openCashDrawerOn(database->dir() + QStringLiteral("/missing/lp0")));
    EXPECT_FALSE(openCashDrawerOn(fifo));
    EXPECT_TRUE(script.texts().isEmpty());
}

} // namespace
