#include "members/MemberExport.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "lists/ExcelExport.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"

namespace members {

QString memberExportName(AppContext &context, const QString &prefix)
{
    refreshToday(context, true);
    const DateParts &today = context.today;
    const QDateTime now = Clock::now();
    return excelExportName(prefix, dateOfToday(today), now.time());
}

bool exportListWithMessage(AppContext &context, const ReportList *list, const QString &prefix, QWidget *parent)
{
    const bool written = exportListViewToExcelInProgramDir(list, memberExportName(context, prefix));
    MessageSeam::message(parent, QString(), written ? exportSuccessText(prefix) : exportFailureText(prefix));
    return written;
}

void exportMemberList(AppContext &context, const ReportList *memberList, QWidget *parent)
{
    if (!rights::checkRight(context, QStringLiteral("导出会员"), parent))
        return;
    const bool written = exportListViewToExcelInProgramDir(memberList, memberExportName(context, kMemberExportPrefix));
    if (written)
        oplog::writeLogRow(context, kMemberExportLogText);
    MessageSeam::message(parent, QString(),
                         written ? exportSuccessText(kMemberExportPrefix) : exportFailureText(kMemberExportPrefix));
}

} // namespace members
