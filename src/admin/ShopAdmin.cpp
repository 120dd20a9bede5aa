#include "admin/ShopAdmin.h"

#include "context/AppContext.h"
#include "context/ShopDatabase.h"
#include "data/RecordSet.h"
#include "data/SettingsFile.h"
#include "data/SqlBuilder.h"
#include "admin/DiscountAdmin.h"

#include <QRegularExpression>

namespace admin {

namespace {

const QString ShopTable = QStringLiteral("店铺名");
const QString NameColumn = QStringLiteral("店名");
const QString On = AppContext::FlagOn;
const QString Off = AppContext::FlagOff;

QString flag(bool on)
{
    return on ? On : Off;
}

void applyToContext(AppContext &context, const data::Pairs &pairs)
{
    const QStringList &columns = ShopSettings::columns();
    for (const auto &pair : pairs) {
        const qsizetype position = columns.indexOf(pair.first);
        if (position >= 0)
            context.shopSettings[int(position)] = pair.second.toString();
    }
}

// Writes columns of the workstation shop's row. Refused with the shop message when no shop is
// chosen; silently when the shop has no row. The context changes only after a row was written.
AdminResult writeShopRow(AppContext &context, const data::Pairs &pairs)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    bool failed = false;
    const bool exists = shopExists(context, context.currentShop, &failed);
    if (failed)
        return AdminResult::refused(texts::SaveFailed);
    if (!exists)
        return AdminResult::refused();
    data::Connection &connection = context.connection();
    const data::Sql update = data::buildUpdateSql(connection.dialect(), ShopTable, pairs,
                                                  data::eq(NameColumn, context.currentShop), true);
    if (!connection.execute(update))
        return AdminResult::refused(texts::SaveFailed);
    if (connection.numRowsAffected() <= 0)
        return AdminResult::refused();
    applyToContext(context, pairs);
    return AdminResult::ok();
}

AdminResult enableMode(AppContext &context, bool upgrade, const QString &pointsValue,
                       const QString &deductionValue)
{
    if (pointsValue.isEmpty() || deductionValue.isEmpty()) {
        if (upgrade) {
            context.shopSettings.升级模式 = Off;
            return AdminResult::refused(QStringLiteral("编辑框内请填写完整"));
        }
        context.shopSettings.积分模式 = Off;
        return AdminResult::refused(QStringLiteral("上面2项都要填写！"));
    }
    return writeShopRow(context, {{QStringLiteral("积分值"), pointsValue},
                                  {QStringLiteral("抵扣值"), deductionValue},
                                  {QStringLiteral("积分模式"), flag(!upgrade)},
                                  {QStringLiteral("升级模式"), flag(upgrade)},
                                  {QStringLiteral("折上折"), Off}});
}

AdminResult saveStockBound(AppContext &context, const QString &column, const QString &caption,
                           const QString &text)
{
    if (!isWholeNumberOrEmpty(text))
        return AdminResult::refused(caption + QStringLiteral("只能填写整数！"));
    return writeShopRow(context, {{column, text}});
}

// The style-number seed "1000" (unless the shop already has one) and the shop's row, together
// or not at all.
bool insertShopRows(AppContext &context, const QString &name)
{
    data::Connection &connection = context.connection();
    const data::Dialect &dialect = connection.dialect();
    data::Transaction transaction = connection.transaction();
    if (!transaction.isActive())
        return false;

    const QString styleTable = QStringLiteral("款式号");
    const QString seed = QStringLiteral("1000");
    data::RecordSet rows(connection);
    if (!rows.open(data::buildSelectSql(dialect, styleTable,
                                        data::both(data::eq(QStringLiteral("款号"), seed),
                                                   data::eq(QStringLiteral("所属店铺"), name)),
                                        true, QStringLiteral("id ASC"), true)))
        return false;
    if (rows.rowCount() == 0
        && !connection.execute(data::buildInsertSql(dialect, styleTable,
                                                    {{QStringLiteral("款号"), seed}, {QStringLiteral("所属店铺"), name}})))
        return false;
    if (!connection.execute(data::buildInsertSql(dialect, ShopTable, {{NameColumn, name}})))
        return false;
    return transaction.commit();
}

} // namespace

QStringList shopNames(AppContext &context)
{
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    QStringList names;
    if (!rows.open(data::buildSelectSql(connection.dialect(), ShopTable, {}, false, QStringLiteral("id ASC"), true)))
        return names;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext())
        names << rows.text(NameColumn);
    return names;
}

