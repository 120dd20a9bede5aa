#include "cashier/MemberPricing.h"

#include "cashier/Cart.h"
#include "cashier/CartEditing.h"
#include "cashier/CheckoutState.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"

namespace cashier {

namespace {

using F = CheckoutField;

const QString kMemberTable = QStringLiteral("会员管理");
const QString kStockTable = QStringLiteral("采购入库");

// A sum of line amounts as text, without the binary noise of the additions.
QString sumText(double sum)
{
    return numberToText(roundTo(sum, 6));
}

double lineSum(const Cart &cart)
{
    double sum = 0;
    for (const CartLine &line : cart.lines())
        sum += textToNumber(line.金额);
    return sum;
}

} // namespace

MemberMode memberMode(const ShopSettings &settings)
{
    const bool points = isFlagOn(settings.积分模式);
    const bool upgrade = isFlagOn(settings.升级模式);
    const bool onTop = isFlagOn(settings.折上折);
    if (!points && upgrade)
        return onTop ? MemberMode::DiscountOnDiscount : MemberMode::Upgrade;
    if (points && !upgrade && !onTop)
        return MemberMode::Points;
    return MemberMode::None;
}

QString memberModeText(MemberMode mode)
{
    switch (mode) {
    case MemberMode::DiscountOnDiscount: return QStringLiteral("折上折模式");
    case MemberMode::Upgrade: return QStringLiteral("升级模式");
    case MemberMode::Points: return QStringLiteral("积分模式");
    case MemberMode::None: break;
    }
    return QString();
}

QString tierDiscountOf(const std::array<MemberTier, 3> &tiers, const QString &tierName)
{
    QString discount;
    if (tierName.isEmpty())
        return discount;
    for (int tier = 2; tier >= 0; --tier)
        if (tiers[tier].会员类别 == tierName)
            discount = tiers[tier].会员折扣;
    return discount;
}

std::optional<LinePrice> memberLinePrice(const StockPrice &row, double quantity, const QString &tierDiscount,
                                         const DiscountScheme &scheme, const ShopSettings &settings)
{
    const int decimals = saleDecimals(settings);
    const double p = textToNumber(row.吊牌价);
    if (row.特价 == kSpecialPriceMark)
        return LinePrice{QStringLiteral("1"), roundedText(p * quantity, decimals)};
    const double d = textToNumber(tierDiscount);
    const bool onTop = isFlagOn(settings.折上折);
    auto priced = [&](double factor) {
        const double amount = onTop ? roundTo(roundTo(p * factor * quantity, decimals) * d, decimals)
                                    : roundTo(p * d * quantity, decimals);
        return LinePrice{tierDiscount, numberToText(amount)};
    };
    std::optional<LinePrice> out;
    if (isFlagOn(scheme.商品折扣)) {
        // An item without a usable factor of its own is not discounted by it.
        const QString own = toHalfWidth(row.折扣).trimmed();
        out = priced(isUsableDiscountFactor(own) ? textToNumber(own) : 1.0);
    }
    if (isUsableDiscountFactor(scheme.统一折扣))
        out = priced(textToNumber(scheme.统一折扣));
    return out;
}

QString pointsTooFewText(const ShopSettings &settings)
{
    return QStringLiteral("积分低于") + settings.积分值 + QStringLiteral("分，无法使用！！！");
}

MemberPricing::MemberPricing(AppContext &context, CheckoutState &state)
    : m_context(context), m_state(state), m_cart(state.cart())
{
}

void MemberPricing::say(const QString &text)
{
    if (m_state.notify)
        m_state.notify(text);
    else
        MessageSeam::message(nullptr, QString(), text);
}

MemberPricing::Lookup MemberPricing::findMember(const QString &card, Found &found)
{
    data::Connection &connection = m_context.connection();
    data::Sql where = data::eq(QStringLiteral("会员卡号"), card);
    if (!isFlagOn(m_context.shopSettings.会员共享))
        where = data::both(where, data::eq(QStringLiteral("所属店铺"), m_context.currentShop));
    data::RecordSet row(connection);
    if (!row.open(data::buildSelectSql(connection.dialect(), kMemberTable, where, true, QStringLiteral("id ASC"), true)))
        return Lookup::Failed;
    if (row.rowCount() <= 0)
        return Lookup::NotFound;
    found.id = row.integer(QStringLiteral("id"));
    found.会员储值 = row.text(QStringLiteral("会员储值"));
    found.会员类别 = row.text(QStringLiteral("会员类别"));
    found.积分 = row.text(QStringLiteral("积分"));
    found.消费金额 = row.text(QStringLiteral("消费金额"));
    return Lookup::Found;
}

void MemberPricing::applyMemberCard()
{
    const QString card = m_state.text(F::会员卡号x);
    if (card.isEmpty()) {
        noMember();
        return;
    }
    Found found;
    switch (findMember(card, found)) {
    case Lookup::Found:
        memberFound(card, found);
        break;
    case Lookup::NotFound:
        noMember();
        break;
    case Lookup::Failed:
        noMember();
        say(kMemberLookupFailedText);
        break;
    }
}

void MemberPricing::memberFound(const QString &card, const Found &found)
{
    CheckoutMember &member = m_state.member;
    member.id = found.id;
    member.积分 = QString::number(textToInteger(found.积分));
    member.消费金额 = found.消费金额;
    member.会员储值 = found.会员储值;
    m_state.setText(F::会员储值x, found.会员储值);
    m_state.setText(F::会员类别x, found.会员类别);
    m_state.setText(F::会员积分x, member.积分);

    const MemberMode mode = memberMode(m_context.shopSettings);
    switch (mode) {
    case MemberMode::DiscountOnDiscount:
    case MemberMode::Upgrade: {
        const QString discount = tierDiscountOf(m_context.memberTiers, found.会员类别);
        m_state.setText(F::折扣方案x, memberModeText(mode));
        m_state.setText(F::会员折扣x, discount);
        member.会员卡号 = card;
        if (discount.isEmpty()) {
            // A tier the shop does not have: the prices without a member, the card on the lines.
            repriceCartWithoutMember();
            tagCartWithMemberCard();
            m_runningTotal = sumText(lineSum(m_cart));
            showMemberTotal();
        } else {
            member.会员折扣 = discount;
            applyMemberDiscountToCart();
        }
        break;
    }
    case MemberMode::Points:
        m_state.setText(F::折扣方案x, memberModeText(mode));
        m_state.setText(F::会员折扣x, QString());
        member.payable = m_cart.totals.amountTotal;
        member.会员卡号 = card;
        tagCartWithMemberCard();
        break;
    case MemberMode::None:
        // No member prices, but the sale is the member's: the card goes on the lines.
        member.会员卡号 = card;
        tagCartWithMemberCard();
        break;
    }

    // The payments that depend on the member start afresh with this one.
    if (m_state.splitShown()) {
        m_state.setText(F::积分编辑框, QStringLiteral("0"));
        m_state.setText(F::储值, QStringLiteral("0"));
        m_state.recalcReceivedFromSplit();
    } else {
        m_state.setText(F::积分编辑框, QString());
    }
    if (m_state.focusField)
        m_state.focusField(F::实收款);
}

void MemberPricing::noMember()
{
    CheckoutMember &member = m_state.member;
    // A card typed key by key passes through prefixes that are no card: while no member was found
    // there is nothing to undo, and the payment the cashier chose stays as it is.
    const bool hadMember = member.id != 0;
    member.会员储值.clear();
    member.消费金额.clear();
    member.积分.clear();
    member.会员卡号.clear();
    member.会员折扣.clear();
    member.id = 0;
    repriceCartWithoutMember();
    const QString amount = sumText(lineSum(m_cart));
    member.payable = amount;
    for (F f : {F::积分编辑框, F::会员储值x, F::折扣方案x, F::会员类别x, F::会员折扣x, F::会员积分x})
        m_state.setText(f, QString());
    m_state.setText(F::应付款, amount);
    if (!hadMember && m_state.paymentKind() != PaymentKind::Cash) {
        if (m_state.splitShown())
            m_state.recalcReceivedFromSplit();
        return;
    }
    // The member's prices, points and stored value are gone: cash, as F1 gives it, every line
    // "现金", 实收款 typed and equal to 应付款, the split hidden.
    m_state.selectCashPayment();
}

void MemberPricing::readStockRows()
{
    QString marks;
    QVariantList ids;
    QSet<qint64> asked;
    for (const CartLine &line : m_cart.lines()) {
        const qint64 id = line.stockId();
        if (m_stock.contains(id) || m_gone.contains(id) || asked.contains(id))
            continue;
        asked.insert(id);
        marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        ids << id;
    }
    if (ids.isEmpty())
        return;
    data::Connection &connection = m_context.connection();
    data::RecordSet rows(connection);
    ++m_stockReads;
    if (!rows.open(data::buildSelectSql(connection.dialect(), kStockTable,
                                        data::Sql(QStringLiteral("id IN (") + marks + u')', ids), true,
                                        QStringLiteral("id ASC"), true))) {
        RepriceResult kept;
        for (const CartLine &line : m_cart.lines())
            if (asked.contains(line.stockId()))
                kept.unread << line.商品名称;
        say(keptPriceText(kept));
        return;
    }
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext()) {
        const qint64 id = rows.integer(QStringLiteral("id"));
        m_stock.insert(id, StockPrice{rows.text(QStringLiteral("折扣")), rows.text(QStringLiteral("吊牌价")),
                                      rows.text(QStringLiteral("特价"))});
        asked.remove(id);
    }
    m_gone.unite(asked);
}

