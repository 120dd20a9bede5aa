#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "data/SchemaUpgrade.h"
#include "data/SqlScript.h"

#include "ShellFixture.h"
#include "data/Connection.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "shell/LoginWindow.h"

using shell::LoginWindow;
using shelltest::Workstation;
using Start = LoginWindow::StartResult;

namespace {

const QString SettingsWindow = QStringLiteral("DatabaseSettingsWindow");

class StartupTest : public ::testing::TestWithParam<data::Backend>
{
protected:
    void TearDown() override { Clock::reset(); }
};

TEST(Startup, FirstStartWithoutSqlIniOpensTheSettingsWindowAndEnds)
{
    Workstation ws(data::Backend::Sqlite);
    ASSERT_TRUE(ws.db->ok());
    ASSERT_FALSE(QFile::exists(ws.ini().path()));
    MessageScript script;
    LoginWindow window(ws.ctx, {});
    EXPECT_EQ(window.initLoginWindow(), Start::Ended);
    EXPECT_EQ(script.dialogs(), QStringList{SettingsWindow});
    EXPECT_TRUE(script.texts().isEmpty()); // the interface font is installed: no font question
    EXPECT_FALSE(ws.ctx.connection().isOpen());
}

TEST(Startup, FontCheckLooksForTheInterfaceFont)
{
    EXPECT_FALSE(LoginWindow::interfaceFontMissing({QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")}));
    EXPECT_FALSE(LoginWindow::interfaceFontMissing({QStringLiteral("WenQuanYi Micro Hei Mono")}));
    EXPECT_TRUE(LoginWindow::interfaceFontMissing({QStringLiteral("DejaVu Sans"), QStringLiteral("微软雅黑")}));
    EXPECT_TRUE(LoginWindow::interfaceFontMissing({}));
    EXPECT_EQ(LoginWindow::fontQuestionText(),
              QStringLiteral("检到你的系统没有安装[WenQuanYi Micro Hei]字体，为保证软件显示效果，请安装\r\n"
                             "选择【是】，软件弹出下载网页。\r\n选择【否】，自行下载"));
}

TEST(Startup, MissingFontIsAskedAboutFirstAndStartUpGoesOn)
{
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        Workstation ws(data::Backend::Sqlite);
        ASSERT_TRUE(ws.db->ok());
        LoginWindow::setFontFamilies([] { return QStringList{QStringLiteral("DejaVu Sans")}; });
        MessageScript script;
        script.queueAnswers({yes});
        LoginWindow window(ws.ctx, {});
        const Start result = window.initLoginWindow();
        LoginWindow::setFontFamilies({});
        ASSERT_EQ(script.messages().size(), 1);
        const ShownMessage &question = script.messages().first();
        EXPECT_TRUE(question.question);
        EXPECT_EQ(question.icon, MessageIcon::Warning);
        EXPECT_EQ(question.title, QString());
        EXPECT_EQ(question.text, LoginWindow::fontQuestionText());
        EXPECT_EQ(ws.opened, yes ? QList<QUrl>{QUrl(LoginWindow::FontDownloadPage)} : QList<QUrl>());
        // Either answer goes on: without sql.ini the settings window comes next and the program ends.
        EXPECT_EQ(script.dialogs(), QStringList{SettingsWindow});
        EXPECT_EQ(result, Start::Ended);
    }
}

TEST(Startup, UnusableConfigurationsOpenTheSettingsWindow)
{
    struct Case
    {
        const char *name;
        QString mode;
        bool removeDatabase;
    };
    const Case cases[] = {
        {"missing qi.db", AppContext::SingleMachineMode, true},
        {"unknown mode", QStringLiteral("xyz"), false},
        {"network mode without an address", AppContext::NetworkMode, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Workstation ws(data::Backend::Sqlite);
        ASSERT_TRUE(ws.db->ok());
        ws.db->connection().close();
        if (c.removeDatabase)
            ASSERT_TRUE(QFile::remove(ws.db->sqlitePath()));
        ws.ini().writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, c.mode,
                                        SettingsFile::CipherForm::Bare);
        MessageScript script;
        LoginWindow window(ws.ctx, {});
        EXPECT_EQ(window.initLoginWindow(), Start::Ended);
        EXPECT_EQ(script.dialogs(), QStringList{SettingsWindow});
        EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("透明标签3"))->property("text").toString(), c.mode);
        if (c.removeDatabase)
            EXPECT_FALSE(QFile::exists(ws.db->sqlitePath())) << "a missing database is never created";
    }
}

TEST(Startup, AnEmptyQiDbIsAnUnusableConfigurationAndStaysEmpty)
{
    Workstation ws(data::Backend::Sqlite);
    ASSERT_TRUE(ws.db->ok());
    ws.db->connection().close();
    const QString path = ws.db->sqlitePath();
    ASSERT_TRUE(QFile::remove(path));
    {
        QFile empty(path);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    ws.configure(QString());
    MessageScript script;
    LoginWindow window(ws.ctx, {});
    EXPECT_EQ(window.initLoginWindow(), Start::Ended);
    EXPECT_EQ(script.dialogs(), QStringList{SettingsWindow});
    EXPECT_TRUE(script.texts().isEmpty()) << "no message of its own, as for a missing file";
    EXPECT_FALSE(ws.ctx.connection().isOpen());
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-shm")));
}

TEST(Startup, AFailedUpgradeIsSaidAndLeavesTheDatabaseAsItWas)
{
    Workstation ws(data::Backend::Sqlite, testsupport::TestDatabase::FirstRelease);
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    // A table of the shop's own in the way of the upgrade's trigram index.
    ASSERT_TRUE(ws.db->connection().execute(data::Sql("CREATE TABLE stock_search (x TEXT)")));
    ASSERT_TRUE(ws.db->connection().execute(data::Sql("INSERT INTO stock_search (x) VALUES ('mine')")));
    ws.configure(QString());
    MessageScript script;
    LoginWindow window(ws.ctx, {});
    EXPECT_EQ(window.initLoginWindow(), Start::Ended);
    ASSERT_EQ(script.texts().size(), 1);
    EXPECT_TRUE(script.texts().first().startsWith(QStringLiteral("数据库从版本 1 升级到版本 2 失败，数据库保持原样：")))
        << script.texts().first().toStdString();
    EXPECT_EQ(script.messages().first().icon, MessageIcon::Warning);
    EXPECT_EQ(script.dialogs(), QStringList{SettingsWindow});
    EXPECT_FALSE(ws.ctx.connection().isOpen());
    data::RecordSet rs(ws.db->connection());
    ASSERT_TRUE(rs.open(data::Sql("PRAGMA user_version")));
    EXPECT_EQ(rs.integer(0), 0);
    ASSERT_TRUE(rs.open(data::Sql("SELECT x FROM stock_search")));
    EXPECT_EQ(rs.text(0), QStringLiteral("mine"));
    ASSERT_TRUE(rs.open(data::Sql("SELECT name FROM sqlite_master WHERE type='trigger'")));
    EXPECT_EQ(rs.rowCount(), 0);
}

TEST(Startup, NetworkServerThatRefusesOpensTheSettingsWindow)
{
    Workstation ws(data::Backend::Sqlite);
    ASSERT_TRUE(ws.db->ok());
    const auto bare = SettingsFile::CipherForm::Bare;
    ws.ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::IpKey, QStringLiteral("127.0.0.1"), bare);
    ws.ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PortKey, QStringLiteral("1"), bare);
    ws.ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::DataKey, QStringLiteral("shop"), bare);
    ws.ini().writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, AppContext::NetworkMode, bare);
    MessageScript script;
    LoginWindow window(ws.ctx, {});
    EXPECT_EQ(window.initLoginWindow(), Start::Ended);
    EXPECT_EQ(script.dialogs(), QStringList{SettingsWindow});
}

