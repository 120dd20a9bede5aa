#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "context/DateSplit.h"
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
    void TearDown() override { ws.reset(); }

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
    EXPECT_EQ(w.statusText(1), QStringLiteral("东店---") + ws->modeName() + QStringLiteral("：2.0") + MainWindow::StatusTail);
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
    MainWindow w(ws->ctx, {});
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
    EXPECT_EQ(script.texts(), QStringList{MainWindow::EmptyCartHoldText});

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
    MainWindow w(ws->ctx, {});
    EXPECT_EQ(w.mainHotKeys()[MainWindow::SlotF2], 0);
    EXPECT_EQ(ws->hotKeys.liveCount(), 5);
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
