#include "members/SmsMessages.h"

#include "platform/Gbk.h"
#include "platform/NumberText.h"

#include <cmath>

namespace members {

QString smsInitialTitle()
{
    return QStringLiteral("当前还有余额：") + QString(10, u' ') + QStringLiteral("预计还可以发送") + QString(5, u' ')
        + QStringLiteral("条");
}

double smsCharacterCount(const QString &message)
{
    qint64 bytes = 0;
    for (qsizetype i = 0; i < message.size(); ++i) {
        const qsizetype length = message.at(i).isHighSurrogate() && i + 1 < message.size() ? 2 : 1;
        const int encoded = gbk::byteLength(message.mid(i, length));
        bytes += encoded > 0 ? encoded : 2;
        i += length - 1;
    }
    return double(bytes) / 2.0;
}

QString smsCountCaption(const QString &message)
{
    return QStringLiteral("短信内容 字数：") + numberToText(smsCharacterCount(message));
}

QString smsBatchCountText(int count)
{
    return QStringLiteral("本次共有") + QString::number(count) + QStringLiteral("条信息，将分多次发送");
}

QList<int> smsBatchWalk(int count)
{
    const auto threshold = [](int batch) { return batch == 9 ? 2 : 1800 - 200 * batch; };
    QList<int> walk;
    for (int batch = 0; batch <= 9; ++batch) {
        if (walk.isEmpty() && count <= threshold(batch))
            continue;
        walk << batch;
    }
    return walk;
}

std::optional<QStringList> smsReplyFields(const QString &reply)
{
    const QStringList fields = reply.split(u';');
    if (fields.size() < 7)
        return std::nullopt;
    return fields;
}

QString smsBalanceTitle(const QStringList &fields)
{
    const double balance = textToNumber(fields.at(6));
    return QStringLiteral("当前还有余额：『") + numberToText(balance / 1000) + QStringLiteral("』元") + QString(11, u' ')
        + QStringLiteral("预计还可以发送『") + QString::number(qint64(std::trunc(balance / 60)))
        + QStringLiteral("』条");
}

QString smsSubmitText(const QStringList &fields)
{
    return QStringLiteral("提交成功：『") + fields.at(2) + QStringLiteral("』个号码\r\n提交失败：『") + fields.at(3)
        + QStringLiteral("』个号码\r\n计费条数：『") + fields.at(4) + QStringLiteral("』条\r\n计费金额：『")
        + numberToText(textToNumber(fields.at(5)) / 1000) + QStringLiteral("』元");
}

} // namespace members