TEST_P(StartupTest, AdminHintOnlyWithTheShippedAccountAlone)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ws.configure(QString());
    {
        MessageScript script;
        LoginWindow window(ws.ctx, {});
        EXPECT_EQ(window.initLoginWindow(), Start::WaitingForLogin);
        EXPECT_TRUE(script.dialogs().isEmpty());
        EXPECT_EQ(window.accountCount(), 1);
        EXPECT_TRUE(window.adminHintShown());
        EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("透明标签1"))->property("text").toString(),
                  QStringLiteral("管理员默认帐号：admin    密码：580417"));
    }
    ASSERT_TRUE(ws.addAccount(QStringLiteral("li"), QStringLiteral("1"), QStringLiteral("李"), QStringLiteral("东店")));
    AppContext fresh;
    MessageScript script;
    LoginWindow window(fresh, {});
    EXPECT_EQ(window.initLoginWindow(), Start::WaitingForLogin);
    EXPECT_EQ(window.accountCount(), 2);
    EXPECT_FALSE(window.adminHintShown());
}

TEST_P(StartupTest, LoadsTheShopsRowsAndTodayByMode)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    const QString shop = QStringLiteral("东店");
    ws.configure(shop);
    ASSERT_TRUE(ws.insert(QStringLiteral("折扣方案"), {{QStringLiteral("款号字母"), QStringLiteral("K")},
                                                       {QStringLiteral("统一折扣"), QStringLiteral("0.9")},
                                                       {QStringLiteral("所属店铺"), shop}}));
    ASSERT_TRUE(ws.insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), shop},
                                                     {QStringLiteral("销售"), QStringLiteral("2")},
                                                     {QStringLiteral("公告间隔"), QStringLiteral("30")}}));
    ASSERT_TRUE(ws.insert(QStringLiteral("会员类别"), {{QStringLiteral("会员类别"), QStringLiteral("金")},
                                                       {QStringLiteral("会员折扣"), QStringLiteral("0.8")},
                                                       {QStringLiteral("所属店铺"), shop}}));
    // A local clock far from the server's: network mode must take the server's date.
    Clock::setFixed(QDateTime(QDate(2001, 2, 3), QTime(9, 5)));

    // The server's date before and after the start (they differ only when the run crosses midnight).
    auto serverDate = [&] {
        data::RecordSet rs(ws.db->connection());
        return ws.network() && rs.open(data::Sql("SELECT to_char(current_date, 'YYYY-MM-DD')")) ? rs.text(0) : QString();
    };
    const QString serverDateBefore = serverDate();

    MessageScript script;
    LoginWindow window(ws.ctx, {});
    ASSERT_EQ(window.initLoginWindow(), Start::WaitingForLogin);
    const QString serverDateAfter = serverDate();
    EXPECT_EQ(ws.ctx.runMode, ws.modeName());
    EXPECT_EQ(ws.ctx.currentShop, shop);
    EXPECT_EQ(ws.ctx.discountScheme.款号字母, QStringLiteral("K"));
    EXPECT_EQ(ws.ctx.discountScheme.统一折扣, QStringLiteral("0.9"));
    EXPECT_EQ(ws.ctx.shopSettings.销售, QStringLiteral("2"));
    EXPECT_EQ(ws.ctx.shopSettings.公告间隔, QStringLiteral("30"));
    EXPECT_EQ(ws.ctx.memberTiers[0].会员类别, QStringLiteral("金"));
    if (ws.network()) {
        ASSERT_FALSE(serverDateBefore.isEmpty());
        EXPECT_TRUE(ws.ctx.today.dateText() == serverDateBefore || ws.ctx.today.dateText() == serverDateAfter)
            << ws.ctx.today.dateText().toStdString();
        EXPECT_FALSE(ws.ctx.serverDateText.isEmpty());
    } else {
        EXPECT_EQ(ws.ctx.today.dateText(), QStringLiteral("2001-02-03"));
    }
}

