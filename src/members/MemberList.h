#pragma once
// The member cards of 会员管理: the queries of the member page (the sharing rule, the four
// searches, the header sorts), its thirteen list columns, the mobile-number batches gathered for
// the SMS window, the edit of a member's basic fields and the adding of a member.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "data/Sql.h"

class AppContext;
namespace data {
class Dialect;
class RecordSet;
}

namespace members {

inline const QString kMemberTable = QStringLiteral("会员管理");

inline const QString kNoMemberSelected = QStringLiteral("当前还没有选定会员");
inline const QString kMemberUpdated = QStringLiteral("修改成功！！！\r\n只允许修改姓名、手机、生日、备注！");
inline const QString kMemberUpdateFailed = QStringLiteral("修改失败！会员资料没有保存，请稍后重试！");
inline const QString kMemberAddFailed = QStringLiteral("添加失败！会员没有保存，请稍后重试！");
inline const QString kSpendNotWhole = QStringLiteral("消费金额只能填写整数！");
inline const QString kPointsNotWhole = QStringLiteral("积分只能填写整数！");
inline const QString kMemberReadFailed = QStringLiteral("读取会员资料失败，请检查数据库连接后重试！");

// One row of 会员管理 as the list shows it.
struct MemberRow {
    QString id, card, name, tier, mobile, spend, points, stored, openedOn, lastPurchase, birthday, operatorName,
        remark;
};

struct MemberRows {
    bool ok = false; // false when the statement failed (no rows then)
    QList<MemberRow> rows;
};

// The rows a record set holds (open on a SELECT of all columns of 会员管理), first to last.
QList<MemberRow> memberRowsOf(data::RecordSet &records);

// The titles and widths of the thirteen list columns, and the cells of one row in that order.
QList<QPair<QString, int>> memberListColumns();
QStringList memberCells(const MemberRow &row);
inline constexpr int kMemberListColumns = 13;

// The mobile numbers of the last fill, for the SMS window: batch 9 holds the first 200 numbers, batch
// 8 the next 200 ... batch 0 the numbers 1801 to 2000, each number followed by ","; batch 10 stays
// empty. count is every non-empty mobile seen, batched or not.
struct SmsNumbers {
    std::array<QString, 11> batches;
    int count = 0;
    void add(const QString &mobile); // nothing for an empty mobile
};
SmsNumbers smsNumbersOf(const QList<MemberRow> &rows);

// The member scope of the sharing rule: no condition while 会员共享 is "真" (an empty Sql), else
// 所属店铺 = the workstation's shop.
data::Sql memberScope(const AppContext &context);


// The members of the scope in the given order (an order text of the builders).
MemberRows listMembers(AppContext &context, const QString &order = QStringLiteral("id ASC"));

enum class MemberSearch { CardNo, Phone, Name, Tier };
// The four searches, by id: card, mobile and name contain the text (an empty text lists the whole
// scope); the tier equals it.
MemberRows searchMembers(AppContext &context, MemberSearch field, const QString &text);

// The two toggles of the header sorts: entry 0 for 消费金额, entry 1 shared by 会员类别, 积分
// and 会员储值. "" sorts ascending next, "1" descending.
struct MemberSortToggles {
    std::array<QString, 2> toggles;
};
// The order for a click on a header (0-based column), turning its toggle; nothing for the columns
// that do not sort (all but 会员类别, 消费金额, 积分, 会员储值). Spending, points and stored value
// order by their numbers, the tier by its name; equal keys keep the order of id.
std::optional<QString> memberSortOrder(const data::Dialect &dialect, MemberSortToggles &toggles, int column);

// The form "基本资料".
struct MemberForm {
    QString card, name, tier, mobile, spend, points, birthday, remark;
};

struct MemberResult {
    bool changed = false; // the row was written
    QString message;      // to show; "" for none
};

// Writes name, mobile, birthday and remark of the member selected in the list (its id and card; ""
// for none). A form showing another card than the selected row's does nothing and says nothing.
MemberResult updateMember(AppContext &context, const QString &selectedId, const QString &selectedCard,
                          const MemberForm &form);

// Whether a member of the scope has the card (exactly).
bool memberCardExists(AppContext &context, const QString &card);

// The text of "卡号『card』已存在，不能添加" when the card typed into the form belongs to a member of the
// scope; "" when it is free, when it is the card of the member selected in the list (its card, "" for
// none) or when the card box is empty.
QString newCardTakenMessage(AppContext &context, const QString &typedCard, const QString &selectedCard);

// Adds the member of the form (right 添加会员): refuses a card of the scope, a spending or points
// entry that is not a whole number (empty counts 0) or has more digits than the money ceiling;
// writes the row and its log row in one transaction, under a lock so two workstations never add
// the same card.
MemberResult addMember(AppContext &context, const MemberForm &form);

// A whole number as typed into the form, in its stored form ("" -> "0", "０１２" -> "12");
// nothing when it is not a whole number from 0 on.
std::optional<QString> parseWholeCount(const QString &typed);

} // namespace members
