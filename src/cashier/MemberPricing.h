#pragma once
// The member card at checkout: every change of 会员卡号x looks the card up, shows the member's stored
// value, tier and points, and prices the cart by the shop's member mode and the member's tier; the
// points button turns the member's points into a part of a split payment.
//
// The stock rows of the cart are read once for the window's life (one query for all of them), so
// that a card typed or scanned one character at a time costs one member lookup per character.
#include <QHash>
#include <QSet>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "cashier/LinePrice.h"
#include "context/MemberTier.h"

class AppContext;

namespace cashier {

class Cart;
class CheckoutState;
struct CartLine;

// The shop's member mode, from its flags 积分模式, 升级模式 and 折上折.
enum class MemberMode {
    None,             // any other combination: no member pricing
    DiscountOnDiscount, // 假 / 真 / 真: the tier factor multiplies the line's own price
    Upgrade,          // 假 / 真 / 假: the tier factor replaces the line's own factor
    Points,           // 真 / 假 / 假: no discount, the card is only recorded on the lines
};
MemberMode memberMode(const ShopSettings &settings);
// The text 折扣方案x shows for a mode ("" for None).
QString memberModeText(MemberMode mode);

// The tier factor of a member's tier name: tier 3, then 2, then 1 are compared, so tier 1 wins
// when several bear the name. "" when the name is empty or matches no tier.
QString tierDiscountOf(const std::array<MemberTier, 3> &tiers, const QString &tierName);

// What member pricing reads of a stock row.
struct StockPrice {
    QString 折扣; // the item's own factor
    QString 吊牌价;
    QString 特价;
};

// A line priced for a member of tier factor d (text), quantity q:
//  - special ("√"): 折扣 "1", 金额 round(p × q);
//  - 商品折扣 "真": 折上折 "真": round(round(p × f × q) × d), else round(p × d × q); 折扣 the tier text;
//    an item without a usable factor of its own counts f = 1;
//  - a usable 统一折扣 u then prices it the same way with u in place of f;
//  - neither: nullopt (the line keeps its 折扣 and 金额).
std::optional<LinePrice> memberLinePrice(const StockPrice &row, double quantity, const QString &tierDiscount,
                                         const DiscountScheme &scheme, const ShopSettings &settings);

// The texts of the points button's refusals.
QString pointsTooFewText(const ShopSettings &settings);
inline const QString kNoPointsRateText = QStringLiteral("本店的积分抵扣值未设置或为0，无法使用积分抵扣！");
inline const QString kMemberLookupFailedText = QStringLiteral("查询会员失败，请检查数据库连接！");

class MemberPricing
{
public:
    MemberPricing(AppContext &context, CheckoutState &state);

    // 会员卡号x changed: an empty card is no member (no lookup); a card of this shop (of any shop
    // while 会员共享 is "真") prices the cart by the member mode; any other card takes the
    // no-member path.
    void applyMemberCard();
    // Reprices every line with member.会员折扣 and member.会员卡号, empties 备注, sums the lines and
    // shows the sum (showMemberTotal); member.会员折扣 is emptied afterwards.
    void applyMemberDiscountToCart();
    // The same repricing without the sum, keeping 备注 and leaving the checkout's fields alone (the
    // payable override reprices with it before it spreads a new amount). Each line starts from its
    // stock row: the member's price where the tier discount gives one, the line's own price
    // otherwise (also when member.会员折扣 is empty), so an earlier cut never carries over.
    void repriceCartWithMemberDiscount();
    // The lines at their prices without a member; 会员卡号 and 备注 emptied.
    void repriceCartWithoutMember();
    // 会员卡号 of every line := member.会员卡号.
    void tagCartWithMemberCard();
    // 应付款 := the repriced sum; 实收款 the same (the split's sum in split mode); the member payable
    // is that sum too.
    void showMemberTotal();
    // 超级按钮3: the member's points, as found, pay whole units of money in the split payment, no
    // more than the other parts leave due; the points left show in 会员积分x. Pressing again gives
    // the same figures.
    void useMemberPoints();

    // Stock queries made so far (the cart's rows are read once).
    int stockReads() const { return m_stockReads; }

private:
    struct Found {
        qint64 id = 0;
        QString 会员储值, 会员类别, 积分, 消费金额;
    };
    enum class Lookup { Found, NotFound, Failed };
    Lookup findMember(const QString &card, Found &found);
    void noMember();
    void memberFound(const QString &card, const Found &found);
    // Reads the stock rows of lines not read yet, in one query.
    void readStockRows();
    // Every line repriced by rule (nullopt: the line keeps its price); the cart changes only when
    // some line does.
    void repriceLines(const std::function<void(CartLine &, const StockPrice *)> &rule);
    void say(const QString &text);

    AppContext &m_context;
    CheckoutState &m_state;
    Cart &m_cart;
    QHash<qint64, StockPrice> m_stock; // by stock id; rows read for the window's life
    QSet<qint64> m_gone;               // ids read and found no row
    QString m_runningTotal;
    int m_stockReads = 0;
};

} // namespace cashier
