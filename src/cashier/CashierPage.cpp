#include "cashier/CashierPage.h"

#include "platform/InputMode.h"

#include "cashier/CartEditing.h"
#include "cashier/CartScanning.h"
#include "cashier/LineEditDialog.h"
#include "lists/ReportList.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace cashier {

CashierPage::CashierPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_ownCart(std::make_unique<Cart>()), m_cart(*m_ownCart)
{
    build();
}

CashierPage::CashierPage(AppContext &context, Cart &cart, QWidget *parent)
    : QWidget(parent), m_context(context), m_cart(cart)
{
    build();
    showCart(); // the cart may hold lines already
}

void CashierPage::build()
{
    setObjectName(QStringLiteral("前台收银"));

    m_scan = new QLineEdit(this);
    m_scan->setObjectName(QStringLiteral("编辑框1"));
    // Scanner keystrokes must not go through an input method.
    inputmode::latinOnly(m_scan);
    m_scan->installEventFilter(this);
    m_amount = new QLineEdit(this);
    m_amount->setObjectName(QStringLiteral("编辑框2"));
    m_amount->setReadOnly(true);
    m_amount->setFocusPolicy(Qt::NoFocus);
    // The amount due is read across the counter: large and bold.
    QFont big = m_amount->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    m_amount->setFont(big);
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont scanFont = m_scan->font();
    scanFont.setPointSizeF(scanFont.pointSizeF() * 1.4);
    m_scan->setFont(scanFont);

    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    // A scanner types into whatever has the keyboard: the list passes the codes on to the scan
    // box, so its keys must arrive as typed, never caught by an input method.
    m_list->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_list->installEventFilter(this);
    const QStringList &titles = Cart::columnTitles();
    for (int c = 0; c < CartColumnCount; ++c)
        m_list->addColumn(titles.at(c), Cart::columnWidths().at(c));

    auto button = [this](const char16_t *name, const char16_t *caption) {
        auto *b = new QPushButton(QString::fromUtf16(caption), this);
        b->setObjectName(QString::fromUtf16(name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    QPushButton *checkout = button(u"结算", u"结算[F5]");
    QPushButton *clear = button(u"清空", u"清空[Esc]");
    QPushButton *hold = button(u"开始挂单", u"挂单[F1]");
    QPushButton *held = button(u"解挂开始", u"解挂[F2]");
    QPushButton *lock = button(u"解挂开始1", u"锁屏[F4]");

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("菜单"));
    m_menu->addAction(QStringLiteral("修改本行(&E)"), this, &CashierPage::editCartLine);
    m_menu->addAction(QStringLiteral("删除本行(&D)"), this, &CashierPage::deleteCartLine);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("条码/款号"), this));
    top->addWidget(m_scan, 3);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("应付金额"), this));
    top->addWidget(m_amount, 1);
    auto *bottom = new QHBoxLayout;
    for (QPushButton *b : {checkout, clear, hold, held, lock})
        bottom->addWidget(b);
    bottom->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);

    connect(checkout, &QPushButton::clicked, this, &CashierPage::checkoutRequested);
    connect(clear, &QPushButton::clicked, this, &CashierPage::resetCart);
    connect(hold, &QPushButton::clicked, this, &CashierPage::holdRequested);
    connect(held, &QPushButton::clicked, this, &CashierPage::heldOrdersRequested);
    connect(lock, &QPushButton::clicked, this, &CashierPage::lockRequested);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_list->selectedRow() >= 0)
            editCartLine();
    });
    connect(m_list, &ReportList::rowContextMenuRequested, this, [this](int, const QPoint &globalPos) {
        if (m_list->selectedRow() >= 0)
            m_menu->popup(globalPos);
    });
    connect(&m_cart, &Cart::changed, this, &CashierPage::showCart);
    // The list is already rebuilt by changed(); a new line only needs scrolling to.
    connect(&m_cart, &Cart::lineAppended, this, [this](int row) { m_list->ensureRowVisible(row); });
}

void CashierPage::showCart()
{
    const int selected = m_list->selectedRow();
    m_list->clear();
    for (const CartLine &line : m_cart.lines())
        m_list->addRow(line.cells());
    if (selected >= 0 && selected < m_list->rowCount())
        m_list->selectRow(selected);
    sumCartAmount();
}

void CashierPage::sumCartAmount()
{
    m_amount->setText(m_cart.amountSum());
}

void CashierPage::scanItemIntoCart()
{
    cashier::scanItemIntoCart(m_context, m_cart, m_scan->text(), this);
    // The code stays in the box, selected, so that the next scan replaces it.
    returnToScanBox();
}

void CashierPage::returnToScanBox()
{
    // The keyboard comes back to the scan box after a chooser, a message, a line edit or a
    // deleted line: the cashier's next keystrokes are the next item's code.
    if (QWidget *w = window(); w && w->isVisible())
        w->activateWindow();
    m_scan->setFocus();
    m_scan->selectAll();
}

void CashierPage::clearScanInput()
{
    m_scan->clear();
}

void CashierPage::useFirstLayoutOnScanInputFocus()
{
    if (scanFocusHook)
        scanFocusHook();
}

void CashierPage::editCartLine()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    cashier::editCartLine(m_context, m_cart, row, this, releaseMainHotKeys, registerPosHotKeys);
    returnToScanBox();
}

void CashierPage::deleteCartLine()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    cashier::deleteCartLine(m_cart, row);
    returnToScanBox();
}

void CashierPage::resetCart()
{
    cashier::resetCart(m_cart);
    m_amount->clear();
}

void CashierPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The cashier scans as soon as the counter shows; a code left in the box from before is
    // selected, so the next scan replaces it instead of being appended to it.
    m_scan->setFocus();
    m_scan->selectAll();
}

bool CashierPage::isScanKey(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return true;
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key.text();
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!c.isPrint())
            return false;
    }
    return true;
}

void CashierPage::passKeyToScanBox(const QKeyEvent &key)
{
    // The first key of a new code (the list had the keyboard) replaces the code left in the box,
    // as after a scan; the keys after it are added to what is being typed.
    const bool newCode = m_list->hasFocus() && key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter;
    m_scan->setFocus();
    if (newCode)
        m_scan->selectAll();
    QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.text(), key.isAutoRepeat(), key.count());
    QCoreApplication::sendEvent(m_scan, &copy);
}

bool CashierPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isScanKey(*key)) {
            passKeyToScanBox(*key);
            return true;
        }
    }
    if (watched == m_scan) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                scanItemIntoCart();
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            useFirstLayoutOnScanInputFocus();
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                clearScanInput();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cashier
