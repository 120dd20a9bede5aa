#include "cashier/CashierKeys.h"

#include "cashier/Cart.h"
#include "cashier/CartEditing.h"
#include "cashier/CashDrawer.h"
#include "platform/MessageSeam.h"

namespace cashier {

namespace {

void run(const std::function<void()> &action)
{
    if (action)
        action();
}

} // namespace

void handleCashierKey(PosKey key, Cart &cart, const CashierKeyActions &actions, QWidget *parent)
{
    switch (key) {
    case PosKey::Esc:
        if (!cart.isEmpty() && !cart.isBeingSold())
            resetCart(cart);
        break;
    case PosKey::F5:
        if (!cart.isEmpty() && !cart.isBeingSold())
            run(actions.startCheckout);
        break;
    case PosKey::F1:
        if (cart.isEmpty())
            MessageSeam::message(parent, QString(), kEmptyHoldText);
        else
            run(actions.holdCurrentOrder);
        break;
    case PosKey::F2:
        run(actions.openHeldOrdersWindow);
        break;
    case PosKey::F4:
        run(actions.openLockSetupDialog);
        break;
    case PosKey::F8:
        if (actions.openCashDrawer)
            actions.openCashDrawer();
        else
            openCashDrawer();
        break;
    }
}

} // namespace cashier
