#include "data/SettingsFile.h"
#include "platform/Gbk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A copy of the fixture written by the Windows program: GBK, CRLF, the shop in comma form and
    // every other enciphered value bare.
    SettingsFile windowsCopy() const
    {
        const QString target = dir.filePath(SettingsFile::FileName);
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(QStringLiteral(SHOPDESK_SOURCE_DIR "/tests/data/fixtures/sql.ini"), target));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return SettingsFile(target);
    }

    QString stored(const SettingsFile &file, const QString &section, const QString &key) const
    {
        return file.readSetting(section, key);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(SettingsFileTest, ReadsEveryValueOfAFileWrittenOnWindows)
{
    const SettingsFile file = windowsCopy();
    using S = SettingsFile;
    EXPECT_EQ(file.readEncipheredSetting(S::DatabaseSection, S::IpKey), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(file.readEncipheredSetting(S::DatabaseSection, S::PortKey), QStringLiteral("1433"));
    EXPECT_EQ(file.readEncipheredSetting(S::DatabaseSection, S::DataKey), QStringLiteral("shopdb"));
    EXPECT_EQ(file.readEncipheredSetting(S::DatabaseSection, S::UserKey), QStringLiteral("sa"));
    EXPECT_EQ(file.readEncipheredSetting(S::DatabaseSection, S::PasswordKey), QStringLiteral("p@ss=1;x"));
    EXPECT_EQ(stored(file, S::ShopSection, S::ShopKey), QStringLiteral("38,C0,2F,E4,7F,34,"));
    EXPECT_EQ(file.readEncipheredSetting(S::ShopSection, S::ShopKey), QStringLiteral("旗舰店"));
    EXPECT_EQ(file.readSetting(S::PrintSection, S::ReceiptKey), QStringLiteral("真"));
    EXPECT_EQ(file.readSetting(S::PrintSection, S::LabelKey), QStringLiteral("假"));
    EXPECT_EQ(file.readEncipheredSetting(S::VersionSection, S::VersionKey), QStringLiteral("网络版"));
}

TEST_F(SettingsFileTest, MissingFileReadsEmptyEverywhere)
{
    const SettingsFile file = SettingsFile::inDirectory(dir.path());
    EXPECT_EQ(file.path(), dir.path() + QStringLiteral("/sql.ini"));
    EXPECT_EQ(file.readEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey), QString());
    EXPECT_EQ(file.readSetting(SettingsFile::PrintSection, SettingsFile::ReceiptKey), QString());
    EXPECT_FALSE(QFile::exists(file.path()));
}

TEST_F(SettingsFileTest, WritesBareAndCommaFormsThatBothReadBack)
{
    const SettingsFile file = SettingsFile::inDirectory(dir.path());
    using S = SettingsFile;
    ASSERT_TRUE(file.writeEncipheredSetting(S::VersionSection, S::VersionKey, QStringLiteral("单机版"), S::CipherForm::Bare));
    ASSERT_TRUE(file.writeEncipheredSetting(S::ShopSection, S::ShopKey, QStringLiteral("总店"), S::CipherForm::Comma));
    ASSERT_TRUE(file.writeEncipheredSetting(S::ShopSection, QStringLiteral("2"), QStringLiteral("总店"), S::CipherForm::Bare));
    EXPECT_EQ(stored(file, S::VersionSection, S::VersionKey), QStringLiteral("4B8929BC7A38"));
    EXPECT_EQ(stored(file, S::ShopSection, S::ShopKey), QStringLiteral("29,F0,27,AC,"));
    EXPECT_EQ(stored(file, S::ShopSection, QStringLiteral("2")), QStringLiteral("29F027AC"));
    EXPECT_EQ(file.readEncipheredSetting(S::VersionSection, S::VersionKey), QStringLiteral("单机版"));
    EXPECT_EQ(file.readEncipheredSetting(S::ShopSection, S::ShopKey), QStringLiteral("总店"));
    EXPECT_EQ(file.readEncipheredSetting(S::ShopSection, QStringLiteral("2")), QStringLiteral("总店"));

    QFile raw(file.path());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), gbk::encode(QStringLiteral("[版本配置]\r\n当前版本=4B8929BC7A38\r\n"
                                                        "[当前店铺]\r\n1=29,F0,27,AC,\r\n2=29F027AC\r\n")));
}

