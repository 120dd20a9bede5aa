#pragma once
// The checkout window (caption "结算"): the amounts of the sale, the payment kind (cash, bank card
// or a split), the salesperson and the member card; confirming writes the sale, cancelling gives
// the cart its prices back. Its keys F1, F2, F3, Esc and Enter act while it is the active window
// and never while a message box or another modal window of the program is open.
#include <QDialog>
#include <QHash>
#include <QStringList>
#include <array>
#include <functional>

// moc cannot read enumerators spelled in Chinese; the window declares no signals or slots that need them.
#ifndef Q_MOC_RUN
#include "cashier/CheckoutState.h"
#include "cashier/MemberPricing.h"
#include "cashier/PayableOverride.h"
#include "cashier/SaleWriter.h"
#endif

class AppContext;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace stock {
class FilterComboBox;
}

namespace cashier {

class Cart;

// What opening and closing the checkout needs of the main window and the later features.
struct CheckoutHooks {
    std::function<void()> releaseMainKeys;  // the six main keys, before the window opens
    std::function<void()> registerMainKeys; // registerPosHotKeys, when it closes
    SaleHooks sale;                         // receipt printer, stock alarm report
    // Member pricing, the promotion and the typed payable plug in here once the window is built.
    std::function<void(class CheckoutWindow &)> prepareWindow;
};

inline const QString kEmptyCheckoutText = QStringLiteral("当前例表没有要结算的产品！");

class CheckoutWindow : public QDialog
{
    Q_OBJECT
public:
    CheckoutWindow(AppContext &context, Cart &cart, CheckoutHooks hooks, QWidget *parent = nullptr);
    ~CheckoutWindow() override;

    CheckoutState &state() { return m_state; }
    // The member card's pricing and points (会员卡号x, 超级按钮3); the payable override reprices with it.
    MemberPricing &memberPricing() { return m_memberPricing; }
    // The promotion (超级按钮5) and the amount due typed into 应付款.
    PayableOverride &payableOverride() { return m_override; }
    void applyPromotionAtCheckout();
    QLineEdit *field(CheckoutField f) const { return m_fields[int(f)]; }
    QComboBox *salespersonBox() const;
    QGroupBox *splitGroup() const { return m_splitGroup; }
    QPushButton *promotionButton() const { return m_promotion; }

    // The window's keys: Qt::Key_F1 cash, F2 card, F3 split, Escape cancel, Return/Enter confirm.
    // False when the key was held back (a message box or modal window is open, or a sale is being
    // written).
    bool handleCheckoutKey(int key);

    void selectCashPayment();
    void selectCardPayment();
    void selectSplitPayment();
    void confirmCheckout();
    void cancelCheckout();
    // The last confirmation's result (status Failed before any).
    const SaleResult &lastResult() const { return m_lastResult; }

    void loadSalespersonCombo();
    void refreshSalespersonCombo(const QString &typed);
    void selectSalesperson();
    void focusReceivedField();
    // 超级按钮4 "会员卡号": the recent purchases of the card the checkout accepted.
    void openMemberPurchasesWindow();

    // Runs once, however the window ends: the cart totals emptied, the main keys back, the cart's
    // prices restored.
    void closeCheckoutWindow();

    void done(int result) override;
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build();
    void initCheckoutWindow();
    void syncField(CheckoutField f);
    bool keysHeldBack() const;

    AppContext &m_context;
    Cart &m_cart;
    CheckoutHooks m_hooks;
    CheckoutState m_state;
    MemberPricing m_memberPricing;
    PayableOverride m_override;
    bool m_promotionsValid = false; // the shop's promotions are on and all valid at opening
    std::array<QLineEdit *, kCheckoutFieldCount> m_fields{};
    QHash<QObject *, CheckoutField> m_fieldOf;
    QRadioButton *m_radios[3] = {};
    QGroupBox *m_splitGroup = nullptr;
    stock::FilterComboBox *m_salesperson = nullptr;
    QPushButton *m_promotion = nullptr;
    QStringList m_names;
    SaleResult m_lastResult;
    int m_baseDepth = 0;
    bool m_syncing = false;
    bool m_confirming = false;
    bool m_closed = false;
    int m_keyField = -1;         // the field whose last key passed the typing check, until its change
    bool m_messageOpen = false; // a message of the checkout's own is being shown
};

// The checkout of the page 前台收银 (button 结算[F5] and the F5 key): an empty cart and a missing
// 前台收银 right are refused with their messages; otherwise the cart is totalled, the main keys
// are released and the window runs modal. Returns whether the window opened.
bool startCheckout(AppContext &context, Cart &cart, const CheckoutHooks &hooks, QWidget *parent = nullptr);

} // namespace cashier
