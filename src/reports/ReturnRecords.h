#pragma once
// The returns records of the shop (退货管理, written by the counter return): the lists of the
// returns window with their colours and the count of damaged units waiting, the filter of its
// button, settling a row (a damaged unit put back into stock, or the row simply deleted), the
// remark of a row and the opening of the window behind its right.
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

#include "data/Sql.h"

class AppContext;
class QWidget;

namespace data {
class RecordSet;
}

namespace reports {

inline const QString DamagedCondition = QStringLiteral("有损");
inline const QString UndamagedCondition = QStringLiteral("无损");

// What the list shows: every return of the shop, or those of one condition.
enum class ReturnFilter { All, Damaged, Undamaged };

// The shop's returns of the filter, oldest first.
data::Sql returnRecordsSql(AppContext &context, ReturnFilter filter);

// Text colours of the list (COLORREF): damaged rows red, undamaged rows teal.
constexpr quint32 DamagedColour = 255;
constexpr quint32 UndamagedColour = 0x808000;

struct ReturnListLine {
    QStringList cells;              // the 14 cells: ID, 供货来源 ... 商品情况, 备注
    std::optional<quint32> colour;  // none for a condition other than 有损 and 无损
};
struct ReturnListRows {
    QList<ReturnListLine> lines;
    int damaged = 0; // the 有损 rows among them
};
// The list lines of every row of the record set, from the first.
ReturnListRows returnListRows(data::RecordSet &rs);

// The filter button: its caption names the filter its next click applies.
inline const QString ShowDamagedCaption = QStringLiteral("只显示有损库存");
inline const QString ShowUndamagedCaption = QStringLiteral("只显示无损库存");
inline const QString ShowAllCaption = QStringLiteral("显示全部");
struct ReturnFilterStep {
    ReturnFilter filter = ReturnFilter::All;
    QString nextCaption;
};
// What a click does with the button showing `caption` (any other caption counts as the first).
ReturnFilterStep returnFilterStep(const QString &caption);

// One row of the list as the window hands it to the settling.
struct ReturnRecord {
    QString id; // cell 0
    QString 供货来源, 商品名称, 分类, 款号, 颜色, 尺码, 单位, 商品情况;
};
ReturnRecord returnRecordOfCells(const QStringList &cells);
bool isDamaged(const ReturnRecord &record);

// The log text of settling the row: the damaged or the undamaged action, then 供货来源 ... 单位
// joined by two blanks.
QString settleLogText(const ReturnRecord &record);

enum class SettleOutcome {
    Restocked,        // damaged: the unit is back in stock and the row deleted
    DeletedDamaged,   // damaged: the row deleted, the stock left to the user
    DeletedUndamaged, // undamaged (already back in stock at the counter): the row deleted
    NoStockRow,       // damaged, into stock: no stock row matches; nothing written
    Gone,             // the row is no longer there (settled elsewhere); nothing written
    Failed,           // the database refused a statement; nothing written
};
// Settles the row in one transaction: with `restock` (damaged rows only) the shop's lowest-id
// stock row of the same 款号, 颜色, 尺码 and 供货来源 gets one unit more in 数量 (已售 stays),
// then the log row and the deletion of the return row.
SettleOutcome settleReturnRecord(AppContext &context, const ReturnRecord &record, bool restock);
// The message after settling.
QString settleMessage(SettleOutcome outcome);

enum class RemarkOutcome { Saved, Gone, Failed };
// Stores the remark of the shop's return row `id` (a list cell).
RemarkOutcome setReturnRemark(AppContext &context, const QString &id, const QString &remark);

// Opens the returns window behind the right 退货管理 ("没有权限" when it is not held).
void openReturnsWindow(AppContext &context, QWidget *parent);

namespace returnrecordtexts {
inline const QString NoRight = QStringLiteral("没有权限");
inline const QString SettleTitle = QStringLiteral("问题库存确认");
inline const QString SettleQuestion = QStringLiteral(
    "该库存为问题库存确认已处理完毕！！！\r\n需要系统帮你自动重新再入库，请选【是】\r\n直接删除，稍后自己手动入库，请选【否】");
inline const QString DamagedLog = QStringLiteral("销售明细-退货管理---删除有损退货库存！  ");
inline const QString UndamagedLog = QStringLiteral("销售明细-退货管理---删除无损退货记录！  ");
inline const QString ExportLog = QStringLiteral("销售明细-退货管理---导出退货记录");
inline const QString ExportPrefix = QStringLiteral("退货管理");
inline const QString Restocked = QStringLiteral("系统入库成功！原问题库存记录已删除");
inline const QString DeletedDamaged = QStringLiteral("问题库存记录已删除");
inline const QString DeletedUndamaged = QStringLiteral("记录已删除");
inline const QString NoStockRow = QStringLiteral("系统未找到原始库存记录，请手动入库！");
inline const QString Gone = QStringLiteral("这条退货记录已不存在（可能已在别处处理），列表已刷新。");
inline const QString Failed = QStringLiteral("退货记录没有处理，没有写入任何数据，请检查数据库连接后重试！");
inline const QString RemarkSaved = QStringLiteral("备注修改成功！");
inline const QString RemarkFailed = QStringLiteral("备注没有保存，请检查数据库连接后重试！");
inline const QString ReadFailed = QStringLiteral("读取退货记录失败，请检查数据库连接后重试！");
} // namespace returnrecordtexts

} // namespace reports
