#include "cashier/HeldOrders.h"

#include "cashier/Cart.h"
#include "context/AppContext.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

namespace cashier {

namespace {

const QString kHeldTable = QStringLiteral("提交挂单");
const QString kRegister = QStringLiteral("挂单号");
// One workstation at a time takes a number of the register.
constexpr qint64 kHeldNumberLock = 0x73686f70686f6c64; // "shophold"

data::Sql ofShop(const AppContext &context)
{
    return data::eq(QStringLiteral("所属店铺"), context.currentShop);
}

} // namespace

HoldResult holdOrder(AppContext &context, const Cart &cart)
{
    HoldResult result;
    if (cart.isEmpty()) {
        result.status = HoldStatus::EmptyCart;
        return result;
    }
    const QString day = datingNow(context).dateText();
    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    data::Transaction tx = db.transaction();
    if (!tx.isActive() || !db.holdTransactionLock(kHeldNumberLock))
        return result;

    data::RecordSet numbers(db);
    if (!numbers.open(data::buildSelectSql(dialect, kRegister, ofShop(context), true, QStringLiteral("id ASC"), true)))
        return result;
    qint64 largest = 0;
    for (numbers.moveFirst(); !numbers.pastLast(); numbers.moveNext())
        largest = std::max(largest, textToInteger(numbers.text(kRegister)));
    const QString number = QString::number(largest + 1);

    qint64 units = 0, amount = 0;
    for (const CartLine &line : cart.lines()) {
        units += textToInteger(line.数量);
        amount += textToInteger(line.金额);
    }
    bool first = true;
    for (const CartLine &line : cart.lines()) {
        const data::Pairs row{{QStringLiteral("编号"), line.id},          {QStringLiteral("商品条码"), line.商品条码},
                              {QStringLiteral("分类"), line.分类},        {QStringLiteral("款号"), line.款号},
                              {QStringLiteral("商品名称"), line.商品名称}, {QStringLiteral("颜色"), line.颜色},
                              {QStringLiteral("尺码"), line.尺码},        {QStringLiteral("数量"), line.数量},
                              {QStringLiteral("单位"), line.单位},        {QStringLiteral("吊牌价"), line.吊牌价},
                              {QStringLiteral("折扣"), line.折扣},        {QStringLiteral("金额"), line.金额},
                              {QStringLiteral("导购员"), line.导购员},    {QStringLiteral("真挂单号"), number},
                              {QStringLiteral("结付方式"), line.结付},    {QStringLiteral("备注"), line.特价},
                              {QStringLiteral("所属店铺"), context.currentShop},
                              {QStringLiteral("挂单号"), first ? number : QString()},
                              {QStringLiteral("G挂单时间"), day},         {QStringLiteral("G商品名称"), line.商品名称},
                              {QStringLiteral("G分类"), line.分类},       {QStringLiteral("G款号"), line.款号},
                              {QStringLiteral("G总单数"), QString::number(units)},
                              {QStringLiteral("G总金额"), QString::number(amount)},
                              {QStringLiteral("G备注"), line.特价}};
        if (!db.execute(data::buildInsertSql(dialect, kHeldTable, row)))
            return result;
        first = false;
    }
    const data::Pairs registered{{kRegister, number}, {QStringLiteral("所属店铺"), context.currentShop}};
    if (!db.execute(data::buildInsertSql(dialect, kRegister, registered)) || !tx.commit())
        return result;
    result.status = HoldStatus::Held;
    result.number = number;
    return result;
}

HeldOrderRows listHeldOrders(AppContext &context)
{
    HeldOrderRows result;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), kHeldTable, ofShop(context), true,
                                      QStringLiteral("挂单号 ASC, id ASC"), true)))
        return result;
    result.ok = true;
    const QStringList columns{QStringLiteral("挂单号"), QStringLiteral("G挂单时间"), QStringLiteral("G商品名称"),
                              QStringLiteral("G分类"),  QStringLiteral("G款号"),     QStringLiteral("G总单数"),
                              QStringLiteral("G总金额"), QStringLiteral("G备注")};
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        if (rs.text(QStringLiteral("挂单号")).isEmpty())
            continue;
        QStringList cells;
        for (const QString &c : columns)
            cells << rs.text(c);
        result.rows << cells;
    }
    return result;
}

HeldOrderLines heldOrderLines(AppContext &context, const QString &number)
{
    HeldOrderLines result;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    const data::Sql where = data::both(data::eq(QStringLiteral("真挂单号"), number), ofShop(context));
    if (!rs.open(data::buildSelectSql(db.dialect(), kHeldTable, where, true, QStringLiteral("编号 ASC, id ASC"), true)))
        return result;
    result.ok = true;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        CartLine line;
        line.id = rs.text(QStringLiteral("编号"));
        line.商品条码 = rs.text(QStringLiteral("商品条码"));
        line.分类 = rs.text(QStringLiteral("分类"));
        line.款号 = rs.text(QStringLiteral("款号"));
        line.商品名称 = rs.text(QStringLiteral("商品名称"));
        line.颜色 = rs.text(QStringLiteral("颜色"));
        line.尺码 = rs.text(QStringLiteral("尺码"));
        line.数量 = rs.text(QStringLiteral("数量"));
        line.单位 = rs.text(QStringLiteral("单位"));
        line.吊牌价 = rs.text(QStringLiteral("吊牌价"));
        line.折扣 = rs.text(QStringLiteral("折扣"));
        line.金额 = rs.text(QStringLiteral("金额"));
        line.导购员 = rs.text(QStringLiteral("导购员"));
        line.结付 = rs.text(QStringLiteral("结付方式"));
        line.特价 = rs.text(QStringLiteral("备注"));
        result.lines << line;
    }
    return result;
}

bool deleteHeldOrder(AppContext &context, const QString &number)
{
    data::Connection &db = context.connection();
    data::Sql remove(QStringLiteral("DELETE FROM ") + db.dialect().quoteTable(kHeldTable) + QStringLiteral(" WHERE "));
    remove += data::both(data::eq(QStringLiteral("真挂单号"), number), ofShop(context));
    return db.execute(remove);
}

} // namespace cashier
