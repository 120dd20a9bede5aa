#pragma once
// Stock alarms: a stock row's own upper and lower bounds (单品库存报警设置), and the report of the
// shop's rows whose stock lies outside their bounds (库存报警报表): the row's own bounds when its
// switch is on, else the shop's when the shop's switch is on.
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class AppContext;
class QCheckBox;
class QLineEdit;
class ReportList;

namespace stock {

struct AlarmLimits {
    QString 上限, 下限, 开关; // bounds as stored (whole numbers), 开关 "真" or "假"
};

struct AlarmLimitsResult {
    bool ok = false;
    QString message; // the refusal or failure
    AlarmLimits stored;
};
// Bounds are whole numbers stored as text; an empty bound is stored as "0". Written by the row's id
// in the shop.
AlarmLimitsResult saveItemAlarmLimits(AppContext &context, qint64 rowId, const AlarmLimits &typed);

// The report's lines (15 cells each) for the shop's rows with a stock other than "0", by id; cost
// only with 查看进价. ok false when the read failed.
QList<QStringList> stockAlarmLines(AppContext &context, bool *ok = nullptr);

class ItemAlarmLimitsDialog : public QDialog
{
    Q_OBJECT
public:
    ItemAlarmLimitsDialog(const AlarmLimits &limits, QWidget *parent = nullptr);
    AlarmLimits typed() const;

private:
    QLineEdit *m_upper, *m_lower;
    QCheckBox *m_switch;
};

class StockAlarmReportWindow : public QDialog
{
    Q_OBJECT
public:
    explicit StockAlarmReportWindow(AppContext &context, QWidget *parent = nullptr);
    void exportStockAlarmReport(); // 导出库存报警
    ReportList *list() const { return m_list; }

private:
    AppContext &m_context;
    ReportList *m_list;
};

// 库存报警 of the purchase list's menu: the selected line's bounds in the dialog; 确定 stores them
// and shows them in the line; a refused entry keeps the dialog open with what was typed.
void openItemAlarmLimitsDialog(AppContext &context, ReportList *purchaseList, QWidget *parent);
void openStockAlarmReportWindow(AppContext &context, QWidget *parent);

namespace alarmtexts {
inline const QString BoundsNotWhole = QStringLiteral("库存上限和下限请填写整数，比如：100；不设请填0");
inline const QString Failed = QStringLiteral("报警设置没有保存，请检查数据库连接后重试！");
inline const QString RowGone = QStringLiteral("这条库存记录已不存在，请刷新列表后再试！");
inline const QString ReadFailed = QStringLiteral("读取库存失败，请检查数据库连接后重试！");
} // namespace alarmtexts

} // namespace stock
