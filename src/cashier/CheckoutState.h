#pragma once
// The checkout's figures and their recalculations, apart from the window: the amount payable, the
// amount received, the balance, the payment kind with its split over cash, bank card, points,
// coupons and stored value, the member's stored value and points as shown, and the salesperson.
//
// Every field is a text. Setting a field runs its change handler, whether the cashier typed it or
// a handler set it (received -> balance, a split part -> received, stored value -> its bound), but
// a handler never runs again inside itself; where a handler needs the effect of its own change it
// calls the next step directly.
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <limits>

#include "cashier/SaleWriter.h"

class AppContext;
struct ShopSettings;

namespace cashier {

class Cart;
struct CartTotals;

// How an edit box takes typed characters. Control keys always pass; texts the program sets are
// never filtered.
enum class TypingMode {
    FreeText,
    DigitsOnly, // 0-9 and "-"
    Numbers,    // an amount: an optional leading "-", digits, one "." and at most the money decimals
    ReadOnly,
};
// True when a typed text (one key's characters) may go into a box of that mode, character by
// character (a Numbers box checks the whole text it would hold with numberTextAccepted).
bool typingAccepts(TypingMode mode, const QString &typed);
// True when a Numbers box may hold the text: an optional leading "-", digits, at most one decimal
// point and at most `decimals` digits after it (no point at all with 0 decimals); no exponent.
// Full-width digits, sign and point count as half-width. "" and "-" pass, as steps of typing.
bool numberTextAccepted(const QString &text, int decimals);
// The refusal of a key that would give a Numbers box a text it may not hold.
QString moneyTypingRefusedText(int decimals);

// The decimals an amount is typed with: the shop's 销售 decimals, or 2 when the shop sets none.
int moneyDecimals(const ShopSettings &settings);

enum class PaymentKind { Cash, Card, Split };

enum class CheckoutField {
    应付款,
    实收款,
    找零,
    原价,
    优惠,
    现金,
    银行,
    积分编辑框,
    优惠券,
    储值,
    会员卡号x,
    会员储值x,
    会员类别x,
    会员积分x,
    折扣方案x,
    会员折扣x,
};
inline constexpr int kCheckoutFieldCount = 16;
// The control object name of a field (its enumerator's name).
QString checkoutFieldName(CheckoutField field);

// The member of the checkout as read (checkoutMember). Member pricing fills it when a card is found.
struct CheckoutMember {
    QString payable;  // the payable amount at opening
    QString 消费金额; // the member's spending before the sale
    QString 会员折扣;
    QString 会员卡号;
    QString 会员储值; // stored value before the sale: the bound of the stored-value payment
    QString 积分;     // points before the sale
    qint64 id = 0;    // the member row, when known
};

inline const QString kStoredValueTooHigh = QStringLiteral("输入的数值不能大于会员储值金额");
inline const QString kNegativeRefused = QStringLiteral("输入的数值不能为负数");
inline const QString kBalanceTip = QStringLiteral("负数为找出多少  正数为还应该收多少");
inline const QString kPointsTip = QStringLiteral("结果 = 会员积分 ÷ 设置的积分抵扣比例");

class CheckoutState
{
public:
    explicit CheckoutState(Cart &cart);

    Cart &cart() { return m_cart; }

    // The opening figures: 应付款 = 实收款 = amountTotal (so 找零 "0"), 原价 = tagTotal,
    // 优惠 = 原价 − 应付款; cash payment, split hidden; 应付款 typed only with 自由优惠 "真".
    void open(const CartTotals &totals, bool freeDiscount);

    QString text(CheckoutField field) const { return m_texts[int(field)]; }
    double number(CheckoutField field) const;
    TypingMode mode(CheckoutField field) const { return m_modes[int(field)]; }
    // Sets a field and runs its change handler (unless that handler is running already).
    void setText(CheckoutField field, const QString &text);
    // A change the cashier made in the field (typed or pasted): set like setText, but the field
    // keeps the text it held before the cashier began typing into it.
    void setTypedText(CheckoutField field, const QString &text);
    // The cashier enters the field: its text now is what an amount beyond the ceiling typed into
    // it falls back to.
    void beginTyping(CheckoutField field);

    PaymentKind paymentKind() const { return m_kind; }
    bool splitShown() const { return m_kind == PaymentKind::Split; }

    // F1 / F2: every line's 结付 "现金" / "刷卡", 实收款 typed as an amount and equal to 应付款, split hidden
    // (its fields keep their texts); leaving the split gives back the member's stored value and
    // points as read.
    void selectCashPayment();
    void selectCardPayment();
    // F3: every line "其它", split shown, 实收款 read-only, 实收款 and the five parts "0".
    void selectSplitPayment();
    // Member pricing: a new card clears the split parts.
    void resetSplitFields();