void MemberPricing::repriceLines(const std::function<void(CartLine &, const StockPrice *)> &rule)
{
    readStockRows();
    QList<CartLine> lines = m_cart.lines();
    bool changed = false;
    for (CartLine &line : lines) {
        const CartLine before = line;
        const auto it = m_stock.constFind(line.stockId());
        rule(line, it == m_stock.constEnd() ? nullptr : &*it);
        changed = changed || !(line == before);
    }
    if (changed)
        m_cart.replaceAll(lines);
}

void MemberPricing::repriceCartWithoutMember()
{
    const int decimals = saleDecimals(m_context.shopSettings);
    repriceLines([&](CartLine &line, const StockPrice *row) {
        // A line whose stock row is gone keeps its price.
        if (row) {
            const LinePrice price = priceLine(row->特价, row->吊牌价, row->折扣, textToNumber(line.数量),
                                              m_context.discountScheme, decimals, false);
            line.折扣 = price.折扣;
            line.金额 = price.金额;
        }
        line.会员卡号.clear();
        line.备注.clear();
    });
}

void MemberPricing::repriceCartWithMemberDiscount()
{
    const CheckoutMember &member = m_state.member;
    const int decimals = saleDecimals(m_context.shopSettings);
    repriceLines([&](CartLine &line, const StockPrice *row) {
        // Every line starts again from its stock row, never from an amount a promotion or a typed
        // amount due has cut: its own price, then the member's price where her tier gives one. A
        // member without a tier discount (a tier the shop does not have, or none) pays own prices.
        if (row) {
            const double quantity = textToNumber(line.数量);
            LinePrice price = priceLine(row->特价, row->吊牌价, row->折扣, quantity, m_context.discountScheme,
                                        decimals, false);
            if (!member.会员折扣.isEmpty()) {
                if (const auto memberPrice = memberLinePrice(*row, quantity, member.会员折扣,
                                                             m_context.discountScheme, m_context.shopSettings))
                    price = *memberPrice;
            }
            line.折扣 = price.折扣;
            line.金额 = price.金额;
        }
        line.会员卡号 = member.会员卡号;
    });
    m_state.member.会员折扣.clear();
}

