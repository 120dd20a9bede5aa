#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "data/SettingsCipher.h"
#include "platform/IniFile.h"
#include "platform/MessageScript.h"
#include "shell/DatabaseSettingsWindow.h"
#include "shell/HelpFile.h"

using shell::DatabaseSettingsWindow;

namespace {

class DatabaseSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ProgramDir::set(dir.path());
    }
    void TearDown() override { DatabaseSettingsWindow::setConnectionTester({}); }

    QCheckBox *box(DatabaseSettingsWindow &w, const char *name) { return w.findChild<QCheckBox *>(QString::fromUtf8(name)); }
    QLineEdit *edit(DatabaseSettingsWindow &w, const char *name) { return w.findChild<QLineEdit *>(QString::fromUtf8(name)); }
    QPushButton *button(DatabaseSettingsWindow &w, const char *name) { return w.findChild<QPushButton *>(QString::fromUtf8(name)); }
    SettingsFile ini() const { return SettingsFile::inDirectory(dir.path()); }
    QString storedMode() const { return readIniValue(ini().path(), SettingsFile::VersionSection, SettingsFile::VersionKey); }

    QTemporaryDir dir;
    AppContext ctx;
};

TEST_F(DatabaseSettingsTest, FirstStartShowsNothingTickedAndEmptyBoxes)
{
    DatabaseSettingsWindow w(ctx);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("配置数据库"));
    EXPECT_FALSE(box(w, "选择框1")->isChecked());
    EXPECT_FALSE(box(w, "选择框2")->isChecked());
    for (const char *name : {"库地址", "库端口", "库名", "库帐号", "库密码"})
        EXPECT_EQ(edit(w, name)->text(), QString()) << name;
}

TEST_F(DatabaseSettingsTest, EachModeClickWritesTheModeAtOnce)
{
    const QString single = AppContext::SingleMachineMode;
    const QString network = AppContext::NetworkMode;
    for (const QString &initial : {QString(), single, network}) {
        for (const char *clicked : {"选择框1", "选择框2"}) {
            SCOPED_TRACE(initial.toStdString() + " / " + clicked);
            ctx.runMode = initial;
            DatabaseSettingsWindow w(ctx);
            EXPECT_EQ(box(w, "选择框1")->isChecked(), initial == single);
            EXPECT_EQ(box(w, "选择框2")->isChecked(), initial == network);
            MessageScript script;
            box(w, clicked)->click(); // also a click on the ticked box
            const bool toSingle = QString::fromUtf8(clicked) == QStringLiteral("选择框1");
            const QString mode = toSingle ? single : network;
            EXPECT_EQ(box(w, "选择框1")->isChecked(), toSingle);
            EXPECT_EQ(box(w, "选择框2")->isChecked(), !toSingle);
            EXPECT_EQ(ctx.runMode, mode);
            const QString stored = storedMode();
            EXPECT_FALSE(stored.contains(u',')) << "bare form";
            EXPECT_EQ(SettingsCipher::rc4DecryptHex(stored, SettingsCipher::SettingsKey), mode);
            EXPECT_EQ(script.texts(), QStringList{toSingle ? QStringLiteral("配置已保存，请重启软件！")
                                                           : QStringLiteral("请配置下列SQL数据库信息。保存后重启程序将以网络版模式运行！")});
        }
    }
}

TEST_F(DatabaseSettingsTest, AModeThatCannotBeWrittenIsReportedAndNotTaken)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sql.ini"))); // a folder where the file should be
    ctx.runMode = AppContext::SingleMachineMode;
    DatabaseSettingsWindow w(ctx);
    MessageScript script;
    box(w, "选择框2")->click();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("配置保存失败！无法写入程序目录下的sql.ini，请检查该文件是否可写。")});
    EXPECT_EQ(ctx.runMode, AppContext::SingleMachineMode);
    EXPECT_TRUE(box(w, "选择框1")->isChecked());
    EXPECT_FALSE(box(w, "选择框2")->isChecked());
}

TEST_F(DatabaseSettingsTest, SaveWritesTheFiveKeysEncipheredAndBare)
{
    DatabaseSettingsWindow w(ctx);
    edit(w, "库地址")->setText(QStringLiteral("db.example.com"));
    edit(w, "库端口")->setText(QStringLiteral("5433"));
    edit(w, "库名")->setText(QStringLiteral("店铺"));
    edit(w, "库帐号")->setText(QStringLiteral("postgres"));
    edit(w, "库密码")->clear(); // an empty box writes an empty value
    MessageScript script;
    button(w, "按钮2")->click();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("保存成功！请重启软件，进入软件后先到系统设置里指定软件使用哪个店铺")});
    const QStringList keys{SettingsFile::IpKey, SettingsFile::PortKey, SettingsFile::DataKey, SettingsFile::UserKey,
                           SettingsFile::PasswordKey};
    const QStringList expected{QStringLiteral("db.example.com"), QStringLiteral("5433"), QStringLiteral("店铺"),
                               QStringLiteral("postgres"), QString()};
    for (int i = 0; i < keys.size(); ++i) {
        const QString stored = readIniValue(ini().path(), SettingsFile::DatabaseSection, keys[i]);
        EXPECT_FALSE(stored.contains(u',')) << keys[i].toStdString();
        EXPECT_EQ(SettingsCipher::rc4DecryptHex(stored, SettingsCipher::SettingsKey), expected[i]) << keys[i].toStdString();
    }
    EXPECT_EQ(ctx.sqlServerSettings.data, QStringLiteral("店铺"));
}

