#include "cashier/CheckoutWindow.h"

#include "platform/InputMode.h"

#include "cashier/Cart.h"
#include "cashier/CartEditing.h"
#include "context/AppContext.h"
#include "context/Rights.h"
#include "members/MemberPurchases.h"
#include "platform/MessageSeam.h"
#include "stock/FilterComboBox.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace cashier {

namespace {

using F = CheckoutField;

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false); // Enter confirms through the window's key, never by a default button
    b->setDefault(false);
    return b;
}

} // namespace

CheckoutWindow::CheckoutWindow(AppContext &context, Cart &cart, CheckoutHooks hooks, QWidget *parent)
    : QDialog(parent), m_context(context), m_cart(cart), m_hooks(std::move(hooks)), m_state(cart),
      m_memberPricing(context, m_state), m_override(context, m_state, m_memberPricing, cart)
{
    // The window runs modal through the message seam: anything opened above it raises the depth.
    m_baseDepth = MessageSeam::modalDepth() + 1;
    setObjectName(QStringLiteral("CheckoutWindow"));
    setWindowTitle(QStringLiteral("结算"));
    build();
    initCheckoutWindow();
}

CheckoutWindow::~CheckoutWindow() = default;

QComboBox *CheckoutWindow::salespersonBox() const
{
    return m_salesperson;
}