bool shopExists(AppContext &context, const QString &name, bool *failed)
{
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    const bool read = rows.open(data::buildSelectSql(connection.dialect(), ShopTable, data::eq(NameColumn, name), true,
                                                     QStringLiteral("id ASC"), true));
    if (failed)
        *failed = !read;
    return rows.rowCount() > 0;
}

AdminResult addShop(AppContext &context, const QString &typedName)
{
    const QString name = typedName.trimmed();
    if (name.isEmpty())
        return AdminResult::refused(QStringLiteral("还未填写店铺名称"));
    // "---" names the shipped default member tiers; a shop of that name would take them over.
    if (name == QStringLiteral("---"))
        return AdminResult::refused(QStringLiteral("店铺名【---】是系统保留的名称，请换个店铺添加"));
    const QString failed = QStringLiteral("店铺添加失败，数据库没有写入，请检查数据库连接后重试！");
    bool readFailed = false;
    if (shopExists(context, name, &readFailed))
        return AdminResult::refused(QStringLiteral("店铺名【%1】已经存在，请换个店铺添加").arg(name));
    if (readFailed)
        return AdminResult::refused(failed);

    if (!insertShopRows(context, name)) {
        // Another workstation may have added the same shop since the test above: the unique
        // index on 店名 refuses the second row, and the user is told the shop exists.
        if (shopExists(context, name))
            return AdminResult::refused(QStringLiteral("店铺名【%1】已经存在，请换个店铺添加").arg(name));
        return AdminResult::refused(failed);
    }
    return AdminResult::ok(QStringLiteral("添加成功！"));
}

QString deleteShopQuestion(const QString &shop)
{
    return QStringLiteral("你确认要删除【 %1】店铺吗？\r\n如果该店铺已有营业数据那么都将无法查询\r\n重新添加该店铺名并指定可恢复！").arg(shop);
}

AdminResult deleteShop(AppContext &context, const QString &shop)
{
    if (shop.isEmpty())
        return AdminResult::refused(QStringLiteral("当前未指定要删除的店铺"));
    data::Connection &connection = context.connection();
    const data::Sql remove(QStringLiteral("delete from %1 where 店名=?").arg(connection.dialect().quoteTable(ShopTable)),
                           {shop});
    if (!connection.execute(remove))
        return AdminResult::refused(QStringLiteral("删除店铺失败，数据库没有写入，请检查数据库连接后重试！"));
    return AdminResult::ok();
}

ShopBindingResult saveShopSettings(AppContext &context, const SettingsFile &settingsFile,
                                   const QString &shop, const ShopBindingPage &page)
{
    ShopBindingResult outcome;
    if (shop.isEmpty()) {
        outcome.result = AdminResult::refused(QStringLiteral("当前未指定店铺无法保存"));
        return outcome;
    }
    bool readFailed = false;
    const bool exists = shopExists(context, shop, &readFailed);
    if (readFailed) {
        outcome.result = AdminResult::refused(texts::SaveFailed);
        return outcome;
    }
    if (!exists) {
        outcome.result = AdminResult::refused(QStringLiteral("店铺【%1】不存在，请先添加该店铺").arg(shop));
        return outcome;
    }
    if (!settingsFile.writeEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey, shop,
                                             SettingsFile::CipherForm::Comma)) {
        outcome.result = AdminResult::refused(
            QStringLiteral("无法写入本机配置文件 sql.ini，请检查程序目录是否可以写入！"));
        return outcome;
    }
    context.currentShop = shop;
    // The chosen shop may be an old one with settings of its own (another workstation set them):
    // the defaults below fill only what it lacks and never overwrite what it has.
    const bool settingsRead = loadShopSettings(context) && loadDiscountScheme(context);
    const bool hasRounding = QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}.contains(
        context.shopSettings.销售);
    const bool hasPricing = context.discountScheme.商品折扣 == On || !context.discountScheme.统一折扣.isEmpty();

    bool allWritten = settingsRead && writeShopRow(context, {{QStringLiteral("会员共享"), On}}).done;
    // Without a pricing mode on the page the box's factor becomes the uniform discount; the user
    // is told which factor that is, or why there is none.
    QString factorLine;
    if (settingsRead && !hasPricing && !page.uniformTicked && !page.itemOwnTicked) {
        if (page.factorText.isEmpty()) {
            factorLine = QStringLiteral("折扣框为空，没有设置全场统一折扣");
        } else if (!discountFactorProblem(page.factorText).isEmpty()) {
            // A factor that is no valid discount never reaches the cashier's prices.
            factorLine = QStringLiteral("折扣框内的【%1】不是0到1之间的小数，没有设置全场统一折扣").arg(page.factorText);
        } else {
            const bool written = writeDiscountScheme(
                context, {{QStringLiteral("统一折扣"), page.factorText}, {QStringLiteral("商品折扣"), Off}});
            outcome.tickUniform = written;
            allWritten = written && allWritten;
            factorLine = written ? QStringLiteral("全场统一折扣已设为【%1】").arg(page.factorText)
                                 : QStringLiteral("全场统一折扣【%1】没有保存").arg(page.factorText);
        }
    }
    if (settingsRead && !hasRounding && !page.roundingTicked) {
        const bool written = writeShopRow(context, {{QStringLiteral("销售"), QStringLiteral("0")}}).done;
        outcome.tickInteger = written;
        allWritten = written && allWritten;
    }
    QString message = QStringLiteral("当前本机指定使用【%1】，如果是旧店铺请重启软件读取该店铺配置信息！").arg(shop);
    if (!factorLine.isEmpty())
        message += QStringLiteral("\r\n") + factorLine;
    if (!allWritten)
        message += QStringLiteral("\r\n") + texts::SaveFailed;
    outcome.result = AdminResult::ok(message);
    return outcome;
}

