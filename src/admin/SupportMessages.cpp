#include "admin/SupportMessages.h"

#include "data/Connection.h"
#include "data/RecordSet.h"
#include "platform/Gbk.h"
#include "admin/RemoteSupportServer.h"

namespace admin {

QString supportMessageProblem(const QString &text)
{
    const int bytes = gbk::byteLength(text);
    if (bytes > SupportMessageMaxBytes)
        return QStringLiteral("不能超过450个汉字！");
    if (bytes < SupportMessageMinBytes)
        return QStringLiteral("少于10个汉字不能提交！");
    return {};
}

std::optional<QList<QStringList>> loadSupportMessages(RemoteSupportServer *server, const QString &workstation)
{
    if (!server || !server->isOpen())
        return std::nullopt;
    data::Connection &connection = server->connection();
    data::RecordSet rows(connection);
    if (!rows.open(RemoteSupportServer::selectSupportMessagesSql(connection.dialect(), workstation)))
        return std::nullopt;
    QList<QStringList> list;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext())
        list.append({QString::number(rows.integer(QStringLiteral("id"))), rows.text(QStringLiteral("发送消息")),
                     rows.text(QStringLiteral("发送时间")), rows.text(QStringLiteral("回复消息")),
                     rows.text(QStringLiteral("回复时间"))});
    return list;
}

AdminResult submitFeedback(RemoteSupportServer *server, const QString &workstation, const QString &text,
                           const QString &sentDate)
{
    const QString problem = supportMessageProblem(text);
    if (!problem.isEmpty())
        return AdminResult::refused(problem);
    const QString failed = QStringLiteral("消息没有发送成功，请检查网络或支持服务器设置后重试！");
    if (!server || !server->isOpen())
        return AdminResult::refused(failed);
    data::Connection &connection = server->connection();
    if (!connection.execute(RemoteSupportServer::insertSupportMessageSql(connection.dialect(), workstation, text,
                                                                         sentDate)))
        return AdminResult::refused(failed);
    return AdminResult::ok();
}

} // namespace admin
