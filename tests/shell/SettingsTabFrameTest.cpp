// The settings tab 选择夹3 as a frame: its seven pages, the pages' contents and loaders, the database
// page and the printing flags.
#include <QCheckBox>
#include <QScrollArea>
#include <gtest/gtest.h>

#include "context/AppContext.h"
#include "shell/SettingsTab.h"

using shell::SettingsTab;

namespace {

TEST(SettingsTabPages, SevenPagesAndTheDatabasePageOpensTheWindow)
{
    AppContext context;
    SettingsTab tab(context);
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

// The pages' contents come from their subsystems; each page's loader runs whenever it is shown,
// and 系统帮助 is loaded behind the database settings window too.
TEST(SettingsTabPages, ContentsSitOnTheirPagesAndLoadWhenShown)
{
    AppContext context;
    SettingsTab tab(context);
    QStringList loaded;
    const std::pair<SettingsTab::Page, const char *> pages[] = {
        {SettingsTab::Accounts, "accounts"}, {SettingsTab::ShopSetup, "shop"},
        {SettingsTab::Log, "log"},           {SettingsTab::Help, "help"}};
    for (const auto &[page, name] : pages) {
        auto *content = new QWidget;
        content->setObjectName(QString::fromUtf8(name));
        tab.setPageContent(page, content);
        tab.setPageLoader(page, [&loaded, name] { loaded << QString::fromUtf8(name); });
        EXPECT_EQ(content->parentWidget(), tab.page(page)) << name;
    }
    // The shop settings page scrolls: it is longer than the window.
    auto *scroll = qobject_cast<QScrollArea *>(tab.widget(SettingsTab::ShopSetup));
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->widget(), tab.page(SettingsTab::ShopSetup));

    tab.setCurrentIndex(SettingsTab::ShopSetup);
    tab.setCurrentIndex(SettingsTab::Log);
    tab.setCurrentIndex(SettingsTab::Accounts);
    tab.setCurrentIndex(SettingsTab::Database);
    tab.loadSettingsPage(SettingsTab::Accounts);
    EXPECT_EQ(loaded, (QStringList{QStringLiteral("shop"), QStringLiteral("log"), QStringLiteral("accounts"),
                                   QStringLiteral("help"), QStringLiteral("accounts")}));
}

TEST(SettingsTabPages, PrintingPageTicksItsBoxesFromTheFlags)
{
    AppContext context;
    SettingsTab tab(context);
    auto *content = new QWidget;
    auto *receipt = new QCheckBox(content);
    receipt->setObjectName(QStringLiteral("选择框9"));
    auto *label = new QCheckBox(content);
    label->setObjectName(QStringLiteral("打标签框"));
    tab.setPageContent(SettingsTab::Printing, content);
    const struct { const char *receipt; const char *label; } cases[] = {{"真", "假"}, {"", "真"}, {"真 ", "真"}};
    for (const auto &c : cases) {
        context.receiptPrintFlag = QString::fromUtf8(c.receipt);
        context.labelPrintFlag = QString::fromUtf8(c.label);
        tab.setCurrentIndex(SettingsTab::Accounts);
        tab.setCurrentIndex(SettingsTab::Printing);
        EXPECT_EQ(receipt->isChecked(), context.receiptPrintFlag == QStringLiteral("真")) << c.receipt;
        EXPECT_EQ(label->isChecked(), context.labelPrintFlag == QStringLiteral("真")) << c.label;
    }
}

} // namespace
