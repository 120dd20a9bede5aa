#pragma once
// The window 销量排行: the shop's sales ranking of this month, most sold first; a picked month least
// sold first; a search of one column over all months; header clicks that sort the list (the first
// descending, then alternating); the export.
#include <QDialog>
#include <QList>
#include <QStringList>

#include "data/Sql.h"
#include "reports/SalesRanking.h"

class AppContext;
class QComboBox;
class QDateEdit;
class QLabel;
class ReportList;

namespace reports {

class SalesRankingWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SalesRankingWindow(AppContext &context, QWidget *parent = nullptr);

    void listSalesRankingOfMonth();    // 按钮1 "查看指定月份"
    void searchSalesRanking();         // 超级查找 "查找"
    void loadRankingFilterValues();    // 类别7 changed
    void sortSalesRankingList(int column); // a header click
    void exportSalesRanking();         // 超级按钮1 "导出排行"

    ReportList *list() const { return m_list; }
    QDateEdit *dateBox() const { return m_date; }
    QComboBox *fieldBox() const { return m_field; }
    QComboBox *valueBox() const { return m_value; }
    QLabel *directionLabel() const { return m_direction; }

private:
    void fill(const data::Sql &sql, RankingOrder order);

    AppContext &m_context;
    ReportList *m_list;
    QDateEdit *m_date;
    QComboBox *m_field;
    QComboBox *m_value;
    QLabel *m_direction; // 标签10: "" at first, then "1" (last sort descending) or "2"
};

// 销量排行X: the window, modal, for an account with the right 销量排行 (else "没有权限！").
void openSalesRankingWindow(AppContext &context, QWidget *parent);

} // namespace reports