    void recalcReceivedFromSplit();
    void payByStoredValue();
    void computeBalance();

    // Change comes out of cash only. A split part's text after a typed key or a paste is refused
    // when it is negative, or when it is a part other than cash, raised, and takes the parts other
    // than cash (银行, 积分编辑框, 优惠券, 储值) past 应付款: the cashier is told why and the field
    // shows its text before the change again. Lowering a part always passes; other fields pass.
    bool acceptSplitPart(CheckoutField field, const QString &after);
    // What the parts other than points leave due, in whole money and never below 0: the most the
    // member's points may pay.
    qint64 dueLeftForPoints() const;

    // The salesperson: kept on the cart and written into column 导购员 of every line.
    void setSalesperson(const QString &name);

    // A key typed into a field: true when its characters go in. before is the field's text,
    // [from, from + length) the part the characters replace (the selection, or none at the
    // cursor). Control keys always pass. A Numbers field takes only a text numberTextAccepted
    // allows; any other key is refused and the cashier is told so (notify), never dropped unseen.
    bool acceptTyping(CheckoutField field, const QString &before, int from, int length, const QString &typed);

    // A change of a field's text (a typed key that passed acceptTyping, a paste, a drop, an undo):
    // true when the field may hold the text after it. A Numbers field refuses a text
    // numberTextAccepted does not allow, or one beyond the money ceiling (moneyWithinCeiling): the
    // field shows its text before the change again and the cashier is told why; beyond the ceiling
    // its whole text is selected (focusField), so that the amount typed next replaces it.
    // An amount beyond what money can hold that came from typed keys (a barcode scanned into the
    // wrong box, say) takes the field back to the text it held before the cashier began typing
    // into it, not to its first digits.
    bool acceptEdit(CheckoutField field, const QString &after, bool typedKey = false);

    // What the confirmation hands over: the three amounts, the split fields as shown (captured
    // only in split mode) and the member card with its figures.
    SaleRequest saleRequest() const;

    CheckoutMember member;
    // The decimals amounts are typed with (moneyDecimals of the shop).
    int moneyDecimals = 2;

    // Where the figures go out: a message to show, a field to give the focus (whole text selected),
    // a field whose text or mode changed. Messages default to a plain box through the seam.
    std::function<void(const QString &)> notify;
    std::function<void(CheckoutField)> focusField;
    std::function<void(CheckoutField)> fieldChanged;
    // Plug-ins of member pricing and the payable override: 会员卡号x and 应付款 changed.
    std::function<void()> memberCardChanged;
    std::function<void()> payableChanged;

private:
    enum Handler { HBalance, HSplit, HStoredValue, HPayable, HCard, HandlerCount };
    void setMode(CheckoutField field, TypingMode mode);
    void runHandler(CheckoutField field);
    void splitPartChanged(CheckoutField field);
    // Cash or card: every line's 结付 that payment, 实收款 typed and equal to 应付款.
    void payInOneKind(PaymentKind kind, const QString &payment);
    void say(const QString &text);

    Cart &m_cart;
    std::array<QString, kCheckoutFieldCount> m_texts;
    std::array<TypingMode, kCheckoutFieldCount> m_modes{};
    PaymentKind m_kind = PaymentKind::Cash;
    std::array<bool, HandlerCount> m_running{};
    std::array<QString, kCheckoutFieldCount> m_typingStart;
    int m_typedField = -1; // the field setTypedText is setting
};

inline const QString kNonCashAboveDue = QStringLiteral("银行、积分、优惠券和储值合计不能大于应付款金额，找零只能从现金中找出");

// Points paying part of a split payment: whole units of money at the shop's 抵扣值 points each (read
// as a whole number), no more than atMost units, and the points left over. With 抵扣值 not above 0
// nothing is paid and every point is left (no division by zero).
struct PointsPayment {
    qint64 money = 0;
    qint64 pointsLeft = 0;
};
PointsPayment pointsPayment(qint64 points, const ShopSettings &settings,
                            qint64 atMost = std::numeric_limits<qint64>::max());

// The accounts of the shop that may be chosen as salesperson: 姓名 of 帐号管理 by id.
QStringList salespersonNames(AppContext &context);

// The salesperson combo after typing: the names whose pinyin initials contain the typed text in
// either letter case; a single match is picked at once, several open the list.
struct SalespersonChoice {
    QStringList items;
    QString picked;        // the single match, "" otherwise
    bool showList = false; // more than one match
};
SalespersonChoice matchSalespersons(const QStringList &names, const QString &typed);

} // namespace cashier
