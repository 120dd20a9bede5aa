#pragma once
// The line price rule of the counter: special price, the item's own discount, the shop's uniform
// discount, else the tag price. Amounts are rounded to the shop's sale decimals (销售).
#include <QString>

#include "context/DiscountScheme.h"
#include "context/ShopSettings.h"

namespace cashier {

struct CartLine;

struct LinePrice {
    QString 折扣; // factor applied
    QString 金额; // line amount
    // The item's own factor was to price the line but is no factor (old data such as "8" or
    // "八折"): the line took its tag price instead.
    bool badItemFactor = false;
    bool operator==(const LinePrice &) const = default;
};

// The decimals N of sale amounts: the whole number of 销售 ("0", "1" or "2"), kept within 0..6.
int saleDecimals(const ShopSettings &settings);

// Prices a line of quantity q from its tag price p and the item's own factor f:
//  - special ("√"): 折扣 "1", 金额 round(p × q, N); at creation (atCreation, q = 1) 金额 is the stored
//    tag price text itself;
//  - else 商品折扣 "真" (and the item has a factor): 折扣 f, 金额 round(p × f × q, N); then a non-empty 统一折扣 wins:
//    折扣 统一折扣, 金额 round(p × 统一折扣 × q, N);
//  - when neither applies: 折扣 "1", 金额 round(p × q, N) (never an unpriced line).
// A factor, the item's or the uniform one, that is not above 0 and at most 1 never prices a line;
// a bad item factor that would have priced it is flagged (badItemFactor).
LinePrice priceLine(const QString &special, const QString &tagPrice, const QString &itemFactor,
                    double quantity, const DiscountScheme &scheme, int decimals, bool atCreation = false);

// Reprices a cart line for a new quantity with its own 吊牌价 and 折扣 cells (the line edit).
// What the cashier is told when an item's own factor cannot price its line ("" when it can or
// is not used): which item carries the bad factor, and that the line took its tag price.
QString itemFactorNotice(const QString &special, const QString &itemFactor, const DiscountScheme &scheme,
                         const QString &name, const QString &styleNo);

LinePrice repriceWithOwnCells(const CartLine &line, double quantity, const DiscountScheme &scheme,
                              int decimals);

} // namespace cashier
