#pragma once
// The support messages of the page 系统帮助: this workstation's questions to the support desk and
// the desk's replies, on the remote support server. Without a configured, reachable server the
// list stays empty and nothing is sent.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "admin/AdminResult.h"

namespace admin {

class RemoteSupportServer;

// Limits of a message in GBK bytes.
constexpr int SupportMessageMinBytes = 20;
constexpr int SupportMessageMaxBytes = 900;

// Why the text cannot be sent ("" when it can): more than 900 bytes "不能超过450个汉字！", fewer
// than 20 bytes "少于10个汉字不能提交！".
QString supportMessageProblem(const QString &text);

// The workstation's messages in id order: id, 发送消息, 发送时间, 回复消息, 回复时间. nullopt when
// they could not be read (no open server, or the query failed; the connection logs why).
std::optional<QList<QStringList>> loadSupportMessages(RemoteSupportServer *server, const QString &workstation);

// Sends the text dated sentDate ("YYYY-MM-DD"). Refused with the length texts, or with a failure
// text when the server is missing or the insert failed (the caller then keeps the text).
AdminResult submitFeedback(RemoteSupportServer *server, const QString &workstation, const QString &text,
                           const QString &sentDate);

} // namespace admin
