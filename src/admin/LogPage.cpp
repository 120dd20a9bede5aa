#include "admin/LogPage.h"

#include "context/AppContext.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"
#include "admin/LogAdmin.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

LogPage::LogPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("系统日志查看"));
    auto *layout = new QVBoxLayout(this);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框14"));
    m_list->addColumn(QStringLiteral("ID"), 0);
    m_list->addColumn(QStringLiteral("门店"), 100);
    m_list->addColumn(QStringLiteral("用户名"), 100);
    m_list->addColumn(QStringLiteral("操作内容"), 780);
    m_list->addColumn(QStringLiteral("操作时间"), 130);
    layout->addWidget(m_list, 1);
    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const QString &name, const QString &caption, void (LogPage::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
    };
    addButton(QStringLiteral("刷新日志"), QStringLiteral("刷新日志"), &LogPage::listLogsOfMonth);
    addButton(QStringLiteral("所有日志"), QStringLiteral("所有日志"), &LogPage::listAllLogs);
    addButton(QStringLiteral("所有日志1"), QStringLiteral("全部删除"), &LogPage::deleteAllLogs);
    buttons->addStretch();
    layout->addLayout(buttons);
}

void LogPage::load()
{
    if (m_list->rowCount() == 0)
        listLogsOfMonth();
}

void LogPage::fillLogList(const QList<QStringList> &rows)
{
    m_list->clear();
    for (const QStringList &row : rows)
        m_list->addRow(row);
    if (m_list->rowCount() > 0)
        m_list->ensureRowVisible(m_list->rowCount() - 1);
}

void LogPage::listLogsOfMonth()
{
    fillLogList(logsOfMonth(m_context));
}

void LogPage::listAllLogs()
{
    fillLogList(allLogs(m_context));
}

void LogPage::deleteAllLogs()
{
    if (!MessageSeam::question(this, QStringLiteral("全部删除"),
                               QStringLiteral("确定要删除本店铺的全部日志吗？删除后无法恢复！")))
        return;
    if (!admin::deleteAllLogs(m_context))
        MessageSeam::message(this, QString(), QStringLiteral("日志没有删除，请检查数据库连接后重试！"));
    listLogsOfMonth();
}

} // namespace admin