TEST_P(StartupTest, AFirstReleaseDatabaseIsUpgradedBeforeTheLogin)
{
    Workstation ws(GetParam(), testsupport::TestDatabase::FirstRelease);
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ASSERT_TRUE(ws.addAccount(QStringLiteral("li"), QStringLiteral("1"), QStringLiteral("李"), QStringLiteral("东店")));
    ASSERT_TRUE(ws.insert(QStringLiteral("采购入库"), {{QStringLiteral("款号"), QStringLiteral("3001A")},
                                                       {QStringLiteral("拼音检索"), QStringLiteral("yrf")},
                                                       {QStringLiteral("数量"), QStringLiteral("2")},
                                                       {QStringLiteral("所属店铺"), QStringLiteral("东店")}}));
    ws.configure(QStringLiteral("东店"));
    MessageScript script;
    LoginWindow window(ws.ctx, {});
    EXPECT_EQ(window.initLoginWindow(), Start::WaitingForLogin);
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_TRUE(script.dialogs().isEmpty());
    EXPECT_EQ(window.accountCount(), 2);
    EXPECT_EQ(data::schemaVersion(ws.db->connection()), 2);
    data::RecordSet rs(ws.db->connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM ") + ws.db->connection().dialect().quoteTable("采购入库"))));
    EXPECT_EQ(rs.rowCount(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("款号")), QStringLiteral("3001A"));
}

TEST_P(StartupTest, ADatabaseOfANewerProgramIsRefusedWithItsMessage)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ASSERT_TRUE(ws.db->connection().execute(data::Sql(ws.network() ? "UPDATE schema_version SET version = 3"
                                                                    : "PRAGMA user_version = 3")));
    ws.configure(QString());
    MessageScript script;
    LoginWindow window(ws.ctx, {});
    EXPECT_EQ(window.initLoginWindow(), Start::Ended);
    EXPECT_EQ(script.texts(),
              QStringList{QStringLiteral("数据库是较新版本的程序建立或升级的（数据库版本 3，本程序只能使用版本 2 及以前的数据库）。\r\n"
                                         "请安装新版本的程序；数据库没有任何改动。")});
    EXPECT_EQ(script.messages().first().icon, MessageIcon::Warning);
    EXPECT_EQ(script.dialogs(), QStringList{SettingsWindow});
    EXPECT_FALSE(ws.ctx.connection().isOpen());
    EXPECT_EQ(data::schemaVersion(ws.db->connection()), 3);
}

