#pragma once
// The window 采购报表 (not modal): the shop's purchase report of this month, of a picked month or
// day, or of a remark search, with the red total row; the generation of a picked day's report; the
// remarks of its rows; the export.
#include <QDialog>
#include <QString>

#include "data/Sql.h"

class AppContext;
class QCalendarWidget;
class ReportList;

namespace reports {

class PurchaseReportWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PurchaseReportWindow(AppContext &context, QWidget *parent = nullptr);

    void listPurchaseReportThisMonth();  // 按钮2 "刷新"
    void listPurchaseReportOfMonth();    // 按钮3 "按月份查看"
    void listPurchaseReportOfDay();      // a new day picked in 起始日期
    void listPurchaseReportsByRemark(const QString &remark);
    void generatePurchaseReport();       // 按钮1 "生成采购报表"
    // The remark dialog for the selected row (double click, or the menu's "修改/查找备注"); nothing
    // with no row selected or the total row selected.
    void openPurchaseRemarkDialog();
    void exportPurchaseReport();         // 超级按钮2 "导出报表"

    ReportList *list() const { return m_list; }
    QCalendarWidget *calendar() const { return m_calendar; }
    // purchaseReportRemark: the remark last handed to or taken from the dialog.
    QString remarkText() const { return m_remark; }

private:
    void fill(const data::Sql &sql);
    void showPurchaseReportMenu(int row, const QPoint &globalPos);

    AppContext &m_context;
    ReportList *m_list;
    QCalendarWidget *m_calendar;
    QString m_remark;
};

// 按钮20 of the purchase page: a new window, not modal, deleted when closed, for an account with the
// right 采购报表 (else "没有权限！" and nullptr).
PurchaseReportWindow *openPurchaseReportWindow(AppContext &context, QWidget *parent);

} // namespace reports
