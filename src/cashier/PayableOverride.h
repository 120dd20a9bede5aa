#pragma once
// The amount due changed at checkout, and the cart following it: the shop's full-amount promotion
// (spend more than a threshold, get an amount off) and the amount the cashier types into 应付款.
// While an override is armed, every change of 应付款 reprices the cart afresh and then lowers the
// lines in proportion to their amounts, or raises the first line, so that the stored sale lines
// add up to the amount due.
#include <QList>
#include <QString>
#include <optional>

#include "context/DateParts.h"

class AppContext;

namespace cashier {

class Cart;
class CheckoutState;
class MemberPricing;

// One row of 满额促销: threshold, amount off and last valid day ('YYYY-MM-DD').
struct PromotionRow {
    QString 满, 送, 截止时间;
};
// A row has expired once today is after its last day; a last day that does not read as a date
// (three parts joined by "-") counts as expired.
bool promotionExpired(const QString &lastDay, const DateParts &today);
// The shop's rows in ascending id; nullopt when the read failed.
std::optional<QList<PromotionRow>> readPromotionRows(AppContext &context);
// At least one row and none expired.
bool promotionsValid(const QList<PromotionRow> &rows, const DateParts &today);

struct ChosenPromotion {
    qint64 threshold = 0;
    qint64 off = 0;
};
// The row with the largest threshold that the amount due exceeds, with its own amount off; the
// first such row when several share the threshold. nullopt when no threshold is exceeded.
std::optional<ChosenPromotion> choosePromotion(const QList<PromotionRow> &rows, double amountDue);
// "满[200]减[30]".
QString promotionText(const ChosenPromotion &promotion);

// The lines fall by `cut` in proportion to their amounts: shares to 3 decimals, cuts to 2, the
// rest of the cut on the first line; amounts are written unrounded. Lines summing to 0 give the
// whole cut to the first line. While the lines come to 0 or more after the cut, none ends below 0:
// what rounding would cut a small line below 0 comes off the largest line instead.
void spreadPaymentOverCart(Cart &cart, double cut);
// The first line rises by `rise`.
void addRemainderToFirstLine(Cart &cart, double rise);
// Every line's 金额 " 0".
void zeroAllLineAmounts(Cart &cart);
// 备注 of every line := the promotion text.
void tagCartWithPromotion(Cart &cart, const QString &text);

class PayableOverride
{
public:
    PayableOverride(AppContext &context, CheckoutState &state, MemberPricing &pricing, Cart &cart);

    // When the window opens with promotions switched on: whether the promotion button shows.
    bool checkActivePromotion();
    // The promotion button: true when a promotion was applied (the button then hides).
    bool applyPromotionAtCheckout();
    // After a member card was entered: true when it discarded an applied promotion, so that the
    // button may show again for the member's amount.
    bool promotionDiscarded();

    void beginPayableEdit() { m_armed = true; } // the mouse released in 应付款
    void endPayableEdit() { m_armed = false; }  // 应付款 lost the focus; also when the window closes
    bool armed() const { return m_armed; }
    // Every change of 应付款.
    void applyPayableOverride();

    QString appliedPromotion() const { return m_promotionText; }

private:
    // The lines at their prices afresh: with the member's discount unless the mode is none or
    // points (points mode keeps the member's card on the lines).
    void repriceFresh();

    AppContext &m_context;
    CheckoutState &m_state;
    MemberPricing &m_pricing;
    Cart &m_cart;
    bool m_armed = false;     // payableOverrideArmed
    QString m_promotionText;  // promotionText
};

} // namespace cashier
