#include "cashier/CheckoutState.h"

#include "cashier/Cart.h"
#include "cashier/LinePrice.h"
#include "context/AppContext.h"
#include "data/Pinyin.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"

namespace cashier {

namespace {

constexpr double kTolerance = 1e-7;

// A difference or sum of amounts as text, without the binary noise of the subtraction
// (100 − 99.9 is 0.1, not 0.09999999999999).
QString amountText(double x)
{
    return numberToText(roundTo(x, 10));
}

using F = CheckoutField;

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

} // namespace

bool typingAccepts(TypingMode mode, const QString &typed)
{
    for (const QChar c : typed) {
        if (isControl(c))
            continue;
        switch (mode) {
        case TypingMode::FreeText:
            break;
        case TypingMode::DigitsOnly:
            if (!((c >= u'0' && c <= u'9') || c == u'-'))
                return false;
            break;
        case TypingMode::Numbers:
            if (!((c >= u'0' && c <= u'9') || c == u'-' || c == u'.'))
                return false;
            break;
        case TypingMode::ReadOnly:
            return false;
        }
    }
    return true;
}

bool numberTextAccepted(const QString &typed, int decimals)
{
    // Full-width digits, sign and point count as their half-width forms, as the number rule reads them.
    const QString text = toHalfWidth(typed);
    int pointAt = -1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'-' && i == 0)
            continue;
        if (c == u'.') {
            if (pointAt >= 0 || decimals <= 0)
                return false;
            pointAt = i;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        if (pointAt >= 0 && i - pointAt > decimals)
            return false;
    }
    return true;
}

QString moneyTypingRefusedText(int decimals)
{
    if (decimals <= 0)
        return QStringLiteral("金额只能输入整数！");
    return QStringLiteral("金额只能输入数字和一个小数点，最多%1位小数！").arg(decimals);
}

int moneyDecimals(const ShopSettings &settings)
{
    if (settings.销售.trimmed().isEmpty())
        return 2;
    return saleDecimals(settings);
}

QString checkoutFieldName(CheckoutField field)
{
    static const QStringList names{
        QStringLiteral("应付款"),   QStringLiteral("实收款"),   QStringLiteral("找零"),     QStringLiteral("原价"),
        QStringLiteral("优惠"),     QStringLiteral("现金"),     QStringLiteral("银行"),     QStringLiteral("积分编辑框"),
        QStringLiteral("优惠券"),   QStringLiteral("储值"),     QStringLiteral("会员卡号x"), QStringLiteral("会员储值x"),
        QStringLiteral("会员类别x"), QStringLiteral("会员积分x"), QStringLiteral("折扣方案x"), QStringLiteral("会员折扣x"),
    };
    return names.value(int(field));
}

CheckoutState::CheckoutState(Cart &cart) : m_cart(cart)
{
    m_modes.fill(TypingMode::ReadOnly);
    for (F f : {F::应付款, F::实收款, F::会员卡号x})
        m_modes[int(f)] = TypingMode::FreeText;
    m_modes[int(F::找零)] = TypingMode::Numbers;
    for (F f : {F::现金, F::银行, F::优惠券})
        m_modes[int(f)] = TypingMode::Numbers;
}

void CheckoutState::open(const CartTotals &totals, bool freeDiscount)
{
    m_kind = PaymentKind::Cash;
    setMode(F::应付款, freeDiscount ? TypingMode::Numbers : TypingMode::ReadOnly);
    setMode(F::实收款, TypingMode::Numbers); // an amount from the start: no exponent, no surplus decimals
    setMode(F::储值, TypingMode::ReadOnly);
    member = CheckoutMember{};
    member.payable = totals.amountTotal;
    setText(F::应付款, totals.amountTotal);
    setText(F::实收款, totals.amountTotal);
    setText(F::原价, totals.tagTotal);
    setText(F::优惠, amountText(number(F::原价) - number(F::应付款)));
}

double CheckoutState::number(CheckoutField field) const
{
    return textToNumber(text(field));
}

void CheckoutState::setMode(CheckoutField field, TypingMode mode)
{
    if (m_modes[int(field)] == mode)
        return;
    m_modes[int(field)] = mode;
    if (fieldChanged)
        fieldChanged(field);
}

void CheckoutState::setText(CheckoutField field, const QString &text)
{
    m_texts[int(field)] = text;
    if (int(field) != m_typedField)
        m_typingStart[int(field)] = text;
    if (fieldChanged)
        fieldChanged(field);
    runHandler(field);
}

void CheckoutState::setTypedText(CheckoutField field, const QString &text)
{
    const int outer = m_typedField;
    m_typedField = int(field);
    setText(field, text);
    m_typedField = outer;
}

