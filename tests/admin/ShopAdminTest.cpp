// Shops, the workstation binding and the shop setting handlers.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "data/SettingsCipher.h"
#include "data/SettingsFile.h"
#include "admin/AdminFixture.h"
#include "admin/ShopAdmin.h"

using namespace admin;
using admintest::AdminWorkstation;

namespace {

QString shopsQuery(AdminWorkstation &w)
{
    return QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(w.table("店铺名"));
}

TEST(AddShop, NewShopGetsItsRowAndOneStyleSeed)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    const AdminResult result = addShop(w.context, QStringLiteral("  O'Brien,a=b  "));
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.message, QStringLiteral("添加成功！"));
    EXPECT_EQ(w.column(shopsQuery(w), QStringLiteral("店名")),
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("O'Brien,a=b")}));
    EXPECT_EQ(w.shopValue(QStringLiteral("O'Brien,a=b"), QStringLiteral("销售")), QString());
    EXPECT_EQ(w.column(QStringLiteral("SELECT * FROM %1 WHERE 所属店铺='O''Brien,a=b'").arg(w.table("款式号")),
                       QStringLiteral("款号")),
              QStringList{QStringLiteral("1000")});
}

TEST(AddShop, RefusalsWriteNothing)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (款号, 所属店铺) VALUES ('1000', 'C')").arg(w.table("款式号"))));
    EXPECT_EQ(addShop(w.context, QString()).message, QStringLiteral("还未填写店铺名称"));
    EXPECT_EQ(addShop(w.context, QStringLiteral("A")).message, QStringLiteral("店铺名【A】已经存在，请换个店铺添加"));
    EXPECT_FALSE(addShop(w.context, QStringLiteral("---")).done);
    EXPECT_EQ(w.count(shopsQuery(w)), 2);
    // A shop whose name already has the seed gets no second one.
    EXPECT_TRUE(addShop(w.context, QStringLiteral("C")).done);
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1 WHERE 所属店铺='C'").arg(w.table("款式号"))), 1);
}

// Two workstations add the same shop at once: the second one's test sees no row yet (the first
// has not committed), its insert then meets the unique index and it is told the shop exists. The
// first commits only once the second's insert waits for it, so the race is always the same.
TEST(AddShop, SameShopFromAnotherWorkstationAtOnceIsReportedAsExisting)
{
    AdminWorkstation w(data::Backend::Postgres);
    ADMIN_READY(w);
    const QString shop = QStringLiteral("分店");
    data::RecordSet pid(w.conn());
    ASSERT_TRUE(pid.open(data::Sql(QStringLiteral("SELECT pg_backend_pid() AS pid"))));
    const qint64 thisWorkstation = pid.integer(QStringLiteral("pid"));
    std::promise<bool> inserted;
    bool waitedFor = false;
    std::thread other([&] {
        data::Connection connection;
        if (!w.db->openAnother(connection)) {
            inserted.set_value(false);
            return;
        }
        data::Transaction transaction = connection.transaction();
        const bool ok = connection.execute(
            data::buildInsertSql(connection.dialect(), QStringLiteral("店铺名"), {{QStringLiteral("店名"), shop}}));
        inserted.set_value(ok);
        // Hold the row uncommitted until this workstation's insert is blocked by it (bounded, so
        // that a workstation that never gets there cannot hang the test).
        data::RecordSet blocking(connection);
        const data::Sql blockedByMe(
            QStringLiteral("SELECT count(*) AS n FROM unnest(pg_blocking_pids(?)) AS p WHERE p = pg_backend_pid()"),
            {thisWorkstation});
        for (int i = 0; ok && !waitedFor && i < 20000; ++i)
            waitedFor = blocking.open(blockedByMe) && blocking.integer(QStringLiteral("n")) > 0;
        transaction.commit();
    });
    const bool otherInserted = inserted.get_future().get();
    const AdminResult result = otherInserted ? addShop(w.context, shop) : AdminResult();
    other.join();
    ASSERT_TRUE(otherInserted);
    EXPECT_TRUE(waitedFor) << "this workstation's insert never waited for the other's row";
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.message, QStringLiteral("店铺名【分店】已经存在，请换个店铺添加"));
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1 WHERE 店名='分店'").arg(w.table("店铺名"))), 1);
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1 WHERE 所属店铺='分店'").arg(w.table("款式号"))), 0);
}

