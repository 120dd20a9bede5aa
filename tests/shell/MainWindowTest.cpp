#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "context/DateSplit.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "shell/Login.h"
#include "shell/MainWindow.h"
#include "shell/NoticeTicker.h"

using shell::MainPages;
using shell::MainWindow;
using shelltest::Workstation;

namespace {

const QString Shop = QStringLiteral("东店");

// A workstation of 东店 with one logged-in account holding the given rights.
class MainWindowTest : public ::testing::TestWithParam<data::Backend>
{
protected:
    void SetUp() override
    {
        ws = std::make_unique<Workstation>(GetParam());
        ASSERT_TRUE(ws->db->ok()) << ws->db->error().toStdString();
        ASSERT_TRUE(ws->openContext(Shop));
    }
    void TearDown() override
    {
        ws.reset();
        Clock::reset();
    }

    void logIn(const QStringList &rights)
    {
        ASSERT_TRUE(ws->addAccount(QStringLiteral("li"), QStringLiteral("1"), QStringLiteral("李四"), Shop, rights));
        ASSERT_EQ(shell::checkLogin(ws->ctx, QStringLiteral("li"), QStringLiteral("1")).outcome, shell::LoginOutcome::Admitted);
    }

    std::unique_ptr<Workstation> ws;
};

TEST_P(MainWindowTest, TitleStatusBarAndHotKeysAfterLogin)
{
    logIn({QStringLiteral("*")});
    MessageScript script;
    MainWindow w(ws->ctx, {});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("岚舟服装进销存---东店"));
    EXPECT_EQ(w.size(), QSize(1195, 584));
    EXPECT_EQ(w.statusText(0), QStringLiteral("店员 ：李四"));
    EXPECT_EQ(w.statusText(1), QStringLiteral("东店---") + ws->modeName() + QStringLiteral("：2.0") + QStringLiteral("        "));
    // Registered Esc, F5, F1, F2, F4, F8 in this order; kept in the slots F5, Esc, F1, F2, F4, F8.
    const std::array<int, 6> expected{33002, 33001, 33003, 33004, 33005, 33006};
    EXPECT_EQ(w.mainHotKeys(), expected);
    EXPECT_EQ(ws->hotKeys.liveCount(), 6);
    EXPECT_TRUE(w.liveButtonShown());
    // The login is logged.
    data::RecordSet rs(ws->db->connection());
    ASSERT_TRUE(rs.open(data::buildSelectSql(ws->db->connection().dialect(), QStringLiteral("日志记录"), {}, false,
                                             QStringLiteral("id ASC"), true)));
    EXPECT_EQ(rs.text(QStringLiteral("操作内容")), QStringLiteral("登陆成功!"));
    EXPECT_EQ(rs.text(QStringLiteral("用户名")), QStringLiteral("li"));
    auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("选择夹1"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 7);
    EXPECT_EQ(tabs->tabText(4), QStringLiteral("分类查看"));
    EXPECT_EQ(w.toolbarAction(4)->text(), QStringLiteral("库存管理"));
}

TEST_P(MainWindowTest, EveryPageIsRefusedWithoutItsRight)
{
    logIn({QStringLiteral("实况播报")});
    MessageScript script;
    MainWindow w(ws->ctx, {});
    EXPECT_TRUE(w.liveButtonShown());
    const int before = w.currentPage();
    for (int n = 0; n < 7; ++n) {
        SCOPED_TRACE(n);
        script.clear();
        w.toolbarAction(n)->trigger();
        EXPECT_EQ(script.texts(), QStringList{QStringLiteral("没有权限！")});
        EXPECT_EQ(script.messages().first().icon, MessageIcon::None);
        EXPECT_EQ(w.currentPage(), before);
    }
    EXPECT_FALSE(w.liveButtonShown()) << "refusing the cashier page hides the live-feed button";
    script.clear();
    w.switchMainPage(7);
    w.switchMainPage(-1);
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_P(MainWindowTest, LiveFeedButtonNeedsBothRightsOnTheCashierPage)
{
    logIn({QStringLiteral("前台收银"), QStringLiteral("销售明细")});
    MessageScript script;
    MainWindow w(ws->ctx, {});
    EXPECT_FALSE(w.liveButtonShown());
    w.switchMainPage(1);
    w.switchMainPage(0);
    EXPECT_EQ(w.currentPage(), 0);
    EXPECT_FALSE(w.liveButtonShown());
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_P(MainWindowTest, RegisteringTwiceLeavesSixLiveKeys)
{
    logIn({QStringLiteral("*")});
    int drawer = 0;
    MainPages pages;
    pages.openCashDrawer = [&] { ++drawer; };
    MainWindow w(ws->ctx, pages);
    const auto first = w.mainHotKeys();
    w.registerPosHotKeys();
    w.registerPosHotKeys();
    const auto third = w.mainHotKeys();
    EXPECT_EQ(ws->hotKeys.liveCount(), 6);
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_GT(third[slot], first[slot]);
        EXPECT_TRUE(ws->hotKeys.isLive(third[slot]));
        EXPECT_FALSE(ws->hotKeys.isLive(first[slot]));
    }
    // A real key press acts exactly once.
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F8);
    EXPECT_EQ(drawer, 1);
    w.releasePosHotKeys();
    EXPECT_EQ(ws->hotKeys.liveCount(), 0);
}

