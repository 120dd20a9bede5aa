#pragma once
// Held orders: the cart parked under a number of the shop, listed, loaded back into the cart or
// deleted. Holding is one transaction (the lines, the number register); it touches nothing else:
// stock, members and sales change only when a restored cart is sold.
#include <QList>
#include <QString>
#include <QStringList>

class AppContext;

namespace cashier {

class Cart;
struct CartLine;

enum class HoldStatus { Held, EmptyCart, Failed };
struct HoldResult {
    HoldStatus status = HoldStatus::Failed;
    QString number; // the order's number
};
// Stores every line of the cart under the shop's next number; the cart itself is left alone (the
// caller empties it after a Held).
HoldResult holdOrder(AppContext &context, const Cart &cart);

// The shop's held orders, one row per order (its first line): 挂单号, 挂单时间, 商品名称, 分类,
// 款号, 总单数, 总金额, 备注; ordered by number. ok false when the read failed.
struct HeldOrderRows {
    bool ok = false;
    QList<QStringList> rows;
};
HeldOrderRows listHeldOrders(AppContext &context);

// The order's lines as cart lines, in ascending 编号, with their held prices. ok false when the
// read failed.
struct HeldOrderLines {
    bool ok = false;
    QList<CartLine> lines;
};
HeldOrderLines heldOrderLines(AppContext &context, const QString &number);

// Deletes the shop's order of that number (the register keeps the number). False when refused.
bool deleteHeldOrder(AppContext &context, const QString &number);

namespace heldtexts {
inline const QString Empty = QStringLiteral("暂无数据！");
inline QString held(const QString &number) { return QStringLiteral("挂单成功！挂单号【") + number + QStringLiteral("】"); }
inline const QString HoldFailed = QStringLiteral("挂单没有成功，前台列表保持不变，请检查数据库连接后重试！");
inline const QString RestoreTitle = QStringLiteral("恢复挂单");
inline const QString RestoreQuestion = QStringLiteral("恢复挂单将会清空前台列表数据！");
inline const QString ReadFailed = QStringLiteral("读取挂单失败，请检查数据库连接后重试！");
inline const QString DeleteFailed = QStringLiteral("删除挂单失败，请检查数据库连接后重试！");
} // namespace heldtexts

} // namespace cashier
