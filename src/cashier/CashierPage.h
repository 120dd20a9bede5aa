#pragma once
// The counter page 前台收银: the scan box 编辑框1, the cart list 超级列表框1 (showing the Cart), the
// amount-due box 编辑框2 and the page's buttons. The page only passes user actions on to the
// cart functions; checkout, holding, held orders and the lock belong to their own windows and
// are reached through the signals.
#include <QWidget>
#include <functional>
#include <memory>

#include "cashier/Cart.h"

class AppContext;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPushButton;
class ReportList;

namespace cashier {

class CashierPage : public QWidget {
    Q_OBJECT
public:
    // The page with a cart of its own.
    explicit CashierPage(AppContext &context, QWidget *parent = nullptr);
    // The page showing a cart that lives elsewhere (the program's one cart); the cart must outlive
    // the page's use of it.
    CashierPage(AppContext &context, Cart &cart, QWidget *parent = nullptr);

    Cart &cart() { return m_cart; }
    AppContext &context() { return m_context; }
    QLineEdit *scanBox() const { return m_scan; }
    QLineEdit *amountBox() const { return m_amount; }
    ReportList *cartList() const { return m_list; }
    QMenu *cartMenu() const { return m_menu; }

    // Handlers, callable directly.
    void scanItemIntoCart();          // Enter in 编辑框1
    void clearScanInput();            // left button down in 编辑框1
    void useFirstLayoutOnScanInputFocus();
    void sumCartAmount();             // 编辑框2 := Σ 金额
    void editCartLine();              // "修改本行(&E)" and a double click on a selected row
    void deleteCartLine();            // "删除本行(&D)"
    void resetCart();                 // 清空 "清空[Esc]"

    // The hot keys of the counter are released while a window of its own takes the keyboard, and
    // registered again after (set by the keys' owner).
    std::function<void()> releaseMainHotKeys;
    std::function<void()> registerPosHotKeys;
    // Called when the scan box gets the focus (keyboard layout of scanners); none by default.
    std::function<void()> scanFocusHook;

Q_SIGNALS:
    void checkoutRequested();   // 结算 "结算[F5]"
    void holdRequested();       // 开始挂单 "挂单[F1]"
    void heldOrdersRequested(); // 解挂开始 "解挂[F2]"
    void lockRequested();       // 解挂开始1 "锁屏[F4]"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void showCart();
    void returnToScanBox();
    // Printable keys and Enter that reach the cart list (a click left the keyboard there) belong
    // to the scan box: a scan typed then is not lost.
    static bool isScanKey(const QKeyEvent &key);
    void passKeyToScanBox(const QKeyEvent &key);

    AppContext &m_context;
    std::unique_ptr<Cart> m_ownCart;
    Cart &m_cart;
    QLineEdit *m_scan = nullptr;
    QLineEdit *m_amount = nullptr;
    ReportList *m_list = nullptr;
    QMenu *m_menu = nullptr;
};

} // namespace cashier
