#include "admin/SupportPage.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "data/SettingsFile.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "admin/MessageDetailWindow.h"
#include "admin/RemoteSupportServer.h"
#include "admin/SupportMessages.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

SupportPage::SupportPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("系统帮助"));
    auto *layout = new QVBoxLayout(this);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框12"));
    m_list->addColumn(QString(), 0);
    m_list->addColumn(QStringLiteral("发送消息"), 460);
    m_list->addColumn(QStringLiteral("发送时间"), 90);
    m_list->addColumn(QStringLiteral("回复消息(可双击某条回复查看完整内容)"), 400);
    m_list->addColumn(QStringLiteral("回复时间"), 90);
    layout->addWidget(m_list, 1);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("编辑框12"));
    m_text->setMaximumHeight(90);
    layout->addWidget(m_text);
    auto *buttons = new QHBoxLayout;
    auto *send = new QPushButton(QStringLiteral("咨询、建议、BUG点我提交。有问必答！"), this);
    send->setObjectName(QStringLiteral("按钮21"));
    auto *refresh = new QPushButton(QStringLiteral("刷新"), this);
    refresh->setObjectName(QStringLiteral("按钮18"));
    auto *help = new QPushButton(QStringLiteral("查看帮助文档"), this);
    help->setObjectName(QStringLiteral("超级按钮2"));
    buttons->addWidget(send);
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(help);
    layout->addLayout(buttons);
    connect(send, &QPushButton::clicked, this, &SupportPage::submitFeedback);
    connect(refresh, &QPushButton::clicked, this, &SupportPage::loadSupportMessages);
    connect(help, &QPushButton::clicked, this, &SupportPage::helpFileRequested);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &SupportPage::openMessageDetailWindow);

    m_opener = [](RemoteSupportServer &s) {
        return s.open(RemoteSupportServer::readSettings(SettingsFile::inDirectory(ProgramDir::path())));
    };
}

void SupportPage::setSupportServer(RemoteSupportServer *server, const QString &workstation)
{
    m_server = server;
    m_workstation = workstation;
}

RemoteSupportServer *SupportPage::server()
{
    if (!m_server)
        return nullptr;
    // An unreachable server costs the connection's short timeout each time the page asks.
    if (!m_server->isOpen() && m_opener)
        m_opener(*m_server);
    return m_server->isOpen() ? m_server : nullptr;
}

void SupportPage::loadSupportMessages()
{
    if (!m_server || m_workstation.isEmpty())
        return; // no support server configured
    const std::optional<QList<QStringList>> rows = admin::loadSupportMessages(server(), m_workstation);
    if (!rows) {
        // A connection the server dropped is opened afresh at the next try.
        m_server->close();
        MessageSeam::message(this, QString(), QStringLiteral("支持消息读取失败，请检查网络或支持服务器设置后点【刷新】重试！"));
        return;
    }
    m_list->clear();
    for (const QStringList &row : *rows)
        m_list->addRow(row);
    if (m_list->rowCount() > 0)
        m_list->ensureRowVisible(m_list->rowCount() - 1);
}

void SupportPage::submitFeedback()
{
    const QString text = m_text->toPlainText();
    const AdminResult result = admin::submitFeedback(server(), m_workstation, text, todayText(m_context));
    if (!result.done) {
        // A send that failed (rather than a refused length) may have met a dropped connection:
        // the next try opens the server afresh.
        if (m_server && supportMessageProblem(text).isEmpty())
            m_server->close();
        MessageSeam::message(this, QString(), result.message);
        return;
    }
    loadSupportMessages();
    m_text->clear();
}

void SupportPage::openMessageDetailWindow()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    MessageDetailWindow window(m_list->cellText(row, 1), m_list->cellText(row, 3), this);
    MessageSeam::exec(&window);
}

} // namespace admin
