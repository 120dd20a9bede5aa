#include "shell/MainWindow.h"

#include "context/AppContext.h"
#include "context/DateSplit.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/ShopDatabase.h"
#include "context/Today.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/HotKeys.h"
#include "platform/MessageSeam.h"
#include "shell/LiveBroadcastWindow.h"
#include "shell/NoticeTicker.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QDateTimeEdit>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace shell {

namespace {

// The right that guards each page, in toolbar order.
const QString &pageRight(int n)
{
    static const QStringList names{
        QStringLiteral("前台收银"), QStringLiteral("销售明细"), QStringLiteral("会员管理"), QStringLiteral("采购入库"),
        QStringLiteral("库存管理"), QStringLiteral("开支管理"), QStringLiteral("系统设置"),
    };
    return names.at(n);
}

const QString LiveRight = QStringLiteral("实况播报");
const QString CostRight = QStringLiteral("查看进价");

// The ten total labels of the sales page, shown with the right 查看进价.
const QStringList &salesTotalLabels()
{
    static const QStringList names{
        QStringLiteral("透明标签2"), QStringLiteral("透明标签5"), QStringLiteral("透明标签28"),
        QStringLiteral("透明标签30"), QStringLiteral("透明标签63"), QStringLiteral("透明标签1"),
        QStringLiteral("透明标签6"), QStringLiteral("透明标签29"), QStringLiteral("透明标签31"),
        QStringLiteral("透明标签64"),
    };
    return names;
}

// The six keys in the order of registration, with the slot each id goes to.
struct PosKey
{
    int key;
    int slot;
};
constexpr PosKey posKeys[MainWindow::HotKeySlotCount] = {
    {Qt::Key_Escape, MainWindow::SlotEsc}, {Qt::Key_F5, MainWindow::SlotF5}, {Qt::Key_F1, MainWindow::SlotF1},
    {Qt::Key_F2, MainWindow::SlotF2},      {Qt::Key_F4, MainWindow::SlotF4}, {Qt::Key_F8, MainWindow::SlotF8},
};

} // namespace

const QStringList &MainWindow::toolbarCaptions()
{
    static const QStringList captions{
        QStringLiteral("前台收银"), QStringLiteral("销售明细"), QStringLiteral("会员管理"), QStringLiteral("采购入库"),
        QStringLiteral("库存管理"), QStringLiteral("开支管理"), QStringLiteral("系统设置"),
    };
    return captions;
}

const QStringList &MainWindow::pageCaptions()
{
    static const QStringList captions{
        QStringLiteral("前台收银"), QStringLiteral("销售明细"), QStringLiteral("会员管理"), QStringLiteral("采购入库"),
        QStringLiteral("分类查看"), QStringLiteral("开支记录"), QStringLiteral("系统设置"),
    };
    return captions;
}