TEST_P(MainWindowTest, HotKeysDispatchToTheCashierActions)
{
    logIn({QStringLiteral("*")});
    QStringList calls;
    int lines = 0;
    MainPages pages;
    pages.cartLineCount = [&] { return lines; };
    pages.resetCart = [&] { calls << QStringLiteral("Esc"); };
    pages.startCheckout = [&] { calls << QStringLiteral("F5"); };
    pages.holdCurrentOrder = [&] { calls << QStringLiteral("F1"); };
    pages.openHeldOrdersWindow = [&] { calls << QStringLiteral("F2"); };
    pages.openLockSetupDialog = [&] { calls << QStringLiteral("F4"); };
    pages.openCashDrawer = [&] { calls << QStringLiteral("F8"); };
    MessageScript script;
    MainWindow w(ws->ctx, pages);
    using S = MainWindow::HotKeySlot;
    auto press = [&](S slot) { return ws->hotKeys.trigger(w.mainHotKeys()[slot]); };

    // An empty cart: Esc and F5 do nothing, F1 tells so, F2 and F8 act.
    press(S::SlotEsc);
    press(S::SlotF5);
    press(S::SlotF1);
    press(S::SlotF2);
    press(S::SlotF8);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("F2"), QStringLiteral("F8")}));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("当前列表还没有订单！")});

    calls.clear();
    lines = 2;
    press(S::SlotEsc);
    press(S::SlotF5);
    press(S::SlotF1);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("Esc"), QStringLiteral("F5"), QStringLiteral("F1")}));

    // Nothing arrives while a modal window is open.
    calls.clear();
    QDialog modal(&w);
    modal.setModal(true);
    modal.show();
    EXPECT_FALSE(press(S::SlotF5));
    modal.hide();
    EXPECT_TRUE(calls.isEmpty());

    // F4 releases the six keys before the lock opens; the lock gives them back.
    EXPECT_TRUE(press(S::SlotF4));
    EXPECT_EQ(calls, QStringList{QStringLiteral("F4")});
    EXPECT_EQ(ws->hotKeys.liveCount(), 0);
    w.registerPosHotKeys();
    EXPECT_EQ(ws->hotKeys.liveCount(), 6);
}

TEST_P(MainWindowTest, RefusedKeyKeepsZeroAndTheOthersWork)
{
    logIn({QStringLiteral("*")});
    ws->hotKeys.setRefusalHook([](int key, int) { return key == Qt::Key_F2; });
    QStringList calls;
    MainPages pages;
    pages.cartLineCount = [] { return 1; };
    pages.resetCart = [&] { calls << QStringLiteral("Esc"); };
    pages.openHeldOrdersWindow = [&] { calls << QStringLiteral("F2"); };
    pages.openCashDrawer = [&] { calls << QStringLiteral("F8"); };
    MainWindow w(ws->ctx, pages);
    EXPECT_EQ(w.mainHotKeys()[MainWindow::SlotF2], 0);
    EXPECT_EQ(ws->hotKeys.liveCount(), 5);
    w.handlePosHotKey(0); // the refused slot's id never acts
    EXPECT_TRUE(ws->hotKeys.trigger(w.mainHotKeys()[MainWindow::SlotEsc]));
    EXPECT_TRUE(ws->hotKeys.trigger(w.mainHotKeys()[MainWindow::SlotF8]));
    EXPECT_EQ(calls, (QStringList{QStringLiteral("Esc"), QStringLiteral("F8")}));
}

