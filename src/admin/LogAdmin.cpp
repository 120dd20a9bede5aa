#include "admin/LogAdmin.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "data/RecordSet.h"

namespace admin {

namespace {

QList<QStringList> readLogs(AppContext &context, const data::Sql &select)
{
    QList<QStringList> list;
    data::RecordSet rows(context.connection());
    if (!rows.open(select))
        return list;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext())
        list.append({QString::number(rows.integer(QStringLiteral("ID"))), rows.text(QStringLiteral("门店")),
                     rows.text(QStringLiteral("用户名")), rows.text(QStringLiteral("操作内容")),
                     rows.text(QStringLiteral("操作时间"))});
    return list;
}

} // namespace

QList<QStringList> logsOfMonth(AppContext &context)
{
    return readLogs(context, oplog::monthLogsSql(context.connection().dialect(), context.currentShop,
                                                 context.today.year, context.today.month));
}

QList<QStringList> allLogs(AppContext &context)
{
    return readLogs(context, oplog::allLogsSql(context.connection().dialect(), context.currentShop));
}

bool deleteAllLogs(AppContext &context)
{
    data::Connection &connection = context.connection();
    return connection.execute(data::Sql(QStringLiteral("delete from %1 where 所属店铺=?")
                                            .arg(connection.dialect().quoteTable(QStringLiteral("日志记录"))),
                                        {context.currentShop}));
}

} // namespace admin
