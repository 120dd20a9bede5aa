#pragma once
// The settings tab 选择夹3 of the main page 系统设置, with its seven pages. loadSettingsPage runs on
// every page change and loads the page now shown. The pages' contents come from their own
// subsystems (the administration pages, the supplier page, the printing layouts) through
// setPageContent() and their loaders; the tab itself opens the database settings window and ticks
// the printing page's boxes.
#include <QTabWidget>
#include <functional>

class AppContext;

namespace shell {

class SettingsTab : public QTabWidget
{
    Q_OBJECT
public:
    enum Page { Accounts, Suppliers, ShopSetup, Printing, Log, Help, Database, PageCount };

    explicit SettingsTab(AppContext &context, QWidget *parent = nullptr);

    // Puts a subsystem's widget on its page (帐号权限管理, 店铺初始设置, 供货来源管理 ...).
    void setPageContent(Page page, QWidget *content);
    // Runs when the page is loaded, after this tab's own loading of it (the account list, the shop
    // settings, the supplier list, the printing layouts ...).
    void setPageLoader(Page page, std::function<void()> loader);
    // Opens DatabaseSettingsWindow modal (the page 配置数据库).
    void setDatabaseSettingsOpener(std::function<void()> opener) { m_openDatabaseSettings = std::move(opener); }

    // Loads the page shown (runs on every page change).
    void loadSettingsPage(int index);

    // The page's holder; its content sits in its layout.
    QWidget *page(Page page) const;

private:
    AppContext &m_context;
    QWidget *m_pages[PageCount] = {};
    std::function<void()> m_loaders[PageCount];
    std::function<void()> m_openDatabaseSettings;
};

} // namespace shell