AdminResult selectRounding(AppContext &context, int decimals)
{
    if (decimals < 0 || decimals > 2)
        return AdminResult::refused();
    return writeShopRow(context, {{QStringLiteral("销售"), QString::number(decimals)}});
}

AdminResult enablePointsMode(AppContext &context, const QString &pointsValue, const QString &deductionValue)
{
    return enableMode(context, false, pointsValue, deductionValue);
}

AdminResult enableUpgradeMode(AppContext &context, const QString &pointsValue, const QString &deductionValue)
{
    return enableMode(context, true, pointsValue, deductionValue);
}

AdminResult setDiscountOnDiscount(AppContext &context, bool on)
{
    if (!isFlagOn(context.shopSettings.升级模式)) {
        context.shopSettings.折上折 = Off;
        return AdminResult::refused(QStringLiteral("请先勾选启用积分+升级模式"));
    }
    return writeShopRow(context, {{QStringLiteral("折上折"), flag(on)}});
}

AdminResult savePointsValue(AppContext &context, const QString &text)
{
    return writeShopRow(context, {{QStringLiteral("积分值"), text}});
}

AdminResult saveDeductionValue(AppContext &context, const QString &text)
{
    return writeShopRow(context, {{QStringLiteral("抵扣值"), text}});
}

bool isWholeNumberOrEmpty(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    return text.isEmpty() || whole.match(text).hasMatch();
}

AdminResult saveStockUpperAlarm(AppContext &context, const QString &text)
{
    return saveStockBound(context, QStringLiteral("上限报警"), QStringLiteral("库存上限"), text);
}

AdminResult saveStockLowerAlarm(AppContext &context, const QString &text)
{
    return saveStockBound(context, QStringLiteral("下限报警"), QStringLiteral("库存下限"), text);
}

AdminResult setMemberSharing(AppContext &context, bool on)
{
    return writeShopRow(context, {{QStringLiteral("会员共享"), flag(on)}});
}

AdminResult setBirthdayReminder(AppContext &context, bool on)
{
    return writeShopRow(context, {{QStringLiteral("生日提醒"), flag(on)}});
}

AdminResult setAutoPromotion(AppContext &context, bool on)
{
    return writeShopRow(context, {{QStringLiteral("满就送"), flag(on)}});
}

AdminResult setStockAlarm(AppContext &context, bool on)
{
    return writeShopRow(context, {{QStringLiteral("报警开关"), flag(on)}});
}

AdminResult setNoticeTicker(AppContext &context, bool on, const QString &intervalText)
{
    if (context.currentShop.isEmpty())
        return AdminResult::refused(texts::NoWorkstationShop);
    if (!on)
        return writeShopRow(context, {{QStringLiteral("开启公告"), Off}});
    if (intervalText.isEmpty())
        return AdminResult::refused(QStringLiteral("请先把公告读取间隔时间填上！"));
    static const QRegularExpression positive(QStringLiteral("^[0-9]*[1-9][0-9]*$"));
    if (!positive.match(intervalText).hasMatch())
        return AdminResult::refused(QStringLiteral("公告读取间隔请填写大于0的整数（毫秒）！"));
    return writeShopRow(context, {{QStringLiteral("开启公告"), On}, {QStringLiteral("公告间隔"), intervalText}});
}

} // namespace admin