TEST_F(SettingsFileTest, RoundTripsDatabaseSettingsAndKeepsTheOtherKeys)
{
    const SettingsFile file = windowsCopy();
    using S = SettingsFile;
    const std::pair<QString, QString> values[] = {
        {S::IpKey, QStringLiteral("192.168.1.20")}, {S::PortKey, QStringLiteral("5432")},
        {S::DataKey, QStringLiteral("服装店")},     {S::UserKey, QStringLiteral("postgres")},
        {S::PasswordKey, QString()},
    };
    for (const auto &[key, value] : values)
        ASSERT_TRUE(file.writeEncipheredSetting(S::DatabaseSection, key, value, S::CipherForm::Bare));
    for (const auto &[key, value] : values)
        EXPECT_EQ(file.readEncipheredSetting(S::DatabaseSection, key), value) << key.toStdString();
    EXPECT_EQ(stored(file, S::DatabaseSection, S::PasswordKey), QString());
    EXPECT_EQ(file.readEncipheredSetting(S::ShopSection, S::ShopKey), QStringLiteral("旗舰店"));
    EXPECT_EQ(file.readSetting(S::PrintSection, S::ReceiptKey), QStringLiteral("真"));
    ASSERT_TRUE(file.writeSetting(S::PrintSection, S::ReceiptKey, QStringLiteral("假")));
    EXPECT_EQ(file.readSetting(S::PrintSection, S::ReceiptKey), QStringLiteral("假"));
    EXPECT_EQ(file.readEncipheredSetting(S::VersionSection, S::VersionKey), QStringLiteral("网络版"));
}

TEST_F(SettingsFileTest, AnOddLengthBareValueLosesItsLastDigit)
{
    const SettingsFile file = SettingsFile::inDirectory(dir.path());
    ASSERT_TRUE(file.writeSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, QStringLiteral("4B8929BC7A385")));
    EXPECT_EQ(file.readEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey), QStringLiteral("单机版"));
}

TEST_F(SettingsFileTest, RefusesAValueThatWouldNotReadBack)
{
    const SettingsFile file = SettingsFile::inDirectory(dir.path());
    EXPECT_FALSE(file.writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PasswordKey,
                                             QStringLiteral("pw😀"), SettingsFile::CipherForm::Bare));
    EXPECT_FALSE(QFile::exists(file.path()));
}

TEST_F(SettingsFileTest, AFailedWriteIsReported)
{
    const SettingsFile file = SettingsFile::inDirectory(dir.filePath(QStringLiteral("missing")));
    EXPECT_FALSE(file.writeSetting(SettingsFile::PrintSection, SettingsFile::LabelKey, QStringLiteral("真")));
    EXPECT_FALSE(file.writeEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey, QStringLiteral("总店"),
                                             SettingsFile::CipherForm::Comma));
}

TEST_F(SettingsFileTest, SeveralKeysAreWrittenAllOrNone)
{
    const SettingsFile file = windowsCopy();
    const QString &section = SettingsFile::DatabaseSection;
    const auto bare = SettingsFile::CipherForm::Bare;
    const QString ipBefore = file.readEncipheredSetting(section, SettingsFile::IpKey);

    // A password GBK cannot encode: nothing of the five is written, not even the address before it.
    EXPECT_FALSE(file.writeEncipheredSettings(section,
                                              {{SettingsFile::IpKey, QStringLiteral("10.0.0.9")},
                                               {SettingsFile::PasswordKey, QStringLiteral("pw😀")}},
                                              bare));
    EXPECT_EQ(file.readEncipheredSetting(section, SettingsFile::IpKey), ipBefore);

    EXPECT_TRUE(file.writeEncipheredSettings(section,
                                             {{SettingsFile::IpKey, QStringLiteral("10.0.0.9")},
                                              {SettingsFile::PortKey, QString()},
                                              {SettingsFile::PasswordKey, QStringLiteral("密码")}},
                                             bare));
    EXPECT_EQ(file.readEncipheredSetting(section, SettingsFile::IpKey), QStringLiteral("10.0.0.9"));
    EXPECT_EQ(file.readEncipheredSetting(section, SettingsFile::PortKey), QString());
    EXPECT_EQ(file.readEncipheredSetting(section, SettingsFile::PasswordKey), QStringLiteral("密码"));
}
