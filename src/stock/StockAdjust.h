#pragma once
// Adjusting a stock row of the purchase list: a signed change of its quantity, its prices and the
// special-price flag, kept as a row of the item's history (商品历史). The change starts from the
// stored quantity and is written by increment, so units sold meanwhile on another workstation are
// kept; the history row, the log row and the stock row are one transaction.
#include <QDialog>
#include <QString>
#include <QStringList>

class AppContext;
class QCheckBox;
class QLineEdit;
class ReportList;

namespace stock {

struct StockAdjustValues {
    QString 数量;      // the change as typed: "-3", "+2", or "" for prices only
    QString 成本价;
    QString 吊牌价;
    QString 商品折扣;
    QString 特价;      // "√" or ""
    QString 备注;
};

struct StockAdjustResult {
    bool ok = false;
    QString message;   // the refusal or failure; the success text after a commit
    QString quantity;  // 数量 as stored after the change
    QString cost;      // 进货价 as stored
    QString tagPrice, discount, special;
};

// Checks the typed values (prices within the money ceiling) and writes the adjustment of the row
// (by its id, in the shop). Without 查看进价 the stored cost stays whatever the cost field holds.
StockAdjustResult applyStockAdjust(AppContext &context, qint64 rowId, const StockAdjustValues &values);

// The history rows of a stock row, oldest first: the ten cells of the history list.
QList<QStringList> itemHistoryRows(AppContext &context, qint64 rowId, bool *ok = nullptr);

class StockAdjustDialog : public QDialog
{
    Q_OBJECT
public:
    StockAdjustDialog(const StockAdjustValues &values, QWidget *parent = nullptr);
    StockAdjustValues values() const;
    // 确定: the typed values are taken (and checked by the caller).
    void confirmStockAdjust() { accept(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_count, *m_cost, *m_tag, *m_discount, *m_remark;
    QCheckBox *m_special;
};

class ItemHistoryWindow : public QDialog
{
    Q_OBJECT
public:
    ItemHistoryWindow(AppContext &context, qint64 rowId, QWidget *parent = nullptr);
    ReportList *list() const { return m_list; }

private:
    ReportList *m_list;
};

// 商品调整 on the purchase list's selected line: the right 调整价格, the dialog, the adjustment,
// the line shown as stored and the totals line summed again. A refused entry keeps the dialog open
// with what was typed. True when an adjustment was stored.
bool startStockAdjust(AppContext &context, ReportList *purchaseList, QWidget *parent);
// 历史调整 of the selected line.
void openItemHistoryWindow(AppContext &context, ReportList *purchaseList, QWidget *parent);

namespace adjusttexts {
inline const QString Done = QStringLiteral("调整成功！如果有采用打标签请去单独打印标签！");
inline const QString CountNotWhole = QStringLiteral("调整数量请填写整数，正数为加，负数为减，比如：-3");
inline const QString PricesNotNumbers = QStringLiteral("成本价和吊牌价必须填写数字！");
inline const QString RowGone = QStringLiteral("这条库存记录已不存在，请刷新列表后再试！");
inline const QString Failed = QStringLiteral("调整失败，没有写入任何数据，请检查数据库连接后重试！");
} // namespace adjusttexts

} // namespace stock
