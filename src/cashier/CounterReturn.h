#pragma once
// Taking back one unit of a sold line at the counter. Each press reads the line afresh from
// 销售明细 (by its id, in the workstation's shop) and, after the cashier's two answers, writes the
// whole return in one transaction: the 退货管理 row, the log row, the unit back into stock when it
// is undamaged, the unit taken off the month's sales ranking, the member's points, spending and
// stored value given back, and the sold line reduced by the unit's shares or deleted. Stock and member figures change by increments, so a
// sale made at the same time on another workstation is kept.
#include <QString>
#include <QtGlobal>
#include <optional>

class AppContext;
struct ShopSettings;

namespace cashier {

// The columns of a stored 销售明细 row that a return reads.
struct SoldLine {
    qint64 id = 0;
    QString 供货来源, 商品名称, 类别, 款号, 颜色, 尺码, 单位, 数量, 金额, 进货价;
    QString 现金, 储值, 银行, 积分, 优惠券;
    QString 销售日期, 备注, 会员编号, 结付方式, 小票单号;
};

// What the member gets back and gives back for one returned unit, in whole points and whole money.
// The sale's lines still stored before the unit goes (amounts and the points part in money, summed
// over the sale) and after it decide: the points given back are round(R × points part before) −
// round(R × points part after), R the points per unit of money (抵扣值); the points and spending
// taken back are ⌊amount before⌋ − ⌊amount after⌋. Over all units of a sale returned one by one
// the differences add up to exactly round(R × points part paid) and ⌊amount due⌋, what the sale
// took and gave.
struct MemberGiveBack {
    qint64 pointsBack = 0; // the points the unit paid with
    qint64 earned = 0;     // the points, and the spending, the unit earned
};
MemberGiveBack memberGiveBack(double saleAmountBefore, double amountShare, double salePointsBefore,
                              double pointsShare, qint64 pointsPerUnit);

// The unit's figures. A partial return (more than one unit on the line) takes each part's share,
// rounded to the shop's sale decimals; the last unit takes the line whole.
struct ReturnFigures {
    bool partial = false;
    double quantity = 0;  // Q
    double amountShare = 0, pointsShare = 0, storedShare = 0, cashShare = 0, voucherShare = 0, bankShare = 0;
    double received = 0;  // R: the money received for the unit (amount less points and vouchers)
};
ReturnFigures returnFigures(const SoldLine &line, const ShopSettings &settings);

// The confirmation's text (the figures of the line as stored, and R).
QString returnQuestionText(const SoldLine &line, const ReturnFigures &figures);

enum class ReadStatus { Found, Gone, Failed };
// The line of the workstation's shop with this id.
ReadStatus readSoldLine(AppContext &context, qint64 id, SoldLine *line);

enum class ReturnStatus {
    Partial, // the line holds one unit less
    Whole,   // the line is deleted
    Gone,    // the line no longer exists (returned or deleted meanwhile): nothing written
    Failed,  // the database refused a statement: nothing written
};
struct ReturnResult {
    ReturnStatus status = ReturnStatus::Failed;
    QString remainingQuantity; // the line's 数量 after a partial return
};

// Returns one unit of the line; `damaged` is the answer 有损. Today is refreshed first.
ReturnResult applyCounterReturn(AppContext &context, qint64 lineId, bool damaged);

namespace returntexts {
inline const QString NothingSelected = QStringLiteral("您还未选择要退货的单据！");
inline const QString ConfirmTitle = QStringLiteral("确认退货");
inline const QString DamageTitle = QStringLiteral("是否可以二次销售");
inline const QString DamageQuestion =
    QStringLiteral("请确认商品情况！！！\r\n有损：有损坏或者有质量问题不可再次销售。请选【是】\r\n无损：商品状况基本完好可以进行再次销售。请选【否】");
inline const QString PartialDone = QStringLiteral("退货已完成，销售明细该条订单数量已减去 1 ");
inline const QString WholeDone = QStringLiteral("退货已完成，销售明细已删除该条记录");
inline const QString LineGone = QStringLiteral("这条销售记录已不存在（可能已在别处退货或删除），没有退货。请刷新列表后再试！");
inline const QString Failed = QStringLiteral("退货没有完成，没有写入任何数据，请检查数据库连接后重试！");
} // namespace returntexts

} // namespace cashier
