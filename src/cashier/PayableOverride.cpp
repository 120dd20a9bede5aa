#include "cashier/PayableOverride.h"

#include "cashier/Cart.h"
#include "cashier/CheckoutState.h"
#include "cashier/MemberPricing.h"
#include "context/AppContext.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace cashier {

namespace {

constexpr double kTiny = 0.0000001;
using F = CheckoutField;

// The three parts of a day read as one whole number, as they are written ("2015", "03", "11" give
// 20150311); nullopt unless each part is a whole number.
std::optional<qint64> dayNumber(const QString &year, const QString &month, const QString &day)
{
    QString digits;
    for (const QString &part : {year, month, day}) {
        bool ok = false;
        part.trimmed().toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        digits += part.trimmed();
    }
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

bool promotionExpired(const QString &lastDay, const DateParts &today)
{
    const QStringList parts = lastDay.split(u'-');
    if (parts.size() != 3)
        return true;
    const std::optional<qint64> last = dayNumber(parts[0], parts[1], parts[2]);
    const std::optional<qint64> now = dayNumber(today.year, today.month, today.day);
    return !last || !now || *now > *last;
}

std::optional<QList<PromotionRow>> readPromotionRows(AppContext &context)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), QStringLiteral("满额促销"),
                                      data::eq(QStringLiteral("所属店铺"), context.currentShop), true,
                                      QStringLiteral("ID ASC"), true)))
        return std::nullopt;
    QList<PromotionRow> rows;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        rows.append({rs.text(QStringLiteral("满")), rs.text(QStringLiteral("送")), rs.text(QStringLiteral("截止时间"))});
    return rows;
}

bool promotionsValid(const QList<PromotionRow> &rows, const DateParts &today)
{
    if (rows.isEmpty())
        return false;
    for (const PromotionRow &row : rows) {
        if (promotionExpired(row.截止时间, today))
            return false;
    }
    return true;
}

std::optional<ChosenPromotion> choosePromotion(const QList<PromotionRow> &rows, double amountDue)
{
    std::optional<ChosenPromotion> best;
    for (const PromotionRow &row : rows) {
        const qint64 threshold = textToInteger(row.满);
        if (amountDue - double(threshold) <= kTiny)
            continue;
        if (!best || threshold > best->threshold)
            best = ChosenPromotion{threshold, textToInteger(row.送)};
    }
    return best;
}

QString promotionText(const ChosenPromotion &promotion)
{
    return QStringLiteral("满[") + QString::number(promotion.threshold) + QStringLiteral("]减[")
           + QString::number(promotion.off) + u']';
}

void spreadPaymentOverCart(Cart &cart, double cut)
{
    QList<CartLine> lines = cart.lines();
    if (lines.isEmpty())
        return;
    double sum = 0;
    for (const CartLine &line : lines)
        sum += textToNumber(line.金额);
    double cuts = 0;
    QList<double> amounts;
    for (CartLine &line : lines) {
        const double amount = textToNumber(line.金额);
        // Without a sum there are no proportions: the first line takes the whole cut below.
        const double share = std::fabs(sum) > kTiny ? roundTo(amount / sum, 3) : 0;
        const double c = roundTo(share * cut, 2);
        cuts += c;
        amounts << amount - c;
    }
    amounts[0] -= cut - cuts;
    // Shares rounded up can cut a small line below zero while the lines still add up to a total of
    // zero or more: such a line stops at 0 and its deficit comes off the largest lines instead.
    const double total = sum - cut;
    if (total > -kTiny) {
        double deficit = 0;
        for (double &amount : amounts) {
            if (amount < 0) {
                deficit -= amount;
                amount = 0;
            }
        }
        const bool moved = deficit > 0;
        while (deficit > kTiny) {
            const auto largest = std::max_element(amounts.begin(), amounts.end());
            const double taken = std::min(*largest, deficit);
            if (taken <= kTiny) {
                amounts[0] -= deficit;
                break;
            }
            *largest -= taken;
            deficit -= taken;
        }
        if (moved) {
            for (double &amount : amounts)
                amount = roundTo(amount, 6); // the cuts are in cents: no binary noise in the texts
        }
    }
    for (int i = 0; i < lines.size(); ++i)
        lines[i].金额 = numberToText(amounts[i]);
    cart.replaceAll(lines);
}

void addRemainderToFirstLine(Cart &cart, double rise)
{
    if (cart.isEmpty())
        return;
    cart.setCell(0, Col金额, numberToText(textToNumber(cart.line(0).金额) + rise));
}

void zeroAllLineAmounts(Cart &cart)
{
    cart.setColumnForAll(Col金额, QStringLiteral(" 0"));
}

void tagCartWithPromotion(Cart &cart, const QString &text)
{
    cart.setColumnForAll(Col备注, text);
}

PayableOverride::PayableOverride(AppContext &context, CheckoutState &state, MemberPricing &pricing, Cart &cart)
    : m_context(context), m_state(state), m_pricing(pricing), m_cart(cart)
{
}

bool PayableOverride::checkActivePromotion()
{
    const std::optional<QList<PromotionRow>> rows = readPromotionRows(m_context);
    return rows && promotionsValid(*rows, m_context.today);
}

bool PayableOverride::applyPromotionAtCheckout()
{
    const DateParts today = datingNow(m_context);
    const std::optional<QList<PromotionRow>> rows = readPromotionRows(m_context);
    if (!rows || !promotionsValid(*rows, today))
        return false;
    const std::optional<ChosenPromotion> chosen = choosePromotion(*rows, m_state.number(F::应付款));
    if (!chosen)
        return false;
    m_armed = true;
    m_state.setText(F::应付款, numberToText(m_state.number(F::应付款) - double(chosen->off)));
    m_promotionText = promotionText(*chosen);
    tagCartWithPromotion(m_cart, m_promotionText);
    return true;
}

bool PayableOverride::promotionDiscarded()
{
    if (m_promotionText.isEmpty())
        return false;
    for (const CartLine &line : m_cart.lines()) {
        if (line.备注 == m_promotionText)
            return false;
    }
    m_promotionText.clear();
    return true;
}

void PayableOverride::repriceFresh()
{
    const QString mode = m_state.text(F::折扣方案x);
    if (mode.isEmpty() || mode == memberModeText(MemberMode::Points)) {
        m_pricing.repriceCartWithoutMember();
        if (!m_state.member.会员卡号.isEmpty())
            m_pricing.tagCartWithMemberCard(); // a points member keeps the card on the lines
        return;
    }
    m_state.member.会员折扣 = m_state.text(F::会员折扣x);
    m_state.member.会员卡号 = m_state.text(F::会员卡号x);
    m_pricing.repriceCartWithMemberDiscount();
}

void PayableOverride::applyPayableOverride()
{
    if (!m_armed)
        return;
    const QString typed = m_state.text(F::应付款);
    m_state.setText(F::优惠, numberToText(m_state.number(F::原价) - m_state.number(F::应付款)));
    if (m_state.splitShown())
        m_state.recalcReceivedFromSplit(); // 实收款 stays the sum of the split parts
    else
        m_state.setText(F::实收款, typed);
    const double payable = textToNumber(m_state.member.payable);
    const double amount = m_state.number(F::应付款);
    if (payable - amount >= -kTiny && !typed.isEmpty()) {
        repriceFresh();
        spreadPaymentOverCart(m_cart, payable - amount);
    }
    if (amount - payable >= -kTiny) {
        repriceFresh();
        addRemainderToFirstLine(m_cart, amount - payable);
    }
    if (typed == QStringLiteral("0"))
        zeroAllLineAmounts(m_cart);
}

} // namespace cashier