void CheckoutWindow::build()
{
    auto makeField = [this](F f, QWidget *parent) {
        auto *edit = new QLineEdit(parent);
        edit->setObjectName(checkoutFieldName(f));
        m_fields[int(f)] = edit;
        m_fieldOf.insert(edit, f);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, [this, f](const QString &text) {
            if (m_syncing)
                return;
            // Typed keys were checked on their way in; a paste or a drop is checked here. A split
            // part is checked against the other parts on every change.
            const bool typedKey = m_keyField == int(f);
            m_keyField = -1;
            if (m_state.acceptEdit(f, text, typedKey) && m_state.acceptSplitPart(f, text))
                m_state.setTypedText(f, text);
        });
        return edit;
    };

    auto *layout = new QVBoxLayout(this);
    auto *outer = new QGroupBox(this);
    outer->setObjectName(QStringLiteral("分组框1"));
    auto *amounts = new QFormLayout(outer);
    amounts->addRow(QStringLiteral("应付款"), makeField(F::应付款, outer));
    amounts->addRow(QStringLiteral("实收款"), makeField(F::实收款, outer));
    amounts->addRow(QStringLiteral("找零"), makeField(F::找零, outer));
    amounts->addRow(QStringLiteral("原价"), makeField(F::原价, outer));
    amounts->addRow(QStringLiteral("优惠"), makeField(F::优惠, outer));
    // The names' list never takes the keyboard: the cashier goes on typing initials while it shows.
    m_salesperson = new stock::FilterComboBox(outer);
    m_salesperson->setObjectName(QStringLiteral("导购员"));
    inputmode::preferLatin(m_salesperson); // salespeople are found by their initials
    amounts->addRow(QStringLiteral("导购员"), m_salesperson);
    m_fields[int(F::找零)]->setToolTip(kBalanceTip);

    auto *kinds = new QHBoxLayout;
    const QStringList radioNames{QStringLiteral("单选框1"), QStringLiteral("单选框2"), QStringLiteral("单选框3")};
    const QStringList radioCaptions{QStringLiteral("现金[F1]"), QStringLiteral("刷卡[F2]"), QStringLiteral("其它[F3]")};
    for (int i = 0; i < 3; ++i) {
        m_radios[i] = new QRadioButton(radioCaptions[i], outer);
        m_radios[i]->setObjectName(radioNames[i]);
        kinds->addWidget(m_radios[i]);
    }
    m_radios[0]->setChecked(true);
    amounts->addRow(kinds);

    m_splitGroup = new QGroupBox(this);
    m_splitGroup->setObjectName(QStringLiteral("分组框4"));
    auto *split = new QFormLayout(m_splitGroup);
    split->addRow(QStringLiteral("现金"), makeField(F::现金, m_splitGroup));
    split->addRow(QStringLiteral("银行"), makeField(F::银行, m_splitGroup));
    split->addRow(QStringLiteral("积分"), makeField(F::积分编辑框, m_splitGroup));
    split->addRow(QStringLiteral("优惠券"), makeField(F::优惠券, m_splitGroup));
    split->addRow(QStringLiteral("预    存"), makeField(F::储值, m_splitGroup));
    m_fields[int(F::积分编辑框)]->setToolTip(kPointsTip);
    m_splitGroup->hide();

    auto *memberGroup = new QGroupBox(this);
    memberGroup->setObjectName(QStringLiteral("分组框2"));
    auto *member = new QGridLayout(memberGroup);
    const QList<QPair<F, QString>> memberFields{
        {F::会员卡号x, QStringLiteral("会员卡号")}, {F::会员储值x, QStringLiteral("会员储值")},
        {F::会员类别x, QStringLiteral("会员类别")}, {F::会员积分x, QStringLiteral("会员积分")},
        {F::折扣方案x, QStringLiteral("折扣方案")}, {F::会员折扣x, QStringLiteral("会员折扣")},
    };
    for (int i = 0; i < memberFields.size(); ++i) {
        member->addWidget(new QLabel(memberFields[i].second, memberGroup), i / 2, (i % 2) * 2);
        member->addWidget(makeField(memberFields[i].first, memberGroup), i / 2, (i % 2) * 2 + 1);
    }
    auto *historyButton = makeButton(QStringLiteral("超级按钮4"), QStringLiteral("会员卡号"), memberGroup);
    historyButton->setToolTip(QStringLiteral("点此按钮查看该会员近期购物记录"));
    auto *pointsButton = makeButton(QStringLiteral("超级按钮3"), QStringLiteral("会员积分"), memberGroup);
    pointsButton->setToolTip(QStringLiteral("点此按钮使用积分抵扣功能"));
    member->addWidget(historyButton, 3, 0, 1, 2);
    member->addWidget(pointsButton, 3, 2, 1, 2);

    auto *buttons = new QHBoxLayout;
    m_promotion = makeButton(QStringLiteral("超级按钮5"), QStringLiteral("满额促销"), this);
    m_promotion->hide();
    auto *confirm = makeButton(QStringLiteral("超级按钮1"), QStringLiteral("确认[Enter]"), this);
    auto *cancel = makeButton(QStringLiteral("超级按钮2"), QStringLiteral("取消[Esc]"), this);
    buttons->addWidget(m_promotion);
    buttons->addStretch(1);
    buttons->addWidget(confirm);
    buttons->addWidget(cancel);

    layout->addWidget(outer);
    layout->addWidget(m_splitGroup);
    layout->addWidget(memberGroup);
    layout->addLayout(buttons);

    connect(m_radios[0], &QRadioButton::clicked, this, [this] { selectCashPayment(); });
    connect(m_radios[1], &QRadioButton::clicked, this, [this] { selectCardPayment(); });
    connect(m_radios[2], &QRadioButton::clicked, this, [this] { selectSplitPayment(); });
    connect(pointsButton, &QPushButton::clicked, this, [this] { m_memberPricing.useMemberPoints(); });
    connect(historyButton, &QPushButton::clicked, this, [this] { openMemberPurchasesWindow(); });
    connect(confirm, &QPushButton::clicked, this, [this] { confirmCheckout(); });
    connect(m_promotion, &QPushButton::clicked, this, [this] { applyPromotionAtCheckout(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelCheckout(); });
    // Only typing filters the names; a name picked from the list (click, arrow keys) is taken as it
    // is and the list keeps its names.
    connect(m_salesperson, &stock::FilterComboBox::typed, this, [this](const QString &text) {
        if (!m_syncing)
            refreshSalespersonCombo(text);
    });
    connect(m_salesperson, &QComboBox::editTextChanged, this, [this] {
        if (!m_syncing)
            selectSalesperson();
    });

    for (int key : {int(Qt::Key_F1), int(Qt::Key_F2), int(Qt::Key_F3), int(Qt::Key_Escape), int(Qt::Key_Return),
                    int(Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, [this, key] { handleCheckoutKey(key); });
    }

    m_state.notify = [this](const QString &text) {
        m_messageOpen = true;
        MessageSeam::message(this, QString(), text);
        m_messageOpen = false;
    };
    m_state.focusField = [this](F f) {
        m_fields[int(f)]->setFocus();
        m_fields[int(f)]->selectAll();
    };
    m_state.fieldChanged = [this](F f) { syncField(f); };
    m_state.memberCardChanged = [this] {
        m_memberPricing.applyMemberCard();
        // A card reprices the cart and drops an applied promotion: it may be applied again to the
        // member's amount.
        if (m_override.promotionDiscarded() && m_promotionsValid)
            m_promotion->show();
    };
    m_state.payableChanged = [this] { m_override.applyPayableOverride(); };
    for (int i = 0; i < kCheckoutFieldCount; ++i)
        syncField(F(i));
}

void CheckoutWindow::syncField(CheckoutField f)
{
    QLineEdit *edit = m_fields[int(f)];
    if (!edit)
        return;
    m_syncing = true;
    if (edit->text() != m_state.text(f))
        edit->setText(m_state.text(f));
    edit->setReadOnly(m_state.mode(f) == TypingMode::ReadOnly);
    m_syncing = false;
    m_splitGroup->setVisible(m_state.splitShown());
    // The radios follow the payment kind, also where member pricing or the points button set it
    // (setChecked runs no click handler).
    if (QRadioButton *kind = m_radios[int(m_state.paymentKind())]; kind && !kind->isChecked())
        kind->setChecked(true);
}

void CheckoutWindow::initCheckoutWindow()
{
    m_state.moneyDecimals = moneyDecimals(m_context.shopSettings);
    m_state.open(m_cart.totals, isFlagOn(m_context.discountScheme.自由优惠));
    loadSalespersonCombo();
    if (isFlagOn(m_context.shopSettings.满就送)) {
        m_promotionsValid = m_override.checkActivePromotion();
        m_promotion->setVisible(m_promotionsValid);
    }
    focusReceivedField();
    if (m_hooks.prepareWindow)
        m_hooks.prepareWindow(*this);
}

void CheckoutWindow::applyPromotionAtCheckout()
{
    if (m_override.applyPromotionAtCheckout())
        m_promotion->hide();
}

void CheckoutWindow::openMemberPurchasesWindow()
{
    members::openMemberPurchasesWindow(m_context, m_state.member.会员卡号, this);
}

void CheckoutWindow::focusReceivedField()
{
    QLineEdit *received = m_fields[int(F::实收款)];
    received->setFocus();
    received->selectAll();
}

bool CheckoutWindow::keysHeldBack() const
{
    if (m_confirming || m_closed)
        return true;
    if (MessageSeam::modalDepth() > m_baseDepth)
        return true;
    QWidget *modal = QApplication::activeModalWidget();
    return modal && modal != this;
}

bool CheckoutWindow::handleCheckoutKey(int key)
{
    if (keysHeldBack())
        return false;
    switch (key) {
    case Qt::Key_F1:
        m_radios[0]->setChecked(true);
        selectCashPayment();
        return true;
    case Qt::Key_F2:
        m_radios[1]->setChecked(true);
        selectCardPayment();
        return true;
    case Qt::Key_F3:
        m_radios[2]->setChecked(true);
        selectSplitPayment();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirmCheckout();
        return true;
    case Qt::Key_Escape:
        cancelCheckout();
        return true;
    default:
        return false;
    }
}

void CheckoutWindow::selectCashPayment() { m_state.selectCashPayment(); }
void CheckoutWindow::selectCardPayment() { m_state.selectCardPayment(); }
void CheckoutWindow::selectSplitPayment()
{
    m_state.selectSplitPayment();
    // 实收款 is read-only now: the cashier goes on with the cash part.
    QLineEdit *cash = m_fields[int(CheckoutField::现金)];
    cash->setFocus();
    cash->selectAll();
}

void CheckoutWindow::confirmCheckout()
{
    if (m_confirming || m_closed)
        return;
    m_confirming = true;
    QWidget *typingIn = focusWidget();
    m_lastResult = cashier::confirmCheckout(m_context, m_cart, m_state.saleRequest(), m_hooks.sale, this);
    m_confirming = false;
    if (m_lastResult.written()) {
        done(QDialog::Accepted);
        return;
    }
    if (m_lastResult.status == SaleStatus::Underpaid) {
        // The cashier types the corrected amount next: it replaces the refused one instead of
        // being appended to it.
        if (auto *edit = qobject_cast<QLineEdit *>(typingIn); edit && !edit->isReadOnly()) {
            edit->setFocus();
            edit->selectAll();
        }
    }
}

void CheckoutWindow::cancelCheckout()
{
    if (m_confirming || m_closed)
        return;
    // The prices come back in the closing step, which every way of ending the window runs.
    done(QDialog::Rejected);
}

void CheckoutWindow::reject()
{
    cancelCheckout();
}

void CheckoutWindow::done(int result)
{
    closeCheckoutWindow();
    QDialog::done(result);
}

void CheckoutWindow::closeCheckoutWindow()
{
    if (m_closed)
        return;
    m_closed = true;
    m_override.endPayableEdit();
    m_cart.totals.tagTotal.clear();
    m_cart.totals.amountTotal.clear();
    if (m_hooks.registerMainKeys)
        m_hooks.registerMainKeys();
    const RepriceResult kept = restoreCartPrices(m_context, m_cart);
    if (!kept.isEmpty())
        MessageSeam::message(this, QString(), keptPriceText(kept));
}

void CheckoutWindow::loadSalespersonCombo()
{
    m_names = salespersonNames(m_context);
    m_syncing = true;
    m_salesperson->setItemsKeepingText(m_names);
    m_salesperson->setEditText(QString());
    m_syncing = false;
}

void CheckoutWindow::refreshSalespersonCombo(const QString &typed)
{
    const SalespersonChoice choice = matchSalespersons(m_names, typed);
    // One match becomes the text and the list closes; several open the list; the typed text stays.
    m_syncing = true;
    m_salesperson->showFilterResult(choice.items);
    m_syncing = false;
    m_state.setSalesperson(m_salesperson->currentText());
}

void CheckoutWindow::selectSalesperson()
{
    m_state.setSalesperson(m_salesperson->currentText());
}

bool CheckoutWindow::eventFilter(QObject *watched, QEvent *event)
{
    const auto it = m_fieldOf.constFind(watched);
    if (it != m_fieldOf.constEnd()) {
        if ((event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod)
            && (m_messageOpen || keysHeldBack())) {
            // Keys typed on before a message was answered were meant for a text it refused:
            // none of them is appended.
            return true;
        }
        const bool commandKey = event->type() == QEvent::KeyPress
                                && (static_cast<QKeyEvent *>(event)->modifiers() & Qt::ControlModifier);
        // A command key (Ctrl+V, Ctrl+Z) types nothing itself; the text it leaves is checked as it changes.
        if (!commandKey && (event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod)) {
            const QString typed = event->type() == QEvent::KeyPress
                                      ? static_cast<QKeyEvent *>(event)->text()
                                      : static_cast<QInputMethodEvent *>(event)->commitString();
            const QLineEdit *edit = m_fields[int(*it)];
            const bool replacing = edit->hasSelectedText();
            const int from = replacing ? edit->selectionStart() : edit->cursorPosition();
            const int length = replacing ? int(edit->selectedText().size()) : 0;
            m_keyField = -1;
            if (!m_state.acceptTyping(*it, edit->text(), from, length, typed))
                return true; // refused: acceptTyping has told the cashier why
            if (!typed.isEmpty())
                m_keyField = int(*it);
        } else if (event->type() == QEvent::FocusIn) {
            m_state.beginTyping(*it);
        }
        if (event->type() == QEvent::KeyPress && commandKey)
            m_keyField = -1;
        if (event->type() == QEvent::MouseButtonRelease && *it == F::应付款) {
            // The cashier is about to type the amount due: each change now moves the lines.
            m_override.beginPayableEdit();
            m_fields[int(F::应付款)]->selectAll();
        } else if (event->type() == QEvent::FocusOut && *it == F::应付款) {
            m_override.endPayableEdit();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const F f = *it;
            if (f == F::实收款 || f == F::现金 || f == F::银行 || f == F::优惠券 || f == F::储值)
                m_fields[int(f)]->selectAll();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CheckoutWindow::keyPressEvent(QKeyEvent *event)
{
    // Enter and Esc belong to the window's keys; the dialog's own handling never closes or confirms.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool startCheckout(AppContext &context, Cart &cart, const CheckoutHooks &hooks, QWidget *parent)
{
    if (cart.isEmpty()) {
        MessageSeam::message(parent, QString(), kEmptyCheckoutText);
        return false;
    }
    if (!rights::checkRight(context, QStringLiteral("前台收银"), parent, rights::Refusal::Cashier))
        return false;
    if (cart.isBeingSold())
        return false;
    computeCartTotals(cart);
    if (hooks.releaseMainKeys)
        hooks.releaseMainKeys();
    CheckoutWindow window(context, cart, hooks, parent);
    MessageSeam::exec(&window);
    window.closeCheckoutWindow();
    return true;
}

} // namespace cashier