TEST_P(MainWindowTest, NoticeTimersFollowTheShopSettings)
{
    logIn({QStringLiteral("*")});
    struct Case
    {
        QString enabled, interval;
        bool scrolls;
        int reloadEvery; // 0 = stopped
    };
    const Case cases[] = {
        // A short interval reloads no more often than the ticker's floor (each reload is a query).
        {QStringLiteral("真"), QStringLiteral("30"), true, shell::NoticeTicker::ReloadFloorMs},
        {QStringLiteral("假"), QStringLiteral("1500"), false, 1500},
        {QStringLiteral("真"), QString(), true, 0},
        {QStringLiteral("真"), QStringLiteral("0"), true, 0},
        {QStringLiteral("真"), QStringLiteral("2abc"), true, 0},
    };
    for (const Case &c : cases) {
        ws->ctx.shopSettings.开启公告 = c.enabled;
        ws->ctx.shopSettings.公告间隔 = c.interval;
        int started = 0;
        MainPages pages;
        pages.startNoticeTicker = [&] { ++started; };
        MainWindow w(ws->ctx, pages);
        EXPECT_EQ(w.scrollTimer()->isActive(), c.scrolls);
        EXPECT_EQ(started, c.scrolls ? 1 : 0);
        if (c.scrolls)
            EXPECT_EQ(w.scrollTimer()->interval(), 50);
        EXPECT_EQ(w.reloadTimer()->isActive(), c.reloadEvery > 0) << c.interval.toStdString();
        if (c.reloadEvery > 0)
            EXPECT_EQ(w.reloadTimer()->interval(), c.reloadEvery);
    }
}

TEST_P(MainWindowTest, PurchasePageListsOnlyRowsInStock)
{
    logIn({QStringLiteral("*")});
    for (const char *count : {"5", "0", "-2", "x"}) {
        ASSERT_TRUE(ws->insert(QStringLiteral("采购入库"), {{QStringLiteral("款号"), QString::fromUtf8(count)},
                                                             {QStringLiteral("数量"), QString::fromUtf8(count)},
                                                             {QStringLiteral("所属店铺"), Shop}}));
    }
    ASSERT_TRUE(ws->insert(QStringLiteral("采购入库"), {{QStringLiteral("款号"), QStringLiteral("other")},
                                                         {QStringLiteral("数量"), QStringLiteral("3")},
                                                         {QStringLiteral("所属店铺"), QStringLiteral("西店")}}));
    QStringList listed, loaders;
    MainPages pages;
    for (auto [hook, name] : {std::pair{&MainPages::loadPurchaseSupplierCombo, "supplier"},
                              std::pair{&MainPages::loadPurchaseCategoryCombo, "category"},
                              std::pair{&MainPages::loadPurchaseColourCombos, "colour"},
                              std::pair{&MainPages::loadPurchaseSizeCombos, "size"},
                              std::pair{&MainPages::loadPurchaseUnitCombo, "unit"}})
        pages.*hook = [&loaders, name] { loaders << QString::fromUtf8(name); };
    pages.fillPurchaseList = [&](data::RecordSet &rs) {
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            listed << rs.text(QStringLiteral("款号"));
    };
    MainWindow w(ws->ctx, pages);
    w.switchMainPage(3);
    EXPECT_EQ(w.currentPage(), 3);
    EXPECT_EQ(loaders, (QStringList{QStringLiteral("supplier"), QStringLiteral("category"), QStringLiteral("colour"),
                                    QStringLiteral("size"), QStringLiteral("unit")}));
    EXPECT_TRUE(listed.contains(QStringLiteral("5")));
    EXPECT_FALSE(listed.contains(QStringLiteral("0")));
    EXPECT_FALSE(listed.contains(QStringLiteral("other")));
}