TEST(DeleteShop, OnlyTheRowGoesAndTheBindingStays)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    SettingsFile ini = SettingsFile::inDirectory(w.db->dir());
    ASSERT_TRUE(saveShopSettings(w.context, ini, QStringLiteral("A"), {}).result.done);
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (通告, 所属店铺) VALUES ('x', 'A')").arg(w.table("通告管理"))));

    EXPECT_EQ(deleteShop(w.context, QString()).message, QStringLiteral("当前未指定要删除的店铺"));
    EXPECT_TRUE(deleteShop(w.context, QStringLiteral("A")).done);
    EXPECT_EQ(w.column(shopsQuery(w), QStringLiteral("店名")), QStringList{QStringLiteral("B")});
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("通告管理"))), 1);
    EXPECT_EQ(w.context.currentShop, QStringLiteral("A"));
    EXPECT_EQ(ini.readEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey), QStringLiteral("A"));

    // The row-guarded handlers now change nothing, not even the context.
    const QString before = w.context.shopSettings.会员共享;
    EXPECT_FALSE(setMemberSharing(w.context, before != AppContext::FlagOn).done);
    EXPECT_EQ(w.context.shopSettings.会员共享, before);
}

TEST(DeleteShop, QuestionText)
{
    EXPECT_EQ(deleteShopQuestion(QStringLiteral("总店")),
              QStringLiteral("你确认要删除【 总店】店铺吗？\r\n如果该店铺已有营业数据那么都将无法查询\r\n重新添加该店铺名并指定可恢复！"));
}

// The binding writes the shop row on both backends.
class BindWorkstation : public ::testing::TestWithParam<data::Backend> {};

TEST_P(BindWorkstation, SqlIniContextAndDefaults)
{
    AdminWorkstation w(GetParam());
    ADMIN_READY(w);
    const QString shop = QStringLiteral("总店");
    ASSERT_TRUE(addShop(w.context, shop).done);
    w.context.currentShop.clear();
    SettingsFile ini = SettingsFile::inDirectory(w.db->dir());

    ShopBindingPage page;
    page.factorText = QStringLiteral("0.85");
    const ShopBindingResult outcome = saveShopSettings(w.context, ini, shop, page);
    ASSERT_TRUE(outcome.result.done);
    EXPECT_EQ(outcome.result.message,
              QStringLiteral("当前本机指定使用【总店】，如果是旧店铺请重启软件读取该店铺配置信息！\r\n全场统一折扣已设为【0.85】"));
    EXPECT_TRUE(outcome.tickUniform);
    EXPECT_TRUE(outcome.tickInteger);

    const QString stored = ini.readSetting(SettingsFile::ShopSection, SettingsFile::ShopKey);
    EXPECT_TRUE(stored.endsWith(u',')) << qPrintable(stored);
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(stored, SettingsCipher::SettingsKey), shop);
    EXPECT_EQ(w.context.currentShop, shop);
    EXPECT_EQ(w.shopValue(shop, QStringLiteral("会员共享")), QStringLiteral("真"));
    EXPECT_EQ(w.shopValue(shop, QStringLiteral("销售")), QStringLiteral("0"));
    EXPECT_EQ(w.context.shopSettings.会员共享, QStringLiteral("真"));
    EXPECT_EQ(w.context.shopSettings.销售, QStringLiteral("0"));
    // The shop had no scheme row: one is made, so the price rule survives a restart.
    EXPECT_EQ(w.column(QStringLiteral("SELECT * FROM %1 WHERE 所属店铺='总店'").arg(w.table("折扣方案")),
                       QStringLiteral("统一折扣")),
              QStringList{QStringLiteral("0.85")});
    EXPECT_EQ(w.context.discountScheme.商品折扣, QStringLiteral("假"));
    // Another shop's row is untouched.
    EXPECT_EQ(w.shopValue(QStringLiteral("B"), QStringLiteral("会员共享")), QString());
}

