#include "cashier/LinePrice.h"

#include "cashier/Cart.h"
#include "context/AppContext.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace cashier {

int saleDecimals(const ShopSettings &settings)
{
    return int(std::clamp<qint64>(textToInteger(settings.销售), 0, 6));
}

LinePrice priceLine(const QString &special, const QString &tagPrice, const QString &itemFactor,
                    double quantity, const DiscountScheme &scheme, int decimals, bool atCreation)
{
    const double p = textToNumber(tagPrice);
    LinePrice out;
    if (special == kSpecialPriceMark) {
        out.折扣 = QStringLiteral("1");
        out.金额 = atCreation ? tagPrice : roundedText(p * quantity, decimals);
        return out;
    }
    bool priced = false;
    // An item without a factor of its own is not discounted by it (never a line priced 0).
    if (isFlagOn(scheme.商品折扣) && !itemFactor.trimmed().isEmpty()) {
        out.折扣 = itemFactor;
        out.金额 = roundedText(p * textToNumber(itemFactor) * quantity, decimals);
        priced = true;
    }
    // A stored factor the settings page would refuse ("7" from old data) never prices a line.
    if (isUsableDiscountFactor(scheme.统一折扣)) {
        out.折扣 = scheme.统一折扣;
        out.金额 = roundedText(p * textToNumber(scheme.统一折扣) * quantity, decimals);
        priced = true;
    }
    if (!priced) {
        out.折扣 = QStringLiteral("1");
        out.金额 = roundedText(p * quantity, decimals);
    }
    return out;
}

LinePrice repriceWithOwnCells(const CartLine &line, double quantity, const DiscountScheme &scheme,
                              int decimals)
{
    return priceLine(line.特价, line.吊牌价, line.折扣, quantity, scheme, decimals, false);
}

} // namespace cashier
