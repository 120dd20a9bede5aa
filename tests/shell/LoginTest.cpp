#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "platform/MessageScript.h"
#include "shell/Login.h"
#include "shell/LoginWindow.h"
#include "shell/MainWindow.h"

using shell::LoginOutcome;
using shelltest::Workstation;

namespace {

struct LoginCase
{
    const char *name;
    QString workstationShop;
    QString account;
    QString password;
    LoginOutcome outcome;
    QString message;      // the text shown, "" for none
    QString loggedInShop; // accountShop after a successful login
};

class LoginTest : public ::testing::TestWithParam<data::Backend>
{
};

TEST_P(LoginTest, DecidesByAccountPasswordAndShop)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ASSERT_TRUE(ws.addAccount(QStringLiteral("li"), QStringLiteral("123"), QStringLiteral("李"), QStringLiteral("东店")));
    ASSERT_TRUE(ws.addAccount(QStringLiteral("O'Neil"), QStringLiteral("p'w"), QStringLiteral("欧"), QStringLiteral("东店")));
    // The same name and password in two shops: the workstation's own row decides.
    ASSERT_TRUE(ws.addAccount(QStringLiteral("wang"), QStringLiteral("9"), QStringLiteral("王西"), QStringLiteral("西店")));
    ASSERT_TRUE(ws.addAccount(QStringLiteral("wang"), QStringLiteral("9"), QStringLiteral("王东"), QStringLiteral("东店")));

    const QString wrong = QStringLiteral("您输入的帐号或密码不对");
    const QString setupNotice = QStringLiteral("1、稍后请在系统设置--店铺初始化设置--添加店铺名并为本机指定一个店铺\r\n2、然后添加一个帐号，用添加的帐号登陆进行其它设置！\r\n\r\nadmin帐号除了帐号权限管理、添加店铺、为本机指定店铺外。\r\n请勿做其它设置！");
    const LoginCase cases[] = {
        {"admin on a foreign shop", QStringLiteral("东店"), QStringLiteral("admin"), QStringLiteral("580417"),
         LoginOutcome::AdmittedForSetup, setupNotice, QString()},
        {"any account without a shop", QString(), QStringLiteral("li"), QStringLiteral("123"),
         LoginOutcome::AdmittedForSetup, setupNotice, QStringLiteral("东店")},
        {"own shop", QStringLiteral("东店"), QStringLiteral("li"), QStringLiteral("123"), LoginOutcome::Admitted, QString(),
         QStringLiteral("东店")},
        {"another shop's account", QStringLiteral("南店"), QStringLiteral("li"), QStringLiteral("123"),
         LoginOutcome::OtherShop, QStringLiteral("该帐号所属【东店】店铺，不能在【南店】店铺，登陆使用！"), QString()},
        {"wrong password", QStringLiteral("东店"), QStringLiteral("li"), QStringLiteral("124"), LoginOutcome::Refused, wrong,
         QString()},
        {"injection", QStringLiteral("东店"), QStringLiteral("admin"), QStringLiteral("' or '1'='1"),
         LoginOutcome::Refused, wrong, QString()},
        {"injection in the name", QStringLiteral("东店"), QStringLiteral("' or '1'='1' --"), QStringLiteral("x"),
         LoginOutcome::Refused, wrong, QString()},
        {"other letter case", QStringLiteral("东店"), QStringLiteral("Admin"), QStringLiteral("580417"),
         LoginOutcome::Refused, wrong, QString()},
        {"quote in name and password", QStringLiteral("东店"), QStringLiteral("O'Neil"), QStringLiteral("p'w"),
         LoginOutcome::Admitted, QString(), QStringLiteral("东店")},
        {"same account in two shops", QStringLiteral("东店"), QStringLiteral("wang"), QStringLiteral("9"),
         LoginOutcome::Admitted, QString(), QStringLiteral("东店")},
    };
    for (const LoginCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(ws.openContext(c.workstationShop));
        ws.ctx.currentAccount = QStringLiteral("stale");
        ws.ctx.accountRights.前台收银 = QStringLiteral("√");
        MessageScript script;
        const bool admitted = shell::login(ws.ctx, c.account, c.password, nullptr);
        EXPECT_EQ(admitted, c.outcome == LoginOutcome::Admitted || c.outcome == LoginOutcome::AdmittedForSetup);
        EXPECT_EQ(script.texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        if (!script.messages().isEmpty()) {
            const ShownMessage &m = script.messages().first();
            EXPECT_EQ(m.title, c.outcome == LoginOutcome::AdmittedForSetup ? QStringLiteral("admin帐号仅用于初始化设置") : QString());
            EXPECT_EQ(m.icon, c.outcome == LoginOutcome::Refused ? MessageIcon::Warning : MessageIcon::None);
        }
        if (admitted) {
            EXPECT_EQ(ws.ctx.currentAccount, c.account);
            EXPECT_EQ(ws.ctx.accountShop, c.loggedInShop);
            EXPECT_EQ(ws.ctx.accountRights.系统设置, QStringLiteral("√"));
        } else {
            // A refused account leaves nothing of itself (or of an earlier one) in force.
            EXPECT_EQ(ws.ctx.currentAccount, QString());
            EXPECT_EQ(ws.ctx.accountRights.前台收银, QString());
        }
        ws.ctx.connection().close();
    }
}

TEST_P(LoginTest, ReadsNameAndRightsOfTheAccount)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ASSERT_TRUE(ws.addAccount(QStringLiteral("zhao"), QStringLiteral("1"), QStringLiteral("赵"), QStringLiteral("东店"),
                              {QStringLiteral("实况播报"), QStringLiteral("查看进价")}));
    ASSERT_TRUE(ws.openContext(QStringLiteral("东店")));
    EXPECT_EQ(shell::checkLogin(ws.ctx, QStringLiteral("zhao"), QStringLiteral("1")).outcome, LoginOutcome::Admitted);
    EXPECT_EQ(ws.ctx.currentUserName, QStringLiteral("赵"));
    for (int i = 0; i < AccountRights::count; ++i) {
        const QString right = AccountRights::columns().at(i);
        const bool granted = right == QStringLiteral("实况播报") || right == QStringLiteral("查看进价");
        EXPECT_EQ(ws.ctx.accountRights[i], granted ? QStringLiteral("√") : QString()) << right.toStdString();
    }
}

