#pragma once
// Crediting and debiting a member's points and stored value by hand, with the history of every
// adjustment (table 调整积分). An adjustment writes its history row, its log row and the member's
// new figures in one transaction; the figures change by increments in the statement, so whatever
// a sale changed meanwhile is kept.
#include <QList>
#include <QString>
#include <QStringList>

class AppContext;

namespace members {

// What the form 分组框5 holds, as typed.
struct PointsAdjustmentForm
{
    QString addPoints;      // 增加积分4
    QString subtractPoints; // 减少积分4
    QString addStoredValue; // 增加储值4
    QString remark;         // 备注4
};

struct AdjustResult
{
    bool done = false;
    QString message;     // "" when there is nothing to show
    QString points;      // the member's 积分 as stored after the adjustment
    QString storedValue; // the member's 会员储值 as stored after the adjustment
};

// Adjusts the member of the given id (the row selected in the member list; "" = none selected)
// behind the right 积分调整. Points are whole numbers from 0 on; stored value an amount with at
// most two decimals, a "-" before it takes value off; neither has more digits before the point
// than the money ceiling. An empty field counts 0; an adjustment that changes nothing, or a field
// that is no such number, is refused and nothing is written.
AdjustResult adjustMemberPoints(AppContext &context, const QString &memberId, const PointsAdjustmentForm &form);

// The nine cells of a history row: id, 调整日期, 增加积分, 减少积分, 增加储值, 操作员, 门面, 积分卡号, 备注.
struct AdjustmentHistory
{
    bool ok = false;
    QList<QStringList> rows;
};

// The adjustments of a card, oldest first: made in any shop while 会员共享 is "真", else in this
// shop only. An empty card (no member selected) lists nothing and queries nothing.
AdjustmentHistory loadMemberPointsHistory(AppContext &context, const QString &card);
// Every adjustment, oldest first: of all shops while 会员共享 is "真", else of this shop.
AdjustmentHistory listAllPointAdjustments(AppContext &context);

namespace adjusttexts {
inline const QString NoRight = QStringLiteral("没有权限！");
inline const QString NoMember = QStringLiteral("当前还没有选定会员");
inline const QString AddFilled = QStringLiteral("增加积分已经填写内容");
inline const QString SubtractFilled = QStringLiteral("减少积分已经填写内容");
} // namespace adjusttexts

} // namespace members
