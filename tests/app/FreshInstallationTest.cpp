// A fresh installation set up by its administrator, then used by a shop's own account after a
// restart: the administration pages as the assembled main window mounts them.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "Installation.h"
#include "lists/ReportList.h"
#include "shell/Login.h"
#include "shell/SettingsTab.h"

using apptest::child;
using apptest::Installation;
using shell::MainWindow;
using shell::SettingsTab;

namespace {

const QString Shop = QStringLiteral("总店");
const QString Notice = QStringLiteral("春季新款到店，全场八折");
const QString Refused = QStringLiteral("没有权限！");

void click(QObject *parent, const QString &name)
{
    if (auto *b = child<QAbstractButton>(parent, name))
        b->click();
}

// The administrator's first session: a shop, the workstation bound to it, the notice switched
// on, and an account of the shop holding the cashier's, the purchase and the stock rights.
void adminSetsUp(MainWindow &main, Installation &inst)
{
    main.toolbarAction(6)->trigger();
    ASSERT_EQ(main.currentPage(), 6);
    auto *tab = child<SettingsTab>(&main, QStringLiteral("选择夹3"));
    ASSERT_TRUE(tab);

    // The database page opens the database settings window, modal, over 系统帮助.
    tab->setCurrentIndex(SettingsTab::Database);
    EXPECT_EQ(inst.script.dialogs().value(0), QStringLiteral("DatabaseSettingsWindow"));
    EXPECT_EQ(tab->currentIndex(), int(SettingsTab::Help));

    tab->setCurrentIndex(SettingsTab::ShopSetup);
    child<QLineEdit>(tab, QStringLiteral("编辑框3"))->setText(Shop);
    click(tab, QStringLiteral("添加店铺名"));
    EXPECT_EQ(inst.script.texts().last(), QStringLiteral("添加成功！"));
    auto *shops = child<QComboBox>(tab, QStringLiteral("店铺组合框"));
    ASSERT_TRUE(shops);
    shops->setCurrentIndex(shops->findText(Shop));
    click(tab, QStringLiteral("按钮8"));
    EXPECT_EQ(inst.script.texts().last(),
              QStringLiteral("当前本机指定使用【总店】，如果是旧店铺请重启软件读取该店铺配置信息！\r\n"
                             "折扣框为空，没有设置全场统一折扣"));
    EXPECT_TRUE(main.statusText(1).startsWith(QStringLiteral("总店---单机版：")))
        << main.statusText(1).toStdString();

    child<QPlainTextEdit>(tab, QStringLiteral("编辑框10"))->setPlainText(Notice);
    click(tab, QStringLiteral("按钮3"));
    auto *noticeBox = child<QCheckBox>(tab, QStringLiteral("选择框21"));
    ASSERT_TRUE(noticeBox);
    // A new shop has no reading interval yet: the box refuses until one is typed.
    auto *interval = child<QLineEdit>(tab, QStringLiteral("编辑框11"));
    ASSERT_TRUE(interval);
    interval->clear();
    noticeBox->click();
    EXPECT_EQ(inst.script.texts().last(), QStringLiteral("请先把公告读取间隔时间填上！"));
    EXPECT_FALSE(noticeBox->isChecked());
    QTest::keyClicks(interval, QStringLiteral("30"));
    noticeBox->click();
    EXPECT_TRUE(noticeBox->isChecked());

    tab->setCurrentIndex(SettingsTab::Accounts);
    child<QLineEdit>(tab, QStringLiteral("帐号8"))->setText(QStringLiteral("xm"));
    child<QLineEdit>(tab, QStringLiteral("密码8"))->setText(QStringLiteral("1234"));
    child<QLineEdit>(tab, QStringLiteral("姓名8"))->setText(QStringLiteral("小明"));
    child<QLineEdit>(tab, QStringLiteral("电话8"))->setText(QStringLiteral("13800000000"));
    auto *accountShop = child<QComboBox>(tab, QStringLiteral("店铺组8"));
    ASSERT_TRUE(accountShop);
    accountShop->setCurrentIndex(accountShop->findText(Shop));
    const QStringList granted{QStringLiteral("前台收银"), QStringLiteral("采购入库"), QStringLiteral("库存管理")};
    for (QCheckBox *box : tab->widget(SettingsTab::Accounts)->findChildren<QCheckBox *>()) {
        if (granted.contains(box->text()))
            box->setChecked(true);
    }
    click(tab, QStringLiteral("按钮7"));
    EXPECT_EQ(inst.script.texts().last(), QStringLiteral("新帐号添加成功！"));
    // The account list shows the workstation shop's accounts: the new one.
    auto *accounts = child<ReportList>(tab, QStringLiteral("超级列表框8"));
    ASSERT_TRUE(accounts);
    ASSERT_EQ(accounts->rowCount(), 1);
    EXPECT_EQ(accounts->cellText(0, 1), QStringLiteral("xm"));
}

// The shop's account after the restart: its pages follow its rights.
void accountWorks(MainWindow &main, Installation &inst)
{
    EXPECT_EQ(main.windowTitle(), QStringLiteral("岚舟服装进销存---总店"));
    EXPECT_EQ(main.statusText(0), QStringLiteral("店员 ：小明"));
    ASSERT_TRUE(inst.lastContext);
    EXPECT_EQ(inst.lastContext->shopSettings.开启公告, QStringLiteral("真"));

    // The notice strip of the counter page shows the shop's notice; the reload runs no more often
    // than once a second although 公告间隔 says 30 ms.
    auto *ticker = child<QLabel>(&main, QStringLiteral("消息标签"));
    ASSERT_TRUE(ticker);
    EXPECT_TRUE(ticker->text().startsWith(Notice)) << ticker->text().toStdString();
    EXPECT_TRUE(main.scrollTimer()->isActive());
    EXPECT_EQ(main.reloadTimer()->interval(), 1000);
    EXPECT_TRUE(ticker->isVisibleTo(&main));

    struct Case
    {
        int page;
        bool allowed;
    };
    const Case cases[] = {{3, true}, {1, false}, {0, true}, {2, false}, {4, true}, {5, false}, {6, false}};
    for (const Case &c : cases) {
        const int before = main.currentPage();
        inst.script.clear();
        main.toolbarAction(c.page)->trigger();
        if (c.allowed) {
            EXPECT_EQ(main.currentPage(), c.page);
            EXPECT_TRUE(inst.script.texts().isEmpty()) << c.page;
        } else {
            EXPECT_EQ(main.currentPage(), before) << c.page;
            EXPECT_EQ(inst.script.texts(), QStringList{Refused}) << c.page;
        }
    }
}

TEST(FreshInstallation, AdminSetsUpTheShopAndItsAccountWorksAfterARestart)
{
    Installation inst;
    ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();

    bool hint = false;
    const int first = inst.run([&](shell::LoginWindow &login) {
        hint = login.adminHintShown();
        MainWindow *main = Installation::logIn(login, QStringLiteral("admin"), QStringLiteral("580417"));
        if (!main)
            return QCoreApplication::exit(98);
        EXPECT_EQ(inst.script.texts(), QStringList{shell::SetupNoticeText});
        adminSetsUp(*main, inst);
        main->close();
    });
    EXPECT_EQ(first, 0);
    EXPECT_TRUE(hint);
    // The binding is in sql.ini for the next start.
    EXPECT_EQ(inst.ini().readEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey), Shop);

    inst.script.clear();
    bool hintAgain = true;
    const int second = inst.run([&](shell::LoginWindow &login) {
        hintAgain = login.adminHintShown();
        MainWindow *main = Installation::logIn(login, QStringLiteral("xm"), QStringLiteral("1234"));
        if (!main)
            return QCoreApplication::exit(98);
        EXPECT_TRUE(inst.script.texts().isEmpty()) << inst.script.texts().join(u'\n').toStdString();
        accountWorks(*main, inst);
        main->close();
    });
    EXPECT_EQ(second, 0);
    EXPECT_FALSE(hintAgain) << "two accounts: no administrator hint";
}

} // namespace
