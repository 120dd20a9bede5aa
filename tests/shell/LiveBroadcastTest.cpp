#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "context/Today.h"
#include "lists/ReportList.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "shell/LiveBroadcastWindow.h"
#include "shell/LiveFeed.h"
#include "shell/Login.h"
#include "shell/MainWindow.h"

using shell::LiveBroadcastWindow;
using shelltest::Workstation;

namespace {

const QString East = QStringLiteral("东店");
const QString West = QStringLiteral("西店");

void closeAndDelete(QWidget *window)
{
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A workstation of 东店 with 李四 logged in; on the SQLite file the clock stands at 2015-03-01 09:05.
class LiveBroadcastTest : public ::testing::TestWithParam<data::Backend>
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2015, 3, 1), QTime(9, 5, 30)));
        ws = std::make_unique<Workstation>(GetParam());
        ASSERT_TRUE(ws->db->ok()) << ws->db->error().toStdString();
        ASSERT_TRUE(ws->openContext(East));
        ASSERT_TRUE(ws->addAccount(QStringLiteral("li"), QStringLiteral("1"), QStringLiteral("李四"), East));
        ASSERT_EQ(shell::checkLogin(ws->ctx, QStringLiteral("li"), QStringLiteral("1")).outcome,
                  shell::LoginOutcome::Admitted);
        refreshToday(ws->ctx);
        today = todayText(ws->ctx);
    }
    void TearDown() override
    {
        if (LiveBroadcastWindow *open = shell::openedLiveBroadcastWindow())
            closeAndDelete(open);
        ws.reset();
        Clock::reset();
    }

    bool addSale(const QString &shop, const QString &date, const QString &time, const QString &name)
    {
        return ws->insert(QStringLiteral("销售明细"),
                          {{QStringLiteral("商品名称"), name}, {QStringLiteral("类别"), QStringLiteral("T恤")},
                           {QStringLiteral("款号"), QStringLiteral("1001")}, {QStringLiteral("颜色"), QStringLiteral("红")},
                           {QStringLiteral("尺码"), QStringLiteral("L")}, {QStringLiteral("数量"), QStringLiteral("1")},
                           {QStringLiteral("单位"), QStringLiteral("件")}, {QStringLiteral("金额"), QStringLiteral("88")},
                           {QStringLiteral("销售日期"), date}, {QStringLiteral("销售时间"), time},
                           {QStringLiteral("所属店铺"), shop}});
    }
    bool addMessage(const QString &text, const QString &shop, const QString &time)
    {
        return ws->insert(QStringLiteral("消息管理"), {{QStringLiteral("消息"), text}, {QStringLiteral("所属店铺"), shop},
                                                      {QStringLiteral("发送时间"), time}, {QStringLiteral("发送日期"), today},
                                                      {QStringLiteral("店员"), QStringLiteral("王五")}});
    }
    QList<QStringList> storedMessages()
    {
        data::Connection &c = ws->db->connection();
        data::RecordSet rs(c);
        EXPECT_TRUE(rs.open(data::buildSelectSql(c.dialect(), QStringLiteral("消息管理"), {}, false, QStringLiteral("id ASC"), true)));
        QList<QStringList> rows;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            rows << QStringList{rs.text(QStringLiteral("消息")), rs.text(QStringLiteral("所属店铺")), rs.text(QStringLiteral("店员")),
                                rs.text(QStringLiteral("发送日期")), rs.text(QStringLiteral("发送时间"))};
        return rows;
    }
    static QStringList column(const ReportList *list, int col)
    {
        QStringList texts;
        for (int row = 0; row < list->rowCount(); ++row)
            texts << list->cellText(row, col);
        return texts;
    }
    // The feed as the button opens it; its closing counts in keysBack.
    LiveBroadcastWindow *openFeed()
    {
        return shell::openLiveBroadcastWindow(ws->ctx, nullptr, [this] { ++keysBack; });
    }

    std::unique_ptr<Workstation> ws;
    QString today;
    int keysBack = 0;
};

