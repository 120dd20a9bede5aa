#pragma once
// The stock view of the 分类查看 page: the shop's stock rows in 超级列表框6 with what was sold and
// what is left, sold-out rows in red and a totals line for 查看进价; the rows by purchase date, of
// one day or of a category; sold-out rows hidden from the view and shown again; header sorts.
#include <QDate>
#include <QList>
#include <QStringList>
#include <QWidget>

#include "data/Sql.h"

class AppContext;
class QDateEdit;
class QMenu;
class ReportList;

namespace data {
class RecordSet;
class RowReader;
}

namespace stock {

struct StockViewLine {
    QStringList cells; // the 13 cells
    quint32 colour = 0;
    bool totals = false;
};
// The lines of a record set open on 采购入库; the red totals line only with the cost right and rows.
QList<StockViewLine> stockViewLines(data::RecordSet &records, bool canSeeCost);
// The same read row by row from a reader just opened on 采购入库; no lines when reading failed.
QList<StockViewLine> stockViewLines(data::RowReader &reader, bool canSeeCost);

// The queries of the view, each on the shop's rows.
data::Sql visibleStockSql(AppContext &context, const QString &order = QStringLiteral("入库日期 ASC"));
data::Sql hiddenStockSql(AppContext &context);
data::Sql stockOfDateSql(AppContext &context, const QDate &day);
// A first-level category lists by its code in 大类, any other name by 类别.
data::Sql stockOfCategorySql(AppContext &context, const QString &category);

inline const QString kStillInStock = QStringLiteral("当前选择项还有库存！");

class StockViewPage : public QWidget
{
    Q_OBJECT
public:
    explicit StockViewPage(AppContext &context, QWidget *parent = nullptr);

    void fillStockList(data::RecordSet &records);
    void refreshStockList();     // 按钮19 刷新
    void listHiddenZeroStock();  // 显示所有零库
    void listStockOfDate();      // 起始日期1 changed
    void listStockOfCategory(const QString &category);
    void hideZeroStockRow();     // 零库存隐藏
    void unhideZeroStockRow();   // 零库存显示
    void sortStockList(int column);

    ReportList *list() const { return m_list; }
    QDateEdit *dateBox() const { return m_date; }
    // The selected line's stock row id; 0 for none or the totals line.
    qint64 selectedStockRowId() const;
    // After a transfer: the row's 库存 cell, red when it is "0".
    void showStockQuantity(qint64 rowId, const QString &quantity);

Q_SIGNALS:
    void stockTransferRequested(qint64 rowId); // 库存调拨 of the menu 分类
    void transferRecordsRequested();           // 库存调拨记录
    void alarmReportRequested();               // 查看库存报警
    void returnsRequested();                   // 退货管理1

protected:
    // The buttons and the menu item of windows that are not part of the program yet stay disabled.
    void showEvent(QShowEvent *event) override;

private:
    void list(const data::Sql &sql);
    void showLines(const QList<StockViewLine> &lines);
    void setZeroStockHidden(bool hidden);
    void showZeroStockMenu(int row, const QPoint &globalPos);

    AppContext &m_context;
    ReportList *m_list = nullptr;
    QDateEdit *m_date = nullptr;
    QMenu *m_menu = nullptr;
    QString m_sortToggle; // "1", "2" or "": the next sort's direction
};

} // namespace stock
