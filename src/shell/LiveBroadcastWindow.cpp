#include "shell/LiveBroadcastWindow.h"

#include "context/AppContext.h"
#include "lists/ReportList.h"
#include "platform/HotKeys.h"
#include "shell/LiveFeed.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

namespace {

QPointer<LiveBroadcastWindow> &openedWindow()
{
    static QPointer<LiveBroadcastWindow> window;
    return window;
}

void fill(ReportList *list, const QList<QStringList> &lines)
{
    list->setUpdatesEnabled(false);
    list->clear();
    for (const QStringList &line : lines)
        list->ensureRowVisible(list->addRow(line));
    list->setUpdatesEnabled(true);
}

} // namespace

LiveBroadcastWindow::LiveBroadcastWindow(AppContext &context, std::function<void()> registerPosHotKeys,
                                         QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_context(context)
    , m_registerPosHotKeys(std::move(registerPosHotKeys))
{
    setObjectName(QStringLiteral("LiveBroadcastWindow"));
    setWindowTitle(QStringLiteral("实况播报"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 560);

    m_sales = new ReportList(this);
    m_sales->setObjectName(QStringLiteral("超级列表框1"));
    const QList<QPair<QString, int>> salesColumns{
        {QStringLiteral("商品名称"), 150}, {QStringLiteral("分类"), 60}, {QStringLiteral("款号"), 80},
        {QStringLiteral("颜色"), 55},     {QStringLiteral("尺码"), 40}, {QStringLiteral("数量"), 40},
        {QStringLiteral("单位"), 40},     {QStringLiteral("销售额"), 65}, {QStringLiteral("售出时间"), 70},
        {QStringLiteral("售出门店"), 100}};
    for (const auto &[title, width] : salesColumns)
        m_sales->addColumn(title, width);

    m_messages = new ReportList(this);
    m_messages->setObjectName(QStringLiteral("超级列表框2"));
    m_messages->addColumn(QString(), 0);
    m_messages->addColumn(QStringLiteral("消息"), 480);
    m_messages->addColumn(QStringLiteral("所属门店"), 100);
    m_messages->addColumn(QStringLiteral("店员"), 70);
    m_messages->addColumn(QStringLiteral("时间"), 50);

    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("编辑框12"));
    m_send = new QPushButton(QStringLiteral("发送消息[Enter]"), this);
    m_send->setObjectName(QStringLiteral("按钮21"));
    m_hotKeyLabel = new QLabel(this);
    m_hotKeyLabel->setObjectName(QStringLiteral("标签1"));
    m_hotKeyLabel->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_sales, 3);
    layout->addWidget(m_messages, 2);
    auto *sendRow = new QHBoxLayout;
    sendRow->addWidget(m_box, 1);
    sendRow->addWidget(m_send);
    layout->addLayout(sendRow);

    connect(m_send, &QPushButton::clicked, this, [this] { sendBroadcastMessage(); });
    connect(m_messages->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showSelectedMessage(); });

    // initLiveBroadcastWindow: the window's Enter key, today's sales, today's messages.
    m_enterHotKey = HotKeyRegistry::instance().registerHotKey(this, Qt::Key_Return, 0,
                                                               [this](int id) { sendBroadcastOnHotKey(id); });
    fillLiveSalesList();
    loadTodayMessages();
}

LiveBroadcastWindow::~LiveBroadcastWindow()
{
    // Destroyed with the main window: only the Enter key goes; the main window is ending.
    if (m_enterHotKey != 0)
        HotKeyRegistry::instance().release(m_enterHotKey);
}

void LiveBroadcastWindow::fillLiveSalesList()
{
    fill(m_sales, liveSalesLines(m_context));
}

void LiveBroadcastWindow::loadTodayMessages()
{
    fill(m_messages, todayMessageLines(m_context));
}

void LiveBroadcastWindow::sendBroadcastMessage()
{
    if (!postBroadcastMessage(m_context, m_box->text()))
        return; // the text stays in the box to be sent again
    m_box->clear();
    loadTodayMessages();
}

void LiveBroadcastWindow::sendBroadcastOnHotKey(int id)
{
    if (id != 0 && id == m_enterHotKey)
        sendBroadcastMessage();
}

void LiveBroadcastWindow::showSelectedMessage()
{
    const QList<int> rows = m_messages->selectedRows();
    if (rows.isEmpty())
        return;
    m_box->setText(m_messages->cellText(rows.first(), 1));
}

void LiveBroadcastWindow::closeLiveBroadcastWindow()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_enterHotKey != 0)
        HotKeyRegistry::instance().release(m_enterHotKey);
    m_enterHotKey = 0;
    if (m_registerPosHotKeys)
        m_registerPosHotKeys();
}

void LiveBroadcastWindow::closeEvent(QCloseEvent *event)
{
    closeLiveBroadcastWindow();
    event->accept();
}

LiveBroadcastWindow *openLiveBroadcastWindow(AppContext &context, QWidget *mainWindow,
                                             std::function<void()> registerPosHotKeys)
{
    QPointer<LiveBroadcastWindow> &window = openedWindow();
    if (!window || window->isClosed()) {
        window = new LiveBroadcastWindow(context, std::move(registerPosHotKeys), mainWindow);
        window->show();
    } else {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
    return window;
}

LiveBroadcastWindow *openedLiveBroadcastWindow()
{
    return openedWindow().data();
}

} // namespace shell
