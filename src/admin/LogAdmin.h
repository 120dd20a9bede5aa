#pragma once
// The log page 系统日志查看: the shop's rows of 日志记录 of this month or of all time, and clearing
// them. Rows are written by oplog::writeLogRow (context/OperationLog.h).
#include <QList>
#include <QStringList>

class AppContext;

namespace admin {

// List rows: ID, 门店, 用户名, 操作内容, 操作时间; oldest first.
QList<QStringList> logsOfMonth(AppContext &context);
QList<QStringList> allLogs(AppContext &context);
// Deletes the workstation shop's rows only; false when the statement failed.
bool deleteAllLogs(AppContext &context);

} // namespace admin