TEST_P(MainWindowTest, StockAndExpensePagesLoadOnlyWhileTheirListIsEmpty)
{
    logIn({QStringLiteral("*")});
    int rows = 0, stockFills = 0, expenseFills = 0, trees = 0;
    MainPages pages;
    // Pages 4 and 5 hold the named lists; their row count is what the test says.
    pages.createPage[4] = [](MainWindow &) {
        auto *page = new QWidget;
        (new QWidget(page))->setObjectName(QStringLiteral("超级列表框6"));
        return page;
    };
    pages.createPage[5] = [](MainWindow &) {
        auto *page = new QWidget;
        (new QWidget(page))->setObjectName(QStringLiteral("超级列表框10"));
        return page;
    };
    pages.listRowCount = [&](QWidget *) { return rows; };
    pages.fillStockList = [&](data::RecordSet &) { ++stockFills; rows = 3; };
    pages.loadCategoryTree = [&] { ++trees; };
    pages.fillExpenseList = [&](data::RecordSet &) { ++expenseFills; };
    MainWindow w(ws->ctx, pages);
    w.switchMainPage(4);
    w.switchMainPage(4);
    EXPECT_EQ(stockFills, 1);
    EXPECT_EQ(trees, 1);
    rows = 0;
    w.switchMainPage(4);
    EXPECT_EQ(stockFills, 2);
    rows = 1;
    w.switchMainPage(5);
    EXPECT_EQ(expenseFills, 0);
    EXPECT_EQ(w.currentPage(), 5);
}

TEST_P(MainWindowTest, SettingsPageRefillsTheShopComboEvenWhenRefused)
{
    logIn({QStringLiteral("前台收银")});
    ASSERT_TRUE(ws->insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), QStringLiteral("东店")}}));
    ASSERT_TRUE(ws->insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), QStringLiteral("O'Brien店")}}));
    MainPages pages;
    pages.createPage[6] = [](MainWindow &) {
        auto *page = new QWidget;
        auto *combo = new QComboBox(page);
        combo->setObjectName(QStringLiteral("店铺组8"));
        combo->addItem(QStringLiteral("stale"));
        return page;
    };
    MessageScript script;
    MainWindow w(ws->ctx, pages);
    w.switchMainPage(6);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("没有权限！")});
    auto *combo = w.findChild<QComboBox *>(QStringLiteral("店铺组8"));
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("东店"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("O'Brien店"));
}

TEST_P(MainWindowTest, SalesAndMemberPagesOpenTheShopsRows)
{
    logIn({QStringLiteral("*")});
    ws->ctx.memberTiers[0].会员类别 = QStringLiteral("金");
    ws->ctx.memberTiers[1].会员类别 = QStringLiteral("银");
    ws->ctx.memberTiers[2].会员类别 = QStringLiteral("普");
    ASSERT_TRUE(ws->insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("A1")}, {QStringLiteral("所属店铺"), Shop}}));
    ASSERT_TRUE(ws->insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("B1")}, {QStringLiteral("所属店铺"), QStringLiteral("西店")}}));
    MainPages pages;
    pages.createPage[2] = [](MainWindow &) {
        auto *page = new QWidget;
        (new QComboBox(page))->setObjectName(QStringLiteral("会员类别3"));
        return page;
    };
    QStringList members;
    int salesFills = 0;
    pages.fillMemberList = [&](data::RecordSet &rs) {
        members.clear();
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            members << rs.text(QStringLiteral("会员卡号"));
    };
    pages.fillSalesDetailList = [&](data::RecordSet &rs) { salesFills += rs.rowCount() >= 0 ? 1 : 0; };
    MainWindow w(ws->ctx, pages);
    w.switchMainPage(2);
    EXPECT_EQ(members, QStringList{QStringLiteral("A1")});
    auto *combo = w.findChild<QComboBox *>(QStringLiteral("会员类别3"));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("普"));
    EXPECT_EQ(combo->itemData(0).toInt(), 1);
    EXPECT_EQ(combo->itemText(2), QStringLiteral("金"));
    EXPECT_EQ(combo->itemData(2).toInt(), 3);
    ws->ctx.shopSettings.会员共享 = QStringLiteral("真");
    w.switchMainPage(2);
    EXPECT_EQ(members, (QStringList{QStringLiteral("A1"), QStringLiteral("B1")}));
    w.switchMainPage(1);
    EXPECT_EQ(salesFills, 1) << "the sales statement ran";
}

