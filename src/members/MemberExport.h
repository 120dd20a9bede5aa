#pragma once
// The exports of the member page: the member list (超级列表框3, as the last fill, search or sort left
// it) behind the right 导出会员, and the lists that share its naming and messages.
#include <QString>

class AppContext;
class QWidget;
class ReportList;

namespace members {

inline const QString kMemberExportPrefix = QStringLiteral("会员信息");
inline const QString kMemberExportLogText = QStringLiteral("会员管理---导出会员信息！");

// The workbook name of an export: the prefix, the date of today (refreshed now), then the local
// clock's hour and minute without leading zeros: 会员信息2015年03月11号9点7.
QString memberExportName(AppContext &context, const QString &prefix);

// Writes the list into <program directory>/<name>.xlsx and says whether it was written: the
// prefix's success text, or its failure text. True when the workbook was written.
bool exportListWithMessage(AppContext &context, const ReportList *list, const QString &prefix, QWidget *parent);

// 超级按钮1 "导出会员信息": without the right 导出会员 "没有权限！" and nothing is written or logged;
// otherwise the list is exported and, once the workbook is written, the log row
// "会员管理---导出会员信息！" is written.
void exportMemberList(AppContext &context, const ReportList *memberList, QWidget *parent);

} // namespace members