// The update check asks the check the application mounts; a newer version is announced with its
// download page opened and copied, and the program ends.
TEST(UpdateCheck, NewerVersionIsAnnouncedAndEndsTheStart)
{
    const QString address = QStringLiteral("https://example.com/shopdesk/2.1");
    struct Case
    {
        const char *name;
        std::optional<QString> newer; // what the mounted check answers
    };
    const Case cases[] = {{"none", std::nullopt}, {"newer", address}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Workstation ws(data::Backend::Sqlite);
        ASSERT_TRUE(ws.db->ok());
        ws.configure(QString());
        QGuiApplication::clipboard()->clear();
        QStringList asked;
        shell::MainPages pages;
        pages.newerVersionAddress = [&](const QString &programVersion) {
            asked << programVersion;
            return c.newer;
        };
        AppContext ctx;
        MessageScript script;
        LoginWindow window(ctx, pages);
        EXPECT_EQ(window.initLoginWindow(), c.newer ? Start::Ended : Start::WaitingForLogin);
        EXPECT_EQ(asked, QStringList{ctx.programVersion});
        if (c.newer) {
            EXPECT_EQ(script.texts(), QStringList{QStringLiteral("检到新版本！请在弹出的网页上下载\r\n或者手动打开下载 ") + address
                                                  + QStringLiteral(" （地址已复制）")});
            EXPECT_EQ(script.messages().first().icon, MessageIcon::None);
            EXPECT_EQ(script.messages().first().title, QString());
            EXPECT_EQ(ws.opened, QList<QUrl>{QUrl(address)});
            EXPECT_EQ(QGuiApplication::clipboard()->text(), address);
        } else {
            EXPECT_TRUE(script.texts().isEmpty());
            EXPECT_TRUE(ws.opened.isEmpty());
        }
    }
}

TEST(UpdateCheck, WithoutAMountedCheckNothingIsAttempted)
{
    Workstation ws(data::Backend::Sqlite);
    ASSERT_TRUE(ws.db->ok());
    ws.configure(QString());
    MessageScript script;
    LoginWindow window(ws.ctx, {});
    EXPECT_FALSE(window.onlineVersionCheck());
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_TRUE(ws.opened.isEmpty());
}

SHOPDESK_BOTH_BACKENDS(StartupTest);

} // namespace
