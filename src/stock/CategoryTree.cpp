#include "stock/CategoryTree.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "stock/PurchaseList.h"
#include "stock/StockRules.h"
#include "context/OperationLog.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace stock {

namespace {

const QString kTable = QStringLiteral("分类例表");

data::Sql shopIs(const QString &shop)
{
    return data::eq(QStringLiteral("所属店铺"), shop);
}

struct CategoryRow {
    qint64 id = 0;
    QString name, topCode, parentCode;
};

// The shop's first row with exactly this name; nullopt when there is none, *ok false on failure.
std::optional<CategoryRow> findByName(AppContext &context, const QString &name, bool *ok)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    *ok = rs.open(data::buildSelectSql(db.dialect(), kTable,
                                       data::both(data::eq(QStringLiteral("项目名称"), name), shopIs(context.currentShop)),
                                       true, QStringLiteral("id ASC"), true));
    if (!*ok || rs.rowCount() <= 0)
        return std::nullopt;
    CategoryRow row;
    row.id = rs.integer(QStringLiteral("id"));
    row.name = rs.text(QStringLiteral("项目名称"));
    row.topCode = rs.text(QStringLiteral("一级编号"));
    row.parentCode = rs.text(QStringLiteral("二级编号"));
    return row;
}

// Rolls the open transaction back; the result of a change that failed.
CategoryResult failed(data::Transaction &tx)
{
    if (tx.isActive())
        tx.rollback();
    return {false, kWriteFailed};
}

// Commits the open transaction after the log row; the result of the whole change.
CategoryResult finish(AppContext &context, data::Transaction &tx, bool ok, const QString &log)
{
    if (ok)
        ok = oplog::writeLogRow(context, log);
    if (ok)
        ok = tx.commit();
    if (!ok)
        return failed(tx);
    return {true, QString()};
}

CategoryResult insertCategory(AppContext &context, const QString &name, bool topLevel, const QString &parentCode)
{
    data::Connection &db = context.connection();
    data::Transaction tx = db.transaction();
    bool ok = tx.isActive();
    const std::optional<CategoryRow> existing = ok ? findByName(context, name, &ok) : std::nullopt;
    if (!ok)
        return failed(tx);
    if (existing)
        return {false, kCategoryExists};
    data::Pairs pairs;
    if (topLevel) {
        // Codes never repeat across shops: the largest code of the whole table plus 1.
        data::RecordSet rs(db);
        ok = rs.open(data::Sql(QStringLiteral("SELECT MAX(") + db.dialect().asNumber(QStringLiteral("一级编号"))
                               + QStringLiteral(") AS 最大编号 FROM ") + db.dialect().quoteTable(kTable)));
        const qint64 code = qMax<qint64>(0, rs.integer(QStringLiteral("最大编号"))) + 1;
        pairs = {{QStringLiteral("项目名称"), name},
                 {QStringLiteral("一级编号"), QString::number(code)},
                 {QStringLiteral("二级编号"), QString()},
                 {QStringLiteral("所属店铺"), context.currentShop}};
    } else {
        pairs = {{QStringLiteral("项目名称"), name},
                 {QStringLiteral("二级编号"), parentCode},
                 {QStringLiteral("一级编号"), QString()},
                 {QStringLiteral("所属店铺"), context.currentShop}};
    }
    if (ok)
        ok = db.execute(data::buildInsertSql(db.dialect(), kTable, storedPairs(pairs)));
    const QString log = topLevel ? QStringLiteral("库存管理---新增一级分类  ") + name
                                 : QStringLiteral("库存管理---添加二级分类名   ") + name + u' ';
    return finish(context, tx, ok, log);
}

} // namespace

bool isBlankName(const QString &name)
{
    return QString(name).remove(u' ').isEmpty();
}

CategoryTree loadCategoryTree(AppContext &context)
{
    CategoryTree tree;
    data::Connection &db = context.connection();
    const data::Dialect &d = db.dialect();
    // One read of the shop's rows: first-level rows in code order, and every second-level row
    // grouped under the code it names, by id.
    data::RecordSet rows(db);
    tree.ok = rows.open(data::buildSelectSql(d, kTable, shopIs(context.currentShop), true,
                                             d.asNumber(QStringLiteral("一级编号")) + QStringLiteral(" ASC, id ASC"), true));
    if (!tree.ok)
        return tree;
    struct Child {
        qint64 id;
        QString name;
    };
    QHash<QString, QList<Child>> children;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext()) {
        const QString name = rows.text(QStringLiteral("项目名称"));
        const QString parent = rows.text(QStringLiteral("二级编号"));
        if (!parent.isEmpty())
            children[parent].append({rows.integer(QStringLiteral("id")), name});
        CategoryNode node;
        node.code = rows.text(QStringLiteral("一级编号"));
        if (node.code.isEmpty())
            continue;
        node.name = name;
        tree.topLevel.append(node);
    }
    for (CategoryNode &node : tree.topLevel) {
        QList<Child> &under = children[node.code];
        std::stable_sort(under.begin(), under.end(), [](const Child &a, const Child &b) { return a.id < b.id; });
        for (const Child &child : under)
            node.children.append({child.name, QString(), {}});
    }
    return tree;
}

