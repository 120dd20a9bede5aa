#include "stock/PurchaseList.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/MoneySum.h"
#include "platform/NumberText.h"
#include "stock/PurchaseEntry.h"
#include "stock/StockRules.h"
#include "context/OperationLog.h"

namespace stock {

namespace {

data::Sql shopIs(const QString &shop)
{
    return data::eq(QStringLiteral("所属店铺"), shop);
}

PurchaseRows list(AppContext &context, const data::Sql &where, const QString &order)
{
    PurchaseRows result;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    result.ok = rs.open(data::buildSelectSql(db.dialect(), kStockTable, where, true, order, true));
    if (!result.ok)
        return result;
    result.rows = rowsOf(rs);
    return result;
}

// «id=? and 已售='0' and 所属店铺=?»: the selected row, only while nothing of it was sold, only in this shop.
data::Sql unsoldRowOfShop(qint64 id, const QString &shop)
{
    return data::both(data::both(data::eq(QStringLiteral("id"), id), data::eq(QStringLiteral("已售"), QStringLiteral("0"))),
                      shopIs(shop));
}

ListActionResult deleteUnsold(AppContext &context, const QString &rowId, const QString &refused,
                              const QString &deleted)
{
    ListActionResult result;
    const std::optional<qint64> id = data::idOf(rowId);
    if (!id) {
        result.message = refused;
        return result;
    }
    data::Connection &db = context.connection();
    const data::Sql sql = data::Sql(QStringLiteral("DELETE FROM ") + db.dialect().quoteTable(kStockTable)
                                    + QStringLiteral(" WHERE "))
                          + unsoldRowOfShop(*id, context.currentShop);
    if (!db.execute(sql)) {
        result.message = kWriteFailed;
        return result;
    }
    if (db.numRowsAffected() <= 0) {
        result.message = refused;
        return result;
    }
    result.changed = true;
    result.message = deleted;
    return result;
}

} // namespace

QList<PurchaseRow> rowsOf(data::RecordSet &rs)
{
    QList<PurchaseRow> rows;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        PurchaseRow r;
        r.id = rs.text(QStringLiteral("id"));
        r.barcode = rs.text(QStringLiteral("商品条码"));
        r.supplier = rs.text(QStringLiteral("供货来源"));
        r.name = rs.text(QStringLiteral("名称"));
        r.category = rs.text(QStringLiteral("类别"));
        r.styleNo = rs.text(QStringLiteral("款号"));
        r.colour = rs.text(QStringLiteral("颜色"));
        r.size = rs.text(QStringLiteral("尺码"));
        r.quantity = rs.text(QStringLiteral("数量"));
        r.unit = rs.text(QStringLiteral("单位"));
        r.cost = rs.text(QStringLiteral("进货价"));
        r.tagPrice = rs.text(QStringLiteral("吊牌价"));
        r.discount = rs.text(QStringLiteral("折扣"));
        r.special = rs.text(QStringLiteral("特价"));
        r.enteredBy = rs.text(QStringLiteral("入库人"));
        r.enteredOn = rs.text(QStringLiteral("入库日期"));
        r.upper = rs.text(QStringLiteral("上限"));
        r.lower = rs.text(QStringLiteral("下限"));
        r.alarmSwitch = rs.text(QStringLiteral("开关"));
        rows.append(r);
    }
    return rows;
}

PurchaseRows listInStock(AppContext &context)
{
    return list(context, inStockOfShop(context.connection().dialect(), context.currentShop),
                QStringLiteral("id ASC"));
}

PurchaseRows listBySupplier(AppContext &context, const QString &supplierText)
{
    const data::Dialect &d = context.connection().dialect();
    return list(context,
                data::both(d.contains(QStringLiteral("供货来源"), supplierText),
                           inStockOfShop(d, context.currentShop)),
                QStringLiteral("供货来源 ASC, id ASC"));
}

