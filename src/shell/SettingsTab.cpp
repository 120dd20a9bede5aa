#include "shell/SettingsTab.h"

#include "context/AppContext.h"

#include <QCheckBox>
#include <QScrollArea>
#include <QVBoxLayout>

namespace shell {

SettingsTab::SettingsTab(AppContext &context, QWidget *parent)
    : QTabWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("选择夹3"));

    auto emptyPage = [this](const QString &name) {
        auto *page = new QWidget(this);
        page->setObjectName(name);
        new QVBoxLayout(page);
        return page;
    };
    auto *shopScroll = new QScrollArea(this);
    shopScroll->setObjectName(QStringLiteral("店铺初始设置页"));
    shopScroll->setWidgetResizable(true);

    m_pages[Accounts] = emptyPage(QStringLiteral("帐号权限管理"));
    m_pages[Suppliers] = emptyPage(QStringLiteral("供货来源管理"));
    m_pages[ShopSetup] = emptyPage(QStringLiteral("店铺初始设置"));
    m_pages[Printing] = emptyPage(QStringLiteral("票据打印设置"));
    m_pages[Log] = emptyPage(QStringLiteral("系统日志查看"));
    m_pages[Help] = emptyPage(QStringLiteral("系统帮助"));
    m_pages[Database] = emptyPage(QStringLiteral("配置数据库"));
    shopScroll->setWidget(m_pages[ShopSetup]);

    const QStringList captions{QStringLiteral("帐号权限管理"), QStringLiteral("供货来源管理"),
                               QStringLiteral("店铺初始设置"), QStringLiteral("票据打印设置"),
                               QStringLiteral("系统日志查看"), QStringLiteral("系统帮助"),
                               QStringLiteral("配置数据库")};
    for (int i = 0; i < PageCount; ++i)
        addTab(i == ShopSetup ? static_cast<QWidget *>(shopScroll) : m_pages[i], captions[i]);

    connect(this, &QTabWidget::currentChanged, this, &SettingsTab::loadSettingsPage);
}

QWidget *SettingsTab::page(Page page) const
{
    return page >= 0 && page < PageCount ? m_pages[page] : nullptr;
}

void SettingsTab::setPageContent(Page page, QWidget *content)
{
    QWidget *holder = this->page(page);
    if (!holder || !content || !holder->layout())
        return;
    holder->layout()->addWidget(content);
}

void SettingsTab::setPageLoader(Page page, std::function<void()> loader)
{
    if (page >= 0 && page < PageCount)
        m_loaders[page] = std::move(loader);
}

void SettingsTab::loadSettingsPage(int index)
{
    switch (index) {
    case Printing:
        if (auto *box = m_pages[Printing]->findChild<QCheckBox *>(QStringLiteral("选择框9")))
            box->setChecked(isFlagOn(m_context.receiptPrintFlag));
        if (auto *box = m_pages[Printing]->findChild<QCheckBox *>(QStringLiteral("打标签框")))
            box->setChecked(isFlagOn(m_context.labelPrintFlag));
        break;
    case Database:
        // The database settings open as a window; the tab goes on showing 系统帮助 behind it.
        setCurrentIndex(Help);
        if (m_openDatabaseSettings)
            m_openDatabaseSettings();
        return;
    default:
        break;
    }
    if (index >= 0 && index < PageCount && m_loaders[index])
        m_loaders[index]();
}

} // namespace shell
