#pragma once
// The operation log: one row of 日志记录 per action of note, in the one shape every writer uses:
// 门店 = the shop, 用户名 = the login name, 操作内容 = the action text, 操作时间 = "YYYY-MM-DD H:M",
// 所属店铺 = the shop. Values are bound, so an action text holding ' , or = is stored exactly.
#include <QString>
#include <QTime>

#include "data/Sql.h"

class AppContext;
namespace data {
class Dialect;
}

namespace oplog {

// The time form of 操作时间: the date text, a blank, then hour ":" minute of the local clock
// without leading zeros ("2015-03-11 9:5", "2015-03-11 14:30").
QString logTimeText(const QString &dateText, const QTime &localTime);

// The insert of one log row.
data::Sql logRowSql(const data::Dialect &dialect, const QString &shop, const QString &account,
                    const QString &action, const QString &time);

// Writes the row for the logged-in account and the workstation's shop on the context's connection.
// The date is refreshed first (so a program running past midnight never writes yesterday's date);
// hour and minute come from the local clock. Returns whether the row was stored; a failure is in
// the program log, and writers carry on.
bool writeLogRow(AppContext &context, const QString &action);

// The month's rows of a shop: 操作时间 like '%<year>-<month>-%', oldest first.
data::Sql monthLogsSql(const data::Dialect &dialect, const QString &shop, const QString &year,
                       const QString &month);
// All rows of a shop, oldest first.
data::Sql allLogsSql(const data::Dialect &dialect, const QString &shop);

} // namespace oplog
