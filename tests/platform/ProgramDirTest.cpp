#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ProgramDirTest : public ::testing::Test
{
protected:
    void TearDown() override { ProgramDir::set(QCoreApplication::applicationDirPath()); }
};

TEST_F(ProgramDirTest, HomeArgumentChoosesTheDirectory)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QString error;
    ASSERT_TRUE(ProgramDir::initFromArguments({QStringLiteral("shopdesk"), QStringLiteral("--home"), home.path()},
                                              &error))
        << qPrintable(error);
    EXPECT_EQ(ProgramDir::path(), QDir(home.path()).absolutePath());
    EXPECT_EQ(ProgramDir::file(QStringLiteral("qi.db")), QDir(home.path()).filePath(QStringLiteral("qi.db")));

    QTemporaryDir other;
    ASSERT_TRUE(ProgramDir::initFromArguments({QStringLiteral("shopdesk"), QStringLiteral("--home=") + other.path()}));
    EXPECT_EQ(ProgramDir::path(), QDir(other.path()).absolutePath());
}

TEST_F(ProgramDirTest, WithoutHomeTheExecutablesFolderIsUsed)
{
    ProgramDir::set(QDir::tempPath());
    ASSERT_TRUE(ProgramDir::initFromArguments({QStringLiteral("shopdesk")}));
    EXPECT_EQ(ProgramDir::path(), QDir(QCoreApplication::applicationDirPath()).absolutePath());
}

TEST_F(ProgramDirTest, MissingOrAbsentHomeDirectoryIsRefusedAndChangesNothing)
{
    QTemporaryDir home;
    ProgramDir::set(home.path());
    const QString before = ProgramDir::path();

    QString error;
    EXPECT_FALSE(ProgramDir::initFromArguments(
        {QStringLiteral("shopdesk"), QStringLiteral("--home"), home.filePath(QStringLiteral("nope"))}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nope"))) << qPrintable(error);
    EXPECT_FALSE(QDir(home.filePath(QStringLiteral("nope"))).exists());

    error.clear();
    EXPECT_FALSE(ProgramDir::initFromArguments({QStringLiteral("shopdesk"), QStringLiteral("--home")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ProgramDir::path(), before);
}

TEST_F(ProgramDirTest, RelativeHomeBecomesAbsolute)
{
    QTemporaryDir home;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(home.path());
    QDir().mkdir(QStringLiteral("shop"));
    const bool ok = ProgramDir::initFromArguments({QStringLiteral("shopdesk"), QStringLiteral("--home"), QStringLiteral("shop")});
    QDir::setCurrent(saved);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ProgramDir::path(), QDir(home.path()).absoluteFilePath(QStringLiteral("shop")));
}

} // namespace
