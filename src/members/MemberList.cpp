#include "members/MemberList.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace members {

namespace {

constexpr qint64 kNewMemberLock = 0x73686f706d656d62; // "shopmemb"

const QString kShopColumn = QStringLiteral("所属店铺");
const QString kCardColumn = QStringLiteral("会员卡号");

data::Sql withScope(const AppContext &context, const data::Sql &condition)
{
    return data::both(condition, memberScope(context));
}

MemberRows query(AppContext &context, const data::Sql &where, const QString &order)
{
    MemberRows result;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    result.ok = rs.open(data::buildSelectSql(db.dialect(), kMemberTable, where, !where.isEmpty(), order, true));
    if (result.ok)
        result.rows = memberRowsOf(rs);
    return result;
}

// Whether the card exists in the scope; nothing when the lookup failed.
std::optional<bool> cardInScope(AppContext &context, const QString &card)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), kMemberTable, withScope(context, data::eq(kCardColumn, card)), true,
                                      QStringLiteral("id ASC"), true)))
        return std::nullopt;
    return rs.rowCount() > 0;
}

QString duplicateCardText(const QString &card)
{
    return QStringLiteral("卡号『") + card + QStringLiteral("』已存在，不能重复添加");
}

} // namespace

QList<MemberRow> memberRowsOf(data::RecordSet &rs)
{
    QList<MemberRow> rows;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        MemberRow r;
        r.id = QString::number(rs.integer(QStringLiteral("ID")));
        r.card = rs.text(kCardColumn);
        r.name = rs.text(QStringLiteral("会员姓名"));
        r.tier = rs.text(QStringLiteral("会员类别"));
        r.mobile = rs.text(QStringLiteral("手机"));
        r.spend = rs.text(QStringLiteral("消费金额"));
        r.points = rs.text(QStringLiteral("积分"));
        r.stored = rs.text(QStringLiteral("会员储值"));
        r.openedOn = rs.text(QStringLiteral("开卡日期"));
        r.lastPurchase = rs.text(QStringLiteral("最近消费"));
        r.birthday = rs.text(QStringLiteral("本年生日"));
        r.operatorName = rs.text(QStringLiteral("办理人"));
        r.remark = rs.text(QStringLiteral("备注"));
        rows.append(r);
    }
    return rows;
}

QList<QPair<QString, int>> memberListColumns()
{
    return {{QStringLiteral("ID"), 60},         {QStringLiteral("会员卡号"), 80}, {QStringLiteral("会员姓名"), 80},
            {QStringLiteral("会员类别"), 80},   {QStringLiteral("手    机"), 100}, {QStringLiteral("消费金额"), 90},
            {QStringLiteral("积    分"), 70},   {QStringLiteral("会员预存"), 70}, {QStringLiteral("开卡日期"), 90},
            {QStringLiteral("最近消费"), 90},   {QStringLiteral("农历生日"), 70}, {QStringLiteral("操作员"), 70},
            {QStringLiteral("备注"), 140}};
}

QStringList memberCells(const MemberRow &r)
{
    return {r.id,       r.card,         r.name,     r.tier,     r.mobile,       r.spend,   r.points,
            r.stored,   r.openedOn,     r.lastPurchase, r.birthday, r.operatorName, r.remark};
}

void SmsNumbers::add(const QString &mobile)
{
    if (mobile.isEmpty())
        return;
    ++count;
    if (count > 2000)
        return; // counted, in no batch
    batches[9 - (count - 1) / 200] += mobile + u',';
}

SmsNumbers smsNumbersOf(const QList<MemberRow> &rows)
{
    SmsNumbers numbers;
    for (const MemberRow &r : rows)
        numbers.add(r.mobile);
    return numbers;
}

data::Sql memberScope(const AppContext &context)
{
    if (isFlagOn(context.shopSettings.会员共享))
        return {};
    return data::eq(kShopColumn, context.currentShop);
}


MemberRows listMembers(AppContext &context, const QString &order)
{
    return query(context, memberScope(context), order);
}

MemberRows searchMembers(AppContext &context, MemberSearch field, const QString &text)
{
    const data::Dialect &d = context.connection().dialect();
    data::Sql condition;
    switch (field) {
    case MemberSearch::CardNo: condition = d.contains(kCardColumn, text); break;
    case MemberSearch::Phone: condition = d.contains(QStringLiteral("手机"), text); break;
    case MemberSearch::Name: condition = d.contains(QStringLiteral("会员姓名"), text); break;
    case MemberSearch::Tier: condition = data::eq(QStringLiteral("会员类别"), text); break;
    }
    return query(context, withScope(context, condition), QStringLiteral("id ASC"));
}

std::optional<QString> memberSortOrder(const data::Dialect &dialect, MemberSortToggles &sort, int column)
{
    QString key;
    int toggle = 1;
    switch (column) {
    case 3: key = QStringLiteral("会员类别"); break;
    case 5: key = dialect.asNumber(QStringLiteral("消费金额")); toggle = 0; break;
    case 6: key = dialect.asNumber(QStringLiteral("积分")); break;
    case 7: key = dialect.asNumber(QStringLiteral("会员储值")); break;
    default: return std::nullopt;
    }
    QString &state = sort.toggles[toggle];
    const bool ascending = state.isEmpty();
    state = ascending ? QStringLiteral("1") : QString();
    const QString direction = ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    return key + direction + QStringLiteral(", id") + direction;
}