const QList<QPair<QString, QString>> &MainWindow::tooltips()
{
    static const QList<QPair<QString, QString>> table{
        {QStringLiteral("编辑框1"), QStringLiteral("1、扫码枪扫条码为精准查找！\n2、输入数字按回车键是按款号模糊查找\n3、首字符输入为字母按回车键是按商品名称模糊查找")},
        {QStringLiteral("供货来源7"), QStringLiteral("输入拼音首字母模糊查找")},
        {QStringLiteral("类别7"), QStringLiteral("添加分类去库存管理功能\n防止查询丢失请不要手动在此处填写分类\n输入拼音首字母模糊查找")},
        {QStringLiteral("名称7"), QStringLiteral("输入汉字或拼音按回车键可以模糊查找")},
        {QStringLiteral("颜色1"), QStringLiteral("输入拼音首字母模糊查找")},
        {QStringLiteral("选择框14"), QStringLiteral("勾选后，结算时应收金额可自由调整！反之则不允许")},
        {QStringLiteral("选择框10"), QStringLiteral("勾选后，结算时按商品采购入库时录入的折扣计算！")},
        {QStringLiteral("选择框11"), QStringLiteral("勾选后，结算时默认按此折扣计算！")},
        {QStringLiteral("编辑框4"), QStringLiteral("请带小数点输入。比如：7折 输入0.7，75折 输入0.75")},
        {QStringLiteral("选择框18"), QStringLiteral("勾选后,结算时会员折扣在原始折扣上再打折！\n不勾选,结算时会员折扣只在吊牌价上打折")},
        {QStringLiteral("本年生日3"), QStringLiteral("填写农历生日的月和日。\n如：7月初1 则填写0701 ，格式填写错误提醒无效！")},
        {QStringLiteral("款号7"), QStringLiteral("系统设置-店铺设置，可以自定义款号首字母,初始值为1000\n当款号和已存在款号全完匹配时会自动填部分共用属性！")},
        {QStringLiteral("超级列表框11"), QStringLiteral("双击修改，自动保存\n会员每次升级会自动扣除升级所需积分\n比如：初级现有4千分，升中级需3千分,升级后变成 中级剩1千分")},
        {QStringLiteral("折扣7"), QStringLiteral("系统设置-折扣方案，未勾选启用商品自身折扣此处留空！")},
        {QStringLiteral("打条码"), QStringLiteral("编框有条码时打印原条码，为空时生成新条码打印\n该功能每次只打印一张标签，即不添加数据也不修！")},
        {QStringLiteral("商品条码7"), QStringLiteral("当系统启用打条码标签后，按'添加'按钮\n此处有原条码打印原条码,为空时则生成新条码打印。")},
        {QStringLiteral("天框"), QStringLiteral("勾选后，点击左边日历可以指定显示某天内的所有销售单\n同时下方查找范围也限定在你指定的某天内查")},
        {QStringLiteral("月框"), QStringLiteral("勾选后，点击左边日历系统会忽略'日'按指定年和月显示所有销售单\n同时下方查找范围也限定在你指定的某年某月内")},
        {QStringLiteral("开始框"), QStringLiteral("勾选后，指定左边日历起始时间和右边日历结束时间,显示该时间段内所有订单\n同时下方查找范围也限定在你指的这个时间段内查找")},
        {QStringLiteral("全部框"), QStringLiteral("勾选后，无视日历日期，下方查找范围为所有销售订单")},
        {QStringLiteral("综合内容"), QStringLiteral("全部支持模糊查找，商品名称支持拼音首字母检索")},
        {QStringLiteral("超级查找"), QStringLiteral("全部支持模糊查找，商品名称支持拼音首字母检索")},
        {QStringLiteral("选择框20"), QStringLiteral("勾选后，会员可以在所有连锁店享受会员折扣\n反之，只能在办理会员的门面享受会员折扣！\n注意！！！！在不勾选情况下以防卡号重复\n办理会员时请自行定义卡号开头字母各店都不要相同")},
        {QStringLiteral("选择框22"), QStringLiteral("勾选后，在活动结束前，结算界面会显示一个【惠】字，点击即可！")},
        {QStringLiteral("结束日期"), QStringLiteral("只有在勾选按某时间段后，此日历才有效")},
        {QStringLiteral("供货来源"), QStringLiteral("点我可按供货来源模糊查询！")},
        {QStringLiteral("查款号"), QStringLiteral("点我可按款号模糊查询！")},
        {QStringLiteral("款上"), QStringLiteral("打印项目的顶边高都相同，此处合为一处填写")},
        {QStringLiteral("高1"), QStringLiteral("此处填写的是打印1笔商品的小票完整高度\n如果有多笔系统会自动在此基础上计算！")},
    };
    return table;
}