// An old shop whose settings another workstation made keeps them when this workstation binds to it
// from a blank page: the defaults only fill what the shop lacks.
TEST_P(BindWorkstation, AnOldShopKeepsItsRoundingAndDiscount)
{
    AdminWorkstation w(GetParam());
    ADMIN_READY(w);
    const QString shop = QStringLiteral("老店");
    ASSERT_TRUE(addShop(w.context, shop).done);
    ASSERT_TRUE(w.exec(QStringLiteral("UPDATE %1 SET 销售='2' WHERE 店名='老店'").arg(w.table("店铺名"))));
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (所属店铺, 统一折扣, 商品折扣) VALUES ('老店', '0.7', '假')")
                           .arg(w.table("折扣方案"))));
    w.context.currentShop.clear();
    SettingsFile ini = SettingsFile::inDirectory(w.db->dir());

    ShopBindingPage page; // nothing ticked, the box showing another factor
    page.factorText = QStringLiteral("0.85");
    const ShopBindingResult outcome = saveShopSettings(w.context, ini, shop, page);
    ASSERT_TRUE(outcome.result.done);
    EXPECT_EQ(outcome.result.message,
              QStringLiteral("当前本机指定使用【老店】，如果是旧店铺请重启软件读取该店铺配置信息！"));
    EXPECT_EQ(w.shopValue(shop, QStringLiteral("销售")), QStringLiteral("2"));
    EXPECT_EQ(w.column(QStringLiteral("SELECT * FROM %1 WHERE 所属店铺='老店'").arg(w.table("折扣方案")),
                       QStringLiteral("统一折扣")),
              QStringList{QStringLiteral("0.7")});
    // The workstation now works with the shop's own settings.
    EXPECT_EQ(w.context.shopSettings.销售, QStringLiteral("2"));
    EXPECT_EQ(w.context.discountScheme.统一折扣, QStringLiteral("0.7"));
    EXPECT_EQ(w.shopValue(shop, QStringLiteral("会员共享")), QStringLiteral("真"));
}

INSTANTIATE_TEST_SUITE_P(Backends, BindWorkstation,
                         ::testing::Values(data::Backend::Sqlite, data::Backend::Postgres),
                         testsupport::backendParamName);

TEST(BindWorkstationRefusals, EmptyOrMissingShop)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    SettingsFile ini = SettingsFile::inDirectory(w.db->dir());
    EXPECT_EQ(saveShopSettings(w.context, ini, QString(), {}).result.message, QStringLiteral("当前未指定店铺无法保存"));
    EXPECT_FALSE(saveShopSettings(w.context, ini, QStringLiteral("Z"), {}).result.done);
    EXPECT_EQ(ini.readSetting(SettingsFile::ShopSection, SettingsFile::ShopKey), QString());
    EXPECT_EQ(w.context.currentShop, QStringLiteral("A"));
}

// Each handler in each state of the workstation's shop.
struct HandlerCase
{
    const char *name;
    std::function<AdminResult(AppContext &)> run;
    const char *column;
    const char *value;
};

class SettingHandlers : public ::testing::TestWithParam<HandlerCase> {};

