#include "stock/Catalogue.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "stock/PurchaseList.h"
#include "stock/StockRules.h"

namespace stock {

namespace {

data::Sql shopIs(const QString &shop)
{
    return data::eq(QStringLiteral("所属店铺"), shop);
}

struct KindInfo {
    QString table, column, label;
};

KindInfo info(CatalogueKind kind)
{
    switch (kind) {
    case CatalogueKind::Colour:
        return {QStringLiteral("颜色尺码"), QStringLiteral("颜色"), QStringLiteral("颜色")};
    case CatalogueKind::Size:
        return {QStringLiteral("颜色尺码"), QStringLiteral("尺码"), QStringLiteral("尺码")};
    case CatalogueKind::Unit:
        break;
    }
    return {QStringLiteral("单位管理"), QStringLiteral("单位"), QStringLiteral("单位")};
}

QStringList column(AppContext &context, const QString &table, const data::Sql &where, const QString &col)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    QStringList values;
    if (!rs.open(data::buildSelectSql(db.dialect(), table, where, true, QStringLiteral("id ASC"), true)))
        return values;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        values.append(rs.text(col));
    return values;
}

// The shop's rows with exactly this value, by id; rowCount -1 on failure.
data::Sql valueOfShop(const KindInfo &k, const QString &value, const QString &shop)
{
    return data::both(data::eq(k.column, value), shopIs(shop));
}

data::Pairs supplierPairs(const Supplier &s)
{
    return {{QStringLiteral("供应商名称"), s.name},  {QStringLiteral("联系人"), s.contact},
            {QStringLiteral("供应商地址"), s.address}, {QStringLiteral("手机"), s.mobile},
            {QStringLiteral("电话"), s.phone},        {QStringLiteral("传真"), s.fax}};
}

} // namespace

QStringList loadCatalogue(AppContext &context, CatalogueKind kind)
{
    const KindInfo k = info(kind);
    data::Sql where = shopIs(context.currentShop);
    if (kind != CatalogueKind::Unit)
        where = data::both(notEmpty(k.column), where);
    return column(context, k.table, where, k.column);
}

QStringList loadSecondLevelCategories(AppContext &context)
{
    return column(context, QStringLiteral("分类例表"),
                  data::both(notEmpty(QStringLiteral("二级编号")),
                             shopIs(context.currentShop)),
                  QStringLiteral("项目名称"));
}

QStringList loadSupplierNames(AppContext &context)
{
    return column(context, QStringLiteral("供货管理"), shopIs(context.currentShop), QStringLiteral("供应商名称"));
}

CatalogueResult addCatalogueValue(AppContext &context, CatalogueKind kind, const QString &value)
{
    const KindInfo k = info(kind);
    if (kind == CatalogueKind::Size && value.isEmpty())
        return {false, QStringLiteral("还款填写要添加的尺码")};
    if (value.isEmpty())
        return {false, QStringLiteral("请填写要添加的") + k.label + QStringLiteral("！")};
    if (context.currentShop.isEmpty())
        return {false, kNoShop};
    data::Connection &db = context.connection();
    data::Transaction tx = db.transaction();
    data::RecordSet rs(db);
    if (!tx.isActive()
        || !rs.open(data::buildSelectSql(db.dialect(), k.table, valueOfShop(k, value, context.currentShop), true,
                                         QStringLiteral("id ASC"), true)))
        return {false, kWriteFailed};
    if (rs.rowCount() > 0)
        return {false, QStringLiteral("你要添加的") + k.label + QStringLiteral("已存在！")};
    data::Pairs pairs;
    if (kind == CatalogueKind::Colour)
        pairs = {{QStringLiteral("颜色"), value}, {QStringLiteral("尺码"), QString()}};
    else if (kind == CatalogueKind::Size)
        pairs = {{QStringLiteral("尺码"), value}, {QStringLiteral("颜色"), QString()}};
    else
        pairs = {{QStringLiteral("单位"), value}};
    pairs.append({QStringLiteral("所属店铺"), context.currentShop});
    if (!db.execute(data::buildInsertSql(db.dialect(), k.table, storedPairs(pairs))) || !tx.commit())
        return {false, kWriteFailed};
    return {true, QStringLiteral("添加") + k.label + QStringLiteral("成功！")};
}

CatalogueResult deleteCatalogueValue(AppContext &context, CatalogueKind kind, const QString &value)
{
    const KindInfo k = info(kind);
    if (value.isEmpty())
        return {false, QStringLiteral("请先选择一种要删除的") + k.label + QStringLiteral("！")};
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), k.table, valueOfShop(k, value, context.currentShop), true,
                                      QStringLiteral("id ASC"), true)))
        return {false, kWriteFailed};
    if (rs.rowCount() <= 0)
        return {};
    const qint64 id = rs.integer(QStringLiteral("id"));
    if (!db.execute(data::Sql(QStringLiteral("DELETE FROM ") + db.dialect().quoteTable(k.table) + QStringLiteral(" WHERE "))
                    + data::both(data::eq(QStringLiteral("id"), id), shopIs(context.currentShop))))
        return {false, kWriteFailed};
    return {true, QStringLiteral("删除成功！")};
}

SupplierList loadSupplierList(AppContext &context)
{
    SupplierList list;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    list.ok = rs.open(data::buildSelectSql(db.dialect(), QStringLiteral("供货管理"), shopIs(context.currentShop), true,
                                           QStringLiteral("id ASC"), true));
    for (rs.moveFirst(); list.ok && !rs.pastLast(); rs.moveNext())
        list.suppliers.append({rs.text(QStringLiteral("id")), rs.text(QStringLiteral("供应商名称")),
                               rs.text(QStringLiteral("联系人")), rs.text(QStringLiteral("供应商地址")),
                               rs.text(QStringLiteral("手机")), rs.text(QStringLiteral("电话")),
                               rs.text(QStringLiteral("传真"))});
    return list;
}

CatalogueResult addSupplier(AppContext &context, const Supplier &supplier)
{
    if (supplier.name.isEmpty())
        return {false, QStringLiteral("供应商名称为能为空！")};
    if (context.currentShop.isEmpty())
        return {false, kNoShop};
    data::Connection &db = context.connection();
    data::Pairs pairs = supplierPairs(supplier);
    pairs.append({QStringLiteral("所属店铺"), context.currentShop});
    if (!db.execute(data::buildInsertSql(db.dialect(), QStringLiteral("供货管理"), storedPairs(pairs))))
        return {false, kWriteFailed};
    return {true, QString()};
}

CatalogueResult updateSupplier(AppContext &context, const QString &selectedId, const Supplier &supplier)
{
    bool isId = false;
    const qint64 id = selectedId.trimmed().toLongLong(&isId);
    if (!isId)
        return {false, QStringLiteral("请先在列表中选择要修改的供应商！")};
    data::Connection &db = context.connection();
    const data::Sql where = data::both(data::eq(QStringLiteral("id"), id), shopIs(context.currentShop));
    if (!db.execute(data::buildUpdateSql(db.dialect(), QStringLiteral("供货管理"), storedPairs(supplierPairs(supplier)), where, true)))
        return {false, kWriteFailed};
    if (db.numRowsAffected() <= 0)
        return {false, QStringLiteral("请先在列表中选择要修改的供应商！")};
    return {true, QString()};
}

} // namespace stock
