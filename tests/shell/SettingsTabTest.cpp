// The settings tab on real widgets (offscreen), with every message box going through the script.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "lists/ReportList.h"
#include "platform/MessageScript.h"
#include "shell/AccountsPage.h"
#include "shell/AdminFixture.h"
#include "shell/SettingsTab.h"
#include "shell/ShopSettingsPage.h"

using namespace shell;
using admintest::AdminWorkstation;

namespace {

template <typename T>
T *child(QWidget &parent, const char *name)
{
    T *w = parent.findChild<T *>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(QWidget &parent, const char *name)
{
    if (auto *b = child<QAbstractButton>(parent, name))
        b->click();
}

TEST(SettingsTabPages, SevenPagesAndTheDatabasePageOpensTheWindow)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    SettingsTab tab(w.context);
    EXPECT_EQ(tab.objectName(), QStringLiteral("选择夹3"));
    ASSERT_EQ(tab.count(), 7);
    EXPECT_EQ(tab.tabText(0), QStringLiteral("帐号权限管理"));
    EXPECT_EQ(tab.tabText(6), QStringLiteral("配置数据库"));
    int opened = 0;
    tab.setDatabaseSettingsOpener([&] { ++opened; });
    tab.setCurrentIndex(SettingsTab::Database);
    EXPECT_EQ(tab.currentIndex(), int(SettingsTab::Help));
    EXPECT_EQ(opened, 1);
}

TEST(ShopSettingsPageWidget, LoadsTheContextAndWritesOnClicks)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    w.context.shopSettings.销售 = QStringLiteral("2");
    w.context.shopSettings.积分模式 = AppContext::FlagOn;
    w.context.shopSettings.升级模式 = AppContext::FlagOn;
    w.context.shopSettings.上限报警 = QStringLiteral("50");
    w.context.discountScheme.统一折扣 = QStringLiteral("0.8");
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (通告, 所属店铺) VALUES ('旧公告', 'A')").arg(w.table("通告管理"))));

    SettingsTab tab(w.context);
    tab.setCurrentIndex(SettingsTab::ShopSetup);
    QWidget &page = *tab.shopSettingsPage();
    EXPECT_TRUE(child<QCheckBox>(page, "选择框17")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "选择框15")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(page, "选择框13")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "选择框12")->isChecked());
    EXPECT_EQ(w.context.shopSettings.积分模式, QStringLiteral("假"));
    EXPECT_TRUE(child<QCheckBox>(page, "选择框11")->isChecked());
    EXPECT_EQ(child<QLineEdit>(page, "编辑框4")->text(), QStringLiteral("0.8"));
    EXPECT_EQ(child<QLineEdit>(page, "库上")->text(), QStringLiteral("50"));
    EXPECT_EQ(child<QComboBox>(page, "店铺组合框")->count(), 2);
    EXPECT_EQ(child<QComboBox>(page, "店铺组合框")->currentText(), QString());
    // The notice box shows the stored notice, so a save cannot wipe it.
    EXPECT_EQ(child<QPlainTextEdit>(page, "编辑框10")->toPlainText(), QStringLiteral("旧公告"));

    MessageScript script;
    click(page, "选择框15");
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("销售")), QStringLiteral("0"));
    EXPECT_TRUE(child<QCheckBox>(page, "选择框15")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "选择框17")->isChecked());
    click(page, "选择框15"); // a ticked box stays ticked
    EXPECT_TRUE(child<QCheckBox>(page, "选择框15")->isChecked());

    // Typing in the stock bound: each keystroke writes; a refused text shows on the box only.
    QLineEdit *upper = child<QLineEdit>(page, "库上");
    upper->clear();
    QTest::keyClicks(upper, QStringLiteral("12"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("上限报警")), QStringLiteral("12"));
    QTest::keyClicks(upper, QStringLiteral(" --"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("上限报警")), QStringLiteral("12"));
    EXPECT_EQ(upper->property("problem").toString(), QStringLiteral("库存上限只能填写整数！"));

    QLineEdit *factor = child<QLineEdit>(page, "编辑框4");
    factor->clear();
    QTest::keyClicks(factor, QStringLiteral("0."));
    EXPECT_FALSE(factor->property("problem").toString().isEmpty());
    EXPECT_EQ(w.context.discountScheme.统一折扣, QStringLiteral("0.8"));
    EXPECT_TRUE(script.messages().isEmpty()) << qPrintable(script.texts().join(u'|'));

    w.context.shopSettings.升级模式 = AppContext::FlagOff;
    click(page, "选择框18");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("请先勾选启用积分+升级模式")});
    EXPECT_FALSE(child<QCheckBox>(page, "选择框18")->isChecked());
}