TEST_P(MainWindowTest, TooltipsReachTheControlsOfThePages)
{
    logIn({QStringLiteral("*")});
    MainPages pages;
    pages.createPage[0] = [](MainWindow &) {
        auto *page = new QWidget;
        (new QLineEdit(page))->setObjectName(QStringLiteral("编辑框1"));
        return page;
    };
    pages.createPage[6] = [](MainWindow &) {
        auto *page = new QWidget;
        (new QLineEdit(page))->setObjectName(QStringLiteral("高1"));
        return page;
    };
    MainWindow w(ws->ctx, pages);
    EXPECT_TRUE(w.testAttribute(Qt::WA_AlwaysShowToolTips));
    EXPECT_EQ(MainWindow::tooltips().size(), 29);
    EXPECT_EQ(w.findChild<QWidget *>(QStringLiteral("编辑框1"))->toolTip(),
              QStringLiteral("1、扫码枪扫条码为精准查找！\n2、输入数字按回车键是按款号模糊查找\n"
                             "3、首字符输入为字母按回车键是按商品名称模糊查找"));
    EXPECT_EQ(w.findChild<QWidget *>(QStringLiteral("高1"))->toolTip(),
              QStringLiteral("此处填写的是打印1笔商品的小票完整高度\n如果有多笔系统会自动在此基础上计算！"));
}

TEST_P(MainWindowTest, SalesPageTakesThePickedDateTheTotalsAndTodaysRowsOfTheShop)
{
    logIn({QStringLiteral("*")});
    MainPages pages;
    pages.createPage[1] = [](MainWindow &) {
        auto *page = new QWidget;
        (new QDateEdit(QDate(2015, 3, 11), page))->setObjectName(QStringLiteral("起始日期"));
        for (const char *name : {"透明标签2", "透明标签5", "透明标签28", "透明标签30", "透明标签63", "透明标签1",
                                 "透明标签6", "透明标签29", "透明标签31", "透明标签64"}) {
            auto *label = new QLabel(page);
            label->setObjectName(QString::fromUtf8(name));
            label->hide();
        }
        return page;
    };
    QStringList listed;
    pages.fillSalesDetailList = [&](data::RecordSet &rs) {
        listed.clear();
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            listed << rs.text(QStringLiteral("款号"));
    };
    // Today is the workstation's fixed date in single-machine mode and the server's in network mode.
    Clock::setFixed(QDateTime(QDate(2015, 3, 12), QTime(14, 5, 9)));
    MainWindow w(ws->ctx, pages);
    const QString today = ws->ctx.today.dateText();
    if (!ws->network())
        EXPECT_EQ(today, QStringLiteral("2015-03-12"));
    ASSERT_TRUE(ws->insert(QStringLiteral("销售明细"), {{QStringLiteral("款号"), QStringLiteral("A")},
                                                         {QStringLiteral("销售日期"), today},
                                                         {QStringLiteral("所属店铺"), Shop}}));
    ASSERT_TRUE(ws->insert(QStringLiteral("销售明细"), {{QStringLiteral("款号"), QStringLiteral("B")},
                                                         {QStringLiteral("销售日期"), QStringLiteral("2015-03-11")},
                                                         {QStringLiteral("所属店铺"), Shop}}));
    ASSERT_TRUE(ws->insert(QStringLiteral("销售明细"), {{QStringLiteral("款号"), QStringLiteral("C")},
                                                         {QStringLiteral("销售日期"), today},
                                                         {QStringLiteral("所属店铺"), QStringLiteral("西店")}}));
    for (const bool seesCost : {false, true}) {
        SCOPED_TRACE(seesCost ? "with 查看进价" : "without 查看进价");
        ws->ctx.accountRights.查看进价 = seesCost ? QStringLiteral("√") : QString();
        pickedDate() = DateSplit();
        w.switchMainPage(1);
        EXPECT_EQ(w.currentPage(), 1);
        EXPECT_EQ(listed, QStringList{QStringLiteral("A")});
        EXPECT_EQ(pickedDate().right2, QStringLiteral("15"));
        EXPECT_EQ(pickedDate().month2, QStringLiteral("03"));
        EXPECT_EQ(pickedDate().day2, QStringLiteral("11"));
        for (const char *name : {"透明标签2", "透明标签64"})
            EXPECT_EQ(w.findChild<QLabel *>(QString::fromUtf8(name))->isHidden(), !seesCost) << name;
    }
}

