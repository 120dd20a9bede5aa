#include "admin/NoticeAdmin.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/Gbk.h"

namespace admin {

namespace {
const QString NoticeTable = QStringLiteral("通告管理");
const QString ShopColumn = QStringLiteral("所属店铺");
const QString TextColumn = QStringLiteral("通告");
} // namespace

QString loadNotice(AppContext &context, const QString &shop, bool *found)
{
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    const bool ok = rows.open(data::buildSelectSql(connection.dialect(), NoticeTable, data::eq(ShopColumn, shop),
                                                   true, QStringLiteral("ID ASC"), true));
    if (found)
        *found = ok && rows.rowCount() > 0;
    return rows.text(TextColumn);
}

AdminResult saveNotice(AppContext &context, const QString &text)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    if (gbk::byteLength(text) > NoticeMaxBytes)
        return AdminResult::refused(QStringLiteral("不能超过900个字符或者450个汉字！"));
    if (text.trimmed().isEmpty())
        return AdminResult::refused(QStringLiteral("公告内容不能为空！"));

    const QString failed = QStringLiteral("公告修改失败，数据库没有写入，请检查数据库连接后重试！");
    data::Connection &connection = context.connection();
    const data::Dialect &dialect = connection.dialect();
    data::RecordSet rows(connection);
    if (!rows.open(data::buildSelectSql(dialect, NoticeTable, data::eq(ShopColumn, context.currentShop), true,
                                        QStringLiteral("ID ASC"), true)))
        return AdminResult::refused(failed);
    const data::Sql write = rows.rowCount() > 0
        ? data::buildUpdateSql(dialect, NoticeTable, {{TextColumn, text}}, data::eq(ShopColumn, context.currentShop), true)
        : data::buildInsertSql(dialect, NoticeTable, {{TextColumn, text}, {ShopColumn, context.currentShop}});
    if (!connection.execute(write) || connection.numRowsAffected() <= 0)
        return AdminResult::refused(failed);
    return AdminResult::ok(QStringLiteral("公告修改成功！"));
}

} // namespace admin