MainWindow::MainWindow(AppContext &context, MainPages pages, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
    , m_pages(std::move(pages))
    , m_rs1(context.connection())
{
    buildWindow();
    initMainWindow();
}

MainWindow::~MainWindow()
{
    releasePosHotKeys();
}

void MainWindow::buildWindow()
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(1195, 584);
    move(50, 50);

    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("工具条1"));
    m_toolbar->setOrientation(Qt::Vertical);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMinimumWidth(56);
    addToolBar(Qt::LeftToolBarArea, m_toolbar);
    for (int n = 0; n < MainPages::PageCount; ++n) {
        QAction *action = m_toolbar->addAction(toolbarCaptions().at(n));
        action->setObjectName(QStringLiteral("工具条1按钮%1").arg(n));
        connect(action, &QAction::triggered, this, [this, n] { switchMainPage(n); });
        m_pageActions.append(action);
    }
    auto *spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_toolbar->addWidget(spacer);
    m_liveButton = new QToolButton;
    m_liveButton->setObjectName(QStringLiteral("实况"));
    m_liveButton->setText(QStringLiteral("实况播报"));
    connect(m_liveButton, &QToolButton::clicked, this, [this] { openLiveBroadcastWindow(); });
    // A toolbar widget is shown and hidden through its action.
    m_liveAction = m_toolbar->addWidget(m_liveButton);
    m_liveAction->setVisible(false);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("选择夹1"));
    m_tabs->tabBar()->hide(); // the toolbar is the only way between the pages
    layout->addWidget(m_tabs);
    for (int n = 0; n < MainPages::PageCount; ++n) {
        QWidget *pageWidget = m_pages.createPage[n] ? m_pages.createPage[n](*this) : nullptr;
        if (!pageWidget)
            pageWidget = new QWidget;
        if (pageWidget->objectName().isEmpty())
            pageWidget->setObjectName(pageCaptions().at(n));
        m_tabs->addTab(pageWidget, pageCaptions().at(n));
    }
    m_hotKeyLabel = new QLabel(m_tabs->widget(0));
    m_hotKeyLabel->setObjectName(QStringLiteral("标签6"));
    m_hotKeyLabel->hide();
    setCentralWidget(central);

    auto *status = new QStatusBar;
    status->setObjectName(QStringLiteral("状态条1"));
    m_status0 = new QLabel;
    m_status0->setObjectName(QStringLiteral("状态条1部分0"));
    m_status1 = new QLabel;
    m_status1->setObjectName(QStringLiteral("状态条1部分1"));
    status->addWidget(m_status0);
    status->addWidget(m_status1, 1);
    setStatusBar(status);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("时钟1"));
    connect(m_timer1, &QTimer::timeout, this, [this] { run(m_pages.scrollNoticeTicker); });
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("时钟2"));
    connect(m_timer2, &QTimer::timeout, this, [this] { run(m_pages.refreshNoticeTicker); });
}

void MainWindow::initMainWindow()
{
    setFocus();
    setAttribute(Qt::WA_AlwaysShowToolTips);
    applyTooltips();

    // One shop connection serves the whole program; it is normally open since start-up.
    if (!m_context.connection().isOpen())
        openShopDatabase(m_context);
    refreshToday(m_context, true);

    oplog::writeLogRow(m_context, LoginLogText);
    setWindowTitle(TitlePrefix + m_context.currentShop);
    registerPosHotKeys();
    fillStatusBar();
    run(m_pages.attachListCellEditors);
    startNoticeTimers();
    setLiveButtonShown(rights::hasRight(m_context, LiveRight));
    if (isFlagOn(m_context.shopSettings.生日提醒))
        run(m_pages.checkMemberBirthdays);
    run(m_pages.loadReceiptLayout);
}

void MainWindow::applyTooltips()
{
    for (const auto &[name, text] : tooltips()) {
        const QList<QWidget *> controls = findChildren<QWidget *>(name);
        for (QWidget *control : controls)
            control->setToolTip(text);
    }
}

void MainWindow::fillStatusBar()
{
    m_status1->setText(m_context.currentShop + QStringLiteral("---") + m_context.runMode + QStringLiteral("：")
                       + m_context.programVersion + StatusTail);
    m_status0->setText(QStringLiteral("店员 ：") + m_context.currentUserName);
}

QString MainWindow::statusText(int part) const
{
    return part == 0 ? m_status0->text() : part == 1 ? m_status1->text() : QString();
}

void MainWindow::startNoticeTimers()
{
    if (isFlagOn(m_context.shopSettings.开启公告)) {
        run(m_pages.startNoticeTicker);
        m_timer1->start(50);
    }
    // An interval of 0 would fire continuously: "" and "0" leave the reload timer stopped, and a
    // short one reloads no more often than the ticker's floor.
    const int period = NoticeTicker::reloadPeriod(m_context.shopSettings.公告间隔);
    if (period > 0)
        m_timer2->start(period);
}

void MainWindow::setLiveButtonShown(bool shown)
{
    m_liveAction->setVisible(shown);
}

bool MainWindow::liveButtonShown() const
{
    return m_liveAction->isVisible();
}

QAction *MainWindow::toolbarAction(int n) const
{
    return m_pageActions.value(n);
}

int MainWindow::currentPage() const
{
    return m_tabs->currentIndex();
}

QWidget *MainWindow::page(int n) const
{
    return m_tabs->widget(n);
}

