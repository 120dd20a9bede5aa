#pragma once
// What the SMS window computes: the length of a message, the batches a group send walks through,
// and how a test send reads the SMS service's reply. The program has no SMS service of its own:
// nothing here transmits anything.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace members {

inline const QString kSmsNoMessage = QStringLiteral("请先编辑短信内容");
inline const QString kSmsNoService = QStringLiteral("没有设置短信服务，测试短信没有发送！");
inline const QString kSmsIncompleteReply =
    QStringLiteral("短信服务没有返回完整的结果（应为7项，以“;”分隔），无法显示发送结果！");
inline const QString kSmsNotice = QStringLiteral(
    "任何形式广告、房产、教育、贷款、理财等信息暂停发送，具体恢复时间另行通知！\n\n"
    "普通短信每70个字（含签名）计费，超过70个字的长短信每67字（含签名）计费一次，每次10个号码以上发送！\n\n"
    "发送前先给自己发送一条测试是否可正常收到");

// The window's title when it opens: "当前还有余额：", ten blanks, "预计还可以发送", five blanks, "条".
QString smsInitialTitle();

// The length of a message in characters as the window counts it: GBK bytes halved, so a Chinese
// character counts 1 and an ASCII character 0.5. A character GBK has no code for counts two bytes.
double smsCharacterCount(const QString &message);
// The caption of 分组框1: "短信内容 字数：" and the count (3.5 for three Chinese characters and a digit).
QString smsCountCaption(const QString &message);

// "本次共有<count>条信息，将分多次发送".
QString smsBatchCountText(int count);
// The batches a group send shows for a count of numbers, in order: from the first batch whose
// threshold the count exceeds (batch 0: 1800, 1: 1600 ... 8: 200, 9: 2) down to batch 9; none for a
// count up to 2.
QList<int> smsBatchWalk(int count);

// The fields of a service's reply "f1;f2;accepted;refused;billed;amount‰;balance‰"; nothing when it
// has fewer than seven.
std::optional<QStringList> smsReplyFields(const QString &reply);
// The title after a test send: the balance in yuan and the messages it pays for at 0.06 yuan each.
QString smsBalanceTitle(const QStringList &fields);
// The result of a test send: numbers accepted and refused, messages billed, the amount billed in yuan.
QString smsSubmitText(const QStringList &fields);

} // namespace members
