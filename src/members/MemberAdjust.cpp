#include "members/MemberAdjust.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

#include <QRegularExpression>

namespace members {

namespace {

const QString kAdjustTable = QStringLiteral("调整积分");
const QString kMemberTable = QStringLiteral("会员管理");
const QString kRight = QStringLiteral("积分调整");

const QString kBadPoints = QStringLiteral("积分请填写整数，比如：100");
const QString kBadStoredValue = QStringLiteral("增加预存请填写金额，最多两位小数，比如：100 或 10.5");
const QString kNothingToAdjust = QStringLiteral("请填写要增加或减少的积分，或要增加的预存金额");
const QString kMemberGone = QStringLiteral("没有找到该会员，请重新选择");
const QString kAdjustFailed = QStringLiteral("积分调整失败，没有写入任何数据，请检查数据库连接后重试！");

bool memberSharing(const AppContext &context)
{
    return isFlagOn(context.shopSettings.会员共享);
}

AdjustmentHistory readHistory(AppContext &context, const data::Sql &where, bool hasWhere)
{
    AdjustmentHistory history;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), kAdjustTable, where, hasWhere, QStringLiteral("id ASC"), true)))
        return history;
    history.ok = true;
    static const QStringList columns{QStringLiteral("调整日期"), QStringLiteral("增加积分"), QStringLiteral("减少积分"),
                                     QStringLiteral("增加储值"), QStringLiteral("操作员"), QStringLiteral("门面"),
                                     QStringLiteral("积分卡号"), QStringLiteral("备注")};
    for (; !rs.pastLast(); rs.moveNext()) {
        QStringList cells{QString::number(rs.integer(QStringLiteral("id")))};
        for (const QString &column : columns)
            cells << rs.text(column);
        history.rows.append(cells);
    }
    return history;
}

} // namespace

AdjustResult adjustMemberPoints(AppContext &context, const QString &memberId, const PointsAdjustmentForm &typed)
{
    AdjustResult result;
    if (!rights::hasRight(context, kRight)) {
        result.message = adjusttexts::NoRight;
        return result;
    }
    if (memberId.isEmpty()) {
        result.message = adjusttexts::NoMember;
        return result;
    }

    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression amount(QStringLiteral("^-?([0-9]+(\\.[0-9]{0,2})?|\\.[0-9]{1,2})$"));
    PointsAdjustmentForm form = typed;
    form.addPoints = toHalfWidth(typed.addPoints).trimmed();
    form.subtractPoints = toHalfWidth(typed.subtractPoints).trimmed();
    form.addStoredValue = toHalfWidth(typed.addStoredValue).trimmed();
    for (const QString *points : {&form.addPoints, &form.subtractPoints}) {
        if (!points->isEmpty() && !wholeNumber.match(*points).hasMatch()) {
            result.message = kBadPoints;
            return result;
        }
    }
    if (!form.addStoredValue.isEmpty() && !amount.match(form.addStoredValue).hasMatch()) {
        result.message = kBadStoredValue;
        return result;
    }
    for (const QString *points : {&form.addPoints, &form.subtractPoints}) {
        if (!moneyWithinCeiling(*points)) {
            result.message = pointsCeilingText();
            return result;
        }
    }
    if (!moneyWithinCeiling(form.addStoredValue)) {
        result.message = moneyCeilingText();
        return result;
    }
    const qint64 pointsChange = textToInteger(form.addPoints) - textToInteger(form.subtractPoints);
    const double storedChange = roundTo(textToNumber(form.addStoredValue), 2);
    if (textToInteger(form.addPoints) == 0 && textToInteger(form.subtractPoints) == 0 && storedChange == 0.0) {
        result.message = kNothingToAdjust;
        return result;
    }

    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    bool okId = false;
    const qint64 id = memberId.toLongLong(&okId);
    const data::Sql byId = data::eq(QStringLiteral("id"), id);
    const auto failed = [&result](const QString &message) {
        result.message = message;
        return result;
    };
    if (!okId)
        return failed(kMemberGone);

    data::Transaction tx = db.transaction();
    if (!tx.isActive())
        return failed(kAdjustFailed);
    // The card is the member row's own, read by the same id the update uses.
    data::RecordSet member(db);
    if (!member.open(data::buildSelectSql(dialect, kMemberTable, byId, true, QString(), false)))
        return failed(kAdjustFailed);
    if (member.rowCount() <= 0)
        return failed(kMemberGone);
    const QString card = member.text(QStringLiteral("会员卡号"));

    const DateParts today = datingNow(context);
    const data::Pairs history{{QStringLiteral("积分卡号"), card},
                              {QStringLiteral("调整日期"), today.dateText()},
                              {QStringLiteral("增加积分"), form.addPoints},
                              {QStringLiteral("减少积分"), form.subtractPoints},
                              {QStringLiteral("增加储值"), form.addStoredValue},
                              {QStringLiteral("备注"), form.remark},
                              {QStringLiteral("操作员"), context.currentUserName},
                              {QStringLiteral("门面"), context.currentShop}};
    if (!db.execute(data::buildInsertSql(dialect, kAdjustTable, history)))
        return failed(kAdjustFailed);
    const QString action = QStringLiteral("会员管理--积分调整!  卡号：") + card + QStringLiteral("  增加积分：") + form.addPoints
                           + QStringLiteral("  减少积分：") + form.subtractPoints + QStringLiteral("  增加储值：")
                           + form.addStoredValue + QStringLiteral("  备注：") + form.remark;
    if (!oplog::writeLogRow(context, action))
        return failed(kAdjustFailed);

    // Increments in the statement: a sale stored since the list was filled is kept.
    data::Sql set(dialect.incrementDecimal(QStringLiteral("积分")), {pointsChange});
    set += data::Sql(QStringLiteral(",") + dialect.incrementDecimal(QStringLiteral("会员储值")),
                     {numberToText(storedChange)});
    if (!db.execute(data::buildUpdateSql(dialect, kMemberTable, set, byId, true)) || db.numRowsAffected() != 1)
        return failed(kAdjustFailed);
    if (!member.open(data::buildSelectSql(dialect, kMemberTable, byId, true, QString(), false)) || member.rowCount() <= 0)
        return failed(kAdjustFailed);
    const QString points = member.text(QStringLiteral("积分"));
    const QString storedValue = member.text(QStringLiteral("会员储值"));
    if (!tx.commit())
        return failed(kAdjustFailed);

    result.done = true;
    result.points = points;
    result.storedValue = storedValue;
    return result;
}

AdjustmentHistory loadMemberPointsHistory(AppContext &context, const QString &card)
{
    if (card.isEmpty())
        return {true, {}};
    data::Sql where = data::eq(QStringLiteral("积分卡号"), card);
    if (!memberSharing(context))
        where = data::both(where, data::eq(QStringLiteral("门面"), context.currentShop));
    return readHistory(context, where, true);
}

AdjustmentHistory listAllPointAdjustments(AppContext &context)
{
    if (memberSharing(context))
        return readHistory(context, {}, false);
    return readHistory(context, data::eq(QStringLiteral("门面"), context.currentShop), true);
}

} // namespace members