void CheckoutState::beginTyping(CheckoutField field)
{
    m_typingStart[int(field)] = m_texts[int(field)];
}

void CheckoutState::runHandler(CheckoutField field)
{
    Handler handler = HandlerCount;
    switch (field) {
    case F::实收款: handler = HBalance; break;
    case F::现金:
    case F::银行:
    case F::优惠券: handler = HSplit; break;
    case F::储值: handler = HStoredValue; break;
    case F::应付款: handler = HPayable; break;
    case F::会员卡号x: handler = HCard; break;
    default: return;
    }
    if (m_running[handler])
        return;
    m_running[handler] = true;
    switch (handler) {
    case HBalance: computeBalance(); break;
    case HSplit: splitPartChanged(field); break;
    case HStoredValue: payByStoredValue(); break;
    case HPayable: if (payableChanged) payableChanged(); break;
    case HCard: if (memberCardChanged) memberCardChanged(); break;
    case HandlerCount: break;
    }
    m_running[handler] = false;
}

void CheckoutState::say(const QString &text)
{
    if (notify)
        notify(text);
    else
        MessageSeam::message(nullptr, QString(), text);
}

void CheckoutState::splitPartChanged(CheckoutField field)
{
    if (number(field) < -kTolerance) {
        setText(field, QStringLiteral("0"));
        recalcReceivedFromSplit();
        say(kNegativeRefused);
        if (focusField)
            focusField(field);
        return;
    }
    recalcReceivedFromSplit();
}

void CheckoutState::selectCashPayment()
{
    payInOneKind(PaymentKind::Cash, kPayCash);
}

void CheckoutState::selectCardPayment()
{
    payInOneKind(PaymentKind::Card, kPayCard);
}

void CheckoutState::payInOneKind(PaymentKind kind, const QString &payment)
{
    if (m_kind == PaymentKind::Split) {
        // The split is not paid now: the member keeps the stored value and points as read.
        setText(F::会员储值x, member.会员储值);
        setText(F::会员积分x, member.积分);
    }
    m_kind = kind;
    m_cart.setColumnForAll(Col结付, payment);
    setMode(F::实收款, TypingMode::Numbers);
    setText(F::实收款, text(F::应付款));
}

void CheckoutState::selectSplitPayment()
{
    m_cart.setColumnForAll(Col结付, kPayOther);
    m_kind = PaymentKind::Split;
    if (fieldChanged)
        fieldChanged(F::现金); // the group's visibility
    setMode(F::实收款, TypingMode::ReadOnly);
    for (F f : {F::实收款, F::现金, F::银行, F::积分编辑框, F::优惠券, F::储值})
        setText(f, QStringLiteral("0"));
}

void CheckoutState::resetSplitFields()
{
    if (m_kind != PaymentKind::Split)
        return;
    for (F f : {F::现金, F::银行, F::积分编辑框, F::优惠券, F::储值})
        setText(f, QStringLiteral("0"));
    recalcReceivedFromSplit();
}

void CheckoutState::recalcReceivedFromSplit()
{
    setMode(F::实收款, TypingMode::ReadOnly);
    setMode(F::储值, number(F::会员储值x) > kTolerance ? TypingMode::Numbers : TypingMode::ReadOnly);
    const double sum = number(F::现金) + number(F::银行) + number(F::积分编辑框) + number(F::优惠券) + number(F::储值);
    setText(F::实收款, amountText(sum));
}

void CheckoutState::payByStoredValue()
{
    const double paid = number(F::储值);
    const double bound = textToNumber(member.会员储值);
    if (paid < -kTolerance || paid - bound > kTolerance) {
        setText(F::会员储值x, member.会员储值);
        setText(F::储值, QStringLiteral("0"));
        recalcReceivedFromSplit();
        say(paid < 0 ? kNegativeRefused : kStoredValueTooHigh);
        if (focusField)
            focusField(F::储值);
        return;
    }
    setText(F::会员储值x, amountText(bound - paid));
    recalcReceivedFromSplit();
}

bool CheckoutState::acceptSplitPart(CheckoutField field, const QString &after)
{
    if (field != F::现金 && field != F::银行 && field != F::优惠券 && field != F::储值)
        return true;
    const double part = textToNumber(after);
    QString refusal;
    if (part < -kTolerance) {
        refusal = kNegativeRefused;
    } else if (field != F::现金 && part > number(field)) {
        double nonCash = part;
        for (F other : {F::银行, F::积分编辑框, F::优惠券, F::储值})
            if (other != field)
                nonCash += number(other);
        if (nonCash - number(F::应付款) > kTolerance)
            refusal = kNonCashAboveDue;
    }
    if (refusal.isEmpty())
        return true;
    // The field shows its last accepted text again before the cashier reads why.
    if (fieldChanged)
        fieldChanged(field);
    say(refusal);
    return false;
}