TEST_P(LiveBroadcastTest, TodaysSalesOfAllShopsBySaleTime)
{
    struct SalesCase
    {
        const char *name;
        QList<std::tuple<QString, QString, QString>> todays; // shop, time, item, in id order
        QStringList times;
        QStringList shops;
    };
    const QList<SalesCase> cases{
        {"a day without sales", {}, {}, {}},
        {"two shops",
         {{East, "10:5", "外套"}, {West, "9:30", "长裤"}, {West, "9:5", "衬衫"}, {East, "9:5", "短裙"}},
         {"9:5", "9:5", "9:30", "10:5"},
         {West, East, West, East}},
    };
    for (const SalesCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(ws->db->connection().execute("delete from 销售明细"));
        ASSERT_TRUE(addSale(East, QStringLiteral("2000-01-01"), QStringLiteral("8:00"), QStringLiteral("旧单")));
        for (const auto &[shop, time, item] : c.todays)
            ASSERT_TRUE(addSale(shop, today, time, item));
        keysBack = 0;
        LiveBroadcastWindow *feed = openFeed();
        EXPECT_EQ(feed->windowTitle(), QStringLiteral("实况播报"));
        EXPECT_FALSE(feed->isModal());
        ReportList *list = feed->salesList();
        ASSERT_EQ(list->columnCount(), 10);
        EXPECT_EQ(list->columnTitle(7), QStringLiteral("销售额"));
        EXPECT_EQ(list->columnTitle(9), QStringLiteral("售出门店"));
        EXPECT_EQ(column(list, 8), c.times);
        EXPECT_EQ(column(list, 9), c.shops);
        if (!c.todays.isEmpty()) {
            EXPECT_EQ(list->rowTexts(0), (QStringList{"衬衫", "T恤", "1001", "红", "L", "1", "件", "88", "9:5", West}));
        }
        closeAndDelete(feed);
        EXPECT_EQ(keysBack, 1);
    }
}

TEST_P(LiveBroadcastTest, PostedMessagesAreStoredAsTypedAndTheBoxEmptied)
{
    // Before any send (the server's clock may read any time of the day).
    ASSERT_TRUE(addMessage(QStringLiteral("西店到货了"), West, QStringLiteral("00:00")));
    LiveBroadcastWindow *feed = openFeed();
    ASSERT_EQ(feed->messageList()->rowCount(), 1);
    EXPECT_EQ(feed->messageList()->rowTexts(0), (QStringList{"", "西店到货了", West, "王五", "00:00"}));

    // The button and the window's Enter key both send; an empty box posts an empty message.
    const QStringList typed{QStringLiteral("O'Neil's coat, a=b"), QString(), QStringLiteral("50% off_")};
    for (int n = 0; n < typed.size(); ++n) {
        feed->messageBox()->setText(typed[n]);
        if (n == 1)
            ASSERT_TRUE(ws->hotKeys.trigger(feed->broadcastEnterHotKey()));
        else
            feed->sendButton()->click();
        EXPECT_TRUE(feed->messageBox()->text().isEmpty());
    }
    const QString date = ws->ctx.today.dateText();
    const QList<QStringList> stored = storedMessages();
    ASSERT_EQ(stored.size(), 4);
    for (int n = 0; n < typed.size(); ++n) {
        EXPECT_EQ(stored[n + 1].mid(0, 4), (QStringList{typed[n], East, QStringLiteral("李四"), date}));
        EXPECT_EQ(stored[n + 1][4].size(), 5);
        EXPECT_EQ(stored[n + 1][4][2], u':');
    }
    if (GetParam() == data::Backend::Sqlite) {
        // The workstation's clock, and today stays a valid date.
        EXPECT_EQ(stored[1][3], QStringLiteral("2015-03-01"));
        EXPECT_EQ(stored[1][4], QStringLiteral("09:05"));
        EXPECT_EQ(ws->ctx.today, (DateParts{"2015", "03", "01", "9", "5"}));
    } else {
        // The server's clock.
        EXPECT_EQ(date, testsupport::serverDate(ws->db->connection()));
        EXPECT_EQ(ws->ctx.serverDateText.left(10), date);
    }
    EXPECT_EQ(column(feed->messageList(), 1), (QStringList{"西店到货了", typed[0], typed[1], typed[2]}));
}

TEST_P(LiveBroadcastTest, SelectedMessageIsCopiedIntoTheBox)
{
    ASSERT_TRUE(addMessage(QStringLiteral("早"), West, QStringLiteral("00:00")));
    ASSERT_TRUE(addMessage(QStringLiteral("西店缺L码"), West, QStringLiteral("00:00")));
    LiveBroadcastWindow *feed = openFeed();
    ASSERT_EQ(feed->messageList()->rowCount(), 2);
    feed->messageList()->selectRow(1);
    EXPECT_EQ(feed->messageBox()->text(), QStringLiteral("西店缺L码"));
    // Sending again reposts it as this shop's.
    feed->sendButton()->click();
    const QList<QStringList> stored = storedMessages();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored.last().mid(0, 3), (QStringList{"西店缺L码", East, "李四"}));
    EXPECT_EQ(feed->messageList()->rowCount(), 3);
}

