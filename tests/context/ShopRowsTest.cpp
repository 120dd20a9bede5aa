#include "context/AppContext.h"
#include "data/SqlBuilder.h"
#include "platform/ProgramDir.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using testsupport::BothBackends;

const QString shop = QStringLiteral("李's,店=1"); // a name that would break a spliced statement

class ShopRows : public BothBackends
{
protected:
    void SetUp() override
    {
        BothBackends::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(db().openAnother(context.connection())) << qPrintable(context.connection().lastError());
        context.currentShop = shop;
    }

    void insert(const QString &table, const data::Pairs &pairs)
    {
        ASSERT_TRUE(conn().execute(data::buildInsertSql(dialect(), table, pairs))) << qPrintable(conn().lastError());
    }

    void addTier(const QString &owner, const QString &discount, const QString &name, const QString &points)
    {
        insert(QStringLiteral("会员类别"), {{QStringLiteral("会员类别"), name},
                                            {QStringLiteral("会员折扣"), discount},
                                            {QStringLiteral("累计积分"), points},
                                            {QStringLiteral("所属店铺"), owner}});
    }

    AppContext context;
};

TEST_P(ShopRows, WithoutRowsEveryFieldIsEmptyAndEveryFlagOff)
{
    // Values left from before are replaced, not kept.
    context.discountScheme.商品折扣 = QStringLiteral("真");
    context.shopSettings.会员共享 = QStringLiteral("真");
    context.memberTiers[0].会员类别 = QStringLiteral("金卡");

    ASSERT_TRUE(loadDiscountScheme(context));
    ASSERT_TRUE(loadShopSettings(context));
    ASSERT_TRUE(loadMemberTiers(context));

    for (int i = 0; i < DiscountScheme::count; ++i)
        EXPECT_TRUE(context.discountScheme[i].isEmpty()) << i;
    for (int i = 0; i < ShopSettings::count; ++i)
        EXPECT_TRUE(context.shopSettings[i].isEmpty()) << i;
    for (const MemberTier &tier : context.memberTiers)
        EXPECT_EQ(tier, MemberTier{});
    EXPECT_FALSE(isFlagOn(context.discountScheme.商品折扣));
    EXPECT_FALSE(isFlagOn(context.shopSettings.会员共享));
    EXPECT_FALSE(isFlagOn(context.shopSettings.报警开关));
}

TEST_P(ShopRows, DiscountSchemeAndShopSettingsComeFromTheFirstRowOfThisShop)
{
    insert(QStringLiteral("折扣方案"), {{QStringLiteral("款号字母"), QStringLiteral("其它")},
                                        {QStringLiteral("商品折扣"), QStringLiteral("假")},
                                        {QStringLiteral("所属店铺"), QStringLiteral("分店")}});
    insert(QStringLiteral("折扣方案"), {{QStringLiteral("款号字母"), QStringLiteral("LX")},
                                        {QStringLiteral("商品折扣"), QStringLiteral("真")},
                                        {QStringLiteral("统一折扣"), QStringLiteral("0.85")},
                                        {QStringLiteral("自由优惠"), QStringLiteral("假")},
                                        {QStringLiteral("所属店铺"), shop}});
    insert(QStringLiteral("折扣方案"), {{QStringLiteral("款号字母"), QStringLiteral("later")},
                                        {QStringLiteral("所属店铺"), shop}});

    data::Pairs settings{{QStringLiteral("店名"), shop}};
    for (int i = 0; i < ShopSettings::count; ++i)
        settings.append({ShopSettings::columns()[i], QStringLiteral("v%1").arg(i)});
    insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), QStringLiteral("分店")},
                                      {QStringLiteral("销售"), QStringLiteral("9")}});
    insert(QStringLiteral("店铺名"), settings);

    ASSERT_TRUE(loadDiscountScheme(context));
    ASSERT_TRUE(loadShopSettings(context));

    EXPECT_EQ(context.discountScheme.款号字母, QStringLiteral("LX"));
    EXPECT_EQ(context.discountScheme.商品折扣, QStringLiteral("真"));
    EXPECT_EQ(context.discountScheme.统一折扣, QStringLiteral("0.85"));
    EXPECT_EQ(context.discountScheme.自由优惠, QStringLiteral("假"));
    EXPECT_TRUE(isFlagOn(context.discountScheme.商品折扣));
    EXPECT_FALSE(isFlagOn(context.discountScheme.自由优惠));

    EXPECT_EQ(context.shopSettings.销售, QStringLiteral("v0"));
    EXPECT_EQ(context.shopSettings.会员共享, QStringLiteral("v6"));
    EXPECT_EQ(context.shopSettings.报警开关, QStringLiteral("v13"));
    for (int i = 0; i < ShopSettings::count; ++i)
        EXPECT_EQ(context.shopSettings[i], QStringLiteral("v%1").arg(i)) << qPrintable(ShopSettings::columns()[i]);
}