TEST(ShopSettingsPageWidget, AddBindAndDeleteShops)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    w.context.currentShop.clear();
    SettingsTab tab(w.context);
    tab.setCurrentIndex(SettingsTab::ShopSetup);
    QWidget &page = *tab.shopSettingsPage();
    QString bound;
    QObject::connect(&tab, &SettingsTab::workstationShopChanged, [&](const QString &shop) { bound = shop; });

    MessageScript script;
    child<QLineEdit>(page, "编辑框3")->setText(QStringLiteral("总店"));
    click(page, "添加店铺名");
    click(page, "添加店铺名");
    EXPECT_EQ(script.texts(), (QStringList{QStringLiteral("添加成功！"), QStringLiteral("店铺名【总店】已经存在，请换个店铺添加")}));
    QComboBox *combo = child<QComboBox>(page, "店铺组合框");
    ASSERT_EQ(combo->count(), 3);

    script.clear();
    combo->setCurrentIndex(2);
    click(page, "按钮8");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("当前本机指定使用【总店】，如果是旧店铺请重启软件读取该店铺配置信息！")});
    EXPECT_EQ(bound, QStringLiteral("总店"));
    EXPECT_TRUE(child<QCheckBox>(page, "选择框20")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(page, "选择框11")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(page, "选择框15")->isChecked());

    script.clear();
    script.queueAnswers({false});
    click(page, "删除店铺");
    ASSERT_EQ(script.messages().size(), 1);
    EXPECT_EQ(script.messages()[0].title, QStringLiteral("删除店铺"));
    EXPECT_EQ(script.messages()[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(script.messages()[0].question);
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("店铺名"))), 3);
    combo->setCurrentIndex(2);
    script.queueAnswers({true});
    click(page, "删除店铺");
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("店铺名"))), 2);
    EXPECT_EQ(w.context.currentShop, QStringLiteral("总店"));
}

TEST(AccountsPageWidget, StaleSelectionNeverRewritesTheAdministrator)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(w.exec(QStringLiteral("UPDATE %1 SET 所属店铺='A'").arg(w.table("帐号管理"))));
    SettingsTab tab(w.context);
    tab.loadSettingsPage(SettingsTab::Accounts); // the first page is already the current one
    AccountsPage &page = *tab.accountsPage();
    ReportList *list = page.accountList();
    ASSERT_EQ(list->rowCount(), 1);
    const QString query = QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(w.table("帐号管理"));
    const QStringList namesBefore = w.column(query, QStringLiteral("姓名"));

    MessageScript script;
    list->selectRow(0);
    EXPECT_EQ(child<QLineEdit>(page, "帐号8")->text(), QStringLiteral("admin"));
    child<QLineEdit>(page, "密码8")->setText(QStringLiteral("s3cret"));
    child<QLineEdit>(page, "姓名8")->setText(QStringLiteral("坏人"));
    click(page, "按钮27"); // clear every right box
    click(page, "按钮10");
    EXPECT_EQ(w.column(query, QStringLiteral("密码")), QStringList{QStringLiteral("s3cret")});
    EXPECT_EQ(w.column(query, QStringLiteral("姓名")), namesBefore);
    EXPECT_EQ(w.column(query, QStringLiteral("系统设置")), QStringList{QStringLiteral("√")});
    // The list reloaded and lost its selection: a second 修改 changes nothing.
    click(page, "按钮10");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("请先在列表中选择要修改的帐号！")});
    EXPECT_EQ(w.column(query, QStringLiteral("姓名")), namesBefore);
    EXPECT_EQ(w.column(query, QStringLiteral("系统设置")), QStringList{QStringLiteral("√")});

    // A new account of this shop with some rights.
    script.clear();
    child<QLineEdit>(page, "帐号8")->setText(QStringLiteral("li"));
    child<QLineEdit>(page, "密码8")->setText(QStringLiteral("1"));
    child<QLineEdit>(page, "姓名8")->setText(QStringLiteral("李"));
    click(page, "选择框1");
    click(page, "按钮7");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("新帐号添加成功！")});
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(1, 6), QStringLiteral("√"));
    EXPECT_EQ(list->cellText(1, 7), QString());

    script.clear();
    list->selectRow(0);
    click(page, "删帐号");
    list->selectRow(1);
    click(page, "删帐号");
    EXPECT_EQ(script.texts(), (QStringList{QStringLiteral("管理员帐号不允许删除！"), QStringLiteral("删除成功！")}));
    EXPECT_EQ(list->rowCount(), 1);
}

} // namespace
