#include "context/AppContext.h"
#include "data/SettingsFile.h"
#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(AppContext, FlagsAreOnOnlyForTrueText)
{
    EXPECT_TRUE(isFlagOn(QStringLiteral("真")));
    for (const char *off : {"假", "", "真 ", " 真", "TRUE", "1", "√"})
        EXPECT_FALSE(isFlagOn(QString::fromUtf8(off))) << off;
}

TEST(AppContext, RightsAreNamedInColumnOrder)
{
    AccountRights rights;
    ASSERT_EQ(AccountRights::columns().size(), AccountRights::count);
    for (int i = 0; i < AccountRights::count; ++i)
        rights[i] = QString::number(i);
    EXPECT_EQ(rights.前台收银, QStringLiteral("0"));
    EXPECT_EQ(rights.实况播报, QStringLiteral("1"));
    EXPECT_EQ(rights.查看进价, QStringLiteral("18"));
    EXPECT_EQ(rights.系统设置, QStringLiteral("19"));
    EXPECT_EQ(rights.value(QStringLiteral("开支管理")), QStringLiteral("17"));
    EXPECT_EQ(rights.value(QStringLiteral("没有")), QString());
    EXPECT_EQ(AccountRights::columns().first(), QStringLiteral("前台收银"));
    EXPECT_EQ(AccountRights::columns().last(), QStringLiteral("系统设置"));
}

TEST(AppContext, StartsEmptyWithTheProgramVersion)
{
    AppContext context;
    EXPECT_EQ(context.programVersion, QStringLiteral("2.0"));
    EXPECT_TRUE(context.runMode.isEmpty());
    EXPECT_TRUE(context.currentShop.isEmpty());
    EXPECT_TRUE(context.today.year.isEmpty());
    EXPECT_FALSE(context.connection().isOpen());
}

class SettingsIni : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); ProgramDir::set(home.path()); }
    void TearDown() override { ProgramDir::set(QCoreApplication::applicationDirPath()); }
    QTemporaryDir home;
};

TEST_F(SettingsIni, ReadsEveryValueInBothCipherForms)
{
    const SettingsFile file = SettingsFile::inDirectory(home.path());
    using Form = SettingsFile::CipherForm;
    ASSERT_TRUE(file.writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::IpKey, "127.0.0.1", Form::Bare));
    ASSERT_TRUE(file.writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PortKey, "5432", Form::Bare));
    ASSERT_TRUE(file.writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::DataKey, "shop", Form::Bare));
    ASSERT_TRUE(file.writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::UserKey, "postgres", Form::Bare));
    ASSERT_TRUE(file.writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PasswordKey, "p'w,=", Form::Bare));
    ASSERT_TRUE(file.writeEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey, QStringLiteral("总店"), Form::Comma));
    ASSERT_TRUE(file.writeSetting(SettingsFile::PrintSection, SettingsFile::ReceiptKey, QStringLiteral("真")));
    ASSERT_TRUE(file.writeSetting(SettingsFile::PrintSection, SettingsFile::LabelKey, QStringLiteral("假")));
    ASSERT_TRUE(file.writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, QStringLiteral("网络版"), Form::Bare));

    AppContext context;
    loadSettingsFromIni(context);
    EXPECT_EQ(context.sqlServerSettings.ip, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(context.sqlServerSettings.port, QStringLiteral("5432"));
    EXPECT_EQ(context.sqlServerSettings.data, QStringLiteral("shop"));
    EXPECT_EQ(context.sqlServerSettings.user, QStringLiteral("postgres"));
    EXPECT_EQ(context.sqlServerSettings.password, QStringLiteral("p'w,="));
    EXPECT_EQ(context.currentShop, QStringLiteral("总店"));
    EXPECT_EQ(context.receiptPrintFlag, QStringLiteral("真"));
    EXPECT_EQ(context.labelPrintFlag, QStringLiteral("假"));
    EXPECT_EQ(context.runMode, QStringLiteral("网络版"));
    EXPECT_TRUE(context.isNetwork());
}

TEST_F(SettingsIni, WithoutTheFileEverythingIsEmptyAndNoDatabaseOpens)
{
    AppContext context;
    context.currentShop = QStringLiteral("old");
    loadSettingsFromIni(context);
    EXPECT_TRUE(context.currentShop.isEmpty());
    EXPECT_TRUE(context.runMode.isEmpty());
    EXPECT_TRUE(context.receiptPrintFlag.isEmpty());
    EXPECT_TRUE(context.sqlServerSettings.ip.isEmpty());
    EXPECT_FALSE(openShopDatabase(context));
    EXPECT_FALSE(context.connection().isOpen());
    EXPECT_FALSE(QFile::exists(ProgramDir::file(QStringLiteral("sql.ini"))));
}

TEST_F(SettingsIni, SingleMachineModeNeverCreatesAMissingDatabaseFile)
{
    AppContext context;
    context.runMode = AppContext::SingleMachineMode;
    EXPECT_FALSE(openShopDatabase(context));
    EXPECT_FALSE(QFile::exists(ProgramDir::file(QStringLiteral("qi.db"))));
}

} // namespace
