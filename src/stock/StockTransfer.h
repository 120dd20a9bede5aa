#pragma once
// Handing stock of one row to another shop of the database: onto the receiving shop's oldest row
// of the same supplier, style, colour and size (shown again if it was hidden), or onto a copy of
// the row; the source row lowered and the transfer recorded (调拨记录). One transaction: the
// quantity is checked against the stored stock inside it and moved by increments.
#include <QDialog>
#include <QString>
#include <QStringList>

class AppContext;
class QComboBox;
class QLineEdit;

namespace stock {

class StockViewPage;

struct TransferResult {
    bool ok = false;
    QString message;        // the refusal or failure
    QString sourceQuantity; // the source row's 数量 after the transfer
};
TransferResult transferStockToShop(AppContext &context, qint64 sourceId, const QString &typedQuantity,
                                   const QString &targetShop);

// The shops a transfer may go to: every shop of the database but this one, in their order.
QStringList transferTargetShops(AppContext &context);

class TransferDialog : public QDialog
{
    Q_OBJECT
public:
    TransferDialog(const QStringList &shops, const QString &stock, QWidget *parent = nullptr);
    QString quantity() const;
    QString targetShop() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_quantity;
    QComboBox *m_shop;
};

// 库存调拨 of the stock view's menu: the right 库存调拨, the dialog, the transfer; a refused entry
// keeps the dialog open with what was typed; the line shows the source's new stock.
void startStockTransfer(AppContext &context, StockViewPage &view, QWidget *parent);

namespace transfertexts {
inline const QString TooMany = QStringLiteral("调出数量不能大于库存数！");
inline const QString NotWhole = QStringLiteral("调出数量请填写正整数，比如：5");
inline const QString NoShop = QStringLiteral("请选择接收调拨的门店！");
inline const QString RowGone = QStringLiteral("这条库存记录已不存在，请刷新列表后再试！");
inline const QString Failed = QStringLiteral("调拨失败，两个门店的库存都没有改变，请检查数据库连接后重试！");
} // namespace transfertexts

} // namespace stock