bool MainWindow::listIsEmpty(const QString &listName) const
{
    QWidget *list = findChild<QWidget *>(listName);
    return !list || !m_pages.listRowCount || m_pages.listRowCount(list) <= 0;
}

void MainWindow::clearList(const QString &listName)
{
    QWidget *list = findChild<QWidget *>(listName);
    if (list && m_pages.clearList)
        m_pages.clearList(list);
}

void MainWindow::refillShopCombo()
{
    auto *combo = findChild<QComboBox *>(QStringLiteral("店铺组8"));
    if (!combo)
        return;
    combo->clear();
    data::RecordSet rs(m_context.connection());
    rs.open(data::buildSelectSql(m_context.connection().dialect(), QStringLiteral("店铺名"), {}, false,
                                 QStringLiteral("id ASC"), true));
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        combo->addItem(rs.text(QStringLiteral("店名")));
}

void MainWindow::switchMainPage(int n)
{
    if (n < 0 || n >= MainPages::PageCount)
        return;
    if (n == 6)
        refillShopCombo(); // refilled whether or not the right is held
    if (!rights::hasRight(m_context, pageRight(n))) {
        if (n == 0)
            setLiveButtonShown(false);
        rights::checkRight(m_context, pageRight(n), this);
        return;
    }

    const data::Dialect &dialect = m_context.connection().dialect();
    const QString &shop = m_context.currentShop;
    const data::Sql ofShop = data::eq(QStringLiteral("所属店铺"), shop);
    m_tabs->setCurrentIndex(n);

    switch (n) {
    case 0:
        // The live feed needs its own right besides the cashier's.
        setLiveButtonShown(rights::hasRight(m_context, LiveRight));
        break;
    case 1: {
        QDate date = Clock::now().date();
        if (auto *edit = findChild<QDateTimeEdit *>(QStringLiteral("起始日期")))
            date = edit->date();
        else if (auto *calendar = findChild<QCalendarWidget *>(QStringLiteral("起始日期")))
            date = calendar->selectedDate();
        pickedDate() = DateSplit::fromDate(date);
        if (rights::hasRight(m_context, CostRight)) {
            for (const QString &name : salesTotalLabels()) {
                if (auto *label = findChild<QWidget *>(name))
                    label->show();
            }
        }
        m_rs1.open(data::buildSelectSql(
            dialect, QStringLiteral("销售明细"),
            data::both(data::eq(QStringLiteral("销售日期"), m_context.today.dateText()), ofShop), true,
            QStringLiteral("id ASC"), true));
        if (m_pages.fillSalesDetailList)
            m_pages.fillSalesDetailList(m_rs1);
        break;
    }
    case 2: {
        clearList(QStringLiteral("超级列表框4"));
        clearList(QStringLiteral("超级列表框5"));
        if (auto *combo = findChild<QComboBox *>(QStringLiteral("会员类别3"))) {
            combo->clear();
            combo->addItem(m_context.memberTiers[2].会员类别, 1);
            combo->addItem(m_context.memberTiers[1].会员类别, 2);
            combo->addItem(m_context.memberTiers[0].会员类别, 3);
        }
        if (isFlagOn(m_context.shopSettings.会员共享))
            m_rs1.open(data::buildSelectSql(dialect, QStringLiteral("会员管理"), {}, false, QStringLiteral("id ASC"), true));
        else
            m_rs1.open(data::buildSelectSql(dialect, QStringLiteral("会员管理"), ofShop, true, QStringLiteral("id ASC"), true));
        if (m_pages.fillMemberList)
            m_pages.fillMemberList(m_rs1);
        break;
    }
    case 3:
        run(m_pages.loadPurchaseSupplierCombo);
        run(m_pages.loadPurchaseCategoryCombo);
        run(m_pages.loadPurchaseColourCombos);
        run(m_pages.loadPurchaseSizeCombos);
        run(m_pages.loadPurchaseUnitCombo);
        m_rs1.open(data::buildSelectSql(dialect, QStringLiteral("采购入库"),
                                        data::both(data::Sql(dialect.inStockCondition()), ofShop), true,
                                        QStringLiteral("id ASC"), true));
        if (m_pages.fillPurchaseList)
            m_pages.fillPurchaseList(m_rs1);
        break;
    case 4:
        if (listIsEmpty(QStringLiteral("超级列表框6"))) {
            m_rs1.open(data::buildSelectSql(dialect, QStringLiteral("采购入库"),
                                            data::both(data::eq(QStringLiteral("零库存"), QStringLiteral("1")), ofShop),
                                            true, QStringLiteral("入库日期 ASC"), true));
            if (m_pages.fillStockList)
                m_pages.fillStockList(m_rs1);
            if (auto *tree = findChild<QTreeWidget *>(QStringLiteral("树型框1")))
                tree->clear();
            run(m_pages.loadCategoryTree);
        }
        break;
    case 5:
        if (listIsEmpty(QStringLiteral("超级列表框10"))) {
            refreshToday(m_context, false); // the month of the real day, also past midnight
            const QString month = QStringLiteral("%") + m_context.today.year + u'-' + m_context.today.month + QStringLiteral("-%");
            m_rs1.open(data::buildSelectSql(dialect, QStringLiteral("开支管理"),
                                            data::both(dialect.like(QStringLiteral("日期"), month), ofShop), true,
                                            QStringLiteral("id ASC"), true));
            if (m_pages.fillExpenseList)
                m_pages.fillExpenseList(m_rs1);
        }
        break;
    case 6:
        run(m_pages.loadShopAccountList);
        if (auto *inner = findChild<QTabWidget *>(QStringLiteral("选择夹3")))
            inner->setCurrentIndex(0);
        break;
    }
}