TEST_F(DatabaseSettingsTest, SaveThatCannotBeWrittenIsReported)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sql.ini")));
    DatabaseSettingsWindow w(ctx);
    edit(w, "库地址")->setText(QStringLiteral("10.0.0.1"));
    MessageScript script;
    button(w, "按钮2")->click();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("配置保存失败！无法写入程序目录下的sql.ini，请检查该文件是否可写。")});
    EXPECT_EQ(ctx.sqlServerSettings.ip, QString());
}

TEST_F(DatabaseSettingsTest, TestWithoutAddressOrDatabaseNeverConnects)
{
    int attempts = 0;
    DatabaseSettingsWindow::setConnectionTester([&](const data::ServerSettings &) { ++attempts; return true; });
    DatabaseSettingsWindow w(ctx);
    for (const auto &[ip, data] : {std::pair{QString(), QStringLiteral("shop")}, std::pair{QStringLiteral("h"), QString()}}) {
        edit(w, "库地址")->setText(ip);
        edit(w, "库名")->setText(data);
        MessageScript script;
        button(w, "按钮1")->click();
        EXPECT_EQ(script.texts(), QStringList{QStringLiteral("数据库地址或数据库名还未填写")});
    }
    EXPECT_EQ(attempts, 0);
}

TEST_F(DatabaseSettingsTest, ConnectionTestAgainstTheServer)
{
    data::ServerSettings server;
    QString error;
    ASSERT_TRUE(testsupport::TestDatabase::testServer(&server, &error)) << error.toStdString();
    server.data = QStringLiteral("postgres");
    ctx.sqlServerSettings.ip = QStringLiteral("old");
    DatabaseSettingsWindow w(ctx);
    edit(w, "库地址")->setText(server.ip);
    edit(w, "库端口")->setText(QStringLiteral("1")); // nothing listens there
    edit(w, "库名")->setText(server.data);
    edit(w, "库帐号")->setText(server.user);
    {
        MessageScript script;
        button(w, "按钮1")->click();
        EXPECT_EQ(script.texts(), QStringList{QStringLiteral("数据库连接不成功！")});
        EXPECT_EQ(ctx.sqlServerSettings.ip, QStringLiteral("old")) << "a failed test changes nothing";
    }
    edit(w, "库端口")->setText(server.port);
    MessageScript script;
    button(w, "按钮1")->click();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("恭喜您！数据库连接成功！请保存配置，重启软件！")});
    EXPECT_EQ(ctx.sqlServerSettings.ip, server.ip);
    EXPECT_EQ(ctx.sqlServerSettings.port, server.port);
}

TEST_F(DatabaseSettingsTest, BackupListHoldsFilesOnlyNewestDayFirstWithNothingChosen)
{
    EXPECT_TRUE(DatabaseSettingsWindow::backupFileNames(dir.path()).isEmpty()) << "missing folder";
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("backup/sub")));
    // A backup being written has a hidden name and is no choice yet. Text order would put the days
    // as 2026-1-10, 2026-1-9, 2026-12-11, 2026-2-3.
    for (const char *name : {"2026-1-10", "2026-1-9", "2026-12-11", "2026-2-3", "notes.txt", "2025-13-1",
                             ".2026-12-12.4711.partial"}) {
        QFile f(root.filePath(QStringLiteral("backup/") + QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QStringList expected{QStringLiteral("2026-12-11"), QStringLiteral("2026-2-3"), QStringLiteral("2026-1-10"),
                               QStringLiteral("2026-1-9"),   QStringLiteral("2025-13-1"), QStringLiteral("notes.txt")};
    EXPECT_EQ(DatabaseSettingsWindow::backupFileNames(dir.path()), expected);
    DatabaseSettingsWindow w(ctx);
    auto *combo = w.findChild<QComboBox *>(QStringLiteral("组合框1"));
    ASSERT_EQ(combo->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(combo->itemText(i), expected[i]) << i;
    EXPECT_EQ(combo->currentIndex(), -1) << "no day is chosen for the user";
    EXPECT_EQ(w.selectedBackupFile(), QString());
}

TEST_F(DatabaseSettingsTest, HelpOpensTheHelpPageThenPointsToItsChapter)
{
    QFile page(ProgramDir::file(shell::HelpFileName));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    QList<QUrl> opened;
    shell::DesktopActions::setOpener([&](const QUrl &url) { opened << url; return true; });
    DatabaseSettingsWindow w(ctx);
    MessageScript script;
    button(w, "按钮3")->click();
    shell::DesktopActions::setOpener({});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), ProgramDir::file(shell::HelpFileName));
    ASSERT_EQ(script.messages().size(), 1);
    const ShownMessage &m = script.messages().first();
    EXPECT_TRUE(m.text.startsWith(QStringLiteral("SQL数据库配置参见帮助文档----数据库配置\r\n")));
    EXPECT_GT(m.text.split(QStringLiteral("\r\n")).value(1).size(), 0) << "a contact line follows";
    EXPECT_EQ(m.icon, MessageIcon::None);
    EXPECT_FALSE(m.question);
}

TEST_F(DatabaseSettingsTest, RestoreAndMoveButtonsReachTheirHooks)
{
    QStringList calls;
    DatabaseSettingsWindow::setHooks({[&](DatabaseSettingsWindow &) { calls << QStringLiteral("restore"); },
                                      [&](DatabaseSettingsWindow &) { calls << QStringLiteral("move"); }});
    DatabaseSettingsWindow w(ctx);
    MessageScript script;
    button(w, "按钮5")->click();
    button(w, "按钮7")->click();
    button(w, "按钮6")->click(); // 新建数据库名 does nothing
    EXPECT_EQ(calls, (QStringList{QStringLiteral("restore"), QStringLiteral("move")}));
    DatabaseSettingsWindow::setHooks({});
    button(w, "按钮5")->click(); // without a hook: nothing
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_TRUE(button(w, "按钮5")->isEnabled());
}

} // namespace