void MemberPricing::applyMemberDiscountToCart()
{
    repriceCartWithMemberDiscount();
    QList<CartLine> lines = m_cart.lines();
    bool changed = false;
    for (CartLine &line : lines) {
        changed = changed || !line.备注.isEmpty();
        line.备注.clear();
    }
    if (changed)
        m_cart.replaceAll(lines);
    m_runningTotal = sumText(lineSum(m_cart));
    showMemberTotal();
}

void MemberPricing::tagCartWithMemberCard()
{
    const QString card = m_state.member.会员卡号;
    for (const CartLine &line : m_cart.lines()) {
        if (line.会员卡号 != card) {
            m_cart.setColumnForAll(Col会员卡号, card);
            return;
        }
    }
}

void MemberPricing::showMemberTotal()
{
    const QString total = m_runningTotal;
    m_runningTotal.clear();
    m_state.member.payable = total;
    m_state.setText(F::应付款, total);
    if (m_state.splitShown())
        m_state.recalcReceivedFromSplit(); // 实收款 stays the sum of the split parts
    else
        m_state.setText(F::实收款, total);
}

void MemberPricing::useMemberPoints()
{
    const ShopSettings &settings = m_context.shopSettings;
    // Always from the points the member had when found: a second press gives the same figures.
    const qint64 points = textToInteger(m_state.member.积分);
    if (points < textToInteger(settings.积分值)) {
        say(pointsTooFewText(settings));
        return;
    }
    if (textToInteger(settings.抵扣值) <= 0) {
        say(kNoPointsRateText);
        return;
    }
    if (!m_state.splitShown())
        m_state.selectSplitPayment();
    // Points pay at most what the other parts leave due: change comes out of cash only, and the
    // member keeps the rest of her points.
    const PointsPayment paid = pointsPayment(points, settings, m_state.dueLeftForPoints());
    m_state.setText(F::积分编辑框, QString::number(paid.money));
    m_state.setText(F::会员积分x, QString::number(paid.pointsLeft));
    m_state.recalcReceivedFromSplit();
}

} // namespace cashier