TEST_P(LoginTest, EnterLogsInFromThePasswordBoxOnly)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ws.configure(QStringLiteral("东店"));
    ASSERT_TRUE(ws.addAccount(QStringLiteral("li"), QStringLiteral("123"), QStringLiteral("李"), QStringLiteral("东店")));
    ASSERT_TRUE(ws.addAccount(QStringLiteral("zhang"), QStringLiteral("1"), QStringLiteral("张"), QStringLiteral("西店")));
    MessageScript script;
    shell::LoginWindow window(ws.ctx, {});
    ASSERT_EQ(window.initLoginWindow(), shell::LoginWindow::StartResult::WaitingForLogin);
    window.show();
    auto *account = window.findChild<QLineEdit *>(QStringLiteral("编辑框1"));
    auto *password = window.findChild<QLineEdit *>(QStringLiteral("编辑框2"));
    ASSERT_TRUE(account && password);

    account->setText(QStringLiteral("li"));
    password->setText(QStringLiteral("123"));
    QTest::keyClick(account, Qt::Key_Return);
    EXPECT_TRUE(script.texts().isEmpty()) << "Enter in the account box does nothing";
    EXPECT_EQ(window.mainWindow(), nullptr);

    // Another shop's account is refused and the start window stays as it was.
    account->setText(QStringLiteral("zhang"));
    password->setText(QStringLiteral("1"));
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("该帐号所属【西店】店铺，不能在【东店】店铺，登陆使用！")});
    EXPECT_EQ(window.mainWindow(), nullptr);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(account->text(), QStringLiteral("zhang"));
    EXPECT_EQ(password->text(), QStringLiteral("1"));

    script.clear();
    account->setText(QStringLiteral("li"));
    password->setText(QStringLiteral("123"));
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_TRUE(script.texts().isEmpty()) << "own shop: no notice";
    ASSERT_NE(window.mainWindow(), nullptr);
    EXPECT_EQ(window.mainWindow()->windowTitle(), QStringLiteral("岚舟服装进销存---东店"));
    EXPECT_FALSE(window.isVisible()) << "the start window closes";
    EXPECT_TRUE(ws.ctx.connection().isOpen()) << "the main window keeps the shop database";
    delete window.mainWindow();
}

// The start window takes the account at once: typing goes to the account box, Tab to the
// password and then to 登陆, never first to 退出.
TEST_P(LoginTest, TheKeyboardStartsInTheAccountBox)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ws.configure(QStringLiteral("东店"));
    MessageScript script;
    shell::LoginWindow window(ws.ctx, {});
    ASSERT_EQ(window.initLoginWindow(), shell::LoginWindow::StartResult::WaitingForLogin);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto *account = window.findChild<QLineEdit *>(QStringLiteral("编辑框1"));
    auto *password = window.findChild<QLineEdit *>(QStringLiteral("编辑框2"));
    auto *loginButton = window.findChild<QPushButton *>(QStringLiteral("超级按钮1"));
    ASSERT_TRUE(account && password && loginButton);
    EXPECT_EQ(QApplication::focusWidget(), account);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), password);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), loginButton);
    window.hide();
}

TEST_P(LoginTest, ExitButtonClosesTheDatabaseAndTheWindow)
{
    Workstation ws(GetParam());
    ASSERT_TRUE(ws.db->ok()) << ws.db->error().toStdString();
    ws.configure(QStringLiteral("东店"));
    MessageScript script;
    shell::LoginWindow window(ws.ctx, {});
    ASSERT_EQ(window.initLoginWindow(), shell::LoginWindow::StartResult::WaitingForLogin);
    window.show();
    ASSERT_TRUE(ws.ctx.connection().isOpen());
    window.findChild<QPushButton *>(QStringLiteral("超级按钮2"))->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(ws.ctx.connection().isOpen());
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST(LoginWithoutDatabase, IsRefusedWithTheWrongLoginText)
{
    AppContext ctx; // no connection open: the account table cannot be read
    MessageScript script;
    EXPECT_FALSE(shell::login(ctx, QStringLiteral("admin"), QStringLiteral("580417"), nullptr));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("您输入的帐号或密码不对")});
}

SHOPDESK_BOTH_BACKENDS(LoginTest);

} // namespace
