#pragma once
// The returns window "退货管理": the shop's counter returns, undamaged in teal and damaged in red,
// with the count of damaged units still waiting; a filter button, the remark of a row, settling a
// row (a damaged unit back into stock, or the row deleted), the export and the sales report.
#include <QDialog>
#include <functional>

#include "reports/ReturnRecords.h"

class AppContext;
class QLabel;
class QMenu;
class QPushButton;
class ReportList;

namespace reports {

class ReturnsWindow : public QDialog
{
    Q_OBJECT
public:
    // How 查看销售报表 opens the sales report window (set by the application); the button is
    // disabled while there is none.
    static inline std::function<void(AppContext &, QWidget *parent)> salesReportOpener;

    explicit ReturnsWindow(AppContext &context, QWidget *parent = nullptr);

    // Appends the rows of the record set and writes the count of damaged rows shown.
    void fillReturnList(data::RecordSet &rs);
    void cycleReturnFilter();          // 按钮2
    void openReturnRemarkDialog();     // menu 修改备注, double click
    void resolveReturnRecord();        // menu 删除本行
    void exportReturns();              // 超级按钮1
    void openSalesReportFromReturns(); // 按钮1

    ReportList *list() const { return m_list; }
    QPushButton *filterButton() const { return m_filter; }
    QLabel *damagedCount() const { return m_count; }
    QMenu *menu() const { return m_menu; }

private:
    void showReturnListMenu(int row, const QPoint &globalPos);
    // Empties the list and fills it from the statement.
    void relist(const data::Sql &sql);

    AppContext &m_context;
    ReportList *m_list;
    QPushButton *m_filter;
    QPushButton *m_salesReport;
    QLabel *m_count;
    QMenu *m_menu;
};

} // namespace reports
