// The notice ticker of the cashier page: scrolling, the reload period and the reloads, with a notice
// source standing in for the shop's stored notice.
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include "context/AppContext.h"
#include "platform/Clock.h"
#include "shell/NoticeTicker.h"

using shell::NoticeTicker;

namespace {

TEST(NoticeTickerSteps, PassEndsWhenTheStepReachesWindowPlusLabel)
{
    EXPECT_EQ(NoticeTicker::scrollStep(1097, 0, 1195, 100).x, 1096);
    const NoticeTicker::Step reached = NoticeTicker::scrollStep(-99, 1294, 1195, 100);
    EXPECT_TRUE(reached.newPass);
    EXPECT_EQ(reached.x, 1195);
    EXPECT_EQ(reached.step, 0);
    const NoticeTicker::Step before = NoticeTicker::scrollStep(-98, 1293, 1195, 100);
    EXPECT_FALSE(before.newPass);
    EXPECT_EQ(before.step, 1294);
    // The window shrank during a pass: the pass ends at once.
    EXPECT_TRUE(NoticeTicker::scrollStep(200, 900, 600, 100).newPass);
}

TEST(NoticeTickerSteps, ReloadPeriod)
{
    EXPECT_EQ(NoticeTicker::reloadPeriod(QString()), 0);
    EXPECT_EQ(NoticeTicker::reloadPeriod(QStringLiteral("0")), 0);
    EXPECT_EQ(NoticeTicker::reloadPeriod(QStringLiteral("abc")), 0);
    EXPECT_EQ(NoticeTicker::reloadPeriod(QStringLiteral("30")), NoticeTicker::ReloadFloorMs);
    EXPECT_EQ(NoticeTicker::reloadPeriod(QStringLiteral("60000")), 60000);
}

class NoticeTickerRun : public ::testing::Test
{
protected:
    void TearDown() override { Clock::reset(); }

    // Sets the program's clock to the start time plus ms milliseconds.
    void at(qint64 ms) { Clock::setFixed(start.addMSecs(ms)); }

    const QDateTime start{QDate(2015, 3, 11), QTime(9, 0)};
};

TEST_F(NoticeTickerRun, StartScrollsAndReloads)
{
    AppContext context;
    context.currentShop = QStringLiteral("A");
    context.shopSettings.开启公告 = AppContext::FlagOn;
    context.shopSettings.公告间隔 = QStringLiteral("30");
    QString stored = QStringLiteral("新品上市");
    QStringList askedFor;

    QWidget window;
    window.resize(1195, 584);
    QWidget strip(&window);
    strip.resize(1127, 40);
    QLabel label(&strip);
    label.move(NoticeTicker::FirstPassX, 10);
    label.hide();
    QTimer timer1, timer2;
    NoticeTicker ticker(context, &label, &window);
    ticker.setNoticeSource([&](const QString &shop) -> std::optional<QString> {
        askedFor << shop;
        return stored;
    });
    at(0);
    ticker.start(&timer1, &timer2);

    EXPECT_EQ(askedFor, QStringList{QStringLiteral("A")});
    EXPECT_EQ(label.text(), QStringLiteral("新品上市        "));
    EXPECT_FALSE(label.isHidden());
    EXPECT_TRUE(timer1.isActive());
    EXPECT_EQ(timer1.interval(), 50);
    EXPECT_TRUE(timer2.isActive());
    EXPECT_EQ(timer2.interval(), 1000);
    timer1.stop(); // the ticks are driven by hand from here
    timer2.stop();

    ticker.scrollNoticeTicker();
    ticker.scrollNoticeTicker();
    EXPECT_EQ(label.x(), NoticeTicker::FirstPassX - 2);
    EXPECT_EQ(ticker.noticeTickerStep(), 2);

    // A notice changed elsewhere shows at the next reload; the pass goes on where it was.
    stored = QStringLiteral("清仓");
    at(1000);
    ticker.refreshNoticeTicker();
    EXPECT_EQ(ticker.noticeText(), QStringLiteral("清仓"));
    EXPECT_EQ(label.text(), QStringLiteral("清仓        "));
    EXPECT_EQ(label.x(), NoticeTicker::FirstPassX - 2);

    // Switched off: the reloads stop, the last text keeps scrolling.
    context.shopSettings.开启公告 = AppContext::FlagOff;
    stored = QStringLiteral("别的");
    at(5000);
    ticker.refreshNoticeTicker();
    EXPECT_EQ(ticker.noticeText(), QStringLiteral("清仓"));
    EXPECT_EQ(askedFor.size(), 2);
}

// However short 公告间隔 is, the shared database is asked at most once a second, by the program's
// clock; a clock set back does not stop the reloads.
TEST_F(NoticeTickerRun, ReloadsAtMostOnceASecond)
{
    AppContext context;
    context.currentShop = QStringLiteral("A");
    context.shopSettings.开启公告 = AppContext::FlagOn;
    context.shopSettings.公告间隔 = QStringLiteral("30");
    int reads = 0;
    QLabel label;
    NoticeTicker ticker(context, &label, nullptr);
    ticker.setNoticeSource([&](const QString &) -> std::optional<QString> {
        ++reads;
        return QStringLiteral("公告%1").arg(reads);
    });
    at(0);
    ticker.startNoticeTicker();
    ASSERT_EQ(reads, 1);

    const struct { qint64 at; int reads; } ticks[] = {
        {0, 1}, {30, 1}, {999, 1}, {1000, 2}, {1030, 2}, {1999, 2}, {2500, 3}, {-60000, 4}, {-59990, 4}};
    for (const auto &tick : ticks) {
        at(tick.at);
        ticker.refreshNoticeTicker();
        EXPECT_EQ(reads, tick.reads) << "at " << tick.at << " ms";
    }
    EXPECT_EQ(ticker.noticeText(), QStringLiteral("公告4"));
}

// A shop without a notice row leaves what the label shows.
TEST_F(NoticeTickerRun, AShopWithoutANoticeKeepsTheLastText)
{
    AppContext context;
    context.shopSettings.开启公告 = AppContext::FlagOn;
    std::optional<QString> stored = QStringLiteral("新品上市");
    QLabel label;
    NoticeTicker ticker(context, &label, nullptr);
    ticker.setNoticeSource([&](const QString &) { return stored; });
    at(0);
    ticker.startNoticeTicker();
    stored.reset();
    at(1000);
    ticker.refreshNoticeTicker();
    EXPECT_EQ(ticker.noticeText(), QStringLiteral("新品上市"));
    EXPECT_EQ(label.text(), QStringLiteral("新品上市        "));
}

TEST_F(NoticeTickerRun, NoTimerForAnEmptyOrZeroInterval)
{
    AppContext context;
    context.currentShop = QStringLiteral("A");
    for (const char *interval : {"", "0"}) {
        context.shopSettings.开启公告 = AppContext::FlagOff;
        context.shopSettings.公告间隔 = QString::fromUtf8(interval);
        QLabel label;
        QTimer timer1, timer2;
        NoticeTicker ticker(context, &label, nullptr);
        ticker.start(&timer1, &timer2);
        EXPECT_FALSE(timer1.isActive());
        EXPECT_FALSE(timer2.isActive());
    }
}

} // namespace