TEST_P(LiveBroadcastTest, UnreadableClockKeepsTodayAndTheText)
{
    LiveBroadcastWindow *feed = openFeed();
    ws->ctx.today = DateParts{"2015", "02", "28", "23", "59"};
    ws->ctx.connection().close();
    feed->messageBox()->setText(QStringLiteral("断线了"));
    feed->sendButton()->click();
    EXPECT_EQ(feed->messageBox()->text(), QStringLiteral("断线了"));
    if (GetParam() == data::Backend::Postgres)
        EXPECT_EQ(ws->ctx.today, (DateParts{"2015", "02", "28", "23", "59"}));
    else
        EXPECT_EQ(ws->ctx.today, (DateParts{"2015", "03", "01", "9", "5"}));
    EXPECT_TRUE(storedMessages().isEmpty());
}

// Through the main window: one feed at a time, and after it the counter's keys are back.
TEST_P(LiveBroadcastTest, OneFeedAtATimeAndTheKeysComeBack)
{
    for (const bool checkoutInBetween : {false, true}) {
        SCOPED_TRACE(checkoutInBetween ? "feed, checkout, close checkout, close feed" : "feed, close feed");
        int drawer = 0;
        shell::MainPages pages;
        pages.openCashDrawer = [&] { ++drawer; };
        shell::MainWindow window(ws->ctx, pages);
        ASSERT_TRUE(window.liveButtonShown());
        window.liveButton()->click();
        LiveBroadcastWindow *feed = shell::openedLiveBroadcastWindow();
        ASSERT_NE(feed, nullptr);
        const int enter = feed->broadcastEnterHotKey();
        ASSERT_NE(enter, 0);
        EXPECT_EQ(ws->hotKeys.liveCount(), 1) << "the six keys are released while the feed is open";
        window.liveButton()->click();
        EXPECT_EQ(shell::openedLiveBroadcastWindow(), feed) << "a second click brings the open window forward";
        EXPECT_EQ(feed->broadcastEnterHotKey(), enter);
        EXPECT_EQ(ws->hotKeys.liveCount(), 1);

        if (checkoutInBetween) {
            MessageScript script;
            window.releasePosHotKeys(); // the checkout opens modal
            QDialog checkout(&window);
            checkout.setModal(true);
            checkout.show();
            feed->messageBox()->setText(QStringLiteral("扫码"));
            EXPECT_FALSE(ws->hotKeys.trigger(enter)) << "no Enter for the feed while the checkout is open";
            checkout.hide();
            window.registerPosHotKeys(); // the checkout's closing
        }
        const int before = ws->hotKeys.lastId();
        closeAndDelete(feed);
        EXPECT_EQ(shell::openedLiveBroadcastWindow(), nullptr);
        EXPECT_EQ(ws->hotKeys.lastId(), before + 6);
        EXPECT_EQ(ws->hotKeys.liveCount(), 6);
        EXPECT_FALSE(ws->hotKeys.trigger(enter)) << "Enter sends nothing once the feed is closed";
        EXPECT_TRUE(ws->hotKeys.trigger(window.mainHotKeys()[shell::MainWindow::SlotF8]));
        EXPECT_EQ(drawer, 1);
        EXPECT_TRUE(storedMessages().isEmpty());
    }
}

TEST_P(LiveBroadcastTest, EnterSendsOnlyWhileTheFeedIsActive)
{
    shell::MainWindow window(ws->ctx, {});
    window.show();
    window.liveButton()->click();
    LiveBroadcastWindow *feed = shell::openedLiveBroadcastWindow();
    ASSERT_NE(feed, nullptr);
    feed->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(feed));
    feed->messageBox()->setFocus();
    feed->messageBox()->setText(QStringLiteral("一"));
    QTest::keyClick(feed->messageBox(), Qt::Key_Return);
    EXPECT_EQ(storedMessages().size(), 1);
    EXPECT_TRUE(feed->messageBox()->text().isEmpty());

    // A scanner's Enter in another window of the program posts nothing.
    QLineEdit scanBox;
    scanBox.show();
    scanBox.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&scanBox));
    ASSERT_EQ(QApplication::activeWindow(), &scanBox);
    feed->messageBox()->setText(QStringLiteral("二"));
    QTest::keyClicks(&scanBox, QStringLiteral("6901234567892"));
    QTest::keyClick(&scanBox, Qt::Key_Return);
    EXPECT_EQ(storedMessages().size(), 1);
    EXPECT_EQ(feed->messageBox()->text(), QStringLiteral("二"));
}

TEST(LiveFeedTest, SaleTimesReadAsHoursAndMinutes)
{
    const QList<QPair<QString, int>> cases{{"9:5", 545}, {"9:30", 570}, {"10:5", 605}, {"0:7", 7},
                                           {"23:59", 1439}, {"", -1}, {"9", -1}, {"x:5", -1}, {"24:00", -1}};
    for (const auto &[text, minutes] : cases)
        EXPECT_EQ(shell::saleTimeMinutes(text), minutes) << text.toStdString();
}

SHOPDESK_BOTH_BACKENDS(LiveBroadcastTest);

} // namespace
