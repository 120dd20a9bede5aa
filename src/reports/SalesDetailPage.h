#pragma once
// The page 销售明细 of the main window: the shop's sold lines by day, month, range or all dates,
// a search by one field inside the chosen dates, totals (with 查看进价), the detail window of a
// line and the export to Excel.
#include <QWidget>
#include <functional>

#include "data/RecordSet.h"
#include "reports/SalesDetail.h"

class AppContext;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class ReportList;

namespace reports {

class SalesDetailPage : public QWidget
{
    Q_OBJECT
public:
    static inline const QString ExportPrefix = QStringLiteral("销售明细");
    static inline const QString ExportLogText = QStringLiteral("销售明细---导出销售明细");
    // A listing or search whose statement failed (the connection has logged it): the list and the
    // footer keep what they showed.
    static inline const QString ReadFailedText =
        QStringLiteral("读取销售明细失败，请检查数据库连接后重试！列表和合计仍是上次的内容。");

    explicit SalesDetailPage(AppContext &context, QWidget *parent = nullptr);

    // Fills the list from a record set opened on 销售明细 (the page switch lists today's lines
    // through this), then writes the footer. A record set whose statement failed (it holds no
    // result) leaves the list and the footer as they were and says that the read failed.
    void fillSalesDetailList(data::RecordSet &rs);
    // The same without emptying the list, adding into the running totals.
    void appendSalesDetailRows(data::RecordSet &rs);

    void listSalesByDateFilter(); // 起始日期 changed
    void listSalesOfRange();      // 结束日期 changed
    void selectDayFilter();
    void selectMonthFilter();
    void selectRangeFilter();
    void selectAllDatesFilter();
    void clearSalesSearchBox();
    void searchSalesDetails();
    void exportSalesDetails();
    void openSaleLineDetailWindow();

    DateScope scope() const;
    const SalesDetailTotals &totals() const { return m_totals; }
    const SoldRow &selectedSale() const { return m_selectedSale; }

    ReportList *list() const { return m_list; }
    QDateEdit *startDate() const { return m_start; }
    QDateEdit *endDate() const { return m_end; }
    QComboBox *searchField() const { return m_field; }
    QLineEdit *searchText() const { return m_text; }
    // The value labels of the footer: amount, quantity, cost, profit, margin.
    QLabel *footerLabel(int n) const { return m_values[n]; }

    // 按钮2: one unit of the selected line back (see cashier/CounterReturn). Asks first; after the
    // return the line's row shows the line as stored, or, when the line was deleted, the list shows
    // today's lines of the shop.
    void returnSoldItem();
    // Reads the row's line again (by its id, in the shop) and shows it as stored.
    void refreshSaleRow(int row);

    // The page's buttons whose work belongs to other features (销售简表X, 销量排行X, 退货管理2).
    std::function<void()> openSalesSummary;
    std::function<void()> openSalesRanking;
    std::function<void()> openReturnsRecords;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void setScope(DateScope scope);
    void walk(data::RecordSet &rs, SalesDetailTotals &totals);
    void writeFooter(const SalesDetailTotals &totals);
    void listRange(const data::Sql &sql);
    // False, after saying so, when the record set's statement failed.
    bool readSucceeded(const data::RecordSet &rs);
    bool canSeeCost() const;

    AppContext &m_context;
    data::RecordSet m_rs;
    SalesDetailTotals m_totals; // salesDetailTotals
    SoldRow m_selectedSale;     // selectedSale

    ReportList *m_list = nullptr;
    QDateEdit *m_start = nullptr;
    QDateEdit *m_end = nullptr;
    QWidget *m_dash = nullptr;    // 外形框2
    QWidget *m_picture = nullptr; // 图片框6
    QCheckBox *m_boxes[4] = {};   // 天框, 月框, 开始框, 全部框
    QButtonGroup *m_scopeGroup = nullptr;
    QComboBox *m_field = nullptr;
    QLineEdit *m_text = nullptr;
    QLabel *m_values[5] = {};
};

} // namespace reports
