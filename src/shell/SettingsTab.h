#pragma once
// The settings tab 选择夹3 of the main page 系统设置, with its seven pages. loadSettingsPage runs on
// every page change and loads the page now shown. The pages 供货来源管理 and 票据打印设置 and the
// member tier grid are filled by their own subsystems through setPageContent(), the places of
// ShopSettingsPage and the loader hooks.
#include <QTabWidget>
#include <functional>

class AppContext;

namespace shell {

class AccountsPage;
class LogPage;
class RemoteSupportServer;
class ShopSettingsPage;
class SupportPage;

class SettingsTab : public QTabWidget
{
    Q_OBJECT
public:
    enum Page { Accounts, Suppliers, ShopSetup, Printing, Log, Help, Database, PageCount };

    explicit SettingsTab(AppContext &context, QWidget *parent = nullptr);

    // Puts a subsystem's widget on its page (供货来源管理, 票据打印设置).
    void setPageContent(Page page, QWidget *content);
    // Runs when the page is loaded, after this tab's own loading of it (the supplier list, the
    // printing layouts ...).
    void setPageLoader(Page page, std::function<void()> loader);
    // Opens DatabaseSettingsWindow modal (the page 配置数据库).
    void setDatabaseSettingsOpener(std::function<void()> opener) { m_openDatabaseSettings = std::move(opener); }

    // Loads the page shown (runs on every page change).
    void loadSettingsPage(int index);

    AccountsPage *accountsPage() const { return m_accounts; }
    ShopSettingsPage *shopSettingsPage() const { return m_shop; }
    LogPage *logPage() const { return m_log; }
    SupportPage *supportPage() const { return m_support; }
    QWidget *page(Page page) const;

Q_SIGNALS:
    // The workstation was bound to another shop (the status bar shows the new shop).
    void workstationShopChanged(const QString &shop);

private:
    AppContext &m_context;
    AccountsPage *m_accounts = nullptr;
    ShopSettingsPage *m_shop = nullptr;
    LogPage *m_log = nullptr;
    SupportPage *m_support = nullptr;
    QWidget *m_pages[PageCount] = {};
    std::function<void()> m_loaders[PageCount];
    std::function<void()> m_openDatabaseSettings;
};

} // namespace shell
