#pragma once
// What the cashier's six main keys do on the page 前台收银: Esc clears the cart, F5 opens the
// checkout (both only when the cart has lines), F1 holds the order (or says the cart is empty),
// F2 opens the held orders, F4 the lock set-up, F8 the cash drawer. The main window owns the keys
// and calls these actions.
#include <QString>
#include <functional>

class QWidget;

namespace cashier {

class Cart;

enum class PosKey { Esc, F5, F1, F2, F4, F8 };

inline const QString kEmptyHoldText = QStringLiteral("当前列表还没有订单！");

struct CashierKeyActions {
    std::function<void()> startCheckout;        // F5
    std::function<void()> holdCurrentOrder;     // F1, with lines
    std::function<void()> openHeldOrdersWindow; // F2
    std::function<void()> openLockSetupDialog;  // F4 (the six keys are released by the caller)
    std::function<void()> openCashDrawer;       // F8; empty = the drawer of sql.ini
};

// Runs the key's action on the cart. While a sale of the cart is being written, Esc and F5 do
// nothing.
void handleCashierKey(PosKey key, Cart &cart, const CashierKeyActions &actions, QWidget *parent = nullptr);

} // namespace cashier
