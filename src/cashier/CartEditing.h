#pragma once
// Changing the cart between scans and payment: the line edit's quantity and remark, deleting
// lines, clearing the cart, and pricing the lines afresh from their stock rows.
#include <QString>
#include <QStringList>

class AppContext;
class QWidget;

namespace cashier {

class Cart;
struct CartLine;

// resetCart: empties the totals' quantity, tagTotal and amountTotal, the salesperson, the typed
// amount due and every line. Shows nothing.
void resetCart(Cart &cart);
// deleteAllCartLines: every line goes, nothing else changes (held orders).
void deleteAllCartLines(Cart &cart);
// deleteCartLine: the line at row goes (no question). False when row is no line.
bool deleteCartLine(Cart &cart, int row);

// The stock test of the line edit: the units of the line's own stock row (its id, this shop).
struct LineStock {
    bool found = false;  // false: the row is gone or belongs to another shop
    QString quantity;    // 数量 as stored
    QString error;       // the query failed
};
LineStock readLineStock(AppContext &context, const CartLine &line);

// The refusal of a typed quantity, "" when it may be taken: more than the stock gives
// "该款库存数量【s】,小于你所要销售的数量【q】"; a line without stock row, or a failed query, its own
// text. Only a quantity above the line's own quantity is tested (a lower one is never applied).
QString lineStockRefusal(AppContext &context, const CartLine &line, const QString &typedQuantity);
// A typed quantity that is no positive whole number gets this text ("" when it is one).
QString quantityFormRefusal(const QString &typedQuantity);

// Takes the line edit's result back: a quantity above the line's own is applied and the line
// repriced with its own 吊牌价 and 折扣 (a lower or equal one is ignored); the remark always.
void applyLineEdit(const AppContext &context, Cart &cart, int row, const QString &quantity,
                   const QString &remark);

// The lines a repricing left at their price, by name: their stock row is gone, or it could not
// be read (the connection has logged why).
struct RepriceResult {
    QStringList gone;
    QStringList unread;
    bool isEmpty() const { return gone.isEmpty() && unread.isEmpty(); }
};

// restoreCartPrices: prices every line afresh from its stock row (by id) and empties 导购员,
// 会员卡号 and 备注, puts 结付 back to "现金"; then empties totals.quantity and the salesperson.
// A line whose stock row is gone or could not be read keeps its 折扣 and 金额.
RepriceResult restoreCartPrices(AppContext &context, Cart &cart);
// repriceCartWithoutMember: the same pricing, then only 会员卡号 and 备注 are emptied.
RepriceResult repriceCartWithoutMember(AppContext &context, Cart &cart);
// The notice for lines that kept their price ("" when there are none): a read that failed is
// told as such, never as a stock row that no longer exists.
QString keptPriceText(const RepriceResult &kept);

inline const QString kStockShortTextHead = QStringLiteral("该款库存数量【");

} // namespace cashier
