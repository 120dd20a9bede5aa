#pragma once
// The sales report window (caption "销售报表"): settles a day or a month of the shop, lists the
// settlement rows (this month's days, the days of a month, all months, the rows with a remark) with
// a red total row, keeps a remark per row, exports the list and opens the returns window.
#include <QDialog>
#include <functional>

#include "data/Sql.h"

class AppContext;
class QDateEdit;
class QMenu;
class ReportList;

namespace reports {

class SummaryRemarkDialog;

class SalesReportWindow : public QDialog
{
    Q_OBJECT
public:
    static inline const QString ExportPrefix = QStringLiteral("销售报表");
    static inline const QString ExportLogText = QStringLiteral("销售明细-销售简表---导出销售报表");
    static inline const QString ReadFailedText = QStringLiteral("读取销售报表失败，请检查数据库连接后重试！");

    // Opens the returns window once the right 退货管理 has been granted. The program's assembly sets
    // it; while it is empty 查看退货管理 opens nothing.
    static inline std::function<void(AppContext &context, QWidget *parent)> openReturnsWindow;

    // initSalesReportWindow: today refreshed, 起始日期 on today, this month's day rows listed.
    explicit SalesReportWindow(AppContext &context, QWidget *parent = nullptr);

    void settleDay();                 // 结算日 "按天结算"
    void settleMonth();               // 结算月 "按月结算"
    void listSummariesThisMonth();    // 按钮3 "刷新"
    void listMonthSummaries();        // 查看所有月 "查看所有已结月份"
    void listDailySummariesOfMonth(); // 查看所有日 "按月查已结天数"
    void listSummariesByRemark(const QString &text);
    void exportSalesReport();         // 超级按钮1 "导出报表"
    void openReturnsFromSalesReport(); // 按钮6 "查看退货管理"
    // The menu item "修改/查找 备注" and a double click: the selected row's remark in the remark
    // dialog. Nothing opens without a selected row or on the total row.
    void openSummaryRemarkDialog();

    // Fills the list from a statement over 销售简表, with the total row (fillDailySummaryList). A read
    // that failed is said and leaves the list as it was.
    void fillDailySummaryList(const data::Sql &sql);

    ReportList *list() const { return m_list; }
    QDateEdit *dateBox() const { return m_date; }
    QMenu *menu() const { return m_menu; }
    // The remark carried into and out of the remark dialog.
    const QString &summaryRemark() const { return m_summaryRemark; }

private:
    void showSummaryListMenu(int row, const QPoint &globalPos);
    void saveSummaryRemark(SummaryRemarkDialog *dialog, int row, qint64 id);
    void searchSummaryRemarks(SummaryRemarkDialog *dialog);

    AppContext &m_context;
    ReportList *m_list;
    QDateEdit *m_date;
    QMenu *m_menu;
    QString m_summaryRemark;
};

// 销售简表X on the sales detail page (and the returns window): the window, modal, for an account
// with the right 销售简表; otherwise "没有权限！".
void openSalesReportWindow(AppContext &context, QWidget *parent);

} // namespace reports