qint64 CheckoutState::dueLeftForPoints() const
{
    const double left = number(F::应付款) - number(F::现金) - number(F::银行) - number(F::优惠券) - number(F::储值);
    return left > 0 ? qint64(roundTo(left, 6)) : 0; // whole money, rounded down
}

void CheckoutState::computeBalance()
{
    setText(F::找零, amountText(number(F::应付款) - number(F::实收款)));
}

bool CheckoutState::acceptTyping(CheckoutField field, const QString &before, int from, int length,
                                 const QString &typed)
{
    const TypingMode typingMode = mode(field);
    if (typingMode != TypingMode::Numbers)
        return typingAccepts(typingMode, typed);
    QString printable;
    for (const QChar c : typed)
        if (!isControl(c))
            printable += c;
    if (printable.isEmpty())
        return true;
    QString after = before;
    after.replace(from, length, printable);
    if (numberTextAccepted(after, moneyDecimals))
        return true;
    say(moneyTypingRefusedText(moneyDecimals));
    return false;
}

bool CheckoutState::acceptEdit(CheckoutField field, const QString &after, bool typedKey)
{
    if (mode(field) != TypingMode::Numbers)
        return true;
    const bool wellFormed = numberTextAccepted(after, moneyDecimals);
    if (wellFormed && moneyWithinCeiling(after))
        return true;
    // The field shows its last accepted text again before the cashier reads why; after typed keys
    // beyond what money can hold, the text it held before the typing began, with the figures that
    // follow from it. That text is wholly selected, so that the amount typed next replaces it.
    if (wellFormed && typedKey && m_typingStart[int(field)] != m_texts[int(field)])
        setText(field, m_typingStart[int(field)]);
    else if (fieldChanged)
        fieldChanged(field);
    say(wellFormed ? moneyCeilingText() : moneyTypingRefusedText(moneyDecimals));
    if (wellFormed && focusField)
        focusField(field);
    return false;
}

void CheckoutState::setSalesperson(const QString &name)
{
    m_cart.salesperson = name;
    m_cart.setColumnForAll(Col导购员, name);
}

SaleRequest CheckoutState::saleRequest() const
{
    SaleRequest r;
    // Amounts typed with full-width digits are handed over in their half-width form.
    r.payable = toHalfWidth(text(F::应付款));
    r.received = toHalfWidth(text(F::实收款));
    r.change = text(F::找零);
    r.split = m_kind == PaymentKind::Split;
    r.splitFields = {toHalfWidth(text(F::现金)), toHalfWidth(text(F::银行)), text(F::积分编辑框),
                     toHalfWidth(text(F::优惠券)), toHalfWidth(text(F::储值))};
    // Only a card the lookup found names a member: a typed card that matches nobody is no member.
    if (member.id != 0)
        r.member.会员卡号 = text(F::会员卡号x);
    r.member.会员类别 = text(F::会员类别x);
    r.member.会员积分 = text(F::会员积分x);
    r.member.会员储值 = text(F::会员储值x);
    r.member.积分AsRead = member.积分;
    r.member.消费金额AsRead = member.消费金额;
    r.member.储值AsRead = member.会员储值;
    r.member.id = member.id;
    return r;
}

PointsPayment pointsPayment(qint64 points, const ShopSettings &settings, qint64 atMost)
{
    const qint64 perUnit = textToInteger(settings.抵扣值);
    if (perUnit <= 0 || points <= 0)
        return PointsPayment{0, points};
    const qint64 money = qMin(points / perUnit, qMax<qint64>(atMost, 0));
    return PointsPayment{money, points - money * perUnit};
}

QStringList salespersonNames(AppContext &context)
{
    data::Connection &connection = context.connection();
    data::RecordSet rs(connection);
    QStringList names;
    if (!rs.open(data::buildSelectSql(connection.dialect(), QStringLiteral("帐号管理"),
                                      data::eq(QStringLiteral("所属店铺"), context.currentShop), true,
                                      QStringLiteral("id ASC"), true)))
        return names;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        names << rs.text(QStringLiteral("姓名"));
    return names;
}

SalespersonChoice matchSalespersons(const QStringList &names, const QString &typed)
{
    SalespersonChoice choice;
    const QString key = typed.toLower();
    for (const QString &name : names) {
        if (data::toPinyinInitials(name).toLower().contains(key))
            choice.items << name;
    }
    if (choice.items.size() == 1)
        choice.picked = choice.items.first();
    else if (choice.items.size() > 1)
        choice.showList = true;
    return choice;
}

} // namespace cashier