TEST_P(SettingHandlers, WriteTheRowAndTheContextOnlyWithAShopRow)
{
    const HandlerCase c = GetParam();
    const QString column = QString::fromUtf8(c.column);
    const int field = int(ShopSettings::columns().indexOf(column));
    ASSERT_GE(field, 0);

    // No workstation shop: the shop message, nothing written.
    {
        AdminWorkstation w;
        ADMIN_READY(w);
        w.context.currentShop.clear();
        const AdminResult r = c.run(w.context);
        EXPECT_FALSE(r.done);
        EXPECT_EQ(r.message, QStringLiteral("请在上面先指定本机当前使用哪个店铺"));
        EXPECT_EQ(w.context.shopSettings[field], QString());
    }
    // A workstation shop without a row: nothing, silently.
    {
        AdminWorkstation w;
        ADMIN_READY(w);
        w.context.currentShop = QStringLiteral("Gone");
        const AdminResult r = c.run(w.context);
        EXPECT_FALSE(r.done);
        EXPECT_TRUE(r.message.isEmpty());
        EXPECT_EQ(w.context.shopSettings[field], QString());
    }
    // The row exists: written, in the context too, and only this shop's row.
    {
        AdminWorkstation w;
        ADMIN_READY(w);
        const AdminResult r = c.run(w.context);
        EXPECT_TRUE(r.done) << qPrintable(r.message);
        EXPECT_EQ(w.shopValue(QStringLiteral("A"), column), QString::fromUtf8(c.value));
        EXPECT_EQ(w.context.shopSettings[field], QString::fromUtf8(c.value));
        EXPECT_EQ(w.shopValue(QStringLiteral("B"), column), QString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, SettingHandlers,
    ::testing::Values(
        HandlerCase{"rounding1", [](AppContext &c) { return selectRounding(c, 1); }, "销售", "1"},
        HandlerCase{"points", [](AppContext &c) { return enablePointsMode(c, "2000", "40"); }, "积分模式", "真"},
        HandlerCase{"upgrade", [](AppContext &c) { return enableUpgradeMode(c, "3000", "50"); }, "升级模式", "真"},
        HandlerCase{"pointsValue", [](AppContext &c) { return savePointsValue(c, "1500"); }, "积分值", "1500"},
        HandlerCase{"deduction", [](AppContext &c) { return saveDeductionValue(c, "30"); }, "抵扣值", "30"},
        HandlerCase{"upper", [](AppContext &c) { return saveStockUpperAlarm(c, "12"); }, "上限报警", "12"},
        HandlerCase{"lower", [](AppContext &c) { return saveStockLowerAlarm(c, "-1"); }, "下限报警", "-1"},
        HandlerCase{"sharing", [](AppContext &c) { return setMemberSharing(c, true); }, "会员共享", "真"},
        HandlerCase{"birthday", [](AppContext &c) { return setBirthdayReminder(c, false); }, "生日提醒", "假"},
        HandlerCase{"promotion", [](AppContext &c) { return setAutoPromotion(c, true); }, "满就送", "真"},
        HandlerCase{"alarm", [](AppContext &c) { return setStockAlarm(c, true); }, "报警开关", "真"},
        HandlerCase{"notice", [](AppContext &c) { return setNoticeTicker(c, true, "5000"); }, "公告间隔", "5000"}),
    [](const ::testing::TestParamInfo<HandlerCase> &info) { return std::string(info.param.name); });

TEST(ShopSettingRules, PointsAndUpgradeModesExcludeEachOther)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(enableUpgradeMode(w.context, QStringLiteral("3000"), QStringLiteral("50")).done);
    ASSERT_TRUE(setDiscountOnDiscount(w.context, true).done);
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("折上折")), QStringLiteral("真"));

    ASSERT_TRUE(enablePointsMode(w.context, QStringLiteral("2000"), QStringLiteral("40")).done);
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("升级模式")), QStringLiteral("假"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("折上折")), QStringLiteral("假"));
    EXPECT_EQ(w.context.shopSettings.积分值, QStringLiteral("2000"));

    // 折上折 only with the upgrade mode.
    const AdminResult refused = setDiscountOnDiscount(w.context, true);
    EXPECT_EQ(refused.message, QStringLiteral("请先勾选启用积分+升级模式"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("折上折")), QStringLiteral("假"));

    // An empty value refuses the mode and leaves the table as it was.
    const AdminResult empty = enablePointsMode(w.context, QString(), QStringLiteral("40"));
    EXPECT_EQ(empty.message, QStringLiteral("上面2项都要填写！"));
    EXPECT_EQ(w.context.shopSettings.积分模式, QStringLiteral("假"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("积分模式")), QStringLiteral("真"));
    EXPECT_EQ(enableUpgradeMode(w.context, QStringLiteral("1"), QString()).message, QStringLiteral("编辑框内请填写完整"));
}

