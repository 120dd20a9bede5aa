#pragma once
// The held orders window "挂单预览表": the shop's held orders in 超级列表框1, one row per order; the
// menu "删除本行" deletes the selected order, a double click loads it back into the cart after the
// cashier agreed to lose what the cart holds.
#include <QDialog>

class AppContext;
class QMenu;
class ReportList;

namespace cashier {

class Cart;

// 开始挂单 and F1: holds the cart (an empty one: "暂无数据！"); the cart is emptied only once the
// order is stored, and the cashier is told the number, or that nothing was held.
void holdCurrentOrder(AppContext &context, Cart &cart, QWidget *parent);
// 解挂开始 and F2: the held orders window, modal.
void openHeldOrdersWindow(AppContext &context, Cart &cart, QWidget *parent);

class HeldOrdersWindow : public QDialog {
    Q_OBJECT
public:
    HeldOrdersWindow(AppContext &context, Cart &cart, QWidget *parent = nullptr);

    void initHeldOrdersWindow();  // today refreshed, the list filled
    void loadHeldOrderList();
    void deleteHeldOrder();       // "删除本行"
    void restoreHeldOrder();      // double click
    // The order's lines appended to the cart; false (after saying so) when they could not be read.
    bool loadHeldOrderIntoCart();

    ReportList *list() const { return m_list; }
    QMenu *menu() const { return m_menu; }
    QString heldOrderToRestore() const { return m_toRestore; }

private:
    QString selectedNumber() const;

    AppContext &m_context;
    Cart &m_cart;
    ReportList *m_list = nullptr;
    QMenu *m_menu = nullptr;
    QString m_toRestore; // heldOrderToRestore
};

} // namespace cashier
