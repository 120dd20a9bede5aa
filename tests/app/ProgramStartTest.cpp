#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/Assembly.h"
#include "context/AppContext.h"
#include "data/SettingsFile.h"
#include "platform/HotKeys.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "shell/Login.h"
#include "shell/LoginWindow.h"
#include "shell/MainWindow.h"
#include "support/TestDatabase.h"

namespace {

template <typename T>
T *topLevel()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = dynamic_cast<T *>(w); t && t->isVisible())
            return t;
    }
    return nullptr;
}

// Runs the program's start; a watchdog ends a run that would hang.
int runProgram(AppContext &context, const std::function<void()> &driver = {})
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(20000);
    if (driver)
        QTimer::singleShot(50, driver);
    const int code = shell::programStart(context, app::assembleMainPages());
    QApplication::setQuitOnLastWindowClosed(true);
    return code;
}

TEST(ProgramStart, FirstStartWithoutSqlIniShowsTheSettingsWindowAndEnds)
{
    testsupport::TestDatabase db(data::Backend::Sqlite);
    ASSERT_TRUE(db.ok());
    ProgramDir::set(db.dir());
    AppContext context;
    MessageScript script;
    bool loginSeen = false;
    script.setDialogHandler([&](QDialog *) {
        loginSeen = topLevel<shell::LoginWindow>() != nullptr;
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(runProgram(context), 0);
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("DatabaseSettingsWindow")});
    EXPECT_FALSE(loginSeen) << "the start window is never shown";
    EXPECT_EQ(topLevel<shell::LoginWindow>(), nullptr);
}

TEST(ProgramStart, FreshDatabaseLoginAsAdminOpensTheMainWindow)
{
    testsupport::TestDatabase db(data::Backend::Sqlite);
    ASSERT_TRUE(db.ok());
    ProgramDir::set(db.dir());
    SettingsFile::inDirectory(db.dir())
        .writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, AppContext::SingleMachineMode,
                                SettingsFile::CipherForm::Bare);
    HotKeyRegistry hotKeys;
    HotKeyRegistry::setInstance(&hotKeys);
    AppContext context;
    MessageScript script;
    bool hintShown = false;
    QString title;
    std::array<int, 6> keys{};
    const int code = runProgram(context, [&] {
        auto *login = topLevel<shell::LoginWindow>();
        if (!login)
            return QCoreApplication::exit(98);
        hintShown = login->adminHintShown();
        login->findChild<QLineEdit *>(QStringLiteral("编辑框1"))->setText(QStringLiteral("admin"));
        auto *password = login->findChild<QLineEdit *>(QStringLiteral("编辑框2"));
        password->setText(QStringLiteral("580417"));
        QTest::keyClick(password, Qt::Key_Return);
        QTimer::singleShot(0, [&] {
            auto *main = topLevel<shell::MainWindow>();
            if (!main)
                return QCoreApplication::exit(97);
            title = main->windowTitle();
            keys = main->mainHotKeys();
            main->close(); // ends the program
        });
    });
    HotKeyRegistry::setInstance(nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(hintShown);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("1、稍后请在系统设置--店铺初始化设置--添加店铺名并为本机指定一个店铺\r\n2、然后添加一个帐号，用添加的帐号登陆进行其它设置！\r\n\r\nadmin帐号除了帐号权限管理、添加店铺、为本机指定店铺外。\r\n请勿做其它设置！")});
    EXPECT_EQ(title, QStringLiteral("岚舟服装进销存---"));
    EXPECT_EQ(keys[shell::MainWindow::SlotEsc], 33001);
    EXPECT_EQ(keys[shell::MainWindow::SlotF8], 33006);
    EXPECT_FALSE(context.connection().isOpen()) << "closing the main window closes the shop database";
}

} // namespace
