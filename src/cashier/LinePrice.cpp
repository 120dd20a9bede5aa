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
    // An item without a factor of its own is not discounted by it (never a line priced 0); a stored
    // factor purchase entry would refuse ("8", "八折" from old data) never prices a line.
    if (isFlagOn(scheme.商品折扣) && !itemFactor.trimmed().isEmpty()) {
        if (isUsableDiscountFactor(toHalfWidth(itemFactor).trimmed())) {
            out.折扣 = itemFactor;
            out.金额 = roundedText(p * textToNumber(itemFactor) * quantity, decimals);
            priced = true;
        } else {
            out.badItemFactor = true;
        }
    }
    // A stored factor the settings page would refuse ("7" from old data) never prices a line.
    if (isUsableDiscountFactor(scheme.统一折扣)) {
        out.badItemFactor = false; // the uniform factor prevails anyway
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

QString itemFactorNotice(const QString &special, const QString &itemFactor, const DiscountScheme &scheme,
                         const QString &name, const QString &styleNo)
{
    if (!priceLine(special, QString(), itemFactor, 1.0, scheme, 0).badItemFactor)
        return QString();
    return QStringLiteral("商品【") + name + QStringLiteral("】（款号：") + styleNo + QStringLiteral("）的商品折扣“") + itemFactor
           + QStringLiteral("”不是0到1之间的小数，本行已按吊牌价计算。\r\n请到采购入库修改该商品的折扣！");
}

LinePrice repriceWithOwnCells(const CartLine &line, double quantity, const DiscountScheme &scheme,
                              int decimals)
{
    return priceLine(line.特价, line.吊牌价, line.折扣, quantity, scheme, decimals, false);
}

} // namespace cashier
