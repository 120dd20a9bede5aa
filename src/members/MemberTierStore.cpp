#include "members/MemberTierStore.h"

#include "context/AppContext.h"
#include "context/DiscountScheme.h"
#include "context/ShopDatabase.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace members {

namespace {

const QString kTierTable = QStringLiteral("会员类别");
const QString kMemberTable = QStringLiteral("会员管理");
const QString kShopColumn = QStringLiteral("所属店铺");
const QString kTemplateShop = QStringLiteral("---");

// The lock under which a shop's first save checks for rows of its own and copies the shown rows,
// so that two workstations never copy twice.
constexpr qint64 kMemberTierLock = 0x73686f7074696572; // "shoptier"

MemberCategoryList readRows(AppContext &context, const QString &shop)
{
    MemberCategoryList list;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), kTierTable, data::eq(kShopColumn, shop), true,
                                      QStringLiteral("id ASC"), true)))
        return list;
    list.ok = true;
    for (; !rs.pastLast(); rs.moveNext())
        list.rows.append({QString::number(rs.integer(QStringLiteral("id"))), rs.text(QStringLiteral("会员类别")),
                          rs.text(QStringLiteral("会员折扣")), rs.text(QStringLiteral("累计积分"))});
    return list;
}

// Renames the shop's members of a tier.
bool renameMembers(AppContext &context, const QString &from, const QString &to)
{
    if (from.isEmpty() || from == to)
        return true;
    data::Connection &db = context.connection();
    return db.execute(data::buildUpdateSql(db.dialect(), kMemberTable, data::Pairs{{kTierTable, to}},
                                           data::both(data::eq(kTierTable, from), data::eq(kShopColumn, context.currentShop)),
                                           true));
}

} // namespace

MemberCategoryList loadMemberCategoryRows(AppContext &context)
{
    MemberCategoryList own = readRows(context, context.currentShop);
    if (!own.ok)
        return own;
    if (!own.rows.isEmpty() && !context.currentShop.isEmpty()) {
        own.own = true;
        return own;
    }
    return readRows(context, kTemplateShop);
}

MemberCategoryList reloadMemberCategoryRows(AppContext &context)
{
    MemberCategoryList own = readRows(context, context.currentShop);
    own.own = own.ok;
    return own;
}

QString normalisedMemberCategoryCell(int column, const QString &text)
{
    if (column == 2 || column == 3)
        return toHalfWidth(text).trimmed();
    return text.trimmed();
}

QString memberCategoryRowsProblem(const QList<MemberCategoryRow> &rows)
{
    static const QRegularExpression whole(QStringLiteral("^[0-9]+$"));
    QSet<QString> names;
    for (const MemberCategoryRow &row : rows) {
        if (row.name.trimmed().isEmpty())
            return tiertexts::EmptyName;
        if (names.contains(row.name))
            return QStringLiteral("会员类别『%1』重复，请换一个名称").arg(row.name);
        names.insert(row.name);
        if (!isUsableDiscountFactor(row.factor))
            return tiertexts::BadFactor;
        if (!whole.match(row.threshold).hasMatch())
            return tiertexts::BadThreshold;
    }
    return {};
}

TierSaveResult saveMemberCategories(AppContext &context, const QList<MemberCategoryRow> &read,
                                    const QList<MemberCategoryRow> &rows)
{
    TierSaveResult result;
    if (context.currentShop.isEmpty()) {
        result.message = tiertexts::NoShop;
        return result;
    }
    if (const QString problem = memberCategoryRowsProblem(rows); !problem.isEmpty()) {
        result.message = problem;
        return result;
    }
    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    const auto failed = [&result] {
        result.message = tiertexts::SaveFailed;
        return result;
    };

    data::Transaction tx = db.transaction();
    if (!tx.isActive() || !db.holdTransactionLock(kMemberTierLock))
        return failed();
    // Checked again inside the transaction: another workstation may have saved first.
    const MemberCategoryList own = readRows(context, context.currentShop);
    if (!own.ok)
        return failed();
    const MemberCategoryList stored = own.rows.isEmpty() ? readRows(context, kTemplateShop) : own;
    if (!stored.ok)
        return failed();
    QHash<QString, MemberCategoryRow> storedRows; // by id, as stored now
    for (const MemberCategoryRow &row : stored.rows)
        storedRows.insert(row.id, row);
    QHash<QString, MemberCategoryRow> readRowsById; // by id, as this workstation read them
    for (const MemberCategoryRow &row : read)
        readRowsById.insert(row.id, row);

    // The rows to write: every shown row for a first save, else the rows this workstation changed.
    QList<MemberCategoryRow> changed;
    QList<MemberCategoryRow> after = stored.rows; // the shop's rows as the save would leave them
    bool stale = false;
    for (const MemberCategoryRow &row : rows) {
        // The grid shows rows that are not (or no longer) the ones to write.
        if (!storedRows.contains(row.id) || !readRowsById.contains(row.id)) {
            stale = true;
            break;
        }
        const MemberCategoryRow &before = readRowsById.value(row.id);
        if (own.rows.isEmpty() || row != before) {
            // Written only over what this workstation read: another one may have changed the row.
            if (storedRows.value(row.id) != before) {
                stale = true;
                break;
            }
            changed.append(row);
            for (MemberCategoryRow &next : after)
                if (next.id == row.id)
                    next = row;
        }
    }
    // Changes of two workstations that each hold alone but not together (two tiers of one name).
    if (stale || !memberCategoryRowsProblem(after).isEmpty()) {
        tx.rollback();
        result.reload = true;
        result.message = tiertexts::Changed;
        return result;
    }

    for (const MemberCategoryRow &row : changed) {
        if (!renameMembers(context, storedRows.value(row.id).name, row.name))
            return failed();
        const data::Pairs values{{QStringLiteral("会员类别"), row.name},
                                 {QStringLiteral("会员折扣"), row.factor},
                                 {QStringLiteral("累计积分"), row.threshold}};
        bool ok = false;
        if (own.rows.isEmpty()) {
            data::Pairs insert = values;
            insert.append({kShopColumn, context.currentShop});
            ok = db.execute(data::buildInsertSql(dialect, kTierTable, insert));
        } else {
            ok = db.execute(data::buildUpdateSql(dialect, kTierTable, values,
                                                 data::both(data::eq(QStringLiteral("id"), row.id.toLongLong()),
                                                            data::eq(kShopColumn, context.currentShop)),
                                                 true));
        }
        if (!ok)
            return failed();
    }
    if (!tx.commit())
        return failed();
    result.saved = true;
    result.copied = own.rows.isEmpty();
    loadMemberTiers(context);
    return result;
}

} // namespace members
