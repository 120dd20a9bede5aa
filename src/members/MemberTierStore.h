#pragma once
// The shop's member tiers (table 会员类别) as the grid on 店铺初始设置 shows and saves them. A shop
// without rows of its own is shown the default rows of shop "---"; its first save copies every
// shown row for the shop, later saves update its own rows in place. The default rows never change.
#include <QList>
#include <QString>

class AppContext;

namespace members {

// One grid row: cell 0 the id, cells 1 to 3 会员类别, 会员折扣, 累计积分.
struct MemberCategoryRow
{
    QString id;
    QString name;      // 会员类别
    QString factor;    // 会员折扣
    QString threshold; // 累计积分

    bool operator==(const MemberCategoryRow &) const = default;
};

struct MemberCategoryList
{
    bool ok = false;  // the rows could be read
    bool own = false; // the shop's own rows (else the default rows of "---")
    QList<MemberCategoryRow> rows;
};

// The shop's own rows by id, or the default rows when the shop has none.
MemberCategoryList loadMemberCategoryRows(AppContext &context);
// The shop's own rows by id (after a first save).
MemberCategoryList reloadMemberCategoryRows(AppContext &context);

// A typed cell in its stored form: the factor and the threshold half-width without blanks around
// them, the name without blanks around it.
QString normalisedMemberCategoryCell(int column, const QString &text);
// Why the rows cannot be saved ("" when they can): an empty or repeated name, a factor that is no
// number above 0 and at most 1, a threshold that is no whole number.
QString memberCategoryRowsProblem(const QList<MemberCategoryRow> &rows);

struct TierSaveResult
{
    bool saved = false;
    bool copied = false;   // the first save: the grid now needs the shop's new rows with their ids
    bool reload = false;   // the grid no longer matches the table: show the table's rows again
    QString message;       // "" when there is nothing to show
};

// Saves the grid in one transaction. read: the rows as this workstation read them (or last saved
// them); rows: the grid now. When the shop has rows of its own, only the rows this workstation
// changed are written, by id, and each of them only if it is still stored as it was read: a row
// another workstation changed meanwhile (or a save that would leave two tiers of one name) refuses
// the whole save, asks for the grid to be read again and writes nothing. When the shop has none yet
// (checked again inside the transaction), every shown row is copied for the shop. A renamed tier
// renames the shop's members of the old name in the same transaction. Then reloads the context's
// member tiers. Nothing is written without a workstation shop or with a bad row.
TierSaveResult saveMemberCategories(AppContext &context, const QList<MemberCategoryRow> &read,
                                    const QList<MemberCategoryRow> &rows);

namespace tiertexts {
inline const QString NoShop = QStringLiteral("修改无效！！！请在上面先指定本机当前使用哪个店铺");
inline const QString BadFactor = QStringLiteral("折扣请填写0到1之间的小数，比如：9折 输入0.9，75折 输入0.75");
inline const QString BadThreshold = QStringLiteral("升级积分请填写整数，比如：1000");
inline const QString EmptyName = QStringLiteral("会员类别名称不能为空");
inline const QString SaveFailed = QStringLiteral("会员类别保存失败，没有写入任何数据，请检查数据库连接后重试！");
inline const QString Changed = QStringLiteral("本店的会员类别刚被其他电脑修改，已重新读取，请再修改一次");
} // namespace tiertexts

} // namespace members