MemberResult updateMember(AppContext &context, const QString &selectedId, const QString &selectedCard,
                          const MemberForm &form)
{
    MemberResult result;
    const std::optional<qint64> id = data::idOf(selectedId);
    if (!id) {
        result.message = kNoMemberSelected;
        return result;
    }
    if (selectedCard != form.card)
        return result; // the form shows another card: the selected member is not edited
    data::Connection &db = context.connection();
    const data::Pairs assignments = {{QStringLiteral("会员姓名"), form.name},
                                     {QStringLiteral("手机"), form.mobile},
                                     {QStringLiteral("本年生日"), form.birthday},
                                     {QStringLiteral("备注"), form.remark}};
    if (!db.execute(data::buildUpdateSql(db.dialect(), kMemberTable, assignments, data::eq(QStringLiteral("id"), *id), true))
        || db.numRowsAffected() <= 0) {
        result.message = kMemberUpdateFailed;
        return result;
    }
    result.changed = true;
    result.message = kMemberUpdated;
    return result;
}

bool memberCardExists(AppContext &context, const QString &card)
{
    return cardInScope(context, card).value_or(false);
}

QString newCardTakenMessage(AppContext &context, const QString &typedCard, const QString &selectedCard)
{
    if (typedCard.isEmpty() || typedCard == selectedCard)
        return {};
    if (!memberCardExists(context, typedCard))
        return {};
    return QStringLiteral("卡号『") + typedCard + QStringLiteral("』已存在，不能添加");
}

std::optional<QString> parseWholeCount(const QString &typed)
{
    const QString text = toHalfWidth(typed).trimmed();
    if (text.isEmpty())
        return QStringLiteral("0");
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return QString::number(value);
}

MemberResult addMember(AppContext &context, const MemberForm &form)
{
    MemberResult result;
    if (!rights::hasRight(context, QStringLiteral("添加会员"))) {
        result.message = rights::refusalText(rights::Refusal::Standard);
        return result;
    }
    const std::optional<bool> taken = cardInScope(context, form.card);
    if (!taken) {
        result.message = kMemberAddFailed;
        return result;
    }
    if (*taken) {
        result.message = duplicateCardText(form.card);
        return result;
    }
    // A whole number with more digits than the ceiling is told so, not as "no whole number".
    const auto beyondCeiling = [](const QString &typed) {
        const QString text = toHalfWidth(typed).trimmed();
        return !moneyWithinCeiling(text) && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (beyondCeiling(form.spend) || beyondCeiling(form.points)) {
        result.message = beyondCeiling(form.spend) ? moneyCeilingText() : pointsCeilingText();
        return result;
    }
    const std::optional<QString> spend = parseWholeCount(form.spend);
    if (!spend) {
        result.message = kSpendNotWhole;
        return result;
    }
    const std::optional<QString> points = parseWholeCount(form.points);
    if (!points) {
        result.message = kPointsNotWhole;
        return result;
    }

    data::Connection &db = context.connection();
    const QString openedOn = datingNow(context).dateText();
    data::Transaction tx = db.transaction();
    bool ok = tx.isActive() && db.holdTransactionLock(kNewMemberLock);
    // Checked again under the lock: another workstation may have added the card meanwhile.
    std::optional<bool> takenNow;
    if (ok) {
        takenNow = cardInScope(context, form.card);
        ok = takenNow.has_value();
    }
    if (ok && *takenNow) {
        tx.rollback();
        result.message = duplicateCardText(form.card);
        return result;
    }
    if (ok) {
        const data::Pairs row = {{kCardColumn, form.card},
                                 {QStringLiteral("会员姓名"), form.name},
                                 {QStringLiteral("会员类别"), form.tier},
                                 {QStringLiteral("手机"), form.mobile},
                                 {QStringLiteral("消费金额"), *spend},
                                 {QStringLiteral("积分"), *points},
                                 {QStringLiteral("本年生日"), form.birthday},
                                 {QStringLiteral("备注"), form.remark},
                                 {QStringLiteral("开卡日期"), openedOn},
                                 {QStringLiteral("最近消费"), QString()},
                                 {QStringLiteral("办理人"), context.currentUserName},
                                 {QStringLiteral("会员储值"), QStringLiteral("0")},
                                 {kShopColumn, context.currentShop}};
        ok = db.execute(data::buildInsertSql(db.dialect(), kMemberTable, row));
    }
    if (ok) {
        const QString gap = QStringLiteral("  ");
        ok = oplog::writeLogRow(context, QStringLiteral("会员管理--添加会员!") + gap + form.card + gap + form.name + gap
                                             + form.tier + gap + *spend + gap + *points);
    }
    if (ok)
        ok = tx.commit();
    if (!ok) {
        if (tx.isActive())
            tx.rollback();
        result.message = kMemberAddFailed;
        return result;
    }
    result.changed = true;
    return result;
}

} // namespace members
