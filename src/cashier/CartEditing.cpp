#include "cashier/CartEditing.h"

#include "cashier/Cart.h"
#include "cashier/LinePrice.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

namespace cashier {

namespace {
const QString kStockTable = QStringLiteral("采购入库");

enum class Restore { Full, WithoutMember };

RepriceResult reprice(AppContext &context, Cart &cart, Restore mode)
{
    RepriceResult kept;
    const int decimals = saleDecimals(context.shopSettings);
    data::Connection &connection = context.connection();
    data::RecordSet row(connection);
    QList<CartLine> lines = cart.lines();
    for (CartLine &line : lines) {
        const bool read = row.open(data::buildSelectSql(connection.dialect(), kStockTable,
                                                        data::eq(QStringLiteral("id"), line.stockId()), true,
                                                        QStringLiteral("id ASC"), true));
        if (!read) {
            kept.unread << line.商品名称;
        } else if (row.rowCount() > 0) {
            const LinePrice price = priceLine(row.text(QStringLiteral("特价")), row.text(QStringLiteral("吊牌价")),
                                              row.text(QStringLiteral("折扣")), textToNumber(line.数量),
                                              context.discountScheme, decimals, false);
            line.折扣 = price.折扣;
            line.金额 = price.金额;
        } else {
            kept.gone << line.商品名称;
        }
        if (mode == Restore::Full) {
            line.导购员.clear();
            line.结付 = kPayCash;
        }
        line.会员卡号.clear();
        line.备注.clear();
    }
    cart.replaceAll(lines);
    return kept;
}
} // namespace

void resetCart(Cart &cart)
{
    cart.totals.quantity.clear();
    cart.totals.tagTotal.clear();
    cart.totals.amountTotal.clear();
    cart.salesperson.clear();
    cart.payableAmount.clear();
    cart.removeAll();
}

void deleteAllCartLines(Cart &cart)
{
    cart.removeAll();
}

bool deleteCartLine(Cart &cart, int row)
{
    return cart.remove(row);
}

LineStock readLineStock(AppContext &context, const CartLine &line)
{
    LineStock out;
    data::Connection &connection = context.connection();
    data::RecordSet row(connection);
    const data::Sql where = data::both(data::eq(QStringLiteral("id"), line.stockId()),
                                       data::eq(QStringLiteral("所属店铺"), context.currentShop));
    if (!row.open(data::buildSelectSql(connection.dialect(), kStockTable, where, true, QString(), false))) {
        out.error = row.lastError();
        return out;
    }
    out.found = row.rowCount() > 0;
    out.quantity = row.text(QStringLiteral("数量"));
    return out;
}

QString quantityFormRefusal(const QString &typedQuantity)
{
    const std::optional<qint64> quantity = typedWholeNumber(typedQuantity);
    if (!quantity || *quantity < 1)
        return QStringLiteral("数量必须是大于0的整数");
    return QString();
}

QString lineStockRefusal(AppContext &context, const CartLine &line, const QString &typedQuantity)
{
    if (textToInteger(typedQuantity) <= textToInteger(line.数量))
        return QString();
    const LineStock stock = readLineStock(context, line);
    if (!stock.error.isEmpty())
        return QStringLiteral("查询库存失败：") + stock.error;
    if (!stock.found)
        return QStringLiteral("该款商品在本店已没有库存记录，不能增加数量");
    if (textToInteger(typedQuantity) > textToInteger(stock.quantity))
        return kStockShortTextHead + stock.quantity + QStringLiteral("】,小于你所要销售的数量【") + typedQuantity
               + QStringLiteral("】");
    return QString();
}

void applyLineEdit(const AppContext &context, Cart &cart, int row, const QString &quantity,
                   const QString &remark)
{
    if (row < 0 || row >= cart.count())
        return;
    CartLine line = cart.line(row);
    const qint64 q = textToInteger(quantity);
    if (q > textToInteger(line.数量)) {
        const LinePrice price = repriceWithOwnCells(line, double(q), context.discountScheme,
                                                    saleDecimals(context.shopSettings));
        line.折扣 = price.折扣;
        line.金额 = price.金额;
        line.数量 = QString::number(q);
    }
    line.备注 = remark;
    cart.setLine(row, line);
}

RepriceResult restoreCartPrices(AppContext &context, Cart &cart)
{
    const RepriceResult kept = reprice(context, cart, Restore::Full);
    cart.totals.quantity.clear();
    cart.salesperson.clear();
    return kept;
}

RepriceResult repriceCartWithoutMember(AppContext &context, Cart &cart)
{
    return reprice(context, cart, Restore::WithoutMember);
}

QString keptPriceText(const RepriceResult &kept)
{
    QStringList parts;
    if (!kept.unread.isEmpty())
        parts << QStringLiteral("读取库存失败，请检查数据库连接！以下商品保留原价格：")
                     + kept.unread.join(QStringLiteral("，"));
    if (!kept.gone.isEmpty())
        parts << QStringLiteral("以下商品的库存记录已不存在，保留原价格：") + kept.gone.join(QStringLiteral("，"));
    return parts.join(u'\n');
}

} // namespace cashier