PurchaseRows listByStyleNo(AppContext &context, const QString &styleText)
{
    const data::Dialect &d = context.connection().dialect();
    return list(context, data::both(d.contains(QStringLiteral("款号"), styleText), shopIs(context.currentShop)),
                QStringLiteral("id ASC"));
}

PurchaseRows listZeroStock(AppContext &context)
{
    const data::Sql where = data::both(data::both(data::eq(QStringLiteral("数量"), QStringLiteral("0")),
                                                  data::eq(QStringLiteral("零库存"), QStringLiteral("1"))),
                                       shopIs(context.currentShop));
    return list(context, where, QStringLiteral("入库日期 ASC, id ASC"));
}

QList<QPair<QString, int>> purchaseListColumns()
{
    return {{QStringLiteral("ID"), 40},      {QStringLiteral("商品条码"), 120}, {QStringLiteral("供货来源"), 85},
            {QStringLiteral("商品名称"), 125}, {QStringLiteral("分类"), 70},     {QStringLiteral("款号"), 80},
            {QStringLiteral("颜色"), 55},      {QStringLiteral("尺码"), 55},     {QStringLiteral("数量"), 40},
            {QStringLiteral("单位"), 40},      {QStringLiteral("成本价"), 65},   {QStringLiteral("吊牌价"), 65},
            {QStringLiteral("折扣"), 40},      {QStringLiteral("特"), 25},       {QStringLiteral("操作员"), 60},
            {QStringLiteral("入库日期"), 90},  {QStringLiteral("上"), 30},       {QStringLiteral("下"), 30},
            {QString(), 0}};
}

QList<PurchaseListLine> purchaseListLines(const QList<PurchaseRow> &rows, bool canSeeCost)
{
    QList<PurchaseListLine> lines;
    QList<QStringList> dataLines;
    for (const PurchaseRow &r : rows) {
        const bool ownAlarm = r.alarmSwitch == u"真";
        PurchaseListLine line;
        line.cells = {r.id, r.barcode, r.supplier, r.name, r.category, r.styleNo, r.colour, r.size,
                      r.quantity, r.unit, canSeeCost ? r.cost : QString(), r.tagPrice, r.discount,
                      r.special, r.enteredBy, r.enteredOn,
                      ownAlarm ? r.upper : QString(), ownAlarm ? r.lower : QString(),
                      ownAlarm ? r.alarmSwitch : QString()};
        line.colour = isZeroStock(r.quantity) ? kRed : kTeal;
        lines.append(line);
        dataLines.append(line.cells);
    }
    if (canSeeCost && !lines.isEmpty()) {
        PurchaseListLine totals;
        totals.cells = purchaseTotalsCells(dataLines);
        totals.colour = kRed;
        totals.totals = true;
        lines.append(totals);
    }
    return lines;
}

QStringList purchaseTotalsCells(const QList<QStringList> &dataLines)
{
    qint64 quantityTotal = 0;
    MoneySum costTotal;
    for (const QStringList &cells : dataLines) {
        const QString quantity = cells.value(8);
        quantityTotal += textToInteger(quantity);
        costTotal.addProduct(textToNumber(cells.value(10)), textToNumber(quantity));
    }
    QStringList totals(kPurchaseListColumns, QString());
    totals[7] = QStringLiteral("合计:");
    totals[8] = QString::number(quantityTotal);
    totals[10] = costTotal.text();
    return totals;
}

void showLineInForm(const QStringList &cells, PurchaseForm &form)
{
    auto cell = [&](int i) { return i < cells.size() ? cells.at(i) : QString(); };
    form.barcode = cell(1);
    form.supplier = cell(2);
    form.name = cell(3);
    form.category = cell(4);
    form.styleNo = cell(5);
    form.lines[0].colour = cell(6);
    form.lines[0].size = cell(7);
    form.lines[0].quantity = cell(8);
    form.unit = cell(9);
    form.cost = cell(10);
    form.tagPrice = cell(11);
    form.discount = cell(12);
}

