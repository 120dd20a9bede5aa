#include "context/OperationLog.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "data/Connection.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"

namespace oplog {

namespace {
const QString LogTable = QStringLiteral("日志记录");
}

QString logTimeText(const QString &dateText, const QTime &localTime)
{
    return dateText + u' ' + QString::number(localTime.hour()) + u':' + QString::number(localTime.minute());
}

data::Sql logRowSql(const data::Dialect &dialect, const QString &shop, const QString &account,
                    const QString &action, const QString &time)
{
    return data::buildInsertSql(dialect, LogTable,
                                {{QStringLiteral("门店"), shop},
                                 {QStringLiteral("用户名"), account},
                                 {QStringLiteral("操作内容"), action},
                                 {QStringLiteral("操作时间"), time},
                                 {QStringLiteral("所属店铺"), shop}});
}

bool writeLogRow(AppContext &context, const QString &action)
{
    const DateParts today = datingNow(context);
    const QString time = logTimeText(today.dateText(), Clock::now().time());
    data::Connection &connection = context.connection();
    return connection.execute(
        logRowSql(connection.dialect(), context.currentShop, context.currentAccount, action, time));
}

data::Sql monthLogsSql(const data::Dialect &dialect, const QString &shop, const QString &year,
                       const QString &month)
{
    const data::Sql where = data::eq(QStringLiteral("所属店铺"), shop)
        + data::Sql(QStringLiteral(" and 操作时间 like ?"), {QStringLiteral("%") + year + u'-' + month + QStringLiteral("-%")});
    return data::buildSelectSql(dialect, LogTable, where, true, QStringLiteral("id ASC"), true);
}

data::Sql allLogsSql(const data::Dialect &dialect, const QString &shop)
{
    return data::buildSelectSql(dialect, LogTable, data::eq(QStringLiteral("所属店铺"), shop), true,
                                QStringLiteral("id ASC"), true);
}

} // namespace oplog