CategoryResult addTopCategory(AppContext &context, const QString &name)
{
    if (isBlankName(name))
        return {};
    // Two workstations may take the same next code at once; the unique code index refuses the
    // second, which then takes the code after it.
    CategoryResult result = insertCategory(context, name, true, QString());
    if (!result.changed && result.message == kWriteFailed)
        result = insertCategory(context, name, true, QString());
    return result;
}

namespace {

// The first-level row to add under; otherwise the refusal to show (a failed read gives the
// failure text, not the second-level refusal).
std::optional<CategoryRow> parentForSubCategory(AppContext &context, const QString &selectedName, QString *refusal)
{
    bool ok = false;
    const std::optional<CategoryRow> row = findByName(context, selectedName, &ok);
    if (!ok) {
        *refusal = kWriteFailed;
        return std::nullopt;
    }
    if (!row || row->topCode.isEmpty()) {
        *refusal = QStringLiteral("不允许在二级分类【") + selectedName + QStringLiteral("】分类下再添加子分类！");
        return std::nullopt;
    }
    return row;
}

} // namespace

QString subCategoryRefusal(AppContext &context, const QString &selectedName)
{
    QString refusal;
    parentForSubCategory(context, selectedName, &refusal);
    return refusal;
}

CategoryResult addSubCategory(AppContext &context, const QString &selectedName, const QString &name)
{
    QString refusal;
    const std::optional<CategoryRow> parent = parentForSubCategory(context, selectedName, &refusal);
    if (!parent)
        return {false, refusal};
    if (isBlankName(name))
        return {};
    return insertCategory(context, name, false, parent->topCode);
}

QString deleteCategoryQuestion(const QString &selectedName)
{
    return QStringLiteral("请先确认【 ") + selectedName
           + QStringLiteral("】分类下是否有数据\r\n如果有数据，删除分类后将无法在此按分类,查询到\r\n删除分类原所属数据并不丢失！");
}

QString renameCategoryPrompt(const QString &selectedName)
{
    return QStringLiteral("【修改分类将会把以前的采购分类和销售分类记录一并修改】\r\n请在下面编辑框内填写新的分类名字。\r\n当前选中项为【")
           + selectedName + QStringLiteral("】");
}

CategoryResult deleteCategory(AppContext &context, const QString &selectedName)
{
    data::Connection &db = context.connection();
    data::Transaction tx = db.transaction();
    bool ok = tx.isActive();
    const std::optional<CategoryRow> row = ok ? findByName(context, selectedName, &ok) : std::nullopt;
    if (!ok)
        return failed(tx);
    if (!row)
        return {};
    const bool topLevel = !row->topCode.isEmpty();
    if (topLevel) {
        data::RecordSet rs(db);
        const data::Sql where = data::both(shopIs(context.currentShop), data::eq(QStringLiteral("二级编号"), row->topCode));
        if (!rs.open(data::buildSelectSql(db.dialect(), kTable, where, true, QStringLiteral("id ASC"), true)))
            return failed(tx);
        if (rs.rowCount() > 0)
            return {false, QStringLiteral("【") + selectedName + QStringLiteral("】分类下还有二级分类，请先删除二级分类")};
    }
    ok = db.execute(data::Sql(QStringLiteral("DELETE FROM ") + db.dialect().quoteTable(kTable) + QStringLiteral(" WHERE "))
                    + data::both(data::eq(QStringLiteral("id"), row->id), shopIs(context.currentShop)));
    const QString log = (topLevel ? QStringLiteral("库存管理---删除一级分类  ") : QStringLiteral("库存管理---删除二级分类  "))
                        + selectedName;
    return finish(context, tx, ok, log);
}

CategoryResult renameCategory(AppContext &context, const QString &selectedName, const QString &newName)
{
    if (isBlankName(newName))
        return {};
    data::Connection &db = context.connection();
    const data::Dialect &d = db.dialect();
    data::Transaction tx = db.transaction();
    bool ok = tx.isActive();
    const std::optional<CategoryRow> clash = ok ? findByName(context, newName, &ok) : std::nullopt;
    if (ok && clash)
        return {false, kRenameExists};
    const std::optional<CategoryRow> row = ok ? findByName(context, selectedName, &ok) : std::nullopt;
    if (!ok)
        return failed(tx);
    if (!row)
        return {};
    const bool topLevel = !row->topCode.isEmpty();
    if (!topLevel) {
        // The shop's stock rows and sale lines follow the new name, in the same transaction.
        const data::Sql oldOfShop = data::both(data::eq(QStringLiteral("类别"), selectedName), shopIs(context.currentShop));
        const data::Pairs rename = storedPairs({{QStringLiteral("类别"), newName}});
        ok = db.execute(data::buildUpdateSql(d, kStockTable, rename, oldOfShop, true))
             && db.execute(data::buildUpdateSql(d, QStringLiteral("销售明细"), rename, oldOfShop, true));
    }
    if (ok)
        ok = db.execute(data::buildUpdateSql(d, kTable, {{QStringLiteral("项目名称"), newName}},
                                             data::both(data::eq(QStringLiteral("id"), row->id),
                                                        shopIs(context.currentShop)),
                                             true));
    const QString log = (topLevel ? QStringLiteral("库存管理---修改一级分类名由原来的  ")
                                  : QStringLiteral("库存管理---修改二级分类名由原来的  "))
                        + selectedName + QStringLiteral("  改为  ") + newName + u' ';
    return finish(context, tx, ok, log);
}

} // namespace stock
