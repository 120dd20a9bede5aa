#include "cashier/HeldOrdersWindow.h"

#include "cashier/Cart.h"
#include "cashier/CartEditing.h"
#include "cashier/HeldOrders.h"
#include "context/AppContext.h"
#include "context/Today.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"

#include <QMenu>
#include <QVBoxLayout>

namespace cashier {

void holdCurrentOrder(AppContext &context, Cart &cart, QWidget *parent)
{
    const HoldResult result = holdOrder(context, cart);
    switch (result.status) {
    case HoldStatus::EmptyCart:
        MessageSeam::message(parent, QString(), heldtexts::Empty);
        break;
    case HoldStatus::Held:
        deleteAllCartLines(cart); // the amount-due box follows the cart
        MessageSeam::message(parent, QString(), heldtexts::held(result.number));
        break;
    case HoldStatus::Failed:
        MessageSeam::message(parent, QString(), heldtexts::HoldFailed);
        break;
    }
}

void openHeldOrdersWindow(AppContext &context, Cart &cart, QWidget *parent)
{
    HeldOrdersWindow window(context, cart, parent);
    MessageSeam::exec(&window);
}

HeldOrdersWindow::HeldOrdersWindow(AppContext &context, Cart &cart, QWidget *parent)
    : QDialog(parent), m_context(context), m_cart(cart)
{
    setObjectName(QStringLiteral("HeldOrdersWindow"));
    setWindowTitle(QStringLiteral("挂单预览表"));
    resize(780, 360);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    const std::pair<const char16_t *, int> columns[] = {{u"挂单号", 60},  {u"挂单时间", 130}, {u"商品名称", 150},
                                                        {u"分类", 60},    {u"款号", 80},      {u"总单数", 55},
                                                        {u"总金额", 70},  {u"备注", 150}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);

    m_menu = new QMenu(this);
    m_menu->addAction(QStringLiteral("删除本行"), this, &HeldOrdersWindow::deleteHeldOrder);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (m_list->selectedRow() >= 0)
            m_menu->popup(m_list->viewport()->mapToGlobal(pos));
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, &HeldOrdersWindow::restoreHeldOrder);
    initHeldOrdersWindow();
}

void HeldOrdersWindow::initHeldOrdersWindow()
{
    refreshToday(m_context);
    loadHeldOrderList();
}

void HeldOrdersWindow::loadHeldOrderList()
{
    const HeldOrderRows orders = listHeldOrders(m_context);
    if (!orders.ok) {
        MessageSeam::message(this, QString(), heldtexts::ReadFailed);
        return;
    }
    m_list->clear();
    for (const QStringList &row : orders.rows)
        m_list->ensureRowVisible(m_list->addRow(row));
}

QString HeldOrdersWindow::selectedNumber() const
{
    const int row = m_list->selectedRow();
    return row < 0 ? QString() : m_list->cellText(row, 0);
}

void HeldOrdersWindow::deleteHeldOrder()
{
    const QString number = selectedNumber();
    if (number.isEmpty())
        return;
    if (!cashier::deleteHeldOrder(m_context, number))
        MessageSeam::message(this, QString(), heldtexts::DeleteFailed);
    loadHeldOrderList();
}

void HeldOrdersWindow::restoreHeldOrder()
{
    m_toRestore.clear();
    const QString number = selectedNumber();
    if (number.isEmpty())
        return;
    if (!MessageSeam::question(this, heldtexts::RestoreTitle, heldtexts::RestoreQuestion))
        return;
    m_toRestore = number;
    if (loadHeldOrderIntoCart())
        accept();
}

bool HeldOrdersWindow::loadHeldOrderIntoCart()
{
    // Read first: a failed read leaves the cart as it was.
    const HeldOrderLines held = heldOrderLines(m_context, m_toRestore);
    if (!held.ok) {
        MessageSeam::message(this, QString(), heldtexts::ReadFailed);
        return false;
    }
    deleteAllCartLines(m_cart);
    for (const CartLine &line : held.lines)
        m_cart.append(line);
    return true;
}

} // namespace cashier
