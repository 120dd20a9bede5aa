#pragma once
// What the live sales feed reads and writes, apart from its window: today's sale lines of every
// shop, today's messages of every shop (table 消息管理) and the posting of a message.
#include <QList>
#include <QString>
#include <QStringList>

#include "context/DateParts.h"

class AppContext;

namespace shell {

// A stored sale time "H:M" ("9:5", "10:30") as minutes after midnight; -1 when it is no such time.
int saleTimeMinutes(const QString &saleTime);

// Today's sale lines of all shops (销售日期 = the context's today), earliest sale first: by sale time
// read as hours and minutes, then by id (lines with an unreadable time last). Cells: 商品名称, 类别,
// 款号, 颜色, 尺码, 数量, 单位, 金额, 销售时间, 所属店铺. *ok is false when the query failed.
QList<QStringList> liveSalesLines(AppContext &context, bool *ok = nullptr);

// Today's messages of all shops, by 发送时间 then id. Cells: "" (the hidden column), 消息, 所属店铺,
// 店员, 发送时间.
QList<QStringList> todayMessageLines(AppContext &context, bool *ok = nullptr);

// The time a message is stamped with: the server's clock on the PostgreSQL server, the
// workstation's clock (Clock) on the SQLite file. On success the context's today takes it (date,
// hour and minute) and *stamp holds it; when the clock cannot be read, false and today stays as
// it was.
bool readMessageClock(AppContext &context, DateParts *stamp);

// Posts a message (also an empty one) of the workstation's shop and clerk: 发送时间 "HH:MM",
// 发送日期 "YYYY-MM-DD". False when the clock could not be read or the row was not stored.
bool postBroadcastMessage(AppContext &context, const QString &message);

} // namespace shell