TEST_P(ShopRows, TwoCategoriesFillTwoTiersByAscendingDiscount)
{
    addTier(shop, QStringLiteral("0.9"), QStringLiteral("银卡"), QStringLiteral("500"));
    addTier(shop, QStringLiteral("0.85"), QStringLiteral("金卡"), QStringLiteral("2000"));
    addTier(QStringLiteral("分店"), QStringLiteral("0.5"), QStringLiteral("别店"), QStringLiteral("1"));

    ASSERT_TRUE(loadMemberTiers(context));
    EXPECT_EQ(context.memberTiers[0], (MemberTier{QStringLiteral("0.85"), QStringLiteral("金卡"), QStringLiteral("2000")}));
    EXPECT_EQ(context.memberTiers[1], (MemberTier{QStringLiteral("0.9"), QStringLiteral("银卡"), QStringLiteral("500")}));
    EXPECT_EQ(context.memberTiers[2], MemberTier{});
}

TEST_P(ShopRows, FourCategoriesFillThreeTiers)
{
    addTier(shop, QStringLiteral("1"), QStringLiteral("普通"), QStringLiteral("0"));
    addTier(shop, QStringLiteral("0.8"), QStringLiteral("钻石"), QStringLiteral("5000"));
    addTier(shop, QStringLiteral("0.95"), QStringLiteral("银卡"), QStringLiteral("500"));
    addTier(shop, QStringLiteral("0.9"), QStringLiteral("金卡"), QStringLiteral("2000"));

    ASSERT_TRUE(loadMemberTiers(context));
    EXPECT_EQ(context.memberTiers[0].会员类别, QStringLiteral("钻石"));
    EXPECT_EQ(context.memberTiers[1].会员类别, QStringLiteral("金卡"));
    EXPECT_EQ(context.memberTiers[2].会员类别, QStringLiteral("银卡"));
}

TEST_P(ShopRows, DeletedCategoryIsGoneAfterReload)
{
    addTier(shop, QStringLiteral("0.8"), QStringLiteral("钻石"), QStringLiteral("5000"));
    addTier(shop, QStringLiteral("0.9"), QStringLiteral("金卡"), QStringLiteral("2000"));
    addTier(shop, QStringLiteral("0.95"), QStringLiteral("银卡"), QStringLiteral("500"));
    ASSERT_TRUE(loadMemberTiers(context));
    ASSERT_EQ(context.memberTiers[2].会员类别, QStringLiteral("银卡"));

    ASSERT_TRUE(conn().execute(data::Sql(QStringLiteral("DELETE FROM 会员类别 WHERE ") + QStringLiteral("会员类别=?"),
                                         {QStringLiteral("金卡")})));
    ASSERT_TRUE(loadMemberTiers(context));
    EXPECT_EQ(context.memberTiers[0].会员类别, QStringLiteral("钻石"));
    EXPECT_EQ(context.memberTiers[1].会员类别, QStringLiteral("银卡"));
    EXPECT_EQ(context.memberTiers[2], MemberTier{});
}

TEST_P(ShopRows, FailedLoadReportsAndKeepsTheTiers)
{
    addTier(shop, QStringLiteral("0.8"), QStringLiteral("钻石"), QStringLiteral("5000"));
    ASSERT_TRUE(loadMemberTiers(context));
    context.connection().close();
    EXPECT_FALSE(loadMemberTiers(context));
    EXPECT_FALSE(loadDiscountScheme(context));
    EXPECT_EQ(context.memberTiers[0].会员类别, QStringLiteral("钻石"));
}

TEST_P(ShopRows, NetworkTodayComesFromTheDatabaseClockWithTwoDigitHours)
{
    context.runMode = AppContext::NetworkMode;
    refreshToday(context);

    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"));
    ASSERT_TRUE(form.match(context.serverDateText).hasMatch()) << qPrintable(context.serverDateText);
    EXPECT_EQ(context.today.year, context.serverDateText.mid(0, 4));
    EXPECT_EQ(context.today.month, context.serverDateText.mid(5, 2));
    EXPECT_EQ(context.today.day, context.serverDateText.mid(8, 2));
    EXPECT_EQ(context.today.hour, context.serverDateText.mid(11, 2));
    EXPECT_EQ(context.today.minute, context.serverDateText.mid(14, 2));
}

TEST_P(ShopRows, OpenShopDatabaseFollowsTheMode)
{
    AppContext fresh;
    ProgramDir::set(db().dir());
    EXPECT_FALSE(openShopDatabase(fresh)); // runMode ""
    EXPECT_FALSE(fresh.connection().isOpen());

    if (backend() == data::Backend::Sqlite) {
        fresh.runMode = AppContext::SingleMachineMode;
    } else {
        fresh.runMode = AppContext::NetworkMode;
        fresh.sqlServerSettings = db().serverSettings();
    }
    ASSERT_TRUE(openShopDatabase(fresh)) << qPrintable(fresh.connection().lastError());
    EXPECT_EQ(fresh.connection().backend(), backend());
    fresh.currentShop = QStringLiteral("---"); // the shipped member categories
    ASSERT_TRUE(loadMemberTiers(fresh));
    EXPECT_FALSE(fresh.memberTiers[0].会员类别.isEmpty());
    ProgramDir::set(QCoreApplication::applicationDirPath());
}

SHOPDESK_BOTH_BACKENDS(ShopRows);

} // namespace