void showSelectionInForm(const std::optional<QStringList> &cells, PurchaseForm &form)
{
    form.unit = form.category = form.styleNo = form.name = form.barcode = form.supplier = form.cost = form.tagPrice =
        form.discount = QString();
    form.lines[0].colour = form.lines[0].size = QString();
    if (cells)
        showLineInForm(*cells, form);
}

ListActionResult modifyPurchase(AppContext &context, const QString &rowId, const PurchaseForm &form)
{
    ListActionResult result;
    if (form.cost.isEmpty()) {
        result.message = kCostRequired;
        return result;
    }
    const std::optional<qint64> id = data::idOf(rowId);
    if (!id) {
        result.message = kModifyRefused;
        return result;
    }
    const std::optional<qint64> quantity = parseQuantity(form.lines[0].quantity);
    if (!quantity) {
        result.message = QStringLiteral("数量“%1”不是0或正整数，请重新填写！").arg(form.lines[0].quantity);
        return result;
    }
    const std::optional<QString> cost = parsePrice(form.cost);
    const std::optional<QString> tagPrice = parsePrice(form.tagPrice);
    if (!cost || !tagPrice) {
        result.message = kPricesMustBeNumbers;
        return result;
    }
    if (!moneyWithinCeiling(*cost) || !moneyWithinCeiling(*tagPrice)) {
        result.message = moneyCeilingText();
        return result;
    }
    const std::optional<QString> discount = parseItemDiscount(form.discount);
    if (!discount) {
        result.message = kItemDiscountRefused;
        return result;
    }
    data::Connection &db = context.connection();
    data::Transaction tx = db.transaction();
    bool ok = tx.isActive();
    const QString code = ok ? categoryCodeOf(context, form.category, &ok) : QString();
    if (ok) {
        const data::Pairs assignments = {
            {QStringLiteral("商品条码"), form.barcode},
            {QStringLiteral("供货来源"), form.supplier},
            {QStringLiteral("名称"), form.name},
            {QStringLiteral("类别"), form.category},
            {QStringLiteral("款号"), form.styleNo},
            {QStringLiteral("颜色"), form.lines[0].colour},
            {QStringLiteral("尺码"), form.lines[0].size},
            {QStringLiteral("数量"), QString::number(*quantity)},
            {QStringLiteral("进货价"), *cost},
            {QStringLiteral("吊牌价"), *tagPrice},
            {QStringLiteral("入库人"), context.currentUserName + u'-'},
            {QStringLiteral("拼音检索"), searchKeyOf(form.name)},
            {QStringLiteral("折扣"), *discount},
            {QStringLiteral("单位"), form.unit},
            {QStringLiteral("大类"), code},
            {QStringLiteral("零库存"), QStringLiteral("1")},
        };
        ok = db.execute(data::buildUpdateSql(db.dialect(), kStockTable, storedPairs(assignments),
                                             unsoldRowOfShop(*id, context.currentShop), true));
        if (ok && db.numRowsAffected() <= 0) {
            tx.rollback();
            result.message = kModifyRefused;
            return result;
        }
    }
    if (ok)
        ok = oplog::writeLogRow(context, QStringLiteral("采购入库--修改---ID号：") + QString::number(*id)
                                        + QStringLiteral("  商品还未有销售记录，暂不做其它记录。  "));
    if (ok)
        ok = tx.commit();
    if (!ok) {
        if (tx.isActive())
            tx.rollback();
        result.message = kWriteFailed;
        return result;
    }
    result.changed = true;
    return result;
}

ListActionResult deletePurchaseItem(AppContext &context, const QString &rowId)
{
    return deleteUnsold(context, rowId, kDeleteRefused, kDeleted);
}

ListActionResult deleteItemFromMenu(AppContext &context, const QString &rowId)
{
    return deleteUnsold(context, rowId, kMenuDeleteRefused, kMenuDeleted);
}

} // namespace stock