TEST(ShopSettingRules, StockBoundsTakeWholeNumbersOnly)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(saveStockUpperAlarm(w.context, QStringLiteral("1")).done);
    ASSERT_TRUE(saveStockUpperAlarm(w.context, QStringLiteral("12")).done);
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("上限报警")), QStringLiteral("12"));
    for (const char *bad : {"1 --", "0,会员共享='真'", "1.5", "abc", "１２"}) {
        const AdminResult r = saveStockUpperAlarm(w.context, QString::fromUtf8(bad));
        EXPECT_FALSE(r.done) << bad;
        EXPECT_EQ(r.message, QStringLiteral("库存上限只能填写整数！"));
    }
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("上限报警")), QStringLiteral("12"));
    EXPECT_EQ(w.shopValue(QStringLiteral("B"), QStringLiteral("上限报警")), QString());
    EXPECT_EQ(w.shopValue(QStringLiteral("B"), QStringLiteral("会员共享")), QString());
    EXPECT_EQ(w.context.shopSettings.上限报警, QStringLiteral("12"));
    // Clearing the box stores the empty text; no statement fails.
    EXPECT_TRUE(saveStockUpperAlarm(w.context, QString()).done);
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("上限报警")), QString());
}

TEST(ShopSettingRules, NoticeTickerNeedsAnInterval)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    EXPECT_EQ(setNoticeTicker(w.context, true, QString()).message, QStringLiteral("请先把公告读取间隔时间填上！"));
    EXPECT_FALSE(setNoticeTicker(w.context, true, QStringLiteral("0")).done);
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("开启公告")), QString());
    ASSERT_TRUE(setNoticeTicker(w.context, true, QStringLiteral("30")).done);
    EXPECT_EQ(w.context.shopSettings.开启公告, QStringLiteral("真"));
    ASSERT_TRUE(setNoticeTicker(w.context, false, QString()).done);
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("开启公告")), QStringLiteral("假"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("公告间隔")), QStringLiteral("30"));
}

} // namespace

// A shop-row lookup that cannot run is a failure the user is told about, never a silent "no row".
TEST(ShopSettingRules, LostConnectionIsReportedAndChangesNothing)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    const QString before = w.context.shopSettings.会员共享;
    w.conn().close();

    const AdminResult sharing = setMemberSharing(w.context, before != AppContext::FlagOn);
    EXPECT_FALSE(sharing.done);
    EXPECT_EQ(sharing.message, texts::SaveFailed);
    EXPECT_EQ(w.context.shopSettings.会员共享, before);

    const AdminResult bound = saveStockUpperAlarm(w.context, QStringLiteral("12"));
    EXPECT_FALSE(bound.done);
    EXPECT_EQ(bound.message, texts::SaveFailed);

    const AdminResult shop = addShop(w.context, QStringLiteral("C"));
    EXPECT_FALSE(shop.done);
    EXPECT_EQ(shop.message, QStringLiteral("店铺添加失败，数据库没有写入，请检查数据库连接后重试！"));

    SettingsFile ini = SettingsFile::inDirectory(w.db->dir());
    const ShopBindingResult binding = saveShopSettings(w.context, ini, QStringLiteral("A"), {});
    EXPECT_FALSE(binding.result.done);
    EXPECT_EQ(binding.result.message, texts::SaveFailed);
    EXPECT_EQ(ini.readEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey), QString());
}
