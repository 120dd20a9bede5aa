#include "admin/AccountAdmin.h"

#include "context/AccountRights.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"

namespace admin {

namespace {

const QString AccountTable = QStringLiteral("帐号管理");
const QString AccountColumn = QStringLiteral("帐号");
const QString ShopColumn = QStringLiteral("所属店铺");

const QString FillAll = QStringLiteral("请全部填写 不要留空！");
const QString Exists = QStringLiteral("该帐号已经存在！");

QList<AccountRecord> readAccounts(AppContext &context, const data::Sql &where, bool hasWhere)
{
    QList<AccountRecord> list;
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    if (!rows.open(data::buildSelectSql(connection.dialect(), AccountTable, where, hasWhere,
                                        QStringLiteral("id ASC"), true)))
        return list;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext()) {
        AccountRecord record;
        record.id = rows.integer(QStringLiteral("id"));
        record.account = rows.text(AccountColumn);
        record.password = rows.text(QStringLiteral("密码"));
        record.name = rows.text(QStringLiteral("姓名"));
        record.phone = rows.text(QStringLiteral("电话"));
        record.shop = rows.text(ShopColumn);
        for (const QString &right : AccountRights::columns())
            record.rights << rows.text(right);
        list.append(record);
    }
    return list;
}

// The stored columns of the form's account in the shop, its twenty rights last.
data::Pairs accountPairs(const AccountForm &form, const QString &shop)
{
    data::Pairs pairs{{AccountColumn, form.account},
                      {QStringLiteral("密码"), form.password},
                      {QStringLiteral("姓名"), form.name},
                      {QStringLiteral("电话"), form.phone},
                      {ShopColumn, shop}};
    const QStringList &columns = AccountRights::columns();
    for (int i = 0; i < columns.size(); ++i) {
        const bool ticked = i < form.rights.size() && form.rights[i];
        pairs.append({columns[i], ticked ? AppContext::Granted : QString()});
    }
    return pairs;
}

// Why the account name cannot be stored in the shop: Exists when it is "admin" (one administrator
// only, in any shop) or another row than exceptId holds it there; writeFailed when the check
// cannot be made. Empty when the name is free.
QString nameRefusal(AppContext &context, const QString &account, const QString &shop, qint64 exceptId,
                    const QString &writeFailed)
{
    if (account == AdminAccount)
        return Exists;
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    data::Sql where = data::both(data::eq(AccountColumn, account), data::eq(ShopColumn, shop));
    if (exceptId > 0)
        where = data::both(where, data::cmp(QStringLiteral("id"), QStringLiteral("<>"), exceptId));
    const bool failed = !rows.open(data::buildSelectSql(connection.dialect(), AccountTable, where, true,
                                                        QStringLiteral("id ASC"), true));
    if (rows.rowCount() > 0)
        return Exists;
    return failed ? writeFailed : QString();
}

} // namespace

QStringList AccountRecord::cells() const
{
    return QStringList{QString::number(id), account, password, name, phone, shop} + rights;
}

QList<AccountRecord> loadShopAccounts(AppContext &context)
{
    return readAccounts(context, data::eq(ShopColumn, context.currentShop), true);
}

QList<AccountRecord> loadAllAccounts(AppContext &context)
{
    return readAccounts(context, {}, false);
}

AccountRecord loadAccount(AppContext &context, qint64 id)
{
    const QList<AccountRecord> rows = readAccounts(context, data::eq(QStringLiteral("id"), id), true);
    return rows.isEmpty() ? AccountRecord() : rows.first();
}

AdminResult addAccount(AppContext &context, const AccountForm &form)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(QStringLiteral("请先到店铺设置里指定本机使用哪个店铺！"));
    if (form.account.isEmpty() || form.password.isEmpty() || form.name.isEmpty())
        return AdminResult::refused(FillAll);
    const QString writeFailed = QStringLiteral("帐号添加失败，数据库没有写入，请检查数据库连接后重试！");
    const QString refusal = nameRefusal(context, form.account, context.currentShop, 0, writeFailed);
    if (!refusal.isEmpty())
        return AdminResult::refused(refusal);

    data::Connection &connection = context.connection();
    if (!connection.execute(data::buildInsertSql(connection.dialect(), AccountTable,
                                                 accountPairs(form, context.currentShop))))
        return AdminResult::refused(writeFailed);
    return AdminResult::ok(QStringLiteral("新帐号添加成功！"));
}

AdminResult updateAccount(AppContext &context, qint64 selectedId, const AccountForm &form)
{
    if (selectedId <= 0)
        return AdminResult::refused(QStringLiteral("请先在列表中选择要修改的帐号！"));
    const AccountRecord stored = loadAccount(context, selectedId);
    if (stored.id == 0)
        return AdminResult::refused(QStringLiteral("该帐号已不存在，请刷新列表后重新选择！"));

    const QString writeFailed = QStringLiteral("帐号修改失败，数据库没有写入，请检查数据库连接后重试！");
    data::Connection &connection = context.connection();
    const data::Dialect &dialect = connection.dialect();
    const data::Sql target = data::eq(QStringLiteral("id"), selectedId);

    if (stored.account == AdminAccount) {
        if (form.account != AdminAccount)
            return AdminResult::refused(QStringLiteral("管理员帐号名不允许修改！并且只能修改密码！"));
        if (form.password.isEmpty())
            return AdminResult::refused(FillAll);
        if (!connection.execute(data::buildUpdateSql(dialect, AccountTable, {{QStringLiteral("密码"), form.password}},
                                                     target, true))
            || connection.numRowsAffected() != 1)
            return AdminResult::refused(writeFailed);
        return AdminResult::ok();
    }

    if (form.account.isEmpty() || form.password.isEmpty() || form.name.isEmpty() || form.shop.isEmpty())
        return AdminResult::refused(FillAll);
    const QString refusal = nameRefusal(context, form.account, form.shop, selectedId, writeFailed);
    if (!refusal.isEmpty())
        return AdminResult::refused(refusal);

    // The administrator test is repeated in the statement, so a row renamed to "admin" meanwhile
    // is never overwritten.
    const data::Sql where = data::both(target, data::cmp(AccountColumn, QStringLiteral("<>"), AdminAccount));
    if (!connection.execute(data::buildUpdateSql(dialect, AccountTable, accountPairs(form, form.shop), where, true))
        || connection.numRowsAffected() != 1)
        return AdminResult::refused(writeFailed);
    return AdminResult::ok();
}

AdminResult deleteAccount(AppContext &context, qint64 selectedId)
{
    if (selectedId <= 0)
        return AdminResult::refused(QStringLiteral("请先在列表中选择要删除的帐号！"));
    const AccountRecord stored = loadAccount(context, selectedId);
    if (stored.account == AdminAccount)
        return AdminResult::refused(QStringLiteral("管理员帐号不允许删除！"));
    data::Connection &connection = context.connection();
    const data::Sql remove(QStringLiteral("delete from %1 where id=? and 帐号<>?")
                               .arg(connection.dialect().quoteTable(AccountTable)),
                           {selectedId, AdminAccount});
    if (!connection.execute(remove) || connection.numRowsAffected() != 1)
        return AdminResult::refused(QStringLiteral("删除失败，该帐号没有被删除！"));
    return AdminResult::ok(QStringLiteral("删除成功！"));
}

AdminResult mayShowAllAccounts(const AppContext &context)
{
    if (context.currentAccount == AdminAccount)
        return AdminResult::ok();
    return AdminResult::refused(QStringLiteral("当前登陆帐号不是管理员帐号无权操作！"));
}

} // namespace admin