void MainWindow::releasePosHotKeys()
{
    HotKeyRegistry &registry = HotKeyRegistry::instance();
    for (int &id : m_hotKeys) {
        if (id != 0)
            registry.release(id);
        id = 0;
    }
}

void MainWindow::registerPosHotKeys()
{
    releasePosHotKeys();
    HotKeyRegistry &registry = HotKeyRegistry::instance();
    for (const PosKey &k : posKeys)
        m_hotKeys[k.slot] = registry.registerHotKey(this, k.key, 0, [this](int id) { handlePosHotKey(id); });
}

void MainWindow::handlePosHotKey(int id)
{
    if (id == 0)
        return;
    const int lines = m_pages.cartLineCount ? m_pages.cartLineCount() : 0;
    if (id == m_hotKeys[SlotEsc]) {
        if (lines > 0 && currentPage() == CounterPage)
            run(m_pages.resetCart);
    } else if (id == m_hotKeys[SlotF5]) {
        if (lines > 0)
            run(m_pages.startCheckout);
    } else if (id == m_hotKeys[SlotF1]) {
        if (lines > 0)
            run(m_pages.holdCurrentOrder);
        else
            MessageSeam::message(this, QString(), EmptyCartHoldText);
    } else if (id == m_hotKeys[SlotF2]) {
        run(m_pages.openHeldOrdersWindow);
    } else if (id == m_hotKeys[SlotF4]) {
        releasePosHotKeys();
        run(m_pages.openLockSetupDialog);
    } else if (id == m_hotKeys[SlotF8]) {
        run(m_pages.openCashDrawer);
    }
}

void MainWindow::openLiveBroadcastWindow()
{
    releasePosHotKeys();
    if (m_pages.openLiveBroadcastWindow)
        m_pages.openLiveBroadcastWindow();
    else
        shell::openLiveBroadcastWindow(m_context, this, [this] { registerPosHotKeys(); });
}

void MainWindow::shutDownMainWindow()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_timer1->stop();
    m_timer2->stop();
    releasePosHotKeys();
    run(m_pages.releaseCellEditorBrush);
    if (m_context.isNetwork()) {
        oplog::writeLogRow(m_context, BackupLogText);
        if (m_pages.backupNetworkDatabase)
            m_pages.backupNetworkDatabase(m_context);
    }
    m_rs1.clear();
    m_context.connection().close();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    shutDownMainWindow();
    event->accept();
}

bool MainWindow::event(QEvent *event)
{
    // Before a key can act as a hot key, the focused control and then its parents up to this
    // window are asked whether they want it themselves. Away from the counter this window takes
    // a bare Esc for its control, so the Esc hot key does not swallow it.
    if (event->type() == QEvent::ShortcutOverride && currentPage() != CounterPage) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            key->accept();
            return true;
        }
    }
    return QMainWindow::event(event);
}

} // namespace shell