TEST_P(MainWindowTest, SettingsPageLoadsTheAccountsOnItsFirstInnerPage)
{
    logIn({QStringLiteral("*")});
    int loads = 0;
    MainPages pages;
    pages.createPage[6] = [](MainWindow &) {
        auto *inner = new QTabWidget;
        inner->setObjectName(QStringLiteral("选择夹3"));
        inner->addTab(new QWidget, QStringLiteral("帐号权限管理"));
        inner->addTab(new QWidget, QStringLiteral("供货来源管理"));
        inner->setCurrentIndex(1);
        return inner;
    };
    pages.loadShopAccountList = [&] { ++loads; };
    MessageScript script;
    MainWindow w(ws->ctx, pages);
    w.switchMainPage(6);
    EXPECT_EQ(w.currentPage(), 6);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(w.findChild<QTabWidget *>(QStringLiteral("选择夹3"))->currentIndex(), 0);
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_P(MainWindowTest, LiveFeedOpensWithTheSixKeysReleased)
{
    logIn({QStringLiteral("*")});
    int liveAtOpen = -1;
    MainPages pages;
    pages.openLiveBroadcastWindow = [&] { liveAtOpen = ws->hotKeys.liveCount(); };
    MainWindow w(ws->ctx, pages);
    ASSERT_TRUE(w.liveButtonShown());
    w.liveButton()->click();
    EXPECT_EQ(liveAtOpen, 0);
    w.registerPosHotKeys(); // the feed's closing
    EXPECT_EQ(ws->hotKeys.liveCount(), 6);
}

TEST_P(MainWindowTest, ClosingLogsAndBacksUpOnlyInNetworkMode)
{
    logIn({QStringLiteral("*")});
    QStringList calls;
    MainPages pages;
    pages.releaseCellEditorBrush = [&] { calls << QStringLiteral("brush"); };
    pages.backupNetworkDatabase = [&](AppContext &) {
        calls << QStringLiteral("backup");
        EXPECT_TRUE(ws->ctx.connection().isOpen()) << "the backup runs before the connections close";
    };
    {
        MainWindow w(ws->ctx, pages);
        w.show();
        // Closing ends the program's event loop: run one for it.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        QTimer::singleShot(0, &w, [&w] { w.close(); });
        EXPECT_EQ(QApplication::exec(), 0);
    }
    const bool network = ws->network();
    EXPECT_EQ(calls, network ? (QStringList{QStringLiteral("brush"), QStringLiteral("backup")})
                             : QStringList{QStringLiteral("brush")});
    EXPECT_FALSE(ws->ctx.connection().isOpen());
    EXPECT_EQ(ws->hotKeys.liveCount(), 0);
    QStringList logged;
    data::RecordSet rs(ws->db->connection());
    ASSERT_TRUE(rs.open(data::buildSelectSql(ws->db->connection().dialect(), QStringLiteral("日志记录"), {}, false,
                                             QStringLiteral("id ASC"), true)));
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        logged << rs.text(QStringLiteral("操作内容"));
    EXPECT_EQ(logged, network ? (QStringList{QStringLiteral("登陆成功!"), QStringLiteral("数据自动备份！")})
                              : QStringList{QStringLiteral("登陆成功!")});
}

TEST(DateSplit, SplitsThePickedDate)
{
    const DateSplit a = DateSplit::fromDate(QDate(2015, 3, 11));
    EXPECT_EQ(a.right2, QStringLiteral("15"));
    EXPECT_EQ(a.month2, QStringLiteral("03"));
    EXPECT_EQ(a.day2, QStringLiteral("11"));
    EXPECT_EQ(a.yearParts.value(0), QStringLiteral("2015"));
    const DateSplit b = DateSplit::fromDate(QDate(2015, 12, 1));
    EXPECT_EQ(b.month2, QStringLiteral("12"));
    EXPECT_EQ(b.day2, QStringLiteral("01"));
}

SHOPDESK_BOTH_BACKENDS(MainWindowTest);

} // namespace
