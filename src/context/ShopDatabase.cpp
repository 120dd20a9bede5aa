#include "context/ShopDatabase.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SettingsFile.h"
#include "data/SqlBuilder.h"
#include "platform/ProgramDir.h"

namespace {

const QString databaseFileName = QStringLiteral("qi.db");

} // namespace

void loadSettingsFromIni(AppContext &context)
{
    const SettingsFile file = SettingsFile::inDirectory(ProgramDir::path());
    data::ServerSettings server;
    server.ip = file.readEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::IpKey);
    server.port = file.readEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PortKey);
    server.data = file.readEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::DataKey);
    server.user = file.readEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::UserKey);
    server.password = file.readEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PasswordKey);
    context.sqlServerSettings = server;
    context.currentShop = file.readEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey);
    context.receiptPrintFlag = file.readSetting(SettingsFile::PrintSection, SettingsFile::ReceiptKey);
    context.labelPrintFlag = file.readSetting(SettingsFile::PrintSection, SettingsFile::LabelKey);
    context.runMode = file.readEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey);
}

bool openShopDatabase(AppContext &context)
{
    data::Connection &connection = context.connection();
    if (context.isSingleMachine()) // a file that is not a shop database is left untouched
        return connection.openSqlite(ProgramDir::file(databaseFileName), data::shopTables());
    if (context.isNetwork())
        return connection.openPostgres(context.sqlServerSettings);
    return false;
}

bool loadDiscountScheme(AppContext &context)
{
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    if (!rows.open(data::buildSelectSql(connection.dialect(), QStringLiteral("折扣方案"),
                                        data::eq(QStringLiteral("所属店铺"), context.currentShop), true,
                                        QStringLiteral("id ASC"), true)))
        return false;
    DiscountScheme scheme;
    for (int i = 0; i < DiscountScheme::count; ++i)
        scheme[i] = rows.text(DiscountScheme::columns()[i]);
    context.discountScheme = scheme;
    return true;
}

bool loadShopSettings(AppContext &context)
{
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    if (!rows.open(data::buildSelectSql(connection.dialect(), QStringLiteral("店铺名"),
                                        data::eq(QStringLiteral("店名"), context.currentShop), true,
                                        QStringLiteral("id ASC"), true)))
        return false;
    ShopSettings settings;
    for (int i = 0; i < ShopSettings::count; ++i)
        settings[i] = rows.text(ShopSettings::columns()[i]);
    context.shopSettings = settings;
    return true;
}

bool loadMemberTiers(AppContext &context)
{
    data::Connection &connection = context.connection();
    data::RecordSet rows(connection);
    // Ordered by the discount's value (the column is text), the older row first among equals, so that
    // both backends give the same tiers whatever their text collation.
    const QString order = connection.dialect().asNumber(QStringLiteral("会员折扣")) + QStringLiteral(" ASC, id ASC");
    if (!rows.open(data::buildSelectSql(connection.dialect(), QStringLiteral("会员类别"),
                                        data::eq(QStringLiteral("所属店铺"), context.currentShop), true, order,
                                        true)))
        return false;
    std::array<MemberTier, 3> tiers{};
    for (std::size_t tier = 0; tier < tiers.size() && !rows.pastLast(); ++tier, rows.moveNext()) {
        tiers[tier].会员折扣 = rows.text(QStringLiteral("会员折扣"));
        tiers[tier].会员类别 = rows.text(QStringLiteral("会员类别"));
        tiers[tier].累计积分 = rows.text(QStringLiteral("累计积分"));
    }
    context.memberTiers = tiers;
    return true;
}
